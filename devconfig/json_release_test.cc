// Trees released by a process that is about to end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "devconfig/json_testing.h"

namespace {

TEST(JsonRelease, FreesTheTreeAtOnceByDefault) {
  ASSERT_FALSE(JsonTreesLeftToExit()) << "only the tool's main leaves trees to exit";
  Json::Value tree = JsonOf(R"({"a": [1, 2, {"b": "text"}], "c": 0.5})");
  JsonRelease(std::move(tree));
  EXPECT_TRUE(tree.isNull());
}

// In a child process, so that the switch does not reach the other tests. A
// node of a kept tree is still there after the release (with AddressSanitizer
// a freed one would be reported).
TEST(JsonReleaseDeathTest, KeptTreesStayWholeUntilExit) {
  EXPECT_EXIT(
      {
        JsonLeaveTreesToExit();
        Json::Value tree = JsonOf(R"({"a": {"b": [5, "five"]}})");
        const Json::Value* inner = &tree["a"]["b"];
        JsonRelease(std::move(tree));
        Json::Value another = JsonOf("[1]");
        JsonRelease(std::move(another));
        const bool whole = tree.isNull() && another.isNull() && JsonTreesLeftToExit() &&
                           (*inner)[0].asInt() == 5 && (*inner)[1].asString() == "five";
        std::exit(whole ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
