// Atomic replacement guards the only copy of a document: afterwards the
// target holds the old bytes or the new ones, and nothing is left beside it.
#include "corelib/src/atomicfile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstring>

#include "corelib/src/test_scratch.h"

namespace {

using corelib_test::Slurp;

// Empty on success, else the error text.
std::string Replace(const std::string& path, const std::string& text) {
  std::string error;
  return corelib::ReplaceFileAtomically(path, text, &error) ? "" : "failed: " + error;
}

mode_t Mode(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

TEST(ReplaceFileAtomicallyTest, KeepsTheModeAndFollowsLinks) {
  corelib_test::ScratchDir scratch;
  const std::string real = scratch.Put("real.json", "old");
  ASSERT_EQ(0, chmod(real.c_str(), 0641));
  // An absolute link to a relative one, read from its own directory: the
  // links stay, the file behind them is replaced.
  ASSERT_EQ(0, symlink("real.json", scratch.Sub("middle").c_str()));
  ASSERT_EQ(0, symlink(scratch.Sub("middle").c_str(), (scratch.MakeDirs("links") + "/out.json").c_str()));
  EXPECT_EQ("", Replace(scratch.Sub("links/out.json"), std::string("a\0b", 3)));
  EXPECT_EQ(std::string("a\0b", 3), Slurp(real));
  EXPECT_EQ(0641u, Mode(real) & 07777);
  EXPECT_TRUE(S_ISLNK(Mode(scratch.Sub("links/out.json"))) && S_ISLNK(Mode(scratch.Sub("middle"))));
  EXPECT_EQ(3u, scratch.Entries());
}

TEST(ReplaceFileAtomicallyTest, FailuresLeaveTheTargetUntouched) {
  corelib_test::ScratchDir scratch;
  ASSERT_EQ(0, symlink("b", scratch.Sub("a").c_str()));
  ASSERT_EQ(0, symlink("a", scratch.Sub("b").c_str()));
  EXPECT_NE(std::string::npos, Replace(scratch.Sub("a"), "x").find(strerror(ELOOP)));
  EXPECT_NE(std::string::npos, Replace(scratch.Sub("missing/out.json"), "x").find(strerror(ENOENT)));
  EXPECT_NE(std::string::npos, Replace(scratch.MakeDirs("dir"), "x").find(strerror(EISDIR)));
  // Writes past 16 bytes fail with EFBIG.
  const std::string path = scratch.Put("out.json", std::string(64, 'o'));
  rlimit saved, limit;
  getrlimit(RLIMIT_FSIZE, &saved);
  limit = {16, saved.rlim_max};
  signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
  const std::string error = Replace(path, std::string(100000, 'n'));
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_NE(std::string::npos, error.find(strerror(EFBIG))) << error;
  EXPECT_EQ(std::string(64, 'o'), Slurp(path));
  EXPECT_EQ(4u, scratch.Entries());  // no temporary file left
}

}  // namespace
