// The one layer through which the system reads and writes JSON: the reads
// of vantagelib/json_access.h, and here parsing, one styled layout (3-space
// indent, right margin 160, members in byte order, one final newline)
// produced by WriteStyledJson, the merge, and the loaders.
#pragma once

#include <json/json.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "vantagelib/json_access.h"

// Parses with comments allowed and any root. On failure returns false with
// the reader's formatted messages (or "exception thrown in JSON library")
// and leaves `root` as it was.
bool ParseJsonText(const std::string& text, Json::Value* root, std::string* error);

// The styled document layout; the text ends with exactly one "\n". Comments
// are placed as JsonCpp's StyledWriter places them, with two repairs: blanks
// at the end of a same-line comment are dropped (the next member would land
// inside a line comment otherwise), and member names keep zero bytes.
std::string WriteStyledJson(const Json::Value& root);
// The same with another right margin; the dependency's own styled writer
// uses 74, which lets tests compare the two layouts.
std::string WriteStyledJson(const Json::Value& root, unsigned rightMargin);

// A member of the root object written from elsewhere: the root holds a
// placeholder under `name`, which fixes its place, and `*value` is written
// in its stead, comments included. Lets a large block kept elsewhere be
// written without first being copied into the document.
struct JsonMemberRef {
  const char* name;
  const Json::Value* value;
};
std::string WriteStyledJson(const Json::Value& root, const std::vector<JsonMemberRef>& rootMembers);

// Deep merge of the object `source` into the object `destination`.
void MergeJsonObjects(Json::Value& destination, const Json::Value& source);

// Freeing a large tree node by node costs about a fifth of what building it
// did. A process that is about to end can leave the trees it is done with to
// the end of the process instead: once JsonLeaveTreesToExit() was called,
// JsonRelease keeps `value` reachable until exit (so leak checkers stay
// quiet) rather than freeing it. Until then JsonRelease frees it at once, as
// going out of scope would. Both belong to the main thread.
void JsonLeaveTreesToExit();
bool JsonTreesLeftToExit();
void JsonRelease(Json::Value&& value);

// Runs `body`, turning any JsonCpp or standard exception into an error text.
bool JsonGuard(const std::function<void()>& body, std::string* error);

// EDID ids, stored byte-swapped as the EDID block holds them.
uint16_t EncodeEdidVendorId(const std::string& text);  // not 3 chars: 0
std::string DecodeEdidVendorId(uint16_t value);
// Up to four hex digits ("12g" gives 0x12); longer text gives 0. Text with no
// hexadecimal digit or a value out of range is reported, never thrown; *out
// is then 0.
bool ParseEdidProductId(const std::string& text, int32_t* out, std::string* error);
std::string FormatEdidProductId(int32_t value);

enum JsonLoadResult { kJsonLoadOk = 0, kJsonLoadFileMissing = 1, kJsonLoadParseError = 2 };
// An empty file or text is kOk and leaves `root` as it was. Without errorOut
// the parse failure goes to the log channel. A path that cannot be opened as
// a file (absent, a directory, no permission) counts as missing; a read
// error part way is a parse error with the text "could not read the file".
int LoadJsonFile(const std::string& path, Json::Value* root, std::string* errorOut);
int LoadJsonString(const std::string& text, Json::Value* root, std::string* errorOut);

// Three numbers (or numeric strings) into out; out is zeroed first. A string
// without a leading number, or out of float range, is reported like any
// other element that is not a number.
bool GetJsonVector3(const Json::Value& value, float out[3], std::string* errorOut);
