// The write-fault matrix: one write of a file made once without a fault and
// then once for every step that can fail, each time from the same file on
// disk, with the file checked after each.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/fault_env.h"
#include "support/temp_dir.h"

namespace px::test {

enum class WriteFault { None, Open, Write, ShortWrite, Flush, Rename, DiskFull };

inline const char* FaultName(WriteFault f) {
  switch (f) {
    case WriteFault::None: return "none";
    case WriteFault::Open: return "open";
    case WriteFault::Write: return "write";
    case WriteFault::ShortWrite: return "short write";
    case WriteFault::Flush: return "flush";
    case WriteFault::Rename: return "rename";
    case WriteFault::DiskFull: return "disk full";
  }
  return "?";
}

// Files rewritten through a temporary file and a rename.
inline const std::vector<WriteFault>& RewriteFaults() {
  static const std::vector<WriteFault> all = {WriteFault::Open,  WriteFault::Write,  WriteFault::ShortWrite,
                                              WriteFault::Flush, WriteFault::Rename, WriteFault::DiskFull};
  return all;
}
// Files appended to in place: no rename.
inline const std::vector<WriteFault>& AppendFaults() {
  static const std::vector<WriteFault> all = {WriteFault::Open, WriteFault::Write, WriteFault::ShortWrite,
                                              WriteFault::Flush, WriteFault::DiskFull};
  return all;
}

// The cause FaultEnv gives for a fault, as the messages quote it.
inline std::string CauseOf(WriteFault f) {
  switch (f) {
    case WriteFault::Open:
    case WriteFault::Rename: return "Отказано в доступе";
    case WriteFault::Flush: return "Ошибка ввода-вывода";
    default: return "Недостаточно места на диске";
  }
}

// Faults hit `target` and its temporary files only; a full disk leaves
// `room` bytes.
inline void Arm(FaultEnv& env, WriteFault f, const std::string& target, long room) {
  env.only = target;
  switch (f) {
    case WriteFault::None: break;
    case WriteFault::Open: env.failOpen = true; break;
    case WriteFault::Write: env.failWriteAfter = 0; break;
    case WriteFault::ShortWrite: env.failWriteAfter = 7; break;
    case WriteFault::Flush: env.failFlush = true; break;
    case WriteFault::Rename: env.failRename = true; break;
    case WriteFault::DiskFull: env.diskFree = room; break;
  }
}

inline void PutBack(const std::string& path, const std::optional<std::string>& bytes) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  if (bytes) WriteBytes(path, *bytes);
}

inline std::optional<std::string> Contents(const std::string& path) {
  if (!std::filesystem::exists(path)) return std::nullopt;
  return ReadBytes(path);
}

// `write` makes the write on the env it is given and checks the message and
// the state in memory for the fault. Before each run `target` is put back
// as `before` (absent: nullopt) and `reset` (if any) puts back the rest.
// After each run the target holds `before` or, byte for byte, what the run
// without a fault wrote, and no temporary file is left. Returns, per fault,
// whether the file kept its old content.
struct WriteFaultMatrix {
  std::string target;
  std::optional<std::string> before;
  std::function<void(FaultEnv&, WriteFault)> write;
  std::function<void()> reset = nullptr;
  std::vector<WriteFault> faults = RewriteFaults();
  // Room left on a full disk; negative: half of what the write puts there
  // (the whole new file for a rewrite, the growth for an append).
  long room = -1;

  std::map<WriteFault, bool> Run() const {
    std::map<WriteFault, bool> kept;
    const std::string folder = std::filesystem::path(target).parent_path().string();
    long full = room;
    auto once = [&](WriteFault f) {
      SCOPED_TRACE(std::string("fault: ") + FaultName(f));
      PutBack(target, before);
      if (reset) reset();
      FaultEnv env;
      Arm(env, f, target, full);
      write(env, f);
      EXPECT_TRUE(TempFilesIn(folder).empty());
      return Contents(target);
    };
    const std::optional<std::string> after = once(WriteFault::None);
    EXPECT_NE(after, before) << "the write changes nothing";
    if (full < 0) {
      const bool rewrites = std::find(faults.begin(), faults.end(), WriteFault::Rename) != faults.end();
      const size_t old = before ? before->size() : 0, now = after ? after->size() : 0;
      full = long((rewrites ? now : now - std::min(now, old)) / 2);
    }
    for (WriteFault f : faults) {
      const std::optional<std::string> now = once(f);
      EXPECT_TRUE(now == before || now == after)
          << FaultName(f) << ": the file is neither the old one nor the new one (" << (now ? now->size() : 0)
          << " bytes)";
      kept[f] = now == before;
    }
    PutBack(target, before);
    if (reset) reset();
    return kept;
  }
};

// Every fault left the old file.
inline void ExpectAllKept(const std::map<WriteFault, bool>& kept) {
  for (const auto& [f, k] : kept) EXPECT_TRUE(k) << FaultName(f) << " replaced the file although it failed";
}

}  // namespace px::test
