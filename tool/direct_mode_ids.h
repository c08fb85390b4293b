// The direct-mode EDID ids of the working configuration, set from the
// command line as a three-letter maker id and a hexadecimal product id.
#pragma once

#include <cstdio>
#include <string>

#include "devconfig/trackeddeviceconfig.h"
#include "tool/pipeline.h"
#include "tool/progress.h"

// Both ids become 0 (left out of the document); the line is printed in
// every mode.
void ClearDirectModeIds(TrackedDeviceConfig* config);

// A vid text that is not three characters, or a pid text longer than four,
// stores 0. A pid text of at most four characters without a hexadecimal
// digit, or with a negative value, is refused, with both ids left as they
// were and `error` holding the message to print.
bool SetDirectModeIds(TrackedDeviceConfig* config, const std::string& vidText, const std::string& pidText,
                      bool quiet, std::string* error);

// Pipeline step: clear, then set, so that giving both ends with the set ids.
StepResult EditDirectModeIds(RunContext& run);
