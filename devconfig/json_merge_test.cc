// Objects merge, anything else is replaced; a library error ends the merge.
#include <gtest/gtest.h>

#include "devconfig/json_testing.h"

TEST(MergeJsonObjects, ObjectsMergeOtherValuesAreReplaced) {
  const char* rows[][3] = {  // destination, source, result
      {R"({"x": {"q": [9], "r": 3}, "y": 0})", R"({"x": {"p": 1, "q": [1, 2]}, "z": {}})",
       R"({"x": {"p": 1, "q": [1, 2], "r": 3}, "y": 0, "z": {}})"},
      {R"({"a": {"k": 1}, "b": 5})", R"({"a": 7, "b": {"n": 1}})", R"({"a": 7, "b": {"n": 1}})"},
      {"null", R"({"a": {"b": 2}})", R"({"a": {"b": 2}})"}, {R"("plain")", R"({"a": 1})", R"("plain")"},
      {R"({"a": 1})", "[1, 2]", R"({"a": 1})"},  // the library refuses these; the merge ends silently
  };
  for (const auto& r : rows) {
    Json::Value destination = JsonOf(r[0]);
    MergeJsonObjects(destination, JsonOf(r[1]));
    EXPECT_EQ(JsonOf(r[2]), destination) << r[0] << " + " << r[1];
  }
}
