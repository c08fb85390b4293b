// Reading and writing "skybeacon_config": presence, channel map and order
// rules, normal renormalisation, and the digest kept with the record.
#include "devconfig/sensor_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "devconfig/json_testing.h"

namespace {

SensorModel Read(const std::string& block) {
  SensorModel model;
  ReadSensorModel(&model, JsonOf("{\"skybeacon_config\": " + block + "}"));
  return model;
}

std::string Written(const SensorModel& model) { return WriteStyledJson(WriteSensorModel(model)); }

void ExpectVector(const SensorVector3& v, float x, float y, float z) {
  const float expected[3] = {x, y, z};
  EXPECT_EQ(0, std::memcmp(expected, &v, sizeof expected)) << v.x << ", " << v.y << ", " << v.z;
}

const char kThree[] = R"("modelPoints": [[0, 0, 0], [1, 0, 0], [0, 1, 0]], "modelNormals": [])";

TEST(SensorModelTest, PresenceNeedsPointsAndNormals) {
  SensorModel model = Read(R"({"modelCad": "cad7", "modelPoints": [[1, 2, 3]]})");
  EXPECT_TRUE(!model.present && model.modelCad == "cad7" && model.modelPoints.empty());
  for (const char* block : {R"({"modelNormals": []})", "5", "[1, 2]", "null"}) EXPECT_FALSE(Read(block).present);
  // Present but empty: the block writes back as null, which reads as absent.
  model = Read(R"({"modelPoints": [], "modelNormals": [], "channelMap": []})");
  EXPECT_TRUE(model.present);
  EXPECT_EQ("7dea362b3fac8e00956a4952a3d4f474", model.modelPointsHash);
  EXPECT_TRUE(WriteSensorModel(model).isNull());
  // A read starts from a reset record.
  model = Read(std::string(R"({"modelCad": "a", "channelOrder": [4], )") + kThree + "}");
  EXPECT_FALSE(ReadSensorModel(&model, JsonOf(R"({"skybeacon_config": {}})")));
  EXPECT_TRUE(model.modelCad.empty() && model.channelMap.empty() && model.channelOrder.empty() &&
              model.modelPoints.empty() && model.modelPointsHash.empty());
}

TEST(SensorModelTest, ChannelMapAndOrder) {
  const struct { const char* members; std::vector<int32_t> map, order; bool mapWritten; } rows[] = {
      {"", {0, 1, 2}, {}, false},
      {R"("channelMap": [0, 1, 2],)", {0, 1, 2}, {}, false},
      {R"("channelMap": [2, 1, 0],)", {2, 1, 0}, {}, true},
      {R"("channelMap": [0, 1],)", {0, 1}, {}, true},
      {R"("channelMap": [0, 1, 2, 3],)", {0, 1, 2, 3}, {}, true},
      {R"("channelMap": [5, "x", null, 2.9, -3],)", {5, 0, 0, 2, -3}, {}, true},
      {R"("channelOrder": [3, -1, 4],)", {0, 1, 2}, {3, 4}, false},
      {R"("channelOrder": ["7", 1, [], 0, 4294967296],)", {0, 1, 2}, {1, 0}, false},
      {R"("channelMap": {"a": 1}, "channelOrder": 3,)", {}, {}, false},
  };
  for (const auto& r : rows) {
    const SensorModel model = Read(std::string("{") + r.members + kThree + "}");
    EXPECT_EQ(r.map, model.channelMap) << r.members;
    EXPECT_EQ(r.order, model.channelOrder) << r.members;
    EXPECT_EQ(r.mapWritten, JsonHas(WriteSensorModel(model), "channelMap")) << r.members;
  }
}

TEST(SensorModelTest, PointsAndTheirDigest) {
  // Missing or unreadable coordinates, and those beyond single precision, are 0.
  SensorModel model = Read(R"({"modelNormals": [], "modelPoints": [[1, "2"], 7, [true, null, 1e39, 5]]})");
  ASSERT_EQ(3u, model.modelPoints.size());
  ExpectVector(model.modelPoints[0], 1, 0, 0);
  ExpectVector(model.modelPoints[1], 0, 0, 0);
  ExpectVector(model.modelPoints[2], 1, 0, 0);
  // The digest is of the stored floats; it is never recomputed nor written.
  model = Read(R"({"channelMap": [1, 0], "modelPoints": [[0.50000000001, 0, 1], [0, -0.25000000001, 2]],
                   "modelNormals": []})");
  EXPECT_EQ("bcdcd4c73a12f44bbc3974ab7aa06736", model.modelPointsHash);
  model.modelPoints.push_back({1, 1, 1});
  EXPECT_EQ("bcdcd4c73a12f44bbc3974ab7aa06736", model.modelPointsHash);
  EXPECT_EQ(std::string::npos, Written(model).find("bcdcd4c7"));
}

TEST(SensorModelTest, NormalRenormalisation) {
  float low, high;
  std::memcpy(&low, &kNormalLength2LowBits, sizeof low);
  std::memcpy(&high, &kNormalLength2HighBits, sizeof high);
  EXPECT_TRUE(0.999f * 0.999f == low && 1.001f * 1.001f == high);
  const float lo = 1.0f / std::sqrt(low), hi = 1.0f / std::sqrt(high);
  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  const struct { SensorVector3 in, out; } rows[] = {
      {{0, 0, 2}, {0, 0, 1}}, {{0, 0, 1.0005f}, {0, 0, 1.0005f}}, {{0, 0, 0.5f}, {0, 0, 1}},
      {{3, 4, 0}, {0.6f, 0.8f, 0}},
      // Exclusive bounds: 0.999 and 1.001 square onto them.
      {{0, 0, 0.999f}, {0, 0, 0.999f * lo}}, {{0, 0, -1.001f}, {0, 0, -1.001f * hi}},
      {{0, 0, 0.9995f}, {0, 0, 0.9995f}}, {{0, 0, 1.00099f}, {0, 0, 1.00099f}},
      // Fused multiply-adds: 1.00200093, inside (plain float: 1.00200105);
      // exactly the lower bound (plain float: 0.998001099, inside).
      {{0.335222751f, 0.768229604f, 0.54722023f}, {0.335222751f, 0.768229604f, 0.54722023f}},
      {{0.840187728f, 0.394382924f, 0.369523704f}, {0.840187728f * lo, 0.394382924f * lo, 0.369523704f * lo}},
      // Zero stays zero; squares outside the normal float range and
      // components that are not finite (read as zero) still give unit normals.
      {{0, 0, 0}, {0, 0, 0}}, {{1e-30f, 0, 0}, {1, 0, 0}}, {{0, 0, -1e30f}, {0, 0, -1}}, {{nan, 0, 2}, {0, 0, 1}},
      {{inf, -inf, nan}, {0, 0, 0}},
  };
  for (const auto& r : rows) ExpectVector(RenormalizeModelNormal(r.in), r.out.x, r.out.y, r.out.z);
  const SensorVector3 big = RenormalizeModelNormal({1.8e38f, 2.4e38f, 0});
  EXPECT_TRUE(std::fabs(big.x - 0.6f) < 1e-7f && std::fabs(big.y - 0.8f) < 1e-7f);
}

TEST(SensorModelTest, Writing) {
  // Reals at single precision; only members with content; values a caller
  // made non-finite go out as 0.
  const SensorModel model = Read(R"({"modelPoints": [[0.1, -0.2, 1e-3]], "modelNormals": [[0.6, 0.8, 0]]})");
  EXPECT_EQ("{\n   \"modelNormals\" : [\n      [ 0.600000024, 0.800000012, 0 ]\n   ],\n   \"modelPoints\" : [\n"
            "      [ 0.100000001, -0.200000003, 0.00100000005 ]\n   ]\n}\n",
            Written(model));
  SensorModel made;
  made.channelOrder = {0};
  made.modelPoints = {{std::numeric_limits<float>::infinity(), 1, 2}};
  made.modelNormals = {{std::numeric_limits<float>::quiet_NaN(), 0, 1}};
  EXPECT_EQ("{\n   \"channelOrder\" : [ 0 ],\n   \"modelNormals\" : [\n      [ 0, 0, 1 ]\n   ],\n"
            "   \"modelPoints\" : [\n      [ 0, 1, 2 ]\n   ]\n}\n",
            Written(made));
}

}  // namespace
