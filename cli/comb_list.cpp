#include "cli/comb_list.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/cli_host.h"
#include "cli/session.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "stats/filter.h"
#include "stats/stat_table.h"

namespace px::cli {

namespace {

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
void NumberStep(Context& ctx, Session& s, const CombListArgs& a, const CombStep& step) {
  std::vector<int> numbers;
  for (const std::string& piece : SplitAny(step.text, ";, ", true)) {
    auto n = ParseInt32(piece);
    if (!n || *n < 0 || *n > kNumbers)
      throw Error(Fmt("Некорректный номер \"%s\" в списке \"%s\"!", piece.c_str(), step.text.c_str()));
    if (std::find(numbers.begin(), numbers.end(), *n) == numbers.end()) numbers.push_back(*n);
  }
  std::string text;
  for (int n : numbers) text += (text.empty() ? "" : "; ") + std::to_string(n);
  const FilterMode mode = step.kind == CombStep::KeepNumbers ? FilterMode::KeepSelected : FilterMode::RemoveSelected;
  ApplyNumberFilter(s.set, s.registry, numbers, mode, ViewCaption(a.view), text, FilterLastIndex(s.archive, a.offset),
                    a.sorted, &ctx.host);
}

// CODE:LEN:VALUES, split at the first two colons only (values such as 3:2
// hold colons of their own).
void FilterStep(Context& ctx, Session& s, const CombListArgs& a, const CombStep& step) {
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
  const FilterMode mode = step.kind == CombStep::Keep ? FilterMode::KeepSelected : FilterMode::RemoveSelected;
  KeepOrRemove(s.set, *stat, SelectRows(table.rows, rows), mode, FilterLastIndex(s.archive, a.offset), a.sorted,
               s.registry.DisplayName(method, true), &ctx.host);
}

}  // namespace

CombListOptions::CombListOptions(CLI::App* command) : command_(command) {
  auto* gen = command->add_option("--gen", args_.gen, "Режим генерации 0..4[:параметры]");
  command->add_option("--from", args_.from, "Загрузить список из файла .lcv")->excludes(gen);
  command->add_option("--offset", args_.offset, "Смещение назад");
  command->add_flag("--sorted", args_.sorted, "Числа тиража по возрастанию");
  keep_ = command->add_option("--keep", keeps_, "КОД:ТИРАЖЕЙ:ЗНАЧЕНИЯ — оставить выделенные")
              ->expected(1)
              ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  remove_ = command->add_option("--remove", removes_, "КОД:ТИРАЖЕЙ:ЗНАЧЕНИЯ — удалить выделенные")
                ->expected(1)
                ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  keepNums_ = command->add_option("--keep-numbers", keepNumbers_, "НОМЕРА — оставить комбинации с любым из номеров")
                  ->expected(1)
                  ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  removeNums_ =
      command->add_option("--remove-numbers", removeNumbers_, "НОМЕРА — удалить комбинации с любым из номеров")
          ->expected(1)
          ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  command->add_option("--view", args_.view, "Чья запись в журнале у шагов с номерами: card, layout, week")
      ->check(CLI::IsMember({"card", "layout", "week"}));
  exclude_ = command->add_option("--exclude-last", excludes_, "Исключить N последних тиражей")
                 ->expected(1)
                 ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                 ->check(CLI::PositiveNumber);
  undo_ = command->add_flag("--undo", undos_, "Отменить последнее действие");
}

CombListArgs CombListOptions::Collect() {
  // The steps run in the order they were given.
  size_t k = 0, r = 0, kn = 0, rn = 0, e = 0;
  args_.steps.clear();
  for (CLI::Option* opt : command_->parse_order()) {
    if (opt == keep_) args_.steps.push_back({CombStep::Keep, keep_->results().at(k++)});
    else if (opt == remove_) args_.steps.push_back({CombStep::Remove, remove_->results().at(r++)});
    else if (opt == keepNums_) args_.steps.push_back({CombStep::KeepNumbers, keepNums_->results().at(kn++)});
    else if (opt == removeNums_) args_.steps.push_back({CombStep::RemoveNumbers, removeNums_->results().at(rn++)});
    else if (opt == exclude_) args_.steps.push_back({CombStep::ExcludeLast, exclude_->results().at(e++)});
    else if (opt == undo_) args_.steps.push_back({CombStep::Undo, ""});
  }
  return args_;
}

void BuildCombList(Context& ctx, Session& s, const CombListArgs& a) {
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

  for (const CombStep& step : a.steps) {
    switch (step.kind) {
      case CombStep::Keep:
      case CombStep::Remove:
        FilterStep(ctx, s, a, step);
        break;
      case CombStep::KeepNumbers:
      case CombStep::RemoveNumbers:
        NumberStep(ctx, s, a, step);
        break;
      case CombStep::ExcludeLast: {
        auto n = ParseInt32(step.text);
        if (!n || *n < 1) throw Error(Fmt("Некорректное количество тиражей: \"%s\"!", step.text.c_str()));
        s.set.ExcludeLastDraws(s.archive, a.offset, *n);
        break;
      }
      case CombStep::Undo:
        if (!s.set.CanUndo()) throw Error("Отмена невозможна: нет сохраненного состояния списка комбинаций!");
        s.set.RestoreSnapshot(true);
        s.set.RemoveLastLogRow();
        break;
    }
  }
}

}  // namespace px::cli
