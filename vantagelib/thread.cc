#include "vantagelib/thread.h"

#include <pthread.h>

#include "corelib/src/logchannel.h"

namespace vantage {

namespace {

struct TimeBase {
  uint64_t ticksPerSecond = 0;
  double secondsPerTick = 0.0;
  uint64_t baseTicks = 0;
};

TimeBase& GetTimeBase() {
  // Set up once: by the static initialiser below or by an earlier first use.
  static TimeBase base = [] {
    TimeBase b;
    b.ticksPerSecond = 1000000000ull;
    b.secondsPerTick = 1.0 / static_cast<double>(b.ticksPerSecond);
    b.baseTicks = corelib::PlatformClockTicks();
    return b;
  }();
  return base;
}

[[maybe_unused]] const bool g_timeBaseReady = (GetTimeBase(), true);

}  // namespace

void CreateCriticalSection(CriticalSection* section) {
  CriticalSection block = new corelib::RecursiveMutexBlock;
  corelib::InitRecursiveMutex(block);
  *section = block;
}

void DeleteCriticalSection(CriticalSection* section) {
  if (section == nullptr || *section == nullptr) {
    SB_ASSERT_MSG("CriticalSection != NULL");
    return;
  }
  pthread_mutex_destroy(&(*section)->mutex);
  pthread_mutexattr_destroy(&(*section)->attributes);
  delete *section;
  *section = nullptr;
}

void EnterCriticalSection(CriticalSection* section) {
  pthread_mutex_lock(&(*section)->mutex);
}

void LeaveCriticalSection(CriticalSection* section) {
  pthread_mutex_unlock(&(*section)->mutex);
}

uint64_t GetTimeTicks() {
  GetTimeBase();
  return corelib::PlatformClockTicks();
}

uint64_t GetTimeTicksPerSecond() { return GetTimeBase().ticksPerSecond; }

double GetTimeSeconds() {
  const TimeBase& base = GetTimeBase();
  return static_cast<double>(GetTimeTicks() - base.baseTicks) * base.secondsPerTick;
}

void SleepMilliseconds(uint32_t milliseconds) { corelib::SleepMilliseconds(milliseconds); }

RetryBudget::RetryBudget(int attempts, uint32_t pauseMilliseconds)
    : deadline_(GetTimeSeconds() + kBudgetSeconds),
      attemptsLeft_(attempts),
      pauseMilliseconds_(pauseMilliseconds) {}

bool RetryBudget::RetryAfterFailure() {
  --attemptsLeft_;
  if (attemptsLeft_ <= 0)
    return false;
  // Tested before the pause, so the last try may start one pause late.
  if (GetTimeSeconds() >= deadline_)
    return false;
  SleepMilliseconds(pauseMilliseconds_);
  return true;
}

}  // namespace vantage
