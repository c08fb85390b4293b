#include "tool/tool_options.h"

#include <cstddef>

namespace {

using Args = const std::string*;  // the option's own arguments, argCount of them

struct OptionRow {
  const char* name;
  const char* alias;  // an exact synonym, or nullptr
  int argCount;
  void (*apply)(ToolOptions& o, Args a);
  bool endsWalk = false;
};

// Matched top to bottom. An option lacking its arguments matches no row and
// so ends up unrecognised.
const OptionRow kOptionTable[] = {
    {"/PrintSerial", nullptr, 0, [](ToolOptions& o, Args) { o.printSerial = true; }},
    {"/PrintMfgBuildInfo", nullptr, 1,
     [](ToolOptions& o, Args a) {
       o.printMfgBuildInfo = true;
       o.printMfgBuildInfoKey = a[0];
     }},
    {"/PrintSentinelSerial", "/PrintConnectedSerial", 0,
     [](ToolOptions& o, Args) { o.printConnectedSerial = true; }},
    {"/PrintComputedSerial", nullptr, 0, [](ToolOptions& o, Args) { o.printComputedSerial = true; }},
    {"/PrintModelNumber", nullptr, 0, [](ToolOptions& o, Args) { o.printModelNumber = true; }},
    {"/BatchDump", nullptr, 0, [](ToolOptions&, Args) {}},
    {"/OutputFile", nullptr, 1, [](ToolOptions& o, Args a) { o.outputFile = a[0]; }},
    {"/InputFile", nullptr, 1, [](ToolOptions& o, Args a) { o.inputFile = a[0]; }},
    {"/InputSentinel", "/InputDevice", 0, [](ToolOptions& o, Args) { o.inputFromDevice = true; }},
    {"/InputLocal", nullptr, 0, [](ToolOptions& o, Args) { o.inputLocal = true; }},
    {"/InputVerificationFile", nullptr, 1,
     [](ToolOptions& o, Args a) { o.inputVerificationFile = a[0]; }},
    {"/OutputSentinel", "/OutputDevice", 0, [](ToolOptions& o, Args) { o.outputToDevice = true; }},
    {"/OutputLocal", nullptr, 0, [](ToolOptions& o, Args) { o.outputLocal = true; }},
    {"/Quiet", nullptr, 0, [](ToolOptions&, Args) {}},
    {"/OutputStdout", nullptr, 0, [](ToolOptions& o, Args) { o.outputStdout = true; }},
    {"/NoBackup", nullptr, 0, [](ToolOptions& o, Args) { o.backup = false; }},
    {"/NoReformat", nullptr, 0, [](ToolOptions& o, Args) { o.reformat = false; }},
    {"/SerialSentinel", "/SerialDevice", 0, [](ToolOptions& o, Args) { o.serialFromDevice = true; }},
    {"/SerialLocal", nullptr, 0, [](ToolOptions& o, Args) { o.serialLocal = true; }},
    {"/MfgBuildInfoSentinel", "/MfgBuildInfoDevice", 0,
     [](ToolOptions& o, Args) { o.mfgBuildInfoFromDevice = true; }},
    {"/SerialFile", nullptr, 1, [](ToolOptions& o, Args a) { o.serialFile = a[0]; }},
    {"/FirmwareConfigOverlay", nullptr, 1,
     [](ToolOptions& o, Args a) { o.firmwareConfigOverlays.push_back(a[0]); }},
    {"/FirmwareConfigDeleteElement", nullptr, 1,
     [](ToolOptions& o, Args a) { o.firmwareConfigDeletes.push_back(a[0]); }},
    {"/FirmwareConfigDeleteAll", nullptr, 0,
     [](ToolOptions& o, Args) { o.firmwareConfigDeleteAll = true; }},
    {"/FirmwareConfigSetElement", nullptr, 3,
     [](ToolOptions& o, Args a) { o.firmwareConfigSets.push_back({a[0], a[1], a[2]}); }},
    {"/FirmwareConfigPrintElement", nullptr, 1,
     [](ToolOptions& o, Args a) { o.firmwareConfigPrints.push_back(a[0]); }},
    {"/SetMfgBuildInfo", nullptr, 3,
     [](ToolOptions& o, Args a) { o.mfgBuildInfoSets.push_back({a[0], a[1], a[2]}); }},
    {"/SetDirectModeVidPid", nullptr, 2,
     [](ToolOptions& o, Args a) {
       o.setDirectModeVidPid = true;
       o.directModeVidText = a[0];
       o.directModePidText = a[1];
     }},
    {"/ClearDirectModeVidPid", nullptr, 0,
     [](ToolOptions& o, Args) { o.clearDirectModeVidPid = true; }},
    {"/SensorCal", nullptr, 1, [](ToolOptions& o, Args a) { o.sensorCalFile = a[0]; }},
    {"/IpdCal", nullptr, 1, [](ToolOptions& o, Args a) { o.ipdCalFile = a[0]; }},
    {"/ImuCal", nullptr, 1, [](ToolOptions& o, Args a) { o.imuCalFile = a[0]; }},
    {"/CameraCal", nullptr, 1, [](ToolOptions& o, Args a) { o.cameraCalFile = a[0]; }},
    {"/DisplaySerialNums", nullptr, 2,
     [](ToolOptions& o, Args a) {
       o.displaySerialLeft = a[0];
       o.displaySerialRight = a[1];
     }},
    {"/LensIntrinsics", nullptr, 1, [](ToolOptions& o, Args a) { o.lensIntrinsicsFile = a[0]; }},
    {"/LensIntrinsicsLeft", nullptr, 1,
     [](ToolOptions& o, Args a) { o.lensIntrinsicsLeftFile = a[0]; }},
    {"/LensIntrinsicsRight", nullptr, 1,
     [](ToolOptions& o, Args a) { o.lensIntrinsicsRightFile = a[0]; }},
    {"/LensCentering", nullptr, 1, [](ToolOptions& o, Args a) { o.lensCenteringFile = a[0]; }},
    {"/LensCal", nullptr, 1, [](ToolOptions& o, Args a) { o.lensCalFile = a[0]; }},
    {"/LensEyeToHead", nullptr, 1, [](ToolOptions& o, Args a) { o.lensEyeToHeadFile = a[0]; }},
    {"/LensEyeToHeadLeft", nullptr, 1,
     [](ToolOptions& o, Args a) { o.lensEyeToHeadLeftFile = a[0]; }},
    {"/LensEyeToHeadRight", nullptr, 1,
     [](ToolOptions& o, Args a) { o.lensEyeToHeadRightFile = a[0]; }},
    {"/SanityCheckLensCal", nullptr, 0, [](ToolOptions& o, Args) { o.sanityCheckLensCal = true; }},
    {"/?", "/Help", 0, [](ToolOptions& o, Args) { o.helpRequested = true; }, true},
};

// ASCII only: option names are ASCII, and a byte outside it must match
// exactly rather than through whatever locale is in force.
char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameOptionName(const std::string& argument, const char* name) {
  size_t i = 0;
  for (; name[i] != '\0'; ++i) {
    if (i >= argument.size() || AsciiLower(argument[i]) != AsciiLower(name[i]))
      return false;
  }
  return i == argument.size();
}

bool RowNamed(const OptionRow& row, const std::string& argument) {
  return SameOptionName(argument, row.name) ||
         (row.alias != nullptr && SameOptionName(argument, row.alias));
}

}  // namespace

bool operator==(const TypedElementEdit& a, const TypedElementEdit& b) {
  return a.key == b.key && a.typeName == b.typeName && a.value == b.value;
}

ToolOptions ParseToolOptions(const std::vector<std::string>& args) {
  ToolOptions options;
  if (args.size() <= 1) {
    options.helpRequested = true;
    return options;
  }
  size_t i = 1;
  while (i < args.size()) {
    const std::string& argument = args[i];
    if (argument.empty() || argument[0] != '/') {
      ++i;  // bare words are ignored wherever they stand
      continue;
    }
    const size_t following = args.size() - i - 1;
    const OptionRow* match = nullptr;
    for (const OptionRow& row : kOptionTable) {
      if (static_cast<size_t>(row.argCount) <= following && RowNamed(row, argument)) {
        match = &row;
        break;
      }
    }
    if (match == nullptr) {
      options.unrecognisedOption = true;
      options.stopIndex = static_cast<int>(i);
      return options;
    }
    match->apply(options, args.data() + i + 1);
    if (match->endsWalk) {
      options.stopIndex = static_cast<int>(i);
      return options;
    }
    i += 1 + static_cast<size_t>(match->argCount);
  }
  return options;
}

bool IsQuietMode(const ToolOptions& options) {
  return options.printSerial || options.printMfgBuildInfo || options.printConnectedSerial ||
         options.printComputedSerial || options.printModelNumber;
}
