// Direct-mode EDID ids from the command line: the stored values, the lines
// printed, and a product id text that is refused.
#include "tool/direct_mode_ids.h"

#include <gtest/gtest.h>

#include "devconfig/configloader.h"
#include "tool/test_output.h"

namespace {

using tool_test::CapturedOutput;

struct IdCase {
  const char* vid;
  const char* pid;
  uint32_t storedVid;
  uint32_t storedPid;
};

TEST(DirectModeIdsSet, StoresAndReportsTheConvertedIds) {
  const IdCase cases[] = {
      {"ABC", "2000", 17156, 8192},  {"abc", "1A2b", 17156, 6699}, {"XYZ", "0x1f", 14947, 31},
      {"AB", "12g", 0, 0x12},        {"ABCD", "2000", 0, 8192},    {"ABC", "12345", 17156, 0},
      {"ABC", " -0", 17156, 0},      {"ABC", "+FF", 17156, 255},
  };
  for (const IdCase& c : cases) {
    TrackedDeviceConfig config;
    CapturedOutput out;
    std::string error;
    ASSERT_TRUE(SetDirectModeIds(&config, c.vid, c.pid, Progress{out.file(), false}, &error)) << c.vid << c.pid;
    EXPECT_EQ(c.storedVid, config.direct_mode_edid_vid) << c.vid;
    EXPECT_EQ(c.storedPid, config.direct_mode_edid_pid) << c.pid;
    EXPECT_EQ("Set edid vid to: " + std::string(c.vid) + " (" + std::to_string(c.storedVid) + ")\n" +
                  "Set edid pid to: " + c.pid + " (" + std::to_string(c.storedPid) + ")\n",
              out.text());
  }
}

TEST(DirectModeIdsSet, WrittenBackAsTextsOrLeftOut) {
  TrackedDeviceConfig config;
  CapturedOutput out;
  std::string error;
  ASSERT_TRUE(SetDirectModeIds(&config, "ABC", "2000", Progress{out.file(), true}, &error));
  EXPECT_EQ("", out.text());
  const Json::Value written = config.ToJson();
  EXPECT_EQ("ABC", written["direct_mode_edid_vid"].asString());
  EXPECT_EQ("2000", written["direct_mode_edid_pid"].asString());

  ASSERT_TRUE(SetDirectModeIds(&config, "AB", "12345", Progress{out.file(), true}, &error));
  EXPECT_FALSE(config.ToJson().isMember("direct_mode_edid_vid"));
  EXPECT_FALSE(config.ToJson().isMember("direct_mode_edid_pid"));
}

TEST(DirectModeIdsSet, APidWithoutHexDigitsLeavesBothIdsAlone) {
  for (const char* pid : {"zz", "", " ", "-", "+g", "x1", "-1", "-FFF"}) {
    TrackedDeviceConfig config;
    config.direct_mode_edid_vid = 1;
    config.direct_mode_edid_pid = 2;
    CapturedOutput out;
    std::string error;
    EXPECT_FALSE(SetDirectModeIds(&config, "ABC", pid, Progress{out.file(), false}, &error)) << pid;
    EXPECT_EQ("Error: invalid direct mode pid '" + std::string(pid) + "'\n", error);
    EXPECT_EQ(1u, config.direct_mode_edid_vid);
    EXPECT_EQ(2u, config.direct_mode_edid_pid);
    EXPECT_EQ("", out.text());
  }
}

TEST(DirectModeIdsClear, ZeroesBothAndPrintsInEveryMode) {
  TrackedDeviceConfig config;
  config.direct_mode_edid_vid = 17156;
  config.direct_mode_edid_pid = 8192;
  CapturedOutput out;
  ClearDirectModeIds(&config, out.file());
  EXPECT_EQ(0u, config.direct_mode_edid_vid);
  EXPECT_EQ(0u, config.direct_mode_edid_pid);
  EXPECT_EQ("Cleared edid vid/pid\n", out.text());
}

}  // namespace
