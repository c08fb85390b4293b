// Test support for suites that talk to simulated headsets. Their names start
// with "Sim": CTest runs them with the simulated HID library first on the
// library path; against the real library they are skipped.
#pragma once

#include <gtest/gtest.h>
#include <hidapi/hidapi.h>
#include <stdlib.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "vantagelib/debugprintf.h"
#include "vantagelib/hiddevice.h"
#include "vantagelib/hiddevicetable.h"

namespace simtest {

using Fields = std::map<std::string, std::string>;

inline std::string& CapturedDebugOutput() {
  static std::string text;
  return text;
}
inline void CaptureDebugOutput(const char* text) { CapturedDebugOutput() += text; }

inline std::string Deflate(const std::string& text) {
  uLongf size = compressBound(text.size());
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(text.data()), text.size(),
            Z_DEFAULT_COMPRESSION);
  out.resize(size);
  return out;
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh simulation directory per test (and per table row, through
// NewSimDir), a trace of every HID call, and the device library's
// diagnostics captured instead of logged.
class SimHeadsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (strstr(hid_version_str(), "headsetsim") == nullptr)
      GTEST_SKIP() << "needs the simulated HID library on LD_LIBRARY_PATH";
    vantage::RegisterDebugOutputFunction(CaptureDebugOutput);
    NewSimDir();
  }
  void TearDown() override {
    vantage::UnregisterDebugOutputFunction(CaptureDebugOutput);
    RemoveSimDir();
  }

  // No headsets, and nothing that the simulation counted for earlier ones.
  void NewSimDir() {
    RemoveSimDir();
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/simhid-XXXXXX";
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    dir_ = pattern;
    setenv("SBHEADSET_SIM_DIR", dir_.c_str(), 1);
    setenv("SBHEADSET_SIM_TRACE", (dir_ + "/trace.log").c_str(), 1);
    ClearMessages();
  }
  void RemoveSimDir() {
    std::error_code ignored;
    if (!dir_.empty())
      std::filesystem::remove_all(dir_, ignored);
    unsetenv("SBHEADSET_SIM_DIR");
    unsetenv("SBHEADSET_SIM_TRACE");
  }

  // Writes NAME.headset: a supported headset by default, with `fields`
  // added or replaced ("-serial" leaves the serial out).
  void AddHeadset(const std::string& name, const Fields& fields = {}) {
    Fields all = {{"vendor_id", "0xF3A1"}, {"product_id", "0x2000"}, {"serial", name},
                  {"product", "Test HMD"}, {"interfaces", "1"}};
    for (const auto& field : fields) {
      if (field.first[0] == '-')
        all.erase(field.first.substr(1));
      else
        all[field.first] = field.second;
    }
    std::ofstream out(dir_ + "/" + name + ".headset");
    for (const auto& field : all)
      out << field.first << "=" << field.second << "\n";
  }

  // Adds headset "h" with serial SN1 and `fields`, opens it through the
  // table, and starts the trace afresh.
  void OpenHeadset(vantage::CHidDevice* device, const Fields& fields = {}) {
    Fields all = fields;
    all.emplace("serial", "SN1");
    AddHeadset("h", all);
    vantage::RefreshAttachedHidDevices(false);
    device->SetTarget(0xF3A1, 0x2000, all["serial"].c_str(), 1);
    ASSERT_TRUE(device->Open(true));
    ClearTrace();
  }

  void StoreStream(const std::string& name, const std::string& stream) {
    std::ofstream(dir_ + "/" + name + ".zcfg", std::ios::binary) << stream;
  }
  std::string StoredStream(const std::string& name) const { return ReadFileBytes(dir_ + "/" + name + ".zcfg"); }
  size_t TraceCount(const std::string& what) const {
    const std::string trace = ReadFileBytes(dir_ + "/trace.log");
    size_t count = 0;
    for (size_t at = trace.find(what); at != std::string::npos; at = trace.find(what, at + 1))
      ++count;
    return count;
  }
  void ClearTrace() const { std::filesystem::remove(dir_ + "/trace.log"); }
  std::string Messages() const { return CapturedDebugOutput(); }
  void ClearMessages() const { CapturedDebugOutput().clear(); }

  std::string dir_;
};

}  // namespace simtest
