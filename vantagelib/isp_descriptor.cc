#include "vantagelib/isp_descriptor.h"

#include <cctype>
#include <cstdlib>

#include "vantagelib/json_access.h"
#include "vantagelib/section_json.h"

namespace vantage {

namespace {

// "%hu": the strtoul conversion of the digits, narrowed to 16 bits. Returns
// false (consuming nothing) when no digits follow.
bool ScanNumber(const char** cursor, uint8_t* out) {
  const char* start = *cursor;
  char* end = nullptr;
  unsigned long value = std::strtoul(start, &end, 10);
  if (end == start)
    return false;
  *out = static_cast<uint8_t>(static_cast<uint16_t>(value));
  *cursor = end;
  return true;
}

bool ScanLiteral(const char** cursor, char c) {
  if (**cursor != c)
    return false;
  ++*cursor;
  return true;
}

// "%4c": up to four characters, fewer when the text ends first (which still
// counts as a filled field when at least one was read).
bool ScanCode(const char** cursor, uint32_t* out) {
  const char* p = *cursor;
  if (*p == '\0')
    return false;
  uint32_t code = 0;
  for (int i = 0; i < 4 && *p != '\0'; ++i, ++p)
    code |= static_cast<uint32_t>(static_cast<unsigned char>(*p)) << (24 - 8 * i);
  *out = code;
  *cursor = p;
  return true;
}

}  // namespace

int ScanIspStream(const std::string& text, IspStream* out) {
  *out = IspStream();
  const char* p = text.c_str();
  if (!ScanNumber(&p, &out->first))
    return 0;
  if (!ScanLiteral(&p, ',') || !ScanNumber(&p, &out->second))
    return 1;
  if (!ScanLiteral(&p, ',') || !ScanLiteral(&p, '\'') || !ScanCode(&p, &out->format))
    return 2;
  if (!ScanLiteral(&p, '\'') || !ScanLiteral(&p, ',') || !ScanNumber(&p, &out->last))
    return 3;
  return 4;
}

bool FromJson(const Json::Value& value, IspDescriptor* out, std::string* error) {
  std::string problem;
  *out = IspDescriptor();
  ExpectObject(value, "image-processing device", &problem);

  out->driver = JsonGet(value, "driver", "").asString();
  out->usbVID = JsonGet(value, "usbVID", 0u).asUInt();
  out->usbPID = JsonGet(value, "usbPID", 0u).asUInt();

  const Json::Value& streams = JsonAt(value, "streams");
  ExpectArray(streams, "\"streams\"", &problem);
  if (streams.isArray()) {
    for (Json::ArrayIndex i = 0; i < streams.size(); ++i) {
      const Json::Value& element = JsonAt(streams, i);
      if (element.isArray() || element.isObject())
        KeepFirstError(&problem, "a stream of \"streams\" is not a text");
      IspStream stream;
      ScanIspStream(JsonGet(streams, i, "").asString(), &stream);
      out->streams.push_back(stream);
    }
  }

  if (problem.empty())
    return true;
  if (error)
    *error = problem;
  return false;
}

Json::Value ToJson(const IspDescriptor& isp) {
  Json::Value out(Json::objectValue);
  out["driver"] = isp.driver;
  return out;
}

}  // namespace vantage
