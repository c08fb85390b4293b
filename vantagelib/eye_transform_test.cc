// Eye transforms: reading with chromatic fill-in and clamp flags, the sparse
// written form, scanout rectangles and the calibration check.
#include "vantagelib/eye_transform.h"

#include <gtest/gtest.h>

#include <string>

#include "devconfig/jsonhelpers.h"

using namespace vantage;

// Distortion blocks, pasted into the documents below.
#define BASE R"({"type": "DISTORT_POLY3", "center_x": 0.1, "center_y": -0.05, "coeffs": [0.2, 0.01]})"
#define RED R"({"type": "DISTORT_POLY3", "coeffs": [0.3]})"
#define INVERSE R"({"type": "DISTORT_DPOLY3", "coeffs": [-0.2]})"

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  EXPECT_TRUE(ParseJsonText(text, &root, nullptr)) << text;
  return root;
}

EyeTransform Read(const std::string& text) {
  EyeTransform eye;
  std::string error;
  EXPECT_TRUE(FromJson(Parse(text), &eye, &error)) << error;
  return eye;
}

std::string Written(const EyeTransform& eye) { return WriteStyledJson(ToJson(eye)); }

}  // namespace

// What each element writes back, and that reading that again changes nothing.
TEST(EyeTransformJson, WrittenForm) {
  const struct {
    const char* in;
    const char* out;
    const char* error;
  } rows[] = {
      {"{}", "{}", ""}, {"null", "{}", ""},
      // Trivial colour blocks are replaced whole (r2max included); a POLY2
      // block with zero coefficients is not trivial and stays.
      {R"({"distortion": )" BASE R"(, "distortion_blue": {"type": "DISTORT_POLY2_TANGENT", "r2max": 3}})",
       R"({"distortion": )" BASE "}", ""},
      {R"({"distortion": )" BASE R"(, "distortion_blue": {"type": "DISTORT_POLY2"}})",
       R"({"distortion": )" BASE R"(, "distortion_red": )" BASE
       R"(, "distortion_blue": {"type": "DISTORT_POLY2"}})", ""},
      // Without a base block no distortion member is written at all.
      {R"({"distortion_red": )" RED R"(, "inverse_distortion": )" INVERSE "}", "{}", ""},
      {R"({"distortion": {}, "distortion_red": )" RED R"(, "inverse_distortion": )" INVERSE "}", "{}", ""},
      // A trivial base that is not all-default is written, and then differs
      // from the empty colour blocks.
      {R"({"distortion": {"type": "DISTORT_POLY2_TANGENT", "r2max": 4}})",
       R"({"distortion": {"type": "DISTORT_POLY2_TANGENT", "r2max": 4}, "distortion_red": null,
           "distortion_blue": null})", ""},
      {R"({"distortion": )" BASE R"(, "inverse_distortion": {"type": "DISTORT_POLY2_TANGENT", "r2max": 2}})",
       R"({"distortion": )" BASE "}", ""},
      // An identity eye_to_head is written back, an identity intrinsics is not;
      // missing rows and entries take their identity values.
      {R"({"intrinsics": [[1, 0, 0], [0, 1, 0], [0, 0, 1]], "eye_to_head": [[1, 0, 0], [0, 1, 0], [0, 0, 1]]})",
       R"({"eye_to_head": [[1, 0, 0], [0, 1, 0], [0, 0, 1]]})", ""},
      {R"({"eye_to_head": null})", "{}", ""},
      {R"({"intrinsics": [[2, 3], [], [4, 5, 6, 7]], "eye_to_head": [[0, 1, 0]]})",
       R"({"intrinsics": [[2, 3, 0], [0, 1, 0], [4, 5, 6]], "eye_to_head": [[0, 1, 0], [0, 1, 0], [0, 0, 1]]})", ""},
      // A single number n stands for (n, n, -2n, -2n), and 0 is dropped.
      {R"({"scanout_scaling": {"base": [1, 2, 3, 4], "red_src": 3, "red_dest": [0, 0, 10, 0],
                               "blue_src": 0, "blue_dest": -4}})",
       R"({"scanout_scaling": {"base": [1, 2, 3, 4], "red_src": 3, "red_dest": [0, 0, 10, 0], "blue_dest": -4}})", ""},
      {R"({"scanout_scaling": {"base": [0, 0, 1, 0], "blue_src": [7, 7, -14, -14], "red_src": [7, 7, -14, -13]}})",
       R"({"scanout_scaling": {"base": [0, 0, 1, 0], "blue_src": 7, "red_src": [7, 7, -14, -13]}})", ""},
      // A zero (or absent) base drops the whole object.
      {R"({"scanout_scaling": {"base": [0, 0, 0, 0], "red_src": 3}})", "{}", ""},
      {R"({"scanout_scaling": {"red_src": 3}})", "{}", ""},
      // Numbers truncate toward zero; out of range reads as 0; -2n wraps in
      // 32 bits, so every number read writes back as itself.
      {R"({"scanout_scaling": {"base": [1.9, -1.9, "5", 1e20], "red_src": 2.0, "red_dest": [3.7]}})",
       R"({"scanout_scaling": {"base": [1, -1, 0, 0], "red_src": 2, "red_dest": [3, 0, 0, 0]}})", ""},
      {R"({"scanout_scaling": {"base": [1, 1, 1, 1], "red_src": 2147483647, "red_dest": -2147483648,
                               "blue_src": 5000000000}})",
       R"({"scanout_scaling": {"base": [1, 1, 1, 1], "red_src": 2147483647, "red_dest": -2147483648}})", ""},
      // Members of the wrong container kind are reported; the rest is read.
      {R"({"intrinsics": [[1, 0, 5], 7]})", R"({"intrinsics": [[1, 0, 5], [0, 1, 0], [0, 0, 1]]})",
       "\"intrinsics\": matrix row is not an array"},
      {R"({"scanout_scaling": {"base": [1, 1, 1, 1], "red_src": 2.5}})",
       R"({"scanout_scaling": {"base": [1, 1, 1, 1]}})", "\"scanout_scaling\": \"red_src\" is not an array"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.in);
    Json::Value expected = Parse(row.out);
    if (!expected.isMember("display_serial_number"))
      expected["display_serial_number"] = "";
    EyeTransform eye;
    eye.display_serial_number = "old";
    eye.eye_to_head_present = true;
    std::string error;
    EXPECT_EQ(*row.error == '\0', FromJson(Parse(row.in), &eye, &error));
    EXPECT_EQ(row.error, error);
    EXPECT_EQ(WriteStyledJson(expected), Written(eye));
    EXPECT_EQ(Written(eye), Written(Read(Written(eye))));
  }
  // Single-precision values are written with 9 digits.
  const Json::Value written = ToJson(Read(R"({"intrinsics": [[0.1]], "undistort_r2_cutoff": 0.1})"));
  EXPECT_EQ(9, JsonPrecision(written["intrinsics"][0][0]));
  EXPECT_EQ(9, JsonPrecision(written["undistort_r2_cutoff"]));
}

// Colour blocks clamp unless they are B-splines; the inverse block always.
TEST(EyeTransformJson, ClampFlags) {
  EyeTransform eye = Read(R"({"distortion": {"type": "DISTORT_BSPLINE", "coeffs": [1, 1, 1, 1]},
                              "distortion_red": {"type": "DISTORT_POLY2", "coeffs": [1]},
                              "inverse_distortion": {"type": "DISTORT_BSPLINE", "coeffs": [1]}})");
  EXPECT_FALSE(eye.distortion.clampToR2max);
  EXPECT_TRUE(eye.distortion_red.clampToR2max);
  EXPECT_FALSE(eye.distortion_blue.clampToR2max);  // a copy of the B-spline base
  EXPECT_TRUE(eye.inverse_distortion.clampToR2max);
}

TEST(EyeCalibrated, NeedsBothCenterCoordinatesAndPrincipalPoint) {
  EyeTransform eye;
  EXPECT_FALSE(IsEyeCalibrated(eye));
  // Any one of the four at zero fails, whatever the red block or the
  // transposed entries hold.
  eye.distortion_red.center_x = eye.distortion_red.center_y = 0.1;
  eye.intrinsics.m[2][0] = eye.intrinsics.m[2][1] = 0.02f;
  for (int zero = -1; zero < 4; ++zero) {
    EyeTransform one = eye;
    one.distortion.center_x = zero == 0 ? 0.0 : 0.1;
    one.distortion.center_y = zero == 1 ? 0.0 : -0.1;
    one.intrinsics.m[0][2] = zero == 2 ? 0.0f : 0.02f;
    one.intrinsics.m[1][2] = zero == 3 ? 0.0f : -0.03f;
    EXPECT_EQ(zero == -1, IsEyeCalibrated(one)) << zero;
  }
}
