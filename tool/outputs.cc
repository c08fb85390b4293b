#include "tool/outputs.h"

#include <cerrno>
#include <cstring>

#include "devconfig/configloader.h"

bool WriteOutputFile(const TrackedDeviceConfig& config, const std::string& path, bool quiet, std::string* error) {
  if (!SaveToFile(config, path)) {
    *error = "Error writing tracked device config to file '" + path + "'\n";
    return false;
  }
  PrintProgress(quiet, "Wrote '%s'\n", path.c_str());
  return true;
}

bool WriteDocumentTo(const TrackedDeviceConfig& config, FILE* out) {
  // Standard output is unbuffered: one write for the document and its line end.
  std::string text = ToJsonString(config, true);
  text.push_back('\n');
  const bool written = fwrite(text.data(), 1, text.size(), out) == text.size();
  return fflush(out) == 0 && written;
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
