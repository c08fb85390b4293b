// MakeTypedJsonValue at the edges of the conversions: out of range, infinities (written
// 1e+9999, which no reader takes back), nothing converted. The common cases run through the binary.
#include "tool/typed_value.h"

#include <gtest/gtest.h>

#include "devconfig/jsonhelpers.h"

TEST(TypedValueTest, EdgesOfTheStandardConversions) {
  const char* refused = "";  // the value as written in a document, or refused with the conversion error
  const char* cases[][3] = {
      {"float", "3e38", "3.0000000054977558e+38\n"}, {"int", "-9223372036854775808", "-9223372036854775808\n"},
      {"int", "9223372036854775808", refused}, {"int", "-9223372036854775809", refused}, {"float", "1e39", refused},
      {"double", "1e309", refused}, {"double", "-1e-400", refused}, {"float", "1e-50", refused}, {"int", "+", refused},
      {"double", ".", refused}, {"float", "inf", refused}, {"float", "-Infinity", refused}, {"double", "-inf", refused},
  };
  for (const auto& c : cases) {
    std::string error;
    const Json::Value value = MakeTypedJsonValue(TypedElementEdit{"key", c[0], c[1]}, &error);
    EXPECT_EQ(c[2] != refused ? c[2] : "Error converting string '" + std::string(c[1]) + "' to " + c[0] + "\n",
              value.isNull() ? error : WriteStyledJson(value)) << c[0] << " '" << c[1] << "'";
  }
}
