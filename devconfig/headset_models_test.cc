// The headset model table: lookups by maker and model name, display names.
#include "devconfig/headset_models.h"

#include <gtest/gtest.h>

TEST(HeadsetModelsTest, AbsentTextsAreUnknown) {
  EXPECT_EQ(kHeadsetModelUnknown, HeadsetModelFromNames(nullptr, "PO Frame"));
  EXPECT_EQ(kHeadsetModelUnknown, HeadsetModelFromNames("Placeholder Optics", nullptr));
  EXPECT_EQ(kHeadsetModelUnknown, HeadsetModelFromNames(nullptr, nullptr));
}

TEST(HeadsetModelsTest, UnknownMakerIsUnknown) {
  EXPECT_EQ(kHeadsetModelUnknown, HeadsetModelFromNames("Nobody", "PO Frame"));
  EXPECT_EQ(kHeadsetModelUnknown, HeadsetModelFromNames("", ""));
}

TEST(HeadsetModelsTest, FirstMakerLists) {
  EXPECT_EQ(2u, HeadsetModelFromNames("Placeholder Optics", "PO Frame"));
  EXPECT_EQ(2u, HeadsetModelFromNames("PLACEHOLDER OPTICS", "po frame dev kit"));
  EXPECT_EQ(3u, HeadsetModelFromNames("Placeholder Optics", "PO Vista"));
  EXPECT_EQ(3u, HeadsetModelFromNames("placeholder optics", "PO VISTA STUDIO"));
  EXPECT_EQ(7u, HeadsetModelFromNames("Placeholder Optics", "po horizon one"));
}

TEST(HeadsetModelsTest, FirstMakerMarkersAreCaseSensitive) {
  // Outside the lists: no first marker gives 9.
  EXPECT_EQ(9u, HeadsetModelFromNames("Placeholder Optics", "Something Else"));
  // First marker without the second gives 9, with it 7.
  EXPECT_EQ(9u, HeadsetModelFromNames("Placeholder Optics", "Horizon Mk"));
  EXPECT_EQ(7u, HeadsetModelFromNames("Placeholder Optics", "Horizon Gen 3"));
  // The markers, unlike the list names, are compared with case.
  EXPECT_EQ(9u, HeadsetModelFromNames("Placeholder Optics", "horizon Gen 3"));
  EXPECT_EQ(9u, HeadsetModelFromNames("Placeholder Optics", "Horizon gen 3"));
}

TEST(HeadsetModelsTest, SecondMakerLists) {
  EXPECT_EQ(4u, HeadsetModelFromNames("Sample Visual Works", "SVW Lumen"));
  EXPECT_EQ(5u, HeadsetModelFromNames("sample visual works", "svw prism go"));
  EXPECT_EQ(8u, HeadsetModelFromNames("Sample Visual Works", "SVW Aperture One"));
  EXPECT_EQ(8u, HeadsetModelFromNames("Sample Visual Works", "SVW Aperture"));
  EXPECT_EQ(6u, HeadsetModelFromNames("Sample Visual Works", "Anything"));
  EXPECT_EQ(6u, HeadsetModelFromNames("Sample Visual Works", ""));
}

TEST(HeadsetModelsTest, ThirdMaker) {
  EXPECT_EQ(10u, HeadsetModelFromNames("Example Display Labs", "EDL Beacon Viewer"));
  EXPECT_EQ(10u, HeadsetModelFromNames("EXAMPLE DISPLAY LABS", "edl beacon viewer"));
  EXPECT_EQ(kHeadsetModelUnknown, HeadsetModelFromNames("Example Display Labs", "EDL Other"));
}

TEST(HeadsetModelsTest, DisplayNames) {
  EXPECT_STREQ("Invalid", HeadsetModelDisplayName(0));
  EXPECT_STREQ("Unknown", HeadsetModelDisplayName(1));
  for (HeadsetModel model = 2; model <= 10; ++model) {
    if (model == 9) continue;
    const std::string name = HeadsetModelDisplayName(model);
    EXPECT_FALSE(name.empty()) << model;
    EXPECT_NE("?", name) << model;
    EXPECT_NE("Unknown", name) << model;
  }
  EXPECT_STREQ("?", HeadsetModelDisplayName(9));
  EXPECT_STREQ("?", HeadsetModelDisplayName(11));
  EXPECT_STREQ("?", HeadsetModelDisplayName(0xFFFFFFFFu));
}
