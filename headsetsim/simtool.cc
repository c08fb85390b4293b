// sbheadset-sim: creates, lists, inspects, changes and removes the simulated
// headsets that the simulated HID library serves.
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <zlib.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "headsetsim/simstate.h"

namespace {

using headsetsim::SimHeadset;

const char kUsage[] =
    "usage: sbheadset-sim COMMAND [ARGS]\n"
    "Simulated headsets live in the directory named by SBHEADSET_SIM_DIR.\n"
    "\n"
    "  create NAME [KEY=VALUE...]  add a headset (serial defaults to NAME)\n"
    "  list                        one line per headset\n"
    "  show NAME                   identity and faults, one KEY=VALUE a line\n"
    "  set NAME KEY=VALUE...       change identity or faults\n"
    "  unset NAME KEY...           back to the default (serial, product: none)\n"
    "  clear-faults NAME           switch every fault off\n"
    "  store NAME FILE             compress FILE (- for stdin) as the stored configuration\n"
    "  store-raw NAME FILE         store FILE as the raw zlib stream, unchecked\n"
    "  inspect NAME                print the stored configuration, inflated\n"
    "  erase NAME                  forget the stored configuration\n"
    "  remove NAME                 remove the headset\n"
    "  help, -h, --help            print this text\n"
    "\n"
    "Identity keys: vendor_id product_id serial product interfaces\n"
    "Timing key: report_delay_us (how long each feature report takes, 0 to 1000000)\n"
    "Fault keys: fail_open get_fail send_fail (a count or all), short_report,\n"
    "    bad_length (data report number), bad_length_value, announce_size,\n"
    "    truncate_stream, corrupt_stream (-1 off), disconnect_after (data reports),\n"
    "    serial_language_id (yes/no), bad_flash_write (flip/stale/no)\n";

constexpr size_t kMaxStreamSize = 0xFFFF;

int Fail(const std::string& message) {
  fprintf(stderr, "sbheadset-sim: %s\n", message.c_str());
  return 1;
}

bool ReadInput(const std::string& path, std::string* bytes) {
  std::ostringstream all;
  if (path == "-") {
    all << std::cin.rdbuf();
  } else {
    std::ifstream in(path, std::ios::binary);
    if (!in)
      return false;
    all << in.rdbuf();
  }
  *bytes = all.str();
  return true;
}

bool Deflate(const std::string& text, std::string* out) {
  uLongf size = compressBound(text.size());
  std::string buffer(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&buffer[0]), &size,
                reinterpret_cast<const Bytef*>(text.data()), text.size(),
                Z_DEFAULT_COMPRESSION) != Z_OK)
    return false;
  buffer.resize(size);
  *out = buffer;
  return true;
}

// Inflates as far as the stream goes; false when it is damaged or cut.
bool Inflate(const std::string& stream, std::string* text, std::string* error) {
  z_stream z;
  memset(&z, 0, sizeof(z));
  if (inflateInit(&z) != Z_OK) {
    *error = "cannot initialise zlib";
    return false;
  }
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
  z.avail_in = static_cast<uInt>(stream.size());
  int result = Z_OK;
  while (result == Z_OK) {
    char window[4096];
    z.next_out = reinterpret_cast<Bytef*>(window);
    z.avail_out = sizeof(window);
    result = inflate(&z, Z_NO_FLUSH);
    text->append(window, sizeof(window) - z.avail_out);
  }
  if (result != Z_STREAM_END)
    *error = z.msg != nullptr ? z.msg : "stream ends early";
  inflateEnd(&z);
  return result == Z_STREAM_END;
}

bool MakeDirectory(const std::string& dir) {
  std::string partial;
  std::stringstream parts(dir);
  std::string part;
  if (!dir.empty() && dir[0] == '/')
    partial = "/";
  while (std::getline(parts, part, '/')) {
    if (part.empty())
      continue;
    partial += part + "/";
    if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
      return false;
  }
  return true;
}

bool ApplyAssignments(SimHeadset* headset, const std::vector<std::string>& words,
                      std::string* error) {
  for (const std::string& word : words) {
    size_t eq = word.find('=');
    if (eq == std::string::npos) {
      *error = "expected KEY=VALUE, got '" + word + "'";
      return false;
    }
    if (!headsetsim::SetHeadsetField(headset, word.substr(0, eq), word.substr(eq + 1), error))
      return false;
  }
  return true;
}

int Create(const std::string& dir, const std::string& name, const std::vector<std::string>& args) {
  if (!headsetsim::IsValidHeadsetName(name))
    return Fail("invalid headset name '" + name + "' (letters, digits, '-', '_', '.')");
  SimHeadset existing;
  std::string error;
  if (headsetsim::LoadHeadset(dir, name, &existing, &error))
    return Fail("headset '" + name + "' already exists");
  SimHeadset headset;
  headset.name = name;
  headset.serial = name;
  if (!ApplyAssignments(&headset, args, &error))
    return Fail(error);
  if (!MakeDirectory(dir))
    return Fail("cannot create directory " + dir);
  if (!headsetsim::SaveHeadset(dir, headset, &error))
    return Fail(error);
  return 0;
}

int List(const std::string& dir) {
  for (const SimHeadset& h : headsetsim::ListHeadsets(dir)) {
    std::string stream;
    bool present = false;
    headsetsim::ReadStream(dir, h.name, &stream, &present);
    std::string faults = headsetsim::DescribeFaults(h.faults);
    printf("%s %04X:%04X serial=%s product=%s interfaces=%d stored=%s%s%s\n", h.name.c_str(),
           h.vendorId, h.productId, h.hasSerial ? ("\"" + h.serial + "\"").c_str() : "none",
           h.hasProduct ? ("\"" + h.product + "\"").c_str() : "none", h.interfaces,
           present ? (std::to_string(stream.size()) + " bytes").c_str() : "none",
           faults.empty() ? "" : " faults: ", faults.c_str());
  }
  return 0;
}

int Inspect(const std::string& dir, const std::string& name) {
  std::string stream;
  bool present = false;
  headsetsim::ReadStream(dir, name, &stream, &present);
  if (!present)
    return Fail("headset '" + name + "' holds no configuration");
  std::string text;
  std::string error;
  bool ok = Inflate(stream, &text, &error);
  fwrite(text.data(), 1, text.size(), stdout);
  fflush(stdout);
  if (!ok)
    return Fail("stored configuration is damaged: " + error);
  return 0;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  const std::string dir = headsetsim::SimDirectory();
  if (dir.empty())
    return Fail("SBHEADSET_SIM_DIR is not set");
  const std::string& command = args[0];
  if (command == "list" && args.size() == 1)
    return List(dir);
  if (args.size() < 2) {
    fputs(kUsage, stderr);
    return 2;
  }
  const std::string& name = args[1];
  std::vector<std::string> rest(args.begin() + 2, args.end());
  if (command == "create")
    return Create(dir, name, rest);

  SimHeadset headset;
  std::string error;
  if (!headsetsim::LoadHeadset(dir, name, &headset, &error))
    return Fail(error);

  if (command == "show" && rest.empty()) {
    for (const auto& field : headsetsim::HeadsetFields(headset))
      printf("%s=%s\n", field.first.c_str(), field.second.c_str());
    return 0;
  }
  if (command == "set" && !rest.empty()) {
    if (!ApplyAssignments(&headset, rest, &error) ||
        !headsetsim::SaveHeadset(dir, headset, &error))
      return Fail(error);
    return 0;
  }
  if (command == "unset" && !rest.empty()) {
    SimHeadset defaults;
    for (const std::string& key : rest) {
      if (key == "serial") {
        headset.hasSerial = false;
        headset.serial.clear();
      } else if (key == "product") {
        headset.hasProduct = false;
        headset.product.clear();
      } else {
        bool known = false;
        for (const auto& field : headsetsim::HeadsetFields(defaults)) {
          if (field.first == key) {
            known = headsetsim::SetHeadsetField(&headset, key, field.second, &error);
            break;
          }
        }
        if (!known)
          return Fail(error.empty() ? "unknown key '" + key + "'" : error);
      }
    }
    return headsetsim::SaveHeadset(dir, headset, &error) ? 0 : Fail(error);
  }
  if (command == "clear-faults" && rest.empty()) {
    headset.faults = headsetsim::SimFaults();
    return headsetsim::SaveHeadset(dir, headset, &error) ? 0 : Fail(error);
  }
  if ((command == "store" || command == "store-raw") && rest.size() == 1) {
    std::string input;
    if (!ReadInput(rest[0], &input))
      return Fail("cannot read " + rest[0]);
    std::string stream = input;
    if (command == "store" && !Deflate(input, &stream))
      return Fail("cannot compress " + rest[0]);
    if (stream.size() > kMaxStreamSize)
      return Fail("compressed configuration of " + std::to_string(stream.size()) +
                  " bytes does not fit a headset (at most 65535)");
    return headsetsim::WriteStream(dir, name, stream, &error) ? 0 : Fail(error);
  }
  if (command == "inspect" && rest.empty())
    return Inspect(dir, name);
  if (command == "erase" && rest.empty())
    return headsetsim::EraseStream(dir, name, &error) ? 0 : Fail(error);
  if (command == "remove" && rest.empty())
    return headsetsim::RemoveHeadset(dir, name, &error) ? 0 : Fail(error);
  fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return Run(args);
}
