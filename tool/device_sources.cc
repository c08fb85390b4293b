#include "tool/device_sources.h"

#include <cstdio>

#include "vantagelib/devicefinder.h"

StepResult PrintConnectedSerial(RunContext& run) {
  if (!run.options.printConnectedSerial) return StepResult::kContinue;
  // The print puts the run in quiet mode, so a missing or ambiguous headset
  // shows only in the exit code.
  if (!vantage::FindConnectedDevice(&run.device, run.quiet)) return StepResult::kExitFailure;
  printf("connectedserial: %s\n", run.device.SerialNumber().c_str());
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
