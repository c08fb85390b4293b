// The attached device table: the HID devices of the vendors this library
// knows, as last enumerated. One table per process, guarded by one mutex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct hid_device_info;

namespace vantage {

constexpr uint16_t kVendorIdHeadset = 0xF3A1;
constexpr uint16_t kVendorIdPeripheral = 0xF3B2;
constexpr int kMaxAttachedHidDevices = 64;

// Re-enumerates both vendors and replaces the table. With print, sends the
// listing through DebugPrintf. Returns the new count.
int RefreshAttachedHidDevices(bool print);
int GetAttachedHidDeviceCount();
// False for an index outside the table. Null outputs are skipped; strings are
// cut to size - 1 bytes and terminated.
bool GetAttachedHidDeviceInfo(int index, uint32_t* vendorId, uint32_t* productId, char* product,
                              size_t productSize, char* serial, size_t serialSize);
// Path of the first entry of that vendor matching the serial (byte for byte)
// or, without serial, the product id; sequence >= 1 also selects the ordinal.
std::string LookupAttachedHidDevicePath(uint16_t vendorId, uint16_t productId,
                                        const std::string& serial, int32_t sequence);
// Product id of the first entry of that vendor whose serial equals `serial`
// ignoring case; false when none does.
bool FindAttachedHidProductId(uint32_t vendorId, const std::string& serial, uint32_t* productId);

// Overwrites each node's interface_number with its ordinal among the nodes
// sharing vendor id, product id and serial number (0 for the first).
void NumberDuplicateHidDevices(hid_device_info* list);

}  // namespace vantage
