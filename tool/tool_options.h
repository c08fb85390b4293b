// The run description built from the command line, and its parser.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// One keyed, typed edit of a free-form block (/FirmwareConfigSetElement,
// /SetMfgBuildInfo). The type name is checked only when the edit is applied.
struct TypedElementEdit {
  std::string key;
  std::string typeName;
  std::string value;
};

bool operator==(const TypedElementEdit& a, const TypedElementEdit& b);

// Texts are taken from the argument vector as they stand; empty means not
// given. Read-only once parsed, except that a local input replaces inputFile.
struct ToolOptions {
  // Sources and destinations.
  std::string inputFile;
  std::string inputVerificationFile;
  bool inputFromDevice = false;
  bool inputLocal = false;
  std::string outputFile;
  bool outputStdout = false;
  bool outputToDevice = false;
  bool outputLocal = false;
  bool backup = true;
  bool verify = true;  // read the headset back after writing it
  bool reformat = true;

  // Serial number and manufacturing build record.
  std::string serialFile;
  bool serialFromDevice = false;
  bool serialLocal = false;
  bool mfgBuildInfoFromDevice = false;

  // Keyed edits, applied in command-line order.
  bool firmwareConfigDeleteAll = false;
  std::vector<std::string> firmwareConfigOverlays;
  std::vector<std::string> firmwareConfigDeletes;
  std::vector<std::string> firmwareConfigPrints;
  std::vector<TypedElementEdit> firmwareConfigSets;
  std::vector<TypedElementEdit> mfgBuildInfoSets;
  bool setDirectModeVidPid = false;
  std::string directModeVidText;
  std::string directModePidText;
  bool clearDirectModeVidPid = false;

  // Calibration imports.
  std::string sensorCalFile;
  std::string ipdCalFile;
  std::string imuCalFile;
  std::string cameraCalFile;
  std::string displaySerialLeft;
  std::string displaySerialRight;
  std::string lensIntrinsicsFile;
  std::string lensIntrinsicsLeftFile;
  std::string lensIntrinsicsRightFile;
  std::string lensCenteringFile;
  std::string lensCalFile;
  std::string lensEyeToHeadFile;
  std::string lensEyeToHeadLeftFile;
  std::string lensEyeToHeadRightFile;
  bool sanityCheckLensCal = false;

  // Prints for scripts.
  bool printSerial = false;
  bool printMfgBuildInfo = false;
  std::string printMfgBuildInfoKey;
  bool printConnectedSerial = false;
  bool printComputedSerial = false;
  bool printModelNumber = false;

  // Words that are no option (they do not begin with '/'), skipped.
  std::vector<std::string> ignoredWords;

  // How parsing ended.
  bool helpRequested = false;
  bool unrecognisedOption = false;
  // Index into the argument vector (program name at 0) of the argument the
  // walk stopped on, /? and /Help included; -1 when it ran to the end.
  int stopIndex = -1;
};

// One row of the option table: an option's names, the number of words it
// takes, what it sets, and its line of the usage text, which is printed
// from the table. A row without a name starts a group of the usage text:
// a blank line, then its heading.
struct OptionRow {
  const char* name;
  const char* alias;  // an exact synonym, or nullptr
  int argCount;
  void (*apply)(ToolOptions& options, const std::string* args);
  const char* usage;  // nullptr: not in the usage text
  bool endsWalk = false;
};

// The table, in the order of the usage text.
const OptionRow* OptionTable(size_t* count);

// The usage text, built from the table; it ends with two line ends.
std::string UsageText();
// Writes the usage text followed by one more line end.
void PrintUsage(FILE* out);
// "Command line error: <argument> <next argument>\n\n" for the argument at
// `stopIndex` of `args`. A missing argument prints as empty text, so an
// unrecognised last argument never leads to a read past the vector.
std::string CommandLineErrorText(const std::vector<std::string>& args, int stopIndex);

// Parses `args`, the whole argument vector with the program name first.
// Never fails: a bad command line is recorded in helpRequested,
// unrecognisedOption and stopIndex.
ToolOptions ParseToolOptions(const std::vector<std::string>& args);

// Any print option silences progress messages, so that scripts can pick the
// printed facts out of standard output. /Quiet has no part in it.
bool IsQuietMode(const ToolOptions& options);
