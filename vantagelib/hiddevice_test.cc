// The HID device handle: targets, opening, and feature reports with bounded
// retries, against simulated headsets where a device is needed.
#include "vantagelib/hiddevice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "vantagelib/simheadset_test_util.h"
#include "vantagelib/thread.h"

namespace {

using vantage::CHidDevice;

double Seconds(const std::function<void()>& body) {
  const double start = vantage::GetTimeSeconds();
  body();
  return vantage::GetTimeSeconds() - start;
}

TEST(HidDeviceTest, SerialsEqualIgnoringTrailingSpaces) {
  const struct {
    const wchar_t *a, *b;
    bool equal;
  } rows[] = {{L"ABC", L"ABC", true},  {L"ABC  ", L"ABC", true}, {L"ABC", L"ABC ", true},
              {L"ABC", L"abc", false}, {L" ABC", L"ABC", false}, {L"ABCD", L"ABC", false},
              {L"", L"", false},       {L"   ", L" ", false},    {L"A", L"", false}};
  for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i)
    EXPECT_EQ(rows[i].equal, vantage::SerialsEqualIgnoringTrailingSpaces(rows[i].a, rows[i].b)) << i;
}

TEST(HidDeviceTest, TargetWithTwoBackslashesIsADevicePath) {
  CHidDevice device;
  device.SetTarget(0xF3A1, 0x2000, "\\\\?\\hid#vid_f3a1", 5);
  EXPECT_EQ(device.DevicePath(), "\\\\?\\hid#vid_f3a1");
  EXPECT_EQ(device.SerialNumber(), "");
  EXPECT_EQ(device.SequenceNumber(), 1);
  device.SetTarget(0xF3A1, 0x2000, "\\\\", 0);  // too short for a path
  EXPECT_EQ(device.SerialNumber(), "\\\\");
  EXPECT_EQ(device.DevicePath(), "\\\\?\\hid#vid_f3a1");  // a serial leaves the path alone
  EXPECT_EQ(device.SequenceNumber(), 1);
  EXPECT_FALSE(device.IsOpen());
}

class SimHidDeviceTest : public simtest::SimHeadsetTest {};

TEST_F(SimHidDeviceTest, SetTargetAndOpenThroughTheTable) {
  AddHeadset("h", {{"serial", "Abc"}, {"product_id", "0x2150"}, {"interfaces", "2"}});
  vantage::RefreshAttachedHidDevices(false);
  CHidDevice device;
  // The product id is the listed one, the serial matched ignoring case.
  device.SetTarget(0xF3A1, 0x2000, "aBC", 0);
  EXPECT_EQ(device.ProductId(), 0x2150u);
  EXPECT_EQ(device.SequenceNumber(), 1);
  device.SetTarget(0xF3A1, 0x2000, "unknown", 3);
  EXPECT_EQ(device.ProductId(), 0x2000u);
  EXPECT_EQ(device.SequenceNumber(), 3);
  device.SetTarget(0xF3A1, 0x2000, "Abc", 2);
  ASSERT_TRUE(device.Open(false));
  EXPECT_EQ(TraceCount("open sim:h:1 ok"), 1u);
  ASSERT_TRUE(device.Open(true));  // closes the first handle before it opens
  device.Close();
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(TraceCount("close sim:h:1"), 2u);
  EXPECT_EQ(Messages(), "");

  // A stale table: the device is enumerated directly, the serial compared
  // without its spaces, and what was opened is told.
  AddHeadset("h", {{"serial", "S1  "}, {"interfaces", "2"}, {"product_id", "0x2012"}});
  device.SetTarget(0xF3A1, 0x2012, "S9", 2);
  EXPECT_FALSE(device.Open(true));
  device.SetTarget(0xF3A1, 0x2012, nullptr, 2);
  ASSERT_TRUE(device.Open(false));
  EXPECT_EQ(TraceCount("open sim:h:1 ok"), 3u);
  EXPECT_EQ(Messages(), "HID opened: VID f3a1 PID 2012 serial S1   seq 2 | if 1\n");
  // A failed open is told unless quiet; what was found is told either way.
  AddHeadset("h", {{"serial", "S1  "}, {"interfaces", "2"}, {"product_id", "0x2012"}, {"fail_open", "all"}});
  ClearMessages();
  EXPECT_FALSE(device.Open(true));
  EXPECT_FALSE(device.Open(false));
  EXPECT_EQ(Messages(), "HID opened: VID f3a1 PID 2012 serial S1   seq 2 | if 1\n"
                        "HID opened: VID f3a1 PID 2012 serial S1   seq 2 | if 1\n"
                        "CHidDevice: Can't open USB device VID 0000f3a1, PID 00002012  2\n");
}

TEST_F(SimHidDeviceTest, ReportsCopyWhatFitsAndPadWhatIsSent) {
  CHidDevice device;
  OpenHeadset(&device);
  StoreStream("h", std::string(0x0123, 'z'));
  uint8_t out[100];
  memset(out, 0xEE, sizeof(out));
  EXPECT_EQ(device.GetFeatureReport(0x10, out, sizeof(out), 1), 64);
  EXPECT_EQ(out[1], 0x23);
  EXPECT_EQ(out[62], 0x00);
  EXPECT_EQ(out[63], 0xEE) << "only 63 bytes follow the report number";
  uint8_t small[2] = {};
  EXPECT_EQ(device.GetFeatureReport(0x10, small, 1, 1), 64);
  EXPECT_EQ(small[0], 0x01);
  EXPECT_EQ(small[1], 0x00);
  // The simulator answers report 0 with 64 unnumbered data bytes (65 in all);
  // the copy stays inside the 65-byte report buffer.
  EXPECT_EQ(device.GetFeatureReport(0x00, out, sizeof(out), 1), 65);
  EXPECT_EQ(out[0], 0xA1);
  EXPECT_EQ(out[63], 0xE0);
  EXPECT_EQ(out[64], 0xEE);

  EXPECT_EQ(device.SendFeatureReport(0x10, out, 2, 1), 0);
  EXPECT_EQ(TraceCount("send 0x10 len=3 "), 1u);
  device.SetMinFeatureReportLength(63);
  EXPECT_EQ(device.SendFeatureReport(0x10, out, 2, 1), 0);
  EXPECT_EQ(TraceCount("send 0x10 len=64 "), 1u);
  EXPECT_FALSE(device.SendSimpleMessage(0x42, out, 62));
  EXPECT_EQ(Messages(), "Simple HID message payload 62 is larger than max size of 61\n");
  EXPECT_TRUE(device.SendSimpleMessage(0x42, out, 61));
  EXPECT_EQ(TraceCount("write len=64"), 1u);
}

TEST_F(SimHidDeviceTest, RetriesAreBoundedByAttemptsAndTime) {
  CHidDevice device;
  OpenHeadset(&device, {{"send_fail", "all"}, {"get_fail", "all"}});
  uint8_t buffer[64] = {};
  auto send = [&](int attempts) { EXPECT_EQ(device.SendFeatureReport(0x10, buffer, 2, attempts), -1); };
  // One attempt: one try and no pause; three: two pauses of 10 ms.
  EXPECT_LT(Seconds([&] { send(1); }), 0.009);
  EXPECT_EQ(TraceCount("-> -1 fault"), 1u);
  double elapsed = Seconds([&] { send(3); });
  EXPECT_GE(elapsed, 0.019);
  EXPECT_LT(elapsed, 0.1);
  EXPECT_EQ(TraceCount("-> -1 fault"), 4u);
  // A hundred attempts end with the 0.1 s budget: a few sends 10 ms apart,
  // more reads 3 ms apart.
  ClearTrace();
  elapsed = Seconds([&] { send(100); });
  EXPECT_GE(elapsed, 0.099);
  EXPECT_LT(elapsed, 0.2);
  EXPECT_GE(TraceCount("send 0x10 len=3 -> -1 fault"), 3u);
  EXPECT_LE(TraceCount("send 0x10 len=3 -> -1 fault"), 12u);
  elapsed = Seconds([&] { EXPECT_EQ(device.GetFeatureReport(0x10, buffer, 64, 100), -1); });
  EXPECT_GE(elapsed, 0.099);
  EXPECT_LT(elapsed, 0.2);
  EXPECT_GE(TraceCount("get 0x10 -> -1 fault"), 10u);
  EXPECT_LE(TraceCount("get 0x10 -> -1 fault"), 35u);

  // Passing failures are retried.
  OpenHeadset(&device, {{"get_fail", "2"}});
  EXPECT_EQ(device.GetFeatureReport(0x10, buffer, 64, 2), -1);
  EXPECT_EQ(device.GetFeatureReport(0x10, buffer, 64, 2), 64);
  EXPECT_EQ(TraceCount("get 0x10 -> -1 fault"), 2u);
}

}  // namespace
