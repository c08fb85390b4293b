// The configuration read protocol against a headset whose feature reports
// come from the input. The first input byte chooses quiet mode (bit 0); the
// rest is the script of the one headset of a stand-in for the HID library,
// linked in its place (the library's own functions are weak definitions),
// one entry per hid_get_feature_report call:
//   no byte left  the call returns 0 (an empty report)
//   0xFF          the call fails (-1); after kMaxFailures failures the
//                 entry reads as an empty report, which keeps retry pauses
//                 from slowing a fuzz run
//   0 to 65       a report of that many bytes counting the report number;
//                 the bytes after the number follow in the script
//   66 to 254     a full 64-byte report; its 63 bytes follow in the script
// Bytes missing at the end of the script read as zeros.
#include <hidapi/hidapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "devconfig/configloader.h"
#include "fuzz/fuzz_harnesses.h"
#include "vantagelib/configtransfer.h"
#include "vantagelib/debugprintf.h"
#include "vantagelib/hiddevice.h"

// The opaque handle type of the HID library, defined here for the stand-in.
struct hid_device_ {
  int unused;
};

namespace {

const char kName[] = "device_read";
constexpr int kMaxFailures = 3;
constexpr uint16_t kVendorId = 0xF3A1, kProductId = 0x2000;
const char kSerial[] = "FUZZ-0001";
wchar_t kWideSerial[] = L"FUZZ-0001";
char kPath[] = "fuzz:0";

struct Call {
  std::string function;  // "get", "send", "write" or "read"
  uint8_t reportNumber;  // for get and send
  int result;
};

// The headset: its script, its open handles and every call the host made.
struct State {
  const uint8_t* script = nullptr;
  size_t size = 0, position = 0;
  int failures = 0, openHandles = 0;
  std::vector<Call> calls;
  hid_device_ device{0};
} state;

int Record(const char* function, uint8_t reportNumber, int result) {
  state.calls.push_back(Call{function, reportNumber, result});
  return result;
}

uint8_t NextByte() { return state.position < state.size ? state.script[state.position++] : 0; }

}  // namespace

extern "C" {

hid_device_info* hid_enumerate(unsigned short, unsigned short) {
  auto* node = static_cast<hid_device_info*>(calloc(1, sizeof(hid_device_info)));
  node->path = kPath;
  node->vendor_id = kVendorId;
  node->product_id = kProductId;
  node->serial_number = kWideSerial;
  return node;
}

void hid_free_enumeration(hid_device_info* devs) {
  while (devs != nullptr) {
    hid_device_info* next = devs->next;
    free(devs);
    devs = next;
  }
}

hid_device* hid_open_path(const char* path) {
  if (path == nullptr || strcmp(path, kPath) != 0) return nullptr;
  ++state.openHandles;
  return &state.device;
}

void hid_close(hid_device* dev) {
  if (dev == &state.device) --state.openHandles;
}

int hid_get_feature_report(hid_device* dev, unsigned char* data, size_t length) {
  const uint8_t number = length > 0 ? data[0] : 0;
  if (dev != &state.device || length == 0) return Record("get", number, -1);
  if (state.position >= state.size) return Record("get", number, 0);
  const uint8_t tag = NextByte();
  if (tag == 0xFF) return Record("get", number, state.failures++ < kMaxFailures ? -1 : 0);
  // Like hidraw: never more than the caller's buffer, the number first.
  const size_t served = tag <= 65 ? tag : 64, count = std::min(served, length);
  for (size_t i = 1; i < served; ++i) {
    const uint8_t byte = NextByte();
    if (i < count) data[i] = byte;
  }
  return Record("get", number, static_cast<int>(count));
}

int hid_send_feature_report(hid_device*, const unsigned char* data, size_t length) {
  return Record("send", length > 0 ? data[0] : 0, static_cast<int>(length));
}

int hid_write(hid_device*, const unsigned char*, size_t length) { return Record("write", 0, static_cast<int>(length)); }

int hid_read_timeout(hid_device*, unsigned char*, size_t, int) { return Record("read", 0, 0); }

}  // extern "C"

namespace fuzz_device_read {

bool FuzzOne(const uint8_t* data, size_t size) {
  // Diagnostics are formatted as in the tool but not logged anywhere.
  static const bool registered = vantage::RegisterDebugOutputFunction([](const char*) {});
  (void)registered;
  const bool quiet = size > 0 && (data[0] & 1) != 0;
  state = State();
  if (size > 0) {
    state.script = data + 1;
    state.size = size - 1;
  }
  int result = -1;
  std::string text;
  {
    vantage::CHidDevice device;
    device.SetTarget(kVendorId, kProductId, kSerial, 0);
    if (!device.Open(true)) return FuzzInvariantBroken(kName, "the stand-in headset does not open");
    result = vantage::ReadConfigFromDevice(device, &text, quiet);
    if (result != vantage::kConfigReadOk &&
        (result < vantage::kConfigReadSizeFailed || result > vantage::kConfigReadInflateInitFailed))
      return FuzzInvariantBroken(kName, "unknown result code " + std::to_string(result));
    // A read only reads: the size report first, once it arrives, then data reports.
    int dataGets = 0;
    for (size_t i = 0; i < state.calls.size(); ++i) {
      const Call& call = state.calls[i];
      if (call.function != "get") return FuzzInvariantBroken(kName, "the read made a '" + call.function + "' call");
      const bool sizeReport = call.reportNumber == vantage::kConfigSizeReport;
      if (!sizeReport && call.reportNumber != vantage::kConfigDataReport)
        return FuzzInvariantBroken(kName, "the read asked for report " + std::to_string(call.reportNumber));
      if (sizeReport != (dataGets == 0 && (i == 0 || state.calls[i - 1].result < 0)))
        return FuzzInvariantBroken(kName, "the size report was not read first, once");
      if (!sizeReport) ++dataGets;
    }
    // No configuration, or too much of one: no data report is asked for.
    if ((result == vantage::kConfigReadNoConfig || result == vantage::kConfigReadTooLarge) && dataGets != 0)
      return FuzzInvariantBroken(kName, "data reports read after the size refused the transfer");
  }
  if (state.openHandles != 0) return FuzzInvariantBroken(kName, "the device handle was not closed");

  // What the tool does next with a document it read.
  TrackedDeviceConfig model;
  std::string error;
  if (result == vantage::kConfigReadOk && LoadFromString(&model, &error, text) && ToJsonString(model, true).empty())
    return FuzzInvariantBroken(kName, "a loaded device document writes as nothing");
  return true;
}

}  // namespace fuzz_device_read
