// One handle on one USB HID device: the identity that selects it, opening
// and closing, and feature-report exchange with bounded retries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct hid_device_;

namespace vantage {

class CHidDevice {
 public:
  CHidDevice();
  ~CHidDevice();
  CHidDevice(const CHidDevice&) = delete;
  CHidDevice& operator=(const CHidDevice&) = delete;

  // A serialOrPath starting with two backslashes is a device path. Does not open.
  void SetTarget(uint32_t vendorId, uint32_t productId, const char* serialOrPath,
                 int32_t sequence);
  bool Open(bool quiet);
  void Close();

  // Reads a feature report; `out` receives the bytes after the report number.
  // Returns the hidapi count (which includes the report number) or < 0.
  int32_t GetFeatureReport(uint8_t reportNumber, uint8_t* out, size_t size, int attempts);
  // Sends the report number followed by the payload, zero-padded up to the
  // minimum feature report length. 0 on success, -1 on failure.
  int32_t SendFeatureReport(uint8_t reportNumber, const uint8_t* data, size_t length,
                            int attempts);
  // `buffer` must hold 64 bytes.
  int32_t ReadInputReport(uint8_t* buffer, int timeoutMilliseconds, uint64_t* timestamp);
  bool SendSimpleMessage(uint8_t command, const uint8_t* payload, size_t length);

  bool IsOpen() const { return handle_ != nullptr; }
  uint32_t VendorId() const { return vendorId_; }
  uint32_t ProductId() const { return productId_; }
  const std::string& SerialNumber() const { return serialNumber_; }
  const std::string& DevicePath() const { return devicePath_; }
  int32_t SequenceNumber() const { return sequence_; }
  uint32_t MinFeatureReportLength() const { return minFeatureReportLength_; }
  void SetMinFeatureReportLength(uint32_t length) { minFeatureReportLength_ = length; }

 private:
  uint32_t vendorId_;
  uint32_t productId_;
  std::string serialNumber_;
  std::string devicePath_;
  uint32_t minFeatureReportLength_;
  int32_t sequence_;
  hid_device_* handle_;
};

// Compares after removing trailing spaces; false when either becomes empty.
bool SerialsEqualIgnoringTrailingSpaces(const std::wstring& a, const std::wstring& b);

}  // namespace vantage
