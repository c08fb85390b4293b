// Calibration imports: sections copied from the documents that calibration
// tools write into the working configuration, and the lens sanity check.
#pragma once

#include <cstdio>

#include "devconfig/trackeddeviceconfig.h"
#include "tool/pipeline.h"
#include "tool/tool_options.h"

// Runs every import that `options` asks for, in their fixed order, then the
// lens sanity check. Each imported document is loaded whole into a
// temporary configuration and only the fields of its group are copied.
// Prints progress lines (unless quiet) and errors. Returns false
// when the run must stop; imports before the failing one have been applied.
bool ApplyCalibrationImports(const ToolOptions& options, bool quiet, TrackedDeviceConfig* config);

// The copy groups of the lens imports, for one eye.
// Intrinsics, the four distortion blocks and the cut-off; nothing else.
void CopyLensIntrinsics(const vantage::EyeTransform& from, vantage::EyeTransform* to);
// The principal point (intrinsics column 2) and the centers of the base,
// red and blue distortion blocks; coefficients stay.
void CopyLensCentering(const vantage::EyeTransform& from, vantage::EyeTransform* to);
// The nine entries of the matrix only; the target's present flag stays.
void CopyEyeToHead(const vantage::EyeTransform& from, vantage::EyeTransform* to);

// Pipeline step: the imports on the working configuration, printing to
// standard output.
StepResult ImportCalibration(RunContext& run);
