// Loading documents from text and files, the load-time checks and their
// messages, and the raised revision.
#include "devconfig/configloader.h"

#include <gtest/gtest.h>

#include <string>

#include "corelib/src/pathtools.h"
#include "corelib/src/test_scratch.h"

namespace {

const std::string kHmd = R"("device_class": "hmd", "device_serial_number": "SB-1", "device": {
    "eye_target_width_in_pixels": 1440, "eye_target_height_in_pixels": 1600, "num_windows": 2,
    "first_eye": "eEYE_LEFT", "last_eye": "eEYE_RIGHT"})";

// What a load leaves in a model that held a marker: the document's serial,
// the marker, or the defaults.
enum Outcome { kLoaded, kUntouched, kReset };

void ExpectLoad(const std::string& text, Outcome outcome, const std::string& error) {
  TrackedDeviceConfig model;
  model.device_serial_number = "untouched";
  std::string got = "stale";
  EXPECT_EQ(outcome == kLoaded, LoadFromString(&model, &got, text)) << text;
  if (error == "*") {
    EXPECT_EQ(0u, got.find("* Line 1, Column")) << got;
  } else {
    EXPECT_EQ(error, got) << text;
  }
  EXPECT_EQ(outcome == kUntouched ? "untouched" : outcome == kLoaded ? "SB-1" : "", model.device_serial_number) << text;
}

TEST(LoadFromStringTest, AcceptedAndRefusedDocuments) {
  const std::string serial = R"("device_serial_number": "SB-1")";
  ExpectLoad("{" + kHmd + "}", kLoaded, "");
  ExpectLoad("// by hand\n{\"device_class\": \"controller\" /* kind */, " + serial + "}", kLoaded, "");
  for (const char* other : {R"("controller", "device": {"num_windows": 0})", R"("tracking_reference")", R"("hmdx")"})
    ExpectLoad(std::string(R"({"device_class": )") + other + ", " + serial + "}", kLoaded, "");
  ExpectLoad("{" + serial + "}", kLoaded, "");
  ExpectLoad("", kUntouched, "configuration string is empty");
  ExpectLoad(R"({"device_class": })", kUntouched, "*");
  // An HMD needs a complete "device"; the model is then reset.
  for (const char* device : {"", R"(, "device": null)",
                             R"(, "device": {"eye_target_width_in_pixels": 1, "eye_target_height_in_pixels": 1,
                                             "num_windows": 0})",
                             R"(, "device": {"eye_target_width_in_pixels": 1, "eye_target_height_in_pixels": -1,
                                             "num_windows": 1})"})
    ExpectLoad(R"({"device_class": "HMD", )" + serial + device + "}", kReset, "missing values from \"device\" section");
  const struct { const char *text, *kind; } roots[] = {
      {"[1, 2]", "an array"}, {"5", "a number"}, {"\"text\"", "a string"}, {"true", "a boolean"}, {"null", "null"}};
  for (const auto& r : roots)
    ExpectLoad(r.text, kUntouched, std::string("the document is ") + r.kind + ", not a JSON object");
  for (const std::string pid : {"zz", "", " ", "-", "+"})
    ExpectLoad(R"({"direct_mode_edid_pid": ")" + pid + "\"}", kUntouched,
               "member \"direct_mode_edid_pid\" holds \"" + pid + "\", which is not a hexadecimal product id");
}

TEST(LoadFromStringTest, MembersOfTheWrongKindAreNamed) {
  const struct { const char *json, *kind; } values[] = {
      {"5", "a number"}, {"-2.5", "a number"}, {"\"x\"", "a string"}, {"true", "a boolean"},
      {"[]", "an array"}, {"{}", "an object"}};
  // A leading [ marks the members read as arrays.
  for (const char* member : {"device", "ipd", "imu", "head", "display_mc", "display_gc", "proximity", "eye_tracking",
                             "skybeacon_config", "tracked_camera", "tracked_camera1", "second_tracked_camera",
                             "dual_extrinsics", "[display_edid", "[display_color_mult", "[tracking_to_eye_transform",
                             "[trackref_from_imu", "[trackref_from_head", "[isps", "[tracked_cameras"}) {
    const bool array = member[0] == '[';
    const std::string name = member + array;
    for (const auto& value : values) {
      if (value.json == std::string(array ? "[]" : "{}")) continue;
      ExpectLoad("{\"" + name + "\": " + value.json + "}", kUntouched,
                 "member \"" + name + "\" must be " + (array ? "an array" : "an object") + ", not " + value.kind);
    }
    ExpectLoad(R"({"device_serial_number": "SB-1", ")" + name + "\": null}", kLoaded, "");
  }
  // Inside a section: the reading had begun, so the model is reset.
  const struct { const char *members, *error; } inside[] = {
      {R"("tracking_to_eye_transform": [{}, {"distortion": 7}])",
       "member \"tracking_to_eye_transform\" element 1: \"distortion\": distortion block is not an object"},
      {R"("tracked_cameras": [{}, "camera"])", "member \"tracked_cameras\" element 1: camera is not an object"},
      {R"("tracked_camera": {"intrinsics": 3}, "tracked_camera1": {})",
       "member \"tracked_camera\": \"intrinsics\": camera intrinsics is not an object"},
      {R"("isps": [{"streams": {}}])", "member \"isps\" element 0: \"streams\" is not an array"},
  };
  for (const auto& c : inside) ExpectLoad("{" + kHmd + ", " + c.members + "}", kReset, c.error);
  // Otherwise lenient inside the sections; eyes out of range are not read.
  ExpectLoad("{" + kHmd + R"(, "tracked_cameras": [{"white_balance": 2, "extrinsics": 5}],
                            "tracking_to_eye_transform": [{}, {}, 5]})",
             kLoaded, "");
}

// Text that is not UTF-8 cannot be written back as it came: the writer
// would change it, and could give two member names the same written name.
TEST(LoadFromStringTest, TextThatIsNotUtf8IsRefused) {
  const std::string serial = R"("device_serial_number": "SB-1", )";
  const struct { const char *members, *error; } refused[] = {
      {"\"firmware_config\": {\"\x80" "a\": 1, \"\x81" "a\": 2}", "member \"firmware_config\" holds text that is not UTF-8"},
      {"\"mfg_build_info\": {\"operator\": \"J\xfcrgen\"}", "member \"mfg_build_info\" holds text that is not UTF-8"},
      {"\"model_number\": \"\xc0\xaf\"", "member \"model_number\" holds text that is not UTF-8"},
      {"\"model_number\": \"\\udc80\"", "member \"model_number\" holds text that is not UTF-8"},
      {"\"display_edid\": [\"\xed\xa0\x80\"]", "member \"display_edid\" holds text that is not UTF-8"},
      {"\"\xf4\x90\x80\x80\": 1", "a member name is not UTF-8 text"},
      // A sequence cut off by the end of the text or of a name.
      {"\"model_number\": \"ab\xe2\x82\"", "member \"model_number\" holds text that is not UTF-8"},
      {"\"firmware_config\": {\"a\xf0\x9f\x98\": 1}", "member \"firmware_config\" holds text that is not UTF-8"},
  };
  for (const auto& r : refused) ExpectLoad("{" + serial + r.members + "}", kUntouched, r.error);
  ExpectLoad("{" + serial + R"("model_number": "caf\u00e9 \ud83d\ude00", "mfg_build_info": {"\u00e9": "Ã©"}})",
             kLoaded, "");
}

TEST(LoadFromStringTest, RevisionRaisedInTheTextOnly) {
  const struct { const char *stored, *raised; } rows[] = {
      {"41", "42"}, {"0", "1"}, {"null", "1"}, {"4294967295", "0"}, {"-3", "1"}};
  for (const auto& r : rows) {
    TrackedDeviceConfig model;
    std::string error;
    ASSERT_TRUE(LoadFromString(&model, &error, std::string(R"({"revision": )") + r.stored + "}"));
    ReformatToLatest(&model);
    const std::string raised = ToJsonString(model, true);
    EXPECT_EQ(std::string("{\n   \"device_class\" : \"unknown\",\n   \"revision\" : ") + r.raised + "\n}\n", raised);
    EXPECT_EQ(raised, ToJsonString(model, true)) << "every output of a run carries the same number";
  }
  TrackedDeviceConfig model;
  model.revision = 41;
  EXPECT_NE(std::string::npos, ToJsonString(model, false).find("\"revision\" : 41,"));
  EXPECT_EQ(41u, model.revision);
}

TEST(LoadFromFileTest, FilesAndTheConfigurationDirectory) {
  corelib_test::ScratchDir dir;
  TrackedDeviceConfig a, b;
  std::string error;
  // Missing, empty, only a byte order mark, a directory: all "empty".
  for (const std::string& path :
       {dir.Sub("absent.json"), dir.Put("empty.json", ""), dir.Put("bom.json", "\xEF\xBB\xBF"), dir.path()}) {
    EXPECT_FALSE(LoadFromFile(&a, &error, path)) << path;
    EXPECT_EQ("file is empty or does not exist", error);
  }
  EXPECT_FALSE(LoadFromFile(&a, &error, dir.Put("blank.json", "  \n")));
  EXPECT_EQ(0u, error.find("* Line")) << error;
  // A byte order mark and CR LF line ends load like the plain text.
  const std::string plain = "{\n\"device_class\": \"controller\",\n\"model_number\": \"a\\rb\"\n}\n";
  std::string crlf;
  for (char c : plain) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_TRUE(LoadFromFile(&a, &error, dir.Put("plain.json", plain))) << error;
  ASSERT_TRUE(LoadFromFile(&b, &error, dir.Put("crlf.json", "\xEF\xBB\xBF" + crlf))) << error;
  EXPECT_EQ("a\rb", a.model_number);
  EXPECT_EQ(ToJsonString(a, true), ToJsonString(b, true));
  // The configuration directory form, saved with the raised revision.
  corelib::SetDriverConfigDirectory(dir.path());
  dir.MakeDirs("cfg/hmd");
  a.revision = 9;
  EXPECT_TRUE(SaveToFile(a, "unit8", true));
  EXPECT_EQ(ToJsonString(a, true), corelib_test::Slurp(dir.Sub("cfg/hmd/unit8.json")));
  EXPECT_TRUE(LoadFromFile(&b, &error, "unit8", true)) << error;
  EXPECT_EQ(10u, b.revision);
  EXPECT_FALSE(LoadFromFile(&b, &error, "unit9", true));
  EXPECT_EQ("file is empty or does not exist", error);
  corelib::SetDriverConfigDirectory("");
}

}  // namespace
