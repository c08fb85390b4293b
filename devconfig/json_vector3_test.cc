// Three-number arrays, including numeric strings and the conversion errors
// of std::stof, which come back as an error text.
#include "devconfig/jsonhelpers.h"

#include <gtest/gtest.h>

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

TEST(GetJsonVector3, NumbersAndNumericStrings) {
  float out[3] = {9, 9, 9};
  std::string error;
  EXPECT_TRUE(GetJsonVector3(Parse(R"([1, -2.5, "3.25abc"])"), out, &error));
  EXPECT_EQ(1.0f, out[0]);
  EXPECT_EQ(-2.5f, out[1]);
  EXPECT_EQ(3.25f, out[2]);
}

TEST(GetJsonVector3, ShapeErrors) {
  float out[3] = {9, 9, 9};
  std::string error;
  EXPECT_FALSE(GetJsonVector3(Parse(R"({"x": 1})"), out, &error));
  EXPECT_EQ("the value is not an array", error);
  EXPECT_EQ(0.0f, out[0]);
  EXPECT_FALSE(GetJsonVector3(Parse("[1, 2]"), out, &error));
  EXPECT_EQ("the array does not have 3 elements", error);
  EXPECT_FALSE(GetJsonVector3(Parse("[1, 2, 3, 4]"), out, nullptr));
}

TEST(GetJsonVector3, ElementErrorsKeepEarlierElements) {
  float out[3] = {9, 9, 9};
  std::string error;
  EXPECT_FALSE(GetJsonVector3(Parse(R"([1, true, 3])"), out, &error));
  EXPECT_EQ("a value in the array could not be converted to a number", error);
  EXPECT_EQ(1.0f, out[0]);
  EXPECT_EQ(0.0f, out[1]);
  EXPECT_EQ(0.0f, out[2]);

  error.clear();
  EXPECT_FALSE(GetJsonVector3(Parse(R"([1, 2, "abc"])"), out, &error));
  EXPECT_EQ("a value in the array could not be converted to a number", error);
  EXPECT_EQ(2.0f, out[1]);
  EXPECT_FALSE(GetJsonVector3(Parse(R"(["1e99", 2, 3])"), out, &error));
  EXPECT_FALSE(GetJsonVector3(Parse(R"([1, null, 3])"), out, nullptr));
}

}  // namespace
