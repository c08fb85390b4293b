// Lenient reads: conversions and fallbacks, lookups, precision, reals as printf.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "corelib/src/test_scratch.h"
#include "devconfig/json_testing.h"

TEST(JsonRead, ConversionTableWithFallback) {
  // Read with the default 7 (json nullptr: absent); what does not convert falls back to it.
  const struct { const char* json; int32_t i; uint32_t u; double d; bool b; const char* s; } rows[] = {
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
  for (const auto& r : rows) {
    const Json::Value doc = JsonOf(r.json ? std::string("{\"v\": ") + r.json + "}" : "{}"), seven(7);
    const JsonRead v = JsonGet(doc, "v", seven);
    EXPECT_TRUE(v.asInt() == r.i && v.asUInt() == r.u && v.asDouble() == r.d && v.asBool() == r.b) << r.s;
    EXPECT_TRUE(v.asFloat() == static_cast<float>(r.d) && v.asString() == r.s) << r.s;
  }
  // Beyond float range falls back: an infinite float would be written 1e+9999, which no reader takes back.
  const Json::Value reals = JsonOf("[1e39, -1.7976931348623157e308, 3.4028234663852886e38, 1e-320]");
  EXPECT_TRUE(JsonGet(reals, 0, 90.0).asFloat() == 90 && JsonGet(reals, 1, 90.0).asFloat() == 90);
  EXPECT_TRUE(JsonGet(reals, 2, 90.0).asFloat() == 3.4028234663852886e38f && JsonGet(reals, 3, 90.0).asFloat() == 0);
  // A fallback that does not convert gives 0; lookups out of range or in the wrong kind read as absent.
  const Json::Value doc = JsonOf(R"({"s": "x", "a": [7, 8]})");
  EXPECT_TRUE(JsonGet(doc, "s", "nine").asInt() == 0 && JsonGet(doc, "s", -1).asUInt() == 0);
  EXPECT_TRUE(JsonGet(doc["a"], 1, 99).asInt() == 8 && JsonGet(doc["a"], 2, 99).asInt() == 99 &&
              JsonGet(doc["s"], "k", 42).asInt() == 42 && JsonGet(doc, 0, 42).asInt() == 42 && doc.size() == 2);
  EXPECT_TRUE(JsonPrecision(JsonReal(1, 99)) == 31 && JsonToString(JsonFloat(0.1f)) == "0.100000001");
}

// The writer's floats are printf's text at nine digits (a path of its own).
TEST(FormatJsonReal, SameTextAsPrintf) {
  int mismatches = 0;
  for (uint64_t i = 0, state = 1; i < 300000; ++i, state ^= state << 13, state ^= state >> 7, state ^= state << 17) {
    const uint32_t bits = static_cast<uint32_t>(state) % 0x7F800000u;  // any finite float
    float f;
    memcpy(&f, &bits, sizeof(f));
    char expected[32];
    snprintf(expected, sizeof(expected), "%.9g", (state >> 63) ? -f : f);
    if (FormatJsonReal((state >> 63) ? -f : f, 9) != expected && ++mismatches <= 5) ADD_FAILURE() << expected;
  }
  EXPECT_EQ(0, mismatches);
}

// The loaders the library offers its hosts: a failure is told in the
// caller's text, or logged when there is none; empty input changes nothing.
TEST(LoadJson, FilesAndStrings) {
  corelib_test::ScratchDir dir;
  Json::Value root(3);
  std::string error;
  EXPECT_EQ(kJsonLoadFileMissing, LoadJsonFile(dir.Sub("none.json"), &root, &error));
  EXPECT_EQ(kJsonLoadOk, LoadJsonFile(dir.Put("empty.json", ""), &root, &error));
  EXPECT_EQ(3, root.asInt());
  EXPECT_EQ(kJsonLoadParseError, LoadJsonFile(dir.Put("broken.json", "[1,"), &root, &error));
  EXPECT_NE(std::string::npos, error.find("Line 1")) << error;
  EXPECT_EQ(kJsonLoadParseError, LoadJsonString("[1,", &root, nullptr));
  EXPECT_EQ(kJsonLoadOk, LoadJsonString("/* c */ [1, 2]", &root, &error));
  EXPECT_EQ(2, root[1].asInt());
}
