#include "devconfig/computed_serial.h"

#include <md5.h>

#include <cstdio>
#include <cstring>

namespace {

// Written byte by byte so the result does not depend on the host's order.
void AppendUint32(std::vector<uint8_t>* bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    bytes->push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t FloatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

std::vector<uint8_t> ModelPointsHashInput(const std::vector<int32_t>& channelMap,
                                          const std::vector<SensorVector3>& modelPoints) {
  std::vector<uint8_t> bytes;
  bytes.reserve(8 + 4 * channelMap.size() + 12 * modelPoints.size());
  AppendUint32(&bytes, static_cast<uint32_t>(channelMap.size()));
  for (int32_t channel : channelMap)
    AppendUint32(&bytes, static_cast<uint32_t>(channel));
  AppendUint32(&bytes, static_cast<uint32_t>(modelPoints.size()));
  for (const SensorVector3& point : modelPoints) {
    AppendUint32(&bytes, FloatBits(point.x));
    AppendUint32(&bytes, FloatBits(point.y));
    AppendUint32(&bytes, FloatBits(point.z));
  }
  return bytes;
}

std::string ComputeModelPointsHash(const std::vector<int32_t>& channelMap,
                                   const std::vector<SensorVector3>& modelPoints) {
  const std::vector<uint8_t> bytes = ModelPointsHashInput(channelMap, modelPoints);
  MD5_CTX context;
  MD5Init(&context);
  MD5Update(&context, bytes.data(), bytes.size());
  uint8_t digest[MD5_DIGEST_LENGTH];
  MD5Final(digest, &context);

  std::string text;
  for (uint8_t byte : digest) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", byte);
    text += hex;
  }
  return text;
}
