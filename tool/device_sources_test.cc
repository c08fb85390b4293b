#include "tool/device_sources.h"

#include <gtest/gtest.h>

namespace {

// A device listed under a path of the "\\" form carries no serial number;
// the simulated headset cannot produce one, so the handle is set up here.
TEST(TakeSerialFromDeviceTest, DeviceWithoutSerialStopsTheRun) {
  RunContext run;
  run.options.serialFromDevice = true;
  run.config.device_serial_number = "FROM-FILE";
  run.device.SetTarget(0xF3A1, 0x2000, "\\\\?\\hid#vid_f3a1", 1);
  testing::internal::CaptureStdout();
  EXPECT_EQ(StepResult::kExitFailure, TakeSerialFromDevice(run));
  EXPECT_EQ("Error, empty serial number on device\n", testing::internal::GetCapturedStdout());
  EXPECT_EQ("FROM-FILE", run.config.device_serial_number);
}

}  // namespace
