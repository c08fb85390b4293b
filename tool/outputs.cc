#include "tool/outputs.h"

#include <cerrno>
#include <cstring>

#include "corelib/src/atomicfile.h"
#include "devconfig/configloader.h"
#include "tool/progress.h"

namespace {

// A document is written as asked even when the loader would refuse it (an
// HMD without its display values), but it will not come back: say so.
void WarnIfUnloadable(const TrackedDeviceConfig& config, const std::string& where) {
  std::string error;
  if (!CheckLoadable(config, &error))
    fprintf(stderr, "Warning: %s will not load back: %s\n", where.c_str(), error.c_str());
}

}  // namespace

bool WriteOutputFile(const TrackedDeviceConfig& config, const std::string& path, bool quiet, std::string* error) {
  const std::string text = ToJsonString(config, true);
  if (!corelib::ReplaceFileAtomically(path, text, nullptr)) {
    *error = "Error writing tracked device config to file '" + path + "'\n";
    return false;
  }
  PrintProgress(quiet, "Wrote '%s'\n", path.c_str());
  WarnIfUnloadable(config, "'" + path + "'");
  return true;
}

bool WriteDocumentTo(const TrackedDeviceConfig& config, FILE* out) {
  // Standard output is unbuffered: one write for the document and its line end.
  std::string text = ToJsonString(config, true);
  text.push_back('\n');
  const bool written = fwrite(text.data(), 1, text.size(), out) == text.size();
  if (fflush(out) != 0 || !written) return false;
  WarnIfUnloadable(config, "the document on standard output");
  return true;
}

StepResult WriteFileOutput(RunContext& run) {
  if (run.options.outputFile.empty()) return StepResult::kContinue;
  std::string error;
  if (WriteOutputFile(run.config, run.options.outputFile, run.quiet, &error))
    return StepResult::kContinue;
  PrintInEveryMode("%s", error.c_str());
  return StepResult::kExitFailure;
}

StepResult WriteStdoutOutput(RunContext& run) {
  if (!run.options.outputStdout) return StepResult::kContinue;
  errno = 0;
  if (WriteDocumentTo(run.config, stdout)) return StepResult::kContinue;
  // A script that redirected the document must not take a cut copy for a
  // success; standard output itself failed, so the message goes to stderr.
  fprintf(stderr, "Error writing tracked device config to standard output: %s\n",
          errno != 0 ? strerror(errno) : "short write");
  return StepResult::kExitFailure;
}
