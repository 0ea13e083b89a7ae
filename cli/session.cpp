#include "cli/session.h"

#include "cli/cli_host.h"
#include "core/config.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"

namespace px::cli {

Session::Session(Context& ctx) : set(&ctx.host) {
  {
    StatusScope status(ctx.host, "Загрузка файла конфигурации...");
    LoadGameConfig(ctx.env, ConfigPath(ctx.dataDir), registry.Config());
  }
  {
    StatusScope status(ctx.host, "Загрузка файла тиражей...");
    archive.Load(ctx.env, ArchivePath(ctx.dataDir));
  }
  registry.SetDraws(&archive);
  registry.Fill();
  const std::string names = NamesFilePath(ctx.dataDir, kDataBaseName);
  if (!registry.LoadNames(ctx.env, names, true, &ctx.host)) throw Error("Ошибка загрузки списка фильтров!");
}

int Session::MethodOf(const std::string& code) const {
  int i = registry.FindByCode(code);
  if (i < 0) throw Error(Fmt("Метод расчета статистики \"%s\" не найден!", code.c_str()));
  return i;
}

void Session::CheckOffset(int offset) const {
  const int max = std::max(archive.Count() - 1, 0);
  if (offset < 0 || offset > max)
    throw Error(Fmt("Некорректное смещение: %d! Допустимые значения: от 0 до %d.", offset, max));
}

}  // namespace px::cli
