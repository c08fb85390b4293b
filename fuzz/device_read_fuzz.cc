// The configuration read protocol against a headset whose feature reports
// come from the input (played by the HID double, hid_double.h). The first
// input byte chooses quiet mode (bit 0); the rest is the double's script.
#include <string>

#include "devconfig/configloader.h"
#include "fuzz/fuzz_harnesses.h"
#include "fuzz/hid_double.h"
#include "vantagelib/configtransfer.h"
#include "vantagelib/debugprintf.h"
#include "vantagelib/hiddevice.h"

namespace fuzz_device_read {

namespace {

const char kName[] = "device_read";

// Diagnostics are formatted as in the tool but not logged anywhere.
void DropDiagnostic(const char*) {}

bool IsReadResult(int result) {
  switch (result) {
    case vantage::kConfigReadOk:
    case vantage::kConfigReadSizeFailed:
    case vantage::kConfigReadNoConfig:
    case vantage::kConfigReadTooLarge:
    case vantage::kConfigReadSizeMismatch:
    case vantage::kConfigReadInflateInitFailed:
      return true;
  }
  return false;
}

}  // namespace

bool FuzzOne(const uint8_t* data, size_t size) {
  static const bool registered = vantage::RegisterDebugOutputFunction(DropDiagnostic);
  (void)registered;
  const bool quiet = size > 0 && (data[0] & 1) != 0;
  if (size > 0) {
    ++data;
    --size;
  }
  hid_double::Reset(data, size);

  int result = -1;
  std::string text;
  {
    vantage::CHidDevice device;
    device.SetTarget(hid_double::kVendorId, hid_double::kProductId, hid_double::kSerial, 0);
    if (!device.Open(true))
      return FuzzInvariantBroken(kName, "the double's headset does not open");
    const size_t callsBefore = hid_double::Calls().size();
    result = vantage::ReadConfigFromDevice(device, &text, quiet);

    if (!IsReadResult(result))
      return FuzzInvariantBroken(kName, "unknown result code " + std::to_string(result));
    // A read only reads: the size report first, then data reports.
    int gets = 0;
    int dataGets = 0;
    for (size_t i = callsBefore; i < hid_double::Calls().size(); ++i) {
      const hid_double::Call& call = hid_double::Calls()[i];
      if (call.function != "get")
        return FuzzInvariantBroken(kName, "the read made a '" + call.function + "' call");
      const bool sizeReport = call.reportNumber == vantage::kConfigSizeReport;
      const bool dataReport = call.reportNumber == vantage::kConfigDataReport;
      if (!sizeReport && !dataReport)
        return FuzzInvariantBroken(kName, "the read asked for report " + std::to_string(call.reportNumber));
      if (sizeReport != (dataGets == 0 && (gets == 0 || hid_double::Calls()[i - 1].result < 0)))
        return FuzzInvariantBroken(kName, "the size report was not read first, once");
      ++gets;
      if (dataReport)
        ++dataGets;
    }
    // No configuration, or too much of one: no data report is asked for.
    if ((result == vantage::kConfigReadNoConfig || result == vantage::kConfigReadTooLarge) && dataGets != 0)
      return FuzzInvariantBroken(kName, "data reports read after the size refused the transfer");
  }
  if (hid_double::OpenHandles() != 0)
    return FuzzInvariantBroken(kName, "the device handle was not closed");

  // What the tool does next with a document it read.
  if (result == vantage::kConfigReadOk) {
    TrackedDeviceConfig model;
    std::string error;
    if (LoadFromString(&model, &error, text) && ToJsonString(model, true).empty())
      return FuzzInvariantBroken(kName, "a loaded device document writes as nothing");
  }
  return true;
}

}  // namespace fuzz_device_read
