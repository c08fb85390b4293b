#include "tool/element_edits.h"

#include <functional>

#include "devconfig/configloader.h"
#include "devconfig/jsonhelpers.h"
#include "tool/progress.h"
#include "tool/typed_value.h"

namespace {

// The kind check rules out the library's own complaints; this catches
// whatever is left (an allocation failure) as an orderly stop.
bool GuardEdit(const char* blockName, const std::function<void()>& body, std::string* error) {
  std::string guardError;
  if (JsonGuard(body, &guardError)) return true;
  *error = std::string("Error: could not edit ") + blockName + ": " + guardError + "\n";
  return false;
}

}  // namespace

bool CheckEditableBlock(const Json::Value& block, const char* blockName, std::string* error) {
  if (block.isNull() || block.isObject()) return true;
  *error = std::string("Error: ") + blockName + " is " + JsonKindName(block) + ", not an object\n";
  return false;
}

void DeleteAllFirmwareConfig(Json::Value* firmwareConfig, bool quiet) {
  *firmwareConfig = Json::Value();
  PrintProgress(quiet, "Deleted firmware_config entries\n");
}

bool OverlayFirmwareConfig(Json::Value* firmwareConfig, const std::string& path, bool quiet, std::string* error) {
  TrackedDeviceConfig overlay;
  std::string loadError;
  if (!LoadFromFile(&overlay, &loadError, path)) {
    *error = "Error reading '" + path + "': Error: " + loadError + "\n";
    return false;
  }
  // A block that is not an object has nothing to merge; taking it silently
  // would drop the overlay's settings without a word.
  if (!overlay.firmware_config.isNull() && !overlay.firmware_config.isObject()) {
    *error = "Error reading '" + path + "': Error: member \"firmware_config\" must be an object, not " +
             JsonKindName(overlay.firmware_config) + "\n";
    return false;
  }
  PrintProgress(quiet, "Merging firmware_config from: %s\n", path.c_str());
  if (!CheckEditableBlock(*firmwareConfig, "firmware_config", error)) return false;
  return GuardEdit("firmware_config", [&] { MergeJsonObjects(*firmwareConfig, overlay.firmware_config); }, error);
}

bool DeleteFirmwareConfigElements(Json::Value* firmwareConfig, const std::vector<std::string>& keys,
                                  bool quiet, std::string* error) {
  if (keys.empty()) return true;
  if (!CheckEditableBlock(*firmwareConfig, "firmware_config", error)) return false;
  return GuardEdit("firmware_config", [&] {
    for (const std::string& key : keys) {
      if (firmwareConfig->isMember(key)) {
        PrintProgress(quiet, "Deleted firmware_config.%s\n", key.c_str());
        firmwareConfig->removeMember(key);
      } else {
        PrintProgress(quiet, "Skipping deletion for firmware_config.%s (key not present)\n", key.c_str());
      }
    }
  }, error);
}

bool PrintFirmwareConfigElements(Json::Value* firmwareConfig, const std::vector<std::string>& keys,
                                 std::string* error) {
  if (keys.empty()) return true;
  if (!CheckEditableBlock(*firmwareConfig, "firmware_config", error)) return false;
  return GuardEdit("firmware_config", [&] {
    for (const std::string& key : keys) {
      // The creating lookup is wanted: a printed key stays in the block.
      const Json::Value& member = (*firmwareConfig)[key];
      PrintInEveryMode("firmware_config.%s : %s", key.c_str(), WriteStyledJson(member).c_str());
    }
  }, error);
}

bool SetBlockElements(Json::Value* block, const char* blockName, const std::vector<TypedElementEdit>& edits,
                      const char* label, bool quiet, std::string* error) {
  for (const TypedElementEdit& edit : edits) {
    Json::Value value = MakeTypedJsonValue(edit, error);
    if (value.isNull()) return false;
    if (!CheckEditableBlock(*block, blockName, error)) return false;
    PrintProgress(quiet, "%s: %s\n", label, edit.key.c_str());
    if (!GuardEdit(blockName, [&] { (*block)[edit.key] = value; }, error)) return false;
  }
  return true;
}

StepResult EditFirmwareConfig(RunContext& run) {
  const ToolOptions& o = run.options;
  Json::Value* block = &run.config.firmware_config;
  std::string error;
  bool ok = true;
  if (o.firmwareConfigDeleteAll) DeleteAllFirmwareConfig(block, run.quiet);
  for (size_t i = 0; ok && i < o.firmwareConfigOverlays.size(); ++i)
    ok = OverlayFirmwareConfig(block, o.firmwareConfigOverlays[i], run.quiet, &error);
  ok = ok && DeleteFirmwareConfigElements(block, o.firmwareConfigDeletes, run.quiet, &error);
  ok = ok && PrintFirmwareConfigElements(block, o.firmwareConfigPrints, &error);
  ok = ok && SetBlockElements(block, "firmware_config", o.firmwareConfigSets, "FirmwareConfigSet", run.quiet, &error);
  if (ok) return StepResult::kContinue;
  PrintInEveryMode("%s", error.c_str());
  return StepResult::kExitFailure;
}

StepResult SetMfgBuildInfo(RunContext& run) {
  std::string error;
  if (SetBlockElements(&run.config.mfg_build_info, "mfg_build_info", run.options.mfgBuildInfoSets,
                       "SetMfgBuildInfo", run.quiet, &error))
    return StepResult::kContinue;
  PrintInEveryMode("%s", error.c_str());
  return StepResult::kExitFailure;
}
