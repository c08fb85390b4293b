#include "devconfig/configloader.h"

#include <utility>
#include <vector>

#include "corelib/src/atomicfile.h"
#include "corelib/src/pathtools.h"
#include "corelib/src/strtools_public.h"
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

// A member name, looked at where the tree keeps it rather than copied.
bool IsUtf8Name(const Json::Value::const_iterator& it) {
  const char* end = nullptr;
  const char* name = it.memberName(&end);
  return name == nullptr || corelib::IsUtf8(name, end);
}

// Every string and member name under `value`. Text that is not UTF-8 (raw,
// or from escapes of lone surrogates) cannot be written back: the writer
// replaces it as the JSON library escapes it, which changes it, and can give
// two member names the same written name, so that one of them is lost.
bool HoldsOnlyUtf8(const Json::Value& value) {
  switch (value.type()) {
    case Json::stringValue: {
      const char* begin = nullptr;
      const char* end = nullptr;
      return !value.getString(&begin, &end) || corelib::IsUtf8(begin, end);
    }
    case Json::objectValue: {
      const Json::Value::const_iterator end = value.end();
      for (Json::Value::const_iterator it = value.begin(); it != end; ++it) {
        if (!IsUtf8Name(it) || !HoldsOnlyUtf8(*it)) return false;
      }
      return true;
    }
    case Json::arrayValue:
      for (const Json::Value& element : value) {
        if (!HoldsOnlyUtf8(element)) return false;
      }
      return true;
    default:
      return true;
  }
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
  for (auto it = root.begin(); it != root.end(); ++it) {
    if (!IsUtf8Name(it)) {
      *error = "a member name is not UTF-8 text";
      return false;
    }
    if (!HoldsOnlyUtf8(*it)) {
      *error = "member \"" + it.name() + "\" holds text that is not UTF-8";
      return false;
    }
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
  if (!CheckLoadable(*model, errorOut)) {
    model->Reset();
    return false;
  }
  return true;
}

bool CheckLoadable(const TrackedDeviceConfig& model, std::string* error) {
  if (model.device_class != TrackedDeviceClass::HMD || vantage::IsValidStereoSetup(model.stereo_setup)) return true;
  *error = "missing values from \"device\" section";
  return false;
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
  std::string text = WriteStyledJson(root, blocks);
  JsonRelease(std::move(root));
  return text;
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
