// The kind of tracked device a configuration document describes.
#pragma once

#include <cstdint>
#include <string>

enum class TrackedDeviceClass : int32_t {
  Unknown = 0,
  HMD = 1,
  Controller = 2,
  GenericTracker = 3,
  TrackingReference = 4,
};

// Case-insensitive; anything that is not a class text (the empty text
// included) gives Unknown.
TrackedDeviceClass DeviceClassFromName(const std::string& name);
// Always lower case; values without a text give "unknown".
const char* DeviceClassName(TrackedDeviceClass deviceClass);
