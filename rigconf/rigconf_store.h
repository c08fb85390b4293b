// The local canonical copy of the device configuration that the rigconf_*
// commands keep: where it lives and how the commands report.
#pragma once

#include <string>

namespace rigconf {

// Moves the store, for tests and for machines with more than one station.
constexpr const char kStoreDirVariable[] = "SBCONFIG_RIGCONF_DIR";
constexpr const char kDefaultStoreDir[] = "/var/lib/sbconfigtool";
// The only configuration kept so far; commands name it by its kind.
constexpr const char kDeviceKind[] = "device";

// kStoreDirVariable when set and not empty, else kDefaultStoreDir.
std::string StoreDirectory();
// The canonical device configuration file: device.json in the store.
std::string DeviceConfigPath();

// The command line of a rigconf command: with -h or --help alone, prints
// `usage`, `help` and where the copy lives, and gives 0; otherwise, unless
// `wellFormed`, prints `usage` on standard error and gives 2. -1: go on.
int CheckCommandLine(int argc, char** argv, const char* usage, const char* help, bool wellFormed);

// Creates the directory and every missing parent (0755 less the umask).
bool MakeDirectories(const std::string& path, std::string* error);

// False, with the reason, unless the directory and each one above it (and
// any link among them) belongs to this user or root and is not writable by
// every user without the sticky bit. Otherwise another user could swap in a
// directory of their own, say one planted in /tmp before the store was made,
// and with it the copy that later runs load.
bool CheckStoreOwners(const std::string& path, std::string* error);

}  // namespace rigconf
