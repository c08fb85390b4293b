#include "tool/pipeline.h"

#include <cstdio>

#include "tool/calibration_imports.h"
#include "tool/device_outputs.h"
#include "tool/device_sources.h"
#include "tool/direct_mode_ids.h"
#include "tool/element_edits.h"
#include "tool/file_sources.h"
#include "tool/local_store.h"
#include "tool/option_checks.h"
#include "tool/outputs.h"
#include "tool/prints.h"
#include "tool/working_config.h"
#include "tool/progress.h"

namespace {

// Shows the usage, after the error line when the walk stopped on an
// argument it did not know.
StepResult ShowUsage(const RunContext& run) {
  if (run.options.unrecognisedOption)
    PrintInEveryMode("%s", CommandLineErrorText(run.args, run.options.stopIndex).c_str());
  PrintUsage(stdout);
  return StepResult::kExitFailure;
}

// The usage text when the command line asks for it or could not be read;
// the options that cannot run together are refused before any device is
// opened.
StepResult DecideUsageAndDevice(RunContext& run) {
  const ToolOptions& o = run.options;
  for (bool beforeUsage : {true, false}) {
    if (const char* conflict = FindOptionConflict(o, beforeUsage)) {
      PrintInEveryMode("%s", conflict);
      return StepResult::kExitFailure;
    }
    if (beforeUsage && (o.unrecognisedOption || o.helpRequested)) return ShowUsage(run);
  }
  return StepResult::kContinue;
}

// The steps after the setup in RunTool, in their fixed order:
//   connected-serial print; usage decision and device choice; local input
//   path; working configuration with its defaults; base document; serial
//   number sources; mfg_build_info from the device; firmware_config edits;
//   mfg_build_info sets; direct-mode EDID ids; calibration imports and the
//   lens sanity check; empty firmware_config dropped; reformat; outputs
//   (file, standard output, device, local store); end-of-run prints.
// Each step either completes or ends the run; nothing is rolled back.
const Step kSteps[] = {
    PrintConnectedSerial,
    DecideUsageAndDevice,
    OpenDeviceWhenNeeded,
    FindLocalInputPath,
    CreateWorkingConfig,
    LoadBaseFromDevice,
    LoadBaseDocument,
    ApplySerialFile,
    TakeSerialFromDevice,
    TakeSerialFromLocal,
    TakeMfgBuildInfoFromDevice,
    EditFirmwareConfig,
    SetMfgBuildInfo,
    EditDirectModeIds,
    ImportCalibration,
    DropEmptyFirmwareConfig,
    ReformatWorkingConfig,
    WriteFileOutput,
    WriteStdoutOutput,
    WriteToDevice,
    WriteToLocalStore,
    PrintRequestedFacts,
};

// Whether the run writes a document or prints something; a run asking for
// neither only checks its inputs, which is seldom what was meant.
bool AsksForResult(const ToolOptions& o) {
  return o.helpRequested || o.unrecognisedOption || !o.outputFile.empty() || o.outputStdout || o.outputToDevice ||
         o.outputLocal || IsQuietMode(o) || !o.firmwareConfigPrints.empty() || o.sanityCheckLensCal;
}

// Printed facts are what scripts read: when standard output could not take
// them (a full disk behind a redirection), the run must not report success.
bool StdoutWasWritten() {
  if (fflush(stdout) == 0 && !ferror(stdout)) return true;
  fputs("Error writing to standard output\n", stderr);
  return false;
}

}  // namespace

int RunTool(int argc, const char* const* argv) {
  RunContext run;
  for (int i = 0; i < argc && argv[i] != nullptr; ++i) run.args.push_back(argv[i]);
  run.options = ParseToolOptions(run.args);
  run.quiet = IsQuietMode(run.options);

  // Messages must interleave with the output of child processes and survive
  // an abrupt end, so standard output is unbuffered before anything is written.
  setvbuf(stdout, nullptr, _IONBF, 0);

  // What most commands answer to is answered here too, before anything runs.
  for (const std::string& word : run.options.ignoredWords) {
    if (word == "--help" || word == "-h") {
      PrintUsage(stdout);
      return StdoutWasWritten() ? 0 : 1;
    }
    if (word == "--version") {
      printf("sbconfigtool %s\n", SB_TOOL_VERSION);
      return StdoutWasWritten() ? 0 : 1;
    }
  }
  // Skipped words are said on standard error, which scripts do not parse:
  // "OutputFile" missing its slash would otherwise pass unseen.
  for (const std::string& word : run.options.ignoredWords)
    fprintf(stderr, "sbconfigtool: ignoring '%s': options begin with '/' (/Help lists them)\n", word.c_str());
  if (!AsksForResult(run.options))
    fputs("sbconfigtool: nothing to do: no output (/OutputFile, /OutputStdout, /OutputSentinel, /OutputLocal) "
          "and no print option given\n",
          stderr);

  int code = 0;
  for (Step step : kSteps) {
    const StepResult result = step(run);
    if (result == StepResult::kContinue) continue;
    code = result == StepResult::kExitSuccess ? 0 : 1;
    break;
  }
  if (code == 0 && !StdoutWasWritten()) code = 1;
  // The blocks kept verbatim can be large trees; the run is done with them.
  for (Json::Value* block : {&run.config.firmware_config, &run.config.obscured_block1, &run.config.obscured_block2,
                             &run.config.mfg_build_info})
    JsonRelease(std::move(*block));
  return code;
}
