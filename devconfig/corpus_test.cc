// Every file of the public JSON test corpus through the JSON layer and, as
// the document and placed in each member the sensor model and camera readers
// take, through the configuration model and the loader: never a fault, and
// what is written reads back to the same text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "corelib/src/test_scratch.h"
#include "devconfig/configloader.h"
#include "devconfig/json_testing.h"

namespace {

// JsonCpp prints reals differently and cuts member names at a zero byte.
bool ComparableWithJsonCpp(const Json::Value& v) {
  if (v.type() == Json::realValue) return false;
  for (Json::Value::const_iterator it = v.begin(); it != v.end(); ++it)
    if ((v.isObject() && it.name().find('\0') != std::string::npos) || !ComparableWithJsonCpp(*it)) return false;
  return true;
}

std::vector<Json::Value> Placements(const Json::Value& doc) {
  Json::Value sensor(Json::objectValue), camera(Json::objectValue), dual(Json::objectValue);
  for (const char* name : {"modelCad", "modelPoints", "modelNormals", "channelMap", "channelOrder"}) sensor[name] = doc;
  for (const char* name : {"name", "cal_method", "intrinsics", "extrinsics", "head_from_camera", "white_balance",
                           "pitch", "roll", "yaw"})
    camera[name] = doc;
  dual["rotation"] = dual["translation"] = doc;
  std::vector<Json::Value> roots(9, Json::Value(Json::objectValue));
  roots[0] = doc;
  roots[1]["skybeacon_config"] = doc;
  roots[2]["skybeacon_config"] = sensor;
  roots[3]["tracked_camera"] = roots[3]["tracked_camera1"] = doc;
  roots[4]["tracked_camera1"] = camera;
  roots[4]["second_tracked_camera"] = roots[4]["dual_extrinsics"] = doc;
  roots[5]["tracked_camera"] = roots[5]["second_tracked_camera"] = camera;
  roots[5]["dual_extrinsics"] = dual;
  roots[6]["tracked_cameras"] = roots[7]["isps"] = doc;
  roots[8]["tracked_cameras"].append(camera);
  roots[8]["tracked_cameras"].append(camera);
  roots[8]["isps"].append(doc);
  return roots;
}

bool SameAndFinite(const std::vector<SensorVector3>& a, const std::vector<SensorVector3>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0) &&
         std::all_of(a.begin(), a.end(), [](const SensorVector3& v) {
           return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
         });
}

// Written and loaded again in the same form, the text settles after one
// round: an empty sensor model goes out as null and reads back as absent,
// and a camera rotation that is not of unit length comes back normalised.
void ExpectSettles(const TrackedDeviceConfig& model) {
  std::string texts[3] = {ToJsonString(model, false)};
  for (int i = 1; i < 3; ++i) {
    TrackedDeviceConfig again;
    std::string error;
    ASSERT_TRUE(LoadFromString(&again, &error, texts[i - 1])) << error;
    again.formatVersion = model.formatVersion;
    texts[i] = ToJsonString(again, false);
  }
  EXPECT_EQ(texts[1], texts[2]) << "form " << model.formatVersion;
}

void CheckPlacement(const Json::Value& root) {
  SensorModel sensor, again;
  ReadSensorModel(&sensor, root);
  Json::Value block(Json::objectValue);
  block["skybeacon_config"] = WriteSensorModel(sensor);
  ReadSensorModel(&again, JsonOf(WriteStyledJson(block)));
  EXPECT_TRUE(SameAndFinite(sensor.modelPoints, sensor.present ? again.modelPoints : sensor.modelPoints));
  EXPECT_TRUE(SameAndFinite(sensor.modelNormals, sensor.present ? again.modelNormals : sensor.modelNormals));
  EXPECT_TRUE(!sensor.present || sensor.channelMap.empty() || sensor.modelPointsHash == again.modelPointsHash);
  // Straight into the record, past the loader's checks, then in every form;
  // and through the loader, which may refuse it.
  TrackedDeviceConfig model;
  std::string error;
  model.FromJson(root, &error);
  model.device_class = TrackedDeviceClass::GenericTracker;
  for (uint32_t form : {kFormatLegacy, kFormatSectioned, kFormatLatest}) {
    model.formatVersion = form;
    ExpectSettles(model);
  }
  if (LoadFromString(&model, &error, WriteStyledJson(root))) ExpectSettles(model);
}

TEST(CorpusTest, EveryFileThroughEveryReader) {
  int parsed = 0, rejected = 0, compared = 0;
  for (const char* sub : {"test_parsing", "test_transform"}) {
    const std::filesystem::path dir = std::filesystem::path(SB_CORPUS_DIR) / "jsontestsuite" / sub;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(dir)) {
      const std::string name = entry.path().filename().string();
      SCOPED_TRACE(name);
      Json::Value root;
      std::string error;
      if (!ParseJsonText(corelib_test::Slurp(entry.path().string()), &root, &error)) {
        ++rejected;
        EXPECT_NE(0u, name.rfind("y_", 0)) << "an accepted file must parse";
        EXPECT_NE("", error);
        continue;
      }
      ++parsed;
      const std::string written = WriteStyledJson(root);
      EXPECT_TRUE(written.back() == '\n' && (written.size() < 2 || written[written.size() - 2] != '\n'));
      EXPECT_EQ(written, WriteStyledJson(JsonOf(written)));
      if (ComparableWithJsonCpp(root)) {
        ++compared;
        std::string theirs = Json::StyledWriter().write(root);  // margin 74, maybe several newlines
        while (theirs.size() > 1 && theirs[theirs.size() - 2] == '\n') theirs.pop_back();
        EXPECT_EQ(theirs, WriteStyledJson(root, 74));
      }
      for (const Json::Value& placed : Placements(root)) CheckPlacement(placed);
    }
  }
  EXPECT_GT(parsed, 80);
  EXPECT_GT(rejected, 100);
  EXPECT_GT(compared, 50);
}

}  // namespace
