// Lens models, worked by hand for each type, and the search that inverts
// them. Their JSON form is in section_json_test.cc.
#include "vantagelib/distortion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "corelib/src/strtools_public.h"

using namespace vantage;

namespace {

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

TEST(DistortPoint, WorkedValuesOfEveryModel) {
  const double a1 = std::atan(1.0);
  const struct {
    uint32_t type;
    std::vector<double> c;
    float x, y;
    double ex, ey, cx = 0, cy = 0, r2max = 16;
  } cases[] = {
      {DISTORT_NONE, {5}, 0.3f, -0.7f, 0.3f, -0.7f}, {DISTORT__COUNT + 1, {5}, 0.3f, -0.7f, 0.3f, -0.7f},
      // At (1, 1), r2 = 2; the center is taken off first and added back.
      {DISTORT_POLY2_TANGENT, {0, 0, 0.01, 0.02}, 1, 1, 1.1, 1.08},
      {DISTORT_POLY3_TANGENT, {0.1, 0, 0, 0, 0.05}, 1, 1, 1.6, 1.6},
      {DISTORT_POLY3_TANGENT_SCALED, {0.1, 0, 0.01, 0, 0.05, -0.5}, 1, 1, 1.12, 1.14},
      {DISTORT_POLY2, {0.1, 0.01}, 1.5f, -1, 1.61, -1, 0.5, -1}, {DISTORT_POLY3, {0.1, 0.01, 0.001}, 0, 2, 0, 3.248},
      {DISTORT_FOV1, {2}, 0.5f, 0, 0.5 * a1, 0}, {DISTORT_FOV2, {1, 1}, 1, 0, a1 / 2, 0},
      {DISTORT_FOV3, {1, 1, 1}, 1, 0, a1 / 3, 0}, {DISTORT_RPOLY2_1, {1, 0, 3}, 1, 0, 0.5, 0},
      {DISTORT_RPOLY2_2, {1, 0, 1, 2}, 1, 0, 0.5, 0}, {DISTORT_DPOLY3, {0.5, 0.25, 0.25}, 1, 0, 0.5, 0},
      {DISTORT_DPOLY3_SCALED, {1, 0, 0, 0.5}, 1, 0, 1.0, 0}, {DISTORT_DPOLY4_SCALED, {0, 0, 0, 0.25, 1}, 1, 0, 0.75, 0},
      // Scaled to (2, 3) first: r2 = 13.
      {DISTORT_DPOLY4_PANELSCALE, {1.0 / 13, 0, 0, 0, 0, 2, 3}, 1, 1, 1, 1.5},
      // x' = 1 + 0.1 * 2 = 1.2; y' = 2 + (0.1 + 0.5 x') x' = 2.84, with the new x'.
      {DISTORT_DPOLY4_QUADRATIC_TILT, {0, 0, 0, 7, 0, 0.1, 0, 0, 0.1, 0, 0.5}, 1, 2, 1.2, 2.84},
      {DISTORT_DPOLY4_QUADRATIC_TILT, {0, 0, 0, 0, 0, 0, 0.5, 0.25, 0, 0.125}, 1, 2, 3, 2.75},
      {DISTORT_FTHETA, {}, 1, 0, a1, 0}, {DISTORT_R1_POLY_4, {0.5, 0, 0, 0.125}, 0, 2, 0, 8},
      {DISTORT_EXTENDED_FTHETA, {0.5, 0, 0, 1}, 0, 1, 0, a1 * (1 + 0.5 * a1 * a1 + std::pow(a1, 8))},
      // atan(u) / u is taken at its limit 1 where u is 0, instead of 0 / 0.
      {DISTORT_EXTENDED_FTHETA, {0.5}, 0.25f, -0.5f, 0.25, -0.5, 0.25, -0.5}, {DISTORT_FOV2, {0, 1}, 1, 0, 0.5, 0},
      // r2 = 4 is clamped to r2max = 1, except for the tangential models.
      {DISTORT_POLY2, {0.1}, 2, 0, 2.2, 0, 0, 0, 1}, {DISTORT_POLY3_TANGENT, {0.1}, 2, 0, 2.8, 0, 0, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.type << " at " << c.x << "," << c.y);
    DistortionParams block = Block(c.type, c.c, c.cx, c.cy);
    block.r2max = c.r2max;
    ExpectDistorts(block, c.x, c.y, c.ex, c.ey);
  }
}

TEST(DistortPoint, Bspline) {
  // Control points c(k) = k reproduce a line: B(s) = 1 + (n - 3) s; past
  // s = 1 it goes on along the slope from 0.98 unless clamped.
  DistortionParams block = Block(DISTORT_BSPLINE, {0, 1, 2, 3, 4, 5, 6, 7});
  block.clampToR2max = false;
  ExpectDistorts(block, std::sqrt(8.0f), 0, 3.5 * std::sqrt(8.0), 0);
  ExpectDistorts(block, 0, std::sqrt(24.0f), 0, 8.5 * std::sqrt(24.0));
  block.clampToR2max = true;
  ExpectDistorts(block, 0, std::sqrt(24.0f), 0, 6 * std::sqrt(24.0));
  // 4 to 16 control points; other counts leave the point alone.
  block = Block(DISTORT_BSPLINE, std::vector<double>(16, 2.0));
  for (int n : {3, 4, 16, 17}) {
    block.nSplineCtrlPts = n;
    ExpectDistorts(block, 0.5f, 0.5f, n % 4 == 0 ? 1.0 : 0.5, n % 4 == 0 ? 1.0 : 0.5);
  }
  // A negative s (any weights sum to 1) must not reach the index unclamped.
  block.nSplineCtrlPts = 8;
  block.r2max = -1;
  block.clampToR2max = false;
  ExpectDistorts(block, 1, 0, 2, 0);
}

TEST(UndistortPoint, StepsAndLimit) {
  // f = 1.05: only the coordinate with the larger error is corrected.
  float x = 1, y = 0;
  UndistortPoint(Block(DISTORT_DPOLY3_SCALED, {0, 0, 0, 0.05}), &x, &y);
  EXPECT_EQ(0.0f, y);
  EXPECT_NEAR(1.0 / 1.05, x, 0.01);
  // f = 0 maps every point onto the center: with equal errors each of the hundred steps moves y by a tenth.
  x = 1, y = 1;
  UndistortPoint(Block(DISTORT_DPOLY3_SCALED, {0, 0, 0, -1}), &x, &y);
  EXPECT_EQ(1.0f, x);
  EXPECT_NEAR(11.0, y, 1e-4);
}

// Names are read in any case; an unnamed value is "Unknown", read as none.
TEST(DistortionTypes, Names) {
  for (uint32_t t = 0; t <= DISTORT__COUNT + 1; ++t)
    EXPECT_EQ(t % 21, DistortionTypeFromName(corelib::ToLower(DistortionTypeName(static_cast<Distortion_Type>(t)))));
}
