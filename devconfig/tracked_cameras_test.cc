// Tracked cameras through the document: the three generations of camera
// members, the pose fallbacks, and what the list writes back as.
#include "devconfig/tracked_cameras.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "devconfig/json_testing.h"
#include "devconfig/trackeddeviceconfig.h"

namespace {

// A controller document, so that only the camera members are written.
std::vector<TrackedCamera> Cameras(const std::string& members, TrackedDeviceConfig* config = nullptr) {
  TrackedDeviceConfig local;
  config = config ? config : &local;
  config->FromJson(JsonOf(R"({"device_class": "controller", )" + members + "}"));
  return config->tracked_cameras;
}

const Json::Value Written(const TrackedDeviceConfig& config) {
  Json::Value root(Json::objectValue);
  WriteCameras(config, &root);
  return root;
}

// Quaternion then translation.
void ExpectPose(const Pose& pose, std::vector<float> values) {
  for (int i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(values[i], i < 4 ? pose.rotation[i] : pose.translation[i - 4]) << i;
}

TEST(TrackedCameraTest, PoseDefaultsAndFallbacks) {
  // 25 degrees about -X, 38 mm below and 74 mm in front, by its bits.
  const uint32_t bits[7] = {0xBE5DA273, 0, 0, 0x3F79EE89, 0, 0xBD1C6089, 0xBD982774};
  const TrackedCamera camera;
  EXPECT_EQ(0, std::memcmp(bits, &camera.head_from_camera, sizeof bits));
  EXPECT_EQ(DefaultHeadFromCamera(), Cameras(R"("tracked_camera": {})")[0].head_from_camera);
  Pose pose = Pose::Identity();
  ReadPoseValue(&pose, JsonOf("[1, 0, 0, 0, 0.5]"));
  ReadPoseValue(&pose, JsonOf(R"({"other": 1})"));  // nothing to read: unchanged
  ReadPoseValue(&pose, JsonOf(R"("text")"));
  ExpectPose(pose, {1, 0, 0, 0, 0.5f, 0, 0});
  ReadPoseValue(&pose, JsonOf(R"({"plus_x": [1, 0, 0.5], "plus_z": [0, 0, 1]})"));
  EXPECT_TRUE(pose.IsIdentity());

  // An identity "head_from_camera" falls back to the angles (text reads as 0)
  // at a fixed place; "extrinsics" wins, identity and all.
  const std::string identity = R"("tracked_camera": {"head_from_camera": [0, 0, 0, 1, 0, 0, 0])";
  const uint32_t place[3] = {0x3D053630, 0, 0xBD4CCCCD};  // 0.0325223804, 0, -0.05
  EXPECT_EQ(0, std::memcmp(place, Cameras(identity + "}")[0].head_from_camera.translation, sizeof place));
  const float h = std::sqrt(0.5f);
  ExpectPose(Cameras(identity + R"(, "yaw": 1.5707963267948966, "pitch": "0.3"})")[0].head_from_camera,
             {0, 0, h, h, 0.0325223804f, 0, -0.05f});
  const double cp = std::cos(0.1), sp = std::sin(0.1), cr = std::cos(0.05), sr = std::sin(0.05),
               cy = std::cos(0.15), sy = std::sin(0.15);
  ExpectPose(EulerCameraPose(0.2f, 0.1f, 0.3f),  // Z(yaw) * Y(pitch) * X(roll)
             {float(cp * cy * sr - sp * sy * cr), float(sp * cy * cr + cp * sy * sr),
              float(cp * sy * cr - sp * cy * sr), float(cp * cy * cr + sp * sy * sr), 0.0325223804f, 0, -0.05f});
  EXPECT_TRUE(Cameras(R"("tracked_camera": {"extrinsics": {"plus_x": [1, 0, 0], "plus_z": [0, 0, 1]},
                         "head_from_camera": [0.5, 0.5, 0.5, 0.5, 0, 0, 0]})")[0].head_from_camera.IsIdentity());
}

TEST(TrackedCameraTest, GenerationsOfCameraMembers) {
  // One unnamed camera is "center" and keeps its seven numbers, whatever the form.
  TrackedDeviceConfig config;
  const char seven[] = "[ 0.5, 0.5, 0.5, 0.5, 0.015625, -0.03125, 0.0625 ]";
  Cameras(std::string(R"("tracked_camera": {"head_from_camera": )") + seven + "}", &config);
  EXPECT_EQ(kFormatLegacy, config.formatVersion);
  config.formatVersion = kFormatLatest;
  EXPECT_EQ("center", Written(config)["tracked_camera"]["name"].asString());
  EXPECT_EQ(std::string(seven) + "\n", WriteStyledJson(Written(config)["tracked_camera"]["head_from_camera"]));

  // The older pair: "left" and "right", the latest form, written as the list.
  Cameras(R"("tracked_camera1": {"head_from_camera": [0, 0, 0, 1, 0.01, 0, 0]},
             "second_tracked_camera": {"head_from_camera": [0, 0, 0, 1, 0.07, 0, 0]})", &config);
  EXPECT_EQ(kFormatLatest, config.formatVersion);
  const Json::Value pair = Written(config)["tracked_cameras"];
  EXPECT_TRUE(pair[0]["name"] == "left" && pair[1]["name"] == "right" && !pair[0].isMember("head_from_camera"));
  EXPECT_EQ(0.01f, pair[0]["extrinsics"]["position"][0].asFloat());
  config.formatVersion = kFormatSectioned;
  EXPECT_TRUE(Written(config)["tracked_cameras"][1].isMember("head_from_camera"));
  EXPECT_EQ("main", Cameras(R"("tracked_camera1": {"name": "main"}, "second_tracked_camera": {})")[0].name);
  // The first of the pair takes the intrinsics of "tracked_camera", or none.
  const std::string first = R"("tracked_camera1": {"intrinsics": {"width": 320}})";
  const std::vector<TrackedCamera> taken =
      Cameras(R"("tracked_camera": {"name": "x", "intrinsics": {"width": 640}}, )" + first);
  EXPECT_TRUE(taken.size() == 1 && taken[0].name == "center" && taken[0].intrinsics.width == 640);
  EXPECT_EQ(0, Cameras(R"("tracked_camera": {}, )" + first)[0].intrinsics.width);
  EXPECT_EQ(320, Cameras(first)[0].intrinsics.width);

  // The list: read only when no older camera was, named by its index.
  const std::vector<TrackedCamera> list = Cameras(R"("tracked_cameras": [{}, {"name": "aux"}, {}])", &config);
  EXPECT_TRUE(list.size() == 3 && list[0].name == "Camera0" && list[1].name == "aux" && list[2].name == "Camera2");
  EXPECT_EQ(kFormatLatest, config.formatVersion);
  EXPECT_EQ("center", Cameras(R"("tracked_camera": {}, "tracked_cameras": [{}, {}, {}])").at(0).name);
  EXPECT_TRUE(Cameras(R"("tracked_cameras": [])", &config).empty());
  EXPECT_EQ(kFormatLegacy, config.formatVersion);
}

TEST(TrackedCameraTest, DualExtrinsicsPlaceTheSecondInTheFirstOnesFrame) {
  const std::string second = R"("second_tracked_camera": {"head_from_camera": [1, 0, 0, 0, 9, 9, 9]}, )";
  const Pose d = DefaultHeadFromCamera();
  std::vector<TrackedCamera> cameras = Cameras(
      R"("tracked_camera1": {}, "dual_extrinsics": {"rotation": [0, 0, 0, 1], "translation": [64, 0, 0]}, )" + second +
      R"("x": 0)");
  EXPECT_EQ(d, cameras[0].head_from_camera);
  ExpectPose(cameras[1].head_from_camera,
             {d.rotation[0], 0, 0, d.rotation[3], d.translation[0] + 0.064f, d.translation[1], d.translation[2]});
  // Millimetres become the float nearest the metres, not a float product.
  cameras = Cameras(R"("tracked_camera1": {"head_from_camera": [0, 0, 0, 1, 0, 0, 0]}, )" + second +
                    R"("dual_extrinsics": {"rotation": [0, 0, 0, 1], "translation": [0, 60, 0]})");
  EXPECT_EQ(static_cast<float>(0.06), cameras[1].head_from_camera.translation[1]);
  EXPECT_NE(60.0f * 0.001f, cameras[1].head_from_camera.translation[1]);
  // q0 * qd, with td turned by q0; no rotation given: the all-zero quaternion.
  cameras = Cameras(R"("tracked_camera1": {"head_from_camera": [0, 0, 0.70710678, 0.70710678, 0.1, 0, 0]}, )" + second +
                    R"("dual_extrinsics": {"rotation": [0.70710678, 0, 0, 0.70710678], "translation": [10, 0, 0]})");
  ExpectPose(cameras[1].head_from_camera, {0.5f, 0.5f, 0.5f, 0.5f, 0.1f, 0.01f, 0});
  cameras = Cameras(R"("tracked_camera1": {}, "dual_extrinsics": {}, )" + second + R"("model_number": "m")");
  ExpectPose(cameras[1].head_from_camera, {0, 0, 0, 0, d.translation[0], d.translation[1], d.translation[2]});
  // Numbers beyond single precision read as the defaults and stay finite.
  cameras = Cameras(R"("tracked_camera1": {"white_balance": [1e39, 0.5],
                                            "head_from_camera": [0, 0, 0, 1, -1e40, 0.5, 0]},
      "dual_extrinsics": {"rotation": [0, 0, 0, 1e300], "translation": [1e300, 0, 0]}, )" + second + R"("x": 0)");
  EXPECT_TRUE(cameras[0].white_balance[0] == 1 && cameras[0].white_balance[1] == 0.5f);
  ExpectPose(cameras[1].head_from_camera, {0, 0, 0, 0, 0, 0.5f, 0});
  // Without a first camera the second stands alone, as it was given.
  cameras = Cameras(second + R"("dual_extrinsics": {"rotation": [0, 0, 0, 1], "translation": [64, 0, 0]},
                                "tracked_cameras": [{}, {}])");
  ASSERT_EQ(1u, cameras.size());
  EXPECT_EQ("right", cameras[0].name);
  ExpectPose(cameras[0].head_from_camera, {1, 0, 0, 0, 9, 9, 9});
}

TEST(TrackedCameraTest, DevicesAreWrittenWithTwoOrMoreCameras) {
  TrackedDeviceConfig config;
  const std::string isps = R"("isps": [{"driver": "isp_a", "usbVID": 1}, {"driver": "isp_b"}], )";
  Cameras(isps + R"("tracked_cameras": [{}, {}])", &config);
  EXPECT_EQ("[\n   {\n      \"driver\" : \"isp_a\"\n   },\n   {\n      \"driver\" : \"isp_b\"\n   }\n]\n",
            WriteStyledJson(Written(config)["isps"]));
  Cameras(isps + R"("tracked_camera": {})", &config);
  EXPECT_EQ(std::vector<std::string>{"tracked_camera"}, Written(config).getMemberNames());
  Cameras(R"("tracked_cameras": [{}, {}])", &config);
  EXPECT_EQ(std::vector<std::string>{"tracked_cameras"}, Written(config).getMemberNames());
  Cameras(isps + R"("model_number": "m")", &config);
  EXPECT_TRUE(config.isps.size() == 2 && Written(config).empty());
  // A camera's name is written even when empty.
  EXPECT_EQ((std::vector<std::string>{"head_from_camera", "intrinsics", "name"}),
            WriteCamera(TrackedCamera(), 1).getMemberNames());
}

}  // namespace
