// The one home of bad-input robustness in the normal build. Every committed
// fuzz input goes through its harness: the seeds (fuzz/corpus/<harness>/)
// and the inputs that once found a fault (fuzz/regressions/<harness>/). Every
// file of the public JSON test corpus (tests/data/jsontestsuite/) goes through
// the document harness as the document itself, as the value of each
// top-level member, and in place of every member of each section of the full
// example documents and the camera pair seed, so that every reader meets
// every kind of value. The corpus also checks the writer's layout against JsonCpp's StyledWriter.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "corelib/src/pathtools.h"
#include "devconfig/jsonhelpers.h"
#include "fuzz/fuzz_harnesses.h"

namespace {

using Harness = bool (*)(const uint8_t*, size_t);

std::vector<std::string> FilesIn(const std::string& directory) {
  std::vector<std::string> files;
  std::error_code missing;  // not every harness has regressions
  for (const auto& entry : std::filesystem::directory_iterator(directory, missing))
    if (entry.path().filename() != "README.md") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

bool Feed(Harness harness, const std::string& bytes) {
  return harness(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

size_t Replay(const std::string& harness, Harness run) {
  size_t count = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    for (const std::string& path : FilesIn(std::string(SB_SOURCE_DIR) + "/fuzz/" + kind + "/" + harness)) {
      EXPECT_TRUE(Feed(run, corelib::ReadTextFile(path))) << path;
      ++count;
    }
  }
  return count;
}

TEST(FuzzReplay, Document) { EXPECT_GT(Replay("document", fuzz_document::FuzzOne), 10u); }
TEST(FuzzReplay, CommandLine) { EXPECT_GT(Replay("cmdline", fuzz_cmdline::FuzzOne), 0u); }
TEST(FuzzReplay, DeviceRead) { EXPECT_GT(Replay("device_read", fuzz_device_read::FuzzOne), 0u); }
TEST(FuzzReplay, TypedValue) { EXPECT_GT(Replay("typed_value", fuzz_typed_value::FuzzOne), 0u); }

// A section with `value` in place of each of its members `depth` levels
// down; the elements of an array of objects count as the array itself.
Json::Value Flooded(const Json::Value& section, const Json::Value& value, int depth) {
  Json::Value flooded = section;
  for (Json::Value::iterator it = flooded.begin(); it != flooded.end(); ++it) {
    if (section.isArray() && it->isObject()) {
      *it = Flooded(*it, value, depth);
    } else if (depth == 1) {
      *it = value;
    } else {
      *it = Flooded(*it, value, depth - 1);
    }
  }
  return flooded;
}

// JsonCpp prints reals differently and cuts member names at a zero byte.
bool ComparableWithJsonCpp(const Json::Value& v) {
  if (v.type() == Json::realValue) return false;
  for (Json::Value::const_iterator it = v.begin(); it != v.end(); ++it)
    if ((v.isObject() && it.name().find('\0') != std::string::npos) || !ComparableWithJsonCpp(*it)) return false;
  return true;
}

TEST(CorpusTest, EveryFileThroughEveryReader) {
  std::vector<Json::Value> examples;
  // The full examples carry every member the model writes; the older camera
  // pair and its "dual_extrinsics" only the seed does.
  for (const char* name : {"examples/hmd_full.json", "examples/hmd_full_legacy.json",
                           "fuzz/corpus/document/camera_pair.json"}) {
    Json::Value example;
    std::string error;
    ASSERT_TRUE(ParseJsonText(corelib::ReadTextFile(std::string(SB_SOURCE_DIR) + "/" + name), &example, &error))
        << error;
    examples.push_back(example);
  }
  int parsed = 0, compared = 0;
  for (const char* sub : {"test_parsing", "test_transform"}) {
    for (const std::string& path : FilesIn(std::string(SB_SOURCE_DIR) + "/tests/data/jsontestsuite/" + sub)) {
      SCOPED_TRACE(path);
      const std::string text = corelib::ReadTextFile(path);
      EXPECT_TRUE(Feed(fuzz_document::FuzzOne, text));
      Json::Value doc;
      std::string error;
      if (!ParseJsonText(text, &doc, &error)) {
        EXPECT_TRUE(path.find("/y_") == std::string::npos && !error.empty());
        continue;
      }
      ++parsed;
      if (ComparableWithJsonCpp(doc)) {
        ++compared;
        std::string theirs = Json::StyledWriter().write(doc);  // margin 74, maybe several newlines
        while (theirs.size() > 1 && theirs[theirs.size() - 2] == '\n') theirs.pop_back();
        EXPECT_EQ(theirs, WriteStyledJson(doc, 74));
      }
      for (const Json::Value& example : examples) {
        for (const std::string& name : example.getMemberNames()) {
          Json::Value alone(Json::objectValue);
          alone[name] = doc;
          EXPECT_TRUE(Feed(fuzz_document::FuzzOne, WriteStyledJson(alone))) << name;
          // In a small HMD document, so that the display sections are read
          // and written too.
          for (int depth = 1; depth <= 2 && example[name].size() > 0; ++depth) {
            Json::Value flooded(Json::objectValue);
            flooded["device_class"] = example["device_class"];
            flooded["device"] = example["device"];
            flooded[name] = Flooded(example[name], doc, depth);
            EXPECT_TRUE(Feed(fuzz_document::FuzzOne, WriteStyledJson(flooded))) << name << " depth " << depth;
          }
        }
      }
    }
  }
  EXPECT_GT(parsed, 150);
  EXPECT_GT(compared, 50);
}

}  // namespace
