// Backup names and the no-replace write. The counter and the all-names-taken stop run through the binary
// (tests/cases/device.t), a failed or short write in the file-system faults (tests/e2e/fs_faults_test.sh).
#include "tool/device_backup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "corelib/src/test_scratch.h"

namespace {

using corelib_test::ScratchDir;
using corelib_test::Slurp;

// A headset without a serial number is listed under its device path; any
// character a device reports must end up inside the working directory.
TEST(BackupFileNameTest, EveryOtherCharacterBecomesUnderscore) {
  const std::pair<std::string, const char*> cases[] = {
      {"SBH-2417.0042_a", "SBH-2417.0042_a-7.json"}, {"../../etc/passwd", ".._.._etc_passwd-7.json"},
      {"\\\\server\\share", "__server_share-7.json"}, {"a b\tc$(x)*", "a_b_c__x__-7.json"},
      {"\xc3\xa9\xe2\x82\xac", "_____-7.json"},      {std::string("x\0y", 3), "x_y-7.json"},
  };
  for (const auto& [serial, name] : cases) EXPECT_EQ(name, BackupFileName(serial, 7)) << serial;
}

TEST(WriteBackupFileTest, FirstFreeNameTakesTheTextUnchanged) {
  ScratchDir scratch;
  scratch.Put("S-0.json", "old");
  // A dangling link does not exist for a stat, but writing through it would put the backup somewhere else.
  ASSERT_EQ(0, symlink(scratch.Sub("elsewhere").c_str(), scratch.Sub("S-1.json").c_str()));
  const std::string text("{ \"a\" : 1 }\r\n\0tail", 17);
  std::string name, error;
  ASSERT_EQ(BackupResult::kWritten, WriteBackupFile(scratch.path(), "S", text, &name, &error)) << error;
  EXPECT_EQ("S-2.json", name);
  EXPECT_EQ(text, Slurp(scratch.Sub("S-2.json")));
  EXPECT_EQ("old", Slurp(scratch.Sub("S-0.json")));
  EXPECT_FALSE(std::filesystem::exists(scratch.Sub("elsewhere")));
  EXPECT_EQ(3u, scratch.Entries());  // no temporary left
}

}  // namespace
