// The libFuzzer entry point; SB_FUZZ_ENTRY names the harness (fuzz/CMakeLists.txt).
#include <cstdlib>

#include "fuzz/fuzz_harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A broken invariant is a finding like a crash: abort, so that libFuzzer
  // keeps the input.
  if (!SB_FUZZ_ENTRY(data, size))
    abort();
  return 0;
}
