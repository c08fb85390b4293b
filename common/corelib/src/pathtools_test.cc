#include "corelib/src/pathtools.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "corelib/src/test_scratch.h"

namespace {

using corelib_test::ScopedChdir;
using corelib_test::ScopedEnv;
using corelib_test::ScratchDir;
using corelib_test::Slurp;

// Environment-derived directories.
TEST(EnvironmentDirectoryTest, TempDirectoryFollowsTmpdirEvenWhenEmpty) {
  {
    ScopedEnv env("TMPDIR", nullptr);
    EXPECT_EQ("/tmp", corelib::TempDirectory());
  }
  {
    ScopedEnv env("TMPDIR", "");
    EXPECT_EQ("", corelib::TempDirectory());
  }
  ScopedEnv env("TMPDIR", "/var/scratch");
  EXPECT_EQ("/var/scratch", corelib::TempDirectory());
}

TEST(EnvironmentDirectoryTest, HomeDirectory) {
  {
    ScopedEnv env("HOME", nullptr);
    EXPECT_EQ("", corelib::HomeDirectory());
  }
  ScopedEnv env("HOME", "/home/rig");
  EXPECT_EQ("/home/rig", corelib::HomeDirectory());
}

TEST(ProcessDirectoryTest, ExecutablePathIsThisProgram) {
  const std::string path = corelib::ExecutablePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ('/', path[0]);
  EXPECT_EQ("sbconfigtool_tests", corelib::BaseName(path));
}

TEST(ProcessDirectoryTest, CurrentDirectoryIsTheWorkingDirectory) {
  ScratchDir scratch;
  ScopedChdir in(scratch.path());
  ASSERT_TRUE(in.ok());
  EXPECT_EQ(scratch.path(), corelib::CurrentDirectory());
}

TEST(ProcessDirectoryTest, CurrentDirectoryEmptyWhenRemoved) {
  ScratchDir scratch;
  const std::string gone = scratch.MakeDirs("gone");
  ScopedChdir in(gone);
  ASSERT_TRUE(in.ok());
  ASSERT_EQ(0, rmdir(gone.c_str()));
  EXPECT_EQ("", corelib::CurrentDirectory());
}

TEST(ProcessDirectoryTest, CurrentDirectoryEmptyWhenTooLong) {
  ScratchDir scratch;
  const std::string component(200, 'd');
  std::string deep = scratch.path();
  while (deep.size() < 1100) deep += "/" + component;
  std::filesystem::create_directories(deep);
  ScopedChdir in(deep);
  ASSERT_TRUE(in.ok());
  EXPECT_EQ("", corelib::CurrentDirectory());
}

// Path text surgery.
TEST(PathTextTest, NormalizeSlashes) {
  EXPECT_EQ("a/b/c/", corelib::NormalizeSlashes("a\\b/c\\"));
  EXPECT_EQ("a\\b\\c", corelib::NormalizeSlashes("a/b\\c", '\\'));
  EXPECT_EQ("", corelib::NormalizeSlashes(""));
}

TEST(PathTextTest, JoinPath) {
  EXPECT_EQ("/tmp/configtool.json", corelib::JoinPath("/tmp/", "configtool.json"));
  EXPECT_EQ("/tmp/configtool.json", corelib::JoinPath("/tmp", "configtool.json"));
  EXPECT_EQ("configtool.json", corelib::JoinPath("", "configtool.json"));
  EXPECT_EQ("/tmp//x", corelib::JoinPath("/tmp//", "x"));
  EXPECT_EQ("a/b", corelib::JoinPath("a\\", "b"));
  EXPECT_EQ("a\\b", corelib::JoinPath("a/", "b", '\\'));
  EXPECT_EQ("a//b", corelib::JoinPath("a", "/b"));  // b is taken as it is
  EXPECT_EQ("/x", corelib::JoinPath("/", "x"));
}

TEST(PathTextTest, DirNameAndBaseName) {
  EXPECT_EQ("/a/b", corelib::DirName("/a/b/c.json"));
  EXPECT_EQ("", corelib::DirName("/a"));
  EXPECT_EQ("a", corelib::DirName("a"));
  EXPECT_EQ("a/b", corelib::DirName("a/b/"));
  EXPECT_EQ("c:\\a", corelib::DirName("c:\\a\\b", '\\'));
  EXPECT_EQ("c.json", corelib::BaseName("/a/b/c.json"));
  EXPECT_EQ("a", corelib::BaseName("a"));
  EXPECT_EQ("", corelib::BaseName("a/"));
  EXPECT_EQ("b", corelib::BaseName("c:\\a\\b", '\\'));
}

// Existence checks.
TEST(FileCheckTest, FileExists) {
  ScratchDir scratch;
  const std::string file = scratch.Put("f.json", "{}");
  EXPECT_FALSE(corelib::FileExists(""));
  EXPECT_TRUE(corelib::FileExists(file));
  EXPECT_TRUE(corelib::FileExists(scratch.path()));
  EXPECT_TRUE(corelib::FileExists(scratch.path() + "\\f.json"));
  EXPECT_FALSE(corelib::FileExists(scratch.Sub("missing.json")));
}

TEST(FileCheckTest, IsDirectory) {
  ScratchDir scratch;
  const std::string file = scratch.Put("f.json", "{}");
  EXPECT_TRUE(corelib::IsDirectory("/tmp/"));
  EXPECT_TRUE(corelib::IsDirectory("/tmp"));
  EXPECT_TRUE(corelib::IsDirectory("/"));
  EXPECT_TRUE(corelib::IsDirectory(scratch.path() + "\\"));
  EXPECT_FALSE(corelib::IsDirectory(file));
  EXPECT_FALSE(corelib::IsDirectory(file + "/"));
  EXPECT_FALSE(corelib::IsDirectory(scratch.Sub("missing")));
  EXPECT_FALSE(corelib::IsDirectory(""));
}

// Whole-file reads.
TEST(ReadFileTest, ReadFileBytesGivesEveryByte) {
  ScratchDir scratch;
  const std::string bytes("a\0b\r\n\xff", 6);
  std::vector<char> read;
  ASSERT_TRUE(corelib::ReadFileBytes(scratch.Put("bin", bytes), &read));
  EXPECT_EQ(bytes, std::string(read.begin(), read.end()));
}

TEST(ReadFileTest, ReadFileBytesLargerThanOneChunk) {
  ScratchDir scratch;
  std::string bytes(200000, 'x');
  bytes[123456] = 'y';
  std::vector<char> read;
  ASSERT_TRUE(corelib::ReadFileBytes(scratch.Put("big", bytes), &read));
  EXPECT_EQ(bytes, std::string(read.begin(), read.end()));
}

TEST(ReadFileTest, ReadFileBytesNoneForEmptyMissingOrDirectory) {
  ScratchDir scratch;
  std::vector<char> read{'s', 't', 'a', 'l', 'e'};
  EXPECT_FALSE(corelib::ReadFileBytes(scratch.Put("empty", ""), &read));
  EXPECT_TRUE(read.empty());
  EXPECT_FALSE(corelib::ReadFileBytes(scratch.Sub("missing"), &read));
  EXPECT_FALSE(corelib::ReadFileBytes(scratch.path(), &read));
}

TEST(ReadFileTest, ReadFileBytesReadsFilesReportingZeroSize) {
  std::vector<char> read;
  ASSERT_TRUE(corelib::ReadFileBytes("/proc/self/status", &read));
  EXPECT_NE(std::string::npos, std::string(read.begin(), read.end()).find("Umask:"));
}

TEST(ReadFileTest, ReadTextFileDropsByteOrderMarkAndCarriageReturnsBeforeLineFeeds) {
  ScratchDir scratch;
  EXPECT_EQ("", corelib::ReadTextFile(scratch.Put("bom", "\xef\xbb\xbf")));
  EXPECT_EQ("\r\n", corelib::ReadTextFile(scratch.Put("crcrlf", "\r\r\n")));
  EXPECT_EQ("{\n}\r", corelib::ReadTextFile(scratch.Put("doc", "\xef\xbb\xbf{\r\n}\r")));
  EXPECT_EQ("a\rb\n", corelib::ReadTextFile(scratch.Put("lone", "a\rb\r\n")));
  // Only a leading mark is dropped.
  EXPECT_EQ("x\xef\xbb\xbf", corelib::ReadTextFile(scratch.Put("mid", "x\xef\xbb\xbf")));
  EXPECT_EQ("\xef\xbb", corelib::ReadTextFile(scratch.Put("part", "\xef\xbb")));
  EXPECT_EQ("", corelib::ReadTextFile(scratch.Sub("missing")));
  EXPECT_EQ("", corelib::ReadTextFile(scratch.Put("empty", "")));
}

// A pipe has no size to go by: the read grows its buffer until the end.
TEST(ReadFileTest, ReadFileBytesFromAPipeLongerThanOneChunk) {
  ScratchDir scratch;
  const std::string fifo = scratch.Sub("fifo");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  std::string bytes(300000, 'p');
  bytes[299999] = 'q';
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << bytes; });
  std::vector<char> read;
  const bool ok = corelib::ReadFileBytes(fifo, &read);
  writer.join();
  ASSERT_TRUE(ok);
  EXPECT_EQ(bytes, std::string(read.begin(), read.end()));
}

TEST(ReadFileTest, ReadTextFileConvertsLineEndsThroughALargeFile) {
  ScratchDir scratch;
  std::string crlf = "\xef\xbb\xbf";
  std::string lf;
  for (int i = 0; i < 20000; ++i) {
    crlf += "line\r\n";
    lf += "line\n";
  }
  crlf += "end\r";
  lf += "end\r";
  EXPECT_EQ(lf, corelib::ReadTextFile(scratch.Put("crlf", crlf)));
  EXPECT_EQ(lf, corelib::ReadTextFile(scratch.Put("lf", lf)));
}

// Whole-file writes.
TEST(WriteFileTest, WriteTextFileCreatesAndTruncates) {
  ScratchDir scratch;
  const std::string path = scratch.Put("out.json", "a much longer previous content\n");
  ASSERT_TRUE(corelib::WriteTextFile(path, "{}\n"));
  EXPECT_EQ("{}\n", Slurp(path));
  ASSERT_TRUE(corelib::WriteTextFile(path, ""));
  EXPECT_EQ("", Slurp(path));
}

TEST(WriteFileTest, WriteTextFileStopsAtFirstZeroByte) {
  ScratchDir scratch;
  ASSERT_TRUE(corelib::WriteTextFile(scratch.Sub("z"), std::string("ab\0cd", 5)));
  EXPECT_EQ("ab", Slurp(scratch.Sub("z")));
}

TEST(WriteFileTest, WriteTextFileReportsFullDisk) {
  EXPECT_FALSE(corelib::WriteTextFile("/dev/full", "{}\n"));
}

TEST(WriteFileTest, WriteTextFileReportsShortWrite) {
  ScratchDir scratch;
  corelib_test::ScopedFileSizeLimit limit(16);
  EXPECT_FALSE(corelib::WriteTextFile(scratch.Sub("big"), std::string(100, 'x')));
}

TEST(WriteFileTest, WriteTextFileFailsWithoutDirectory) {
  ScratchDir scratch;
  EXPECT_FALSE(corelib::WriteTextFile(scratch.Sub("no/such/dir.json"), "{}"));
}

TEST(WriteFileTest, WriteTextFileAtomicReplacesAndLeavesNoTemporary) {
  ScratchDir scratch;
  const std::string path = scratch.Put("out.json", "old");
  ASSERT_TRUE(corelib::WriteTextFileAtomic(path, "new\n"));
  EXPECT_EQ("new\n", Slurp(path));
  EXPECT_FALSE(corelib::FileExists(path + ".tmp"));
}

TEST(WriteFileTest, WriteTextFileAtomicFailedWriteKeepsTarget) {
  ScratchDir scratch;
  const std::string old(40, 'o');
  const std::string path = scratch.Put("out.json", old);
  {
    corelib_test::ScopedFileSizeLimit limit(16);
    EXPECT_FALSE(corelib::WriteTextFileAtomic(path, std::string(100, 'n')));
  }
  EXPECT_EQ(old, Slurp(path));
  EXPECT_FALSE(corelib::FileExists(path + ".tmp"));
}

TEST(WriteFileTest, WriteTextFileAtomicFailedRenameRemovesTemporary) {
  ScratchDir scratch;
  // A non-empty directory cannot be renamed over.
  const std::string path = scratch.MakeDirs("out.json");
  scratch.Put("out.json/keep", "k");
  EXPECT_FALSE(corelib::WriteTextFileAtomic(path, "{}"));
  EXPECT_TRUE(corelib::IsDirectory(path));
  EXPECT_EQ("k", Slurp(path + "/keep"));
  EXPECT_FALSE(corelib::FileExists(path + ".tmp"));
}

TEST(WriteFileTest, DeleteFile) {
  ScratchDir scratch;
  const std::string path = scratch.Put("x", "1");
  EXPECT_TRUE(corelib::DeleteFile(path));
  EXPECT_FALSE(corelib::FileExists(path));
  EXPECT_FALSE(corelib::DeleteFile(path));
}

// Upward searches.
TEST(FindUpwardTest, LooksNextToStartThenAbove) {
  ScratchDir scratch;
  scratch.MakeDirs("a/b/c");
  scratch.MakeDirs("a/runtime");
  const std::string exe = scratch.Put("a/b/c/tool", "");
  EXPECT_EQ(scratch.Sub("a/runtime"), corelib::FindUpward(exe, "runtime"));
  EXPECT_EQ(scratch.Sub("a/runtime"), corelib::FindUpward(scratch.Sub("a/b"), "runtime"));
  // Not inside the start itself.
  EXPECT_EQ("", corelib::FindUpward(scratch.Sub("a"), "b"));
  EXPECT_EQ(scratch.Sub("a/b"), corelib::FindUpward(scratch.Sub("a/b/c"), "b"));
}

TEST(FindUpwardTest, EmptyForMissingOrEmptyStart) {
  ScratchDir scratch;
  scratch.MakeDirs("runtime");
  EXPECT_EQ("", corelib::FindUpward("", "runtime"));
  EXPECT_EQ("", corelib::FindUpward(scratch.Sub("missing/x"), "runtime"));
}

TEST(FindUpwardTest, ReachesTheRootButNotTheWorkingDirectory) {
  ScratchDir scratch;
  EXPECT_EQ("/tmp", corelib::FindUpward("/tmp", "tmp"));
  // At the top the search looks in "/", never relative to the working directory.
  scratch.MakeDirs("sbcorelib-only-here");
  ScopedChdir in(scratch.path());
  ASSERT_TRUE(in.ok());
  EXPECT_EQ("", corelib::FindUpward("/tmp", "sbcorelib-only-here"));
}

TEST(FindUpwardTest, RelativeStartsTerminate) {
  ScratchDir scratch;
  scratch.MakeDirs("a/b");
  scratch.MakeDirs("a/runtime");
  ScopedChdir in(scratch.path());
  ASSERT_TRUE(in.ok());
  EXPECT_EQ("", corelib::FindUpward("a", "zz"));
  EXPECT_EQ("a/runtime", corelib::FindUpward("a/b", "runtime"));
  EXPECT_EQ("", corelib::FindUpward("a/b", "zz"));
}

TEST(FindAncestorNamedTest, FindsStartOrAncestorIgnoringCase) {
  ScratchDir scratch;
  const std::string root = scratch.MakeDirs("OpEnRiG");
  const std::string deep = scratch.MakeDirs("OpEnRiG/x/y");
  EXPECT_EQ(root, corelib::FindAncestorNamed(deep, "OpenRig"));
  EXPECT_EQ(root, corelib::FindAncestorNamed(root, "openrig"));
  EXPECT_EQ(root, corelib::FindAncestorNamed(root + "/x/missing", "OPENRIG"));
  EXPECT_EQ(root, corelib::FindAncestorNamed(root + "\\x", "OpenRig"));
  EXPECT_EQ("", corelib::FindAncestorNamed(deep, "OpenRi"));
  EXPECT_EQ("", corelib::FindAncestorNamed("", "OpenRig"));
}

TEST(FindAncestorNamedTest, RelativeStartsTerminate) {
  ScratchDir scratch;
  scratch.MakeDirs("OpenRig/sub");
  ScopedChdir in(scratch.path());
  ASSERT_TRUE(in.ok());
  EXPECT_EQ("OpenRig", corelib::FindAncestorNamed("OpenRig/sub", "openrig"));
  EXPECT_EQ("", corelib::FindAncestorNamed("OpenRig", "zz"));
  EXPECT_EQ("", corelib::FindAncestorNamed("missing", "zz"));
}

// Driver configuration directory.
class DriverConfigDirectoryTest : public ::testing::Test {
 protected:
  void TearDown() override { corelib::SetDriverConfigDirectory(""); }
  ScratchDir scratch_;
};

TEST_F(DriverConfigDirectoryTest, OverrideWins) {
  corelib::SetDriverConfigDirectory(scratch_.path());
  EXPECT_EQ(scratch_.path(), corelib::DriverConfigDirectory());
  ASSERT_TRUE(corelib::WriteDriverConfigFile("hmd.json", "{\r\n}"));
  EXPECT_EQ("{\r\n}", Slurp(scratch_.Sub("hmd.json")));
  EXPECT_EQ("{\n}", corelib::ReadDriverConfigFile("hmd.json"));
  EXPECT_EQ("", corelib::ReadDriverConfigFile("missing.json"));
}

TEST_F(DriverConfigDirectoryTest, AncestorNamedOpenRigInAnyCase) {
  const std::string root = scratch_.MakeDirs("oPENrIG");
  ScopedChdir in(scratch_.MakeDirs("oPENrIG/build/bin"));
  ASSERT_TRUE(in.ok());
  EXPECT_EQ(root + "/drivers/vantage", corelib::DriverConfigDirectory());
}

TEST_F(DriverConfigDirectoryTest, OpenRigBeforeSecondName) {
  const std::string root = scratch_.MakeDirs("MainZoreduVI/OpenRig");
  ScopedChdir in(scratch_.MakeDirs("MainZoreduVI/OpenRig/x"));
  ASSERT_TRUE(in.ok());
  EXPECT_EQ(root + "/drivers/vantage", corelib::DriverConfigDirectory());
}

TEST_F(DriverConfigDirectoryTest, SecondAncestorName) {
  const std::string root = scratch_.MakeDirs("mainzoreduvi");
  ScopedChdir in(scratch_.MakeDirs("mainzoreduvi/x"));
  ASSERT_TRUE(in.ok());
  EXPECT_EQ(root + "/drivers/vantage", corelib::DriverConfigDirectory());
}

TEST_F(DriverConfigDirectoryTest, VantageDirectoryAboveTheWorkingDirectory) {
  if (!corelib::RuntimeDirectory().empty()) GTEST_SKIP() << "a runtime directory is above the tests";
  const std::string vantage = scratch_.MakeDirs("vantage");
  ScopedChdir in(scratch_.MakeDirs("work/here"));
  ASSERT_TRUE(in.ok());
  EXPECT_EQ(vantage, corelib::DriverConfigDirectory());
}

TEST_F(DriverConfigDirectoryTest, RelativeFallbackWhenNothingIsFound) {
  if (!corelib::RuntimeDirectory().empty()) GTEST_SKIP() << "a runtime directory is above the tests";
  // A plain file named vantage does not count.
  scratch_.Put("vantage", "");
  ScopedChdir in(scratch_.MakeDirs("work"));
  ASSERT_TRUE(in.ok());
  EXPECT_EQ("drivers/vantage", corelib::DriverConfigDirectory());
}

}  // namespace
