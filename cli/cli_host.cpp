#include "cli/cli_host.h"

#include <signal.h>

#include <csignal>
#include <ostream>

#include "core/env.h"
#include "core/errors.h"
#include "frame/frame.h"
#include "frame/messages.h"
#include "stakes/stake_store.h"

namespace px::cli {

void CliHost::SetStatusText(const std::string& text) {
  if (verbose_ && !text.empty()) err_ << PlainText(text) << '\n';
}
void CliHost::ShowError(const std::string& text) { err_ << PlainText(text) << '\n'; }
void CliHost::ShowInfo(const std::string& text) { err_ << PlainText(text) << '\n'; }
void CliHost::ShowWarning(const std::string& text) { err_ << PlainText(text) << '\n'; }
bool CliHost::AskYesNo(const std::string&) { return false; }

namespace {
volatile std::sig_atomic_t interrupted = 0;
struct sigaction previousAction;

void OnInterrupt(int) { interrupted = 1; }
}  // namespace

InterruptScope::InterruptScope() {
  interrupted = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // One-shot, so that a run stuck between stop checks can still be killed.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  sigaction(SIGINT, &action, &previousAction);
}

InterruptScope::~InterruptScope() { sigaction(SIGINT, &previousAction, nullptr); }

bool InterruptScope::Requested() { return interrupted != 0; }

void PrintRow(std::ostream& out, const std::vector<std::string>& cells) {
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) out << '\t';
    // A tab or line break inside a cell would break the table.
    for (char c : cells[i]) out << ((c == '\t' || c == '\n' || c == '\r') ? ' ' : c);
  }
  out << '\n';
}

DataFolderLock::DataFolderLock(Context& ctx) {
  ctx.env.MakeDirs(ctx.dataDir);
  try {
    file_ = ctx.env.OpenFile(StakesPath(ctx.dataDir), FileMode::Locked);
  } catch (const std::exception&) {
    throw Error(kExclusiveAccess);
  }
}

DataFolderLock::~DataFolderLock() = default;

void OpenStakesFile(Context& ctx, Host& host, StakeStore& store) { OpenStakesOrThrow(ctx.env, host, ctx.dataDir, store); }

}  // namespace px::cli
