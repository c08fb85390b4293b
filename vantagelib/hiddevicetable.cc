#include "vantagelib/hiddevicetable.h"

#include <hidapi/hidapi.h>

#include <map>
#include <mutex>
#include <tuple>

#include "corelib/src/strtools_public.h"
#include "vantagelib/debugprintf.h"

namespace vantage {

namespace {

struct AttachedHidDevice {
  uint32_t vendorId = 0;
  uint32_t productId = 0;
  std::string serial;
  std::string product;
  std::string path;
  int32_t ordinal = 0;
};

std::mutex g_tableMutex;
AttachedHidDevice g_table[kMaxAttachedHidDevices];
int g_tableCount = 0;

// Some devices report their language id (0x0409) instead of a serial number.
constexpr wchar_t kLanguageIdEnglishUs = 0x0409;

std::string SerialForTable(const hid_device_info* node) {
  std::string serial;
  if (node->serial_number != nullptr && node->serial_number[0] != kLanguageIdEnglishUs) {
    serial = corelib::WideToUtf8(node->serial_number);
    size_t end = serial.find_last_not_of(' ');
    serial.erase(end == std::string::npos ? 0 : end + 1);
  }
  if (serial.empty() && node->path != nullptr)
    serial = node->path;
  return serial;
}

}  // namespace

void NumberDuplicateHidDevices(hid_device_info* list) {
  typedef std::tuple<unsigned, unsigned, std::wstring> Key;
  std::map<Key, int> counters;
  for (hid_device_info* node = list; node != nullptr; node = node->next) {
    Key key(node->vendor_id, node->product_id,
            node->serial_number != nullptr ? node->serial_number : L"");
    node->interface_number = counters[key]++;
  }
}

int RefreshAttachedHidDevices(bool print) {
  hid_device_info* list = hid_enumerate(kVendorIdHeadset, 0);
  hid_device_info* peripherals = hid_enumerate(kVendorIdPeripheral, 0);
  if (list == nullptr) {
    list = peripherals;
  } else {
    hid_device_info* last = list;
    while (last->next != nullptr)
      last = last->next;
    last->next = peripherals;
  }
  NumberDuplicateHidDevices(list);
  if (print)
    DebugPrintf("Attached HID Devices:\n");

  int count = 0;
  {
    std::lock_guard<std::mutex> lock(g_tableMutex);
    for (hid_device_info* node = list; node != nullptr && count < kMaxAttachedHidDevices;
         node = node->next) {
      std::string serial = SerialForTable(node);
      if (serial.empty())
        continue;
      AttachedHidDevice& entry = g_table[count++];
      entry.vendorId = node->vendor_id;
      entry.productId = node->product_id;
      entry.serial = serial;
      entry.product = node->product_string != nullptr ? corelib::WideToUtf8(node->product_string)
                                                      : std::string();
      entry.path = node->path != nullptr ? node->path : "";
      entry.ordinal = node->interface_number;
      if (print)
        DebugPrintf("    %X, %X: s/n %s: %s (interface %d)\n", entry.vendorId, entry.productId,
                    entry.serial.c_str(), entry.product.c_str(), entry.ordinal);
    }
    g_tableCount = count;
  }
  hid_free_enumeration(list);
  if (count == 0 && print)
    DebugPrintf("    No devices\n");
  return count;
}

int GetAttachedHidDeviceCount() {
  std::lock_guard<std::mutex> lock(g_tableMutex);
  return g_tableCount;
}

bool GetAttachedHidDeviceInfo(int index, uint32_t* vendorId, uint32_t* productId, char* product,
                              size_t productSize, char* serial, size_t serialSize) {
  std::lock_guard<std::mutex> lock(g_tableMutex);
  if (index < 0 || index >= g_tableCount)
    return false;
  const AttachedHidDevice& entry = g_table[index];
  if (vendorId != nullptr)
    *vendorId = entry.vendorId;
  if (productId != nullptr)
    *productId = entry.productId;
  if (product != nullptr && productSize > 0)
    corelib::SafeCopy(product, productSize, entry.product.c_str());
  if (serial != nullptr && serialSize > 0)
    corelib::SafeCopy(serial, serialSize, entry.serial.c_str());
  return true;
}

std::string LookupAttachedHidDevicePath(uint16_t vendorId, uint16_t productId,
                                        const std::string& serial, int32_t sequence) {
  std::lock_guard<std::mutex> lock(g_tableMutex);
  for (int i = 0; i < g_tableCount; ++i) {
    const AttachedHidDevice& entry = g_table[i];
    if (entry.vendorId != vendorId)
      continue;
    // A serial names the device on its own; the product id is not compared.
    if (serial.empty() ? entry.productId != productId : entry.serial != serial)
      continue;
    if (sequence >= 1 && entry.ordinal != sequence - 1)
      continue;
    return entry.path;
  }
  return std::string();
}

bool FindAttachedHidProductId(uint32_t vendorId, const std::string& serial, uint32_t* productId) {
  std::lock_guard<std::mutex> lock(g_tableMutex);
  for (int i = 0; i < g_tableCount; ++i) {
    const AttachedHidDevice& entry = g_table[i];
    if (entry.vendorId == vendorId &&
        corelib::CaseInsensitiveEqual(entry.serial.c_str(), serial.c_str())) {
      *productId = entry.productId;
      return true;
    }
  }
  return false;
}

}  // namespace vantage
