#include "corelib/src/atomicfile.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace corelib {

namespace {

const int kMaxLinkDepth = 40;  // the kernel's own limit

bool Fail(std::string* error, const std::string& what, const std::string& path, int code) {
  // errno 0 after a failed stream call would read "Success"; say EIO instead.
  if (error != nullptr) *error = what + " " + path + ": " + strerror(code != 0 ? code : EIO);
  return false;
}

// Follows symbolic links (relative ones from the link's own directory) to
// the path that is really written. A missing file ends the walk: it is new,
// or the destination of a dangling link. Only links of this user or root
// are followed: one that another user planted (in /tmp, say) must not steer
// the write, whatever fs.protected_symlinks says, as readlink bypasses it.
bool ResolveLinks(const std::string& target, std::string* resolved, std::string* error) {
  std::string path = target;
  for (int depth = 0;; ++depth) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) {
      if (errno == ENOENT) break;
      return Fail(error, "Cannot examine", path, errno);
    }
    if (!S_ISLNK(info.st_mode)) break;
    if (info.st_uid != geteuid() && info.st_uid != 0) {
      return Fail(error, "Will not follow another user's link", path, EPERM);
    }
    if (depth == kMaxLinkDepth) return Fail(error, "Cannot follow the links of", target, ELOOP);
    char buffer[4096];
    const ssize_t length = readlink(path.c_str(), buffer, sizeof(buffer));
    if (length < 0) return Fail(error, "Cannot read the link", path, errno);
    if (static_cast<size_t>(length) >= sizeof(buffer)) {
      return Fail(error, "Cannot read the link", path, ENAMETOOLONG);
    }
    const std::string link(buffer, static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    if (link[0] == '/' || slash == std::string::npos) {
      path = link;
    } else {
      path = path.substr(0, slash + 1) + link;
    }
  }
  *resolved = path;
  return true;
}

// umask() can only be read by setting it; /proc avoids the window in which
// files another thread creates would get no mask at all.
mode_t CurrentUmask() {
  FILE* status = fopen("/proc/self/status", "r");
  if (status != nullptr) {
    char line[256];
    while (fgets(line, sizeof(line), status) != nullptr) {
      if (strncmp(line, "Umask:", 6) == 0) {
        fclose(status);
        return static_cast<mode_t>(strtoul(line + 6, nullptr, 8)) & 0777;
      }
    }
    fclose(status);
  }
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Makes the rename itself survive a crash. Best effort: some file systems
// refuse to sync a directory, and the data is already safe.
void SyncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

bool WriteAll(FILE* file, const std::string& text) {
  if (fwrite(text.data(), 1, text.size(), file) != text.size()) return false;
  return fflush(file) == 0;
}

// Devices and pipes (/dev/null, /dev/stdout) are written, never replaced.
// Nothing is created, and what was put at the name since it was examined
// (a link, a regular file such as a hard link to another's) is refused.
bool WriteInPlace(const std::string& path, const std::string& text, std::string* error) {
  const int fd = open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return Fail(error, "Cannot open", path, errno);
  struct stat info;
  if (fstat(fd, &info) != 0 || S_ISREG(info.st_mode)) {
    close(fd);
    return Fail(error, "Cannot write in place", path, EPERM);
  }
  FILE* file = fdopen(fd, "w");
  if (file == nullptr) {
    const int code = errno;
    close(fd);
    return Fail(error, "Cannot open", path, code);
  }
  if (!WriteAll(file, text)) {
    const int code = errno;
    fclose(file);
    return Fail(error, "Cannot write", path, code);
  }
  if (fclose(file) != 0) return Fail(error, "Cannot close", path, errno);
  return true;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& target, const std::string& text,
                           std::string* error) {
  if (target.empty()) return Fail(error, "Cannot write", "an empty path", ENOENT);
  std::string path;
  if (!ResolveLinks(target, &path, error)) return false;

  // lstat: the links are resolved, and one appearing since is not followed.
  // Another user's file is replaced, but its permission bits are not taken
  // over: they could let that user write into ours.
  mode_t mode = 0644 & ~CurrentUmask();
  struct stat info;
  if (lstat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return Fail(error, "Cannot replace", path, EISDIR);
    if (!S_ISREG(info.st_mode)) return WriteInPlace(path, text, error);
    if (info.st_uid == geteuid()) mode = info.st_mode & 07777;
  }

  // Same directory as the target, so the rename cannot cross file systems;
  // mkstemp gives each concurrent run its own name.
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return Fail(error, "Cannot create a temporary file beside", path, errno);
  const std::string temporary(name.data());

  FILE* file = fdopen(fd, "w");
  if (file == nullptr) {
    const int code = errno;
    close(fd);
    unlink(temporary.c_str());
    return Fail(error, "Cannot open", temporary, code);
  }
  // The first failing step names the error.
  const char* what = nullptr;
  int code = 0;
  if (fchmod(fd, mode) != 0) {
    what = "Cannot set the permissions of", code = errno;
  } else if (!WriteAll(file, text)) {
    what = "Cannot write", code = errno;
  } else if (fsync(fd) != 0) {
    what = "Cannot sync", code = errno;
  }
  if (fclose(file) != 0 && what == nullptr) what = "Cannot close", code = errno;
  if (what == nullptr && rename(temporary.c_str(), path.c_str()) != 0) {
    what = "Cannot rename the temporary file over", code = errno;
  }
  if (what != nullptr) {
    unlink(temporary.c_str());
    return Fail(error, what, path, code);
  }
  SyncDirectory(DirectoryOf(path));
  return true;
}

}  // namespace corelib
