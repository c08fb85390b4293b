#include "tool/progress.h"

#include <cstdarg>

void PrintProgress(const Progress& progress, const char* format, ...) {
  if (progress.quiet) return;
  va_list args;
  va_start(args, format);
  vfprintf(progress.out, format, args);
  va_end(args);
}
