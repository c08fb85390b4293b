// The configuration model through whole documents: what each member reads
// as, and the exact text written back in the legacy and latest forms.
#include "devconfig/trackeddeviceconfig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "devconfig/jsonhelpers.h"

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

TrackedDeviceConfig Read(const std::string& text) {
  TrackedDeviceConfig config;
  config.FromJson(Parse(text));
  return config;
}

std::string Write(TrackedDeviceConfig config, uint32_t form) {
  config.formatVersion = form;
  return WriteStyledJson(config.ToJson());
}

Json::Value WrittenJson(const TrackedDeviceConfig& config, uint32_t form) { return Parse(Write(config, form)); }

const char kCompleteHmd[] =
    "{\"device_class\": \"HMD\", \"device\": {\"eye_target_width_in_pixels\": 1440, "
    "\"eye_target_height_in_pixels\": 1600, \"num_windows\": 1}";

// A complete HMD document with extra members spliced in.
std::string Hmd(const std::string& members) {
  return std::string(kCompleteHmd) + (members.empty() ? "" : ", ") + members + "}";
}

}  // namespace

TEST(ConfigDefaultsTest, DefaultDocument) {
  // What a run without any input writes.
  EXPECT_EQ(
      "{\n"
      "   \"device\" : {\n"
      "      \"first_eye\" : \"eEYE_LEFT\",\n"
      "      \"last_eye\" : \"eEYE_LEFT\"\n"
      "   },\n"
      "   \"device_class\" : \"hmd\",\n"
      "   \"display_edid\" : [ \"\" ],\n"
      "   \"expected_bases\" : 2,\n"
      "   \"expected_controllers\" : 2,\n"
      "   \"tracking_to_eye_transform\" : [\n"
      "      {\n"
      "         \"display_serial_number\" : \"\"\n"
      "      }\n"
      "   ]\n"
      "}\n",
      Write(TrackedDeviceConfig(), kFormatLatest));
}

TEST(ConfigEmptyDocumentTest, ReadsAsUnknownLegacy) {
  const TrackedDeviceConfig config = Read("{}");
  EXPECT_EQ(TrackedDeviceClass::Unknown, config.device_class);
  EXPECT_EQ(0u, config.revision);
  EXPECT_EQ("", config.device_serial_number);
  EXPECT_EQ("", config.model_number);
  EXPECT_EQ(90.0f, config.display_frequency);
  EXPECT_EQ(2u, config.expected_bases);
  EXPECT_EQ(2u, config.expected_controllers);
  EXPECT_EQ(-1.0f, config.ipd.min_step);
  EXPECT_EQ(kFormatLegacy, config.formatVersion);
}

TEST(ConfigEmptyDocumentTest, WritesOnlyTheClass) {
  const TrackedDeviceConfig config = Read("{}");
  EXPECT_EQ("{\n   \"device_class\" : \"unknown\"\n}\n", Write(config, kFormatLatest));
  EXPECT_EQ("{\n   \"device_class\" : \"unknown\"\n}\n", Write(config, kFormatSectioned));
  EXPECT_EQ(
      "{\n"
      "   \"acc_bias\" : [ 0, 0, 0 ],\n"
      "   \"acc_scale\" : [ 1, 1, 1 ],\n"
      "   \"device_class\" : \"unknown\",\n"
      "   \"gyro_bias\" : [ 0, 0, 0 ],\n"
      "   \"gyro_scale\" : [ 1, 1, 1 ]\n"
      "}\n",
      Write(config, kFormatLegacy));
}

TEST(ConfigHmdTest, UpperCaseClassWithCompleteDevice) {
  const TrackedDeviceConfig config = Read(Hmd(""));
  EXPECT_EQ(TrackedDeviceClass::HMD, config.device_class);
  const std::string device =
      "   \"device\" : {\n"
      "      \"eye_target_height_in_pixels\" : 1600,\n"
      "      \"eye_target_width_in_pixels\" : 1440,\n"
      "      \"first_eye\" : \"eEYE_LEFT\",\n"
      "      \"last_eye\" : \"eEYE_LEFT\",\n"
      "      \"num_windows\" : 1\n"
      "   },\n"
      "   \"device_class\" : \"hmd\",\n"
      "   \"display_edid\" : [ \"\" ],\n"
      "   \"expected_bases\" : 2,\n"
      "   \"expected_controllers\" : 2";
  // Every eye in the range gets its record, even a blank one.
  const std::string eyes =
      "   \"tracking_to_eye_transform\" : [\n"
      "      {\n"
      "         \"display_serial_number\" : \"\"\n"
      "      }\n"
      "   ]\n";
  EXPECT_EQ("{\n" + device + ",\n" + eyes + "}\n", Write(config, kFormatLatest));
  EXPECT_EQ(
      "{\n"
      "   \"acc_bias\" : [ 0, 0, 0 ],\n"
      "   \"acc_scale\" : [ 1, 1, 1 ],\n" +
          device +
          ",\n"
          "   \"gyro_bias\" : [ 0, 0, 0 ],\n"
          "   \"gyro_scale\" : [ 1, 1, 1 ],\n"
          "   \"minimum_ipd_step\" : -1,\n" +
          eyes + "}\n",
      Write(config, kFormatLegacy));
}

TEST(ConfigHmdTest, DisplayMembersOnlyForHmd) {
  const std::string members =
      "\"display_frequency\": 120, \"display_hdr10\": true, \"direct_mode_edid_vid\": \"ABC\", "
      "\"ipd\": {\"low_mm\": 60, \"high_mm\": 70}, \"proximity\": {\"enable\": true}, "
      "\"tracking_camera_intrinsics\": \"cam\", \"tracking_camera_unique_id\": 7";
  TrackedDeviceConfig config = Read("{\"device_class\": \"controller\", " + members + "}");
  // Read for every class...
  EXPECT_EQ(120.0f, config.display_frequency);
  EXPECT_TRUE(config.proximity_enable);
  EXPECT_EQ(0.06f, config.ipd.low);
  // ...written only for an HMD, apart from the tracking camera members.
  EXPECT_EQ(
      "{\n"
      "   \"device_class\" : \"controller\",\n"
      "   \"tracking_camera_intrinsics\" : \"cam\",\n"
      "   \"tracking_camera_unique_id\" : 7\n"
      "}\n",
      Write(config, kFormatLatest));
  config.device_class = TrackedDeviceClass::HMD;
  const Json::Value written = WrittenJson(config, kFormatLatest);
  EXPECT_TRUE(written.isMember("display_frequency"));
  EXPECT_TRUE(written.isMember("direct_mode_edid_vid"));
  EXPECT_TRUE(written.isMember("ipd"));
  EXPECT_TRUE(written.isMember("proximity"));
}

TEST(ConfigIdentityTest, WrongKindsReadAsDefaults) {
  const TrackedDeviceConfig config = Read(
      "{\"revision\": \"7\", \"device_class\": 1, \"device_vid\": -1, \"device_pid\": 4294967296, "
      "\"device_serial_number\": [\"x\"], \"model_number\": 123}");
  EXPECT_EQ(0u, config.revision);
  EXPECT_EQ(TrackedDeviceClass::Unknown, config.device_class);
  EXPECT_EQ(0u, config.device_vid);
  EXPECT_EQ(0u, config.device_pid);
  EXPECT_EQ("", config.device_serial_number);
  EXPECT_EQ("123", config.model_number);  // numbers convert to their digits
}

TEST(ConfigIdentityTest, UnlistedMembersAreDropped) {
  const TrackedDeviceConfig config = Read("{\"device_class\": \"controller\", \"colour\": \"red\", \"x\": {}}");
  EXPECT_EQ("{\n   \"device_class\" : \"controller\"\n}\n", Write(config, kFormatLatest));
  EXPECT_EQ(std::string::npos, Write(config, kFormatLegacy).find("colour"));
}

TEST(ConfigEdidIdsTest, VendorIdAsNumberOrText) {
  const TrackedDeviceConfig byNumber = Read(Hmd("\"direct_mode_edid_vid\": 17156"));
  const TrackedDeviceConfig byText = Read(Hmd("\"direct_mode_edid_vid\": \"ABC\""));
  EXPECT_EQ(17156u, byNumber.direct_mode_edid_vid);
  EXPECT_EQ(17156u, byText.direct_mode_edid_vid);
  EXPECT_EQ("ABC", WrittenJson(byNumber, kFormatLatest)["direct_mode_edid_vid"].asString());
  EXPECT_EQ("ABC", WrittenJson(byText, kFormatSectioned)["direct_mode_edid_vid"].asString());
  const Json::Value legacy = WrittenJson(byText, kFormatLegacy)["direct_mode_edid_vid"];
  EXPECT_TRUE(legacy.isIntegral());
  EXPECT_EQ(17156u, legacy.asUInt());
}

TEST(ConfigEdidIdsTest, ProductIdAsNumberOrText) {
  EXPECT_EQ(8192u, Read(Hmd("\"direct_mode_edid_pid\": \"2000\"")).direct_mode_edid_pid);
  EXPECT_EQ(0x1A2Bu, Read(Hmd("\"direct_mode_edid_pid\": \"1a2B\"")).direct_mode_edid_pid);
  EXPECT_EQ(0x12u, Read(Hmd("\"direct_mode_edid_pid\": \"12g\"")).direct_mode_edid_pid);
  // More than four characters give 0, which is not written.
  const TrackedDeviceConfig tooLong = Read(Hmd("\"direct_mode_edid_pid\": \"12345\""));
  EXPECT_EQ(0u, tooLong.direct_mode_edid_pid);
  EXPECT_FALSE(WrittenJson(tooLong, kFormatLatest).isMember("direct_mode_edid_pid"));

  const TrackedDeviceConfig config = Read(Hmd("\"direct_mode_edid_pid\": 43981"));
  EXPECT_EQ("ABCD", WrittenJson(config, kFormatLatest)["direct_mode_edid_pid"].asString());
  EXPECT_EQ(43981u, WrittenJson(config, kFormatLegacy)["direct_mode_edid_pid"].asUInt());
}

TEST(ConfigEdidIdsTest, OnlyTheLowSixteenBitsAreSpelledOut) {
  TrackedDeviceConfig config = Read(Hmd(""));
  config.direct_mode_edid_vid = 0x14304;
  config.direct_mode_edid_pid = 0x12000;
  const Json::Value latest = WrittenJson(config, kFormatLatest);
  EXPECT_EQ("ABC", latest["direct_mode_edid_vid"].asString());
  EXPECT_EQ("2000", latest["direct_mode_edid_pid"].asString());
  EXPECT_EQ(0x12000u, WrittenJson(config, kFormatLegacy)["direct_mode_edid_pid"].asUInt());
}

TEST(ConfigDisplayTest, FrequencyKeepsAnExplicitDefault) {
  const TrackedDeviceConfig given = Read(Hmd("\"display_frequency\": 90"));
  EXPECT_TRUE(given.display_frequency_present);
  EXPECT_EQ(90.0, WrittenJson(given, kFormatLatest)["display_frequency"].asDouble());
  const TrackedDeviceConfig absent = Read(Hmd(""));
  EXPECT_FALSE(absent.display_frequency_present);
  EXPECT_FALSE(WrittenJson(absent, kFormatLatest).isMember("display_frequency"));
  // A value other than 90 set by a caller is written without the flag.
  TrackedDeviceConfig changed = absent;
  changed.display_frequency = 144.0f;
  EXPECT_EQ(144.0, WrittenJson(changed, kFormatLatest)["display_frequency"].asDouble());
  // Flags are written only when set.
  EXPECT_FALSE(WrittenJson(Read(Hmd("\"display_hdr10\": false")), kFormatLatest).isMember("display_hdr10"));
  EXPECT_TRUE(WrittenJson(Read(Hmd("\"display_hdr10\": true")), kFormatLatest)["display_hdr10"].asBool());
  // Present but unconvertible: the default value, still written.
  const TrackedDeviceConfig text = Read(Hmd("\"display_frequency\": \"fast\""));
  EXPECT_EQ(90.0f, text.display_frequency);
  EXPECT_TRUE(WrittenJson(text, kFormatLatest).isMember("display_frequency"));
}

TEST(ConfigDisplayTest, ColorMultipliers) {
  const TrackedDeviceConfig config = Read(Hmd("\"display_color_mult\": [[0, 0, 0], [0.5, 0.5, 0.5]]"));
  EXPECT_TRUE(config.display_color_mult_present);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(1.0f, config.display_color_mult[0][c]);
    EXPECT_EQ(0.5f, config.display_color_mult[1][c]);
  }
  EXPECT_NE(std::string::npos,
            Write(config, kFormatLatest).find("\"display_color_mult\" : [\n      [ 1, 1, 1 ],\n      [ 0.5, 0.5, 0.5 ]\n   ]"));
  // A short element reads its missing numbers as 0.
  const TrackedDeviceConfig shortOne = Read(Hmd("\"display_color_mult\": [[0.25]]"));
  EXPECT_EQ(0.25f, shortOne.display_color_mult[0][0]);
  EXPECT_EQ(0.0f, shortOne.display_color_mult[0][1]);
  EXPECT_EQ(1.0f, shortOne.display_color_mult[1][0]);
  EXPECT_FALSE(WrittenJson(Read(Hmd("")), kFormatLatest).isMember("display_color_mult"));
}

TEST(ConfigDisplayTest, MotionAndGammaCorrection) {
  const TrackedDeviceConfig config = Read(Hmd(
      "\"display_mc\": {\"type\": 2, \"offset\": 0.1, \"scale\": 2, \"left\": \"mcL\"}, "
      "\"display_gc\": {\"black_clamp\": 0.1, \"type\": 1, \"offset\": 0.25, \"scale\": 0.1, \"image\": \"gc.png\"}"));
  EXPECT_EQ(2, config.display_mc_type);
  EXPECT_EQ(0.1f, config.display_mc_offset);
  EXPECT_EQ(1.0f, config.display_gc_prescale);
  const std::string written = Write(config, kFormatLatest);
  // Converted from floats, the correction reals are still written at 17 digits;
  // the black clamp at 9.
  EXPECT_NE(std::string::npos, written.find(
                                   "   \"display_gc\" : {\n"
                                   "      \"black_clamp\" : 0.100000001,\n"
                                   "      \"image\" : \"gc.png\",\n"
                                   "      \"offset\" : 0.25,\n"
                                   "      \"prescale\" : 1,\n"
                                   "      \"scale\" : 0.10000000149011612,\n"
                                   "      \"type\" : 1\n"
                                   "   },\n"
                                   "   \"display_mc\" : {\n"
                                   "      \"left\" : \"mcL\",\n"
                                   "      \"offset\" : 0.10000000149011612,\n"
                                   "      \"right\" : \"\",\n"
                                   "      \"scale\" : 2,\n"
                                   "      \"type\" : 2\n"
                                   "   },\n"))
      << written;
}

TEST(ConfigDisplayTest, CorrectionWrittenOnlyWhenTyped) {
  // Without a type only the black clamp survives; without either nothing.
  const Json::Value clampOnly =
      WrittenJson(Read(Hmd("\"display_mc\": {\"offset\": 1}, \"display_gc\": {\"black_clamp\": 0.5, \"scale\": 3}")),
                  kFormatLatest);
  EXPECT_FALSE(clampOnly.isMember("display_mc"));
  EXPECT_EQ("{\n   \"black_clamp\" : 0.5\n}\n", WriteStyledJson(clampOnly["display_gc"]));
  EXPECT_FALSE(WrittenJson(Read(Hmd("\"display_gc\": {\"scale\": 3}")), kFormatLatest).isMember("display_gc"));
}

TEST(ConfigDisplayTest, DscWrittenAsAGroup) {
  const Json::Value none = WrittenJson(Read(Hmd("\"dsc_slices\": 4, \"dsc_bppx16\": 128")), kFormatLatest);
  EXPECT_FALSE(none.isMember("dsc_slices"));
  const Json::Value all = WrittenJson(Read(Hmd("\"dsc_version\": 1")), kFormatLatest);
  EXPECT_EQ(1u, all["dsc_version"].asUInt());
  EXPECT_EQ(0u, all["dsc_slices"].asUInt());
  EXPECT_TRUE(all.isMember("dsc_bppx16"));
}

TEST(ConfigDisplayTest, EdidsFollowTheEyeRange) {
  const std::string twoEyes =
      "\"device\": {\"eye_target_width_in_pixels\": 1, \"eye_target_height_in_pixels\": 1, \"num_windows\": 2, "
      "\"first_eye\": \"eEYE_LEFT\", \"last_eye\": \"eEYE_RIGHT\"}";
  TrackedDeviceConfig config = Read("{\"device_class\": \"hmd\", " + twoEyes + ", \"display_edid\": [\"L\", \"R\"]}");
  EXPECT_EQ("L", config.display_edid[0]);
  EXPECT_EQ("R", config.display_edid[1]);
  EXPECT_NE(std::string::npos, Write(config, kFormatLatest).find("\"display_edid\" : [ \"L\", \"R\" ]"));

  // Two windows: a missing second EDID is the first one's.
  config = Read("{\"device_class\": \"hmd\", " + twoEyes + ", \"display_edid\": [\"L\"]}");
  EXPECT_EQ("L", config.display_edid[1]);

  // One window: the second EDID is dropped even when given.
  config = Read(Hmd("\"device\": {\"num_windows\": 1, \"last_eye\": \"eEYE_RIGHT\"}, \"display_edid\": [\"L\", \"R\"]"));
  EXPECT_EQ("L", config.display_edid[0]);
  EXPECT_EQ("", config.display_edid[1]);
  EXPECT_NE(std::string::npos, Write(config, kFormatLatest).find("\"display_edid\" : [ \"L\", \"\" ]"));
}

TEST(ConfigDisplayTest, RightEyeOnlyTakesTheFirstElement) {
  const TrackedDeviceConfig config = Read(
      "{\"device_class\": \"hmd\", \"device\": {\"num_windows\": 2, \"first_eye\": \"eEYE_RIGHT\", "
      "\"last_eye\": \"eEYE_RIGHT\"}, \"display_edid\": [\"R\"]}");
  EXPECT_EQ("", config.display_edid[0]);
  EXPECT_EQ("R", config.display_edid[1]);
  EXPECT_NE(std::string::npos, Write(config, kFormatLatest).find("\"display_edid\" : [ \"R\" ]"));
}

TEST(ConfigEyeRangeTest, EyesBeyondTheRightAreIgnored) {
  const TrackedDeviceConfig config = Read(
      "{\"device_class\": \"hmd\", \"device\": {\"num_windows\": 2, \"first_eye\": \"eEYE_LEFT\", "
      "\"last_eye\": \"eNUM_EYES\"}, \"display_edid\": [\"L\", \"R\", \"X\"], \"model_number\": \"M\"}");
  EXPECT_EQ("L", config.display_edid[0]);
  EXPECT_EQ("R", config.display_edid[1]);
  EXPECT_EQ("M", config.model_number);
  const std::string written = Write(config, kFormatLatest);
  EXPECT_NE(std::string::npos, written.find("\"display_edid\" : [ \"L\", \"R\" ]"));
  EXPECT_NE(std::string::npos, written.find("\"last_eye\" : \"eNUM_EYES\""));
}

TEST(ConfigEyeRangeTest, RangeStartingBeyondTheRightHasNoEdids) {
  const TrackedDeviceConfig config = Read(
      "{\"device_class\": \"hmd\", \"device\": {\"num_windows\": 2, \"first_eye\": \"eNUM_EYES\", "
      "\"last_eye\": \"eNUM_EYES\"}, \"display_edid\": [\"X\"], \"model_number\": \"M\"}");
  EXPECT_EQ("", config.display_edid[0]);
  EXPECT_EQ("", config.display_edid[1]);
  EXPECT_EQ("M", config.model_number);
  EXPECT_FALSE(WrittenJson(config, kFormatLatest).isMember("display_edid"));
}

TEST(ConfigEyeRangeTest, CallerSetRangesStayInBounds) {
  // Eyes without a name take no element, so the document reads back the same.
  TrackedDeviceConfig config = Read(Hmd(""));
  config.stereo_setup.num_windows = 2;
  config.stereo_setup.first_eye = static_cast<vantage::Eye>(-2000000000);
  config.stereo_setup.last_eye = vantage::eEYE_RIGHT;
  config.display_edid[0] = "L";
  config.display_edid[1] = "R";
  const std::string written = Write(config, kFormatLatest);
  EXPECT_NE(std::string::npos, written.find("\"display_edid\" : [ \"L\", \"R\" ]"));
  const TrackedDeviceConfig reread = Read(written);
  EXPECT_EQ("L", reread.display_edid[0]);
  EXPECT_EQ("R", reread.display_edid[1]);

  config.stereo_setup.last_eye = static_cast<vantage::Eye>(2000000000);
  int visits = 0;
  ForEachDocumentEye(config.stereo_setup, [&](int eye, Json::ArrayIndex element) {
    EXPECT_EQ(static_cast<Json::ArrayIndex>(eye), element);
    ++visits;
  });
  EXPECT_EQ(2, visits);
  config.stereo_setup.first_eye = vantage::eEYE_RIGHT;
  config.stereo_setup.last_eye = vantage::eEYE_LEFT;
  ForEachDocumentEye(config.stereo_setup, [&](int, Json::ArrayIndex) { ++visits; });
  EXPECT_EQ(2, visits);
}

TEST(ConfigIpdTest, MillimetresToMetres) {
  const TrackedDeviceConfig config = Read(Hmd("\"ipd\": {\"low_mm\": 60, \"high_mm\": 70}, \"minimum_ipd_step\": 5"));
  EXPECT_EQ(0.06f, config.ipd.low);
  EXPECT_EQ(0.07f, config.ipd.high);
  EXPECT_EQ(-0.001f, config.ipd.min_step);  // the default -1 scaled; the older member is not read
  EXPECT_FALSE(config.ipd.enable);
  EXPECT_EQ(
      "{\n"
      "   \"enable\" : false,\n"
      "   \"high_mm\" : 70,\n"
      "   \"low_mm\" : 60\n"
      "}\n",
      WriteStyledJson(WrittenJson(config, kFormatLatest)["ipd"]));
  // Low and high differ, so the legacy form writes the object too.
  EXPECT_TRUE(WrittenJson(config, kFormatLegacy).isMember("ipd"));
  EXPECT_FALSE(WrittenJson(config, kFormatLegacy).isMember("minimum_ipd_step"));
}

TEST(ConfigIpdTest, WholeAndHalfMillimetresWriteBackUnchanged) {
  for (int tenths = 0; tenths <= 1000; tenths += 5) {
    const double mm = tenths / 10.0;
    Json::Value root = Parse(Hmd(""));
    root["ipd"]["low_mm"] = mm;
    root["ipd"]["high_mm"] = mm + 10.0;
    root["ipd"]["default_mm"] = mm + 5.0;
    root["ipd"]["minstep_mm"] = mm;
    TrackedDeviceConfig config;
    config.FromJson(root);
    const Json::Value ipd = WrittenJson(config, kFormatLatest)["ipd"];
    const std::string text = WriteStyledJson(ipd);
    EXPECT_EQ(mm, ipd["low_mm"].asDouble()) << text;
    EXPECT_EQ(mm + 10.0, ipd["high_mm"].asDouble()) << text;
    EXPECT_EQ(mm + 5.0, ipd["default_mm"].asDouble()) << text;
    EXPECT_EQ(mm, ipd["minstep_mm"].asDouble()) << text;
  }
}

TEST(ConfigIpdTest, AnyValueReadsBackToTheSameFloat) {
  // Whatever the metres value, the millimetres written read back to it.
  float metres = 0.0123456789f;
  for (int i = 0; i < 2000; ++i) {
    metres = metres * 1.0071f + 0.0000137f;
    TrackedDeviceConfig config = Read(Hmd(""));
    config.ipd.low = metres;
    config.ipd.high = metres * 1.5f;
    config.ipd.min_step = metres / 7.0f;
    const TrackedDeviceConfig reread = Read(Write(config, kFormatLatest));
    ASSERT_EQ(metres, reread.ipd.low) << i;
    ASSERT_EQ(metres * 1.5f, reread.ipd.high) << i;
    ASSERT_EQ(metres / 7.0f, reread.ipd.min_step) << i;
  }
}

TEST(ConfigIpdTest, FixedIpdWithEnableStillWritesTheRange) {
  const Json::Value ipd = WrittenJson(Read(Hmd("\"ipd\": {\"low_mm\": 64, \"high_mm\": 64, \"enable\": true}")),
                                      kFormatLatest)["ipd"];
  EXPECT_EQ(64.0, ipd["low_mm"].asDouble());
  EXPECT_TRUE(ipd["enable"].asBool());
}

TEST(ConfigIpdTest, LegacyStepInMetres) {
  const TrackedDeviceConfig config = Read(Hmd("\"minimum_ipd_step\": 0.0005"));
  EXPECT_EQ(0.0005f, config.ipd.min_step);
  EXPECT_FALSE(config.ipd.enable);
  // Legacy with low equal to high: only the step, whatever its sign.
  const Json::Value legacy = WrittenJson(config, kFormatLegacy);
  EXPECT_FALSE(legacy.isMember("ipd"));
  EXPECT_FLOAT_EQ(0.0005f, legacy["minimum_ipd_step"].asFloat());
  // Latest: the step in millimetres, no range.
  EXPECT_EQ("{\n   \"minstep_mm\" : 0.5\n}\n", WriteStyledJson(WrittenJson(config, kFormatLatest)["ipd"]));
}

TEST(ConfigTrackingTest, FormDetection) {
  EXPECT_EQ(kFormatLegacy, Read("{\"trackref_from_imu\": [0, 0, 0, 1, 0, 0, 0]}").formatVersion);
  EXPECT_EQ(kFormatSectioned, Read("{\"imu\": {}}").formatVersion);
  EXPECT_EQ(kFormatSectioned, Read("{\"head\": {}}").formatVersion);
  EXPECT_EQ(kFormatSectioned, Read("{\"imu\": null}").formatVersion);
}

TEST(ConfigTrackingTest, LegacyDocumentWrittenInTheLatestForm) {
  const TrackedDeviceConfig config = Read(
      "{\"device_class\": \"controller\", \"gyro_bias\": [0.5, 0, 0], \"acc_scale\": [1, 1, 1], "
      "\"trackref_from_imu\": [0, 0, 0, 1, 0.1, 0, 0]}");
  EXPECT_EQ(kFormatLegacy, config.formatVersion);
  EXPECT_EQ(0.5f, config.imu.gyro_bias[0]);
  EXPECT_EQ(0.1f, config.trackref_from_imu.translation[0]);
  EXPECT_EQ(
      "{\n"
      "   \"device_class\" : \"controller\",\n"
      "   \"imu\" : {\n"
      "      \"gyro_bias\" : [ 0.5, 0, 0 ],\n"
      "      \"plus_x\" : [ 1, 0, 0 ],\n"
      "      \"plus_z\" : [ 0, 0, 1 ],\n"
      "      \"position\" : [ 0.10000000149011612, 0, 0 ]\n"
      "   }\n"
      "}\n",
      Write(config, kFormatLatest));
  EXPECT_EQ(
      "{\n"
      "   \"acc_bias\" : [ 0, 0, 0 ],\n"
      "   \"acc_scale\" : [ 1, 1, 1 ],\n"
      "   \"device_class\" : \"controller\",\n"
      "   \"gyro_bias\" : [ 0.5, 0, 0 ],\n"
      "   \"gyro_scale\" : [ 1, 1, 1 ],\n"
      "   \"trackref_from_imu\" : [ 0, 0, 0, 1, 0.100000001, 0, 0 ]\n"
      "}\n",
      Write(config, kFormatLegacy));
}

TEST(ConfigTrackingTest, TopLevelCalibrationNeedsGyroBias) {
  // Without "gyro_bias" the top-level members are not a calibration.
  EXPECT_EQ(1.0f, Read("{\"acc_scale\": [2, 2, 2]}").imu.acc_scale[0]);
  EXPECT_EQ(2.0f, Read("{\"gyro_bias\": [0, 0, 0], \"acc_scale\": [2, 2, 2]}").imu.acc_scale[0]);
  // In the sectioned form they are ignored.
  const TrackedDeviceConfig sectioned = Read("{\"head\": {}, \"gyro_bias\": [1, 1, 1]}");
  EXPECT_EQ(0.0f, sectioned.imu.gyro_bias[0]);
}

TEST(ConfigTrackingTest, ImuAxesGiveAQuarterTurn) {
  const TrackedDeviceConfig config = Read("{\"imu\": {\"plus_x\": [1, 0, 0], \"plus_z\": [0, 1, 0]}}");
  const float h = static_cast<float>(std::sqrt(0.5));
  EXPECT_FLOAT_EQ(-h, config.trackref_from_imu.rotation[0]);
  EXPECT_EQ(0.0f, config.trackref_from_imu.rotation[1]);
  EXPECT_EQ(0.0f, config.trackref_from_imu.rotation[2]);
  EXPECT_FLOAT_EQ(h, config.trackref_from_imu.rotation[3]);
  for (float t : config.trackref_from_imu.translation) EXPECT_EQ(0.0f, t);
  // Written back, the axes come out again (to within float rounding).
  const Json::Value imu = WrittenJson(config, kFormatLatest)["imu"];
  EXPECT_NEAR(1.0, imu["plus_z"][1].asDouble(), 1e-7);
  EXPECT_NEAR(0.0, imu["plus_z"][2].asDouble(), 1e-7);
  EXPECT_NEAR(1.0, imu["plus_x"][0].asDouble(), 1e-7);
}

TEST(ConfigTrackingTest, SkewHeadAxesGiveTheIdentity) {
  const TrackedDeviceConfig config = Read("{\"head\": {\"plus_x\": [1, 0, 0.5], \"plus_z\": [0, 0, 1]}}");
  EXPECT_TRUE(config.trackref_from_head.IsIdentity());
  EXPECT_FALSE(WrittenJson(config, kFormatLatest).isMember("head"));
  EXPECT_FALSE(WrittenJson(config, kFormatLegacy).isMember("trackref_from_head"));
}

TEST(ConfigTrackingTest, ImuWithoutAxesKeepsTheIdentity) {
  const TrackedDeviceConfig config = Read("{\"imu\": {\"gyro_bias\": [1, 0, 0]}, \"trackref_from_imu\": [1, 0, 0, 0, 1, 1, 1]}");
  // "trackref_from_imu" is only read when "imu" is absent.
  EXPECT_TRUE(config.trackref_from_imu.IsIdentity());
  EXPECT_EQ(1.0f, config.imu.gyro_bias[0]);
}

TEST(ConfigTrackingTest, ShortPoseArraysReadZeros) {
  const TrackedDeviceConfig config = Read("{\"trackref_from_head\": [0, 0, 0, 1, 0.5]}");
  EXPECT_EQ(1.0f, config.trackref_from_head.rotation[3]);
  EXPECT_EQ(0.5f, config.trackref_from_head.translation[0]);
  EXPECT_EQ(0.0f, config.trackref_from_head.translation[2]);
}

TEST(ConfigOtherTest, ResourceRootIsLowered) {
  EXPECT_EQ("res/abc/\xc3\x9cx", Read("{\"resource_root\": \"Res/ABC/\xc3\x9cX\"}").resource_root);
}

TEST(ConfigOtherTest, UsbIdsKeepSixteenBits) {
  const TrackedDeviceConfig config =
      Read("{\"device_class\": \"controller\", \"display_usb_vid\": 70000, \"display_usb_pid\": 0}");
  EXPECT_EQ(4464u, config.display_usb_vid);
  // The ids need their protocol to be written.
  EXPECT_FALSE(WrittenJson(config, kFormatLatest).isMember("display_usb_vid"));
  TrackedDeviceConfig withProtocol = config;
  withProtocol.display_usb_protocol = "dp";
  EXPECT_EQ(
      "{\n"
      "   \"device_class\" : \"controller\",\n"
      "   \"display_usb_pid\" : 0,\n"
      "   \"display_usb_protocol\" : \"dp\",\n"
      "   \"display_usb_vid\" : 4464\n"
      "}\n",
      Write(withProtocol, kFormatLatest));
}

TEST(ConfigOtherTest, AudioIdsOnlyAsAPair) {
  const TrackedDeviceConfig half = Read(
      "{\"device_class\": \"controller\", \"audio_playback_device_vid\": 4660, \"audio_recording_device_vid\": 1, "
      "\"audio_recording_device_pid\": 2, \"audio_recording_device_name\": \"mic\"}");
  EXPECT_EQ(4660u, half.audio_playback_device_vid);
  EXPECT_EQ(
      "{\n"
      "   \"audio_recording_device_name\" : \"mic\",\n"
      "   \"audio_recording_device_pid\" : 2,\n"
      "   \"audio_recording_device_vid\" : 1,\n"
      "   \"device_class\" : \"controller\"\n"
      "}\n",
      Write(half, kFormatLatest));
  EXPECT_EQ(0x2345u, Read("{\"audio_playback_device_pid\": 74565}").audio_playback_device_pid);
}

TEST(ConfigOtherTest, VerbatimBlocksPassThrough) {
  const std::string text =
      "{\n"
      "   \"device_class\" : \"controller\",\n"
      "   \"firmware_config\" : {\n"
      "      \"a.b\" : [ 1, 2 ],\n"
      "      \"mode\" : 3.5\n"
      "   },\n"
      "   \"mfg_build_info\" : [ \"line\", 7 ],\n"
      "   \"vb\" : \"two\",\n"
      "   \"vblk\" : {\n"
      "      \"k\" : true\n"
      "   }\n"
      "}\n";
  const TrackedDeviceConfig config = Read(text);
  EXPECT_TRUE(config.firmware_config.isObject());
  EXPECT_TRUE(config.mfg_build_info.isArray());
  EXPECT_EQ("two", config.obscured_block2.asString());
  EXPECT_EQ(text, Write(config, kFormatLatest));
  // Null values are not written.
  EXPECT_EQ("{\n   \"device_class\" : \"controller\"\n}\n",
            Write(Read("{\"device_class\": \"controller\", \"firmware_config\": null, \"vb\": null}"), kFormatLatest));
}

// Taking the blocks out of a parsed document instead of copying them gives
// the same record, comments on the blocks included, and the same text,
// whether the blocks are copied into the tree or written from the record.
TEST(ConfigOtherTest, VerbatimBlocksTakenAndWrittenInPlace) {
  const std::string text =
      "{\"device_class\": \"controller\", \"revision\": 3,\n"
      "  // build record\n"
      "  \"mfg_build_info\": {\"line\": \"A7\"},\n"
      "  \"firmware_config\": {\"mode\": 3.5, \"list\": [1, 2] /* kept */},\n"
      "  \"vblk\": [true], \"vb\": \"two\"}";
  const TrackedDeviceConfig copied = Read(text);
  TrackedDeviceConfig taken;
  Json::Value root = Parse(text);
  std::string problem = "stale";
  taken.TakeFromJson(&root, &problem);
  EXPECT_EQ("", problem);
  for (const char* block : {"firmware_config", "mfg_build_info", "vblk", "vb"})
    EXPECT_FALSE(root.isMember(block)) << block;
  EXPECT_EQ(3u, taken.revision);
  const std::string expected = WriteStyledJson(copied.ToJson());
  EXPECT_NE(std::string::npos, expected.find("// build record"));
  EXPECT_EQ(expected, WriteStyledJson(taken.ToJson()));

  std::vector<JsonMemberRef> blocks;
  const Json::Value shell = taken.ToJson(&blocks);
  ASSERT_EQ(4u, blocks.size());
  EXPECT_EQ(&taken.firmware_config, blocks[0].value);
  EXPECT_TRUE(shell["firmware_config"].isNull());
  EXPECT_EQ(expected, WriteStyledJson(shell, blocks));

  // Absent blocks are cleared, not kept from an earlier read.
  Json::Value bare = Parse("{\"device_class\": \"controller\"}");
  taken.TakeFromJson(&bare, &problem);
  EXPECT_TRUE(taken.firmware_config.isNull());
  EXPECT_TRUE(taken.obscured_block2.isNull());
  EXPECT_TRUE(taken.ToJson(&blocks).isObject());
  EXPECT_TRUE(blocks.empty());
}

TEST(ConfigOtherTest, PresenceFlags) {
  const Json::Value written = WrittenJson(
      Read(Hmd("\"proximity\": {}, \"parallel_render_cameras\": false, \"eye_tracking\": {\"supported\": false}")),
      kFormatLatest);
  EXPECT_EQ("{\n   \"enable\" : false\n}\n", WriteStyledJson(written["proximity"]));
  EXPECT_FALSE(written["parallel_render_cameras"].asBool());
  EXPECT_TRUE(written.isMember("parallel_render_cameras"));
  EXPECT_FALSE(written.isMember("eye_tracking"));

  const Json::Value enabled = WrittenJson(Read("{\"eye_tracking\": {\"supported\": true}}"), kFormatLatest);
  EXPECT_EQ("{\n   \"supported\" : true\n}\n", WriteStyledJson(enabled["eye_tracking"]));
  EXPECT_FALSE(WrittenJson(Read(Hmd("")), kFormatLatest).isMember("proximity"));
}

TEST(ConfigReadTest, ReadingAndResetStartAfresh) {
  TrackedDeviceConfig config = Read(Hmd("\"device_serial_number\": \"A\", \"display_frequency\": 75, "
                                        "\"firmware_config\": {\"a\": 1}"));
  config.FromJson(Parse("{}"));
  EXPECT_EQ("", config.device_serial_number);
  EXPECT_FALSE(config.display_frequency_present);
  EXPECT_TRUE(config.firmware_config.isNull());
  config = Read(Hmd("\"device_serial_number\": \"X\", \"ipd\": {\"low_mm\": 60}, \"revision\": 4"));
  config.Reset();
  EXPECT_EQ(WriteStyledJson(TrackedDeviceConfig().ToJson()), WriteStyledJson(config.ToJson()));
  EXPECT_EQ(TrackedDeviceClass::HMD, config.device_class);
  EXPECT_EQ(kFormatLatest, config.formatVersion);
}
