// EDID vendor and product id texts to and from their stored values.
#include "devconfig/jsonhelpers.h"

#include <gtest/gtest.h>

namespace {

TEST(EdidVendorId, Encode) {
  EXPECT_EQ(0x4304, EncodeEdidVendorId("ABC"));
  EXPECT_EQ(17156, EncodeEdidVendorId("abc"));
  EXPECT_EQ(14947, EncodeEdidVendorId("XYZ"));
  EXPECT_EQ(0, EncodeEdidVendorId("AB"));
  EXPECT_EQ(0, EncodeEdidVendorId("ABCD"));
  EXPECT_EQ(0, EncodeEdidVendorId(""));
  // Bytes above 0x7F are reduced to their low five bits like any other.
  EXPECT_EQ(EncodeEdidVendorId(std::string("\xc1", 1) + "BC"), EncodeEdidVendorId("ABC"));
}

TEST(EdidVendorId, Decode) {
  EXPECT_EQ("ABC", DecodeEdidVendorId(0x4304));
  EXPECT_EQ("XYZ", DecodeEdidVendorId(EncodeEdidVendorId("xyz")));
  EXPECT_EQ("@@@", DecodeEdidVendorId(0));
  EXPECT_EQ("@@A", DecodeEdidVendorId(0x0100));
}

TEST(EdidProductId, Parse) {
  int32_t value = -1;
  std::string error;
  EXPECT_TRUE(ParseEdidProductId("12AB", &value, &error));
  EXPECT_EQ(0x12AB, value);
  EXPECT_TRUE(ParseEdidProductId("2000", &value, &error));
  EXPECT_EQ(8192, value);
  EXPECT_TRUE(ParseEdidProductId("1A2b", &value, &error));
  EXPECT_EQ(6699, value);
  EXPECT_TRUE(ParseEdidProductId("12g", &value, &error));
  EXPECT_EQ(0x12, value);
  EXPECT_TRUE(ParseEdidProductId("0x1f", &value, &error));
  EXPECT_EQ(0x1F, value);
  EXPECT_TRUE(ParseEdidProductId(" -1", &value, &error));
  EXPECT_EQ(-1, value);
  EXPECT_TRUE(ParseEdidProductId("12ABC", &value, &error));
  EXPECT_EQ(0, value);
}

TEST(EdidProductId, TextWithoutHexDigitIsReported) {
  int32_t value = 7;
  std::string error;
  EXPECT_FALSE(ParseEdidProductId("zz", &value, &error));
  EXPECT_EQ(0, value);
  EXPECT_EQ("the product id \"zz\" is not a hexadecimal number", error);
  EXPECT_FALSE(ParseEdidProductId("", &value, &error));
  EXPECT_FALSE(ParseEdidProductId("  ", &value, nullptr));
  EXPECT_FALSE(ParseEdidProductId("-", &value, nullptr));
}

TEST(EdidProductId, Format) {
  EXPECT_EQ("12AB", FormatEdidProductId(0x12AB));
  EXPECT_EQ("000F", FormatEdidProductId(15));
  EXPECT_EQ("0000", FormatEdidProductId(0));
  EXPECT_EQ("FFFFFFFF", FormatEdidProductId(-1));
}

}  // namespace
