// Tracked cameras through the document: the three generations of camera
// members, the pose fallbacks, and what the list writes back as.
#include "devconfig/tracked_cameras.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "devconfig/jsonhelpers.h"
#include "devconfig/trackeddeviceconfig.h"

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

// A controller document, so that only the camera members are written.
TrackedDeviceConfig ReadDoc(const std::string& members, std::string* problem = nullptr) {
  TrackedDeviceConfig config;
  std::string ignored;
  config.FromJson(Parse("{\"device_class\": \"controller\", " + members + "}"), problem ? problem : &ignored);
  return config;
}

Json::Value Written(const TrackedDeviceConfig& config) {
  Json::Value root(Json::objectValue);
  WriteCameras(config, &root);
  return root;
}

uint32_t Bits(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

void ExpectPose(const Pose& pose, const float q[4], const float t[3]) {
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(q[i], pose.rotation[i]) << "rotation " << i;
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(t[i], pose.translation[i]) << "translation " << i;
}

const char kSevenNumbers[] = "[ 0.5, 0.5, 0.5, 0.5, 0.015625, -0.03125, 0.0625 ]";

}  // namespace

TEST(TrackedCameraRecordTest, DefaultsAreTheTiltedFrontCamera) {
  const TrackedCamera camera;
  EXPECT_EQ("", camera.name);
  EXPECT_EQ("", camera.cal_method);
  EXPECT_EQ(0xBE5DA273u, Bits(camera.head_from_camera.rotation[0]));
  EXPECT_EQ(0u, Bits(camera.head_from_camera.rotation[1]));
  EXPECT_EQ(0u, Bits(camera.head_from_camera.rotation[2]));
  EXPECT_EQ(0x3F79EE89u, Bits(camera.head_from_camera.rotation[3]));
  EXPECT_EQ(0u, Bits(camera.head_from_camera.translation[0]));
  EXPECT_EQ(0xBD1C6089u, Bits(camera.head_from_camera.translation[1]));
  EXPECT_EQ(0xBD982774u, Bits(camera.head_from_camera.translation[2]));
  // 25 degrees about -X.
  EXPECT_NEAR(-25.0, 2.0 * std::atan2(camera.head_from_camera.rotation[0], camera.head_from_camera.rotation[3]) *
                         180.0 / M_PI, 1e-3);
  for (float v : camera.white_balance) EXPECT_EQ(1.0f, v);
}

TEST(ReadPoseValueTest, ArraysObjectsAndOtherKinds) {
  Pose pose = Pose::Identity();
  ReadPoseValue(&pose, Parse("[1, 0, 0, 0, 0.5]"));
  const float halfTurn[4] = {1, 0, 0, 0};
  const float shifted[3] = {0.5f, 0, 0};
  ExpectPose(pose, halfTurn, shifted);

  // Nothing to read: the pose stays as it was.
  ReadPoseValue(&pose, Parse("{\"other\": 1}"));
  ExpectPose(pose, halfTurn, shifted);
  ReadPoseValue(&pose, Parse("\"text\""));
  ExpectPose(pose, halfTurn, shifted);

  // Axes that are not perpendicular give the identity.
  ReadPoseValue(&pose, Parse("{\"plus_x\": [1, 0, 0.5], \"plus_z\": [0, 0, 1]}"));
  EXPECT_TRUE(pose.IsIdentity());

  ReadPoseValue(&pose, Parse("{\"position\": [1, 2, 3], \"plus_x\": [1, 0, 0], \"plus_z\": [0, 1, 0]}"));
  const float quarter[4] = {-std::sqrt(0.5f), 0, 0, std::sqrt(0.5f)};
  const float moved[3] = {1, 2, 3};
  ExpectPose(pose, quarter, moved);
}

TEST(ReadCamerasTest, SingleUnnamedCameraIsCenterAndWritesItsSevenNumbers) {
  const TrackedDeviceConfig config = ReadDoc(std::string("\"tracked_camera\": {\"head_from_camera\": ") +
                                             kSevenNumbers + "}");
  ASSERT_EQ(1u, config.tracked_cameras.size());
  EXPECT_EQ("center", config.tracked_cameras[0].name);
  EXPECT_EQ(kFormatLegacy, config.formatVersion);
  const Json::Value root = Written(config);
  EXPECT_EQ(std::vector<std::string>{"tracked_camera"}, root.getMemberNames());
  EXPECT_EQ("center", root["tracked_camera"]["name"].asString());
  EXPECT_EQ(std::string(kSevenNumbers) + "\n", WriteStyledJson(root["tracked_camera"]["head_from_camera"]));
  // Even in the latest form one camera keeps the seven numbers.
  TrackedDeviceConfig latest = config;
  latest.formatVersion = kFormatLatest;
  EXPECT_TRUE(Written(latest)["tracked_camera"].isMember("head_from_camera"));
}

TEST(ReadCamerasTest, IdentityPoseFallsBackToAngles) {
  TrackedDeviceConfig config = ReadDoc("\"tracked_camera\": {\"head_from_camera\": [0, 0, 0, 1, 0, 0, 0]}");
  const Pose& pose = config.tracked_cameras[0].head_from_camera;
  EXPECT_EQ(0.0f, pose.rotation[0]);
  EXPECT_EQ(1.0f, pose.rotation[3]);
  EXPECT_EQ(0x3D053630u, Bits(pose.translation[0]));
  EXPECT_EQ(0u, Bits(pose.translation[1]));
  EXPECT_EQ(0xBD4CCCCDu, Bits(pose.translation[2]));

  // A quarter turn of yaw; text angles read as 0.
  config = ReadDoc("\"tracked_camera\": {\"head_from_camera\": [0, 0, 0, 1, 0, 0, 0], \"yaw\": 1.5707963267948966, "
                   "\"pitch\": \"0.3\"}");
  const float yawed[4] = {0, 0, std::sqrt(0.5f), std::sqrt(0.5f)};
  const float offset[3] = {0.0325223804f, 0, -0.05f};
  ExpectPose(config.tracked_cameras[0].head_from_camera, yawed, offset);

  // Roll then pitch then yaw: Z(yaw) * Y(pitch) * X(roll).
  const Pose mixed = EulerCameraPose(0.2f, 0.1f, 0.3f);
  const double cp = std::cos(0.1), sp = std::sin(0.1), cr = std::cos(0.05), sr = std::sin(0.05),
               cy = std::cos(0.15), sy = std::sin(0.15);
  EXPECT_NEAR(cp * cy * sr - sp * sy * cr, mixed.rotation[0], 1e-6);
  EXPECT_NEAR(sp * cy * cr + cp * sy * sr, mixed.rotation[1], 1e-6);
  EXPECT_NEAR(cp * sy * cr - sp * cy * sr, mixed.rotation[2], 1e-6);
  EXPECT_NEAR(cp * cy * cr + sp * sy * sr, mixed.rotation[3], 1e-6);
}

TEST(ReadCamerasTest, ExtrinsicsWinAndAbsentPoseKeepsTheDefault) {
  TrackedDeviceConfig config = ReadDoc("\"tracked_camera\": {\"name\": \"main\"}");
  EXPECT_EQ("main", config.tracked_cameras[0].name);
  EXPECT_EQ(DefaultHeadFromCamera(), config.tracked_cameras[0].head_from_camera);

  config = ReadDoc(std::string("\"tracked_camera\": {\"extrinsics\": {\"plus_x\": [1, 0, 0], \"plus_z\": [0, 0, 1]}, "
                               "\"head_from_camera\": ") + kSevenNumbers + "}");
  // Identity from "extrinsics" is taken as it is: no angle fallback.
  EXPECT_TRUE(config.tracked_cameras[0].head_from_camera.IsIdentity());
}

TEST(ReadCamerasTest, LegacyPairReadsAsLeftAndRightInTheLatestForm) {
  TrackedDeviceConfig config = ReadDoc(
      "\"tracked_camera1\": {\"head_from_camera\": [0, 0, 0, 1, 0.01, 0, 0]}, "
      "\"second_tracked_camera\": {\"head_from_camera\": [0, 0, 0, 1, 0.07, 0, 0]}");
  ASSERT_EQ(2u, config.tracked_cameras.size());
  EXPECT_EQ("left", config.tracked_cameras[0].name);
  EXPECT_EQ("right", config.tracked_cameras[1].name);
  EXPECT_EQ(0.07f, config.tracked_cameras[1].head_from_camera.translation[0]);
  EXPECT_EQ(kFormatLatest, config.formatVersion);

  const Json::Value root = Written(config);
  EXPECT_EQ(std::vector<std::string>{"tracked_cameras"}, root.getMemberNames());
  ASSERT_EQ(2u, root["tracked_cameras"].size());
  EXPECT_EQ("left", root["tracked_cameras"][0]["name"].asString());
  EXPECT_EQ(static_cast<double>(0.01f), root["tracked_cameras"][0]["extrinsics"]["position"][0].asDouble());
  EXPECT_FALSE(root["tracked_cameras"][0].isMember("head_from_camera"));

  // A first camera with a name of its own keeps it.
  config = ReadDoc("\"tracked_camera1\": {\"name\": \"main\"}, \"second_tracked_camera\": {}");
  EXPECT_EQ("main", config.tracked_cameras[0].name);
  EXPECT_EQ("right", config.tracked_cameras[1].name);
}

TEST(ReadCamerasTest, FirstOfThePairTakesTheIntrinsicsOfTrackedCamera) {
  TrackedDeviceConfig config = ReadDoc(
      "\"tracked_camera\": {\"name\": \"ignored\", \"intrinsics\": {\"width\": 640}}, "
      "\"tracked_camera1\": {\"intrinsics\": {\"width\": 320}}");
  ASSERT_EQ(1u, config.tracked_cameras.size());
  EXPECT_EQ("center", config.tracked_cameras[0].name);
  EXPECT_EQ(640, config.tracked_cameras[0].intrinsics.width);

  // No intrinsics there: the first camera has none either.
  config = ReadDoc("\"tracked_camera\": {}, \"tracked_camera1\": {\"intrinsics\": {\"width\": 320}}");
  EXPECT_EQ(0, config.tracked_cameras[0].intrinsics.width);

  // Without "tracked_camera" its own intrinsics stand.
  config = ReadDoc("\"tracked_camera1\": {\"intrinsics\": {\"width\": 320}}");
  EXPECT_EQ(320, config.tracked_cameras[0].intrinsics.width);
}

TEST(ReadCamerasTest, DualExtrinsicsPlaceTheSecondCameraInTheFirstOnesFrame) {
  TrackedDeviceConfig config = ReadDoc(
      "\"tracked_camera1\": {}, \"second_tracked_camera\": {\"head_from_camera\": [1, 0, 0, 0, 9, 9, 9]}, "
      "\"dual_extrinsics\": {\"rotation\": [0, 0, 0, 1], \"translation\": [64, 0, 0]}");
  const Pose first = config.tracked_cameras[0].head_from_camera;
  const Pose second = config.tracked_cameras[1].head_from_camera;
  EXPECT_EQ(DefaultHeadFromCamera(), first);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(first.rotation[i], second.rotation[i]);
  EXPECT_FLOAT_EQ(first.translation[0] + 0.064f, second.translation[0]);
  EXPECT_FLOAT_EQ(first.translation[1], second.translation[1]);
  EXPECT_FLOAT_EQ(first.translation[2], second.translation[2]);

  // Millimetres become the float nearest to the metres, not a float product.
  config = ReadDoc(
      "\"tracked_camera1\": {\"head_from_camera\": [0, 0, 0, 1, 0, 0, 0]}, \"second_tracked_camera\": {}, "
      "\"dual_extrinsics\": {\"rotation\": [0, 0, 0, 1], \"translation\": [0, 60, 0]}");
  // The first camera fell back to angles: no rotation, y = 0.
  EXPECT_EQ(0.0f, config.tracked_cameras[0].head_from_camera.translation[1]);
  EXPECT_EQ(static_cast<float>(0.06), config.tracked_cameras[1].head_from_camera.translation[1]);
  EXPECT_NE(60.0f * 0.001f, config.tracked_cameras[1].head_from_camera.translation[1]);

  // The first camera's rotation comes first: q0 * qd.
  const float s = std::sqrt(0.5f);
  config = ReadDoc(
      "\"tracked_camera1\": {\"head_from_camera\": [0, 0, 0.70710678, 0.70710678, 0.1, 0, 0]}, "
      "\"second_tracked_camera\": {}, "
      "\"dual_extrinsics\": {\"rotation\": [0.70710678, 0, 0, 0.70710678], \"translation\": [10, 0, 0]}");
  const float composed[4] = {0.5f, 0.5f, 0.5f, 0.5f};
  const float placed[3] = {0.1f, 0.01f, 0.0f};
  ExpectPose(config.tracked_cameras[1].head_from_camera, composed, placed);
  EXPECT_NEAR(s, config.tracked_cameras[0].head_from_camera.rotation[2], 1e-7);

  // No rotation given: the all-zero quaternion, as the member says.
  config = ReadDoc("\"tracked_camera1\": {}, \"second_tracked_camera\": {}, \"dual_extrinsics\": {}");
  for (float q : config.tracked_cameras[1].head_from_camera.rotation) EXPECT_EQ(0.0f, q);
}

TEST(ReadCamerasTest, SecondCameraWithoutAFirstStandsAlone) {
  const TrackedDeviceConfig config = ReadDoc(
      "\"second_tracked_camera\": {\"head_from_camera\": [0, 0, 0, 1, 0.07, 0, 0]}, "
      "\"dual_extrinsics\": {\"rotation\": [0, 0, 0, 1], \"translation\": [64, 0, 0]}, "
      "\"tracked_cameras\": [{}, {}]");
  ASSERT_EQ(1u, config.tracked_cameras.size());
  EXPECT_EQ("right", config.tracked_cameras[0].name);
  EXPECT_EQ(0.07f, config.tracked_cameras[0].head_from_camera.translation[0]);
  EXPECT_EQ(1.0f, config.tracked_cameras[0].head_from_camera.rotation[3]);
  EXPECT_EQ(kFormatLatest, config.formatVersion);
}

TEST(ReadCamerasTest, ArrayOnlyWhenNoOlderCameraWasRead) {
  TrackedDeviceConfig config = ReadDoc("\"tracked_cameras\": [{}, {\"name\": \"aux\"}, {}]");
  ASSERT_EQ(3u, config.tracked_cameras.size());
  EXPECT_EQ("Camera0", config.tracked_cameras[0].name);
  EXPECT_EQ("aux", config.tracked_cameras[1].name);
  EXPECT_EQ("Camera2", config.tracked_cameras[2].name);
  EXPECT_EQ(kFormatLatest, config.formatVersion);

  config = ReadDoc("\"tracked_camera\": {}, \"tracked_cameras\": [{}, {}, {}]");
  ASSERT_EQ(1u, config.tracked_cameras.size());
  EXPECT_EQ("center", config.tracked_cameras[0].name);

  // An empty array names no camera and leaves the form alone.
  config = ReadDoc("\"tracked_cameras\": []");
  EXPECT_TRUE(config.tracked_cameras.empty());
  EXPECT_EQ(kFormatLegacy, config.formatVersion);
}

TEST(WriteCamerasTest, DevicesOnlyWithTwoOrMoreCameras) {
  const std::string isps = "\"isps\": [{\"driver\": \"isp_a\", \"usbVID\": 1, \"streams\": [\"1,2,'ABCD',3\"]}, "
                           "{\"driver\": \"isp_b\"}]";
  TrackedDeviceConfig config = ReadDoc(isps + ", \"tracked_camera\": {}");
  EXPECT_EQ(2u, config.isps.size());
  EXPECT_EQ(std::vector<std::string>{"tracked_camera"}, Written(config).getMemberNames());

  config = ReadDoc(isps + ", \"tracked_cameras\": [{}, {}]");
  Json::Value root = Written(config);
  EXPECT_EQ("[\n   {\n      \"driver\" : \"isp_a\"\n   },\n   {\n      \"driver\" : \"isp_b\"\n   }\n]\n",
            WriteStyledJson(root["isps"]));

  config = ReadDoc("\"tracked_cameras\": [{}, {}]");
  EXPECT_EQ(std::vector<std::string>{"tracked_cameras"}, Written(config).getMemberNames());

  // No camera: nothing, devices included.
  config = ReadDoc(isps);
  EXPECT_EQ(2u, config.isps.size());
  EXPECT_TRUE(Written(config).empty());
}

TEST(WriteCamerasTest, CameraMembersAndTheirRules) {
  TrackedCamera camera;
  Json::Value out = WriteCamera(camera, 1);
  EXPECT_EQ((std::vector<std::string>{"head_from_camera", "intrinsics", "name"}), out.getMemberNames());
  EXPECT_EQ("", out["name"].asString());
  EXPECT_TRUE(out["intrinsics"]["distort"].isNull());

  camera.white_balance[3] = 0.5f;
  camera.cal_method = "checkerboard";
  out = WriteCamera(camera, 2);
  EXPECT_EQ((std::vector<std::string>{"cal_method", "extrinsics", "intrinsics", "name", "white_balance"}),
            out.getMemberNames());
  EXPECT_EQ("[ 1, 1, 1, 0.5 ]\n", WriteStyledJson(out["white_balance"]));
  EXPECT_EQ("checkerboard", out["cal_method"].asString());

  // Axes at 17 digits, the seven numbers at 9.
  EXPECT_EQ(17, JsonPrecision(out["extrinsics"]["plus_z"][1]));
  EXPECT_EQ(9, JsonPrecision(WriteCamera(camera, 0)["head_from_camera"][0]));
}

TEST(WriteCamerasTest, FormDecidesThePoseOfTwoOrMore) {
  TrackedDeviceConfig config = ReadDoc("\"tracked_cameras\": [{}, {}]");
  config.formatVersion = kFormatSectioned;
  const Json::Value root = Written(config);
  EXPECT_TRUE(root["tracked_cameras"][1].isMember("head_from_camera"));
  EXPECT_FALSE(root["tracked_cameras"][1].isMember("extrinsics"));
  // Read again: the default pose survives the seven numbers.
  std::string problem;
  TrackedDeviceConfig reread;
  reread.FromJson(root, &problem);
  EXPECT_EQ(DefaultHeadFromCamera(), reread.tracked_cameras[1].head_from_camera);
}

TEST(ReadCamerasTest, WrongKindsInsideAreNamed) {
  std::string problem;
  ReadDoc("\"tracked_cameras\": [{}, \"camera\"]", &problem);
  EXPECT_EQ("member \"tracked_cameras\" element 1: camera is not an object", problem);

  ReadDoc("\"tracked_camera\": {\"intrinsics\": [1]}", &problem);
  EXPECT_EQ("member \"tracked_camera\": \"intrinsics\": camera intrinsics is not an object", problem);

  ReadDoc("\"tracked_camera\": {\"intrinsics\": 3}, \"tracked_camera1\": {}", &problem);
  EXPECT_EQ("member \"tracked_camera\": \"intrinsics\": camera intrinsics is not an object", problem);

  ReadDoc("\"isps\": [{\"streams\": {}}]", &problem);
  EXPECT_EQ("member \"isps\" element 0: \"streams\" is not an array", problem);

  ReadDoc("\"second_tracked_camera\": {\"intrinsics\": {\"distort\": 1}}", &problem);
  EXPECT_NE(std::string::npos, problem.find("member \"second_tracked_camera\": \"intrinsics\": \"distort\""));

  ReadDoc("\"tracked_cameras\": [{\"white_balance\": 2, \"extrinsics\": 5}]", &problem);
  EXPECT_EQ("", problem);
}

TEST(ReadCamerasTest, NumbersBeyondSinglePrecisionReadAsTheDefault) {
  const TrackedDeviceConfig config = ReadDoc(
      "\"tracked_camera1\": {\"white_balance\": [1e39, 0.5], \"head_from_camera\": [0, 0, 0, 1, -1e40, 0.5, 0]}, "
      "\"second_tracked_camera\": {}, "
      "\"dual_extrinsics\": {\"rotation\": [0, 0, 0, 1e300], \"translation\": [1e300, 0, 0]}");
  const TrackedCamera& first = config.tracked_cameras[0];
  EXPECT_EQ(1.0f, first.white_balance[0]);
  EXPECT_EQ(0.5f, first.white_balance[1]);
  EXPECT_EQ(0.0f, first.head_from_camera.translation[0]);
  EXPECT_EQ(0.5f, first.head_from_camera.translation[1]);
  const Pose& second = config.tracked_cameras[1].head_from_camera;
  for (float v : second.rotation) EXPECT_TRUE(std::isfinite(v));
  for (float v : second.translation) EXPECT_TRUE(std::isfinite(v));
  EXPECT_EQ(0.5f, second.translation[1]);
  // Written, the document reads again.
  TrackedDeviceConfig reread;
  std::string problem;
  reread.FromJson(Parse(WriteStyledJson(config.ToJson())), &problem);
  EXPECT_EQ("", problem);
  EXPECT_EQ(2u, reread.tracked_cameras.size());
}
