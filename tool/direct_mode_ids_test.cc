// Direct-mode ids from texts: the product id parse at its edges. Clearing,
// the written texts and the common cases run through the binary
// (tests/cases/edits.t).
#include "tool/direct_mode_ids.h"

#include <gtest/gtest.h>

#include "tool/test_output.h"

namespace {

TEST(DirectModeIdsTest, StoresAndReportsTheConvertedIds) {
  const struct {
    const char* vid;
    const char* pid;
    uint32_t storedVid, storedPid;
  } cases[] = {
      {"XYZ", "0x1f", 14947, 31}, {"AB", "12g", 0, 0x12}, {"ABCD", "2000", 0, 8192},
      {"ABC", " -0", 17156, 0},   {"ABC", "+FF", 17156, 255},
  };
  for (const auto& c : cases) {
    TrackedDeviceConfig config;
    tool_test::CapturedOutput out;
    std::string error;
    ASSERT_TRUE(SetDirectModeIds(&config, c.vid, c.pid, Progress{out.file(), false}, &error)) << c.pid;
    EXPECT_EQ(std::make_pair(c.storedVid, c.storedPid),
              std::make_pair(config.direct_mode_edid_vid, config.direct_mode_edid_pid)) << c.vid << c.pid;
    EXPECT_EQ("Set edid vid to: " + std::string(c.vid) + " (" + std::to_string(c.storedVid) + ")\n" +
                  "Set edid pid to: " + c.pid + " (" + std::to_string(c.storedPid) + ")\n",
              out.text());
  }
}

TEST(DirectModeIdsTest, APidWithoutHexDigitsOrNegativeLeavesBothIdsAlone) {
  for (const char* pid : {" ", "+g", "x1", "-FFF"}) {
    TrackedDeviceConfig config;
    config.direct_mode_edid_vid = 1;
    config.direct_mode_edid_pid = 2;
    std::string error;
    EXPECT_FALSE(SetDirectModeIds(&config, "ABC", pid, Progress{stdout, true}, &error)) << pid;
    EXPECT_EQ("Error: invalid direct mode pid '" + std::string(pid) + "'\n", error);
    EXPECT_EQ(1u, config.direct_mode_edid_vid);
    EXPECT_EQ(2u, config.direct_mode_edid_pid);
  }
}

}  // namespace
