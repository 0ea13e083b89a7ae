// Shared pieces of the headless tool's commands.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/host.h"

namespace px {
class Env;
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

struct Context {
  Env& env;
  Host& host;
  std::string dataDir;
  std::ostream& out;
};

void PrintRow(std::ostream& out, const std::vector<std::string>& cells);

}  // namespace px::cli
