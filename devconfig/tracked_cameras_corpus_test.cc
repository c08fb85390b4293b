// Every parsable document of the public JSON corpus, put in each place the
// camera members can hold one, reads and writes without a fault; what the
// model writes loads again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "devconfig/configloader.h"
#include "devconfig/jsonhelpers.h"
#include "devconfig/trackeddeviceconfig.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  for (const char* sub : {"jsontestsuite/test_parsing", "jsontestsuite/test_transform"}) {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(SB_CORPUS_DIR) / sub, ec))
      if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<Json::Value> Placements(const Json::Value& doc) {
  Json::Value camera(Json::objectValue);
  for (const char* name : {"name", "cal_method", "intrinsics", "extrinsics", "head_from_camera", "white_balance",
                           "pitch", "roll", "yaw"})
    camera[name] = doc;
  Json::Value dual(Json::objectValue);
  dual["rotation"] = doc;
  dual["translation"] = doc;

  std::vector<Json::Value> roots(8, Json::Value(Json::objectValue));
  roots[0] = doc;
  roots[1]["tracked_camera"] = doc;
  roots[2]["tracked_camera1"] = doc;
  roots[2]["tracked_camera"] = doc;
  roots[3]["tracked_camera1"] = camera;
  roots[3]["second_tracked_camera"] = doc;
  roots[3]["dual_extrinsics"] = doc;
  roots[4]["tracked_camera"] = camera;
  roots[4]["second_tracked_camera"] = camera;
  roots[4]["dual_extrinsics"] = dual;
  roots[5]["tracked_cameras"] = doc;
  roots[6]["isps"] = doc;
  roots[7]["tracked_cameras"].append(camera);
  roots[7]["tracked_cameras"].append(camera);
  roots[7]["isps"].append(doc);
  return roots;
}

}  // namespace

TEST(TrackedCamerasCorpus, EveryPlacementIsHarmless) {
  const std::vector<fs::path> files = CorpusFiles();
  ASSERT_FALSE(files.empty()) << "corpus not found under " << SB_CORPUS_DIR;
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Json::Value doc;
    std::string error;
    if (!ParseJsonText(text, &doc, &error)) continue;

    for (const Json::Value& root : Placements(doc)) {
      // Straight into the record, without the loader's checks in front.
      TrackedDeviceConfig model;
      std::string problem;
      model.FromJson(root, &problem);
      model.device_class = TrackedDeviceClass::GenericTracker;
      for (uint32_t form : {kFormatLegacy, kFormatSectioned, kFormatLatest}) {
        model.formatVersion = form;
        const std::string written = ToJsonString(model, true);
        TrackedDeviceConfig reread;
        EXPECT_TRUE(LoadFromString(&reread, &error, written)) << file << ": " << error;
      }
      // And through the loader, which may refuse the document.
      TrackedDeviceConfig loaded;
      LoadFromString(&loaded, &error, WriteStyledJson(root));
    }
  }
}
