// Image-processing devices: the elements of the document's "isps" list. Each
// names a USB device, its driver and the streams it delivers.
#pragma once

#include <json/json.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantage {

// One stream, from a text such as "1,2,'ABCD',3".
struct IspStream {
  uint8_t first = 0;
  uint8_t second = 0;
  uint32_t format = 0;  // four-character code, first character in the top byte
  uint8_t last = 0;
};

struct IspDescriptor {
  uint32_t usbVID = 0;
  uint32_t usbPID = 0;
  std::string driver;
  std::vector<IspStream> streams;
};

// Scans `text` as the scanf format "%hu,%hu,'%4c',%hu" would, stopping at the
// first mismatch or at the end of the text (or at an embedded NUL): fields
// not reached stay 0, a code cut short keeps the characters it got, and each
// number keeps its low 8 bits. Returns the count of fields filled, 0 to 4.
int ScanIspStream(const std::string& text, IspStream* out);

// Reads one element of "isps" (null gives the reset record). Stream texts
// that do not match give streams with zero fields. The read is lenient;
// false is returned (with a description in `error`) only when the value,
// "streams" or a stream element has the wrong container kind.
bool FromJson(const Json::Value& value, IspDescriptor* out, std::string* error);
// Only "driver" is written; the USB ids and the streams are not.
Json::Value ToJson(const IspDescriptor& isp);

}  // namespace vantage
