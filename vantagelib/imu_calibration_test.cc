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
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

ImuCalibration Read(const std::string& text) {
  ImuCalibration imu;
  EXPECT_TRUE(imu.FromJson(Parse(text)));
  return imu;
}

}  // namespace

TEST(ImuCalibrationTest, EmptyObjectIsDefault) {
  const ImuCalibration imu = Read("{}");
  EXPECT_EQ(ImuCalibration(), imu);
  EXPECT_EQ(0.0f, imu.gyro_bias[0]);
  EXPECT_EQ(1.0f, imu.gyro_scale[1]);
  EXPECT_EQ(0.0f, imu.acc_bias[2]);
  EXPECT_EQ(1.0f, imu.acc_scale[0]);
  EXPECT_EQ("{}\n", WriteStyledJson(imu.ToJson(false)));
  EXPECT_EQ(
      "{\n"
      "   \"acc_bias\" : [ 0, 0, 0 ],\n"
      "   \"acc_scale\" : [ 1, 1, 1 ],\n"
      "   \"gyro_bias\" : [ 0, 0, 0 ],\n"
      "   \"gyro_scale\" : [ 1, 1, 1 ]\n"
      "}\n",
      WriteStyledJson(imu.ToJson(true)));
}

TEST(ImuCalibrationTest, ZeroGyroScaleMeansUnit) {
  const ImuCalibration imu = Read("{\"gyro_scale\": [0, 0, 0], \"acc_scale\": [0, 0, 0]}");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(1.0f, imu.gyro_scale[i]);
    EXPECT_EQ(0.0f, imu.acc_scale[i]);
  }
  // A zero accelerometer scale counts as "not set" when writing sparsely.
  EXPECT_EQ("{}\n", WriteStyledJson(imu.ToJson(false)));
  EXPECT_EQ("[ 0, 0, 0 ]\n", WriteStyledJson(imu.ToJson(true)["acc_scale"]));
  // Only an all-zero scale is fixed up.
  EXPECT_EQ(0.0f, Read("{\"gyro_scale\": [0, 0, 2]}").gyro_scale[0]);
}

TEST(ImuCalibrationTest, SparseWriteKeepsChangedMembers) {
  const ImuCalibration imu =
      Read("{\"gyro_bias\": [0.001, 0, -0.002], \"acc_scale\": [1, 1.001, 1], \"acc_bias\": [0, 0, 0]}");
  EXPECT_EQ(
      "{\n"
      "   \"acc_scale\" : [ 1, 1.00100005, 1 ],\n"
      "   \"gyro_bias\" : [ 0.00100000005, 0, -0.00200000009 ]\n"
      "}\n",
      WriteStyledJson(imu.ToJson(false)));
  // Read back, the written floats give the same record.
  EXPECT_EQ(imu, Read(WriteStyledJson(imu.ToJson(false))));
  EXPECT_EQ(imu, Read(WriteStyledJson(imu.ToJson(true))));
}

TEST(ImuCalibrationTest, ShortOrWrongArraysReadAsZeros) {
  const ImuCalibration imu = Read("{\"gyro_bias\": [0.5], \"acc_bias\": \"x\", \"acc_scale\": [2, 2, 2, 9]}");
  EXPECT_EQ(0.5f, imu.gyro_bias[0]);
  EXPECT_EQ(0.0f, imu.gyro_bias[1]);
  EXPECT_EQ(0.0f, imu.acc_bias[0]);
  EXPECT_EQ(2.0f, imu.acc_scale[2]);
}

TEST(ImuCalibrationTest, ReadingResetsFirst) {
  ImuCalibration imu = Read("{\"gyro_bias\": [1, 2, 3]}");
  EXPECT_TRUE(imu.FromJson(Parse("{\"acc_bias\": [1, 2, 3]}")));
  EXPECT_EQ(0.0f, imu.gyro_bias[0]);
  EXPECT_EQ(3.0f, imu.acc_bias[2]);
  // Not an object: the defaults.
  EXPECT_TRUE(imu.FromJson(Parse("[1]")));
  EXPECT_EQ(ImuCalibration(), imu);
}
