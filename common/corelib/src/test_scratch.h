// Test helpers for file-system tests: a scratch directory removed at the end,
// a working-directory change undone at the end, and a file-size limit that
// makes writes fail the way a full disk does.
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
    const char* made = mkdtemp(pattern);
    // getcwd reports resolved paths, so keep the resolved form to compare.
    char resolved[4096];
    path_ = made != nullptr && realpath(made, resolved) != nullptr ? resolved : "";
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

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
// the directory it started from has since been renamed.
class ScopedChdir {
 public:
  explicit ScopedChdir(const std::string& to) : saved_(open(".", O_RDONLY | O_DIRECTORY)) {
    ok_ = chdir(to.c_str()) == 0;
  }
  ~ScopedChdir() {
    if (saved_ >= 0) {
      if (fchdir(saved_) != 0) abort();
      close(saved_);
    }
  }
  ScopedChdir(const ScopedChdir&) = delete;
  ScopedChdir& operator=(const ScopedChdir&) = delete;
  bool ok() const { return ok_; }

 private:
  int saved_;
  bool ok_ = false;
};

// Writes past the limit fail with EFBIG (SIGXFSZ ignored meanwhile).
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    savedHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~ScopedFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, savedHandler_);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  rlimit saved_;
  sighandler_t savedHandler_;
};

// Sets or unsets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = getenv(name);
    hadValue_ = old != nullptr;
    if (hadValue_) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (hadValue_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  bool hadValue_;
  std::string old_;
};

}  // namespace corelib_test
