// Every parsable document of the public JSON corpus, used as the sensor
// block and as each of its members, reads without harm, never yields an
// infinity or NaN, and what is written reads back to the same record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "devconfig/jsonhelpers.h"
#include "devconfig/sensor_model.h"

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

bool Finite(const std::vector<SensorVector3>& list) {
  return std::all_of(list.begin(), list.end(), [](const SensorVector3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
  });
}

bool SameBits(const std::vector<SensorVector3>& a, const std::vector<SensorVector3>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::memcmp(&a[i], &b[i], sizeof a[i]) != 0) return false;
  return true;
}

TEST(SensorModelCorpus, EveryDocumentIsHarmless) {
  const std::vector<fs::path> files = CorpusFiles();
  ASSERT_FALSE(files.empty()) << "corpus not found under " << SB_CORPUS_DIR;
  int present = 0;
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Json::Value doc;
    std::string error;
    if (!ParseJsonText(text, &doc, &error)) continue;

    Json::Value asMembers(Json::objectValue);
    for (const char* name : {"modelCad", "modelPoints", "modelNormals", "channelMap", "channelOrder"})
      asMembers[name] = doc;
    Json::Value roots[3] = {doc, Json::Value(Json::objectValue), Json::Value(Json::objectValue)};
    roots[1]["skybeacon_config"] = doc;
    roots[2]["skybeacon_config"] = asMembers;

    for (const Json::Value& root : roots) {
      SensorModel model;
      ReadSensorModel(&model, root);
      ASSERT_TRUE(Finite(model.modelPoints)) << file;
      ASSERT_TRUE(Finite(model.modelNormals)) << file;
      if (!model.present) continue;

      Json::Value written(Json::objectValue);
      written["skybeacon_config"] = WriteSensorModel(model);
      Json::Value reread;
      ASSERT_TRUE(ParseJsonText(WriteStyledJson(written), &reread, &error)) << file << error;
      SensorModel again;
      ReadSensorModel(&again, reread);
      EXPECT_TRUE(SameBits(again.modelPoints, model.modelPoints)) << file;
      EXPECT_TRUE(SameBits(again.modelNormals, model.modelNormals)) << file;
      EXPECT_EQ(again.channelOrder, model.channelOrder) << file;
      if (!model.channelMap.empty()) {
        EXPECT_EQ(again.modelPointsHash, model.modelPointsHash) << file;
      }
      ++present;
    }
  }
  EXPECT_GT(present, 50);  // the arrays of the corpus do reach the readers
}

}  // namespace
