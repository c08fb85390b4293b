#include "tool/working_config.h"

#include "devconfig/configloader.h"

void DropEmptyBlock(Json::Value* block) {
  // empty() is true only for null and for member-less arrays and objects.
  if (block->empty()) *block = Json::Value();
}

StepResult CreateWorkingConfig(RunContext& run) {
  run.config.Reset();
  return StepResult::kContinue;
}

StepResult DropEmptyFirmwareConfig(RunContext& run) {
  DropEmptyBlock(&run.config.firmware_config);
  return StepResult::kContinue;
}

StepResult ReformatWorkingConfig(RunContext& run) {
  if (run.options.reformat) ReformatToLatest(&run.config);
  return StepResult::kContinue;
}
