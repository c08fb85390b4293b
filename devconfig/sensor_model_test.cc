// Reading and writing "skybeacon_config": presence, channel map and order
// rules, normal renormalisation, and the digest kept with the record.
#include "devconfig/sensor_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "devconfig/jsonhelpers.h"

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

SensorModel Read(const std::string& text) {
  SensorModel model;
  ReadSensorModel(&model, Parse(text));
  return model;
}

std::string WriteDocument(const SensorModel& model) {
  Json::Value root(Json::objectValue);
  root["skybeacon_config"] = WriteSensorModel(model);
  return WriteStyledJson(root);
}

uint32_t Bits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

void ExpectVector(const SensorVector3& v, float x, float y, float z) {
  EXPECT_EQ(Bits(v.x), Bits(x)) << v.x << " vs " << x;
  EXPECT_EQ(Bits(v.y), Bits(y)) << v.y << " vs " << y;
  EXPECT_EQ(Bits(v.z), Bits(z)) << v.z << " vs " << z;
}

bool AllFinite(const std::vector<SensorVector3>& list) {
  for (const SensorVector3& v : list)
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
  return true;
}

// --- presence ---

TEST(SensorModelPresence, PointsWithoutNormalsIsAbsentButKeepsModelCad) {
  SensorModel model = Read(R"({"skybeacon_config": {"modelCad": "cad7", "modelPoints": [[1, 2, 3]]}})");
  EXPECT_FALSE(model.present);
  EXPECT_EQ(model.modelCad, "cad7");
  EXPECT_TRUE(model.modelPoints.empty());
  EXPECT_TRUE(model.modelPointsHash.empty());
  EXPECT_FALSE(Read(R"({"skybeacon_config": {"modelNormals": [[0, 0, 1]]}})").present);
}

TEST(SensorModelPresence, BlockOfTheWrongKindIsAbsent) {
  EXPECT_FALSE(Read(R"({"skybeacon_config": 5})").present);
  EXPECT_FALSE(Read(R"({"skybeacon_config": [1, 2]})").present);
  EXPECT_FALSE(Read(R"({"skybeacon_config": null})").present);
  EXPECT_FALSE(Read(R"([1, 2])").present);
}

TEST(SensorModelPresence, EmptyArraysArePresentAndWriteBackAsNull) {
  SensorModel model = Read(R"({"skybeacon_config": {"modelPoints": [], "modelNormals": []}})");
  EXPECT_TRUE(model.present);
  EXPECT_TRUE(model.modelPoints.empty());
  EXPECT_TRUE(model.channelMap.empty());
  EXPECT_EQ(model.modelPointsHash, "7dea362b3fac8e00956a4952a3d4f474");

  EXPECT_TRUE(WriteSensorModel(model).isNull());
  const std::string text = WriteDocument(model);
  EXPECT_EQ(text, "{\n   \"skybeacon_config\" : null\n}\n");
  EXPECT_FALSE(Read(text).present);
}

TEST(SensorModelPresence, ReadStartsFromAResetRecord) {
  SensorModel model = Read(R"({"skybeacon_config": {"modelCad": "a", "channelOrder": [4],
      "modelPoints": [[1, 2, 3]], "modelNormals": [[0, 0, 1]]}})");
  ASSERT_TRUE(model.present);
  EXPECT_FALSE(ReadSensorModel(&model, Parse(R"({"skybeacon_config": {}})")));
  EXPECT_FALSE(model.present);
  EXPECT_TRUE(model.modelCad.empty());
  EXPECT_TRUE(model.channelMap.empty());
  EXPECT_TRUE(model.channelOrder.empty());
  EXPECT_TRUE(model.modelPoints.empty());
  EXPECT_TRUE(model.modelNormals.empty());
  EXPECT_TRUE(model.modelPointsHash.empty());
}

// --- channel map and order ---

const char kThreePoints[] = R"("modelPoints": [[0, 0, 0], [1, 0, 0], [0, 1, 0]],
    "modelNormals": [[0, 0, 1], [0, 0, 1], [0, 0, 1]])";

TEST(SensorModelChannels, AbsentMapIsTheIdentityAndIsNotWritten) {
  SensorModel model = Read(std::string(R"({"skybeacon_config": {)") + kThreePoints + "}}");
  EXPECT_EQ(model.channelMap, (std::vector<int32_t>{0, 1, 2}));
  EXPECT_FALSE(JsonHas(WriteSensorModel(model), "channelMap"));
}

TEST(SensorModelChannels, ExplicitIdentityMapIsNotWritten) {
  SensorModel model =
      Read(std::string(R"({"skybeacon_config": {"channelMap": [0, 1, 2], )") + kThreePoints + "}}");
  EXPECT_EQ(model.channelMap, (std::vector<int32_t>{0, 1, 2}));
  EXPECT_FALSE(JsonHas(WriteSensorModel(model), "channelMap"));
}

TEST(SensorModelChannels, OtherMapsAreWritten) {
  SensorModel model =
      Read(std::string(R"({"skybeacon_config": {"channelMap": [2, 1, 0], )") + kThreePoints + "}}");
  const Json::Value block = WriteSensorModel(model);
  ASSERT_TRUE(JsonHas(block, "channelMap"));
  EXPECT_EQ(WriteStyledJson(JsonAt(block, "channelMap")), "[ 2, 1, 0 ]\n");

  // An identity prefix shorter than the point list is not the identity map.
  model.channelMap = {0, 1};
  EXPECT_TRUE(JsonHas(WriteSensorModel(model), "channelMap"));
  // Nor is an identity map longer than the point list.
  model.channelMap = {0, 1, 2, 3};
  EXPECT_TRUE(JsonHas(WriteSensorModel(model), "channelMap"));
}

TEST(SensorModelChannels, MapEntriesOfTheWrongKindReadAsZero) {
  SensorModel model = Read(std::string(R"({"skybeacon_config": {"channelMap": [5, "x", null, 2.9, -3], )") +
                           kThreePoints + "}}");
  EXPECT_EQ(model.channelMap, (std::vector<int32_t>{5, 0, 0, 2, -3}));
}

TEST(SensorModelChannels, OrderSkipsNegativeAndUnreadableEntries) {
  SensorModel model = Read(std::string(R"({"skybeacon_config": {"channelOrder": [3, -1, 4], )") +
                           kThreePoints + "}}");
  EXPECT_EQ(model.channelOrder, (std::vector<int32_t>{3, 4}));

  model = Read(std::string(R"({"skybeacon_config": {"channelOrder": ["7", 1, [], 0, 4294967296], )") +
               kThreePoints + "}}");
  EXPECT_EQ(model.channelOrder, (std::vector<int32_t>{1, 0}));
}

TEST(SensorModelChannels, MembersThatAreNotArraysHaveNoElements) {
  SensorModel model = Read(R"({"skybeacon_config": {"channelMap": {"a": 1}, "channelOrder": 3,
      "modelPoints": {"x": [1, 2, 3]}, "modelNormals": "n"}})");
  EXPECT_TRUE(model.present);
  EXPECT_TRUE(model.channelMap.empty());
  EXPECT_TRUE(model.channelOrder.empty());
  EXPECT_TRUE(model.modelPoints.empty());
  EXPECT_TRUE(model.modelNormals.empty());
}

// --- points ---

TEST(SensorModelPoints, MissingAndUnreadableCoordinatesReadAsZero) {
  SensorModel model = Read(R"({"skybeacon_config": {"modelNormals": [],
      "modelPoints": [[1], [1, "2", 3], 7, [true, null, {}], [1, 2, 3, 4]]}})");
  ASSERT_EQ(model.modelPoints.size(), 5u);
  ExpectVector(model.modelPoints[0], 1, 0, 0);
  ExpectVector(model.modelPoints[1], 1, 0, 3);
  ExpectVector(model.modelPoints[2], 0, 0, 0);
  ExpectVector(model.modelPoints[3], 1, 0, 0);
  ExpectVector(model.modelPoints[4], 1, 2, 3);
  EXPECT_EQ(model.channelMap, (std::vector<int32_t>{0, 1, 2, 3, 4}));
}

TEST(SensorModelPoints, CoordinatesBeyondSinglePrecisionReadAsZero) {
  SensorModel model = Read(R"({"skybeacon_config": {
      "modelPoints": [[1e39, -1e300, 3.4e38]], "modelNormals": [[1e39, 0, 1]]}})");
  ASSERT_EQ(model.modelPoints.size(), 1u);
  ExpectVector(model.modelPoints[0], 0, 0, 3.4e38f);
  ASSERT_EQ(model.modelNormals.size(), 1u);
  ExpectVector(model.modelNormals[0], 0, 0, 1);
}

TEST(SensorModelPoints, HashUsesTheStoredSinglePrecisionValues) {
  SensorModel a = Read(R"({"skybeacon_config": {"channelMap": [1, 0],
      "modelPoints": [[0.5, 0, 1], [0, -0.25, 2]], "modelNormals": []}})");
  EXPECT_EQ(a.modelPointsHash, "bcdcd4c73a12f44bbc3974ab7aa06736");
  // Differences beyond single precision vanish in the stored floats.
  SensorModel b = Read(R"({"skybeacon_config": {"channelMap": [1, 0],
      "modelPoints": [[0.50000000001, 0, 1], [0, -0.25000000001, 2]], "modelNormals": [[0, 0, 1]]}})");
  EXPECT_EQ(b.modelPointsHash, a.modelPointsHash);
}

TEST(SensorModelPoints, HashIsNotRecomputedAfterChanges) {
  SensorModel model = Read(R"({"skybeacon_config": {"modelPoints": [[0, 0, 0]], "modelNormals": []}})");
  EXPECT_EQ(model.modelPointsHash, "10d441e9c2c2201f7c842bee47953d8e");
  model.modelPoints.push_back({1, 1, 1});
  EXPECT_EQ(model.modelPointsHash, "10d441e9c2c2201f7c842bee47953d8e");
  EXPECT_FALSE(JsonHas(WriteSensorModel(model), "modelPointsHash"));
}

// --- normals ---

TEST(SensorModelNormals, BoundsAreTheSquaresOfTheTolerance) {
  float low, high;
  std::memcpy(&low, &kNormalLength2LowBits, sizeof low);
  std::memcpy(&high, &kNormalLength2HighBits, sizeof high);
  EXPECT_EQ(low, 0.99800104f);
  EXPECT_EQ(high, 1.002001f);
}

TEST(SensorModelNormals, WorkedExamples) {
  SensorModel model = Read(R"({"skybeacon_config": {"modelPoints": [],
      "modelNormals": [[0, 0, 2], [0, 0, 1.0005], [0, 0, 0.5], [3, 4, 0], [0, -1, 0]]}})");
  ASSERT_EQ(model.modelNormals.size(), 5u);
  ExpectVector(model.modelNormals[0], 0, 0, 1);
  ExpectVector(model.modelNormals[1], 0, 0, 1.0005f);
  ExpectVector(model.modelNormals[2], 0, 0, 1);
  ExpectVector(model.modelNormals[3], 0.6f, 0.8f, 0);
  ExpectVector(model.modelNormals[4], 0, -1, 0);
}

TEST(SensorModelNormals, BoundsAreExclusive) {
  // 0.999f and 1.001f square exactly onto the bounds; both are scaled.
  EXPECT_EQ(0.999f * 0.999f, 0.99800104f);
  EXPECT_EQ(1.001f * 1.001f, 1.002001f);
  ExpectVector(RenormalizeModelNormal({0, 0, 0.999f}), 0, 0, 0.999f * (1.0f / std::sqrt(0.99800104f)));
  ExpectVector(RenormalizeModelNormal({0, 0, -1.001f}), 0, 0, -1.001f * (1.0f / std::sqrt(1.002001f)));
  EXPECT_NE(Bits(RenormalizeModelNormal({0, 0, 0.999f}).z), Bits(0.999f));
  // Just inside both bounds the normal is kept bit for bit.
  ExpectVector(RenormalizeModelNormal({0, 0, 0.9995f}), 0, 0, 0.9995f);
  ExpectVector(RenormalizeModelNormal({0, 0, 1.00099f}), 0, 0, 1.00099f);
  // Just outside both they are scaled.
  EXPECT_NE(Bits(RenormalizeModelNormal({0, 0, 0.9989f}).z), Bits(0.9989f));
  EXPECT_NE(Bits(RenormalizeModelNormal({0, 0, 1.0011f}).z), Bits(1.0011f));
}

TEST(SensorModelNormals, SquaredLengthUsesFusedMultiplyAdds) {
  // Fused, this squared length is 1.00200093 (inside); computed with plain
  // single-precision products and sums it would be 1.00200105 (outside).
  ExpectVector(RenormalizeModelNormal({0.335222751f, 0.768229604f, 0.54722023f}), 0.335222751f,
               0.768229604f, 0.54722023f);
  // Fused, this one lands exactly on the lower bound and is scaled; plain
  // arithmetic would give 0.998001099 and keep it.
  const SensorVector3 in = {0.840187728f, 0.394382924f, 0.369523704f};
  const SensorVector3 out = RenormalizeModelNormal(in);
  const float scale = 1.0f / std::sqrt(0.99800104f);
  ExpectVector(out, in.x * scale, in.y * scale, in.z * scale);
}

TEST(SensorModelNormals, ZeroNormalKeepsItsZeroComponents) {
  SensorModel model = Read(R"({"skybeacon_config": {"modelPoints": [[1, 2, 3]],
      "modelNormals": [[0, 0, 0], [], "none"]}})");
  ASSERT_EQ(model.modelNormals.size(), 3u);
  for (const SensorVector3& n : model.modelNormals) ExpectVector(n, 0, 0, 0);
  const std::string text = WriteDocument(model);
  EXPECT_NE(text.find("[ 0, 0, 0 ]"), std::string::npos) << text;
  EXPECT_EQ(text.find("null"), std::string::npos) << text;
  EXPECT_EQ(text.find("9999"), std::string::npos) << text;
}

TEST(SensorModelNormals, TinyHugeAndNonFiniteNormals) {
  // Their squared lengths leave the normal single-precision range.
  ExpectVector(RenormalizeModelNormal({1e-30f, 0, 0}), 1, 0, 0);
  ExpectVector(RenormalizeModelNormal({0, -3e-23f, 0}), 0, -1, 0);
  ExpectVector(RenormalizeModelNormal({0, 0, 1e30f}), 0, 0, 1);
  const SensorVector3 big = RenormalizeModelNormal({1.8e38f, 2.4e38f, 0});
  EXPECT_NEAR(big.x, 0.6f, 1e-7f);
  EXPECT_NEAR(big.y, 0.8f, 1e-7f);
  EXPECT_EQ(big.z, 0.0f);
  // Components that are not finite count as zero.
  const float inf = std::numeric_limits<float>::infinity();
  ExpectVector(RenormalizeModelNormal({std::nanf(""), 0, 2}), 0, 0, 1);
  ExpectVector(RenormalizeModelNormal({inf, -inf, std::nanf("")}), 0, 0, 0);
}

TEST(SensorModelNormals, NothingReadIsEverNonFinite) {
  SensorModel model = Read(R"({"skybeacon_config": {
      "modelPoints": [[1e39, 1e-50, -1e39], [3.4028235e38, 0, 0]],
      "modelNormals": [[0, 0, 0], [1e39, 1e39, 1e39], [1e-45, 0, 0], [3.4e38, 3.4e38, 3.4e38],
                       [1e-40, 1e-40, 0]]}})");
  EXPECT_TRUE(AllFinite(model.modelPoints));
  EXPECT_TRUE(AllFinite(model.modelNormals));
  for (size_t i = 2; i < model.modelNormals.size(); ++i) {
    const SensorVector3& n = model.modelNormals[i];
    EXPECT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0f, 1e-6f) << i;
  }
}

// --- writing ---

TEST(SensorModelWrite, WholeBlockRoundTripsByteForByte) {
  const std::string text =
      "{\n"
      "   \"skybeacon_config\" : {\n"
      "      \"channelMap\" : [ 1, 0 ],\n"
      "      \"channelOrder\" : [ 1, 0 ],\n"
      "      \"modelCad\" : \"m1\",\n"
      "      \"modelNormals\" : [\n"
      "         [ 0, 0, 1 ],\n"
      "         [ 0, 1, 0 ]\n"
      "      ],\n"
      "      \"modelPoints\" : [\n"
      "         [ 0.5, 0, 1 ],\n"
      "         [ 0, -0.25, 2 ]\n"
      "      ]\n"
      "   }\n"
      "}\n";
  SensorModel model = Read(text);
  ASSERT_TRUE(model.present);
  EXPECT_EQ(model.modelPointsHash, "bcdcd4c73a12f44bbc3974ab7aa06736");
  EXPECT_EQ(WriteDocument(model), text);
}

TEST(SensorModelWrite, RealsAreWrittenAtSinglePrecision) {
  SensorModel model = Read(R"({"skybeacon_config": {"modelPoints": [[0.1, -0.2, 1e-3]],
      "modelNormals": [[0.6, 0.8, 0]]}})");
  const std::string text = WriteDocument(model);
  EXPECT_NE(text.find("[ 0.100000001, -0.200000003, 0.00100000005 ]"), std::string::npos) << text;
  EXPECT_NE(text.find("[ 0.600000024, 0.800000012, 0 ]"), std::string::npos) << text;
  // Written text reads back to the same floats.
  SensorModel again = Read(text);
  ExpectVector(again.modelPoints[0], 0.1f, -0.2f, 1e-3f);
  EXPECT_EQ(again.modelPointsHash, model.modelPointsHash);
}

TEST(SensorModelWrite, OnlyNonEmptyMembersAreWritten) {
  SensorModel model;
  model.present = true;
  EXPECT_TRUE(WriteSensorModel(model).isNull());
  model.modelCad = "cad";
  Json::Value block = WriteSensorModel(model);
  ASSERT_TRUE(block.isObject());
  EXPECT_EQ(block.getMemberNames(), std::vector<std::string>{"modelCad"});
  model.modelCad.clear();
  model.channelOrder = {0};
  block = WriteSensorModel(model);
  EXPECT_EQ(block.getMemberNames(), std::vector<std::string>{"channelOrder"});
}

TEST(SensorModelWrite, NonFiniteValuesSetByACallerAreWrittenAsZero) {
  SensorModel model;
  model.present = true;
  model.modelPoints = {{std::numeric_limits<float>::infinity(), 1, 2}};
  model.modelNormals = {{std::numeric_limits<float>::quiet_NaN(), 0, 1}};
  const std::string text = WriteDocument(model);
  EXPECT_NE(text.find("[ 0, 1, 2 ]"), std::string::npos) << text;
  EXPECT_NE(text.find("[ 0, 0, 1 ]"), std::string::npos) << text;
  EXPECT_EQ(text.find("null"), std::string::npos) << text;
  EXPECT_EQ(text.find("9999"), std::string::npos) << text;
}

}  // namespace
