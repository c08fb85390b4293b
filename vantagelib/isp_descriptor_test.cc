// Image-processing devices: stream texts, including malformed ones, and the
// written form.
#include "vantagelib/isp_descriptor.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "devconfig/jsonhelpers.h"

using namespace vantage;

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  EXPECT_TRUE(ParseJsonText(text, &root, nullptr)) << text;
  return root;
}

constexpr uint32_t Code(char a, char b, char c, char d) {
  return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) | (uint32_t(uint8_t(c)) << 8) |
         uint32_t(uint8_t(d));
}

void ExpectStream(const IspStream& s, int first, int second, uint32_t format, int last) {
  EXPECT_EQ(first, s.first);
  EXPECT_EQ(second, s.second);
  EXPECT_EQ(format, s.format);
  EXPECT_EQ(last, s.last);
}

}  // namespace

// The stream scan fills what "%hu,%hu,'%4c',%hu" would, without reading past
// the text, keeping the low 8 bits of each number.
TEST(IspStreamScan, AgreesWithScanf) {
  const char* const texts[] = {
      "1,2,'YUYV',300", " 7,\t8,'MJPG', 9 trailing", "7, 8, 'MJPG',9", "7 ,8,'MJPG',9", "", "x,2,'ABCD',3",
      "5,6", "5,6,ABCD,7", "5,6,'ABCD'", "5,6,'ABCDE',7", "5,6,'ABCD',-", "1,2,'AB", "1,2,'", "12,", "12,,",
      ",1", "1,2,'',3", "0x10,2,'ABCD',3", "-1,+3,'ABCD',65536", "255,256,'\t\n\r ',257", "\n9,8,'WXYZ',\n7",
      "1.5,2,'ABCD',3", "+,2,'ABCD',3", "65535,65536,'ABCD',65537", "0,0,' ,'\xff',0", "65791,1,'ABCD',511",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    unsigned short a = 0, b = 0, d = 0;
    char code[4] = {0, 0, 0, 0};
    int count = std::sscanf(text, "%hu,%hu,'%4c',%hu", &a, &b, code, &d);
    IspStream s;
    EXPECT_EQ(count < 0 ? 0 : count, ScanIspStream(text, &s));
    ExpectStream(s, a & 0xFF, b & 0xFF, Code(code[0], code[1], code[2], code[3]), d & 0xFF);
  }
  // The text ends at a zero byte; a number too large for any type is cut too.
  IspStream s;
  EXPECT_EQ(3, ScanIspStream(std::string("1,2,'A\0CD',3", 12), &s));
  ExpectStream(s, 1, 2, Code('A', 0, 0, 0), 0);
  EXPECT_EQ(4, ScanIspStream("99999999999999999999999,2,'ABCD',3", &s));
  EXPECT_EQ(255, s.first);
}

TEST(IspDescriptorJson, StreamsAreReadOnlyTheDriverIsWritten) {
  IspDescriptor isp;
  isp.streams.resize(2);  // a read starts afresh
  std::string error;
  EXPECT_TRUE(FromJson(Parse(R"({"driver": "uvc", "usbVID": 4660, "usbPID": 22136,
      "streams": ["1,2,'YUYV',300", "garbage", 7, null]})"), &isp, &error)) << error;
  EXPECT_EQ(4660u, isp.usbVID);
  EXPECT_EQ(22136u, isp.usbPID);
  ASSERT_EQ(4u, isp.streams.size());
  ExpectStream(isp.streams[0], 1, 2, Code('Y', 'U', 'Y', 'V'), 44);
  ExpectStream(isp.streams[1], 0, 0, 0, 0);
  ExpectStream(isp.streams[2], 7, 0, 0, 0);
  EXPECT_EQ(Parse(R"({"driver": "uvc"})"), ToJson(isp));
  // Streams of the wrong kind are reported; the rest is read.
  EXPECT_FALSE(FromJson(Parse(R"({"driver": "d", "streams": "1,2,'ABCD',3"})"), &isp, &error));
  EXPECT_EQ("\"streams\" is not an array", error);
  EXPECT_EQ("d", isp.driver);
  EXPECT_TRUE(isp.streams.empty());
  EXPECT_FALSE(FromJson(Parse(R"({"streams": [["1,2,'ABCD',3"], "1,2,'ABCD',3"]})"), &isp, &error));
  EXPECT_EQ("a stream of \"streams\" is not a text", error);
  ASSERT_EQ(2u, isp.streams.size());
  ExpectStream(isp.streams[1], 1, 2, Code('A', 'B', 'C', 'D'), 3);
}
