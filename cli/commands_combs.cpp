#include <CLI/CLI.hpp>
#include <algorithm>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "stats/filter.h"
#include "stats/stat_table.h"

namespace px::cli {

namespace {

struct Step {
  enum Kind { Keep, Remove, KeepNumbers, RemoveNumbers, ExcludeLast, Undo } kind;
  std::string text;  // CODE:LEN:VALUES, a number list, or N
};

struct CombsArgs {
  std::string gen;
  std::string from;
  int offset = 0;
  bool sorted = false;
  std::string out;
  bool list = false;
  std::vector<Step> steps;
  std::string view = "card";
};

// The tab whose keep / remove a number step stands for: its caption heads the
// log row, as the page writes it.
std::string ViewCaption(const std::string& view) {
  if (view == "card") return "Карта";
  if (view == "layout") return "Схема";
  if (view == "week") return "Неделя";
  throw Error(Fmt("Некорректное представление: \"%s\"! Ожидается card, layout или week.", view.c_str()));
}

// "7;12;3" (or commas, blanks): each number once, in the order given. 0 is
// what a week selection over the day names adds, and it is kept.
void NumberStep(Context& ctx, Session& s, const CombsArgs& a, const Step& step) {
  std::vector<int> numbers;
  for (const std::string& piece : SplitAny(step.text, ";, ", true)) {
    auto n = ParseInt32(piece);
    if (!n || *n < 0 || *n > kNumbers)
      throw Error(Fmt("Некорректный номер \"%s\" в списке \"%s\"!", piece.c_str(), step.text.c_str()));
    if (std::find(numbers.begin(), numbers.end(), *n) == numbers.end()) numbers.push_back(*n);
  }
  std::string text;
  for (int n : numbers) text += (text.empty() ? "" : "; ") + std::to_string(n);
  const FilterMode mode = step.kind == Step::KeepNumbers ? FilterMode::KeepSelected : FilterMode::RemoveSelected;
  ApplyNumberFilter(s.set, s.registry, numbers, mode, ViewCaption(a.view), text, FilterLastIndex(s.archive, a.offset),
                    a.sorted, &ctx.host);
}

// CODE:LEN:VALUES, split at the first two colons only (values such as 3:2
// hold colons of their own).
void FilterStep(Context& ctx, Session& s, const CombsArgs& a, const Step& step) {
  const std::string& t = step.text;
  size_t c1 = t.find(':');
  size_t c2 = c1 == std::string::npos ? std::string::npos : t.find(':', c1 + 1);
  if (c2 == std::string::npos)
    throw Error(Fmt("Некорректный шаг фильтра: \"%s\"! Ожидается КОД:ТИРАЖЕЙ:ЗНАЧЕНИЯ.", t.c_str()));
  const int method = s.MethodOf(t.substr(0, c1));
  auto len = ParseInt32(t.substr(c1 + 1, c2 - c1 - 1));
  if (!len || *len < 1)
    throw Error(Fmt("Некорректное количество тиражей в шаге \"%s\"!", t.c_str()));
  std::vector<std::string> wanted = SplitAny(t.substr(c2 + 1), ";", true);
  for (auto& w : wanted) w = Trim(w);

  StatTableParams params;
  params.offset = a.offset;
  params.length = *len;
  params.sorted = a.sorted;
  params.separator = '.';
  params.charts = false;
  StatTable table = ComputeStatTable(s.registry, method, params, nullptr);
  SortStatRows(table.rows, kColCount, false);

  std::vector<int> rows;
  for (const std::string& w : wanted) {
    auto it = std::find_if(table.rows.begin(), table.rows.end(),
                           [&](const StatRow& r) { return r.caption == w; });
    if (it == table.rows.end())
      throw Error(Fmt("Значение \"%s\" отсутствует в таблице статистики %s!", w.c_str(),
                      s.registry.CodeOf(method).c_str()));
    rows.push_back(int(it - table.rows.begin()));
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

  auto stat = s.registry.CreateInstance(method);
  const FilterMode mode = step.kind == Step::Keep ? FilterMode::KeepSelected : FilterMode::RemoveSelected;
  KeepOrRemove(s.set, *stat, SelectRows(table.rows, rows), mode, FilterLastIndex(s.archive, a.offset), a.sorted,
               s.registry.DisplayName(method, true), &ctx.host);
}

void Combs(Context& ctx, const CombsArgs& a) {
  Session s(ctx);
  s.CheckOffset(a.offset);
  s.set.Init(kCapacity);
  if (!a.from.empty()) {
    if (!s.set.ReadFile(ctx.env, a.from)) throw Error(Fmt("Ошибка чтения файла \"%s\"!", a.from.c_str()));
  } else {
    int mode = s.registry.Config().CombsGenerateMode;
    std::string parameters = s.registry.Config().CombsGenerateParameters;
    if (!a.gen.empty()) {
      size_t colon = a.gen.find(':');
      auto m = ParseInt32(a.gen.substr(0, colon));
      if (!m || *m < 0) throw Error(Fmt("Некорректный режим генерации: \"%s\"!", a.gen.c_str()));
      mode = *m;
      parameters = colon == std::string::npos ? "" : a.gen.substr(colon + 1);
    }
    GenerateSet(s.set, ctx.env, true, mode, parameters);
  }
  if (s.set.SkippedLines() > 0) ctx.host.ShowWarning(Fmt("Пропущено строк: %d", s.set.SkippedLines()));

  for (const Step& step : a.steps) {
    switch (step.kind) {
      case Step::Keep:
      case Step::Remove:
        FilterStep(ctx, s, a, step);
        break;
      case Step::KeepNumbers:
      case Step::RemoveNumbers:
        NumberStep(ctx, s, a, step);
        break;
      case Step::ExcludeLast: {
        auto n = ParseInt32(step.text);
        if (!n || *n < 1) throw Error(Fmt("Некорректное количество тиражей: \"%s\"!", step.text.c_str()));
        s.set.ExcludeLastDraws(s.archive, a.offset, *n);
        break;
      }
      case Step::Undo:
        if (!s.set.CanUndo()) throw Error("Отмена невозможна: нет сохраненного состояния списка комбинаций!");
        s.set.RestoreSnapshot(true);
        s.set.RemoveLastLogRow();
        break;
    }
  }

  PrintRow(ctx.out, {"Примененные фильтры", "Значения", "Комбинаций"});
  for (const LogRow& row : s.set.Log()) PrintRow(ctx.out, {row.caption, row.valuesText, std::to_string(row.count)});
  if (a.list)
    for (int i = 0; i < s.set.Count(); ++i) ctx.out << CombinationText(s.set.Working()[i]) << '\n';
  if (!a.out.empty() && !s.set.WriteFile(ctx.env, a.out)) throw Error(Fmt("Ошибка записи в файл \"%s\"!", a.out.c_str()));
}

}  // namespace

void RegisterCombsCommands(CLI::App& app, Action& chosen) {
  auto a = std::make_shared<CombsArgs>();
  auto* combs = app.add_subcommand("combs", "Список комбинаций: генерация и фильтры");
  auto* gen = combs->add_option("--gen", a->gen, "Режим генерации 0..4[:параметры]");
  combs->add_option("--from", a->from, "Загрузить список из файла .lcv")->excludes(gen);
  combs->add_option("--offset", a->offset, "Смещение назад");
  combs->add_flag("--sorted", a->sorted, "Числа тиража по возрастанию");
  combs->add_option("--out", a->out, "Сохранить итоговый список в файл .lcv");
  combs->add_flag("--list", a->list, "Вывести комбинации");
  auto keeps = std::make_shared<std::vector<std::string>>();
  auto removes = std::make_shared<std::vector<std::string>>();
  auto keepNumbers = std::make_shared<std::vector<std::string>>();
  auto removeNumbers = std::make_shared<std::vector<std::string>>();
  auto excludes = std::make_shared<std::vector<int>>();
  auto undos = std::make_shared<int>(0);
  auto* keep = combs->add_option("--keep", *keeps, "КОД:ТИРАЖЕЙ:ЗНАЧЕНИЯ — оставить выделенные")
                   ->expected(1)
                   ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  auto* remove = combs->add_option("--remove", *removes, "КОД:ТИРАЖЕЙ:ЗНАЧЕНИЯ — удалить выделенные")
                     ->expected(1)
                     ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  auto* keepNums = combs->add_option("--keep-numbers", *keepNumbers, "НОМЕРА — оставить комбинации с любым из номеров")
                       ->expected(1)
                       ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  auto* removeNums = combs->add_option("--remove-numbers", *removeNumbers, "НОМЕРА — удалить комбинации с любым из номеров")
                         ->expected(1)
                         ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  combs->add_option("--view", a->view, "Чья запись в журнале у шагов с номерами: card, layout, week")
      ->check(CLI::IsMember({"card", "layout", "week"}));
  auto* exclude = combs->add_option("--exclude-last", *excludes, "Исключить N последних тиражей")
                      ->expected(1)
                      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                      ->check(CLI::PositiveNumber);
  auto* undo = combs->add_flag("--undo", *undos, "Отменить последнее действие");
  // The lambda owns the storage the options write into.
  combs->callback([&chosen, a, combs, keep, remove, keepNums, removeNums, exclude, undo, keeps, removes, keepNumbers,
                   removeNumbers, excludes, undos] {
    // The steps run in the order they were given.
    size_t k = 0, r = 0, kn = 0, rn = 0, e = 0;
    a->steps.clear();
    for (CLI::Option* opt : combs->parse_order()) {
      if (opt == keep) a->steps.push_back({Step::Keep, keep->results().at(k++)});
      else if (opt == remove) a->steps.push_back({Step::Remove, remove->results().at(r++)});
      else if (opt == keepNums) a->steps.push_back({Step::KeepNumbers, keepNums->results().at(kn++)});
      else if (opt == removeNums) a->steps.push_back({Step::RemoveNumbers, removeNums->results().at(rn++)});
      else if (opt == exclude) a->steps.push_back({Step::ExcludeLast, exclude->results().at(e++)});
      else if (opt == undo) a->steps.push_back({Step::Undo, ""});
    }
    chosen = [a](Context& c) { Combs(c, *a); };
  });
}

}  // namespace px::cli
