// The detailed log of a scenario run: "ScriptLog_yyyy-mm-dd-hh-nn-ss.txt" in
// the data folder, cp1251, one "[yyyy-mm-dd hh:nn:ss]: entry" per line. The
// file is opened for appending and closed again for every entry, so a crash
// loses nothing already written.
#pragma once

#include <string>
#include <vector>

#include "core/env.h"

namespace px {

class Host;

inline constexpr const char* kRunLogPattern = "ScriptLog_%s.txt";

class RunLog {
 public:
  RunLog(Env& env, Host& host, std::string folder);

  bool enabled = false;
  // A new file name from the current time; the file appears with its first entry.
  void Start();
  // Nothing when disabled. A failure shows "Ошибка записи журнала: %s!" and
  // the run goes on.
  void Write(const std::string& entry);
  // The current file, then forgotten; empty when none was written.
  std::string Finish();
  const std::string& Path() const { return path_; }

 private:
  Env& env_;
  Host& host_;
  std::string folder_;
  std::string path_;
};

// The run logs in the folder (names), and deleting them: "Файлы журналов не
// найдены!" when there are none; otherwise a summary title and details of
// what was deleted; ok is false when a file could not be removed.
std::vector<std::string> RunLogFiles(Env& env, const std::string& folder);
DeleteSummary DeleteRunLogs(Env& env, const std::string& folder);

}  // namespace px
