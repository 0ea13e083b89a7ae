#include "cli/cli_host.h"

#include <ostream>

#include "core/errors.h"

namespace px::cli {

void CliHost::SetStatusText(const std::string& text) {
  if (verbose_ && !text.empty()) err_ << PlainText(text) << '\n';
}
void CliHost::ShowError(const std::string& text) { err_ << PlainText(text) << '\n'; }
void CliHost::ShowInfo(const std::string& text) { err_ << PlainText(text) << '\n'; }
void CliHost::ShowWarning(const std::string& text) { err_ << PlainText(text) << '\n'; }
bool CliHost::AskYesNo(const std::string&) { return false; }

void PrintRow(std::ostream& out, const std::vector<std::string>& cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) out << '\t';
    // A tab or line break inside a cell would break the table.
    for (char c : cells[i]) out << ((c == '\t' || c == '\n' || c == '\r') ? ' ' : c);
  }
  out << '\n';
}

}  // namespace px::cli
