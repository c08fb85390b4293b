// Simulated headsets as plain files, shared by the simulated HID library and
// the sbheadset-sim command.
//
// $SBHEADSET_SIM_DIR holds, per headset NAME:
//   NAME.headset  identity and faults, one "key=value" line each (values
//                 are taken verbatim up to the line end; '#' starts a comment
//                 line). A missing "serial" or "product" means the device
//                 reports none.
//   NAME.zcfg     the stored configuration as the raw zlib stream; absent
//                 when the headset holds no configuration.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace headsetsim {

// A fault count: 0 off, N the first N times, kAlways every time.
constexpr int64_t kAlways = -1;

struct SimFaults {
  int64_t failOpen = 0;          // opens per process that fail
  int64_t getFail = 0;           // failing get-feature-report calls per open handle
  int64_t sendFail = 0;          // failing send-feature-report calls per open handle
  int64_t shortReport = 0;       // the Nth data report of a read answers 32 bytes
  int64_t badLength = 0;         // the Nth data report of a read carries badLengthValue
  int64_t badLengthValue = 63;   // its length byte
  int64_t announceSize = -1;     // size report value instead of the stored size
  int64_t truncateStream = -1;   // serve (and announce) only this many stream bytes
  int64_t corruptStream = -1;    // offset of a served stream byte that is inverted
  int64_t disconnectAfter = 0;   // data reports (read or write) before the handle dies
  bool serialLanguageId = false; // serial number starts with the character 0x0409
  // A bad flash write: what a write stores is not what was sent. "flip"
  // inverts a byte in the middle of the stored stream; "stale" acknowledges
  // the write and keeps the old configuration.
  std::string badFlashWrite = "no";
};

struct SimHeadset {
  std::string name;
  uint16_t vendorId = 0xF3A1;
  uint16_t productId = 0x2000;
  bool hasSerial = true;
  std::string serial;
  bool hasProduct = true;
  std::string product = "Skybeacon HMD";
  int interfaces = 1;
  // How long each get or send feature report takes, as a USB control
  // transfer does (about 1 ms on a real headset); 0 answers at once.
  int64_t reportDelayUs = 0;
  SimFaults faults;
};

// $SBHEADSET_SIM_DIR, or empty when unset.
std::string SimDirectory();
bool IsValidHeadsetName(const std::string& name);
std::string HeadsetFilePath(const std::string& dir, const std::string& name);
std::string StreamFilePath(const std::string& dir, const std::string& name);

// Sets one field from its text form; `value` is the text after '='.
bool SetHeadsetField(SimHeadset* headset, const std::string& key, const std::string& value,
                     std::string* error);
// Every field (absent serial and product left out), in file order.
std::vector<std::pair<std::string, std::string>> HeadsetFields(const SimHeadset& headset);
// The faults that are switched on, as "key=value" words.
std::string DescribeFaults(const SimFaults& faults);

bool LoadHeadset(const std::string& dir, const std::string& name, SimHeadset* headset,
                 std::string* error);
bool SaveHeadset(const std::string& dir, const SimHeadset& headset, std::string* error);
// All headsets in name order; unreadable entries are skipped.
std::vector<SimHeadset> ListHeadsets(const std::string& dir);
bool RemoveHeadset(const std::string& dir, const std::string& name, std::string* error);

// False with *present = false when no stream is stored.
bool ReadStream(const std::string& dir, const std::string& name, std::string* bytes,
                bool* present);
// Replaces the stored stream in one step (write and rename).
bool WriteStream(const std::string& dir, const std::string& name, const std::string& bytes,
                 std::string* error);
bool EraseStream(const std::string& dir, const std::string& name, std::string* error);

// UTF-8 to one code point per wchar_t; invalid bytes become U+FFFD.
std::wstring Utf8ToWideString(const std::string& text);

}  // namespace headsetsim
