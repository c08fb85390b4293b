// Distortion blocks: type names, the sparse JSON form and the lens models.
#include "vantagelib/distortion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "corelib/src/logchannel.h"
#include "devconfig/jsonhelpers.h"

using namespace vantage;

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  EXPECT_TRUE(ParseJsonText(text, &root, nullptr)) << text;
  return root;
}

// Reads into a block that holds something else in every field.
DistortionParams Read(const std::string& text) {
  DistortionParams block;
  block.type = DISTORT_FOV1;
  block.coeffs[15] = block.center_x = block.center_y = block.r2max = 3.0;
  block.nSplineCtrlPts = 5;
  block.clampToR2max = false;
  std::string error;
  EXPECT_TRUE(FromJson(Parse(text), &block, &error)) << error;
  return block;
}

std::string Written(const DistortionParams& block) { return WriteStyledJson(ToJson(block)); }

DistortionParams Block(uint32_t type, const std::vector<double>& coeffs, double cx = 0, double cy = 0) {
  DistortionParams block;
  block.type = static_cast<Distortion_Type>(type);
  std::copy(coeffs.begin(), coeffs.end(), block.coeffs);
  block.center_x = cx;
  block.center_y = cy;
  return block;
}

void ExpectDistorts(const DistortionParams& block, float x, float y, double ex, double ey) {
  DistortPoint(block, &x, &y);
  EXPECT_NEAR(ex, x, 1e-5 * std::max(1.0, std::fabs(ex)));
  EXPECT_NEAR(ey, y, 1e-5 * std::max(1.0, std::fabs(ey)));
}

}  // namespace

// Every row of the table: its name read in any case, the block written and
// read back unchanged, and UndistortPoint inverting DistortPoint.
TEST(DistortionTypes, EveryTypeRoundTrips) {
  const struct {
    const char* name;
    std::vector<double> coeffs;
  } rows[] = {
      {"DISTORT_NONE", {}}, {"DISTORT_POLY2_TANGENT", {0.05, 0.01, 0.002, -0.003}},
      {"DISTORT_POLY3_TANGENT", {0.05, 0.01, 0.002, -0.003, 0.001}},
      {"DISTORT_POLY3_TANGENT_SCALED", {0.05, 0.01, 0.002, -0.003, 0.001, 0.05}},
      {"DISTORT_POLY2", {0.1, 0.02}}, {"DISTORT_POLY3", {0.1, 0.02, 0.01}}, {"DISTORT_FOV1", {0.8}},
      {"DISTORT_FOV2", {0.8, 0.02}}, {"DISTORT_FOV3", {0.8, 0.02, 0.01}}, {"DISTORT_RPOLY2_1", {0.1, 0.02, 0.05}},
      {"DISTORT_RPOLY2_2", {0.1, 0.02, 0.05, 0.01}}, {"DISTORT_DPOLY3", {0.1, 0.02, 0.01}},
      {"DISTORT_DPOLY3_SCALED", {0.1, 0.02, 0.01, 0.1}}, {"DISTORT_DPOLY4_SCALED", {0.1, 0.02, 0.01, 0.1, 0.005}},
      {"DISTORT_DPOLY4_PANELSCALE", {0.1, 0.02, 0.01, 0.1, 0.005, 1.1, 0.9}},
      {"DISTORT_DPOLY4_QUADRATIC_TILT", {0.1, 0.02, 0.01, 0, 0.005, 0.01, 0.02, 0.01, -0.01, 0.02, 0.01}},
      {"DISTORT_FTHETA", {}}, {"DISTORT_R1_POLY_4", {0.05, 0.02, 0.01, 0.005}},
      {"DISTORT_EXTENDED_FTHETA", {0.1, 0.01, 0.001, 0.0001}},
      {"DISTORT_BSPLINE", {1.0, 1.02, 1.05, 1.09, 1.14, 1.2, 1.27, 1.35}}, {"DISTORT__COUNT", {}},
  };
  static_assert(sizeof(rows) / sizeof(rows[0]) == DISTORT__COUNT + 1, "one row per type");
  std::string asserts;  // each message with the file that raised it
  corelib::CAssertListener listener(
      [&](const char* text, const char* file, int, bool, bool*, void*) { (asserts += text) += file; }, nullptr);
  corelib::AddAssertListener(&listener);
  for (uint32_t t = 0; t <= DISTORT__COUNT; ++t) {
    SCOPED_TRACE(rows[t].name);
    std::string lower = rows[t].name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(t, DistortionTypeFromName(lower));
    const DistortionParams block = Block(t, rows[t].coeffs, 0.05, -0.02);
    EXPECT_STREQ(rows[t].name, DistortionTypeName(block.type));
    EXPECT_EQ(Written(block), Written(Read(Written(block))));
    for (float px = -0.6f; px <= 0.61f; px += 0.3f) {
      for (float py = -0.6f; py <= 0.61f; py += 0.3f) {
        float x = px, y = py;
        DistortPoint(block, &x, &y);
        UndistortPoint(block, &x, &y);  // within 0.01 of the target, distorted
        EXPECT_NEAR(px, x, 0.02) << px << "," << py;
        EXPECT_NEAR(py, y, 0.02) << px << "," << py;
      }
    }
  }
  for (const char* name : {"DISTORT_POLY7", "", "DISTORT_POLY3 ", "Unknown"})
    EXPECT_EQ(DISTORT_NONE, DistortionTypeFromName(name)) << name;
  EXPECT_EQ("", asserts);

  // A value outside the table is named "Unknown" after an assertion, and
  // reads back as DISTORT_NONE with its coefficients.
  EXPECT_STREQ("Unknown", DistortionTypeName(static_cast<Distortion_Type>(0xFFFFFFFFu)));
  const DistortionParams unknown = Read(Written(Block(21, {0.5})));
  EXPECT_EQ(DISTORT_NONE, unknown.type);
  EXPECT_EQ(0.5, unknown.coeffs[0]);
  corelib::RemoveAssertListener(&listener);
  EXPECT_EQ(0u, asserts.find("Missing String for Distortion_Type (-1)/")) << asserts;
  EXPECT_NE(std::string::npos, asserts.find("distortion.ccMissing String for Distortion_Type (21)/")) << asserts;
}

TEST(DistortionJson, ReadsLenientlyAndWritesSparsely) {
  // The clamp flag is not part of the JSON form and stays as it was.
  DistortionParams block = Read("null");
  EXPECT_FALSE(block.clampToR2max);
  const char* const rows[][2] = {
      {"null", "null"},
      {R"({"coeffs": [0.1, 0, 0.2, 0, 0]})", R"({"coeffs": [0.1, 0, 0.2]})"},
      {R"({"coeffs": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20]})",
       R"({"coeffs": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16]})"},
      {R"({"r2max": 16.000001})", "null"},
      {R"({"r2max": 15.999995})", "null"},
      {R"({"r2max": 16.1})", R"({"r2max": 16.1})"},
      {R"({"center_y": 0.5})", R"({"center_x": 0, "center_y": 0.5})"},
      {R"({"type": "Distort_Poly3", "nSplineCtrlPts": 0})", R"({"type": "DISTORT_POLY3", "nSplineCtrlPts": 0})"},
      // A misspelt type is DISTORT_NONE, but the coefficients are still read.
      {R"({"type": "DISTORT_POLY", "coeffs": [0, 0, 0, 2]})", R"({"coeffs": [0, 0, 0, 2]})"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(WriteStyledJson(Parse(row[1])), Written(Read(row[0]))) << row[0];

  std::string error;
  EXPECT_FALSE(FromJson(Parse(R"({"type": "DISTORT_POLY2", "coeffs": {"0": 1}})"), &block, &error));
  EXPECT_EQ("\"coeffs\" is not an array", error);
  EXPECT_EQ(DISTORT_POLY2, block.type);
}

TEST(DistortPoint, WorkedValuesOfEveryModel) {
  const double a1 = std::atan(1.0);
  const struct {
    uint32_t type;
    std::vector<double> c;
    float x, y;
    double ex, ey;
    double cx = 0, cy = 0, r2max = 16;
  } cases[] = {
      {DISTORT_NONE, {5, 5}, 0.3f, -0.7f, 0.3f, -0.7f}, {DISTORT__COUNT, {5, 5}, 0.3f, -0.7f, 0.3f, -0.7f},
      {77, {5}, 0.3f, -0.7f, 0.3f, -0.7f},
      // (1, 1): r2 = 2, f = 1
      {DISTORT_POLY2_TANGENT, {0, 0, 0.01, 0.02}, 1, 1, 1.1, 1.08},
      {DISTORT_POLY3_TANGENT, {0.1, 0, 0, 0, 0.05}, 1, 1, 1.6, 1.6},
      {DISTORT_POLY3_TANGENT_SCALED, {0.1, 0, 0.01, 0, 0.05, -0.5}, 1, 1, 1.12, 1.14},
      {DISTORT_POLY2, {0.1, 0.01}, 1, 0, 1.11, 0},
      // The center is taken off first and added back at the end.
      {DISTORT_POLY2, {0.1, 0.01}, 1.5f, -2, 1.61, -2, 0.5, -2},
      {DISTORT_POLY2, {0.1, 0.01}, 0.5f, -1, 0.5, -2 + 1.11, 0.5, -2},
      {DISTORT_POLY3, {0.1, 0.01, 0.001}, 0, 2, 0, 3.248}, {DISTORT_FOV1, {2}, 0.5f, 0, 0.5 * a1, 0},
      {DISTORT_FOV2, {1, 1}, 1, 0, a1 / 2, 0}, {DISTORT_FOV3, {1, 1, 1}, 1, 0, a1 / 3, 0},
      {DISTORT_RPOLY2_1, {1, 0, 3}, 1, 0, 0.5, 0}, {DISTORT_RPOLY2_2, {1, 0, 1, 2}, 1, 0, 0.5, 0},
      {DISTORT_DPOLY3, {0.5, 0.25, 0.25}, 1, 0, 0.5, 0}, {DISTORT_DPOLY3_SCALED, {1, 0, 0, 0.5}, 1, 0, 1.0, 0},
      {DISTORT_DPOLY4_SCALED, {0, 0, 0, 0.25, 1}, 1, 0, 0.75, 0},
      // Scaled to (2, 3) first; r2 = 13 from the scaled point.
      {DISTORT_DPOLY4_PANELSCALE, {0, 0, 0, 0, 0, 2, 3}, 1, 1, 2, 3},
      {DISTORT_DPOLY4_PANELSCALE, {1.0 / 13, 0, 0, 0, 0, 2, 3}, 1, 1, 1, 1.5},
      // x' = 1 + 0.1 * 2 = 1.2; y' = 2 + (0.1 + 0.5 x') x' = 2.84, with the new x'.
      {DISTORT_DPOLY4_QUADRATIC_TILT, {0, 0, 0, 7, 0, 0.1, 0, 0, 0.1, 0, 0.5}, 1, 2, 1.2, 2.84},
      {DISTORT_DPOLY4_QUADRATIC_TILT, {0, 0, 0, 0, 0, 0, 0.5, 0.25, 0, 0.125}, 1, 2, 3, 2.75},
      {DISTORT_FTHETA, {}, 1, 0, a1, 0}, {DISTORT_R1_POLY_4, {0.5}, 0, 2, 0, 4},
      {DISTORT_R1_POLY_4, {0, 0, 0, 0.125}, 2, 0, 6, 0},
      {DISTORT_EXTENDED_FTHETA, {0.5}, 0, 1, 0, a1 * (1 + 0.5 * a1 * a1)},
      {DISTORT_EXTENDED_FTHETA, {0, 0, 0, 1}, 1, 0, a1 * (1 + std::pow(a1, 8)), 0},
      // atan(u) / u is taken at its limit 1 where u is 0, instead of 0 / 0.
      {DISTORT_FTHETA, {}, 0.25f, -0.5f, 0.25, -0.5, 0.25, -0.5},
      {DISTORT_EXTENDED_FTHETA, {0.5, 0.5}, 0.25f, -0.5f, 0.25, -0.5, 0.25, -0.5},
      {DISTORT_FOV3, {0.5, 0.5, 0.5}, 0.25f, -0.5f, 0.25, -0.5, 0.25, -0.5},
      {DISTORT_FOV1, {0}, 0.5f, 0.5f, 0.5, 0.5}, {DISTORT_FOV2, {0, 1}, 1, 0, 0.5, 0},
      // r2 = 4 is clamped to r2max = 1, except for the tangential models.
      {DISTORT_POLY2, {0.1}, 2, 0, 2.2, 0, 0, 0, 1}, {DISTORT_POLY2_TANGENT, {0.1}, 2, 0, 2.8, 0, 0, 0, 1},
      {DISTORT_POLY3_TANGENT, {0.1}, 2, 0, 2.8, 0, 0, 0, 1},
      {DISTORT_POLY3_TANGENT_SCALED, {0.1}, 2, 0, 2.8, 0, 0, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << " at " << c.x << "," << c.y);
    DistortionParams block = Block(c.type, c.c, c.cx, c.cy);
    block.r2max = c.r2max;
    ExpectDistorts(block, c.x, c.y, c.ex, c.ey);
  }
}

TEST(DistortPoint, Bspline) {
  // Control points c(k) = k reproduce a line: B(s) = 1 + (n - 3) s.
  DistortionParams block = Block(DISTORT_BSPLINE, {0, 1, 2, 3, 4, 5, 6, 7});
  block.clampToR2max = false;
  ExpectDistorts(block, std::sqrt(8.0f), 0, 3.5 * std::sqrt(8.0), 0);  // s = 0.5
  // s = 1.5: B(1) = 6, B(0.98) = 5.9, f = 6 + 0.1 * 0.5 * 50 = 8.5
  ExpectDistorts(block, 0, std::sqrt(24.0f), 0, 8.5 * std::sqrt(24.0));
  block.clampToR2max = true;
  ExpectDistorts(block, 0, std::sqrt(24.0f), 0, 6 * std::sqrt(24.0));
  block.nSplineCtrlPts = 5;  // B(s) = 1 + 2 s
  block.clampToR2max = false;
  ExpectDistorts(block, 2, 0, 3, 0);

  // A count the sixteen coefficients cannot hold leaves the point alone.
  DistortionParams twos = Block(DISTORT_BSPLINE, std::vector<double>(16, 2.0));
  for (int n : {-1, 0, 3, 17, 1000, 16}) {
    twos.nSplineCtrlPts = n;
    ExpectDistorts(twos, 0.5f, 0.5f, n == 16 ? 1.0 : 0.5, n == 16 ? 1.0 : 0.5);
  }
}

TEST(DistortPoint, DegenerateInputsDoNotCrash) {
  DistortionParams block = Block(DISTORT_BSPLINE, {1e300, 1, 1, 1, 1, 1, 1, 1});  // beyond single precision
  float x = 0, y = 0;
  block.r2max = 0.0;  // s = 0 / 0 at the center
  DistortPoint(block, &x, &y);
  block.r2max = -1.0;
  block.center_x = -1e300;
  x = NAN, y = INFINITY;
  DistortPoint(block, &x, &y);
  UndistortPoint(block, &x, &y);
}

TEST(UndistortPoint, StepsAndLimit) {
  // f = 1.05: only the coordinate with the larger error is corrected.
  float x = 1, y = 0;
  UndistortPoint(Block(DISTORT_DPOLY3_SCALED, {0, 0, 0, 0.05}), &x, &y);
  EXPECT_EQ(0.0f, y);
  EXPECT_NEAR(1.0 / 1.05, x, 0.01);
  // f = 0 maps every point onto the center, so the error never shrinks; with
  // equal errors each of the hundred steps moves y by a tenth.
  x = 1, y = 1;
  UndistortPoint(Block(DISTORT_DPOLY3_SCALED, {0, 0, 0, -1}), &x, &y);
  EXPECT_EQ(1.0f, x);
  EXPECT_NEAR(11.0, y, 1e-4);
}
