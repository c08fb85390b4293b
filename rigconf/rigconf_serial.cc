// rigconf_serial: prints the serial number of the local device, taken from
// "device_serial_number" of the local canonical device configuration.
#include <cstdio>
#include <string>

#include "devconfig/configloader.h"
#include "rigconf/rigconf_store.h"

const char kHelp[] =
    "Prints \"device_serial_number\" of the local copy of the device\n"
    "configuration; fails when there is none.\n\n"
    "  -h, --help  print this text\n";
const char kUsage[] = "usage: rigconf_serial\n";

int main(int argc, char** argv) {
  const int code = rigconf::CheckCommandLine(argc, argv, kUsage, kHelp, argc == 1);
  if (code >= 0) return code;
  const std::string path = rigconf::DeviceConfigPath();
  TrackedDeviceConfig config;
  std::string error;
  // Failures go to standard output too: callers quote what it printed.
  if (!LoadFromFile(&config, &error, path)) {
    printf("cannot read the local device configuration '%s': %s\n", path.c_str(), error.c_str());
    return 1;
  }
  if (config.device_serial_number.empty()) {
    printf("the local device configuration '%s' has no device_serial_number\n", path.c_str());
    return 1;
  }
  printf("%s\n", config.device_serial_number.c_str());
  return 0;
}
