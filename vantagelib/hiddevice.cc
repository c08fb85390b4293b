#include "vantagelib/hiddevice.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "corelib/src/strtools_public.h"
#include "vantagelib/debugprintf.h"
#include "vantagelib/hiddevicetable.h"
#include "vantagelib/thread.h"

namespace vantage {

namespace {

// Feature reports are read into a buffer of the largest report plus its number.
constexpr size_t kFeatureBufferSize = 65;
constexpr uint32_t kGetPauseMilliseconds = 3;
constexpr uint32_t kSendPauseMilliseconds = 10;
// No HID report comes near this; it keeps the buffer size computation sane.
constexpr size_t kMaxFeatureReportLength = 0x10000;
constexpr size_t kSimpleMessageSize = 64;
constexpr size_t kSimpleMessageMaxPayload = 61;

std::wstring WithoutTrailingSpaces(const std::wstring& text) {
  size_t end = text.find_last_not_of(L' ');
  return end == std::wstring::npos ? std::wstring() : text.substr(0, end + 1);
}

}  // namespace

bool SerialsEqualIgnoringTrailingSpaces(const std::wstring& a, const std::wstring& b) {
  std::wstring left = WithoutTrailingSpaces(a);
  std::wstring right = WithoutTrailingSpaces(b);
  if (left.empty() || right.empty() || left.size() != right.size())
    return false;
  return left == right;
}

CHidDevice::CHidDevice()
    : vendorId_(0),
      productId_(0),
      minFeatureReportLength_(0),
      sequence_(0),
      handle_(nullptr) {}

CHidDevice::~CHidDevice() { Close(); }

void CHidDevice::SetTarget(uint32_t vendorId, uint32_t productId, const char* serialOrPath,
                           int32_t sequence) {
  if (serialOrPath != nullptr && strlen(serialOrPath) > 2 && serialOrPath[0] == '\\' &&
      serialOrPath[1] == '\\') {
    vendorId_ = vendorId;
    productId_ = productId;
    serialNumber_.clear();
    devicePath_ = serialOrPath;
    sequence_ = 1;
    return;
  }
  vendorId_ = vendorId;
  serialNumber_ = serialOrPath != nullptr ? serialOrPath : "";
  uint32_t listedProductId = 0;
  productId_ = FindAttachedHidProductId(vendorId, serialNumber_, &listedProductId)
                   ? listedProductId
                   : productId;
  sequence_ = sequence < 1 ? 1 : sequence;
}

bool CHidDevice::Open(bool quiet) {
  Close();
  const uint16_t vid = static_cast<uint16_t>(vendorId_);
  const uint16_t pid = static_cast<uint16_t>(productId_);
  std::string path = devicePath_;
  if (path.empty())
    path = LookupAttachedHidDevicePath(vid, pid, serialNumber_, sequence_);

  if (!path.empty()) {
    handle_ = hid_open_path(path.c_str());
  } else {
    // Not in the table (or the table is stale): enumerate this one id.
    hid_device_info* list = hid_enumerate(vid, pid);
    NumberDuplicateHidDevices(list);
    std::wstring wideSerial = corelib::Utf8ToWide(serialNumber_);
    for (hid_device_info* node = list; node != nullptr; node = node->next) {
      if (node->vendor_id != vid)
        continue;
      if (serialNumber_.empty()) {
        if (node->product_id != pid)
          continue;
      } else if (node->serial_number == nullptr ||
                 !SerialsEqualIgnoringTrailingSpaces(node->serial_number, wideSerial)) {
        continue;
      }
      if (sequence_ >= 1 && node->interface_number != sequence_ - 1)
        continue;
      if (node->path != nullptr) {
        handle_ = hid_open_path(node->path);
        DebugPrintf("HID opened: VID %04x PID %04x serial %S seq %d | if %d\n", node->vendor_id,
                    node->product_id, node->serial_number != nullptr ? node->serial_number : L"",
                    sequence_, node->interface_number);
      }
      break;
    }
    hid_free_enumeration(list);
  }

  if (handle_ == nullptr) {
    if (!quiet)
      DebugPrintf("CHidDevice: Can't open USB device VID %08x, PID %08x %s %d\n", vendorId_,
                  productId_, serialNumber_.c_str(), sequence_);
    return false;
  }
  return true;
}

void CHidDevice::Close() {
  if (handle_ != nullptr) {
    hid_close(handle_);
    handle_ = nullptr;
  }
}

int32_t CHidDevice::GetFeatureReport(uint8_t reportNumber, uint8_t* out, size_t size,
                                     int attempts) {
  if (handle_ == nullptr)
    return -1;
  uint8_t buffer[kFeatureBufferSize] = {};
  RetryBudget budget(attempts, kGetPauseMilliseconds);
  int r = -1;
  for (;;) {
    if (handle_ == nullptr)
      return -1;
    buffer[0] = reportNumber;
    r = hid_get_feature_report(handle_, buffer, sizeof(buffer));
    if (r >= 0 || !budget.RetryAfterFailure())
      break;
  }
  if (r > 0 && out != nullptr) {
    // Numbered reports start with their number, which the caller does not
    // want; unnumbered ones (report 0) carry data only. Either way the copy
    // stays inside the buffer.
    size_t available = static_cast<size_t>(r);
    if (reportNumber != 0)
      available -= 1;
    size_t count = std::min({available, size, sizeof(buffer) - 1});
    if (count > 0)
      memcpy(out, buffer + 1, count);
  }
  return r;
}

int32_t CHidDevice::SendFeatureReport(uint8_t reportNumber, const uint8_t* data, size_t length,
                                      int attempts) {
  if (handle_ == nullptr)
    return -1;
  if (length > kMaxFeatureReportLength || (data == nullptr && length > 0))
    return -1;
  std::vector<uint8_t> buffer(std::max<size_t>(minFeatureReportLength_, length) + 1, 0);
  RetryBudget budget(attempts, kSendPauseMilliseconds);
  for (;;) {
    if (handle_ == nullptr)
      return -1;
    buffer[0] = reportNumber;
    if (length > 0)
      memcpy(buffer.data() + 1, data, length);
    if (hid_send_feature_report(handle_, buffer.data(), buffer.size()) != -1)
      return 0;
    if (!budget.RetryAfterFailure())
      return -1;
  }
}

int32_t CHidDevice::ReadInputReport(uint8_t* buffer, int timeoutMilliseconds,
                                    uint64_t* timestamp) {
  if (handle_ == nullptr)
    return -1;
  int r = hid_read_timeout(handle_, buffer, 64, timeoutMilliseconds);
  if (timestamp != nullptr)
    *timestamp = GetTimeTicks();
  return r;
}

bool CHidDevice::SendSimpleMessage(uint8_t command, const uint8_t* payload, size_t length) {
  if (length > kSimpleMessageMaxPayload) {
    DebugPrintf("Simple HID message payload %zd is larger than max size of 61\n", length);
    return false;
  }
  if (handle_ == nullptr)
    return false;
  uint8_t message[kSimpleMessageSize] = {};
  message[0] = 1;
  message[1] = command;
  message[2] = static_cast<uint8_t>(length);
  if (length > 0 && payload != nullptr)
    memcpy(message + 3, payload, length);
  return hid_write(handle_, message, sizeof(message)) == static_cast<int>(sizeof(message));
}

}  // namespace vantage
