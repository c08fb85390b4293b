// EDID manufacturer and product ids, byte-swapped as the EDID block holds
// them.
#include "devconfig/jsonhelpers.h"

#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace {

uint16_t SwapBytes(uint16_t v) { return static_cast<uint16_t>((v >> 8) | (v << 8)); }

}  // namespace

uint16_t EncodeEdidVendorId(const std::string& text) {
  if (text.size() != 3)
    return 0;
  unsigned v = 0;
  for (char c : text)
    v = ((static_cast<unsigned>(toupper(static_cast<unsigned char>(c))) & 31) | (v << 5)) & 0xFFFF;
  return SwapBytes(static_cast<uint16_t>(v));
}

std::string DecodeEdidVendorId(uint16_t value) {
  unsigned v = SwapBytes(value);
  std::string text(3, '@');
  text[0] = static_cast<char>(((v >> 10) & 31) + 64);
  text[1] = static_cast<char>(((v >> 5) & 31) + 64);
  text[2] = static_cast<char>((v & 31) + 64);
  return text;
}

bool ParseEdidProductId(const std::string& text, int32_t* out, std::string* error) {
  *out = 0;
  if (text.size() > 4)
    return true;
  // std::stoi accepts leading blanks, a sign and "0x", and stops at the
  // first character that is not a hexadecimal digit.
  try {
    *out = std::stoi(text, nullptr, 16);
    return true;
  } catch (const std::out_of_range&) {
    if (error != nullptr)
      *error = "the product id \"" + text + "\" is out of range";
  } catch (const std::exception&) {
    if (error != nullptr)
      *error = "the product id \"" + text + "\" is not a hexadecimal number";
  }
  return false;
}

std::string FormatEdidProductId(int32_t value) {
  char buffer[16];
  snprintf(buffer, sizeof(buffer), "%04X", static_cast<unsigned>(value));
  return buffer;
}
