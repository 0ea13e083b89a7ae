// An Env over the real file system that fails chosen calls on demand, the
// way a full disk or a refused rename would.
#pragma once

#include <chrono>

#include "core/env.h"
#include "core/errors.h"

namespace px::test {

class FaultEnv final : public Env {
 public:
  // A write that fails after putting this many bytes into the file (a full
  // disk); negative: writes succeed.
  long failWriteAfter = -1;
  bool failRename = false;
  bool failRead = false;
  bool failAppend = false;
  int writes = 0;
  std::chrono::system_clock::time_point now = std::chrono::system_clock::now();

  bool Exists(const std::string& path) override { return Real().Exists(path); }
  std::string ReadFile(const std::string& path) override {
    if (failRead) throw Error("Ошибка ввода-вывода");
    return Real().ReadFile(path);
  }
  void WriteFile(const std::string& path, std::string_view data) override {
    ++writes;
    if (failWriteAfter >= 0) {
      Real().WriteFile(path, data.substr(0, std::min<size_t>(data.size(), static_cast<size_t>(failWriteAfter))));
      throw Error("Недостаточно места на диске");
    }
    Real().WriteFile(path, data);
  }
  void AppendFile(const std::string& path, std::string_view data) override {
    if (failAppend) throw Error("Недостаточно места на диске");
    Real().AppendFile(path, data);
  }
  void Rename(const std::string& from, const std::string& to) override {
    if (failRename) throw Error("Отказано в доступе");
    Real().Rename(from, to);
  }
  void Remove(const std::string& path) override { Real().Remove(path); }
  void MakeDirs(const std::string& path) override { Real().MakeDirs(path); }
  std::vector<std::string> ListDir(const std::string& dir) override { return Real().ListDir(dir); }
  std::chrono::system_clock::time_point Now() override { return now; }
};

}  // namespace px::test
