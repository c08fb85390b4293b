// The option table: every name and synonym sets its own field and no other,
// takes its own number of arguments, and matches whole, ignoring case.
// Where the walk stops, the command-line errors and the usage they lead to
// are checked through the binary (tests/cases/command_line.t).
#include "tool/tool_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ToolOptions Parse(std::vector<std::string> args) {
  args.insert(args.begin(), "sbconfigtool");
  return ParseToolOptions(args);
}

struct FlagRow {
  const char* name;
  const char* alias;
  bool ToolOptions::*field;
};
const FlagRow kFlags[] = {
    {"/PrintSerial", nullptr, &ToolOptions::printSerial},
    {"/PrintSentinelSerial", "/PrintConnectedSerial", &ToolOptions::printConnectedSerial},
    {"/PrintComputedSerial", nullptr, &ToolOptions::printComputedSerial},
    {"/PrintModelNumber", nullptr, &ToolOptions::printModelNumber},
    {"/InputSentinel", "/InputDevice", &ToolOptions::inputFromDevice},
    {"/InputLocal", nullptr, &ToolOptions::inputLocal},
    {"/OutputSentinel", "/OutputDevice", &ToolOptions::outputToDevice},
    {"/OutputLocal", nullptr, &ToolOptions::outputLocal},
    {"/OutputStdout", nullptr, &ToolOptions::outputStdout},
    {"/NoBackup", nullptr, &ToolOptions::backup},
    {"/NoReformat", nullptr, &ToolOptions::reformat},
    {"/SerialSentinel", "/SerialDevice", &ToolOptions::serialFromDevice},
    {"/SerialLocal", nullptr, &ToolOptions::serialLocal},
    {"/MfgBuildInfoSentinel", "/MfgBuildInfoDevice", &ToolOptions::mfgBuildInfoFromDevice},
    {"/FirmwareConfigDeleteAll", nullptr, &ToolOptions::firmwareConfigDeleteAll},
    {"/ClearDirectModeVidPid", nullptr, &ToolOptions::clearDirectModeVidPid},
    {"/SanityCheckLensCal", nullptr, &ToolOptions::sanityCheckLensCal},
    {"/?", "/Help", &ToolOptions::helpRequested},
};

// Options taking one file name.
const std::pair<const char*, std::string ToolOptions::*> kFiles[] = {
    {"/InputFile", &ToolOptions::inputFile},
    {"/InputVerificationFile", &ToolOptions::inputVerificationFile},
    {"/OutputFile", &ToolOptions::outputFile},
    {"/SerialFile", &ToolOptions::serialFile},
    {"/SensorCal", &ToolOptions::sensorCalFile},
    {"/IpdCal", &ToolOptions::ipdCalFile},
    {"/ImuCal", &ToolOptions::imuCalFile},
    {"/CameraCal", &ToolOptions::cameraCalFile},
    {"/LensIntrinsics", &ToolOptions::lensIntrinsicsFile},
    {"/LensIntrinsicsLeft", &ToolOptions::lensIntrinsicsLeftFile},
    {"/LensIntrinsicsRight", &ToolOptions::lensIntrinsicsRightFile},
    {"/LensCentering", &ToolOptions::lensCenteringFile},
    {"/LensCal", &ToolOptions::lensCalFile},
    {"/LensEyeToHead", &ToolOptions::lensEyeToHeadFile},
    {"/LensEyeToHeadLeft", &ToolOptions::lensEyeToHeadLeftFile},
    {"/LensEyeToHeadRight", &ToolOptions::lensEyeToHeadRightFile},
};

// Which of the fields above differ from their defaults, e.g. "/IpdCal=a ".
std::string Changed(const ToolOptions& o) {
  const ToolOptions defaults;
  std::string changed;
  for (const FlagRow& f : kFlags)
    if (o.*f.field != defaults.*f.field) changed += std::string(f.name) + " ";
  for (const auto& [name, field] : kFiles)
    if (!(o.*field).empty()) changed += std::string(name) + "=" + o.*field + " ";
  return changed;
}

TEST(ParseToolOptionsTest, EachNameSetsItsOwnFieldOnly) {
  for (const FlagRow& f : kFlags) {
    for (const char* name : {f.name, f.alias}) {
      if (name == nullptr) continue;
      const ToolOptions o = Parse({name});
      EXPECT_EQ(std::string(f.name) + " ", Changed(o)) << name;
      EXPECT_FALSE(o.unrecognisedOption) << name;
      EXPECT_EQ(f.field == &ToolOptions::helpRequested ? 1 : -1, o.stopIndex) << name;
    }
  }
  for (const auto& [name, field] : kFiles) {
    EXPECT_EQ(std::string(name) + "=a ", Changed(Parse({name, "a"}))) << name;
    EXPECT_TRUE(Parse({name}).unrecognisedOption) << name << " lacks its file name";
  }
  EXPECT_EQ("", Changed(Parse({"/Quiet", "/BatchDump", "bare", ""})));
  EXPECT_TRUE(ParseToolOptions({}).helpRequested);  // not even a program name
}

TEST(ParseToolOptionsTest, OptionsWithSeveralArgumentsAndLists) {
  const ToolOptions o = Parse({"/FirmwareConfigDeleteElement", "b", "/FirmwareConfigOverlay", "o2",
                               "/FirmwareConfigDeleteElement", "a", "/FirmwareConfigOverlay", "o1",
                               "/FirmwareConfigPrintElement", "z", "/FirmwareConfigPrintElement", "y",
                               "/FirmwareConfigSetElement", "k", "int", "1", "/SetMfgBuildInfo", "m", "float", "2",
                               "/FirmwareConfigSetElement", "k", "string", "x", "/SetMfgBuildInfo", "n", "double", "3",
                               "/PrintMfgBuildInfo", "k1", "/SetDirectModeVidPid", "ABC", "1", "/DisplaySerialNums",
                               "L1", "R1", "/PrintMfgBuildInfo", "k2", "/SetDirectModeVidPid", "XYZ", "2",
                               "/DisplaySerialNums", "L2", "R2"});
  EXPECT_EQ("", Changed(o));
  EXPECT_EQ((std::vector<std::string>{"b", "a"}), o.firmwareConfigDeletes);
  EXPECT_EQ((std::vector<std::string>{"o2", "o1"}), o.firmwareConfigOverlays);
  EXPECT_EQ((std::vector<std::string>{"z", "y"}), o.firmwareConfigPrints);
  EXPECT_EQ((std::vector<TypedElementEdit>{{"k", "int", "1"}, {"k", "string", "x"}}), o.firmwareConfigSets);
  EXPECT_EQ((std::vector<TypedElementEdit>{{"m", "float", "2"}, {"n", "double", "3"}}), o.mfgBuildInfoSets);
  // Single values keep the last.
  EXPECT_TRUE(o.printMfgBuildInfo && o.setDirectModeVidPid);
  EXPECT_EQ("k2 XYZ 2 L2 R2", o.printMfgBuildInfoKey + " " + o.directModeVidText + " " + o.directModePidText + " " +
                                  o.displaySerialLeft + " " + o.displaySerialRight);
  const std::vector<std::vector<std::string>> lacking = {
      {"/FirmwareConfigSetElement", "k", "int"}, {"/SetMfgBuildInfo", "k", "int"}, {"/SetDirectModeVidPid", "ABC"},
      {"/DisplaySerialNums", "L"}, {"/PrintMfgBuildInfo"}, {"/FirmwareConfigOverlay"},
      {"/FirmwareConfigDeleteElement"}, {"/FirmwareConfigPrintElement"}};
  for (const std::vector<std::string>& args : lacking) EXPECT_TRUE(Parse(args).unrecognisedOption) << args[0];
}

TEST(ParseToolOptionsTest, NamesMatchWholeIgnoringAsciiCase) {
  EXPECT_EQ("a", Parse({"/iNpUtFiLe", "a"}).inputFile);
  for (const char* near : {"/Input", "/InputFil", "/InputFileX", "/InputFile ", "//InputFile", "/", "/??",
                           "/\xC3\x8EnputFile"}) {
    const ToolOptions o = Parse({near, "a"});
    EXPECT_TRUE(o.unrecognisedOption) << "[" << near << "]";
    EXPECT_EQ(1, o.stopIndex) << near;
  }
  // Arguments are taken as they stand, even when they look like options.
  const ToolOptions o = Parse({"/InputFile", "/OutputStdout", "/SetMfgBuildInfo", "/Help", "string", "/Bogus"});
  EXPECT_EQ("/InputFile=/OutputStdout ", Changed(o));
  EXPECT_EQ((std::vector<TypedElementEdit>{{"/Help", "string", "/Bogus"}}), o.mfgBuildInfoSets);
  EXPECT_FALSE(o.unrecognisedOption);
}

TEST(QuietModeTest, AnyPrintOptionAndNothingElse) {
  for (const char* print : {"/PrintSerial", "/PrintComputedSerial", "/PrintModelNumber", "/PrintConnectedSerial"})
    EXPECT_TRUE(IsQuietMode(Parse({print}))) << print;
  EXPECT_TRUE(IsQuietMode(Parse({"/PrintMfgBuildInfo", "k"})));
  EXPECT_FALSE(IsQuietMode(Parse({"/Quiet", "/BatchDump", "/FirmwareConfigPrintElement", "k"})));
}

}  // namespace
