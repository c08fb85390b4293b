#include "corelib/src/logchannel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each message as "<level>:<text>", for the recorder's lifetime.
struct LogRecorder {
  std::vector<std::string> seen;
  corelib::CLogListener listener{
      [this](int level, const char* text, void*) { seen.push_back(std::to_string(level) + ":" + text); }, nullptr};
  LogRecorder() { corelib::AddLogListener(&listener); }
};

TEST(LogChannelTest, EveryMessageEndsInOneNewlineAndIsCutAt4094) {
  LogRecorder log;
  corelib::Log(corelib::kLogError, "value %d", 5);
  corelib::Log("done\n");
  corelib::Log("%s", "");
  corelib::Log("%s", std::string(5000, 'x').c_str());
  // A newline that lands exactly at the cut is kept and nothing after it.
  corelib::Log("%s", (std::string(4093, 'y') + "\nzz").c_str());
  EXPECT_EQ((std::vector<std::string>{"1:value 5\n", "3:done\n", "3:\n", "3:" + std::string(4094, 'x') + "\n",
                                      "3:" + std::string(4093, 'y') + "\n"}),
            log.seen);
}

// A listener that logs from its callback is not called again (no deadlock).
TEST(LogChannelTest, ListenersInOrderRemovedWholeAndOnDestruction) {
  std::string order;
  auto named = [&order](char name) {
    return [&order, name](int, const char*, void*) {
      order += name;
      corelib::Log("nested");
    };
  };
  corelib::CLogListener a(named('a'), nullptr), b(named('b'), nullptr), empty(corelib::LogCallback(), nullptr);
  for (corelib::CLogListener* listener : {&a, &b, &empty, &a}) corelib::AddLogListener(listener);
  {
    corelib::CLogListener c(named('c'), nullptr);
    corelib::AddLogListener(&c);
    corelib::Log("1");  // the empty callback is skipped
  }
  corelib::RemoveLogListener(&a);  // added twice, removed twice
  corelib::Log("2");
  EXPECT_EQ("abacb", order);
}

TEST(LogChannelTest, WithoutListenerNothingIsPrintedAndAssertReturns) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  corelib::Log("Parsing of JSON file \"%s\" failed: %s\n", "x.json", "bad");
  corelib::Assert("file.cc", 3, "nobody listens");
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

TEST(AssertChannelTest, LogsAtErrorLevelThenCallsListeners) {
  LogRecorder log;
  std::vector<std::string> seen;
  corelib::CAssertListener listener(
      [&seen](const char* message, const char* file, int line, bool flag, bool*, void*) {
        seen.push_back(std::string(file) + ":" + std::to_string(line) + ":" + std::to_string(flag) + ":" + message);
      },
      nullptr);
  corelib::AddAssertListener(&listener);
  corelib::AddAssertListener(&listener);
  corelib::Assert("stereo_setup", 42, "Missing String for %s (%d)", "Eye", 7);
  corelib::RemoveAssertListener(&listener);
  corelib::Assert("f.cc", 1, nullptr);
  corelib::AddAssertListener(&listener);
  corelib::Assert("f.cc", 2, "%s", std::string(10000, 'm').c_str());  // whole to listeners, cut in the log
  const std::string first = "stereo_setup:42:0:Missing String for Eye (7)";
  EXPECT_EQ((std::vector<std::string>{first, first, "f.cc:2:0:" + std::string(8191, 'm')}), seen);
  ASSERT_EQ(3u, log.seen.size());
  EXPECT_EQ("1:ASSERT: \"Missing String for Eye (7)\" at stereo_setup:42.\n", log.seen[0]);
  EXPECT_EQ("1:ASSERT: \"<unknown>\" at f.cc:1.\n", log.seen[1]);
  EXPECT_EQ(2u + 4095u, log.seen[2].size());
}

TEST(AssertChannelDeathTest, BreakRequestStopsTheProcess) {
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  corelib::CAssertListener listener([](const char*, const char*, int, bool, bool* out, void*) { *out = true; },
                                    nullptr);
  EXPECT_DEATH(
      {
        corelib::AddAssertListener(&listener);
        corelib::Assert("f.cc", 1, "stop");
      },
      "");
}

}  // namespace
