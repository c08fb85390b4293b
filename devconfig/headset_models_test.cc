// The headset model table: lookups by maker and model name, display names.
#include "devconfig/headset_models.h"

#include <gtest/gtest.h>

#include <string>

TEST(HeadsetModelsTest, LookupsAndDisplayNames) {
  const struct { const char *maker, *model; HeadsetModel expected; } rows[] = {
      {nullptr, "PO Frame", 1}, {"Placeholder Optics", nullptr, 1}, {"Nobody", "PO Frame", 1},
      {"PLACEHOLDER OPTICS", "po frame dev kit", 2}, {"placeholder optics", "PO VISTA STUDIO", 3},
      {"Placeholder Optics", "po horizon one", 7}, {"Sample Visual Works", "SVW Lumen", 4},
      {"sample visual works", "svw prism go", 5}, {"Sample Visual Works", "SVW Aperture", 8},
      {"Sample Visual Works", "", 6}, {"EXAMPLE DISPLAY LABS", "edl beacon viewer", 10},
      {"Example Display Labs", "EDL Other", 1},
      // Outside the lists two markers decide, compared with case.
      {"Placeholder Optics", "Something Else", 9}, {"Placeholder Optics", "Horizon Mk", 9},
      {"Placeholder Optics", "Horizon Gen 3", 7}, {"Placeholder Optics", "horizon Gen 3", 9},
      {"Placeholder Optics", "Horizon gen 3", 9}};
  for (const auto& r : rows) EXPECT_EQ(r.expected, HeadsetModelFromNames(r.maker, r.model)) << r.expected;
  EXPECT_STREQ("Invalid", HeadsetModelDisplayName(0));
  EXPECT_STREQ("Unknown", HeadsetModelDisplayName(1));
  for (HeadsetModel model : {2u, 3u, 4u, 5u, 6u, 7u, 8u, 10u}) {
    const std::string name = HeadsetModelDisplayName(model);
    EXPECT_TRUE(name != "" && name != "?" && name != "Unknown") << model;
  }
  for (HeadsetModel model : {9u, 11u, 0xFFFFFFFFu}) EXPECT_STREQ("?", HeadsetModelDisplayName(model)) << model;
}
