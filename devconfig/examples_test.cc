// The example documents under examples/: each is the exact text the model
// writes for it, each survives write and re-read in every form, and between
// them they carry every member the model writes.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "corelib/src/pathtools.h"
#include "devconfig/configloader.h"
#include "devconfig/json_testing.h"

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

TEST(ExamplesTest, WrittenBackByteForByteAndInEveryForm) {
  const struct { const char* name; uint32_t form; } examples[] = {{"hmd_latest.json", kFormatSectioned}, {"hmd_legacy.json", kFormatLegacy},
                  {"controller.json", kFormatSectioned}, {"hmd_full.json", kFormatLatest},
                  {"hmd_full_legacy.json", kFormatLegacy}};
  for (const auto& example : examples) {
    SCOPED_TRACE(example.name);
    const TrackedDeviceConfig model = LoadExample(example.name);
    EXPECT_EQ(example.form, model.formatVersion);
    EXPECT_EQ(corelib::ReadTextFile(ExamplePath(example.name)), ToJsonString(model, false));
    for (uint32_t form : {kFormatLegacy, kFormatSectioned, kFormatLatest}) {
      const std::string written = InForm(model, form);
      TrackedDeviceConfig reread;
      std::string error;
      ASSERT_TRUE(LoadFromString(&reread, &error, written)) << "form " << form << ": " << error;
      EXPECT_EQ(written, InForm(reread, form)) << "form " << form;
      EXPECT_EQ(InForm(model, kFormatLatest), InForm(reread, kFormatLatest)) << "nothing lost in form " << form;
    }
  }
}

TEST(ExamplesTest, TheFullDocumentsCarryEveryMember) {
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
  latest.insert({"imu", "head", "ipd", "isps", "tracked_cameras"});
  legacy.insert({"acc_bias", "acc_scale", "gyro_bias", "gyro_scale", "trackref_from_imu", "trackref_from_head",
                 "minimum_ipd_step", "tracked_camera"});
  const Json::Value::Members full = JsonOf(corelib::ReadTextFile(ExamplePath("hmd_full.json"))).getMemberNames();
  const Json::Value::Members old = JsonOf(corelib::ReadTextFile(ExamplePath("hmd_full_legacy.json"))).getMemberNames();
  EXPECT_EQ(latest, std::set<std::string>(full.begin(), full.end()));
  EXPECT_EQ(legacy, std::set<std::string>(old.begin(), old.end()));
}

// A record that held every section keeps nothing of it after the next read,
// and Reset gives what construction gives.
TEST(ExamplesTest, ReadingAgainStartsFromTheDefaults) {
  TrackedDeviceConfig model = LoadExample("hmd_full.json"), fresh;
  model.FromJson(Json::Value(Json::objectValue));
  fresh.FromJson(Json::Value(Json::objectValue));
  EXPECT_TRUE(model.formatVersion == kFormatLegacy && model.sensor_model.modelPointsHash.empty());
  model.device_class = fresh.device_class = TrackedDeviceClass::HMD;  // so that every member may be written
  EXPECT_EQ(InForm(fresh, kFormatLegacy), InForm(model, kFormatLegacy));
  EXPECT_EQ(InForm(fresh, kFormatLatest), InForm(model, kFormatLatest));
  model = LoadExample("hmd_full.json");
  model.Reset();
  EXPECT_EQ(ToJsonString(TrackedDeviceConfig(), true), ToJsonString(model, true));
}

}  // namespace
