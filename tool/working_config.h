// The pipeline's own steps on the working configuration: its creation
// before the base document, and the two finishing touches before outputs.
#pragma once

#include <json/json.h>

#include "tool/pipeline.h"

// An empty block (null, or an object or array without members) becomes
// null, so that written documents leave it out.
void DropEmptyBlock(Json::Value* block);

// Pipeline steps.
StepResult CreateWorkingConfig(RunContext& run);      // defaults only
StepResult DropEmptyFirmwareConfig(RunContext& run);  // after every edit
StepResult ReformatWorkingConfig(RunContext& run);    // unless /NoReformat
