// The seam between the engine and the operating system: every file and clock
// access of the engine goes through an Env, so tests can make any call fail
// (disk full, rename refused) and check that nothing is lost.
//
// Failures throw px::Error with a short Russian cause that names the file.
// An Env is not copyable; Env::Real() lives for the whole process.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace px {

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
  // Opens for appending (creating when missing), writes, closes: a log line.
  virtual void AppendFile(const std::string& path, std::string_view data);
  // Replaces `to` atomically.
  virtual void Rename(const std::string& from, const std::string& to) = 0;
  virtual void Remove(const std::string& path) = 0;
  virtual void MakeDirs(const std::string& path) = 0;
  // Names (not paths) of the entries of a folder; empty when it is missing.
  virtual std::vector<std::string> ListDir(const std::string& dir) = 0;
  virtual std::chrono::system_clock::time_point Now() = 0;
  // Opens (creating when missing) and locks a file exclusively for as long
  // as the returned handle stays open; throws Error when another process
  // holds it.
  virtual int LockFile(const std::string& path);
  virtual void UnlockFile(int handle);

  static Env& Real();
};

// Writes the file whole through a temporary file in the same folder and a
// rename, so a failure leaves the previous file as it was.
void WriteFileAtomic(Env& env, const std::string& path, std::string_view data);

// Deletes the named log files of the folder, each even when another fails,
// and says what happened in the words the log commands show: "Файлы журналов
// не найдены!" for none; ok is false when a file could not be removed.
struct DeleteSummary {
  bool ok = true;
  std::string text;
};
DeleteSummary DeleteLogFiles(Env& env, const std::string& folder, const std::vector<std::string>& names);

// "<folder>/<name>"; folder may be empty.
std::string JoinPath(const std::string& folder, const std::string& name);

// Russian text of an errno value, for error boxes.
std::string SystemErrorText(int errnum);

}  // namespace px
