#include "tool/local_store.h"

#include <cstdio>
#include <string>

#include "corelib/src/processtools.h"
#include "corelib/src/strtools_public.h"

namespace {

// Runs a sibling command; `output` gets what it printed, trailing blanks
// and line ends removed. True on status 0.
bool RunSibling(const std::string& command, std::string* output) {
  std::string captured;
  const int32_t status = corelib::RunCommandCapture(command, &captured);
  *output = corelib::TrimTrailingWhitespace(captured);
  return status == 0;
}

}  // namespace

StepResult FindLocalInputPath(RunContext& run) {
  if (!run.options.inputLocal) return StepResult::kContinue;
  std::string path;
  if (!RunSibling("rigconf_path device", &path)) {
    printf("Error running rigconf_path: %s\n", path.c_str());
    return StepResult::kExitFailure;
  }
  run.options.inputFile = path;
  if (!run.quiet) printf("Input File '%s'\n", path.c_str());
  return StepResult::kContinue;
}
