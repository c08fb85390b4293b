#include "vantagelib/debugprintf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string g_first;
std::string g_second;
int g_calls = 0;
void First(const char* text) {
  g_first += text;
  ++g_calls;
}
void Second(const char* text) { g_second += text; }

// Eight further distinct functions to fill the table.
int g_slotHits[8];
template <int N>
void Slot(const char*) {
  ++g_slotHits[N];
}

class DebugPrintfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_first.clear();
    g_second.clear();
    g_calls = 0;
  }
  void TearDown() override {
    while (vantage::UnregisterDebugOutputFunction(First)) {
    }
    while (vantage::UnregisterDebugOutputFunction(Second)) {
    }
  }
};

TEST_F(DebugPrintfTest, RegisteredFunctionsReceiveTheFormattedText) {
  ASSERT_TRUE(vantage::RegisterDebugOutputFunction(First));
  ASSERT_TRUE(vantage::RegisterDebugOutputFunction(Second));
  vantage::DebugPrintf("%s: Read config of %u bytes\n", "ABC", 100u);
  EXPECT_EQ(g_first, "ABC: Read config of 100 bytes\n");
  EXPECT_EQ(g_second, g_first);
}

TEST_F(DebugPrintfTest, RegisteringTwiceKeepsOneSlot) {
  ASSERT_TRUE(vantage::RegisterDebugOutputFunction(First));
  ASSERT_TRUE(vantage::RegisterDebugOutputFunction(First));
  vantage::DebugPrintf("once\n");
  EXPECT_EQ(g_calls, 1);
  EXPECT_TRUE(vantage::UnregisterDebugOutputFunction(First));
  EXPECT_FALSE(vantage::UnregisterDebugOutputFunction(First));
}

TEST_F(DebugPrintfTest, NinthRegistrationFailsAndLeavesTheTableAlone) {
  vantage::DebugOutputFunction fill[] = {First, Slot<1>, Slot<2>, Slot<3>,
                                         Slot<4>, Slot<5>, Slot<6>, Slot<7>};
  for (auto function : fill)
    ASSERT_TRUE(vantage::RegisterDebugOutputFunction(function));
  EXPECT_FALSE(vantage::RegisterDebugOutputFunction(Second));
  vantage::DebugPrintf("x\n");
  EXPECT_EQ(g_first, "x\n");
  EXPECT_EQ(g_second, "");
  for (auto function : fill)
    EXPECT_TRUE(vantage::UnregisterDebugOutputFunction(function));
}

TEST_F(DebugPrintfTest, LongMessagesAreCutNotOverflowed) {
  ASSERT_TRUE(vantage::RegisterDebugOutputFunction(First));
  std::string longText(5000, 'x');
  vantage::DebugPrintf("%s%s", longText.c_str(), "tail");
  EXPECT_EQ(g_first, std::string(vantage::kDebugPrintfBufferSize - 1, 'x'));
}

TEST_F(DebugPrintfTest, UnregisteredGoesToStandardErrorNotStandardOutput) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  vantage::DebugPrintf("device said %d\n", 42);
  std::string err = testing::internal::GetCapturedStderr();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "");
  // The system log's copy carries its own prefix (program name and pid).
  EXPECT_NE(err.find("device said 42\n"), std::string::npos) << err;
  EXPECT_EQ(err.find("device said 42"), err.rfind("device said 42"));
}

}  // namespace
