#include "corelib/src/threadtools.h"

#include <gtest/gtest.h>

namespace {

TEST(PlatformClockTest, MonotonicConversionsAndSleeps) {
  uint64_t previous = corelib::PlatformClockTicks();
  for (int i = 0; i < 10000; ++i) {
    const uint64_t now = corelib::PlatformClockTicks();
    ASSERT_GE(now, previous);
    previous = now;
  }
  corelib::SleepMilliseconds(0);
  EXPECT_LT(corelib::PlatformClockTicks() - previous, 500000000u);
  corelib::SleepMilliseconds(5);
  EXPECT_GE(corelib::PlatformClockTicks() - previous, 5000000u);

  EXPECT_DOUBLE_EQ(1.5, corelib::PlatformTicksToSeconds(1500000000u));
  EXPECT_EQ(250000000u, corelib::PlatformSecondsToTicks(0.25));
  // Out-of-range seconds clamp instead of overflowing the conversion.
  EXPECT_EQ(0u, corelib::PlatformSecondsToTicks(-1.0));
  EXPECT_EQ(UINT64_MAX, corelib::PlatformSecondsToTicks(1e30));
  // A base in the future reads as negative time, not a wrapped count.
  corelib::InitPlatformTimer(corelib::PlatformClockTicks() + 2000000000u);
  const double ahead = corelib::PlatformSecondsSinceBase();
  corelib::InitPlatformTimer(0);
  EXPECT_LT(ahead, -1.0);
  EXPECT_GT(ahead, -2.1);
  EXPECT_LT(corelib::PlatformSecondsSinceBase(), 1.0);
}

TEST(RecursiveMutexTest, OwnerLocksTwiceWithoutBlocking) {
  corelib::RecursiveMutexBlock block;
  corelib::InitRecursiveMutex(&block);
  ASSERT_EQ(0, pthread_mutex_lock(&block.mutex));
  ASSERT_EQ(0, pthread_mutex_lock(&block.mutex));  // would deadlock or fail if not recursive
  EXPECT_EQ(0, pthread_mutex_unlock(&block.mutex));
  EXPECT_EQ(0, pthread_mutex_unlock(&block.mutex));
  corelib::DestroyRecursiveMutex(&block);
}

}  // namespace
