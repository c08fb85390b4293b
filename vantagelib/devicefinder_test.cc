// Choosing the one connected headset: what is chosen, what is printed on
// standard output, and the diagnostic naming the udev rule for a refused open.
#include "vantagelib/devicefinder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "vantagelib/hidaccess.h"
#include "vantagelib/hiddevice.h"
#include "vantagelib/simheadset_test_util.h"

namespace {

TEST(DeviceFinderTest, NullDeviceAndPermissionTexts) {
  EXPECT_FALSE(vantage::FindConnectedDevice(nullptr, false));
  EXPECT_TRUE(vantage::IsPermissionDeniedText(L"Failed to open a device with path 'x': Permission denied"));
  EXPECT_TRUE(vantage::IsPermissionDeniedText(L"Failed to open a device with path 'x': Operation not permitted"));
  for (const wchar_t* text : {L"Failed to open a device with path 'x': No such file or directory", L"", L"permission"})
    EXPECT_FALSE(vantage::IsPermissionDeniedText(text));
}

class SimDeviceFinderTest : public simtest::SimHeadsetTest {};

TEST_F(SimDeviceFinderTest, ChoosesTheOneSupportedHeadset) {
  const std::string notFound =
      "Could not find connected skybeacon device. Make sure device is connected and ready\n";
  const std::string multiple =
      "Multiple connected skybeacon devices. Make sure only a single device is connected\n";
  const std::string refused =
      "No permission to open skybeacon device VID f3a1, PID 2022 A1: Failed to open a device with path "
      "'sim:a:0': Permission denied. Install the udev rule 70-sbconfigtool.rules (it grants the logged-in "
      "user access), then reconnect the device.\n";
  const struct {
    std::vector<std::pair<std::string, simtest::Fields>> headsets;
    bool quiet;
    bool found, open;
    std::string serial = "", out = "", messages = "";
  } rows[] = {
      // One headset listed once per interface; its serial without the spaces.
      {{{"h", {{"serial", "HMD-1 "}, {"product_id", "0x2150"}, {"interfaces", "2"}}}}, false, true, true, "HMD-1"},
      {{{"h", {{"serial_language_id", "yes"}}}}, false, true, true, "sim:h:0"},
      {{}, false, false, false, "", notFound},
      {{}, true, false, false, ""},
      {{{"periph", {{"vendor_id", "0xF3B2"}}}, {"unsupported", {{"product_id", "0x2001"}}}},
       false, false, false, "", notFound},
      {{{"a", {{"vendor_id", "0xF3B2"}}}, {"b", {{"serial", "H"}, {"product_id", "0x2300"}}}},
       false, true, true, "H"},
      // A second headset: the first stays open, the table goes to the diagnostics.
      {{{"a", {{"serial", "A1"}}}, {"b", {{"serial", "B1"}, {"product_id", "0x2012"}}}}, false, false, true, "A1",
       multiple,
       "Attached HID Devices:\n    F3A1, 2000: s/n A1: Test HMD (interface 0)\n"
       "    F3A1, 2012: s/n B1: Test HMD (interface 0)\n"},
      {{{"a", {{"serial", "A1"}}}, {"b", {{"serial", "B1"}}}}, true, false, true, "A1"},
      // A headset that will not open is passed over, and a refused access is
      // explained once per headset, in quiet mode too.
      {{{"a", {{"serial", "A1"}, {"product_id", "0x2022"}, {"fail_open", "all"}}}, {"b", {{"serial", "B1"}}}},
       false, true, true, "B1", "", refused},
      {{{"a", {{"serial", "A1"}, {"product_id", "0x2022"}, {"interfaces", "2"}, {"fail_open", "all"}}}},
       true, false, false, "A1", "", refused},
      {{{"a", {{"serial", "A1"}, {"product_id", "0x2022"}, {"fail_open", "1"}}}},
       false, false, false, "A1", notFound, refused},
  };
  for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
    SCOPED_TRACE(i);
    NewSimDir();
    for (const auto& headset : rows[i].headsets)
      AddHeadset(headset.first, headset.second);
    vantage::CHidDevice device;
    testing::internal::CaptureStdout();
    EXPECT_EQ(rows[i].found, vantage::FindConnectedDevice(&device, rows[i].quiet));
    EXPECT_EQ(rows[i].out, testing::internal::GetCapturedStdout());
    EXPECT_EQ(rows[i].open, device.IsOpen());
    EXPECT_EQ(rows[i].serial, device.SerialNumber());
    EXPECT_EQ(rows[i].messages, Messages());
  }
}

}  // namespace
