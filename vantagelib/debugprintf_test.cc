// The device library's diagnostic output: the table of output functions and
// the system log used while it is empty.
#include "vantagelib/debugprintf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string g_texts[9];
template <int N>
void Output(const char* text) {
  g_texts[N] += text;
}

class DebugPrintfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (std::string& text : g_texts)
      text.clear();
  }
  void TearDown() override {
    for (auto function : outputs_)
      vantage::UnregisterDebugOutputFunction(function);
  }
  const vantage::DebugOutputFunction outputs_[9] = {Output<0>, Output<1>, Output<2>, Output<3>, Output<4>,
                                                    Output<5>, Output<6>, Output<7>, Output<8>};
};

TEST_F(DebugPrintfTest, RegisteredFunctionsReceiveTheTextOnceEach) {
  ASSERT_TRUE(vantage::RegisterDebugOutputFunction(Output<0>));
  ASSERT_TRUE(vantage::RegisterDebugOutputFunction(Output<1>));
  ASSERT_TRUE(vantage::RegisterDebugOutputFunction(Output<0>));  // keeps one slot
  vantage::DebugPrintf("%s: Read config of %u bytes\n", "ABC", 100u);
  EXPECT_EQ(g_texts[0], "ABC: Read config of 100 bytes\n");
  EXPECT_EQ(g_texts[1], g_texts[0]);
  EXPECT_TRUE(vantage::UnregisterDebugOutputFunction(Output<0>));
  EXPECT_FALSE(vantage::UnregisterDebugOutputFunction(Output<0>));
}

TEST_F(DebugPrintfTest, NinthRegistrationFailsAndLeavesTheTableAlone) {
  for (int i = 0; i < 8; ++i)
    ASSERT_TRUE(vantage::RegisterDebugOutputFunction(outputs_[i]));
  EXPECT_FALSE(vantage::RegisterDebugOutputFunction(Output<8>));
  vantage::DebugPrintf("x\n");
  EXPECT_EQ(g_texts[7], "x\n");
  EXPECT_EQ(g_texts[8], "");
}

TEST_F(DebugPrintfTest, LongMessagesAreCutNotOverflowed) {
  ASSERT_TRUE(vantage::RegisterDebugOutputFunction(Output<0>));
  vantage::DebugPrintf("%s%s", std::string(5000, 'x').c_str(), "tail");
  EXPECT_EQ(g_texts[0], std::string(vantage::kDebugPrintfBufferSize - 1, 'x'));
}

TEST_F(DebugPrintfTest, UnregisteredGoesToStandardErrorNotStandardOutput) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  vantage::DebugPrintf("device said %d\n", 42);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  // The system log's copy carries its own prefix (program name and pid).
  EXPECT_NE(err.find("device said 42\n"), std::string::npos) << err;
  EXPECT_EQ(err.find("device said 42"), err.rfind("device said 42"));
}

}  // namespace
