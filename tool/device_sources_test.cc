// Only a "\\" device path leaves a headset without a serial number; hidapi's
// Linux paths and the simulated headset never do, so it is set up here.
#include "tool/device_sources.h"

#include <gtest/gtest.h>

TEST(TakeSerialFromDeviceTest, DeviceWithoutSerialStopsTheRun) {
  RunContext run;
  run.options.serialFromDevice = true;
  run.device.SetTarget(0xF3A1, 0x2000, "\\\\?\\hid#vid_f3a1", 1);
  testing::internal::CaptureStdout();
  EXPECT_EQ(StepResult::kExitFailure, TakeSerialFromDevice(run));
  EXPECT_EQ("Error, empty serial number on device\n", testing::internal::GetCapturedStdout());
}
