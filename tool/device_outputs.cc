#include "tool/device_outputs.h"

#include <cstdio>
#include <string>

#include "devconfig/configloader.h"
#include "tool/device_backup.h"
#include "tool/device_sources.h"
#include "vantagelib/configtransfer.h"
#include "tool/progress.h"

namespace {

// Saves the headset's configuration before it is overwritten. The backup
// is the only copy of what the headset held, so a backup that cannot be
// made stops the run.
StepResult BackUpDevice(RunContext& run) {
  const std::string* text = nullptr;
  const int result = ReadDeviceConfigOnce(run, &text);
  if (result == vantage::kConfigReadNoConfig) {
    PrintProgress(run.quiet, "Device has no configuration. Skipping backup.\n");
    return StepResult::kContinue;
  }
  if (result != vantage::kConfigReadOk) {
    PrintInEveryMode("Error reading USB configuration from skybeacon device for backup purposes. Error %d\n",
           result);
    return StepResult::kExitFailure;
  }
  const std::string& serial = run.device.SerialNumber();
  std::string name, error;
  switch (WriteBackupFile("", serial, *text, &name, &error)) {
    case BackupResult::kWritten:
      PrintProgress(run.quiet, "Backed up original configuration to %s. (/NoBackup to disable)\n", name.c_str());
      return StepResult::kContinue;
    case BackupResult::kAllNamesTaken:
      PrintInEveryMode("Error backing up original configuration: %s to %s all exist. The device was not written. "
             "(/NoBackup to disable)\n",
             BackupFileName(serial, 0).c_str(), BackupFileName(serial, kBackupCounterLimit - 1).c_str());
      return StepResult::kExitFailure;
    case BackupResult::kWriteFailed:
      break;
  }
  PrintInEveryMode("Error backing up original configuration to %s: %s. The device was not written. "
         "(/NoBackup to disable)\n",
         name.c_str(), error.c_str());
  return StepResult::kExitFailure;
}

}  // namespace

StepResult WriteToDevice(RunContext& run) {
  if (!run.options.outputToDevice) return StepResult::kContinue;
  if (run.options.backup) {
    const StepResult backup = BackUpDevice(run);
    if (backup != StepResult::kContinue) return backup;
  }
  if (!vantage::WriteConfigToDevice(run.device, ToJsonString(run.config, true))) {
    PrintInEveryMode("Error writing new configuration to device.\n");
    return StepResult::kExitFailure;
  }
  PrintProgress(run.quiet, "Wrote configuration to device\n");
  return StepResult::kContinue;
}
