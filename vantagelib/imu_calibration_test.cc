// The IMU calibration record: presence-based reads, the gyroscope scale
// fix-up and sparse or complete writing.
#include "vantagelib/imu_calibration.h"

#include <gtest/gtest.h>

#include <string>

#include "devconfig/jsonhelpers.h"

using vantage::ImuCalibration;

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  EXPECT_TRUE(ParseJsonText(text, &root, nullptr)) << text;
  return root;
}

ImuCalibration Read(const std::string& text) {
  ImuCalibration imu;
  imu.gyro_bias[0] = 9.0f;  // a read starts from the defaults
  EXPECT_TRUE(imu.FromJson(Parse(text)));
  return imu;
}

}  // namespace

TEST(ImuCalibrationTest, ReadAndSparseWrite) {
  const struct {
    const char* in;
    const char* sparse;
  } rows[] = {
      {"{}", "{}"}, {"[1]", "{}"},
      // An all-zero gyroscope scale means unit; a zero accelerometer scale is
      // kept, and counts as unset when writing sparsely.
      {R"({"gyro_scale": [0, 0, 0], "acc_scale": [0, 0, 0]})", "{}"},
      {R"({"gyro_scale": [0, 0, 2]})", R"({"gyro_scale": [0, 0, 2]})"},
      {R"({"gyro_bias": [0.5], "acc_bias": "x", "acc_scale": [2, 2, 2, 9]})",
       R"({"gyro_bias": [0.5, 0, 0], "acc_scale": [2, 2, 2]})"},
      {R"({"gyro_bias": [0.25, 0, -0.125], "acc_scale": [1, 1.5, 1], "acc_bias": [0, 0, 0]})",
       R"({"gyro_bias": [0.25, 0, -0.125], "acc_scale": [1, 1.5, 1]})"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.in);
    const ImuCalibration imu = Read(row.in);
    EXPECT_EQ(WriteStyledJson(Parse(row.sparse)), WriteStyledJson(imu.ToJson(false)));
    EXPECT_EQ(imu, Read(WriteStyledJson(imu.ToJson(true))));
  }
  const ImuCalibration zeros = Read(R"({"gyro_scale": [0, 0, 0], "acc_scale": [0, 0, 0]})");
  EXPECT_EQ(1.0f, zeros.gyro_scale[2]);
  EXPECT_EQ(0.0f, zeros.acc_scale[2]);
  EXPECT_EQ(WriteStyledJson(Parse(R"({"gyro_bias": [0, 0, 0], "gyro_scale": [1, 1, 1], "acc_bias": [0, 0, 0],
                                     "acc_scale": [1, 1, 1]})")),
            WriteStyledJson(Read("{}").ToJson(true)));
}
