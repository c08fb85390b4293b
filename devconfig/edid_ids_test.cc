// EDID vendor and product id texts to and from their stored values.
#include <gtest/gtest.h>

#include "devconfig/jsonhelpers.h"

namespace {

TEST(EdidIds, VendorAndProductIds) {
  // Bytes above 0x7F are cut to their low five bits like any other.
  for (const char* text : {"ABC", "abc", "\xc1" "BC"}) EXPECT_EQ(0x4304, EncodeEdidVendorId(text)) << text;
  for (const char* wrong : {"", "AB", "ABCD"}) EXPECT_EQ(0, EncodeEdidVendorId(wrong)) << wrong;
  EXPECT_EQ("ABC", DecodeEdidVendorId(0x4304));
  EXPECT_EQ("@@A", DecodeEdidVendorId(0x0100));
  EXPECT_EQ("XYZ", DecodeEdidVendorId(EncodeEdidVendorId("xyz")));

  const struct { const char* text; int32_t value; } good[] = {
      {"12AB", 0x12AB}, {"1a2B", 0x1A2B}, {"12g", 0x12}, {"0x1f", 0x1F}, {" -1", -1}, {"12ABC", 0}};
  for (const auto& g : good) {
    int32_t value = 7;
    EXPECT_TRUE(ParseEdidProductId(g.text, &value, nullptr) && value == g.value) << g.text;
  }
  for (const char* bad : {"zz", "", "-"}) {
    int32_t value = 7;
    std::string error;
    EXPECT_FALSE(ParseEdidProductId(bad, &value, &error));
    EXPECT_EQ(std::string("the product id \"") + bad + "\" is not a hexadecimal number", error);
    EXPECT_EQ(0, value);
  }
  EXPECT_EQ("000F", FormatEdidProductId(15));
  EXPECT_EQ("FFFFFFFF", FormatEdidProductId(-1));
}

}  // namespace
