#include "tool/prints.h"

#include <string>

#include "devconfig/jsonhelpers.h"
#include "tool/progress.h"

void PrintEndOfRunFacts(const ToolOptions& options, const TrackedDeviceConfig& config) {
  if (options.printSerial) PrintInEveryMode("serial: %s\n", config.device_serial_number.c_str());
  if (options.printComputedSerial && !config.sensor_model.channelMap.empty())
    PrintInEveryMode("computedserial: %s\n", config.sensor_model.modelPointsHash.c_str());
  if (options.printModelNumber && !config.model_number.empty())
    PrintInEveryMode("modelnumber: %s\n", config.model_number.c_str());
  if (options.printMfgBuildInfo) {
    // A constant lookup: a record that is not an object (or lacks the key)
    // has nothing to print, and nothing is added to it.
    const Json::Value& value = JsonAt(config.mfg_build_info, options.printMfgBuildInfoKey);
    if (!value.isNull()) PrintInEveryMode("mfgbuildinfo: %s\n", JsonToString(value).c_str());
  }
}

StepResult PrintRequestedFacts(RunContext& run) {
  PrintEndOfRunFacts(run.options, run.config);
  return StepResult::kContinue;
}
