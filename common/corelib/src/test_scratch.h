// File-system test helpers: a scratch directory and a working-directory
// change, both undone at the end, and a limit that makes writes fail.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace corelib_test {

class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/sbcorelib-XXXXXX";
    // getcwd reports resolved paths, so keep the resolved form to compare.
    std::error_code error;
    if (mkdtemp(pattern) != nullptr) path_ = std::filesystem::canonical(pattern, error).string();
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

  const std::string& path() const { return path_; }
  std::string Sub(const std::string& name) const { return path_ + "/" + name; }
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

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Changes the working directory and restores it on destruction, even when
// the directory it started from has since been renamed or removed.
class ScopedChdir {
 public:
  explicit ScopedChdir(const std::string& to)
      : saved_(open(".", O_RDONLY | O_DIRECTORY)), ok_(chdir(to.c_str()) == 0) {}
  ~ScopedChdir() {
    if (saved_ >= 0 && (fchdir(saved_) != 0 || close(saved_) != 0)) abort();
  }
  bool ok() const { return ok_; }

 private:
  int saved_;
  bool ok_;
};

// Writes past the limit fail with EFBIG (SIGXFSZ ignored meanwhile).
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) : savedHandler_(signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~ScopedFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, savedHandler_);
  }

 private:
  rlimit saved_;
  sighandler_t savedHandler_;
};

}  // namespace corelib_test
