#include "tool/device_backup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "corelib/src/test_scratch.h"

namespace {

using corelib_test::ScratchDir;
using corelib_test::ScopedChdir;
using corelib_test::Slurp;

std::vector<std::string> Entries(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(BackupFileNameTest, PlainSerialAndCounter) {
  EXPECT_EQ("ABC123-0.json", BackupFileName("ABC123", 0));
  EXPECT_EQ("SBH-2417-0042-17.json", BackupFileName("SBH-2417-0042", 17));
  EXPECT_EQ("a.b_c-99.json", BackupFileName("a.b_c", 99));
}

// A headset without a serial number is listed under its device path; any
// character a device reports must end up inside the working directory.
TEST(BackupFileNameTest, EveryOtherCharacterBecomesUnderscore) {
  EXPECT_EQ("_dev_hidraw3", BackupFileStem("/dev/hidraw3"));
  EXPECT_EQ(".._.._etc_passwd", BackupFileStem("../../etc/passwd"));
  EXPECT_EQ("__server_share", BackupFileStem("\\\\server\\share"));
  EXPECT_EQ("sim_hmd1_0", BackupFileStem("sim:hmd1:0"));
  EXPECT_EQ("a_b_c__x__", BackupFileStem("a b\tc$(x)*"));
  EXPECT_EQ("_____", BackupFileStem("\xc3\xa9\xe2\x82\xac"));  // one byte, one underscore
  EXPECT_EQ("x_y", BackupFileStem(std::string("x\0y", 3)));
  EXPECT_EQ("", BackupFileStem(""));
}

TEST(WriteBackupFileTest, FirstFreeCounterTakesTheTextUnchanged) {
  ScratchDir scratch;
  for (int i = 0; i < 5; ++i) scratch.Put(BackupFileName("S1", i), "old " + std::to_string(i));
  const std::string text("{ \"a\" : 1 }\r\n\0tail", 17);
  std::string name, error;
  ASSERT_EQ(BackupResult::kWritten, WriteBackupFile(scratch.path(), "S1", text, &name, &error));
  EXPECT_EQ("S1-5.json", name);
  EXPECT_EQ(text, Slurp(scratch.Sub("S1-5.json")));
  for (int i = 0; i < 5; ++i) EXPECT_EQ("old " + std::to_string(i), Slurp(scratch.Sub(BackupFileName("S1", i))));
  EXPECT_EQ(6u, Entries(scratch.path()).size());  // no temporary file left
}

TEST(WriteBackupFileTest, EmptyDirectoryMeansTheWorkingDirectory) {
  ScratchDir scratch;
  ScopedChdir in(scratch.path());
  ASSERT_TRUE(in.ok());
  std::string name, error;
  ASSERT_EQ(BackupResult::kWritten, WriteBackupFile("", "/dev/hidraw0", "x", &name, &error));
  EXPECT_EQ("_dev_hidraw0-0.json", name);
  EXPECT_EQ(std::vector<std::string>{"_dev_hidraw0-0.json"}, Entries(scratch.path()));
}

TEST(WriteBackupFileTest, AllNamesTakenOverwritesNothing) {
  ScratchDir scratch;
  for (int i = 0; i < kBackupCounterLimit; ++i) scratch.Put(BackupFileName("S", i), "kept");
  std::string name, error;
  EXPECT_EQ(BackupResult::kAllNamesTaken, WriteBackupFile(scratch.path(), "S", "new", &name, &error));
  EXPECT_EQ("kept", Slurp(scratch.Sub("S-99.json")));
  EXPECT_EQ(static_cast<size_t>(kBackupCounterLimit), Entries(scratch.path()).size());
}

// A dangling link does not count as existing for a stat, but writing
// through it would put the backup somewhere else.
TEST(WriteBackupFileTest, DanglingLinkIsSkippedNotFollowed) {
  ScratchDir scratch;
  ASSERT_EQ(0, symlink(scratch.Sub("elsewhere").c_str(), scratch.Sub("S-0.json").c_str()));
  std::string name, error;
  ASSERT_EQ(BackupResult::kWritten, WriteBackupFile(scratch.path(), "S", "new", &name, &error));
  EXPECT_EQ("S-1.json", name);
  EXPECT_FALSE(std::filesystem::exists(scratch.Sub("elsewhere")));
  EXPECT_EQ("new", Slurp(scratch.Sub("S-1.json")));
}

TEST(WriteBackupFileTest, UnwritableDirectoryFailsWithReason) {
  ScratchDir scratch;
  std::string name, error;
  EXPECT_EQ(BackupResult::kWriteFailed,
            WriteBackupFile(scratch.Sub("missing"), "S", "text", &name, &error));
  EXPECT_EQ("S-0.json", name);
  EXPECT_NE(std::string::npos, error.find("No such file or directory")) << error;
}

TEST(WriteBackupFileTest, ShortWriteLeavesNoFileBehind) {
  ScratchDir scratch;
  std::string name, error;
  BackupResult result;
  {
    corelib_test::ScopedFileSizeLimit limit(10);
    result = WriteBackupFile(scratch.path(), "S", std::string(100, 'x'), &name, &error);
  }
  EXPECT_EQ(BackupResult::kWriteFailed, result);
  EXPECT_EQ("S-0.json", name);
  EXPECT_NE(std::string::npos, error.find("File too large")) << error;
  EXPECT_TRUE(Entries(scratch.path()).empty());
}

}  // namespace
