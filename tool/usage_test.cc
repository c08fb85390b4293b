#include "tool/usage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tool/test_output.h"
#include "tool/tool_options.h"

namespace {

// The usage text line by line, without line ends.
const std::vector<std::string> kUsageLines = {
    "Usage: sbconfigtool [options]",
    "",
    "Example: sbconfigtool /Input device.json /Output output.json",
    "",
    "  /InputFile <filename> - Load a base template from the specified device json. If an input is not provided, and empty configuration will be used.",
    "  /InputVerificationFile <filename> -Load a base template from the specified device json (the output of a VerifyConnectedHeadsetCalibration command)",
    "  /InputSentinel\t      - Load a base template from the connected skybeacon sentinel device. If a unique input is not detected, the process will fail.",
    "  /InputLocal            - Load a base template from the canonical local path specified by running 'rigconf_path device'",
    "  /OutputFile <filename> - Write the result to the specified file.",
    "  /OutputSentinel        - Write the result to the connected sentinel skybeacon device. The original file will be saved to a local tempfile, unless /NoBackup is specified.",
    "  /OutputStdout          - Write the result to stdout.",
    "  /OutputLocal           - Write the result via 'rigconf_write device'.",
    "",
    "Printing:",
    "  /PrintSentinelSerial   - Print ONLY the Serial Number for the connected sentinel skybeacon device to stdout.  Useful for creating higher level scripts. Return code is set on success.",
    "  /PrintSerial\t\t\t  - Print the Serial Number for the json",
    "  /PrintMfgBuildInfo <key> - print the value, if it exists, for the specified mfg_build_info.",
    "  /PrintComputedSerial     - print a computed serial hash, which is a hash of the tracking points and channel map.",
    "  /PrintModelNumber        - print json model number",
    "  /BatchDump               - Print all information for the input files, specified in lines in /InputFile",
    "  /Quiet\t\t\t\t    - Don't print verbose shell output (for other commands).",
    "",
    "Manipulation:",
    "  /SerialFile <filename> - Use the serial number from the specified device json",
    "  /SerialSentinel        - Use the serial number from the connected skybeacon sentinel device",
    "  /SerialLocal - Use the serial number from the local device, by running 'rigconf_serial`",
    "  /MfgBuildInfoSentinel - Use the mfg build info from the connected skybeacon sentinel device",
    "  /SensorCal <filename> - Use the sensor calibration (points, normals, channel map) from the specified device json (sb_calib)",
    "  /IpdCal <filename> - Use the ipd calibration from the specified device json",
    "  /ImuCal <filename> - Use the imu calibration from the specified device json (imucal_tool /OutputJSON)",
    "  /DisplaySerialNums <left_display_sn> <right_display_sn> - Set the provided display serial numbers ",
    "  /LensIntrinsics <filename> - Use the lens intrinsics, distortion coef from the specified device json",
    "  /LensIntrinsicsLeft <filename> - Use the lens intrinsics, distortion coef from the specified device json",
    "  /LensIntrinsicsRight <filename> - Use the lens intrinsics, distortion coef from the specified device json",
    "  /LensCentering <filename> - Use the lens centering from the specified device json (preserve the existing distortion coefficients)",
    "  /LensCal <filename> - Use the FULL lens definiton (intrinsics, extrinsics, eye_to_head, etc) from the specified json",
    "  /LensEyeToHead <filename> - Pull eye_to_head from the specified json",
    "  /LensEyeToHeadLeft <filename> - Pull eye_to_head from the specified json",
    "  /LensEyeToHeadRight <filename> - Pull eye_to_head from the specified json",
    "  /SanityCheckLensCal - Confirm the lens cal has all expected terms filled in",
    "  /CameraCal <filename> - Use the full camera calibration (tracked_cameras) from the specified device json",
    "  /FirmwareConfigOverlay <filename> - overlay firmware config elements from the specified file (can be specified multiple times)",
    "  /FirmwareConfigDeleteElement <key> - delete an element from the firmware_config block (can be specified multiple times)",
    "  /FirmwareConfigSetElement <key> <type> <value> - set a specified value in the firmware_config block. Supported types: { string, double, float, int }",
    "  /FirmwareConfigPrintElement <key> - print the specified element in the firmware_config block",
    "  /FirmwareConfigDeleteAll - deletes the firmware_config block, if present",
    "  /SetMfgBuildInfo <key> <type> <value> - set a specified value in the mfg_build_info block. Supported types: { string, double, float, int }",
    "  /SetDirectModeVidPid <vid> <pid> - set direct_mode_edid_vid (3 letter mfg id), and direct_mode_edid_pid (4 letter hex)",
    "  /ClearDirectModeVidPid - unset direct_mode_edid_vid and direct_mode_edid_pid",
    "  /NoBackup -- omit autobackup during /OutputDevice",
    "  /NoReformat -- omit updating to the lastest json format ",
};

// Printed, the text gets one more line end; the text itself ends with an
// empty line.
TEST(UsageTextTest, MatchesByteForByte) {
  std::string expected;
  for (const std::string& line : kUsageLines) expected += line + "\n";
  tool_test::CapturedOutput out;
  PrintUsage(out.file());
  EXPECT_EQ(expected + "\n\n", out.text());
}

// Every option the usage text names is one the parser knows.
TEST(UsageTextTest, ListedOptionsAreRecognised) {
  int listed = 0;
  for (const std::string& line : kUsageLines) {
    if (line.compare(0, 3, "  /") != 0) continue;
    const std::string name = line.substr(2, line.find_first_of(" \t", 2) - 2);
    EXPECT_FALSE(ParseToolOptions({"sbconfigtool", name, "x", "y", "z"}).unrecognisedOption) << name;
    ++listed;
  }
  EXPECT_EQ(43, listed);
}

// An unrecognised last argument, or an index outside the arguments, reads
// nothing past them.
TEST(CommandLineErrorTextTest, MissingArgumentsPrintEmpty) {
  EXPECT_EQ("Command line error: /InputFile \n\n", CommandLineErrorText({"sbconfigtool", "/InputFile"}, 1));
  EXPECT_EQ("Command line error:  \n\n", CommandLineErrorText({"sbconfigtool"}, 5));
  EXPECT_EQ("Command line error:  \n\n", CommandLineErrorText({}, -1));
}

}  // namespace
