// Diagnostic output of the device library. Messages go to the registered
// output functions; while the first slot is empty they also go to the
// system log, copied to standard error. Never to standard output.
#pragma once

#include <cstddef>

namespace vantage {

typedef void (*DebugOutputFunction)(const char* text);

constexpr int kDebugOutputSlots = 8;
// Formatted messages are cut to this size minus the terminating zero.
constexpr size_t kDebugPrintfBufferSize = 2048;

void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Stores the function in the first free slot (once only); false when full.
bool RegisterDebugOutputFunction(DebugOutputFunction function);
// Empties the first slot holding it; false when none did.
bool UnregisterDebugOutputFunction(DebugOutputFunction function);

}  // namespace vantage
