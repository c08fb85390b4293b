// The attached device table: what is listed and printed, ordinals, lookups.
#include "vantagelib/hiddevicetable.h"

#include <gtest/gtest.h>
#include <hidapi/hidapi.h>

#include <string>

#include "vantagelib/simheadset_test_util.h"

namespace {

TEST(AttachedHidDevicesTest, NullAndEmptySerialsShareAnIdentity) {
  hid_device_info nodes[2] = {};
  nodes[0].next = &nodes[1];
  nodes[1].serial_number = const_cast<wchar_t*>(L"");
  nodes[0].interface_number = nodes[1].interface_number = 7;  // the library's own numbers are not kept
  vantage::NumberDuplicateHidDevices(nodes);
  EXPECT_EQ(0, nodes[0].interface_number);
  EXPECT_EQ(1, nodes[1].interface_number);
}

class SimAttachedDevicesTest : public simtest::SimHeadsetTest {};

TEST_F(SimAttachedDevicesTest, ListsBothVendorsHeadsetsFirst) {
  EXPECT_EQ(vantage::RefreshAttachedHidDevices(true), 0);
  EXPECT_EQ(Messages(), "Attached HID Devices:\n    No devices\n");
  AddHeadset("a-periph", {{"vendor_id", "0xF3B2"}, {"product_id", "0x0101"}, {"serial", "P1"}});
  AddHeadset("b-hmd", {{"serial", "HMD1  "}, {"interfaces", "2"}, {"product", "A rather long product"}});
  AddHeadset("c-other", {{"vendor_id", "0x1234"}});                     // another vendor: not listed
  AddHeadset("d-hmd", {{"serial", "HMD1"}, {"product_id", "0x2012"}});  // another product: its own count
  // A serial that is a language id, none at all or only spaces: the path.
  AddHeadset("e-langid", {{"serial_language_id", "yes"}});
  AddHeadset("f-noserial", {{"-serial", ""}, {"interfaces", "2"}});
  AddHeadset("g-spaces", {{"serial", "    "}});
  ClearMessages();
  EXPECT_EQ(vantage::RefreshAttachedHidDevices(true), 8);
  EXPECT_EQ(vantage::GetAttachedHidDeviceCount(), 8);
  EXPECT_EQ(Messages(),
            "Attached HID Devices:\n"
            "    F3A1, 2000: s/n HMD1: A rather long product (interface 0)\n"
            "    F3A1, 2000: s/n HMD1: A rather long product (interface 1)\n"
            "    F3A1, 2012: s/n HMD1: Test HMD (interface 0)\n"
            "    F3A1, 2000: s/n sim:e-langid:0: Test HMD (interface 0)\n"
            "    F3A1, 2000: s/n sim:f-noserial:0: Test HMD (interface 0)\n"
            "    F3A1, 2000: s/n sim:f-noserial:1: Test HMD (interface 1)\n"
            "    F3A1, 2000: s/n sim:g-spaces:0: Test HMD (interface 0)\n"
            "    F3B2, 101: s/n P1: Test HMD (interface 0)\n");
  uint32_t vid = 7, pid = 0;
  char product[7], serial[3] = "S";
  ASSERT_TRUE(vantage::GetAttachedHidDeviceInfo(0, &vid, &pid, product, sizeof(product), serial, sizeof(serial)));
  EXPECT_STREQ(product, "A rath");
  EXPECT_STREQ(serial, "HM");
  ASSERT_TRUE(vantage::GetAttachedHidDeviceInfo(7, &vid, &pid, nullptr, 0, nullptr, 0));
  EXPECT_EQ(vid, 0xF3B2u);
  EXPECT_EQ(pid, 0x0101u);
  // An index outside the table leaves the outputs alone.
  EXPECT_FALSE(vantage::GetAttachedHidDeviceInfo(-1, &vid, nullptr, nullptr, 0, serial, 3));
  EXPECT_FALSE(vantage::GetAttachedHidDeviceInfo(8, &vid, nullptr, nullptr, 0, serial, 3));
  EXPECT_EQ(vid, 0xF3B2u);
  EXPECT_STREQ(serial, "HM");

  for (int i = 0; i < 33; ++i)
    AddHeadset("h" + std::to_string(100 + i), {{"interfaces", "2"}});
  EXPECT_EQ(vantage::RefreshAttachedHidDevices(false), 64);
  EXPECT_EQ(vantage::GetAttachedHidDeviceCount(), 64);
}

TEST_F(SimAttachedDevicesTest, LookupMatchesSerialExactlyOrProductIdWithoutOne) {
  AddHeadset("a", {{"serial", "AAA"}, {"product_id", "0x2012"}, {"interfaces", "2"}});
  AddHeadset("b", {{"serial", "BBB"}, {"product_id", "0x2000"}});
  ASSERT_EQ(vantage::RefreshAttachedHidDevices(false), 3);
  EXPECT_EQ(vantage::LookupAttachedHidDevicePath(0xF3A1, 0x2000, "", 0), "sim:b:0");
  EXPECT_EQ(vantage::LookupAttachedHidDevicePath(0xF3A1, 0x2012, "", 0), "sim:a:0");
  // A serial decides alone; the product id is not compared.
  EXPECT_EQ(vantage::LookupAttachedHidDevicePath(0xF3A1, 0x9999, "AAA", 0), "sim:a:0");
  EXPECT_EQ(vantage::LookupAttachedHidDevicePath(0xF3A1, 0x2012, "AAA", 2), "sim:a:1");
  EXPECT_EQ(vantage::LookupAttachedHidDevicePath(0xF3A1, 0x2012, "aaa", 1), "");
}

}  // namespace
