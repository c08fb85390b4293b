// The device library's critical sections, process time base and sleep.
#pragma once

#include <cstdint>

#include "corelib/src/threadtools.h"

namespace vantage {

// Null until created; created blocks hold a recursive mutex.
typedef corelib::RecursiveMutexBlock* CriticalSection;

void CreateCriticalSection(CriticalSection* section);
void DeleteCriticalSection(CriticalSection* section);
void EnterCriticalSection(CriticalSection* section);
void LeaveCriticalSection(CriticalSection* section);

// Raw monotonic clock ticks (nanoseconds); sets up the time base on first use.
uint64_t GetTimeTicks();
uint64_t GetTimeTicksPerSecond();
// Seconds since the time base was set up.
double GetTimeSeconds();

// 0 yields the processor once; anything else sleeps that many milliseconds.
void SleepMilliseconds(uint32_t milliseconds);

// Bounds the retries of one device exchange: a fixed number of attempts and
// a time budget, with a pause between attempts.
class RetryBudget {
 public:
  static constexpr double kBudgetSeconds = 0.1;

  RetryBudget(int attempts, uint32_t pauseMilliseconds);
  // Called after a failed attempt: false when the attempts or the time are
  // used up, otherwise pauses and returns true.
  bool RetryAfterFailure();

 private:
  double deadline_;
  int attemptsLeft_;
  uint32_t pauseMilliseconds_;
};

}  // namespace vantage
