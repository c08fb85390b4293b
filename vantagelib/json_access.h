// Reading JSON values, the part of the JSON layer that the calibration
// sections need as well as the document model, and so lives below both.
//
//  - Lenient typed reads. JsonGet returns a JsonRead that remembers the
//    caller's default; a conversion of a value of the wrong kind or range
//    falls back to converting that default instead of throwing.
//  - Per-value output precision. A real made from a single-precision float
//    (JsonFloat) is written with 9 significant digits, every other real with
//    17. The precision rides on the value itself so that copies keep it.
// Nothing here lets a JsonCpp exception escape: lookups into a value of the
// wrong container kind read as absent.
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

