// The computed serial: an MD5 digest over a device's channel map and sensor
// positions, so that devices with the same optical layout share one value.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A position or direction in the device's own frame, single precision.
struct SensorVector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// The exact bytes that are hashed: the entry count and the entries of the
// channel map, then the point count and each point's x, y, z as IEEE-754
// floats; all little-endian.
std::vector<uint8_t> ModelPointsHashInput(const std::vector<int32_t>& channelMap,
                                          const std::vector<SensorVector3>& modelPoints);

// MD5 of ModelPointsHashInput as 32 lower-case hexadecimal digits.
std::string ComputeModelPointsHash(const std::vector<int32_t>& channelMap,
                                   const std::vector<SensorVector3>& modelPoints);
