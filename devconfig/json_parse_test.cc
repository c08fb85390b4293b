// Parsing with comments, the reader's error texts, the library's exceptions,
// the file and string loaders and JsonGuard.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "corelib/src/logchannel.h"
#include "corelib/src/test_scratch.h"
#include "devconfig/jsonhelpers.h"

namespace {

TEST(ParseJsonText, CommentsErrorsAndDeepNesting) {
  Json::Value root;
  std::string error;
  ASSERT_TRUE(ParseJsonText("// device\n{\"a\": 1 /* one */, \"b\": [2]}", &root, &error)) << error;
  EXPECT_TRUE(root.hasComment(Json::commentBefore) && root["a"].hasComment(Json::commentAfterOnSameLine));
  ASSERT_TRUE(ParseJsonText("\"text\"", &root, &error));
  EXPECT_FALSE(ParseJsonText("{\"a\" 1}", &root, &error));
  EXPECT_EQ("* Line 1, Column 6\n  Missing ':' after object member name\n", error);
  EXPECT_EQ("text", root.asString()) << "a failed parse leaves the root as it was";
  EXPECT_FALSE(ParseJsonText("{", &root, nullptr));
  // Past the reader's depth limit JsonCpp throws; just inside it, the
  // document parses and is written without trouble.
  EXPECT_FALSE(ParseJsonText(std::string(5000, '['), &root, &error));
  EXPECT_EQ("exception thrown in JSON library", error);
  EXPECT_FALSE(ParseJsonText(std::string(2000000, '{'), &root, nullptr));
  ASSERT_TRUE(ParseJsonText(std::string(900, '[') + std::string(900, ']'), &root, &error)) << error;
  EXPECT_FALSE(WriteStyledJson(root).empty());
}

TEST(JsonGuard, TurnsExceptionsIntoText) {
  std::string error;
  EXPECT_TRUE(JsonGuard([] {}, &error));
  EXPECT_FALSE(JsonGuard([] { Json::Value("s")["member"] = 1; }, &error) || error.empty());
  EXPECT_FALSE(JsonGuard([] { throw std::out_of_range("stof"); }, &error) || error != "stof");
  EXPECT_FALSE(JsonGuard([] { throw 7; }, nullptr));
}

TEST(LoadJson, FilesAndStrings) {
  corelib_test::ScratchDir dir;
  std::vector<std::string> log;
  corelib::CLogListener listener(
      [](int, const char* text, void* context) { static_cast<std::vector<std::string>*>(context)->push_back(text); },
      &log);
  corelib::AddLogListener(&listener);
  Json::Value root(3);
  std::string error;
  EXPECT_EQ(kJsonLoadFileMissing, LoadJsonFile(dir.path(), &root, &error));
  EXPECT_EQ(kJsonLoadOk, LoadJsonFile(dir.Put("empty.json", ""), &root, &error));
  EXPECT_EQ(3, root.asInt()) << "empty input leaves the root as it was";
  EXPECT_EQ(kJsonLoadOk, LoadJsonString("/* c */ [1, 2]", &root, &error));
  EXPECT_EQ(2, root[1].asInt());
  // Without an error text the failure goes to the log (the reader's text
  // ends in a newline of its own, the format adds one).
  const std::string broken = dir.Put("broken.json", "[1,");
  EXPECT_EQ(kJsonLoadParseError, LoadJsonString("[1,", &root, &error));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(kJsonLoadParseError, LoadJsonFile(broken, &root, nullptr));
  EXPECT_EQ(kJsonLoadParseError, LoadJsonString("[1,", &root, nullptr));
  EXPECT_EQ((std::vector<std::string>{"Parsing of JSON file \"" + broken + "\" failed: " + error + "\n",
                                      "Parsing of JSON string \"[1,\" failed: " + error + "\n"}),
            log);
}

}  // namespace
