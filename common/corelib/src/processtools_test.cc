// Shell commands with captured output, and the process tools, exercised only
// on processes these tests start themselves under names unique to the run.
#include "corelib/src/processtools.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include "corelib/src/strtools_public.h"
#include "corelib/src/test_scratch.h"

namespace corelib {
namespace {

using corelib_test::ScratchDir;
using corelib_test::Slurp;

TEST(RunCommandCaptureTest, OutputByteForByteAndRawWaitStatus) {
  ScratchDir scratch;
  std::string bytes;  // every byte value; lines longer and shorter than one 255-byte piece
  for (int b = 0; b < 768; ++b) bytes += static_cast<char>(b);
  bytes += std::string(600, 'y') + "\n\n" + std::string(254, 'z') + "\n" + std::string(255, 'w');
  const std::tuple<std::string, int32_t, std::string> cases[] = {
      {"printf 'a\\r\\n'", 0, "a\r\n"},
      {"head -c 1000 /dev/zero | tr '\\000' x", 0, std::string(1000, 'x')},
      {"cat " + scratch.Put("bytes", bytes), 0, bytes},
      {"exit 1", 256, ""},
      {"echo partial; exit 5", 5 * 256, "partial\n"},
      {"echo out; echo err-not-captured >&2", 0, "out\n"},
      {"echo \"$((1+2))\" 'x  y' | tr 3 4", 0, "4 x  y\n"},  // passed to the shell unchanged
  };
  for (const auto& [command, status, expected] : cases) {
    std::string output = "previous";
    EXPECT_EQ(status, RunCommandCapture(command, &output)) << command;
    EXPECT_EQ(expected, output) << command;
  }
}

TEST(RunCommandCaptureTest, CommandThatCannotStartReturnsTwo) {
  // With no file descriptor to spare, no pipe to the shell can be made.
  rlimit saved;
  ASSERT_EQ(0, getrlimit(RLIMIT_NOFILE, &saved));
  rlimit none = saved;
  none.rlim_cur = 0;
  ASSERT_EQ(0, setrlimit(RLIMIT_NOFILE, &none));
  std::string output = "untouched", error;
  const int32_t status = RunCommandCapture("echo never", &output, &error);
  const int32_t statusWithoutText = RunCommandCapture("echo never", &output);
  setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_EQ(2, status);
  EXPECT_EQ(2, statusWithoutText);
  EXPECT_EQ("untouched", output);
  EXPECT_EQ(StringPrintf("Command failed with %d: echo never", EMFILE), error);
}

// A copy of sleep under a name unique to the run, first on PATH. Orphaned
// grandchildren come back to this process as their subreaper and are reaped.
class ProcessToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, prctl(PR_SET_CHILD_SUBREAPER, 1));
    name_ = StringPrintf("sbpt%08x", static_cast<unsigned>(std::random_device()()));  // < 15 characters
    ASSERT_EQ(0, chmod(scratch_.Put(name_, Slurp("/bin/sleep")).c_str(), 0755));
    setenv("PATH", (scratch_.path() + ":" + path_).c_str(), 1);
  }
  void TearDown() override {
    if (pid_ > 0) kill(pid_, SIGKILL);
    while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
    }
    setenv("PATH", path_.c_str(), 1);
    prctl(PR_SET_CHILD_SUBREAPER, 0);
  }
  bool Launch(const char* directory, std::vector<const char*> argv) {
    argv.push_back(nullptr);
    return LaunchDetached(directory, argv.data(), &pid_);
  }

  ScratchDir scratch_;
  const std::string path_ = getenv("PATH") != nullptr ? getenv("PATH") : "";
  std::string name_;
  pid_t pid_ = 0;
};

TEST_F(ProcessToolsTest, LaunchFindAndEndOnlyOurOwn) {
  ASSERT_TRUE(Launch(nullptr, {name_.c_str(), "30"}));  // found on PATH by its bare name
  EXPECT_TRUE(IsProcessIdAlive(pid_));
  EXPECT_NE(getsid(0), getsid(pid_));  // detached into a session of its own
  EXPECT_TRUE(IsProcessRunning(name_));
  // Names are single shell words; empty names and ids for groups of
  // processes would reach far more than one process.
  const std::string marker = scratch_.Sub("marker");
  EXPECT_FALSE(IsProcessRunning(name_ + "; touch " + marker));
  EXPECT_FALSE(KillProcessesByName(name_ + "$(touch " + marker + ")"));
  // The refusals of an empty name and of ids <= 0 by the killing tools are
  // not exercised here: were they to break, the test would end every process.
  EXPECT_FALSE(IsProcessRunning(""));
  EXPECT_FALSE(IsProcessIdAlive(0) || IsProcessIdAlive(-1));
  EXPECT_TRUE(KillProcessesByName("^" + name_ + "$"));
  int status = 0;
  ASSERT_EQ(pid_, waitpid(pid_, &status, 0));
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_FALSE(IsProcessIdAlive(pid_));
  EXPECT_FALSE(IsProcessRunning(name_));
  EXPECT_FALSE(std::filesystem::exists(marker));
  pid_ = 0;
}

TEST_F(ProcessToolsTest, LaunchInADirectoryOrFail) {
  ASSERT_TRUE(Launch(scratch_.path().c_str(), {"/bin/sh", "-c", "pwd -P > pwd.txt"}));
  ASSERT_EQ(pid_, waitpid(pid_, nullptr, 0));
  EXPECT_EQ(scratch_.path() + "\n", Slurp(scratch_.Sub("pwd.txt")));
  EXPECT_FALSE(Launch(scratch_.Sub("absent").c_str(), {name_.c_str(), "30"}));
  EXPECT_EQ(-1, pid_);
  EXPECT_FALSE(Launch(nullptr, {scratch_.Sub("absent-program").c_str()}));
  EXPECT_EQ(-1, pid_);
  // The failed grandchild was reaped by its parent; nothing is left for us.
  EXPECT_EQ(-1, waitpid(-1, nullptr, WNOHANG));
  EXPECT_FALSE(Launch(nullptr, {}));
  EXPECT_EQ(0, pid_);
}

TEST_F(ProcessToolsTest, OpenUrlPassesTheUrlAsOneWord) {
  // A stand-in for the desktop opener that records its argument.
  const std::string record = scratch_.Sub("record");
  scratch_.Put("xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + record + "'\n");
  ASSERT_EQ(0, chmod(scratch_.Sub("xdg-open").c_str(), 0755));
  const std::string url = "https://example.invalid/a b'c$(touch " + scratch_.Sub("marker") + ")";
  OpenUrl("");
  OpenUrl(url);
  // The opener runs in the background.
  for (int i = 0; i < 500 && Slurp(record).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(url + "\n", Slurp(record));
  EXPECT_FALSE(std::filesystem::exists(scratch_.Sub("marker")));
}

}  // namespace
}  // namespace corelib
