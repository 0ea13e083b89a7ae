// The subcommands of the headless tool, registered on the CLI11 app.
#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace px::cli {

struct Context;
using Action = std::function<void(Context&)>;
// Each register function adds its subcommands; the chosen one stores its
// action in `chosen`, which runs after parsing.
void RegisterDrawCommands(CLI::App& app, Action& chosen);
void RegisterConfigCommands(CLI::App& app, Action& chosen);
void RegisterStatsCommands(CLI::App& app, Action& chosen);
void RegisterCombsCommands(CLI::App& app, Action& chosen);
void RegisterDownloadCommand(CLI::App& app, Action& chosen);
void RegisterStakesCommands(CLI::App& app, Action& chosen);
void RegisterRatingsCommands(CLI::App& app, Action& chosen);
void RegisterScenarioCommands(CLI::App& app, Action& chosen);

}  // namespace px::cli
