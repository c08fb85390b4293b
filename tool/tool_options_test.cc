#include "tool/tool_options.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <sstream>

namespace {

ToolOptions Parse(std::initializer_list<const char*> arguments) {
  std::vector<std::string> args = {"sbconfigtool"};
  for (const char* a : arguments) args.push_back(a);
  return ParseToolOptions(args);
}

// Every field, so that a comparison also catches an option setting a
// field it should not touch.
std::string Dump(const ToolOptions& o) {
  std::ostringstream s;
  auto list = [&s](const char* name, const std::vector<std::string>& items) {
    s << name << "=[";
    for (const std::string& i : items) s << i << ";";
    s << "]\n";
  };
  auto edits = [&s](const char* name, const std::vector<TypedElementEdit>& items) {
    s << name << "=[";
    for (const TypedElementEdit& e : items) s << e.key << "|" << e.typeName << "|" << e.value << ";";
    s << "]\n";
  };
  s << "inputFile=" << o.inputFile << "\ninputVerificationFile=" << o.inputVerificationFile
    << "\ninputFromDevice=" << o.inputFromDevice << "\ninputLocal=" << o.inputLocal
    << "\noutputFile=" << o.outputFile << "\noutputStdout=" << o.outputStdout
    << "\noutputToDevice=" << o.outputToDevice << "\noutputLocal=" << o.outputLocal
    << "\nbackup=" << o.backup << "\nreformat=" << o.reformat << "\nserialFile=" << o.serialFile
    << "\nserialFromDevice=" << o.serialFromDevice << "\nserialLocal=" << o.serialLocal
    << "\nmfgBuildInfoFromDevice=" << o.mfgBuildInfoFromDevice
    << "\nfirmwareConfigDeleteAll=" << o.firmwareConfigDeleteAll << "\n";
  list("firmwareConfigOverlays", o.firmwareConfigOverlays);
  list("firmwareConfigDeletes", o.firmwareConfigDeletes);
  list("firmwareConfigPrints", o.firmwareConfigPrints);
  edits("firmwareConfigSets", o.firmwareConfigSets);
  edits("mfgBuildInfoSets", o.mfgBuildInfoSets);
  s << "setDirectModeVidPid=" << o.setDirectModeVidPid << "\ndirectModeVidText=" << o.directModeVidText
    << "\ndirectModePidText=" << o.directModePidText
    << "\nclearDirectModeVidPid=" << o.clearDirectModeVidPid << "\nsensorCalFile=" << o.sensorCalFile
    << "\nipdCalFile=" << o.ipdCalFile << "\nimuCalFile=" << o.imuCalFile
    << "\ncameraCalFile=" << o.cameraCalFile << "\ndisplaySerialLeft=" << o.displaySerialLeft
    << "\ndisplaySerialRight=" << o.displaySerialRight
    << "\nlensIntrinsicsFile=" << o.lensIntrinsicsFile
    << "\nlensIntrinsicsLeftFile=" << o.lensIntrinsicsLeftFile
    << "\nlensIntrinsicsRightFile=" << o.lensIntrinsicsRightFile
    << "\nlensCenteringFile=" << o.lensCenteringFile << "\nlensCalFile=" << o.lensCalFile
    << "\nlensEyeToHeadFile=" << o.lensEyeToHeadFile
    << "\nlensEyeToHeadLeftFile=" << o.lensEyeToHeadLeftFile
    << "\nlensEyeToHeadRightFile=" << o.lensEyeToHeadRightFile
    << "\nsanityCheckLensCal=" << o.sanityCheckLensCal << "\nprintSerial=" << o.printSerial
    << "\nprintMfgBuildInfo=" << o.printMfgBuildInfo
    << "\nprintMfgBuildInfoKey=" << o.printMfgBuildInfoKey
    << "\nprintConnectedSerial=" << o.printConnectedSerial
    << "\nprintComputedSerial=" << o.printComputedSerial
    << "\nprintModelNumber=" << o.printModelNumber << "\nhelpRequested=" << o.helpRequested
    << "\nunrecognisedOption=" << o.unrecognisedOption << "\nstopIndex=" << o.stopIndex << "\n";
  return s.str();
}

// Defaults of a parse that had arguments and ran to the end.
ToolOptions Expected(const std::function<void(ToolOptions&)>& change) {
  ToolOptions o;
  change(o);
  return o;
}

TEST(ParseToolOptionsTest, NoArgumentsRequestsHelp) {
  ToolOptions o = Parse({});
  EXPECT_TRUE(o.helpRequested);
  EXPECT_FALSE(o.unrecognisedOption);
  EXPECT_EQ(Dump(Expected([](ToolOptions& e) { e.helpRequested = true; })), Dump(o));
  // Not even a program name: still no arguments.
  EXPECT_TRUE(ParseToolOptions({}).helpRequested);
}

TEST(ParseToolOptionsTest, BareWordsAreSkippedWherever) {
  EXPECT_EQ(Dump(ToolOptions()), Dump(Parse({"device.json"})));
  EXPECT_EQ(Dump(ToolOptions()), Dump(Parse({""})));
  EXPECT_EQ(Dump(Expected([](ToolOptions& e) { e.outputStdout = true; })),
            Dump(Parse({"device.json", "/OutputStdout", "more", "-x"})));
}

// One row per option: the command line and the fields it must set, and no
// other field.
TEST(ParseToolOptionsTest, EachOptionSetsItsOwnField) {
  struct Case {
    std::vector<std::string> args;
    std::function<void(ToolOptions&)> change;
  };
  const Case cases[] = {
      {{"/PrintSerial"}, [](ToolOptions& e) { e.printSerial = true; }},
      {{"/PrintMfgBuildInfo", "line"},
       [](ToolOptions& e) {
         e.printMfgBuildInfo = true;
         e.printMfgBuildInfoKey = "line";
       }},
      {{"/PrintSentinelSerial"}, [](ToolOptions& e) { e.printConnectedSerial = true; }},
      {{"/PrintComputedSerial"}, [](ToolOptions& e) { e.printComputedSerial = true; }},
      {{"/PrintModelNumber"}, [](ToolOptions& e) { e.printModelNumber = true; }},
      {{"/BatchDump"}, [](ToolOptions&) {}},
      {{"/OutputFile", "out.json"}, [](ToolOptions& e) { e.outputFile = "out.json"; }},
      {{"/InputFile", "in.json"}, [](ToolOptions& e) { e.inputFile = "in.json"; }},
      {{"/InputSentinel"}, [](ToolOptions& e) { e.inputFromDevice = true; }},
      {{"/InputLocal"}, [](ToolOptions& e) { e.inputLocal = true; }},
      {{"/InputVerificationFile", "v.json"},
       [](ToolOptions& e) { e.inputVerificationFile = "v.json"; }},
      {{"/OutputSentinel"}, [](ToolOptions& e) { e.outputToDevice = true; }},
      {{"/OutputLocal"}, [](ToolOptions& e) { e.outputLocal = true; }},
      {{"/Quiet"}, [](ToolOptions&) {}},
      {{"/OutputStdout"}, [](ToolOptions& e) { e.outputStdout = true; }},
      {{"/NoBackup"}, [](ToolOptions& e) { e.backup = false; }},
      {{"/NoReformat"}, [](ToolOptions& e) { e.reformat = false; }},
      {{"/SerialSentinel"}, [](ToolOptions& e) { e.serialFromDevice = true; }},
      {{"/SerialLocal"}, [](ToolOptions& e) { e.serialLocal = true; }},
      {{"/MfgBuildInfoSentinel"}, [](ToolOptions& e) { e.mfgBuildInfoFromDevice = true; }},
      {{"/SerialFile", "s.json"}, [](ToolOptions& e) { e.serialFile = "s.json"; }},
      {{"/FirmwareConfigOverlay", "o.json"},
       [](ToolOptions& e) { e.firmwareConfigOverlays = {"o.json"}; }},
      {{"/FirmwareConfigDeleteElement", "k"},
       [](ToolOptions& e) { e.firmwareConfigDeletes = {"k"}; }},
      {{"/FirmwareConfigDeleteAll"}, [](ToolOptions& e) { e.firmwareConfigDeleteAll = true; }},
      {{"/FirmwareConfigSetElement", "k", "int", "5"},
       [](ToolOptions& e) { e.firmwareConfigSets = {{"k", "int", "5"}}; }},
      {{"/FirmwareConfigPrintElement", "k"},
       [](ToolOptions& e) { e.firmwareConfigPrints = {"k"}; }},
      {{"/SetMfgBuildInfo", "line", "string", "A7"},
       [](ToolOptions& e) { e.mfgBuildInfoSets = {{"line", "string", "A7"}}; }},
      {{"/SetDirectModeVidPid", "ABC", "2000"},
       [](ToolOptions& e) {
         e.setDirectModeVidPid = true;
         e.directModeVidText = "ABC";
         e.directModePidText = "2000";
       }},
      {{"/ClearDirectModeVidPid"}, [](ToolOptions& e) { e.clearDirectModeVidPid = true; }},
      {{"/SensorCal", "a"}, [](ToolOptions& e) { e.sensorCalFile = "a"; }},
      {{"/IpdCal", "a"}, [](ToolOptions& e) { e.ipdCalFile = "a"; }},
      {{"/ImuCal", "a"}, [](ToolOptions& e) { e.imuCalFile = "a"; }},
      {{"/CameraCal", "a"}, [](ToolOptions& e) { e.cameraCalFile = "a"; }},
      {{"/DisplaySerialNums", "L1", "R1"},
       [](ToolOptions& e) {
         e.displaySerialLeft = "L1";
         e.displaySerialRight = "R1";
       }},
      {{"/LensIntrinsics", "a"}, [](ToolOptions& e) { e.lensIntrinsicsFile = "a"; }},
      {{"/LensIntrinsicsLeft", "a"}, [](ToolOptions& e) { e.lensIntrinsicsLeftFile = "a"; }},
      {{"/LensIntrinsicsRight", "a"}, [](ToolOptions& e) { e.lensIntrinsicsRightFile = "a"; }},
      {{"/LensCentering", "a"}, [](ToolOptions& e) { e.lensCenteringFile = "a"; }},
      {{"/LensCal", "a"}, [](ToolOptions& e) { e.lensCalFile = "a"; }},
      {{"/LensEyeToHead", "a"}, [](ToolOptions& e) { e.lensEyeToHeadFile = "a"; }},
      {{"/LensEyeToHeadLeft", "a"}, [](ToolOptions& e) { e.lensEyeToHeadLeftFile = "a"; }},
      {{"/LensEyeToHeadRight", "a"}, [](ToolOptions& e) { e.lensEyeToHeadRightFile = "a"; }},
      {{"/SanityCheckLensCal"}, [](ToolOptions& e) { e.sanityCheckLensCal = true; }},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"sbconfigtool"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(Dump(Expected(c.change)), Dump(ParseToolOptions(args))) << c.args[0];
  }
}

TEST(ParseToolOptionsTest, AliasesAreExactSynonyms) {
  const std::pair<const char*, const char*> pairs[] = {
      {"/PrintSentinelSerial", "/PrintConnectedSerial"},
      {"/InputSentinel", "/InputDevice"},
      {"/OutputSentinel", "/OutputDevice"},
      {"/SerialSentinel", "/SerialDevice"},
      {"/MfgBuildInfoSentinel", "/MfgBuildInfoDevice"},
      {"/?", "/Help"},
  };
  for (const auto& pair : pairs) {
    std::string first = Dump(Parse({pair.first}));
    EXPECT_EQ(first, Dump(Parse({pair.second}))) << pair.first;
    EXPECT_NE(Dump(ToolOptions()), first) << pair.first;
  }
}

TEST(ParseToolOptionsTest, NamesMatchWholeAndIgnoringCase) {
  EXPECT_EQ("a", Parse({"/inputfile", "a"}).inputFile);
  EXPECT_EQ("a", Parse({"/INPUTFILE", "a"}).inputFile);
  EXPECT_EQ("a", Parse({"/iNpUtFiLe", "a"}).inputFile);
  EXPECT_TRUE(Parse({"/outputDEVICE"}).outputToDevice);
  // No prefixes, no extensions, no padding.
  for (const char* near : {"/Input", "/InputFil", "/InputFileX", "/InputFile ", " /InputFile",
                           "//InputFile", "/", "/Hel", "/??"}) {
    ToolOptions o = Parse({near, "a"});
    EXPECT_EQ(near[0] == '/', o.unrecognisedOption) << "[" << near << "]";
    EXPECT_TRUE(o.inputFile.empty()) << near;
  }
  // A byte outside ASCII is compared exactly, never folded.
  EXPECT_TRUE(Parse({"/\xC3\x8EnputFile", "a"}).unrecognisedOption);
}

TEST(ParseToolOptionsTest, OptionLackingArgumentsIsUnrecognised) {
  ToolOptions o = Parse({"/OutputStdout", "/InputFile"});
  EXPECT_TRUE(o.unrecognisedOption);
  EXPECT_EQ(2, o.stopIndex);
  EXPECT_TRUE(o.inputFile.empty());
  EXPECT_TRUE(o.outputStdout);  // options before the stop stay parsed

  o = Parse({"/FirmwareConfigSetElement", "key", "int"});
  EXPECT_TRUE(o.unrecognisedOption);
  EXPECT_EQ(1, o.stopIndex);
  EXPECT_TRUE(o.firmwareConfigSets.empty());

  EXPECT_TRUE(Parse({"/SetDirectModeVidPid", "ABC"}).unrecognisedOption);
  EXPECT_TRUE(Parse({"/DisplaySerialNums", "L"}).unrecognisedOption);
  EXPECT_TRUE(Parse({"/SetMfgBuildInfo", "a", "b"}).unrecognisedOption);
  EXPECT_TRUE(Parse({"/PrintMfgBuildInfo"}).unrecognisedOption);
}

TEST(ParseToolOptionsTest, FollowingArgumentsAreTakenEvenWithSlash) {
  ToolOptions o = Parse({"/InputFile", "/OutputStdout"});
  EXPECT_EQ("/OutputStdout", o.inputFile);
  EXPECT_FALSE(o.outputStdout);
  EXPECT_FALSE(o.unrecognisedOption);

  // A consumed /Help is a key, not a request for help.
  o = Parse({"/SetMfgBuildInfo", "/Help", "string", "/Bogus", "/PrintSerial"});
  EXPECT_FALSE(o.helpRequested);
  EXPECT_FALSE(o.unrecognisedOption);
  ASSERT_EQ(1u, o.mfgBuildInfoSets.size());
  EXPECT_EQ((TypedElementEdit{"/Help", "string", "/Bogus"}), o.mfgBuildInfoSets[0]);
  EXPECT_TRUE(o.printSerial);
}

TEST(ParseToolOptionsTest, SingleValuesKeepTheLast) {
  ToolOptions o = Parse({"/InputFile", "a.json", "/InputFile", "b.json", "/PrintMfgBuildInfo", "k1",
                         "/PrintMfgBuildInfo", "k2", "/SetDirectModeVidPid", "ABC", "1",
                         "/SetDirectModeVidPid", "XYZ", "2", "/DisplaySerialNums", "L1", "R1",
                         "/DisplaySerialNums", "L2", "R2"});
  EXPECT_EQ("b.json", o.inputFile);
  EXPECT_EQ("k2", o.printMfgBuildInfoKey);
  EXPECT_EQ("XYZ", o.directModeVidText);
  EXPECT_EQ("2", o.directModePidText);
  EXPECT_EQ("L2", o.displaySerialLeft);
  EXPECT_EQ("R2", o.displaySerialRight);
}

TEST(ParseToolOptionsTest, FlagsAreIdempotent) {
  EXPECT_EQ(Dump(Parse({"/NoBackup"})), Dump(Parse({"/NoBackup", "/nobackup"})));
  EXPECT_EQ(Dump(Parse({"/InputDevice"})), Dump(Parse({"/InputSentinel", "/InputDevice"})));
}

TEST(ParseToolOptionsTest, ListsAppendInCommandLineOrder) {
  ToolOptions o = Parse({"/FirmwareConfigDeleteElement", "b", "/FirmwareConfigOverlay", "o2.json",
                         "/FirmwareConfigDeleteElement", "a", "/FirmwareConfigOverlay", "o1.json",
                         "/FirmwareConfigPrintElement", "z", "/FirmwareConfigPrintElement", "y",
                         "/FirmwareConfigSetElement", "k", "int", "1", "/SetMfgBuildInfo", "m",
                         "float", "2", "/FirmwareConfigSetElement", "k", "string", "x",
                         "/SetMfgBuildInfo", "n", "double", "3"});
  EXPECT_EQ((std::vector<std::string>{"b", "a"}), o.firmwareConfigDeletes);
  EXPECT_EQ((std::vector<std::string>{"o2.json", "o1.json"}), o.firmwareConfigOverlays);
  EXPECT_EQ((std::vector<std::string>{"z", "y"}), o.firmwareConfigPrints);
  EXPECT_EQ((std::vector<TypedElementEdit>{{"k", "int", "1"}, {"k", "string", "x"}}),
            o.firmwareConfigSets);
  EXPECT_EQ((std::vector<TypedElementEdit>{{"m", "float", "2"}, {"n", "double", "3"}}),
            o.mfgBuildInfoSets);
}

TEST(ParseToolOptionsTest, HelpStopsTheWalk) {
  ToolOptions o = Parse({"/InputFile", "a.json", "/hElP", "/Bogus", "/OutputStdout"});
  EXPECT_TRUE(o.helpRequested);
  EXPECT_FALSE(o.unrecognisedOption);
  EXPECT_EQ(3, o.stopIndex);
  EXPECT_EQ("a.json", o.inputFile);
  EXPECT_FALSE(o.outputStdout);

  o = Parse({"/?", "/InputFile"});
  EXPECT_TRUE(o.helpRequested);
  EXPECT_FALSE(o.unrecognisedOption);
}

TEST(ParseToolOptionsTest, UnrecognisedStopsTheWalk) {
  ToolOptions o = Parse({"/PrintSerial", "x", "/Bogus", "/Help", "/OutputStdout"});
  EXPECT_TRUE(o.unrecognisedOption);
  EXPECT_FALSE(o.helpRequested);
  EXPECT_EQ(3, o.stopIndex);
  EXPECT_TRUE(o.printSerial);
  EXPECT_FALSE(o.outputStdout);
}

TEST(ParseToolOptionsTest, RunsToTheEndWithoutStopIndex) {
  ToolOptions o = Parse({"/OutputStdout", "/NoReformat"});
  EXPECT_FALSE(o.helpRequested);
  EXPECT_FALSE(o.unrecognisedOption);
  EXPECT_EQ(-1, o.stopIndex);
}

TEST(QuietModeTest, AnyPrintOptionAndNothingElse) {
  EXPECT_FALSE(IsQuietMode(ToolOptions()));
  for (const char* print : {"/PrintSerial", "/PrintComputedSerial", "/PrintModelNumber",
                            "/PrintSentinelSerial", "/PrintConnectedSerial"})
    EXPECT_TRUE(IsQuietMode(Parse({print}))) << print;
  EXPECT_TRUE(IsQuietMode(Parse({"/PrintMfgBuildInfo", "k"})));
  EXPECT_FALSE(IsQuietMode(Parse({"/Quiet"})));
  EXPECT_FALSE(IsQuietMode(Parse({"/BatchDump"})));
  EXPECT_FALSE(IsQuietMode(Parse({"/FirmwareConfigPrintElement", "k"})));
}

TEST(QuietModeTest, QuietAndBatchDumpSetNothing) {
  EXPECT_EQ(Dump(ToolOptions()), Dump(Parse({"/Quiet", "/BatchDump", "/quiet"})));
}

}  // namespace
