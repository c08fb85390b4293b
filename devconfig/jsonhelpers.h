// The one layer through which the system reads and writes JSON.
//
// On top of JsonCpp it adds three things the rest of the system relies on:
//  - Lenient typed reads. JsonGet returns a JsonRead that remembers the
//    caller's default; a conversion of a value of the wrong kind or range
//    falls back to converting that default instead of throwing.
//  - Per-value output precision. A real made from a single-precision float
//    (JsonFloat) is written with 9 significant digits, every other real with
//    17. The precision rides on the value itself so that copies keep it.
//  - One styled layout (3-space indent, right margin 160, members in byte
//    order, one final newline) produced by WriteStyledJson.
// Nothing in this layer lets a JsonCpp exception escape: lookups into a value
// of the wrong container kind read as absent.
#pragma once

#include <json/json.h>

#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

// A member or element read with a default. `value` points into the document
// (or at the default when the member is absent), `fallback` at the default;
// neither may outlive what it points at. Two pointers, so that the reads
// the model makes by the thousand copy no values.
struct JsonRead {
  const Json::Value* value;
  const Json::Value* fallback;  // null when the read had no default to fall back on

  const Json::Value& operator*() const { return *value; }
  const Json::Value* operator->() const { return value; }

  int32_t asInt() const;
  uint32_t asUInt() const;
  double asDouble() const;
  float asFloat() const;
  bool asBool() const;
  std::string asString() const;
};

// get(object, name, default): the member when present (even null), carrying
// the default as its fallback; otherwise the default itself, with no fallback
// (a default of the wrong kind converts to zero). Convert in the same
// expression: a JsonRead kept past a temporary default dangles.
JsonRead JsonGet(const Json::Value& object, const char* name, const Json::Value& def);
JsonRead JsonGet(const Json::Value& object, const std::string& name, const Json::Value& def);
JsonRead JsonGet(const Json::Value& array, Json::ArrayIndex index, const Json::Value& def);

// Constant access that never throws: the null value when `container` is not
// an object (or array), or has no such member (or element).
const Json::Value& JsonAt(const Json::Value& container, const char* name);
const Json::Value& JsonAt(const Json::Value& container, const std::string& name);
const Json::Value& JsonAt(const Json::Value& container, Json::ArrayIndex index);
bool JsonHas(const Json::Value& container, const char* name);
bool JsonHas(const Json::Value& container, const std::string& name);

// Indexes of any other integer type (a literal 0, an int, a size_t), so that
// JsonGet(array, 0, def) does not read as a null member name. Negative or
// too large indexes read as absent.
namespace json_internal {
template <typename T>
using EnableIfIndex =
    std::enable_if_t<std::is_integral<T>::value && !std::is_same<T, bool>::value, int>;
template <typename T>
bool ToArrayIndex(T index, Json::ArrayIndex* out) {
  if constexpr (std::is_signed<T>::value) {
    if (index < 0)
      return false;
  }
  if (static_cast<unsigned long long>(index) > Json::Value::maxUInt)
    return false;
  *out = static_cast<Json::ArrayIndex>(index);
  return true;
}
}  // namespace json_internal

template <typename T, json_internal::EnableIfIndex<T> = 0>
JsonRead JsonGet(const Json::Value& array, T index, const Json::Value& def) {
  Json::ArrayIndex i = 0;
  if (!json_internal::ToArrayIndex(index, &i))
    return JsonRead{&def, nullptr};
  return JsonGet(array, i, def);
}

template <typename T, json_internal::EnableIfIndex<T> = 0>
const Json::Value& JsonAt(const Json::Value& container, T index) {
  Json::ArrayIndex i = 0;
  if (!json_internal::ToArrayIndex(index, &i))
    return Json::Value::nullSingleton();
  return JsonAt(container, i);
}

// Calls visit(index, element) for the elements 0 to size - 1 of an array,
// in order, as JsonAt would give them: an array filled by index can have
// gaps, which come as the null value. Nothing for a value that is not an
// array. One walk instead of a lookup per index.
template <typename Visit>
void JsonForEachElement(const Json::Value& array, Visit visit) {
  if (!array.isArray())
    return;
  Json::ArrayIndex i = 0;
  const Json::Value::const_iterator end = array.end();
  for (Json::Value::const_iterator it = array.begin(); it != end; ++it) {
    for (const Json::ArrayIndex at = it.index(); i < at; ++i)
      visit(i, Json::Value::nullSingleton());
    visit(i++, *it);
  }
}

// Conversions of a bare value, without a fallback (0, 0.0, false, "").
int32_t JsonToInt(const Json::Value& v);
uint32_t JsonToUInt(const Json::Value& v);
double JsonToDouble(const Json::Value& v);
float JsonToFloat(const Json::Value& v);
bool JsonToBool(const Json::Value& v);
std::string JsonToString(const Json::Value& v);

// The kind of a value for messages: "an array", "a number", "null"...
const char* JsonKindName(const Json::Value& v);

// Reals with an explicit output precision.
//
// The precision is kept in the value's parse offsets. JsonCpp copies a
// value's offsets with it on copy, assignment, move, swap and insertion into
// arrays and objects, and its reader only ever sets offsets >= 0. A negative
// start offset therefore marks a real made here and encodes its precision
// (-1 - precision); any other real (parsed, or Json::Value(double)) has 17.
// Assigning a new value replaces the mark along with the payload.
Json::Value JsonFloat(float v);                 // 9 significant digits
Json::Value JsonDouble(double v);               // 17 significant digits
Json::Value JsonReal(double v, int precision);  // 0..31 (clamped)
int JsonPrecision(const Json::Value& v);        // of a real: 9 or 17 (or as set)

// A real as the writer prints it: "%.*g", commas turned into points, no
// ".0" added; NaN is "null", infinities are 1e+9999 and -1e+9999.
std::string FormatJsonReal(double v, int precision);
void AppendJsonReal(std::string* out, double v, int precision);

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
