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
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "vantagelib/debugprintf.h"

namespace simtest {

inline std::string& CapturedDebugOutput() {
  static std::string text;
  return text;
}

inline void CaptureDebugOutput(const char* text) { CapturedDebugOutput() += text; }

inline std::string Deflate(const std::string& text) {
  uLongf size = compressBound(text.size());
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(text.data()),
            text.size(), Z_DEFAULT_COMPRESSION);
  out.resize(size);
  return out;
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

inline size_t CountOccurrences(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++count;
  return count;
}

// A fresh simulation directory per test, a trace of every HID call, and the
// device library's diagnostics captured instead of logged.
class SimHeadsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (strstr(hid_version_str(), "headsetsim") == nullptr)
      GTEST_SKIP() << "needs the simulated HID library on LD_LIBRARY_PATH";
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/simhid-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    ASSERT_NE(mkdtemp(buffer.data()), nullptr);
    dir_ = buffer.data();
    setenv("SBHEADSET_SIM_DIR", dir_.c_str(), 1);
    setenv("SBHEADSET_SIM_TRACE", (dir_ + "/trace.log").c_str(), 1);
    CapturedDebugOutput().clear();
    vantage::RegisterDebugOutputFunction(CaptureDebugOutput);
  }

  void TearDown() override {
    if (dir_.empty())
      return;
    vantage::UnregisterDebugOutputFunction(CaptureDebugOutput);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
    unsetenv("SBHEADSET_SIM_DIR");
    unsetenv("SBHEADSET_SIM_TRACE");
  }

  // Writes NAME.headset: a supported headset by default, with `fields`
  // added or replaced ("-serial" leaves the serial out).
  void AddHeadset(const std::string& name, const std::map<std::string, std::string>& fields = {}) {
    std::map<std::string, std::string> all = {{"vendor_id", "0xF3A1"},
                                              {"product_id", "0x2000"},
                                              {"serial", name},
                                              {"product", "Test HMD"},
                                              {"interfaces", "1"}};
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

  void StoreStream(const std::string& name, const std::string& stream) {
    std::ofstream out(dir_ + "/" + name + ".zcfg", std::ios::binary);
    out << stream;
  }
  void StoreDocument(const std::string& name, const std::string& text) {
    StoreStream(name, Deflate(text));
  }
  bool HasStream(const std::string& name) const {
    return std::filesystem::exists(dir_ + "/" + name + ".zcfg");
  }
  std::string StoredStream(const std::string& name) const {
    return ReadFileBytes(dir_ + "/" + name + ".zcfg");
  }

  std::string Trace() const { return ReadFileBytes(dir_ + "/trace.log"); }
  size_t TraceCount(const std::string& what) const { return CountOccurrences(Trace(), what); }
  void ClearTrace() const { std::filesystem::remove(dir_ + "/trace.log"); }
  std::string Messages() const { return CapturedDebugOutput(); }

  std::string dir_;
};

}  // namespace simtest
