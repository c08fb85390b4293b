// Log and assertion channels: message shaping, listener order and removal,
// assertion reporting and the break request.
#include "corelib/src/logchannel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Captured {
  std::vector<int> levels;
  std::vector<std::string> texts;
};

corelib::LogCallback Recorder() {
  return [](int level, const char* text, void* context) {
    Captured* captured = static_cast<Captured*>(context);
    captured->levels.push_back(level);
    captured->texts.push_back(text);
  };
}

TEST(LogChannel, AddsOneNewlineWhenMissing) {
  Captured captured;
  corelib::CLogListener listener(Recorder(), &captured);
  corelib::AddLogListener(&listener);
  corelib::Log(corelib::kLogError, "value %d", 5);
  corelib::Log("done\n");
  corelib::Log("%s", "");
  ASSERT_EQ(3u, captured.texts.size());
  EXPECT_EQ("value 5\n", captured.texts[0]);
  EXPECT_EQ(1, captured.levels[0]);
  EXPECT_EQ("done\n", captured.texts[1]);
  EXPECT_EQ(3, captured.levels[1]);
  EXPECT_EQ("\n", captured.texts[2]);
}

TEST(LogChannel, CutsLongMessagesAt4094) {
  Captured captured;
  corelib::CLogListener listener(Recorder(), &captured);
  corelib::AddLogListener(&listener);
  std::string longText(5000, 'x');
  corelib::Log("%s", longText.c_str());
  // A newline that lands exactly at the cut is kept and nothing after it.
  std::string cutAtNewline = std::string(4093, 'y') + "\nzz";
  corelib::Log("%s", cutAtNewline.c_str());
  ASSERT_EQ(2u, captured.texts.size());
  EXPECT_EQ(std::string(4094, 'x') + "\n", captured.texts[0]);
  EXPECT_EQ(std::string(4093, 'y') + "\n", captured.texts[1]);
}

TEST(LogChannel, DebugFillKeepsMessagesIntact) {
  Captured captured;
  corelib::CLogListener listener(Recorder(), &captured);
  corelib::AddLogListener(&listener);
  corelib::SetLogDebugFill(true);
  corelib::Log("abc");
  corelib::Log("%s", std::string(4100, 'q').c_str());
  corelib::SetLogDebugFill(false);
  ASSERT_EQ(2u, captured.texts.size());
  EXPECT_EQ("abc\n", captured.texts[0]);
  EXPECT_EQ(4095u, captured.texts[1].size());
}

TEST(LogChannel, ListenersRunInRegistrationOrderWithTheirContext) {
  std::vector<std::string> order;
  auto named = [](int, const char* text, void* context) {
    static_cast<std::vector<std::string>*>(context)->push_back(text);
  };
  std::vector<std::string> first, second;
  corelib::CLogListener a([&order](int, const char*, void*) { order.push_back("a"); }, nullptr);
  corelib::CLogListener b([&order](int, const char*, void*) { order.push_back("b"); }, nullptr);
  corelib::CLogListener c(named, &first);
  corelib::CLogListener d(named, &second);
  corelib::AddLogListener(&b);
  corelib::AddLogListener(&a);
  corelib::AddLogListener(&c);
  corelib::AddLogListener(&d);
  corelib::Log("m");
  EXPECT_EQ((std::vector<std::string>{"b", "a"}), order);
  EXPECT_EQ(1u, first.size());
  EXPECT_EQ(1u, second.size());
}

TEST(LogChannel, RemovingAListenerAddedTwiceRemovesBoth) {
  std::string order;
  corelib::CLogListener a([&order](int, const char*, void*) { order += 'a'; }, nullptr);
  corelib::CLogListener b([&order](int, const char*, void*) { order += 'b'; }, nullptr);
  corelib::CLogListener c([&order](int, const char*, void*) { order += 'c'; }, nullptr);
  corelib::AddLogListener(&a);
  corelib::AddLogListener(&b);
  corelib::AddLogListener(&a);
  corelib::AddLogListener(&c);
  corelib::Log("1");
  EXPECT_EQ("abac", order);
  corelib::RemoveLogListener(&a);
  corelib::Log("2");
  EXPECT_EQ("abacbc", order);
}

TEST(LogChannel, DestroyedListenerIsUnregistered) {
  Captured captured;
  {
    corelib::CLogListener listener(Recorder(), &captured);
    corelib::AddLogListener(&listener);
    corelib::Log("inside");
  }
  corelib::Log("outside");
  ASSERT_EQ(1u, captured.texts.size());
  EXPECT_EQ("inside\n", captured.texts[0]);
}

TEST(LogChannel, WithoutListenerNothingIsPrinted) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  corelib::Log("Parsing of JSON file \"%s\" failed: %s\n", "x.json", "bad");
  corelib::Assert("file.cc", 3, "nobody listens");
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

TEST(LogChannel, EmptyCallbackIsSkipped) {
  Captured captured;
  corelib::CLogListener empty(corelib::LogCallback(), nullptr);
  corelib::CLogListener listener(Recorder(), &captured);
  corelib::AddLogListener(&empty);
  corelib::AddLogListener(&listener);
  corelib::Log("still delivered");
  EXPECT_EQ(1u, captured.texts.size());
}

TEST(LogChannel, LoggingFromAListenerIsDroppedNotDeadlocked) {
  int calls = 0;
  corelib::CLogListener listener(
      [&calls](int, const char*, void*) {
        ++calls;
        corelib::Log("nested");
      },
      nullptr);
  corelib::AddLogListener(&listener);
  corelib::Log("outer");
  EXPECT_EQ(1, calls);
}

TEST(LogChannel, ManyThreadsLogSafely) {
  std::atomic<int> count{0};
  corelib::CLogListener listener([&count](int, const char*, void*) { ++count; }, nullptr);
  corelib::AddLogListener(&listener);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([] {
      for (int i = 0; i < 200; ++i)
        corelib::Log("thread message %d", i);
    });
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(800, count.load());
}

struct AssertSeen {
  std::string message, file;
  int line = 0;
  bool flag = true;
  int calls = 0;
};

corelib::AssertCallback AssertRecorder(bool requestBreak) {
  return [requestBreak](const char* message, const char* file, int line, bool flag, bool* breakOut,
                        void* context) {
    AssertSeen* seen = static_cast<AssertSeen*>(context);
    seen->message = message;
    seen->file = file;
    seen->line = line;
    seen->flag = flag;
    ++seen->calls;
    if (requestBreak)
      *breakOut = true;
  };
}

TEST(AssertChannel, LogsAtErrorLevelAndCallsListeners) {
  Captured logged;
  AssertSeen seen;
  corelib::CLogListener logListener(Recorder(), &logged);
  corelib::CAssertListener assertListener(AssertRecorder(false), &seen);
  corelib::AddLogListener(&logListener);
  corelib::AddAssertListener(&assertListener);
  corelib::Assert("stereo_setup", 42, "Missing String for %s (%d)", "Eye", 7);
  ASSERT_EQ(1u, logged.texts.size());
  EXPECT_EQ(1, logged.levels[0]);
  EXPECT_EQ("ASSERT: \"Missing String for Eye (7)\" at stereo_setup:42.\n", logged.texts[0]);
  EXPECT_EQ(1, seen.calls);
  EXPECT_EQ("Missing String for Eye (7)", seen.message);
  EXPECT_EQ("stereo_setup", seen.file);
  EXPECT_EQ(42, seen.line);
  EXPECT_FALSE(seen.flag);
}

TEST(AssertChannel, NullFormatReadsUnknown) {
  Captured logged;
  corelib::CLogListener logListener(Recorder(), &logged);
  corelib::AddLogListener(&logListener);
  corelib::Assert("f.cc", 1, nullptr);
  ASSERT_EQ(1u, logged.texts.size());
  EXPECT_EQ("ASSERT: \"<unknown>\" at f.cc:1.\n", logged.texts[0]);
}

TEST(AssertChannel, LongMessageReachesListenersWhole) {
  Captured logged;
  AssertSeen seen;
  corelib::CLogListener logListener(Recorder(), &logged);
  corelib::CAssertListener assertListener(AssertRecorder(false), &seen);
  corelib::AddLogListener(&logListener);
  corelib::AddAssertListener(&assertListener);
  corelib::Assert("f.cc", 1, "%s", std::string(10000, 'm').c_str());
  EXPECT_EQ(8191u, seen.message.size());
  ASSERT_EQ(1u, logged.texts.size());
  EXPECT_EQ(4095u, logged.texts[0].size());
}

TEST(AssertChannel, WithoutListenerTheCallerContinues) {
  bool continued = false;
  corelib::Assert("f.cc", 9, "CriticalSection != NULL");
  continued = true;
  EXPECT_TRUE(continued);
}

TEST(AssertChannel, RemovedAssertListenerIsNotCalled) {
  AssertSeen seen;
  corelib::CAssertListener listener(AssertRecorder(false), &seen);
  corelib::AddAssertListener(&listener);
  corelib::AddAssertListener(&listener);
  corelib::Assert("f.cc", 1, "twice");
  EXPECT_EQ(2, seen.calls);
  corelib::RemoveAssertListener(&listener);
  corelib::Assert("f.cc", 1, "none");
  EXPECT_EQ(2, seen.calls);
}

TEST(AssertChannelDeathTest, BreakRequestStopsTheProcess) {
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  EXPECT_DEATH(
      {
        AssertSeen seen;
        corelib::CAssertListener listener(AssertRecorder(true), &seen);
        corelib::AddAssertListener(&listener);
        corelib::Assert("f.cc", 1, "stop");
      },
      "");
}

}  // namespace
