// Poses from axes: the exact quaternions of known turns, and refused axes.
// That written axes read back as a fixed point is the fuzz replay's.
#include "devconfig/pose.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(PoseTest, KnownTurnsFromAxesAndRefusedAxes) {
  // Lengths do not matter, X loses a part along Z within the tolerance,
  // components below 1e-10 are zero, and w is never negative.
  const float h = std::sqrt(0.5f);
  const struct { double x[3], z[3]; float q[4]; } rows[] = {
      {{2, 0, 0}, {0, 0, 5}, {0, 0, 0, 1}},     {{1, 1e-13, 0.0009}, {0, 0, 1}, {0, 0, 0, 1}},
      {{1, 0, 0}, {0, 1, 0}, {-h, 0, 0, h}},    {{-1, 0, 0}, {0, 0, -1}, {0, -1, 0, 0}},
      {{0, -1, 0}, {0, 0, 1}, {0, 0, -h, h}},   {{0, 0, -1}, {1, 0, 0}, {0, h, 0, h}},
  };
  const double edge[3] = {0.01, -0.02, 3.4028234663852886e38}, far[3] = {0, -1e39, 0};  // at and beyond float range
  Pose pose;
  for (const auto& r : rows) {
    ASSERT_TRUE(PoseFromAxes(edge, r.x, r.z, &pose));
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(r.q[i], pose.rotation[i]) << r.x[0] << r.x[1] << r.z[2] << " " << i;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(static_cast<float>(edge[i]), pose.translation[i]);
  }
  // Refused, the pose left alone; a position beyond float range would be written 1e+9999.
  const double x[3] = {1, 0, 0}, z[3] = {0, 0, 1}, o[3] = {0, 0, 0}, skew[3] = {1, 0, 0.5}, nan[3] = {NAN, 0, 1};
  const double* const refused[][3] = {{o, o, z}, {o, x, o}, {o, skew, z}, {o, x, nan}, {far, x, z}};
  const Pose before = pose;
  for (const auto& a : refused) EXPECT_FALSE(PoseFromAxes(a[0], a[1], a[2], &pose));
  EXPECT_EQ(before, pose);
}
