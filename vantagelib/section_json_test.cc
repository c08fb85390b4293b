// The calibration sections' JSON forms. Each row is read into a record that still holds the row before it, written,
// compared with the expected form, then read and written again without change: a field lost, kept from an earlier
// read, renamed or scaled on either side shows.
#include "vantagelib/section_json.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "devconfig/json_testing.h"
#include "vantagelib/camera_intrinsics.h"
#include "vantagelib/eye_transform.h"
#include "vantagelib/imu_calibration.h"
#include "vantagelib/isp_descriptor.h"
#include "vantagelib/stereo_setup.h"

using namespace vantage;

#define BASE R"({"type": "DISTORT_POLY3", "coeffs": [0.25, 0.0, 0.125]})"

TEST(SectionJson, EveryFieldRoundTrips) {
  EyeTransform eye;
  CameraIntrinsics camera;
  IspDescriptor isp;
  ImuCalibration imu;
  StereoSetup stereo;
  using Codec = std::function<Json::Value(const Json::Value&, std::string*)>;
  // Each section, read into its record and written, with what it always writes.
  const std::map<std::string, std::pair<Codec, const char*>> sections = {
      {"eye", {[&](auto& in, auto* e) { FromJson(in, &eye, e); return ToJson(eye); }, R"({"display_serial_number": ""})"}},
      {"camera", {[&](auto& in, auto* e) { FromJson(in, &camera, e); return ToJson(camera); },
                  R"({"interface": "", "width": 0, "height": 0, "focal_x": 0.0, "center_x": 0.0, "focal_y": 0.0,
                      "center_y": 0.0, "distort": null})"}},
      {"isp", {[&](auto& in, auto* e) { FromJson(in, &isp, e); return ToJson(isp); }, R"({"driver": ""})"}},
      {"imu", {[&](auto& in, auto* e) { FromJson(in, &imu, e); return ToJson(imu); }, "{}"}},
      {"imu-all", {[&](auto& in, auto* e) { FromJson(in, &imu, e); return ToJson(imu, true); }, R"({"gyro_bias": [0.0,
          0.0, 0.0], "gyro_scale": [1.0, 1.0, 1.0], "acc_bias": [0.0, 0.0, 0.0], "acc_scale": [1.0, 1.0, 1.0]})"}},
      {"stereo", {[&](auto& in, auto* e) { FromJson(in, &stereo, e); return ToJson(stereo); },
                  R"({"first_eye": "eEYE_LEFT", "last_eye": "eEYE_LEFT"})"}},
  };
  const struct {
    const char *section, *in, *out, *error;
  } rows[] = {
      // Colour blocks are written when they differ from the base; a trivial
      // one takes the base, r2max too; zero POLY2 coefficients are not trivial.
      {"eye", R"({"distortion": )" BASE R"(, "distortion_red": {"type": "DISTORT_POLY2_TANGENT", "r2max": 3}})",
       R"({"distortion": )" BASE "}", ""},
      {"eye", R"({"distortion": )" BASE R"(, "distortion_blue": {"type": "DISTORT_POLY2"}, "inverse_distortion": )" BASE
              "}", R"({"distortion": )" BASE R"(, "distortion_red": )" BASE R"(, "distortion_blue": {"type":
              "DISTORT_POLY2"}, "inverse_distortion": )" BASE "}", ""},
      // Without a base no block is written; identity intrinsics are not
      // written, missing entries take their identity values.
      {"eye", R"({"display_serial_number": "D-1", "intrinsics": [[2, 3], [], [4, 5, 6, 7]], "undistort_r2_cutoff": 0.5,
          "grow_for_undistort": 0.25, "eye_to_head": [[1, 0, 0]], "inverse_distortion": )" BASE "}",
       R"({"display_serial_number": "D-1", "intrinsics": [[2.0, 3.0, 0.0], [0.0, 1.0, 0.0], [4.0, 5.0, 6.0]],
           "undistort_r2_cutoff": 0.5, "grow_for_undistort": 0.25, "eye_to_head": [[1.0, 0.0, 0.0], [0.0, 1.0, 0.0],
           [0.0, 0.0, 1.0]]})", ""},
      // A number n stands for (n, n, -2n, -2n), wrapping in 32 bits; zero
      // rectangles are left out, all of them with a zero base.
      {"eye", R"({"intrinsics": [[1, 0, 0], [0, 1, 0], [0, 0, 1]], "scanout_scaling": {"base": [1.9, -1.9, "5", 1e20],
          "red_src": 3, "red_dest": [0, 0, 10, 0], "blue_src": [-2147483648, -2147483648, 0, 0],
          "blue_dest": [7, 7, -14, -14]}})", R"({"scanout_scaling": {"base": [1, -1, 0, 0], "red_src": 3,
          "red_dest": [0, 0, 10, 0], "blue_src": -2147483648, "blue_dest": 7}})", ""},
      {"eye", R"({"scanout_scaling": {"base": [0, 0, 0, 0], "red_src": 3}})", "{}", ""},
      {"eye", R"({"scanout_scaling": {"base": [1, 1, 1, 1], "red_src": 2.5}})", R"({"scanout_scaling": {"base": [1, 1,
          1, 1]}})", "\"scanout_scaling\": \"red_src\" is not an array"},
      // The center is held in the undistorted frame and written in the raw one, half a pixel for an odd difference. A
      // lens block leaves out coefficients past the sixteenth or the last non-zero one, and an r2max within float
      // precision of 16.
      {"camera", R"({"interface": "cam0", "width": 640, "undist_width": 700, "center_x": 350, "focal_x": 400.5,
          "height": 480, "undist_height": 477, "center_y": 240, "focal_y": 401.5, "distort": {"type": "Distort_Fov1",
          "coeffs": [0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2], "r2max": 16.000001, "center_y": 0.5}})",
       R"({"interface": "cam0", "width": 640, "height": 480, "focal_x": 400.5, "center_x": 320.0, "focal_y": 401.5,
           "center_y": 241.5, "distort": {"type": "DISTORT_FOV1", "center_x": 0.0, "center_y": 0.5}})", ""},
      {"camera", R"({"distort": {"type": "DISTORT_POLY", "coeffs": {"0": 1}, "r2max": 16.5, "nSplineCtrlPts": 0}})",
       R"({"distort": {"r2max": 16.5, "nSplineCtrlPts": 0}})", "\"distort\": \"coeffs\" is not an array"},
      // Streams are read (and checked) but only the driver is written.
      {"isp", R"({"driver": "uvc", "usbVID": 4660, "streams": ["1,2,'YUYV',300", ["1,2,'ABCD',3"]]})",
       R"({"driver": "uvc"})", "a stream of \"streams\" is not a text"},
      // A zero gyroscope scale means unit; a zero accelerometer scale is kept but not written sparsely.
      {"imu", R"({"gyro_bias": [0.5], "gyro_scale": [0, 0, 2], "acc_bias": "x", "acc_scale": [2, 2, 2, 9]})",
       R"({"gyro_bias": [0.5, 0.0, 0.0], "gyro_scale": [0.0, 0.0, 2.0], "acc_scale": [2.0, 2.0, 2.0]})", ""},
      {"imu", R"({"gyro_scale": [0, 0, 0], "acc_scale": [0, 0, 0]})", "{}", ""},
      {"imu-all", R"({"gyro_scale": [0, 0, 0], "acc_scale": [0, 0, 0], "acc_bias": [0.25, 0, -0.5]})",
       R"({"acc_bias": [0.25, 0.0, -0.5], "acc_scale": [0.0, 0.0, 0.0]})", ""},
      // Eye names in any case, aliases written by their first name; an
      // out-of-range mesh selector is 1; shifts past the second ignored.
      {"stereo", R"({"first_eye": "eeye_r", "last_eye": "EEYE_FIRST", "eye_target_width_in_pixels": 1440,
          "eye_target_height_in_pixels": 1600, "num_windows": 2, "render_target_scale": 1.5, "hidden_area_mesh": 7,
          "subpixel_shift_red_in_pixels": [0.5, 0.75, 9], "subpixel_shift_blue_in_pixels": [0.125]})",
       R"({"eye_target_width_in_pixels": 1440, "eye_target_height_in_pixels": 1600, "num_windows": 2,
           "first_eye": "eEYE_RIGHT", "subpixel_shift_red_in_pixels": [0.5, 0.75], "hidden_area_mesh": 1,
           "subpixel_shift_blue_in_pixels": [0.125, 0.0], "render_target_scale": 1.5})", ""},
      {"stereo", R"({"last_eye": "eNUM_EYES", "hidden_area_mesh": 6, "render_target_scale": 1.4,
          "subpixel_shift_blue_in_pixels": [0, 0]})", R"({"last_eye": "eNUM_EYES", "hidden_area_mesh": 6})", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.in);
    const Codec& codec = sections.at(row.section).first;
    Json::Value expected = JsonOf(sections.at(row.section).second);
    const Json::Value out = JsonOf(row.out);
    for (const std::string& key : out.getMemberNames()) expected[key] = out[key];
    std::string error, again;
    const std::string written = WriteStyledJson(codec(JsonOf(row.in), &error));
    EXPECT_EQ(row.error, error);
    EXPECT_EQ(WriteStyledJson(expected), written);
    EXPECT_EQ(written, WriteStyledJson(codec(JsonOf(written), &again)) + again);
  }
}

TEST(SectionJson, ClampFlagsAndCompleteRecords) {
  // Colour blocks clamp unless they are B-splines (blue takes the base); the inverse block always.
  EyeTransform eye;
  ASSERT_TRUE(FromJson(JsonOf(R"({"distortion": {"type": "DISTORT_BSPLINE"}, "distortion_red": {"type":
      "DISTORT_POLY2"}})"), &eye, nullptr));
  EXPECT_TRUE(!eye.distortion.clampToR2max && eye.distortion_red.clampToR2max && !eye.distortion_blue.clampToR2max &&
              eye.inverse_distortion.clampToR2max);
  // Calibrated: both center coordinates and the principal point non-zero.
  for (int zero = -1; zero < 4; ++zero) {
    eye.distortion.center_x = zero == 0 ? 0.0 : 0.5;
    eye.distortion.center_y = zero == 1 ? 0.0 : 0.5;
    eye.intrinsics.m[0][2] = zero == 2 ? 0.0f : 0.25f;
    eye.intrinsics.m[1][2] = zero == 3 ? 0.0f : 0.25f;
    EXPECT_EQ(zero == -1, IsEyeCalibrated(eye)) << zero;
  }
  StereoSetup setup;  // complete: all three sizes positive
  setup.eye_target_width_in_pixels = setup.eye_target_height_in_pixels = setup.num_windows = 1;
  EXPECT_TRUE(IsValidStereoSetup(setup));
  for (int32_t* size : {&setup.eye_target_width_in_pixels, &setup.eye_target_height_in_pixels, &setup.num_windows}) {
    *size = 0;
    EXPECT_FALSE(IsValidStereoSetup(setup));
    *size = 1;
  }
}
