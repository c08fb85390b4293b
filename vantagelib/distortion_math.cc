// Evaluation of the lens models. Everything is single precision, written out
// operation by operation in the order the models are defined, so that the
// rounding does not depend on how the compiler would regroup a formula.
#include <cmath>
#include <limits>

#include "vantagelib/distortion.h"

namespace vantage {

namespace {

// Double to float without the undefined behaviour of an out-of-range cast.
float ToFloat(double v) {
  const double kMax = std::numeric_limits<float>::max();
  if (v > kMax)
    return std::numeric_limits<float>::infinity();
  if (v < -kMax)
    return -std::numeric_limits<float>::infinity();
  return static_cast<float>(v);
}

// atan(u) / u, with its limit 1 where the quotient would be 0 / 0.
float AtanRatio(float u) {
  if (u == 0.0f)
    return 1.0f;
  return std::atan(u) / u;
}

// atan(c0 r) / (scale c0 r), with the limit 1 / scale at c0 r = 0.
float FovQuotient(float c0, float r, float scale) {
  if (c0 * r == 0.0f)
    return 1.0f / scale;
  return std::atan(c0 * r) / (scale * c0 * r);
}

// Uniform cubic B-spline over the control points c[0..n-1] at s in [0, 1].
float SplineValue(const float* c, int n, float s) {
  float u = static_cast<float>(n - 3) * s;
  float fi = std::floor(u);
  int i;
  if (!(fi >= 0.0f))  // also catches NaN, which must never reach the int cast
    i = 0;
  else if (fi > static_cast<float>(n - 4))
    i = n - 4;
  else
    i = static_cast<int>(fi);
  float t = u - static_cast<float>(i);
  float t2 = t * t;
  float t3 = t2 * t;
  float m = 1.0f - t;
  float m3 = m * m * m;
  float w1 = 3.0f * t3 - 6.0f * t2 + 4.0f;
  float w2 = -3.0f * t3 + 3.0f * t2 + 3.0f * t + 1.0f;
  return (m3 * c[i] + w1 * c[i + 1] + w2 * c[i + 2] + t3 * c[i + 3]) / 6.0f;
}

bool IsTangentialType(uint32_t type) {
  return type == DISTORT_POLY2_TANGENT || type == DISTORT_POLY3_TANGENT ||
         type == DISTORT_POLY3_TANGENT_SCALED;
}

// Radial polynomials shared by several models.
float Poly2(const float* c, float r2) { return 1.0f + r2 * (c[0] + r2 * c[1]); }
float Poly3(const float* c, float r2) { return 1.0f + r2 * (c[0] + r2 * (c[1] + r2 * c[2])); }
float Poly3Tangent(const float* c, float r2) {
  return r2 * (c[0] + r2 * (c[1] + r2 * c[4]));
}
float Dpoly4Denominator(const float* c, float r2) {
  return 1.0f + r2 * (c[0] + r2 * (c[1] + r2 * (c[2] + r2 * c[4])));
}

void ApplyTangential(const float* c, float f, float r2, float* x, float* y) {
  float px = *x;
  float py = *y;
  *x = f * px + 2.0f * c[2] * px * py + c[3] * (r2 + 2.0f * px * px);
  *y = f * py + 2.0f * c[3] * px * py + c[2] * (r2 + 2.0f * py * py);
}

}  // namespace

void DistortPoint(const DistortionParams& block, float* x, float* y) {
  float c[kDistortionCoeffCount];
  for (int i = 0; i < kDistortionCoeffCount; ++i)
    c[i] = ToFloat(block.coeffs[i]);
  const float cx = ToFloat(block.center_x);
  const float cy = ToFloat(block.center_y);
  const float r2max = ToFloat(block.r2max);
  const uint32_t type = block.type;

  float px = *x - cx;
  float py = *y - cy;
  if (type == DISTORT_DPOLY4_PANELSCALE) {
    px = c[5] * px;
    py = c[6] * py;
  }
  float r2 = px * px + py * py;
  if (block.clampToR2max && !IsTangentialType(type) && r2max < r2)
    r2 = r2max;
  const float r = std::sqrt(r2);

  float f = 1.0f;
  switch (type) {
    case DISTORT_POLY2_TANGENT:
      ApplyTangential(c, Poly2(c, r2), r2, &px, &py);
      break;
    case DISTORT_POLY3_TANGENT:
      ApplyTangential(c, 1.0f + Poly3Tangent(c, r2), r2, &px, &py);
      break;
    case DISTORT_POLY3_TANGENT_SCALED:
      ApplyTangential(c, 1.0f + c[5] + Poly3Tangent(c, r2), r2, &px, &py);
      break;
    case DISTORT_POLY2:
      f = Poly2(c, r2);
      break;
    case DISTORT_POLY3:
      f = Poly3(c, r2);
      break;
    case DISTORT_FOV1:
      f = AtanRatio(c[0] * r);
      break;
    case DISTORT_FOV2:
      f = FovQuotient(c[0], r, 1.0f + c[1] * (r2 * r2));
      break;
    case DISTORT_FOV3:
      f = FovQuotient(c[0], r, 1.0f + (c[1] + c[2] * r2) * (r2 * r2));
      break;
    case DISTORT_RPOLY2_1:
      f = Poly2(c, r2) / (1.0f + r2 * c[2]);
      break;
    case DISTORT_RPOLY2_2:
      f = Poly2(c, r2) / (1.0f + r2 * (c[2] + r2 * c[3]));
      break;
    case DISTORT_DPOLY3:
      f = 1.0f / Poly3(c, r2);
      break;
    case DISTORT_DPOLY3_SCALED:
      f = 1.0f / Poly3(c, r2) + c[3];
      break;
    case DISTORT_DPOLY4_SCALED:
    case DISTORT_DPOLY4_PANELSCALE:
      f = 1.0f / Dpoly4Denominator(c, r2) + c[3];
      break;
    case DISTORT_DPOLY4_QUADRATIC_TILT: {
      float g = 1.0f / Dpoly4Denominator(c, r2);
      float nx = g * px + (c[5] + c[6] * px + c[7] * py) * py;
      float ny = g * py + (c[8] + c[9] * py + c[10] * nx) * nx;
      px = nx;
      py = ny;
      break;
    }
    case DISTORT_FTHETA:
      f = AtanRatio(r);
      break;
    case DISTORT_R1_POLY_4:
      f = 1.0f + r * (c[0] + r * (c[1] + r * (c[2] + r * c[3])));
      break;
    case DISTORT_EXTENDED_FTHETA: {
      float t = std::atan(r);
      float t2 = t * t;
      float t4 = t2 * t2;
      float t6 = t4 * t2;
      float t8 = t4 * t4;
      f = AtanRatio(r) * (1.0f + c[0] * t2 + c[1] * t4 + c[2] * t6 + c[3] * t8);
      break;
    }
    case DISTORT_BSPLINE: {
      const int n = block.nSplineCtrlPts;
      // A count the sixteen coefficients cannot hold leaves the point as is
      // rather than reading past them.
      if (n < 4 || n > kDistortionCoeffCount)
        break;
      float s = r2 / r2max;
      if (s < 1.0f) {
        f = SplineValue(c, n, s);
      } else {
        float b1 = SplineValue(c, n, 1.0f);
        float b098 = SplineValue(c, n, 0.98f);
        f = b1 + (b1 - b098) * (s - 1.0f) * 50.0f;
      }
      break;
    }
    default:  // DISTORT_NONE, DISTORT__COUNT and unnamed values
      break;
  }

  *x = f * px + cx;
  *y = f * py + cy;
}

void UndistortPoint(const DistortionParams& block, float* x, float* y) {
  const float tx = *x;
  const float ty = *y;
  float gx = tx;
  float gy = ty;
  for (int step = 0; step < 100; ++step) {
    float dx = gx;
    float dy = gy;
    DistortPoint(block, &dx, &dy);
    float ex = dx - tx;
    float ey = dy - ty;
    if (std::fabs(ex) + std::fabs(ey) < 0.01f)
      break;
    // One coordinate per step: the one that is further off.
    if (std::fabs(ex) > std::fabs(ey))
      gx = gx - 0.1f * ex;
    else
      gy = gy - 0.1f * ey;
  }
  *x = gx;
  *y = gy;
}

}  // namespace vantage
