// The HID library (hidapi, hidraw back end) is loaded on the first call into
// it instead of at startup: most runs never touch a headset, and loading the
// library and libudev behind it cost each of them 8 % of its startup and
// 0.1 MB. Every function of the library's interface is defined here and
// forwards to the library, found under its soname by the loader's usual
// search, so that LD_LIBRARY_PATH and an LD_PRELOAD of a stand-in (the
// simulated headset's) work as they did. The definitions are weak: a test
// double linked into a program takes their place.
#include <dlfcn.h>
#include <hidapi/hidapi.h>

namespace {

const char kLibrary[] = "libhidapi-hidraw.so.0";

bool g_attempted = false;

void* Library() {
  // A function-local static: loaded once, even with several threads.
  static void* const handle = [] {
    g_attempted = true;
    return dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
  }();
  return handle;
}

// The library's own definition of `name`, or null when the library (or the
// function, in an older one) is missing.
template <typename Function>
Function* Find(const char* name) {
  void* library = Library();
  return library == nullptr ? nullptr : reinterpret_cast<Function*>(dlsym(library, name));
}

}  // namespace

// Each function resolves its target once; a missing one fails as the
// library fails when there is no device: -1, a null device or list.
#define SB_HID_TARGET(name) static decltype(&name) const target = Find<decltype(name)>(#name)

extern "C" {

__attribute__((weak)) int hid_init(void) {
  SB_HID_TARGET(hid_init);
  return target != nullptr ? target() : -1;
}

__attribute__((weak)) int hid_exit(void) {
  // Nothing to finish in a library never loaded; not loaded for this.
  if (!g_attempted) return 0;
  SB_HID_TARGET(hid_exit);
  return target != nullptr ? target() : 0;
}

__attribute__((weak)) hid_device_info* hid_enumerate(unsigned short vendor_id, unsigned short product_id) {
  SB_HID_TARGET(hid_enumerate);
  return target != nullptr ? target(vendor_id, product_id) : nullptr;
}

__attribute__((weak)) void hid_free_enumeration(hid_device_info* devs) {
  if (devs == nullptr) return;
  SB_HID_TARGET(hid_free_enumeration);
  if (target != nullptr) target(devs);
}

__attribute__((weak)) hid_device* hid_open(unsigned short vendor_id, unsigned short product_id,
                                           const wchar_t* serial_number) {
  SB_HID_TARGET(hid_open);
  return target != nullptr ? target(vendor_id, product_id, serial_number) : nullptr;
}

__attribute__((weak)) hid_device* hid_open_path(const char* path) {
  SB_HID_TARGET(hid_open_path);
  return target != nullptr ? target(path) : nullptr;
}

__attribute__((weak)) int hid_write(hid_device* dev, const unsigned char* data, size_t length) {
  SB_HID_TARGET(hid_write);
  return target != nullptr ? target(dev, data, length) : -1;
}

__attribute__((weak)) int hid_read_timeout(hid_device* dev, unsigned char* data, size_t length, int milliseconds) {
  SB_HID_TARGET(hid_read_timeout);
  return target != nullptr ? target(dev, data, length, milliseconds) : -1;
}

__attribute__((weak)) int hid_read(hid_device* dev, unsigned char* data, size_t length) {
  SB_HID_TARGET(hid_read);
  return target != nullptr ? target(dev, data, length) : -1;
}

__attribute__((weak)) int hid_set_nonblocking(hid_device* dev, int nonblock) {
  SB_HID_TARGET(hid_set_nonblocking);
  return target != nullptr ? target(dev, nonblock) : -1;
}

__attribute__((weak)) int hid_send_feature_report(hid_device* dev, const unsigned char* data, size_t length) {
  SB_HID_TARGET(hid_send_feature_report);
  return target != nullptr ? target(dev, data, length) : -1;
}

__attribute__((weak)) int hid_get_feature_report(hid_device* dev, unsigned char* data, size_t length) {
  SB_HID_TARGET(hid_get_feature_report);
  return target != nullptr ? target(dev, data, length) : -1;
}

__attribute__((weak)) int hid_get_input_report(hid_device* dev, unsigned char* data, size_t length) {
  SB_HID_TARGET(hid_get_input_report);
  return target != nullptr ? target(dev, data, length) : -1;
}

__attribute__((weak)) void hid_close(hid_device* dev) {
  if (dev == nullptr) return;
  SB_HID_TARGET(hid_close);
  if (target != nullptr) target(dev);
}

__attribute__((weak)) int hid_get_manufacturer_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  SB_HID_TARGET(hid_get_manufacturer_string);
  return target != nullptr ? target(dev, string, maxlen) : -1;
}

__attribute__((weak)) int hid_get_product_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  SB_HID_TARGET(hid_get_product_string);
  return target != nullptr ? target(dev, string, maxlen) : -1;
}

__attribute__((weak)) int hid_get_serial_number_string(hid_device* dev, wchar_t* string, size_t maxlen) {
  SB_HID_TARGET(hid_get_serial_number_string);
  return target != nullptr ? target(dev, string, maxlen) : -1;
}

__attribute__((weak)) hid_device_info* hid_get_device_info(hid_device* dev) {
  SB_HID_TARGET(hid_get_device_info);
  return target != nullptr ? target(dev) : nullptr;
}

__attribute__((weak)) int hid_get_indexed_string(hid_device* dev, int string_index, wchar_t* string, size_t maxlen) {
  SB_HID_TARGET(hid_get_indexed_string);
  return target != nullptr ? target(dev, string_index, string, maxlen) : -1;
}

__attribute__((weak)) const wchar_t* hid_error(hid_device* dev) {
  SB_HID_TARGET(hid_error);
  return target != nullptr ? target(dev) : L"the HID library libhidapi-hidraw.so.0 could not be loaded";
}

__attribute__((weak)) const hid_api_version* hid_version(void) {
  SB_HID_TARGET(hid_version);
  return target != nullptr ? target() : nullptr;
}

__attribute__((weak)) const char* hid_version_str(void) {
  SB_HID_TARGET(hid_version_str);
  return target != nullptr ? target() : "";
}

}  // extern "C"
