// MakeTypedJsonValue: what each type name accepts and stores, and where the
// standard conversions fail. The common cases run through the binary
// (tests/cases/edits.t).
#include "tool/typed_value.h"

#include <gtest/gtest.h>

#include <cmath>

#include "devconfig/jsonhelpers.h"

namespace {

// The value as written in a document, or the error message.
std::string Make(const char* type, const char* text) {
  std::string error;
  const Json::Value value = MakeTypedJsonValue(TypedElementEdit{"key", type, text}, &error);
  return value.isNull() ? error : WriteStyledJson(value);
}

TEST(TypedValueTest, ConvertsLikeTheStandardConversions) {
  const char* cases[][3] = {
      {"string", "  0x10 ", "\"  0x10 \"\n"},
      {"float", "0.1", "0.10000000149011612\n"},  // single precision, widened
      {"double", "0.1", "0.10000000000000001\n"},
      {"float", "  -2.5xyz", "-2.5\n"},
      {"double", "0x1p3", "8\n"},
      {"float", "+3.", "3\n"},
      {"float", "3e38", "3.0000000054977558e+38\n"},
      {"int", "12abc", "12\n"},
      {"int", "010", "10\n"},  // decimal only
      {"int", " \t-7", "-7\n"},
      {"int", "1.9", "1\n"},
      {"int", "9223372036854775807", "9223372036854775807\n"},
      {"int", "-9223372036854775808", "-9223372036854775808\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c[2], Make(c[0], c[1])) << c[0] << " '" << c[1] << "'";
  std::string error;
  EXPECT_EQ(Json::intValue, MakeTypedJsonValue({"k", "int", "5"}, &error).type());
  for (const char* type : {"float", "double"})
    EXPECT_TRUE(std::isnan(MakeTypedJsonValue({"k", type, "nan"}, &error).asDouble())) << type;
}

// Nothing converted, or out of range: a null value and the message.
TEST(TypedValueTest, FailuresGiveTheirMessage) {
  const char* cases[][2] = {
      {"float", "1e-50"}, {"float", "1e39"},  {"double", "1e309"}, {"double", "-1e-400"}, {"float", ""},
      {"float", "."},     {"double", "e5"},   {"double", "-"},     {"int", "  "},         {"int", "+"},
      {"int", "-x"},      {"int", "9223372036854775808"},          {"int", "-9223372036854775809"},
      // An infinity would be written as 1e+9999, which no reader takes back.
      {"float", "inf"},   {"float", "-Infinity"}, {"double", "-inf"}, {"double", " INF"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(std::string("Error converting string '") + c[1] + "' to " + c[0] + "\n", Make(c[0], c[1])) << c[1];
  for (const char* type : {"String", "INT", "", "long"})
    EXPECT_EQ(std::string("Error: unknown type for json element: ") + type + " (known values: string/float/double/int)\n",
              Make(type, "1"));
}

}  // namespace
