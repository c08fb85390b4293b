#include "corelib/src/atomicfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "corelib/src/test_scratch.h"

namespace {

using corelib::ReplaceFileAtomically;
using corelib_test::ScratchDir;
using corelib_test::Slurp;

// Only the target (and what the test put there) may remain: no temporaries.
size_t EntryCount(const std::string& directory) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    (void)entry;
    ++count;
  }
  return count;
}

mode_t Permissions(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST(ReplaceFileAtomicallyTest, CreatesNewFileWithUmaskedDefaultMode) {
  ScratchDir scratch;
  const mode_t mask = umask(022);
  std::string error;
  const bool ok = ReplaceFileAtomically(scratch.Sub("out.json"), "{\n}\n", &error);
  umask(027);
  const bool okMasked = ReplaceFileAtomically(scratch.Sub("masked.json"), "x", &error);
  umask(mask);
  ASSERT_TRUE(ok) << error;
  ASSERT_TRUE(okMasked) << error;
  EXPECT_EQ("{\n}\n", Slurp(scratch.Sub("out.json")));
  EXPECT_EQ(0644u, Permissions(scratch.Sub("out.json")));
  EXPECT_EQ(0640u, Permissions(scratch.Sub("masked.json")));
  EXPECT_EQ(2u, EntryCount(scratch.path()));
}

TEST(ReplaceFileAtomicallyTest, ReplacesWholeTextIncludingZeroBytes) {
  ScratchDir scratch;
  const std::string path = scratch.Put("out.json", std::string(1000, 'o'));
  const std::string text("a\0b", 3);
  std::string error;
  ASSERT_TRUE(ReplaceFileAtomically(path, text, &error)) << error;
  EXPECT_EQ(text, Slurp(path));
  EXPECT_EQ(1u, EntryCount(scratch.path()));
}

TEST(ReplaceFileAtomicallyTest, KeepsPermissionBits) {
  ScratchDir scratch;
  const std::string path = scratch.Put("out.json", "old");
  ASSERT_EQ(0, chmod(path.c_str(), 0604));
  std::string error;
  ASSERT_TRUE(ReplaceFileAtomically(path, "new", &error)) << error;
  EXPECT_EQ("new", Slurp(path));
  EXPECT_EQ(0604u, Permissions(path));
}

TEST(ReplaceFileAtomicallyTest, ReplacesFileBehindSymbolicLinks) {
  ScratchDir scratch;
  scratch.MakeDirs("data");
  const std::string real = scratch.Put("data/real.json", "old");
  // Relative link to a relative link: each resolves from its own directory.
  ASSERT_EQ(0, symlink("data/real.json", scratch.Sub("middle").c_str()));
  scratch.MakeDirs("links");
  ASSERT_EQ(0, symlink("../middle", scratch.Sub("links/out.json").c_str()));
  std::string error;
  ASSERT_TRUE(ReplaceFileAtomically(scratch.Sub("links/out.json"), "new", &error)) << error;
  EXPECT_EQ("new", Slurp(real));
  struct stat info;
  ASSERT_EQ(0, lstat(scratch.Sub("links/out.json").c_str(), &info));
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(0, lstat(scratch.Sub("middle").c_str(), &info));
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(1u, EntryCount(scratch.Sub("data")));
}

TEST(ReplaceFileAtomicallyTest, DanglingLinkCreatesItsDestination) {
  ScratchDir scratch;
  ASSERT_EQ(0, symlink("made.json", scratch.Sub("link.json").c_str()));
  std::string error;
  ASSERT_TRUE(ReplaceFileAtomically(scratch.Sub("link.json"), "x", &error)) << error;
  EXPECT_EQ("x", Slurp(scratch.Sub("made.json")));
}

TEST(ReplaceFileAtomicallyTest, LinkLoopFails) {
  ScratchDir scratch;
  ASSERT_EQ(0, symlink("b", scratch.Sub("a").c_str()));
  ASSERT_EQ(0, symlink("a", scratch.Sub("b").c_str()));
  std::string error;
  EXPECT_FALSE(ReplaceFileAtomically(scratch.Sub("a"), "x", &error));
  EXPECT_NE(std::string::npos, error.find(strerror(ELOOP))) << error;
  EXPECT_EQ(2u, EntryCount(scratch.path()));
}

TEST(ReplaceFileAtomicallyTest, UnwritableDirectoryFails) {
  std::string error;
  // Nobody, root included, can create files in /proc.
  EXPECT_FALSE(ReplaceFileAtomically("/proc/sbcorelib-out.json", "x", &error));
  EXPECT_NE(std::string::npos, error.find("/proc/sbcorelib-out.json")) << error;

  ScratchDir scratch;
  EXPECT_FALSE(ReplaceFileAtomically(scratch.Sub("missing/out.json"), "x", &error));
  EXPECT_NE(std::string::npos, error.find(strerror(ENOENT))) << error;

  if (geteuid() == 0) return;  // root ignores directory permissions
  const std::string locked = scratch.MakeDirs("locked");
  const std::string path = scratch.Put("locked/out.json", "old");
  ASSERT_EQ(0, chmod(locked.c_str(), 0555));
  EXPECT_FALSE(ReplaceFileAtomically(path, "new", &error));
  EXPECT_NE(std::string::npos, error.find(strerror(EACCES))) << error;
  chmod(locked.c_str(), 0755);
  EXPECT_EQ("old", Slurp(path));
}

TEST(ReplaceFileAtomicallyTest, FailingWriteLeavesOldContent) {
  ScratchDir scratch;
  const std::string old(64, 'o');
  const std::string path = scratch.Put("out.json", old);
  std::string error;
  {
    corelib_test::ScopedFileSizeLimit limit(16);
    EXPECT_FALSE(ReplaceFileAtomically(path, std::string(100000, 'n'), &error));
  }
  EXPECT_NE(std::string::npos, error.find(strerror(EFBIG))) << error;
  EXPECT_EQ(old, Slurp(path));
  EXPECT_EQ(1u, EntryCount(scratch.path()));
}

TEST(ReplaceFileAtomicallyTest, DirectoryTargetFails) {
  ScratchDir scratch;
  const std::string directory = scratch.MakeDirs("out.json");
  std::string error;
  EXPECT_FALSE(ReplaceFileAtomically(directory, "x", &error));
  EXPECT_NE(std::string::npos, error.find(strerror(EISDIR))) << error;
  EXPECT_TRUE(std::filesystem::is_directory(directory));
  EXPECT_FALSE(ReplaceFileAtomically("", "x", nullptr));
}

TEST(ReplaceFileAtomicallyTest, PipesAreWrittenNotReplaced) {
  ScratchDir scratch;
  const std::string fifo = scratch.Sub("pipe");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  std::string received;
  std::thread reader([&] { received = Slurp(fifo); });
  std::string error;
  EXPECT_TRUE(ReplaceFileAtomically(fifo, "through the pipe", &error)) << error;
  reader.join();
  EXPECT_EQ("through the pipe", received);
  struct stat info;
  ASSERT_EQ(0, lstat(fifo.c_str(), &info));
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_EQ(1u, EntryCount(scratch.path()));
}

}  // namespace
