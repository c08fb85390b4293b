// The "device" object: defaults, eye names, sparse writing, completeness.
#include "vantagelib/stereo_setup.h"

#include <gtest/gtest.h>

#include <string>

#include "corelib/src/logchannel.h"
#include "devconfig/jsonhelpers.h"

using namespace vantage;

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

std::string Written(const StereoSetup& setup) {
  Json::Value device(Json::objectValue);
  setup.ToJson(&device);
  return WriteStyledJson(device);
}

StereoSetup Read(const std::string& text) {
  StereoSetup setup;
  setup.FromJson(Parse(text));
  return setup;
}

}  // namespace

TEST(StereoSetupTest, EmptyObjectReadsAsDefaults) {
  const StereoSetup setup = Read("{}");
  EXPECT_EQ(0, setup.eye_target_width_in_pixels);
  EXPECT_EQ(0, setup.eye_target_height_in_pixels);
  EXPECT_EQ(0, setup.num_windows);
  EXPECT_EQ(eEYE_LEFT, setup.first_eye);
  EXPECT_EQ(eEYE_LEFT, setup.last_eye);
  EXPECT_EQ(0.0f, setup.subpixel_shift_red_in_pixels[0]);
  EXPECT_EQ(0.0f, setup.subpixel_shift_blue_in_pixels[1]);
  EXPECT_EQ(0u, setup.hidden_area_mesh);
  EXPECT_EQ(1.4f, setup.render_target_scale);
  EXPECT_EQ("{\n   \"first_eye\" : \"eEYE_LEFT\",\n   \"last_eye\" : \"eEYE_LEFT\"\n}\n", Written(setup));
}

TEST(StereoSetupTest, FullObjectRoundTrips) {
  const std::string text =
      "{\n"
      "   \"eye_target_height_in_pixels\" : 2000,\n"
      "   \"eye_target_width_in_pixels\" : 1800,\n"
      "   \"first_eye\" : \"eEYE_LEFT\",\n"
      "   \"hidden_area_mesh\" : 3,\n"
      "   \"last_eye\" : \"eEYE_RIGHT\",\n"
      "   \"num_windows\" : 2,\n"
      "   \"render_target_scale\" : 1.5,\n"
      "   \"subpixel_shift_blue_in_pixels\" : [ 0, 0.25 ],\n"
      "   \"subpixel_shift_red_in_pixels\" : [ -0.5, 0 ]\n"
      "}\n";
  const StereoSetup setup = Read(text);
  EXPECT_EQ(1800, setup.eye_target_width_in_pixels);
  EXPECT_EQ(eEYE_RIGHT, setup.last_eye);
  EXPECT_EQ(0.25f, setup.subpixel_shift_blue_in_pixels[1]);
  EXPECT_EQ(text, Written(setup));
}

TEST(StereoSetupTest, EyeNamesIgnoreCaseAndShareValues) {
  EXPECT_EQ(eEYE_RIGHT, Read("{\"first_eye\": \"eeye_r\"}").first_eye);
  EXPECT_EQ(eEYE_LEFT, Read("{\"first_eye\": \"EEYE_FIRST\"}").first_eye);
  EXPECT_EQ(eNUM_EYES, Read("{\"last_eye\": \"eNUM_EYES\"}").last_eye);
  EXPECT_EQ(eEYE_LEFT, Read("{\"first_eye\": \"right\"}").first_eye);
  EXPECT_EQ(eEYE_LEFT, Read("{\"first_eye\": 1}").first_eye);

  StereoSetup setup = Read("{\"first_eye\": \"eeye_r\", \"last_eye\": \"eEYE_FIRST\"}");
  const Json::Value written = Parse(Written(setup));
  EXPECT_EQ("eEYE_RIGHT", written["first_eye"].asString());
  EXPECT_EQ("eEYE_LEFT", written["last_eye"].asString());
}

TEST(StereoSetupTest, UnnamedEyeWritesUnknownAfterAnAssertion) {
  std::string message;
  corelib::CAssertListener listener(
      [&](const char* text, const char*, int, bool, bool*, void*) { message = text; }, nullptr);
  corelib::AddAssertListener(&listener);
  EXPECT_STREQ("Unknown", EyeName(7));
  corelib::RemoveAssertListener(&listener);
  EXPECT_EQ("Missing String for Eye (7)", message);
  EXPECT_STREQ("eEYE_LEFT", EyeName(0));
  EXPECT_STREQ("eEYE_RIGHT", EyeName(1));
  EXPECT_STREQ("eNUM_EYES", EyeName(2));

  // Reading the written "Unknown" back gives the left eye.
  StereoSetup setup;
  setup.first_eye = static_cast<Eye>(-3);
  EXPECT_EQ(eEYE_LEFT, Read(Written(setup)).first_eye);
}

TEST(StereoSetupTest, HiddenAreaMeshOutOfRangeBecomesOne) {
  EXPECT_EQ(1u, Read("{\"hidden_area_mesh\": 9}").hidden_area_mesh);
  EXPECT_EQ(1u, Read("{\"hidden_area_mesh\": 7}").hidden_area_mesh);
  EXPECT_EQ(1u, Read("{\"hidden_area_mesh\": -1}").hidden_area_mesh);
  EXPECT_EQ(6u, Read("{\"hidden_area_mesh\": 6}").hidden_area_mesh);
  EXPECT_EQ(0u, Read("{\"hidden_area_mesh\": 0}").hidden_area_mesh);
  // Unconvertible values read as the default.
  EXPECT_EQ(0u, Read("{\"hidden_area_mesh\": \"3\"}").hidden_area_mesh);
}

TEST(StereoSetupTest, ShiftsWrittenOnlyWhenNotZero) {
  EXPECT_EQ("{\n   \"first_eye\" : \"eEYE_LEFT\",\n   \"last_eye\" : \"eEYE_LEFT\",\n"
            "   \"subpixel_shift_blue_in_pixels\" : [ 0, 0.25 ]\n}\n",
            Written(Read("{\"subpixel_shift_blue_in_pixels\": [0, 0.25]}")));
  EXPECT_EQ(Written(StereoSetup()), Written(Read("{\"subpixel_shift_blue_in_pixels\": [0, 0]}")));
  // Only elements 0 and 1 count; a short array reads the rest as 0.
  const StereoSetup setup = Read("{\"subpixel_shift_red_in_pixels\": [0.5, 0.75, 9], "
                                 "\"subpixel_shift_blue_in_pixels\": [0.125]}");
  EXPECT_EQ(0.75f, setup.subpixel_shift_red_in_pixels[1]);
  EXPECT_EQ(0.125f, setup.subpixel_shift_blue_in_pixels[0]);
  EXPECT_EQ(0.0f, setup.subpixel_shift_blue_in_pixels[1]);
}

TEST(StereoSetupTest, RenderTargetScaleWrittenWhenNotDefault) {
  EXPECT_FALSE(Parse(Written(Read("{\"render_target_scale\": 1.4}"))).isMember("render_target_scale"));
  const Json::Value written = Parse(Written(Read("{\"render_target_scale\": 1.5}")));
  EXPECT_EQ(1.5, written["render_target_scale"].asDouble());
}

TEST(StereoSetupTest, WrongKindsReadAsDefaults) {
  const StereoSetup setup = Read("{\"num_windows\": \"two\", \"eye_target_width_in_pixels\": [1], "
                                 "\"subpixel_shift_red_in_pixels\": 3, \"render_target_scale\": null}");
  EXPECT_EQ(0, setup.num_windows);
  EXPECT_EQ(0, setup.eye_target_width_in_pixels);
  EXPECT_EQ(0.0f, setup.subpixel_shift_red_in_pixels[0]);
  EXPECT_EQ(0.0f, setup.render_target_scale);  // null converts to 0, as every read does
  // A value that is not an object reads as empty.
  EXPECT_EQ(Written(StereoSetup()), Written(Read("[1, 2]")));
}

TEST(StereoSetupTest, CompletenessNeedsAllThreeSizes) {
  StereoSetup setup;
  setup.eye_target_width_in_pixels = 1;
  setup.eye_target_height_in_pixels = 1;
  setup.num_windows = 1;
  EXPECT_TRUE(IsValidStereoSetup(setup));
  setup.num_windows = 0;
  EXPECT_FALSE(IsValidStereoSetup(setup));
  setup.num_windows = 1;
  setup.eye_target_height_in_pixels = -5;
  EXPECT_FALSE(IsValidStereoSetup(setup));
  setup.eye_target_height_in_pixels = 1;
  setup.eye_target_width_in_pixels = 0;
  EXPECT_FALSE(IsValidStereoSetup(setup));
  EXPECT_FALSE(IsValidStereoSetup(StereoSetup()));
}

TEST(StereoSetupTest, DeviceTypeNames) {
  EXPECT_EQ(STEREO_DEV_TEST, StereoDeviceTypeFromName("stereo_dev_test"));
  EXPECT_EQ(STEREO_DEV_UNKNOWN, StereoDeviceTypeFromName("nothing"));
  EXPECT_STREQ("STEREO_DEV_TEST", StereoDeviceTypeName(15));
  EXPECT_STREQ("STEREO_DEV_NUM", StereoDeviceTypeName(16));
  EXPECT_STREQ("Unknown", StereoDeviceTypeName(17));
  EXPECT_STREQ("Unknown", StereoDeviceTypeName(-1));
}
