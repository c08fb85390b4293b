// Loading documents from text and files, the load-time checks and their
// messages, the raised revision and saving.
#include "devconfig/configloader.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "corelib/src/pathtools.h"
#include "corelib/src/test_scratch.h"
#include "devconfig/jsonhelpers.h"

using corelib_test::ScratchDir;
using corelib_test::Slurp;

namespace {

const char kCompleteHmd[] =
    "{\"device_class\": \"hmd\", \"device\": {\"eye_target_width_in_pixels\": 1440, "
    "\"eye_target_height_in_pixels\": 1600, \"num_windows\": 1}, \"device_serial_number\": \"SB-1\"}";

// A model with a marker that a failed load must leave in place.
TrackedDeviceConfig Marked() {
  TrackedDeviceConfig model;
  model.device_serial_number = "untouched";
  return model;
}

}  // namespace

TEST(LoadFromStringTest, LoadsACompleteHmd) {
  TrackedDeviceConfig model;
  std::string error = "stale";
  ASSERT_TRUE(LoadFromString(&model, &error, kCompleteHmd));
  EXPECT_EQ("", error);
  EXPECT_EQ("SB-1", model.device_serial_number);
  EXPECT_EQ(1440, model.stereo_setup.eye_target_width_in_pixels);
}

TEST(LoadFromStringTest, EmptyText) {
  TrackedDeviceConfig model = Marked();
  std::string error;
  EXPECT_FALSE(LoadFromString(&model, &error, ""));
  EXPECT_EQ("configuration string is empty", error);
  EXPECT_EQ("untouched", model.device_serial_number);
}

TEST(LoadFromStringTest, SyntaxErrorLeavesTheModel) {
  TrackedDeviceConfig model = Marked();
  std::string error;
  EXPECT_FALSE(LoadFromString(&model, &error, "{\"device_class\": }"));
  EXPECT_NE("", error);
  EXPECT_NE(std::string::npos, error.find("Line 1")) << error;
  EXPECT_EQ("untouched", model.device_serial_number);
}

TEST(LoadFromStringTest, CommentsAreAllowed) {
  TrackedDeviceConfig model;
  std::string error;
  EXPECT_TRUE(LoadFromString(&model, &error,
                             "// made by hand\n{\"device_class\": \"controller\" /* kind */, \"revision\": 3}"))
      << error;
  EXPECT_EQ(3u, model.revision);
}

TEST(LoadValidationTest, HmdNeedsACompleteDevice) {
  const char* incomplete[] = {
      "{\"device_class\": \"hmd\"}",
      "{\"device_class\": \"hmd\", \"device\": {\"eye_target_width_in_pixels\": 1440, "
      "\"eye_target_height_in_pixels\": 1600, \"num_windows\": 0}}",
      "{\"device_class\": \"HMD\", \"device\": {\"eye_target_width_in_pixels\": 1440, "
      "\"eye_target_height_in_pixels\": -1, \"num_windows\": 1}}",
      "{\"device_class\": \"hmd\", \"device\": null, \"device_serial_number\": \"X\"}",
  };
  for (const char* text : incomplete) {
    TrackedDeviceConfig model = Marked();
    std::string error;
    EXPECT_FALSE(LoadFromString(&model, &error, text)) << text;
    EXPECT_EQ("missing values from \"device\" section", error);
    // The model is reset, not left half-read.
    EXPECT_EQ("", model.device_serial_number);
    EXPECT_EQ(TrackedDeviceClass::HMD, model.device_class);
  }
}

TEST(LoadValidationTest, OtherClassesNeedNoDevice) {
  const char* accepted[] = {
      "{\"device_class\": \"controller\", \"device\": {\"num_windows\": 0}}",
      "{\"device_class\": \"tracking_reference\"}",
      "{\"device_class\": \"hmdx\"}",
      "{}",
  };
  for (const char* text : accepted) {
    TrackedDeviceConfig model;
    std::string error;
    EXPECT_TRUE(LoadFromString(&model, &error, text)) << text << ": " << error;
  }
}

TEST(LoadValidationTest, RootMustBeAnObject) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"[1, 2]", "the document is an array, not a JSON object"},
      {"5", "the document is a number, not a JSON object"},
      {"\"text\"", "the document is a string, not a JSON object"},
      {"true", "the document is a boolean, not a JSON object"},
      {"null", "the document is null, not a JSON object"},
  };
  for (const auto& c : cases) {
    TrackedDeviceConfig model = Marked();
    std::string error;
    EXPECT_FALSE(LoadFromString(&model, &error, c.text)) << c.text;
    EXPECT_EQ(c.error, error);
    EXPECT_EQ("untouched", model.device_serial_number);
  }
}

TEST(LoadValidationTest, SectionsOfTheWrongKindNameTheMember) {
  const char* objects[] = {"device",       "ipd",          "imu",
                           "head",         "display_mc",   "display_gc",
                           "proximity",    "eye_tracking", "skybeacon_config",
                           "tracked_camera", "tracked_camera1", "second_tracked_camera",
                           "dual_extrinsics"};
  const char* arrays[] = {"display_edid",      "display_color_mult", "tracking_to_eye_transform",
                          "trackref_from_imu", "trackref_from_head", "isps",
                          "tracked_cameras"};
  const struct {
    const char* json;
    const char* name;
  } values[] = {{"5", "a number"}, {"-2.5", "a number"}, {"\"x\"", "a string"}, {"true", "a boolean"},
                {"[]", "an array"}, {"{}", "an object"}};
  auto check = [&](const char* member, bool wantObject) {
    for (const auto& value : values) {
      const bool isObject = std::string(value.json) == "{}";
      const bool isArray = std::string(value.json) == "[]";
      if ((wantObject && isObject) || (!wantObject && isArray)) continue;
      const std::string text =
          std::string("{\"device_class\": \"controller\", \"") + member + "\": " + value.json + "}";
      TrackedDeviceConfig model = Marked();
      std::string error;
      EXPECT_FALSE(LoadFromString(&model, &error, text)) << text;
      EXPECT_EQ(std::string("member \"") + member + "\" must be " + (wantObject ? "an object" : "an array") +
                    ", not " + value.name,
                error);
      EXPECT_EQ("untouched", model.device_serial_number);
    }
    // Null reads as absent.
    TrackedDeviceConfig model;
    std::string error;
    EXPECT_TRUE(LoadFromString(&model, &error, std::string("{\"") + member + "\": null}")) << member << error;
  };
  for (const char* member : objects) check(member, true);
  for (const char* member : arrays) check(member, false);
}

TEST(LoadValidationTest, SectionMembersOfTheWrongKindInsideFailTheLoad) {
  const struct {
    const char* members;
    const char* error;
  } cases[] = {
      {"\"tracking_to_eye_transform\": [{}, {\"distortion\": 7}]",
       "member \"tracking_to_eye_transform\" element 1: \"distortion\": distortion block is not an object"},
      {"\"tracking_to_eye_transform\": [\"left\"]",
       "member \"tracking_to_eye_transform\" element 0: eye transform is not an object"},
      {"\"tracked_cameras\": [{\"intrinsics\": \"x\"}]",
       "member \"tracked_cameras\" element 0: \"intrinsics\": camera intrinsics is not an object"},
      {"\"isps\": [3]", "member \"isps\" element 0: image-processing device is not an object"},
  };
  for (const auto& c : cases) {
    const std::string text =
        "{\"device_class\": \"hmd\", \"device\": {\"eye_target_width_in_pixels\": 1440, "
        "\"eye_target_height_in_pixels\": 1600, \"num_windows\": 2, \"first_eye\": \"eEYE_LEFT\", "
        "\"last_eye\": \"eEYE_RIGHT\"}, \"device_serial_number\": \"SB-1\", " + std::string(c.members) + "}";
    TrackedDeviceConfig model = Marked();
    std::string error;
    EXPECT_FALSE(LoadFromString(&model, &error, text)) << text;
    EXPECT_EQ(c.error, error);
    // Reading had begun: the model is left at its defaults.
    EXPECT_EQ("", model.device_serial_number);
  }
  // Eyes outside the range are not read, so they cannot fail the load.
  std::string text = kCompleteHmd;
  text.insert(text.size() - 1, ", \"tracking_to_eye_transform\": [{}, 5]");
  TrackedDeviceConfig model;
  std::string error;
  EXPECT_TRUE(LoadFromString(&model, &error, text)) << error;
}

TEST(LoadValidationTest, ProductIdTextNeedsAHexDigit) {
  for (const char* pid : {"zz", "", " ", "-", "xyz", "+"}) {
    TrackedDeviceConfig model = Marked();
    std::string error;
    const std::string text = std::string("{\"device_class\": \"controller\", \"direct_mode_edid_pid\": \"") + pid + "\"}";
    EXPECT_FALSE(LoadFromString(&model, &error, text)) << text;
    EXPECT_EQ(std::string("member \"direct_mode_edid_pid\" holds \"") + pid +
                  "\", which is not a hexadecimal product id",
              error);
    EXPECT_EQ("untouched", model.device_serial_number);
  }
  for (const char* pid : {"2000", "12g", " 1f", "0x1f", "12345", "-1"}) {
    TrackedDeviceConfig model;
    std::string error;
    const std::string text = std::string("{\"direct_mode_edid_pid\": \"") + pid + "\"}";
    EXPECT_TRUE(LoadFromString(&model, &error, text)) << pid << ": " << error;
  }
}

TEST(ToJsonStringTest, RevisionRaisedInTheTextOnly) {
  const struct {
    const char* revision;
    const char* raised;
  } cases[] = {{"41", "42"}, {"0", "1"}, {"null", "1"}, {"4294967295", "0"}, {"-3", "1"}};
  for (const auto& c : cases) {
    TrackedDeviceConfig model;
    std::string error;
    ASSERT_TRUE(LoadFromString(&model, &error, std::string("{\"revision\": ") + c.revision + "}"));
    ReformatToLatest(&model);
    const std::string raised = ToJsonString(model, true);
    EXPECT_EQ(std::string("{\n   \"device_class\" : \"unknown\",\n   \"revision\" : ") + c.raised + "\n}\n", raised);
    // Every output of a run carries the same number.
    EXPECT_EQ(raised, ToJsonString(model, true));
  }
  TrackedDeviceConfig model;
  model.revision = 41;
  model.device_class = TrackedDeviceClass::Controller;
  EXPECT_EQ("{\n   \"device_class\" : \"controller\",\n   \"revision\" : 41\n}\n", ToJsonString(model, false));
  EXPECT_EQ(41u, model.revision);
}

TEST(ReformatTest, LegacyCalibrationMovesIntoImu) {
  const char* legacy =
      "{\"device_class\": \"controller\", \"gyro_bias\": [0.25, 0, 0], \"acc_bias\": [0, 0, 0], \"extra\": 1}";
  TrackedDeviceConfig model;
  std::string error;
  ASSERT_TRUE(LoadFromString(&model, &error, legacy));
  EXPECT_EQ(kFormatLegacy, model.formatVersion);

  // Kept form: the four members at the top level, the missing ones added.
  EXPECT_EQ(
      "{\n"
      "   \"acc_bias\" : [ 0, 0, 0 ],\n"
      "   \"acc_scale\" : [ 1, 1, 1 ],\n"
      "   \"device_class\" : \"controller\",\n"
      "   \"gyro_bias\" : [ 0.25, 0, 0 ],\n"
      "   \"gyro_scale\" : [ 1, 1, 1 ],\n"
      "   \"revision\" : 1\n"
      "}\n",
      ToJsonString(model, true));

  ReformatToLatest(&model);
  EXPECT_EQ(kFormatLatest, model.formatVersion);
  EXPECT_EQ(
      "{\n"
      "   \"device_class\" : \"controller\",\n"
      "   \"imu\" : {\n"
      "      \"gyro_bias\" : [ 0.25, 0, 0 ]\n"
      "   },\n"
      "   \"revision\" : 1\n"
      "}\n",
      ToJsonString(model, true));
}

TEST(LoadFromFileTest, MissingOrEmptyFile) {
  ScratchDir dir;
  TrackedDeviceConfig model = Marked();
  std::string error;
  EXPECT_FALSE(LoadFromFile(&model, &error, dir.Sub("absent.json")));
  EXPECT_EQ("file is empty or does not exist", error);
  EXPECT_FALSE(LoadFromFile(&model, &error, dir.Put("empty.json", "")));
  EXPECT_EQ("file is empty or does not exist", error);
  // Only a byte order mark is as good as empty.
  EXPECT_FALSE(LoadFromFile(&model, &error, dir.Put("bom.json", "\xEF\xBB\xBF")));
  EXPECT_EQ("file is empty or does not exist", error);
  EXPECT_FALSE(LoadFromFile(&model, &error, dir.path()));  // a directory
  EXPECT_EQ("file is empty or does not exist", error);
  EXPECT_EQ("untouched", model.device_serial_number);
}

TEST(LoadFromFileTest, WhiteSpaceFileIsASyntaxError) {
  ScratchDir dir;
  TrackedDeviceConfig model;
  std::string error;
  EXPECT_FALSE(LoadFromFile(&model, &error, dir.Put("blank.json", "  \n")));
  EXPECT_NE("", error);
  EXPECT_NE("file is empty or does not exist", error);
}

TEST(LoadFromFileTest, ByteOrderMarkAndCrLf) {
  ScratchDir dir;
  const std::string plain = "{\n\"device_class\": \"controller\",\n\"model_number\": \"a\\rb\"\n}\n";
  std::string crlf;
  for (char c : plain) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  TrackedDeviceConfig a, b, c;
  std::string error;
  ASSERT_TRUE(LoadFromFile(&a, &error, dir.Put("plain.json", plain))) << error;
  ASSERT_TRUE(LoadFromFile(&b, &error, dir.Put("crlf.json", "\xEF\xBB\xBF" + crlf))) << error;
  ASSERT_TRUE(LoadFromFile(&c, &error, dir.Put("bom.json", "\xEF\xBB\xBF" + plain))) << error;
  EXPECT_EQ("a\rb", a.model_number);
  EXPECT_EQ(ToJsonString(a, true), ToJsonString(b, true));
  EXPECT_EQ(ToJsonString(a, true), ToJsonString(c, true));
}

TEST(LoadFromFileTest, ConfigurationDirectoryForm) {
  ScratchDir dir;
  corelib::SetDriverConfigDirectory(dir.path());
  dir.MakeDirs("cfg/hmd");
  dir.Put("cfg/hmd/unit7.json", kCompleteHmd);
  TrackedDeviceConfig model;
  std::string error;
  EXPECT_TRUE(LoadFromFile(&model, &error, "unit7", true)) << error;
  EXPECT_EQ("SB-1", model.device_serial_number);
  EXPECT_FALSE(LoadFromFile(&model, &error, "unit8", true));
  EXPECT_EQ("file is empty or does not exist", error);

  model.revision = 9;
  EXPECT_TRUE(SaveToFile(model, "unit8", true));
  EXPECT_EQ(ToJsonString(model, true), Slurp(dir.Sub("cfg/hmd/unit8.json")));
  TrackedDeviceConfig reread;
  EXPECT_TRUE(LoadFromFile(&reread, &error, "unit8", true)) << error;
  EXPECT_EQ(10u, reread.revision);
  corelib::SetDriverConfigDirectory("");
}

TEST(SaveToFileTest, WritesTheRaisedText) {
  ScratchDir dir;
  TrackedDeviceConfig model;
  std::string error;
  ASSERT_TRUE(LoadFromString(&model, &error, "{\"device_class\": \"controller\", \"revision\": 41}"));
  ReformatToLatest(&model);
  const std::string path = dir.Put("out.json", "old contents that are longer than the new document text\n");
  ASSERT_TRUE(SaveToFile(model, path));
  EXPECT_EQ("{\n   \"device_class\" : \"controller\",\n   \"revision\" : 42\n}\n", Slurp(path));
  TrackedDeviceConfig reread;
  ASSERT_TRUE(LoadFromFile(&reread, &error, path)) << error;
  EXPECT_EQ(42u, reread.revision);
}

TEST(SaveToFileTest, FailureKeepsTheOldFile) {
  ScratchDir dir;
  TrackedDeviceConfig model;
  const std::string path = dir.Put("out.json", "previous\n");
  std::string error;
  {
    // Writes beyond 16 bytes fail as on a full disk.
    corelib_test::ScopedFileSizeLimit limit(16);
    EXPECT_FALSE(SaveToFile(model, path, false, &error));
  }
  EXPECT_NE("", error);
  EXPECT_EQ("previous\n", Slurp(path));
  // No temporary file is left behind.
  std::vector<std::string> names;
  DIR* listing = opendir(dir.path().c_str());
  ASSERT_NE(nullptr, listing);
  while (dirent* entry = readdir(listing)) {
    if (entry->d_name[0] != '.') names.push_back(entry->d_name);
  }
  closedir(listing);
  EXPECT_EQ(std::vector<std::string>{"out.json"}, names);
}

TEST(SaveToFileTest, MissingDirectoryFails) {
  ScratchDir dir;
  EXPECT_FALSE(SaveToFile(TrackedDeviceConfig(), dir.Sub("no/such/dir/out.json")));
}

// Every file of the public parser corpus: answered with true or false,
// never a crash, and whatever loads writes and loads again.
TEST(LoadCorpusTest, EveryFileIsAnswered) {
  int files = 0;
  for (const char* sub : {"/jsontestsuite/test_parsing", "/jsontestsuite/test_transform"}) {
    const std::string directory = std::string(SB_CORPUS_DIR) + sub;
    DIR* listing = opendir(directory.c_str());
    if (listing == nullptr) continue;
    while (dirent* entry = readdir(listing)) {
      if (entry->d_name[0] == '.') continue;
      const std::string path = directory + "/" + entry->d_name;
      TrackedDeviceConfig model;
      std::string error;
      ++files;
      if (!LoadFromFile(&model, &error, path)) {
        EXPECT_NE("", error) << path;
        continue;
      }
      TrackedDeviceConfig again;
      EXPECT_TRUE(LoadFromString(&again, &error, ToJsonString(model, true))) << path << ": " << error;
    }
    closedir(listing);
  }
  EXPECT_GT(files, 300);
}
