#include "tool/direct_mode_ids.h"

#include "devconfig/jsonhelpers.h"

void ClearDirectModeIds(TrackedDeviceConfig* config) {
  config->direct_mode_edid_vid = 0;
  config->direct_mode_edid_pid = 0;
  PrintInEveryMode("Cleared edid vid/pid\n");
}

bool SetDirectModeIds(TrackedDeviceConfig* config, const std::string& vidText, const std::string& pidText,
                      bool quiet, std::string* error) {
  // The pid is parsed first so that a refused one leaves both ids alone.
  int32_t pid = 0;
  std::string parseError;
  // A negative id would be written as eight hex digits, which no reader
  // takes back as a product id.
  if (!ParseEdidProductId(pidText, &pid, &parseError) || pid < 0) {
    *error = "Error: invalid direct mode pid '" + pidText + "'\n";
    return false;
  }
  const uint16_t vid = EncodeEdidVendorId(vidText);
  config->direct_mode_edid_vid = vid;
  config->direct_mode_edid_pid = static_cast<uint32_t>(pid);
  PrintProgress(quiet, "Set edid vid to: %s (%d)\n", vidText.c_str(), static_cast<int>(vid));
  PrintProgress(quiet, "Set edid pid to: %s (%d)\n", pidText.c_str(), static_cast<int>(pid));
  return true;
}

StepResult EditDirectModeIds(RunContext& run) {
  const ToolOptions& o = run.options;
  if (o.clearDirectModeVidPid) ClearDirectModeIds(&run.config);
  if (!o.setDirectModeVidPid) return StepResult::kContinue;
  std::string error;
  if (SetDirectModeIds(&run.config, o.directModeVidText, o.directModePidText, run.quiet, &error))
    return StepResult::kContinue;
  PrintInEveryMode("%s", error.c_str());
  return StepResult::kExitFailure;
}
