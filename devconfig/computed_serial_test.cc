// The computed serial: the exact byte sequence and the published digests.
#include "devconfig/computed_serial.h"

#include <gtest/gtest.h>

namespace {

TEST(ComputedSerial, PublishedDigestsAndTheirBytes) {
  EXPECT_EQ("7dea362b3fac8e00956a4952a3d4f474", ComputeModelPointsHash({}, {}));
  EXPECT_EQ("10d441e9c2c2201f7c842bee47953d8e", ComputeModelPointsHash({0}, {SensorVector3{}}));
  EXPECT_EQ("bcdcd4c73a12f44bbc3974ab7aa06736", ComputeModelPointsHash({1, 0}, {{0.5f, 0, 1}, {0, -0.25f, 2}}));
  EXPECT_EQ(std::vector<uint8_t>(8, 0), ModelPointsHashInput({}, {}));
  std::vector<uint8_t> onePoint = {1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  onePoint.resize(onePoint.size() + 12, 0);
  EXPECT_EQ(onePoint, ModelPointsHashInput({0}, {SensorVector3{}}));
  // Little-endian counts, two's complement entries, IEEE-754 floats.
  const std::vector<uint8_t> expected = {2,    0,    0,    0,    0xff, 0xff, 0xff, 0xff, 0x04, 0x03, 0x02, 0x01,
                                         1,    0,    0,    0,    0x00, 0x00, 0x00, 0x3f, 0x00, 0x00, 0x00, 0xc0,
                                         0x00, 0x00, 0x80, 0x3f};
  EXPECT_EQ(expected, ModelPointsHashInput({-1, 0x01020304}, {SensorVector3{0.5f, -2.0f, 1.0f}}));
}

}  // namespace
