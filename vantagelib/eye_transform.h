// One eye's display and lens record: one element of the document's
// "tracking_to_eye_transform" array.
#pragma once

#include <json/json.h>

#include <cstdint>
#include <string>

#include "vantagelib/distortion.h"

namespace vantage {

// Row-major 3x3 matrix of floats, identity by default.
struct Matrix33 {
  float m[3][3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};

  bool IsIdentity() const;
  bool operator==(const Matrix33& other) const;
  bool operator!=(const Matrix33& other) const { return !(*this == other); }
};

// Reads an array of three rows of three numbers; any missing row or entry
// takes its identity value. Returns false (and notes it in `error`) when the
// value or a row is of the wrong container kind; the matrix is still filled.
bool ReadMatrix33(const Json::Value& value, Matrix33* out, std::string* error);
// Three arrays of three single-precision reals.
Json::Value WriteMatrix33(const Matrix33& matrix);

struct ScanoutRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  bool IsZero() const { return x == 0 && y == 0 && width == 0 && height == 0; }
  bool operator==(const ScanoutRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

// The rectangle that a single number n stands for: (n, n, -2n, -2n). The
// doubling wraps around in 32 bits instead of overflowing, so that every n
// that reads in writes back as the same number.
ScanoutRect ScanoutRectFromNumber(int32_t n);

struct ScanoutScaling {
  ScanoutRect base;
  ScanoutRect red_src;
  ScanoutRect red_dest;
  ScanoutRect blue_src;
  ScanoutRect blue_dest;
};

struct EyeTransform {
  std::string display_serial_number;
  Matrix33 intrinsics;
  Matrix33 eye_to_head;
  DistortionParams distortion;  // the base (green) lens distortion
  DistortionParams distortion_red;
  DistortionParams distortion_blue;
  DistortionParams inverse_distortion;
  float undistort_r2_cutoff = 0.0f;
  float grow_for_undistort = 0.0f;
  // Set only when the document carried a non-null "eye_to_head"; decides
  // whether the matrix is written back.
  bool eye_to_head_present = false;
  ScanoutScaling scanout_scaling;
};

// The lens sanity check: a distortion center with both coordinates non-zero
// and a principal point (intrinsics row 0 and row 1 of column 2) non-zero.
bool IsEyeCalibrated(const EyeTransform& eye);

// Fills `out` from one array element (null gives the reset record). A
// non-trivial "distortion" is copied over trivial red and blue blocks, and
// the clamp flags are set (off for a B-spline colour block, always on for
// the inverse block). The read is lenient; false is returned (with a
// description in `error`) only when some member has the wrong container
// kind, and `out` is filled all the same.
bool FromJson(const Json::Value& value, EyeTransform* out, std::string* error);
// The sparse written form; "display_serial_number" is always present.
Json::Value ToJson(const EyeTransform& eye);

}  // namespace vantage
