// The subcommands of the headless tool, registered on the CLI11 app.
#pragma once

#include <functional>
#include <iosfwd>
#include <vector>

namespace CLI {
class App;
}

namespace px {
struct MainSettings;
struct RatingEntry;
}  // namespace px

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
void RegisterRunCommands(CLI::App& app, Action& chosen);
void RegisterTablesCommands(CLI::App& app, Action& chosen);
void RegisterLayoutCommands(CLI::App& app, Action& chosen);
// repeats, sums
void RegisterViewCommands(CLI::App& app, Action& chosen);
void RegisterCardWeekCommands(CLI::App& app, Action& chosen);
// systems local, game, import, check
void RegisterSystemsCommands(CLI::App& app, Action& chosen);
// systems list | refresh | download | publish | delete | identity | build,
// beside any other subcommands of "systems".
void RegisterCatalogueCommands(CLI::App& app, Action& chosen);

// The window-state store's main settings; defaults when the file is missing.
MainSettings StoredMainSettings(Context& ctx);
// The mode the rating page was left in; an unusable value means the default.
int EffModeOf(const MainSettings& settings);
int StoredEffMode(Context& ctx);
// The rating as `ratings` prints it: the titles, then one row per entry.
void PrintRatings(std::ostream& out, const std::vector<RatingEntry>& entries, int effMode);

}  // namespace px::cli
