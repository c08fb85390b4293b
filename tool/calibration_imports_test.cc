// The lens copy groups on the fields the documents of
// tests/cases/imports.t do not carry: the red, blue and
// inverse distortion blocks. The rest of each group, the messages, order,
// conflicts and precedence are checked there.
#include "tool/calibration_imports.h"

#include <gtest/gtest.h>

#include <string>

using vantage::EyeTransform;

namespace {

EyeTransform MarkedEye(float seed) {
  EyeTransform eye;
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      eye.intrinsics.m[r][c] = seed + r * 3 + c;
      eye.eye_to_head.m[r][c] = -seed - r * 3 - c;
    }
  }
  int b = 0;
  for (vantage::DistortionParams* block :
       {&eye.distortion, &eye.distortion_red, &eye.distortion_blue, &eye.inverse_distortion}) {
    block->type = vantage::DISTORT_DPOLY3;
    block->coeffs[0] = seed + b;
    block->center_x = seed + 0.25 + b;
    block->center_y = seed + 0.5 + b++;
  }
  eye.undistort_r2_cutoff = seed + 0.125f;
  return eye;
}

// Whether each field of `to` is now `from`'s (1) or still its own (0).
std::string Taken(const EyeTransform& from, const EyeTransform& to) {
  std::string taken;
  for (int r = 0; r < 3; ++r) taken += std::to_string(to.intrinsics.m[r][2] == from.intrinsics.m[r][2]);
  taken += std::to_string(to.intrinsics.m[0][0] == from.intrinsics.m[0][0]) + " ";
  for (auto block : {&EyeTransform::distortion, &EyeTransform::distortion_red, &EyeTransform::distortion_blue,
                     &EyeTransform::inverse_distortion}) {
    taken += std::to_string((to.*block).center_x == (from.*block).center_x) +
             std::to_string((to.*block).center_y == (from.*block).center_y) +
             std::to_string((to.*block).coeffs[0] == (from.*block).coeffs[0]) + " ";
  }
  taken += std::to_string(to.undistort_r2_cutoff == from.undistort_r2_cutoff) +
           std::to_string(to.eye_to_head == from.eye_to_head);
  return taken;
}

TEST(LensCopyGroupsTest, EachGroupTakesItsFieldsAndNothingElse) {
  const EyeTransform from = MarkedEye(1);
  const struct {
    void (*copy)(const EyeTransform&, EyeTransform*);
    const char* taken;  // principal point, focal; center x, y, coefficient per block; cut-off, eye_to_head
  } cases[] = {
      {CopyLensIntrinsics, "1111 111 111 111 111 10"},
      {CopyLensCentering, "1110 110 110 110 000 00"},
      {CopyEyeToHead, "0000 000 000 000 000 01"},
  };
  for (const auto& c : cases) {
    EyeTransform to = MarkedEye(10);
    c.copy(from, &to);
    EXPECT_EQ(c.taken, Taken(from, to)) << c.taken;
  }
}

}  // namespace
