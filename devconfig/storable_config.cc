#include "devconfig/storable_config.h"

#include <cstdint>
#include <vector>

#include "devconfig/configloader.h"
#include "vantagelib/configtransfer.h"

bool CheckStorableConfig(const TrackedDeviceConfig& model, const std::string& text, std::string* why) {
  std::string error;
  if (!CheckLoadable(model, &error)) {
    *why = "it would not load again: " + error;
    return false;
  }
  if (model.device_class == TrackedDeviceClass::Unknown) {
    *why = "its \"device_class\" is missing or unknown";
    return false;
  }
  std::vector<uint8_t> stream;
  if (!vantage::CompressConfig(text, &stream) || stream.size() > vantage::kConfigReadMaxSize) {
    *why = "it compresses to " + std::to_string(stream.size()) + " bytes, more than the " +
           std::to_string(vantage::kConfigReadMaxSize) + " a headset can give back";
    return false;
  }
  return true;
}

bool CheckStorableConfig(const std::string& text, std::string* why) {
  TrackedDeviceConfig model;
  std::string error;
  if (!LoadFromString(&model, &error, text)) {
    *why = "it would not load again: " + error;
    return false;
  }
  return CheckStorableConfig(model, text, why);
}

bool CheckSameDeviceClass(const TrackedDeviceConfig& model, const std::string& stored, std::string* why) {
  TrackedDeviceConfig held;
  std::string error;
  if (stored.empty() || !LoadFromString(&held, &error, stored) || held.device_class == model.device_class)
    return true;
  *why = std::string("it is a ") + DeviceClassName(model.device_class) + " configuration and the device holds " +
         (held.device_class == TrackedDeviceClass::HMD ? "an " : "a ") + DeviceClassName(held.device_class) +
         " configuration";
  return false;
}
