#include "corelib/src/atomicfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <thread>

#include "corelib/src/test_scratch.h"

namespace {

using corelib_test::ScratchDir;
using corelib_test::Slurp;

// Empty on success, else the error text (never empty on failure).
std::string Replace(const std::string& path, const std::string& text) {
  std::string error;
  return corelib::ReplaceFileAtomically(path, text, &error) ? "" : "failed: " + error;
}

// Entries of the directory, so that a stray temporary file shows.
long Entries(const std::string& directory) {
  return std::distance(std::filesystem::directory_iterator(directory), std::filesystem::directory_iterator());
}

mode_t Mode(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

TEST(ReplaceFileAtomicallyTest, NewFilesAreUmaskedReplacedOnesKeepTheirMode) {
  ScratchDir scratch;
  const mode_t mask = umask(027);
  EXPECT_EQ("", Replace(scratch.Sub("new.json"), "{\n}\n"));
  umask(mask);
  EXPECT_EQ(0640u, Mode(scratch.Sub("new.json")) & 07777);
  const std::string path = scratch.Put("out.json", std::string(1000, 'o'));
  ASSERT_EQ(0, chmod(path.c_str(), 0604));
  EXPECT_EQ("", Replace(path, std::string("a\0b", 3)));
  EXPECT_EQ(std::string("a\0b", 3), Slurp(path));
  EXPECT_EQ(0604u, Mode(path) & 07777);
  EXPECT_EQ(2, Entries(scratch.path()));
}

TEST(ReplaceFileAtomicallyTest, LinksStayAndTheFileBehindIsReplaced) {
  ScratchDir scratch;
  const std::string real = scratch.Put("real.json", "old");
  // Relative link to a relative link: each resolves from its own directory.
  ASSERT_EQ(0, symlink("real.json", scratch.Sub("middle").c_str()));
  ASSERT_EQ(0, symlink("../middle", (scratch.MakeDirs("links") + "/out.json").c_str()));
  ASSERT_EQ(0, symlink("made.json", scratch.Sub("dangling").c_str()));
  EXPECT_EQ("", Replace(scratch.Sub("links/out.json"), "new"));
  EXPECT_EQ("", Replace(scratch.Sub("dangling"), "x"));
  EXPECT_EQ("new", Slurp(real));
  EXPECT_EQ("x", Slurp(scratch.Sub("made.json")));
  EXPECT_TRUE(S_ISLNK(Mode(scratch.Sub("links/out.json"))) && S_ISLNK(Mode(scratch.Sub("middle"))));
  EXPECT_EQ(5, Entries(scratch.path()));
}

// Each failure names its reason and leaves the target as it was.
TEST(ReplaceFileAtomicallyTest, FailuresLeaveTheTargetUntouched) {
  ScratchDir scratch;
  ASSERT_EQ(0, symlink("b", scratch.Sub("a").c_str()));
  ASSERT_EQ(0, symlink("a", scratch.Sub("b").c_str()));
  EXPECT_NE(std::string::npos, Replace(scratch.Sub("a"), "x").find(strerror(ELOOP)));
  EXPECT_NE(std::string::npos, Replace(scratch.Sub("missing/out.json"), "x").find(strerror(ENOENT)));
  EXPECT_NE(std::string::npos, Replace(scratch.MakeDirs("dir"), "x").find(strerror(EISDIR)));
  EXPECT_NE("", Replace("", "x"));
  const std::string path = scratch.Put("out.json", std::string(64, 'o'));
  {
    corelib_test::ScopedFileSizeLimit limit(16);
    EXPECT_NE(std::string::npos, Replace(path, std::string(100000, 'n')).find(strerror(EFBIG)));
  }
  EXPECT_EQ(std::string(64, 'o'), Slurp(path));
  EXPECT_EQ(4, Entries(scratch.path()));
}

TEST(ReplaceFileAtomicallyTest, PipesAreWrittenNotReplaced) {
  ScratchDir scratch;
  const std::string fifo = scratch.Sub("pipe");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  std::string received;
  std::thread reader([&] { received = Slurp(fifo); });
  EXPECT_EQ("", Replace(fifo, "through the pipe"));
  reader.join();
  EXPECT_EQ("through the pipe", received);
  EXPECT_TRUE(S_ISFIFO(Mode(fifo)));
  EXPECT_EQ(1, Entries(scratch.path()));
}

}  // namespace
