#include "vantagelib/debugprintf.h"

#include <syslog.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "vantagelib/thread.h"

namespace vantage {

namespace {

DebugOutputFunction g_outputs[kDebugOutputSlots];

CriticalSection& OutputTableLock() {
  static std::once_flag once;
  static CriticalSection section = nullptr;
  std::call_once(once, [] { CreateCriticalSection(&section); });
  return section;
}

}  // namespace

void DebugPrintf(const char* format, ...) {
  char text[kDebugPrintfBufferSize];
  va_list args;
  va_start(args, format);
  // vsnprintf cuts long messages and always terminates.
  int n = vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  if (n < 0)
    text[0] = '\0';

  CriticalSection& lock = OutputTableLock();
  EnterCriticalSection(&lock);
  bool toSystemLog = g_outputs[0] == nullptr;
  LeaveCriticalSection(&lock);
  if (toSystemLog) {
    openlog(nullptr, LOG_PID | LOG_CONS | LOG_PERROR, LOG_USER);
    syslog(LOG_INFO, "%s", text);
  }

  for (int i = 0; i < kDebugOutputSlots; ++i) {
    EnterCriticalSection(&lock);
    if (g_outputs[i] != nullptr)
      g_outputs[i](text);
    LeaveCriticalSection(&lock);
  }
}

bool RegisterDebugOutputFunction(DebugOutputFunction function) {
  if (function == nullptr)
    return false;
  CriticalSection& lock = OutputTableLock();
  EnterCriticalSection(&lock);
  for (int i = 0; i < kDebugOutputSlots; ++i) {
    if (g_outputs[i] == function)
      g_outputs[i] = nullptr;
  }
  bool stored = false;
  for (int i = 0; i < kDebugOutputSlots && !stored; ++i) {
    if (g_outputs[i] == nullptr) {
      g_outputs[i] = function;
      stored = true;
    }
  }
  LeaveCriticalSection(&lock);
  return stored;
}

bool UnregisterDebugOutputFunction(DebugOutputFunction function) {
  CriticalSection& lock = OutputTableLock();
  EnterCriticalSection(&lock);
  bool found = false;
  for (int i = 0; i < kDebugOutputSlots && !found; ++i) {
    if (g_outputs[i] == function) {
      g_outputs[i] = nullptr;
      found = true;
    }
  }
  LeaveCriticalSection(&lock);
  return found;
}

}  // namespace vantage
