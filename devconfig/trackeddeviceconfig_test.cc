// The configuration model where the example documents do not reach: when a member is written, eye ranges, IPD units.
#include "devconfig/trackeddeviceconfig.h"

#include <gtest/gtest.h>

#include "devconfig/json_testing.h"

namespace {

TrackedDeviceConfig Read(const std::string& text) {
  TrackedDeviceConfig config;
  config.FromJson(JsonOf(text));
  return config;
}

std::string Hmd(const std::string& members) { return R"({"device_class": "HMD", )" + members + "}"; }

TEST(ConfigModelTest, WhenAndHowMembersAreWritten) {
  const struct {
    const char *given, *member, *written;  // written: nullptr when the member is left out
    uint32_t form = kFormatLatest;
  } rows[] = {
      {R"("display_frequency": "fast")", "display_frequency", "90\n"},  // present, so written
      {R"("display_hdr10": false)", "display_frequency", nullptr},
      // All zeros, or missing, mean "not measured": 1.
      {R"("display_color_mult": [[0.25]])", "display_color_mult", "[\n   [ 0.25, 0, 0 ],\n   [ 1, 1, 1 ]\n]\n"},
      // Eyes outside 0 and 1 take no element; a missing second is the first's, but one window has no second.
      {R"("device": {"num_windows": 2, "last_eye": "eEYE_RIGHT"}, "display_edid": ["L"])", "display_edid",
       "[ \"L\", \"L\" ]\n"},
      {R"("device": {"num_windows": 1, "last_eye": "eEYE_RIGHT"}, "display_edid": ["L", "R"])", "display_edid",
       "[ \"L\", \"\" ]\n"},
      {R"("device": {"num_windows": 2, "first_eye": "eEYE_RIGHT", "last_eye": "eEYE_RIGHT"}, "display_edid": ["R"])",
       "display_edid", "[ \"R\" ]\n"},
      {R"("device": {"first_eye": "eNUM_EYES", "last_eye": "eNUM_EYES"}, "display_edid": ["X"])", "display_edid",
       nullptr},
      // Only the step, and not when negative; the legacy form knows a fixed IPD only.
      {R"("ipd": {"low_mm": 6, "high_mm": 7, "minstep_mm": 0})", "ipd",
       "{\n   \"enable\" : false,\n   \"high_mm\" : 7,\n   \"low_mm\" : 6,\n   \"minstep_mm\" : 0\n}\n", kFormatLegacy},
      {R"("ipd": {"low_mm": 64, "high_mm": 64, "enable": true})", "ipd",
       "{\n   \"enable\" : true,\n   \"high_mm\" : 64,\n   \"low_mm\" : 64\n}\n"},
      {R"("minimum_ipd_step": 0.0005)", "ipd", "{\n   \"minstep_mm\" : 0.5\n}\n"},
      {R"("minimum_ipd_step": 0.0005)", "minimum_ipd_step", "0.000500000024\n", kFormatLegacy},
      {R"("proximity": {})", "proximity", "{\n   \"enable\" : false\n}\n"},
      {R"("resource_root": "Res/AZ@[")", "resource_root", "\"res/az@[\"\n"},
      {R"("display_usb_vid": 70000, "display_usb_protocol": "dp")", "display_usb_vid", "4464\n"},  // sixteen bits
      {R"("audio_playback_device_vid": 4660)", "audio_playback_device_vid", nullptr},  // ids go as pairs
      {R"("acc_scale": [2, 2, 2])", "imu", nullptr},  // top-level calibration needs "gyro_bias"
  };
  for (const auto& r : rows) {
    TrackedDeviceConfig config = Read(Hmd(r.given));
    config.formatVersion = r.form;
    const Json::Value written = config.ToJson();
    EXPECT_EQ(r.written ? r.written : "(absent)",
              JsonHas(written, r.member) ? WriteStyledJson(JsonAt(written, r.member)) : "(absent)")
        << r.given << " form " << r.form;
  }
}

// Whole and half millimetres write back as given, and any float metres read back the same.
TEST(ConfigModelTest, IpdRoundTrips) {
  TrackedDeviceConfig config = Read(Hmd(R"("head": {})"));  // the sectioned form
  float metres = 0.0123456789f;
  for (int half = 0; half < 2000; ++half, metres = metres * 1.0071f + 0.0000137f) {
    config.ipd = {metres / 7.0f, static_cast<float>(half * 0.0005), metres, true, metres * 1.25f};
    const Json::Value written = config.ToJson();
    EXPECT_EQ(half / 2.0, written["ipd"]["low_mm"].asDouble());
    const IpdSettings reread = Read(WriteStyledJson(written)).ipd;
    ASSERT_TRUE(reread.min_step == metres / 7.0f && reread.low == config.ipd.low && reread.high == metres &&
                reread.default_ipd == metres * 1.25f) << half;
  }
}

}  // namespace
