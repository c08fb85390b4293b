// Test helpers: a scratch directory removed at the end, and whole-file reads.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace corelib_test {

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/sbtest-XXXXXX";
    std::error_code error;  // resolved, to compare with what getcwd reports
    if (mkdtemp(pattern) != nullptr) path_ = std::filesystem::canonical(pattern, error).string();
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string Sub(const std::string& name) const { return path_ + "/" + name; }
  size_t Entries() const { return std::distance(std::filesystem::directory_iterator(path_), {}); }
  std::string MakeDirs(const std::string& name) const {
    std::filesystem::create_directories(Sub(name));
    return Sub(name);
  }
  std::string Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Sub(name), std::ios::binary) << bytes;
    return Sub(name);
  }

 private:
  std::string path_;
};

}  // namespace corelib_test
