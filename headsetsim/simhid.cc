// A stand-in for the hidraw HID library that serves simulated headsets from
// $SBHEADSET_SIM_DIR. Built under the library's soname so that a program
// linked against the real one talks to simulated headsets when this
// library's directory comes first on LD_LIBRARY_PATH.
//
// Protocol served (report numbers in byte 0):
//   get 0x10  size of the stored stream, big-endian; 0xFFFF when none.
//             Starts a read from the beginning of the stream.
//   get 0x11  next chunk: length byte (0..62) then the bytes; 64 bytes in all.
//   send 0x10 announces the size of a new stream.
//   send 0x11 a chunk as above; the stream is stored once all announced
//             bytes have arrived.
//   get 0x00  an unnumbered 64-byte test pattern.
#include <hidapi/hidapi.h>

#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <wchar.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

#include "headsetsim/simstate.h"

using headsetsim::kAlways;
using headsetsim::SimHeadset;

struct hid_device_ {
  std::string dir;
  std::string path;
  int interfaceNumber = 0;
  SimHeadset headset;
  std::wstring lastError;
  hid_device_info* info = nullptr;
  int64_t getCalls = 0;
  int64_t sendCalls = 0;
  int64_t dataReports = 0;
  bool disconnected = false;
  // Read transfer.
  bool streamLoaded = false;
  std::string stream;
  size_t readOffset = 0;
  int64_t readChunks = 0;
  // Write transfer.
  bool writing = false;
  size_t writeSize = 0;
  std::string written;
};

namespace {

constexpr int kReportLength = 64;  // counting the report number
constexpr size_t kChunkBytes = 62;
constexpr int kShortReportLength = 32;
const char kPathPrefix[] = "sim:";

std::mutex g_mutex;
std::wstring g_lastError;
// Opens failed so far, per headset, in this process.
std::map<std::string, int64_t> g_failedOpens;

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Trace(const char* format, ...) {
  const char* path = getenv("SBHEADSET_SIM_TRACE");
  if (path == nullptr || *path == '\0')
    return;
  // Appended to only when it is this user's own plain file with no second
  // name: a link, or a file (or hard link) another user put at the name in
  // a shared directory, gets no trace; nor does a pipe without a reader.
  int fd =
      open(path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0)
    return;
  struct stat info;
  FILE* file = nullptr;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
      info.st_uid == geteuid())
    file = fdopen(fd, "a");
  if (file == nullptr) {
    close(fd);
    return;
  }
  va_list args;
  va_start(args, format);
  vfprintf(file, format, args);
  va_end(args);
  fputc('\n', file);
  fclose(file);
}

bool FaultHits(int64_t limit, int64_t calls) {
  return limit == kAlways || calls <= limit;
}

wchar_t* WideCopy(const std::wstring& text) {
  wchar_t* copy = static_cast<wchar_t*>(calloc(text.size() + 1, sizeof(wchar_t)));
  if (copy != nullptr)
    wmemcpy(copy, text.data(), text.size());
  return copy;
}

bool ReportedSerial(const SimHeadset& h, std::wstring* serial) {
  std::wstring text = h.hasSerial ? headsetsim::Utf8ToWideString(h.serial) : L"";
  if (h.faults.serialLanguageId)
    text.insert(text.begin(), static_cast<wchar_t>(0x0409));
  *serial = text;
  return h.hasSerial || h.faults.serialLanguageId;
}

std::string DevicePath(const std::string& name, int interfaceNumber) {
  return kPathPrefix + name + ":" + std::to_string(interfaceNumber);
}

bool ParsePath(const char* path, std::string* name, int* interfaceNumber) {
  if (path == nullptr || strncmp(path, kPathPrefix, strlen(kPathPrefix)) != 0)
    return false;
  std::string rest = path + strlen(kPathPrefix);
  size_t colon = rest.rfind(':');
  if (colon == std::string::npos || colon + 1 >= rest.size())
    return false;
  *name = rest.substr(0, colon);
  std::string number = rest.substr(colon + 1);
  if (number.size() > 2 || number.find_first_not_of("0123456789") != std::string::npos)
    return false;
  *interfaceNumber = atoi(number.c_str());
  return true;
}

hid_device_info* MakeInfo(const SimHeadset& h, int interfaceNumber) {
  hid_device_info* node = static_cast<hid_device_info*>(calloc(1, sizeof(hid_device_info)));
  if (node == nullptr)
    return nullptr;
  node->path = strdup(DevicePath(h.name, interfaceNumber).c_str());
  node->vendor_id = h.vendorId;
  node->product_id = h.productId;
  std::wstring serial;
  node->serial_number = ReportedSerial(h, &serial) ? WideCopy(serial) : nullptr;
  node->release_number = 0x0100;
  node->manufacturer_string = WideCopy(L"Simulated");
  node->product_string = h.hasProduct ? WideCopy(headsetsim::Utf8ToWideString(h.product)) : nullptr;
  node->usage_page = 0xFF00;
  node->usage = 1;
  node->interface_number = interfaceNumber;
  node->bus_type = HID_API_BUS_USB;
  return node;
}

void FreeInfo(hid_device_info* node) {
  free(node->path);
  free(node->serial_number);
  free(node->manufacturer_string);
  free(node->product_string);
  free(node);
}

int Fail(hid_device* dev, const wchar_t* text) {
  dev->lastError = text;
  return -1;
}

// Counts one data report; false once the headset has been unplugged.
bool CountDataReport(hid_device* dev) {
  ++dev->dataReports;
  int64_t limit = dev->headset.faults.disconnectAfter;
  if (limit > 0 && dev->dataReports > limit) {
    dev->disconnected = true;
    Trace("disconnect %s", dev->headset.name.c_str());
  }
  return !dev->disconnected;
}

void LoadStreamForRead(hid_device* dev) {
  bool present = false;
  std::string bytes;
  headsetsim::ReadStream(dev->dir, dev->headset.name, &bytes, &present);
  const headsetsim::SimFaults& f = dev->headset.faults;
  if (present && f.truncateStream >= 0 && static_cast<size_t>(f.truncateStream) < bytes.size())
    bytes.resize(static_cast<size_t>(f.truncateStream));
  if (present && f.corruptStream >= 0 && static_cast<size_t>(f.corruptStream) < bytes.size())
    bytes[static_cast<size_t>(f.corruptStream)] ^= 0xFF;
  dev->stream = present ? bytes : std::string();
  dev->streamLoaded = present;
  dev->readOffset = 0;
  dev->readChunks = 0;
}

// Holds the caller as long as a control transfer on the bus would. The end
// is absolute, so a sleep that a signal cuts short resumes to the same end.
// A transfer ends on an interrupt, not on a timer, so the sleep is made
// without the thread's timer slack (50 us by default), which would add to
// every report; the caller's slack is given back afterwards.
void TransferDelay(const hid_device* dev) {
  if (dev->headset.reportDelayUs <= 0)
    return;
  timespec until;
  clock_gettime(CLOCK_MONOTONIC, &until);
  int64_t ns = until.tv_nsec + dev->headset.reportDelayUs * 1000;
  until.tv_sec += ns / 1000000000;
  until.tv_nsec = ns % 1000000000;
  int slack = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
  prctl(PR_SET_TIMERSLACK, 1, 0, 0, 0);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
  if (slack > 0)
    prctl(PR_SET_TIMERSLACK, slack, 0, 0, 0);
}

int Answer(unsigned char* data, size_t length, const unsigned char* report, int reportLength) {
  size_t count = std::min(length, static_cast<size_t>(reportLength));
  memcpy(data, report, count);
  return static_cast<int>(count);
}

}  // namespace

extern "C" {

int hid_init(void) { return 0; }

int hid_exit(void) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_failedOpens.clear();
  return 0;
}

struct hid_device_info* hid_enumerate(unsigned short vendor_id,
                                                     unsigned short product_id) {
  std::string dir = headsetsim::SimDirectory();
  hid_device_info* first = nullptr;
  hid_device_info** tail = &first;
  int found = 0;
  if (!dir.empty()) {
    for (const SimHeadset& h : headsetsim::ListHeadsets(dir)) {
      if ((vendor_id != 0 && h.vendorId != vendor_id) ||
          (product_id != 0 && h.productId != product_id))
        continue;
      for (int i = 0; i < h.interfaces; ++i) {
        hid_device_info* node = MakeInfo(h, i);
        if (node == nullptr)
          continue;
        *tail = node;
        tail = &node->next;
        ++found;
      }
    }
  }
  Trace("enumerate vid=0x%04X pid=0x%04X found=%d", vendor_id, product_id, found);
  return first;
}

void hid_free_enumeration(struct hid_device_info* devs) {
  while (devs != nullptr) {
    hid_device_info* next = devs->next;
    FreeInfo(devs);
    devs = next;
  }
}

hid_device* hid_open_path(const char* path) {
  std::string name;
  int interfaceNumber = 0;
  std::string dir = headsetsim::SimDirectory();
  SimHeadset headset;
  std::string error;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (dir.empty() || !ParsePath(path, &name, &interfaceNumber) ||
      !headsetsim::LoadHeadset(dir, name, &headset, &error) ||
      interfaceNumber >= headset.interfaces) {
    g_lastError = L"Failed to open a device with path '" +
                  headsetsim::Utf8ToWideString(path != nullptr ? path : "") +
                  L"': No such file or directory";
    Trace("open %s fail", path != nullptr ? path : "(null)");
    return nullptr;
  }
  std::string key = dir + "/" + name;
  if (headset.faults.failOpen != 0 && FaultHits(headset.faults.failOpen, g_failedOpens[key] + 1)) {
    ++g_failedOpens[key];
    g_lastError = L"Failed to open a device with path '" + headsetsim::Utf8ToWideString(path) +
                  L"': Permission denied";
    Trace("open %s fail", path);
    return nullptr;
  }
  hid_device* dev = new hid_device;
  dev->dir = dir;
  dev->path = path;
  dev->interfaceNumber = interfaceNumber;
  dev->headset = headset;
  g_lastError.clear();
  Trace("open %s ok", path);
  return dev;
}

hid_device* hid_open(unsigned short vendor_id, unsigned short product_id,
                                    const wchar_t* serial_number) {
  hid_device_info* list = hid_enumerate(vendor_id, product_id);
  std::string path;
  for (hid_device_info* node = list; node != nullptr; node = node->next) {
    if (serial_number == nullptr ||
        (node->serial_number != nullptr && wcscmp(node->serial_number, serial_number) == 0)) {
      path = node->path;
      break;
    }
  }
  hid_free_enumeration(list);
  if (path.empty()) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lastError = L"No HID devices with requested VID/PID/serial_number found";
    return nullptr;
  }
  return hid_open_path(path.c_str());
}

void hid_close(hid_device* dev) {
  if (dev == nullptr)
    return;
  Trace("close %s", dev->path.c_str());
  if (dev->info != nullptr)
    FreeInfo(dev->info);
  delete dev;
}

int hid_get_feature_report(hid_device* dev, unsigned char* data, size_t length) {
  if (dev == nullptr || data == nullptr || length == 0)
    return -1;
  TransferDelay(dev);
  const unsigned char id = data[0];
  const headsetsim::SimFaults& f = dev->headset.faults;
  if (dev->disconnected) {
    Trace("get 0x%02X -> -1 disconnected", id);
    return Fail(dev, L"ioctl (GFEATURE): No such device");
  }
  ++dev->getCalls;
  if (f.getFail != 0 && FaultHits(f.getFail, dev->getCalls)) {
    Trace("get 0x%02X -> -1 fault", id);
    return Fail(dev, L"ioctl (GFEATURE): Broken pipe");
  }
  unsigned char report[kReportLength + 1] = {};
  int result = -1;
  if (id == 0x10) {
    LoadStreamForRead(dev);
    int64_t size = dev->streamLoaded ? static_cast<int64_t>(std::min<size_t>(dev->stream.size(), 0xFFFF))
                                     : 0xFFFF;
    if (f.announceSize >= 0)
      size = f.announceSize;
    report[0] = id;
    report[1] = static_cast<unsigned char>(size >> 8);
    report[2] = static_cast<unsigned char>(size & 0xFF);
    result = Answer(data, length, report, kReportLength);
  } else if (id == 0x11) {
    if (!CountDataReport(dev)) {
      Trace("get 0x11 -> -1 disconnected");
      return Fail(dev, L"ioctl (GFEATURE): No such device");
    }
    ++dev->readChunks;
    size_t n = std::min(kChunkBytes, dev->stream.size() - dev->readOffset);
    report[0] = id;
    report[1] = static_cast<unsigned char>(n);
    memcpy(report + 2, dev->stream.data() + dev->readOffset, n);
    dev->readOffset += n;
    if (f.badLength > 0 && dev->readChunks == f.badLength)
      report[1] = static_cast<unsigned char>(f.badLengthValue);
    int reportLength = kReportLength;
    if (f.shortReport > 0 && dev->readChunks == f.shortReport)
      reportLength = kShortReportLength;
    result = Answer(data, length, report, reportLength);
    Trace("get 0x11 -> %d n=%u", result, report[1]);
    return result;
  } else if (id == 0x00) {
    for (int i = 1; i <= kReportLength; ++i)
      report[i] = static_cast<unsigned char>(0xA0 + i);
    result = Answer(data, length, report, kReportLength + 1);
  } else {
    Trace("get 0x%02X -> -1 unknown", id);
    return Fail(dev, L"ioctl (GFEATURE): Invalid argument");
  }
  Trace("get 0x%02X -> %d", id, result);
  return result;
}

int hid_send_feature_report(hid_device* dev, const unsigned char* data,
                                           size_t length) {
  if (dev == nullptr || data == nullptr || length == 0)
    return -1;
  TransferDelay(dev);
  const unsigned char id = data[0];
  const headsetsim::SimFaults& f = dev->headset.faults;
  if (dev->disconnected) {
    Trace("send 0x%02X len=%zu -> -1 disconnected", id, length);
    return Fail(dev, L"ioctl (SFEATURE): No such device");
  }
  ++dev->sendCalls;
  if (f.sendFail != 0 && FaultHits(f.sendFail, dev->sendCalls)) {
    Trace("send 0x%02X len=%zu -> -1 fault", id, length);
    return Fail(dev, L"ioctl (SFEATURE): Broken pipe");
  }
  if (id == 0x10 && length >= 3) {
    dev->writing = true;
    dev->writeSize = (static_cast<size_t>(data[1]) << 8) | data[2];
    dev->written.clear();
    Trace("send 0x10 len=%zu size=%zu -> %zu", length, dev->writeSize, length);
  } else if (id == 0x11 && length >= 2) {
    if (!CountDataReport(dev)) {
      Trace("send 0x11 len=%zu -> -1 disconnected", length);
      return Fail(dev, L"ioctl (SFEATURE): No such device");
    }
    size_t n = data[1];
    if (!dev->writing || n > kChunkBytes || n + 2 > length) {
      Trace("send 0x11 len=%zu n=%zu -> -1 rejected", length, n);
      return Fail(dev, L"ioctl (SFEATURE): Invalid argument");
    }
    size_t take = std::min(n, dev->writeSize - dev->written.size());
    dev->written.append(reinterpret_cast<const char*>(data + 2), take);
    Trace("send 0x11 len=%zu n=%zu -> %zu", length, n, length);
  } else {
    Trace("send 0x%02X len=%zu -> -1 unknown", id, length);
    return Fail(dev, L"ioctl (SFEATURE): Invalid argument");
  }
  if (dev->writing && dev->written.size() == dev->writeSize) {
    std::string error;
    dev->writing = false;
    const std::string& flash = dev->headset.faults.badFlashWrite;
    if (flash == "stale") {
      Trace("store %s dropped (bad_flash_write)", dev->headset.name.c_str());
      return static_cast<int>(length);
    }
    if (flash == "flip" && !dev->written.empty()) dev->written[dev->written.size() / 2] ^= 0xFF;
    if (!headsetsim::WriteStream(dev->dir, dev->headset.name, dev->written, &error)) {
      Trace("store %s failed: %s", dev->headset.name.c_str(), error.c_str());
      return Fail(dev, L"ioctl (SFEATURE): Input/output error");
    }
    Trace("store %s bytes=%zu", dev->headset.name.c_str(), dev->written.size());
  }
  return static_cast<int>(length);
}

int hid_get_input_report(hid_device* dev, unsigned char*, size_t) {
  return dev == nullptr ? -1 : Fail(dev, L"ioctl (GINPUT): Invalid argument");
}

int hid_write(hid_device* dev, const unsigned char* data, size_t length) {
  if (dev == nullptr || data == nullptr)
    return -1;
  if (dev->disconnected)
    return Fail(dev, L"No such device");
  Trace("write len=%zu", length);
  return static_cast<int>(length);
}

// The simulated headsets send no input reports: every read times out.
int hid_read_timeout(hid_device* dev, unsigned char* data, size_t, int) {
  if (dev == nullptr || data == nullptr)
    return -1;
  if (dev->disconnected)
    return Fail(dev, L"No such device");
  return 0;
}

int hid_read(hid_device* dev, unsigned char* data, size_t length) {
  return hid_read_timeout(dev, data, length, 0);
}

int hid_set_nonblocking(hid_device* dev, int) { return dev == nullptr ? -1 : 0; }

static int CopyString(const std::wstring& text, wchar_t* string, size_t maxlen) {
  if (string == nullptr || maxlen == 0)
    return -1;
  size_t count = std::min(text.size(), maxlen - 1);
  wmemcpy(string, text.data(), count);
  string[count] = L'\0';
  return 0;
}

int hid_get_manufacturer_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  return dev == nullptr ? -1 : CopyString(L"Simulated", string, maxlen);
}

int hid_get_product_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  if (dev == nullptr)
    return -1;
  return CopyString(headsetsim::Utf8ToWideString(dev->headset.product), string, maxlen);
}

int hid_get_serial_number_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  if (dev == nullptr)
    return -1;
  std::wstring serial;
  ReportedSerial(dev->headset, &serial);
  return CopyString(serial, string, maxlen);
}

struct hid_device_info* hid_get_device_info(hid_device* dev) {
  if (dev == nullptr)
    return nullptr;
  if (dev->info == nullptr)
    dev->info = MakeInfo(dev->headset, dev->interfaceNumber);
  return dev->info;
}

int hid_get_indexed_string(hid_device* dev, int, wchar_t*, size_t) {
  return dev == nullptr ? -1 : Fail(dev, L"hid_get_indexed_string: not supported");
}

const wchar_t* hid_error(hid_device* dev) {
  if (dev != nullptr)
    return dev->lastError.empty() ? L"Success" : dev->lastError.c_str();
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_lastError.empty() ? L"Success" : g_lastError.c_str();
}

const struct hid_api_version* hid_version(void) {
  static const hid_api_version version = {HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR,
                                          HID_API_VERSION_PATCH};
  return &version;
}

// Says "headsetsim" so that a program can tell it is talking to simulations.
const char* hid_version_str(void) { return HID_API_VERSION_STR "-headsetsim"; }

}  // extern "C"
