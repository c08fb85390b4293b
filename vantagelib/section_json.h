// Shared by the calibration section readers: they read leniently, but note a
// member of the wrong container kind so that the owner can refuse a document
// that a member lookup could not have walked.
#pragma once

#include <json/json.h>

#include <string>

namespace vantage {

// Stores `text` unless an earlier problem is already recorded.
void KeepFirstError(std::string* error, const std::string& text);

// True when `value` is null or an object (an array); otherwise records
// "<what> is not an object" ("... an array") and returns false.
bool ExpectObject(const Json::Value& value, const std::string& what, std::string* error);
bool ExpectArray(const Json::Value& value, const std::string& what, std::string* error);

// Prefixes a nested section's problem with the key it was found under.
std::string UnderKey(const char* key, const std::string& problem);

}  // namespace vantage
