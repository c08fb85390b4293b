#include "corelib/src/threadtools.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(PlatformClockTest, NeverDecreases) {
  uint64_t previous = corelib::PlatformClockTicks();
  EXPECT_GT(previous, 0u);
  for (int i = 0; i < 10000; ++i) {
    const uint64_t now = corelib::PlatformClockTicks();
    ASSERT_GE(now, previous);
    previous = now;
  }
}

TEST(PlatformClockTest, TimerConversions) {
  corelib::InitPlatformTimer(0);
  EXPECT_EQ(1000000000u, corelib::PlatformTicksPerSecond());
  EXPECT_DOUBLE_EQ(1.5, corelib::PlatformTicksToSeconds(1500000000u));
  EXPECT_EQ(250000000u, corelib::PlatformSecondsToTicks(0.25));
  // Out-of-range seconds clamp instead of overflowing the conversion.
  EXPECT_EQ(0u, corelib::PlatformSecondsToTicks(-1.0));
  EXPECT_EQ(UINT64_MAX, corelib::PlatformSecondsToTicks(1e30));
}

TEST(PlatformClockTest, SecondsSinceBaseStartsNearZero) {
  corelib::InitPlatformTimer(0);
  const double first = corelib::PlatformSecondsSinceBase();
  EXPECT_GE(first, 0.0);
  EXPECT_LT(first, 1.0);
  EXPECT_GE(corelib::PlatformSecondsSinceBase(), first);
  // A base in the future reads as negative time, not a wrapped count.
  corelib::InitPlatformTimer(corelib::PlatformClockTicks() + 2000000000u);
  const double ahead = corelib::PlatformSecondsSinceBase();
  EXPECT_LT(ahead, -1.0);
  EXPECT_GT(ahead, -2.1);
  corelib::InitPlatformTimer(0);
}

TEST(SleepTest, ZeroYieldsAndReturns) {
  const uint64_t start = corelib::PlatformClockTicks();
  corelib::SleepMilliseconds(0);
  EXPECT_LT(corelib::PlatformClockTicks() - start, 500000000u);
}

TEST(SleepTest, SleepsAtLeastTheTimeAsked) {
  const uint64_t start = corelib::PlatformClockTicks();
  corelib::SleepMilliseconds(5);
  EXPECT_GE(corelib::PlatformClockTicks() - start, 5000000u);
}

TEST(RecursiveMutexTest, OwnerRelocksAndOthersWaitForLastUnlock) {
  corelib::RecursiveMutexBlock block;
  corelib::InitRecursiveMutex(&block);
  ASSERT_EQ(0, pthread_mutex_lock(&block.mutex));
  ASSERT_EQ(0, pthread_mutex_lock(&block.mutex));  // would deadlock if not recursive
  ASSERT_EQ(0, pthread_mutex_unlock(&block.mutex));

  // Still held once: another thread cannot take it.
  std::atomic<int> otherResult{-1};
  std::thread([&] { otherResult = pthread_mutex_trylock(&block.mutex); }).join();
  EXPECT_EQ(EBUSY, otherResult.load());

  ASSERT_EQ(0, pthread_mutex_unlock(&block.mutex));
  std::thread([&] {
    otherResult = pthread_mutex_trylock(&block.mutex);
    if (otherResult == 0) pthread_mutex_unlock(&block.mutex);
  }).join();
  EXPECT_EQ(0, otherResult.load());
  corelib::DestroyRecursiveMutex(&block);
}

}  // namespace
