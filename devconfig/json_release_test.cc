// Trees left to the end of the process stay whole (in a child process: the switch is for good).
#include <gtest/gtest.h>

#include "devconfig/json_testing.h"

TEST(JsonReleaseDeathTest, KeptTreesStayWholeUntilExit) {
  const auto keep = [] {
    JsonLeaveTreesToExit();
    Json::Value tree = JsonOf(R"({"a": [5, "five"]})");
    const Json::Value* inner = &tree["a"];
    JsonRelease(std::move(tree));
    std::exit(tree.isNull() && JsonTreesLeftToExit() && (*inner)[1].asString() == "five" ? 0 : 1);
  };
  EXPECT_EXIT(keep(), ::testing::ExitedWithCode(0), "");
}
