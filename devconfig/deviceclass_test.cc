// Device class texts: read ignoring case, always written in lower case.
#include "devconfig/deviceclass.h"

#include <gtest/gtest.h>

#include <string>

TEST(DeviceClassTest, ReadIgnoringCaseWrittenInLowerCase) {
  const struct { std::string text; const char* written; } rows[] = {
      {"hmd", "hmd"}, {"HMD", "hmd"}, {"hMd", "hmd"}, {"Controller", "controller"},
      {"GENERIC_TRACKER", "generic_tracker"}, {"tracking_reference", "tracking_reference"}, {"tracker", "unknown"},
      {"", "unknown"}, {"hmd ", "unknown"}, {"hm", "unknown"}, {std::string("hmd\0x", 5), "unknown"}};
  for (const auto& r : rows) EXPECT_STREQ(r.written, DeviceClassName(DeviceClassFromName(r.text))) << r.text;
  EXPECT_EQ(TrackedDeviceClass::HMD, DeviceClassFromName("hMd"));
  EXPECT_EQ(TrackedDeviceClass::Unknown, DeviceClassFromName("tracker"));
  EXPECT_STREQ("unknown", DeviceClassName(static_cast<TrackedDeviceClass>(7)));
  EXPECT_STREQ("unknown", DeviceClassName(static_cast<TrackedDeviceClass>(-1)));
}
