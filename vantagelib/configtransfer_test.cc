#include "vantagelib/configtransfer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "vantagelib/hiddevice.h"
#include "vantagelib/hiddevicetable.h"
#include "vantagelib/simheadset_test_util.h"
#include "vantagelib/thread.h"

namespace {

using simtest::Deflate;

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
  std::string text(size, '\0');
  for (char& c : text)
    c = static_cast<char>(random() & 0xFF);
  return text;
}

class InflateConfigChunkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    memset(&stream_, 0, sizeof(stream_));
    ASSERT_EQ(inflateInit(&stream_), Z_OK);
  }
  void TearDown() override { inflateEnd(&stream_); }
  z_stream stream_;
};

TEST_F(InflateConfigChunkTest, ChunksInflateToTheWholeText) {
  std::string text = SampleDocument(400);  // well past one 1024-byte window per chunk
  std::string stream = Deflate(text);
  std::string out;
  for (size_t at = 0; at < stream.size(); at += 62) {
    size_t n = std::min<size_t>(62, stream.size() - at);
    ASSERT_TRUE(vantage::InflateConfigChunk(
        &stream_, reinterpret_cast<const uint8_t*>(stream.data()) + at, n, &out));
  }
  EXPECT_EQ(out, text);
}

TEST_F(InflateConfigChunkTest, DamagedStreamFailsWithZlibsMessage) {
  std::string captured;
  static std::string* sink = &captured;
  auto capture = [](const char* text) { *sink += text; };
  vantage::RegisterDebugOutputFunction(capture);
  const uint8_t garbage[4] = {0x12, 0x34, 0x56, 0x78};
  std::string out;
  EXPECT_FALSE(vantage::InflateConfigChunk(&stream_, garbage, sizeof(garbage), &out));
  vantage::UnregisterDebugOutputFunction(capture);
  EXPECT_EQ(captured, "Error unzipping config data: incorrect header check\n");
}

TEST(ConfigTransferTest, ClosedDeviceReadsNothingAndWritesNothing) {
  vantage::CHidDevice device;
  std::string text;
  EXPECT_EQ(vantage::ReadConfigFromDevice(device, &text, true), vantage::kConfigReadSizeFailed);
  EXPECT_FALSE(vantage::WriteConfigToDevice(device, "{}"));
}

class SimConfigTransferTest : public simtest::SimHeadsetTest {
 protected:
  void Open(vantage::CHidDevice* device, const std::map<std::string, std::string>& faults = {}) {
    std::map<std::string, std::string> fields = faults;
    fields["serial"] = "SN1";
    AddHeadset("h", fields);
    vantage::RefreshAttachedHidDevices(false);
    device->SetTarget(0xF3A1, 0x2000, "SN1", 1);
    ASSERT_TRUE(device->Open(true));
    ClearTrace();
  }
  int Read(vantage::CHidDevice& device, std::string* text, bool quiet = false) {
    return vantage::ReadConfigFromDevice(device, text, quiet);
  }
};

TEST_F(SimConfigTransferTest, WrittenDocumentReadsBackByteForByte) {
  vantage::CHidDevice device;
  Open(&device);
  const std::string text = SampleDocument(300);
  ASSERT_TRUE(vantage::WriteConfigToDevice(device, text));
  const size_t csize = StoredStream("h").size();
  ASSERT_GT(csize, 62u * 3);
  EXPECT_EQ(Messages(), "Compressed config size is " + std::to_string(csize) + "\n");

  // One size report of 3 bytes, then full 62-byte chunks and the remainder.
  EXPECT_EQ(TraceCount("send 0x10 len=3 size=" + std::to_string(csize)), 1u);
  EXPECT_EQ(TraceCount("send 0x11 len=64 n=62 "), csize / 62);
  EXPECT_EQ(TraceCount("send 0x11 len=64 n=" + std::to_string(csize % 62) + " "), 1u);
  EXPECT_EQ(TraceCount("send 0x11"), (csize + 61) / 62);
  EXPECT_EQ(TraceCount("store h bytes=" + std::to_string(csize)), 1u);

  std::string back;
  EXPECT_EQ(Read(device, &back), vantage::kConfigReadOk);
  EXPECT_EQ(back, text);
  EXPECT_NE(Messages().find("SN1: Read config of " + std::to_string(csize) +
                            " bytes from [vid:f3a1, pid:2000] (SN1) and inflated to " +
                            std::to_string(text.size()) + " bytes\n"),
            std::string::npos);
  // Every chunk, then the empty one that ends the data.
  EXPECT_EQ(TraceCount("get 0x11 -> 64 n=0"), 1u);
}

TEST_F(SimConfigTransferTest, AnotherHandleSeesTheStoredConfiguration) {
  {
    vantage::CHidDevice device;
    Open(&device);
    ASSERT_TRUE(vantage::WriteConfigToDevice(device, "{\"a\" : 1}\n"));
  }
  vantage::CHidDevice device;
  device.SetTarget(0xF3A1, 0x2000, "SN1", 1);
  ASSERT_TRUE(device.Open(true));
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadOk);
  EXPECT_EQ(text, "{\"a\" : 1}\n");
}

TEST_F(SimConfigTransferTest, TinyAndIncompressibleTextsAreSentWhole) {
  vantage::CHidDevice device;
  Open(&device);
  // Both compress to more bytes than the text holds.
  for (const std::string& text : {std::string("{}"), std::string(), RandomText(3000)}) {
    ASSERT_TRUE(vantage::WriteConfigToDevice(device, text));
    EXPECT_GT(StoredStream("h").size(), text.size());
    std::string back;
    EXPECT_EQ(Read(device, &back), vantage::kConfigReadOk);
    EXPECT_EQ(back, text);
  }
}

TEST_F(SimConfigTransferTest, WriteAboveTheReadLimitSucceedsButCannotBeReadBack) {
  vantage::CHidDevice device;
  Open(&device);
  ASSERT_TRUE(vantage::WriteConfigToDevice(device, RandomText(9000)));
  const size_t csize = StoredStream("h").size();
  EXPECT_GT(csize, 8192u);
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadTooLarge);
  char expected[128];
  snprintf(expected, sizeof(expected),
           "SN1: Not loading device config because its size is too large: 0x%zX bytes\n", csize);
  EXPECT_NE(Messages().find(expected), std::string::npos);
  EXPECT_EQ(TraceCount("get 0x11"), 0u);
}

TEST_F(SimConfigTransferTest, CompressedSizeAbove65535IsRefusedBeforeSending) {
  vantage::CHidDevice device;
  Open(&device);
  EXPECT_FALSE(vantage::WriteConfigToDevice(device, RandomText(70000)));
  EXPECT_EQ(Messages(), "Compressed size too large\n");
  EXPECT_EQ(TraceCount("send"), 0u);
}

TEST_F(SimConfigTransferTest, FailedSizeReportIsTriedOnceAndNothingMoreIsSent) {
  vantage::CHidDevice device;
  Open(&device, {{"send_fail", "1"}});
  StoreDocument("h", "old");
  EXPECT_FALSE(vantage::WriteConfigToDevice(device, SampleDocument(10)));
  EXPECT_NE(Messages().find("Unable to write size of config\n"), std::string::npos);
  EXPECT_EQ(TraceCount("send"), 1u);
  EXPECT_EQ(StoredStream("h"), Deflate("old"));
}

TEST_F(SimConfigTransferTest, DisconnectDuringWriteKeepsTheOldConfiguration) {
  vantage::CHidDevice device;
  Open(&device, {{"disconnect_after", "2"}});
  StoreDocument("h", "old");
  std::string text = RandomText(500);  // nine chunks
  EXPECT_FALSE(vantage::WriteConfigToDevice(device, text));
  EXPECT_NE(Messages().find("Failed to send config chunk after 124 bytes\n"), std::string::npos);
  EXPECT_EQ(StoredStream("h"), Deflate("old"));
}

TEST_F(SimConfigTransferTest, NoStoredConfigurationGives1103WithoutDataReports) {
  vantage::CHidDevice device;
  Open(&device);
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadNoConfig);
  EXPECT_EQ(Messages(), "SN1: Device does not have a stored config\n");
  EXPECT_EQ(TraceCount("get 0x11"), 0u);
}

TEST_F(SimConfigTransferTest, DeadDeviceGives1102AfterTheBudget) {
  vantage::CHidDevice device;
  Open(&device, {{"get_fail", "all"}});
  StoreDocument("h", "{}");
  std::string text;
  double start = vantage::GetTimeSeconds();
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadSizeFailed);
  EXPECT_LT(vantage::GetTimeSeconds() - start, 0.25);
  EXPECT_EQ(Messages(), "SN1: Unable to request config start from device\n");
}

TEST_F(SimConfigTransferTest, TransientFailuresDuringAReadAreRetried) {
  vantage::CHidDevice device;
  Open(&device, {{"get_fail", "5"}});
  StoreDocument("h", SampleDocument(50));
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadOk);
  EXPECT_EQ(text, SampleDocument(50));
}

TEST_F(SimConfigTransferTest, AnnouncedSizeAboveTheLimitGives1104) {
  vantage::CHidDevice device;
  Open(&device, {{"announce_size", "8193"}});
  StoreDocument("h", "{}");
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadTooLarge);
  EXPECT_EQ(Messages(),
            "SN1: Not loading device config because its size is too large: 0x2001 bytes\n");
}

TEST_F(SimConfigTransferTest, AnnouncedSizeOfZeroGives1105) {
  vantage::CHidDevice device;
  Open(&device, {{"announce_size", "0"}});
  StoreDocument("h", SampleDocument(10));
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadSizeMismatch);
  EXPECT_EQ(text, "");
  EXPECT_EQ(Messages(), "SN1: Expected 0 bytes of config but only found 0. Rejecting config\n");
}

TEST_F(SimConfigTransferTest, FewerBytesThanAnnouncedGive1105) {
  vantage::CHidDevice device;
  Open(&device, {{"announce_size", "5000"}});
  StoreDocument("h", SampleDocument(100));
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadSizeMismatch);
  std::string expected = "SN1: Expected 5000 bytes of config but only found " +
                         std::to_string(StoredStream("h").size()) + ". Rejecting config\n";
  EXPECT_NE(Messages().find(expected), std::string::npos);
}

TEST_F(SimConfigTransferTest, BytesPastTheAnnouncedSizeAreNotInflated) {
  vantage::CHidDevice device;
  std::string stream = Deflate(SampleDocument(20));
  Open(&device, {{"announce_size", std::to_string(stream.size() - 10)}});
  StoreStream("h", stream);
  std::string text;
  // Only the announced bytes are inflated, and the stream they cut is refused.
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadSizeMismatch);
  EXPECT_LT(text.size(), SampleDocument(20).size());
  EXPECT_EQ(text, SampleDocument(20).substr(0, text.size()));
}

TEST_F(SimConfigTransferTest, LengthByteAbove62IsAProtocolError) {
  for (const char* value : {"63", "255"}) {
    vantage::CHidDevice device;
    Open(&device, {{"bad_length", "2"}, {"bad_length_value", value}});
    StoreDocument("h", SampleDocument(100));
    std::string text;
    EXPECT_EQ(Read(device, &text), vantage::kConfigReadSizeMismatch) << value;
    EXPECT_NE(Messages().find("Expected " + std::to_string(StoredStream("h").size()) +
                              " bytes of config but only found 62. Rejecting config\n"),
              std::string::npos)
        << Messages();
    simtest::CapturedDebugOutput().clear();
  }
}

TEST_F(SimConfigTransferTest, LengthByteAbove62AfterTheLastChunkStillFails) {
  vantage::CHidDevice device;
  Open(&device, {{"bad_length", "2"}});
  StoreDocument("h", "{}");  // one chunk, then the bad "end" report
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadSizeMismatch);
}

TEST_F(SimConfigTransferTest, ShortReportMidwayGives1105) {
  vantage::CHidDevice device;
  Open(&device, {{"short_report", "2"}});
  StoreDocument("h", SampleDocument(100));
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadSizeMismatch);
  EXPECT_NE(Messages().find("SN1: Received short 32 byte packet when expecting config\n"),
            std::string::npos);
}

TEST_F(SimConfigTransferTest, ShortReportAfterTheLastChunkIsAccepted) {
  vantage::CHidDevice device;
  Open(&device, {{"short_report", "2"}});
  StoreDocument("h", "{}");
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadOk);
  EXPECT_EQ(text, "{}");
  EXPECT_NE(Messages().find("Received short 32 byte packet"), std::string::npos);
  std::string quietText;
  simtest::CapturedDebugOutput().clear();
  EXPECT_EQ(Read(device, &quietText, true), vantage::kConfigReadOk);
  EXPECT_EQ(Messages(), "");
}

TEST_F(SimConfigTransferTest, CorruptStreamGives1105) {
  vantage::CHidDevice device;
  Open(&device, {{"corrupt_stream", "0"}});
  StoreDocument("h", SampleDocument(100));
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadSizeMismatch);
  EXPECT_NE(Messages().find("Error unzipping config data: incorrect header check\n"),
            std::string::npos);
}

// A stream cut short on the headset has the byte count it announces, but a
// backup of its partial text would pass for the whole document.
TEST_F(SimConfigTransferTest, TruncatedStreamGives1105) {
  vantage::CHidDevice device;
  Open(&device, {{"truncate_stream", "100"}});
  StoreDocument("h", SampleDocument(200));
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadSizeMismatch);
  EXPECT_NE(Messages().find("ends before the document does. Rejecting config\n"),
            std::string::npos);
}

TEST_F(SimConfigTransferTest, DisconnectDuringReadGives1105) {
  vantage::CHidDevice device;
  Open(&device, {{"disconnect_after", "2"}});
  StoreDocument("h", SampleDocument(200));
  std::string text;
  EXPECT_EQ(Read(device, &text), vantage::kConfigReadSizeMismatch);
  EXPECT_NE(Messages().find("SN1: Received short -1 byte packet when expecting config\n"),
            std::string::npos);
  EXPECT_NE(Messages().find("but only found 124. Rejecting config\n"), std::string::npos);
}

TEST_F(SimConfigTransferTest, QuietReadSendsNothing) {
  vantage::CHidDevice device;
  Open(&device);
  std::string text;
  EXPECT_EQ(Read(device, &text, true), vantage::kConfigReadNoConfig);
  StoreDocument("h", "{}");
  EXPECT_EQ(Read(device, &text, true), vantage::kConfigReadOk);
  EXPECT_EQ(Messages(), "");
}

}  // namespace
