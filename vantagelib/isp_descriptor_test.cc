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
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

constexpr uint32_t Code(char a, char b, char c, char d) {
  return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) |
         (uint32_t(uint8_t(c)) << 8) | uint32_t(uint8_t(d));
}

void ExpectStream(const IspStream& s, int first, int second, uint32_t format, int last) {
  EXPECT_EQ(first, s.first);
  EXPECT_EQ(second, s.second);
  EXPECT_EQ(format, s.format);
  EXPECT_EQ(last, s.last);
}

}  // namespace

TEST(IspStreamScan, WorkedAndMalformedTexts) {
  struct Case {
    std::string text;
    int count;
    int first, second;
    uint32_t format;
    int last;
  };
  const uint32_t kAbcd = Code('A', 'B', 'C', 'D');
  const Case cases[] = {
      {"1,2,'YUYV',300", 4, 1, 2, Code('Y', 'U', 'Y', 'V'), 44},  // low 8 bits of 300
      {" 7,\t8,'MJPG', 9 trailing", 4, 7, 8, Code('M', 'J', 'P', 'G'), 9},
      {"7, 8, 'MJPG',9", 2, 7, 8, 0, 0},  // literals do not skip spaces
      {"7 ,8,'MJPG',9", 1, 7, 0, 0, 0},
      {"", 0, 0, 0, 0, 0},
      {"x,2,'ABCD',3", 0, 0, 0, 0, 0},
      {"5,6", 2, 5, 6, 0, 0},
      {"5,6,ABCD,7", 2, 5, 6, 0, 0},
      {"5,6,'ABCD'", 3, 5, 6, kAbcd, 0},
      {"5,6,'ABCDE',7", 3, 5, 6, kAbcd, 0},
      {"5,6,'ABCD',-", 3, 5, 6, kAbcd, 0},
      {"1,2,'AB", 3, 1, 2, Code('A', 'B', 0, 0), 0},  // cut short by the end
      {"1,2,'", 2, 1, 2, 0, 0},
      {std::string("1,2,'A\0CD',3", 12), 3, 1, 2, Code('A', 0, 0, 0), 0},
      {"0,0,' ,'\xff',0", 4, 0, 0, Code(' ', ',', '\'', '\xff'), 0},
      {"-1,+3,'ABCD',65536", 4, 255, 3, kAbcd, 0},
      {"99999999999999999999999,65791,'ABCD',511", 4, 255, 255, kAbcd, 255},
  };
  for (const Case& c : cases) {
    IspStream s;
    EXPECT_EQ(c.count, ScanIspStream(c.text, &s)) << c.text;
    ExpectStream(s, c.first, c.second, c.format, c.last);
  }
}

TEST(IspStreamScan, AgreesWithScanf) {
  const char* const texts[] = {
      "1,2,'YUYV',300", " 1, 2,'NV12', 3", "1,2,'AB", "1,2,'ABCD'", "1,2,'ABCD',x",
      "12", "12,", "12,,", ",1", "1,2,'',3", "1,2,'ABC',3", "0x10,2,'ABCD',3",
      "-5,-6,'ABCD',-7", "255,256,'\t\n\r ',257", "1,2,'ABCD',3,4,5", "\n9,8,'WXYZ',\n7",
      "1.5,2,'ABCD',3", "+,2,'ABCD',3", "65535,65536,'ABCD',65537",
  };
  for (const char* text : texts) {
    unsigned short a = 0, b = 0, d = 0;
    char code[4] = {0, 0, 0, 0};
    int count = std::sscanf(text, "%hu,%hu,'%4c',%hu", &a, &b, code, &d);
    if (count < 0)
      count = 0;
    IspStream s;
    EXPECT_EQ(count, ScanIspStream(text, &s)) << text;
    ExpectStream(s, a & 0xFF, b & 0xFF, Code(code[0], code[1], code[2], code[3]), d & 0xFF);
  }
}

TEST(IspDescriptorRead, AllMembers) {
  IspDescriptor isp;
  std::string error;
  EXPECT_TRUE(FromJson(Parse(R"({"driver": "uvc", "usbVID": 4660, "usbPID": 22136,
      "streams": ["1,2,'YUYV',300", "3,4,'MJPG',5", "garbage"]})"),
                       &isp, &error))
      << error;
  EXPECT_EQ("uvc", isp.driver);
  EXPECT_EQ(4660u, isp.usbVID);
  EXPECT_EQ(22136u, isp.usbPID);
  ASSERT_EQ(3u, isp.streams.size());
  ExpectStream(isp.streams[0], 1, 2, Code('Y', 'U', 'Y', 'V'), 44);
  ExpectStream(isp.streams[1], 3, 4, Code('M', 'J', 'P', 'G'), 5);
  ExpectStream(isp.streams[2], 0, 0, 0, 0);
}

TEST(IspDescriptorRead, AbsentMembersAndOddKinds) {
  IspDescriptor isp;
  isp.streams.resize(2);
  isp.driver = "old";
  EXPECT_TRUE(FromJson(Parse("{}"), &isp, nullptr));
  EXPECT_EQ("", isp.driver);
  EXPECT_EQ(0u, isp.usbVID);
  EXPECT_TRUE(isp.streams.empty());

  // Ids out of the unsigned range read as 0; a number stream reads as its digits.
  EXPECT_TRUE(FromJson(Parse(R"({"usbVID": -1, "usbPID": "1", "streams": [7, null, true]})"),
                       &isp, nullptr));
  EXPECT_EQ(0u, isp.usbVID);
  EXPECT_EQ(0u, isp.usbPID);
  ASSERT_EQ(3u, isp.streams.size());
  ExpectStream(isp.streams[0], 7, 0, 0, 0);
  ExpectStream(isp.streams[1], 0, 0, 0, 0);
  ExpectStream(isp.streams[2], 0, 0, 0, 0);
}

TEST(IspDescriptorRead, WrongContainerKindsAreReported) {
  IspDescriptor isp;
  std::string error;
  EXPECT_FALSE(FromJson(Json::Value(Json::arrayValue), &isp, &error));
  EXPECT_EQ("image-processing device is not an object", error);
  error.clear();
  EXPECT_FALSE(FromJson(Parse(R"({"driver": "d", "streams": "1,2,'ABCD',3"})"), &isp, &error));
  EXPECT_EQ("\"streams\" is not an array", error);
  EXPECT_EQ("d", isp.driver);
  EXPECT_TRUE(isp.streams.empty());
  error.clear();
  EXPECT_FALSE(FromJson(Parse(R"({"streams": [["1,2,'ABCD',3"], "1,2,'ABCD',3"]})"), &isp,
                        &error));
  EXPECT_EQ("a stream of \"streams\" is not a text", error);
  ASSERT_EQ(2u, isp.streams.size());
  ExpectStream(isp.streams[0], 0, 0, 0, 0);
  ExpectStream(isp.streams[1], 1, 2, Code('A', 'B', 'C', 'D'), 3);
}

TEST(IspDescriptorWrite, OnlyTheDriver) {
  IspDescriptor isp;
  FromJson(Parse(R"({"driver": "uvc", "usbVID": 1, "usbPID": 2, "streams": ["1,2,'ABCD',3"]})"),
           &isp, nullptr);
  EXPECT_EQ(Parse(R"({"driver": "uvc"})"), ToJson(isp));
  EXPECT_EQ(Parse(R"({"driver": ""})"), ToJson(IspDescriptor()));
}
