#include "tool/local_store.h"

#include <cstdio>
#include <string>

#include "corelib/src/pathtools.h"
#include "corelib/src/processtools.h"
#include "corelib/src/strtools_public.h"
#include "devconfig/configloader.h"
#include "devconfig/storable_config.h"
#include "tool/progress.h"

namespace {

// Runs a sibling command; `output` gets what it printed, trailing blanks
// and line ends removed. True on status 0.
bool RunSibling(const std::string& command, std::string* output) {
  std::string captured;
  const int32_t status = corelib::RunCommandCapture(command, &captured);
  *output = corelib::TrimTrailingWhitespace(captured);
  return status == 0;
}

}  // namespace

StepResult FindLocalInputPath(RunContext& run) {
  if (!run.options.inputLocal) return StepResult::kContinue;
  std::string path;
  if (!RunSibling("rigconf_path device", &path)) {
    PrintInEveryMode("Error running rigconf_path: %s\n", path.c_str());
    return StepResult::kExitFailure;
  }
  run.options.inputFile = path;
  PrintProgress(run.quiet, "Input File '%s'\n", path.c_str());
  return StepResult::kContinue;
}

StepResult TakeSerialFromLocal(RunContext& run) {
  if (!run.options.serialLocal) return StepResult::kContinue;
  std::string serial;
  if (!RunSibling("rigconf_serial", &serial)) {
    PrintInEveryMode("Error running rigconf_serial: %s\n", serial.c_str());
    return StepResult::kExitFailure;
  }
  run.config.device_serial_number = serial;
  PrintProgress(run.quiet, "Using Serial From Local Device: %s\n", serial.c_str());
  return StepResult::kContinue;
}

StepResult WriteToLocalStore(RunContext& run) {
  if (!run.options.outputLocal) return StepResult::kContinue;
  const std::string text = ToJsonString(run.config, true);
  std::string why;
  if (!CheckStorableConfig(text, &why)) {
    PrintInEveryMode("Error: not writing the configuration to the local copy: %s.\n", why.c_str());
    return StepResult::kExitFailure;
  }
  const std::string staging = corelib::JoinPath(corelib::TempDirectory(), "configtool.json");
  corelib::DeleteFile(staging);  // a stale one must not be handed on
  if (!corelib::WriteTextFile(staging, text)) {
    corelib::DeleteFile(staging);  // a cut copy (a full disk) must not be left for anyone to take
    PrintInEveryMode("Error writing new configuration to staging location %s.\n", staging.c_str());
    return StepResult::kExitFailure;
  }
  // TMPDIR may hold blanks or shell syntax: the path goes as one quoted word.
  std::string output;
  if (!RunSibling("rigconf_write device " + corelib::ShellQuote(staging), &output)) {
    PrintInEveryMode("Error writing new configuration to device.\n");
    return StepResult::kExitFailure;
  }
  PrintProgress(run.quiet, "Wrote configuration to device\n");
  corelib::DeleteFile(staging);
  return StepResult::kContinue;
}
