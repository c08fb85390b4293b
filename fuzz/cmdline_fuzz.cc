// Arbitrary argument vectors through the command-line parser. The input is
// the arguments after the program name, separated by zero bytes. The first
// byte also picks a row of the option table, whose option is added at the
// end with its arguments, and then without its last one.
#include <string>
#include <vector>

#include "fuzz/fuzz_harnesses.h"
#include "tool/tool_options.h"

namespace fuzz_cmdline {

namespace {

const char kName[] = "cmdline";

bool CheckWalk(const std::vector<std::string>& args, const ToolOptions& options) {
  const int n = static_cast<int>(args.size());
  const int stop = options.stopIndex;
  if (n == 1 && !options.helpRequested) return FuzzInvariantBroken(kName, "no arguments must ask for help");
  if (stop != -1 && (stop < 1 || stop >= n))
    return FuzzInvariantBroken(kName, "stopIndex " + std::to_string(stop) + " outside the arguments");
  if (options.unrecognisedOption && (options.helpRequested || args[stop].empty() || args[stop][0] != '/'))
    return FuzzInvariantBroken(kName, "an unrecognised option that is not a slash word");
  if (!options.unrecognisedOption && !options.helpRequested && stop != -1)
    return FuzzInvariantBroken(kName, "a walk that ran to the end has a stopIndex");
  // The error line quotes the arguments; it must hold even at the last one.
  const std::string line = CommandLineErrorText(args, stop);
  if (line.compare(0, 20, "Command line error: ") != 0 || line.compare(line.size() - 2, 2, "\n\n") != 0)
    return FuzzInvariantBroken(kName, "malformed command line error text");
  // The walk never looked past where it stopped: what came before parses alone.
  if (stop > 1) {
    const ToolOptions alone = ParseToolOptions(std::vector<std::string>(args.begin(), args.begin() + stop));
    if (alone.unrecognisedOption || alone.helpRequested)
      return FuzzInvariantBroken(kName, "the arguments before the stop do not parse alone");
  }
  return true;
}

}  // namespace

bool FuzzOne(const uint8_t* data, size_t size) {
  std::vector<std::string> args = {"sbconfigtool"};
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (size_t start = 0, end = 0; size > 0 && end != std::string::npos; start = end + 1) {
    end = text.find('\0', start);
    args.push_back(text.substr(start, end - start));  // to the end of the text when no zero follows
  }
  const ToolOptions options = ParseToolOptions(args);
  if (!CheckWalk(args, options)) return false;
  if (size == 0 || options.stopIndex != -1) return true;

  // A walk that ran to the end takes one more option of the table, with its
  // arguments; without its last argument the walk stops on it.
  size_t count = 0;
  const OptionRow& row = OptionTable(&count)[data[0] % count];
  if (row.name == nullptr) return true;
  args.push_back(row.name);
  args.insert(args.end(), static_cast<size_t>(row.argCount), "word");
  const ToolOptions longer = ParseToolOptions(args);
  if (!CheckWalk(args, longer)) return false;
  if (longer.unrecognisedOption || longer.helpRequested != row.endsWalk)
    return FuzzInvariantBroken(kName, std::string(row.name) + " with its arguments was not taken");
  if (row.argCount == 0) return true;
  args.pop_back();
  const ToolOptions shorter = ParseToolOptions(args);
  if (!shorter.unrecognisedOption || args[shorter.stopIndex] != row.name)
    return FuzzInvariantBroken(kName, std::string(row.name) + " without its last argument was taken");
  return CheckWalk(args, shorter);
}

}  // namespace fuzz_cmdline
