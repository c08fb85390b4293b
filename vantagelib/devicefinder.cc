#include "vantagelib/devicefinder.h"

#include <cstdio>

#include "vantagelib/hidaccess.h"
#include "vantagelib/hiddevice.h"
#include "vantagelib/hiddevicetable.h"

namespace vantage {

namespace {

constexpr uint32_t kSupportedHeadsetProducts[] = {0x2000, 0x2012, 0x2022, 0x2150, 0x2300};

}  // namespace

bool IsSupportedHeadsetProduct(uint32_t productId) {
  for (uint32_t supported : kSupportedHeadsetProducts) {
    if (productId == supported)
      return true;
  }
  return false;
}

bool FindConnectedDevice(CHidDevice* device, bool quiet) {
  if (device == nullptr)
    return false;
  int count = RefreshAttachedHidDevices(false);
  for (int i = 0; i < count; ++i) {
    uint32_t vendorId = 0;
    uint32_t productId = 0;
    char product[128];
    char serial[1024];
    if (!GetAttachedHidDeviceInfo(i, &vendorId, &productId, product, sizeof(product), serial,
                                  sizeof(serial)))
      continue;
    if (vendorId != kVendorIdHeadset || !IsSupportedHeadsetProduct(productId))
      continue;
    // A headset is listed once per HID interface.
    if (device->VendorId() == vendorId && device->ProductId() == productId &&
        device->SerialNumber() == serial)
      continue;
    if (device->IsOpen()) {
      if (!quiet) {
        printf("Multiple connected skybeacon devices. Make sure only a single device is connected\n");
        fflush(stdout);
        RefreshAttachedHidDevices(true);
      }
      return false;
    }
    device->SetTarget(kVendorIdHeadset, productId, serial, 1);
    // Quiet about other failures, but a refused open has a known cure that
    // the person at the machine should hear of, on the diagnostic channel.
    if (!device->Open(true))
      ReportOpenPermissionProblem(productId, serial);
  }
  if (device->IsOpen())
    return true;
  if (!quiet) {
    printf("Could not find connected skybeacon device. Make sure device is connected and ready\n");
    fflush(stdout);
  }
  return false;
}

}  // namespace vantage
