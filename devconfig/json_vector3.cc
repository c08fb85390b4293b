// Three-component vectors stored as arrays of numbers or numeric strings.
#include "devconfig/jsonhelpers.h"

#include <exception>

namespace {

bool Fail(std::string* errorOut, const char* text) {
  if (errorOut != nullptr)
    *errorOut = text;
  return false;
}

}  // namespace

bool GetJsonVector3(const Json::Value& value, float out[3], std::string* errorOut) {
  out[0] = out[1] = out[2] = 0.0f;
  if (!value.isArray())
    return Fail(errorOut, "the value is not an array");
  if (value.size() != 3)
    return Fail(errorOut, "the array does not have 3 elements");
  const char kNotANumber[] = "a value in the array could not be converted to a number";
  for (Json::ArrayIndex i = 0; i < 3; ++i) {
    const Json::Value& element = value[i];
    if (element.isNumeric()) {
      out[i] = JsonToFloat(element);
    } else if (element.isString()) {
      // std::stof takes the leading number and throws when there is none or
      // it does not fit a float.
      try {
        out[i] = std::stof(element.asString());
      } catch (const std::exception&) {
        return Fail(errorOut, kNotANumber);
      }
    } else {
      return Fail(errorOut, kNotANumber);
    }
  }
  return true;
}
