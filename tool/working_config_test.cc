#include "tool/working_config.h"

#include <gtest/gtest.h>

#include "devconfig/jsonhelpers.h"

namespace {

// Only member-less containers count as empty; "", 0 and false are values.
TEST(DropEmptyBlockTest, MemberlessContainersBecomeNull) {
  const std::pair<const char*, bool> cases[] = {
      {"null", true}, {"{}", true},  {"[]", true},      {"{\"a\": null}", false},
      {"[0]", false}, {"\"\"", false}, {"0", false}, {"false", false},
  };
  for (const auto& [text, dropped] : cases) {
    Json::Value block, original;
    std::string error;
    ASSERT_TRUE(ParseJsonText(text, &original, &error)) << error;
    block = original;
    DropEmptyBlock(&block);
    EXPECT_EQ(dropped ? Json::Value() : original, block) << text;
  }
}

}  // namespace
