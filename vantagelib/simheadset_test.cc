// The device layer against simulated headsets: the attached-device table, choosing and opening a headset, feature
// reports with bounded retries and the configuration transfer. Suites named Sim* run with the simulated HID library
// first on the library path; against the real one they are skipped.
#include <gtest/gtest.h>
#include <hidapi/hidapi.h>

#include <cstring>
#include <map>
#include <memory>
#include <random>

#include "corelib/src/test_scratch.h"
#include "vantagelib/configtransfer.h"
#include "vantagelib/debugprintf.h"
#include "vantagelib/devicefinder.h"
#include "vantagelib/hiddevice.h"
#include "vantagelib/hiddevicetable.h"
#include "vantagelib/thread.h"

namespace {

using Fields = std::map<std::string, std::string>;
using vantage::CHidDevice;

std::string g_messages;  // the device library's diagnostics
void Capture(const char* text) { g_messages += text; }

// Text that deflate cannot shrink.
std::string RandomText(size_t size) {
  std::mt19937 random(42);
  std::string text;
  while (text.size() < size) text += static_cast<char>(random());
  return text;
}

class SimHeadsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (strstr(hid_version_str(), "headsetsim") == nullptr) GTEST_SKIP() << "needs the simulated HID library";
    vantage::RegisterDebugOutputFunction(Capture);  // once, however often registered
    Reset();
  }
  // No headsets, and nothing that the simulation counted for earlier ones.
  void Reset() {
    dir_ = std::make_unique<corelib_test::ScratchDir>();
    setenv("SBHEADSET_SIM_DIR", dir_->path().c_str(), 1);
    setenv("SBHEADSET_SIM_TRACE", dir_->Sub("trace.log").c_str(), 1);
    g_messages.clear();
  }
  // A supported headset, serial `name` unless `fields` say otherwise.
  void AddHeadset(const std::string& name, Fields fields = {}) {
    fields.insert({{"vendor_id", "0xF3A1"}, {"product_id", "0x2000"}, {"serial", name}, {"product", "Test HMD"}});
    std::ofstream out(dir_->Sub(name + ".headset"));
    for (const auto& [key, value] : fields) out << key << "=" << value << "\n";
  }
  // Headset SN1 opened through the table, with a fresh trace.
  void OpenHeadset(CHidDevice* device, const Fields& fields = {}) {
    AddHeadset("SN1", fields);
    vantage::RefreshAttachedHidDevices(false);
    device->SetTarget(0xF3A1, 0x2000, "SN1", 1);
    ASSERT_TRUE(device->Open(true));
    std::filesystem::remove(dir_->Sub("trace.log"));
  }
  size_t Traced(const std::string& what) const {
    const std::string trace = corelib_test::Slurp(dir_->Sub("trace.log"));
    size_t count = 0;
    for (size_t at = trace.find(what); at != std::string::npos; at = trace.find(what, at + 1)) ++count;
    return count;
  }

  std::unique_ptr<corelib_test::ScratchDir> dir_;
};

TEST_F(SimHeadsetTest, TableListsHeadsetsThenPeripherals) {
  AddHeadset("a", {{"vendor_id", "0xF3B2"}, {"product_id", "0x0101"}});
  AddHeadset("b", {{"serial", "HMD1  "}, {"interfaces", "2"}});
  AddHeadset("c", {{"vendor_id", "0x1234"}});
  AddHeadset("e", {{"serial", "  "}, {"product_id", "0x2012"}});  // no serial: the path instead
  EXPECT_EQ(4, vantage::RefreshAttachedHidDevices(false));
  uint32_t vid = 0;
  EXPECT_TRUE(vantage::GetAttachedHidDeviceInfo(3, &vid, nullptr, nullptr, 0, nullptr, 0) && vid == 0xF3B2);
  EXPECT_FALSE(vantage::GetAttachedHidDeviceInfo(-1, &vid, nullptr, nullptr, 0, nullptr, 0) ||
               vantage::GetAttachedHidDeviceInfo(4, &vid, nullptr, nullptr, 0, nullptr, 0));
  // A serial decides alone, exactly; without one, the product id.
  EXPECT_EQ("sim:b:1", vantage::LookupAttachedHidDevicePath(0xF3A1, 0x9999, "HMD1", 2));
  EXPECT_EQ("sim:e:0", vantage::LookupAttachedHidDevicePath(0xF3A1, 0x2012, "", 0));
  EXPECT_EQ("", vantage::LookupAttachedHidDevicePath(0xF3A1, 0x2000, "hmd1", 1));
  for (int i = 0; i < 31; ++i) AddHeadset("h" + std::to_string(i), {{"interfaces", "2"}});
  EXPECT_EQ(64, vantage::RefreshAttachedHidDevices(false));
}

TEST_F(SimHeadsetTest, FinderOpensTheOneSupportedHeadset) {
  const std::string none = "Could not find connected skybeacon device. Make sure device is connected and ready\n";
  const struct {
    std::map<std::string, Fields> headsets;
    bool quiet, found, open;
    std::string serial, out = "", messages = "";  // messages: the start of the diagnostics
  } rows[] = {
      // Listed once per interface; the serial without its spaces. (A serial that is a language id, and a
      // headset that will not open alone: the fault matrix.)
      {{{"h", {{"serial", "HMD-1 "}, {"product_id", "0x2150"}, {"interfaces", "2"}}}}, false, true, true, "HMD-1"},
      {{{"a", {{"vendor_id", "0xF3B2"}}}, {"b", {{"product_id", "0x2001"}}}}, false, false, false, "", none},
      // A second headset: the first stays open, the table is told.
      {{{"a", {}}, {"b", {{"product_id", "0x2300"}}}}, false, false, true, "a",
       "Multiple connected skybeacon devices. Make sure only a single device is connected\n",
       "Attached HID Devices:\n    F3A1, 2000: s/n a: Test HMD (interface 0)\n    F3A1, 2300: s/n b:"},
      // One that will not open is passed over; a refused access is explained.
      {{{"a", {{"product_id", "0x2022"}, {"fail_open", "all"}}}, {"b", {}}}, true, true, true, "b", "",
       "No permission to open skybeacon device VID f3a1, PID 2022 a: Failed to open a device with path 'sim:a:0': "
       "Permission denied. Install the udev rule 70-sbconfigtool.rules"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.serial);
    Reset();
    for (const auto& [name, fields] : row.headsets) AddHeadset(name, fields);
    CHidDevice device;
    testing::internal::CaptureStdout();
    EXPECT_EQ(row.found, vantage::FindConnectedDevice(&device, row.quiet));
    EXPECT_EQ(row.out, testing::internal::GetCapturedStdout());
    EXPECT_EQ(row.open, device.IsOpen());
    EXPECT_EQ(row.serial, device.SerialNumber());
    EXPECT_EQ(row.messages, g_messages.substr(0, row.messages.size()));
  }
}

TEST_F(SimHeadsetTest, OpenAndFeatureReports) {
  // Not in the table: enumerated, the serial compared without trailing spaces.
  AddHeadset("h", {{"serial", "S1  "}, {"interfaces", "2"}, {"product_id", "0x2012"}});
  CHidDevice device;
  device.SetTarget(0xF3A1, 0x2012, "S1", 0);  // sequence 0 is the first, 1
  ASSERT_TRUE(device.Open(false));
  device.SetTarget(0xF3A1, 0x2012, "S9", 2);
  EXPECT_FALSE(device.Open(false));
  EXPECT_EQ("HID opened: VID f3a1 PID 2012 serial S1   seq 1 | if 0\n"
            "CHidDevice: Can't open USB device VID 0000f3a1, PID 00002012 S9 2\n", g_messages);
  // A report is copied up to the size given, without its number.
  OpenHeadset(&device);
  std::ofstream(dir_->Sub("SN1.zcfg")) << std::string(0x0123, 'z');
  uint8_t out[100];
  memset(out, 0xEE, sizeof(out));
  EXPECT_EQ(64, device.GetFeatureReport(0x10, out, sizeof(out), 1));
  EXPECT_EQ(std::vector<int>({0x01, 0x23, 0x00, 0xEE}), std::vector<int>({out[0], out[1], out[62], out[63]}));
}

TEST_F(SimHeadsetTest, RetriesAreBoundedByAttemptsAndTime) {
  CHidDevice device;
  OpenHeadset(&device, {{"send_fail", "all"}, {"get_fail", "2"}});
  uint8_t buffer[64] = {};
  EXPECT_EQ(-1, device.SendFeatureReport(0x10, buffer, 2, 1));
  EXPECT_EQ(-1, device.SendFeatureReport(0x10, buffer, 2, 3));
  EXPECT_EQ(4u, Traced("send 0x10 len=3 -> -1 fault"));
  EXPECT_EQ(-1, device.GetFeatureReport(0x10, buffer, 64, 1));
  EXPECT_EQ(64, device.GetFeatureReport(0x10, buffer, 64, 2));
  // A hundred attempts, 10 ms apart, end with the 0.1 s budget.
  const double start = vantage::GetTimeSeconds();
  EXPECT_EQ(-1, device.SendFeatureReport(0x10, buffer, 2, 100));
  EXPECT_GE(vantage::GetTimeSeconds() - start, 0.099);
  EXPECT_LT(vantage::GetTimeSeconds() - start, 0.2);
}

TEST_F(SimHeadsetTest, WrittenConfigurationReadsBackByteForByte) {
  CHidDevice device;
  OpenHeadset(&device);
  // One size report, then full 62-byte chunks and the remainder; texts that
  // deflate makes larger, or whose one chunk inflates to many windows.
  for (const std::string& text : {RandomText(1000), std::string(), std::string(60000, ' ')}) {
    ASSERT_TRUE(vantage::WriteConfigToDevice(device, text));
    const size_t size = corelib_test::Slurp(dir_->Sub("SN1.zcfg")).size();
    EXPECT_EQ(1u, Traced("send 0x10 len=3 size=" + std::to_string(size) + " "));
    EXPECT_EQ(size / 62, Traced("send 0x11 len=64 n=62 "));
    EXPECT_EQ(size % 62 != 0, Traced("send 0x11 len=64 n=" + std::to_string(size % 62) + " "));
    std::string back;
    EXPECT_EQ(vantage::kConfigReadOk, vantage::ReadConfigFromDevice(device, &back, false));
    EXPECT_EQ(text, back);
    EXPECT_EQ(1u, Traced("get 0x11 -> 64 n=0"));  // the empty chunk that ends the data
    std::filesystem::remove(dir_->Sub("trace.log"));
  }
  // A stream too large is not sent at all; a write cut off says where.
  EXPECT_FALSE(vantage::WriteConfigToDevice(device, RandomText(70000)));
  EXPECT_EQ(0u, Traced("send"));
  OpenHeadset(&device, {{"disconnect_after", "2"}});
  EXPECT_FALSE(vantage::WriteConfigToDevice(device, RandomText(500)));
  EXPECT_NE(std::string::npos, g_messages.find("Failed to send config chunk after 124 bytes\n"));
}

TEST_F(SimHeadsetTest, EveryReadResult) {
  const std::string text = RandomText(300);
  const struct {
    Fields faults;
    std::string stored;  // written before the faults start, unless empty
    int code;
    std::string message;  // part of what a read that is not quiet tells
  } rows[] = {
      {{}, "", 1103, "SN1: Device does not have a stored config\n"},
      {{{"get_fail", "all"}}, "{}", 1102, "SN1: Unable to request config start from device\n"},
      // At most 8192 bytes are read.
      {{{"announce_size", "8193"}}, "{}", 1104, "size is too large: 0x2001 bytes\n"},
      {{{"announce_size", "8192"}}, "{}", 1105, "Expected 8192 bytes of config but only found 10."},
      // A stream cut by its announced size is refused.
      {{{"announce_size", "30"}}, text, 1105, "SN1: Config stream of 30 bytes ends before the document"},
      // A chunk claiming more than 62 bytes, midway or after the last one.
      {{{"bad_length", "2"}}, "{}", 1105, "more than a report holds"},
      // A short report ends the data: accepted once every byte is there.
      {{{"short_report", "2"}}, "{}", 0, "SN1: Received short 32 byte packet when expecting config\n"},
      {{{"corrupt_stream", "0"}}, "{}", 1105, "Error unzipping config data: incorrect header check\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.message);
    for (bool quiet : {true, false}) {
      Reset();
      CHidDevice device;
      OpenHeadset(&device);
      ASSERT_TRUE(row.stored.empty() || vantage::WriteConfigToDevice(device, row.stored));
      OpenHeadset(&device, row.faults);
      g_messages.clear();
      std::string read;
      EXPECT_EQ(row.code, vantage::ReadConfigFromDevice(device, &read, quiet));
      // What arrived is the start of the document, all of it on success.
      EXPECT_EQ(0, row.stored.compare(0, read.size(), read));
      EXPECT_TRUE(row.code != 0 || read == row.stored);
      // Quiet, none of the read's own messages (they name the serial) is told.
      EXPECT_EQ(quiet, g_messages.find(quiet ? "SN1" : row.message) == std::string::npos) << g_messages;
    }
  }
}

}  // namespace
