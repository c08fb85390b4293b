// Gyroscope and accelerometer bias and scale of a tracked device's IMU.
#pragma once

#include <json/json.h>

namespace vantage {

struct ImuCalibration {
  float gyro_bias[3];   // default 0, 0, 0
  float gyro_scale[3];  // default 1, 1, 1
  float acc_bias[3];    // default 0, 0, 0
  float acc_scale[3];   // default 1, 1, 1

  ImuCalibration() { Reset(); }
  void Reset();
  // Reads the four keys of `object` (the "imu" object, or the document root
  // of the legacy form); absent keys keep their defaults. Always true.
  bool FromJson(const Json::Value& object);
  // An object with the keys that differ from their defaults (a scale of all
  // zeros counts as default), or with all four keys when writeAll is set.
  Json::Value ToJson(bool writeAll) const;

  bool operator==(const ImuCalibration& other) const;
  bool operator!=(const ImuCalibration& other) const { return !(*this == other); }
};

// Three floats from elements 0 to 2 of an array (missing elements read as
// 0), and back as an array of three reals.
void ReadJsonVector3f(const Json::Value& array, float out[3]);
Json::Value WriteJsonVector3f(const float values[3]);

}  // namespace vantage
