#include "vantagelib/section_json.h"

namespace vantage {

void KeepFirstError(std::string* error, const std::string& text) {
  if (error && error->empty())
    *error = text;
}

bool ExpectObject(const Json::Value& value, const std::string& what, std::string* error) {
  if (value.isNull() || value.isObject())
    return true;
  KeepFirstError(error, what + " is not an object");
  return false;
}

bool ExpectArray(const Json::Value& value, const std::string& what, std::string* error) {
  if (value.isNull() || value.isArray())
    return true;
  KeepFirstError(error, what + " is not an array");
  return false;
}

std::string UnderKey(const char* key, const std::string& problem) {
  return std::string("\"") + key + "\": " + problem;
}

}  // namespace vantage
