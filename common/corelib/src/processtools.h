// Running shell commands and starting, testing and ending processes.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace corelib {

// Runs `command` through the shell (popen, unchanged: no quoting, no
// environment prefix) and collects its standard output byte for byte into
// `output`; standard error is not captured. Returns the raw wait status from
// pclose (exit code n gives n * 256, -1 when waiting failed), or 2 when the
// command could not be started; then `output` is left untouched and
// `errorText`, when given, gets "Command failed with <errno>: <command>".
int32_t RunCommandCapture(const std::string& command, std::string* output,
                          std::string* errorText = nullptr);

// The text as one shell word: in single quotes, with each embedded single
// quote written as '\''.
std::string ShellQuote(const std::string& text);

// What every process-tool shell command starts with: it empties two runtime
// variables and the plug-in path and restores the system library path.
const char* ProcessCommandPrefix();

// The tools below run prefix + command through system() and succeed when the
// shell returns 0. Names and URLs are passed as quoted shell words.

// pidof NAME. An empty name is never looked up (false).
bool IsProcessRunning(const std::string& name);
// /usr/bin/pkill -9 NAME (NAME is pkill's pattern). An empty name, which
// would match every process, is refused (false).
bool KillProcessesByName(const std::string& name);
// sudo -n /bin/kill -9 PID. Ids <= 0 (process groups, every process) are
// refused (false).
bool KillProcessElevated(pid_t pid);
// xdg-open URL in the background; an empty URL does nothing. On a non-zero
// status prints "Failed to execute '<command>'" to standard error.
void OpenUrl(const std::string& url);

// Signal 0: true when delivered or refused for lack of permission. Ids <= 0
// address groups of processes and give false.
bool IsProcessIdAlive(pid_t pid);

// Starts argv[0] (searched on PATH) with the null-terminated `argv` as a
// detached grandchild in a session of its own, in `workingDir` unless it is
// null or empty. Returns true when the process runs the program. `outPid`,
// when given, gets its id; 0 when no pipe or child could be made, -1 when
// no process came of it (the directory or the program was unusable).
bool LaunchDetached(const char* workingDir, const char* const* argv, pid_t* outPid);

}  // namespace corelib
