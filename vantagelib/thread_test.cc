// Critical sections and the time base. The retry budget is exercised through
// the feature reports of simulated headsets (hiddevice_test.cc).
#include "vantagelib/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "corelib/src/logchannel.h"

namespace {

TEST(CriticalSectionTest, OwnerReentersAndOthersWaitForTheLastLeave) {
  vantage::CriticalSection section = nullptr;
  vantage::CreateCriticalSection(&section);
  ASSERT_NE(section, nullptr);
  vantage::EnterCriticalSection(&section);
  vantage::EnterCriticalSection(&section);  // would deadlock if not recursive
  std::atomic<bool> entered(false);
  std::thread other([&] {
    vantage::EnterCriticalSection(&section);
    entered = true;
    vantage::LeaveCriticalSection(&section);
  });
  vantage::LeaveCriticalSection(&section);
  vantage::SleepMilliseconds(30);
  EXPECT_FALSE(entered) << "one leave of two must keep the section held";
  vantage::LeaveCriticalSection(&section);
  other.join();
  EXPECT_TRUE(entered);
  vantage::DeleteCriticalSection(&section);
  EXPECT_EQ(section, nullptr);

  std::string message;
  corelib::CAssertListener listener(
      [&](const char* text, const char*, int, bool, bool*, void*) { message = text; }, nullptr);
  corelib::AddAssertListener(&listener);
  vantage::DeleteCriticalSection(&section);  // null: asserts and returns
  corelib::RemoveAssertListener(&listener);
  EXPECT_EQ(message, "CriticalSection != NULL");
}

TEST(TimeBaseTest, SecondsStartNearZeroNeverDecreaseAndSleepsWait) {
  double previous = vantage::GetTimeSeconds();
  EXPECT_GE(previous, 0.0);
  EXPECT_LT(previous, 60.0);
  for (int i = 0; i < 1000; ++i) {
    double now = vantage::GetTimeSeconds();
    EXPECT_GE(now, previous);
    previous = now;
  }
  EXPECT_EQ(vantage::GetTimeTicksPerSecond(), 1000000000u);
  double start = vantage::GetTimeSeconds();
  vantage::SleepMilliseconds(0);  // yields once
  EXPECT_LT(vantage::GetTimeSeconds() - start, 0.05);
  start = vantage::GetTimeSeconds();
  vantage::SleepMilliseconds(5);
  // The sleep runs on the adjusted clock, the time base on the raw one.
  EXPECT_GE(vantage::GetTimeSeconds() - start, 0.0049);
}

}  // namespace
