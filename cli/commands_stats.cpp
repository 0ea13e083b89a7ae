#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <optional>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "core/errors.h"
#include "core/text.h"
#include "core/form_settings.h"
#include "stats/prefetch.h"
#include "stats/stat_table.h"

namespace px::cli {

namespace {

const char* YesNo(bool v) { return v ? "да" : "нет"; }

void Methods(Context& ctx, bool all) {
  Session s(ctx);
  PrintRow(ctx.out, {"№", "Код", "Название", "Группа", "График", "Полный набор"});
  int n = 0;
  for (const MethodListItem& item : MethodList(s.registry, false, all)) {
    const int i = item.method;
    PrintRow(ctx.out, {std::to_string(++n), s.registry.CodeOf(i), item.text, GroupLabel(s.registry.Method(i).cls->group),
                       YesNo(s.registry.IsGraph(i)), YesNo(s.registry.HasFullSet(i))});
  }
}

// "Количество", "1", "Количество:desc" or "1:desc".
std::pair<int, bool> ParseSort(const std::string& text) {
  std::string column = text;
  bool desc = false;
  size_t colon = text.rfind(':');
  if (colon != std::string::npos) {
    std::string dir = text.substr(colon + 1);
    if (SameText(dir, "desc") || SameText(dir, "asc")) {
      desc = SameText(dir, "desc");
      column = text.substr(0, colon);
    }
  }
  const auto& titles = StatColumnTitles();
  for (int i = 0; i < kStatColumns; ++i)
    if (column == titles[size_t(i)]) return {i, desc};
  if (auto index = ParseInt32(column); index && *index >= 0 && *index < kStatColumns) return {*index, desc};
  throw Error(Fmt("Неизвестный столбец статистики: \"%s\"!", column.c_str()));
}

struct StatsArgs {
  std::string code;
  int len = 1000;
  int offset = 0;
  bool sorted = false;
  bool prefetch = false;
  std::string sort;
};

void Stats(Context& ctx, const StatsArgs& a) {
  Session s(ctx);
  const int method = s.MethodOf(a.code);
  s.CheckOffset(a.offset);
  auto [column, desc] = a.sort.empty() ? std::pair<int, bool>{kColCount, false} : ParseSort(a.sort);

  std::vector<std::string> header(StatColumnTitles().begin(), StatColumnTitles().end());
  PrintRow(ctx.out, header);
  if (s.archive.Empty()) return;

  std::optional<PrefetchData> prefetch;
  FormSettings record(ctx.env, FormSettingsPath(ctx.dataDir, kDataBaseName));
  if (a.prefetch) prefetch = PrefetchFiles(ctx.env, ctx.dataDir, &record).Open(s.registry, method, &ctx.host);
  StatTableParams params;
  params.offset = a.offset;
  params.length = a.len;
  params.sorted = a.sorted;
  params.separator = '.';
  StatTable table;
  {
    StatusScope status(ctx.host, "Анализ тиражей и расчет статистики...");
    table = ComputeStatTable(s.registry, method, params, prefetch ? &*prefetch : nullptr);
  }
  SortStatRows(table.rows, column, desc);
  for (const StatRow& row : table.rows) {
    const auto cells = CellTexts(row);
    PrintRow(ctx.out, std::vector<std::string>(cells.begin(), cells.end()));
  }
}

// Progress of the file builds on a terminal only, so scripts get clean output.
class PrefetchProgress final : public Host {
 public:
  PrefetchProgress(Host& inner, bool terminal) : inner_(inner), terminal_(terminal) {}
  void SetStatusText(const std::string& text) override {
    status_ = text;
    inner_.SetStatusText(text);
  }
  void SetProgress(int position, int max) override {
    if (!terminal_) return;
    if (max > 0)
      std::cerr << "\r" << Fmt("Создание файлов для полного набора комбинаций... %d из %d", position, max) << std::flush;
    else
      std::cerr << "\n";
  }
  void ShowError(const std::string& text) override {
    ++errors;
    inner_.ShowError(text);
  }
  void ShowInfo(const std::string& text) override { inner_.ShowInfo(text); }
  void ShowWarning(const std::string& text) override { inner_.ShowWarning(text); }
  bool AskYesNo(const std::string& text) override { return inner_.AskYesNo(text); }
  int errors = 0;

 private:
  Host& inner_;
  bool terminal_;
  std::string status_;
};

void Prefetch(Context& ctx, uint32_t groups) {
  DataFolderLock lock(ctx);
  Session s(ctx);
  PrefetchProgress progress(ctx.host, ::isatty(2) != 0);
  FormSettings record(ctx.env, FormSettingsPath(ctx.dataDir, kDataBaseName));
  int built = PrefetchFiles(ctx.env, ctx.dataDir, &record).BuildAll(s.registry, true, false, groups, &progress);
  ctx.out << "Создано файлов: " << built << '\n';
  // Each failure is on stderr already; a file not written fails the command.
  if (progress.errors > 0) throw CommandExit(1, "");
}

}  // namespace

void RegisterStatsCommands(CLI::App& app, Action& chosen) {
  auto* methods = app.add_subcommand("methods", "Методы расчета статистики");
  auto all = std::make_shared<bool>(false);
  methods->add_flag("--all", *all, "Также методы, не входящие в избранные");
  methods->callback([&chosen, all] { chosen = [all](Context& c) { Methods(c, *all); }; });

  auto a = std::make_shared<StatsArgs>();
  auto* stats = app.add_subcommand("stats", "Таблица статистики");
  stats->add_option("CODE", a->code, "Код метода, например NUMS")->required();
  stats->add_option("--len", a->len, "Количество тиражей (по умолчанию 1000)")->check(CLI::Range(1, INT32_MAX));
  stats->add_option("--offset", a->offset, "Смещение назад");
  stats->add_flag("--sorted", a->sorted, "Числа тиража по возрастанию");
  stats->add_flag("--prefetch", a->prefetch, "Сравнение с полным набором комбинаций");
  stats->add_option("--sort", a->sort, "Столбец (название или номер от 0)[:desc]");
  stats->callback([&chosen, a] { chosen = [a](Context& c) { Stats(c, *a); }; });

  auto groups = std::make_shared<uint32_t>(0);
  auto everything = std::make_shared<bool>(false);
  auto* prefetch = app.add_subcommand("prefetch", "Создать файлы для полного набора комбинаций");
  prefetch->add_option("--groups", *groups, "Маска групп, файлы которых пересоздаются")->check(CLI::Range(0, 65535));
  prefetch->add_flag("--all", *everything, "Пересоздать все файлы");
  prefetch->callback([&chosen, groups, everything] {
    chosen = [groups, everything](Context& c) { Prefetch(c, *everything ? 8191u : *groups); };
  });
}

}  // namespace px::cli
