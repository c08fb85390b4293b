#include "tool/typed_value.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

// Runs one of the strto* conversions the way std::stof and friends judge
// it: nothing converted or ERANGE is a failure, whatever follows is not.
template <typename T, typename Convert>
bool ConvertNumber(const std::string& text, Convert convert, T* out) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const T value = convert(begin, &end);
  if (end == begin || errno == ERANGE) return false;
  *out = value;
  return true;
}

std::string ConversionError(const std::string& text, const char* typeName) {
  return "Error converting string '" + text + "' to " + typeName + "\n";
}

}  // namespace

Json::Value MakeTypedJsonValue(const TypedElementEdit& edit, std::string* error) {
  const std::string& text = edit.value;
  if (edit.typeName == "string") return Json::Value(text);

  // An infinity counts as out of range, like an overflow: the writer puts it
  // down as 1e+9999, which no reader takes back, so the edited document could
  // never be loaded again. (NaN is written as null and stays readable.)
  if (edit.typeName == "float") {
    float value = 0;
    if (ConvertNumber(text, [](const char* s, char** e) { return strtof(s, e); }, &value) && !std::isinf(value))
      return Json::Value(static_cast<double>(value));
    *error = ConversionError(text, "float");
    return Json::Value();
  }
  if (edit.typeName == "double") {
    double value = 0;
    if (ConvertNumber(text, [](const char* s, char** e) { return strtod(s, e); }, &value) && !std::isinf(value))
      return Json::Value(value);
    *error = ConversionError(text, "double");
    return Json::Value();
  }
  if (edit.typeName == "int") {
    long long value = 0;
    if (ConvertNumber(text, [](const char* s, char** e) { return strtoll(s, e, 10); }, &value))
      return Json::Value(static_cast<Json::Int64>(value));
    *error = ConversionError(text, "int");
    return Json::Value();
  }
  *error = "Error: unknown type for json element: " + edit.typeName +
           " (known values: string/float/double/int)\n";
  return Json::Value();
}
