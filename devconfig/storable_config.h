// The documents that may go to a headset or to the local copy kept for it:
// a plainly wrong one is refused before anything is written, since the
// headset's configuration may be the only copy of its calibration.
#pragma once

#include <string>

#include "devconfig/trackeddeviceconfig.h"

// The document must load back with the tool's own loader, name a known
// device class, and compress to no more than a device read can return.
// Otherwise false, with `why` saying which ("its \"device_class\" is missing
// or unknown", ...), without a line end. `text` is the model as written.
bool CheckStorableConfig(const TrackedDeviceConfig& model, const std::string& text, std::string* why);
// The same for a text alone, loaded first.
bool CheckStorableConfig(const std::string& text, std::string* why);

// A document of one class written over the readable document of another
// class. `stored` is the text the headset holds (empty: it holds none);
// a text that does not load takes any class.
bool CheckSameDeviceClass(const TrackedDeviceConfig& model, const std::string& stored, std::string* why);
