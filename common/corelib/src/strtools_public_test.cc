// Bounded formatting and copying, trimming, and the strict UTF-8 check that
// decides whether a document is text at all.
#include "corelib/src/strtools_public.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace corelib;

TEST(TextToolsTest, FormattingCopyingTrimming) {
  // The 4096-byte first pass and the exact second pass meet at 4095/4096.
  for (size_t length : {4095u, 4096u, 4097u})
    EXPECT_EQ(std::string(length - 2, 'x') + "-7", StringPrintf("%s%d", std::string(length - 2, 'x').c_str(), -7));
  char buffer[8] = "#######";
  SafeCopy(buffer, 4, "0123456789");
  SafeCopy(buffer + 4, 3, "");
  EXPECT_EQ(std::string("012\0\0\0\0", 8), std::string(buffer, 8));
  EXPECT_EQ("  a\vb", TrimTrailingWhitespace("  a\vb \t\r\n"));
  EXPECT_EQ(" \t\r\n", TrimTrailingWhitespace(" \t\r\n"));
}

// Stray or missing continuation bytes, overlong forms, a surrogate, too large.
TEST(TextToolsTest, Utf8IsStrict) {
  const std::string utf8 = "A\xc3\xa9\xe2\x82\xac\xf4\x8f\xbf\xbf";
  EXPECT_TRUE(IsUtf8(utf8.data(), utf8.data() + utf8.size()));
  EXPECT_EQ(utf8, WideToUtf8(Utf8ToWide(utf8)));
  for (const char* text : {"\x80", "a\xc3", "\xe2\x82", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80"})
    EXPECT_FALSE(IsUtf8(text, text + strlen(text))) << text;
}
