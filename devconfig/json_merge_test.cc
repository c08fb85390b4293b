// Deep merge: objects merge, everything else is replaced whole, and a
// library error stops the merge keeping what was done.
#include "devconfig/jsonhelpers.h"

#include <gtest/gtest.h>

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

TEST(MergeJsonObjects, WorkedExample) {
  Json::Value destination = Parse(R"({"x": {"q": [9], "r": 3}, "y": 0})");
  MergeJsonObjects(destination, Parse(R"({"x": {"p": 1, "q": [1, 2]}})"));
  EXPECT_EQ(Parse(R"({"x": {"p": 1, "q": [1, 2], "r": 3}, "y": 0})"), destination);
}

TEST(MergeJsonObjects, ScalarsAndKindsReplaceWhole) {
  Json::Value destination = Parse(R"({"a": {"k": 1}, "b": 5, "c": [1, 2, 3]})");
  MergeJsonObjects(destination, Parse(R"({"a": 7, "b": {"n": 1}, "c": [4]})"));
  EXPECT_EQ(Parse(R"({"a": 7, "b": {"n": 1}, "c": [4]})"), destination);
}

TEST(MergeJsonObjects, NullSourceChangesNothingNullDestinationBecomesObject) {
  Json::Value destination = Parse(R"({"a": 1})");
  MergeJsonObjects(destination, Json::Value());
  EXPECT_EQ(Parse(R"({"a": 1})"), destination);
  Json::Value empty;
  MergeJsonObjects(empty, Parse(R"({"a": {"b": 2}})"));
  EXPECT_EQ(Parse(R"({"a": {"b": 2}})"), empty);
}

TEST(MergeJsonObjects, LibraryErrorsEndTheMergeSilently) {
  Json::Value destination = Parse(R"({"a": 1})");
  MergeJsonObjects(destination, Parse("[1, 2]"));
  EXPECT_EQ(Parse(R"({"a": 1})"), destination);

  // A string member of the destination is replaced, not merged into.
  Json::Value partial = Parse(R"({"b": "text"})");
  MergeJsonObjects(partial, Parse(R"({"a": 1, "b": {"c": {"d": 1}}, "c": 3})"));
  EXPECT_EQ(Parse(R"({"a": 1, "b": {"c": {"d": 1}}, "c": 3})"), partial);

  Json::Value text("plain");
  MergeJsonObjects(text, Parse(R"({"a": 1})"));
  EXPECT_EQ("plain", text.asString());
}

TEST(MergeJsonObjects, KeepsPrecisionOfMergedReals) {
  Json::Value source(Json::objectValue);
  source["f"] = JsonFloat(0.1f);
  Json::Value destination(Json::objectValue);
  MergeJsonObjects(destination, source);
  EXPECT_EQ(9, JsonPrecision(destination["f"]));
}

TEST(MergeJsonObjects, MergingAnObjectIntoItself) {
  Json::Value value = Parse(R"({"a": {"b": [1]}, "c": 2})");
  MergeJsonObjects(value, value);
  EXPECT_EQ(Parse(R"({"a": {"b": [1]}, "c": 2})"), value);
}

}  // namespace
