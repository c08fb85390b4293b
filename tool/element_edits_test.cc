// The block-kind guard of the free-form block edits, for every kind of JSON
// value. What each edit does and prints, the overlays, their order and quiet
// mode are checked through the binary (tests/cases/edits.t).
#include "tool/element_edits.h"

#include <gtest/gtest.h>

#include "devconfig/jsonhelpers.h"
#include "tool/test_output.h"

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

TEST(BlockKindTest, OnlyObjectsAndNullAreEdited) {
  const std::pair<const char*, const char*> kinds[] = {
      {"[1, 2]", "an array"}, {"[]", "an array"}, {"7", "a number"}, {"\"\"", "a string"}, {"true", "a boolean"},
  };
  std::string error;
  EXPECT_TRUE(CheckEditableBlock(Json::Value(), "firmware_config", &error));
  EXPECT_TRUE(CheckEditableBlock(Parse("{}"), "firmware_config", &error));
  for (const auto& [text, kind] : kinds) {
    const Json::Value original = Parse(text);
    Json::Value block = original;
    tool_test::CapturedOutput out;
    const Progress progress{out.file(), false};
    EXPECT_FALSE(DeleteFirmwareConfigElements(&block, {"a"}, progress, &error));
    EXPECT_FALSE(PrintFirmwareConfigElements(&block, {"a"}, out.file(), &error));
    EXPECT_FALSE(SetBlockElements(&block, "mfg_build_info", {{"a", "int", "1"}}, "SetMfgBuildInfo", progress, &error));
    EXPECT_EQ(std::string("Error: mfg_build_info is ") + kind + ", not an object\n", error);
    EXPECT_FALSE(CheckEditableBlock(block, "firmware_config", &error));
    EXPECT_EQ(std::string("Error: firmware_config is ") + kind + ", not an object\n", error);
    EXPECT_EQ(original, block) << text;
    EXPECT_EQ("", out.text()) << text;
  }
}

}  // namespace
