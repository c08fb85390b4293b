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
  EXPECT_EQ(before, pose);
}

}  // namespace
