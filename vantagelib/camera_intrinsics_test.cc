// Camera intrinsics: the undistorted size, the center frame shift on write,
// and SetUndistortedSize.
#include "vantagelib/camera_intrinsics.h"

#include <gtest/gtest.h>

#include <string>

#include "devconfig/jsonhelpers.h"

using namespace vantage;

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

CameraIntrinsics Read(const std::string& text) {
  CameraIntrinsics intrinsics;
  std::string error;
  EXPECT_TRUE(FromJson(Parse(text), &intrinsics, &error)) << error;
  return intrinsics;
}

}  // namespace

TEST(CameraIntrinsicsRead, AbsentValueGivesZeroRecordWithDefaultBlock) {
  CameraIntrinsics intrinsics;
  intrinsics.width = 5;
  intrinsics.distort.type = DISTORT_FOV1;
  intrinsics.distort.clampToR2max = false;
  std::string error;
  EXPECT_TRUE(FromJson(Json::Value(), &intrinsics, &error));
  EXPECT_EQ("", intrinsics.interface);
  EXPECT_EQ(0, intrinsics.width);
  EXPECT_EQ(0, intrinsics.undist_width);
  EXPECT_EQ(0.0, intrinsics.center_x);
  EXPECT_EQ(DISTORT_NONE, intrinsics.distort.type);
  EXPECT_TRUE(intrinsics.distort.clampToR2max);
}

TEST(CameraIntrinsicsRead, AllMembers) {
  CameraIntrinsics intrinsics = Read(R"({"interface": "usb2", "width": 640, "height": 480,
      "undist_width": 700, "undist_height": 520, "focal_x": 300.5, "center_x": 350,
      "focal_y": 301.25, "center_y": 260, "distort": {"type": "DISTORT_FTHETA", "coeffs": [0.5]}})");
  EXPECT_EQ("usb2", intrinsics.interface);
  EXPECT_EQ(640, intrinsics.width);
  EXPECT_EQ(480, intrinsics.height);
  EXPECT_EQ(700, intrinsics.undist_width);
  EXPECT_EQ(520, intrinsics.undist_height);
  EXPECT_EQ(300.5, intrinsics.focal_x);
  EXPECT_EQ(350.0, intrinsics.center_x);
  EXPECT_EQ(301.25, intrinsics.focal_y);
  EXPECT_EQ(260.0, intrinsics.center_y);
  EXPECT_EQ(DISTORT_FTHETA, intrinsics.distort.type);
  EXPECT_EQ(0.5, intrinsics.distort.coeffs[0]);
}

TEST(CameraIntrinsicsRead, ZeroUndistortedSizeTakesRawSizeCenterUnchanged) {
  CameraIntrinsics intrinsics = Read(R"({"width": 640, "height": 480, "undist_height": 500,
      "center_x": 321, "center_y": 241})");
  EXPECT_EQ(640, intrinsics.undist_width);
  EXPECT_EQ(500, intrinsics.undist_height);
  EXPECT_EQ(321.0, intrinsics.center_x);
  EXPECT_EQ(241.0, intrinsics.center_y);
}

TEST(CameraIntrinsicsRead, WrongContainerKindsAreReported) {
  CameraIntrinsics intrinsics;
  std::string error;
  EXPECT_FALSE(FromJson(Json::Value("640x480"), &intrinsics, &error));
  EXPECT_EQ("camera intrinsics is not an object", error);
  error.clear();
  EXPECT_FALSE(FromJson(Parse(R"({"width": 8, "distort": 1})"), &intrinsics, &error));
  EXPECT_EQ("\"distort\": distortion block is not an object", error);
  EXPECT_EQ(8, intrinsics.width);
}

TEST(CameraIntrinsicsWrite, CenterMovesIntoRawFrame) {
  CameraIntrinsics intrinsics = Read(R"({"width": 640, "undist_width": 700, "center_x": 350,
      "height": 480, "undist_height": 400, "center_y": 200})");
  Json::Value written = ToJson(intrinsics);
  EXPECT_EQ(320.0, written["center_x"].asDouble());
  EXPECT_EQ(240.0, written["center_y"].asDouble());
  EXPECT_FALSE(written.isMember("undist_width"));
  EXPECT_FALSE(written.isMember("undist_height"));

  CameraIntrinsics back;
  EXPECT_TRUE(FromJson(written, &back, nullptr));
  EXPECT_EQ(640, back.undist_width);
  EXPECT_EQ(480, back.undist_height);
  EXPECT_EQ(320.0, back.center_x);
  EXPECT_EQ(240.0, back.center_y);
}

TEST(CameraIntrinsicsWrite, WithoutUndistortedSizeCenterIsKept) {
  const std::string text = R"({"width": 640, "height": 480, "center_x": 319.5, "center_y": 239.25})";
  Json::Value written = ToJson(Read(text));
  EXPECT_EQ(319.5, written["center_x"].asDouble());
  EXPECT_EQ(239.25, written["center_y"].asDouble());
  EXPECT_EQ(WriteStyledJson(written), WriteStyledJson(ToJson(Read(WriteStyledJson(written)))));
}

TEST(CameraIntrinsicsWrite, OddDifferenceMovesByHalfAPixel) {
  CameraIntrinsics intrinsics = Read(R"({"width": 640, "undist_width": 641, "center_x": 320,
      "height": 480, "undist_height": 477, "center_y": 240})");
  Json::Value written = ToJson(intrinsics);
  EXPECT_EQ(319.5, written["center_x"].asDouble());
  EXPECT_EQ(241.5, written["center_y"].asDouble());
}

TEST(CameraIntrinsicsWrite, ExtremeSizesDoNotOverflow) {
  CameraIntrinsics intrinsics;
  intrinsics.width = -2147483647 - 1;
  intrinsics.undist_width = 2147483647;
  Json::Value written = ToJson(intrinsics);
  EXPECT_EQ(-2147483647.5, written["center_x"].asDouble());
}

TEST(CameraIntrinsicsWrite, EveryMemberAlwaysAndNullDistort) {
  CameraIntrinsics intrinsics;
  Json::Value written = ToJson(intrinsics);
  EXPECT_EQ(
      "{\n"
      "   \"center_x\" : 0,\n"
      "   \"center_y\" : 0,\n"
      "   \"distort\" : null,\n"
      "   \"focal_x\" : 0,\n"
      "   \"focal_y\" : 0,\n"
      "   \"height\" : 0,\n"
      "   \"interface\" : \"\",\n"
      "   \"width\" : 0\n"
      "}\n",
      WriteStyledJson(written));
}

TEST(CameraIntrinsicsWrite, DoublesKeepFullPrecision) {
  CameraIntrinsics intrinsics = Read(R"({"focal_x": 0.1, "distort": {"center_x": 0.1}})");
  Json::Value written = ToJson(intrinsics);
  EXPECT_EQ(17, JsonPrecision(written["focal_x"]));
  EXPECT_NE(std::string::npos, WriteStyledJson(written).find("\"focal_x\" : 0.10000000000000001"));
  EXPECT_EQ(0.1, written["distort"]["center_x"].asDouble());
}

TEST(CameraIntrinsicsUndistortedSize, MovesCenterByHalfTheChange) {
  CameraIntrinsics intrinsics = Read(R"({"width": 640, "height": 480, "center_x": 320,
                                         "center_y": 240})");
  intrinsics.SetUndistortedSize(700, 500);
  EXPECT_EQ(700, intrinsics.undist_width);
  EXPECT_EQ(500, intrinsics.undist_height);
  EXPECT_EQ(350.0, intrinsics.center_x);
  EXPECT_EQ(250.0, intrinsics.center_y);
  // Written back in the raw frame, nothing changed.
  Json::Value written = ToJson(intrinsics);
  EXPECT_EQ(320.0, written["center_x"].asDouble());
  EXPECT_EQ(240.0, written["center_y"].asDouble());
  // Back to the raw size.
  intrinsics.SetUndistortedSize(intrinsics.width, intrinsics.height);
  EXPECT_EQ(320.0, intrinsics.center_x);
  EXPECT_EQ(240.0, intrinsics.center_y);
  EXPECT_EQ(640, intrinsics.undist_width);
}

TEST(CameraIntrinsicsUndistortedSize, SameSizeChangesNothing) {
  CameraIntrinsics intrinsics = Read(R"({"width": 640, "height": 480, "center_x": 1,
                                         "center_y": 2})");
  intrinsics.SetUndistortedSize(640, 480);
  EXPECT_EQ(1.0, intrinsics.center_x);
  EXPECT_EQ(2.0, intrinsics.center_y);
}

TEST(CameraIntrinsicsUndistortedSize, ZeroHeightIsNotShiftedZeroWidthIs) {
  // A record that never went through a read: the vertical center is only
  // moved from a known undistorted height, the horizontal one always.
  CameraIntrinsics intrinsics;
  intrinsics.SetUndistortedSize(100, 60);
  EXPECT_EQ(50.0, intrinsics.center_x);
  EXPECT_EQ(0.0, intrinsics.center_y);
  EXPECT_EQ(100, intrinsics.undist_width);
  EXPECT_EQ(60, intrinsics.undist_height);
}
