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
  EXPECT_TRUE(ParseJsonText(text, &root, nullptr)) << text;
  return root;
}

std::string Written(const StereoSetup& setup) {
  Json::Value device(Json::objectValue);
  setup.ToJson(&device);
  return WriteStyledJson(device);
}

StereoSetup Read(const std::string& text) {
  StereoSetup setup;
  setup.num_windows = 9;  // a read starts from the defaults
  setup.FromJson(Parse(text));
  return setup;
}

}  // namespace

TEST(StereoSetupTest, ReadAndSparseWrite) {
  const struct {
    const char* in;
    const char* out;  // besides both eyes, "eEYE_LEFT" unless given
  } rows[] = {
      {"{}", "{}"}, {"[1, 2]", "{}"},
      {R"({"first_eye": "eeye_r", "last_eye": "EEYE_FIRST"})", R"({"first_eye": "eEYE_RIGHT"})"},
      {R"({"first_eye": "right", "last_eye": 1})", "{}"},
      {R"({"last_eye": "eNUM_EYES"})", R"({"last_eye": "eNUM_EYES"})"},
      {R"({"hidden_area_mesh": 7})", R"({"hidden_area_mesh": 1})"},
      {R"({"hidden_area_mesh": -1})", R"({"hidden_area_mesh": 1})"},
      {R"({"hidden_area_mesh": 6})", R"({"hidden_area_mesh": 6})"}, {R"({"render_target_scale": 1.4})", "{}"},
      {R"({"subpixel_shift_blue_in_pixels": [0, 0.25]})", R"({"subpixel_shift_blue_in_pixels": [0, 0.25]})"},
      {R"({"subpixel_shift_blue_in_pixels": [0, 0]})", "{}"},
      // Elements past the second are ignored; missing ones read as 0.
      {R"({"subpixel_shift_red_in_pixels": [0.5, 0.75, 9], "subpixel_shift_blue_in_pixels": [0.125]})",
       R"({"subpixel_shift_red_in_pixels": [0.5, 0.75], "subpixel_shift_blue_in_pixels": [0.125, 0]})"},
      {R"({"render_target_scale": 1.5})", R"({"render_target_scale": 1.5})"},
      {R"({"num_windows": "two", "eye_target_width_in_pixels": [1], "subpixel_shift_red_in_pixels": 3})", "{}"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.in);
    Json::Value expected = Parse(row.out);
    for (const char* eye : {"first_eye", "last_eye"}) {
      if (!expected.isMember(eye))
        expected[eye] = "eEYE_LEFT";
    }
    EXPECT_EQ(WriteStyledJson(expected), Written(Read(row.in)));
  }
}

TEST(StereoSetupTest, UnnamedValuesWriteUnknownAfterAnAssertion) {
  std::string messages;
  corelib::CAssertListener listener(
      [&](const char* text, const char* file, int, bool, bool*, void*) { messages += std::string(text) + file; },
      nullptr);
  corelib::AddAssertListener(&listener);
  StereoSetup setup;
  setup.first_eye = static_cast<Eye>(7);
  const std::string written = Written(setup);
  EXPECT_STREQ("Unknown", StereoDeviceTypeName(17));
  EXPECT_STREQ("Unknown", StereoDeviceTypeName(-1));
  corelib::RemoveAssertListener(&listener);
  EXPECT_EQ(0u, messages.find("Missing String for Eye (7)")) << messages;
  EXPECT_NE(std::string::npos, messages.find("stereo_setup.cc")) << messages;
  // "Unknown" reads back as the left eye.
  EXPECT_NE(std::string::npos, written.find("\"first_eye\" : \"Unknown\""));
  EXPECT_EQ(eEYE_LEFT, Read(written).first_eye);
}

TEST(StereoSetupTest, CompletenessNeedsAllThreeSizes) {
  StereoSetup setup;
  EXPECT_FALSE(IsValidStereoSetup(setup));
  setup.eye_target_width_in_pixels = setup.eye_target_height_in_pixels = setup.num_windows = 1;
  EXPECT_TRUE(IsValidStereoSetup(setup));
  for (int which = 0; which < 3; ++which) {
    for (int32_t bad : {0, -5}) {
      StereoSetup one = setup;
      int32_t* sizes[] = {&one.eye_target_width_in_pixels, &one.eye_target_height_in_pixels, &one.num_windows};
      *sizes[which] = bad;
      EXPECT_FALSE(IsValidStereoSetup(one)) << which << " " << bad;
    }
  }
}
