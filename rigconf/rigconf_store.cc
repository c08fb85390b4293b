#include "rigconf/rigconf_store.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "corelib/src/pathtools.h"

namespace rigconf {

std::string StoreDirectory() {
  const char* dir = getenv(kStoreDirVariable);
  // An empty value would put the store in whatever directory a script runs
  // in; treat it as unset.
  if (dir == nullptr || dir[0] == '\0') return kDefaultStoreDir;
  return dir;
}

std::string DeviceConfigPath() {
  return corelib::JoinPath(StoreDirectory(), std::string(kDeviceKind) + ".json");
}

int CheckCommandLine(int argc, char** argv, const char* usage, const char* help, bool wellFormed) {
  if (argc == 2 && (strcmp(argv[1], "-h") == 0 || strcmp(argv[1], "--help") == 0)) {
    printf("%s%s\nThe copy lives in $%s, or in %s\nwhen that is unset or empty.\n", usage, help, kStoreDirVariable,
           kDefaultStoreDir);
    return 0;
  }
  if (wellFormed) return -1;
  fputs(usage, stderr);
  return 2;
}

bool MakeDirectories(const std::string& path, std::string* error) {
  if (path.empty() || corelib::IsDirectory(path)) return true;
  const std::string parent = corelib::DirName(path);
  if (parent != path && !parent.empty() && !MakeDirectories(parent, error)) return false;
  // Another process may create it between the check and here.
  if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
    *error = "cannot create the directory '" + path + "': " + strerror(errno);
    return false;
  }
  if (!corelib::IsDirectory(path)) {
    *error = "'" + path + "' exists and is not a directory";
    return false;
  }
  return true;
}

bool CheckStoreOwners(const std::string& path, std::string* error) {
  for (std::string at = path; !at.empty();) {
    struct stat name, directory;
    if (lstat(at.c_str(), &name) != 0 || stat(at.c_str(), &directory) != 0) {
      *error = "cannot examine '" + at + "': " + strerror(errno);
      return false;
    }
    const bool ours = (name.st_uid == 0 || name.st_uid == geteuid()) &&
                      (directory.st_uid == 0 || directory.st_uid == geteuid());
    // Without the sticky bit, anyone who may write to a directory may
    // rename what is in it.
    const bool shared = (directory.st_mode & S_IWOTH) != 0 && (directory.st_mode & S_ISVTX) == 0;
    if (!ours || shared) {
      *error = "'" + at + "' can be changed by another user";
      return false;
    }
    const std::string parent = corelib::DirName(at);
    if (parent == at) break;
    at = parent;
  }
  return true;
}

}  // namespace rigconf
