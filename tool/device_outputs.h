// The headset as a destination of the run.
#pragma once

#include "tool/pipeline.h"

// /OutputSentinel: saves what the headset holds to a backup file in the
// working directory (unless /NoBackup), then writes the result to it. No
// backup, no write: the run stops before the headset is touched when the
// backup cannot be made.
StepResult WriteToDevice(RunContext& run);
