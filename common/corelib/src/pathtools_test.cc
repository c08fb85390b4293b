// Path text, the upward search, and whole-file reads and writes.
#include "corelib/src/pathtools.h"

#include <gtest/gtest.h>

#include "corelib/src/test_scratch.h"

using namespace corelib;

TEST(PathToolsTest, PathsAndUpwardSearch) {
  EXPECT_EQ("/tmp/configtool.json", JoinPath("/tmp/", "configtool.json"));
  EXPECT_TRUE(IsDirectory("/") && IsDirectory("/tmp/") && !IsDirectory(""));
  // Beside each ancestor up to the root, not inside the start; a relative
  // start without a separator is its own parent and ends the search.
  corelib_test::ScratchDir scratch;
  scratch.MakeDirs("top/b/runtime");
  EXPECT_EQ(scratch.Sub("top/b/runtime"), FindUpward(scratch.Put("top/b/tool", ""), "runtime"));
  EXPECT_EQ("", FindUpward(scratch.Sub("top/b"), "runtime"));
  EXPECT_EQ("/tmp", FindUpward("/tmp", "tmp"));
  EXPECT_EQ("", FindUpward(".", "sbtest-absent"));
}

TEST(PathToolsTest, WholeFileReadsAndWrites) {
  corelib_test::ScratchDir scratch;
  EXPECT_EQ("{\n}\r\n", ReadTextFile(scratch.Put("t", "\xef\xbb\xbf{\r\n}\r\r\n")));
  EXPECT_EQ("", ReadTextFile(scratch.Sub("missing")));
  EXPECT_TRUE(WriteTextFile(scratch.Sub("out"), "{}\n"));
  EXPECT_EQ("{}\n", corelib_test::Slurp(scratch.Sub("out")));
  EXPECT_FALSE(WriteTextFile("/dev/full", "{}\n"));
}
