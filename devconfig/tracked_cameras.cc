#include "devconfig/tracked_cameras.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <utility>

#include "devconfig/jsonhelpers.h"
#include "devconfig/trackeddeviceconfig.h"
#include "vantagelib/section_json.h"

namespace {

const char* const kAxisNames[3] = {"position", "plus_x", "plus_z"};

// A number beyond single precision would be stored as an infinity, which
// the written document could not be read back with; it reads as the
// default instead, like any other element that is not a usable number.
float ReadFloat(const Json::Value& container, Json::ArrayIndex index, double def) {
  const double value = JsonGet(container, index, Json::Value(def)).asDouble();
  if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) return static_cast<float>(def);
  return static_cast<float>(value);
}

float ReadFloat(const Json::Value& object, const char* name, double def) {
  const double value = JsonGet(object, name, Json::Value(def)).asDouble();
  if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) return static_cast<float>(def);
  return static_cast<float>(value);
}

// Composing extreme values can still overflow; nothing non-finite is kept.
void KeepFinite(Pose* pose) {
  for (float& v : pose->rotation) v = std::isfinite(v) ? v : 0.0f;
  for (float& v : pose->translation) v = std::isfinite(v) ? v : 0.0f;
}

float FloatFromBits(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Hamilton product and rotation of a vector, in single precision as the
// oldest documents were composed.
void MultiplyQuaternions(const float a[4], const float b[4], float out[4]) {
  const float x = a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1];
  const float y = a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0];
  const float z = a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3];
  const float w = a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2];
  out[0] = x;
  out[1] = y;
  out[2] = z;
  out[3] = w;
}

void Cross(const float a[3], const float b[3], float out[3]) {
  const float r[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  std::memcpy(out, r, sizeof r);
}

// v' = v + 2w(u x v) + 2 u x (u x v), u the vector part of q.
void RotateVector(const float q[4], const float v[3], float out[3]) {
  float uv[3], uuv[3];
  Cross(q, v, uv);
  Cross(q, uv, uuv);
  for (int i = 0; i < 3; ++i) out[i] = v[i] + 2.0f * q[3] * uv[i] + 2.0f * uuv[i];
}

void CopyPose(const Json::Value& array, Pose* pose) {
  for (Json::ArrayIndex i = 0; i < 4; ++i) pose->rotation[i] = ReadFloat(array, i, 0.0);
  for (Json::ArrayIndex i = 0; i < 3; ++i) pose->translation[i] = ReadFloat(array, 4 + i, 0.0);
}

Json::Value SevenNumbers(const Pose& pose) {
  Json::Value array(Json::arrayValue);
  for (float v : pose.rotation) array.append(JsonFloat(v));
  for (float v : pose.translation) array.append(JsonFloat(v));
  return array;
}

Json::Value Axes(const Pose& pose) {
  double axes[3][3];
  AxesFromPose(pose, axes[0], axes[1], axes[2]);
  Json::Value object(Json::objectValue);
  for (int a = 0; a < 3; ++a) {
    Json::Value array(Json::arrayValue);
    for (double v : axes[a]) array.append(JsonDouble(v));
    object[kAxisNames[a]] = std::move(array);
  }
  return object;
}

void KeepMemberProblem(std::string* error, const std::string& member, const std::string& problem) {
  vantage::KeepFirstError(error, "member \"" + member + "\": " + problem);
}

// The oldest pair placed the second camera relative to the first: a rotation
// and a translation in millimetres, both in the first camera's frame.
void PlaceRelativeTo(const Pose& first, const Json::Value& dual, Pose* second) {
  const Json::Value& rotation = JsonAt(dual, "rotation");
  const Json::Value& translation = JsonAt(dual, "translation");
  float qd[4], td[3];
  for (Json::ArrayIndex i = 0; i < 4; ++i) qd[i] = ReadFloat(rotation, i, 0.0);
  // The product is formed in double and rounded once, so that a whole number
  // of millimetres lands on the float nearest to its metres.
  for (Json::ArrayIndex i = 0; i < 3; ++i) {
    const double metres = JsonGet(translation, i, Json::Value(0.0)).asDouble() * 0.001;
    td[i] = std::isfinite(metres) && std::fabs(metres) <= FLT_MAX ? static_cast<float>(metres) : 0.0f;
  }

  MultiplyQuaternions(first.rotation, qd, second->rotation);
  float offset[3];
  RotateVector(first.rotation, td, offset);
  for (int i = 0; i < 3; ++i) second->translation[i] = first.translation[i] + offset[i];
  KeepFinite(second);
}

}  // namespace

Pose DefaultHeadFromCamera() {
  Pose pose;
  pose.rotation[0] = FloatFromBits(0xBE5DA273);  // -0.21644
  pose.rotation[1] = 0.0f;
  pose.rotation[2] = 0.0f;
  pose.rotation[3] = FloatFromBits(0x3F79EE89);  // 0.976296
  pose.translation[0] = 0.0f;
  pose.translation[1] = FloatFromBits(0xBD1C6089);  // -0.038178
  pose.translation[2] = FloatFromBits(0xBD982774);  // -0.074294
  return pose;
}

Pose EulerCameraPose(float pitch, float roll, float yaw) {
  // Z(yaw) * Y(pitch) * X(roll).
  const float cp = std::cos(pitch * 0.5f), sp = std::sin(pitch * 0.5f);
  const float cr = std::cos(roll * 0.5f), sr = std::sin(roll * 0.5f);
  const float cy = std::cos(yaw * 0.5f), sy = std::sin(yaw * 0.5f);
  Pose pose;
  pose.rotation[0] = cp * cy * sr - sp * sy * cr;
  pose.rotation[1] = sp * cy * cr + cp * sy * sr;
  pose.rotation[2] = cp * sy * cr - sp * cy * sr;
  pose.rotation[3] = cp * cy * cr + sp * sy * sr;
  pose.translation[0] = FloatFromBits(0x3D053630);  // 0.0325223804
  pose.translation[1] = 0.0f;
  pose.translation[2] = FloatFromBits(0xBD4CCCCD);  // -0.05
  return pose;
}

void ReadPoseValue(const Json::Value& value, Pose* pose) {
  if (value.isArray()) {
    CopyPose(value, pose);
    return;
  }
  if (!value.isObject()) return;
  bool anyAxis = false;
  for (const char* name : kAxisNames) anyAxis = anyAxis || JsonHas(value, name);
  if (!anyAxis) return;
  double axes[3][3];
  const Json::Value zero(0.0);
  for (int a = 0; a < 3; ++a) {
    const Json::Value& array = JsonAt(value, kAxisNames[a]);
    for (Json::ArrayIndex i = 0; i < 3; ++i) axes[a][i] = JsonGet(array, i, zero).asDouble();
  }
  if (!PoseFromAxes(axes[0], axes[1], axes[2], pose)) *pose = Pose::Identity();
  KeepFinite(pose);  // a position beyond single precision
}

bool ReadCamera(const Json::Value& object, TrackedCamera* camera, std::string* error) {
  std::string problem;
  *camera = TrackedCamera();
  vantage::ExpectObject(object, "camera", &problem);

  camera->name = JsonGet(object, "name", Json::Value("")).asString();
  camera->cal_method = JsonGet(object, "cal_method", Json::Value("")).asString();

  std::string intrinsicsProblem;
  if (!vantage::FromJson(JsonAt(object, "intrinsics"), &camera->intrinsics, &intrinsicsProblem))
    vantage::KeepFirstError(&problem, vantage::UnderKey("intrinsics", intrinsicsProblem));

  if (JsonHas(object, "extrinsics")) {
    ReadPoseValue(JsonAt(object, "extrinsics"), &camera->head_from_camera);
  } else if (JsonHas(object, "head_from_camera")) {
    ReadPoseValue(JsonAt(object, "head_from_camera"), &camera->head_from_camera);
    // An identity here is the placeholder of a document that gave angles.
    if (camera->head_from_camera.IsIdentity()) {
      camera->head_from_camera = EulerCameraPose(ReadFloat(object, "pitch", 0.0), ReadFloat(object, "roll", 0.0),
                                                 ReadFloat(object, "yaw", 0.0));
    }
  }

  if (JsonHas(object, "white_balance")) {
    const Json::Value& balance = JsonAt(object, "white_balance");
    for (Json::ArrayIndex i = 0; i < 4; ++i) camera->white_balance[i] = ReadFloat(balance, i, 1.0);
  }

  if (problem.empty()) return true;
  if (error) *error = problem;
  return false;
}

Json::Value WriteCamera(const TrackedCamera& camera, uint32_t form) {
  Json::Value out(Json::objectValue);
  out["name"] = camera.name;
  out["intrinsics"] = vantage::ToJson(camera.intrinsics);
  if (form > 1)
    out["extrinsics"] = Axes(camera.head_from_camera);
  else
    out["head_from_camera"] = SevenNumbers(camera.head_from_camera);
  bool neutralBalance = true;
  for (float v : camera.white_balance) neutralBalance = neutralBalance && v == 1.0f;
  if (!neutralBalance) {
    Json::Value balance(Json::arrayValue);
    for (float v : camera.white_balance) balance.append(JsonFloat(v));
    out["white_balance"] = std::move(balance);
  }
  if (!camera.cal_method.empty()) out["cal_method"] = camera.cal_method;
  return out;
}

void ReadCameras(const Json::Value& root, TrackedDeviceConfig* model, std::string* error) {
  const Json::Value& isps = JsonAt(root, "isps");
  for (Json::ArrayIndex i = 0; isps.isArray() && i < isps.size(); ++i) {
    vantage::IspDescriptor isp;
    std::string problem;
    if (!vantage::FromJson(JsonAt(isps, i), &isp, &problem))
      vantage::KeepFirstError(error, "member \"isps\" element " + std::to_string(i) + ": " + problem);
    model->isps.push_back(isp);
  }

  // The oldest documents kept the intrinsics of the first camera under
  // "tracked_camera" even when the camera itself was "tracked_camera1".
  const Json::Value& first = JsonAt(root, "tracked_camera1");
  const Json::Value& single = JsonAt(root, "tracked_camera");
  TrackedCamera camera;
  std::string problem;
  bool haveFirst = false;
  if (!first.isNull()) {
    Json::Value merged = first;
    if (!single.isNull() && merged.isObject()) {
      merged["intrinsics"] = JsonAt(single, "intrinsics");
      vantage::CameraIntrinsics scratch;
      std::string intrinsicsProblem;
      if (!vantage::FromJson(JsonAt(single, "intrinsics"), &scratch, &intrinsicsProblem))
        KeepMemberProblem(error, "tracked_camera", vantage::UnderKey("intrinsics", intrinsicsProblem));
    }
    if (!ReadCamera(merged, &camera, &problem)) KeepMemberProblem(error, "tracked_camera1", problem);
    haveFirst = true;
  } else if (JsonHas(root, "tracked_camera")) {
    if (!ReadCamera(single, &camera, &problem)) KeepMemberProblem(error, "tracked_camera", problem);
    haveFirst = true;
  }
  if (haveFirst) {
    if (camera.name.empty()) camera.name = "center";
    model->tracked_cameras.push_back(camera);
  }

  if (JsonHas(root, "second_tracked_camera")) {
    model->formatVersion = kFormatLatest;
    problem.clear();
    if (!ReadCamera(JsonAt(root, "second_tracked_camera"), &camera, &problem))
      KeepMemberProblem(error, "second_tracked_camera", problem);
    if (camera.name.empty()) camera.name = "right";
    // Without a first camera there is nothing to rename and nothing to place
    // the second one against: it keeps its own pose.
    if (haveFirst) {
      TrackedCamera& firstCamera = model->tracked_cameras.front();
      if (firstCamera.name == "center") firstCamera.name = "left";
      if (JsonHas(root, "dual_extrinsics"))
        PlaceRelativeTo(firstCamera.head_from_camera, JsonAt(root, "dual_extrinsics"), &camera.head_from_camera);
    }
    model->tracked_cameras.push_back(camera);
  }

  if (!model->tracked_cameras.empty()) return;
  const Json::Value& list = JsonAt(root, "tracked_cameras");
  for (Json::ArrayIndex i = 0; list.isArray() && i < list.size(); ++i) {
    model->formatVersion = kFormatLatest;
    problem.clear();
    if (!ReadCamera(JsonAt(list, i), &camera, &problem))
      vantage::KeepFirstError(error, "member \"tracked_cameras\" element " + std::to_string(i) + ": " + problem);
    if (camera.name.empty()) camera.name = "Camera" + std::to_string(i);
    model->tracked_cameras.push_back(camera);
  }
}

void WriteCameras(const TrackedDeviceConfig& model, Json::Value* root) {
  const auto& cameras = model.tracked_cameras;
  if (cameras.empty()) return;
  // A single camera keeps the oldest form, which has no place for devices.
  if (cameras.size() == 1) {
    (*root)["tracked_camera"] = WriteCamera(cameras.front(), 1);
    return;
  }
  if (!model.isps.empty()) {
    Json::Value isps(Json::arrayValue);
    for (const vantage::IspDescriptor& isp : model.isps) isps.append(vantage::ToJson(isp));
    (*root)["isps"] = std::move(isps);
  }
  Json::Value list(Json::arrayValue);
  for (const TrackedCamera& camera : cameras) list.append(WriteCamera(camera, model.formatVersion));
  (*root)["tracked_cameras"] = std::move(list);
}
