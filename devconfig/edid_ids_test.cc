// EDID vendor and product id texts to and from their stored values.
#include <gtest/gtest.h>

#include "devconfig/jsonhelpers.h"

TEST(EdidIds, VendorAndProductIds) {
  // Bytes above 0x7F are cut to their low five bits like any other.
  for (const char* text : {"ABC", "abc", "\xc1" "BC"}) EXPECT_EQ(0x4304, EncodeEdidVendorId(text)) << text;
  for (const char* wrong : {"", "AB", "ABCD"}) EXPECT_EQ(0, EncodeEdidVendorId(wrong)) << wrong;
  EXPECT_TRUE(DecodeEdidVendorId(0x4304) == "ABC" && DecodeEdidVendorId(0x0100) == "@@A" &&
              DecodeEdidVendorId(EncodeEdidVendorId("zyx")) == "ZYX");
  int32_t value = 7;  // text beyond four characters is no id (0) rather than an error
  std::string error;
  for (const auto& [text, id] : {std::pair{"12AB", 0x12AB}, {"1a2B", 0x1A2B}, {"12g", 0x12}, {" -1", -1}, {"12ABC", 0}})
    EXPECT_TRUE(ParseEdidProductId(text, &value, nullptr) && value == id) << text;
  EXPECT_FALSE(ParseEdidProductId("zz", &value, &error));
  EXPECT_TRUE(value == 0 && error == "the product id \"zz\" is not a hexadecimal number") << error;
  EXPECT_TRUE(FormatEdidProductId(15) == "000F" && FormatEdidProductId(-1) == "FFFFFFFF");
}
