#include "corelib/src/pathtools.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "corelib/src/test_scratch.h"

namespace {

using namespace corelib;
using corelib_test::ScopedChdir;
using corelib_test::ScratchDir;
using corelib_test::Slurp;

TEST(PathToolsTest, TempAndWorkingDirectory) {
  const char* tmpdir = getenv("TMPDIR");
  const std::string saved = tmpdir != nullptr ? tmpdir : "";
  setenv("TMPDIR", "", 1);
  EXPECT_EQ("", TempDirectory());  // set, even if empty, wins
  unsetenv("TMPDIR");
  EXPECT_EQ("/tmp", TempDirectory());
  if (tmpdir != nullptr) setenv("TMPDIR", saved.c_str(), 1);
  // Too long for the 1024-byte buffer: empty, not a cut-off path.
  ScratchDir scratch;
  std::string deep = scratch.path();
  while (deep.size() < 1100) deep += "/" + std::string(200, 'd');
  std::filesystem::create_directories(deep);
  ScopedChdir in(deep);
  ASSERT_TRUE(in.ok());
  EXPECT_EQ("", CurrentDirectory());
}

TEST(PathToolsTest, PathText) {
  const std::pair<std::string, std::string> cases[] = {
      {JoinPath("/tmp/", "configtool.json"), "/tmp/configtool.json"},
      {JoinPath("", "configtool.json"), "configtool.json"},
      {JoinPath("/tmp//", "x"), "/tmp//x"},
      {JoinPath("a\\", "b"), "a/b"},
      {DirName("/a/b/c.json"), "/a/b"},
      {DirName("/a"), ""},
      {BaseName("c:\\a\\b", '\\'), "b"},
      {NormalizeSlashes("a/b\\c/", '\\'), "a\\b\\c\\"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].second, cases[i].first) << "case " << i;
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(IsDirectory("/tmp/"));
  EXPECT_TRUE(IsDirectory("/"));
}

TEST(PathToolsTest, ReadWholeFiles) {
  ScratchDir scratch;
  std::string bytes(200000, 'x');  // more than one read chunk
  bytes.replace(123456, 6, std::string("a\0b\r\n\xff", 6));
  std::vector<char> read;
  ASSERT_TRUE(ReadFileBytes(scratch.Put("bin", bytes), &read));
  EXPECT_EQ(bytes, std::string(read.begin(), read.end()));
  // Files under /proc report a size of zero.
  ASSERT_TRUE(ReadFileBytes("/proc/self/status", &read));
  EXPECT_FALSE(ReadFileBytes(scratch.Put("empty", ""), &read));
  EXPECT_TRUE(read.empty());
  const std::pair<const char*, const char*> texts[] = {
      {"\xef\xbb\xbf", ""}, {"\r\r\n", "\r\n"}, {"\xef\xbb\xbf{\r\n}\r", "{\n}\r"}, {"x\xef\xbb\xbf", "x\xef\xbb\xbf"}};
  for (const auto& t : texts) EXPECT_EQ(t.second, ReadTextFile(scratch.Put("t", t.first))) << t.first;
  EXPECT_EQ("", ReadTextFile(scratch.Sub("missing")));
}

// A pipe has no size to go by: the read grows its buffer to the end. A
// large text has its line ends converted all through.
TEST(PathToolsTest, ReadWholeFilesWithoutAKnownSizeOrLong) {
  ScratchDir scratch;
  const std::string fifo = scratch.Sub("fifo");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  std::string bytes(300000, 'p');
  bytes[299999] = 'q';
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << bytes; });
  std::vector<char> read;
  const bool ok = ReadFileBytes(fifo, &read);
  writer.join();
  ASSERT_TRUE(ok);
  EXPECT_EQ(bytes, std::string(read.begin(), read.end()));

  std::string crlf = "\xef\xbb\xbf";
  std::string lf;
  for (int i = 0; i < 20000; ++i) {
    crlf += "line\r\n";
    lf += "line\n";
  }
  crlf += "end\r";
  lf += "end\r";
  EXPECT_EQ(lf, ReadTextFile(scratch.Put("crlf", crlf)));
  EXPECT_EQ(lf, ReadTextFile(scratch.Put("lf", lf)));
}

TEST(PathToolsTest, WritesReportEveryFailure) {
  ScratchDir scratch;
  const std::string path = scratch.Put("out.json", "a much longer previous content\n");
  ASSERT_TRUE(WriteTextFile(path, std::string("{}\n\0cut", 7)));  // up to the first zero byte
  EXPECT_EQ("{}\n", Slurp(path));
  EXPECT_FALSE(WriteTextFile("/dev/full", "{}\n"));
  {
    corelib_test::ScopedFileSizeLimit limit(16);
    EXPECT_FALSE(WriteTextFile(scratch.Sub("short"), std::string(100, 'x')));
    EXPECT_FALSE(WriteTextFileAtomic(path, std::string(100, 'n')));
  }
  EXPECT_EQ("{}\n", Slurp(path));
  ASSERT_TRUE(WriteTextFileAtomic(path, "new\n"));
  EXPECT_EQ("new\n", Slurp(path));
  // A non-empty directory cannot be renamed over.
  const std::string dir = scratch.MakeDirs("dir");
  scratch.Put("dir/keep", "k");
  EXPECT_FALSE(WriteTextFileAtomic(dir, "{}"));
  EXPECT_EQ("k", Slurp(dir + "/keep"));
  EXPECT_FALSE(FileExists(path + ".tmp") || FileExists(dir + ".tmp"));
}

TEST(PathToolsTest, UpwardAndAncestorSearchesEnd) {
  ScratchDir scratch;
  const std::string root = scratch.MakeDirs("OpEnRiG");
  scratch.MakeDirs("OpEnRiG/b/runtime");
  const std::string exe = scratch.Put("OpEnRiG/b/tool", "");
  EXPECT_EQ(root + "/b/runtime", FindUpward(exe, "runtime"));
  EXPECT_EQ("", FindUpward(root + "/b", "runtime"));  // next to the start, not inside it
  EXPECT_EQ("/tmp", FindUpward("/tmp", "tmp"));
  EXPECT_EQ(root, FindAncestorNamed(root + "\\b/missing", "OPENRIG"));
  EXPECT_EQ("", FindAncestorNamed(root + "/b", "OpenRi"));
  // At the top the search looks in "/", never in the working directory;
  // relative starts end.
  ScopedChdir in(scratch.path());
  EXPECT_EQ("", FindUpward("/tmp", "OpEnRiG"));
  EXPECT_EQ("OpEnRiG/b/runtime", FindUpward("OpEnRiG/b/tool", "runtime"));
  EXPECT_EQ("", FindUpward("OpEnRiG", "zz"));
  EXPECT_EQ("OpEnRiG", FindAncestorNamed("OpEnRiG/b", "openrig"));
  EXPECT_EQ("", FindAncestorNamed("OpEnRiG", "zz"));
}

TEST(PathToolsTest, DriverConfigDirectory) {
  ScratchDir scratch;
  SetDriverConfigDirectory(scratch.path());
  EXPECT_TRUE(WriteDriverConfigFile("hmd.json", "{\r\n}"));
  EXPECT_EQ("{\n}", ReadDriverConfigFile("hmd.json"));
  SetDriverConfigDirectory("");
  const std::pair<const char*, const char*> cases[] = {
      {"oPENrIG/build/bin", "oPENrIG"},  // any letter case
      {"MainZoreduVI/OpenRig/x", "MainZoreduVI/OpenRig"},
      {"mainzoreduvi/x", "mainzoreduvi"},
  };
  for (const auto& c : cases) {
    ScopedChdir in(scratch.MakeDirs(c.first));
    EXPECT_EQ(scratch.Sub(c.second) + "/drivers/vantage", DriverConfigDirectory()) << c.first;
  }
  if (!RuntimeDirectory().empty()) GTEST_SKIP() << "a runtime directory is above the tests";
  ScopedChdir in(scratch.MakeDirs("work"));
  scratch.Put("vantage", "");  // a plain file does not count
  EXPECT_EQ("drivers/vantage", DriverConfigDirectory());
  std::filesystem::remove(scratch.Sub("vantage"));
  const std::string vantage = scratch.MakeDirs("vantage");
  EXPECT_EQ(vantage, DriverConfigDirectory());
}

}  // namespace
