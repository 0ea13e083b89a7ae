#include <CLI/CLI.hpp>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "core/config.h"
#include "cli/session.h"

namespace px::cli {

namespace {
void Show(Context& ctx) {
  ToolFrame frame(ctx);
  frame.LoadConfiguration(TTemplateMain::Failure::Throw);
  PrintRow(ctx.out, {"Параметр", "Значение"});
  for (const auto& [key, value] : ConfigListing(frame.Config(), frame.Proxy())) PrintRow(ctx.out, {key, value});
}
}  // namespace

void RegisterConfigCommands(CLI::App& app, Action& chosen) {
  auto* config = app.add_subcommand("config", "Параметры игры");
  config->require_subcommand(1);
  auto* show = config->add_subcommand("show", "Действующие параметры игры");
  show->callback([&chosen] { chosen = [](Context& c) { Show(c); }; });
}

}  // namespace px::cli
