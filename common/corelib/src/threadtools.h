// Platform clock, millisecond sleep and recursive mutex set-up: the layer
// under the device library's time base and critical sections.
#pragma once

#include <pthread.h>
#include <cstdint>

namespace corelib {

uint64_t PlatformClockTicks();  // CLOCK_MONOTONIC_RAW in nanoseconds
uint64_t PlatformTicksPerSecond();
double PlatformSecondsSinceBase();
double PlatformTicksToSeconds(uint64_t ticks);
uint64_t PlatformSecondsToTicks(double seconds);
// Fills the timer state; baseTicks 0 means "now".
void InitPlatformTimer(uint64_t baseTicks);

// A mutex kept together with its attribute object for its whole life.
struct RecursiveMutexBlock {
  pthread_mutex_t mutex;
  pthread_mutexattr_t attributes;
};
void InitRecursiveMutex(RecursiveMutexBlock* block);
// Destroys the mutex, then its attribute object.
void DestroyRecursiveMutex(RecursiveMutexBlock* block);

// 0 yields the processor once; anything else sleeps that many milliseconds.
void SleepMilliseconds(uint32_t milliseconds);

}  // namespace corelib
