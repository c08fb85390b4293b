#include "tool/outputs.h"

#include "devconfig/configloader.h"

bool WriteOutputFile(const TrackedDeviceConfig& config, const std::string& path, const Progress& progress,
                     std::string* error) {
  if (!SaveToFile(config, path)) {
    *error = "Error writing tracked device config to file '" + path + "'\n";
    return false;
  }
  PrintProgress(progress, "Wrote '%s'\n", path.c_str());
  return true;
}

void WriteDocumentTo(const TrackedDeviceConfig& config, FILE* out) {
  // Standard output is unbuffered: one write for the document and its line end.
  std::string text = ToJsonString(config, true);
  text.push_back('\n');
  fwrite(text.data(), 1, text.size(), out);
}

StepResult WriteFileOutput(RunContext& run) {
  if (run.options.outputFile.empty()) return StepResult::kContinue;
  std::string error;
  if (WriteOutputFile(run.config, run.options.outputFile, Progress{stdout, run.quiet}, &error))
    return StepResult::kContinue;
  fputs(error.c_str(), stdout);
  return StepResult::kExitFailure;
}

StepResult WriteStdoutOutput(RunContext& run) {
  if (run.options.outputStdout) WriteDocumentTo(run.config, stdout);
  return StepResult::kContinue;
}
