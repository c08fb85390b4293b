// Tracked cameras: the records behind the document's "tracked_camera",
// "tracked_cameras" and the older pair "tracked_camera1" /
// "second_tracked_camera" with "dual_extrinsics", and the list-level steps
// that the configuration model runs when it reads and writes a document.
#pragma once

#include <json/json.h>

#include <cstdint>
#include <string>

#include "devconfig/pose.h"
#include "vantagelib/camera_intrinsics.h"

struct TrackedDeviceConfig;

// Tilted 25 degrees about -X, 38 mm below and 74 mm in front of the head
// origin.
Pose DefaultHeadFromCamera();

struct TrackedCamera {
  std::string name;
  std::string cal_method;
  vantage::CameraIntrinsics intrinsics;
  Pose head_from_camera = DefaultHeadFromCamera();
  float white_balance[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};
// Where the oldest documents put a camera whose pose was given as angles.
Pose EulerCameraPose(float pitch, float roll, float yaw);

// Fills `pose` from an array of seven numbers or an object of axes
// ("position", "plus_x", "plus_z"). An object without any axis, or a value of
// another kind, leaves the pose as it was; unusable axes give the identity.
void ReadPoseValue(const Json::Value& value, Pose* pose);

// Fills one record from one camera object (null gives the defaults). The
// read is lenient; false is returned, with the problem in `error`, only when
// the camera or its intrinsics is of the wrong container kind. The record
// is filled all the same.
bool ReadCamera(const Json::Value& object, TrackedCamera* camera, std::string* error);
// `form` above 1 writes the pose as "extrinsics" axes, otherwise as the
// seven numbers of "head_from_camera".
Json::Value WriteCamera(const TrackedCamera& camera, uint32_t form);

// Fills the model's camera and image-processing device lists from the
// document root; the two newer camera members set kFormatLatest. The first
// problem found (a member of the wrong container kind) is kept in `error`,
// naming the member; the lists are filled all the same.
void ReadCameras(const Json::Value& root, TrackedDeviceConfig* model, std::string* error);
// One camera: "tracked_camera"; two or more: "isps" (when any) and
// "tracked_cameras"; none: nothing at all.
void WriteCameras(const TrackedDeviceConfig& model, Json::Value* root);
