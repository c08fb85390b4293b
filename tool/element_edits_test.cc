// Edits of the free-form blocks: what each edit does to the block, the
// lines it prints (and which of them quiet mode keeps), and the orderly stop
// on a block that is not an object.
#include "tool/element_edits.h"

#include <gtest/gtest.h>

#include "corelib/src/test_scratch.h"
#include "devconfig/jsonhelpers.h"
#include "tool/test_output.h"

namespace {

using tool_test::CapturedOutput;

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

std::vector<Json::Value> WrongKinds() {
  return {Parse("[1, 2]"), Parse("[]"), Parse("7"), Parse("\"text\""), Parse("true")};
}

TEST(BlockKind, ObjectOrNullOnly) {
  std::string error;
  EXPECT_TRUE(CheckEditableBlock(Json::Value(), "firmware_config", &error));
  EXPECT_TRUE(CheckEditableBlock(Parse("{}"), "firmware_config", &error));
  EXPECT_FALSE(CheckEditableBlock(Parse("[1]"), "firmware_config", &error));
  EXPECT_EQ("Error: firmware_config is an array, not an object\n", error);
  EXPECT_FALSE(CheckEditableBlock(Parse("3.5"), "mfg_build_info", &error));
  EXPECT_EQ("Error: mfg_build_info is a number, not an object\n", error);
  EXPECT_FALSE(CheckEditableBlock(Parse("\"x\""), "mfg_build_info", &error));
  EXPECT_EQ("Error: mfg_build_info is a string, not an object\n", error);
}

TEST(FirmwareConfigDeleteAll, NullsTheBlockWhateverItHeld) {
  CapturedOutput out;
  Json::Value block = Parse("[1]");
  DeleteAllFirmwareConfig(&block, Progress{out.file(), true});
  EXPECT_TRUE(block.isNull());
  EXPECT_EQ("", out.text());
}

TEST(FirmwareConfigDelete, RemovesWholeMembersInOrderAndSkipsMissingOnes) {
  CapturedOutput out;
  Json::Value block = Parse("{\"a.b\": 1, \"a\": {\"b\": 2}, \"nested\": {\"x\": {\"y\": 1}}, \"keep\": 3}");
  std::string error;
  ASSERT_TRUE(DeleteFirmwareConfigElements(&block, {"nested", "a.b", "missing", "nested"},
                                           Progress{out.file(), false}, &error));
  EXPECT_EQ(Parse("{\"a\": {\"b\": 2}, \"keep\": 3}"), block);
  EXPECT_EQ(
      "Deleted firmware_config.nested\n"
      "Deleted firmware_config.a.b\n"
      "Skipping deletion for firmware_config.missing (key not present)\n"
      "Skipping deletion for firmware_config.nested (key not present)\n",
      out.text());

  Json::Value null;
  ASSERT_TRUE(DeleteFirmwareConfigElements(&null, {"a"}, Progress{out.file(), true}, &error));
  EXPECT_TRUE(null.isNull());
}

TEST(FirmwareConfigPrint, RendersEachMemberAndAddsMissingOnesAsNull) {
  CapturedOutput out;
  Json::Value block = Parse("{\"name\": \"v1\", \"n\": 0.5, \"obj\": {\"k\": [1, 2]}}");
  std::string error;
  ASSERT_TRUE(PrintFirmwareConfigElements(&block, {"name", "missing", "obj", "n"}, out.file(), &error));
  EXPECT_EQ(
      "firmware_config.name : \"v1\"\n"
      "firmware_config.missing : null\n"
      "firmware_config.obj : {\n   \"k\" : [ 1, 2 ]\n}\n"
      "firmware_config.n : 0.5\n",
      out.text());
  ASSERT_TRUE(block.isMember("missing"));
  EXPECT_TRUE(block["missing"].isNull());
}

TEST(FirmwareConfigPrint, NullBlockBecomesAnObject) {
  CapturedOutput out;
  Json::Value block;
  std::string error;
  ASSERT_TRUE(PrintFirmwareConfigElements(&block, {"k"}, out.file(), &error));
  EXPECT_EQ(Parse("{\"k\": null}"), block);
  EXPECT_EQ("firmware_config.k : null\n", out.text());

  Json::Value untouched;
  ASSERT_TRUE(PrintFirmwareConfigElements(&untouched, {}, out.file(), &error));
  EXPECT_TRUE(untouched.isNull());
}

TEST(BlockSet, CreatesAndReplacesTypedMembers) {
  CapturedOutput out;
  Json::Value block;
  std::string error;
  ASSERT_TRUE(SetBlockElements(&block, "firmware_config",
                               {{"a", "int", "12abc"}, {"b", "string", "x"}, {"a", "double", "0.1"}},
                               "FirmwareConfigSet", Progress{out.file(), false}, &error));
  EXPECT_EQ(Parse("{\"a\": 0.1, \"b\": \"x\"}"), block);
  EXPECT_EQ("FirmwareConfigSet: a\nFirmwareConfigSet: b\nFirmwareConfigSet: a\n", out.text());
}

TEST(BlockSet, ReplacesANestedObjectWhole) {
  CapturedOutput out;
  Json::Value block = Parse("{\"line\": {\"x\": 1}, \"other\": 2}");
  std::string error;
  ASSERT_TRUE(SetBlockElements(&block, "mfg_build_info", {{"line", "string", "A7"}}, "SetMfgBuildInfo",
                               Progress{out.file(), true}, &error));
  EXPECT_EQ(Parse("{\"line\": \"A7\", \"other\": 2}"), block);
  EXPECT_EQ("", out.text());
}

TEST(BlockSet, AFailedConversionStopsWithItsOwnMessage) {
  CapturedOutput out;
  Json::Value block;
  std::string error;
  EXPECT_FALSE(SetBlockElements(&block, "mfg_build_info",
                                {{"a", "int", "1"}, {"b", "int", "abc"}, {"c", "int", "3"}}, "SetMfgBuildInfo",
                                Progress{out.file(), false}, &error));
  EXPECT_EQ("Error converting string 'abc' to int\n", error);
  EXPECT_EQ("SetMfgBuildInfo: a\n", out.text());
  EXPECT_EQ(Parse("{\"a\": 1}"), block);
}

TEST(BlockOfWrongKind, EveryMemberEditStopsAndLeavesTheBlockAlone) {
  for (const Json::Value& original : WrongKinds()) {
    CapturedOutput out;
    const Progress progress{out.file(), false};
    Json::Value block = original;
    std::string error;
    EXPECT_FALSE(DeleteFirmwareConfigElements(&block, {"a"}, progress, &error));
    EXPECT_NE(std::string::npos, error.find("firmware_config is ")) << error;
    error.clear();
    EXPECT_FALSE(PrintFirmwareConfigElements(&block, {"a"}, out.file(), &error));
    EXPECT_NE(std::string::npos, error.find("firmware_config is ")) << error;
    error.clear();
    EXPECT_FALSE(SetBlockElements(&block, "mfg_build_info", {{"a", "int", "1"}}, "SetMfgBuildInfo", progress,
                                  &error));
    EXPECT_NE(std::string::npos, error.find("Error: mfg_build_info is ")) << error;
    EXPECT_EQ(original, block);
    EXPECT_EQ("", out.text());
  }
}

TEST(BlockOfWrongKind, EditsWithNothingToDoLeaveItAlone) {
  Json::Value block = Parse("[1, 2]");
  std::string error;
  CapturedOutput out;
  EXPECT_TRUE(DeleteFirmwareConfigElements(&block, {}, Progress{out.file(), false}, &error));
  EXPECT_TRUE(PrintFirmwareConfigElements(&block, {}, out.file(), &error));
  EXPECT_TRUE(SetBlockElements(&block, "firmware_config", {}, "FirmwareConfigSet", Progress{out.file(), false},
                               &error));
  EXPECT_EQ(Parse("[1, 2]"), block);
}

class FirmwareConfigOverlay : public ::testing::Test {
 protected:
  std::string Put(const std::string& name, const std::string& firmwareConfig) {
    return scratch.Put(name, "{\"device_class\": \"controller\", \"firmware_config\": " + firmwareConfig + "}");
  }
  corelib_test::ScratchDir scratch;
  CapturedOutput out;
  std::string error;
};

TEST_F(FirmwareConfigOverlay, MergesNestedObjectsAndTheLaterOverlayWins) {
  const std::string first = Put("first.json", "{\"n\": {\"a\": 1, \"b\": 1}, \"list\": [1, 2], \"x\": 1}");
  const std::string second = Put("second.json", "{\"n\": {\"b\": 2, \"c\": 2}, \"list\": [3]}");
  Json::Value block = Parse("{\"n\": {\"z\": 0}, \"own\": true}");
  ASSERT_TRUE(OverlayFirmwareConfig(&block, first, Progress{out.file(), false}, &error)) << error;
  ASSERT_TRUE(OverlayFirmwareConfig(&block, second, Progress{out.file(), false}, &error)) << error;
  EXPECT_EQ(Parse("{\"n\": {\"a\": 1, \"b\": 2, \"c\": 2, \"z\": 0}, \"list\": [3], \"x\": 1, \"own\": true}"),
            block);
  EXPECT_EQ("Merging firmware_config from: " + first + "\nMerging firmware_config from: " + second + "\n",
            out.text());
}

TEST_F(FirmwareConfigOverlay, AnHmdOverlayNeedsItsDisplaySection) {
  Json::Value block = Parse("{\"a\": 1}");
  const std::string hmd = scratch.Put("hmd.json", "{\"device_class\": \"hmd\", \"firmware_config\": {\"b\": 2}}");
  EXPECT_FALSE(OverlayFirmwareConfig(&block, hmd, Progress{out.file(), false}, &error));
  EXPECT_EQ("Error reading '" + hmd + "': Error: missing values from \"device\" section\n", error);
  EXPECT_EQ(Parse("{\"a\": 1}"), block);
  EXPECT_EQ("", out.text());
}

TEST_F(FirmwareConfigOverlay, ABlockThatIsNotAnObjectStops) {
  const std::string path = Put("array.json", "[{\"a\": 2}]");
  Json::Value block = Parse("{\"a\": 1}");
  EXPECT_FALSE(OverlayFirmwareConfig(&block, path, Progress{out.file(), false}, &error));
  EXPECT_EQ("Error reading '" + path + "': Error: member \"firmware_config\" must be an object, not an array\n",
            error);
  EXPECT_EQ(Parse("{\"a\": 1}"), block);

  const std::string good = Put("good.json", "{\"a\": 2}");
  Json::Value working = Parse("7");
  EXPECT_FALSE(OverlayFirmwareConfig(&working, good, Progress{out.file(), true}, &error));
  EXPECT_EQ("Error: firmware_config is a number, not an object\n", error);
  EXPECT_EQ(Parse("7"), working);
}

}  // namespace
