#include "vantagelib/stereo_setup.h"

#include <strings.h>

#include <cstring>
#include <utility>

#include "corelib/src/logchannel.h"
#include "vantagelib/json_access.h"

namespace vantage {

namespace {

struct EyeNameRow {
  const char* name;
  Eye value;
};

// Several names share a value; the first row of a value is its written name.
const EyeNameRow kEyeNames[] = {
    {"eEYE_LEFT", eEYE_LEFT}, {"eEYE_L", eEYE_L},         {"eEYE_FIRST", eEYE_FIRST},
    {"eEYE_RIGHT", eEYE_RIGHT}, {"eEYE_R", eEYE_R}, {"eNUM_EYES", eNUM_EYES},
};

const char* const kStereoDeviceTypeNames[] = {
    "STEREO_DEV_UNKNOWN",     "STEREO_DEV_SINGLE_PANEL", "STEREO_DEV_DUAL_PANEL",  "STEREO_DEV_SIDE_BY_SIDE",
    "STEREO_DEV_TOP_BOTTOM",  "STEREO_DEV_INTERLEAVED",  "STEREO_DEV_DIRECT_MODE", "STEREO_DEV_EXTENDED_MODE",
    "STEREO_DEV_WIRELESS",    "STEREO_DEV_MIRRORED",     "STEREO_DEV_REMOTE",      "STEREO_DEV_SIMULATED",
    "STEREO_DEV_HEADLESS",    "STEREO_DEV_PROTOTYPE_A",  "STEREO_DEV_PROTOTYPE_B", "STEREO_DEV_TEST",
    "STEREO_DEV_NUM",
};
static_assert(sizeof(kStereoDeviceTypeNames) / sizeof(char*) == STEREO_DEV_NUM + 1, "one name per kind");

const uint32_t kMaxHiddenAreaMesh = 6;

bool SameText(const std::string& text, const char* name) {
  return text.size() == strlen(name) && strcasecmp(text.c_str(), name) == 0;
}

void ReadShift(const Json::Value& device, const char* key, float shift[2]) {
  const Json::Value& array = JsonAt(device, key);
  for (Json::ArrayIndex i = 0; i < 2; ++i) shift[i] = JsonGet(array, i, Json::Value(0.0)).asFloat();
}

void WriteShift(const float shift[2], const char* key, Json::Value* device) {
  if (!(shift[0] * shift[0] + shift[1] * shift[1] > 0.0f)) return;
  Json::Value array(Json::arrayValue);
  array.append(JsonFloat(shift[0]));
  array.append(JsonFloat(shift[1]));
  (*device)[key] = std::move(array);
}

}  // namespace

Eye EyeFromName(const std::string& name) {
  for (const EyeNameRow& row : kEyeNames) {
    if (SameText(name, row.name)) return row.value;
  }
  return eEYE_LEFT;
}

const char* EyeName(int32_t eye) {
  for (const EyeNameRow& row : kEyeNames) {
    if (row.value == eye) return row.name;
  }
  SB_ASSERT_MSG("Missing String for %s (%d)", "Eye", eye);
  return "Unknown";
}

Stereo_Device_Type StereoDeviceTypeFromName(const std::string& name) {
  for (int32_t i = 0; i <= STEREO_DEV_NUM; ++i) {
    if (SameText(name, kStereoDeviceTypeNames[i])) return static_cast<Stereo_Device_Type>(i);
  }
  return STEREO_DEV_UNKNOWN;
}

const char* StereoDeviceTypeName(int32_t type) {
  if (type >= 0 && type <= STEREO_DEV_NUM) return kStereoDeviceTypeNames[type];
  SB_ASSERT_MSG("Missing String for %s (%d)", "Stereo_Device_Type", type);
  return "Unknown";
}

bool FromJson(const Json::Value& device, StereoSetup* out, std::string*) {
  *out = StereoSetup();
  const Json::Value zero(0);
  out->eye_target_width_in_pixels = JsonGet(device, "eye_target_width_in_pixels", zero).asInt();
  out->eye_target_height_in_pixels = JsonGet(device, "eye_target_height_in_pixels", zero).asInt();
  out->num_windows = JsonGet(device, "num_windows", zero).asInt();
  out->first_eye = EyeFromName(JsonGet(device, "first_eye", Json::Value("eEYE_LEFT")).asString());
  out->last_eye = EyeFromName(JsonGet(device, "last_eye", Json::Value("eEYE_LEFT")).asString());
  ReadShift(device, "subpixel_shift_red_in_pixels", out->subpixel_shift_red_in_pixels);
  ReadShift(device, "subpixel_shift_blue_in_pixels", out->subpixel_shift_blue_in_pixels);
  // Out-of-range selectors fall back to mesh 1, not to the default 0.
  const int32_t mesh = JsonGet(device, "hidden_area_mesh", zero).asInt();
  out->hidden_area_mesh =
      (mesh >= 0 && static_cast<uint32_t>(mesh) <= kMaxHiddenAreaMesh) ? static_cast<uint32_t>(mesh) : 1u;
  out->render_target_scale = JsonGet(device, "render_target_scale", Json::Value(1.4)).asFloat();
  return true;
}

Json::Value ToJson(const StereoSetup& setup) {
  Json::Value device(Json::objectValue);
  if (setup.eye_target_width_in_pixels != 0) device["eye_target_width_in_pixels"] = setup.eye_target_width_in_pixels;
  if (setup.eye_target_height_in_pixels != 0) device["eye_target_height_in_pixels"] = setup.eye_target_height_in_pixels;
  if (setup.num_windows != 0) device["num_windows"] = setup.num_windows;
  device["first_eye"] = EyeName(setup.first_eye);
  device["last_eye"] = EyeName(setup.last_eye);
  WriteShift(setup.subpixel_shift_red_in_pixels, "subpixel_shift_red_in_pixels", &device);
  WriteShift(setup.subpixel_shift_blue_in_pixels, "subpixel_shift_blue_in_pixels", &device);
  if (setup.hidden_area_mesh != 0) device["hidden_area_mesh"] = setup.hidden_area_mesh;
  if (setup.render_target_scale != kDefaultRenderTargetScale)
    device["render_target_scale"] = JsonFloat(setup.render_target_scale);
  return device;
}

bool IsValidStereoSetup(const StereoSetup& setup) {
  return setup.eye_target_width_in_pixels >= 1 && setup.eye_target_height_in_pixels >= 1 && setup.num_windows >= 1;
}

}  // namespace vantage
