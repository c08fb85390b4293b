#include "tool/local_store.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "corelib/src/pathtools.h"
#include "corelib/src/processtools.h"
#include "corelib/src/strtools_public.h"
#include "devconfig/configloader.h"
#include "devconfig/storable_config.h"
#include "tool/progress.h"

namespace {

// Runs a sibling command; `output` gets what it printed, trailing blanks
// and line ends removed. True on status 0.
bool RunSibling(const std::string& command, std::string* output) {
  std::string captured;
  const int32_t status = corelib::RunCommandCapture(command, &captured);
  *output = corelib::TrimTrailingWhitespace(captured);
  return status == 0;
}

// Creates the staging file afresh, readable by this user only. O_EXCL with
// O_NOFOLLOW never opens what is already at the name, so a link or file
// another user planted in a shared TMPDIR (/tmp) is refused, not written
// through. 0 on success, else the error number; a cut file (a full disk)
// is removed, not left for anyone to take.
int CreateStagingFile(const std::string& path, const std::string& text) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return errno;
  int code = 0;
  size_t done = 0;
  while (code == 0 && done < text.size()) {
    const ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) code = written < 0 ? errno : EIO;
    else done += static_cast<size_t>(written);
  }
  if (code == 0 && fsync(fd) != 0) code = errno;
  if (close(fd) != 0 && code == 0) code = errno;
  if (code != 0) unlink(path.c_str());
  return code;
}

}  // namespace

StepResult FindLocalInputPath(RunContext& run) {
  if (!run.options.inputLocal) return StepResult::kContinue;
  std::string path;
  if (!RunSibling("rigconf_path device", &path)) {
    PrintInEveryMode("Error running rigconf_path: %s\n", path.c_str());
    return StepResult::kExitFailure;
  }
  run.options.inputFile = path;
  PrintProgress(run.quiet, "Input File '%s'\n", path.c_str());
  return StepResult::kContinue;
}

StepResult TakeSerialFromLocal(RunContext& run) {
  if (!run.options.serialLocal) return StepResult::kContinue;
  std::string serial;
  if (!RunSibling("rigconf_serial", &serial)) {
    PrintInEveryMode("Error running rigconf_serial: %s\n", serial.c_str());
    return StepResult::kExitFailure;
  }
  run.config.device_serial_number = serial;
  PrintProgress(run.quiet, "Using Serial From Local Device: %s\n", serial.c_str());
  return StepResult::kContinue;
}

StepResult WriteToLocalStore(RunContext& run) {
  if (!run.options.outputLocal) return StepResult::kContinue;
  const std::string text = ToJsonString(run.config, true);
  std::string why;
  if (!CheckStorableConfig(run.config, text, &why)) {
    PrintInEveryMode("Error: not writing the configuration to the local copy: %s.\n", why.c_str());
    return StepResult::kExitFailure;
  }
  const std::string staging = corelib::JoinPath(corelib::TempDirectory(), "configtool.json");
  corelib::DeleteFile(staging);  // a stale one must not be handed on
  const int code = CreateStagingFile(staging, text);
  if (code != 0) {
    PrintInEveryMode("Error writing new configuration to staging location %s.\n", staging.c_str());
    // Another user's file in a sticky /tmp cannot be removed; a link may be put back.
    if (code == EEXIST) {
      PrintInEveryMode("Something else is at that name and could not be removed, or came back; "
                       "nothing was written to it.\n");
    }
    return StepResult::kExitFailure;
  }
  // TMPDIR may hold blanks or shell syntax: the path goes as one quoted word.
  std::string output;
  if (!RunSibling("rigconf_write device " + corelib::ShellQuote(staging), &output)) {
    PrintInEveryMode("Error writing new configuration to device.\n");
    return StepResult::kExitFailure;
  }
  PrintProgress(run.quiet, "Wrote configuration to device\n");
  // unlink never follows a link. In a sticky TMPDIR nobody else can have
  // swapped our file out; in any other the swapper could delete it anyway.
  corelib::DeleteFile(staging);
  return StepResult::kContinue;
}
