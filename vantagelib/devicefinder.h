// Chooses the single connected headset and opens it.
#pragma once

#include <cstdint>

namespace vantage {

class CHidDevice;

// Opens the one supported headset. Prints its two failure messages to
// standard output unless quiet; false when none or several are connected.
// A headset that refuses access is named, with the udev rule, through
// DebugPrintf whatever `quiet` says.
bool FindConnectedDevice(CHidDevice* device, bool quiet);

// Whether a product id of the headset vendor is one this tool supports.
bool IsSupportedHeadsetProduct(uint32_t productId);

}  // namespace vantage
