// `pentalux tables`: the regular table stakes of the tab "Регуляры".
#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "core/errors.h"
#include "core/text.h"
#include "stakes/regular.h"

namespace px::cli {

namespace {

// The frame with its stakes file and rules; the tab's visibility is the
// window's business, the tool always works on the file.
struct TablesSession {
  ErrorKeepingHost host;
  ToolFrame frame;
  RegularStakes& rules;

  TablesSession(Context& ctx, bool forStakes) : host(ctx.host), frame(ctx, &host), rules(Open(forStakes)) {}

  RegularStakes& Open(bool forStakes) {
    frame.LoadSettings(TTemplateMain::Failure::Throw);
    frame.Settings().TabTables = true;
    if (forStakes) {
      frame.LoadConfiguration(TTemplateMain::Failure::Throw);
      frame.LoadArchive(TTemplateMain::Failure::Throw);
    }
    frame.OpenStakes(TTemplateMain::Failure::Throw);
    if (!frame.LoadRegulars()) host.Finish();
    if (forStakes) {
      frame.LoadRatings();
      frame.PrepareCombinations();
      frame.GenerateStartList();
    }
    return *frame.Regulars();
  }

  // 1-based rows as `tables list` numbers them, to indexes.
  std::vector<int> Indexes(const std::vector<int>& rows) const {
    std::vector<int> indexes;
    for (int row : rows) {
      if (row < 1 || row > rules.Count()) throw Error(Fmt("Запись со индексом %d в файле данных не найдена!", row));
      indexes.push_back(row - 1);
    }
    return indexes;
  }
};

void PrintStake(std::ostream& out, const StakeRecord& r) {
  PrintRow(out, {std::to_string(r.drawNumber), NumberSetText(r.numbers, ";"), r.comment});
}

void List(Context& ctx) {
  TablesSession s(ctx, false);
  PrintRow(ctx.out, RegularTitles());
  for (const RegularStake& r : s.rules.Rules()) PrintRow(ctx.out, RegularRow(r));
}

struct AddArgs {
  std::string comment = "Регулярная ставка";
  std::string start;
  bool lastDraw = false;
  int step = 1;
};

void Add(Context& ctx, const AddArgs& a) {
  TablesSession s(ctx, false);
  if (Utf8Length(a.comment) > kRegularCommentChars)
    throw Error(Fmt("Комментарий длиннее %zu символов!", kRegularCommentChars));
  RegularStake rule;
  rule.comment = a.comment;
  rule.useLastDraw = a.lastDraw;
  rule.step = a.step;
  if (auto error = CheckRegularInput(!a.lastDraw, a.start, a.comment, s.rules.Rules(), rule.start))
    throw Error(error->message);
  // One rule of its own start, as the dialog adds it with one combination selected.
  s.frame.RegularsAdd(rule, {0});
  s.host.Finish();
  PrintRow(ctx.out, RegularTitles());
  PrintRow(ctx.out, RegularRow(s.rules.At(s.rules.Count() - 1)));
}

void Delete(Context& ctx, const std::vector<int>& rows) {
  TablesSession s(ctx, false);
  const int before = s.rules.Count();
  s.frame.RegularsDelete(s.Indexes(rows));
  s.host.Finish();
  ctx.out << "Удалено записей: " << (before - s.rules.Count()) << '\n';
}

struct StakeArgs {
  int row = 0;
  int draws = 1;
};

void Stake(Context& ctx, const StakeArgs& a) {
  TablesSession s(ctx, true);
  const int index = s.Indexes({a.row}).front();
  const TTemplateMain::RegularDraft draft = s.frame.RegularsDraft(index);
  const bool made = s.frame.RegularsCommit(index, draft, draft.stake, a.draws);
  PrintRow(ctx.out, {"Тираж", "Ставка", "Комментарий"});
  if (made) PrintStake(ctx.out, draft.stake);
  s.host.Finish();
}

struct TestArgs {
  std::vector<int> rows;
  int count = 0;
};

void Test(Context& ctx, const TestArgs& a) {
  TablesSession s(ctx, true);
  const int draws = s.frame.Archive().Count();
  if (draws < 2) throw Error("Для тестов в архиве должно быть не менее двух тиражей!");
  if (a.count < 1 || a.count > draws - 1)
    throw CommandExit(2, Fmt("Количество тестов должно быть от 1 до %d", draws - 1));
  const std::vector<int> indexes = s.Indexes(a.rows);
  PrintRow(ctx.out, {"Тираж", "Ставка", "Комментарий"});
  StakeStore& store = *s.frame.Stakes();
  s.frame.RegularsTest(indexes, a.count, [&] { PrintStake(ctx.out, store.ReadRecord(-1, true)); });
  s.host.Finish();
}

}  // namespace

void RegisterTablesCommands(CLI::App& app, Action& chosen) {
  auto* tables = app.add_subcommand("tables", "Регулярные табличные ставки");
  tables->require_subcommand(1);

  auto* list = tables->add_subcommand("list", "Список регулярных ставок");
  list->callback([&chosen] { chosen = [](Context& c) { List(c); }; });

  auto a = std::make_shared<AddArgs>();
  auto* add = tables->add_subcommand("add", "Добавить регулярную ставку");
  add->add_option("--comment", a->comment, "Комментарий к ставке");
  auto* start = add->add_option("--start", a->start, "Стартовая комбинация: пять чисел через точку с запятой");
  auto* last = add->add_flag("--last-draw", a->lastDraw, "Использовать данные предыдущего тиража");
  start->excludes(last);
  add->add_option("--step", a->step, "Шаг изменения элементов комбинации")
      ->check(CLI::Range(-kRegularMaxStep, kRegularMaxStep));
  add->require_option(1, 3);
  add->callback([&chosen, a, start, last] {
    if (start->count() + last->count() != 1)
      throw CLI::ValidationError("--start", "ожидается --start ЧИСЛА или --last-draw");
    chosen = [a](Context& c) { Add(c, *a); };
  });

  auto rows = std::make_shared<std::vector<int>>();
  auto* del = tables->add_subcommand("delete", "Удалить регулярные ставки");
  del->add_option("ROW", *rows, "Строки списка (с 1)")->required();
  del->callback([&chosen, rows] { chosen = [rows](Context& c) { Delete(c, *rows); }; });

  auto st = std::make_shared<StakeArgs>();
  auto* stake = tables->add_subcommand("stake", "Сделать ставку по регуляру");
  stake->add_option("ROW", st->row, "Строка списка (с 1)")->required();
  stake->add_option("--draws", st->draws, "Количество тиражей")->check(CLI::Range(1, 65535));
  stake->callback([&chosen, st] { chosen = [st](Context& c) { Stake(c, *st); }; });

  auto t = std::make_shared<TestArgs>();
  auto* test = tables->add_subcommand("test", "Тест регуляров");
  test->add_option("ROW", t->rows, "Строки списка (с 1)")->required();
  test->add_option("--count", t->count, "Количество тестов")->required();
  test->callback([&chosen, t] { chosen = [t](Context& c) { Test(c, *t); }; });
}

}  // namespace px::cli
