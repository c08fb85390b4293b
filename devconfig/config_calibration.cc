// The calibration sections of the configuration document that have codecs
// of their own: the per-eye display and lens records and the sensor model.
#include "devconfig/configsections.h"

#include <utility>

#include "devconfig/jsonhelpers.h"
#include "vantagelib/section_json.h"

namespace configsections {

void ReadEyeTransforms(const Json::Value& root, TrackedDeviceConfig* config, std::string* problem) {
  const Json::Value& eyes = JsonAt(root, "tracking_to_eye_transform");
  config->eye_transforms_present = eyes.isArray() && !eyes.empty();
  ForEachDocumentEye(config->stereo_setup, [&](int eye, Json::ArrayIndex element) {
    std::string eyeProblem;
    if (!vantage::FromJson(JsonAt(eyes, element), &config->eye_transforms[eye], &eyeProblem))
      vantage::KeepFirstError(problem, "member \"tracking_to_eye_transform\" element " + std::to_string(element) +
                                           ": " + eyeProblem);
  });
}

void ReadSensorModelMember(const Json::Value& root, TrackedDeviceConfig* config) {
  if (JsonHas(root, "skybeacon_config")) ReadSensorModel(root, &config->sensor_model);
}

void WriteEyeTransforms(const TrackedDeviceConfig& config, Json::Value* root) {
  Json::Value eyes(Json::arrayValue);
  ForEachDocumentEye(config.stereo_setup, [&](int eye, Json::ArrayIndex element) {
    eyes[element] = vantage::ToJson(config.eye_transforms[eye]);
  });
  if (!eyes.empty()) (*root)["tracking_to_eye_transform"] = std::move(eyes);
}

void WriteSensorModelMember(const TrackedDeviceConfig& config, Json::Value* root) {
  // A present model with nothing to write still leaves its (null) member.
  if (config.sensor_model.present)
    (*root)["skybeacon_config"] = WriteSensorModel(config.sensor_model);
}

}  // namespace configsections
