#include "rigconf/rigconf_store.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>

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

bool AsksForHelp(int argc, char** argv) {
  return argc == 2 && (strcmp(argv[1], "-h") == 0 || strcmp(argv[1], "--help") == 0);
}

std::string StoreHelp() {
  return std::string("\nThe copy lives in $") + kStoreDirVariable + ", or in " + kDefaultStoreDir +
         "\nwhen that is unset or empty.\n";
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

}  // namespace rigconf
