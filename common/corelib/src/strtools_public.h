// Text helpers shared by the tool, the configuration model and the device
// link. Texts are UTF-8 byte strings; wide strings hold one code point per
// wchar_t (32 bits on Linux), as the HID library delivers them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corelib {

std::string StringPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string TrimTrailingWhitespace(const std::string& text);
bool CaseInsensitiveEqual(const char* a, const char* b);
bool CaseInsensitiveEqualN(const char* a, const char* b, size_t n);
std::string ToLower(const std::string& text);
std::string ToUpper(const std::string& text);
// Copies at most size - 1 bytes and always terminates; size must be >= 1.
void SafeCopy(char* destination, size_t size, const char* source);
// True when [text, end) is strict UTF-8 (no overlong forms, surrogates,
// values above U+10FFFF or cut sequences).
bool IsUtf8(const char* text, const char* end);

std::string WideToUtf8(const std::wstring& text);
std::string WideToUtf8(const wchar_t* text);
std::wstring Utf8ToWide(const std::string& text);
std::wstring Utf8ToWide(const char* text);

}  // namespace corelib
