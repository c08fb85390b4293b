// The layout where the corpus comparison with JsonCpp's writer does not reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "devconfig/json_testing.h"

TEST(StyledWriter, OneLineArraysRealsAndZeroBytes) {
  // 52 digits: 2 * 53 + 52 = 158 < 160, one line; 53 digits: 161, one per
  // line; 54 elements of any kind: 3 * 54 >= 160.
  const struct { int count; const char* element; long lines; } rows[] = {
      {52, "7", 1}, {53, "7", 55}, {54, "null", 56}, {54, "[]", 56}, {2, "[1]", 4}};
  for (const auto& r : rows) {
    std::string text = "[";
    for (int i = 0; i < r.count; ++i) text += std::string(i ? "," : "") + r.element;
    const std::string written = WriteStyledJson(JsonOf(text + "]"));
    EXPECT_EQ(r.lines, std::count(written.begin(), written.end(), '\n')) << r.count << " x " << r.element;
  }
  Json::Value array = JsonOf("[\"" + std::string(151, 'x') + "\", 1]");  // 2 * 3 + 153 + 1 = 160
  EXPECT_EQ("[\n   \"" + std::string(151, 'x') + "\",\n   1\n]\n", WriteStyledJson(array));
  array[0] = std::string(150, 'x');
  EXPECT_EQ("[ \"" + std::string(150, 'x') + "\", 1 ]\n", WriteStyledJson(array));
  Json::Value reals(Json::arrayValue);
  for (float f : {0.1f, -3.5f}) reals.append(JsonFloat(f));
  for (double d : {0.1, std::nan(""), HUGE_VAL, -HUGE_VAL}) reals.append(d);
  EXPECT_EQ("[ 0.100000001, -3.5, 0.10000000000000001, null, 1e+9999, -1e+9999 ]\n", WriteStyledJson(reals));
  Json::Value zero(Json::objectValue);
  zero[std::string("a\0b", 3)] = std::string("x\0y", 3);
  EXPECT_EQ("{\n   \"a\\u0000b\" : \"x\\u0000y\"\n}\n", WriteStyledJson(zero));
}

TEST(StyledWriter, CommentsLikeJsonCppsStyledWriter) {
  for (const char* text : {"// c1\n{\"a\":1}", "{\"a\":1 // same\n, \"b\":[1,2] /* blk */\n}\n// tail\n",
                           "{\n// before a\n// second\n\"a\":1,\n/* before b */ \"b\":{\"c\":2} // after b\n}",
                           "[1, // one\n 2,\n// before 3\n 3]", "\r\n// crlf\r\n{\"a\":1 // x\r\n}",
                           "{\"a\": /* in */ [ /* first */ 1, {\"n\": null /* n */}], \"b\": {} // b\n}"}) {
    std::string theirs = Json::StyledWriter().write(JsonOf(text));  // margin 74, maybe several newlines
    while (theirs.size() > 1 && theirs[theirs.size() - 2] == '\n') theirs.pop_back();
    EXPECT_EQ(theirs, WriteStyledJson(JsonOf(text), 74)) << text;
  }
  // A line comment's trailing blanks go: the next member would land in it.
  EXPECT_EQ("{\n   \"a\" : 1, // n\n   \"b\" : 2\n}\n", WriteStyledJson(JsonOf("{\"a\": 1, // n \t\n \"b\": 2}")));
}
