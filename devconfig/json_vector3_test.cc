// Three-number arrays, numeric strings included, and their error texts.
#include <gtest/gtest.h>

#include "devconfig/json_testing.h"

namespace {

TEST(GetJsonVector3, NumbersStringsAndErrors) {
  float out[3] = {9, 9, 9};
  std::string error;
  EXPECT_TRUE(GetJsonVector3(JsonOf(R"([1, -2.5, "3.25abc"])"), out, &error));
  EXPECT_TRUE(out[0] == 1 && out[1] == -2.5f && out[2] == 3.25f);
  EXPECT_FALSE(GetJsonVector3(JsonOf(R"({"x": 1})"), out, &error));
  EXPECT_TRUE(error == "the value is not an array" && out[0] == 0);
  EXPECT_FALSE(GetJsonVector3(JsonOf("[1, 2, 3, 4]"), out, &error));
  EXPECT_EQ("the array does not have 3 elements", error);
  // Elements converted before a failure stay; out of float range is a failure.
  EXPECT_FALSE(GetJsonVector3(JsonOf(R"([1, 2, "abc"])"), out, &error));
  EXPECT_TRUE(error == "a value in the array could not be converted to a number" && out[1] == 2 && out[2] == 0);
  for (const char* json : {"[1, null, 3]", R"(["1e99", 2, 3])"})
    EXPECT_FALSE(GetJsonVector3(JsonOf(json), out, nullptr)) << json;
}

}  // namespace
