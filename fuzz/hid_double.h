// An in-process stand-in for the hidapi functions the device library calls,
// linked into a program instead of the HID library: one headset whose
// feature reports are played from a script of bytes, with a record of
// every call, so that a harness can drive the transfer protocol at full
// speed and check what the host asked for.
//
// Script, one entry per hid_get_feature_report call:
//   no byte left  the call returns 0 (an empty report)
//   0xFF          the call fails (-1); after kMaxFailures failures the
//                 entry reads as an empty report, which keeps retry pauses
//                 from slowing a fuzz run
//   0 to 65       a report of that many bytes counting the report number;
//                 the bytes after the number follow in the script
//   66 to 254     a full 64-byte report; its 63 bytes follow in the script
// Bytes missing at the end of the script read as zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hid_double {

constexpr int kMaxFailures = 3;
constexpr uint16_t kVendorId = 0xF3A1;
constexpr uint16_t kProductId = 0x2000;
extern const char kSerial[];

struct Call {
  std::string function;   // "get", "send", "write", "read", "open", "close", "enumerate"
  uint8_t reportNumber;   // for get and send
  int result;
};

// Starts a new headset with this script; the data must outlive its use.
void Reset(const uint8_t* script, size_t size);
const std::vector<Call>& Calls();
// Handles opened and not closed.
int OpenHandles();

}  // namespace hid_double
