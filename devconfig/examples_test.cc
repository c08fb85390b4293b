// The example documents under examples/, which between them carry every member:
// each is the exact text the model writes for it and survives every form.
#include <gtest/gtest.h>

#include "corelib/src/pathtools.h"
#include "devconfig/configloader.h"
#include "devconfig/json_testing.h"

namespace {

std::string Example(const std::string& name, TrackedDeviceConfig* model) {
  const std::string path = std::string(SB_SOURCE_DIR) + "/examples/" + name;
  std::string error;
  EXPECT_TRUE(LoadFromFile(model, &error, path)) << name << ": " << error;
  return corelib::ReadTextFile(path);
}

std::string InForm(TrackedDeviceConfig model, uint32_t form) {
  model.formatVersion = form;
  return ToJsonString(model, false);
}

TEST(ExamplesTest, WrittenBackByteForByteAndInEveryForm) {
  const struct { const char* name; uint32_t form; unsigned members; } examples[] = {  // the full ones: every member
      {"hmd_latest.json", kFormatSectioned, 50}, {"hmd_legacy.json", kFormatLegacy, 25},
      {"controller.json", kFormatSectioned, 15}, {"hmd_full.json", kFormatLatest, 57},
      {"hmd_full_legacy.json", kFormatLegacy, 60}};
  for (const auto& [name, form, members] : examples) {
    TrackedDeviceConfig model;
    const std::string text = Example(name, &model);
    EXPECT_EQ(text, ToJsonString(model, false)) << name;
    EXPECT_TRUE(form == model.formatVersion && members == JsonOf(text).size()) << name;
    for (uint32_t other : {kFormatLegacy, kFormatSectioned, kFormatLatest}) {
      const std::string written = InForm(model, other);
      TrackedDeviceConfig reread;
      std::string error;
      ASSERT_TRUE(LoadFromString(&reread, &error, written)) << name << " in form " << other << ": " << error;
      EXPECT_EQ(written, InForm(reread, other)) << name << " in form " << other;
      EXPECT_EQ(InForm(model, kFormatLatest), InForm(reread, kFormatLatest)) << name << ": lost in form " << other;
    }
  }
  // A record that held every section keeps nothing of it after the next read.
  TrackedDeviceConfig model, fresh;
  Example("hmd_full.json", &model);
  model.FromJson(Json::Value(Json::objectValue));
  fresh.FromJson(Json::Value(Json::objectValue));
  model.device_class = fresh.device_class = TrackedDeviceClass::HMD;  // so that every member may be written
  for (uint32_t form : {kFormatLegacy, kFormatLatest}) EXPECT_EQ(InForm(fresh, form), InForm(model, form));
  Example("hmd_full.json", &model);
  model.Reset();
  EXPECT_EQ(ToJsonString(TrackedDeviceConfig(), true), ToJsonString(model, true));
}

}  // namespace
