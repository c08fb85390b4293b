// The empty-block rule applied before outputs: which blocks count as empty.
#include "tool/working_config.h"

#include <gtest/gtest.h>

#include "devconfig/jsonhelpers.h"

namespace {

Json::Value Parse(const char* text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

TEST(DropEmptyBlock, MemberlessContainersBecomeNull) {
  for (const char* text : {"null", "{}", "[]"}) {
    Json::Value block = Parse(text);
    DropEmptyBlock(&block);
    EXPECT_TRUE(block.isNull()) << text;
  }
}

TEST(DropEmptyBlock, AnythingWithContentStays) {
  for (const char* text : {"{\"a\": null}", "[0]", "\"\"", "0", "false", "{\"a\": {}}"}) {
    Json::Value block = Parse(text);
    DropEmptyBlock(&block);
    EXPECT_EQ(Parse(text), block) << text;
  }
}

}  // namespace
