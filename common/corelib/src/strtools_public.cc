#include "corelib/src/strtools_public.h"

#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>

#include <algorithm>
#include <vector>

#include "corelib/src/logchannel.h"

namespace corelib {

namespace {

// Assertions name the module, not the build machine's absolute path.
const char kSourceFile[] = "corelib/src/strtools_public";

const size_t kFirstPassSize = 4096;

// Appends one code point as UTF-8; false for values UTF-8 cannot carry.
bool AppendUtf8(uint32_t code, std::string* out) {
  if (code >= 0xD800 && code <= 0xDFFF) return false;  // UTF-16 surrogates
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code >> 6)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (code >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code <= 0x10FFFF) {
    out->push_back(static_cast<char>(0xF0 | (code >> 18)));
    out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    return false;
  }
  return true;
}

// Decodes one strict UTF-8 sequence at p; rejects overlong forms,
// surrogates, values above U+10FFFF and truncated or stray continuation
// bytes. Returns its length, 0 when it is no such sequence.
size_t DecodeUtf8At(const unsigned char* p, const unsigned char* end, uint32_t* code) {
  const unsigned char lead = *p;
  size_t extra;
  uint32_t value;
  uint32_t minimum;
  if (lead < 0x80) {
    *code = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;  // continuation byte, C0/C1 or F5..FF
  }
  if (static_cast<size_t>(end - p) <= extra) return 0;
  for (size_t i = 1; i <= extra; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    value = (value << 6) | (p[i] & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *code = value;
  return extra + 1;
}

bool DecodeUtf8(const std::string& text, size_t* pos, uint32_t* code) {
  const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
  const size_t length = DecodeUtf8At(begin + *pos, begin + text.size(), code);
  *pos += length;
  return length != 0;
}

}  // namespace

bool IsUtf8(const char* text, const char* end) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const auto* stop = reinterpret_cast<const unsigned char*>(end);
  uint32_t code;
  while (p != stop) {
    // ASCII, nearly all of every document, costs one test a byte.
    if (*p < 0x80) {
      ++p;
      continue;
    }
    const size_t length = DecodeUtf8At(p, stop, &code);
    if (length == 0) return false;
    p += length;
  }
  return true;
}

std::string StringPrintf(const char* format, ...) {
  if (format == nullptr) return std::string();
  char buffer[kFirstPassSize];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  if (length < 0) {
    va_end(again);
    Assert(kSourceFile, __LINE__, "Format string parse failure");
    return std::string();
  }
  if (static_cast<size_t>(length) < kFirstPassSize) {
    va_end(again);
    return std::string(buffer, length);
  }
  std::vector<char> exact(static_cast<size_t>(length) + 1);
  const int written = vsnprintf(exact.data(), exact.size(), format, again);
  va_end(again);
  if (written < 0) {
    Assert(kSourceFile, __LINE__, "Format string parse failure");
    return std::string();
  }
  return std::string(exact.data(), std::min<size_t>(written, length));
}

std::string TrimTrailingWhitespace(const std::string& text) {
  const size_t last = text.find_last_not_of(" \t\n\r");
  // Text made only of white space is handed back as it came.
  if (last == std::string::npos) return text;
  return text.substr(0, last + 1);
}

bool CaseInsensitiveEqual(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return strcasecmp(a, b) == 0;
}

bool CaseInsensitiveEqualN(const char* a, const char* b, size_t n) {
  if (a == nullptr || b == nullptr) return a == b;
  return strncasecmp(a, b, n) == 0;
}

std::string ToLower(const std::string& text) {
  std::string result(text);
  // tolower takes an unsigned char value; plain char may be negative here.
  for (char& c : result) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return result;
}

std::string ToUpper(const std::string& text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return result;
}

void SafeCopy(char* destination, size_t size, const char* source) {
  if (destination == nullptr || size == 0) return;
  size_t i = 0;
  if (source != nullptr) {
    for (; i + 1 < size && source[i] != '\0'; ++i) destination[i] = source[i];
  }
  // Zero the rest as strncpy would, including the final byte.
  memset(destination + i, 0, size - i);
}

std::string WideToUtf8(const std::wstring& text) {
  std::string result;
  result.reserve(text.size());
  for (wchar_t c : text) {
    if (!AppendUtf8(static_cast<uint32_t>(c), &result)) return std::string();
  }
  return result;
}

std::string WideToUtf8(const wchar_t* text) {
  if (text == nullptr) return std::string();
  return WideToUtf8(std::wstring(text));
}

std::wstring Utf8ToWide(const std::string& text) {
  std::wstring result;
  result.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    uint32_t code;
    if (!DecodeUtf8(text, &pos, &code)) return std::wstring();
    result.push_back(static_cast<wchar_t>(code));
  }
  return result;
}

std::wstring Utf8ToWide(const char* text) {
  if (text == nullptr) return std::wstring();
  return Utf8ToWide(std::string(text));
}

}  // namespace corelib
