#include "corelib/src/processtools.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "corelib/src/logchannel.h"
#include "corelib/src/strtools_public.h"

namespace corelib {

namespace {

// One line-oriented piece of at most size - 1 bytes, like fgets, but with its
// length counted so that NUL bytes in the output survive.
size_t ReadPiece(FILE* stream, char* buffer, size_t size) {
  size_t length = 0;
  while (length + 1 < size) {
    errno = 0;
    const int c = getc(stream);
    if (c == EOF) {
      // A signal during the read is not the end of the output.
      if (ferror(stream) && errno == EINTR) {
        clearerr(stream);
        continue;
      }
      break;
    }
    buffer[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buffer[length] = '\0';
  return length;
}

bool RunProcessCommand(const std::string& command) {
  const std::string line = ProcessCommandPrefix() + command;
  return std::system(line.c_str()) == 0;
}

void WriteAll(int fd, const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = write(fd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
}

ssize_t ReadRetrying(int fd, void* data, size_t size) {
  ssize_t got;
  do {
    got = read(fd, data, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

void WaitRetrying(pid_t pid) {
  int status;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

// The intermediate child: it starts the grandchild, reports its id through
// `pidPipe` and exits, so that the grandchild is re-parented.
[[noreturn]] void RunLauncherChild(const int pidPipe[2], const char* workingDir,
                                   const char* const* argv) {
  close(pidPipe[0]);
  setsid();
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);

  if (workingDir && workingDir[0] && chdir(workingDir) != 0) {
    Log(kLogInfo, "Failed to change directory to '%s' when launching process '%s': %d", workingDir,
        argv[0], errno);
    const int32_t failure = -1;
    WriteAll(pidPipe[1], &failure, sizeof failure);
    _exit(0);
  }

  // Closed by a successful exec; an exec failure sends its errno instead, so
  // a program that could not be started is not reported as started.
  int execPipe[2];
  const bool watchExec = pipe2(execPipe, O_CLOEXEC) == 0;

  const pid_t grandchild = fork();
  if (grandchild == 0) {
    close(pidPipe[1]);
    if (watchExec) close(execPipe[0]);
    execvp(argv[0], const_cast<char* const*>(argv));
    const int error = errno;
    if (watchExec) WriteAll(execPipe[1], &error, sizeof error);
    _exit(127);
  }

  int32_t result = grandchild;
  if (grandchild < 0) {
    Log(kLogInfo, "Unable to fork grandchild to start process: %s\n", argv[0]);
    result = -1;
  }
  if (watchExec) {
    close(execPipe[1]);
    int error = 0;
    if (grandchild > 0 && ReadRetrying(execPipe[0], &error, sizeof error) == sizeof error) {
      Log(kLogInfo, "Unable to execute process '%s': %d\n", argv[0], error);
      WaitRetrying(grandchild);
      result = -1;
    }
    close(execPipe[0]);
  }
  WriteAll(pidPipe[1], &result, sizeof result);
  _exit(0);
}

}  // namespace

int32_t RunCommandCapture(const std::string& command, std::string* output,
                          std::string* errorText) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) {
    const int error = errno;
    if (errorText) *errorText = StringPrintf("Command failed with %d: %s", error, command.c_str());
    return 2;
  }

  std::string collected;
  char piece[256];
  size_t length;
  while ((length = ReadPiece(pipe, piece, sizeof piece)) > 0) collected.append(piece, length);
  if (output) *output = std::move(collected);
  return pclose(pipe);
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  quoted += '\'';
  return quoted;
}

const char* ProcessCommandPrefix() {
  return "ZOREDUVI_VRENV= HARBOR_RUNTIME= LD_LIBRARY_PATH=\"$SYSTEM_LD_LIBRARY_PATH\" "
         "QT_PLUGIN_PATH= ";
}

bool IsProcessRunning(const std::string& name) {
  if (name.empty()) return false;
  return RunProcessCommand("pidof " + ShellQuote(name) + " > /dev/null");
}

bool KillProcessesByName(const std::string& name) {
  if (name.empty()) return false;
  return RunProcessCommand("/usr/bin/pkill -9 " + ShellQuote(name));
}

bool KillProcessElevated(pid_t pid) {
  if (pid <= 0) return false;
  return RunProcessCommand("sudo -n /bin/kill -9 " + std::to_string(pid));
}

void OpenUrl(const std::string& url) {
  if (url.empty()) return;
  const std::string command = ProcessCommandPrefix() + ("xdg-open " + ShellQuote(url) + " &");
  if (std::system(command.c_str()) != 0)
    std::fprintf(stderr, "Failed to execute '%s'\n", command.c_str());
}

bool IsProcessIdAlive(pid_t pid) {
  if (pid <= 0) return false;
  return kill(pid, 0) == 0 || errno == EPERM;
}

bool LaunchDetached(const char* workingDir, const char* const* argv, pid_t* outPid) {
  if (outPid) *outPid = 0;
  if (!argv || !argv[0]) return false;

  int pidPipe[2];
  if (pipe2(pidPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    Log(kLogInfo, "Failed to create PID pipe\n");
    return false;
  }

  const pid_t child = fork();
  if (child < 0) {
    close(pidPipe[0]);
    close(pidPipe[1]);
    Log(kLogInfo, "Unable to fork child to start process: %s\n", argv[0]);
    return false;
  }
  if (child == 0) RunLauncherChild(pidPipe, workingDir, argv);

  WaitRetrying(child);
  int32_t pid = 0;
  const ssize_t got = ReadRetrying(pidPipe[0], &pid, sizeof pid);
  close(pidPipe[0]);
  close(pidPipe[1]);
  if (got == sizeof pid) {
    if (outPid) *outPid = pid;
    return pid > 0;
  }
  if (outPid) *outPid = -1;
  return false;
}

}  // namespace corelib
