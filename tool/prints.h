// The facts printed for scripts at the end of a run, one "name: value" line
// each, read from the final working configuration.
#pragma once

#include <cstdio>

#include "devconfig/trackeddeviceconfig.h"
#include "tool/pipeline.h"
#include "tool/tool_options.h"

// In this order, each when asked for and when there is something to print:
// serial, computed serial, model number, one mfg_build_info value. Nothing
// printed is an error; the configuration is only read.
void PrintEndOfRunFacts(const ToolOptions& options, const TrackedDeviceConfig& config);

// Pipeline step, after every output: the prints to standard output.
StepResult PrintRequestedFacts(RunContext& run);
