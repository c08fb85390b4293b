// Lenient reads, the conversion table and per-value real precision.
#include "vantagelib/json_access.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

const int kFloatPrecision = 9;
const int kDoublePrecision = 17;
const int kMaxPrecision = 31;

const Json::Value* FindMember(const Json::Value& object, const char* begin, const char* end) {
  if (!object.isObject())
    return nullptr;
  return object.find(begin, end);
}

const Json::Value* FindElement(const Json::Value& array, Json::ArrayIndex index) {
  if (!array.isArray() || index >= array.size())
    return nullptr;
  return &array[index];
}

JsonRead Found(const Json::Value* member, const Json::Value& def) {
  if (member == nullptr)
    return JsonRead{&def, nullptr};
  return JsonRead{member, &def};
}

// Each conversion answers false where the table says "fallback".
bool ConvertInt(const Json::Value& v, int32_t* out) {
  switch (v.type()) {
    case Json::nullValue:
      *out = 0;
      return true;
    case Json::intValue: {
      Json::Int64 n = v.asInt64();
      if (n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max())
        return false;
      *out = static_cast<int32_t>(n);
      return true;
    }
    case Json::uintValue: {
      Json::UInt64 n = v.asUInt64();
      if (n > static_cast<Json::UInt64>(std::numeric_limits<int32_t>::max()))
        return false;
      *out = static_cast<int32_t>(n);
      return true;
    }
    case Json::realValue: {
      double d = v.asDouble();
      // Written this way round so that NaN falls back too.
      if (!(d >= -2147483648.0 && d <= 2147483647.0))
        return false;
      *out = static_cast<int32_t>(d);
      return true;
    }
    case Json::booleanValue:
      *out = v.asBool() ? 1 : 0;
      return true;
    default:
      return false;
  }
}

bool ConvertUInt(const Json::Value& v, uint32_t* out) {
  switch (v.type()) {
    case Json::nullValue:
      *out = 0;
      return true;
    case Json::intValue: {
      Json::Int64 n = v.asInt64();
      if (n < 0 || n > static_cast<Json::Int64>(std::numeric_limits<uint32_t>::max()))
        return false;
      *out = static_cast<uint32_t>(n);
      return true;
    }
    case Json::uintValue: {
      Json::UInt64 n = v.asUInt64();
      if (n > std::numeric_limits<uint32_t>::max())
        return false;
      *out = static_cast<uint32_t>(n);
      return true;
    }
    case Json::realValue: {
      double d = v.asDouble();
      if (!(d >= 0.0 && d <= 4294967295.0))
        return false;
      *out = static_cast<uint32_t>(d);
      return true;
    }
    case Json::booleanValue:
      *out = v.asBool() ? 1 : 0;
      return true;
    default:
      return false;
  }
}

bool ConvertDouble(const Json::Value& v, double* out) {
  switch (v.type()) {
    case Json::nullValue:
      *out = 0.0;
      return true;
    case Json::intValue:
      *out = static_cast<double>(v.asInt64());
      return true;
    case Json::uintValue:
      *out = static_cast<double>(v.asUInt64());
      return true;
    case Json::realValue:
      *out = v.asDouble();
      return true;
    case Json::booleanValue:
      *out = v.asBool() ? 1.0 : 0.0;
      return true;
    default:
      return false;
  }
}

bool ConvertFloat(const Json::Value& v, float* out) {
  switch (v.type()) {
    case Json::intValue:
      *out = static_cast<float>(v.asInt64());
      return true;
    case Json::uintValue:
      *out = static_cast<float>(v.asUInt64());
      return true;
    default: {
      double d = 0.0;
      if (!ConvertDouble(v, &d))
        return false;
      // Out of float range is out of range, as for the integer conversions:
      // the float would be infinite, which the writer puts down as 1e+9999
      // and no reader takes back.
      if (std::fabs(d) > std::numeric_limits<float>::max())
        return false;
      *out = static_cast<float>(d);
      return true;
    }
  }
}

bool ConvertBool(const Json::Value& v, bool* out) {
  switch (v.type()) {
    case Json::nullValue:
      *out = false;
      return true;
    case Json::intValue:
      *out = v.asInt64() != 0;
      return true;
    case Json::uintValue:
      *out = v.asUInt64() != 0;
      return true;
    case Json::realValue:
      *out = v.asDouble() != 0.0;
      return true;
    case Json::booleanValue:
      *out = v.asBool();
      return true;
    default:
      return false;
  }
}

template <typename N>
std::string Digits(N n) {
  char buffer[32];
  std::to_chars_result result = std::to_chars(buffer, buffer + sizeof(buffer), n);
  return std::string(buffer, result.ptr);
}

bool ConvertString(const Json::Value& v, std::string* out) {
  switch (v.type()) {
    case Json::nullValue:
      out->clear();
      return true;
    case Json::intValue:
      *out = Digits(v.asInt64());
      return true;
    case Json::uintValue:
      *out = Digits(v.asUInt64());
      return true;
    case Json::realValue:
      *out = FormatJsonReal(v.asDouble(), JsonPrecision(v));
      return true;
    case Json::booleanValue:
      *out = v.asBool() ? "true" : "false";
      return true;
    case Json::stringValue:
      *out = v.asString();
      return true;
    default:
      return false;
  }
}

// The value itself, else its fallback, else the type's zero.
template <typename T, typename Convert>
T ConvertRead(const JsonRead& read, Convert convert, T zero) {
  T result = zero;
  if (read.value != nullptr && convert(*read.value, &result))
    return result;
  result = zero;
  if (read.fallback != nullptr && convert(*read.fallback, &result))
    return result;
  return zero;
}

}  // namespace

JsonRead JsonGet(const Json::Value& object, const char* name, const Json::Value& def) {
  if (name == nullptr)
    return Found(nullptr, def);
  return Found(FindMember(object, name, name + strlen(name)), def);
}

JsonRead JsonGet(const Json::Value& object, const std::string& name, const Json::Value& def) {
  return Found(FindMember(object, name.data(), name.data() + name.size()), def);
}

JsonRead JsonGet(const Json::Value& array, Json::ArrayIndex index, const Json::Value& def) {
  return Found(FindElement(array, index), def);
}

const Json::Value& JsonAt(const Json::Value& container, const char* name) {
  const Json::Value* member =
      name != nullptr ? FindMember(container, name, name + strlen(name)) : nullptr;
  return member != nullptr ? *member : Json::Value::nullSingleton();
}

const Json::Value& JsonAt(const Json::Value& container, const std::string& name) {
  const Json::Value* member = FindMember(container, name.data(), name.data() + name.size());
  return member != nullptr ? *member : Json::Value::nullSingleton();
}

const Json::Value& JsonAt(const Json::Value& container, Json::ArrayIndex index) {
  const Json::Value* element = FindElement(container, index);
  return element != nullptr ? *element : Json::Value::nullSingleton();
}

bool JsonHas(const Json::Value& container, const char* name) {
  return name != nullptr && FindMember(container, name, name + strlen(name)) != nullptr;
}

bool JsonHas(const Json::Value& container, const std::string& name) {
  return FindMember(container, name.data(), name.data() + name.size()) != nullptr;
}

int32_t JsonRead::asInt() const { return ConvertRead<int32_t>(*this, ConvertInt, 0); }
uint32_t JsonRead::asUInt() const { return ConvertRead<uint32_t>(*this, ConvertUInt, 0u); }
double JsonRead::asDouble() const { return ConvertRead<double>(*this, ConvertDouble, 0.0); }
float JsonRead::asFloat() const { return ConvertRead<float>(*this, ConvertFloat, 0.0f); }
bool JsonRead::asBool() const { return ConvertRead<bool>(*this, ConvertBool, false); }
std::string JsonRead::asString() const {
  return ConvertRead<std::string>(*this, ConvertString, std::string());
}

int32_t JsonToInt(const Json::Value& v) { return JsonRead{&v, nullptr}.asInt(); }
uint32_t JsonToUInt(const Json::Value& v) { return JsonRead{&v, nullptr}.asUInt(); }
double JsonToDouble(const Json::Value& v) { return JsonRead{&v, nullptr}.asDouble(); }
float JsonToFloat(const Json::Value& v) { return JsonRead{&v, nullptr}.asFloat(); }
bool JsonToBool(const Json::Value& v) { return JsonRead{&v, nullptr}.asBool(); }
std::string JsonToString(const Json::Value& v) { return JsonRead{&v, nullptr}.asString(); }

Json::Value JsonFloat(float v) { return JsonReal(v, kFloatPrecision); }

Json::Value JsonDouble(double v) { return JsonReal(v, kDoublePrecision); }

Json::Value JsonReal(double v, int precision) {
  precision = std::clamp(precision, 0, kMaxPrecision);
  Json::Value real(v);
  real.setOffsetStart(-1 - static_cast<ptrdiff_t>(precision));
  real.setOffsetLimit(-1 - static_cast<ptrdiff_t>(precision));
  return real;
}

int JsonPrecision(const Json::Value& v) {
  ptrdiff_t start = v.getOffsetStart();
  if (start < 0 && start >= -1 - kMaxPrecision)
    return static_cast<int>(-1 - start);
  return kDoublePrecision;
}

void AppendJsonReal(std::string* out, double v, int precision) {
  if (std::isnan(v)) {
    out->append("null");
    return;
  }
  if (std::isinf(v)) {
    out->append(v > 0 ? "1e+9999" : "-1e+9999");
    return;
  }
  // to_chars gives exactly what "%.*g" gives in the C locale, whatever the
  // process locale.
  char buffer[64];
  std::to_chars_result result =
      std::to_chars(buffer, buffer + sizeof(buffer), v, std::chars_format::general, std::clamp(precision, 0, kMaxPrecision));
  if (result.ec != std::errc()) {
    out->append("null");
    return;
  }
  out->append(buffer, result.ptr);
}

std::string FormatJsonReal(double v, int precision) {
  std::string text;
  AppendJsonReal(&text, v, precision);
  return text;
}

const char* JsonKindName(const Json::Value& value) {
  switch (value.type()) {
    case Json::nullValue: return "null";
    case Json::intValue:
    case Json::uintValue:
    case Json::realValue: return "a number";
    case Json::stringValue: return "a string";
    case Json::booleanValue: return "a boolean";
    case Json::arrayValue: return "an array";
    case Json::objectValue: return "an object";
  }
  return "an unknown value";
}
