#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "core/archive.h"
#include "core/config.h"
#include "core/download.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "cli/session.h"
#include "frame/messages.h"
#include "stakes/ratings.h"
#include "stakes/stake_store.h"

namespace px::cli {

namespace {

struct StakesSession {
  ErrorKeepingHost host;
  StakeStore store;

  explicit StakesSession(Context& ctx) : host(ctx.host), store(ctx.env, host, ctx.dataDir) {
    OpenStakesFile(ctx, host, store);
  }
};

// Checked stakes feed the ratings, which are saved whenever anything was checked.
int CheckWithRatings(Context& ctx, StakesSession& s, const DrawArchive& archive, const GameConfig& config) {
  Ratings ratings(ctx.env, s.host, ctx.dataDir);
  ratings.Load();
  ratings.Recover(s.store);
  return ratings.CheckStakes(s.store, archive, config.data);
}

// What checking needs: the archive and the prize table.
struct CheckData {
  ToolFrame frame;
  DrawArchive& archive;
  GameConfig& config;

  explicit CheckData(Context& ctx) : frame(ctx), archive(frame.Archive()), config(frame.Config()) {
    frame.LoadConfiguration(TTemplateMain::Failure::Throw);
    frame.LoadArchive(TTemplateMain::Failure::Throw);
  }
};

void List(Context& ctx) {
  StakesSession s(ctx);
  PrintRow(ctx.out, StakeGridTitles());
  const int64_t count = s.store.RecordCount();
  for (int64_t i = 0; i < count && s.host.error.empty(); ++i) PrintRow(ctx.out, StakeRow(s.store.ReadRecord(i)));
  s.host.Finish();
}

struct AddArgs {
  std::string numbers;
  std::optional<int32_t> draw;
  int draws = 1;
  std::string comment = "Ставка \"вручную\"";
};

void Add(Context& ctx, const AddArgs& a) {
  const NumberSet numbers = ParseStakeNumbers(a.numbers);
  if (Trim(a.comment).empty()) throw Error("Необходимо ввести комментарий!");
  CheckData data(ctx);
  StakesSession s(ctx);
  const int32_t draw = a.draw.value_or(data.archive.NextDrawNumber(0));
  if (draw < 1) throw Error(Fmt("Некорректный номер тиража: %d! Номер тиража должен быть не меньше 1.", draw));
  if (int64_t(draw) + a.draws - 1 > kMaxDrawNumber)
    throw Error(Fmt("Некорректный номер тиража: %lld! Номер тиража должен быть не больше %d.",
                    static_cast<long long>(int64_t(draw) + a.draws - 1), kMaxDrawNumber));
  const StakeRecord r = MakeStake(StakeKind::Manual, draw, numbers, 0, a.comment, data.config.data);
  const int64_t before = s.store.RecordCount();
  {
    StatusScope status(s.host, "Создание ставки...");
    if (!s.store.Append(r, a.draws)) s.host.Finish();
  }
  // The stake is made: what fails after it is told, but a retry would stake
  // twice, so the command succeeds.
  const int checked = CheckWithRatings(ctx, s, data.archive, data.config);
  ctx.out << "Добавлено записей: " << (s.store.RecordCount() - before) << '\n';
  ctx.out << "Проверено ставок: " << checked << '\n';
  ctx.out.flush();
  s.host.Report();
}

void Check(Context& ctx) {
  CheckData data(ctx);
  StakesSession s(ctx);
  const int checked = CheckWithRatings(ctx, s, data.archive, data.config);
  s.host.Finish();
  ctx.out << "Проверено ставок: " << checked << '\n';
}

struct DeleteArgs {
  std::string rows;
  std::string where;
};

// "A-B" or "MODE:VALUE" as two whole numbers.
std::optional<std::pair<int32_t, int32_t>> Pair(const std::string& text, char separator) {
  const auto at = text.find(separator);
  if (at == std::string::npos) return std::nullopt;
  auto a = ParseInt32(text.substr(0, at)), b = ParseInt32(text.substr(at + 1));
  if (!a || !b) return std::nullopt;
  return std::make_pair(*a, *b);
}

void Delete(Context& ctx, const DeleteArgs& a) {
  StakesSession s(ctx);
  const int64_t before = s.store.RecordCount();
  bool ok;
  {
    StatusScope status(s.host, "Удаление ставок...");
    if (!a.rows.empty()) {
      auto rows = Pair(a.rows, '-');
      ok = s.store.DeleteRows(rows->first, rows->second);
    } else {
      auto where = Pair(a.where, ':');
      ok = s.store.DeleteWhere(*MatchComparisonOf(where->first), where->second);
    }
  }
  s.host.Finish();
  if (ok) ctx.out << "Удалено записей: " << (before - s.store.RecordCount()) << '\n';
}

}  // namespace

namespace {

// The retry question of the download: --yes retries, a few times at most, so
// an unreachable site cannot keep the command running for ever.
class RetryAnswers final : public Host {
 public:
  RetryAnswers(Host& inner, bool yes) : inner_(inner), yes_(yes) {}
  void SetStatusText(const std::string& text) override { inner_.SetStatusText(text); }
  void ShowError(const std::string& text) override { inner_.ShowError(text); }
  void ShowInfo(const std::string& text) override { inner_.ShowInfo(text); }
  void ShowWarning(const std::string& text) override { inner_.ShowWarning(text); }
  bool AskYesNo(const std::string& text) override {
    inner_.ShowWarning(text);
    return yes_ && retries_++ < 3;
  }

 private:
  Host& inner_;
  bool yes_;
  int retries_ = 0;
};

void Download(Context& ctx, bool yes) {
  StakesSession s(ctx);
  CheckData d(ctx);
  RetryAnswers host(s.host, yes);
  int checked = 0;
  const int added = DownloadDraws(d.archive, ConfigPath(ctx.dataDir), d.frame.Proxy(), host, ctx.env, ctx.dataDir, [&] {
    checked = CheckWithRatings(ctx, s, d.archive, d.config);
    return checked;
  });
  ctx.out << "Добавлено тиражей: " << added << '\n' << "Проверено ставок: " << checked << '\n';
  s.host.Finish();
}

}  // namespace

void RegisterDownloadCommand(CLI::App& app, Action& chosen) {
  auto yes = std::make_shared<bool>(false);
  auto* download = app.add_subcommand("download", "Загрузить новые тиражи с сайта лотереи");
  download->add_flag("--yes", *yes, "Повторять попытку после ошибки");
  download->callback([&chosen, yes] { chosen = [yes](Context& c) { Download(c, *yes); }; });
}

void RegisterStakesCommands(CLI::App& app, Action& chosen) {
  auto* stakes = app.add_subcommand("stakes", "Ставки");
  stakes->require_subcommand(1);

  auto* list = stakes->add_subcommand("list", "Список ставок в порядке файла");
  list->callback([&chosen] { chosen = [](Context& c) { List(c); }; });

  auto a = std::make_shared<AddArgs>();
  auto* add = stakes->add_subcommand("add", "Сделать ставку");
  add->add_option("NUMBERS", a->numbers, "От 5 до 12 чисел через точку с запятой или запятую")->required();
  add->add_option("--draw", a->draw, "Номер первого тиража (по умолчанию следующий)")
      ->check(CLI::Range(1, 2147483647));
  add->add_option("--draws", a->draws, "Количество тиражей")->check(CLI::Range(1, 65535));
  add->add_option("--comment", a->comment, "Комментарий к ставке");
  add->callback([&chosen, a] { chosen = [a](Context& c) { Add(c, *a); }; });

  auto* check = stakes->add_subcommand("check", "Проверить ставки");
  check->callback([&chosen] { chosen = [](Context& c) { Check(c); }; });

  auto d = std::make_shared<DeleteArgs>();
  auto* del = stakes->add_subcommand("delete", "Удалить ставки");
  auto* rows = del->add_option("--rows", d->rows, "Строки A-B (с 1, включительно)")
                   ->check([](const std::string& text) -> std::string {
                     auto p = Pair(text, '-');
                     if (!p || p->first < 1 || p->second < p->first) return "ожидается A-B, 1 <= A <= B";
                     return "";
                   });
  auto* where = del->add_option("--where", d->where, "Условие РЕЖИМ:ЗНАЧЕНИЕ (режим 0..4, совпадений 0..5)")
                    ->check([](const std::string& text) -> std::string {
                      auto p = Pair(text, ':');
                      if (!p || !MatchComparisonOf(p->first) || p->second < 0 || p->second > 5)
                        return "ожидается РЕЖИМ:ЗНАЧЕНИЕ, режим 0..4, значение 0..5";
                      return "";
                    });
  rows->excludes(where);
  del->require_option(1);
  del->callback([&chosen, d] { chosen = [d](Context& c) { Delete(c, *d); }; });
}

}  // namespace px::cli
