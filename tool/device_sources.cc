#include "tool/device_sources.h"

#include <cstdio>
#include <string>

#include "devconfig/configloader.h"
#include "vantagelib/configtransfer.h"
#include "vantagelib/devicefinder.h"
#include "tool/progress.h"

StepResult PrintConnectedSerial(RunContext& run) {
  if (!run.options.printConnectedSerial) return StepResult::kContinue;
  // The print puts the run in quiet mode, so a missing or ambiguous headset
  // shows only in the exit code.
  if (!vantage::FindConnectedDevice(&run.device, run.quiet)) return StepResult::kExitFailure;
  PrintInEveryMode("connectedserial: %s\n", run.device.SerialNumber().c_str());
  return StepResult::kExitSuccess;
}

StepResult OpenDeviceWhenNeeded(RunContext& run) {
  const ToolOptions& o = run.options;
  if (!o.inputFromDevice && !o.outputToDevice && !o.mfgBuildInfoFromDevice && !o.serialFromDevice)
    return StepResult::kContinue;
  // The finder says what went wrong itself, unless quiet.
  return vantage::FindConnectedDevice(&run.device, run.quiet) ? StepResult::kContinue
                                                               : StepResult::kExitFailure;
}

int ReadDeviceConfigOnce(RunContext& run, const std::string** text) {
  if (!run.deviceRead) {
    run.deviceReadResult = vantage::ReadConfigFromDevice(run.device, &run.deviceText, run.quiet);
    run.deviceRead = true;
  }
  *text = &run.deviceText;
  return run.deviceReadResult;
}

StepResult LoadBaseFromDevice(RunContext& run) {
  if (!run.options.inputFromDevice) return StepResult::kContinue;
  const std::string* text = nullptr;
  if (ReadDeviceConfigOnce(run, &text) != vantage::kConfigReadOk) {
    PrintInEveryMode("Error reading USB configuration from skybeacon device\n");
    return StepResult::kExitFailure;
  }
  std::string error;
  if (!LoadFromString(&run.config, &error, *text)) {
    PrintInEveryMode("Error reading configuration from device. Error: %s\n", error.c_str());
    return StepResult::kExitFailure;
  }
  return StepResult::kContinue;
}

StepResult TakeSerialFromDevice(RunContext& run) {
  if (!run.options.serialFromDevice) return StepResult::kContinue;
  const std::string& serial = run.device.SerialNumber();
  if (serial.empty()) {
    PrintInEveryMode("Error, empty serial number on device\n");
    return StepResult::kExitFailure;
  }
  run.config.device_serial_number = serial;
  PrintInEveryMode("Using Serial From Connected Device: %s\n", serial.c_str());
  return StepResult::kContinue;
}

StepResult TakeMfgBuildInfoFromDevice(RunContext& run) {
  if (!run.options.mfgBuildInfoFromDevice) return StepResult::kContinue;
  const std::string* text = nullptr;
  if (ReadDeviceConfigOnce(run, &text) != vantage::kConfigReadOk) {
    PrintInEveryMode("Error, connected device does not have readable configuration. (Cannot /MfgBuildInfoSentinel)\n");
    return StepResult::kExitFailure;
  }
  if (text->empty()) {
    // The message has no line end of its own.
    PrintInEveryMode("Error, connected device has empty configuration. (Cannot /MfgBuildInfoSentinel)");
    return StepResult::kExitFailure;
  }
  TrackedDeviceConfig fromDevice;
  std::string error;
  if (!LoadFromString(&fromDevice, &error, *text)) {
    PrintInEveryMode("Error reading configuration from device. Error: %s\n", error.c_str());
    return StepResult::kExitFailure;
  }
  run.config.mfg_build_info = fromDevice.mfg_build_info;
  PrintProgress(run.quiet, "Using mfg_build_info From Connected Device: %s\n", run.device.SerialNumber().c_str());
  return StepResult::kContinue;
}
