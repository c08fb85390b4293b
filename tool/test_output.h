// Test helper: a FILE* whose text the test reads back.
#pragma once

#include <stdio.h>
#include <stdlib.h>

#include <string>

namespace tool_test {

class CapturedOutput {
 public:
  CapturedOutput() : file_(open_memstream(&buffer_, &size_)) {}
  ~CapturedOutput() {
    if (file_ != nullptr) fclose(file_);
    free(buffer_);
  }

  FILE* file() const { return file_; }
  std::string text() {
    fflush(file_);
    return std::string(buffer_ != nullptr ? buffer_ : "", size_);
  }

 private:
  char* buffer_ = nullptr;
  size_t size_ = 0;
  FILE* file_;
};

}  // namespace tool_test
