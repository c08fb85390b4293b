// rigconf_write device FILE: makes FILE the local canonical device
// configuration. FILE must load as a configuration document; the copy is
// replaced atomically, so readers see the old or the new one, never a part.
#include <cstdio>
#include <cstring>
#include <string>

#include "corelib/src/atomicfile.h"
#include "corelib/src/pathtools.h"
#include "devconfig/storable_config.h"
#include "rigconf/rigconf_store.h"

const char kHelp[] =
    "Makes FILE the local copy of the device configuration, replacing the old\n"
    "one atomically, but only when FILE loads as a configuration document that\n"
    "a headset could take: a known device class, small enough to read back.\n"
    "Creates the directory of the copy.\n\n"
    "  device      the device configuration, the only kind kept\n"
    "  -h, --help  print this text\n";
const char kUsage[] = "usage: rigconf_write device FILE\n";

int main(int argc, char** argv) {
  const int code = rigconf::CheckCommandLine(argc, argv, kUsage, kHelp, argc == 3 && strcmp(argv[1], rigconf::kDeviceKind) == 0);
  if (code >= 0) return code;
  const std::string source = argv[2];
  // Read once and check that very text (as LoadFromFile would), so that a
  // file changing under us cannot slip past the check.
  const std::string text = corelib::ReadTextFile(source);
  // The copy is what a headset gets next: a plainly wrong document is
  // refused as the tool refuses it. The caller only looks at the status, so
  // the reason goes to standard error.
  std::string error = "it is empty or does not exist";
  if (text.empty() || !CheckStorableConfig(text, &error)) {
    fprintf(stderr, "rigconf_write: not storing '%s': %s\n", source.c_str(), error.c_str());
    return 1;
  }
  const std::string target = rigconf::DeviceConfigPath();
  if (!rigconf::MakeDirectories(rigconf::StoreDirectory(), &error) ||
      !rigconf::CheckStoreOwners(rigconf::StoreDirectory(), &error) ||
      !corelib::ReplaceFileAtomically(target, text, &error)) {
    fprintf(stderr, "rigconf_write: cannot store the local device configuration: %s\n",
            error.c_str());
    return 1;
  }
  return 0;
}
