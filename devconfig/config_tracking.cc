// IMU and head poses and the IMU calibration, in the legacy form (seven
// numbers per pose, calibration at the top level) and the sectioned form
// ("imu" and "head" objects holding axes).
#include "devconfig/configsections.h"

#include <utility>

#include "devconfig/jsonhelpers.h"
#include "devconfig/pose.h"

namespace configsections {

namespace {

const char* const kAxisNames[3] = {"position", "plus_x", "plus_z"};

bool HasAnyAxis(const Json::Value& object) {
  for (const char* name : kAxisNames) {
    if (JsonHas(object, name)) return true;
  }
  return false;
}

// Absent axes read as zero, which PoseFromAxes refuses: unusable axes give
// the identity pose.
Pose ReadAxes(const Json::Value& object) {
  double axes[3][3];
  const Json::Value zero(0.0);
  for (int a = 0; a < 3; ++a) {
    const Json::Value& array = JsonAt(object, kAxisNames[a]);
    for (Json::ArrayIndex i = 0; i < 3; ++i) axes[a][i] = JsonGet(array, i, zero).asDouble();
  }
  Pose pose = Pose::Identity();
  if (!PoseFromAxes(axes[0], axes[1], axes[2], &pose)) pose = Pose::Identity();
  return pose;
}

void AddAxes(const Pose& pose, Json::Value* object) {
  double axes[3][3];
  AxesFromPose(pose, axes[0], axes[1], axes[2]);
  for (int a = 0; a < 3; ++a) {
    Json::Value array(Json::arrayValue);
    for (int i = 0; i < 3; ++i) array.append(JsonDouble(axes[a][i]));
    (*object)[kAxisNames[a]] = std::move(array);
  }
}

// Quaternion x, y, z, w, then the translation; missing elements read as 0.
Pose ReadSevenNumbers(const Json::Value& array) {
  Pose pose;
  const Json::Value zero(0.0);
  for (Json::ArrayIndex i = 0; i < 4; ++i) pose.rotation[i] = JsonGet(array, i, zero).asFloat();
  for (Json::ArrayIndex i = 0; i < 3; ++i) pose.translation[i] = JsonGet(array, 4 + i, zero).asFloat();
  return pose;
}

Json::Value SevenNumbers(const Pose& pose) {
  Json::Value array(Json::arrayValue);
  for (float v : pose.rotation) array.append(JsonFloat(v));
  for (float v : pose.translation) array.append(JsonFloat(v));
  return array;
}

}  // namespace

void ReadPosesAndImu(const Json::Value& root, TrackedDeviceConfig* config) {
  config->trackref_from_imu = Pose::Identity();
  config->trackref_from_head = Pose::Identity();
  config->imu = vantage::ImuCalibration();
  config->imu_calibration_present = false;
  config->formatVersion = kFormatLegacy;

  if (JsonHas(root, "imu")) {
    const Json::Value& imu = JsonAt(root, "imu");
    config->formatVersion = kFormatSectioned;
    vantage::FromJson(imu, &config->imu, nullptr);
    for (const char* name : {"gyro_bias", "gyro_scale", "acc_bias", "acc_scale"})
      config->imu_calibration_present = config->imu_calibration_present || JsonHas(imu, name);
    if (HasAnyAxis(imu)) config->trackref_from_imu = ReadAxes(imu);
  } else if (JsonHas(root, "trackref_from_imu")) {
    config->trackref_from_imu = ReadSevenNumbers(JsonAt(root, "trackref_from_imu"));
  }

  if (JsonHas(root, "head")) {
    config->formatVersion = kFormatSectioned;
    config->trackref_from_head = ReadAxes(JsonAt(root, "head"));
  } else if (JsonHas(root, "trackref_from_head")) {
    config->trackref_from_head = ReadSevenNumbers(JsonAt(root, "trackref_from_head"));
  }

  // The legacy form keeps the calibration's four members at the top level.
  if (config->formatVersion == kFormatLegacy && JsonHas(root, "gyro_bias")) {
    vantage::FromJson(root, &config->imu, nullptr);
    config->imu_calibration_present = true;
  }
}

void WritePosesAndImu(const TrackedDeviceConfig& config, Json::Value* root) {
  if (config.formatVersion != kFormatLegacy) {
    Json::Value imu = vantage::ToJson(config.imu);
    // Decided on the axes, not the seven values: a pose that is the identity
    // rotation in another form would be written as identity axes, which
    // read back as the identity pose and are left out the next time.
    if (!AxesAreIdentity(config.trackref_from_imu)) AddAxes(config.trackref_from_imu, &imu);
    if (!imu.empty()) (*root)["imu"] = std::move(imu);
    if (!AxesAreIdentity(config.trackref_from_head)) {
      Json::Value head(Json::objectValue);
      AddAxes(config.trackref_from_head, &head);
      (*root)["head"] = std::move(head);
    }
    return;
  }
  if (!config.trackref_from_imu.IsIdentity()) (*root)["trackref_from_imu"] = SevenNumbers(config.trackref_from_imu);
  MergeJsonObjects(*root, vantage::ToJson(config.imu, true));
  if (!config.trackref_from_head.IsIdentity())
    (*root)["trackref_from_head"] = SevenNumbers(config.trackref_from_head);
}

}  // namespace configsections
