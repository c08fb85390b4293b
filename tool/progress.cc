#include "tool/progress.h"

#include <cstdarg>
#include <cstdio>

void PrintProgress(bool quiet, const char* format, ...) {
  if (quiet) return;
  va_list args;
  va_start(args, format);
  vprintf(format, args);
  va_end(args);
}

void PrintInEveryMode(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vprintf(format, args);
  va_end(args);
}
