#include "tool/device_sources.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The step prints to standard output; the run's messages are its interface.
std::string RunCapturing(StepResult (*step)(RunContext&), RunContext& run, StepResult* result) {
  testing::internal::CaptureStdout();
  *result = step(run);
  return testing::internal::GetCapturedStdout();
}

// A device listed under a path of the "\\" form carries no serial number;
// the simulator cannot produce one, so the handle is set up directly.
TEST(TakeSerialFromDeviceTest, DeviceWithoutSerialStopsTheRun) {
  RunContext run;
  run.options.serialFromDevice = true;
  run.config.device_serial_number = "FROM-FILE";
  run.device.SetTarget(0xF3A1, 0x2000, "\\\\?\\hid#vid_f3a1", 1);
  StepResult result;
  EXPECT_EQ("Error, empty serial number on device\n", RunCapturing(TakeSerialFromDevice, run, &result));
  EXPECT_EQ(StepResult::kExitFailure, result);
  EXPECT_EQ("FROM-FILE", run.config.device_serial_number);
}

TEST(TakeSerialFromDeviceTest, SerialIsTakenAndAnnouncedInQuietModeToo) {
  RunContext run;
  run.options.serialFromDevice = true;
  run.quiet = true;
  run.device.SetTarget(0xF3A1, 0x2000, "SBH-1", 1);
  StepResult result;
  EXPECT_EQ("Using Serial From Connected Device: SBH-1\n", RunCapturing(TakeSerialFromDevice, run, &result));
  EXPECT_EQ(StepResult::kContinue, result);
  EXPECT_EQ("SBH-1", run.config.device_serial_number);
}

// Without their options the device steps touch nothing, not even a handle
// that was never opened.
TEST(DeviceStepsTest, IdleWithoutTheirOptions) {
  RunContext run;
  run.config.device_serial_number = "KEPT";
  for (auto step : {PrintConnectedSerial, OpenDeviceWhenNeeded, LoadBaseFromDevice, TakeSerialFromDevice,
                    TakeMfgBuildInfoFromDevice}) {
    StepResult result;
    EXPECT_EQ("", RunCapturing(step, run, &result));
    EXPECT_EQ(StepResult::kContinue, result);
  }
  EXPECT_EQ("KEPT", run.config.device_serial_number);
  EXPECT_FALSE(run.device.IsOpen());
}

}  // namespace
