// Intrinsics of a tracked camera: the member "intrinsics" of a camera entry.
#pragma once

#include <json/json.h>

#include <cstdint>
#include <string>

#include "vantagelib/distortion.h"

namespace vantage {

struct CameraIntrinsics {
  std::string interface;
  int32_t width = 0;  // raw image size in pixels
  int32_t height = 0;
  // Size of the undistorted image; after a read, 0 stands for the raw size.
  int32_t undist_width = 0;
  int32_t undist_height = 0;
  double focal_x = 0.0;
  double center_x = 0.0;  // the center is kept in the undistorted frame
  double focal_y = 0.0;
  double center_y = 0.0;
  DistortionParams distort;
  // Grows or shrinks the undistorted image about its middle, moving the
  // center by half the change of each side. SetUndistortedSize(width,
  // height) returns to the raw frame.
  void SetUndistortedSize(int32_t w, int32_t h);
};

// Reads the member value (null when absent). The read is lenient; false is
// returned (with a description in `error`) only when the value or its
// "distort" block has the wrong container kind, and `out` is filled all the
// same.
bool FromJson(const Json::Value& value, CameraIntrinsics* out, std::string* error);
// Every member always, the center moved into the raw image frame and no
// undistorted size; "distort" is written even when it is null.
Json::Value ToJson(const CameraIntrinsics& intrinsics);

}  // namespace vantage
