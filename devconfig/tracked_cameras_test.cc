// Tracked cameras: the three generations of camera members, the pose
// fallbacks, the oldest pair's dual extrinsics, and what is written back.
#include "devconfig/tracked_cameras.h"

#include <gtest/gtest.h>

#include <cmath>

#include "devconfig/json_testing.h"
#include "devconfig/trackeddeviceconfig.h"

namespace {

// A controller document, so that little but the cameras is written.
std::vector<TrackedCamera> Cameras(const std::string& members, TrackedDeviceConfig* config = nullptr) {
  TrackedDeviceConfig local;
  config = config ? config : &local;
  config->FromJson(JsonOf(R"({"device_class": "controller", )" + members + "}"));
  return config->tracked_cameras;
}

void ExpectPose(const Pose& pose, std::vector<float> values) {  // quaternion, then translation
  for (int i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(values[i], i < 4 ? pose.rotation[i] : pose.translation[i - 4]) << i;
}

TEST(TrackedCameraTest, GenerationsOfCameraMembers) {
  // An identity "head_from_camera" falls back to the angles at a fixed place,
  // Z(yaw) * Y(pitch) * X(roll); "extrinsics" wins, and skew axes are the identity.
  const Pose euler = Cameras(R"("tracked_camera": {"head_from_camera": [0, 0, 0, 1, 0, 0, 0],
                                "pitch": 0.2, "roll": 0.1, "yaw": 0.3})")[0].head_from_camera;
  const double cp = std::cos(0.1), sp = std::sin(0.1), cr = std::cos(0.05), sr = std::sin(0.05), cy = std::cos(0.15),
               sy = std::sin(0.15);
  ExpectPose(euler, {float(cp * cy * sr - sp * sy * cr), float(sp * cy * cr + cp * sy * sr),
                     float(cp * sy * cr - sp * cy * sr), float(cp * cy * cr + sp * sy * sr), 0.0325223804f, 0, -0.05f});
  EXPECT_TRUE(Cameras(R"("tracked_camera": {"extrinsics": {"plus_x": [1, 0, 0.5], "plus_z": [0, 0, 1]},
                         "head_from_camera": [0.5, 0.5, 0.5, 0.5, 0, 0, 0]})")[0].head_from_camera.IsIdentity());
  EXPECT_EQ(DefaultHeadFromCamera(), Cameras(R"("tracked_camera": {})")[0].head_from_camera);
  // The older pair: "left" and "right", the latest form, the list with the devices, axes in the latest form only.
  TrackedDeviceConfig config;
  Cameras(R"("isps": [{"driver": "isp_a"}], "tracked_camera1": {"head_from_camera": [0, 0, 0, 1, 0.01, 0, 0]},
             "second_tracked_camera": {"head_from_camera": [0, 0, 0, 1, 0.07, 0, 0]})", &config);
  const Json::Value written = config.ToJson(), &pair = written["tracked_cameras"];
  EXPECT_EQ((std::vector<std::string>{"device_class", "isps", "tracked_cameras"}), written.getMemberNames());
  EXPECT_TRUE(pair[0]["name"] == "left" && pair[1]["name"] == "right" && !pair[0].isMember("head_from_camera"));
  EXPECT_EQ(0.01f, pair[0]["extrinsics"]["position"][0].asFloat());
  config.formatVersion = kFormatSectioned;
  EXPECT_TRUE(config.ToJson()["tracked_cameras"][1].isMember("head_from_camera"));
  // The first of the pair takes the intrinsics of "tracked_camera", or none.
  const std::string first = R"("tracked_camera1": {"name": "main", "intrinsics": {"width": 320}})";
  const std::vector<TrackedCamera> taken = Cameras(R"("tracked_camera": {"intrinsics": {"width": 640}}, )" + first);
  EXPECT_TRUE(taken.size() == 1 && taken[0].name == "main" && taken[0].intrinsics.width == 640);
  EXPECT_TRUE(Cameras(R"("tracked_camera": {}, )" + first)[0].intrinsics.width == 0 &&
              Cameras(first)[0].intrinsics.width == 320);
  // The list: read only when no older camera was ("center" when unnamed), named by its index.
  const std::vector<TrackedCamera> list = Cameras(R"("tracked_cameras": [{}, {"name": "aux"}, {}])");
  EXPECT_TRUE(list.size() == 3 && list[0].name == "Camera0" && list[1].name == "aux" && list[2].name == "Camera2");
  const std::vector<TrackedCamera> older = Cameras(R"("tracked_camera": {}, "tracked_cameras": [{}, {}, {}])");
  EXPECT_TRUE(older.size() == 1 && older[0].name == "center");
  EXPECT_TRUE(Cameras(R"("isps": [{}], "tracked_cameras": [])", &config).empty() && !JsonHas(config.ToJson(), "isps"));
}

TEST(TrackedCameraTest, DualExtrinsicsPlaceTheSecondInTheFirstOnesFrame) {
  const std::string second = R"("second_tracked_camera": {"head_from_camera": [1, 0, 0, 0, 9, 9, 9]}, )";
  // q0 * qd, with td (millimetres) turned by q0 and rounded once to float.
  std::vector<TrackedCamera> cameras =
      Cameras(R"("tracked_camera1": {"head_from_camera": [0, 0, 0.70710678, 0.70710678, 0.1, 0, 0]}, )" + second +
              R"("dual_extrinsics": {"rotation": [0.70710678, 0, 0, 0.70710678], "translation": [10, 0, 60]})");
  ExpectPose(cameras[1].head_from_camera, {0.5f, 0.5f, 0.5f, 0.5f, 0.1f, 0.01f, static_cast<float>(0.06)});
  EXPECT_EQ(static_cast<float>(0.06), cameras[1].head_from_camera.translation[2]);
  // Numbers beyond single precision read as 0, and products that overflow are 0.
  cameras = Cameras(R"("tracked_camera1": {"head_from_camera": [0, 0, 0, 2e19, -1e40, 0.5, 0]},
      "dual_extrinsics": {"rotation": [0, 0, 0, 2e19], "translation": [1e300, 0, 0]}, )" + second + R"("x": 0)");
  ExpectPose(cameras[1].head_from_camera, {0, 0, 0, 0, 0, 0.5f, 0});
  // Without a first camera the second stands alone, as it was given.
  cameras = Cameras(second + R"("dual_extrinsics": {"rotation": [0, 0, 0, 1], "translation": [64, 0, 0]},
                                "tracked_cameras": [{}, {}])");
  ASSERT_TRUE(cameras.size() == 1 && cameras[0].name == "right");
  ExpectPose(cameras[0].head_from_camera, {1, 0, 0, 0, 9, 9, 9});
}

}  // namespace
