// "skybeacon_config": presence, channels, the digest, writing, renormalised normals.
#include "devconfig/sensor_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "devconfig/json_testing.h"

namespace {

SensorModel Read(const std::string& block) {
  SensorModel model;
  ReadSensorModel(JsonOf("{\"skybeacon_config\": " + block + "}"), &model);
  return model;
}

TEST(SensorModelTest, PresenceChannelsDigestAndWriting) {
  SensorModel model = Read(R"({"modelCad": "cad7", "channelOrder": [4], "modelPoints": [[1, 2, 3]]})");
  EXPECT_TRUE(!model.present && model.modelCad == "cad7" && model.modelPoints.empty() && model.channelOrder.empty());
  // Present but empty: the block writes back as null, which reads as absent.
  model = Read(R"({"modelPoints": [], "modelNormals": [], "channelMap": []})");
  EXPECT_TRUE(model.present && WriteSensorModel(model).isNull());
  EXPECT_EQ("7dea362b3fac8e00956a4952a3d4f474", model.modelPointsHash);
  // Missing, unreadable and beyond float range: 0, in the digest too. No negative channels (fallback -1).
  model = Read(R"({"modelPoints": [[0.50000000001, "2", 1], [1e39, -0.25, 2]], "modelNormals": [],
                   "channelMap": [1, 0], "channelOrder": [3, -1, "7", 2.9]})");
  EXPECT_EQ("bcdcd4c73a12f44bbc3974ab7aa06736", model.modelPointsHash);
  EXPECT_EQ((std::vector<int32_t>{3, 2}), model.channelOrder);
  // The map: given or the identity, written only when not the identity.
  const struct { const char* map; std::vector<int32_t> read; bool written; } rows[] = {
      {"", {0, 1, 2}, false}, {R"("channelMap": [0, 1, 2],)", {0, 1, 2}, false},
      {R"("channelMap": [2, 1, 0],)", {2, 1, 0}, true}, {R"("channelMap": [0, 1, 2, 3],)", {0, 1, 2, 3}, true},
  };
  for (const auto& r : rows) {
    model = Read(std::string("{") + r.map + R"("modelPoints": [[0, 0, 0], [1, 0, 0], [0, 1, 0]], "modelNormals": []})");
    EXPECT_EQ(r.read, model.channelMap) << r.map;
    EXPECT_EQ(r.written, JsonHas(WriteSensorModel(model), "channelMap")) << r.map;
  }
  // Points are written at single precision.
  model = Read(R"({"modelPoints": [[0.1, -0.2, 1e-3]], "modelNormals": [[0, 0, -1]]})");
  EXPECT_NE(std::string::npos,
            WriteStyledJson(WriteSensorModel(model)).find("[ 0.100000001, -0.200000003, 0.00100000005 ]\n"));
}

TEST(SensorModelTest, NormalRenormalisation) {
  // Kept as it is between the exclusive bounds of the squared length, 0.999 and 1.001 squared.
  const auto scale = [](uint32_t bits) { float f; std::memcpy(&f, &bits, sizeof f); return 1.0f / std::sqrt(f); };
  const float lo = scale(kNormalLength2LowBits), hi = scale(kNormalLength2HighBits), nan = NAN, inf = INFINITY;
  const struct { SensorVector3 in, out; } rows[] = {
      {{0, 0, 2}, {0, 0, 1}}, {{3, 4, 0}, {0.6f, 0.8f, 0}}, {{0, 0, 0.999f}, {0, 0, 0.999f * lo}},
      {{0, 0, -1.001f}, {0, 0, -1.001f * hi}}, {{0, 0, 1.0005f}, {0, 0, 1.0005f}},
      // Fused multiply-adds: exactly the lower bound (plain float: 0.998001099, inside).
      {{0.840187728f, 0.394382924f, 0.369523704f}, {0.840187728f * lo, 0.394382924f * lo, 0.369523704f * lo}},
      // Zero stays zero; beyond the normal float range, and not finite (as 0).
      {{0, 0, 0}, {0, 0, 0}}, {{1e-30f, 0, 0}, {1, 0, 0}}, {{0, 0, -1e30f}, {0, 0, -1}}, {{nan, 0, 2}, {0, 0, 1}},
      {{inf, -inf, nan}, {0, 0, 0}}, {{0, 0x1.8p126f, 0x1p127f}, {0, 0.6f, 0.8f}},
  };
  for (const auto& r : rows) {
    const SensorVector3 n = RenormalizeModelNormal(r.in);
    EXPECT_TRUE(n.x == r.out.x && n.y == r.out.y && n.z == r.out.z) << n.x << ", " << n.y << ", " << n.z;
  }
}

}  // namespace
