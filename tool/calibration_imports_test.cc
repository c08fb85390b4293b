// Calibration imports: the copy groups field by field, and what a run on
// scratch files copies. Messages, conflicts and precedence are checked
// through the binary (tests/e2e/calibration_imports_test.sh).
#include "tool/calibration_imports.h"

#include <gtest/gtest.h>

#include <string>

#include "corelib/src/test_scratch.h"
#include "devconfig/configloader.h"
#include "tool/test_output.h"

using corelib_test::ScratchDir;
using vantage::EyeTransform;

namespace {

// An eye whose every field differs from the defaults, by `seed`.
EyeTransform MarkedEye(float seed) {
  EyeTransform eye;
  eye.display_serial_number = "panel-" + std::to_string(static_cast<int>(seed));
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      eye.intrinsics.m[r][c] = seed + r * 3 + c;
      eye.eye_to_head.m[r][c] = -seed - r * 3 - c;
    }
  }
  vantage::DistortionParams* blocks[] = {&eye.distortion, &eye.distortion_red, &eye.distortion_blue,
                                         &eye.inverse_distortion};
  for (int b = 0; b < 4; ++b) {
    blocks[b]->type = vantage::DISTORT_DPOLY3;
    blocks[b]->coeffs[0] = seed + b;
    blocks[b]->center_x = seed + 0.25 + b;
    blocks[b]->center_y = seed + 0.5 + b;
    blocks[b]->r2max = seed + 3;
  }
  eye.undistort_r2_cutoff = seed + 0.125f;
  eye.grow_for_undistort = seed + 0.375f;
  eye.eye_to_head_present = seed > 5;
  eye.scanout_scaling.base = vantage::ScanoutRectFromNumber(static_cast<int32_t>(seed));
  return eye;
}

// A lens calibration document: two eyes, each calibrated.
const char kLensDocument[] =
    "{\"device_class\": \"hmd\", \"device\": {\"eye_target_width_in_pixels\": 100, "
    "\"eye_target_height_in_pixels\": 100, \"num_windows\": 2, \"first_eye\": \"eEYE_LEFT\", "
    "\"last_eye\": \"eEYE_RIGHT\"}, \"tracking_to_eye_transform\": ["
    "{\"display_serial_number\": \"x\", \"intrinsics\": [[2, 0, 0.5], [0, 2, 0.25], [0, 0, 1]], "
    "\"distortion\": {\"type\": \"DISTORT_DPOLY3\", \"center_x\": 0.25, \"center_y\": 0.125, \"coeffs\": [0.5]}, "
    "\"eye_to_head\": [[1, 0, 0], [0, 0, 1], [0, -1, 0]]},"
    "{\"intrinsics\": [[2, 0, -0.5], [0, 2, 0.25], [0, 0, 1]], "
    "\"distortion\": {\"type\": \"DISTORT_DPOLY3\", \"center_x\": -0.25, \"center_y\": 0.125, "
    "\"coeffs\": [0.75]}}]}";

}  // namespace

TEST(LensCopyGroupsTest, IntrinsicsAndDistortionOnly) {
  const EyeTransform from = MarkedEye(1);
  EyeTransform to = MarkedEye(10);
  const EyeTransform before = to;
  CopyLensIntrinsics(from, &to);
  EXPECT_EQ(from.intrinsics, to.intrinsics);
  EXPECT_EQ(from.distortion.coeffs[0], to.distortion.coeffs[0]);
  EXPECT_EQ(from.distortion_red.center_x, to.distortion_red.center_x);
  EXPECT_EQ(from.distortion_blue.r2max, to.distortion_blue.r2max);
  EXPECT_EQ(from.inverse_distortion.coeffs[0], to.inverse_distortion.coeffs[0]);
  EXPECT_EQ(from.undistort_r2_cutoff, to.undistort_r2_cutoff);
  // The rest of the eye is the target's own.
  EXPECT_EQ(before.grow_for_undistort, to.grow_for_undistort);
  EXPECT_EQ(before.eye_to_head, to.eye_to_head);
  EXPECT_TRUE(to.eye_to_head_present);
  EXPECT_EQ(before.display_serial_number, to.display_serial_number);
  EXPECT_EQ(before.scanout_scaling.base, to.scanout_scaling.base);
}

TEST(LensCopyGroupsTest, CenteringMovesOnlyTheCenters) {
  const EyeTransform from = MarkedEye(1);
  EyeTransform to = MarkedEye(10);
  const EyeTransform before = to;
  CopyLensCentering(from, &to);
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(from.intrinsics.m[r][2], to.intrinsics.m[r][2]) << r;
    EXPECT_EQ(before.intrinsics.m[r][0], to.intrinsics.m[r][0]) << r;
    EXPECT_EQ(before.intrinsics.m[r][1], to.intrinsics.m[r][1]) << r;
  }
  for (auto block : {&EyeTransform::distortion, &EyeTransform::distortion_red, &EyeTransform::distortion_blue}) {
    EXPECT_EQ((from.*block).center_x, (to.*block).center_x);
    EXPECT_EQ((from.*block).center_y, (to.*block).center_y);
    EXPECT_EQ((before.*block).coeffs[0], (to.*block).coeffs[0]);
  }
  // The inverse block keeps its own center.
  EXPECT_EQ(before.inverse_distortion.center_x, to.inverse_distortion.center_x);
  EXPECT_EQ(before.undistort_r2_cutoff, to.undistort_r2_cutoff);
}

TEST(LensCopyGroupsTest, EyeToHeadKeepsThePresentFlag) {
  const EyeTransform from = MarkedEye(10);  // present
  EyeTransform to = MarkedEye(1);           // absent
  CopyEyeToHead(from, &to);
  EXPECT_EQ(from.eye_to_head, to.eye_to_head);
  EXPECT_FALSE(to.eye_to_head_present);
  EXPECT_EQ(MarkedEye(1).intrinsics, to.intrinsics);
}

class ImportRunTest : public ::testing::Test {
 protected:
  bool Run(bool quiet = false) { return ApplyCalibrationImports(options_, quiet, &config_, output_.file()); }

  ScratchDir dir_;
  ToolOptions options_;
  TrackedDeviceConfig config_;
  tool_test::CapturedOutput output_;
};

TEST_F(ImportRunTest, SectionsAreCopiedInOrderAndNothingElse) {
  const std::string source =
      "{\"device_class\": \"controller\", \"device_serial_number\": \"other\", \"model_number\": \"M\","
      " \"firmware_config\": {\"a\": 1}, \"skybeacon_config\": {\"channelMap\": [1, 0],"
      " \"modelPoints\": [[0.5, 0, 1], [0, -0.25, 2]], \"modelNormals\": [[0, 0, 1], [0, 0, 1]]},"
      " \"ipd\": {\"low_mm\": 60, \"high_mm\": 70, \"enable\": true, \"default_mm\": 64, \"minstep_mm\": 0.5},"
      " \"proximity\": {\"enable\": true},"
      " \"imu\": {\"gyro_bias\": [0.5, 0, 0], \"acc_scale\": [2, 2, 2]},"
      " \"isps\": [{\"driver\": \"d\"}], \"tracked_cameras\": [{}, {}]}";
  const std::string path = dir_.Put("cal.json", source);
  options_.sensorCalFile = options_.ipdCalFile = options_.imuCalFile = options_.cameraCalFile = path;
  config_.device_serial_number = "mine";
  config_.formatVersion = kFormatSectioned;

  ASSERT_TRUE(Run());
  EXPECT_EQ("Sensor cal file: '" + path + "'\nipd cal file: '" + path + "'\nIMU calibration: '" + path +
                "'\nCamera calibration: '" + path + "'\n",
            output_.text());
  // The hash travels with the record.
  EXPECT_EQ("bcdcd4c73a12f44bbc3974ab7aa06736", config_.sensor_model.modelPointsHash);
  EXPECT_EQ(0.06f, config_.ipd.low);
  EXPECT_EQ(static_cast<float>(0.064), config_.ipd.default_ipd);
  EXPECT_TRUE(config_.ipd.enable);
  EXPECT_FALSE(config_.proximity_enable);
  EXPECT_EQ(0.5f, config_.imu.gyro_bias[0]);
  EXPECT_EQ(2.0f, config_.imu.acc_scale[1]);
  EXPECT_EQ(2u, config_.tracked_cameras.size());
  EXPECT_EQ(1u, config_.isps.size());
  // Identity, free-form blocks and the written form are the working document's own.
  EXPECT_EQ("mine", config_.device_serial_number);
  EXPECT_EQ("", config_.model_number);
  EXPECT_TRUE(config_.firmware_config.isNull());
  EXPECT_EQ(kFormatSectioned, config_.formatVersion);
  EXPECT_EQ(TrackedDeviceClass::HMD, config_.device_class);
}

TEST_F(ImportRunTest, OneSidedImportsTouchOneEye) {
  const std::string lens = dir_.Put("lens.json", kLensDocument);
  options_.lensIntrinsicsLeftFile = lens;
  options_.lensEyeToHeadLeftFile = lens;
  ASSERT_TRUE(Run());
  EXPECT_EQ("Lens intrinsics file (LEFT): '" + lens + "'\nEye To Head file: '" + lens + "'\n", output_.text());
  EXPECT_EQ(0.5f, config_.eye_transforms[0].intrinsics.m[0][2]);
  EXPECT_EQ(-1.0f, config_.eye_transforms[0].eye_to_head.m[2][1]);
  EXPECT_FALSE(config_.eye_transforms[0].eye_to_head_present);
  EXPECT_EQ(EyeTransform().intrinsics, config_.eye_transforms[1].intrinsics);
}
