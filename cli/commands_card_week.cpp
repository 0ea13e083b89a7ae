// `card` and `week`: the numbers of the pages "Карта" and "Неделя" as TSV.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <climits>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "core/arith.h"
#include "core/errors.h"
#include "core/text.h"
#include "views/card.h"
#include "views/week.h"

namespace px::cli {

namespace {

std::vector<std::string> NumberHeader(const char* first) {
  std::vector<std::string> header{first};
  for (int x = 1; x <= kNumbers; ++x) header.push_back(std::to_string(x));
  return header;
}

void CardCommand(Context& ctx, bool colours) {
  ToolFrame frame(ctx);
  frame.LoadSettings(TTemplateMain::Failure::Throw);
  frame.LoadConfiguration(TTemplateMain::Failure::Throw);
  frame.LoadArchive(TTemplateMain::Failure::Throw);
  const MainSettings& s = frame.Settings();
  const CardColours scheme{s.ColorCard, s.ColorCardSequences, frame.Config().data.ChannelSize};
  const Card card = Card::Build(frame.Archive());

  PrintRow(ctx.out, NumberHeader("Тираж"));
  std::vector<std::string> cells(kCardColumns);
  for (int row = 0; row < card.Rows(); ++row) {
    for (int column = 0; column < kCardColumns; ++column) {
      cells[size_t(column)] = card.CellText(row, column);
      if (!colours || column == 0 || cells[size_t(column)].empty()) continue;
      if (auto fill = CardCellColour(card, row, column, scheme)) cells[size_t(column)] += Fmt(":%06X", *fill);
    }
    PrintRow(ctx.out, cells);
  }
}

struct WeekArgs {
  int len = 1000;
  int offset = 0;
};

void WeekCommand(Context& ctx, const WeekArgs& a) {
  ToolFrame frame(ctx);
  frame.LoadArchive(TTemplateMain::Failure::Throw);
  const int max = std::max(frame.Archive().Count() - 1, 0);
  if (a.offset < 0 || a.offset > max)
    throw Error(Fmt("Некорректное смещение: %d! Допустимые значения: от 0 до %d.", a.offset, max));
  const WeekCounts w = ComputeWeekCounts(frame.Archive(), a.offset, a.len);

  PrintRow(ctx.out, NumberHeader("День"));
  for (int d = 1; d <= 7; ++d) {
    std::vector<std::string> cells{kWeekdayShortNames[size_t(d - 1)]};
    for (int x = 1; x <= kNumbers; ++x) cells.push_back(w.At(x, d) > 0 ? std::to_string(w.At(x, d)) : "");
    PrintRow(ctx.out, cells);
  }
}

}  // namespace

void RegisterCardWeekCommands(CLI::App& app, Action& chosen) {
  auto colours = std::make_shared<bool>(false);
  auto* card = app.add_subcommand("card", "Карта тиражей: тираж и его номера, новые тиражи первыми");
  card->add_flag("--colours", *colours, "Цвет каждого номера как НОМЕР:RRGGBB, по настройкам окна и ширине канала");
  card->callback([&chosen, colours] { chosen = [colours](Context& c) { CardCommand(c, *colours); }; });

  auto a = std::make_shared<WeekArgs>();
  auto* week = app.add_subcommand("week", "Выпадения номеров по дням недели");
  week->add_option("--len", a->len, "Количество тиражей (по умолчанию 1000)")->check(CLI::Range(1, INT_MAX));
  week->add_option("--offset", a->offset, "Смещение назад");
  week->callback([&chosen, a] { chosen = [a](Context& c) { WeekCommand(c, *a); }; });
}

}  // namespace px::cli
