// Deep merge: objects merge, everything else is replaced whole, and a
// library error stops the merge keeping what was done.
#include <gtest/gtest.h>

#include "devconfig/json_testing.h"

namespace {

TEST(MergeJsonObjects, ObjectsMergeOtherValuesAreReplaced) {
  const struct { const char *destination, *source, *result; } rows[] = {
      {R"({"x": {"q": [9], "r": 3}, "y": 0})", R"({"x": {"p": 1, "q": [1, 2]}})",
       R"({"x": {"p": 1, "q": [1, 2], "r": 3}, "y": 0})"},
      {R"({"a": {"k": 1}, "b": 5})", R"({"a": 7, "b": {"n": 1}})", R"({"a": 7, "b": {"n": 1}})"},
      {R"({"a": 1})", "null", R"({"a": 1})"},
      {"null", R"({"a": {"b": 2}})", R"({"a": {"b": 2}})"},
      {R"({"b": "text"})", R"({"a": 1, "b": {"c": {"d": 1}}})", R"({"a": 1, "b": {"c": {"d": 1}}})"},
      // The library refuses these; the merge ends silently.
      {R"({"a": 1})", "[1, 2]", R"({"a": 1})"},
      {R"("plain")", R"({"a": 1})", R"("plain")"},
  };
  for (const auto& r : rows) {
    Json::Value destination = JsonOf(r.destination);
    MergeJsonObjects(destination, JsonOf(r.source));
    EXPECT_EQ(JsonOf(r.result), destination) << r.destination << " + " << r.source;
  }
  Json::Value self = JsonOf(R"({"a": {"b": [1]}, "f": 0.5})");
  self["f"] = JsonFloat(0.1f);
  MergeJsonObjects(self, self);
  EXPECT_EQ(JsonOf(R"({"a": {"b": [1]}, "f": 0.10000000149011612})"), self);
  EXPECT_EQ(9, JsonPrecision(self["f"]));
}

}  // namespace
