// pentalux systems list | refresh | download | show | publish | change | delete |
// identity | build:
// the systems catalogue without its window, by the same engine operations.
#include <CLI/CLI.hpp>

#include "catalogue/catalogue_list.h"
#include "catalogue/client.h"
#include "catalogue/system_form.h"
#include "cli/cli_host.h"
#include "cli/commands.h"
#include "core/arith.h"
#include "core/config.h"
#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/form_settings.h"
#include "core/text.h"
#include "stakes/system_build.h"
#include "stakes/system_check.h"
#include "stakes/systems.h"

namespace px::cli {
namespace {

std::string IdentityPath(Context& ctx) { return FormSettingsPath(ctx.dataDir, kDataBaseName); }

// The catalogue, the local store and the rows over one data folder.
struct CatalogueSession {
  explicit CatalogueSession(Context& ctx)
      : store(ctx.env, ctx.host, ctx.dataDir),
        catalogue(Open(ctx)),
        list(*catalogue, store, ctx.env, ctx.host, LoadOnlineIdentity(ctx.env, IdentityPath(ctx))) {}

  static std::unique_ptr<SystemCatalogue> Open(Context& ctx) {
    ProxySettings proxy;
    LoadProxySettings(ctx.env, ConfigPath(ctx.dataDir), proxy);
    return OpenSystemCatalogue(ctx.env, ctx.dataDir, proxy);
  }

  void Refresh() {
    if (!list.Refresh()) throw CommandExit(1, "");
  }

  SystemStore store;
  std::unique_ptr<SystemCatalogue> catalogue;
  CatalogueList list;
};

// The rows of the list, or only the one with the id.
void PrintList(Context& ctx, const CatalogueList& list, int32_t only = 0) {
  std::vector<std::string> titles = {"ID"};
  for (const auto& t : CatalogueColumnTitles()) titles.push_back(t);
  titles.push_back("Своя");
  PrintRow(ctx.out, titles);
  for (const CatalogueRow& row : list.Rows()) {
    if (only != 0 && row.info.id != only) continue;
    std::vector<std::string> cells = {std::to_string(row.info.id)};
    for (std::string& cell : CatalogueRowTexts(row)) {
      // One row a line: the description's line ends become blanks.
      for (char& c : cell)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
      cells.push_back(std::move(cell));
    }
    cells.push_back(list.Owner(row) == SystemOwner::Own ? "да" : "");
    PrintRow(ctx.out, cells);
  }
}

void List(Context& ctx, bool refresh) {
  CatalogueSession s(ctx);
  // A plain list looks only: outdated files are renewed by refresh.
  if (!s.list.Refresh(refresh)) throw CommandExit(1, "");
  PrintList(ctx, s.list);
}

void Download(Context& ctx, const std::vector<int>& ids) {
  CatalogueSession s(ctx);
  s.Refresh();
  std::vector<int32_t> wanted(ids.begin(), ids.end());
  for (int32_t id : wanted)
    if (id <= 0 || s.list.IndexOf(id) < 0) throw CommandExit(1, Fmt("Система #%d не найдена в каталоге", id));
  const std::vector<int32_t> written = s.list.Download(wanted);
  PrintRow(ctx.out, {"ID", "Файл"});
  for (int32_t id : written)
    PrintRow(ctx.out, {std::to_string(id), SystemFileName(s.list.Rows()[size_t(s.list.IndexOf(id))].info)});
  for (int32_t id : wanted)
    if (std::find(written.begin(), written.end(), id) == written.end()) throw CommandExit(1, "");
}

struct PublishArgs {
  std::string file, title, descr, url;
  int numbers = 0, block = 0;
};

tSystemData PublishData(Context& ctx, const OnlineIdentity& user, const PublishArgs& a, const std::string& text) {
  tSystemData d;
  d.numberCount = uint8_t(a.numbers);
  d.blockLength = uint8_t(a.block);
  d.title = Trim(a.title);
  d.author = user.name;
  d.ownerMail = user.mail;
  d.url = Trim(a.url);
  const auto lines = ParseSystemText(text, a.numbers, a.file.empty() ? d.title : a.file);
  d.combinations = SystemText(lines);
  d.combinationCount = int32_t(lines.size());
  d.description = a.descr.empty() ? "Гарантии (угадано среди чисел:совпадений): " + GuaranteeSummary(CheckSystem(lines, a.numbers))
                                  : a.descr;
  d.created = std::chrono::duration_cast<std::chrono::seconds>(ctx.env.Now().time_since_epoch()).count();
  if (d.title.empty()) throw CommandExit(2, "Название системы должно быть указано обязательно!");
  if (Trim(d.author).empty())
    throw CommandExit(1, "Имя автора должно быть указано обязательно! (pentalux systems identity --name ИМЯ --mail АДРЕС)");
  return d;
}

void Publish(Context& ctx, const tSystemData& data) {
  CatalogueSession s(ctx);
  s.Refresh();
  auto id = s.list.Add(data);
  if (!id) throw CommandExit(1, "");
  PrintRow(ctx.out, {"ID", "Название", "Комбинаций"});
  PrintRow(ctx.out, {std::to_string(*id), data.title, std::to_string(data.combinationCount)});
}

const CatalogueRow& RowOf(CatalogueSession& s, int id) {
  if (id <= 0 || s.list.IndexOf(id) < 0) throw CommandExit(1, Fmt("Система #%d не найдена в каталоге", id));
  return s.list.Rows()[size_t(s.list.IndexOf(id))];
}

// The text of a system; a failed request has shown its box.
std::string TextOf(CatalogueSession& s, const tSystemInfo& info) {
  std::string text = s.list.FetchText(info);
  if (text.empty()) throw CommandExit(1, "");
  return text;
}

// "Свойства": the row, an empty line, then the system's lines.
void Show(Context& ctx, int id) {
  CatalogueSession s(ctx);
  s.Refresh();
  const tSystemInfo info = RowOf(s, id).info;
  const std::string text = TextOf(s, info);
  PrintList(ctx, s.list, info.id);
  ctx.out << '\n';
  PrintRow(ctx.out, {"Комбинация"});
  for (const std::string& line : SplitSystemLines(text)) PrintRow(ctx.out, {line});
}

struct ChangeArgs {
  int id = 0;
  std::optional<std::string> title, descr, url, file;
  std::optional<int> block, numbers;
};

// What the dialog does for an own system: the fields given replace the
// system's, a new text goes through the dialog's check, and OK's checks hold.
void Change(Context& ctx, const ChangeArgs& a) {
  CatalogueSession s(ctx);
  s.Refresh();
  const CatalogueRow& row = RowOf(s, a.id);
  if (s.list.Owner(row) != SystemOwner::Own) throw CommandExit(1, "Вы можете изменять только свои системы!");
  tSystemData d;
  static_cast<tSystemInfo&>(d) = row.info;
  d.combinations = TextOf(s, row.info);
  if (a.title) d.title = *a.title;
  if (a.descr) d.description = *a.descr;
  if (a.url) d.url = *a.url;
  if (a.block) d.blockLength = uint8_t(*a.block);
  int numbers = d.numberCount;
  if (a.file) {
    SystemTextCheck check;
    try {
      check = CheckSystemCombinations(Cp1251ToUtf8(ctx.env.ReadFile(*a.file)));
    } catch (const Error& e) {
      throw CommandExit(2, e.what());
    }
    d.combinations = check.text;
    numbers = check.numbers;
  }
  if (a.numbers) numbers = *a.numbers;
  const SystemFormTexts form{d.title, std::to_string(numbers), std::to_string(d.blockLength), d.author,
                             d.description, d.combinations};
  if (std::optional<SystemFormFault> fault = ValidateSystemForm(form)) throw CommandExit(2, fault->message);
  d.numberCount = uint8_t(numbers);
  if (!s.list.Change(d)) throw CommandExit(1, "");
  PrintList(ctx, s.list, d.id);
}

void Delete(Context& ctx, int id) {
  CatalogueSession s(ctx);
  s.Refresh();
  if (s.list.IndexOf(id) < 0 || id <= 0) throw CommandExit(1, Fmt("Система #%d не найдена в каталоге", id));
  if (!s.list.Delete(id, false)) throw CommandExit(1, "");
  PrintRow(ctx.out, {"ID", "Удалена"});
  PrintRow(ctx.out, {std::to_string(id), "да"});
}

}  // namespace

void RegisterCatalogueCommands(CLI::App& app, Action& chosen) {
  CLI::App* systems = nullptr;
  try {
    systems = app.get_subcommand("systems");
  } catch (const CLI::OptionNotFound&) {
    systems = app.add_subcommand("systems", "Системы: локальные файлы и каталог");
    systems->require_subcommand(1);
  }

  systems->add_subcommand("list", "Список систем каталога")->callback([&chosen] {
    chosen = [](Context& c) { List(c, false); };
  });
  systems->add_subcommand("refresh", "Обновить список и перезагрузить устаревшие файлы")->callback([&chosen] {
    chosen = [](Context& c) { List(c, true); };
  });

  auto ids = std::make_shared<std::vector<int>>();
  auto* download = systems->add_subcommand("download", "Загрузить системы каталога на компьютер");
  download->add_option("ID", *ids, "Номера систем")->required()->check(CLI::Range(1, INT32_MAX));
  download->callback([&chosen, ids] { chosen = [ids](Context& c) { Download(c, *ids); }; });

  auto p = std::make_shared<PublishArgs>();
  auto* publish = systems->add_subcommand("publish", "Добавить свою систему в каталог");
  publish->add_option("FILE", p->file, "Текстовый файл комбинаций")->required();
  publish->add_option("--numbers", p->numbers, "Количество чисел")->required()->check(CLI::Range(kSystemMinNumbers, kSystemMaxNumbers));
  publish->add_option("--title", p->title, "Название")->required();
  publish->add_option("--descr", p->descr, "Описание (по умолчанию гарантии системы)");
  publish->add_option("--url", p->url, "Ссылка");
  publish->add_option("--block", p->block, "Длина блока")->check(CLI::Range(0, kSystemMaxBlock));
  publish->callback([&chosen, p] {
    chosen = [p](Context& c) {
      const OnlineIdentity user = LoadOnlineIdentity(c.env, IdentityPath(c));
      Publish(c, PublishData(c, user, *p, Cp1251ToUtf8(c.env.ReadFile(p->file))));
    };
  });

  auto showId = std::make_shared<int>(0);
  auto* show = systems->add_subcommand("show", "Свойства системы каталога и её комбинации");
  show->add_option("ID", *showId, "Номер системы")->required()->check(CLI::Range(1, INT32_MAX));
  show->callback([&chosen, showId] { chosen = [showId](Context& c) { Show(c, *showId); }; });

  auto ch = std::make_shared<ChangeArgs>();
  auto* change = systems->add_subcommand("change", "Изменить свою систему в каталоге");
  change->add_option("ID", ch->id, "Номер системы")->required()->check(CLI::Range(1, INT32_MAX));
  change->add_option("--title", ch->title, "Название");
  change->add_option("--descr", ch->descr, "Описание");
  change->add_option("--url", ch->url, "Ссылка");
  change->add_option("--block", ch->block, "Длина блока")->check(CLI::Range(0, kSystemMaxBlock));
  change->add_option("--file", ch->file, "Новый текстовый файл комбинаций (проверяется, как в окне системы)");
  change->add_option("--numbers", ch->numbers, "Количество чисел (по умолчанию по комбинациям)")
      ->check(CLI::Range(kSystemMinNumbers, kSystemMaxNumbers));
  change->callback([&chosen, ch] { chosen = [ch](Context& c) { Change(c, *ch); }; });

  auto delId = std::make_shared<int>(0);
  auto* del = systems->add_subcommand("delete", "Удалить свою систему из каталога");
  del->add_option("ID", *delId, "Номер системы")->required()->check(CLI::Range(1, INT32_MAX));
  del->callback([&chosen, delId] { chosen = [delId](Context& c) { Delete(c, *delId); }; });

  auto who = std::make_shared<OnlineIdentity>();
  auto whoSet = std::make_shared<bool>(false);
  auto* identity = systems->add_subcommand("identity", "Имя и адрес пользователя в каталоге");
  identity->add_option("--name", who->name, "Имя")->each([whoSet](const std::string&) { *whoSet = true; });
  identity->add_option("--mail", who->mail, "Адрес электронной почты")->each([whoSet](const std::string&) { *whoSet = true; });
  identity->callback([&chosen, who, whoSet] {
    chosen = [who, whoSet](Context& c) {
      if (*whoSet) SaveOnlineIdentity(c.env, IdentityPath(c), {Trim(who->name), Trim(who->mail)});
      const OnlineIdentity now = LoadOnlineIdentity(c.env, IdentityPath(c));
      PrintRow(c.out, {"Имя", "Адрес"});
      PrintRow(c.out, {now.name, now.mail});
    };
  });

  auto b = std::make_shared<PublishArgs>();
  auto guarantee = std::make_shared<std::string>();
  auto publishIt = std::make_shared<bool>(false);
  auto* build = systems->add_subcommand("build", "Построить колесо с гарантией (комбинации в stdout)");
  build->add_option("--numbers", b->numbers, "Количество чисел")->required()->check(CLI::Range(kSystemMinNumbers, kWheelMaxNumbers));
  build->add_option("--guarantee", *guarantee, "T:M: T совпадений, если M выпавших чисел среди выбранных")->required();
  build->add_flag("--publish", *publishIt, "Добавить в каталог вместо вывода");
  build->add_option("--title", b->title, "Название при добавлении");
  build->add_option("--url", b->url, "Ссылка при добавлении");
  build->callback([&chosen, b, guarantee, publishIt] {
    chosen = [b, guarantee, publishIt](Context& c) {
      WheelGuarantee g;
      try {
        g = ParseWheelGuarantee(*guarantee);
      } catch (const Error& e) {
        throw CommandExit(2, e.what());
      }
      const Wheel wheel = BuildWheel(b->numbers, g);
      if (!*publishIt) {
        for (const std::string& line : SplitSystemLines(SystemText(wheel.lines))) c.out << line << '\n';
        return;
      }
      PublishArgs a = *b;
      if (Trim(a.title).empty()) a.title = Fmt("Колесо %d чисел, гарантия %d из %d", a.numbers, g.t, g.m);
      a.descr = WheelDescription(a.numbers, g, wheel);
      const OnlineIdentity user = LoadOnlineIdentity(c.env, IdentityPath(c));
      Publish(c, PublishData(c, user, a, SystemText(wheel.lines)));
    };
  });
}

}  // namespace px::cli
