// Lenient reads: the conversion table, fallbacks to the caller's default,
// lookups in values of the wrong kind, and real precision riding on copies.
#include "devconfig/jsonhelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

TEST(JsonRead, DisplayFrequencyFallsBackToDefault) {
  const Json::Value def(90.0);
  EXPECT_EQ(90.0f, JsonGet(Parse("{}"), "display_frequency", def).asFloat());
  EXPECT_EQ(90.0f, JsonGet(Parse(R"({"display_frequency": "fast"})"), "display_frequency", def).asFloat());
  EXPECT_EQ(90.0f, JsonGet(Parse(R"({"display_frequency": [1]})"), "display_frequency", def).asFloat());
  EXPECT_EQ(0.0f, JsonGet(Parse(R"({"display_frequency": null})"), "display_frequency", def).asFloat());
  EXPECT_EQ(120.0f, JsonGet(Parse(R"({"display_frequency": 120})"), "display_frequency", def).asFloat());
}

TEST(JsonRead, RevisionAsUnsigned) {
  const Json::Value def(0);
  EXPECT_EQ(0u, JsonGet(Parse("{}"), "revision", def).asUInt());
  EXPECT_EQ(0u, JsonGet(Parse(R"({"revision": "7"})"), "revision", def).asUInt());
  EXPECT_EQ(0u, JsonGet(Parse(R"({"revision": -5})"), "revision", def).asUInt());
  EXPECT_EQ(0u, JsonGet(Parse(R"({"revision": null})"), "revision", def).asUInt());
  EXPECT_EQ(7u, JsonGet(Parse(R"({"revision": 7})"), "revision", def).asUInt());
}

TEST(JsonRead, UnsignedRange) {
  const Json::Value doc = Parse(R"({"big": 4294967296, "neg": -1, "max": 4294967295,
                                    "r": 4294967295.0, "rbig": 4294967296.0, "rneg": -0.5})");
  EXPECT_EQ(3u, JsonGet(doc, "big", 3).asUInt());
  EXPECT_EQ(3u, JsonGet(doc, "neg", 3).asUInt());
  EXPECT_EQ(4294967295u, JsonGet(doc, "max", 3).asUInt());
  EXPECT_EQ(4294967295u, JsonGet(doc, "r", 3).asUInt());
  EXPECT_EQ(3u, JsonGet(doc, "rbig", 3).asUInt());
  EXPECT_EQ(3u, JsonGet(doc, "rneg", 3).asUInt());
}

TEST(JsonRead, SignedRangeAndTruncation) {
  const Json::Value doc = Parse(R"({"a": 2.9, "b": -2.9, "min": -2147483648, "over": 2147483648,
                                    "rmin": -2147483648.0, "rmax": 2147483647.0,
                                    "rover": 2147483647.5, "runder": -2147483648.5,
                                    "huge": 18446744073709551615})");
  EXPECT_EQ(2, JsonGet(doc, "a", 9).asInt());
  EXPECT_EQ(-2, JsonGet(doc, "b", 9).asInt());
  EXPECT_EQ(std::numeric_limits<int32_t>::min(), JsonGet(doc, "min", 9).asInt());
  EXPECT_EQ(9, JsonGet(doc, "over", 9).asInt());
  EXPECT_EQ(std::numeric_limits<int32_t>::min(), JsonGet(doc, "rmin", 9).asInt());
  EXPECT_EQ(std::numeric_limits<int32_t>::max(), JsonGet(doc, "rmax", 9).asInt());
  EXPECT_EQ(9, JsonGet(doc, "rover", 9).asInt());
  EXPECT_EQ(9, JsonGet(doc, "runder", 9).asInt());
  EXPECT_EQ(9, JsonGet(doc, "huge", 9).asInt());
  EXPECT_EQ(2u, JsonGet(doc, "a", 9).asUInt());
}

TEST(JsonRead, ConversionTableWithoutFallback) {
  const Json::Value doc = Parse(R"({"n": null, "i": -3, "u": 3000000000, "r": 2.5, "t": true,
                                    "f": false, "s": "12", "a": [1], "o": {"x": 1}})");
  EXPECT_EQ(0, JsonToInt(doc["n"]));
  EXPECT_EQ(-3, JsonToInt(doc["i"]));
  EXPECT_EQ(0, JsonToInt(doc["u"]));
  EXPECT_EQ(2, JsonToInt(doc["r"]));
  EXPECT_EQ(1, JsonToInt(doc["t"]));
  EXPECT_EQ(0, JsonToInt(doc["s"]));
  EXPECT_EQ(0, JsonToInt(doc["a"]));
  EXPECT_EQ(0, JsonToInt(doc["o"]));

  EXPECT_EQ(3000000000u, JsonToUInt(doc["u"]));
  EXPECT_EQ(1u, JsonToUInt(doc["t"]));

  EXPECT_EQ(0.0, JsonToDouble(doc["n"]));
  EXPECT_EQ(-3.0, JsonToDouble(doc["i"]));
  EXPECT_EQ(3000000000.0, JsonToDouble(doc["u"]));
  EXPECT_EQ(1.0, JsonToDouble(doc["t"]));
  EXPECT_EQ(0.0, JsonToDouble(doc["f"]));
  EXPECT_EQ(0.0, JsonToDouble(doc["s"]));

  EXPECT_FALSE(JsonToBool(doc["n"]));
  EXPECT_TRUE(JsonToBool(doc["i"]));
  EXPECT_TRUE(JsonToBool(doc["r"]));
  EXPECT_FALSE(JsonToBool(Json::Value(0.0)));
  EXPECT_FALSE(JsonToBool(doc["s"]));
  EXPECT_FALSE(JsonToBool(doc["o"]));

  EXPECT_EQ("", JsonToString(doc["n"]));
  EXPECT_EQ("-3", JsonToString(doc["i"]));
  EXPECT_EQ("3000000000", JsonToString(doc["u"]));
  EXPECT_EQ("2.5", JsonToString(doc["r"]));
  EXPECT_EQ("true", JsonToString(doc["t"]));
  EXPECT_EQ("false", JsonToString(doc["f"]));
  EXPECT_EQ("12", JsonToString(doc["s"]));
  EXPECT_EQ("", JsonToString(doc["a"]));
}

TEST(JsonRead, TextOfARealIsPrintedAsWritten) {
  EXPECT_EQ("0.100000001", JsonToString(JsonFloat(0.1f)));
  EXPECT_EQ("0.10000000000000001", JsonToString(Json::Value(0.1)));
  EXPECT_EQ("90", JsonToString(JsonFloat(90.0f)));
  EXPECT_EQ("null", JsonToString(Json::Value(std::nan(""))));
  EXPECT_EQ("1e+9999", JsonToString(Json::Value(HUGE_VAL)));
}

TEST(JsonRead, WrongKindsConvertTheFallback) {
  const Json::Value doc = Parse(R"({"s": "x", "a": [], "o": {}})");
  EXPECT_EQ(-7, JsonGet(doc, "s", -7).asInt());
  EXPECT_EQ(1.5, JsonGet(doc, "a", 1.5).asDouble());
  EXPECT_TRUE(JsonGet(doc, "o", true).asBool());
  EXPECT_EQ("dflt", JsonGet(doc, "a", "dflt").asString());
  EXPECT_EQ("4", JsonGet(doc, "o", 4).asString());
  // The fallback itself of the wrong kind gives the zero of the type.
  EXPECT_EQ(0, JsonGet(doc, "s", "nine").asInt());
  EXPECT_EQ(0, JsonGet(doc, "missing", "nine").asInt());
  // A fallback is converted the same way, range included.
  EXPECT_EQ(0u, JsonGet(doc, "s", -1).asUInt());
}

TEST(JsonRead, PresentMemberPointsIntoTheDocument) {
  const Json::Value doc = Parse(R"({"m": null, "k": 1})");
  const Json::Value def(5);
  JsonRead present = JsonGet(doc, "m", def);
  EXPECT_EQ(&doc["m"], present.value);
  EXPECT_TRUE(present->isNull());
  ASSERT_NE(nullptr, present.fallback);
  EXPECT_EQ(5, present.fallback->asInt());
  JsonRead absent = JsonGet(doc, "none", def);
  EXPECT_EQ(&def, absent.value);
  EXPECT_EQ(nullptr, absent.fallback);
  EXPECT_EQ(1, (*JsonGet(doc, std::string("k"), def)).asInt());
}

TEST(JsonRead, ForEachElementGivesEveryIndexInOrder) {
  Json::Value gapped(Json::arrayValue);
  gapped[1] = "b";
  gapped[3] = 4;
  std::vector<std::string> seen;
  JsonForEachElement(gapped, [&](Json::ArrayIndex i, const Json::Value& element) {
    seen.push_back(std::to_string(i) + "=" + (element.isNull() ? "null" : JsonToString(element)));
    EXPECT_EQ(&JsonAt(gapped, i), &element);
  });
  EXPECT_EQ((std::vector<std::string>{"0=null", "1=b", "2=null", "3=4"}), seen);
  int calls = 0;
  for (const char* text : {"{\"0\": 1}", "7", "null", "[]"})
    JsonForEachElement(Parse(text), [&](Json::ArrayIndex, const Json::Value&) { ++calls; });
  EXPECT_EQ(0, calls);
}

TEST(JsonRead, WrongContainerKindReadsAsAbsent) {
  const Json::Value doc = Parse(R"({"s": "text", "n": 5, "a": [1, 2], "o": {"k": 1}})");
  EXPECT_EQ(42, JsonGet(doc["s"], "k", 42).asInt());
  EXPECT_EQ(42, JsonGet(doc["n"], "k", 42).asInt());
  EXPECT_EQ(42, JsonGet(doc["a"], "k", 42).asInt());
  EXPECT_EQ(42, JsonGet(doc["o"], 0, 42).asInt());
  EXPECT_EQ(42, JsonGet(doc["s"], 0, 42).asInt());
  EXPECT_EQ(42, JsonGet(Json::Value(), "k", 42).asInt());
  EXPECT_TRUE(JsonAt(doc["s"], "k").isNull());
  EXPECT_TRUE(JsonAt(doc["o"], 0).isNull());
  EXPECT_TRUE(JsonAt(doc["n"], std::string("k")).isNull());
  EXPECT_FALSE(JsonHas(doc["a"], "k"));
  EXPECT_FALSE(JsonHas(doc["s"], std::string("k")));
  EXPECT_TRUE(JsonHas(doc, "s"));
  EXPECT_TRUE(JsonHas(doc, std::string("o")));
}

TEST(JsonRead, LiteralZeroIndexAndLiteralZeroDefault) {
  const Json::Value doc = Parse(R"({"arr": [7, 8], "name": 3})");
  const Json::Value& arr = doc["arr"];
  EXPECT_EQ(7, JsonGet(arr, 0, 99).asInt());
  EXPECT_EQ(8, JsonGet(arr, 1, 0).asInt());
  EXPECT_EQ(3, JsonGet(doc, "name", 0).asInt());
  EXPECT_EQ(0, JsonGet(doc, "absent", 0).asInt());
  EXPECT_EQ(99, JsonGet(arr, 2, 99).asInt());
  EXPECT_EQ(99, JsonGet(arr, -1, 99).asInt());
  EXPECT_EQ(8, JsonGet(arr, size_t{1}, 99).asInt());
  EXPECT_EQ(8, JsonGet(arr, Json::ArrayIndex{1}, 99).asInt());
  EXPECT_EQ(99, JsonGet(arr, uint64_t{1} << 40, 99).asInt());
  EXPECT_EQ(7, JsonAt(arr, 0).asInt());
  EXPECT_TRUE(JsonAt(arr, -3).isNull());
  EXPECT_TRUE(JsonAt(arr, 2).isNull());
}

TEST(JsonRead, ReadingDoesNotInsertMembers) {
  const Json::Value doc = Parse(R"({"a": 1})");
  JsonGet(doc, "b", 0).asInt();
  JsonAt(doc, "c");
  JsonHas(doc, "d");
  EXPECT_EQ(1u, doc.size());
}

TEST(JsonPrecision, FloatsCarryNineDigitsOthersSeventeen) {
  EXPECT_EQ(9, JsonPrecision(JsonFloat(0.1f)));
  EXPECT_EQ(17, JsonPrecision(JsonDouble(0.1)));
  EXPECT_EQ(17, JsonPrecision(Json::Value(0.1)));
  EXPECT_EQ(17, JsonPrecision(Parse("[0.1]")[0]));
  EXPECT_EQ(5, JsonPrecision(JsonReal(1.0, 5)));
  EXPECT_EQ(0, JsonPrecision(JsonReal(1.0, -4)));
  EXPECT_EQ(31, JsonPrecision(JsonReal(1.0, 99)));
}

TEST(JsonPrecision, SurvivesCopiesMovesAndInsertion) {
  const Json::Value f = JsonFloat(0.1f);
  Json::Value copied(f);
  EXPECT_EQ(9, JsonPrecision(copied));
  Json::Value assigned;
  assigned = f;
  EXPECT_EQ(9, JsonPrecision(assigned));
  Json::Value moved(std::move(copied));
  EXPECT_EQ(9, JsonPrecision(moved));
  Json::Value moveAssigned;
  moveAssigned = std::move(assigned);
  EXPECT_EQ(9, JsonPrecision(moveAssigned));

  Json::Value object(Json::objectValue);
  object["x"] = f;
  object["y"] = JsonFloat(2.5f);
  Json::Value array(Json::arrayValue);
  array.append(f);
  array.append(JsonFloat(3.5f));
  array.insert(0, f);
  array.resize(10);
  Json::Value document(Json::objectValue);
  document["o"] = object;
  document["a"] = array;
  const Json::Value copy = document;
  EXPECT_EQ(9, JsonPrecision(copy["o"]["x"]));
  EXPECT_EQ(9, JsonPrecision(copy["o"]["y"]));
  EXPECT_EQ(9, JsonPrecision(copy["a"][0]));
  EXPECT_EQ(9, JsonPrecision(copy["a"][1]));
  EXPECT_EQ(9, JsonPrecision(copy["a"][2]));

  std::vector<Json::Value> values(1, f);
  values.resize(1000);
  EXPECT_EQ(9, JsonPrecision(values[0]));

  Json::Value removed;
  array.removeIndex(0, &removed);
  EXPECT_EQ(9, JsonPrecision(removed));
  EXPECT_EQ(9, JsonPrecision(array[1]));
}

TEST(JsonPrecision, ReplacingTheValueDropsTheMark) {
  Json::Value v = JsonFloat(0.5f);
  v = 0.25;
  EXPECT_EQ(17, JsonPrecision(v));
  Json::Value object(Json::objectValue);
  object["x"] = JsonFloat(1.5f);
  object["x"] = JsonDouble(1.5);
  EXPECT_EQ(17, JsonPrecision(object["x"]));
}

TEST(FormatJsonReal, GFormatWithoutTrailingPointZero) {
  EXPECT_EQ("90", FormatJsonReal(90.0, 17));
  EXPECT_EQ("0.5", FormatJsonReal(0.5, 9));
  EXPECT_EQ("1e+20", FormatJsonReal(1e20, 17));
  EXPECT_EQ("-0", FormatJsonReal(-0.0, 17));
  EXPECT_EQ("null", FormatJsonReal(std::nan(""), 9));
  EXPECT_EQ("1e+9999", FormatJsonReal(HUGE_VAL, 9));
  EXPECT_EQ("-1e+9999", FormatJsonReal(-HUGE_VAL, 9));
  EXPECT_EQ("2", FormatJsonReal(1.5, 0));
  EXPECT_EQ("1.7976931348623157e+308", FormatJsonReal(1.7976931348623157e308, 17));
  // The longest text at the highest precision fits whole.
  char expected[128];
  snprintf(expected, sizeof(expected), "%.31g", -2.2250738585072011e-308);
  EXPECT_EQ(expected, FormatJsonReal(-2.2250738585072011e-308, 31));
}

// Single-precision values, the bulk of a document, take a path of their own
// at nine digits; across the whole float range, and at the ties and powers
// of ten where rounding and the choice of notation turn, it must still give
// printf's text.
TEST(FormatJsonReal, FloatsAtNineDigitsSameTextAsPrintf) {
  std::vector<float> values = {2097151.875f, 8388607.5f, 0.5f,       1e-9f, 1e9f,       999999.938f,
                               0.0001f,      0.00001f,   123456.789f, 1e-5f, 9.99999944e-5f, 100000000.0f,
                               99999992.0f,  1.0f,       16777215.0f, 1e-10f, 1.17549435e-38f};
  for (uint32_t bits = 0; bits < 0x7F800000u; bits += 4099) {
    float f = 0.0f;
    memcpy(&f, &bits, sizeof(f));
    values.push_back(f);
  }
  int mismatches = 0;
  for (float f : values) {
    for (double v : {static_cast<double>(f), -static_cast<double>(f)}) {
      char expected[64];
      snprintf(expected, sizeof(expected), "%.9g", v);
      if (FormatJsonReal(v, 9) != expected && ++mismatches <= 5)
        ADD_FAILURE() << "%.9g of " << expected << " gives " << FormatJsonReal(v, 9);
    }
  }
  EXPECT_EQ(0, mismatches);
  EXPECT_EQ("2097151.88", FormatJsonReal(2097151.875f, 9));  // a tie, to the even digit
  EXPECT_EQ("0.100000001", FormatJsonReal(0.1f, 9));
  EXPECT_EQ("9.99999975e-06", FormatJsonReal(1e-5f, 9));
}

// The writer does not go through printf; its text must still be printf's,
// digit for digit, at every precision and across the whole double range.
TEST(FormatJsonReal, SameTextAsPrintfGFormat) {
  uint64_t state = 0x9E3779B97F4A7C15u;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  std::vector<double> values = {0.0,   -0.0,   0.1,    1e-320, 5e-324, 1e16, 1e17, 123456789012345678.0,
                                0.001, 1e-5,   99999.5, 1e15,  0.5,    -3.5, 90.0, 2.2250738585072014e-308};
  for (int i = 0; i < 4000; ++i) {
    uint64_t bits = next();
    double any = 0.0;
    memcpy(&any, &bits, sizeof(any));
    if (std::isfinite(any)) values.push_back(any);
    values.push_back(static_cast<float>(static_cast<double>(next() % 2000001) / 1e6 - 1.0));
    values.push_back(static_cast<double>(next() % 100000000) / 1024.0);
  }
  int mismatches = 0;
  for (double v : values) {
    for (int precision : {0, 1, 6, 9, 15, 17, 31}) {
      char expected[128];
      snprintf(expected, sizeof(expected), "%.*g", precision, v);
      if (FormatJsonReal(v, precision) != expected && ++mismatches <= 5)
        ADD_FAILURE() << "%." << precision << "g of " << expected << " gives " << FormatJsonReal(v, precision);
    }
  }
  EXPECT_EQ(0, mismatches);
}

}  // namespace
