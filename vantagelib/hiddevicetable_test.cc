// The attached device table: ordinals, what is listed and printed, lookups.
#include "vantagelib/hiddevicetable.h"

#include <gtest/gtest.h>
#include <hidapi/hidapi.h>

#include <string>
#include <vector>

#include "vantagelib/simheadset_test_util.h"

namespace {

TEST(AttachedHidDevicesTest, OrdinalsCountDevicesSharingAnIdentity) {
  // vendor id, product id, serial, then the expected ordinal.
  const struct {
    unsigned short vid, pid;
    const wchar_t* serial;
    int ordinal;
  } rows[] = {
      {0xF3A1, 0x2000, L"A", 0}, {0xF3A1, 0x2000, L"B", 0}, {0xF3A1, 0x2000, L"A", 1},
      {0xF3A1, 0x2012, L"A", 0},  // another product: its own count
      {0xF3B2, 0x2000, L"A", 0},  // another vendor too
      {0xF3A1, 0x2000, nullptr, 0}, {0xF3A1, 0x2000, L"", 1},  // null and empty serial count alike
      {0xF3A1, 0x2000, L"A", 2},
  };
  std::vector<hid_device_info> nodes(sizeof(rows) / sizeof(rows[0]));
  for (size_t i = 0; i < nodes.size(); ++i) {
    nodes[i] = hid_device_info();
    nodes[i].vendor_id = rows[i].vid;
    nodes[i].product_id = rows[i].pid;
    nodes[i].serial_number = const_cast<wchar_t*>(rows[i].serial);
    nodes[i].interface_number = 7;  // the library's own numbers are not kept
    nodes[i].next = i + 1 < nodes.size() ? &nodes[i + 1] : nullptr;
  }
  vantage::NumberDuplicateHidDevices(&nodes[0]);
  for (size_t i = 0; i < nodes.size(); ++i)
    EXPECT_EQ(rows[i].ordinal, nodes[i].interface_number) << i;
  vantage::NumberDuplicateHidDevices(nullptr);

  // An index outside the table leaves the outputs alone.
  uint32_t vid = 7;
  char serial[8] = "keep";
  EXPECT_FALSE(vantage::GetAttachedHidDeviceInfo(-1, &vid, nullptr, nullptr, 0, serial, 8));
  EXPECT_FALSE(vantage::GetAttachedHidDeviceInfo(vantage::kMaxAttachedHidDevices, &vid, nullptr, nullptr, 0,
                                                 serial, 8));
  EXPECT_EQ(vid, 7u);
  EXPECT_STREQ(serial, "keep");
}

class SimAttachedDevicesTest : public simtest::SimHeadsetTest {};

TEST_F(SimAttachedDevicesTest, ListsBothVendorsHeadsetsFirst) {
  EXPECT_EQ(vantage::RefreshAttachedHidDevices(true), 0);
  EXPECT_EQ(Messages(), "Attached HID Devices:\n    No devices\n");
  AddHeadset("a-periph", {{"vendor_id", "0xF3B2"}, {"product_id", "0x0101"}, {"serial", "P1"}});
  AddHeadset("b-hmd", {{"serial", "HMD1  "}, {"interfaces", "2"}, {"product", "A rather long product"}});
  AddHeadset("c-other", {{"vendor_id", "0x1234"}});  // another vendor: not listed
  // A serial that is a language id, none at all or only spaces: the path.
  AddHeadset("d-langid", {{"serial_language_id", "yes"}});
  AddHeadset("e-noserial", {{"-serial", ""}});
  AddHeadset("f-spaces", {{"serial", "    "}});
  ClearMessages();

  EXPECT_EQ(vantage::RefreshAttachedHidDevices(true), 6);
  EXPECT_EQ(vantage::GetAttachedHidDeviceCount(), 6);
  EXPECT_EQ(Messages(),
            "Attached HID Devices:\n"
            "    F3A1, 2000: s/n HMD1: A rather long product (interface 0)\n"
            "    F3A1, 2000: s/n HMD1: A rather long product (interface 1)\n"
            "    F3A1, 2000: s/n sim:d-langid:0: Test HMD (interface 0)\n"
            "    F3A1, 2000: s/n sim:e-noserial:0: Test HMD (interface 0)\n"
            "    F3A1, 2000: s/n sim:f-spaces:0: Test HMD (interface 0)\n"
            "    F3B2, 101: s/n P1: Test HMD (interface 0)\n");
  uint32_t vid = 0, pid = 0;
  char product[7], serial[3];
  ASSERT_TRUE(vantage::GetAttachedHidDeviceInfo(0, &vid, &pid, product, sizeof(product), serial, sizeof(serial)));
  EXPECT_STREQ(product, "A rath");
  EXPECT_STREQ(serial, "HM");
  ASSERT_TRUE(vantage::GetAttachedHidDeviceInfo(5, &vid, &pid, nullptr, 0, nullptr, 0));
  EXPECT_EQ(vid, 0xF3B2u);
  EXPECT_EQ(pid, 0x0101u);

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
  EXPECT_EQ(vantage::LookupAttachedHidDevicePath(0xF3A1, 0x2012, "AAA", 3), "");
  EXPECT_EQ(vantage::LookupAttachedHidDevicePath(0xF3A1, 0x2012, "aaa", 1), "");
  EXPECT_EQ(vantage::LookupAttachedHidDevicePath(0xF3B2, 0x2012, "AAA", 1), "");
}

}  // namespace
