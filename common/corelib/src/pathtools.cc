#include "corelib/src/pathtools.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "corelib/src/strtools_public.h"

namespace corelib {

namespace {

const size_t kPathBufferSize = 1024;
const size_t kMaxFileBytes = INT32_MAX;  // sizes travel as signed 32-bit counts

// The one piece of state: set by the host, read on every lookup.
std::mutex g_overrideMutex;
std::string g_driverConfigOverride;

bool IsSlash(char c) { return c == '/' || c == '\\'; }

// DirName, except that the parent of a top-level absolute path is the root
// itself rather than empty text (which would name the working directory).
std::string ParentPath(const std::string& path) {
  std::string parent = DirName(path);
  if (parent.empty() && path.size() > 1 && path[0] == '/') parent = "/";
  return parent;
}

// Writes len bytes; the fsync makes a following rename durable.
bool WriteWholeFile(const std::string& path, const char* data, size_t len, bool sync) {
  FILE* file = fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  bool ok = fwrite(data, 1, len, file) == len;
  // Buffered data is only known to have reached the file after the flush.
  ok = fflush(file) == 0 && ok;
  if (sync) ok = ok && fsync(fileno(file)) == 0;
  ok = fclose(file) == 0 && ok;
  return ok;
}

}  // namespace

std::string TempDirectory() {
  const char* value = getenv("TMPDIR");
  return value != nullptr ? std::string(value) : std::string("/tmp");
}

std::string HomeDirectory() {
  const char* value = getenv("HOME");
  return value != nullptr ? std::string(value) : std::string();
}

std::string ExecutablePath() {
  char buffer[kPathBufferSize];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer));
  // A full buffer may mean a cut-off target; a partial path is worse than none.
  if (length <= 0 || static_cast<size_t>(length) >= sizeof(buffer)) return std::string();
  return std::string(buffer, static_cast<size_t>(length));
}

std::string CurrentDirectory() {
  char buffer[kPathBufferSize];
  if (getcwd(buffer, sizeof(buffer)) == nullptr) return std::string();
  // Linux reports a directory outside the process's root this way.
  if (buffer[0] != '/') return std::string();
  return std::string(buffer);
}

std::string NormalizeSlashes(const std::string& path, char separator) {
  std::string result(path);
  for (char& c : result) {
    if (IsSlash(c)) c = separator;
  }
  return result;
}

std::string JoinPath(const std::string& a, const std::string& b, char separator) {
  if (a.empty()) return b;
  std::string result(a);
  if (IsSlash(result.back())) result.pop_back();
  result.push_back(separator);
  result += b;
  return result;
}

std::string DirName(const std::string& path, char separator) {
  const size_t last = path.rfind(separator);
  if (last == std::string::npos) return path;
  return path.substr(0, last);
}

std::string BaseName(const std::string& path, char separator) {
  const size_t last = path.rfind(separator);
  if (last == std::string::npos) return path;
  return path.substr(last + 1);
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  struct stat info;
  return stat(NormalizeSlashes(path).c_str(), &info) == 0;
}

bool IsDirectory(const std::string& path) {
  std::string normal = NormalizeSlashes(path);
  // Keep "/" itself: stripping its slash would leave nothing to look at.
  if (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  if (normal.empty()) return false;
  struct stat info;
  return stat(normal.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

namespace {

// Reads the whole file straight into `out` (a vector or a string), without
// a bounce buffer: one read for a regular file whose size is known.
template <typename Buffer>
bool ReadWholeFile(const std::string& path, Buffer* out) {
  out->clear();
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  // Read until the end rather than trusting the size: files under /proc
  // report zero, and a file may grow while it is read. One byte more than
  // the size lets the first read see the end.
  size_t room = 65536;
  struct stat info;
  if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
      static_cast<uint64_t>(info.st_size) <= kMaxFileBytes) {
    room = static_cast<size_t>(info.st_size) + 1;
  }
  Buffer data;
  size_t used = 0;
  bool ok = true;
  for (;;) {
    data.resize(used + room);
    const size_t got = fread(&data[used], 1, room, file);
    used += got;
    if (used > kMaxFileBytes) {
      ok = false;
      break;
    }
    if (got < room) {
      ok = ferror(file) == 0;
      break;
    }
    room = std::max<size_t>(used, 65536);
  }
  fclose(file);
  if (!ok || used == 0) return false;
  data.resize(used);
  out->swap(data);
  return true;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::vector<char>* bytes) { return ReadWholeFile(path, bytes); }

std::string ReadTextFile(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, &text)) return std::string();
  if (text.compare(0, 3, "\xef\xbb\xbf") == 0) text.erase(0, 3);
  // CR LF to LF in place; most files have no CR at all and stay untouched.
  size_t write = text.find('\r');
  if (write == std::string::npos) return text;
  for (size_t read = write; read < text.size(); ++read) {
    if (text[read] == '\r' && read + 1 < text.size() && text[read + 1] == '\n') continue;
    text[write++] = text[read];
  }
  text.resize(write);
  return text;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  return WriteWholeFile(path, text.c_str(), strlen(text.c_str()), false);
}

bool WriteTextFileAtomic(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".tmp";
  if (!WriteWholeFile(temporary, text.c_str(), strlen(text.c_str()), true) ||
      rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

bool DeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

std::string FindUpward(const std::string& start, const std::string& name) {
  std::string current = NormalizeSlashes(start);
  while (!current.empty() && FileExists(current)) {
    const std::string parent = ParentPath(current);
    // A relative name without separators, or the root, is its own parent.
    if (parent.empty() || parent == current) break;
    current = parent;
    const std::string candidate = JoinPath(current, name);
    if (FileExists(candidate)) return candidate;
  }
  return std::string();
}

std::string FindAncestorNamed(const std::string& start, const std::string& name) {
  std::string current = NormalizeSlashes(start);
  if (current.empty()) return std::string();
  if (FileExists(current) && CaseInsensitiveEqual(BaseName(current).c_str(), name.c_str())) {
    return current;
  }
  for (;;) {
    const std::string parent = DirName(current);
    if (parent.empty() || parent == current || !FileExists(parent)) return std::string();
    current = parent;
    if (CaseInsensitiveEqual(BaseName(current).c_str(), name.c_str())) return current;
  }
}

std::string RuntimeDirectory() { return FindUpward(ExecutablePath(), "runtime"); }

std::string DriverConfigDirectory() {
  {
    std::lock_guard<std::mutex> lock(g_overrideMutex);
    if (!g_driverConfigOverride.empty()) return g_driverConfigOverride;
  }
  const std::string working = CurrentDirectory();
  std::string root = FindAncestorNamed(working, "OpenRig");
  if (root.empty()) root = FindAncestorNamed(working, "MainZoreduVI");
  if (root.empty()) root = RuntimeDirectory();
  if (root.empty()) {
    const std::string candidate = FindUpward(working, "vantage");
    if (IsDirectory(candidate)) return candidate;
  }
  return JoinPath(JoinPath(root, "drivers"), "vantage");
}

void SetDriverConfigDirectory(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_overrideMutex);
  g_driverConfigOverride = path;
}

std::string ReadDriverConfigFile(const std::string& name) {
  return ReadTextFile(JoinPath(DriverConfigDirectory(), name));
}

bool WriteDriverConfigFile(const std::string& name, const std::string& text) {
  return WriteTextFile(JoinPath(DriverConfigDirectory(), name), text);
}

}  // namespace corelib
