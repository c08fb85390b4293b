// Progress messages of the run's steps, which quiet mode leaves out so that
// scripts find only the facts they asked for on standard output.
#pragma once

#include <cstdio>

struct Progress {
  FILE* out;
  bool quiet;
};

// printf to progress.out, or nothing in quiet mode.
void PrintProgress(const Progress& progress, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
