// Display, IPD and proximity members of the configuration document.
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>

#include "devconfig/configsections.h"
#include "devconfig/jsonhelpers.h"

namespace configsections {

namespace {

const Json::Value kZero(0);
const Json::Value kZeroReal(0.0);
const Json::Value kFalse(false);
const Json::Value kEmptyText("");
const double kDefaultDisplayFrequency = 90.0;

float ReadFloat(const Json::Value& object, const char* name, double def) {
  return JsonGet(object, name, Json::Value(def)).asFloat();
}

// Millimetres to metres: the double product rounded once to float, so that
// a whole number of millimetres writes back as the same number.
float ReadMillimetres(const Json::Value& object, const char* name, double def) {
  const double metres = JsonGet(object, name, Json::Value(def)).asDouble() * 0.001;
  // Beyond float range reads as the default, like any number out of range:
  // an infinite float would be written as 1e+9999, which no reader takes back.
  if (!(std::fabs(metres) <= std::numeric_limits<float>::max())) return static_cast<float>(def * 0.001);
  return static_cast<float>(metres);
}

// Metres back to millimetres: the shortest decimal (at most 9 significant
// digits) that ReadMillimetres turns into the same float. The plain float
// product can miss it (63.5 mm would come back as 63.5000038).
Json::Value Millimetres(float metres) {
  const double product = static_cast<double>(metres) * 1000.0;
  if (!std::isfinite(product)) return JsonFloat(metres * 1000.0f);
  for (int digits = 1; digits <= 9; ++digits) {
    const double candidate = std::strtod(FormatJsonReal(product, digits).c_str(), nullptr);
    if (static_cast<float>(candidate * 0.001) == metres) return JsonReal(candidate, 9);
  }
  return JsonFloat(metres * 1000.0f);
}

}  // namespace

void ReadDisplayTiming(const Json::Value& root, TrackedDeviceConfig* config) {
  config->seconds_from_vsync_to_photons = ReadFloat(root, "seconds_from_vsync_to_photons", 0.0);
  config->seconds_from_photons_to_vblank = ReadFloat(root, "seconds_from_photons_to_vblank", 0.0);
  // The present flag keeps an explicit 90 in the document.
  config->display_frequency_present = JsonHas(root, "display_frequency");
  config->display_frequency = config->display_frequency_present
                                  ? ReadFloat(root, "display_frequency", kDefaultDisplayFrequency)
                                  : static_cast<float>(kDefaultDisplayFrequency);
  config->display_hdr10 = JsonGet(root, "display_hdr10", kFalse).asBool();
  config->display_multiframerate = JsonGet(root, "display_multiframerate", kFalse).asBool();
}

void ReadDisplayEdids(const Json::Value& root, TrackedDeviceConfig* config) {
  const Json::Value& edids = JsonAt(root, "display_edid");
  ForEachDocumentEye(config->stereo_setup, [&](int eye, Json::ArrayIndex element) {
    config->display_edid[eye] = JsonGet(edids, element, kEmptyText).asString();
  });
  // A single-window display shows both eyes on the first panel.
  if (config->stereo_setup.num_windows == 2) {
    if (config->display_edid[1].empty()) config->display_edid[1] = config->display_edid[0];
  } else {
    config->display_edid[1].clear();
  }
}

void ReadColorMultipliers(const Json::Value& root, TrackedDeviceConfig* config) {
  if (!JsonHas(root, "display_color_mult")) return;
  config->display_color_mult_present = true;
  const Json::Value& mult = JsonAt(root, "display_color_mult");
  for (Json::ArrayIndex e = 0; e < 2; ++e) {
    float* rgb = config->display_color_mult[e];
    for (Json::ArrayIndex c = 0; c < 3; ++c) rgb[c] = JsonGet(JsonAt(mult, e), c, kZeroReal).asFloat();
    // All zeros means "not measured", not "black".
    if (rgb[0] == 0.0f && rgb[1] == 0.0f && rgb[2] == 0.0f) rgb[0] = rgb[1] = rgb[2] = 1.0f;
  }
}

void ReadDisplayCorrection(const Json::Value& root, TrackedDeviceConfig* config) {
  const Json::Value& mc = JsonAt(root, "display_mc");
  config->display_mc_type = JsonGet(mc, "type", kZero).asInt();
  config->display_mc_offset = ReadFloat(mc, "offset", 0.0);
  config->display_mc_scale = ReadFloat(mc, "scale", 0.0);
  config->display_mc_left = JsonGet(mc, "left", kEmptyText).asString();
  config->display_mc_right = JsonGet(mc, "right", kEmptyText).asString();

  const Json::Value& gc = JsonAt(root, "display_gc");
  config->display_gc_black_clamp = ReadFloat(gc, "black_clamp", 0.0);
  config->display_gc_type = JsonGet(gc, "type", kZero).asInt();
  config->display_gc_offset = ReadFloat(gc, "offset", 0.0);
  config->display_gc_scale = ReadFloat(gc, "scale", 0.0);
  config->display_gc_prescale = ReadFloat(gc, "prescale", 1.0);
  config->display_gc_image = JsonGet(gc, "image", kEmptyText).asString();
}

void ReadDscAndTrackingCamera(const Json::Value& root, TrackedDeviceConfig* config) {
  const Json::Value zero(0u);
  config->dsc_version = JsonGet(root, "dsc_version", zero).asUInt();
  config->dsc_slices = JsonGet(root, "dsc_slices", zero).asUInt();
  config->dsc_bppx16 = JsonGet(root, "dsc_bppx16", zero).asUInt();
  config->tracking_camera_intrinsics = JsonGet(root, "tracking_camera_intrinsics", kEmptyText).asString();
  config->tracking_camera_unique_id = JsonGet(root, "tracking_camera_unique_id", zero).asUInt();
}

void ReadParallelRenderCameras(const Json::Value& root, TrackedDeviceConfig* config) {
  config->parallel_render_cameras_present = JsonHas(root, "parallel_render_cameras");
  config->parallel_render_cameras =
      config->parallel_render_cameras_present && JsonGet(root, "parallel_render_cameras", kFalse).asBool();
}

void ReadExpectedCounts(const Json::Value& root, TrackedDeviceConfig* config) {
  const Json::Value two(2u);
  config->expected_controllers = JsonGet(root, "expected_controllers", two).asUInt();
  config->expected_bases = JsonGet(root, "expected_bases", two).asUInt();
}

void ReadIpd(const Json::Value& root, TrackedDeviceConfig* config) {
  IpdSettings& ipd = config->ipd;
  config->ipd_present = JsonHas(root, "ipd") || JsonHas(root, "minimum_ipd_step");
  if (JsonHas(root, "ipd")) {
    const Json::Value& object = JsonAt(root, "ipd");
    ipd.high = ReadMillimetres(object, "high_mm", 0.0);
    ipd.low = ReadMillimetres(object, "low_mm", 0.0);
    ipd.default_ipd = ReadMillimetres(object, "default_mm", 0.0);
    ipd.min_step = ReadMillimetres(object, "minstep_mm", -1.0);
    ipd.enable = JsonGet(object, "enable", kFalse).asBool();
  } else {
    // The older member already holds metres.
    ipd.min_step = ReadFloat(root, "minimum_ipd_step", -1.0);
    ipd.enable = false;
    ipd.default_ipd = 0.0f;
  }
}

void ReadProximity(const Json::Value& root, TrackedDeviceConfig* config) {
  config->proximity_present = JsonHas(root, "proximity");
  config->proximity_enable =
      config->proximity_present && JsonGet(JsonAt(root, "proximity"), "enable", kFalse).asBool();
}

void WriteDisplayEdids(const TrackedDeviceConfig& config, Json::Value* root) {
  Json::Value edids(Json::arrayValue);
  ForEachDocumentEye(config.stereo_setup,
                     [&](int eye, Json::ArrayIndex element) { edids[element] = config.display_edid[eye]; });
  if (!edids.empty()) (*root)["display_edid"] = std::move(edids);
}

void WriteDisplayCorrection(const TrackedDeviceConfig& config, Json::Value* root) {
  if (config.display_mc_type != 0) {
    Json::Value mc(Json::objectValue);
    mc["type"] = config.display_mc_type;
    mc["offset"] = JsonDouble(config.display_mc_offset);
    mc["scale"] = JsonDouble(config.display_mc_scale);
    mc["left"] = config.display_mc_left;
    mc["right"] = config.display_mc_right;
    (*root)["display_mc"] = std::move(mc);
  }
  Json::Value gc(Json::objectValue);
  if (config.display_gc_black_clamp != 0.0f) gc["black_clamp"] = JsonFloat(config.display_gc_black_clamp);
  if (config.display_gc_type != 0) {
    gc["type"] = config.display_gc_type;
    gc["offset"] = JsonDouble(config.display_gc_offset);
    gc["scale"] = JsonDouble(config.display_gc_scale);
    gc["prescale"] = JsonDouble(config.display_gc_prescale);
    gc["image"] = config.display_gc_image;
  }
  if (!gc.empty()) (*root)["display_gc"] = std::move(gc);
}

void WriteDsc(const TrackedDeviceConfig& config, Json::Value* root) {
  if (config.dsc_version == 0) return;
  (*root)["dsc_version"] = config.dsc_version;
  (*root)["dsc_slices"] = config.dsc_slices;
  (*root)["dsc_bppx16"] = config.dsc_bppx16;
}

void WriteColorAndTiming(const TrackedDeviceConfig& config, Json::Value* root) {
  if (config.display_color_mult_present) {
    Json::Value mult(Json::arrayValue);
    for (const float* rgb : config.display_color_mult) {
      Json::Value triple(Json::arrayValue);
      for (int c = 0; c < 3; ++c) triple.append(JsonFloat(rgb[c]));
      mult.append(std::move(triple));
    }
    (*root)["display_color_mult"] = std::move(mult);
  }
  if (config.seconds_from_vsync_to_photons != 0.0f)
    (*root)["seconds_from_vsync_to_photons"] = JsonFloat(config.seconds_from_vsync_to_photons);
  if (config.seconds_from_photons_to_vblank != 0.0f)
    (*root)["seconds_from_photons_to_vblank"] = JsonFloat(config.seconds_from_photons_to_vblank);
  if (config.display_frequency_present || config.display_frequency != static_cast<float>(kDefaultDisplayFrequency))
    (*root)["display_frequency"] = JsonFloat(config.display_frequency);
  if (config.display_hdr10) (*root)["display_hdr10"] = true;
  if (config.display_multiframerate) (*root)["display_multiframerate"] = true;
}

// Written at 0 too: an absent count reads as 2, so a 0 left out would come
// back as 2 on the next read.
void WriteExpectedCounts(const TrackedDeviceConfig& config, Json::Value* root) {
  (*root)["expected_controllers"] = config.expected_controllers;
  (*root)["expected_bases"] = config.expected_bases;
}

void WriteIpd(const TrackedDeviceConfig& config, Json::Value* root) {
  const IpdSettings& ipd = config.ipd;
  // The legacy form only knew a fixed IPD with its step in metres.
  if (config.formatVersion == kFormatLegacy && ipd.low == ipd.high) {
    (*root)["minimum_ipd_step"] = JsonFloat(ipd.min_step);
    return;
  }
  Json::Value object(Json::objectValue);
  if (ipd.min_step >= 0.0f) object["minstep_mm"] = Millimetres(ipd.min_step);
  if (!(ipd.low == ipd.high && !ipd.enable)) {
    object["high_mm"] = Millimetres(ipd.high);
    object["low_mm"] = Millimetres(ipd.low);
    object["enable"] = ipd.enable;
  }
  if (ipd.default_ipd != 0.0f) object["default_mm"] = Millimetres(ipd.default_ipd);
  if (!object.empty()) (*root)["ipd"] = std::move(object);
}

void WriteProximityAndParallel(const TrackedDeviceConfig& config, Json::Value* root) {
  if (config.proximity_present || config.proximity_enable) (*root)["proximity"]["enable"] = config.proximity_enable;
  if (config.parallel_render_cameras_present) (*root)["parallel_render_cameras"] = config.parallel_render_cameras;
}

void WriteTrackingCamera(const TrackedDeviceConfig& config, Json::Value* root) {
  if (!config.tracking_camera_intrinsics.empty())
    (*root)["tracking_camera_intrinsics"] = config.tracking_camera_intrinsics;
  if (config.tracking_camera_unique_id != 0) (*root)["tracking_camera_unique_id"] = config.tracking_camera_unique_id;
}

}  // namespace configsections
