// What every fuzz target shares: an Env that keeps its files in memory (so
// an input becomes a file without touching the disk, open files included), a
// host that answers every question with "no", and a real scratch folder for
// the seed writer.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"

namespace px::fuzz {

// Open files behave as descriptors do: they follow a rename, keep the old
// contents when their path is replaced or removed, and a Locked open is
// refused while another Locked handle holds the path. Change `files`
// directly only while no file is open.
class MemEnv final : public Env {
 public:
  std::map<std::string, std::string> files;

  MemEnv() = default;
  ~MemEnv() override {
    // A handle outliving its Env would read freed memory.
    if (!open_.empty()) std::abort();
  }

  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  std::string ReadFile(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) throw Error("Файл или каталог не найден: " + path);
    return it->second;
  }
  void WriteFile(const std::string& path, std::string_view data) override {
    files[path] = std::string(data);
    Touch(path);
  }
  void AppendFile(const std::string& path, std::string_view data) override {
    files[path] += data;
    Touch(path);
  }
  void Rename(const std::string& from, const std::string& to) override {
    auto it = files.find(from);
    if (it == files.end()) throw Error("Файл или каталог не найден: " + from);
    if (from == to) return;
    for (MemFile* f : open_)
      if (f->Attached(to)) f->Detach();
    files[to] = std::move(it->second);
    files.erase(from);
    mtimes_[to] = mtimes_[from];
    mtimes_.erase(from);
    for (MemFile* f : open_)
      if (f->Attached(from)) f->path_ = to;
  }
  void Remove(const std::string& path) override {
    for (MemFile* f : open_)
      if (f->Attached(path)) f->Detach();
    files.erase(path);
    mtimes_.erase(path);
  }
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
  void SetFileTime(const std::string& path, std::chrono::system_clock::time_point when) override {
    if (!files.count(path)) throw Error("Файл или каталог не найден: " + path);
    mtimes_[path] = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::floor<std::chrono::seconds>(when.time_since_epoch()))
                        .count();
  }
  std::unique_ptr<File> OpenFile(const std::string& path, FileMode mode) override {
    if (mode == FileMode::Locked)
      for (MemFile* f : open_)
        if (f->locked_ && f->Attached(path))
          throw Error("Файл занят другим процессом \"" + path + "\": " + SystemErrorText(EWOULDBLOCK));
    if (files.emplace(path, std::string()).second) Touch(path);
    return std::make_unique<MemFile>(*this, path, mode);
  }

 private:
  class MemFile final : public File {
   public:
    MemFile(MemEnv& env, std::string path, FileMode mode)
        : env_(env), path_(std::move(path)), append_(mode == FileMode::Append), locked_(mode == FileMode::Locked) {
      env_.open_.push_back(this);
    }
    ~MemFile() override { env_.open_.erase(std::find(env_.open_.begin(), env_.open_.end(), this)); }

    int64_t Size() override { return static_cast<int64_t>(Data().size()); }
    int64_t ModifiedNs() override {
      RequireOpen();
      return detached_ ? orphanMtime_ : env_.mtimes_[path_];
    }
    void ReadAt(int64_t position, char* out, size_t size) override {
      const std::string& data = Data();
      if (append_) throw Error(SystemErrorText(EBADF));
      if (position < 0) throw Error(SystemErrorText(EINVAL));
      if (static_cast<uint64_t>(position) + size > data.size()) throw Error(SystemErrorText(EIO));
      std::copy_n(data.data() + position, size, out);
    }
    void WriteAt(int64_t position, std::string_view bytes) override {
      std::string& data = Data();
      if (position < 0) throw Error(SystemErrorText(EINVAL));
      // Linux puts every write of an O_APPEND descriptor at the end.
      const size_t at = append_ ? data.size() : static_cast<size_t>(position);
      if (data.size() < at + bytes.size()) data.resize(at + bytes.size(), '\0');
      data.replace(at, bytes.size(), bytes);
      Modified();
    }
    void Append(std::string_view bytes) override {
      Data() += bytes;
      Modified();
    }
    void Truncate(int64_t size) override {
      std::string& data = Data();
      if (size < 0) throw Error(SystemErrorText(EINVAL));
      data.resize(static_cast<size_t>(size), '\0');
      Modified();
    }
    void Flush() override { RequireOpen(); }
    void Close() override { closed_ = true; }

   private:
    friend class MemEnv;

    bool Attached(const std::string& path) const { return !closed_ && !detached_ && path_ == path; }
    void Detach() {
      orphan_ = env_.files[path_];
      orphanMtime_ = env_.mtimes_[path_];
      detached_ = true;
    }
    void RequireOpen() const {
      if (closed_) throw Error(SystemErrorText(EBADF));
    }
    std::string& Data() {
      RequireOpen();
      return detached_ ? orphan_ : env_.files[path_];
    }
    void Modified() {
      if (detached_)
        orphanMtime_ = ++env_.clock_;
      else
        env_.Touch(path_);
    }

    MemEnv& env_;
    std::string path_;
    bool append_, locked_;
    bool closed_ = false, detached_ = false;
    std::string orphan_;
    int64_t orphanMtime_ = 0;
  };

  void Touch(const std::string& path) { mtimes_[path] = ++clock_; }

  std::vector<MemFile*> open_;
  std::map<std::string, int64_t> mtimes_;
  int64_t clock_ = 0;
};

class QuietHost final : public Host {
 public:
  void SetStatusText(const std::string&) override {}
  void ShowError(const std::string&) override {}
  void ShowInfo(const std::string&) override {}
  void ShowWarning(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
};

// A real folder of its own under $TMPDIR (or /tmp), removed at exit; one per
// process.
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
