// The configuration model where the example documents do not reach:
// defaults, the conditions for writing a member, conversions, eye ranges.
#include "devconfig/trackeddeviceconfig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "devconfig/json_testing.h"

namespace {

TrackedDeviceConfig Read(const std::string& text) {
  TrackedDeviceConfig config;
  config.FromJson(JsonOf(text));
  return config;
}

const Json::Value Written(TrackedDeviceConfig config, uint32_t form = kFormatLatest) {
  config.formatVersion = form;
  return config.ToJson();
}

std::string Write(const TrackedDeviceConfig& config, uint32_t form = kFormatLatest) {
  return WriteStyledJson(Written(config, form));
}

// A complete HMD document with extra members spliced in.
std::string Hmd(const std::string& members) {
  return R"({"device_class": "HMD", "device": {"eye_target_width_in_pixels": 1440, "eye_target_height_in_pixels": 1600,
             "num_windows": 1})" + (members.empty() ? "" : ", " + members) + "}";
}

TEST(ConfigModelTest, DefaultsAndTheLegacyExtras) {
  const TrackedDeviceConfig empty = Read("{}");
  EXPECT_TRUE(empty.device_class == TrackedDeviceClass::Unknown && empty.formatVersion == kFormatLegacy);
  EXPECT_TRUE(empty.display_frequency == 90 && empty.expected_bases == 2 && empty.expected_controllers == 2);
  EXPECT_EQ(-1.0f, empty.ipd.min_step);
  // Legacy: the calibration at the top level, defaults included; an HMD also
  // gets the negative IPD step. (The latest form of a bare HMD is the
  // default document the end-to-end tests check byte for byte.)
  EXPECT_EQ("{\n   \"acc_bias\" : [ 0, 0, 0 ],\n   \"acc_scale\" : [ 1, 1, 1 ],\n   \"device_class\" : \"unknown\",\n"
            "   \"gyro_bias\" : [ 0, 0, 0 ],\n   \"gyro_scale\" : [ 1, 1, 1 ]\n}\n",
            Write(empty, kFormatLegacy));
  Json::Value legacy = Written(Read(Hmd("")), kFormatLegacy);
  EXPECT_EQ("-1\n", WriteStyledJson(legacy["minimum_ipd_step"]));
  for (const char* name : {"minimum_ipd_step", "acc_bias", "acc_scale", "gyro_bias", "gyro_scale"})
    legacy.removeMember(name);
  EXPECT_EQ(Written(Read(Hmd(""))), legacy);
}

TEST(ConfigModelTest, ClassDecidesTheDisplayMembers) {
  TrackedDeviceConfig config = Read(R"({"device_class": "controller", "display_frequency": 120, "display_hdr10": true,
      "direct_mode_edid_vid": "ABC", "ipd": {"low_mm": 60, "high_mm": 70}, "proximity": {"enable": true},
      "colour": "red", "tracking_camera_intrinsics": "cam", "tracking_camera_unique_id": 7})");
  EXPECT_EQ(120.0f, config.display_frequency);  // read for every class...
  EXPECT_TRUE(config.proximity_enable);
  EXPECT_EQ("{\n   \"device_class\" : \"controller\",\n   \"tracking_camera_intrinsics\" : \"cam\",\n"
            "   \"tracking_camera_unique_id\" : 7\n}\n",
            Write(config));  // ...written for an HMD only; unlisted members never
  // Members of the wrong kind read as defaults.
  config = Read(R"({"revision": "7", "device_class": 1, "device_vid": -1, "device_pid": 4294967296,
                    "device_serial_number": ["x"], "model_number": 123})");
  EXPECT_EQ(0u, config.revision + config.device_vid + config.device_pid);
  EXPECT_EQ(TrackedDeviceClass::Unknown, config.device_class);
  EXPECT_TRUE(config.device_serial_number.empty() && config.model_number == "123");
}

TEST(ConfigModelTest, WhenAndHowMembersAreWritten) {
  const struct {
    const char *given, *member, *written;  // written: nullptr when the member is left out
    uint32_t form = kFormatLatest;
  } rows[] = {
      {R"("display_frequency": "fast")", "display_frequency", "90\n"},  // present, so written
      {R"("display_hdr10": false)", "display_hdr10", nullptr},
      {R"("display_color_mult": [[0, 0, 0], [0.5, 0.5, 0.5]])", "display_color_mult",
       "[\n   [ 1, 1, 1 ],\n   [ 0.5, 0.5, 0.5 ]\n]\n"},
      {R"("display_color_mult": [[0.25]])", "display_color_mult", "[\n   [ 0.25, 0, 0 ],\n   [ 1, 1, 1 ]\n]\n"},
      // The corrections' reals at 17 digits, the black clamp at 9; without a
      // type only the black clamp.
      {R"("display_mc": {"type": 2, "offset": 0.1, "scale": 2})", "display_mc",
       "{\n   \"left\" : \"\",\n   \"offset\" : 0.10000000149011612,\n   \"right\" : \"\",\n   \"scale\" : 2,\n"
       "   \"type\" : 2\n}\n"},
      {R"("display_gc": {"black_clamp": 0.1, "type": 1, "scale": 0.1})", "display_gc",
       "{\n   \"black_clamp\" : 0.100000001,\n   \"image\" : \"\",\n   \"offset\" : 0,\n   \"prescale\" : 1,\n"
       "   \"scale\" : 0.10000000149011612,\n   \"type\" : 1\n}\n"},
      {R"("display_mc": {"offset": 1})", "display_mc", nullptr},
      {R"("display_gc": {"black_clamp": 0.5, "scale": 3})", "display_gc", "{\n   \"black_clamp\" : 0.5\n}\n"},
      {R"("display_gc": {"scale": 3})", "display_gc", nullptr},
      {R"("dsc_slices": 4)", "dsc_slices", nullptr},  // DSC goes as a group
      {R"("dsc_version": 1)", "dsc_bppx16", "0\n"},
      {R"("direct_mode_edid_pid": "12345")", "direct_mode_edid_pid", nullptr},  // too long: 0
      {R"("ipd": {"low_mm": 60, "high_mm": 70}, "minimum_ipd_step": 5)", "ipd",
       "{\n   \"enable\" : false,\n   \"high_mm\" : 70,\n   \"low_mm\" : 60\n}\n"},  // the step is negative
      {R"("ipd": {"low_mm": 60, "high_mm": 70})", "ipd",
       "{\n   \"enable\" : false,\n   \"high_mm\" : 70,\n   \"low_mm\" : 60\n}\n", kFormatLegacy},
      {R"("ipd": {"low_mm": 64, "high_mm": 64, "enable": true})", "ipd",
       "{\n   \"enable\" : true,\n   \"high_mm\" : 64,\n   \"low_mm\" : 64\n}\n"},
      {R"("minimum_ipd_step": 0.0005)", "ipd", "{\n   \"minstep_mm\" : 0.5\n}\n"},
      {R"("minimum_ipd_step": 0.0005)", "minimum_ipd_step", "0.000500000024\n", kFormatLegacy},
      {R"("proximity": {})", "proximity", "{\n   \"enable\" : false\n}\n"},
      {R"("eye_tracking": {"supported": false})", "eye_tracking", nullptr},
      {R"("firmware_config": null)", "firmware_config", nullptr},
      {R"("resource_root": "Res/ABC")", "resource_root", "\"res/abc\"\n"},
      // USB ids keep sixteen bits and need their protocol; audio ids go as pairs.
      {R"("display_usb_vid": 70000)", "display_usb_vid", nullptr},
      {R"("display_usb_vid": 70000, "display_usb_protocol": "dp")", "display_usb_vid", "4464\n"},
      {R"("display_usb_protocol": "dp")", "display_usb_pid", "0\n"},
      {R"("audio_playback_device_vid": 4660)", "audio_playback_device_vid", nullptr},
      {R"("audio_recording_device_vid": 1, "audio_recording_device_pid": 74565)", "audio_recording_device_pid",
       "9029\n"},
      // Poses: seven numbers at 9 digits, axes at 17; skew axes are the identity.
      {R"("trackref_from_imu": [0, 0, 0, 1, 0.1, 0, 0])", "trackref_from_imu", "[ 0, 0, 0, 1, 0.100000001, 0, 0 ]\n",
       kFormatLegacy},
      {R"("gyro_bias": [0.5, 0, 0], "trackref_from_imu": [0, 0, 0, 1, 0.1, 0, 0])", "imu",
       "{\n   \"gyro_bias\" : [ 0.5, 0, 0 ],\n   \"plus_x\" : [ 1, 0, 0 ],\n   \"plus_z\" : [ 0, 0, 1 ],\n"
       "   \"position\" : [ 0.10000000149011612, 0, 0 ]\n}\n"},
      {R"("head": {"plus_x": [1, 0, 0.5], "plus_z": [0, 0, 1]})", "head", nullptr},
  };
  for (const auto& r : rows) {
    const Json::Value written = Written(Read(Hmd(r.given)), r.form);
    EXPECT_EQ(r.written ? r.written : "(absent)",
              JsonHas(written, r.member) ? WriteStyledJson(JsonAt(written, r.member)) : "(absent)")
        << r.given << " form " << r.form;
  }
  // Of larger direct-mode ids only the low sixteen bits are spelled out.
  TrackedDeviceConfig config = Read(Hmd(""));
  config.direct_mode_edid_vid = 0x14304;
  config.direct_mode_edid_pid = 0x12000;
  EXPECT_EQ("ABC", Written(config)["direct_mode_edid_vid"].asString());
  EXPECT_EQ("2000", Written(config)["direct_mode_edid_pid"].asString());
  EXPECT_EQ(0x12000u, Written(config, kFormatLegacy)["direct_mode_edid_pid"].asUInt());
  config.display_frequency = 144.0f;  // not given, but not the default either
  EXPECT_EQ(144.0, Written(config)["display_frequency"].asDouble());
}

TEST(ConfigModelTest, EdidsFollowTheEyeRange) {
  // Eyes outside 0 and 1 take no element and touch no other field.
  const struct { const char *windows, *first, *last, *edids, *edid0, *edid1, *written; } rows[] = {
      {"2", "EYE_LEFT", "EYE_RIGHT", R"(["L", "R"])", "L", "R", "[ \"L\", \"R\" ]\n"},
      {"2", "EYE_LEFT", "EYE_RIGHT", R"(["L"])", "L", "L", "[ \"L\", \"L\" ]\n"},  // a missing second is the first's
      {"1", "EYE_LEFT", "EYE_RIGHT", R"(["L", "R"])", "L", "", "[ \"L\", \"\" ]\n"},  // one window: no second
      {"2", "EYE_RIGHT", "EYE_RIGHT", R"(["R"])", "", "R", "[ \"R\" ]\n"},
      {"2", "EYE_LEFT", "NUM_EYES", R"(["L", "R", "X"])", "L", "R", "[ \"L\", \"R\" ]\n"},
      {"2", "NUM_EYES", "NUM_EYES", R"(["X"])", "", "", "null\n"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.first) + "-" + r.last + " " + r.edids);
    const TrackedDeviceConfig config =
        Read(std::string(R"({"device_class": "hmd", "model_number": "M", "device": {"num_windows": )") + r.windows +
             ", \"first_eye\": \"e" + r.first + "\", \"last_eye\": \"e" + r.last + "\"}, \"display_edid\": " + r.edids +
             "}");
    EXPECT_TRUE(config.display_edid[0] == r.edid0 && config.display_edid[1] == r.edid1 && config.model_number == "M");
    EXPECT_EQ(r.written, WriteStyledJson(Written(config)["display_edid"]));
  }
  // Ranges set by a caller stay in bounds.
  vantage::StereoSetup setup;
  setup.first_eye = static_cast<vantage::Eye>(-2000000000);
  setup.last_eye = static_cast<vantage::Eye>(2000000000);
  std::string visited;
  ForEachDocumentEye(setup, [&](int eye, Json::ArrayIndex e) { visited += std::to_string(eye) + std::to_string(e); });
  EXPECT_EQ("0011", visited);
}

TEST(ConfigModelTest, IpdRoundTrips) {
  TrackedDeviceConfig config = Read(Hmd(R"("ipd": {"low_mm": 60, "high_mm": 70})"));
  EXPECT_TRUE(config.ipd.low == 0.06f && config.ipd.high == 0.07f && config.ipd.min_step == -0.001f);
  // Whole and half millimetres write back as given (the shortest decimal of
  // the float metres), and any metres value reads back to the same float.
  for (int tenths = 0; tenths <= 1000; tenths += 5) {
    const double mm[4] = {tenths / 10.0, tenths / 10.0 + 10, tenths / 10.0, tenths / 10.0 + 5};
    const char* names[4] = {"low_mm", "high_mm", "minstep_mm", "default_mm"};
    std::string members;
    for (int i = 0; i < 4; ++i) members += std::string(i ? ", \"" : "\"") + names[i] + "\": " + std::to_string(mm[i]);
    const Json::Value ipd = JsonOf(Write(Read(Hmd("\"ipd\": {" + members + "}"))))["ipd"];
    for (int i = 0; i < 4; ++i) EXPECT_EQ(mm[i], ipd[names[i]].asDouble()) << WriteStyledJson(ipd);
  }
  // Beyond float range the millimetres read as the defaults: as infinities
  // they would be written 1e+9999, which no reader takes back.
  const IpdSettings huge =
      Read(Hmd(R"("ipd": {"low_mm": 1e300, "high_mm": -1e300, "default_mm": 63, "minstep_mm": 1e300})")).ipd;
  EXPECT_TRUE(huge.low == 0 && huge.high == 0 && huge.min_step == -0.001f &&
              huge.default_ipd == static_cast<float>(63 * 0.001));
  float metres = 0.0123456789f;
  for (int i = 0; i < 2000; ++i) {
    metres = metres * 1.0071f + 0.0000137f;
    config.ipd = {metres / 7.0f, metres, metres * 1.5f, true, metres * 1.25f};
    const IpdSettings reread = Read(Write(config)).ipd;
    ASSERT_TRUE(reread.min_step == metres / 7.0f && reread.low == metres && reread.high == metres * 1.5f &&
                reread.default_ipd == metres * 1.25f)
        << i;
  }
}

TEST(ConfigModelTest, PosesAndImuCalibration) {
  EXPECT_EQ(kFormatLegacy, Read(R"({"trackref_from_imu": [0, 0, 0, 1, 0, 0, 0]})").formatVersion);
  EXPECT_EQ(kFormatSectioned, Read(R"({"head": {}})").formatVersion);
  EXPECT_EQ(kFormatSectioned, Read(R"({"imu": null})").formatVersion);
  // Top-level calibration members need "gyro_bias", and only in the legacy form.
  EXPECT_EQ(1.0f, Read(R"({"acc_scale": [2, 2, 2]})").imu.acc_scale[0]);
  EXPECT_EQ(2.0f, Read(R"({"gyro_bias": [0, 0, 0], "acc_scale": [2, 2, 2]})").imu.acc_scale[0]);
  EXPECT_EQ(0.0f, Read(R"({"head": {}, "gyro_bias": [1, 1, 1]})").imu.gyro_bias[0]);
  // The quarter turn from +Z onto +Y, without a position.
  const Pose imu = Read(R"({"imu": {"plus_x": [1, 0, 0], "plus_z": [0, 1, 0]}})").trackref_from_imu;
  const float h = std::sqrt(0.5f), expected[7] = {-h, 0, 0, h, 0, 0, 0};
  for (int i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(expected[i], i < 4 ? imu.rotation[i] : imu.translation[i - 4]) << i;
  // "trackref_from_imu" only without "imu"; short arrays read zeros.
  EXPECT_TRUE(Read(R"({"imu": {}, "trackref_from_imu": [1, 0, 0, 0, 1, 1, 1]})").trackref_from_imu.IsIdentity());
  const Pose head = Read(R"({"trackref_from_head": [0, 0, 0, 1, 0.5]})").trackref_from_head;
  EXPECT_TRUE(head.rotation[3] == 1 && head.translation[0] == 0.5f && head.translation[2] == 0);
  // Legacy quaternions off unit length: the axes show the rotation they stand
  // for, and an identity rotation in another form is left out, as it will
  // be after the next read.
  const Json::Value quarter = Written(Read(R"({"trackref_from_imu": [0, 0, 1, 1, 0, 0, 0]})"))["imu"];
  EXPECT_NEAR(1.0, quarter["plus_x"][1].asDouble(), 1e-7);
  EXPECT_NEAR(1.0, quarter["plus_z"][2].asDouble(), 1e-7);
  for (const char* identity : {"[0, 0, 0, -1, 0, 0, 0]", "[0, 0, 0, 2, 0, 0, 0]", "[0, 0, 0, 0, 0, 0, 0]"}) {
    const std::string text = std::string(R"({"trackref_from_head": )") + identity + R"(, "trackref_from_imu": )" +
                             identity + "}";
    EXPECT_EQ("{\n   \"device_class\" : \"unknown\"\n}\n", Write(Read(text))) << identity;
  }
}

// A count of 0 is a value like any other: left out, it would read back as 2.
TEST(ConfigModelTest, ExpectedCountsOfZeroSurvive) {
  const TrackedDeviceConfig again =
      Read(Write(Read(Hmd(R"("expected_controllers": 0, "expected_bases": 0)"))));
  EXPECT_TRUE(again.expected_controllers == 0 && again.expected_bases == 0);
}

// Taking the blocks out of a parsed document instead of copying them gives
// the same record, comments on the blocks included, and the same text,
// whether the blocks are copied into the tree or written from the record.
TEST(ConfigModelTest, VerbatimBlocksTakenAndWrittenInPlace) {
  const std::string text =
      "{\"device_class\": \"controller\", \"revision\": 3,\n"
      "  // build record\n"
      "  \"mfg_build_info\": {\"line\": \"A7\"},\n"
      "  \"firmware_config\": {\"mode\": 3.5, \"list\": [1, 2] /* kept */},\n"
      "  \"vblk\": [true], \"vb\": \"two\"}";
  TrackedDeviceConfig taken;
  Json::Value root = JsonOf(text);
  std::string problem = "stale";
  taken.TakeFromJson(&root, &problem);
  EXPECT_EQ("", problem);
  for (const char* block : {"firmware_config", "mfg_build_info", "vblk", "vb"})
    EXPECT_FALSE(root.isMember(block)) << block;
  EXPECT_EQ(3u, taken.revision);
  const std::string expected = Write(Read(text));
  EXPECT_NE(std::string::npos, expected.find("// build record"));
  EXPECT_EQ(expected, Write(taken));

  std::vector<JsonMemberRef> blocks;
  taken.formatVersion = kFormatLatest;
  const Json::Value shell = taken.ToJson(&blocks);
  ASSERT_EQ(4u, blocks.size());
  EXPECT_EQ(&taken.firmware_config, blocks[0].value);
  EXPECT_TRUE(shell["firmware_config"].isNull());
  EXPECT_EQ(expected, WriteStyledJson(shell, blocks));

  // Absent blocks are cleared, not kept from an earlier read.
  Json::Value bare = JsonOf(R"({"device_class": "controller"})");
  taken.TakeFromJson(&bare, &problem);
  EXPECT_TRUE(taken.firmware_config.isNull() && taken.obscured_block2.isNull());
  taken.ToJson(&blocks);
  EXPECT_TRUE(blocks.empty());
}

}  // namespace
