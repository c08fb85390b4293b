// The loader's refusals with their messages (more in tests/cases/files.t), and the raised revision.
#include "devconfig/configloader.h"

#include <gtest/gtest.h>

enum Outcome { kLoaded, kUntouched, kReset };  // the model keeps the serial SB-1, its marker, or the defaults

TEST(LoadFromStringTest, RefusedDocumentsAndTheirMessages) {
  const std::string hmd = R"({"device_class": "hmd", "device_serial_number": "SB-1", "device": {"num_windows": 2,
      "eye_target_width_in_pixels": 1440, "eye_target_height_in_pixels": 1600, "last_eye": "eEYE_RIGHT"})";
  const std::string sb1 = R"({"device_serial_number": "SB-1", )", utf8 = " holds text that is not UTF-8";
  const struct { std::string text; Outcome outcome; std::string error; } rows[] = {
      {hmd + "}", kLoaded, ""}, {"// by hand\n" + sb1 + "\"device_class\": \"controller\" /* kind */}", kLoaded, ""},
      {sb1 + R"("device_class": "xyz"})", kLoaded, ""}, {"", kUntouched, "configuration string is empty"},
      {std::string(5000, '['), kUntouched, "exception thrown in JSON library"},
      {"[1, 2]", kUntouched, "the document is an array, not a JSON object"},
      {R"({"isps": {}})", kUntouched, "member \"isps\" must be an array, not an object"},
      {R"({"direct_mode_edid_pid": "zz"})", kUntouched,
       "member \"direct_mode_edid_pid\" holds \"zz\", which is not a hexadecimal product id"},
      // An HMD needs a complete "device"; the model is then reset.
      {sb1 + R"("device_class": "HMD"})", kReset, "missing values from \"device\" section"},
      // Inside a section: the reading had begun, so the model is reset.
      {hmd + R"(, "tracked_cameras": [{}, "camera"]})", kReset,
       "member \"tracked_cameras\" element 1: camera is not an object"},
      {hmd + R"(, "tracking_to_eye_transform": [{}, {}, 5]})", kLoaded, ""},  // eyes out of range are not read
      // Text that is not UTF-8 would be changed by the writer.
      {sb1 + "\"model_number\": \"ab\\udc80\"}", kUntouched, "member \"model_number\"" + utf8},
      {sb1 + "\"display_edid\": [\"\xed\xa0\x80\"]}", kUntouched, "member \"display_edid\"" + utf8},
      {sb1 + "\"firmware_config\": {\"a\xf0\x9f\x98\": 1}}", kUntouched, "member \"firmware_config\"" + utf8},
      {sb1 + "\"\xf4\x90\x80\x80\": 1}", kUntouched, "a member name is not UTF-8 text"},
      {sb1 + R"("model_number": "caf\u00e9 \ud83d\ude00", "mfg_build_info": {"\u00e9": "Ã©"}})", kLoaded, ""},
  };
  for (const auto& r : rows) {
    TrackedDeviceConfig model;
    model.device_serial_number = "untouched";
    std::string error = "stale";
    EXPECT_EQ(r.outcome == kLoaded, LoadFromString(&model, &error, r.text)) << r.text;
    EXPECT_EQ(r.error, error) << r.text;
    EXPECT_EQ(r.outcome == kUntouched ? "untouched" : r.outcome == kLoaded ? "SB-1" : "", model.device_serial_number);
  }
  // The raised revision is in the text only; 2^32 - 1 wraps round to 0.
  TrackedDeviceConfig model;
  std::string error;
  ASSERT_TRUE(LoadFromString(&model, &error, R"({"revision": 4294967295, "head": {}})"));
  EXPECT_EQ("{\n   \"device_class\" : \"unknown\",\n   \"revision\" : 0\n}\n", ToJsonString(model, true));
  EXPECT_EQ(4294967295u, model.revision);
}
