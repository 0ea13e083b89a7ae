// What every fuzz target shares: an Env that keeps its files in memory (so
// an input becomes a file without touching the disk), a host that answers
// every question with "no", and a real scratch folder for the readers that
// open files themselves.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"

namespace px::fuzz {

class MemEnv final : public Env {
 public:
  std::map<std::string, std::string> files;

  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  std::string ReadFile(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) throw Error("Файл или каталог не найден: " + path);
    return it->second;
  }
  void WriteFile(const std::string& path, std::string_view data) override { files[path] = std::string(data); }
  void AppendFile(const std::string& path, std::string_view data) override { files[path] += data; }
  void Rename(const std::string& from, const std::string& to) override {
    auto it = files.find(from);
    if (it == files.end()) throw Error("Файл или каталог не найден: " + from);
    files[to] = std::move(it->second);
    files.erase(from);
  }
  void Remove(const std::string& path) override { files.erase(path); }
  void MakeDirs(const std::string&) override {}
  std::vector<std::string> ListDir(const std::string& dir) override {
    std::vector<std::string> out;
    const std::string prefix = dir + "/";
    for (const auto& [path, data] : files)
      if (path.rfind(prefix, 0) == 0 && path.find('/', prefix.size()) == std::string::npos)
        out.push_back(path.substr(prefix.size()));
    return out;
  }
  std::chrono::system_clock::time_point Now() override {
    return std::chrono::system_clock::time_point(std::chrono::seconds(1717200000));
  }
};

class QuietHost final : public Host {
 public:
  void SetStatusText(const std::string&) override {}
  void ShowError(const std::string&) override {}
  void ShowInfo(const std::string&) override {}
  void ShowWarning(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
};

// A folder of its own under $TMPDIR (or /tmp), removed at exit; one per process.
inline const std::string& ScratchDir() {
  static const std::string dir = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/pentalux-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    static const std::string keep = pattern;
    std::atexit([] { std::system(("rm -rf '" + keep + "'").c_str()); });
    return pattern;
  }();
  return dir;
}

// Error is how a reader reports a bad file; anything else escaping is a finding.
template <class F>
void Try(F&& f) {
  try {
    f();
  } catch (const Error&) {
  }
}

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace px::fuzz
