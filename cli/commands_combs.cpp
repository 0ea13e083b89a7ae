#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/comb_list.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"

namespace px::cli {

namespace {

struct CombsArgs {
  CombListArgs list;
  std::string out;
  bool print = false;
};

void Combs(Context& ctx, const CombsArgs& a) {
  Session s(ctx);
  BuildCombList(ctx, s, a.list);
  PrintRow(ctx.out, {"Примененные фильтры", "Значения", "Комбинаций"});
  for (const LogRow& row : s.set.Log()) PrintRow(ctx.out, {row.caption, row.valuesText, std::to_string(row.count)});
  if (a.print)
    for (int i = 0; i < s.set.Count(); ++i) ctx.out << CombinationText(s.set.Working()[i]) << '\n';
  if (!a.out.empty() && !s.set.WriteFile(ctx.env, a.out)) throw Error(Fmt("Ошибка записи в файл \"%s\"!", a.out.c_str()));
}

}  // namespace

void RegisterCombsCommands(CLI::App& app, Action& chosen) {
  auto a = std::make_shared<CombsArgs>();
  auto* combs = app.add_subcommand("combs", "Список комбинаций: генерация и фильтры");
  auto options = std::make_shared<CombListOptions>(combs);
  combs->add_option("--out", a->out, "Сохранить итоговый список в файл .lcv");
  combs->add_flag("--list", a->print, "Вывести комбинации");
  // The lambda owns the storage the options write into.
  combs->callback([&chosen, a, options] {
    a->list = options->Collect();
    chosen = [a](Context& c) { Combs(c, *a); };
  });
}

}  // namespace px::cli
