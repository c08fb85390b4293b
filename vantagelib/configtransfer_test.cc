// The configuration transfer against simulated headsets: what goes over the
// wire, and every result of a read.
#include "vantagelib/configtransfer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "vantagelib/hiddevice.h"
#include "vantagelib/simheadset_test_util.h"

namespace {

using simtest::Deflate;
using vantage::CHidDevice;
using vantage::ReadConfigFromDevice;
using vantage::WriteConfigToDevice;

// A document with some repetition, as configuration documents have.
std::string SampleDocument(int members) {
  std::string text = "{\n";
  for (int i = 0; i < members; ++i)
    text += "   \"member_" + std::to_string(i) + "\" : " + std::to_string(i * 7919 % 1000) + ",\n";
  return text + "   \"revision\" : 3\n}\n";
}

// Text that deflate cannot shrink.
std::string RandomText(size_t size) {
  std::mt19937 random(42);
  std::string text;
  while (text.size() < size)
    text += static_cast<char>(random());
  return text;
}

TEST(ConfigTransferTest, ClosedDeviceReadsNothingAndWritesNothing) {
  CHidDevice device;
  std::string text;
  EXPECT_EQ(ReadConfigFromDevice(device, &text, true), vantage::kConfigReadSizeFailed);
  EXPECT_FALSE(WriteConfigToDevice(device, "{}"));
}

class SimConfigTransferTest : public simtest::SimHeadsetTest {};

TEST_F(SimConfigTransferTest, WrittenDocumentReadsBackByteForByte) {
  CHidDevice device;
  OpenHeadset(&device);
  const std::string text = SampleDocument(300);
  ASSERT_TRUE(WriteConfigToDevice(device, text));
  const size_t csize = StoredStream("h").size();
  ASSERT_GT(csize, 62u * 3);
  EXPECT_EQ(Messages(), "Compressed config size is " + std::to_string(csize) + "\n");
  // One size report of 3 bytes, then full 62-byte chunks and the remainder.
  EXPECT_EQ(TraceCount("send 0x10 len=3 size=" + std::to_string(csize)), 1u);
  EXPECT_EQ(TraceCount("send 0x11 len=64 n=62 "), csize / 62);
  EXPECT_EQ(TraceCount("send 0x11 len=64 n=" + std::to_string(csize % 62) + " "), 1u);
  EXPECT_EQ(TraceCount("send 0x11"), (csize + 61) / 62);
  std::string back;
  EXPECT_EQ(ReadConfigFromDevice(device, &back, false), vantage::kConfigReadOk);
  EXPECT_EQ(back, text);
  EXPECT_NE(Messages().find("SN1: Read config of " + std::to_string(csize) + " bytes from [vid:f3a1, pid:2000] (SN1)"
                            " and inflated to " + std::to_string(text.size()) + " bytes\n"),
            std::string::npos);
  EXPECT_EQ(TraceCount("get 0x11 -> 64 n=0"), 1u);  // the empty chunk that ends the data

  // Texts that deflate makes larger, or whose one chunk inflates to many
  // windows: every stream is sent whole.
  for (const std::string& other : {std::string("{}"), std::string(), RandomText(3000), std::string(60000, ' ')}) {
    ASSERT_TRUE(WriteConfigToDevice(device, other));
    EXPECT_EQ(StoredStream("h"), Deflate(other));
    std::string read;
    EXPECT_EQ(ReadConfigFromDevice(device, &read, true), vantage::kConfigReadOk);
    EXPECT_EQ(read, other);
  }
  // Written, but above what a read accepts.
  ASSERT_TRUE(WriteConfigToDevice(device, RandomText(9000)));
  EXPECT_EQ(ReadConfigFromDevice(device, &back, true), vantage::kConfigReadTooLarge);
}

TEST_F(SimConfigTransferTest, FailedWritesStopAndKeepTheStoredConfiguration) {
  CHidDevice device;
  OpenHeadset(&device);
  EXPECT_FALSE(WriteConfigToDevice(device, RandomText(70000)));
  EXPECT_EQ(Messages(), "Compressed size too large\n");
  EXPECT_EQ(TraceCount("send"), 0u);
  StoreStream("h", "old");
  // The size report is tried once.
  OpenHeadset(&device, {{"send_fail", "1"}});
  EXPECT_FALSE(WriteConfigToDevice(device, SampleDocument(10)));
  EXPECT_NE(Messages().find("Unable to write size of config\n"), std::string::npos);
  EXPECT_EQ(TraceCount("send"), 1u);
  OpenHeadset(&device, {{"disconnect_after", "2"}});
  EXPECT_FALSE(WriteConfigToDevice(device, RandomText(500)));
  EXPECT_NE(Messages().find("Failed to send config chunk after 124 bytes\n"), std::string::npos);
  EXPECT_EQ(StoredStream("h"), "old");
}

TEST_F(SimConfigTransferTest, EveryReadResult) {
  const std::string doc = SampleDocument(100);
  const struct {
    simtest::Fields faults;
    std::string stored;   // the document on the headset, none when empty
    int code;
    std::string message;  // part of what a read that is not quiet sends
  } rows[] = {
      {{}, doc, 0, "SN1: Read config of "},
      {{}, "", 1103, "SN1: Device does not have a stored config\n"},
      {{{"get_fail", "all"}}, doc, 1102, "SN1: Unable to request config start from device\n"},
      {{{"announce_size", "8193"}}, "{}", 1104,
       "SN1: Not loading device config because its size is too large: 0x2001 bytes\n"},
      {{{"announce_size", "0"}}, doc, 1105, "SN1: Expected 0 bytes of config but only found 0. Rejecting config\n"},
      {{{"disconnect_after", "2"}}, doc, 1105, "but only found 124. Rejecting config\n"},
      // Bytes past the announced size are not inflated, and the stream they
      // cut is refused, as is one cut short on the headset.
      {{{"announce_size", "30"}}, doc, 1105, "SN1: Config stream of 30 bytes ends before the document does."},
      {{{"truncate_stream", "100"}}, doc, 1105, "SN1: Config stream of 100 bytes ends before the document does."},
      // A chunk claiming more than 62 bytes, midway or after the last one.
      {{{"bad_length", "2"}, {"bad_length_value", "63"}}, doc, 1105, "but only found 62. Rejecting config\n"},
      {{{"bad_length", "2"}}, "{}", 1105, "more than a report holds"},
      // A short report ends the data: accepted once every byte is there.
      {{{"short_report", "2"}}, doc, 1105, "SN1: Received short 32 byte packet when expecting config\n"},
      {{{"short_report", "2"}}, "{}", 0, "SN1: Received short 32 byte packet when expecting config\n"},
      {{{"corrupt_stream", "0"}}, doc, 1105, "Error unzipping config data: incorrect header check\n"},
  };
  for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
    SCOPED_TRACE(i);
    for (bool quiet : {true, false}) {
      NewSimDir();
      CHidDevice device;
      OpenHeadset(&device, rows[i].faults);
      if (!rows[i].stored.empty())
        StoreStream("h", Deflate(rows[i].stored));
      std::string text;
      EXPECT_EQ(rows[i].code, ReadConfigFromDevice(device, &text, quiet));
      // Whatever arrived is the start of the document, and all of it on success.
      EXPECT_EQ(0, rows[i].stored.compare(0, text.size(), text));
      EXPECT_TRUE(rows[i].code != 0 || text == rows[i].stored);
      EXPECT_TRUE((rows[i].code != 1103 && rows[i].code != 1104) || TraceCount("get 0x11") == 0);
      // Quiet, none of the read's own messages (they name the serial) is sent.
      EXPECT_EQ(quiet, Messages().find(quiet ? "SN1" : rows[i].message) == std::string::npos) << Messages();
    }
  }
}

}  // namespace
