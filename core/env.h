// The seam between the engine and the operating system: every file and clock
// access of the engine goes through an Env, so tests can make any call fail
// (disk full, rename refused) and check that nothing is lost.
//
// Failures throw px::Error with a short Russian cause that names the file.
// An Env is not copyable; Env::Real() lives for the whole process.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace px {

// An open file, for reads and writes at any position or for appending.
// Failures throw px::Error with the system's text of the cause; the
// destructor closes quietly.
class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  virtual ~File() = default;

  virtual int64_t Size() = 0;
  // Modification time in nanoseconds since the epoch.
  virtual int64_t ModifiedNs() = 0;
  // Exactly size bytes; reading past the end is an error.
  virtual void ReadAt(int64_t position, char* out, size_t size) = 0;
  virtual void WriteAt(int64_t position, std::string_view data) = 0;
  // At the end of the file. A write cut short is taken back, so a line or
  // record is never left half written.
  virtual void Append(std::string_view data) = 0;
  virtual void Truncate(int64_t size) = 0;
  // To disk.
  virtual void Flush() = 0;
  virtual void Close() = 0;
};

enum class FileMode {
  Update,  // read and write, created when missing
  Append,  // append only, created when missing
  Locked,  // as Update, and held exclusively while open: refused when
           // another holder has it
};

class Env {
 public:
  Env() = default;
  Env(const Env&) = delete;
  Env& operator=(const Env&) = delete;
  virtual ~Env() = default;

  virtual bool Exists(const std::string& path) = 0;
  // The whole file. Throws when it is missing or cannot be read.
  virtual std::string ReadFile(const std::string& path) = 0;
  // Creates or truncates the file and writes all of data to disk.
  virtual void WriteFile(const std::string& path, std::string_view data) = 0;
  // As WriteFile, but without waiting for the disk: SyncFile (or the
  // system, in its time) makes it durable.
  virtual void WriteFileLazily(const std::string& path, std::string_view data) { WriteFile(path, data); }
  // Waits until the file and its entry in its folder are on the disk.
  virtual void SyncFile(const std::string& /*path*/) {}
  // Opens for appending (creating when missing), writes, closes: a log line.
  virtual void AppendFile(const std::string& path, std::string_view data);
  // Replaces `to` atomically.
  virtual void Rename(const std::string& from, const std::string& to) = 0;
  virtual void Remove(const std::string& path) = 0;
  virtual void MakeDirs(const std::string& path) = 0;
  // Names (not paths) of the entries of a folder; empty when it is missing.
  virtual std::vector<std::string> ListDir(const std::string& dir) = 0;
  virtual std::chrono::system_clock::time_point Now() = 0;
  // Sets the file's last-write time (and its access time) to `when`, to the
  // second. Systems that keep a creation time of their own do not let it be
  // set here; the last-write time is the one the program compares.
  virtual void SetFileTime(const std::string& path, std::chrono::system_clock::time_point when) = 0;
  // Throws the system's text of the cause; for Locked, a text naming the
  // file and whether another holder has it.
  virtual std::unique_ptr<File> OpenFile(const std::string& path, FileMode mode);

  static Env& Real();
};

// Writes the file whole through a temporary file in the same folder and a
// rename, so a failure leaves the previous file as it was. The temporary
// name is unique to the writer, so two writers never share one.
// Lazily, the new file is in place at once but reaches the disk only at the
// next SyncFile: for a file rewritten many times in a row whose loss a
// later step can make good.
void WriteFileAtomic(Env& env, const std::string& path, std::string_view data, bool lazily = false);
// The same with the new file's time set to `modified` before the rename, so
// the file appears with its time or not at all.
void WriteFileAtomic(Env& env, const std::string& path, std::string_view data,
                     std::chrono::system_clock::time_point modified);

// Deletes the named log files of the folder, each even when another fails,
// and says what happened in the words the log commands show: "Файлы журналов
// не найдены!" for none; ok is false when a file could not be removed.
struct DeleteSummary {
  bool ok = true;
  std::string text;
};
DeleteSummary DeleteLogFiles(Env& env, const std::string& folder, const std::vector<std::string>& names);

// A name beside path, ending in ".tmp", that no other writer uses.
std::string UniqueTempPath(const std::string& path);

// "<folder>/<name>"; folder may be empty.
std::string JoinPath(const std::string& folder, const std::string& name);

// Russian text of an errno value, for error boxes.
std::string SystemErrorText(int errnum);

}  // namespace px
