// An Env over the real file system that fails chosen calls on demand, the
// way a full disk or a refused rename would.
#pragma once

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "core/env.h"
#include "core/errors.h"

namespace px::test {

class FaultEnv final : public Env {
 public:
  // Every write fails after putting at most this many bytes into the file
  // (a short write); negative: writes succeed.
  long failWriteAfter = -1;
  // Bytes left on the disk for all writes together; negative: no limit.
  long diskFree = -1;
  bool failOpen = false;   // opening a file for writing
  bool failFlush = false;  // the data reaching the disk, and the close
  bool failRename = false;
  bool failRead = false;
  bool failAppend = false;
  bool failTimes = false;  // setting a file's time
  // The faults above hit only this file and its temporary files when it is
  // a path ("/..."), only paths containing it otherwise, all when empty.
  std::string only;
  int writes = 0;
  // The files written without waiting for the disk, and those then synced.
  std::vector<std::string> lazyWrites, syncs;
  std::chrono::system_clock::time_point now = std::chrono::system_clock::now();

  bool Exists(const std::string& path) override { return Real().Exists(path); }
  std::string ReadFile(const std::string& path) override {
    if (failRead && Hits(path)) throw Error("Ошибка ввода-вывода");
    return Real().ReadFile(path);
  }
  void WriteFile(const std::string& path, std::string_view data) override {
    ++writes;
    if (!Hits(path)) return Real().WriteFile(path, data);
    if (failOpen) throw Error("Отказано в доступе");
    const size_t fits = Fits(data.size());
    if (Fails(fits, data.size())) {
      Real().WriteFile(path, data.substr(0, fits));
      throw Error("Недостаточно места на диске");
    }
    Real().WriteFile(path, data);
    if (failFlush) throw Error("Ошибка ввода-вывода");
  }
  void WriteFileLazily(const std::string& path, std::string_view data) override {
    lazyWrites.push_back(path);
    WriteFile(path, data);
  }
  void SyncFile(const std::string& path) override {
    syncs.push_back(path);
    if (failFlush && Hits(path)) throw Error("Ошибка ввода-вывода");
    Real().SyncFile(path);
  }
  std::unique_ptr<File> OpenFile(const std::string& path, FileMode mode) override {
    if (!Hits(path)) return Real().OpenFile(path, mode);
    if (failOpen) throw Error("Отказано в доступе");
    return std::make_unique<FaultFile>(*this, Real().OpenFile(path, mode));
  }
  void Rename(const std::string& from, const std::string& to) override {
    if (failRename && (Hits(from) || Hits(to))) throw Error("Отказано в доступе");
    Real().Rename(from, to);
  }
  void Remove(const std::string& path) override { Real().Remove(path); }
  void MakeDirs(const std::string& path) override { Real().MakeDirs(path); }
  std::vector<std::string> ListDir(const std::string& dir) override { return Real().ListDir(dir); }
  std::chrono::system_clock::time_point Now() override { return now; }
  void SetFileTime(const std::string& path, std::chrono::system_clock::time_point when) override {
    if (failTimes && Hits(path)) throw Error("Отказано в доступе");
    Real().SetFileTime(path, when);
  }

 private:
  bool Hits(const std::string& path) const {
    if (only.empty()) return true;
    if (only[0] != '/') return path.find(only) != std::string::npos;
    if (path == only) return true;
    // "<only>.<pid>-<n>.tmp", as UniqueTempPath names it.
    if (path.size() <= only.size() + 5 || path.compare(0, only.size() + 1, only + ".") != 0) return false;
    if (path.compare(path.size() - 4, 4, ".tmp") != 0) return false;
    const std::string middle = path.substr(only.size() + 1, path.size() - only.size() - 5);
    return !middle.empty() && middle.find_first_not_of("0123456789-") == std::string::npos;
  }

  bool Fails(size_t fits, size_t size) const { return failWriteAfter >= 0 || fits < size; }

  // How much of a write of size bytes gets onto the disk; takes it from the
  // free space.
  size_t Fits(size_t size) {
    size_t fits = size;
    if (failWriteAfter >= 0) fits = std::min(fits, static_cast<size_t>(failWriteAfter));
    if (diskFree >= 0) {
      fits = std::min(fits, static_cast<size_t>(diskFree));
      diskFree -= static_cast<long>(fits);
    }
    return fits;
  }

  class FaultFile final : public File {
   public:
    FaultFile(FaultEnv& env, std::unique_ptr<File> real) : env_(env), real_(std::move(real)) {}
    int64_t Size() override { return real_->Size(); }
    int64_t ModifiedNs() override { return real_->ModifiedNs(); }
    void ReadAt(int64_t position, char* out, size_t size) override {
      if (env_.failRead) throw Error("Ошибка ввода-вывода");
      real_->ReadAt(position, out, size);
    }
    void WriteAt(int64_t position, std::string_view data) override {
      ++env_.writes;
      // Bytes over the old ones take no new room.
      const size_t over = size_t(std::clamp<int64_t>(real_->Size() - position, 0, int64_t(data.size())));
      const size_t fits = over + env_.Fits(data.size() - over);
      real_->WriteAt(position, data.substr(0, fits));
      if (env_.Fails(fits, data.size())) throw Error("Недостаточно места на диске");
    }
    void Append(std::string_view data) override {
      ++env_.writes;
      if (env_.failAppend) throw Error("Недостаточно места на диске");
      const size_t fits = env_.Fits(data.size());
      if (env_.Fails(fits, data.size())) {
        // As the real file does: what got in is taken back.
        const int64_t size = real_->Size();
        real_->Append(data.substr(0, fits));
        real_->Truncate(size);
        throw Error("Недостаточно места на диске");
      }
      real_->Append(data);
    }
    void Truncate(int64_t size) override { real_->Truncate(size); }
    void Flush() override {
      if (env_.failFlush) throw Error("Ошибка ввода-вывода");
      real_->Flush();
    }
    void Close() override {
      if (env_.failFlush) {
        real_->Close();
        throw Error("Ошибка ввода-вывода");
      }
      real_->Close();
    }

   private:
    FaultEnv& env_;
    std::unique_ptr<File> real_;
  };
};

}  // namespace px::test
