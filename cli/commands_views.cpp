#include <CLI/CLI.hpp>
#include <climits>
#include <memory>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "core/text.h"
#include "views/repeats.h"
#include "views/sums.h"

namespace px::cli {

namespace {

struct RepeatsArgs {
  int len = 100;
  int depth = 100;
};

void Repeats(Context& ctx, const RepeatsArgs& a) {
  ToolFrame frame(ctx);
  frame.LoadArchive(TTemplateMain::Failure::Throw);
  PrintRow(ctx.out, RepeatColumnTitles());
  RepeatsTable table;
  {
    StatusScope status(ctx.host, "Идет сбор статистики....");
    table = AnalyzeRepeats(frame.Archive(), a.len, a.depth);
  }
  for (const RepeatRow& r : table.Rows())
    PrintRow(ctx.out, {std::to_string(r.draw), std::to_string(r.matches), std::to_string(r.count), table.DrawsText(r)});
}

// Heights as the chart draws them, with two decimals and a point.
std::string Height(double v) { return Fmt("%.2f", v); }

void Sums(Context& ctx) {
  ToolFrame frame(ctx);
  frame.LoadArchive(TTemplateMain::Failure::Throw);
  SumsTables t;
  {
    StatusScope status(ctx.host, "Идет сбор статистики....");
    t = ComputeSums(frame.Archive());
  }
  std::vector<std::string> header{"Сумма", kActualSumsTitle, kTheorySumsTitle};
  for (int j = 0; j < 3; ++j) header.push_back(SumLevelTitle(j, t.levels[size_t(j)]));
  PrintRow(ctx.out, header);
  // The archive's sums by the theory's: a sum no draw has counts 0.
  size_t next = 0;
  for (const SumCount& s : t.theory) {
    while (next < t.actual.size() && t.actual[next].sum < s.sum) ++next;
    const int32_t actual = next < t.actual.size() && t.actual[next].sum == s.sum ? t.actual[next].count : 0;
    std::vector<std::string> row{std::to_string(s.sum), std::to_string(actual), Height(t.Scaled(s.count))};
    for (const SumLevel& l : t.levels) row.push_back(Height(t.Scaled(l.level)));
    PrintRow(ctx.out, row);
  }
}

}  // namespace

void RegisterViewCommands(CLI::App& app, Action& chosen) {
  auto a = std::make_shared<RepeatsArgs>();
  auto* repeats = app.add_subcommand("repeats", "Количество повторов в зависимости от тиража");
  repeats->add_option("--len", a->len, "Количество тиражей (по умолчанию 100)")->check(CLI::Range(1, INT_MAX));
  repeats->add_option("--depth", a->depth, "Количество тиражей \"в глубину\" (по умолчанию 100)")
      ->check(CLI::Range(1, INT_MAX));
  repeats->callback([&chosen, a] { chosen = [a](Context& c) { Repeats(c, *a); }; });

  auto* sums = app.add_subcommand("sums", "Распределение сумм тиражей и всех возможных комбинаций");
  sums->callback([&chosen] { chosen = [](Context& c) { Sums(c); }; });
}

}  // namespace px::cli
