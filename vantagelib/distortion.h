// Lens distortion blocks: the model type, its coefficients and how a block
// travels in JSON. The same block describes every lens of the document (the
// four per-eye blocks of an eye transform and a tracked camera's "distort").
#pragma once

#include <json/json.h>

#include <cstdint>
#include <string>

namespace vantage {

enum Distortion_Type : uint32_t {
  DISTORT_NONE = 0,
  DISTORT_POLY2_TANGENT = 1,
  DISTORT_POLY3_TANGENT = 2,
  DISTORT_POLY3_TANGENT_SCALED = 3,
  DISTORT_POLY2 = 4,
  DISTORT_POLY3 = 5,
  DISTORT_FOV1 = 6,
  DISTORT_FOV2 = 7,
  DISTORT_FOV3 = 8,
  DISTORT_RPOLY2_1 = 9,
  DISTORT_RPOLY2_2 = 10,
  DISTORT_DPOLY3 = 11,
  DISTORT_DPOLY3_SCALED = 12,
  DISTORT_DPOLY4_SCALED = 13,
  DISTORT_DPOLY4_PANELSCALE = 14,
  DISTORT_DPOLY4_QUADRATIC_TILT = 15,
  DISTORT_FTHETA = 16,
  DISTORT_R1_POLY_4 = 17,
  DISTORT_EXTENDED_FTHETA = 18,
  DISTORT_BSPLINE = 19,
  // A named row like the others: read and written by name.
  DISTORT__COUNT = 20,
};

constexpr int kDistortionCoeffCount = 16;

struct DistortionParams {
  double coeffs[kDistortionCoeffCount] = {};
  double center_x = 0.0;
  double center_y = 0.0;
  Distortion_Type type = DISTORT_NONE;
  int32_t nSplineCtrlPts = 8;  // B-spline control points held in coeffs
  double r2max = 16.0;         // squared-radius limit
  // Not part of the JSON form; the display section sets it after parsing.
  bool clampToR2max = true;
};

// The JSON spelling of a type. A value outside the table is reported as
// "Missing String for Distortion_Type (<value>)" on the assertion channel and
// named "Unknown".
const char* DistortionTypeName(Distortion_Type type);
// Case-insensitive match against the table; no match gives DISTORT_NONE.
Distortion_Type DistortionTypeFromName(const std::string& name);

// DISTORT_NONE, or a DISTORT_POLY2_TANGENT block with zero coefficients and
// a zero center. Other types with zero coefficients are not trivial.
bool IsTrivialDistortion(const DistortionParams& block);

// Reads a block from the member value found under the owner's key (null when
// the key is absent, which gives the all-default block). Every field but
// clampToR2max is set. Wrong scalar kinds read as their defaults; when the
// block or its "coeffs" is of the wrong container kind the block still reads
// leniently, but false is returned with a description in `error`.
bool FromJson(const Json::Value& value, DistortionParams* out, std::string* error);
// The sparse written form: null for an all-default block, so the owner can
// omit its key.
Json::Value ToJson(const DistortionParams& block);

// Maps a point through the lens model, in place, in single precision.
void DistortPoint(const DistortionParams& block, float* x, float* y);
// Searches for the point that DistortPoint maps onto (*x, *y) and stores the
// last guess, converged or not.
void UndistortPoint(const DistortionParams& block, float* x, float* y);

}  // namespace vantage
