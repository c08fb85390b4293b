#include "corelib/src/threadtools.h"

#include <errno.h>
#include <sched.h>
#include <time.h>

#include <atomic>
#include <limits>

namespace corelib {

namespace {

const uint64_t kTicksPerSecond = 1000000000ull;
const double kSecondsPerTick = 1e-9;

// The clock counts nanoseconds, so the rate and its inverse are constants;
// only the base reading changes. Atomics keep a first use that races with
// another thread's first use well defined.
struct PlatformTimerState {
  std::atomic<bool> filled{false};
  std::atomic<uint64_t> baseTicks{0};
  uint64_t ticksPerSecond = kTicksPerSecond;
  uint64_t timerTicksPerClockTick = 1;
  double secondsPerTick = kSecondsPerTick;
};

PlatformTimerState g_timer;

void EnsurePlatformTimer() {
  if (!g_timer.filled.load(std::memory_order_acquire)) InitPlatformTimer(0);
}

}  // namespace

uint64_t PlatformClockTicks() {
  timespec now{};
  // The raw clock ignores wall-clock changes and NTP slewing.
  if (clock_gettime(CLOCK_MONOTONIC_RAW, &now) != 0) return 0;
  return static_cast<uint64_t>(now.tv_sec) * kTicksPerSecond + static_cast<uint64_t>(now.tv_nsec);
}

void InitPlatformTimer(uint64_t baseTicks) {
  g_timer.baseTicks.store(baseTicks != 0 ? baseTicks : PlatformClockTicks(),
                          std::memory_order_relaxed);
  g_timer.filled.store(true, std::memory_order_release);
}

uint64_t PlatformTicksPerSecond() {
  EnsurePlatformTimer();
  return g_timer.ticksPerSecond;
}

double PlatformSecondsSinceBase() {
  EnsurePlatformTimer();
  // Signed difference: a base set in the future gives negative seconds
  // instead of a wrapped, enormous count.
  const int64_t elapsed = static_cast<int64_t>(
      PlatformClockTicks() - g_timer.baseTicks.load(std::memory_order_relaxed));
  return static_cast<double>(elapsed) * g_timer.secondsPerTick;
}

double PlatformTicksToSeconds(uint64_t ticks) {
  EnsurePlatformTimer();
  return static_cast<double>(ticks) * g_timer.secondsPerTick;
}

uint64_t PlatformSecondsToTicks(double seconds) {
  EnsurePlatformTimer();
  const double ticks = seconds * static_cast<double>(g_timer.ticksPerSecond);
  // Out-of-range conversion to an integer is undefined; clamp first.
  if (!(ticks > 0.0)) return 0;
  if (ticks >= 18446744073709551616.0) return std::numeric_limits<uint64_t>::max();
  return static_cast<uint64_t>(ticks);
}

void InitRecursiveMutex(RecursiveMutexBlock* block) {
  if (block == nullptr) return;
  pthread_mutexattr_init(&block->attributes);
  pthread_mutexattr_settype(&block->attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(&block->mutex, &block->attributes);
}

void DestroyRecursiveMutex(RecursiveMutexBlock* block) {
  if (block == nullptr) return;
  pthread_mutex_destroy(&block->mutex);
  pthread_mutexattr_destroy(&block->attributes);
}

void SleepMilliseconds(uint32_t milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  // nanosleep rather than usleep: no 32-bit microsecond overflow past
  // about 71 minutes, and a signal does not cut the pause short.
  timespec remaining{};
  remaining.tv_sec = static_cast<time_t>(milliseconds / 1000);
  remaining.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

}  // namespace corelib
