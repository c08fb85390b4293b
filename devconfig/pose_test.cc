// Poses from axes and back: the rotation meets +Z exactly, w is never
// negative, and unusable axes are refused.
#include "devconfig/pose.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(PoseTest, IdentityIsExact) {
  Pose pose = Pose::Identity();
  EXPECT_TRUE(pose.IsIdentity());
  pose.translation[2] = 1e-30f;
  EXPECT_FALSE(pose.IsIdentity());
  pose = Pose::Identity();
  pose.rotation[3] = -1.0f;  // the same rotation, but not the identity values
  EXPECT_FALSE(pose.IsIdentity());
}

TEST(PoseTest, FromAxesAndBack) {
  // The quarter turn that takes +Z onto +Y.
  const double origin[3] = {0, 0, 0}, x[3] = {1, 0, 0}, y[3] = {0, 1, 0}, z[3] = {0, 0, 1};
  Pose pose;
  ASSERT_TRUE(PoseFromAxes(origin, x, y, &pose));
  const float h = std::sqrt(0.5f);
  EXPECT_TRUE(pose.rotation[1] == 0 && pose.rotation[2] == 0);
  EXPECT_FLOAT_EQ(-h, pose.rotation[0]);
  EXPECT_FLOAT_EQ(h, pose.rotation[3]);
  // The half turn onto -Z and turns that need w folded positive come back.
  const double cases[][2][3] = {{{1, 0, 0}, {0, 0, -1}}, {{-1, 0, 0}, {0, 0, -1}}, {{-0.6, -0.8, 0}, {0, 0, 1}},
                                {{0.36, 0.48, -0.8}, {0.8, -0.6, 0}}, {{0, -1, 0}, {0, 0, -1}}};
  const double position[3] = {0.01, -0.02, 0.03};
  for (const auto& axes : cases) {
    ASSERT_TRUE(PoseFromAxes(position, axes[0], axes[1], &pose));
    EXPECT_GE(pose.rotation[3], 0.0f);
    double p[3], outX[3], outZ[3];
    AxesFromPose(pose, p, outX, outZ);
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(axes[0][i], outX[i], 2e-7);
      EXPECT_NEAR(axes[1][i], outZ[i], 2e-7);
      EXPECT_EQ(static_cast<float>(position[i]), static_cast<float>(p[i]));
    }
  }
  // Lengths do not matter, X loses a part along Z within the tolerance, and
  // components below 1e-10 are zero: all give the identity exactly.
  const double longX[3] = {2, 0, 0}, longZ[3] = {0, 0, 5}, nearlyX[3] = {1, 0, 0.0009}, tinyX[3] = {1, 1e-13, 0};
  const double* const exact[][2] = {{longX, longZ}, {nearlyX, z}, {tinyX, z}};
  for (const auto& axes : exact) {
    ASSERT_TRUE(PoseFromAxes(origin, axes[0], axes[1], &pose));
    EXPECT_TRUE(pose.IsIdentity() && !std::signbit(pose.rotation[2]));
  }
  // Unusable axes are refused, and the pose is left alone.
  const double zero[3] = {0, 0, 0}, skew[3] = {1, 0, 0.5}, nan[3] = {NAN, 0, 1};
  pose.translation[0] = 9.0f;
  const Pose before = pose;
  const double* const refused[][2] = {{zero, z}, {x, zero}, {skew, z}, {x, nan}};
  for (const auto& axes : refused) EXPECT_FALSE(PoseFromAxes(origin, axes[0], axes[1], &pose));
  // So is a position beyond float range, which would be stored as an
  // infinity and written as 1e+9999, which no reader takes back.
  const double far[3] = {0, -1e39, 0}, edge[3] = {0, 0, 3.4028234663852886e38};
  EXPECT_FALSE(PoseFromAxes(far, x, z, &pose));
  EXPECT_EQ(before, pose);
  EXPECT_TRUE(PoseFromAxes(edge, x, z, &pose));
}

// Axes are those of the rotation a quaternion stands for, whatever its
// length: a float quaternion is seldom of exactly unit length, and the bare
// formula would pull its axes towards the identity.
TEST(PoseTest, AxesOfQuaternionsNotOfUnitLength) {
  const float h = static_cast<float>(std::sqrt(0.5));
  ASSERT_NE(1.0, 2.0 * h * h);
  const struct { Pose pose; double x[3]; double z[3]; double tolerance; } rows[] = {
      {{{h, 0, 0, h}, {0, 0, 0}}, {1, 0, 0}, {0, -1, 0}, 1e-16},          // a float quarter turn, exactly
      {{{0, h, 0, h}, {0.5f, 0, 0}}, {0, 0, -1}, {1, 0, 0}, 1e-16},
      {{{0, 0, 1, 1}, {0, 0, 0}}, {0, 1, 0}, {0, 0, 1}, 1e-7},             // length sqrt 2
      {{{0, 0, 0, 2}, {0, 0, 0}}, {1, 0, 0}, {0, 0, 1}, 0},
      {{{0, 0, 0, 0}, {0, 0, 0}}, {1, 0, 0}, {0, 0, 1}, 0},
  };
  for (const auto& r : rows) {
    double p[3], x[3], z[3];
    AxesFromPose(r.pose, p, x, z);
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(r.x[i], x[i], r.tolerance) << i;
      EXPECT_NEAR(r.z[i], z[i], r.tolerance) << i;
      EXPECT_EQ(r.pose.translation[i], p[i]);
    }
  }
}

// Axes written and read back give a pose that writes the same axes again:
// a pose must not turn a little further on every write.
TEST(PoseTest, AxesReadBackAreAFixedPoint) {
  const Pose starts[] = {{{0.70014004f, 0, 0.70014004f, 0.14002801f}, {0, 0, 0}},
                         {{5, 0, 1, 0}, {0, 0, 0}},
                         {{0.1f, -0.7f, 0.3f, 0.64f}, {0.01f, 0.02f, 0.03f}}};
  for (const Pose& start : starts) {
    double p[3], x[3], z[3];
    AxesFromPose(start, p, x, z);
    Pose first;
    ASSERT_TRUE(PoseFromAxes(p, x, z, &first));
    Pose pose = first;
    for (int round = 0; round < 20; ++round) {
      AxesFromPose(pose, p, x, z);
      ASSERT_TRUE(PoseFromAxes(p, x, z, &pose));
      EXPECT_EQ(first, pose) << "round " << round;
    }
  }
}

// Every form of no rotation gives the identity axes, which documents leave out.
TEST(PoseTest, AxesAreIdentityForEveryFormOfNoRotation) {
  for (const Pose& pose : {Pose::Identity(), Pose{{0, 0, 0, -1}, {0, 0, 0}}, Pose{{0, 0, 0, 2}, {0, 0, 0}},
                           Pose{{0, 0, 0, 0}, {0, 0, 0}}})
    EXPECT_TRUE(AxesAreIdentity(pose));
  EXPECT_FALSE(AxesAreIdentity(Pose{{0, 0, 0, 1}, {0, 1e-30f, 0}}));
  EXPECT_FALSE(AxesAreIdentity(Pose{{1e-20f, 0, 0, 1}, {0, 0, 0}}));
}

}  // namespace
