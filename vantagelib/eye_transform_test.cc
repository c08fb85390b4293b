// Eye transforms: reading with chromatic fill-in and clamp flags, the sparse
// written form, scanout rectangles and the calibration check.
#include "vantagelib/eye_transform.h"

#include <gtest/gtest.h>

#include <string>

#include "devconfig/jsonhelpers.h"

using namespace vantage;

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

EyeTransform Read(const std::string& text) {
  EyeTransform eye;
  std::string error;
  EXPECT_TRUE(FromJson(Parse(text), &eye, &error)) << error;
  return eye;
}

Json::Value Write(const EyeTransform& eye) { return ToJson(eye); }

std::string Names(const Json::Value& object) {
  std::string names;
  for (const std::string& name : object.getMemberNames())
    names += name + " ";
  return names;
}

const char kBase[] = R"("distortion": {"type": "DISTORT_POLY3", "center_x": 0.1, "center_y": -0.05,
                                       "coeffs": [0.2, 0.01]})";

}  // namespace

// --- Empty and reset records ---------------------------------------------------

TEST(EyeTransformRead, EmptyObjectGivesDefaults) {
  EyeTransform eye = Read("{}");
  EXPECT_EQ("", eye.display_serial_number);
  EXPECT_TRUE(eye.intrinsics.IsIdentity());
  EXPECT_TRUE(eye.eye_to_head.IsIdentity());
  EXPECT_FALSE(eye.eye_to_head_present);
  for (const DistortionParams* block : {&eye.distortion, &eye.distortion_red,
                                        &eye.distortion_blue, &eye.inverse_distortion}) {
    EXPECT_EQ(DISTORT_NONE, block->type);
    EXPECT_TRUE(block->clampToR2max);
    EXPECT_TRUE(ToJson(*block).isNull());
  }
  EXPECT_EQ(0.0f, eye.undistort_r2_cutoff);
  EXPECT_EQ(0.0f, eye.grow_for_undistort);
  EXPECT_TRUE(eye.scanout_scaling.base.IsZero());
  EXPECT_TRUE(eye.scanout_scaling.blue_dest.IsZero());
  EXPECT_EQ("{\n   \"display_serial_number\" : \"\"\n}\n", WriteStyledJson(Write(eye)));
}

TEST(EyeTransformRead, NullElementIsTheResetRecord) {
  EyeTransform eye = Read(R"({"display_serial_number": "X", "eye_to_head": [[2]]})");
  std::string error;
  EXPECT_TRUE(FromJson(Json::Value(), &eye, &error));
  EXPECT_EQ("", eye.display_serial_number);
  EXPECT_FALSE(eye.eye_to_head_present);
  EXPECT_TRUE(eye.eye_to_head.IsIdentity());
}

TEST(EyeTransformRead, WrongContainerKindsAreReported) {
  EyeTransform eye;
  std::string error;
  EXPECT_FALSE(FromJson(Json::Value(3), &eye, &error));
  EXPECT_EQ("eye transform is not an object", error);

  error.clear();
  EXPECT_FALSE(FromJson(Parse(R"({"display_serial_number": "S", "distortion_red": [1]})"), &eye,
                        &error));
  EXPECT_EQ("\"distortion_red\": distortion block is not an object", error);
  EXPECT_EQ("S", eye.display_serial_number);

  error.clear();
  EXPECT_FALSE(FromJson(Parse(R"({"intrinsics": [[1, 0, 5], 7]})"), &eye, &error));
  EXPECT_EQ("\"intrinsics\": matrix row is not an array", error);
  EXPECT_EQ(5.0f, eye.intrinsics.m[0][2]);
  EXPECT_EQ(1.0f, eye.intrinsics.m[1][1]);

  error.clear();
  EXPECT_FALSE(FromJson(Parse(R"({"scanout_scaling": {"base": [1, 1, 1, 1], "red_src": 2.5}})"),
                        &eye, &error));
  EXPECT_EQ("\"scanout_scaling\": \"red_src\" is not an array", error);
  EXPECT_TRUE(eye.scanout_scaling.red_src.IsZero());
  EXPECT_EQ(1, eye.scanout_scaling.base.x);
}

TEST(EyeTransformMatrices, ReadAndWrite) {
  // Missing rows and entries take their identity values.
  EyeTransform eye = Read(R"({"intrinsics": [[2, 3], [], [4, 5, 6, 7]],
                              "eye_to_head": [[0, 1, 0]]})");
  const float expected[3][3] = {{2, 3, 0}, {0, 1, 0}, {4, 5, 6}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      EXPECT_EQ(expected[i][j], eye.intrinsics.m[i][j]) << i << "," << j;
  EXPECT_TRUE(eye.eye_to_head_present);
  EXPECT_EQ(0.0f, eye.eye_to_head.m[0][0]);
  EXPECT_EQ(1.0f, eye.eye_to_head.m[2][2]);
  // Entries go out as single-precision reals.
  eye = Read(R"({"intrinsics": [[0.1, 0, 0.25], [0, 1, -0.5], [0, 0, 1]]})");
  std::string text = WriteStyledJson(Write(eye));
  EXPECT_NE(std::string::npos, text.find("[ 0.100000001, 0, 0.25 ]")) << text;
  EXPECT_NE(std::string::npos, text.find("[ 0, 1, -0.5 ]")) << text;
  // Any entry away from the identity makes the intrinsics written.
  for (int i = 0; i < 9; ++i) {
    EyeTransform one;
    one.intrinsics.m[i / 3][i % 3] += 0.5f;
    EXPECT_TRUE(Write(one).isMember("intrinsics")) << i;
  }
}

TEST(EyeTransformMatrices, IdentityEyeToHeadIsWrittenIdentityIntrinsicsIsNot) {
  EyeTransform eye = Read(
      R"({"intrinsics": [[1, 0, 0], [0, 1, 0], [0, 0, 1]],
          "eye_to_head": [[1, 0, 0], [0, 1, 0], [0, 0, 1]]})");
  Json::Value written = Write(eye);
  EXPECT_FALSE(written.isMember("intrinsics"));
  EXPECT_EQ(WriteStyledJson(Parse("[[1, 0, 0], [0, 1, 0], [0, 0, 1]]")),
            WriteStyledJson(written["eye_to_head"]));
  eye = Read(R"({"eye_to_head": null})");
  EXPECT_FALSE(eye.eye_to_head_present);
  EXPECT_FALSE(Write(eye).isMember("eye_to_head"));
}

// --- Distortion blocks -------------------------------------------------------------

TEST(EyeTransformChromatic, OnlyBaseGivenFillsRedAndBlue) {
  EyeTransform eye = Read(std::string("{") + kBase + "}");
  EXPECT_EQ(DISTORT_POLY3, eye.distortion_red.type);
  EXPECT_EQ(0.2, eye.distortion_red.coeffs[0]);
  EXPECT_EQ(-0.05, eye.distortion_blue.center_y);
  EXPECT_EQ(0.01, eye.distortion_blue.coeffs[1]);
  EXPECT_EQ(DISTORT_NONE, eye.inverse_distortion.type);  // never filled
  Json::Value written = Write(eye);
  EXPECT_EQ("display_serial_number distortion ", Names(written));
}

TEST(EyeTransformChromatic, DifferentRedWritesRedAndBlue) {
  EyeTransform eye = Read(std::string("{") + kBase +
                          R"(, "distortion_red": {"type": "DISTORT_POLY3", "coeffs": [0.3]}})");
  EXPECT_EQ(0.3, eye.distortion_red.coeffs[0]);
  EXPECT_EQ(0.2, eye.distortion_blue.coeffs[0]);
  Json::Value written = Write(eye);
  EXPECT_EQ("display_serial_number distortion distortion_blue distortion_red ", Names(written));
  EXPECT_EQ(written["distortion"], written["distortion_blue"]);
  EXPECT_EQ(Parse(R"({"type": "DISTORT_POLY3", "coeffs": [0.3]})"), written["distortion_red"]);
}

TEST(EyeTransformChromatic, TrivialColourBlocksAreReplacedWhole) {
  // A zero tangential block with zero center is trivial, its r2max too.
  EyeTransform eye = Read(std::string("{") + kBase +
                          R"(, "distortion_blue": {"type": "DISTORT_POLY2_TANGENT", "r2max": 3}})");
  EXPECT_EQ(DISTORT_POLY3, eye.distortion_blue.type);
  EXPECT_EQ(16.0, eye.distortion_blue.r2max);
  // A POLY2 block with zero coefficients is not trivial and stays.
  EyeTransform kept = Read(std::string("{") + kBase +
                           R"(, "distortion_blue": {"type": "DISTORT_POLY2"}})");
  EXPECT_EQ(DISTORT_POLY2, kept.distortion_blue.type);
  EXPECT_EQ(DISTORT_POLY3, kept.distortion_red.type);
}

TEST(EyeTransformChromatic, TrivialBaseCopiesNothingAndWritesNoBlock) {
  const char* texts[] = {
      R"({"distortion_red": {"type": "DISTORT_POLY3", "coeffs": [0.3]},
          "inverse_distortion": {"type": "DISTORT_POLY2", "coeffs": [1]}})",
      R"({"distortion": {}, "distortion_red": {"type": "DISTORT_POLY3", "coeffs": [0.3]},
          "inverse_distortion": {"type": "DISTORT_POLY2", "coeffs": [1]}})",
  };
  for (const char* text : texts) {
    EyeTransform eye = Read(text);
    EXPECT_EQ(DISTORT_POLY3, eye.distortion_red.type);
    EXPECT_EQ(DISTORT_NONE, eye.distortion_blue.type);
    EXPECT_EQ("display_serial_number ", Names(Write(eye)));
  }
}

TEST(EyeTransformChromatic, TrivialBaseWithValuesIsStillWritten) {
  // Trivial (no fill-in) but not default: the base block itself is written.
  EyeTransform eye = Read(R"({"distortion": {"type": "DISTORT_POLY2_TANGENT", "r2max": 4}})");
  EXPECT_EQ(DISTORT_NONE, eye.distortion_red.type);
  Json::Value written = Write(eye);
  EXPECT_EQ("display_serial_number distortion distortion_blue distortion_red ", Names(written));
  EXPECT_TRUE(written["distortion_red"].isNull());
}

TEST(EyeTransformChromatic, InverseWrittenUnlessTrivial) {
  EyeTransform eye = Read(std::string("{") + kBase +
                          R"(, "inverse_distortion": {"type": "DISTORT_DPOLY3", "coeffs": [-0.2]}})");
  Json::Value written = Write(eye);
  EXPECT_EQ(Parse(R"({"type": "DISTORT_DPOLY3", "coeffs": [-0.2]})"),
            written["inverse_distortion"]);
  eye.inverse_distortion.type = DISTORT_NONE;
  EXPECT_FALSE(Write(eye).isMember("inverse_distortion"));
  eye.inverse_distortion.type = DISTORT_POLY2_TANGENT;
  eye.inverse_distortion.coeffs[0] = 0.0;
  eye.inverse_distortion.r2max = 2.0;
  EXPECT_FALSE(Write(eye).isMember("inverse_distortion"));
}

TEST(EyeTransformChromatic, ClampFlags) {
  EyeTransform eye = Read(
      R"({"distortion": {"type": "DISTORT_BSPLINE", "coeffs": [1, 1, 1, 1]},
          "distortion_red": {"type": "DISTORT_POLY2", "coeffs": [1]},
          "inverse_distortion": {"type": "DISTORT_BSPLINE", "coeffs": [1]}})");
  EXPECT_FALSE(eye.distortion.clampToR2max);
  EXPECT_TRUE(eye.distortion_red.clampToR2max);
  EXPECT_FALSE(eye.distortion_blue.clampToR2max);  // a copy of the B-spline base
  EXPECT_TRUE(eye.inverse_distortion.clampToR2max);
}

TEST(EyeTransformChromatic, ReadWriteReadIsStable) {
  const std::string text = std::string("{") + kBase + R"(,
      "distortion_blue": {"type": "DISTORT_POLY3", "coeffs": [0.25]},
      "inverse_distortion": {"type": "DISTORT_DPOLY3", "coeffs": [-0.2]},
      "display_serial_number": "LCD-1", "undistort_r2_cutoff": 0.8, "grow_for_undistort": 0.1})";
  std::string once = WriteStyledJson(Write(Read(text)));
  std::string twice = WriteStyledJson(Write(Read(once)));
  EXPECT_EQ(once, twice);
}

// --- Tuning values ------------------------------------------------------------------

TEST(EyeTransformTuning, CutoffAndGrowWrittenWhenNotZero) {
  EyeTransform eye = Read(R"({"undistort_r2_cutoff": 0.1, "grow_for_undistort": 0})");
  EXPECT_EQ(0.1f, eye.undistort_r2_cutoff);
  Json::Value written = Write(eye);
  EXPECT_EQ("display_serial_number undistort_r2_cutoff ", Names(written));
  EXPECT_EQ(9, JsonPrecision(written["undistort_r2_cutoff"]));
  EXPECT_NE(std::string::npos, WriteStyledJson(written).find("0.100000001"));
  eye.grow_for_undistort = -0.5f;
  EXPECT_EQ(-0.5, Write(eye)["grow_for_undistort"].asDouble());
}

// --- Scanout scaling ----------------------------------------------------------------

TEST(EyeTransformScanout, SingleNumberStandsForSymmetricRectangle) {
  EyeTransform eye = Read(R"({"scanout_scaling": {"base": [1, 2, 3, 4], "red_src": 3,
      "red_dest": [0, 0, 10, 0], "blue_src": 0, "blue_dest": -4}})");
  const ScanoutScaling& s = eye.scanout_scaling;
  EXPECT_EQ((ScanoutRect{1, 2, 3, 4}), s.base);
  EXPECT_EQ((ScanoutRect{3, 3, -6, -6}), s.red_src);
  EXPECT_EQ((ScanoutRect{0, 0, 10, 0}), s.red_dest);
  EXPECT_TRUE(s.blue_src.IsZero());
  EXPECT_EQ((ScanoutRect{-4, -4, 8, 8}), s.blue_dest);
  EXPECT_EQ(Parse(R"({"base": [1, 2, 3, 4], "red_src": 3, "red_dest": [0, 0, 10, 0],
                      "blue_dest": -4})"),
            Write(eye)["scanout_scaling"]);
}

TEST(EyeTransformScanout, ArrayInSymmetricShapeWritesAsNumber) {
  EyeTransform eye = Read(R"({"scanout_scaling": {"base": [0, 0, 1, 0],
      "blue_src": [7, 7, -14, -14], "red_src": [7, 7, -14, -13]}})");
  Json::Value written = Write(eye)["scanout_scaling"];
  EXPECT_EQ(Json::Value(7), written["blue_src"]);
  EXPECT_EQ(Parse("[7, 7, -14, -13]"), written["red_src"]);
}

TEST(EyeTransformScanout, ZeroBaseDropsTheWholeObject) {
  EyeTransform eye = Read(R"({"scanout_scaling": {"base": [0, 0, 0, 0], "red_src": 3}})");
  EXPECT_EQ(3, eye.scanout_scaling.red_src.x);
  EXPECT_FALSE(Write(eye).isMember("scanout_scaling"));
  EyeTransform noBase = Read(R"({"scanout_scaling": {"red_src": 3}})");
  EXPECT_FALSE(Write(noBase).isMember("scanout_scaling"));
}

TEST(EyeTransformScanout, NumbersTruncateTowardZero) {
  EyeTransform eye = Read(R"({"scanout_scaling": {"base": [1.9, -1.9, "5", 1e20],
      "red_src": 2.0, "red_dest": [3.7]}})");
  EXPECT_EQ((ScanoutRect{1, -1, 0, 0}), eye.scanout_scaling.base);
  EXPECT_EQ((ScanoutRect{2, 2, -4, -4}), eye.scanout_scaling.red_src);
  EXPECT_EQ((ScanoutRect{3, 0, 0, 0}), eye.scanout_scaling.red_dest);
}

TEST(EyeTransformScanout, LargeSingleNumbersRoundTripWithoutOverflow) {
  EyeTransform eye = Read(R"({"scanout_scaling": {"base": [1, 1, 1, 1],
      "red_src": 2147483647, "red_dest": -2147483648, "blue_src": 5000000000}})");
  const ScanoutScaling& s = eye.scanout_scaling;
  EXPECT_EQ(2147483647, s.red_src.x);
  EXPECT_EQ(2, s.red_src.width);  // -2n wrapped to 32 bits
  EXPECT_EQ(-2147483647 - 1, s.red_dest.x);
  EXPECT_EQ(0, s.red_dest.width);
  EXPECT_TRUE(s.blue_src.IsZero());  // out of range reads as the default
  Json::Value written = Write(eye)["scanout_scaling"];
  EXPECT_EQ(2147483647, written["red_src"].asInt());
  EXPECT_EQ(-2147483647 - 1, written["red_dest"].asInt());
  EXPECT_FALSE(written.isMember("blue_src"));
}

// --- Calibration check --------------------------------------------------------------

TEST(EyeCalibrated, NeedsBothCenterCoordinatesAndPrincipalPoint) {
  EyeTransform eye;
  EXPECT_FALSE(IsEyeCalibrated(eye));
  eye.distortion.center_x = 0.1;
  eye.distortion.center_y = -0.1;
  eye.intrinsics.m[0][2] = 0.02f;
  eye.intrinsics.m[1][2] = -0.03f;
  EXPECT_TRUE(IsEyeCalibrated(eye));
  // Any one of the four at zero fails, whatever the red block or the
  // transposed entries hold.
  for (int which = 0; which < 4; ++which) {
    EyeTransform one = eye;
    one.distortion_red.center_x = one.distortion_red.center_y = 0.1;
    one.intrinsics.m[2][0] = one.intrinsics.m[2][1] = 0.02f;
    if (which == 0) one.distortion.center_x = 0.0;
    if (which == 1) one.distortion.center_y = 0.0;
    if (which == 2) one.intrinsics.m[0][2] = 0.0f;
    if (which == 3) one.intrinsics.m[1][2] = 0.0f;
    EXPECT_FALSE(IsEyeCalibrated(one)) << which;
  }
}

TEST(EyeCalibrated, FromDocument) {
  EyeTransform eye = Read(std::string("{") + kBase +
                          R"(, "intrinsics": [[1, 0, 0.01], [0, 1, 0.02], [0, 0, 1]]})");
  EXPECT_TRUE(IsEyeCalibrated(eye));
}
