// Lenient reads: the conversion table, fallbacks to the caller's default,
// lookups that never throw or insert, and real precision riding on copies.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "devconfig/json_testing.h"

namespace {

TEST(JsonRead, ConversionTableWithFallback) {
  // Read with the default 7: whatever does not convert falls back to it.
  const struct { const char* json; int32_t i; uint32_t u; double d; bool b; const char* s; } rows[] = {
      // json nullptr: the member is absent
      {nullptr, 7, 7, 7.0, true, "7"}, {"null", 0, 0, 0.0, false, ""}, {"-3", -3, 7, -3.0, true, "-3"},
      {"-2147483648", INT32_MIN, 7, -2147483648.0, true, "-2147483648"},
      {"3000000000", 7, 3000000000u, 3e9, true, "3000000000"}, {"4294967296", 7, 7, 4294967296.0, true, "4294967296"},
      {"2.9", 2, 2, 2.9, true, "2.8999999999999999"}, {"-2.9", -2, 7, -2.9, true, "-2.8999999999999999"},
      {"0.0", 0, 0, 0.0, false, "0"}, {"-2147483648.5", 7, 7, -2147483648.5, true, "-2147483648.5"},
      {"2147483647.5", 7, 2147483647u, 2147483647.5, true, "2147483647.5"},
      {"4294967295.0", 7, 4294967295u, 4294967295.0, true, "4294967295"},
      {"4294967296.0", 7, 7, 4294967296.0, true, "4294967296"}, {"true", 1, 1, 1.0, true, "true"},
      {"\"12\"", 7, 7, 7.0, true, "12"}, {"[1]", 7, 7, 7.0, true, "7"}, {"{\"x\": 1}", 7, 7, 7.0, true, "7"},
  };
  const Json::Value def(7);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.json ? r.json : "absent");
    const Json::Value doc = JsonOf(r.json ? std::string("{\"v\": ") + r.json + "}" : "{}");
    EXPECT_EQ(r.i, JsonGet(doc, "v", def).asInt());
    EXPECT_EQ(r.u, JsonGet(doc, "v", def).asUInt());
    EXPECT_EQ(r.d, JsonGet(doc, "v", def).asDouble());
    EXPECT_EQ(static_cast<float>(r.d), JsonGet(doc, "v", def).asFloat());
    EXPECT_EQ(r.b, JsonGet(doc, "v", def).asBool());
    EXPECT_EQ(r.s, JsonGet(doc, "v", def).asString());
  }
  for (const char* doc : {"{}", R"({"display_frequency": "fast"})", R"({"display_frequency": [1]})"})
    EXPECT_EQ(90.0f, JsonGet(JsonOf(doc), "display_frequency", 90.0).asFloat()) << doc;
  // Beyond float range is out of range: as an infinite float it would be
  // written 1e+9999, which no reader takes back.
  for (const char* doc : {R"({"f": 1e39})", R"({"f": -1.7976931348623157e308})"})
    EXPECT_EQ(90.0f, JsonGet(JsonOf(doc), "f", 90.0).asFloat()) << doc;
  EXPECT_EQ(3.4028234663852886e38f, JsonGet(JsonOf(R"({"f": 3.4028234663852886e38})"), "f", 90.0).asFloat());
  EXPECT_EQ(0.0f, JsonGet(JsonOf(R"({"f": 1e-320})"), "f", 90.0).asFloat());
  // A fallback of the wrong kind or range gives the zero of the type, and a
  // bare value has no fallback at all.
  const Json::Value doc = JsonOf(R"({"s": "x", "a": []})");
  EXPECT_EQ(0, JsonGet(doc, "s", "nine").asInt());
  EXPECT_EQ(0u, JsonGet(doc, "s", -1).asUInt());
  EXPECT_EQ(0, JsonToInt(doc["s"]));
  EXPECT_EQ("", JsonToString(doc["a"]));
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
    JsonForEachElement(JsonOf(text), [&](Json::ArrayIndex, const Json::Value&) { ++calls; });
  EXPECT_EQ(0, calls);
}

TEST(JsonRead, LookupsNeverThrowNorInsert) {
  const Json::Value doc = JsonOf(R"({"s": "text", "n": 5, "a": [7, 8], "o": {"k": 1}})");
  for (const char* name : {"s", "n", "a"}) {
    EXPECT_EQ(42, JsonGet(doc[name], "k", 42).asInt()) << name;
    EXPECT_TRUE(JsonAt(doc[name], std::string("k")).isNull() && !JsonHas(doc[name], "k")) << name;
  }
  EXPECT_EQ(42, JsonGet(doc["o"], 0, 42).asInt());
  EXPECT_TRUE(JsonAt(doc["s"], 0).isNull());
  // A literal 0 is an index (not a null member name); odd indexes are absent.
  const Json::Value& a = doc["a"];
  EXPECT_EQ(7, JsonGet(a, 0, 99).asInt());
  EXPECT_EQ(8, JsonGet(a, size_t{1}, 99).asInt());
  EXPECT_EQ(99, JsonGet(a, 2, 99).asInt());
  EXPECT_EQ(99, JsonGet(a, -1, 99).asInt());
  EXPECT_EQ(99, JsonGet(a, uint64_t{1} << 40, 99).asInt());
  EXPECT_TRUE(JsonAt(a, -3).isNull());
  EXPECT_EQ(0, JsonGet(doc, "absent", 0).asInt());
  JsonAt(doc, "c");
  JsonHas(doc, "d");
  EXPECT_EQ(4u, doc.size());
}

TEST(JsonPrecision, RidesOnTheValueThroughCopies) {
  EXPECT_TRUE(JsonPrecision(JsonFloat(0.1f)) == 9 && JsonPrecision(JsonDouble(0.1)) == 17);
  EXPECT_TRUE(JsonPrecision(JsonOf("[0.1]")[0]) == 17 && JsonPrecision(JsonReal(1.0, -4)) == 0);
  EXPECT_EQ(31, JsonPrecision(JsonReal(1.0, 99)));
  EXPECT_EQ("0.100000001", JsonToString(JsonFloat(0.1f)));
  // Copies, moves, insertion, resizing and removal all keep it.
  const Json::Value f = JsonFloat(0.1f);
  Json::Value array(Json::arrayValue), doc(Json::objectValue), assigned, removed;
  array.append(f);
  array.insert(0, f);
  array.resize(10);
  doc["o"]["x"] = f;
  doc["a"] = array;
  Json::Value copy(doc);
  assigned = copy;
  const Json::Value moved(std::move(copy));
  std::vector<Json::Value> values(1, f);
  values.resize(1000);
  array.removeIndex(0, &removed);
  for (const Json::Value& v : {assigned["o"]["x"], moved["a"][0], moved["a"][1], values[0], removed, array[0]})
    EXPECT_EQ(9, JsonPrecision(v));
  // A new value replaces the mark with the payload.
  assigned["o"]["x"] = JsonDouble(1.5);
  EXPECT_EQ(17, JsonPrecision(assigned["o"]["x"]));
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
