// End-of-run prints: their order, their conditions and the conversions of
// the mfg_build_info value.
#include "tool/prints.h"

#include <gtest/gtest.h>

#include <string>

#include "devconfig/jsonhelpers.h"
#include "tool/test_output.h"

namespace {

std::string Printed(const ToolOptions& options, const TrackedDeviceConfig& config) {
  tool_test::CapturedOutput out;
  PrintEndOfRunFacts(options, config, out.file());
  return out.text();
}

ToolOptions AllPrints(const std::string& key) {
  ToolOptions options;
  options.printSerial = options.printComputedSerial = options.printModelNumber = options.printMfgBuildInfo = true;
  options.printMfgBuildInfoKey = key;
  return options;
}

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

}  // namespace

TEST(PrintsTest, AllFourInTheirOrder) {
  TrackedDeviceConfig config;
  config.device_serial_number = "SB-7";
  config.model_number = "PO Vista";
  config.sensor_model.channelMap = {0};
  config.sensor_model.modelPointsHash = "10d441e9c2c2201f7c842bee47953d8e";
  config.mfg_build_info = Parse("{\"line\": \"A7\"}");
  EXPECT_EQ(
      "serial: SB-7\ncomputedserial: 10d441e9c2c2201f7c842bee47953d8e\nmodelnumber: PO Vista\nmfgbuildinfo: A7\n",
      Printed(AllPrints("line"), config));
}

TEST(PrintsTest, MissingFactsPrintNothingButTheSerialLine) {
  const TrackedDeviceConfig config;
  EXPECT_EQ("serial: \n", Printed(AllPrints("line"), config));
  EXPECT_EQ("", Printed(ToolOptions(), config));
}

TEST(PrintsTest, ComputedSerialNeedsAChannelMap) {
  TrackedDeviceConfig config;
  config.sensor_model.present = true;
  config.sensor_model.modelPointsHash = "7dea362b3fac8e00956a4952a3d4f474";
  ToolOptions options;
  options.printComputedSerial = true;
  EXPECT_EQ("", Printed(options, config));
}

TEST(PrintsTest, BuildInfoValuesAsText) {
  TrackedDeviceConfig config;
  config.mfg_build_info =
      Parse("{\"lot\": 11, \"ratio\": 0.5, \"ok\": true, \"none\": null, \"list\": [1], \"a.b\": \"dotted\","
            " \"a\": {\"b\": \"nested\"}}");
  const struct {
    const char* key;
    const char* printed;
  } cases[] = {{"lot", "mfgbuildinfo: 11\n"},   {"ratio", "mfgbuildinfo: 0.5\n"}, {"ok", "mfgbuildinfo: true\n"},
               {"none", ""},                    {"missing", ""},                  {"list", "mfgbuildinfo: \n"},
               {"a.b", "mfgbuildinfo: dotted\n"}};
  for (const auto& c : cases) {
    ToolOptions options;
    options.printMfgBuildInfo = true;
    options.printMfgBuildInfoKey = c.key;
    EXPECT_EQ(c.printed, Printed(options, config)) << c.key;
  }
  // The lookups add nothing to the record.
  EXPECT_EQ(7u, config.mfg_build_info.size());
}

TEST(PrintsTest, BuildInfoThatIsNotAnObjectPrintsNothing) {
  for (const char* text : {"\"text\"", "[\"line\"]", "5", "null"}) {
    TrackedDeviceConfig config;
    config.mfg_build_info = Parse(text);
    ToolOptions options;
    options.printMfgBuildInfo = true;
    options.printMfgBuildInfoKey = "line";
    EXPECT_EQ("", Printed(options, config)) << text;
  }
}
