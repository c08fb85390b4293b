#include "vantagelib/configtransfer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "vantagelib/debugprintf.h"
#include "vantagelib/hiddevice.h"
#include "vantagelib/thread.h"

namespace vantage {

namespace {

constexpr int kReadAttempts = 100;
constexpr int kSizeWriteAttempts = 1;
constexpr int kChunkWriteAttempts = 100;
constexpr int kDataReportLength = 64;  // counting the report number
constexpr uint32_t kPauseBeforeChunksMilliseconds = 100;
constexpr size_t kInflateWindow = 1024;
// The zlib interface version this protocol was defined with.
const char kZlibVersion[] = "1.2.5";

}  // namespace

bool CompressConfig(const std::string& text, std::vector<uint8_t>* out) {
  if (text.size() > 0xFFFFFFFFu)
    return false;
  z_stream stream;
  memset(&stream, 0, sizeof(stream));
  if (deflateInit_(&stream, Z_DEFAULT_COMPRESSION, kZlibVersion, sizeof(z_stream)) != Z_OK)
    return false;
  out->resize(deflateBound(&stream, text.size()));
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = out->data();
  stream.avail_out = static_cast<uInt>(out->size());
  int result = deflate(&stream, Z_FINISH);
  out->resize(stream.total_out);
  deflateEnd(&stream);
  return result == Z_STREAM_END;
}

namespace {

// True when the inflater has seen the end of the stream and its checksum.
// With no input left, inflate answers Z_STREAM_END only in that state.
bool InflateReachedEnd(z_stream* stream) {
  Bytef window[1];
  stream->next_in = nullptr;
  stream->avail_in = 0;
  stream->next_out = window;
  stream->avail_out = sizeof(window);
  return inflate(stream, Z_FINISH) == Z_STREAM_END;
}

}  // namespace

bool InflateConfigChunk(z_stream* stream, const uint8_t* bytes, size_t length, std::string* text) {
  stream->next_in = const_cast<Bytef*>(bytes);
  stream->avail_in = static_cast<uInt>(length);
  for (;;) {
    Bytef window[kInflateWindow];
    stream->next_out = window;
    stream->avail_out = sizeof(window);
    int result = inflate(stream, Z_NO_FLUSH);
    if (result == Z_NEED_DICT || result == Z_DATA_ERROR || result == Z_MEM_ERROR) {
      DebugPrintf("Error unzipping config data: %s\n", stream->msg != nullptr ? stream->msg : "");
      return false;
    }
    size_t produced = sizeof(window) - stream->avail_out;
    text->append(reinterpret_cast<const char*>(window), produced);
    if (stream->avail_out != 0)
      return true;
  }
}

int ReadConfigFromDevice(CHidDevice& device, std::string* text, bool quiet) {
  const char* serial = device.SerialNumber().c_str();
  uint8_t buffer[64] = {};
  if (device.GetFeatureReport(kConfigSizeReport, buffer, sizeof(buffer), kReadAttempts) < 0) {
    if (!quiet)
      DebugPrintf("%s: Unable to request config start from device\n", serial);
    return kConfigReadSizeFailed;
  }
  const uint32_t size = (static_cast<uint32_t>(buffer[0]) << 8) | buffer[1];
  if (size == kConfigSizeNone) {
    if (!quiet)
      DebugPrintf("%s: Device does not have a stored config\n", serial);
    return kConfigReadNoConfig;
  }
  if (size > kConfigReadMaxSize) {
    if (!quiet)
      DebugPrintf("%s: Not loading device config because its size is too large: 0x%X bytes\n",
                  serial, size);
    return kConfigReadTooLarge;
  }

  int r = device.GetFeatureReport(kConfigDataReport, buffer, sizeof(buffer), kReadAttempts);
  z_stream stream;
  memset(&stream, 0, sizeof(stream));
  if (inflateInit_(&stream, kZlibVersion, sizeof(z_stream)) != Z_OK) {
    if (!quiet)
      DebugPrintf("Unable to init zlib\n");
    return kConfigReadInflateInitFailed;
  }

  uint32_t received = 0;
  bool protocolError = false;
  while (r != 0) {
    if (r != kDataReportLength) {
      if (!quiet)
        DebugPrintf("%s: Received short %d byte packet when expecting config\n", serial, r);
      break;
    }
    const uint32_t n = buffer[0];
    if (n == 0)
      break;
    // A 64-byte report has room for 62 stream bytes; more is not a chunk.
    if (n > kConfigChunkMaxBytes) {
      if (!quiet)
        DebugPrintf("%s: Received config chunk claiming %u bytes, more than a report holds\n",
                    serial, n);
      protocolError = true;
      break;
    }
    const uint32_t take = std::min(size - received, n);
    if (take != 0) {
      if (!InflateConfigChunk(&stream, buffer + 1, take, text))
        break;
      received += take;
    }
    r = device.GetFeatureReport(kConfigDataReport, buffer, sizeof(buffer), kReadAttempts);
  }
  // The byte count alone would accept a stream cut short on the headset, and
  // a backup made from it would look whole; only a finished stream counts.
  const bool streamEnded = InflateReachedEnd(&stream);
  inflateEnd(&stream);

  if (size != 0 && received == size && !protocolError && !streamEnded) {
    if (!quiet)
      DebugPrintf("%s: Config stream of %u bytes ends before the document does. Rejecting config\n",
                  serial, size);
    return kConfigReadSizeMismatch;
  }
  if (size != 0 && received == size && !protocolError) {
    if (!quiet)
      DebugPrintf("%s: Read config of %u bytes from [vid:%x, pid:%x] (%s) and inflated to %u bytes\n",
                  serial, size, device.VendorId(), device.ProductId(), serial,
                  static_cast<unsigned>(text->size()));
    return kConfigReadOk;
  }
  if (!quiet)
    DebugPrintf("%s: Expected %u bytes of config but only found %d. Rejecting config\n", serial,
                size, static_cast<int>(received));
  return kConfigReadSizeMismatch;
}

bool WriteConfigToDevice(CHidDevice& device, const std::string& text) {
  if (!device.IsOpen())
    return false;
  std::vector<uint8_t> stream;
  if (!CompressConfig(text, &stream)) {
    DebugPrintf("Unable to compress config\n");
    return false;
  }
  if (stream.size() > kConfigWriteMaxSize) {
    DebugPrintf("Compressed size too large\n");
    return false;
  }
  const size_t csize = stream.size();
  DebugPrintf("Compressed config size is %d\n", static_cast<int>(csize));

  const uint8_t sizePayload[2] = {static_cast<uint8_t>(csize >> 8),
                                  static_cast<uint8_t>(csize & 0xFF)};
  if (device.SendFeatureReport(kConfigSizeReport, sizePayload, sizeof(sizePayload),
                               kSizeWriteAttempts) != 0) {
    DebugPrintf("Unable to write size of config\n");
    return false;
  }
  SleepMilliseconds(kPauseBeforeChunksMilliseconds);
  if (csize == 0)
    return true;

  // Bytes past the chunk's length are left from the previous chunk.
  uint8_t payload[kConfigChunkMaxBytes + 1] = {};
  size_t offset = 0;
  for (;;) {
    const size_t n = std::min(kConfigChunkMaxBytes, csize - offset);
    payload[0] = static_cast<uint8_t>(n);
    memcpy(payload + 1, stream.data() + offset, n);
    if (device.SendFeatureReport(kConfigDataReport, payload, sizeof(payload),
                                 kChunkWriteAttempts) != 0) {
      DebugPrintf("Failed to send config chunk after %d bytes\n", static_cast<int>(offset));
      return false;
    }
    offset += n;
    if (offset >= csize)
      return true;
  }
}

}  // namespace vantage
