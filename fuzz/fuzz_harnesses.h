// The fuzz harnesses. Each FuzzOne runs one input through the code under
// test and checks its invariants: it returns false (after saying why on
// standard error) when one is broken. A crash or sanitizer report ends the
// process. The libFuzzer binaries and the regression replay test call the
// same functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "corelib/src/strtools_public.h"

// Document text through LoadFromString and ToJsonString.
namespace fuzz_document { bool FuzzOne(const uint8_t* data, size_t size); }
// Argument vectors (zero bytes separate the arguments) through ParseToolOptions.
namespace fuzz_cmdline { bool FuzzOne(const uint8_t* data, size_t size); }
// ReadConfigFromDevice against a headset whose feature reports are the input.
namespace fuzz_device_read { bool FuzzOne(const uint8_t* data, size_t size); }
// Typed element values and the EDID id converters.
namespace fuzz_typed_value { bool FuzzOne(const uint8_t* data, size_t size); }

// Strict UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
inline bool IsValidUtf8(const std::string& text) {
  return corelib::IsUtf8(text.data(), text.data() + text.size());
}

// Two written documents compared as texts, with one difference allowed: a
// real negative zero is written "-0", which the reader takes back as the
// integer 0, written "0". The two are the same number, so the documents
// count as the same.
inline std::string WithoutNegativeZeros(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '-' && i > 0 && (text[i - 1] == ' ' || text[i - 1] == '[') && i + 2 < text.size() &&
        text[i + 1] == '0' && (text[i + 2] == ',' || text[i + 2] == ' ' || text[i + 2] == '\n'))
      continue;
    out.push_back(text[i]);
  }
  return out;
}

inline bool SameDocumentText(const std::string& a, const std::string& b) {
  return a == b || WithoutNegativeZeros(a) == WithoutNegativeZeros(b);
}

inline bool FuzzInvariantBroken(const char* harness, const std::string& what) {
  fprintf(stderr, "%s: invariant broken: %s\n", harness, what.c_str());
  return false;
}
