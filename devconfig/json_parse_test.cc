// Parsing with comments, error texts, the library's exceptions, the file and
// string loaders and JsonGuard.
#include "devconfig/jsonhelpers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "corelib/src/logchannel.h"

namespace {

std::string TempPath(const std::string& name) {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  return testing::TempDir() + "jsonparse_" + info->name() + "_" + std::to_string(getpid()) + "_" +
         name;
}

std::string WriteFile(const std::string& name, const std::string& content) {
  std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

struct LogCapture {
  std::vector<std::string> texts;
  corelib::CLogListener listener{[](int, const char* text,
                                    void* context) {
                                   static_cast<std::vector<std::string>*>(context)->push_back(text);
                                 },
                                 &texts};
  LogCapture() { corelib::AddLogListener(&listener); }
};

TEST(ParseJsonText, CommentsBeforeRootAndAfterMemberValue) {
  Json::Value root;
  std::string error;
  ASSERT_TRUE(ParseJsonText("// device\n{\"a\": 1 /* one */, \"b\": [2]}", &root, &error)) << error;
  EXPECT_EQ(1, root["a"].asInt());
  EXPECT_TRUE(root.hasComment(Json::commentBefore));
  EXPECT_TRUE(root["a"].hasComment(Json::commentAfterOnSameLine));
}

TEST(ParseJsonText, AnyRoot) {
  Json::Value root;
  std::string error;
  ASSERT_TRUE(ParseJsonText("42", &root, &error));
  EXPECT_EQ(42, root.asInt());
  ASSERT_TRUE(ParseJsonText("\"text\"", &root, &error));
  EXPECT_EQ("text", root.asString());
  ASSERT_TRUE(ParseJsonText("[1]", &root, &error));
  EXPECT_TRUE(root.isArray());
}

TEST(ParseJsonText, SyntaxErrorGivesTheReadersMessages) {
  Json::Value root(5);
  std::string error;
  EXPECT_FALSE(ParseJsonText("{\"a\" 1}", &root, &error));
  EXPECT_EQ("* Line 1, Column 6\n  Missing ':' after object member name\n", error);
  EXPECT_EQ(5, root.asInt()) << "a failed parse leaves the root as it was";
  EXPECT_FALSE(ParseJsonText("", &root, &error));
  EXPECT_NE(std::string::npos, error.find("Syntax error"));
}

TEST(ParseJsonText, DeepNestingIsReportedNotThrown) {
  Json::Value root;
  std::string error;
  EXPECT_FALSE(ParseJsonText(std::string(5000, '['), &root, &error));
  EXPECT_EQ("exception thrown in JSON library", error);
  std::string nested = std::string(900, '[') + std::string(900, ']');
  EXPECT_TRUE(ParseJsonText(nested, &root, &error)) << error;
  EXPECT_FALSE(WriteStyledJson(root).empty());
}

TEST(ParseJsonText, HugeInputsDoNotCrash) {
  Json::Value root;
  std::string error;
  EXPECT_FALSE(ParseJsonText(std::string(2000000, '{'), &root, &error));
  EXPECT_FALSE(ParseJsonText("\"" + std::string(3000000, 'a'), &root, &error));
  std::string big = "[" + std::string(4000000, ' ') + "1]";
  EXPECT_TRUE(ParseJsonText(big, &root, &error));
  std::string numbers = "[";
  for (int i = 0; i < 200000; ++i)
    numbers += "123.456,";
  numbers += "0]";
  EXPECT_TRUE(ParseJsonText(numbers, &root, &error));
  EXPECT_EQ(200001u, root.size());
}

TEST(ParseJsonText, NullErrorPointerIsAllowed) {
  Json::Value root;
  EXPECT_FALSE(ParseJsonText("{", &root, nullptr));
  EXPECT_FALSE(ParseJsonText(std::string(2000, '['), &root, nullptr));
}

TEST(JsonGuard, TurnsExceptionsIntoText) {
  std::string error;
  EXPECT_TRUE(JsonGuard([] {}, &error));
  EXPECT_FALSE(JsonGuard(
      [] {
        Json::Value text("s");
        text["member"] = 1;
      },
      &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(JsonGuard([] { throw std::out_of_range("stof"); }, &error));
  EXPECT_EQ("stof", error);
  EXPECT_FALSE(JsonGuard([] { throw 7; }, nullptr));
}

TEST(LoadJsonFile, MissingEmptyValidAndBroken) {
  Json::Value root(3);
  std::string error;
  EXPECT_EQ(kJsonLoadFileMissing, LoadJsonFile(TempPath("absent.json"), &root, &error));
  EXPECT_EQ(kJsonLoadFileMissing, LoadJsonFile(testing::TempDir(), &root, &error));

  std::string empty = WriteFile("empty.json", "");
  EXPECT_EQ(kJsonLoadOk, LoadJsonFile(empty, &root, &error));
  EXPECT_EQ(3, root.asInt());

  std::string valid = WriteFile("valid.json", "/* c */ {\"k\": [1, 2]}");
  EXPECT_EQ(kJsonLoadOk, LoadJsonFile(valid, &root, &error));
  EXPECT_EQ(2, root["k"][1].asInt());

  std::string broken = WriteFile("broken.json", "{\"k\": }");
  EXPECT_EQ(kJsonLoadParseError, LoadJsonFile(broken, &root, &error));
  EXPECT_NE(std::string::npos, error.find("Line 1, Column 7"));
  for (const std::string& path : {empty, valid, broken})
    unlink(path.c_str());
}

TEST(LoadJsonFile, ParseFailureWithoutErrorOutGoesToTheLog) {
  LogCapture log;
  std::string broken = WriteFile("broken.json", "[1,");
  Json::Value root;
  std::string error;
  ParseJsonText("[1,", &root, &error);
  EXPECT_EQ(kJsonLoadParseError, LoadJsonFile(broken, &root, nullptr));
  ASSERT_EQ(1u, log.texts.size());
  // The reader's text ends in a newline of its own, and the format adds one.
  EXPECT_EQ("Parsing of JSON file \"" + broken + "\" failed: " + error + "\n", log.texts[0]);
  unlink(broken.c_str());
}

TEST(LoadJsonString, EmptyValidAndBroken) {
  LogCapture log;
  Json::Value root("keep");
  std::string error;
  EXPECT_EQ(kJsonLoadOk, LoadJsonString("", &root, &error));
  EXPECT_EQ("keep", root.asString());
  EXPECT_EQ(kJsonLoadOk, LoadJsonString("{\"a\": true}", &root, &error));
  EXPECT_TRUE(root["a"].asBool());
  EXPECT_EQ(kJsonLoadParseError, LoadJsonString("nope", &root, &error));
  EXPECT_TRUE(log.texts.empty());
  EXPECT_EQ(kJsonLoadParseError, LoadJsonString("nope", &root, nullptr));
  ASSERT_EQ(1u, log.texts.size());
  EXPECT_EQ("Parsing of JSON string \"nope\" failed: " + error + "\n", log.texts[0]);
}

}  // namespace
