#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "core/arith.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/form_settings.h"
#include "core/ini.h"
#include "cli/session.h"
#include "stakes/ratings.h"

namespace px::cli {

namespace {

struct RatingsArgs {
  std::optional<int> mode;
  std::string exportPath;
};

void Show(Context& ctx, const RatingsArgs& a) {
  // Read only: printing must not sort or rewrite the rating file.
  std::vector<RatingEntry> entries;
  const std::string path = RatingsPath(ctx.dataDir);
  if (ctx.env.Exists(path)) {
    StatusScope status(ctx.host, "Загрузка файла рейтинга...");
    try {
      DecodeRatingEntries(ctx.env.ReadFile(path), entries);
    } catch (const std::exception& e) {
      throw OperationError("Ошибка чтения файла рейтинга!", e.what());
    }
  }
  const int mode = a.mode ? *a.mode : StoredEffMode(ctx);
  PrintRatings(ctx.out, entries, mode);
  if (!a.exportPath.empty()) {
    StatusScope status(ctx.host, "Экспорт в CSV-файл...");
    WriteFileAtomic(ctx.env, a.exportPath, RatingsCsvText(entries));
  }
}

}  // namespace

MainSettings StoredMainSettings(Context& ctx) {
  ToolFrame frame(ctx);
  frame.LoadSettings(TTemplateMain::Failure::Throw);
  return frame.Settings();
}

int EffModeOf(const MainSettings& settings) {
  const int mode = settings.RatingsEffMode;
  return mode >= 0 && mode <= 2 ? mode : MainSettings{}.RatingsEffMode;
}

int StoredEffMode(Context& ctx) { return EffModeOf(StoredMainSettings(ctx)); }

void PrintRatings(std::ostream& out, const std::vector<RatingEntry>& entries, int effMode) {
  PrintRow(out, RatingTitles());
  for (const RatingEntry& e : entries) PrintRow(out, RatingRow(e, effMode));
}

void RegisterRatingsCommands(CLI::App& app, Action& chosen) {
  auto a = std::make_shared<RatingsArgs>();
  auto* ratings = app.add_subcommand("ratings", "Рейтинг ставок в порядке файла рейтинга");
  ratings->add_option("--mode", a->mode, "Значения эффективности: 0 ожидаемые, 1 абсолютные, 2 относительные")
      ->check(CLI::Range(0, 2));
  ratings->add_option("--export", a->exportPath, "Записать рейтинг в CSV-файл");
  ratings->callback([&chosen, a] { chosen = [a](Context& c) { Show(c, *a); }; });
}

}  // namespace px::cli
