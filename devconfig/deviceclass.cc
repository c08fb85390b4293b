#include "devconfig/deviceclass.h"

#include <strings.h>

#include <cstring>

namespace {

struct ClassName {
  TrackedDeviceClass value;
  const char* text;
};

// Lookup order matters only for the first match; the texts are distinct.
const ClassName kClassNames[] = {
    {TrackedDeviceClass::HMD, "hmd"},
    {TrackedDeviceClass::Controller, "controller"},
    {TrackedDeviceClass::GenericTracker, "generic_tracker"},
    {TrackedDeviceClass::TrackingReference, "tracking_reference"},
};

}  // namespace

TrackedDeviceClass DeviceClassFromName(const std::string& name) {
  for (const ClassName& entry : kClassNames) {
    if (strcasecmp(name.c_str(), entry.text) == 0 && name.size() == strlen(entry.text))
      return entry.value;
  }
  return TrackedDeviceClass::Unknown;
}

const char* DeviceClassName(TrackedDeviceClass deviceClass) {
  for (const ClassName& entry : kClassNames) {
    if (entry.value == deviceClass) return entry.text;
  }
  return "unknown";
}
