// The tool's run: the command line in, the exit code out.
#pragma once

#include <string>
#include <vector>

#include "devconfig/trackeddeviceconfig.h"
#include "tool/tool_options.h"
#include "vantagelib/hiddevice.h"

// What the steps of one run share. It owns everything the run holds, so that
// whatever a step opened is released when the run ends, however it ends.
struct RunContext {
  std::vector<std::string> args;  // the argument vector, program name first
  ToolOptions options;
  bool quiet = false;
  TrackedDeviceConfig config;  // the working configuration every step edits
  // Opened by the device choice at most once; closed when the run ends.
  vantage::CHidDevice device;
  // What the headset held, read once for every step that needs it
  // (ReadDeviceConfigOnce): each read is a few hundred USB transfers.
  bool deviceRead = false;
  int deviceReadResult = 0;
  std::string deviceText;
};

// How a step leaves the run: go on with the next step, or end it now.
enum class StepResult { kContinue, kExitSuccess, kExitFailure };

using Step = StepResult (*)(RunContext& run);

// Runs the tool on a process argument vector; returns 0 on success and 1 on
// any failure, a command-line error or the usage text.
int RunTool(int argc, const char* const* argv);
