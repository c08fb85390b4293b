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
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  CameraIntrinsics intrinsics;
  EXPECT_TRUE(FromJson(root, &intrinsics, &error)) << error;
  return intrinsics;
}

}  // namespace

TEST(CameraIntrinsicsJson, CenterMovesIntoTheRawFrame) {
  CameraIntrinsics in = Read(R"({"width": 640, "height": 480, "undist_height": 520, "center_x": 350})");
  EXPECT_EQ(640, in.undist_width);  // zero takes the raw size
  EXPECT_EQ(520, in.undist_height);
  EXPECT_EQ(350.0, in.center_x);  // not moved by the read

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
    const Json::Value written = ToJson(Read(row.in));
    EXPECT_EQ(row.cx, written["center_x"].asDouble());
    EXPECT_EQ(row.cy, written["center_y"].asDouble());
    EXPECT_FALSE(written.isMember("undist_width") || written.isMember("undist_height"));
    CameraIntrinsics back;
    EXPECT_TRUE(FromJson(written, &back, nullptr));
    EXPECT_EQ(640, back.undist_width);
    EXPECT_EQ(row.cx, back.center_x);
    EXPECT_EQ(WriteStyledJson(written), WriteStyledJson(ToJson(back)));
  }
  // The difference does not overflow 32 bits.
  in = CameraIntrinsics();
  in.width = -2147483647 - 1;
  in.undist_width = 2147483647;
  EXPECT_EQ(-2147483647.5, ToJson(in).get("center_x", 0).asDouble());

  // An absent member reads as the default record; wrong kinds are reported.
  EXPECT_TRUE(FromJson(Json::Value(), &in, nullptr));
  EXPECT_EQ(WriteStyledJson(ToJson(CameraIntrinsics())), WriteStyledJson(ToJson(in)));
  std::string error;
  EXPECT_FALSE(FromJson(Json::Value("640x480"), &in, &error));
  EXPECT_EQ("camera intrinsics is not an object", error);
  Json::Value bad(Json::objectValue);
  bad["width"] = 8;
  bad["distort"] = 1;
  EXPECT_FALSE(FromJson(bad, &in, &error));
  EXPECT_EQ("\"distort\": distortion block is not an object", error);
  EXPECT_EQ(8, in.width);
}

TEST(CameraIntrinsicsUndistortedSize, MovesCenterByHalfTheChange) {
  CameraIntrinsics in = Read(R"({"width": 640, "height": 480, "center_x": 320, "center_y": 240})");
  in.SetUndistortedSize(700, 500);
  EXPECT_EQ(700, in.undist_width);
  EXPECT_EQ(500, in.undist_height);
  EXPECT_EQ(350.0, in.center_x);
  EXPECT_EQ(250.0, in.center_y);
  EXPECT_EQ(320.0, ToJson(in).get("center_x", 0).asDouble());  // the raw frame is unchanged
  in.SetUndistortedSize(in.width, in.height);
  EXPECT_EQ(320.0, in.center_x);
  EXPECT_EQ(240.0, in.center_y);

  // A record that never went through a read: the vertical center only moves
  // from a known undistorted height, the horizontal one always.
  CameraIntrinsics fresh;
  fresh.SetUndistortedSize(100, 60);
  EXPECT_EQ(50.0, fresh.center_x);
  EXPECT_EQ(0.0, fresh.center_y);
  EXPECT_EQ(60, fresh.undist_height);
}
