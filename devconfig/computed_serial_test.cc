// The computed serial: the exact byte sequence and the published digests.
#include "devconfig/computed_serial.h"

#include <gtest/gtest.h>

namespace {

TEST(ComputedSerial, EmptyMapAndNoPointsHashEightZeroBytes) {
  EXPECT_EQ(ModelPointsHashInput({}, {}), std::vector<uint8_t>(8, 0));
  EXPECT_EQ(ComputeModelPointsHash({}, {}), "7dea362b3fac8e00956a4952a3d4f474");
}

TEST(ComputedSerial, OnePointAtOrigin) {
  std::vector<uint8_t> expected = {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  expected.resize(expected.size() + 12, 0);
  EXPECT_EQ(ModelPointsHashInput({0}, {SensorVector3{}}), expected);
  EXPECT_EQ(ComputeModelPointsHash({0}, {SensorVector3{}}), "10d441e9c2c2201f7c842bee47953d8e");
}

TEST(ComputedSerial, TwoPointsWithSwappedChannels) {
  const std::vector<SensorVector3> points = {{0.5f, 0.0f, 1.0f}, {0.0f, -0.25f, 2.0f}};
  EXPECT_EQ(ComputeModelPointsHash({1, 0}, points), "bcdcd4c73a12f44bbc3974ab7aa06736");
  // The channel order matters, and the map is not the identity here.
  EXPECT_NE(ComputeModelPointsHash({0, 1}, points), ComputeModelPointsHash({1, 0}, points));
}

TEST(ComputedSerial, NumbersAreLittleEndianTwosComplementAndIeeeFloats) {
  const std::vector<uint8_t> bytes =
      ModelPointsHashInput({-1, 0x01020304}, {SensorVector3{0.5f, -2.0f, 1.0f}});
  const std::vector<uint8_t> expected = {
      2, 0, 0, 0,                    // entry count
      0xff, 0xff, 0xff, 0xff,        // -1
      0x04, 0x03, 0x02, 0x01,        // 0x01020304
      1, 0, 0, 0,                    // point count
      0x00, 0x00, 0x00, 0x3f,        // 0.5f
      0x00, 0x00, 0x00, 0xc0,        // -2.0f
      0x00, 0x00, 0x80, 0x3f};       // 1.0f
  EXPECT_EQ(bytes, expected);
}

TEST(ComputedSerial, CountsNeedNotAgree) {
  // Nothing ties the map length to the point count; both are hashed as given.
  const std::vector<uint8_t> bytes = ModelPointsHashInput({7, 8, 9}, {});
  ASSERT_EQ(bytes.size(), 4u + 12u + 4u);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(bytes[16], 0);
  const std::string hash = ComputeModelPointsHash({7, 8, 9}, {});
  ASSERT_EQ(hash.size(), 32u);
  EXPECT_EQ(hash.find_first_not_of("0123456789abcdef"), std::string::npos);
}

}  // namespace
