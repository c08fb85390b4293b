// Arbitrary argument vectors through the command-line parser. The input is
// the arguments after the program name, separated by zero bytes.
#include <string>
#include <vector>

#include "fuzz/fuzz_harnesses.h"
#include "tool/tool_options.h"
#include "tool/usage.h"

namespace fuzz_cmdline {

namespace {

const char kName[] = "cmdline";

void AddText(std::string* out, const char* field, const std::string& value) {
  *out += field;
  *out += '=';
  *out += std::to_string(value.size());
  *out += ':';
  *out += value;
  *out += '\n';
}

void AddFlag(std::string* out, const char* field, bool value) {
  *out += field;
  *out += value ? "=1\n" : "=0\n";
}

void AddList(std::string* out, const char* field, const std::vector<std::string>& values) {
  for (const std::string& value : values)
    AddText(out, field, value);
}

void AddEdits(std::string* out, const char* field, const std::vector<TypedElementEdit>& edits) {
  for (const TypedElementEdit& edit : edits) {
    AddText(out, field, edit.key);
    AddText(out, field, edit.typeName);
    AddText(out, field, edit.value);
  }
}

// Every field that an option sets, so that two parses can be compared.
std::string Describe(const ToolOptions& o) {
  std::string d;
  AddText(&d, "inputFile", o.inputFile);
  AddText(&d, "inputVerificationFile", o.inputVerificationFile);
  AddFlag(&d, "inputFromDevice", o.inputFromDevice);
  AddFlag(&d, "inputLocal", o.inputLocal);
  AddText(&d, "outputFile", o.outputFile);
  AddFlag(&d, "outputStdout", o.outputStdout);
  AddFlag(&d, "outputToDevice", o.outputToDevice);
  AddFlag(&d, "outputLocal", o.outputLocal);
  AddFlag(&d, "backup", o.backup);
  AddFlag(&d, "reformat", o.reformat);
  AddText(&d, "serialFile", o.serialFile);
  AddFlag(&d, "serialFromDevice", o.serialFromDevice);
  AddFlag(&d, "serialLocal", o.serialLocal);
  AddFlag(&d, "mfgBuildInfoFromDevice", o.mfgBuildInfoFromDevice);
  AddFlag(&d, "firmwareConfigDeleteAll", o.firmwareConfigDeleteAll);
  AddList(&d, "firmwareConfigOverlays", o.firmwareConfigOverlays);
  AddList(&d, "firmwareConfigDeletes", o.firmwareConfigDeletes);
  AddList(&d, "firmwareConfigPrints", o.firmwareConfigPrints);
  AddEdits(&d, "firmwareConfigSets", o.firmwareConfigSets);
  AddEdits(&d, "mfgBuildInfoSets", o.mfgBuildInfoSets);
  AddFlag(&d, "setDirectModeVidPid", o.setDirectModeVidPid);
  AddText(&d, "directModeVidText", o.directModeVidText);
  AddText(&d, "directModePidText", o.directModePidText);
  AddFlag(&d, "clearDirectModeVidPid", o.clearDirectModeVidPid);
  AddText(&d, "sensorCalFile", o.sensorCalFile);
  AddText(&d, "ipdCalFile", o.ipdCalFile);
  AddText(&d, "imuCalFile", o.imuCalFile);
  AddText(&d, "cameraCalFile", o.cameraCalFile);
  AddText(&d, "displaySerialLeft", o.displaySerialLeft);
  AddText(&d, "displaySerialRight", o.displaySerialRight);
  AddText(&d, "lensIntrinsicsFile", o.lensIntrinsicsFile);
  AddText(&d, "lensIntrinsicsLeftFile", o.lensIntrinsicsLeftFile);
  AddText(&d, "lensIntrinsicsRightFile", o.lensIntrinsicsRightFile);
  AddText(&d, "lensCenteringFile", o.lensCenteringFile);
  AddText(&d, "lensCalFile", o.lensCalFile);
  AddText(&d, "lensEyeToHeadFile", o.lensEyeToHeadFile);
  AddText(&d, "lensEyeToHeadLeftFile", o.lensEyeToHeadLeftFile);
  AddText(&d, "lensEyeToHeadRightFile", o.lensEyeToHeadRightFile);
  AddFlag(&d, "sanityCheckLensCal", o.sanityCheckLensCal);
  AddFlag(&d, "printSerial", o.printSerial);
  AddFlag(&d, "printMfgBuildInfo", o.printMfgBuildInfo);
  AddText(&d, "printMfgBuildInfoKey", o.printMfgBuildInfoKey);
  AddFlag(&d, "printConnectedSerial", o.printConnectedSerial);
  AddFlag(&d, "printComputedSerial", o.printComputedSerial);
  AddFlag(&d, "printModelNumber", o.printModelNumber);
  return d;
}

bool IsHelpWord(const std::string& argument) {
  if (argument == "/?")
    return true;
  if (argument.size() != 5 || argument[0] != '/')
    return false;
  const char* help = "help";
  for (size_t i = 0; i < 4; ++i) {
    char c = argument[i + 1];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != help[i])
      return false;
  }
  return true;
}

bool IsArgument(const std::vector<std::string>& args, const std::string& text) {
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == text)
      return true;
  }
  return false;
}

// Every text the parser keeps is one of the arguments, taken whole.
bool TextsComeFromArguments(const std::vector<std::string>& args, const ToolOptions& o) {
  std::vector<const std::string*> texts = {
      &o.inputFile, &o.inputVerificationFile, &o.outputFile, &o.serialFile, &o.directModeVidText,
      &o.directModePidText, &o.sensorCalFile, &o.ipdCalFile, &o.imuCalFile, &o.cameraCalFile,
      &o.displaySerialLeft, &o.displaySerialRight, &o.lensIntrinsicsFile, &o.lensIntrinsicsLeftFile,
      &o.lensIntrinsicsRightFile, &o.lensCenteringFile, &o.lensCalFile, &o.lensEyeToHeadFile,
      &o.lensEyeToHeadLeftFile, &o.lensEyeToHeadRightFile, &o.printMfgBuildInfoKey};
  for (const auto* list : {&o.firmwareConfigOverlays, &o.firmwareConfigDeletes, &o.firmwareConfigPrints}) {
    for (const std::string& text : *list)
      texts.push_back(&text);
  }
  for (const auto* edits : {&o.firmwareConfigSets, &o.mfgBuildInfoSets}) {
    for (const TypedElementEdit& edit : *edits) {
      texts.push_back(&edit.key);
      texts.push_back(&edit.typeName);
      texts.push_back(&edit.value);
    }
  }
  for (const std::string* text : texts) {
    if (!text->empty() && !IsArgument(args, *text))
      return false;
  }
  return true;
}

}  // namespace

bool FuzzOne(const uint8_t* data, size_t size) {
  std::vector<std::string> args = {"sbconfigtool"};
  if (size > 0) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    for (;;) {
      const size_t end = text.find('\0', start);
      args.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
      if (end == std::string::npos)
        break;
      start = end + 1;
    }
  }

  const ToolOptions options = ParseToolOptions(args);
  const int n = static_cast<int>(args.size());
  const int stop = options.stopIndex;

  if (n == 1 && !options.helpRequested)
    return FuzzInvariantBroken(kName, "no arguments must ask for help");
  if (stop != -1 && (stop < 1 || stop >= n))
    return FuzzInvariantBroken(kName, "stopIndex " + std::to_string(stop) + " outside the arguments");
  if (options.unrecognisedOption) {
    if (options.helpRequested)
      return FuzzInvariantBroken(kName, "help and an unrecognised option at once");
    if (stop < 1 || args[static_cast<size_t>(stop)].empty() || args[static_cast<size_t>(stop)][0] != '/')
      return FuzzInvariantBroken(kName, "an unrecognised option that is not a slash word");
  } else if (options.helpRequested && n > 1) {
    if (stop < 1 || !IsHelpWord(args[static_cast<size_t>(stop)]))
      return FuzzInvariantBroken(kName, "help requested by something else than /? or /Help");
  } else if (stop != -1) {
    return FuzzInvariantBroken(kName, "a walk that ran to the end has a stopIndex");
  }

  const bool anyPrint = options.printSerial || options.printMfgBuildInfo || options.printConnectedSerial ||
                        options.printComputedSerial || options.printModelNumber;
  if (IsQuietMode(options) != anyPrint)
    return FuzzInvariantBroken(kName, "quiet mode differs from the print options");
  if (!TextsComeFromArguments(args, options))
    return FuzzInvariantBroken(kName, "a kept text is not one of the arguments");

  // The error line quotes the arguments; it must hold even at the last one.
  const std::string line = CommandLineErrorText(args, stop);
  if (line.compare(0, 20, "Command line error: ") != 0 || line.size() < 22 ||
      line.compare(line.size() - 2, 2, "\n\n") != 0)
    return FuzzInvariantBroken(kName, "malformed command line error text");

  // The walk never looked past where it stopped, so the arguments before
  // that point parse alone to the same run description.
  if (stop >= 1) {
    std::vector<std::string> prefix(args.begin(), args.begin() + stop);
    const ToolOptions alone = ParseToolOptions(prefix);
    if (prefix.size() > 1 && (alone.unrecognisedOption || alone.helpRequested))
      return FuzzInvariantBroken(kName, "the arguments before the stop do not parse alone");
    if (prefix.size() > 1 && Describe(alone) != Describe(options))
      return FuzzInvariantBroken(kName, "the arguments before the stop parse differently alone:\n" +
                                            Describe(alone) + "---\n" + Describe(options));
  }
  return true;
}

}  // namespace fuzz_cmdline
