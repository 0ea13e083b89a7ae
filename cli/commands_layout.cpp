#include <CLI/CLI.hpp>
#include <algorithm>
#include <climits>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "core/host.h"
#include "core/text.h"
#include "views/layout.h"

namespace px::cli {

namespace {

struct LayoutArgs {
  int len = 100;
  int offset = 0;
  LayoutCompareLengths lens = {50, 100, 200, 300, 400};
};

// The grid as the page shows it, its header row and column included.
void Layout(Context& ctx, const LayoutArgs& a) {
  Session s(ctx);
  s.CheckOffset(a.offset);
  LayoutGrid grid;
  {
    StatusScope status(ctx.host, "Построение схемы выпадения номеров...");
    grid = BuildLayoutGrid(s.archive, a.offset, a.len);
  }
  std::vector<std::string> header = {"Кол-во"};
  for (int32_t draw : grid.draws) header.push_back(std::to_string(draw));
  PrintRow(ctx.out, header);
  for (int r = 0; r < grid.Rows(); ++r) {
    std::vector<std::string> row = {std::to_string(grid.counts[size_t(r)])};
    row.insert(row.end(), grid.cells[size_t(r)].begin(), grid.cells[size_t(r)].end());
    PrintRow(ctx.out, row);
  }
}

// The five lists side by side; a shorter list leaves its cells empty.
void LayoutCompare(Context& ctx, const LayoutArgs& a) {
  Session s(ctx);
  s.CheckOffset(a.offset);
  std::array<LayoutCompareList, kLayoutCompareLists> lists;
  {
    StatusScope status(ctx.host, "Построение схемы выпадения номеров...");
    lists = BuildLayoutCompare(s.archive, a.offset, a.lens);
  }
  std::vector<std::string> header;
  size_t rows = 0;
  for (const LayoutCompareList& list : lists) {
    header.push_back("Кол-во");
    header.push_back(list.caption);
    rows = std::max(rows, list.rows.size());
  }
  PrintRow(ctx.out, header);
  for (size_t r = 0; r < rows; ++r) {
    std::vector<std::string> row;
    for (const LayoutCompareList& list : lists) {
      const bool has = r < list.rows.size();
      row.push_back(has ? std::to_string(list.rows[r].first) : "");
      row.push_back(has ? list.rows[r].second : "");
    }
    PrintRow(ctx.out, row);
  }
}

// "A,B,C,D,E": five window lengths of 1..2147483647.
std::optional<LayoutCompareLengths> ParseLengths(const std::string& text) {
  const std::vector<std::string> pieces = SplitAny(text, ",", false);
  if (pieces.size() != kLayoutCompareLists) return std::nullopt;
  LayoutCompareLengths lens{};
  for (size_t i = 0; i < pieces.size(); ++i) {
    auto n = ParseInt32(pieces[i]);
    if (!n || *n < 1) return std::nullopt;
    lens[i] = *n;
  }
  return lens;
}

}  // namespace

void RegisterLayoutCommands(CLI::App& app, Action& chosen) {
  auto a = std::make_shared<LayoutArgs>();
  auto* layout = app.add_subcommand("layout", "Схема выпадения номеров");
  layout->add_option("--len", a->len, "Количество тиражей (по умолчанию 100)")->check(CLI::Range(1, INT32_MAX));
  layout->add_option("--offset", a->offset, "Смещение назад");
  layout->callback([&chosen, a] { chosen = [a](Context& c) { Layout(c, *a); }; });

  auto b = std::make_shared<LayoutArgs>();
  auto lens = std::make_shared<std::string>();
  auto* compare = app.add_subcommand("layout-compare", "Таблицы сравнения схемы выпадения номеров");
  compare
      ->add_option("--lens", *lens, "Пять длин списков через запятую (по умолчанию 50,100,200,300,400)")
      ->check(CLI::Validator(
          [](std::string& text) {
            return ParseLengths(text) ? std::string()
                                      : std::string("ожидается пять чисел от 1 до 2147483647 через запятую");
          },
          "A,B,C,D,E"));
  compare->add_option("--offset", b->offset, "Смещение назад");
  compare->callback([&chosen, b, lens] {
    if (!lens->empty()) b->lens = *ParseLengths(*lens);
    chosen = [b](Context& c) { LayoutCompare(c, *b); };
  });
}

}  // namespace px::cli
