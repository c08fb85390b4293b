#include "vantagelib/hidaccess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

TEST(HidAccessTest, RefusedAccessIsRecognisedInTheLibrarysErrorTexts) {
  EXPECT_TRUE(vantage::IsPermissionDeniedText(
      L"Failed to open a device with path '/dev/hidraw0': Permission denied"));
  EXPECT_TRUE(vantage::IsPermissionDeniedText(
      L"Failed to open a device with path '/dev/hidraw3': Operation not permitted"));
}

TEST(HidAccessTest, OtherFailuresAreNotBlamedOnPermissions) {
  EXPECT_FALSE(vantage::IsPermissionDeniedText(
      L"Failed to open a device with path '/dev/hidraw0': No such file or directory"));
  EXPECT_FALSE(vantage::IsPermissionDeniedText(L"Success"));
  EXPECT_FALSE(vantage::IsPermissionDeniedText(L""));
  EXPECT_FALSE(vantage::IsPermissionDeniedText(L"permission"));
}

TEST(HidAccessTest, TheNamedRuleIsTheOneWeInstall) {
  EXPECT_TRUE(std::filesystem::exists(std::string(SB_SOURCE_DIR) + "/contrib/udev/" +
                                      vantage::kHeadsetUdevRuleName))
      << vantage::kHeadsetUdevRuleName;
}

}  // namespace
