// Moves the headset's stored configuration (a zlib stream) over feature
// reports 0x10 (size) and 0x11 (data chunks).
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantage {

class CHidDevice;

enum ConfigReadResult {
  kConfigReadOk = 0,
  kConfigReadSizeFailed = 1102,
  kConfigReadNoConfig = 1103,
  kConfigReadTooLarge = 1104,
  kConfigReadSizeMismatch = 1105,
  kConfigReadInflateInitFailed = 1106,
};

constexpr uint8_t kConfigSizeReport = 0x10;
constexpr uint8_t kConfigDataReport = 0x11;
constexpr size_t kConfigChunkMaxBytes = 62;
constexpr uint32_t kConfigReadMaxSize = 0x2000;
constexpr uint32_t kConfigWriteMaxSize = 0xFFFF;
constexpr uint16_t kConfigSizeNone = 0xFFFF;

// Deflates `text` in one piece, at the protocol's settings, into `out`.
bool CompressConfig(const std::string& text, std::vector<uint8_t>* out);
// Appends the inflated document to `text`; on failure `text` may hold part
// of it and must be discarded.
int ReadConfigFromDevice(CHidDevice& device, std::string* text, bool quiet);
// Deflates `text` and sends it; true when the size and every chunk were taken.
bool WriteConfigToDevice(CHidDevice& device, const std::string& text);
// Inflates one chunk into `text`; false after an inflate error.
bool InflateConfigChunk(z_stream* stream, const uint8_t* bytes, size_t length, std::string* text);

}  // namespace vantage
