#include "corelib/src/strtools_public.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "corelib/src/logchannel.h"

namespace {

using corelib::StringPrintf;

// The first 4096-byte pass and the exact second pass meet at 4095/4096
// characters, where an off-by-one would cut or lose the text.
TEST(StringPrintfTest, FormatsWholeTextOnEitherPass) {
  EXPECT_EQ(std::string("a\0b", 3), StringPrintf("a%cb", '\0'));
  for (size_t length : {4095u, 4096u, 4097u, 10000u}) {
    const std::string text(length - 2, 'x');
    EXPECT_EQ(text + "-7", StringPrintf("%s%d", text.c_str(), -7)) << length;
  }
  const char* noFormat = nullptr;
  EXPECT_EQ("", StringPrintf(noFormat));
}

TEST(StringPrintfTest, FormatterErrorAssertsAndGivesEmptyText) {
  std::string seen;
  corelib::CAssertListener listener(
      [&seen](const char* message, const char* file, int, bool, bool*, void*) {
        seen += message + std::string(" @ ") + file;
      },
      nullptr);
  corelib::AddAssertListener(&listener);
  // A wide character the C locale cannot encode makes vsnprintf fail.
  const wchar_t unencodable[] = {static_cast<wchar_t>(0x110000), 0};
  EXPECT_EQ("", StringPrintf("before %ls after", unencodable));
  corelib::RemoveAssertListener(&listener);
  EXPECT_EQ("Format string parse failure @ corelib/src/strtools_public", seen);
}

// Only trailing blank, tab, LF and CR go; all-white-space text stays whole.
TEST(TextToolsTest, TrimTrailingWhitespace) {
  const std::pair<const char*, const char*> cases[] = {
      {"abc \t\r\n", "abc"}, {"  abc\n", "  abc"}, {"a\vb\v ", "a\vb\v"},
      {"\n", "\n"},          {" \t\r\n", " \t\r\n"}, {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.second, corelib::TrimTrailingWhitespace(c.first)) << c.first;
}

TEST(TextToolsTest, CaseFoldingIsNullSafeAndKeepsHighBytes) {
  EXPECT_TRUE(corelib::CaseInsensitiveEqualN("HMD_left", "hmd_RIGHT", 4));
  EXPECT_FALSE(corelib::CaseInsensitiveEqual("a", nullptr));
  EXPECT_FALSE(corelib::CaseInsensitiveEqualN(nullptr, "a", 1));
  // Bytes above 0x7F pass through (and never reach tolower as negatives).
  EXPECT_EQ("\xc3\xa9x device", corelib::ToLower("\xc3\xa9X DEVICE"));
  EXPECT_EQ("\xc3\xa9X DEVICE", corelib::ToUpper("\xc3\xa9x device"));
}

// Bounded like strncpy, always terminated at size - 1, nothing past size.
TEST(TextToolsTest, SafeCopy) {
  char buffer[8];
  memset(buffer, '#', sizeof(buffer));
  corelib::SafeCopy(buffer, 6, "ab");
  EXPECT_EQ(std::string("ab\0\0\0\0##", 8), std::string(buffer, 8));
  memset(buffer, '#', sizeof(buffer));
  corelib::SafeCopy(buffer, 4, "0123456789");
  corelib::SafeCopy(buffer + 4, 1, "abc");
  corelib::SafeCopy(buffer + 5, 2, nullptr);
  corelib::SafeCopy(buffer + 7, 0, "abc");  // must not write anything
  corelib::SafeCopy(nullptr, 4, "abc");
  EXPECT_EQ(std::string("012\0\0\0\0#", 8), std::string(buffer, 8));
}

// All or nothing in both directions.
TEST(WideUtf8Test, ValidTextRoundTrips) {
  const std::wstring wide = {L'A', static_cast<wchar_t>(0xE9), static_cast<wchar_t>(0x20AC),
                             static_cast<wchar_t>(0x1F600), static_cast<wchar_t>(0x10FFFF)};
  const std::string utf8 = "A\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf";
  EXPECT_EQ(utf8, corelib::WideToUtf8(wide.c_str()));
  EXPECT_EQ(wide, corelib::Utf8ToWide(utf8.c_str()));
  EXPECT_EQ(std::wstring(L"a\0b", 3), corelib::Utf8ToWide(std::string("a\0b", 3)));
  EXPECT_EQ(std::string("a\0b", 3), corelib::WideToUtf8(std::wstring(L"a\0b", 3)));
}

TEST(WideUtf8Test, InvalidTextGivesEmpty) {
  for (wchar_t bad : {static_cast<wchar_t>(0x110000), static_cast<wchar_t>(0xD800), static_cast<wchar_t>(-1)})
    EXPECT_EQ("", corelib::WideToUtf8(std::wstring{L'a', bad})) << bad;
  EXPECT_EQ("", corelib::WideToUtf8(static_cast<const wchar_t*>(nullptr)));
  const char* invalid[] = {
      "\x80", "ab\xbf", "\xc3", "\xe2\x82",           // stray or missing continuation bytes
      "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80",     // overlong forms, a surrogate
      "\xf4\x90\x80\x80", "\xf8\x88\x80\x80\x80", "\xff", nullptr,
  };
  for (const char* text : invalid) {
    EXPECT_EQ(std::wstring(), corelib::Utf8ToWide(text)) << (text ? text : "null");
    if (text != nullptr) {
      EXPECT_FALSE(corelib::IsUtf8(text, text + strlen(text))) << text;
    }
  }
  // Valid text, a NUL inside it included, and the empty range.
  const std::string valid("a\0\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xf4\x8f\xbf\xbf", 15);
  EXPECT_TRUE(corelib::IsUtf8(valid.data(), valid.data() + valid.size()));
  EXPECT_TRUE(corelib::IsUtf8(valid.data(), valid.data()));
  EXPECT_FALSE(corelib::IsUtf8(valid.data(), valid.data() + 3));  // cut inside the second letter
}

}  // namespace
