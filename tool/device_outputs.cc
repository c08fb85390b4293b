#include "tool/device_outputs.h"

#include <cstdio>
#include <string>

#include "devconfig/configloader.h"
#include "devconfig/storable_config.h"
#include "tool/device_backup.h"
#include "tool/device_sources.h"
#include "tool/progress.h"
#include "vantagelib/configtransfer.h"

namespace {

StepResult Refuse(const std::string& why) {
  PrintInEveryMode("Error: not writing the configuration to the device: %s.\n", why.c_str());
  return StepResult::kExitFailure;
}

// Saves the headset's configuration before it is overwritten. The backup
// is the only copy of what the headset held, so a backup that cannot be
// made stops the run. `name` gets the backup's file name, if one was made.
StepResult BackUpDevice(RunContext& run, std::string* name) {
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
  std::string error;
  switch (WriteBackupFile("", serial, *text, name, &error)) {
    case BackupResult::kWritten:
      PrintProgress(run.quiet, "Backed up original configuration to %s. (/NoBackup to disable)\n", name->c_str());
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
                   name->c_str(), error.c_str());
  return StepResult::kExitFailure;
}

// Reads the configuration back, as programmers of flash memory do: a write
// that every report acknowledged can still have stored something else.
StepResult VerifyDevice(RunContext& run, const std::string& sent, const std::string& backup) {
  std::string stored;
  const int result = vantage::ReadConfigFromDevice(run.device, &stored, run.quiet);
  if (result == vantage::kConfigReadOk && stored == sent) return StepResult::kContinue;
  if (result == vantage::kConfigReadOk) {
    PrintInEveryMode("Error verifying the configuration written to device: it reads back differently.");
  } else {
    PrintInEveryMode("Error verifying the configuration written to device: it could not be read back (error %d).",
                     result);
  }
  if (backup.empty()) {
    PrintInEveryMode(" The device may hold a damaged configuration, and no backup was made.\n");
  } else {
    PrintInEveryMode(" The device may hold a damaged configuration; restore it from %s.\n", backup.c_str());
  }
  return StepResult::kExitFailure;
}

}  // namespace

StepResult WriteToDevice(RunContext& run) {
  if (!run.options.outputToDevice) return StepResult::kContinue;
  const std::string text = ToJsonString(run.config, true);
  std::string why;
  if (!CheckStorableConfig(run.config, text, &why)) return Refuse(why);
  // A headset that cannot be read now takes the document unchecked: with
  // /NoBackup it was never going to be read, and otherwise the backup stops
  // the run below.
  const std::string* stored = nullptr;
  if (ReadDeviceConfigOnce(run, &stored) == vantage::kConfigReadOk && !CheckSameDeviceClass(run.config, *stored, &why))
    return Refuse(why);
  std::string backup;
  if (run.options.backup) {
    const StepResult result = BackUpDevice(run, &backup);
    if (result != StepResult::kContinue) return result;
  }
  // Written as asked, since a line station may mean to renumber a headset;
  // but a document made for another headset is the likelier cause.
  const std::string& deviceSerial = run.device.SerialNumber();
  if (run.config.device_serial_number != deviceSerial) {
    fprintf(stderr,
            "Warning: the document's serial number '%s' is not the device's '%s' (/SerialSentinel takes the "
            "device's)\n",
            run.config.device_serial_number.c_str(), deviceSerial.c_str());
  }
  if (!vantage::WriteConfigToDevice(run.device, text)) {
    PrintInEveryMode("Error writing new configuration to device.\n");
    return StepResult::kExitFailure;
  }
  if (run.options.verify && VerifyDevice(run, text, backup) != StepResult::kContinue) return StepResult::kExitFailure;
  PrintProgress(run.quiet, "Wrote configuration to device\n");
  return StepResult::kContinue;
}
