#include "vantagelib/devicefinder.h"

#include <gtest/gtest.h>

#include <string>

#include "vantagelib/hiddevice.h"
#include "vantagelib/simheadset_test_util.h"

namespace {

const char kMultipleMessage[] =
    "Multiple connected skybeacon devices. Make sure only a single device is connected\n";
const char kNotFoundMessage[] =
    "Could not find connected skybeacon device. Make sure device is connected and ready\n";

TEST(DeviceFinderTest, NullDeviceIsRefused) {
  EXPECT_FALSE(vantage::FindConnectedDevice(nullptr, false));
}

TEST(DeviceFinderTest, SupportedProducts) {
  for (uint32_t pid : {0x2000u, 0x2012u, 0x2022u, 0x2150u, 0x2300u})
    EXPECT_TRUE(vantage::IsSupportedHeadsetProduct(pid)) << pid;
  EXPECT_FALSE(vantage::IsSupportedHeadsetProduct(0x2001));
  EXPECT_FALSE(vantage::IsSupportedHeadsetProduct(0));
}

class SimDeviceFinderTest : public simtest::SimHeadsetTest {
 protected:
  // Runs the finder, returning what it printed to standard output.
  std::string Find(vantage::CHidDevice* device, bool quiet, bool* found) {
    testing::internal::CaptureStdout();
    *found = vantage::FindConnectedDevice(device, quiet);
    return testing::internal::GetCapturedStdout();
  }
};

TEST_F(SimDeviceFinderTest, OneHeadsetWithTwoInterfacesOpensInterfaceZero) {
  AddHeadset("h", {{"serial", "HMD-1 "}, {"product_id", "0x2150"}, {"interfaces", "2"}});
  vantage::CHidDevice device;
  bool found = false;
  EXPECT_EQ(Find(&device, false, &found), "");
  EXPECT_TRUE(found);
  EXPECT_TRUE(device.IsOpen());
  EXPECT_EQ(device.SerialNumber(), "HMD-1");
  EXPECT_EQ(device.ProductId(), 0x2150u);
  EXPECT_EQ(TraceCount("open sim:h:0 ok"), 1u);
  EXPECT_EQ(TraceCount("open sim:h:1"), 0u);
}

TEST_F(SimDeviceFinderTest, NothingConnectedPrintsUnlessQuiet) {
  vantage::CHidDevice device;
  bool found = true;
  EXPECT_EQ(Find(&device, false, &found), kNotFoundMessage);
  EXPECT_FALSE(found);
  EXPECT_EQ(Find(&device, true, &found), "");
  EXPECT_FALSE(found);
}

TEST_F(SimDeviceFinderTest, OtherVendorAndUnsupportedProductsAreIgnored) {
  AddHeadset("periph", {{"vendor_id", "0xF3B2"}, {"product_id", "0x2000"}});
  AddHeadset("unsupported", {{"product_id", "0x2001"}});
  vantage::CHidDevice device;
  bool found = true;
  EXPECT_EQ(Find(&device, false, &found), kNotFoundMessage);
  EXPECT_FALSE(found);
  EXPECT_EQ(TraceCount("open "), 0u);
}

TEST_F(SimDeviceFinderTest, SupportedHeadsetAmongPeripheralsIsChosen) {
  AddHeadset("a", {{"vendor_id", "0xF3B2"}, {"serial", "P"}});
  AddHeadset("b", {{"serial", "H"}, {"product_id", "0x2300"}});
  vantage::CHidDevice device;
  bool found = false;
  EXPECT_EQ(Find(&device, false, &found), "");
  EXPECT_TRUE(found);
  EXPECT_EQ(device.SerialNumber(), "H");
}

TEST_F(SimDeviceFinderTest, TwoHeadsetsAreRefusedAndTheTableIsSent) {
  AddHeadset("a", {{"serial", "A1"}});
  AddHeadset("b", {{"serial", "B1"}, {"product_id", "0x2012"}});
  vantage::CHidDevice device;
  bool found = true;
  EXPECT_EQ(Find(&device, false, &found), kMultipleMessage);
  EXPECT_FALSE(found);
  EXPECT_EQ(Messages(),
            "Attached HID Devices:\n"
            "    F3A1, 2000: s/n A1: Test HMD (interface 0)\n"
            "    F3A1, 2012: s/n B1: Test HMD (interface 0)\n");
  // The first headset stays open until the object goes.
  EXPECT_TRUE(device.IsOpen());
  EXPECT_EQ(device.SerialNumber(), "A1");
  EXPECT_EQ(TraceCount("open sim:b"), 0u);
}

TEST_F(SimDeviceFinderTest, TwoHeadsetsQuietPrintNothing) {
  AddHeadset("a", {{"serial", "A1"}});
  AddHeadset("b", {{"serial", "B1"}});
  vantage::CHidDevice device;
  bool found = true;
  EXPECT_EQ(Find(&device, true, &found), "");
  EXPECT_FALSE(found);
  EXPECT_EQ(Messages(), "");
}

TEST_F(SimDeviceFinderTest, HeadsetThatWillNotOpenDoesNotStopTheScan) {
  AddHeadset("a", {{"serial", "A1"}, {"fail_open", "all"}});
  AddHeadset("b", {{"serial", "B1"}});
  vantage::CHidDevice device;
  bool found = false;
  EXPECT_EQ(Find(&device, false, &found), "");
  EXPECT_TRUE(found);
  EXPECT_EQ(device.SerialNumber(), "B1");
  // Opened quietly: the one diagnostic is the refused access of "a".
  EXPECT_EQ(Messages(),
            "No permission to open skybeacon device VID f3a1, PID 2000 A1: Failed to open a "
            "device with path 'sim:a:0': Permission denied. Install the udev rule "
            "70-sbconfigtool.rules (it grants the logged-in user access), then reconnect the "
            "device.\n");
}

TEST_F(SimDeviceFinderTest, RefusedAccessNamesTheUdevRuleOnceAndInQuietMode) {
  AddHeadset("a", {{"serial", "A1"}, {"product_id", "0x2022"}, {"interfaces", "2"},
                   {"fail_open", "all"}});
  vantage::CHidDevice device;
  bool found = true;
  EXPECT_EQ(Find(&device, true, &found), "") << "standard output stays the tool's";
  EXPECT_FALSE(found);
  EXPECT_EQ(simtest::CountOccurrences(Messages(), "No permission to open skybeacon device"), 1u)
      << Messages();
  EXPECT_NE(Messages().find("PID 2022 A1"), std::string::npos) << Messages();
  EXPECT_NE(Messages().find("70-sbconfigtool.rules"), std::string::npos) << Messages();
}

TEST_F(SimDeviceFinderTest, HeadsetThatOpensSendsNoDiagnostic) {
  AddHeadset("a", {{"serial", "A1"}});
  vantage::CHidDevice device;
  bool found = false;
  EXPECT_EQ(Find(&device, true, &found), "");
  EXPECT_TRUE(found);
  EXPECT_EQ(Messages(), "");
}

TEST_F(SimDeviceFinderTest, OnlyHeadsetFailingToOpenIsNotFound) {
  AddHeadset("a", {{"serial", "A1"}, {"fail_open", "1"}});
  vantage::CHidDevice device;
  bool found = true;
  EXPECT_EQ(Find(&device, false, &found), kNotFoundMessage);
  EXPECT_FALSE(found);
  // The open failed once only: a second search in this process succeeds.
  // (A new object: the first one already names that headset and would skip it.)
  vantage::CHidDevice again;
  EXPECT_EQ(Find(&again, false, &found), "");
  EXPECT_TRUE(found);
}

TEST_F(SimDeviceFinderTest, SerialWithLanguageIdIsFoundUnderItsPath) {
  AddHeadset("h", {{"serial_language_id", "yes"}});
  vantage::CHidDevice device;
  bool found = false;
  Find(&device, false, &found);
  EXPECT_TRUE(found);
  EXPECT_EQ(device.SerialNumber(), "sim:h:0");
}

}  // namespace
