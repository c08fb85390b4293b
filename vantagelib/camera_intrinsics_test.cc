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

TEST(CameraIntrinsicsRead, MembersAndUndistortedSizeDefault) {
  CameraIntrinsics in = Read(R"({"interface": "usb2", "width": 640, "height": 480,
      "undist_height": 520, "focal_x": 300.5, "center_x": 350, "focal_y": 301.25,
      "center_y": 260, "distort": {"type": "DISTORT_FTHETA", "coeffs": [0.5]}})");
  EXPECT_EQ("usb2", in.interface);
  EXPECT_EQ(640, in.width);
  EXPECT_EQ(480, in.height);
  EXPECT_EQ(640, in.undist_width);  // zero takes the raw size
  EXPECT_EQ(520, in.undist_height);
  EXPECT_EQ(300.5, in.focal_x);
  EXPECT_EQ(350.0, in.center_x);  // not moved by the read
  EXPECT_EQ(301.25, in.focal_y);
  EXPECT_EQ(260.0, in.center_y);
  EXPECT_EQ(DISTORT_FTHETA, in.distort.type);
  EXPECT_EQ(0.5, in.distort.coeffs[0]);

  // Absent: everything zero, the default distortion block.
  in.distort.clampToR2max = false;
  EXPECT_TRUE(FromJson(Json::Value(), &in, nullptr));
  EXPECT_EQ("", in.interface);
  EXPECT_EQ(0, in.undist_width);
  EXPECT_EQ(0.0, in.center_x);
  EXPECT_EQ(DISTORT_NONE, in.distort.type);
  EXPECT_TRUE(in.distort.clampToR2max);
}

TEST(CameraIntrinsicsRead, WrongContainerKindsAreReported) {
  CameraIntrinsics in;
  std::string error;
  EXPECT_FALSE(FromJson(Json::Value("640x480"), &in, &error));
  EXPECT_EQ("camera intrinsics is not an object", error);
  error.clear();
  EXPECT_FALSE(FromJson(Parse(R"({"width": 8, "distort": 1})"), &in, &error));
  EXPECT_EQ("\"distort\": distortion block is not an object", error);
  EXPECT_EQ(8, in.width);
}

TEST(CameraIntrinsicsWrite, CenterMovesIntoRawFrame) {
  Json::Value written = ToJson(Read(R"({"width": 640, "undist_width": 700, "center_x": 350,
      "height": 480, "undist_height": 400, "center_y": 200})"));
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

  // Without undistorted sizes the center goes through unchanged.
  const std::string text = R"({"width": 640, "height": 480, "center_x": 319.5, "center_y": 239.25})";
  written = ToJson(Read(text));
  EXPECT_EQ(319.5, written["center_x"].asDouble());
  EXPECT_EQ(239.25, written["center_y"].asDouble());
}

TEST(CameraIntrinsicsWrite, OddAndExtremeDifferences) {
  // Half a pixel for an odd difference, and no 32-bit overflow.
  Json::Value written = ToJson(Read(R"({"width": 640, "undist_width": 641, "center_x": 320,
      "height": 480, "undist_height": 477, "center_y": 240})"));
  EXPECT_EQ(319.5, written["center_x"].asDouble());
  EXPECT_EQ(241.5, written["center_y"].asDouble());
  CameraIntrinsics in;
  in.width = -2147483647 - 1;
  in.undist_width = 2147483647;
  EXPECT_EQ(-2147483647.5, ToJson(in)["center_x"].asDouble());
}

TEST(CameraIntrinsicsWrite, EveryMemberAlwaysAndNullDistort) {
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
      WriteStyledJson(ToJson(CameraIntrinsics())));
  Json::Value written = ToJson(Read(R"({"focal_x": 0.1, "distort": {"center_x": 0.1}})"));
  EXPECT_NE(std::string::npos, WriteStyledJson(written).find("\"focal_x\" : 0.10000000000000001"));
  EXPECT_EQ(0.1, written["distort"]["center_x"].asDouble());
}

TEST(CameraIntrinsicsUndistortedSize, MovesCenterByHalfTheChange) {
  CameraIntrinsics in = Read(R"({"width": 640, "height": 480, "center_x": 320, "center_y": 240})");
  in.SetUndistortedSize(640, 480);
  EXPECT_EQ(320.0, in.center_x);
  in.SetUndistortedSize(700, 500);
  EXPECT_EQ(700, in.undist_width);
  EXPECT_EQ(500, in.undist_height);
  EXPECT_EQ(350.0, in.center_x);
  EXPECT_EQ(250.0, in.center_y);
  Json::Value written = ToJson(in);  // the raw frame is unchanged
  EXPECT_EQ(320.0, written["center_x"].asDouble());
  EXPECT_EQ(240.0, written["center_y"].asDouble());
  in.SetUndistortedSize(in.width, in.height);
  EXPECT_EQ(320.0, in.center_x);
  EXPECT_EQ(240.0, in.center_y);
  EXPECT_EQ(640, in.undist_width);
}

TEST(CameraIntrinsicsUndistortedSize, ZeroHeightIsNotShiftedZeroWidthIs) {
  // A record that never went through a read: the vertical center only moves
  // from a known undistorted height, the horizontal one always.
  CameraIntrinsics in;
  in.SetUndistortedSize(100, 60);
  EXPECT_EQ(50.0, in.center_x);
  EXPECT_EQ(0.0, in.center_y);
  EXPECT_EQ(60, in.undist_height);
}
