// The sensor model ("skybeacon_config"): where the optical sensors sit on
// the device, which way they face and which hardware channel reports each.
// The format of this block is the same in every document form, so the codec
// takes no format version.
#pragma once

#include <json/json.h>

#include <cstdint>
#include <string>
#include <vector>

#include "devconfig/computed_serial.h"
#include "devconfig/jsonhelpers.h"

struct SensorModel {
  bool present = false;  // only a present model is written
  std::string modelCad;
  std::vector<int32_t> channelMap;    // entry i: channel of model point i
  std::vector<int32_t> channelOrder;  // never holds a negative entry
  std::vector<SensorVector3> modelPoints;
  std::vector<SensorVector3> modelNormals;
  // ComputeModelPointsHash of the channel map and points as last read; it is
  // kept (and copied with the record), never recomputed and never written.
  std::string modelPointsHash;
};

// Fills the record from root's "skybeacon_config" and returns `present`.
// A block without "modelPoints" or "modelNormals" leaves the record not
// present (modelCad is still kept). The caller calls this only when root has
// the member.
bool ReadSensorModel(const Json::Value& root, SensorModel* model);

// The value to store as "skybeacon_config". It is null when nothing is worth
// writing (a present model with no data); the caller stores it anyway and a
// reader then sees the block as absent.
Json::Value WriteSensorModel(const SensorModel& model);

// Bounds of the squared length of a normal that is kept as it is read:
// 0.999^2 and 1.001^2 as single-precision bit patterns (exclusive bounds).
constexpr uint32_t kNormalLength2LowBits = 0x3F7F7CFF;
constexpr uint32_t kNormalLength2HighBits = 0x3F804192;

// A normal as stored on read: scaled to unit length unless its squared
// length lies strictly inside the bounds above. A zero normal stays zero,
// and the result never holds an infinity or NaN.
SensorVector3 RenormalizeModelNormal(SensorVector3 normal);
