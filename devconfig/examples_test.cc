// The example documents under examples/: each is the exact text the model
// writes for it, each survives write and re-read in every form, and between
// them they carry every member the model writes.
#include <gtest/gtest.h>

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
  const struct { const char* name; uint32_t form; } examples[] = {
      {"hmd_latest.json", kFormatSectioned}, {"hmd_legacy.json", kFormatLegacy}, {"controller.json", kFormatSectioned},
      {"hmd_full.json", kFormatLatest}, {"hmd_full_legacy.json", kFormatLegacy}};
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

// Between them the two full documents carry every member the model writes:
// 52 in both, 5 more in the latest form and 8 in the legacy one. Unknown
// members would not survive the byte-for-byte test, so the counts keep the
// documents from shrinking unnoticed.
TEST(ExamplesTest, TheFullDocumentsCarryEveryMember) {
  const Json::Value latest = JsonOf(corelib::ReadTextFile(ExamplePath("hmd_full.json")));
  const Json::Value legacy = JsonOf(corelib::ReadTextFile(ExamplePath("hmd_full_legacy.json")));
  EXPECT_EQ(57u, latest.size());
  EXPECT_EQ(60u, legacy.size());
  for (const char* name : {"imu", "head", "ipd", "isps", "tracked_cameras", kObscuredBlockName1, kObscuredBlockName2})
    EXPECT_TRUE(latest.isMember(name)) << name;
  for (const char* name : {"acc_bias", "acc_scale", "gyro_bias", "gyro_scale", "trackref_from_imu",
                           "trackref_from_head", "minimum_ipd_step", "tracked_camera"})
    EXPECT_TRUE(legacy.isMember(name)) << name;
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
