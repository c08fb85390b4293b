// Shell commands with captured output, and the process tools, exercised only
// on processes these tests start themselves under names unique to the run.
#include "corelib/src/processtools.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

#include "corelib/src/strtools_public.h"

namespace corelib {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// --- RunCommandCapture ---

TEST(RunCommandCapture, KeepsCarriageReturnAndLineFeed) {
  std::string output;
  EXPECT_EQ(RunCommandCapture("printf 'a\\r\\n'", &output), 0);
  EXPECT_EQ(output, "a\r\n");
  EXPECT_EQ(TrimTrailingWhitespace(output), "a");
}

TEST(RunCommandCapture, LongLineWithoutNewlineArrivesWhole) {
  std::string output;
  EXPECT_EQ(RunCommandCapture("head -c 1000 /dev/zero | tr '\\000' x", &output), 0);
  EXPECT_EQ(output, std::string(1000, 'x'));
}

TEST(RunCommandCapture, OutputIsByteForByteIncludingNulBytes) {
  // Every byte value, lines longer and shorter than one 255-byte piece.
  std::string content;
  for (int round = 0; round < 3; ++round)
    for (int b = 0; b < 256; ++b) content += static_cast<char>(b);
  content += std::string(600, 'y') + "\n\n" + std::string(254, 'z') + "\n" + std::string(255, 'w');
  char path[] = "/tmp/sbcapture_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
  close(fd);

  std::string output;
  EXPECT_EQ(RunCommandCapture(std::string("cat ") + path, &output), 0);
  EXPECT_EQ(output, content);
  unlink(path);
}

TEST(RunCommandCapture, ReturnsTheRawWaitStatus) {
  std::string output = "old";
  EXPECT_EQ(RunCommandCapture("exit 1", &output), 256);
  EXPECT_EQ(output, "");
  EXPECT_EQ(RunCommandCapture("echo partial; exit 5", &output), 5 * 256);
  EXPECT_EQ(output, "partial\n");
  const int status = RunCommandCapture("kill -9 $$", &output);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), 9);
}

TEST(RunCommandCapture, ReplacesOutputAndLeavesStandardErrorAlone) {
  std::string output = "previous";
  EXPECT_EQ(RunCommandCapture("echo out; echo err-not-captured >&2", &output), 0);
  EXPECT_EQ(output, "out\n");
}

TEST(RunCommandCapture, PassesTheCommandToTheShellUnchanged) {
  std::string output;
  EXPECT_EQ(RunCommandCapture("echo \"$((1+2))\" 'x  y' | tr 3 4", &output), 0);
  EXPECT_EQ(output, "4 x  y\n");
}

TEST(RunCommandCapture, CommandThatCannotStartReturnsTwo) {
  // With no file descriptor left, no pipe to the shell can be made.
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  const int probe = dup(0);
  ASSERT_GE(probe, 0);
  close(probe);
  struct rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(probe);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);

  std::string output = "untouched";
  std::string error;
  const int32_t status = RunCommandCapture("echo never", &output, &error);
  const int32_t statusWithoutText = RunCommandCapture("echo never", &output);
  setrlimit(RLIMIT_NOFILE, &saved);

  EXPECT_EQ(status, 2);
  EXPECT_EQ(statusWithoutText, 2);
  EXPECT_EQ(output, "untouched");
  EXPECT_EQ(error, StringPrintf("Command failed with %d: echo never", EMFILE));
}

// --- shell words and the command prefix ---

TEST(ProcessCommands, PrefixIsExact) {
  EXPECT_STREQ(ProcessCommandPrefix(),
               "ZOREDUVI_VRENV= HARBOR_RUNTIME= LD_LIBRARY_PATH=\"$SYSTEM_LD_LIBRARY_PATH\" "
               "QT_PLUGIN_PATH= ");
}

TEST(ProcessCommands, ShellQuoteSurvivesTheShell) {
  EXPECT_EQ(ShellQuote(""), "''");
  EXPECT_EQ(ShellQuote("a b"), "'a b'");
  EXPECT_EQ(ShellQuote("it's"), "'it'\\''s'");
  const std::string nasty = "a'b\"c $(echo no) `echo no` \\ ; |\n'";
  std::string output;
  EXPECT_EQ(RunCommandCapture("printf '%s' " + ShellQuote(nasty), &output), 0);
  EXPECT_EQ(output, nasty);
}

// --- process tools on processes of our own ---

class ProcessToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Orphaned grandchildren come back to us, so every one is reaped here.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    char pattern[] = "/tmp/sbproctest_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::random_device random;
    name_ = StringPrintf("sbpt%08x", static_cast<unsigned>(random()));  // 12 < 15 characters
    program_ = dir_ + "/" + name_;
    std::ifstream in("/bin/sleep", std::ios::binary);
    std::ofstream out(program_, std::ios::binary);
    out << in.rdbuf();
    out.close();
    ASSERT_EQ(chmod(program_.c_str(), 0755), 0);
    const char* path = getenv("PATH");
    savedPath_ = path ? path : "";
  }

  void TearDown() override {
    for (pid_t pid : launched_) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    // Whatever else came back to us (a background opener) has finished or
    // is about to.
    while (waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
    }
    setenv("PATH", savedPath_.c_str(), 1);
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    for (const char* leaf : {"record", "pwd.txt", "marker", "xdg-open"}) unlink((dir_ + "/" + leaf).c_str());
    unlink(program_.c_str());
    rmdir(dir_.c_str());
  }

  pid_t LaunchSleep(const char* program) {
    const char* argv[] = {program, "30", nullptr};
    pid_t pid = 0;
    EXPECT_TRUE(LaunchDetached(nullptr, argv, &pid));
    if (pid > 0) launched_.push_back(pid);
    return pid;
  }

  void PrependToPath() { setenv("PATH", (dir_ + ":" + savedPath_).c_str(), 1); }

  std::string dir_, name_, program_, savedPath_;
  std::vector<pid_t> launched_;
};

TEST_F(ProcessToolsTest, LaunchFindAndEndByName) {
  PrependToPath();  // found on PATH by its bare name
  const pid_t pid = LaunchSleep(name_.c_str());
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(IsProcessIdAlive(pid));
  EXPECT_NE(getsid(pid), getsid(0));  // detached into a session of its own
  EXPECT_TRUE(IsProcessRunning(name_));

  EXPECT_TRUE(KillProcessesByName("^" + name_ + "$"));
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  launched_.clear();
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_FALSE(IsProcessIdAlive(pid));
  EXPECT_FALSE(IsProcessRunning(name_));
  EXPECT_FALSE(KillProcessesByName("^" + name_ + "$"));
}

TEST_F(ProcessToolsTest, EmptyNamesAndGroupIdsAreRefused) {
  EXPECT_FALSE(IsProcessRunning(""));
  EXPECT_FALSE(KillProcessesByName(""));
  EXPECT_FALSE(KillProcessElevated(0));
  EXPECT_FALSE(KillProcessElevated(-1));
  EXPECT_FALSE(IsProcessIdAlive(0));
  EXPECT_FALSE(IsProcessIdAlive(-1));
  EXPECT_TRUE(IsProcessIdAlive(getpid()));
}

TEST_F(ProcessToolsTest, NamesCannotRunShellCommands) {
  const std::string marker = dir_ + "/marker";
  EXPECT_FALSE(IsProcessRunning(name_ + "; touch " + marker));
  EXPECT_FALSE(KillProcessesByName(name_ + "$(touch " + marker + ")"));
  EXPECT_FALSE(Exists(marker));
}

TEST_F(ProcessToolsTest, ElevatedKillTouchesOnlyTheGivenProcess) {
  const pid_t pid = LaunchSleep(program_.c_str());
  ASSERT_GT(pid, 0);
  // Without password-less sudo this fails and the process lives on.
  if (KillProcessElevated(pid)) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    launched_.clear();
    EXPECT_TRUE(WIFSIGNALED(status));
  } else {
    EXPECT_TRUE(IsProcessIdAlive(pid));
  }
}

TEST_F(ProcessToolsTest, LaunchInWorkingDirectory) {
  const char* argv[] = {"/bin/sh", "-c", "pwd -P > pwd.txt", nullptr};
  pid_t pid = 0;
  ASSERT_TRUE(LaunchDetached(dir_.c_str(), argv, &pid));
  ASSERT_GT(pid, 0);
  ASSERT_EQ(waitpid(pid, nullptr, 0), pid);
  char* real = realpath(dir_.c_str(), nullptr);
  ASSERT_NE(real, nullptr);
  EXPECT_EQ(ReadFile(dir_ + "/pwd.txt"), std::string(real) + "\n");
  free(real);
}

TEST_F(ProcessToolsTest, MissingDirectoryOrProgramIsAFailure) {
  const char* argv[] = {program_.c_str(), "30", nullptr};
  pid_t pid = 0;
  EXPECT_FALSE(LaunchDetached((dir_ + "/absent").c_str(), argv, &pid));
  EXPECT_EQ(pid, -1);

  const std::string missing = dir_ + "/absent-program";
  const char* missingArgv[] = {missing.c_str(), nullptr};
  pid = 0;
  EXPECT_FALSE(LaunchDetached(nullptr, missingArgv, &pid));
  EXPECT_EQ(pid, -1);
  // The failed grandchild was reaped by its parent; nothing is left for us.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);

  const char* empty[] = {nullptr};
  pid = 7;
  EXPECT_FALSE(LaunchDetached(nullptr, empty, &pid));
  EXPECT_EQ(pid, 0);
  EXPECT_FALSE(LaunchDetached(nullptr, nullptr, nullptr));
}

TEST_F(ProcessToolsTest, OpenUrlPassesTheUrlAsOneWord) {
  // A stand-in for the desktop opener that records its argument.
  const std::string record = dir_ + "/record";
  std::ofstream script(dir_ + "/xdg-open");
  script << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << record << "'\n";
  script.close();
  ASSERT_EQ(chmod((dir_ + "/xdg-open").c_str(), 0755), 0);
  PrependToPath();

  const std::string url = "https://example.invalid/a b'c$(touch " + dir_ + "/marker)";
  OpenUrl("");
  OpenUrl(url);
  // The opener runs in the background.
  for (int i = 0; i < 500 && ReadFile(record).empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(ReadFile(record), url + "\n");
  EXPECT_FALSE(Exists(dir_ + "/marker"));
}

}  // namespace
}  // namespace corelib
