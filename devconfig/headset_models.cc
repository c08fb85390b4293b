#include "devconfig/headset_models.h"

#include <strings.h>

#include <cstring>

// The rows are placeholders of our own; only the shape of the table (three
// makers, the list sizes and the model numbers) is fixed.
namespace {

const char* const kMakerNames[] = {"Placeholder Optics", "Sample Visual Works", "Example Display Labs"};

// First maker.
const char* const kMakerOneModel2[] = {"PO Frame", "PO Frame Dev Kit"};
const char* const kMakerOneModel3[] = {"PO Vista",      "PO Vista Pro",   "PO Vista Lite", "PO Vista S",
                                       "PO Vista X",    "PO Vista Plus",  "PO Vista Mini", "PO Vista 2",
                                       "PO Vista 2 S", "PO Vista Studio"};
const char* const kMakerOneModel7[] = {"PO Horizon",     "PO Horizon S",    "PO Horizon Pro", "PO Horizon Air",
                                       "PO Horizon Lab", "PO Horizon Wide", "PO Horizon One"};
// Names outside the lists: without the first marker they are model 9; with
// it, model 7 when they also carry the second marker. Case-sensitive.
const char kMakerOneFirstMarker[] = "Horizon";
const char kMakerOneSecondMarker[] = "Gen";

// Second maker.
const char* const kMakerTwoModel4[] = {"SVW Lumen"};
const char* const kMakerTwoModel5[] = {"SVW Prism", "SVW Prism S", "SVW Prism Pro", "SVW Prism Edu",
                                       "SVW Prism Go"};
const char* const kMakerTwoModel8[] = {"SVW Aperture",     "SVW Aperture S",    "SVW Aperture Pro",
                                       "SVW Aperture X",   "SVW Aperture Lite", "SVW Aperture Max",
                                       "SVW Aperture Dev", "SVW Aperture Edu",  "SVW Aperture Field",
                                       "SVW Aperture Lab", "SVW Aperture One"};

// Third maker.
const char* const kMakerThreeModel10[] = {"EDL Beacon Viewer"};

const char* const kDisplayNames[] = {
    "Invalid",                       // 0
    "Unknown",                       // 1
    "Placeholder Optics Frame",      // 2
    "Placeholder Optics Vista",      // 3
    "Sample Visual Works Lumen",     // 4
    "Sample Visual Works Prism",     // 5
    "Sample Visual Works Headset",   // 6
    "Placeholder Optics Horizon",    // 7
    "Sample Visual Works Aperture",  // 8
    "?",                             // 9: no display name
    "Example Display Labs Viewer",   // 10
};

// The list sizes are part of the table's shape.
static_assert(sizeof(kMakerOneModel2) / sizeof(char*) == 2, "first maker, model 2");
static_assert(sizeof(kMakerOneModel3) / sizeof(char*) == 10, "first maker, model 3");
static_assert(sizeof(kMakerOneModel7) / sizeof(char*) == 7, "first maker, model 7");
static_assert(sizeof(kMakerTwoModel4) / sizeof(char*) == 1, "second maker, model 4");
static_assert(sizeof(kMakerTwoModel5) / sizeof(char*) == 5, "second maker, model 5");
static_assert(sizeof(kMakerTwoModel8) / sizeof(char*) == 11, "second maker, model 8");
static_assert(sizeof(kMakerThreeModel10) / sizeof(char*) == 1, "third maker, model 10");
static_assert(sizeof(kDisplayNames) / sizeof(char*) == kHeadsetModelLast + 1, "display names");

template <size_t N>
bool InList(const char* name, const char* const (&list)[N]) {
  for (const char* entry : list) {
    if (strcasecmp(name, entry) == 0) return true;
  }
  return false;
}

}  // namespace

HeadsetModel HeadsetModelFromNames(const char* manufacturer, const char* modelName) {
  if (manufacturer == nullptr || modelName == nullptr) return kHeadsetModelUnknown;
  if (strcasecmp(manufacturer, kMakerNames[0]) == 0) {
    if (InList(modelName, kMakerOneModel2)) return 2;
    if (InList(modelName, kMakerOneModel3)) return 3;
    if (InList(modelName, kMakerOneModel7)) return 7;
    if (strstr(modelName, kMakerOneFirstMarker) == nullptr) return 9;
    return strstr(modelName, kMakerOneSecondMarker) != nullptr ? 7 : 9;
  }
  if (strcasecmp(manufacturer, kMakerNames[1]) == 0) {
    if (InList(modelName, kMakerTwoModel4)) return 4;
    if (InList(modelName, kMakerTwoModel5)) return 5;
    if (InList(modelName, kMakerTwoModel8)) return 8;
    return 6;
  }
  if (strcasecmp(manufacturer, kMakerNames[2]) == 0) {
    return InList(modelName, kMakerThreeModel10) ? 10 : kHeadsetModelUnknown;
  }
  return kHeadsetModelUnknown;
}

const char* HeadsetModelDisplayName(HeadsetModel model) {
  if (model > kHeadsetModelLast) return "?";
  return kDisplayNames[model];
}
