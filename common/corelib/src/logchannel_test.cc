// The log and assertion channels, as a listener sees them.
#include "corelib/src/logchannel.h"

#include <gtest/gtest.h>

// One newline at the end, cut at 4094 characters; an assertion is logged as
// an error; a listener that logs from its callback is not called again.
TEST(LogChannelTest, ListenerReceivesLogsAndAssertions) {
  std::string seen;
  corelib::CLogListener log([&seen](int level, const char* text, void*) {
    seen += std::to_string(level) + ":" + text;
    corelib::Log("nested");
  }, nullptr);
  corelib::AddLogListener(&log);
  corelib::Log("done\n");
  corelib::Log("%s", std::string(5000, 'x').c_str());
  corelib::Assert("stereo_setup", 42, "Missing String for %s (%d)", "Eye", 7);
  corelib::RemoveLogListener(&log);
  EXPECT_EQ("3:done\n3:" + std::string(4094, 'x') + "\n1:ASSERT: \"Missing String for Eye (7)\" at stereo_setup:42.\n",
            seen);
}
