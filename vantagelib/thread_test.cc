#include "vantagelib/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "corelib/src/logchannel.h"

namespace {

// The critical section is recursive and exclusive between threads.
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
}

TEST(CriticalSectionTest, DeletingANullSectionAssertsAndReturns) {
  std::string message;
  corelib::CAssertListener listener(
      [&](const char* text, const char*, int, bool, bool*, void*) { message = text; }, nullptr);
  corelib::AddAssertListener(&listener);
  vantage::CriticalSection section = nullptr;
  vantage::DeleteCriticalSection(&section);
  corelib::RemoveAssertListener(&listener);
  EXPECT_EQ(message, "CriticalSection != NULL");
}

// The time base counts seconds from process start and never goes back.
TEST(TimeBaseTest, SecondsStartNearZeroAndNeverDecrease) {
  double first = vantage::GetTimeSeconds();
  EXPECT_GE(first, 0.0);
  EXPECT_LT(first, 60.0);
  double previous = first;
  for (int i = 0; i < 1000; ++i) {
    double now = vantage::GetTimeSeconds();
    EXPECT_GE(now, previous);
    previous = now;
  }
  EXPECT_EQ(vantage::GetTimeTicksPerSecond(), 1000000000u);
}

TEST(TimeBaseTest, SleepZeroYieldsAndSleepWaitsItsTime) {
  double start = vantage::GetTimeSeconds();
  vantage::SleepMilliseconds(0);
  EXPECT_LT(vantage::GetTimeSeconds() - start, 0.05);
  start = vantage::GetTimeSeconds();
  vantage::SleepMilliseconds(5);
  // The sleep runs on the adjusted clock, the time base on the raw one.
  EXPECT_GE(vantage::GetTimeSeconds() - start, 0.0049);
}

// The budget allows the given attempts within 0.1 s, pausing between them.
TEST(RetryBudgetTest, OneAttemptMeansNoRetryAndNoPause) {
  double start = vantage::GetTimeSeconds();
  vantage::RetryBudget budget(1, 50);
  EXPECT_FALSE(budget.RetryAfterFailure());
  EXPECT_LT(vantage::GetTimeSeconds() - start, 0.02);
}

TEST(RetryBudgetTest, AttemptCountEndsRetriesBeforeTheDeadline) {
  vantage::RetryBudget budget(3, 1);
  EXPECT_TRUE(budget.RetryAfterFailure());
  EXPECT_TRUE(budget.RetryAfterFailure());
  EXPECT_FALSE(budget.RetryAfterFailure());
}

TEST(RetryBudgetTest, DeadlineEndsRetriesAfterOneTenthOfASecond) {
  double start = vantage::GetTimeSeconds();
  vantage::RetryBudget budget(1000, 10);
  int retries = 0;
  while (budget.RetryAfterFailure())
    ++retries;
  double elapsed = vantage::GetTimeSeconds() - start;
  EXPECT_GE(elapsed, 0.099);
  EXPECT_LT(elapsed, 0.2);
  EXPECT_GE(retries, 3);
  EXPECT_LE(retries, 10);
}

}  // namespace
