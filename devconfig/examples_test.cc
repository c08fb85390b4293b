// The example documents under examples/: each is the exact text the model
// writes for it, and each survives write and re-read in every form.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

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

const char* const kDocuments[] = {"hmd_latest.json", "hmd_legacy.json", "controller.json"};

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
