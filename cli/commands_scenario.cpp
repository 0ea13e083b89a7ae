#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "core/archive.h"
#include "core/config.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "cli/session.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_line.h"
#include "stats/stat_list.h"

namespace px::cli {

namespace {

// Codes only: no draws are needed, but the configuration decides which
// indexed methods exist.
struct Registry {
  ToolFrame frame;
  TStatList& list;
  explicit Registry(Context& ctx) : frame(ctx), list(frame.Registry()) {
    frame.LoadConfiguration(TTemplateMain::Failure::Throw);
    frame.LoadRegistry(TTemplateMain::Failure::Throw, false);
  }
};

std::vector<std::string> ReadLines(Context& ctx, const std::string& file) {
  StatusScope status(ctx.host, Fmt("Загрузка файла \"%s\"...", file.c_str()));
  try {
    return ReadScenarioFile(ctx.env, file);
  } catch (const std::exception& e) {
    throw Error(Fmt("Ошибка чтения файла \"%s\"!\r\r%s", file.c_str(), e.what()));
  }
}

void Show(Context& ctx, const std::string& file) {
  const std::vector<std::string> lines = ReadLines(ctx, file);
  Registry registry(ctx);
  std::vector<std::string> header = {"Комментарии", "Опции"};
  for (int i = 1; i <= kScenarioFilters; ++i) header.push_back(Fmt("Фильтр %d", i));
  PrintRow(ctx.out, header);
  for (const auto& line : lines) {
    std::vector<std::string> row(header.size());
    if (!IsSeparatorLine(line)) {
      const ScenarioLineText parts = ParseLineText(line);
      row[0] = parts.comment;
      row[1] = OptionsSummary(ParseOptions(parts.options));
      for (int i = 0; i < kScenarioFilters; ++i)
        row[size_t(2 + i)] = FormatFilter(ParseFilter(parts.filters[size_t(i)], registry.list));
    }
    PrintRow(ctx.out, row);
  }
}

void Normalize(Context& ctx, const std::string& file) {
  std::vector<std::string> lines = ReadLines(ctx, file);
  Registry registry(ctx);
  for (auto& line : lines) line = IsSeparatorLine(line) ? std::string() : FormatLine(ParseLine(line, registry.list));
  StatusScope status(ctx.host, Fmt("Сохранение файла \"%s\"...", file.c_str()));
  try {
    WriteScenarioFile(ctx.env, file, lines);
  } catch (const std::exception& e) {
    throw Error(Fmt("Ошибка записи в файл \"%s\"!\r\r%s", file.c_str(), e.what()));
  }
}

}  // namespace

void RegisterScenarioCommands(CLI::App& app, Action& chosen) {
  auto* scenario = app.add_subcommand("scenario", "Сценарии");
  scenario->require_subcommand(1);

  auto showFile = std::make_shared<std::string>();
  auto* show = scenario->add_subcommand("show", "Строки сценария, как их показывает страница \"Сценарий\"");
  show->add_option("FILE", *showFile, "Файл сценария (*.lsc)")->required();
  show->callback([&chosen, showFile] { chosen = [showFile](Context& c) { Show(c, *showFile); }; });

  auto normFile = std::make_shared<std::string>();
  auto* normalize = scenario->add_subcommand("normalize", "Переписать строки сценария в обычном виде");
  normalize->add_option("FILE", *normFile, "Файл сценария (*.lsc)")->required();
  normalize->callback([&chosen, normFile] { chosen = [normFile](Context& c) { Normalize(c, *normFile); }; });
}

}  // namespace px::cli
