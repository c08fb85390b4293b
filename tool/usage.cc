#include "tool/usage.h"

const char* UsageText() {
  // Kept exactly as scripts and people have come to expect it, odd spacing,
  // tabs, trailing blanks and the two options named in the example included.
  return
    "Usage: sbconfigtool [options]\n"
    "\n"
    "Example: sbconfigtool /Input device.json /Output output.json\n"
    "\n"
    "  /InputFile <filename> - Load a base template from the specified device json. If an input is not provided, and empty configuration will be used.\n"
    "  /InputVerificationFile <filename> -Load a base template from the specified device json (the output of a VerifyConnectedHeadsetCalibration command)\n"
    "  /InputSentinel\t      - Load a base template from the connected skybeacon sentinel device. If a unique input is not detected, the process will fail.\n"
    "  /InputLocal            - Load a base template from the canonical local path specified by running 'rigconf_path device'\n"
    "  /OutputFile <filename> - Write the result to the specified file.\n"
    "  /OutputSentinel        - Write the result to the connected sentinel skybeacon device. The original file will be saved to a local tempfile, unless /NoBackup is specified.\n"
    "  /OutputStdout          - Write the result to stdout.\n"
    "  /OutputLocal           - Write the result via 'rigconf_write device'.\n"
    "\n"
    "Printing:\n"
    "  /PrintSentinelSerial   - Print ONLY the Serial Number for the connected sentinel skybeacon device to stdout.  Useful for creating higher level scripts. Return code is set on success.\n"
    "  /PrintSerial\t\t\t  - Print the Serial Number for the json\n"
    "  /PrintMfgBuildInfo <key> - print the value, if it exists, for the specified mfg_build_info.\n"
    "  /PrintComputedSerial     - print a computed serial hash, which is a hash of the tracking points and channel map.\n"
    "  /PrintModelNumber        - print json model number\n"
    "  /BatchDump               - Print all information for the input files, specified in lines in /InputFile\n"
    "  /Quiet\t\t\t\t    - Don't print verbose shell output (for other commands).\n"
    "\n"
    "Manipulation:\n"
    "  /SerialFile <filename> - Use the serial number from the specified device json\n"
    "  /SerialSentinel        - Use the serial number from the connected skybeacon sentinel device\n"
    "  /SerialLocal - Use the serial number from the local device, by running 'rigconf_serial`\n"
    "  /MfgBuildInfoSentinel - Use the mfg build info from the connected skybeacon sentinel device\n"
    "  /SensorCal <filename> - Use the sensor calibration (points, normals, channel map) from the specified device json (sb_calib)\n"
    "  /IpdCal <filename> - Use the ipd calibration from the specified device json\n"
    "  /ImuCal <filename> - Use the imu calibration from the specified device json (imucal_tool /OutputJSON)\n"
    "  /DisplaySerialNums <left_display_sn> <right_display_sn> - Set the provided display serial numbers \n"
    "  /LensIntrinsics <filename> - Use the lens intrinsics, distortion coef from the specified device json\n"
    "  /LensIntrinsicsLeft <filename> - Use the lens intrinsics, distortion coef from the specified device json\n"
    "  /LensIntrinsicsRight <filename> - Use the lens intrinsics, distortion coef from the specified device json\n"
    "  /LensCentering <filename> - Use the lens centering from the specified device json (preserve the existing distortion coefficients)\n"
    "  /LensCal <filename> - Use the FULL lens definiton (intrinsics, extrinsics, eye_to_head, etc) from the specified json\n"
    "  /LensEyeToHead <filename> - Pull eye_to_head from the specified json\n"
    "  /LensEyeToHeadLeft <filename> - Pull eye_to_head from the specified json\n"
    "  /LensEyeToHeadRight <filename> - Pull eye_to_head from the specified json\n"
    "  /SanityCheckLensCal - Confirm the lens cal has all expected terms filled in\n"
    "  /CameraCal <filename> - Use the full camera calibration (tracked_cameras) from the specified device json\n"
    "  /FirmwareConfigOverlay <filename> - overlay firmware config elements from the specified file (can be specified multiple times)\n"
    "  /FirmwareConfigDeleteElement <key> - delete an element from the firmware_config block (can be specified multiple times)\n"
    "  /FirmwareConfigSetElement <key> <type> <value> - set a specified value in the firmware_config block. Supported types: { string, double, float, int }\n"
    "  /FirmwareConfigPrintElement <key> - print the specified element in the firmware_config block\n"
    "  /FirmwareConfigDeleteAll - deletes the firmware_config block, if present\n"
    "  /SetMfgBuildInfo <key> <type> <value> - set a specified value in the mfg_build_info block. Supported types: { string, double, float, int }\n"
    "  /SetDirectModeVidPid <vid> <pid> - set direct_mode_edid_vid (3 letter mfg id), and direct_mode_edid_pid (4 letter hex)\n"
    "  /ClearDirectModeVidPid - unset direct_mode_edid_vid and direct_mode_edid_pid\n"
    "  /NoBackup -- omit autobackup during /OutputDevice\n"
    "  /NoReformat -- omit updating to the lastest json format \n"
    "\n";
}

void PrintUsage(FILE* out) {
  fputs(UsageText(), out);
  fputs("\n", out);
}

std::string CommandLineErrorText(const std::vector<std::string>& args, int stopIndex) {
  auto at = [&args](int index) -> std::string {
    if (index < 0 || static_cast<size_t>(index) >= args.size()) return std::string();
    return args[static_cast<size_t>(index)];
  };
  return "Command line error: " + at(stopIndex) + " " + at(stopIndex + 1) + "\n\n";
}
