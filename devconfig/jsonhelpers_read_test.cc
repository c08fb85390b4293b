// Lenient reads: the conversion table, fallbacks to the caller's default,
// lookups that never throw or insert, and real precision riding on copies.
#include <gtest/gtest.h>

#include <cstdint>
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

}  // namespace
