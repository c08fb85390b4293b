// Camera intrinsics: the center is held in the undistorted frame and written
// in the raw one.
#include "vantagelib/camera_intrinsics.h"

#include <gtest/gtest.h>

#include <string>

#include "devconfig/jsonhelpers.h"

using namespace vantage;

namespace {

CameraIntrinsics Read(const std::string& text) {
  Json::Value root;
  EXPECT_TRUE(ParseJsonText(text, &root, nullptr)) << text;
  CameraIntrinsics intrinsics;
  std::string error;
  EXPECT_TRUE(FromJson(root, &intrinsics, &error)) << error;
  return intrinsics;
}

double WrittenCenterX(const CameraIntrinsics& in) { return ToJson(in).get("center_x", 0).asDouble(); }

}  // namespace

TEST(CameraIntrinsicsJson, CenterMovesIntoTheRawFrame) {
  const struct {
    const char* in;
    double cx, cy;
  } rows[] = {
      {R"({"width": 640, "undist_width": 700, "center_x": 350, "height": 480, "undist_height": 400,
           "center_y": 200})", 320, 240},
      {R"({"width": 640, "height": 480, "center_x": 319.5, "center_y": 239.25})", 319.5, 239.25},
      // Half a pixel for an odd difference.
      {R"({"width": 640, "undist_width": 641, "center_x": 320, "height": 480, "undist_height": 477,
           "center_y": 240})", 319.5, 241.5},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.in);
    const std::string written = WriteStyledJson(ToJson(Read(row.in)));
    EXPECT_EQ(std::string::npos, written.find("undist_"));
    const CameraIntrinsics back = Read(written);  // now without an undistorted size
    EXPECT_EQ(row.cx, back.center_x);
    EXPECT_EQ(row.cy, back.center_y);
    EXPECT_EQ(640, back.undist_width);
    EXPECT_EQ(written, WriteStyledJson(ToJson(back)));
  }
  // The difference does not overflow 32 bits.
  CameraIntrinsics extreme;
  extreme.width = -2147483647 - 1;
  extreme.undist_width = 2147483647;
  EXPECT_EQ(-2147483647.5, WrittenCenterX(extreme));

  // A "distort" of the wrong kind is reported; the rest is read.
  Json::Value bad;
  ASSERT_TRUE(ParseJsonText(R"({"width": 8, "distort": 1})", &bad, nullptr));
  CameraIntrinsics partly;
  std::string error;
  EXPECT_FALSE(FromJson(bad, &partly, &error));
  EXPECT_EQ("\"distort\": distortion block is not an object", error);
  EXPECT_EQ(8, partly.width);
}

TEST(CameraIntrinsicsUndistortedSize, MovesCenterByHalfTheChange) {
  CameraIntrinsics in = Read(R"({"width": 640, "height": 480, "center_x": 320, "center_y": 240})");
  in.SetUndistortedSize(700, 500);
  EXPECT_EQ(350.0, in.center_x);
  EXPECT_EQ(250.0, in.center_y);
  EXPECT_EQ(320.0, WrittenCenterX(in));  // the raw frame is unchanged
  in.SetUndistortedSize(in.width, in.height);
  EXPECT_EQ(320.0, in.center_x);
  EXPECT_EQ(240.0, in.center_y);
  // Never read: the vertical center only moves from a known undistorted
  // height, the horizontal one always.
  CameraIntrinsics fresh;
  fresh.SetUndistortedSize(100, 60);
  EXPECT_EQ(50.0, fresh.center_x);
  EXPECT_EQ(0.0, fresh.center_y);
}
