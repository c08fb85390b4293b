// Three-number arrays, numeric strings included, and their error texts.
#include <gtest/gtest.h>

#include "devconfig/json_testing.h"

namespace {

TEST(GetJsonVector3, NumbersStringsAndErrors) {
  float out[3] = {9, 9, 9};
  std::string error;
  EXPECT_TRUE(GetJsonVector3(JsonOf(R"([1, -2.5, "3.25abc"])"), out, &error));
  EXPECT_TRUE(out[0] == 1 && out[1] == -2.5f && out[2] == 3.25f);
  const std::string notANumber = "a value in the array could not be converted to a number";
  const struct { const char* json; std::string error; float kept[3]; } rows[] = {
      {R"({"x": 1})", "the value is not an array", {0, 0, 0}},
      {"[1, 2, 3, 4]", "the array does not have 3 elements", {0, 0, 0}},
      {"[1, null, 3]", notANumber, {1, 0, 0}},  // converted elements stay
      {R"([1, 2, "abc"])", notANumber, {1, 2, 0}},
      {R"(["1e99", 2, 3])", notANumber, {0, 0, 0}}};
  for (const auto& r : rows) {
    EXPECT_FALSE(GetJsonVector3(JsonOf(r.json), out, &error)) << r.json;
    EXPECT_EQ(r.error, error) << r.json;
    EXPECT_TRUE(out[0] == r.kept[0] && out[1] == r.kept[1] && out[2] == r.kept[2]) << r.json;
    EXPECT_FALSE(GetJsonVector3(JsonOf(r.json), out, nullptr));
  }
}

}  // namespace
