#include "devconfig/configloader.h"

#include <utility>
#include <vector>

#include "corelib/src/atomicfile.h"
#include "corelib/src/pathtools.h"
#include "devconfig/jsonhelpers.h"

namespace {

enum class Container { Object, Array };

struct SectionKind {
  const char* member;
  Container kind;
};

// Top-level members the model reads as containers. A value of another kind
// (null aside, which reads as absent) is refused before the model reads it,
// so no codec ever looks a member up in a value of the wrong kind.
const SectionKind kSectionKinds[] = {
    {"device", Container::Object},
    {"display_edid", Container::Array},
    {"display_color_mult", Container::Array},
    {"display_mc", Container::Object},
    {"display_gc", Container::Object},
    {"tracking_to_eye_transform", Container::Array},
    {"imu", Container::Object},
    {"head", Container::Object},
    {"trackref_from_imu", Container::Array},
    {"trackref_from_head", Container::Array},
    {"ipd", Container::Object},
    {"proximity", Container::Object},
    {"eye_tracking", Container::Object},
    {"skybeacon_config", Container::Object},
    {"isps", Container::Array},
    {"tracked_camera", Container::Object},
    {"tracked_camera1", Container::Object},
    {"second_tracked_camera", Container::Object},
    {"dual_extrinsics", Container::Object},
    {"tracked_cameras", Container::Array},
};

bool HasKind(const Json::Value& value, Container kind) {
  return value.isNull() || (kind == Container::Object ? value.isObject() : value.isArray());
}

std::string ConfigDirectoryFile(const std::string& name) {
  return corelib::JoinPath(corelib::JoinPath("cfg", "hmd"), name + ".json");
}

}  // namespace

bool ValidateConfigDocument(const Json::Value& root, std::string* error) {
  if (!root.isObject()) {
    *error = std::string("the document is ") + JsonKindName(root) + ", not a JSON object";
    return false;
  }
  for (const SectionKind& section : kSectionKinds) {
    const Json::Value& value = JsonAt(root, section.member);
    if (HasKind(value, section.kind)) continue;
    *error = std::string("member \"") + section.member + "\" must be " +
             (section.kind == Container::Object ? "an object" : "an array") + ", not " + JsonKindName(value);
    return false;
  }
  const Json::Value& pid = JsonAt(root, "direct_mode_edid_pid");
  if (pid.isString()) {
    int32_t value = 0;
    std::string parseError;
    if (!ParseEdidProductId(pid.asString(), &value, &parseError)) {
      *error = "member \"direct_mode_edid_pid\" holds \"" + pid.asString() +
               "\", which is not a hexadecimal product id";
      return false;
    }
  }
  return true;
}

namespace {

// Validates, then runs `read` (which fills the model from root) under the
// guard, and refuses a document with a section member of the wrong kind.
template <typename Read>
bool FillChecked(TrackedDeviceConfig* model, const Json::Value& root, Read read, std::string* error) {
  if (!ValidateConfigDocument(root, error)) return false;
  // The reads are lenient and the shape was checked; the guard is the last
  // line against an exception of the JSON library all the same.
  std::string guardError;
  std::string problem;
  if (!JsonGuard([&] { read(&problem); }, &guardError)) {
    model->Reset();
    *error = "the document could not be read: " + guardError;
    return false;
  }
  // A section member of the wrong kind deeper down: the record could only
  // guess at it, so the document is refused like one with a wrong top level.
  if (!problem.empty()) {
    model->Reset();
    *error = problem;
    return false;
  }
  return true;
}

}  // namespace

bool FillConfigFromJson(TrackedDeviceConfig* model, const Json::Value& root, std::string* error) {
  return FillChecked(model, root, [&](std::string* problem) { model->FromJson(root, problem); }, error);
}

bool FillConfigFromJson(TrackedDeviceConfig* model, Json::Value&& root, std::string* error) {
  return FillChecked(model, root, [&](std::string* problem) { model->TakeFromJson(&root, problem); }, error);
}

bool ParseText(TrackedDeviceConfig* model, const std::string& text, std::string* error) {
  Json::Value root;
  if (!ParseJsonText(text, &root, error)) return false;
  return FillConfigFromJson(model, std::move(root), error);
}

bool LoadFromString(TrackedDeviceConfig* model, std::string* errorOut, const std::string& text) {
  errorOut->clear();
  if (text.empty()) {
    *errorOut = "configuration string is empty";
    return false;
  }
  if (!ParseText(model, text, errorOut)) return false;
  if (model->device_class == TrackedDeviceClass::HMD && !vantage::IsValidStereoSetup(model->stereo_setup)) {
    model->Reset();
    *errorOut = "missing values from \"device\" section";
    return false;
  }
  return true;
}

bool LoadFromFile(TrackedDeviceConfig* model, std::string* errorOut, const std::string& path, bool inConfigDirectory) {
  const std::string text =
      inConfigDirectory ? corelib::ReadDriverConfigFile(ConfigDirectoryFile(path)) : corelib::ReadTextFile(path);
  if (text.empty()) {
    errorOut->assign("file is empty or does not exist");
    return false;
  }
  return LoadFromString(model, errorOut, text);
}

std::string ToJsonString(const TrackedDeviceConfig& model, bool raiseRevision) {
  // The verbatim blocks are written straight from the model, not copied.
  std::vector<JsonMemberRef> blocks;
  Json::Value root = model.ToJson(&blocks);
  if (raiseRevision) {
    // Unsigned arithmetic wraps 4294967295 round to 0.
    const uint32_t revision = JsonGet(root, "revision", Json::Value(0u)).asUInt();
    root["revision"] = Json::Value(static_cast<Json::UInt>(revision + 1u));
  }
  return WriteStyledJson(root, blocks);
}

bool SaveToFile(const TrackedDeviceConfig& model, const std::string& path, bool inConfigDirectory, std::string* error) {
  const std::string text = ToJsonString(model, true);
  const std::string target =
      inConfigDirectory ? corelib::JoinPath(corelib::DriverConfigDirectory(), ConfigDirectoryFile(path)) : path;
  std::string replaceError;
  const bool ok = corelib::ReplaceFileAtomically(target, text, &replaceError);
  if (!ok && error != nullptr) *error = replaceError;
  return ok;
}

void ReformatToLatest(TrackedDeviceConfig* model) { model->formatVersion = kFormatLatest; }
