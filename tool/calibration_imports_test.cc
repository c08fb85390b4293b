// The lens copy groups on the red, blue and inverse distortion blocks, which the
// command-line cases (the rest of each group, messages, order) do not carry.
#include "tool/calibration_imports.h"

#include <gtest/gtest.h>

using vantage::EyeTransform;

TEST(LensCopyGroupsTest, ColourAndInverseBlocks) {
  EyeTransform from;
  for (auto* block : {&from.distortion_red, &from.distortion_blue, &from.inverse_distortion})
    block->center_x = block->center_y = block->coeffs[0] = 1;
  from.undistort_r2_cutoff = 1;
  // Whether center x, y and a coefficient of each block, and the cut-off, were taken.
  const std::pair<void (*)(const EyeTransform&, EyeTransform*), const char*> groups[] = {
      {CopyLensIntrinsics, "111 111 111 1"}, {CopyLensCentering, "110 110 000 0"}, {CopyEyeToHead, "000 000 000 0"}};
  for (const auto& [copy, expected] : groups) {
    EyeTransform to;
    copy(from, &to);
    std::string taken;
    for (const auto* b : {&to.distortion_red, &to.distortion_blue, &to.inverse_distortion})
      taken += std::to_string(b->center_x == 1) + std::to_string(b->center_y == 1) +
               std::to_string(b->coeffs[0] == 1) + " ";
    EXPECT_EQ(expected, taken + std::to_string(to.undistort_r2_cutoff == 1));
  }
}
