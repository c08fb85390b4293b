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

bool FromJson(const Json::Value& value, ImuCalibration* out, std::string*) {
  *out = ImuCalibration();
  ReadIfPresent(value, "gyro_bias", out->gyro_bias);
  ReadIfPresent(value, "gyro_scale", out->gyro_scale);
  ReadIfPresent(value, "acc_bias", out->acc_bias);
  ReadIfPresent(value, "acc_scale", out->acc_scale);
  // A zero gyroscope scale means "not calibrated"; a zero accelerometer
  // scale is kept as it stands.
  if (JsonHas(value, "gyro_scale") && AllEqual(out->gyro_scale, 0.0f)) Fill(out->gyro_scale, 1.0f);
  return true;
}

Json::Value ToJson(const ImuCalibration& imu, bool writeAll) {
  Json::Value object(Json::objectValue);
  if (writeAll || !AllEqual(imu.gyro_bias, 0.0f)) object["gyro_bias"] = WriteJsonVector3f(imu.gyro_bias);
  if (writeAll || !(AllEqual(imu.gyro_scale, 1.0f) || AllEqual(imu.gyro_scale, 0.0f)))
    object["gyro_scale"] = WriteJsonVector3f(imu.gyro_scale);
  if (writeAll || !AllEqual(imu.acc_bias, 0.0f)) object["acc_bias"] = WriteJsonVector3f(imu.acc_bias);
  if (writeAll || !(AllEqual(imu.acc_scale, 1.0f) || AllEqual(imu.acc_scale, 0.0f)))
    object["acc_scale"] = WriteJsonVector3f(imu.acc_scale);
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
