#include "vantagelib/imu_calibration.h"

#include "vantagelib/json_access.h"

namespace vantage {

namespace {

void Fill(float v[3], float value) { v[0] = v[1] = v[2] = value; }

bool AllEqual(const float v[3], float value) { return v[0] == value && v[1] == value && v[2] == value; }

void ReadIfPresent(const Json::Value& object, const char* key, float out[3]) {
  if (JsonHas(object, key)) ReadJsonVector3f(JsonAt(object, key), out);
}

}  // namespace

void ReadJsonVector3f(const Json::Value& array, float out[3]) {
  const Json::Value zero(0.0);
  for (Json::ArrayIndex i = 0; i < 3; ++i) out[i] = JsonGet(array, i, zero).asFloat();
}

Json::Value WriteJsonVector3f(const float values[3]) {
  Json::Value array(Json::arrayValue);
  for (int i = 0; i < 3; ++i) array.append(JsonFloat(values[i]));
  return array;
}

void ImuCalibration::Reset() {
  Fill(gyro_bias, 0.0f);
  Fill(gyro_scale, 1.0f);
  Fill(acc_bias, 0.0f);
  Fill(acc_scale, 1.0f);
}

bool ImuCalibration::FromJson(const Json::Value& object) {
  Reset();
  ReadIfPresent(object, "gyro_bias", gyro_bias);
  ReadIfPresent(object, "gyro_scale", gyro_scale);
  ReadIfPresent(object, "acc_bias", acc_bias);
  ReadIfPresent(object, "acc_scale", acc_scale);
  // A zero gyroscope scale means "not calibrated"; a zero accelerometer
  // scale is kept as it stands.
  if (JsonHas(object, "gyro_scale") && AllEqual(gyro_scale, 0.0f)) Fill(gyro_scale, 1.0f);
  return true;
}

Json::Value ImuCalibration::ToJson(bool writeAll) const {
  Json::Value object(Json::objectValue);
  if (writeAll || !AllEqual(gyro_bias, 0.0f)) object["gyro_bias"] = WriteJsonVector3f(gyro_bias);
  if (writeAll || !(AllEqual(gyro_scale, 1.0f) || AllEqual(gyro_scale, 0.0f)))
    object["gyro_scale"] = WriteJsonVector3f(gyro_scale);
  if (writeAll || !AllEqual(acc_bias, 0.0f)) object["acc_bias"] = WriteJsonVector3f(acc_bias);
  if (writeAll || !(AllEqual(acc_scale, 1.0f) || AllEqual(acc_scale, 0.0f)))
    object["acc_scale"] = WriteJsonVector3f(acc_scale);
  return object;
}

bool ImuCalibration::operator==(const ImuCalibration& other) const {
  for (int i = 0; i < 3; ++i) {
    if (gyro_bias[i] != other.gyro_bias[i] || gyro_scale[i] != other.gyro_scale[i] ||
        acc_bias[i] != other.acc_bias[i] || acc_scale[i] != other.acc_scale[i])
      return false;
  }
  return true;
}

}  // namespace vantage
