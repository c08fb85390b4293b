#include "vantagelib/hiddevice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "vantagelib/hiddevicetable.h"
#include "vantagelib/simheadset_test_util.h"
#include "vantagelib/thread.h"

namespace {

using vantage::SerialsEqualIgnoringTrailingSpaces;

TEST(SerialsEqualTest, TrailingSpacesDoNotCount) {
  EXPECT_TRUE(SerialsEqualIgnoringTrailingSpaces(L"ABC", L"ABC"));
  EXPECT_TRUE(SerialsEqualIgnoringTrailingSpaces(L"ABC  ", L"ABC"));
  EXPECT_TRUE(SerialsEqualIgnoringTrailingSpaces(L"ABC", L"ABC "));
  EXPECT_FALSE(SerialsEqualIgnoringTrailingSpaces(L"ABC", L"abc"));
  EXPECT_FALSE(SerialsEqualIgnoringTrailingSpaces(L" ABC", L"ABC"));
  EXPECT_FALSE(SerialsEqualIgnoringTrailingSpaces(L"ABCD", L"ABC"));
}

TEST(SerialsEqualTest, EmptyNeverMatches) {
  EXPECT_FALSE(SerialsEqualIgnoringTrailingSpaces(L"", L""));
  EXPECT_FALSE(SerialsEqualIgnoringTrailingSpaces(L"   ", L" "));
  EXPECT_FALSE(SerialsEqualIgnoringTrailingSpaces(L"A", L""));
}

TEST(HidDeviceTest, ClosedDeviceRefusesEveryExchange) {
  vantage::CHidDevice device;
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.VendorId(), 0u);
  EXPECT_EQ(device.SequenceNumber(), 0);
  uint8_t buffer[64] = {};
  EXPECT_EQ(device.GetFeatureReport(0x10, buffer, sizeof(buffer), 100), -1);
  EXPECT_EQ(device.SendFeatureReport(0x10, buffer, 2, 100), -1);
  EXPECT_EQ(device.ReadInputReport(buffer, 0, nullptr), -1);
  EXPECT_FALSE(device.SendSimpleMessage(1, buffer, 4));
  device.Close();  // closing twice is harmless
}

TEST(HidDeviceTest, DoubleBackslashTargetIsADevicePath) {
  vantage::CHidDevice device;
  device.SetTarget(0xF3A1, 0x2000, "\\\\?\\hid#vid_f3a1", 5);
  EXPECT_EQ(device.DevicePath(), "\\\\?\\hid#vid_f3a1");
  EXPECT_EQ(device.SerialNumber(), "");
  EXPECT_EQ(device.SequenceNumber(), 1);
  // Two characters are not enough for a path.
  vantage::CHidDevice other;
  other.SetTarget(0xF3A1, 0x2000, "\\\\", 0);
  EXPECT_EQ(other.SerialNumber(), "\\\\");
  EXPECT_EQ(other.DevicePath(), "");
  EXPECT_EQ(other.SequenceNumber(), 1);
}

TEST(HidDeviceTest, SimpleMessagePayloadAbove61IsRefused) {
  std::string captured;
  static std::string* sink = &captured;
  auto capture = [](const char* text) { *sink += text; };
  vantage::RegisterDebugOutputFunction(capture);
  vantage::CHidDevice device;
  uint8_t payload[62] = {};
  EXPECT_FALSE(device.SendSimpleMessage(1, payload, 62));
  vantage::UnregisterDebugOutputFunction(capture);
  EXPECT_EQ(captured, "Simple HID message payload 62 is larger than max size of 61\n");
}

class SimHidDeviceTest : public simtest::SimHeadsetTest {
 protected:
  // Opens the only headset through the table.
  void OpenHeadset(vantage::CHidDevice* device, const std::string& serial) {
    vantage::RefreshAttachedHidDevices(false);
    device->SetTarget(0xF3A1, 0x2000, serial.c_str(), 1);
    ASSERT_TRUE(device->Open(false));
  }
};

TEST_F(SimHidDeviceTest, SetTargetTakesTheListedProductIdIgnoringCase) {
  AddHeadset("h", {{"serial", "Abc"}, {"product_id", "0x2150"}});
  vantage::RefreshAttachedHidDevices(false);
  vantage::CHidDevice device;
  device.SetTarget(0xF3A1, 0x2000, "aBC", 0);
  EXPECT_EQ(device.ProductId(), 0x2150u);
  EXPECT_EQ(device.SerialNumber(), "aBC");
  EXPECT_EQ(device.SequenceNumber(), 1);
  device.SetTarget(0xF3A1, 0x2000, "unknown", 3);
  EXPECT_EQ(device.ProductId(), 0x2000u);
  EXPECT_EQ(device.SequenceNumber(), 3);
}

TEST_F(SimHidDeviceTest, OpensTheSelectedInterfaceThroughTheTable) {
  AddHeadset("h", {{"serial", "S1"}, {"interfaces", "2"}});
  vantage::RefreshAttachedHidDevices(false);
  vantage::CHidDevice device;
  device.SetTarget(0xF3A1, 0x2000, "S1", 2);
  ASSERT_TRUE(device.Open(false));
  EXPECT_EQ(TraceCount("open sim:h:1 ok"), 1u);
  EXPECT_EQ(Messages(), "");
  device.Close();
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(TraceCount("close sim:h:1"), 1u);
}

TEST_F(SimHidDeviceTest, WithoutATableEntryEnumeratesDirectlyAndTellsWhatItOpened) {
  AddHeadset("h", {{"serial", "S1  "}, {"interfaces", "2"}});
  vantage::RefreshAttachedHidDevices(false);
  AddHeadset("h", {{"serial", "S1  "}, {"interfaces", "2"}, {"product_id", "0x2012"}});
  vantage::CHidDevice device;
  // Product id from the (stale) table; the serial without its spaces.
  device.SetTarget(0xF3A1, 0x2012, "S9", 2);
  EXPECT_FALSE(device.Open(true));
  device.SetTarget(0xF3A1, 0x2012, nullptr, 2);
  ASSERT_TRUE(device.Open(false));
  EXPECT_EQ(TraceCount("open sim:h:1 ok"), 1u);
  EXPECT_EQ(Messages(), "HID opened: VID f3a1 PID 2012 serial S1   seq 2 | if 1\n");
}

TEST_F(SimHidDeviceTest, FailedOpenReportsUnlessQuiet) {
  AddHeadset("h", {{"serial", "S1"}, {"fail_open", "all"}});
  vantage::RefreshAttachedHidDevices(false);
  vantage::CHidDevice device;
  device.SetTarget(0xF3A1, 0x2000, "S1", 1);
  EXPECT_FALSE(device.Open(true));
  EXPECT_EQ(Messages(), "");
  EXPECT_FALSE(device.Open(false));
  EXPECT_EQ(Messages(), "CHidDevice: Can't open USB device VID 0000f3a1, PID 00002000 S1 1\n");
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(device.SerialNumber(), "S1");
}

TEST_F(SimHidDeviceTest, OpenClosesThePreviousHandleFirst) {
  AddHeadset("h", {{"serial", "S1"}});
  vantage::CHidDevice device;
  OpenHeadset(&device, "S1");
  ASSERT_TRUE(device.Open(true));
  EXPECT_EQ(TraceCount("open sim:h:0 ok"), 2u);
  EXPECT_EQ(TraceCount("close sim:h:0"), 1u);
}

TEST_F(SimHidDeviceTest, FullFeatureReportGives64And63DataBytes) {
  AddHeadset("h", {{"serial", "S1"}});
  StoreStream("h", std::string(0x0123, 'z'));
  vantage::CHidDevice device;
  OpenHeadset(&device, "S1");
  uint8_t out[70];
  memset(out, 0xEE, sizeof(out));
  EXPECT_EQ(device.GetFeatureReport(0x10, out, sizeof(out), 1), 64);
  EXPECT_EQ(out[0], 0x01);
  EXPECT_EQ(out[1], 0x23);
  EXPECT_EQ(out[62], 0x00);
  EXPECT_EQ(out[63], 0xEE) << "only 63 bytes follow the report number";
  // A smaller buffer gets what fits.
  uint8_t small[2];
  EXPECT_EQ(device.GetFeatureReport(0x10, small, sizeof(small), 1), 64);
  EXPECT_EQ(small[1], 0x23);
}

TEST_F(SimHidDeviceTest, ReportZeroCopyStaysInsideTheBuffer) {
  AddHeadset("h", {{"serial", "S1"}});
  vantage::CHidDevice device;
  OpenHeadset(&device, "S1");
  uint8_t out[100];
  memset(out, 0xEE, sizeof(out));
  // The simulator answers report 0 with 64 unnumbered data bytes (65 in all).
  EXPECT_EQ(device.GetFeatureReport(0x00, out, sizeof(out), 1), 65);
  EXPECT_EQ(out[0], 0xA1);
  EXPECT_EQ(out[63], 0xE0);
  EXPECT_EQ(out[64], 0xEE);
}

TEST_F(SimHidDeviceTest, SendPadsToTheMinimumLength) {
  AddHeadset("h", {{"serial", "S1"}});
  vantage::CHidDevice device;
  OpenHeadset(&device, "S1");
  const uint8_t size[2] = {0x00, 0x05};
  EXPECT_EQ(device.SendFeatureReport(0x10, size, 2, 1), 0);
  EXPECT_EQ(TraceCount("send 0x10 len=3 "), 1u);
  device.SetMinFeatureReportLength(63);
  EXPECT_EQ(device.SendFeatureReport(0x10, size, 2, 1), 0);
  EXPECT_EQ(TraceCount("send 0x10 len=64 "), 1u);
}

TEST_F(SimHidDeviceTest, SendWithOneAttemptTriesOnceWithoutSleeping) {
  AddHeadset("h", {{"serial", "S1"}, {"send_fail", "all"}});
  vantage::CHidDevice device;
  OpenHeadset(&device, "S1");
  const uint8_t size[2] = {0, 1};
  double start = vantage::GetTimeSeconds();
  EXPECT_EQ(device.SendFeatureReport(0x10, size, 2, 1), -1);
  EXPECT_LT(vantage::GetTimeSeconds() - start, 0.009);
  EXPECT_EQ(TraceCount("-> -1 fault"), 1u);
}

TEST_F(SimHidDeviceTest, SendRetriesItsAttemptCountWithTenMillisecondPauses) {
  AddHeadset("h", {{"serial", "S1"}, {"send_fail", "all"}});
  vantage::CHidDevice device;
  OpenHeadset(&device, "S1");
  const uint8_t size[2] = {0, 1};
  double start = vantage::GetTimeSeconds();
  EXPECT_EQ(device.SendFeatureReport(0x10, size, 2, 3), -1);
  double elapsed = vantage::GetTimeSeconds() - start;
  EXPECT_EQ(TraceCount("-> -1 fault"), 3u);
  EXPECT_GE(elapsed, 0.019);
  EXPECT_LT(elapsed, 0.1);
}

TEST_F(SimHidDeviceTest, DeadDeviceStopsRetryingAfterTheTimeBudget) {
  AddHeadset("h", {{"serial", "S1"}, {"send_fail", "all"}, {"get_fail", "all"}});
  vantage::CHidDevice device;
  OpenHeadset(&device, "S1");
  const uint8_t size[2] = {0, 1};
  double start = vantage::GetTimeSeconds();
  EXPECT_EQ(device.SendFeatureReport(0x10, size, 2, 100), -1);
  double elapsed = vantage::GetTimeSeconds() - start;
  size_t sends = TraceCount("send 0x10 len=3 -> -1 fault");
  // Without the budget, 100 attempts 10 ms apart would take a second.
  EXPECT_GE(elapsed, 0.099);
  EXPECT_LT(elapsed, 0.2);
  EXPECT_GE(sends, 3u);
  EXPECT_LE(sends, 12u);

  uint8_t out[64];
  start = vantage::GetTimeSeconds();
  EXPECT_EQ(device.GetFeatureReport(0x10, out, sizeof(out), 100), -1);
  elapsed = vantage::GetTimeSeconds() - start;
  size_t gets = TraceCount("get 0x10 -> -1 fault");
  EXPECT_GE(elapsed, 0.099);
  EXPECT_LT(elapsed, 0.2);
  // 3 ms pauses: more tries than a send gets, far fewer than 100.
  EXPECT_GE(gets, 10u);
  EXPECT_LE(gets, 35u);
}

TEST_F(SimHidDeviceTest, TransientFailuresAreRetried) {
  AddHeadset("h", {{"serial", "S1"}, {"get_fail", "2"}});
  vantage::CHidDevice device;
  OpenHeadset(&device, "S1");
  uint8_t out[64];
  EXPECT_EQ(device.GetFeatureReport(0x10, out, sizeof(out), 2), -1);
  EXPECT_EQ(device.GetFeatureReport(0x10, out, sizeof(out), 2), 64);
  EXPECT_EQ(TraceCount("get 0x10 -> -1 fault"), 2u);
}

TEST_F(SimHidDeviceTest, SimpleMessageAndInputReport) {
  AddHeadset("h", {{"serial", "S1"}});
  vantage::CHidDevice device;
  OpenHeadset(&device, "S1");
  const uint8_t payload[3] = {1, 2, 3};
  EXPECT_TRUE(device.SendSimpleMessage(0x42, payload, sizeof(payload)));
  EXPECT_EQ(TraceCount("write len=64"), 1u);
  uint8_t buffer[64];
  uint64_t stamp = 0;
  EXPECT_EQ(device.ReadInputReport(buffer, 1, &stamp), 0);
  EXPECT_NE(stamp, 0u);
}

}  // namespace
