#include "tool/option_checks.h"

namespace {

struct Conflict {
  bool beforeUsage;
  bool (*given)(const ToolOptions& o);
  const char* message;
};

const Conflict kConflicts[] = {
    {true,
     [](const ToolOptions& o) { return o.inputFromDevice && (!o.inputFile.empty() || !o.inputVerificationFile.empty()); },
     "You cannot specify both /InputDevice and an input file\n"},
    {false, [](const ToolOptions& o) { return !o.lensIntrinsicsFile.empty() && !o.lensCenteringFile.empty(); },
     "Error: Cannot specify both /LensIntrinsics and /LensCentering\n"},
    {false,
     [](const ToolOptions& o) {
       return !o.lensIntrinsicsFile.empty() && (!o.lensIntrinsicsLeftFile.empty() || !o.lensIntrinsicsRightFile.empty());
     },
     "Error: Cannot specify both /LensIntrinsics and /LensIntrinsics{Left,Right}\n"},
    {false,
     [](const ToolOptions& o) {
       return !o.lensEyeToHeadFile.empty() && (!o.lensEyeToHeadLeftFile.empty() || !o.lensEyeToHeadRightFile.empty());
     },
     "Error: Cannot specify both /LensEyeToHead and /LensEyeToHead{Left,Right}\n"},
};

}  // namespace

const char* FindOptionConflict(const ToolOptions& options, bool beforeUsage) {
  for (const Conflict& conflict : kConflicts) {
    if (conflict.beforeUsage == beforeUsage && conflict.given(options)) return conflict.message;
  }
  return nullptr;
}
