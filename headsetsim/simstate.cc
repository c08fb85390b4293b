#include "headsetsim/simstate.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>

namespace headsetsim {

namespace {

const char kHeadsetSuffix[] = ".headset";
const char kStreamSuffix[] = ".zcfg";

bool ParseNumber(const std::string& text, int64_t min, int64_t max, int64_t* out) {
  if (text.empty())
    return false;
  errno = 0;
  char* end = nullptr;
  long long value = strtoll(text.c_str(), &end, 0);
  if (errno != 0 || end == text.c_str() || *end != '\0' || value < min || value > max)
    return false;
  *out = value;
  return true;
}

bool ParseCount(const std::string& text, int64_t* out) {
  if (text == "all") {
    *out = kAlways;
    return true;
  }
  return ParseNumber(text, 0, INT32_MAX, out);
}

bool ParseFlag(const std::string& text, bool* out) {
  if (text == "1" || text == "yes" || text == "true") {
    *out = true;
    return true;
  }
  if (text == "0" || text == "no" || text == "false") {
    *out = false;
    return true;
  }
  return false;
}

std::string CountText(int64_t count) {
  return count == kAlways ? "all" : std::to_string(count);
}

std::string HexText(unsigned value) {
  char text[16];
  snprintf(text, sizeof(text), "0x%04X", value);
  return text;
}

// Plain system calls rather than streams: the simulated library reads these
// files on every enumeration, open and read, and should cost about what
// the kernel's HID calls cost. As with a stream, a file that opens reads as
// whatever it yields.
bool ReadFile(const std::string& path, std::string* bytes) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  bytes->clear();
  char block[16384];
  for (;;) {
    ssize_t n = read(fd, block, sizeof(block));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    bytes->append(block, static_cast<size_t>(n));
  }
  close(fd);
  return true;
}

// Replaces `path` in one step, so a reader never sees half a file. The
// staging file is made afresh (a stale one from a crashed run of the same
// process id removed first): a link or file planted at its name is never
// written through, and rename replaces a link at `path` without following it.
bool ReplaceFile(const std::string& path, const std::string& bytes, std::string* error) {
  std::string staging = path + ".tmp" + std::to_string(getpid());
  unlink(staging.c_str());
  int fd = open(staging.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  bool written = fd >= 0;
  for (size_t done = 0; written && done < bytes.size();) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    written = n > 0;
    if (written)
      done += static_cast<size_t>(n);
  }
  if (fd >= 0 && close(fd) != 0)
    written = false;
  if (!written) {
    *error = "cannot write " + staging;
    if (fd >= 0)
      unlink(staging.c_str());
    return false;
  }
  if (rename(staging.c_str(), path.c_str()) != 0) {
    *error = "cannot replace " + path + ": " + strerror(errno);
    unlink(staging.c_str());
    return false;
  }
  return true;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string SimDirectory() {
  const char* dir = getenv("SBHEADSET_SIM_DIR");
  return dir != nullptr ? dir : "";
}

bool IsValidHeadsetName(const std::string& name) {
  if (name.empty() || name.size() > 64 || name[0] == '.')
    return false;
  for (char c : name) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '-' || c == '_' || c == '.';
    if (!ok)
      return false;
  }
  return true;
}

std::string HeadsetFilePath(const std::string& dir, const std::string& name) {
  return dir + "/" + name + kHeadsetSuffix;
}

std::string StreamFilePath(const std::string& dir, const std::string& name) {
  return dir + "/" + name + kStreamSuffix;
}

bool SetHeadsetField(SimHeadset* headset, const std::string& key, const std::string& value,
                     std::string* error) {
  int64_t number = 0;
  bool ok = true;
  SimFaults& f = headset->faults;
  if (key == "vendor_id" || key == "product_id") {
    ok = ParseNumber(value, 0, 0xFFFF, &number);
    if (ok)
      (key == "vendor_id" ? headset->vendorId : headset->productId) =
          static_cast<uint16_t>(number);
  } else if (key == "serial") {
    ok = value.find('\n') == std::string::npos;
    headset->hasSerial = true;
    headset->serial = value;
  } else if (key == "product") {
    ok = value.find('\n') == std::string::npos;
    headset->hasProduct = true;
    headset->product = value;
  } else if (key == "interfaces") {
    ok = ParseNumber(value, 1, 16, &number);
    if (ok)
      headset->interfaces = static_cast<int>(number);
  } else if (key == "report_delay_us") {
    ok = ParseNumber(value, 0, 1000000, &headset->reportDelayUs);
  } else if (key == "fail_open") {
    ok = ParseCount(value, &f.failOpen);
  } else if (key == "get_fail") {
    ok = ParseCount(value, &f.getFail);
  } else if (key == "send_fail") {
    ok = ParseCount(value, &f.sendFail);
  } else if (key == "short_report") {
    ok = ParseNumber(value, 0, INT32_MAX, &f.shortReport);
  } else if (key == "bad_length") {
    ok = ParseNumber(value, 0, INT32_MAX, &f.badLength);
  } else if (key == "bad_length_value") {
    ok = ParseNumber(value, 0, 255, &f.badLengthValue);
  } else if (key == "announce_size") {
    ok = ParseNumber(value, -1, 0xFFFF, &f.announceSize);
  } else if (key == "truncate_stream") {
    ok = ParseNumber(value, -1, 0xFFFF, &f.truncateStream);
  } else if (key == "corrupt_stream") {
    ok = ParseNumber(value, -1, 0xFFFF, &f.corruptStream);
  } else if (key == "disconnect_after") {
    ok = ParseNumber(value, 0, INT32_MAX, &f.disconnectAfter);
  } else if (key == "serial_language_id") {
    ok = ParseFlag(value, &f.serialLanguageId);
  } else if (key == "bad_flash_write") {
    ok = value == "no" || value == "flip" || value == "stale";
    if (ok) f.badFlashWrite = value;
  } else {
    *error = "unknown key '" + key + "'";
    return false;
  }
  if (!ok)
    *error = "bad value '" + value + "' for " + key;
  return ok;
}

std::vector<std::pair<std::string, std::string>> HeadsetFields(const SimHeadset& h) {
  std::vector<std::pair<std::string, std::string>> fields;
  fields.emplace_back("vendor_id", HexText(h.vendorId));
  fields.emplace_back("product_id", HexText(h.productId));
  if (h.hasSerial)
    fields.emplace_back("serial", h.serial);
  if (h.hasProduct)
    fields.emplace_back("product", h.product);
  fields.emplace_back("interfaces", std::to_string(h.interfaces));
  fields.emplace_back("report_delay_us", std::to_string(h.reportDelayUs));
  const SimFaults& f = h.faults;
  fields.emplace_back("fail_open", CountText(f.failOpen));
  fields.emplace_back("get_fail", CountText(f.getFail));
  fields.emplace_back("send_fail", CountText(f.sendFail));
  fields.emplace_back("short_report", std::to_string(f.shortReport));
  fields.emplace_back("bad_length", std::to_string(f.badLength));
  fields.emplace_back("bad_length_value", std::to_string(f.badLengthValue));
  fields.emplace_back("announce_size", std::to_string(f.announceSize));
  fields.emplace_back("truncate_stream", std::to_string(f.truncateStream));
  fields.emplace_back("corrupt_stream", std::to_string(f.corruptStream));
  fields.emplace_back("disconnect_after", std::to_string(f.disconnectAfter));
  fields.emplace_back("serial_language_id", f.serialLanguageId ? "yes" : "no");
  fields.emplace_back("bad_flash_write", f.badFlashWrite);
  return fields;
}

std::string DescribeFaults(const SimFaults& faults) {
  SimHeadset plain;
  SimHeadset withFaults;
  withFaults.faults = faults;
  std::vector<std::pair<std::string, std::string>> defaults = HeadsetFields(plain);
  std::vector<std::pair<std::string, std::string>> fields = HeadsetFields(withFaults);
  std::string text;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].second == defaults[i].second)
      continue;
    if (!text.empty())
      text += ' ';
    text += fields[i].first + "=" + fields[i].second;
  }
  return text;
}

bool LoadHeadset(const std::string& dir, const std::string& name, SimHeadset* headset,
                 std::string* error) {
  if (!IsValidHeadsetName(name)) {
    *error = "invalid headset name '" + name + "'";
    return false;
  }
  std::string text;
  if (!ReadFile(HeadsetFilePath(dir, name), &text)) {
    *error = "no headset named '" + name + "'";
    return false;
  }
  SimHeadset h;
  h.name = name;
  h.hasSerial = false;
  h.hasProduct = false;
  int number = 0;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos)
      end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    if (line.empty() || line[0] == '#')
      continue;
    size_t eq = line.find('=');
    std::string fieldError;
    if (eq == std::string::npos ||
        !SetHeadsetField(&h, line.substr(0, eq), line.substr(eq + 1), &fieldError)) {
      *error = HeadsetFilePath(dir, name) + ":" + std::to_string(number) + ": " +
               (fieldError.empty() ? "expected key=value" : fieldError);
      return false;
    }
  }
  *headset = h;
  return true;
}

bool SaveHeadset(const std::string& dir, const SimHeadset& headset, std::string* error) {
  if (!IsValidHeadsetName(headset.name)) {
    *error = "invalid headset name '" + headset.name + "'";
    return false;
  }
  std::string text = "# simulated headset\n";
  for (const auto& field : HeadsetFields(headset))
    text += field.first + "=" + field.second + "\n";
  return ReplaceFile(HeadsetFilePath(dir, headset.name), text, error);
}

std::vector<SimHeadset> ListHeadsets(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* entry = readdir(d)) {
      std::string file = entry->d_name;
      if (EndsWith(file, kHeadsetSuffix))
        names.push_back(file.substr(0, file.size() - strlen(kHeadsetSuffix)));
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  std::vector<SimHeadset> headsets;
  for (const std::string& name : names) {
    SimHeadset h;
    std::string error;
    if (LoadHeadset(dir, name, &h, &error))
      headsets.push_back(h);
  }
  return headsets;
}

bool RemoveHeadset(const std::string& dir, const std::string& name, std::string* error) {
  if (!IsValidHeadsetName(name) || unlink(HeadsetFilePath(dir, name).c_str()) != 0) {
    *error = "no headset named '" + name + "'";
    return false;
  }
  unlink(StreamFilePath(dir, name).c_str());
  return true;
}

bool ReadStream(const std::string& dir, const std::string& name, std::string* bytes,
                bool* present) {
  const std::string path = StreamFilePath(dir, name);
  if (ReadFile(path, bytes)) {
    *present = true;
    return true;
  }
  // A stream that is there but cannot be read is present all the same.
  *present = access(path.c_str(), F_OK) == 0;
  return false;
}

bool WriteStream(const std::string& dir, const std::string& name, const std::string& bytes,
                 std::string* error) {
  return ReplaceFile(StreamFilePath(dir, name), bytes, error);
}

bool EraseStream(const std::string& dir, const std::string& name, std::string* error) {
  if (unlink(StreamFilePath(dir, name).c_str()) != 0 && errno != ENOENT) {
    *error = "cannot remove " + StreamFilePath(dir, name) + ": " + strerror(errno);
    return false;
  }
  return true;
}

std::wstring Utf8ToWideString(const std::string& text) {
  std::wstring out;
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
    uint32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    bool ok = extra >= 0 && i + extra < text.size();
    for (int k = 1; ok && k <= extra; ++k) {
      unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80)
        ok = false;
      else
        cp = (cp << 6) | (next & 0x3F);
    }
    if (!ok) {
      out += static_cast<wchar_t>(0xFFFD);
      ++i;
      continue;
    }
    out += static_cast<wchar_t>(cp);
    i += 1 + extra;
  }
  return out;
}

}  // namespace headsetsim
