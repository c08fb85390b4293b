#include "vantagelib/hidaccess.h"

#include <hidapi/hidapi.h>

#include "corelib/src/strtools_public.h"
#include "vantagelib/debugprintf.h"
#include "vantagelib/hiddevicetable.h"

namespace vantage {

const char kHeadsetUdevRuleName[] = "70-sbconfigtool.rules";

bool IsPermissionDeniedText(const std::wstring& hidError) {
  // strerror texts of EACCES and EPERM; the tool runs in the C locale.
  return hidError.find(L"Permission denied") != std::wstring::npos ||
         hidError.find(L"Operation not permitted") != std::wstring::npos;
}

bool ReportOpenPermissionProblem(uint32_t productId, const std::string& serial) {
  // The library's own record of the failed open, reset by every open.
  const wchar_t* error = hid_error(nullptr);
  if (error == nullptr || !IsPermissionDeniedText(error))
    return false;
  DebugPrintf("No permission to open skybeacon device VID %04x, PID %04x %s: %s. "
              "Install the udev rule %s (it grants the logged-in user access), "
              "then reconnect the device.\n",
              kVendorIdHeadset, productId, serial.c_str(), corelib::WideToUtf8(error).c_str(),
              kHeadsetUdevRuleName);
  return true;
}

}  // namespace vantage
