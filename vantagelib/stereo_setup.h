// How a head-mounted display presents its two eyes: the keys of the
// "device" object of a configuration document.
#pragma once

#include <json/json.h>

#include <cstdint>
#include <string>

namespace vantage {

enum Eye : int32_t {
  eEYE_LEFT = 0,
  eEYE_L = 0,
  eEYE_FIRST = 0,
  eEYE_RIGHT = 1,
  eEYE_R = 1,
  eNUM_EYES = 2,
};

// Case-insensitive over the six names; no match gives eEYE_LEFT.
Eye EyeFromName(const std::string& name);
// "eEYE_LEFT", "eEYE_RIGHT", "eNUM_EYES"; any other value asserts and gives "Unknown".
const char* EyeName(int32_t eye);

// Display device kinds. No key of the stereo setup carries one.
enum Stereo_Device_Type : int32_t {
  STEREO_DEV_UNKNOWN = 0,
  STEREO_DEV_SINGLE_PANEL = 1,
  STEREO_DEV_DUAL_PANEL = 2,
  STEREO_DEV_SIDE_BY_SIDE = 3,
  STEREO_DEV_TOP_BOTTOM = 4,
  STEREO_DEV_INTERLEAVED = 5,
  STEREO_DEV_DIRECT_MODE = 6,
  STEREO_DEV_EXTENDED_MODE = 7,
  STEREO_DEV_WIRELESS = 8,
  STEREO_DEV_MIRRORED = 9,
  STEREO_DEV_REMOTE = 10,
  STEREO_DEV_SIMULATED = 11,
  STEREO_DEV_HEADLESS = 12,
  STEREO_DEV_PROTOTYPE_A = 13,
  STEREO_DEV_PROTOTYPE_B = 14,
  STEREO_DEV_TEST = 15,
  STEREO_DEV_NUM = 16,
};

// Case-insensitive; no match gives STEREO_DEV_UNKNOWN.
Stereo_Device_Type StereoDeviceTypeFromName(const std::string& name);
// Values outside 0..16 assert and give "Unknown".
const char* StereoDeviceTypeName(int32_t type);

constexpr float kDefaultRenderTargetScale = 1.4f;

struct StereoSetup {
  int32_t eye_target_width_in_pixels = 0;
  int32_t eye_target_height_in_pixels = 0;
  int32_t num_windows = 0;
  Eye first_eye = eEYE_LEFT;
  Eye last_eye = eEYE_LEFT;
  float subpixel_shift_red_in_pixels[2] = {0.0f, 0.0f};
  float subpixel_shift_blue_in_pixels[2] = {0.0f, 0.0f};
  uint32_t hidden_area_mesh = 0;  // 0..6
  float render_target_scale = kDefaultRenderTargetScale;
};

// Reads the keys of the "device" object; absent or unusable keys take their
// defaults, and a value that is not an object reads as empty. Always true.
bool FromJson(const Json::Value& device, StereoSetup* out, std::string* error);
// The "device" object: the keys that differ from their defaults, the two
// eyes always.
Json::Value ToJson(const StereoSetup& setup);

// The render target size and window count are each at least 1.
bool IsValidStereoSetup(const StereoSetup& setup);

}  // namespace vantage
