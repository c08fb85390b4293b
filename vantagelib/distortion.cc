#include "vantagelib/distortion.h"

#include <cmath>
#include <iterator>
#include <utility>

#include "corelib/src/logchannel.h"
#include "corelib/src/strtools_public.h"
#include "vantagelib/json_access.h"
#include "vantagelib/section_json.h"

namespace vantage {

namespace {

// Indexed by value; the names are the JSON spellings.
const char* const kTypeNames[] = {
    "DISTORT_NONE",
    "DISTORT_POLY2_TANGENT",
    "DISTORT_POLY3_TANGENT",
    "DISTORT_POLY3_TANGENT_SCALED",
    "DISTORT_POLY2",
    "DISTORT_POLY3",
    "DISTORT_FOV1",
    "DISTORT_FOV2",
    "DISTORT_FOV3",
    "DISTORT_RPOLY2_1",
    "DISTORT_RPOLY2_2",
    "DISTORT_DPOLY3",
    "DISTORT_DPOLY3_SCALED",
    "DISTORT_DPOLY4_SCALED",
    "DISTORT_DPOLY4_PANELSCALE",
    "DISTORT_DPOLY4_QUADRATIC_TILT",
    "DISTORT_FTHETA",
    "DISTORT_R1_POLY_4",
    "DISTORT_EXTENDED_FTHETA",
    "DISTORT_BSPLINE",
    "DISTORT__COUNT",
};
constexpr uint32_t kTypeNameCount = std::size(kTypeNames);
static_assert(kTypeNameCount == DISTORT__COUNT + 1, "one name per row");

constexpr double kDefaultR2Max = 16.0;
constexpr int32_t kDefaultSplineCtrlPts = 8;

}  // namespace

const char* DistortionTypeName(Distortion_Type type) {
  uint32_t value = type;
  if (value < kTypeNameCount)
    return kTypeNames[value];
  SB_ASSERT_MSG("Missing String for %s (%d)", "Distortion_Type", static_cast<int>(value));
  return "Unknown";
}

Distortion_Type DistortionTypeFromName(const std::string& name) {
  for (uint32_t i = 0; i < kTypeNameCount; ++i) {
    if (corelib::CaseInsensitiveEqual(name.c_str(), kTypeNames[i]))
      return static_cast<Distortion_Type>(i);
  }
  return DISTORT_NONE;
}

bool IsTrivialDistortion(const DistortionParams& block) {
  if (block.type == DISTORT_NONE)
    return true;
  if (block.type != DISTORT_POLY2_TANGENT)
    return false;
  for (double c : block.coeffs) {
    if (c != 0.0)
      return false;
  }
  return block.center_x == 0.0 && block.center_y == 0.0;
}

bool FromJson(const Json::Value& value, DistortionParams* out, std::string* error) {
  std::string problem;
  ExpectObject(value, "distortion block", &problem);

  out->type = DistortionTypeFromName(JsonGet(value, "type", "DISTORT_NONE").asString());
  out->r2max = JsonGet(value, "r2max", kDefaultR2Max).asDouble();
  out->nSplineCtrlPts = JsonGet(value, "nSplineCtrlPts", kDefaultSplineCtrlPts).asInt();
  out->center_x = JsonGet(value, "center_x", 0.0).asDouble();
  out->center_y = JsonGet(value, "center_y", 0.0).asDouble();

  const Json::Value& coeffs = JsonAt(value, "coeffs");
  ExpectArray(coeffs, "\"coeffs\"", &problem);
  // Extra elements beyond the sixteen are ignored.
  for (Json::ArrayIndex i = 0; i < kDistortionCoeffCount; ++i)
    out->coeffs[i] = JsonGet(coeffs, i, 0.0).asDouble();

  if (problem.empty())
    return true;
  if (error)
    *error = problem;
  return false;
}

Json::Value ToJson(const DistortionParams& block) {
  Json::Value out;
  if (block.type != DISTORT_NONE)
    out["type"] = DistortionTypeName(block.type);
  // The tolerance is a float constant, so that a value that went through
  // single precision still counts as the default.
  if (std::fabs(block.r2max - kDefaultR2Max) > static_cast<double>(1e-5f))
    out["r2max"] = JsonDouble(block.r2max);
  if (block.nSplineCtrlPts != kDefaultSplineCtrlPts)
    out["nSplineCtrlPts"] = block.nSplineCtrlPts;
  if (block.center_x != 0.0 || block.center_y != 0.0) {
    out["center_x"] = JsonDouble(block.center_x);
    out["center_y"] = JsonDouble(block.center_y);
  }
  int last = -1;
  for (int i = 0; i < kDistortionCoeffCount; ++i) {
    if (block.coeffs[i] != 0.0)
      last = i;
  }
  if (last >= 0) {
    Json::Value coeffs(Json::arrayValue);
    for (int i = 0; i <= last; ++i)
      coeffs.append(JsonDouble(block.coeffs[i]));
    out["coeffs"] = std::move(coeffs);
  }
  return out;
}

}  // namespace vantage
