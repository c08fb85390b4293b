#include "vantagelib/hiddevicetable.h"

#include <gtest/gtest.h>
#include <hidapi/hidapi.h>

#include <string>
#include <vector>

#include "vantagelib/simheadset_test_util.h"

namespace {

// Nodes as the HID library would list them, linked in order.
struct NodeList {
  std::vector<hid_device_info> nodes;

  void Add(unsigned short vid, unsigned short pid, const wchar_t* serial, int interfaceNumber) {
    hid_device_info node = {};
    node.vendor_id = vid;
    node.product_id = pid;
    node.interface_number = interfaceNumber;
    node.serial_number = const_cast<wchar_t*>(serial);
    nodes.push_back(node);
  }
  hid_device_info* Link() {
    for (size_t i = 0; i + 1 < nodes.size(); ++i)
      nodes[i].next = &nodes[i + 1];
    return nodes.empty() ? nullptr : &nodes[0];
  }
};

TEST(NumberDuplicateHidDevicesTest, OrdinalsCountDevicesSharingAnIdentity) {
  NodeList list;
  list.Add(0xF3A1, 0x2000, L"A", 5);
  list.Add(0xF3A1, 0x2000, L"B", 5);
  list.Add(0xF3A1, 0x2000, L"A", 7);
  list.Add(0xF3A1, 0x2012, L"A", 7);  // another product: its own count
  list.Add(0xF3A1, 0x2000, nullptr, 3);
  list.Add(0xF3A1, 0x2000, L"", 3);  // null and empty serial count alike
  list.Add(0xF3A1, 0x2000, L"A", 9);
  vantage::NumberDuplicateHidDevices(list.Link());
  std::vector<int> ordinals;
  for (const auto& node : list.nodes)
    ordinals.push_back(node.interface_number);
  EXPECT_EQ(ordinals, (std::vector<int>{0, 0, 1, 0, 0, 1, 2}));
}

TEST(NumberDuplicateHidDevicesTest, EmptyListIsFine) { vantage::NumberDuplicateHidDevices(nullptr); }

TEST(AttachedHidDeviceInfoTest, IndexOutsideTheTableLeavesOutputsAlone) {
  uint32_t vid = 7;
  char serial[8] = "keep";
  EXPECT_FALSE(vantage::GetAttachedHidDeviceInfo(-1, &vid, nullptr, nullptr, 0, serial, 8));
  EXPECT_FALSE(vantage::GetAttachedHidDeviceInfo(vantage::kMaxAttachedHidDevices, &vid, nullptr,
                                                 nullptr, 0, serial, 8));
  EXPECT_EQ(vid, 7u);
  EXPECT_STREQ(serial, "keep");
}

class SimAttachedDevicesTest : public simtest::SimHeadsetTest {};

TEST_F(SimAttachedDevicesTest, ListsBothVendorsHeadsetsFirstWithOrdinals) {
  AddHeadset("a-periph", {{"vendor_id", "0xF3B2"}, {"product_id", "0x0101"}, {"serial", "P1"}});
  AddHeadset("b-hmd", {{"serial", "HMD1"}, {"interfaces", "2"}, {"product", "Head"}});
  AddHeadset("c-other", {{"vendor_id", "0x1234"}});  // another vendor: not listed

  EXPECT_EQ(vantage::RefreshAttachedHidDevices(true), 3);
  EXPECT_EQ(vantage::GetAttachedHidDeviceCount(), 3);
  EXPECT_EQ(Messages(),
            "Attached HID Devices:\n"
            "    F3A1, 2000: s/n HMD1: Head (interface 0)\n"
            "    F3A1, 2000: s/n HMD1: Head (interface 1)\n"
            "    F3B2, 101: s/n P1: Test HMD (interface 0)\n");

  uint32_t vid = 0, pid = 0;
  char product[16], serial[16];
  ASSERT_TRUE(vantage::GetAttachedHidDeviceInfo(2, &vid, &pid, product, sizeof(product), serial,
                                                sizeof(serial)));
  EXPECT_EQ(vid, 0xF3B2u);
  EXPECT_EQ(pid, 0x0101u);
  EXPECT_STREQ(serial, "P1");
  EXPECT_FALSE(vantage::GetAttachedHidDeviceInfo(3, &vid, &pid, nullptr, 0, nullptr, 0));
}

TEST_F(SimAttachedDevicesTest, NoDevicesSaysSo) {
  EXPECT_EQ(vantage::RefreshAttachedHidDevices(true), 0);
  EXPECT_EQ(Messages(), "Attached HID Devices:\n    No devices\n");
  EXPECT_EQ(vantage::RefreshAttachedHidDevices(false), 0);
  EXPECT_EQ(Messages(), "Attached HID Devices:\n    No devices\n");
}

TEST_F(SimAttachedDevicesTest, LanguageIdOrMissingSerialIsReplacedByThePath) {
  AddHeadset("langid", {{"serial_language_id", "yes"}});
  AddHeadset("noserial", {{"-serial", ""}});
  AddHeadset("spaces", {{"serial", "    "}});
  ASSERT_EQ(vantage::RefreshAttachedHidDevices(false), 3);
  char serial[64];
  const char* expected[] = {"sim:langid:0", "sim:noserial:0", "sim:spaces:0"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(vantage::GetAttachedHidDeviceInfo(i, nullptr, nullptr, nullptr, 0, serial,
                                                  sizeof(serial)));
    EXPECT_STREQ(serial, expected[i]);
  }
}

TEST_F(SimAttachedDevicesTest, TrailingSpacesAreRemovedAndLongStringsCut) {
  AddHeadset("h", {{"serial", "ABC123  "}, {"product", "A rather long product name"}});
  ASSERT_EQ(vantage::RefreshAttachedHidDevices(false), 1);
  char product[7];
  char serial[64];
  ASSERT_TRUE(vantage::GetAttachedHidDeviceInfo(0, nullptr, nullptr, product, sizeof(product),
                                                serial, sizeof(serial)));
  EXPECT_STREQ(serial, "ABC123");
  EXPECT_STREQ(product, "A rath");
}

TEST_F(SimAttachedDevicesTest, TableHoldsAtMost64Entries) {
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
