// Explains, on the diagnostic channel, why a listed headset would not open
// when the cause is a missing access right.
#pragma once

#include <cstdint>
#include <string>

namespace vantage {

// The udev rule, installed with the tool, that gives the logged-in user
// access to the headset's hidraw nodes.
extern const char kHeadsetUdevRuleName[];

// Whether an error text of the HID library says that access was refused.
bool IsPermissionDeniedText(const std::wstring& hidError);

// Call right after an open of the headset failed: when the HID library's
// last error says access was refused, sends a message naming the udev rule
// through DebugPrintf and returns true.
bool ReportOpenPermissionProblem(uint32_t productId, const std::string& serial);

}  // namespace vantage
