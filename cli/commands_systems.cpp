// `pentalux systems`: the local store of number systems, the system game on
// a combination list, the import of a system file and the proof of what a
// system guarantees.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/comb_list.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "core/archive.h"
#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "frame/system_game.h"
#include "stakes/stake_store.h"
#include "stakes/system_check.h"
#include "stakes/systems.h"

namespace px::cli {

namespace {

constexpr size_t kCommentChars = 64;  // as the multi-stake dialog's field

std::string Cell(const std::optional<int>& value) { return value ? std::to_string(*value) : std::string(); }

void Local(Context& ctx) {
  ErrorKeepingHost host(ctx.host);
  SystemStore store(ctx.env, host, ctx.dataDir);
  PrintRow(ctx.out, {"Файл", "Числа", "Блок", "Номер", "Комбинаций", "Гарантия", "Используется"});
  for (const LocalSystemFile& f : store.LocalFiles()) {
    std::string lines, summary;
    try {
      const std::vector<SystemLine> read = store.ReadLines(JoinPath(store.Directory(), f.name), f.facts.numbers);
      lines = std::to_string(read.size());
      summary = GuaranteeSummary(CheckSystem(read, f.facts.numbers));
    } catch (const std::exception& e) {
      host.ShowError(OperationError("Ошибка загрузки комбинаций системы!", e.what()).what());
    }
    PrintRow(ctx.out, {f.name, Fmt("%.2d", f.facts.numbers), Cell(f.facts.block), Cell(f.facts.id), lines, summary,
                       f.serves ? "да" : "нет"});
  }
  ctx.out.flush();
  // Every file is listed; a damaged one still fails the command.
  if (!host.error.empty()) {
    host.Report();
    throw CommandExit(1, "");
  }
}

struct GameArgs {
  bool all = false;
  bool listOnly = false;
  std::optional<int32_t> draw;
  int draws = 1;
  std::optional<std::string> comment;
  CombListArgs list;
};

void Game(Context& ctx, const GameArgs& a) {
  if (a.comment) {
    if (Trim(*a.comment).empty()) throw Error("Необходимо ввести комментарий!");
    if (Utf8Length(*a.comment) > kCommentChars) throw Error(Fmt("Комментарий длиннее %zu символов!", kCommentChars));
  }
  ErrorKeepingHost host(ctx.host);
  Session s(ctx, &host);
  TFormMain& frame = s.frame;
  frame.LoadSettings(TTemplateMain::Failure::Throw);
  frame.OpenStakes(TTemplateMain::Failure::Throw);
  frame.LoadRatings();
  BuildCombList(ctx, s, a.list);
  if (s.set.Count() == 0) throw Error("Список комбинаций пуст: системная игра невозможна!");
  frame.SetDrawsOffset(a.list.offset);

  const std::optional<SystemGameDraft> draft = PrepareSystemGame(frame, a.all);
  host.Finish();
  if (!draft) throw CommandExit(1, "");
  const int32_t draw = a.draw.value_or(draft->drawNumber);
  if (int64_t(draw) + a.draws - 1 > kMaxDrawNumber)
    throw Error(Fmt("Некорректный номер тиража: %lld! Номер тиража должен быть не больше %d.",
                    static_cast<long long>(int64_t(draw) + a.draws - 1), kMaxDrawNumber));
  const std::string comment = a.comment.value_or(draft->comment);

  PrintRow(ctx.out, {"Тираж", "Ставка", "Комментарий"});
  StakeStore& store = *frame.Stakes();
  const SystemGameResult result = PlaySystemGame(frame, *draft, draw, a.draws, comment, [&] {
    const StakeRecord last = store.ReadRecord(-1, true);
    for (int i = 0; i < a.draws; ++i)
      PrintRow(ctx.out, {std::to_string(draw + i), NumberSetText(last.numbers, ";"), last.comment});
  });
  ctx.out.flush();
  if (result.failed) host.Finish();
  // The stakes are made: a check that failed after them is told, but a
  // retry would stake twice, so the command succeeds.
  host.Report();
}

struct ImportArgs {
  std::string file;
  int numbers = 0;
  int block = 0;
  int32_t id = 0;
};

void Import(Context& ctx, const ImportArgs& a) {
  DataFolderLock lock(ctx);
  ErrorKeepingHost host(ctx.host);
  SystemStore store(ctx.env, host, ctx.dataDir);
  std::vector<SystemLine> lines;
  try {
    lines = ParseSystemText(Cp1251ToUtf8(ctx.env.ReadFile(a.file)), a.numbers, SystemFileStem(a.file));
  } catch (const std::exception& e) {
    throw OperationError("Ошибка загрузки комбинаций системы!", e.what());
  }
  tSystemData data;
  data.id = a.id;
  data.numberCount = uint8_t(a.numbers);
  data.blockLength = uint8_t(a.block);
  data.combinationCount = int32_t(lines.size());
  data.created = std::chrono::floor<std::chrono::seconds>(ctx.env.Now().time_since_epoch()).count();
  data.combinations = SystemText(lines);
  const std::string name = SystemFileName(data);
  store.SaveLocalFile(data);
  // One system per k stays in the store; the new file is in place first.
  for (const LocalSystemFile& f : store.LocalFiles())
    if (f.facts.numbers == a.numbers && f.name != name) {
      ctx.env.Remove(JoinPath(store.Directory(), f.name));
      ctx.host.ShowInfo(Fmt("Удален файл \"%s\": в хранилище остается одна система для %d чисел.", f.name.c_str(),
                            a.numbers));
    }
  PrintRow(ctx.out, {"Файл", "Числа", "Блок", "Номер", "Комбинаций", "Гарантия"});
  PrintRow(ctx.out, {name, Fmt("%.2d", a.numbers), std::to_string(a.block), std::to_string(a.id),
                     std::to_string(lines.size()), GuaranteeSummary(CheckSystem(lines, a.numbers))});
}

struct CheckArgs {
  std::string system;
  std::optional<int> numbers;
};

// A file's path, or the store's file with that id.
std::string SystemPathOf(Context& ctx, SystemStore& store, const std::string& system) {
  if (ctx.env.Exists(system)) return system;
  const std::optional<int32_t> id = ParseInt32(system);
  if (!id || system.find_first_not_of("0123456789") != std::string::npos)
    throw Error(Fmt("Файл системы \"%s\" не найден!", system.c_str()));
  std::vector<std::string> found;
  for (const LocalSystemFile& f : store.LocalFiles())
    if (f.facts.id == *id) found.push_back(f.name);
  if (found.empty()) throw Error(Fmt("Система #%d не найдена в каталоге \"%s\"!", int(*id), store.Directory().c_str()));
  if (found.size() > 1) {
    std::string names;
    for (const std::string& n : found) names += (names.empty() ? "" : ", ") + n;
    throw Error(Fmt("Системе #%d соответствуют несколько файлов (%s): укажите файл.", int(*id), names.c_str()));
  }
  return JoinPath(store.Directory(), found.front());
}

void Check(Context& ctx, const CheckArgs& a) {
  ErrorKeepingHost host(ctx.host);
  SystemStore store(ctx.env, host, ctx.dataDir);
  const std::string path = SystemPathOf(ctx, store, a.system);
  const std::string name = std::filesystem::path(path).filename().string();
  SystemCheck check;
  try {
    const std::string text = Cp1251ToUtf8(ctx.env.ReadFile(path));
    int k = 0;
    if (a.numbers) {
      k = *a.numbers;
    } else if (auto facts = ParseSystemFileName(name)) {
      k = facts->numbers;
    } else {
      // The largest position, at least five.
      for (const SystemLine& line : ParseSystemText(text, kNumbers, name))
        k = std::max(k, int(*std::max_element(line.begin(), line.end())));
    }
    check = CheckSystem(ParseSystemText(text, k, name), k);
  } catch (const std::exception& e) {
    throw OperationError("Ошибка загрузки комбинаций системы!", e.what());
  }
  ToolFrame frame(ctx, &host);
  frame.LoadConfiguration(TTemplateMain::Failure::Throw);
  const TConfigData& config = frame.Config().data;

  PrintRow(ctx.out, {"Угадано", "Гарантия", "Сочетаний", "Достигают гарантии+1", "Доля"});
  for (const SystemGuarantee& g : check.guarantees)
    PrintRow(ctx.out, {std::to_string(g.m), std::to_string(g.t), std::to_string(g.subsets), std::to_string(g.reaching),
                       Fmt("%.6f", g.Share())});
  ctx.out << '\n';
  PrintRow(ctx.out, {"Совпадений", "Тиражей", "Пар тираж-комбинация", "Профит"});
  int64_t draws = 0, pairs = 0;
  for (int j = 0; j <= kDrawSize; ++j) {
    const int64_t n = check.pairs[size_t(j)];
    draws += check.bestDraws[size_t(j)];
    pairs += n;
    PrintRow(ctx.out, {std::to_string(j), std::to_string(check.bestDraws[size_t(j)]), std::to_string(n),
                       MoneyText128(__int128(n) * StakeProfit(config, kDrawSize, j))});
  }
  PrintRow(ctx.out,
           {"Итого", std::to_string(draws), std::to_string(pairs), MoneyText128(SystemTotalProfit(check, config))});
}

}  // namespace

void RegisterSystemsCommands(CLI::App& app, Action& chosen) {
  auto* systems = app.add_subcommand("systems", "Числовые системы: хранилище, системная игра, проверка гарантии");
  systems->require_subcommand(1);

  auto* local = systems->add_subcommand("local", "Системы в каталоге Systems");
  local->callback([&chosen] { chosen = [](Context& c) { Local(c); }; });

  auto g = std::make_shared<GameArgs>();
  auto* game = systems->add_subcommand("game", "Системная игра по списку комбинаций");
  auto* all = game->add_flag("--all", g->all, "По всем комбинациям системы");
  auto* listOnly = game->add_flag("--list", g->listOnly, "Только по комбинациям, которые есть в списке");
  all->excludes(listOnly);
  game->add_option("--draw", g->draw, "Номер первого тиража (по умолчанию следующий за смещением)")
      ->check(CLI::Range(1, 2147483647));
  game->add_option("--draws", g->draws, "Количество тиражей")->check(CLI::Range(1, 65535));
  game->add_option("--comment", g->comment, "Комментарий к ставкам");
  auto options = std::make_shared<CombListOptions>(game);
  game->callback([&chosen, g, all, listOnly, options] {
    if (all->count() + listOnly->count() != 1) throw CLI::ValidationError("--all", "ожидается --all или --list");
    g->list = options->Collect();
    chosen = [g](Context& c) { Game(c, *g); };
  });

  auto im = std::make_shared<ImportArgs>();
  auto* import = systems->add_subcommand("import", "Поместить файл системы в каталог Systems");
  import->add_option("FILE", im->file, "Текстовый файл: по пять позиций в строке")->required();
  import->add_option("--numbers", im->numbers, "Количество чисел системы")
      ->required()
      ->check(CLI::Range(kSystemMinNumbers, kSystemMaxNumbers));
  import->add_option("--block", im->block, "Длина блока")->check(CLI::Range(0, kSystemMaxBlock));
  import->add_option("--id", im->id, "Номер системы в каталоге")->check(CLI::Range(0, 2147483647));
  import->callback([&chosen, im] { chosen = [im](Context& c) { Import(c, *im); }; });

  auto ch = std::make_shared<CheckArgs>();
  auto* check = systems->add_subcommand("check", "Гарантия системы и ее результат по всем возможным тиражам");
  check->add_option("SYSTEM", ch->system, "Файл системы или номер системы в каталоге Systems")->required();
  check->add_option("--numbers", ch->numbers,
                    "Количество чисел (по умолчанию из имени файла, иначе наибольшая позиция)")
      ->check(CLI::Range(kDrawSize, kNumbers));
  check->callback([&chosen, ch] { chosen = [ch](Context& c) { Check(c, *ch); }; });
}

}  // namespace px::cli
