#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "core/archive.h"
#include "core/config.h"
#include "core/csv.h"
#include "core/dates.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "stats/stat_list.h"

namespace px::cli {

namespace {

// Loads the archive for reading. A damaged file still yields its whole
// records; the error is reported and the command fails at its end.
struct ReadArchive {
  DrawArchive archive;
  std::string error;

  explicit ReadArchive(Context& ctx) {
    StatusScope status(ctx.host, "Загрузка файла тиражей...");
    try {
      archive.Load(ctx.env, ArchivePath(ctx.dataDir));
    } catch (const Error& e) {
      error = e.what();
    }
  }
  void Finish() const {
    if (!error.empty()) throw Error(error);
  }
};

// Loads the archive for a change: any read error stops the command before
// anything is written, so a damaged file is never overwritten by less.
DrawArchive LoadForChange(Context& ctx) {
  ReadArchive r(ctx);
  r.Finish();
  return std::move(r.archive);
}

void SaveArchive(Context& ctx, const DrawArchive& archive) {
  StatusScope status(ctx.host, "Сохранение файла тиражей...");
  ctx.env.MakeDirs(ctx.dataDir);
  archive.Save(ctx.env, ArchivePath(ctx.dataDir));
}

int FindDraw(const DrawArchive& archive, int32_t number) {
  int index = archive.IndexOfDraw(number);
  if (index < 0) throw Error(Fmt("Тираж № %d не найден в архиве тиражей!", number));
  return index;
}

std::string CheckedDateText(const std::string& text) {
  return DateText(ParseDate(text));
}

void CheckDrawNumber(int32_t number) {
  if (number < 1) throw Error(Fmt("Некорректный номер тиража: %d! Номер тиража должен быть не меньше 1.", number));
  if (number > kMaxDrawNumber)
    throw Error(Fmt("Некорректный номер тиража: %d! Номер тиража должен быть не больше %d.", number, kMaxDrawNumber));
}

void List(Context& ctx, bool sorted) {
  ReadArchive r(ctx);
  PrintRow(ctx.out, DrawListHeader());
  for (int p = 0; p < r.archive.Count(); ++p) PrintRow(ctx.out, DrawListRow(r.archive.AtPosition(p), sorted));
  r.Finish();
}

void Summary(Context& ctx) {
  ReadArchive r(ctx);
  const DrawArchive& a = r.archive;
  PrintRow(ctx.out, {"Показатель", "Значение"});
  PrintRow(ctx.out, {"Тиражей в архиве", std::to_string(a.Count())});
  if (!a.Empty()) {
    const DrawRecord& first = a.At(0);
    const DrawRecord& last = a.AtPosition(0);
    PrintRow(ctx.out, {"Первый тираж", Fmt("№ %d от %s", first.number, first.DateString().c_str())});
    PrintRow(ctx.out, {"Последний тираж", DrawDescription(last)});
    std::array<int, kNumbers + 1> freq{};
    for (const DrawRecord& d : a.Records())
      for (uint8_t v : d.numbers)
        if (v >= 1 && v <= kNumbers) ++freq[v];
    auto most = std::max_element(freq.begin() + 1, freq.end());
    auto least = std::min_element(freq.begin() + 1, freq.end());
    PrintRow(ctx.out, {"Чаще всего выпадало число",
                       Fmt("%d (%d раз)", static_cast<int>(most - freq.begin()), *most)});
    PrintRow(ctx.out, {"Реже всего выпадало число",
                       Fmt("%d (%d раз)", static_cast<int>(least - freq.begin()), *least)});
  }
  PrintRow(ctx.out, {"Следующий тираж", std::to_string(a.NextDrawNumber(0))});
  r.Finish();
}

void Info(Context& ctx, int32_t number, bool sorted) {
  ReadArchive r(ctx);
  const int index = FindDraw(r.archive, number);
  const DrawRecord& d = r.archive.At(index);
  PrintRow(ctx.out, {"Свойство", "Значение"});
  PrintRow(ctx.out, {"Номер тиража:", std::to_string(d.number)});
  PrintRow(ctx.out, {"Дата тиража:", d.DateString()});
  PrintRow(ctx.out, {"Описание:", DrawDescription(d)});
  // Every listed graph method, evaluated at the draw's own place.
  TStatList registry;
  LoadGameConfig(ctx.env, ConfigPath(ctx.dataDir), registry.Config());
  registry.SetDraws(&r.archive);
  registry.Fill();
  for (int i = 0; i < registry.Count(); ++i) {
    if (!registry.IsGraph(i) || !registry.IsListed(i)) continue;
    auto stat = registry.CreateInstance(i);
    auto* graph = dynamic_cast<TCustomGraphStat*>(stat.get());
    if (!graph) continue;
    PrintRow(ctx.out, {graph->Title(), std::to_string(graph->GraphValueOfDraw(index, index, sorted))});
  }
  r.Finish();
}

void Import(Context& ctx, const std::string& file) {
  DataFolderLock lock(ctx);
  DrawArchive archive = LoadForChange(ctx);
  ImportResult result;
  {
    StatusScope status(ctx.host, Fmt("Импорт тиражей из файла \"%s\"...", file.c_str()));
    result = ImportDraws(ctx.env, archive, file);
  }
  SaveArchive(ctx, archive);
  ctx.out << "Добавлено тиражей: " << result.added << '\n';
  if (result.skipped > 0) ctx.out << "Пропущено строк: " << result.skipped << '\n';
}

void Export(Context& ctx, const std::string& file) {
  ReadArchive r(ctx);
  r.Finish();
  StatusScope status(ctx.host, Fmt("Экспорт тиражей в файл \"%s\"...", file.c_str()));
  ExportDraws(ctx.env, r.archive, file);
  ctx.out << "Выгружено тиражей: " << r.archive.Count() << '\n';
}

void PrintDraw(Context& ctx, const DrawRecord& d) {
  PrintRow(ctx.out, DrawListHeader());
  PrintRow(ctx.out, DrawListRow(d, false));
}

void Add(Context& ctx, const std::string& numbers, const std::optional<int32_t>& number,
         const std::optional<std::string>& date) {
  DataFolderLock lock(ctx);
  DrawArchive archive = LoadForChange(ctx);
  DrawRecord d;
  d.number = number.value_or(archive.NextDrawNumber(0));
  CheckDrawNumber(d.number);
  d.numbers = ParseDrawNumbers(numbers);
  d.SetDate(date ? CheckedDateText(*date) : DateText(DateOf(ctx.env.Now())));
  archive.Append(d);
  SaveArchive(ctx, archive);
  PrintDraw(ctx, d);
}

void Edit(Context& ctx, int32_t which, const std::string& numbers, const std::optional<int32_t>& number,
          const std::optional<std::string>& date) {
  DataFolderLock lock(ctx);
  DrawArchive archive = LoadForChange(ctx);
  const int index = FindDraw(archive, which);
  DrawRecord d = archive.At(index);
  if (number) {
    CheckDrawNumber(*number);
    d.number = *number;
  }
  d.numbers = ParseDrawNumbers(numbers);
  if (date) d.SetDate(CheckedDateText(*date));
  archive.At(index) = d;
  SaveArchive(ctx, archive);
  PrintDraw(ctx, d);
}

void Delete(Context& ctx, const std::vector<int32_t>& numbers) {
  DataFolderLock lock(ctx);
  DrawArchive archive = LoadForChange(ctx);
  // Every number is checked first, so a typo deletes nothing.
  std::vector<int> indexes;
  for (int32_t n : numbers) indexes.push_back(FindDraw(archive, n));
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  {
    StatusScope status(ctx.host, "Удаление выделенных тиражей....");
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) archive.DeleteAt(*it);
  }
  SaveArchive(ctx, archive);
  ctx.out << "Удалено тиражей: " << indexes.size() << '\n';
}

}  // namespace

void RegisterDrawCommands(CLI::App& app, Action& chosen) {
  auto* draws = app.add_subcommand("draws", "Архив тиражей");
  draws->require_subcommand(1);

  auto* list = draws->add_subcommand("list", "Список тиражей, новые сверху");
  auto sorted = std::make_shared<bool>(false);
  list->add_flag("--sorted", *sorted, "Числа тиража по возрастанию");
  list->callback([&chosen, sorted] { chosen = [sorted](Context& c) { List(c, *sorted); }; });

  auto* summary = draws->add_subcommand("summary", "Сводка по архиву тиражей");
  summary->callback([&chosen] { chosen = [](Context& c) { Summary(c); }; });

  auto file = std::make_shared<std::string>();
  auto* imp = draws->add_subcommand("import", "Импорт тиражей из CSV-файла");
  imp->add_option("FILE", *file, "CSV-файл")->required();
  imp->callback([&chosen, file] { chosen = [file](Context& c) { Import(c, *file); }; });

  auto* exp = draws->add_subcommand("export", "Экспорт тиражей в CSV-файл");
  exp->add_option("FILE", *file, "CSV-файл")->required();
  exp->callback([&chosen, file] { chosen = [file](Context& c) { Export(c, *file); }; });

  struct DrawArgs {
    int32_t which = 0;
    std::string numbers;
    std::optional<int32_t> number;
    std::optional<std::string> date;
  };
  auto a = std::make_shared<DrawArgs>();

  auto* add = draws->add_subcommand("add", "Добавить тираж");
  add->add_option("NUMBERS", a->numbers, "Числа через точку с запятой или запятую")->required();
  add->add_option("--number", a->number, "Номер тиража (по умолчанию следующий)");
  add->add_option("--date", a->date, "Дата тиража mm/dd/yyyy (по умолчанию сегодня)");
  add->callback([&chosen, a] { chosen = [a](Context& c) { Add(c, a->numbers, a->number, a->date); }; });

  auto* edit = draws->add_subcommand("edit", "Изменить тираж");
  edit->add_option("NUMBER", a->which, "Номер изменяемого тиража")->required();
  edit->add_option("NUMBERS", a->numbers, "Числа через точку с запятой или запятую")->required();
  edit->add_option("--number", a->number, "Новый номер тиража");
  edit->add_option("--date", a->date, "Дата тиража mm/dd/yyyy");
  edit->callback([&chosen, a] { chosen = [a](Context& c) { Edit(c, a->which, a->numbers, a->number, a->date); }; });

  auto numbers = std::make_shared<std::vector<int32_t>>();
  auto* del = draws->add_subcommand("delete", "Удалить тиражи");
  del->add_option("NUMBER", *numbers, "Номера тиражей")->required();
  del->callback([&chosen, numbers] { chosen = [numbers](Context& c) { Delete(c, *numbers); }; });

  auto which = std::make_shared<int32_t>(0);
  auto infoSorted = std::make_shared<bool>(false);
  auto* info = draws->add_subcommand("info", "Сведения о тираже");
  info->add_option("NUMBER", *which, "Номер тиража")->required();
  info->add_flag("--sorted", *infoSorted, "Числа тиража по возрастанию");
  info->callback([&chosen, which, infoSorted] {
    chosen = [which, infoSorted](Context& c) { Info(c, *which, *infoSorted); };
  });
}

}  // namespace px::cli
