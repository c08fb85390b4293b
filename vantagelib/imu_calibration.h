// Gyroscope and accelerometer bias and scale of a tracked device's IMU.
#pragma once

#include <json/json.h>

#include <string>

namespace vantage {

struct ImuCalibration {
  float gyro_bias[3] = {0.0f, 0.0f, 0.0f};
  float gyro_scale[3] = {1.0f, 1.0f, 1.0f};
  float acc_bias[3] = {0.0f, 0.0f, 0.0f};
  float acc_scale[3] = {1.0f, 1.0f, 1.0f};

  bool operator==(const ImuCalibration& other) const;
  bool operator!=(const ImuCalibration& other) const { return !(*this == other); }
};

// Reads the four keys of `value` (the "imu" object, or the document root of
// the legacy form); absent keys take their defaults. Always true: nothing
// here can be of the wrong kind.
bool FromJson(const Json::Value& value, ImuCalibration* out, std::string* error);
// An object with the keys that differ from their defaults (a scale of all
// zeros counts as default), or with all four keys when writeAll is set.
Json::Value ToJson(const ImuCalibration& imu, bool writeAll = false);

// Three floats from elements 0 to 2 of an array (missing elements read as
// 0), and back as an array of three reals.
void ReadJsonVector3f(const Json::Value& array, float out[3]);
Json::Value WriteJsonVector3f(const float values[3]);

}  // namespace vantage
