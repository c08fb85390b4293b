// Poses from axes and back: the rotation meets +Z exactly, w is never
// negative, and unusable axes are refused.
#include "devconfig/pose.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const float kHalfSqrt2 = static_cast<float>(std::sqrt(0.5));

void ExpectNear3(const double expected[3], const double actual[3], double tolerance) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(expected[i], actual[i], tolerance) << "component " << i;
}

}  // namespace

TEST(PoseTest, IdentityIsExact) {
  Pose pose = Pose::Identity();
  EXPECT_TRUE(pose.IsIdentity());
  pose.translation[2] = 1e-30f;
  EXPECT_FALSE(pose.IsIdentity());
  pose = Pose::Identity();
  pose.rotation[3] = -1.0f;  // the same rotation, but not the identity values
  EXPECT_FALSE(pose.IsIdentity());
}

TEST(PoseTest, QuarterTurnOntoY) {
  const double position[3] = {0, 0, 0};
  const double plusX[3] = {1, 0, 0};
  const double plusZ[3] = {0, 1, 0};
  Pose pose;
  ASSERT_TRUE(PoseFromAxes(position, plusX, plusZ, &pose));
  EXPECT_FLOAT_EQ(-kHalfSqrt2, pose.rotation[0]);
  EXPECT_EQ(0.0f, pose.rotation[1]);
  EXPECT_EQ(0.0f, pose.rotation[2]);
  EXPECT_FLOAT_EQ(kHalfSqrt2, pose.rotation[3]);
  EXPECT_EQ(0.0f, pose.translation[0]);
}

TEST(PoseTest, UnitAxesGiveTheIdentityExactly) {
  const double position[3] = {0, 0, 0};
  const double plusX[3] = {2, 0, 0};  // lengths do not matter
  const double plusZ[3] = {0, 0, 5};
  Pose pose;
  ASSERT_TRUE(PoseFromAxes(position, plusX, plusZ, &pose));
  EXPECT_TRUE(pose.IsIdentity());
}

TEST(PoseTest, RefusesZeroAndSkewAxes) {
  const double position[3] = {1, 2, 3};
  const double zero[3] = {0, 0, 0};
  const double x[3] = {1, 0, 0};
  const double z[3] = {0, 0, 1};
  const double skew[3] = {1, 0, 0.5};
  const double nan[3] = {NAN, 0, 1};
  Pose pose = Pose::Identity();
  pose.translation[0] = 9.0f;
  const Pose before = pose;
  EXPECT_FALSE(PoseFromAxes(position, zero, z, &pose));
  EXPECT_FALSE(PoseFromAxes(position, x, zero, &pose));
  EXPECT_FALSE(PoseFromAxes(position, skew, z, &pose));
  EXPECT_FALSE(PoseFromAxes(position, x, nan, &pose));
  EXPECT_EQ(before, pose);
}

TEST(PoseTest, AcceptsNearlyPerpendicularAxes) {
  const double position[3] = {0, 0, 0};
  const double x[3] = {1, 0, 0.0009};
  const double z[3] = {0, 0, 1};
  Pose pose;
  ASSERT_TRUE(PoseFromAxes(position, x, z, &pose));
  // X loses its part along Z: the rotation is still the identity.
  EXPECT_TRUE(pose.IsIdentity());
}

TEST(PoseTest, OppositeZIsAHalfTurn) {
  const double position[3] = {0, 0, 0};
  const double x[3] = {1, 0, 0};
  const double z[3] = {0, 0, -1};
  Pose pose;
  ASSERT_TRUE(PoseFromAxes(position, x, z, &pose));
  double p[3], outX[3], outZ[3];
  AxesFromPose(pose, p, outX, outZ);
  ExpectNear3(x, outX, 1e-7);
  ExpectNear3(z, outZ, 1e-7);
  EXPECT_GE(pose.rotation[3], 0.0f);
}

TEST(PoseTest, RoundTripThroughAxes) {
  // A spread of orientations, including ones that need w folded positive.
  const double cases[][2][3] = {
      {{0, 1, 0}, {1, 0, 0}},
      {{-1, 0, 0}, {0, 0, -1}},
      {{0, 0, 1}, {0, 1, 0}},
      {{0.6, 0.8, 0}, {0, 0, 1}},
      {{-0.6, -0.8, 0}, {0, 0, 1}},
      {{0.36, 0.48, -0.8}, {0.8, -0.6, 0}},
      {{0, -1, 0}, {0, 0, -1}},
  };
  const double position[3] = {0.01, -0.02, 0.03};
  for (const auto& axes : cases) {
    Pose pose;
    ASSERT_TRUE(PoseFromAxes(position, axes[0], axes[1], &pose));
    EXPECT_GE(pose.rotation[3], 0.0f);
    double p[3], x[3], z[3];
    AxesFromPose(pose, p, x, z);
    ExpectNear3(axes[0], x, 2e-7);
    ExpectNear3(axes[1], z, 2e-7);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(static_cast<float>(position[i]), static_cast<float>(p[i]));
  }
}

TEST(PoseTest, TinyComponentsAreZeroed) {
  const double position[3] = {0, 0, 0};
  const double x[3] = {1, 1e-13, 0};
  const double z[3] = {0, 0, 1};
  Pose pose;
  ASSERT_TRUE(PoseFromAxes(position, x, z, &pose));
  EXPECT_EQ(0.0f, pose.rotation[2]);
  EXPECT_FALSE(std::signbit(pose.rotation[0]));
}

