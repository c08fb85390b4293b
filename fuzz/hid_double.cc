#include "fuzz/hid_double.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

// The opaque handle type of the HID library, defined here for the double.
struct hid_device_ {
  int unused;
};

namespace hid_double {

const char kSerial[] = "FUZZ-0001";

namespace {

const wchar_t kWideSerial[] = L"FUZZ-0001";
char kPath[] = "fuzz:0";

struct State {
  const uint8_t* script = nullptr;
  size_t size = 0;
  size_t position = 0;
  int failures = 0;
  int openHandles = 0;
  std::vector<Call> calls;
  hid_device_ device{0};
} state;

bool NextByte(uint8_t* out) {
  if (state.position >= state.size)
    return false;
  *out = state.script[state.position++];
  return true;
}

int Record(const char* function, uint8_t reportNumber, int result) {
  state.calls.push_back(Call{function, reportNumber, result});
  return result;
}

}  // namespace

void Reset(const uint8_t* script, size_t size) {
  state.script = script;
  state.size = size;
  state.position = 0;
  state.failures = 0;
  state.openHandles = 0;
  state.calls.clear();
}

const std::vector<Call>& Calls() { return state.calls; }
int OpenHandles() { return state.openHandles; }

}  // namespace hid_double

using hid_double::state;

extern "C" {

hid_device_info* hid_enumerate(unsigned short vendor_id, unsigned short product_id) {
  hid_double::Record("enumerate", 0, 0);
  if ((vendor_id != 0 && vendor_id != hid_double::kVendorId) ||
      (product_id != 0 && product_id != hid_double::kProductId))
    return nullptr;
  auto* node = static_cast<hid_device_info*>(calloc(1, sizeof(hid_device_info)));
  node->path = hid_double::kPath;
  node->vendor_id = hid_double::kVendorId;
  node->product_id = hid_double::kProductId;
  node->serial_number = const_cast<wchar_t*>(hid_double::kWideSerial);
  node->interface_number = 0;
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
  if (path == nullptr || strcmp(path, hid_double::kPath) != 0) {
    hid_double::Record("open", 0, -1);
    return nullptr;
  }
  hid_double::Record("open", 0, 0);
  ++state.openHandles;
  return &state.device;
}

hid_device* hid_open(unsigned short, unsigned short, const wchar_t*) {
  hid_double::Record("open", 0, -1);
  return nullptr;
}

void hid_close(hid_device* dev) {
  if (dev == &state.device)
    --state.openHandles;
  hid_double::Record("close", 0, 0);
}

int hid_get_feature_report(hid_device* dev, unsigned char* data, size_t length) {
  const uint8_t reportNumber = (data != nullptr && length > 0) ? data[0] : 0;
  if (dev != &state.device || data == nullptr || length == 0)
    return hid_double::Record("get", reportNumber, -1);
  uint8_t tag = 0;
  if (!hid_double::NextByte(&tag))
    return hid_double::Record("get", reportNumber, 0);
  if (tag == 0xFF) {
    if (state.failures < hid_double::kMaxFailures) {
      ++state.failures;
      return hid_double::Record("get", reportNumber, -1);
    }
    return hid_double::Record("get", reportNumber, 0);
  }
  size_t count = tag <= 65 ? tag : 64;
  // Like hidraw: never more than the caller's buffer, the number first.
  const size_t served = count;
  count = std::min(count, length);
  for (size_t i = 1; i < served; ++i) {
    uint8_t byte = 0;
    hid_double::NextByte(&byte);
    if (i < count)
      data[i] = byte;
  }
  return hid_double::Record("get", reportNumber, static_cast<int>(count));
}

int hid_send_feature_report(hid_device* dev, const unsigned char* data, size_t length) {
  const uint8_t reportNumber = (data != nullptr && length > 0) ? data[0] : 0;
  return hid_double::Record("send", reportNumber, dev == &state.device ? static_cast<int>(length) : -1);
}

int hid_write(hid_device* dev, const unsigned char*, size_t length) {
  return hid_double::Record("write", 0, dev == &state.device ? static_cast<int>(length) : -1);
}

int hid_read_timeout(hid_device*, unsigned char*, size_t, int) {
  return hid_double::Record("read", 0, 0);
}

}  // extern "C"
