// Every file of the public JSON test corpus goes through the parser and, when
// it parses, through the writer and back. Where JsonCpp's own styled writer
// applies (no reals), the layout matches it at its margin of 74.
#include "devconfig/jsonhelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  for (const char* sub : {"jsontestsuite/test_parsing", "jsontestsuite/test_transform"}) {
    fs::path dir = fs::path(SB_CORPUS_DIR) / sub;
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
      continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, ec))
      if (entry.is_regular_file())
        files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Reals print differently in JsonCpp (always a point), and it cuts member
// names at a zero byte; such documents are left out of the comparison.
bool ComparableWithJsonCpp(const Json::Value& v) {
  if (v.type() == Json::realValue)
    return false;
  if (v.isObject()) {
    for (Json::Value::const_iterator it = v.begin(); it != v.end(); ++it) {
      if (it.name().find('\0') != std::string::npos || !ComparableWithJsonCpp(*it))
        return false;
    }
  }
  if (v.isArray()) {
    for (const Json::Value& child : v)
      if (!ComparableWithJsonCpp(child))
        return false;
  }
  return true;
}

std::string JsonCppStyled(const Json::Value& root) {
  Json::StyledWriter writer;
  std::string text = writer.write(root);
  while (text.size() > 1 && text[text.size() - 2] == '\n')
    text.pop_back();
  return text;
}

TEST(JsonCorpus, EveryFileParsesOrFailsCleanly) {
  std::vector<fs::path> files = CorpusFiles();
  if (files.empty())
    GTEST_SKIP() << "corpus not found under " << SB_CORPUS_DIR;
  int parsed = 0, rejected = 0, compared = 0;
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    std::string text = ReadAll(path);
    Json::Value root;
    std::string error;
    if (!ParseJsonText(text, &root, &error)) {
      EXPECT_FALSE(error.empty());
      ++rejected;
      continue;
    }
    ++parsed;
    std::string written = WriteStyledJson(root);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ('\n', written.back());
    EXPECT_TRUE(written.size() < 2 || written[written.size() - 2] != '\n');
    Json::Value again;
    ASSERT_TRUE(ParseJsonText(written, &again, &error)) << error << "\n" << written;
    EXPECT_EQ(written, WriteStyledJson(again));
    if (ComparableWithJsonCpp(root)) {
      ++compared;
      EXPECT_EQ(JsonCppStyled(root), WriteStyledJson(root, 74));
    }
  }
  RecordProperty("parsed", parsed);
  RecordProperty("rejected", rejected);
  RecordProperty("compared", compared);
  EXPECT_GT(parsed, 80);
  EXPECT_GT(rejected, 100);
  EXPECT_GT(compared, 50);
}

TEST(JsonCorpus, AcceptedFilesMustBeParsed) {
  std::vector<fs::path> files = CorpusFiles();
  if (files.empty())
    GTEST_SKIP() << "corpus not found under " << SB_CORPUS_DIR;
  for (const fs::path& path : files) {
    std::string name = path.filename().string();
    if (name.rfind("y_", 0) != 0)
      continue;
    Json::Value root;
    std::string error;
    EXPECT_TRUE(ParseJsonText(ReadAll(path), &root, &error)) << name << ": " << error;
  }
}

TEST(JsonCppParity, CommentLayoutMatchesTheStyledWriter) {
  const char* documents[] = {
      "// c1\n{\"a\":1}",
      "{\"a\":1 // same\n, \"b\":[1,2] /* blk */\n}\n// tail\n",
      "{\n// before a\n// second\n\"a\":1,\n/* before b */ \"b\":{\"c\":2} // after b\n}",
      "[1, // one\n 2,\n// before 3\n 3]",
      "[ // x\n 1 ]",
      "{\"a\":[1,2,3] // hi\n}",
      "{\"a\":1}\n/* t1 */\n/* t2 */",
      "{\"a\":1\n// after a\n}",
      "\r\n// crlf\r\n{\"a\":1 // x\r\n}",
      "{\"a\": /* in */ [ /* first */ 1, {\"n\": null /* n */}], \"b\": {} // b\n}",
      "/* multi\n   line */\n[\"x\", /* y\nz */ \"y\"]",
  };
  for (const char* text : documents) {
    Json::Value root;
    std::string error;
    ASSERT_TRUE(ParseJsonText(text, &root, &error)) << text << "\n" << error;
    EXPECT_EQ(JsonCppStyled(root), WriteStyledJson(root, 74)) << text;
  }
}

}  // namespace
