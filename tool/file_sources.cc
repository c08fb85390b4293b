#include "tool/file_sources.h"

#include "corelib/src/pathtools.h"
#include "devconfig/configloader.h"
#include "devconfig/jsonhelpers.h"
#include "tool/progress.h"

namespace {

std::string ReadError(const std::string& path, const std::string& why) {
  return "Error reading '" + path + "': Error: " + why + "\n";
}

StepResult Stop(const std::string& error) {
  PrintInEveryMode("%s", error.c_str());
  return StepResult::kExitFailure;
}

}  // namespace

bool LoadInputFile(TrackedDeviceConfig* config, const std::string& path, std::string* error) {
  std::string loadError;
  if (LoadFromFile(config, &loadError, path)) return true;
  *error = ReadError(path, loadError);
  return false;
}

bool LoadVerificationFile(TrackedDeviceConfig* config, const std::string& path, std::string* error) {
  const std::string text = corelib::ReadTextFile(path);
  if (text.empty()) {
    *error = "Please confirm input file " + path + " exists.\n";
    return false;
  }
  Json::Value root;
  std::string parseError;
  if (!ParseJsonText(text, &root, &parseError)) {
    *error = "Error parsing json " + parseError + "\n";
    return false;
  }
  // JsonAt reads a root that is not an object as having no members.
  const Json::Value& document = JsonAt(root, "device_json");
  if (document.isNull()) {
    *error = "Input file " + path + " does not have 'device_json' element\n";
    return false;
  }
  // The wrapped document skips the device-section check of a loaded file,
  // but one of the wrong shape is refused rather than half read.
  std::string fillError;
  if (FillConfigFromJson(config, document, &fillError)) return true;
  *error = ReadError(path, fillError);
  return false;
}

bool TakeSerialFromFile(TrackedDeviceConfig* config, const std::string& path, std::string* error) {
  TrackedDeviceConfig source;
  if (!LoadInputFile(&source, path, error)) return false;
  config->device_serial_number = source.device_serial_number;
  PrintInEveryMode("Serial: %s\n", config->device_serial_number.c_str());
  return true;
}

StepResult LoadBaseDocument(RunContext& run) {
  const ToolOptions& o = run.options;
  std::string error;
  if (o.inputFromDevice) {
    // The headset's document is read here, with the device sources.
  } else if (!o.inputFile.empty()) {
    if (!LoadInputFile(&run.config, o.inputFile, &error)) return Stop(error);
  } else if (!o.inputVerificationFile.empty()) {
    if (!LoadVerificationFile(&run.config, o.inputVerificationFile, &error)) return Stop(error);
  }
  return StepResult::kContinue;
}

StepResult ApplySerialFile(RunContext& run) {
  if (run.options.serialFile.empty()) return StepResult::kContinue;
  std::string error;
  if (TakeSerialFromFile(&run.config, run.options.serialFile, &error)) return StepResult::kContinue;
  return Stop(error);
}
