#include "corelib/src/strtools_public.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corelib/src/logchannel.h"

namespace {

using corelib::StringPrintf;

// Formatting: the first 4096-byte pass and the exact second pass meet at
// 4095/4096 characters, where an off-by-one would cut or lose the text.
TEST(StringPrintfTest, FormatsArguments) {
  EXPECT_EQ("serial: ABC-7 12 0.50", StringPrintf("serial: %s-%d %d %.2f", "ABC", 7, 12, 0.5));
  EXPECT_EQ("", StringPrintf("%s", ""));
}

TEST(StringPrintfTest, LengthsAroundTheFirstBuffer) {
  for (size_t length : {4095u, 4096u, 4097u, 10000u}) {
    const std::string text(length - 1, 'x');
    const std::string result = StringPrintf("%s!", text.c_str());
    ASSERT_EQ(length, result.size());
    EXPECT_EQ(text + "!", result);
  }
}

TEST(StringPrintfTest, KeepsEmbeddedZeroFromFormat) {
  const std::string result = StringPrintf("a%cb", '\0');
  EXPECT_EQ(std::string("a\0b", 3), result);
}

TEST(StringPrintfTest, FormatterErrorAssertsAndGivesEmptyText) {
  std::vector<std::string> messages;
  std::vector<std::string> files;
  corelib::CAssertListener listener(
      [&](const char* message, const char* file, int, bool, bool*, void*) {
        messages.push_back(message);
        files.push_back(file);
      },
      nullptr);
  corelib::AddAssertListener(&listener);
  // A wide character the C locale cannot encode makes vsnprintf fail.
  const wchar_t unencodable[] = {static_cast<wchar_t>(0x110000), 0};
  const std::string result = StringPrintf("before %ls after", unencodable);
  corelib::RemoveAssertListener(&listener);
  EXPECT_EQ("", result);
  ASSERT_EQ(1u, messages.size());
  EXPECT_EQ("Format string parse failure", messages[0]);
  EXPECT_EQ("corelib/src/strtools_public", files[0]);
}

TEST(StringPrintfTest, NullFormatGivesEmptyText) {
  const char* format = nullptr;
  EXPECT_EQ("", StringPrintf(format));
}

// Trimming: only trailing blank, tab, LF and CR go; all-white-space text
// comes back untouched.
TEST(TrimTrailingWhitespaceTest, RemovesTrailingBlanksTabsAndLineEnds) {
  EXPECT_EQ("abc", corelib::TrimTrailingWhitespace("abc \t\r\n"));
  EXPECT_EQ("  abc", corelib::TrimTrailingWhitespace("  abc\n"));
  EXPECT_EQ("a b", corelib::TrimTrailingWhitespace("a b"));
  EXPECT_EQ("a\vb\v", corelib::TrimTrailingWhitespace("a\vb\v "));
}

TEST(TrimTrailingWhitespaceTest, OnlyWhiteSpaceIsReturnedUnchanged) {
  EXPECT_EQ("\n", corelib::TrimTrailingWhitespace("\n"));
  EXPECT_EQ(" \t\r\n", corelib::TrimTrailingWhitespace(" \t\r\n"));
  EXPECT_EQ("", corelib::TrimTrailingWhitespace(""));
}

TEST(CaseTest, ComparesIgnoringCase) {
  EXPECT_TRUE(corelib::CaseInsensitiveEqual("OpenRig", "openrig"));
  EXPECT_FALSE(corelib::CaseInsensitiveEqual("OpenRig", "OpenRi"));
  EXPECT_TRUE(corelib::CaseInsensitiveEqualN("HMD_left", "hmd_RIGHT", 4));
  EXPECT_FALSE(corelib::CaseInsensitiveEqualN("HMD_left", "hmd_RIGHT", 5));
  EXPECT_TRUE(corelib::CaseInsensitiveEqual(nullptr, nullptr));
  EXPECT_FALSE(corelib::CaseInsensitiveEqual("a", nullptr));
  EXPECT_FALSE(corelib::CaseInsensitiveEqualN(nullptr, "a", 1));
}

TEST(CaseTest, ConvertsAsciiAndLeavesHighBytes) {
  EXPECT_EQ("device_class 7", corelib::ToLower("Device_CLASS 7"));
  EXPECT_EQ("DEVICE_CLASS 7", corelib::ToUpper("Device_class 7"));
  // Bytes above 0x7F must pass through (and not reach tolower as negatives).
  EXPECT_EQ("\xc3\xa9x", corelib::ToLower("\xc3\xa9X"));
}

// SafeCopy: bounded like strncpy, always terminated at size - 1.
TEST(SafeCopyTest, TruncatesAndTerminates) {
  char buffer[6] = {'#', '#', '#', '#', '#', '#'};
  corelib::SafeCopy(buffer, 4, "0123456789");
  EXPECT_EQ(std::string("012\0##", 6), std::string(buffer, 6));
}

TEST(SafeCopyTest, FillsTheRestWithZeros) {
  char buffer[8];
  memset(buffer, '#', sizeof(buffer));
  corelib::SafeCopy(buffer, sizeof(buffer), "ab");
  EXPECT_EQ(std::string("ab\0\0\0\0\0\0", 8), std::string(buffer, 8));
}

TEST(SafeCopyTest, SizeOneAndNullSource) {
  char buffer[2] = {'#', '#'};
  corelib::SafeCopy(buffer, 1, "abc");
  EXPECT_EQ('\0', buffer[0]);
  EXPECT_EQ('#', buffer[1]);
  buffer[0] = '#';
  corelib::SafeCopy(buffer, 2, nullptr);
  EXPECT_EQ(std::string(2, '\0'), std::string(buffer, 2));
  corelib::SafeCopy(buffer, 0, "abc");  // must not write anything
  corelib::SafeCopy(nullptr, 4, "abc");
}

// Wide and UTF-8 conversion: all or nothing.
TEST(WideUtf8Test, RoundTripsEveryEncodedLength) {
  const std::wstring wide = {L'A', static_cast<wchar_t>(0xE9), static_cast<wchar_t>(0x20AC),
                             static_cast<wchar_t>(0x1F600), static_cast<wchar_t>(0x10FFFF)};
  const std::string utf8 = "A\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf";
  EXPECT_EQ(utf8, corelib::WideToUtf8(wide));
  EXPECT_EQ(wide, corelib::Utf8ToWide(utf8));
  EXPECT_EQ(utf8, corelib::WideToUtf8(wide.c_str()));
  EXPECT_EQ(wide, corelib::Utf8ToWide(utf8.c_str()));
}

TEST(WideUtf8Test, UnencodableWideTextGivesEmpty) {
  EXPECT_EQ("", corelib::WideToUtf8(std::wstring{L'a', static_cast<wchar_t>(0x110000)}));
  EXPECT_EQ("", corelib::WideToUtf8(std::wstring{L'a', static_cast<wchar_t>(0xD800)}));
  EXPECT_EQ("", corelib::WideToUtf8(std::wstring{static_cast<wchar_t>(-1)}));
  EXPECT_EQ("", corelib::WideToUtf8(static_cast<const wchar_t*>(nullptr)));
}

TEST(WideUtf8Test, InvalidUtf8GivesEmpty) {
  const char* invalid[] = {
      "\x80",              // lone continuation byte
      "ab\xbf",            // continuation byte after ASCII
      "\xc3",              // truncated two-byte sequence
      "\xe2\x82",          // truncated three-byte sequence
      "\xc0\xaf",          // overlong '/'
      "\xe0\x80\xaf",      // overlong '/'
      "\xed\xa0\x80",      // surrogate U+D800
      "\xf4\x90\x80\x80",  // U+110000
      "\xf8\x88\x80\x80\x80",
      "\xff",
  };
  for (const char* text : invalid) {
    EXPECT_EQ(std::wstring(), corelib::Utf8ToWide(text)) << text;
  }
  EXPECT_EQ(std::wstring(), corelib::Utf8ToWide(static_cast<const char*>(nullptr)));
}

TEST(WideUtf8Test, EmptyAndEmbeddedZero) {
  EXPECT_EQ(std::wstring(), corelib::Utf8ToWide(std::string()));
  EXPECT_EQ(std::wstring(L"a\0b", 3), corelib::Utf8ToWide(std::string("a\0b", 3)));
  EXPECT_EQ(std::string("a\0b", 3), corelib::WideToUtf8(std::wstring(L"a\0b", 3)));
}

}  // namespace
