#include "vantagelib/eye_transform.h"

#include <utility>

#include "vantagelib/json_access.h"
#include "vantagelib/section_json.h"

namespace vantage {

namespace {

const char* const kRectKeys[] = {"red_src", "red_dest", "blue_src", "blue_dest"};

ScanoutRect* RectByIndex(ScanoutScaling* s, int i) {
  ScanoutRect* rects[] = {&s->red_src, &s->red_dest, &s->blue_src, &s->blue_dest};
  return rects[i];
}

const ScanoutRect& RectByIndex(const ScanoutScaling& s, int i) {
  const ScanoutRect* rects[] = {&s.red_src, &s.red_dest, &s.blue_src, &s.blue_dest};
  return *rects[i];
}

ScanoutRect ReadRectArray(const Json::Value& value, const std::string& what, std::string* problem) {
  ExpectArray(value, what, problem);
  ScanoutRect rect;
  int32_t* fields[] = {&rect.x, &rect.y, &rect.width, &rect.height};
  for (Json::ArrayIndex i = 0; i < 4; ++i)
    *fields[i] = JsonGet(value, i, 0).asInt();
  return rect;
}

Json::Value WriteRectArray(const ScanoutRect& rect) {
  Json::Value out(Json::arrayValue);
  out.append(rect.x);
  out.append(rect.y);
  out.append(rect.width);
  out.append(rect.height);
  return out;
}

void ReadScanout(const Json::Value& value, ScanoutScaling* out, std::string* problem) {
  *out = ScanoutScaling();
  if (value.isNull())
    return;
  ExpectObject(value, "\"scanout_scaling\"", problem);
  out->base = ReadRectArray(JsonAt(value, "base"), "\"base\"", problem);
  for (int i = 0; i < 4; ++i) {
    const Json::Value& member = JsonAt(value, kRectKeys[i]);
    ScanoutRect* rect = RectByIndex(out, i);
    if (member.isIntegral())
      *rect = ScanoutRectFromNumber(JsonGet(value, kRectKeys[i], 0).asInt());
    else
      *rect = ReadRectArray(member, std::string("\"") + kRectKeys[i] + "\"", problem);
  }
}

Json::Value WriteScanout(const ScanoutScaling& s) {
  Json::Value out(Json::objectValue);
  out["base"] = WriteRectArray(s.base);
  for (int i = 0; i < 4; ++i) {
    const ScanoutRect& rect = RectByIndex(s, i);
    if (rect.IsZero())
      continue;
    if (rect == ScanoutRectFromNumber(rect.x))
      out[kRectKeys[i]] = rect.x;
    else
      out[kRectKeys[i]] = WriteRectArray(rect);
  }
  return out;
}

void ReadBlock(const Json::Value& eye, const char* key, DistortionParams* out,
               std::string* problem) {
  std::string blockProblem;
  if (!FromJson(JsonAt(eye, key), out, &blockProblem))
    KeepFirstError(problem, UnderKey(key, blockProblem));
}

}  // namespace

bool Matrix33::IsIdentity() const { return *this == Matrix33(); }

bool Matrix33::operator==(const Matrix33& other) const {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      if (m[i][j] != other.m[i][j])
        return false;
    }
  }
  return true;
}

bool ReadMatrix33(const Json::Value& value, Matrix33* out, std::string* error) {
  std::string problem;
  ExpectArray(value, "matrix", &problem);
  for (Json::ArrayIndex i = 0; i < 3; ++i) {
    const Json::Value& row = JsonAt(value, i);
    ExpectArray(row, "matrix row", &problem);
    for (Json::ArrayIndex j = 0; j < 3; ++j)
      out->m[i][j] = JsonGet(row, j, i == j ? 1.0 : 0.0).asFloat();
  }
  if (problem.empty())
    return true;
  if (error)
    *error = problem;
  return false;
}

Json::Value WriteMatrix33(const Matrix33& matrix) {
  Json::Value out(Json::arrayValue);
  for (int i = 0; i < 3; ++i) {
    Json::Value row(Json::arrayValue);
    for (int j = 0; j < 3; ++j)
      row.append(JsonFloat(matrix.m[i][j]));
    out.append(std::move(row));
  }
  return out;
}

ScanoutRect ScanoutRectFromNumber(int32_t n) {
  ScanoutRect rect;
  rect.x = n;
  rect.y = n;
  rect.width = static_cast<int32_t>(0u - 2u * static_cast<uint32_t>(n));
  rect.height = rect.width;
  return rect;
}

bool IsEyeCalibrated(const EyeTransform& eye) {
  return eye.distortion.center_x != 0.0 && eye.distortion.center_y != 0.0 &&
         eye.intrinsics.m[0][2] != 0.0f && eye.intrinsics.m[1][2] != 0.0f;
}

bool FromJson(const Json::Value& value, EyeTransform* out, std::string* error) {
  std::string problem;
  *out = EyeTransform();
  ExpectObject(value, "eye transform", &problem);

  out->display_serial_number = JsonGet(value, "display_serial_number", "").asString();

  std::string matrixProblem;
  if (!ReadMatrix33(JsonAt(value, "intrinsics"), &out->intrinsics, &matrixProblem))
    KeepFirstError(&problem, UnderKey("intrinsics", matrixProblem));

  ReadBlock(value, "distortion", &out->distortion, &problem);
  ReadBlock(value, "distortion_red", &out->distortion_red, &problem);
  ReadBlock(value, "distortion_blue", &out->distortion_blue, &problem);
  ReadBlock(value, "inverse_distortion", &out->inverse_distortion, &problem);

  // A file that gives only the base block means the same lens for every
  // colour.
  if (!IsTrivialDistortion(out->distortion)) {
    if (IsTrivialDistortion(out->distortion_red))
      out->distortion_red = out->distortion;
    if (IsTrivialDistortion(out->distortion_blue))
      out->distortion_blue = out->distortion;
  }
  // A B-spline extrapolates past its radius instead of being cut off there.
  out->distortion.clampToR2max = out->distortion.type != DISTORT_BSPLINE;
  out->distortion_red.clampToR2max = out->distortion_red.type != DISTORT_BSPLINE;
  out->distortion_blue.clampToR2max = out->distortion_blue.type != DISTORT_BSPLINE;
  out->inverse_distortion.clampToR2max = true;

  out->undistort_r2_cutoff = JsonGet(value, "undistort_r2_cutoff", 0.0).asFloat();
  out->grow_for_undistort = JsonGet(value, "grow_for_undistort", 0.0).asFloat();

  const Json::Value& eyeToHead = JsonAt(value, "eye_to_head");
  out->eye_to_head_present = !eyeToHead.isNull();
  if (out->eye_to_head_present) {
    matrixProblem.clear();
    if (!ReadMatrix33(eyeToHead, &out->eye_to_head, &matrixProblem))
      KeepFirstError(&problem, UnderKey("eye_to_head", matrixProblem));
  }

  std::string scanoutProblem;
  ReadScanout(JsonAt(value, "scanout_scaling"), &out->scanout_scaling, &scanoutProblem);
  if (!scanoutProblem.empty())
    KeepFirstError(&problem, UnderKey("scanout_scaling", scanoutProblem));

  if (problem.empty())
    return true;
  if (error)
    *error = problem;
  return false;
}

Json::Value ToJson(const EyeTransform& eye) {
  Json::Value out(Json::objectValue);
  out["display_serial_number"] = eye.display_serial_number;
  if (!eye.intrinsics.IsIdentity())
    out["intrinsics"] = WriteMatrix33(eye.intrinsics);

  // Colour blocks are written only when they differ from the base block,
  // and nothing at all when the base block has only defaults.
  Json::Value base = ToJson(eye.distortion);
  if (!base.isNull()) {
    Json::Value red = ToJson(eye.distortion_red);
    Json::Value blue = ToJson(eye.distortion_blue);
    const bool colourBlocks = red != base || blue != base;
    out["distortion"] = std::move(base);
    if (colourBlocks) {
      out["distortion_red"] = std::move(red);
      out["distortion_blue"] = std::move(blue);
    }
    if (!IsTrivialDistortion(eye.inverse_distortion))
      out["inverse_distortion"] = ToJson(eye.inverse_distortion);
  }

  if (eye.undistort_r2_cutoff != 0.0f)
    out["undistort_r2_cutoff"] = JsonFloat(eye.undistort_r2_cutoff);
  if (eye.grow_for_undistort != 0.0f)
    out["grow_for_undistort"] = JsonFloat(eye.grow_for_undistort);
  if (eye.eye_to_head_present)
    out["eye_to_head"] = WriteMatrix33(eye.eye_to_head);
  if (!eye.scanout_scaling.base.IsZero())
    out["scanout_scaling"] = WriteScanout(eye.scanout_scaling);
  return out;
}

}  // namespace vantage
