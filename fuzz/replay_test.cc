// Replays every committed fuzz input through its harness: the seed corpus
// (fuzz/corpus/<harness>/) and the inputs that once broke something
// (fuzz/regressions/<harness>/), so that the normal build keeps them fixed.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_harnesses.h"

namespace {

using Harness = bool (*)(const uint8_t*, size_t);

std::vector<std::string> FilesIn(const std::string& directory) {
  std::vector<std::string> files;
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr)
    return files;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.empty() || name[0] == '.' || name == "README.md")
      continue;
    files.push_back(directory + "/" + name);
  }
  closedir(dir);
  std::sort(files.begin(), files.end());
  return files;
}

// Returns how many files ran.
size_t Replay(const std::string& harness, Harness run) {
  size_t count = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    for (const std::string& path : FilesIn(std::string(SB_SOURCE_DIR) + "/fuzz/" + kind + "/" + harness)) {
      std::ifstream in(path, std::ios::binary);
      EXPECT_TRUE(in.good()) << path;
      const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      EXPECT_TRUE(run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << path;
      ++count;
    }
  }
  return count;
}

TEST(FuzzReplay, Document) { EXPECT_GT(Replay("document", fuzz_document::FuzzOne), 0u); }
TEST(FuzzReplay, CommandLine) { EXPECT_GT(Replay("cmdline", fuzz_cmdline::FuzzOne), 0u); }
TEST(FuzzReplay, DeviceRead) { EXPECT_GT(Replay("device_read", fuzz_device_read::FuzzOne), 0u); }
TEST(FuzzReplay, TypedValue) { EXPECT_GT(Replay("typed_value", fuzz_typed_value::FuzzOne), 0u); }

}  // namespace
