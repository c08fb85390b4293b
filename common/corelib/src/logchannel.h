// Process-wide log and assertion channels. Library code reports through
// these instead of printing; a channel with no listener drops the message,
// so in the command-line tool everything sent here is silent.
//
// Messages are formatted into fixed stack buffers (4096 bytes for log
// messages, cut to 4094 characters plus a newline; 8192 for assertions).
// Listeners run one at a time under the channel's mutex. A message sent from
// inside a listener of the same channel is dropped instead of deadlocking;
// adding or removing listeners from inside a callback is not allowed.
#pragma once

#include <cstdarg>
#include <functional>

namespace corelib {

enum LogLevel { kLogError = 1, kLogInfo = 3 };

// (level, message text ending in exactly one newline, context)
using LogCallback = std::function<void(int level, const char* text, void* context)>;
// (message, source file, line, flag passed in, break request out, context)
using AssertCallback = std::function<void(const char* message, const char* file, int line,
                                          bool flag, bool* breakOut, void* context)>;

class CLogListener;
class CAssertListener;

void Log(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogV(int level, const char* format, va_list args);

void AddLogListener(CLogListener* listener);
void RemoveLogListener(CLogListener* listener);
// Debug aid: fill the formatting buffer with 0x0F before each message.
void SetLogDebugFill(bool on);

// Logs "ASSERT: ..." at kLogError, then calls the assertion listeners with
// the flag false; traps when any of them asks for a break. A null format
// reads as "<unknown>".
void Assert(const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void AddAssertListener(CAssertListener* listener);
void RemoveAssertListener(CAssertListener* listener);

// Owns a callback; unregisters itself from the channel before it dies.
// An empty callback is skipped on delivery.
class CLogListener {
 public:
  CLogListener(LogCallback callback, void* context);
  ~CLogListener();
  CLogListener(const CLogListener&) = delete;
  CLogListener& operator=(const CLogListener&) = delete;
  void Deliver(int level, const char* text) const;

 private:
  LogCallback callback_;
  void* context_;
};

class CAssertListener {
 public:
  CAssertListener(AssertCallback callback, void* context);
  ~CAssertListener();
  CAssertListener(const CAssertListener&) = delete;
  CAssertListener& operator=(const CAssertListener&) = delete;
  void Deliver(const char* message, const char* file, int line, bool flag, bool* breakOut) const;

 private:
  AssertCallback callback_;
  void* context_;
};

}  // namespace corelib

#define SB_ASSERT_MSG(...) ::corelib::Assert(__FILE__, __LINE__, __VA_ARGS__)
