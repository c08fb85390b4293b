// rigconf_path device: prints the path of the local canonical device
// configuration file. It fails while nothing is stored there, so that a
// caller never goes on to load a file that does not exist.
#include <cstdio>
#include <cstring>
#include <string>

#include "corelib/src/pathtools.h"
#include "rigconf/rigconf_store.h"

const char kHelp[] =
    "Prints the path of the local copy of the device configuration; fails while\n"
    "none is stored.\n\n"
    "  device      the device configuration, the only kind kept\n"
    "  -h, --help  print this text\n";
const char kUsage[] = "usage: rigconf_path device\n";

int main(int argc, char** argv) {
  const int code = rigconf::CheckCommandLine(argc, argv, kUsage, kHelp, argc == 2 && strcmp(argv[1], rigconf::kDeviceKind) == 0);
  if (code >= 0) return code;
  const std::string path = rigconf::DeviceConfigPath();
  // Failures go to standard output too: callers quote what it printed.
  if (!corelib::FileExists(path)) {
    printf("no local device configuration at '%s' (store one with rigconf_write device FILE)\n",
           path.c_str());
    return 1;
  }
  printf("%s\n", path.c_str());
  return 0;
}
