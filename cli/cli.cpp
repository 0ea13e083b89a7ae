#include "cli/cli.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "core/env.h"
#include "core/errors.h"

namespace px::cli {

namespace {
std::string ExecutableFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return exe.parent_path().string();
}
}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return Run(args, out, err, Env::Real());
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Env& env) {
  CLI::App app{"Анализатор статистики лотереи \"Vantora 5\": работа без окна", "pentalux"};
  app.require_subcommand(1);
  std::string dataDir;
  bool verbose = false;
  app.add_option("--data-dir", dataDir, "Каталог данных (по умолчанию каталог программы)");
  app.add_flag("-v,--verbose", verbose, "Показывать ход выполнения");

  Action chosen;
  RegisterDrawCommands(app, chosen);
  RegisterConfigCommands(app, chosen);
  RegisterStatsCommands(app, chosen);
  RegisterCombsCommands(app, chosen);
  RegisterDownloadCommand(app, chosen);
  RegisterStakesCommands(app, chosen);
  RegisterRatingsCommands(app, chosen);
  RegisterScenarioCommands(app, chosen);
  RegisterRunCommands(app, chosen);
  RegisterTablesCommands(app, chosen);
  RegisterLayoutCommands(app, chosen);
  RegisterViewCommands(app, chosen);
  RegisterCardWeekCommands(app, chosen);
  RegisterSystemsCommands(app, chosen);
  RegisterCatalogueCommands(app, chosen);

  try {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::CallForAllHelp&) {
    out << app.help("", CLI::AppFormatMode::All);
    return 0;
  } catch (const CLI::ParseError& e) {
    err << e.what() << '\n';
    return 2;
  }

  if (dataDir.empty()) {
    const char* fromEnv = std::getenv("PENTALUX_DATA_DIR");
    dataDir = (fromEnv && *fromEnv) ? fromEnv : ExecutableFolder();
  }
  CliHost host(err, verbose);
  Context ctx{env, host, dataDir, out};
  try {
    if (chosen) chosen(ctx);
  } catch (const CommandExit& e) {
    out.flush();
    if (*e.what()) err << PlainText(e.what()) << '\n';
    return e.code;
  } catch (const std::exception& e) {
    out.flush();
    err << PlainText(e.what()) << '\n';
    return 1;
  }
  return 0;
}

}  // namespace px::cli
