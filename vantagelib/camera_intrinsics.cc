#include "vantagelib/camera_intrinsics.h"

#include "vantagelib/json_access.h"
#include "vantagelib/section_json.h"

namespace vantage {

namespace {

// Half the difference of two sizes, computed wide: exact for odd
// differences and free of 32-bit overflow.
double HalfDifference(int32_t a, int32_t b) {
  return (static_cast<double>(a) - static_cast<double>(b)) / 2.0;
}

}  // namespace

void CameraIntrinsics::SetUndistortedSize(int32_t w, int32_t h) {
  if (undist_width != w)
    center_x += HalfDifference(w, undist_width);
  if (undist_height != 0 && undist_height != h)
    center_y += HalfDifference(h, undist_height);
  undist_width = w;
  undist_height = h;
}

bool FromJson(const Json::Value& value, CameraIntrinsics* out, std::string* error) {
  std::string problem;
  *out = CameraIntrinsics();
  ExpectObject(value, "camera intrinsics", &problem);

  out->interface = JsonGet(value, "interface", "").asString();
  out->width = JsonGet(value, "width", 0).asInt();
  out->height = JsonGet(value, "height", 0).asInt();
  out->undist_width = JsonGet(value, "undist_width", 0).asInt();
  out->undist_height = JsonGet(value, "undist_height", 0).asInt();
  out->focal_x = JsonGet(value, "focal_x", 0.0).asDouble();
  out->center_x = JsonGet(value, "center_x", 0.0).asDouble();
  out->focal_y = JsonGet(value, "focal_y", 0.0).asDouble();
  out->center_y = JsonGet(value, "center_y", 0.0).asDouble();

  std::string blockProblem;
  if (!FromJson(JsonAt(value, "distort"), &out->distort, &blockProblem))
    KeepFirstError(&problem, UnderKey("distort", blockProblem));

  // The center stays where it is: it was stored in the undistorted frame.
  if (out->undist_width == 0)
    out->undist_width = out->width;
  if (out->undist_height == 0)
    out->undist_height = out->height;

  if (problem.empty())
    return true;
  if (error)
    *error = problem;
  return false;
}

Json::Value ToJson(const CameraIntrinsics& intrinsics) {
  Json::Value out(Json::objectValue);
  out["interface"] = intrinsics.interface;
  out["width"] = intrinsics.width;
  out["height"] = intrinsics.height;
  out["focal_x"] = JsonDouble(intrinsics.focal_x);
  out["center_x"] = JsonDouble(intrinsics.center_x -
                               HalfDifference(intrinsics.undist_width, intrinsics.width));
  out["focal_y"] = JsonDouble(intrinsics.focal_y);
  out["center_y"] = JsonDouble(intrinsics.center_y -
                               HalfDifference(intrinsics.undist_height, intrinsics.height));
  out["distort"] = ToJson(intrinsics.distort);
  return out;
}

}  // namespace vantage
