// rigconf_serial: prints the serial number of the local device, taken from
// "device_serial_number" of the local canonical device configuration.
#include <cstdio>
#include <string>

#include "devconfig/configloader.h"
#include "rigconf/rigconf_store.h"

const char kUsage[] = "usage: rigconf_serial\n";

int main(int argc, char** argv) {
  if (rigconf::AsksForHelp(argc, argv)) {
    printf("%s"
           "Prints \"device_serial_number\" of the local copy of the device\n"
           "configuration; fails when there is none.\n\n"
           "  -h, --help  print this text\n%s",
           kUsage, rigconf::StoreHelp().c_str());
    return 0;
  }
  if (argc != 1) {
    fputs(kUsage, stderr);
    return 2;
  }
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
