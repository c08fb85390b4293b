#include "corelib/src/logchannel.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace corelib {
namespace {

const size_t kLogBufferSize = 4096;
// Room is kept for the added newline and the terminating zero.
const size_t kLogMaxLength = kLogBufferSize - 2;
const size_t kAssertBufferSize = 8192;

struct LogDispatcher {
  std::mutex mutex;
  std::vector<CLogListener*> listeners;
  std::atomic<bool> debugFill{false};
};

struct AssertRegistry {
  std::mutex mutex;
  std::vector<CAssertListener*> listeners;
};

// Both channels live for the whole process (never freed), so listeners
// destroyed during static destruction can still unregister.
std::mutex g_creationMutex;
std::atomic<LogDispatcher*> g_logDispatcher{nullptr};
std::atomic<AssertRegistry*> g_assertRegistry{nullptr};

// A listener that logs from its own callback would lock the channel's mutex
// a second time on the same thread; such nested messages are dropped.
thread_local bool t_deliveringLog = false;
thread_local bool t_deliveringAssert = false;

template <typename T>
T& LazyInstance(std::atomic<T*>& slot) {
  T* instance = slot.load(std::memory_order_acquire);
  if (instance == nullptr) {
    std::lock_guard<std::mutex> lock(g_creationMutex);
    instance = slot.load(std::memory_order_relaxed);
    if (instance == nullptr) {
      instance = new T;
      slot.store(instance, std::memory_order_release);
    }
  }
  return *instance;
}

LogDispatcher& Dispatcher() { return LazyInstance(g_logDispatcher); }
AssertRegistry& Registry() { return LazyInstance(g_assertRegistry); }

class DeliveryFlag {
 public:
  explicit DeliveryFlag(bool* flag) : flag_(flag) { *flag_ = true; }
  ~DeliveryFlag() { *flag_ = false; }

 private:
  bool* flag_;
};

template <typename T>
void EraseAll(std::vector<T*>* list, T* item) {
  list->erase(std::remove(list->begin(), list->end(), item), list->end());
}

}  // namespace

void LogV(int level, const char* format, va_list args) {
  LogDispatcher& dispatcher = Dispatcher();
  char buffer[kLogBufferSize];
  if (dispatcher.debugFill.load(std::memory_order_relaxed))
    memset(buffer, 0x0F, sizeof(buffer));

  int formatted = format != nullptr ? vsnprintf(buffer, sizeof(buffer), format, args) : 0;
  size_t length = formatted > 0 ? std::min(static_cast<size_t>(formatted), kLogMaxLength) : 0;
  if (length == 0 || buffer[length - 1] != '\n')
    buffer[length++] = '\n';
  buffer[length] = '\0';

  if (t_deliveringLog)
    return;
  std::lock_guard<std::mutex> lock(dispatcher.mutex);
  DeliveryFlag delivering(&t_deliveringLog);
  for (const CLogListener* listener : dispatcher.listeners)
    listener->Deliver(level, buffer);
}

void Log(int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogV(level, format, args);
  va_end(args);
}

void Log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogV(kLogInfo, format, args);
  va_end(args);
}

void AddLogListener(CLogListener* listener) {
  LogDispatcher& dispatcher = Dispatcher();
  std::lock_guard<std::mutex> lock(dispatcher.mutex);
  dispatcher.listeners.push_back(listener);
}

void RemoveLogListener(CLogListener* listener) {
  LogDispatcher& dispatcher = Dispatcher();
  std::lock_guard<std::mutex> lock(dispatcher.mutex);
  EraseAll(&dispatcher.listeners, listener);
}

void SetLogDebugFill(bool on) { Dispatcher().debugFill.store(on, std::memory_order_relaxed); }

void Assert(const char* file, int line, const char* format, ...) {
  char message[kAssertBufferSize];
  if (format == nullptr) {
    snprintf(message, sizeof(message), "%s", "<unknown>");
  } else {
    va_list args;
    va_start(args, format);
    if (vsnprintf(message, sizeof(message), format, args) < 0)
      message[0] = '\0';
    va_end(args);
  }
  if (file == nullptr)
    file = "<unknown>";

  Log(kLogError, "ASSERT: \"%s\" at %s:%d.\n", message, file, line);

  bool breakRequested = false;
  AssertRegistry& registry = Registry();
  if (!t_deliveringAssert) {
    std::lock_guard<std::mutex> lock(registry.mutex);
    DeliveryFlag delivering(&t_deliveringAssert);
    for (const CAssertListener* listener : registry.listeners)
      listener->Deliver(message, file, line, false, &breakRequested);
  }
  if (breakRequested)
    __builtin_trap();
}

void AddAssertListener(CAssertListener* listener) {
  AssertRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.listeners.push_back(listener);
}

void RemoveAssertListener(CAssertListener* listener) {
  AssertRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  EraseAll(&registry.listeners, listener);
}

CLogListener::CLogListener(LogCallback callback, void* context)
    : callback_(std::move(callback)), context_(context) {}

CLogListener::~CLogListener() { RemoveLogListener(this); }

void CLogListener::Deliver(int level, const char* text) const {
  // An empty callable is skipped rather than thrown out of every Log call.
  if (callback_)
    callback_(level, text, context_);
}

CAssertListener::CAssertListener(AssertCallback callback, void* context)
    : callback_(std::move(callback)), context_(context) {}

CAssertListener::~CAssertListener() { RemoveAssertListener(this); }

void CAssertListener::Deliver(const char* message, const char* file, int line, bool flag,
                              bool* breakOut) const {
  if (callback_)
    callback_(message, file, line, flag, breakOut, context_);
}

}  // namespace corelib
