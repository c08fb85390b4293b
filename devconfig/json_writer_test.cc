// The styled layout: worked examples byte for byte, the one-line array rule,
// real precision and comments. String escaping is compared with JsonCpp's
// over the corpus (corpus_test.cc).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "devconfig/json_testing.h"

namespace {

TEST(StyledWriter, ObjectLayout) {
  Json::Value root(Json::objectValue);
  root["b"] = 1;
  root["a"] = Json::Value(Json::arrayValue);
  EXPECT_EQ("{\n   \"a\" : [],\n   \"b\" : 1\n}\n", WriteStyledJson(root));
  // Members in byte order; names keep their zero bytes.
  EXPECT_EQ("{\n   \"B\" : 2,\n   \"_\" : 4,\n   \"a\" : 3,\n   \"aa\" : 6,\n   \"b\" : 1,\n   \"\\u00e9\" : 5\n}\n",
            WriteStyledJson(JsonOf(R"({"b": 1, "B": 2, "a": 3, "_": 4, "\u00e9": 5, "aa": 6})")));
  Json::Value zero(Json::objectValue);
  zero[std::string("a\0b", 3)] = std::string("x\0y", 3);
  EXPECT_EQ("{\n   \"a\\u0000b\" : \"x\\u0000y\"\n}\n", WriteStyledJson(zero));
  EXPECT_EQ(zero, JsonOf(WriteStyledJson(zero)));
}

// An array filled by index holds only the elements set; the ones skipped
// read as null and are written as null, on one line or on several.
TEST(StyledWriter, ArrayWithGapsWritesNullForTheMissingElements) {
  Json::Value gapped(Json::arrayValue);
  gapped[2] = 7;
  EXPECT_EQ("[ null, null, 7 ]\n", WriteStyledJson(gapped));
  gapped[4][0] = 1;
  EXPECT_EQ("[\n   null,\n   null,\n   7,\n   null,\n   [ 1 ]\n]\n", WriteStyledJson(gapped));
}

// Root members written from elsewhere: the placeholder fixes the place, the
// stand-in gives the value and its comments; deeper members of the same
// name and other roots are untouched.
TEST(StyledWriter, RootMembersWrittenFromStandIns) {
  Json::Value block = JsonOf("{\"x\": 1.5, \"inner\": {\"block\": 2}}");
  block.setComment(std::string("// from elsewhere"), Json::commentBefore);
  Json::Value root = JsonOf("{\"a\": 1, \"block\": null, \"nested\": {\"block\": 3}}");
  Json::Value full = root;
  full["block"] = block;
  const std::vector<JsonMemberRef> stands = {{"block", &block}, {"absent", &block}};
  EXPECT_EQ(WriteStyledJson(full), WriteStyledJson(root, stands));
  EXPECT_NE(std::string::npos, WriteStyledJson(root, stands).find("// from elsewhere"));
  EXPECT_EQ(WriteStyledJson(root), WriteStyledJson(root, {}));
  const Json::Value array = JsonOf("[{\"block\": null}]");
  EXPECT_EQ(WriteStyledJson(array), WriteStyledJson(array, stands));
}

TEST(StyledWriter, OneLineArrayRule) {
  EXPECT_EQ("[ 1, 2, 3 ]\n", WriteStyledJson(JsonOf("[1, 2, 3]")));
  EXPECT_EQ("[ null, true, -12, 18446744073709551615, -9223372036854775808, {}, [], \"x\" ]\n",
            WriteStyledJson(JsonOf("[null, true, -12, 18446744073709551615, -9223372036854775808, {}, [], \"x\"]")));
  // 52 digits: 2 * 53 + 52 = 158 < 160, one line; 53 digits: 161, one per
  // line; 54 elements of any kind: 3 * 54 >= 160.
  const struct { int count; const char* element; long lines; } rows[] = {
      {52, "7", 1}, {53, "7", 55}, {54, "null", 56}, {54, "[]", 56}, {60, "1", 62}};
  for (const auto& r : rows) {
    std::string text = "[";
    for (int i = 0; i < r.count; ++i) text += std::string(i ? "," : "") + r.element;
    const std::string written = WriteStyledJson(JsonOf(text + "]"));
    EXPECT_EQ(r.lines, std::count(written.begin(), written.end(), '\n')) << r.count << " x " << r.element;
    EXPECT_EQ(r.lines == 1 ? 1u : 0u, written.find(r.lines == 1 ? " 7, 7" : "[\n   ")) << r.count;
  }
  // Element texts count too: 2 * 3 + 153 + 1 = 160 breaks, one less does not.
  Json::Value array(Json::arrayValue);
  array.append(std::string(151, 'x'));
  array.append(1);
  EXPECT_EQ("[\n   \"" + std::string(151, 'x') + "\",\n   1\n]\n", WriteStyledJson(array));
  array[0] = std::string(150, 'x');
  EXPECT_EQ("[ \"" + std::string(150, 'x') + "\", 1 ]\n", WriteStyledJson(array));
}

TEST(StyledWriter, RealsAtTheirOwnPrecision) {
  Json::Value floats(Json::arrayValue), others(Json::arrayValue);
  for (float f : {0.1f, 2.0f, -3.5f}) floats.append(JsonFloat(f));
  for (double d : {0.1, std::nan(""), HUGE_VAL, -HUGE_VAL}) others.append(d);
  EXPECT_EQ("[ 0.100000001, 2, -3.5 ]\n", WriteStyledJson(floats));
  EXPECT_EQ("[ 0.10000000000000001, null, 1e+9999, -1e+9999 ]\n", WriteStyledJson(others));
  EXPECT_EQ("0.10000000000000001\n", WriteStyledJson(JsonOf("0.1")));
  EXPECT_EQ("-0", FormatJsonReal(-0.0, 17));
  EXPECT_EQ("1e+20", FormatJsonReal(1e20, 17));
  EXPECT_EQ("2", FormatJsonReal(1.5, 0));
  // The longest text at the highest precision fits whole.
  char expected[128];
  snprintf(expected, sizeof(expected), "%.31g", -2.2250738585072011e-308);
  EXPECT_EQ(expected, FormatJsonReal(-2.2250738585072011e-308, 31));
}

TEST(StyledWriter, CommentsLikeJsonCppsStyledWriter) {
  for (const char* text : {"// c1\n{\"a\":1}", "{\"a\":1 // same\n, \"b\":[1,2] /* blk */\n}\n// tail\n",
                           "{\n// before a\n// second\n\"a\":1,\n/* before b */ \"b\":{\"c\":2} // after b\n}",
                           "[1, // one\n 2,\n// before 3\n 3]", "{\"a\":1}\n/* t1 */\n/* t2 */",
                           "\r\n// crlf\r\n{\"a\":1 // x\r\n}",
                           "{\"a\": /* in */ [ /* first */ 1, {\"n\": null /* n */}], \"b\": {} // b\n}",
                           "/* multi\n   line */\n[\"x\", /* y\nz */ \"y\"]"}) {
    // JsonCpp's margin is 74, and it may end in several newlines.
    std::string theirs = Json::StyledWriter().write(JsonOf(text));
    while (theirs.size() > 1 && theirs[theirs.size() - 2] == '\n') theirs.pop_back();
    EXPECT_EQ(theirs, WriteStyledJson(JsonOf(text), 74)) << text;
  }
  // Ours ends in exactly one newline, and a line comment's trailing blanks
  // are dropped so that the next member stays out of it.
  EXPECT_EQ("{\n   \"a\" : 1\n}\n// tail\n", WriteStyledJson(JsonOf("{\"a\": 1}\n// tail\n")));
  EXPECT_EQ("[ 1 ] // same\n", WriteStyledJson(JsonOf("[1] // same")));
  EXPECT_EQ("{\n   \"a\" : 1, // note\n   \"b\" : 2\n}\n",
            WriteStyledJson(JsonOf("{\"a\": 1, // note  \t\n \"b\": 2}")));
}

}  // namespace
