// The example documents under examples/: each is the exact text the model
// writes for it, and each survives write and re-read in every form.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "corelib/src/pathtools.h"
#include "devconfig/configloader.h"
#include "devconfig/jsonhelpers.h"

namespace {

std::string ExamplePath(const std::string& name) { return std::string(SB_SOURCE_DIR) + "/examples/" + name; }

TrackedDeviceConfig LoadExample(const std::string& name) {
  TrackedDeviceConfig model;
  std::string error;
  EXPECT_TRUE(LoadFromFile(&model, &error, ExamplePath(name))) << name << ": " << error;
  return model;
}

std::string InForm(TrackedDeviceConfig model, uint32_t form) {
  model.formatVersion = form;
  return ToJsonString(model, false);
}

const char* const kDocuments[] = {"hmd_latest.json", "hmd_legacy.json", "controller.json", "hmd_full.json",
                                  "hmd_full_legacy.json"};

}  // namespace

TEST(ExamplesTest, WrittenBackByteForByte) {
  for (const char* name : kDocuments) {
    const TrackedDeviceConfig model = LoadExample(name);
    EXPECT_EQ(corelib::ReadTextFile(ExamplePath(name)), ToJsonString(model, false)) << name;
  }
}

TEST(ExamplesTest, FormsAreDetected) {
  EXPECT_EQ(kFormatSectioned, LoadExample("hmd_latest.json").formatVersion);
  EXPECT_EQ(kFormatLegacy, LoadExample("hmd_legacy.json").formatVersion);
  EXPECT_EQ(kFormatSectioned, LoadExample("controller.json").formatVersion);
  EXPECT_EQ(kFormatLatest, LoadExample("hmd_full.json").formatVersion);
  EXPECT_EQ(kFormatLegacy, LoadExample("hmd_full_legacy.json").formatVersion);
}

TEST(ExamplesTest, EveryFormReadsBackTheSame) {
  for (const char* name : kDocuments) {
    const TrackedDeviceConfig model = LoadExample(name);
    for (uint32_t form : {kFormatLegacy, kFormatSectioned, kFormatLatest}) {
      const std::string written = InForm(model, form);
      TrackedDeviceConfig reread;
      std::string error;
      ASSERT_TRUE(LoadFromString(&reread, &error, written)) << name << " form " << form << ": " << error;
      EXPECT_EQ(written, InForm(reread, form)) << name << " form " << form;
      // Nothing is lost between forms either.
      EXPECT_EQ(InForm(model, kFormatLatest), InForm(reread, kFormatLatest)) << name << " form " << form;
    }
  }
}

TEST(ExamplesTest, EveryOutputCarriesTheNextRevision) {
  TrackedDeviceConfig model = LoadExample("hmd_latest.json");
  ReformatToLatest(&model);
  const std::string first = ToJsonString(model, true);
  EXPECT_NE(std::string::npos, first.find("\"revision\" : 18,\n"));
  EXPECT_EQ(first, ToJsonString(model, true));
  EXPECT_EQ(17u, model.revision);
}

TEST(ExamplesTest, LatestHeadsetMembers) {
  const TrackedDeviceConfig model = LoadExample("hmd_latest.json");
  EXPECT_EQ(TrackedDeviceClass::HMD, model.device_class);
  EXPECT_EQ("SBH-2417-0042", model.device_serial_number);
  EXPECT_EQ(2, model.stereo_setup.num_windows);
  EXPECT_EQ(vantage::eEYE_RIGHT, model.stereo_setup.last_eye);
  EXPECT_EQ("00ffffffffffff004e31102a2b000000", model.display_edid[1]);
  EXPECT_EQ(EncodeEdidVendorId("SBQ"), model.direct_mode_edid_vid);
  EXPECT_EQ(0x2A10u, model.direct_mode_edid_pid);
  EXPECT_EQ(120.0f, model.display_frequency);
  EXPECT_EQ(0.058f, model.ipd.low);
  EXPECT_EQ(0.072f, model.ipd.high);
  EXPECT_EQ(0.0635f, model.ipd.default_ipd);
  EXPECT_TRUE(model.ipd.enable);
  EXPECT_EQ(0.0625f, model.trackref_from_imu.translation[0]);
  EXPECT_EQ(1.0f, std::fabs(model.trackref_from_imu.rotation[1]));
  EXPECT_EQ("auto", model.firmware_config["fan_mode"].asString());
  EXPECT_EQ("A7", model.mfg_build_info["line"].asString());
  EXPECT_TRUE(model.eye_tracking_supported);
}

TEST(ExamplesTest, LegacyHeadsetReformatted) {
  TrackedDeviceConfig model = LoadExample("hmd_legacy.json");
  ReformatToLatest(&model);
  Json::Value root;
  std::string error;
  ASSERT_TRUE(ParseJsonText(ToJsonString(model, true), &root, &error)) << error;
  EXPECT_EQ(6u, root["revision"].asUInt());
  for (const char* gone : {"gyro_bias", "gyro_scale", "acc_bias", "acc_scale", "trackref_from_imu",
                           "trackref_from_head", "minimum_ipd_step"}) {
    EXPECT_FALSE(root.isMember(gone)) << gone;
  }
  EXPECT_EQ("{\n   \"minstep_mm\" : 0.9765625\n}\n", WriteStyledJson(root["ipd"]));
  EXPECT_EQ(DecodeEdidVendorId(20803), root["direct_mode_edid_vid"].asString());
  EXPECT_EQ("2000", root["direct_mode_edid_pid"].asString());
  const Json::Value& imu = root["imu"];
  EXPECT_EQ(0.001953125, imu["gyro_bias"][0].asDouble());
  EXPECT_EQ(1.00390625, imu["acc_scale"][2].asDouble());
  EXPECT_FALSE(imu.isMember("gyro_scale"));
  // A half turn about +Z, at (0.03125, 0, -0.015625).
  EXPECT_EQ(-1.0, imu["plus_x"][0].asDouble());
  EXPECT_EQ(1.0, imu["plus_z"][2].asDouble());
  EXPECT_EQ(-0.015625, imu["position"][2].asDouble());
  EXPECT_EQ(0.0078125, root["head"]["position"][1].asDouble());
}

TEST(ExamplesTest, VerificationFileHoldsADevice) {
  Json::Value root;
  std::string error;
  ASSERT_TRUE(ParseJsonText(corelib::ReadTextFile(ExamplePath("verification.json")), &root, &error)) << error;
  ASSERT_TRUE(JsonAt(root, "device_json").isObject());
  TrackedDeviceConfig model;
  ASSERT_TRUE(FillConfigFromJson(&model, JsonAt(root, "device_json"), &error)) << error;
  EXPECT_EQ("SBH-2417-0043", model.device_serial_number);
  EXPECT_EQ(2u, model.revision);
  EXPECT_EQ(0.00048828125f, model.imu.gyro_bias[0]);
  EXPECT_TRUE(vantage::IsValidStereoSetup(model.stereo_setup));
  // The embedded document is itself in the written layout.
  EXPECT_EQ(WriteStyledJson(JsonAt(root, "device_json")), ToJsonString(model, false));
}

namespace {

std::set<std::string> MemberNames(const std::string& name) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(corelib::ReadTextFile(ExamplePath(name)), &root, &error)) << error;
  const Json::Value::Members names = root.getMemberNames();
  return std::set<std::string>(names.begin(), names.end());
}

}  // namespace

// Between them the two full documents carry every member the model writes,
// so a member that one of the codecs dropped would show here.
TEST(FullExamplesTest, EveryMemberTheModelWrites) {
  std::set<std::string> latest = {
      "attached_device_id", "audio_playback_device_name", "audio_playback_device_pid", "audio_playback_device_vid",
      "audio_recording_device_name", "audio_recording_device_pid", "audio_recording_device_vid", "device",
      "device_class", "device_pid", "device_serial_number", "device_serial_number_sentinel", "device_vid",
      "direct_mode_edid_pid", "direct_mode_edid_vid", "display_color_mult", "display_edid", "display_frequency",
      "display_gc", "display_hdr10", "display_mc", "display_multiframerate", "display_usb_pid",
      "display_usb_protocol", "display_usb_vid", "dsc_bppx16", "dsc_slices", "dsc_version", "expected_bases",
      "expected_controllers", "eye_tracking", "firmware_config", "input_profile", "manufacturer", "mfg_build_info",
      "model_number", "parallel_render_cameras", "proximity", "registered_device_type_prefix", "render_model",
      "required_peer_driver", "resource_root", "revision", "seconds_from_photons_to_vblank",
      "seconds_from_vsync_to_photons", "skybeacon_config", "tracked_controller_role", "tracking_camera_intrinsics",
      "tracking_camera_unique_id", "tracking_to_eye_transform", kObscuredBlockName1, kObscuredBlockName2};
  std::set<std::string> legacy = latest;
  for (const char* name : {"imu", "head", "ipd", "isps", "tracked_cameras"}) latest.insert(name);
  for (const char* name : {"acc_bias", "acc_scale", "gyro_bias", "gyro_scale", "trackref_from_imu",
                           "trackref_from_head", "minimum_ipd_step", "tracked_camera"})
    legacy.insert(name);
  EXPECT_EQ(latest, MemberNames("hmd_full.json"));
  EXPECT_EQ(legacy, MemberNames("hmd_full_legacy.json"));
}

TEST(FullExamplesTest, SectionsReadAsWritten) {
  const TrackedDeviceConfig model = LoadExample("hmd_full.json");
  // Display and lens records, one per eye.
  const vantage::EyeTransform& left = model.eye_transforms[0];
  const vantage::EyeTransform& right = model.eye_transforms[1];
  EXPECT_EQ("SBD-L-55012", left.display_serial_number);
  EXPECT_EQ("SBD-R-55013", right.display_serial_number);
  EXPECT_EQ(0.2578125, left.distortion_red.coeffs[0]);
  EXPECT_EQ(0.25, left.distortion_blue.coeffs[0]);  // filled in from the base block
  EXPECT_EQ(vantage::DISTORT_BSPLINE, right.distortion_red.type);
  EXPECT_FALSE(right.distortion.clampToR2max);
  EXPECT_TRUE(left.eye_to_head_present);
  EXPECT_EQ(vantage::ScanoutRectFromNumber(4), left.scanout_scaling.red_src);
  EXPECT_TRUE(vantage::IsEyeCalibrated(left));
  EXPECT_TRUE(vantage::IsEyeCalibrated(right));
  // Sensor model, with the serial computed from what was read.
  ASSERT_TRUE(model.sensor_model.present);
  EXPECT_EQ((std::vector<int32_t>{3, 0, 1, 2}), model.sensor_model.channelMap);
  EXPECT_EQ(4u, model.sensor_model.modelNormals.size());
  EXPECT_EQ(ComputeModelPointsHash(model.sensor_model.channelMap, model.sensor_model.modelPoints),
            model.sensor_model.modelPointsHash);
  // Image-processing devices: only their drivers travel in a written document.
  ASSERT_EQ(2u, model.isps.size());
  EXPECT_EQ("sb_isp_side", model.isps[1].driver);
  EXPECT_TRUE(model.isps[0].streams.empty());
  // Cameras in document order.
  ASSERT_EQ(3u, model.tracked_cameras.size());
  EXPECT_EQ("front_left", model.tracked_cameras[0].name);
  EXPECT_EQ("checkerboard_v3", model.tracked_cameras[0].cal_method);
  EXPECT_EQ(1.5f, model.tracked_cameras[0].white_balance[3]);
  EXPECT_EQ(vantage::DISTORT_FTHETA, model.tracked_cameras[1].intrinsics.distort.type);
  EXPECT_EQ(400, model.tracked_cameras[2].intrinsics.undist_width);
  EXPECT_EQ(1.0f, model.tracked_cameras[0].head_from_camera.rotation[0]);  // a half turn about X
}

// The same record spelled in each form: the seven numbers of the older
// forms, axes objects in the latest.
TEST(FullExamplesTest, EachFormSpellsTheSections) {
  const TrackedDeviceConfig model = LoadExample("hmd_full.json");
  auto written = [&](uint32_t form) {
    Json::Value root;
    std::string error;
    EXPECT_TRUE(ParseJsonText(InForm(model, form), &root, &error)) << error;
    return root;
  };
  const Json::Value legacy = written(kFormatLegacy);
  EXPECT_TRUE(legacy["tracked_cameras"][0].isMember("head_from_camera"));
  EXPECT_TRUE(legacy.isMember("trackref_from_imu"));
  EXPECT_TRUE(legacy.isMember("gyro_bias"));
  EXPECT_EQ(20812u, legacy["direct_mode_edid_vid"].asUInt());
  EXPECT_TRUE(legacy["ipd"].isObject());  // low and high differ
  EXPECT_EQ(2u, legacy["isps"].size());

  const Json::Value sectioned = written(kFormatSectioned);
  EXPECT_TRUE(sectioned["tracked_cameras"][2].isMember("head_from_camera"));
  EXPECT_FALSE(sectioned.isMember("trackref_from_imu"));
  EXPECT_TRUE(sectioned["imu"].isMember("plus_x"));

  const Json::Value latest = written(kFormatLatest);
  EXPECT_TRUE(latest["tracked_cameras"][2].isMember("extrinsics"));
  EXPECT_FALSE(latest["tracked_cameras"][2].isMember("head_from_camera"));
  // Sections without a form of their own are the same in all three.
  for (const char* member : {"tracking_to_eye_transform", "skybeacon_config", "isps", "device"}) {
    EXPECT_EQ(latest[member], legacy[member]) << member;
    EXPECT_EQ(latest[member], sectioned[member]) << member;
  }
}

// The oldest camera members are read but never written: a pair with its
// placement comes back as the latest list, whatever form is asked for.
TEST(FullExamplesTest, OldestCameraPairComesBackAsTheList) {
  const char text[] =
      "{\"device_class\": \"generic_tracker\","
      " \"tracked_camera\": {\"intrinsics\": {\"width\": 320, \"height\": 240}},"
      " \"tracked_camera1\": {\"head_from_camera\": [0, 0, 0, 1, -0.03125, 0, 0]},"
      " \"second_tracked_camera\": {\"white_balance\": [1, 1, 1, 0.5]},"
      " \"dual_extrinsics\": {\"rotation\": [0, 0, 0, 1], \"translation\": [62.5, 0, 0]}}";
  TrackedDeviceConfig model;
  std::string error;
  ASSERT_TRUE(LoadFromString(&model, &error, text)) << error;
  model.formatVersion = kFormatLegacy;  // as /NoReformat would leave a legacy document
  const std::string camera =
      "         \"intrinsics\" : {\n"
      "            \"center_x\" : 0,\n"
      "            \"center_y\" : 0,\n"
      "            \"distort\" : null,\n"
      "            \"focal_x\" : 0,\n"
      "            \"focal_y\" : 0,\n"
      "            \"height\" : 240,\n"
      "            \"interface\" : \"\",\n"
      "            \"width\" : 320\n"
      "         },\n";
  EXPECT_EQ(
      "{\n"
      "   \"acc_bias\" : [ 0, 0, 0 ],\n"
      "   \"acc_scale\" : [ 1, 1, 1 ],\n"
      "   \"device_class\" : \"generic_tracker\",\n"
      "   \"gyro_bias\" : [ 0, 0, 0 ],\n"
      "   \"gyro_scale\" : [ 1, 1, 1 ],\n"
      "   \"tracked_cameras\" : [\n"
      "      {\n"
      "         \"head_from_camera\" : [ 0, 0, 0, 1, -0.03125, 0, 0 ],\n" +
          camera +
          "         \"name\" : \"left\"\n"
          "      },\n"
          "      {\n"
          "         \"head_from_camera\" : [ 0, 0, 0, 1, 0.03125, 0, 0 ],\n"
          "         \"intrinsics\" : {\n"
          "            \"center_x\" : 0,\n"
          "            \"center_y\" : 0,\n"
          "            \"distort\" : null,\n"
          "            \"focal_x\" : 0,\n"
          "            \"focal_y\" : 0,\n"
          "            \"height\" : 0,\n"
          "            \"interface\" : \"\",\n"
          "            \"width\" : 0\n"
          "         },\n"
          "         \"name\" : \"right\",\n"
          "         \"white_balance\" : [ 1, 1, 1, 0.5 ]\n"
          "      }\n"
          "   ]\n"
          "}\n",
      ToJsonString(model, false));
  // Read, the document itself marked the latest form.
  TrackedDeviceConfig reread;
  ASSERT_TRUE(LoadFromString(&reread, &error, text)) << error;
  EXPECT_EQ(kFormatLatest, reread.formatVersion);
}

// A record that held every section keeps nothing of it after the next read.
TEST(FullExamplesTest, ReadingAgainStartsFromTheDefaults) {
  TrackedDeviceConfig model = LoadExample("hmd_full.json");
  model.FromJson(Json::Value(Json::objectValue));
  EXPECT_EQ("", model.eye_transforms[0].display_serial_number);
  EXPECT_EQ(vantage::Matrix33(), model.eye_transforms[1].intrinsics);
  EXPECT_FALSE(model.sensor_model.present);
  EXPECT_TRUE(model.sensor_model.channelMap.empty());
  EXPECT_TRUE(model.isps.empty());
  EXPECT_TRUE(model.tracked_cameras.empty());
  EXPECT_EQ(kFormatLegacy, model.formatVersion);
}
