// Headset model numbers by manufacturer and model name, and their display
// names. Not consulted by the command-line tool; kept with the device class
// because hosts of the library identify headsets by it.
#pragma once

#include <cstdint>

// 0 invalid, 1 unknown, 2 to 10 specific headset models.
typedef uint32_t HeadsetModel;
const HeadsetModel kHeadsetModelInvalid = 0;
const HeadsetModel kHeadsetModelUnknown = 1;
const HeadsetModel kHeadsetModelLast = 10;

// A null text counts as absent and gives kHeadsetModelUnknown.
HeadsetModel HeadsetModelFromNames(const char* manufacturer, const char* modelName);
// "Invalid" for 0, "Unknown" for 1, "?" for 9 and for values above 10.
const char* HeadsetModelDisplayName(HeadsetModel model);
