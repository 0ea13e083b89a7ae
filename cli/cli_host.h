// Shared pieces of the headless tool's commands.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/host.h"

namespace px {
class Env;
class File;
class StakeStore;
}

namespace px::cli {

// Questions cannot be asked here: the caller answers them with flags.
class CliHost final : public Host {
 public:
  CliHost(std::ostream& err, bool verbose) : err_(err), verbose_(verbose) {}
  void SetStatusText(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowInfo(const std::string& text) override;
  void ShowWarning(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;

 private:
  std::ostream& err_;
  bool verbose_;
};

// Ends a command with this exit code; an empty text prints nothing, for a
// failure the host has shown already.
class CommandExit : public Error {
 public:
  CommandExit(int code, const std::string& text) : Error(text), code(code) {}
  int code;
};

// For the scope's life Ctrl+C asks the running command to stop instead of
// ending the process; a second Ctrl+C ends it as usual. The previous handler
// comes back at the end. One scope at a time.
class InterruptScope {
 public:
  InterruptScope();
  ~InterruptScope();
  InterruptScope(const InterruptScope&) = delete;
  InterruptScope& operator=(const InterruptScope&) = delete;
  static bool Requested();
};

// Passes everything on but keeps the errors, so that a store operation that
// reports through a box can still end the command with exit 1.
class ErrorKeepingHost final : public Host {
 public:
  explicit ErrorKeepingHost(Host& inner) : inner_(inner) {}
  void SetStatusText(const std::string& text) override { inner_.SetStatusText(text); }
  void ShowError(const std::string& text) override {
    if (error.empty()) error = text;
    later.push_back(text);
  }
  void ShowInfo(const std::string& text) override { inner_.ShowInfo(text); }
  void ShowWarning(const std::string& text) override { inner_.ShowWarning(text); }
  bool AskYesNo(const std::string& text) override { return inner_.AskYesNo(text); }

  // Ends the command with the kept error, if any.
  void Finish() const {
    if (!error.empty()) throw Error(error);
  }
  // Shows the kept errors; the command still succeeds.
  void Report() {
    for (const std::string& text : later) inner_.ShowError(text);
    later.clear();
    error.clear();
  }
  std::string error;
  std::vector<std::string> later;

 private:
  Host& inner_;
};

struct Context {
  Env& env;
  Host& host;
  std::string dataDir;
  std::ostream& out;
};

void PrintRow(std::ostream& out, const std::vector<std::string>& cells);

// Holds the data folder for the scope's life through the stakes file's lock,
// as the program does, so the tool never changes files under a running
// program nor beside another changing command: refused with the
// exclusive-access message.
class DataFolderLock {
 public:
  explicit DataFolderLock(Context& ctx);
  ~DataFolderLock();
  DataFolderLock(const DataFolderLock&) = delete;
  DataFolderLock& operator=(const DataFolderLock&) = delete;

 private:
  std::unique_ptr<File> file_;
};

// Opens the data folder's stakes file for the command's life: a file held by
// the program is the exclusive-access message, a damaged one its read error.
void OpenStakesFile(Context& ctx, Host& host, StakeStore& store);

}  // namespace px::cli
