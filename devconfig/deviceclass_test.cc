// Device class texts: read ignoring case, always written in lower case.
#include "devconfig/deviceclass.h"

#include <gtest/gtest.h>

#include <string>

TEST(DeviceClassTest, NamesReadIgnoringCase) {
  EXPECT_EQ(TrackedDeviceClass::HMD, DeviceClassFromName("hmd"));
  EXPECT_EQ(TrackedDeviceClass::HMD, DeviceClassFromName("HMD"));
  EXPECT_EQ(TrackedDeviceClass::HMD, DeviceClassFromName("hMd"));
  EXPECT_EQ(TrackedDeviceClass::Controller, DeviceClassFromName("Controller"));
  EXPECT_EQ(TrackedDeviceClass::GenericTracker, DeviceClassFromName("GENERIC_TRACKER"));
  EXPECT_EQ(TrackedDeviceClass::TrackingReference, DeviceClassFromName("tracking_reference"));
}

TEST(DeviceClassTest, OtherTextsAreUnknown) {
  EXPECT_EQ(TrackedDeviceClass::Unknown, DeviceClassFromName(""));
  EXPECT_EQ(TrackedDeviceClass::Unknown, DeviceClassFromName("tracker"));
  EXPECT_EQ(TrackedDeviceClass::Unknown, DeviceClassFromName("unknown"));
  EXPECT_EQ(TrackedDeviceClass::Unknown, DeviceClassFromName("hmd "));
  EXPECT_EQ(TrackedDeviceClass::Unknown, DeviceClassFromName("hm"));
  // An embedded zero byte must not make a prefix match.
  EXPECT_EQ(TrackedDeviceClass::Unknown, DeviceClassFromName(std::string("hmd\0x", 5)));
}

TEST(DeviceClassTest, WrittenNames) {
  EXPECT_STREQ("unknown", DeviceClassName(TrackedDeviceClass::Unknown));
  EXPECT_STREQ("hmd", DeviceClassName(TrackedDeviceClass::HMD));
  EXPECT_STREQ("controller", DeviceClassName(TrackedDeviceClass::Controller));
  EXPECT_STREQ("generic_tracker", DeviceClassName(TrackedDeviceClass::GenericTracker));
  EXPECT_STREQ("tracking_reference", DeviceClassName(TrackedDeviceClass::TrackingReference));
  EXPECT_STREQ("unknown", DeviceClassName(static_cast<TrackedDeviceClass>(7)));
  EXPECT_STREQ("unknown", DeviceClassName(static_cast<TrackedDeviceClass>(-1)));
}
