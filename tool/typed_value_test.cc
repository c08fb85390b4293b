// MakeTypedJsonValue: the conversions of the four type names, what counts as
// converted, and the messages of the failures.
#include "tool/typed_value.h"

#include <gtest/gtest.h>

#include <cmath>

#include "devconfig/jsonhelpers.h"

namespace {

Json::Value Make(const char* type, const char* text, std::string* error = nullptr) {
  std::string ignored;
  return MakeTypedJsonValue(TypedElementEdit{"key", type, text}, error != nullptr ? error : &ignored);
}

// The failure of a conversion: a null value and exactly this message.
void ExpectFailure(const char* type, const char* text, const std::string& message) {
  std::string error;
  EXPECT_TRUE(Make(type, text, &error).isNull()) << type << " '" << text << "'";
  EXPECT_EQ(message, error) << type << " '" << text << "'";
}

TEST(TypedValueString, KeepsTheTextAsItStands) {
  for (const char* text : {"", "  spaced  ", "12", "0x10", "a.b/c"}) {
    const Json::Value v = Make("string", text);
    ASSERT_TRUE(v.isString());
    EXPECT_EQ(text, v.asString());
  }
}

TEST(TypedValueFloat, StoresTheSinglePrecisionValueWidened) {
  const Json::Value v = Make("float", "0.1");
  ASSERT_TRUE(v.isDouble());
  EXPECT_EQ(static_cast<double>(0.1f), v.asDouble());
  EXPECT_NE(0.1, v.asDouble());
  EXPECT_EQ("0.10000000149011612\n", WriteStyledJson(v));
}

TEST(TypedValueDouble, StoresTheDoublePrecisionValue) {
  EXPECT_EQ(0.1, Make("double", "0.1").asDouble());
  EXPECT_EQ(1e-50, Make("double", "1e-50").asDouble());
}

TEST(TypedValueReal, AcceptsWhatTheStandardConversionAccepts) {
  for (const char* type : {"float", "double"}) {
    EXPECT_EQ(-2.5, Make(type, "  -2.5xyz").asDouble()) << type;
    EXPECT_EQ(8.0, Make(type, "0x1p3").asDouble()) << type;
    EXPECT_EQ(3.0, Make(type, "+3.").asDouble()) << type;
    EXPECT_TRUE(std::isinf(Make(type, "-inf").asDouble())) << type;
    EXPECT_TRUE(std::isnan(Make(type, "nan").asDouble())) << type;
  }
}

TEST(TypedValueReal, OutOfRangeIsAnError) {
  ExpectFailure("float", "1e-50", "Error converting string '1e-50' to float\n");
  ExpectFailure("float", "1e39", "Error converting string '1e39' to float\n");
  ExpectFailure("double", "1e309", "Error converting string '1e309' to double\n");
  ExpectFailure("double", "-1e-400", "Error converting string '-1e-400' to double\n");
  EXPECT_EQ(static_cast<double>(3e38f), Make("float", "3e38").asDouble());
}

TEST(TypedValueReal, NothingConvertedIsAnError) {
  for (const char* text : {"", "abc", ".", "-", "  ", "e5"}) {
    ExpectFailure("float", text, std::string("Error converting string '") + text + "' to float\n");
    ExpectFailure("double", text, std::string("Error converting string '") + text + "' to double\n");
  }
}

TEST(TypedValueInt, DecimalWithTrailingCharactersIgnored) {
  const Json::Value v = Make("int", "12abc");
  ASSERT_TRUE(v.isInt64());
  EXPECT_EQ(Json::intValue, v.type());
  EXPECT_EQ(12, v.asInt64());
  EXPECT_EQ("12\n", WriteStyledJson(v));
  EXPECT_EQ(0, Make("int", "0x10").asInt64());  // no hexadecimal prefix
  EXPECT_EQ(10, Make("int", "010").asInt64());  // no octal either
  EXPECT_EQ(-7, Make("int", " \t-7").asInt64());
  EXPECT_EQ(1, Make("int", "1.9").asInt64());
}

TEST(TypedValueInt, SixtyFourBitRange) {
  EXPECT_EQ(INT64_MAX, Make("int", "9223372036854775807").asInt64());
  EXPECT_EQ(INT64_MIN, Make("int", "-9223372036854775808").asInt64());
  ExpectFailure("int", "9223372036854775808", "Error converting string '9223372036854775808' to int\n");
  ExpectFailure("int", "-9223372036854775809", "Error converting string '-9223372036854775809' to int\n");
}

TEST(TypedValueInt, NoDigitIsAnError) {
  for (const char* text : {"abc", "", "+", "-x", " "})
    ExpectFailure("int", text, std::string("Error converting string '") + text + "' to int\n");
}

TEST(TypedValueType, NamesAreCaseSensitive) {
  for (const char* type : {"String", "INT", "Float", "", "long", "bool"})
    ExpectFailure(type, "1", std::string("Error: unknown type for json element: ") + type +
                                 " (known values: string/float/double/int)\n");
}

}  // namespace
