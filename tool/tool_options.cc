#include "tool/tool_options.h"

#include <cstddef>

namespace {

using Args = const std::string*;  // the option's own arguments, argCount of them

// In the order of the usage text. An option lacking its arguments matches no
// row and so ends up unrecognised.
const OptionRow kOptionTable[] = {
    {"/InputFile", nullptr, 1, [](ToolOptions& o, Args a) { o.inputFile = a[0]; },
     "  /InputFile <filename> - Load a base template from the specified device json. If an input is not provided, and empty configuration will be used."},
    {"/InputVerificationFile", nullptr, 1,
     [](ToolOptions& o, Args a) { o.inputVerificationFile = a[0]; },
     "  /InputVerificationFile <filename> -Load a base template from the specified device json (the output of a VerifyConnectedHeadsetCalibration command)"},
    {"/InputSentinel", "/InputDevice", 0, [](ToolOptions& o, Args) { o.inputFromDevice = true; },
     "  /InputSentinel\t      - Load a base template from the connected skybeacon sentinel device. If a unique input is not detected, the process will fail."},
    {"/InputLocal", nullptr, 0, [](ToolOptions& o, Args) { o.inputLocal = true; },
     "  /InputLocal            - Load a base template from the canonical local path specified by running 'rigconf_path device'"},
    {"/OutputFile", nullptr, 1, [](ToolOptions& o, Args a) { o.outputFile = a[0]; },
     "  /OutputFile <filename> - Write the result to the specified file."},
    {"/OutputSentinel", "/OutputDevice", 0, [](ToolOptions& o, Args) { o.outputToDevice = true; },
     "  /OutputSentinel        - Write the result to the connected sentinel skybeacon device. The original file will be saved to a local tempfile, unless /NoBackup is specified."},
    {"/OutputStdout", nullptr, 0, [](ToolOptions& o, Args) { o.outputStdout = true; },
     "  /OutputStdout          - Write the result to stdout."},
    {"/OutputLocal", nullptr, 0, [](ToolOptions& o, Args) { o.outputLocal = true; },
     "  /OutputLocal           - Write the result via 'rigconf_write device'."},
    {nullptr, nullptr, 0, nullptr, "Printing:"},
    {"/PrintSentinelSerial", "/PrintConnectedSerial", 0,
     [](ToolOptions& o, Args) { o.printConnectedSerial = true; },
     "  /PrintSentinelSerial   - Print ONLY the Serial Number for the connected sentinel skybeacon device to stdout.  Useful for creating higher level scripts. Return code is set on success."},
    {"/PrintSerial", nullptr, 0, [](ToolOptions& o, Args) { o.printSerial = true; },
     "  /PrintSerial\t\t\t  - Print the Serial Number for the json"},
    {"/PrintMfgBuildInfo", nullptr, 1,
     [](ToolOptions& o, Args a) {
       o.printMfgBuildInfo = true;
       o.printMfgBuildInfoKey = a[0];
     },
     "  /PrintMfgBuildInfo <key> - print the value, if it exists, for the specified mfg_build_info."},
    {"/PrintComputedSerial", nullptr, 0, [](ToolOptions& o, Args) { o.printComputedSerial = true; },
     "  /PrintComputedSerial     - print a computed serial hash, which is a hash of the tracking points and channel map."},
    {"/PrintModelNumber", nullptr, 0, [](ToolOptions& o, Args) { o.printModelNumber = true; },
     "  /PrintModelNumber        - print json model number"},
    {"/BatchDump", nullptr, 0, [](ToolOptions&, Args) {},
     "  /BatchDump               - Print all information for the input files, specified in lines in /InputFile"},
    {"/Quiet", nullptr, 0, [](ToolOptions&, Args) {},
     "  /Quiet\t\t\t\t    - Don't print verbose shell output (for other commands)."},
    {nullptr, nullptr, 0, nullptr, "Manipulation:"},
    {"/SerialFile", nullptr, 1, [](ToolOptions& o, Args a) { o.serialFile = a[0]; },
     "  /SerialFile <filename> - Use the serial number from the specified device json"},
    {"/SerialSentinel", "/SerialDevice", 0, [](ToolOptions& o, Args) { o.serialFromDevice = true; },
     "  /SerialSentinel        - Use the serial number from the connected skybeacon sentinel device"},
    {"/SerialLocal", nullptr, 0, [](ToolOptions& o, Args) { o.serialLocal = true; },
     "  /SerialLocal - Use the serial number from the local device, by running 'rigconf_serial`"},
    {"/MfgBuildInfoSentinel", "/MfgBuildInfoDevice", 0,
     [](ToolOptions& o, Args) { o.mfgBuildInfoFromDevice = true; },
     "  /MfgBuildInfoSentinel - Use the mfg build info from the connected skybeacon sentinel device"},
    {"/SensorCal", nullptr, 1, [](ToolOptions& o, Args a) { o.sensorCalFile = a[0]; },
     "  /SensorCal <filename> - Use the sensor calibration (points, normals, channel map) from the specified device json (sb_calib)"},
    {"/IpdCal", nullptr, 1, [](ToolOptions& o, Args a) { o.ipdCalFile = a[0]; },
     "  /IpdCal <filename> - Use the ipd calibration from the specified device json"},
    {"/ImuCal", nullptr, 1, [](ToolOptions& o, Args a) { o.imuCalFile = a[0]; },
     "  /ImuCal <filename> - Use the imu calibration from the specified device json (imucal_tool /OutputJSON)"},
    {"/DisplaySerialNums", nullptr, 2,
     [](ToolOptions& o, Args a) {
       o.displaySerialLeft = a[0];
       o.displaySerialRight = a[1];
     },
     "  /DisplaySerialNums <left_display_sn> <right_display_sn> - Set the provided display serial numbers "},
    {"/LensIntrinsics", nullptr, 1, [](ToolOptions& o, Args a) { o.lensIntrinsicsFile = a[0]; },
     "  /LensIntrinsics <filename> - Use the lens intrinsics, distortion coef from the specified device json"},
    {"/LensIntrinsicsLeft", nullptr, 1,
     [](ToolOptions& o, Args a) { o.lensIntrinsicsLeftFile = a[0]; },
     "  /LensIntrinsicsLeft <filename> - Use the lens intrinsics, distortion coef from the specified device json"},
    {"/LensIntrinsicsRight", nullptr, 1,
     [](ToolOptions& o, Args a) { o.lensIntrinsicsRightFile = a[0]; },
     "  /LensIntrinsicsRight <filename> - Use the lens intrinsics, distortion coef from the specified device json"},
    {"/LensCentering", nullptr, 1, [](ToolOptions& o, Args a) { o.lensCenteringFile = a[0]; },
     "  /LensCentering <filename> - Use the lens centering from the specified device json (preserve the existing distortion coefficients)"},
    {"/LensCal", nullptr, 1, [](ToolOptions& o, Args a) { o.lensCalFile = a[0]; },
     "  /LensCal <filename> - Use the FULL lens definiton (intrinsics, extrinsics, eye_to_head, etc) from the specified json"},
    {"/LensEyeToHead", nullptr, 1, [](ToolOptions& o, Args a) { o.lensEyeToHeadFile = a[0]; },
     "  /LensEyeToHead <filename> - Pull eye_to_head from the specified json"},
    {"/LensEyeToHeadLeft", nullptr, 1,
     [](ToolOptions& o, Args a) { o.lensEyeToHeadLeftFile = a[0]; },
     "  /LensEyeToHeadLeft <filename> - Pull eye_to_head from the specified json"},
    {"/LensEyeToHeadRight", nullptr, 1,
     [](ToolOptions& o, Args a) { o.lensEyeToHeadRightFile = a[0]; },
     "  /LensEyeToHeadRight <filename> - Pull eye_to_head from the specified json"},
    {"/SanityCheckLensCal", nullptr, 0, [](ToolOptions& o, Args) { o.sanityCheckLensCal = true; },
     "  /SanityCheckLensCal - Confirm the lens cal has all expected terms filled in"},
    {"/CameraCal", nullptr, 1, [](ToolOptions& o, Args a) { o.cameraCalFile = a[0]; },
     "  /CameraCal <filename> - Use the full camera calibration (tracked_cameras) from the specified device json"},
    {"/FirmwareConfigOverlay", nullptr, 1,
     [](ToolOptions& o, Args a) { o.firmwareConfigOverlays.push_back(a[0]); },
     "  /FirmwareConfigOverlay <filename> - overlay firmware config elements from the specified file (can be specified multiple times)"},
    {"/FirmwareConfigDeleteElement", nullptr, 1,
     [](ToolOptions& o, Args a) { o.firmwareConfigDeletes.push_back(a[0]); },
     "  /FirmwareConfigDeleteElement <key> - delete an element from the firmware_config block (can be specified multiple times)"},
    {"/FirmwareConfigSetElement", nullptr, 3,
     [](ToolOptions& o, Args a) { o.firmwareConfigSets.push_back({a[0], a[1], a[2]}); },
     "  /FirmwareConfigSetElement <key> <type> <value> - set a specified value in the firmware_config block. Supported types: { string, double, float, int }"},
    {"/FirmwareConfigPrintElement", nullptr, 1,
     [](ToolOptions& o, Args a) { o.firmwareConfigPrints.push_back(a[0]); },
     "  /FirmwareConfigPrintElement <key> - print the specified element in the firmware_config block"},
    {"/FirmwareConfigDeleteAll", nullptr, 0,
     [](ToolOptions& o, Args) { o.firmwareConfigDeleteAll = true; },
     "  /FirmwareConfigDeleteAll - deletes the firmware_config block, if present"},
    {"/SetMfgBuildInfo", nullptr, 3,
     [](ToolOptions& o, Args a) { o.mfgBuildInfoSets.push_back({a[0], a[1], a[2]}); },
     "  /SetMfgBuildInfo <key> <type> <value> - set a specified value in the mfg_build_info block. Supported types: { string, double, float, int }"},
    {"/SetDirectModeVidPid", nullptr, 2,
     [](ToolOptions& o, Args a) {
       o.setDirectModeVidPid = true;
       o.directModeVidText = a[0];
       o.directModePidText = a[1];
     },
     "  /SetDirectModeVidPid <vid> <pid> - set direct_mode_edid_vid (3 letter mfg id), and direct_mode_edid_pid (4 letter hex)"},
    {"/ClearDirectModeVidPid", nullptr, 0,
     [](ToolOptions& o, Args) { o.clearDirectModeVidPid = true; },
     "  /ClearDirectModeVidPid - unset direct_mode_edid_vid and direct_mode_edid_pid"},
    {"/NoBackup", nullptr, 0, [](ToolOptions& o, Args) { o.backup = false; },
     "  /NoBackup -- omit autobackup during /OutputDevice"},
    {"/NoVerify", nullptr, 0, [](ToolOptions& o, Args) { o.verify = false; },
     "  /NoVerify -- omit reading the configuration back after /OutputDevice"},
    {"/NoReformat", nullptr, 0, [](ToolOptions& o, Args) { o.reformat = false; },
     "  /NoReformat -- omit updating to the lastest json format "},
    {"/?", "/Help", 0, [](ToolOptions& o, Args) { o.helpRequested = true; }, nullptr, true},
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

const OptionRow* OptionTable(size_t* count) {
  *count = sizeof(kOptionTable) / sizeof(kOptionTable[0]);
  return kOptionTable;
}

std::string UsageText() {
  std::string text =
      "Usage: sbconfigtool [options]\n\nExample: sbconfigtool /Input device.json /Output output.json\n\n";
  for (const OptionRow& row : kOptionTable) {
    if (row.name == nullptr) text += "\n";
    if (row.usage != nullptr) text += std::string(row.usage) + "\n";
  }
  return text + "\n";
}

void PrintUsage(FILE* out) {
  fputs(UsageText().c_str(), out);
  fputs("\n", out);
}

std::string CommandLineErrorText(const std::vector<std::string>& args, int stopIndex) {
  auto at = [&args](int index) -> std::string {
    if (index < 0 || static_cast<size_t>(index) >= args.size()) return std::string();
    return args[static_cast<size_t>(index)];
  };
  return "Command line error: " + at(stopIndex) + " " + at(stopIndex + 1) + "\n\n";
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
      options.ignoredWords.push_back(argument);  // wherever they stand
      ++i;
      continue;
    }
    const size_t following = args.size() - i - 1;
    const OptionRow* match = nullptr;
    for (const OptionRow& row : kOptionTable) {
      if (row.name != nullptr && static_cast<size_t>(row.argCount) <= following && RowNamed(row, argument)) {
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
