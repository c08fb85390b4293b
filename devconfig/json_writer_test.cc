// The styled layout: worked examples byte for byte, the one-line array rule,
// real precision, string escaping and comments.
#include "devconfig/jsonhelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

Json::Value Digits(int count) {
  Json::Value array(Json::arrayValue);
  for (int i = 0; i < count; ++i)
    array.append(i % 10);
  return array;
}

TEST(StyledWriter, FiveLineObject) {
  Json::Value root(Json::objectValue);
  root["b"] = 1;
  root["a"] = Json::Value(Json::arrayValue);
  EXPECT_EQ("{\n   \"a\" : [],\n   \"b\" : 1\n}\n", WriteStyledJson(root));
}

TEST(StyledWriter, Scalars) {
  EXPECT_EQ("null\n", WriteStyledJson(Json::Value()));
  EXPECT_EQ("true\n", WriteStyledJson(Json::Value(true)));
  EXPECT_EQ("-12\n", WriteStyledJson(Json::Value(-12)));
  EXPECT_EQ("18446744073709551615\n", WriteStyledJson(Json::Value(Json::UInt64(-1))));
  EXPECT_EQ("-9223372036854775808\n", WriteStyledJson(Parse("-9223372036854775808")));
  EXPECT_EQ("{}\n", WriteStyledJson(Json::Value(Json::objectValue)));
  EXPECT_EQ("[]\n", WriteStyledJson(Json::Value(Json::arrayValue)));
  EXPECT_EQ("\"x\"\n", WriteStyledJson(Json::Value("x")));
}

TEST(StyledWriter, ShortArrayOnOneLine) {
  EXPECT_EQ("[ 1, 2, 3 ]\n", WriteStyledJson(Parse("[1, 2, 3]")));
  EXPECT_EQ("[ [], {}, null, \"a\" ]\n", WriteStyledJson(Parse("[[], {}, null, \"a\"]")));
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
  Json::Value block = Parse("{\"x\": 1.5, \"inner\": {\"block\": 2}}");
  block.setComment(std::string("// from elsewhere"), Json::commentBefore);
  Json::Value root = Parse("{\"a\": 1, \"block\": null, \"nested\": {\"block\": 3}}");
  Json::Value full = root;
  full["block"] = block;
  const std::vector<JsonMemberRef> stands = {{"block", &block}, {"absent", &block}};
  EXPECT_EQ(WriteStyledJson(full), WriteStyledJson(root, stands));
  EXPECT_NE(std::string::npos, WriteStyledJson(root, stands).find("// from elsewhere"));
  EXPECT_EQ(WriteStyledJson(root), WriteStyledJson(root, {}));
  const Json::Value array = Parse("[{\"block\": null}]");
  EXPECT_EQ(WriteStyledJson(array), WriteStyledJson(array, stands));
}

TEST(StyledWriter, FiftyThreeDigitsGoOnePerLine) {
  // 2 * 54 + 53 = 161 >= 160
  std::string text = WriteStyledJson(Digits(53));
  EXPECT_EQ('[', text[0]);
  EXPECT_EQ(std::string::npos, text.find("0, 1"));
  EXPECT_NE(std::string::npos, text.find("[\n   0,\n   1,\n"));
  EXPECT_EQ(1 + 53 + 1, std::count(text.begin(), text.end(), '\n'));
  // 52 digits: 2 * 53 + 52 = 158 < 160 stays on one line.
  std::string shorter = WriteStyledJson(Digits(52));
  EXPECT_EQ(1, std::count(shorter.begin(), shorter.end(), '\n'));
  EXPECT_EQ(158u + 1, shorter.size());
}

TEST(StyledWriter, FiftyFourOrMoreElementsAlwaysMultiLine) {
  Json::Value nulls(Json::arrayValue);
  nulls.resize(54);
  Json::Value empties(Json::arrayValue);
  for (int i = 0; i < 54; ++i)
    empties.append(Json::Value(Json::arrayValue));
  std::string text = WriteStyledJson(nulls);
  EXPECT_EQ(1 + 54 + 1, std::count(text.begin(), text.end(), '\n'));
  text = WriteStyledJson(empties);
  EXPECT_EQ(1 + 54 + 1, std::count(text.begin(), text.end(), '\n'));
  text = WriteStyledJson(Digits(60));
  EXPECT_EQ(1 + 60 + 1, std::count(text.begin(), text.end(), '\n'));
}

TEST(StyledWriter, LongElementTextsBreakTheLine) {
  // 2 * 3 + 153 + 1 = 160 breaks; one character less stays on one line.
  Json::Value array(Json::arrayValue);
  array.append(std::string(151, 'x'));
  array.append(1);
  EXPECT_EQ("[\n   \"" + std::string(151, 'x') + "\",\n   1\n]\n", WriteStyledJson(array));
  array[0] = std::string(150, 'x');
  EXPECT_EQ("[ \"" + std::string(150, 'x') + "\", 1 ]\n", WriteStyledJson(array));
}

TEST(StyledWriter, NestedContainersOpenOnTheMemberLine) {
  Json::Value root = Parse(R"({"outer": {"list": [{"k": 1}, [2]], "z": "end"}})");
  EXPECT_EQ(
      "{\n"
      "   \"outer\" : {\n"
      "      \"list\" : [\n"
      "         {\n"
      "            \"k\" : 1\n"
      "         },\n"
      "         [ 2 ]\n"
      "      ],\n"
      "      \"z\" : \"end\"\n"
      "   }\n"
      "}\n",
      WriteStyledJson(root));
}

TEST(StyledWriter, MembersInByteOrder) {
  Json::Value root = Parse(R"({"b": 1, "B": 2, "a": 3, "_": 4, "\u00e9": 5, "aa": 6})");
  EXPECT_EQ(
      "{\n   \"B\" : 2,\n   \"_\" : 4,\n   \"a\" : 3,\n   \"aa\" : 6,\n   \"b\" : 1,\n"
      "   \"\\u00e9\" : 5\n}\n",
      WriteStyledJson(root));
}

TEST(StyledWriter, RealPrecisionPerValue) {
  Json::Value array(Json::arrayValue);
  array.append(JsonFloat(0.1f));
  array.append(JsonFloat(2.0f));
  array.append(JsonFloat(-3.5f));
  EXPECT_EQ("[ 0.100000001, 2, -3.5 ]\n", WriteStyledJson(array));
  EXPECT_EQ("0.10000000000000001\n", WriteStyledJson(Parse("0.1")));
  EXPECT_EQ("0.10000000000000001\n", WriteStyledJson(Json::Value(0.1)));
  Json::Value object(Json::objectValue);
  object["f"] = JsonFloat(0.1f);
  object["d"] = 0.1;
  object["i"] = JsonFloat(90.0f);
  EXPECT_EQ("{\n   \"d\" : 0.10000000000000001,\n   \"f\" : 0.100000001,\n   \"i\" : 90\n}\n",
            WriteStyledJson(object));
}

TEST(StyledWriter, NonFiniteReals) {
  Json::Value array(Json::arrayValue);
  array.append(std::nan(""));
  array.append(HUGE_VAL);
  array.append(-HUGE_VAL);
  EXPECT_EQ("[ null, 1e+9999, -1e+9999 ]\n", WriteStyledJson(array));
}

TEST(StyledWriter, StringsEscapedLikeJsonCpp) {
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 24, ' ');
    for (char& c : text) {
      // Bias towards the interesting bytes: controls, quotes, UTF-8 leads.
      unsigned pick = random() % 4;
      c = static_cast<char>(pick == 0 ? 1 + random() % 0x7F : pick == 1 ? 0x80 + random() % 0x80
                                        : pick == 2 ? "\"\\/\b\f\n\r\t"[random() % 8]
                                                    : 1 + random() % 255);
    }
    EXPECT_EQ(Json::valueToQuotedString(text.c_str()) + "\n", WriteStyledJson(Json::Value(text)))
        << "round " << round;
  }
  EXPECT_EQ("\"\\ud83d\\ude00 \\u00e9\x7f\"\n",
            WriteStyledJson(Json::Value("\xf0\x9f\x98\x80 \xc3\xa9\x7f")));
}

TEST(StyledWriter, EmbeddedZeroBytesAreKept) {
  Json::Value root(Json::objectValue);
  root[std::string("a\0b", 3)] = std::string("x\0y", 3);
  EXPECT_EQ("{\n   \"a\\u0000b\" : \"x\\u0000y\"\n}\n", WriteStyledJson(root));
  Json::Value back = Parse(WriteStyledJson(root));
  EXPECT_EQ(root, back);
}

TEST(StyledWriter, CommentsInTheStyledManner) {
  const char* text =
      "// head\n"
      "{\n"
      "  // before a\n"
      "  \"a\": 1, // same line a\n"
      "  \"b\": [1, // one\n"
      "         2],\n"
      "  /* before c */ \"c\": {\"d\": true} /* after c */\n"
      "}\n";
  EXPECT_EQ(
      "\n"
      "// head\n"
      "{\n"
      "   // before a\n"
      "   \"a\" : 1, // same line a\n"
      "   \"b\" : [\n"
      "      1, // one\n"
      "      2\n"
      "   ],\n"
      "   /* before c */\n"
      "   \"c\" : {\n"
      "      \"d\" : true\n"
      "   } /* after c */\n"
      "}\n",
      WriteStyledJson(Parse(text)));
}

TEST(StyledWriter, TrailingCommentKeepsOneFinalNewline) {
  EXPECT_EQ("{\n   \"a\" : 1\n}\n// tail\n", WriteStyledJson(Parse("{\"a\": 1}\n// tail\n")));
  EXPECT_EQ("[ 1 ] // same\n", WriteStyledJson(Parse("[1] // same")));
}

TEST(StyledWriter, LineCommentWithTrailingBlanksDoesNotSwallowTheNextMember) {
  Json::Value root = Parse("{\"a\": 1, // note  \t\n \"b\": 2}");
  std::string text = WriteStyledJson(root);
  EXPECT_EQ("{\n   \"a\" : 1, // note\n   \"b\" : 2\n}\n", text);
  EXPECT_EQ(root, Parse(text));
}

TEST(StyledWriter, OutputParsesBackToTheSameDocument) {
  const char* text = R"({"z": [1.5, -2, 3000000000, "s\n", null, true, {}, []],
                         "y": {"deep": [[1, [2, [3]]], {"k": [{}]}]}, "x": 1e-300})";
  Json::Value root = Parse(text);
  EXPECT_EQ(root, Parse(WriteStyledJson(root)));
}

TEST(StyledWriter, LargeDocumentIsWrittenInLinearTime) {
  Json::Value root(Json::objectValue);
  Json::Value& list = root["list"];
  for (int i = 0; i < 60000; ++i) {
    Json::Value item(Json::objectValue);
    item["name"] = "element number " + std::to_string(i);
    item["values"] = Parse("[1.25, 2.5, 3.75, 4, 5, 6, 7, 8]");
    item["id"] = i;
    list.append(item);
  }
  auto start = std::chrono::steady_clock::now();
  std::string text = WriteStyledJson(root);
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GT(text.size(), 8u * 1000 * 1000);
  EXPECT_LT(seconds, 20.0);
  EXPECT_EQ('\n', text.back());
}

}  // namespace
