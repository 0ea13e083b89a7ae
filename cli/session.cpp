#include "cli/session.h"

#include "cli/cli_host.h"
#include "core/config.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"

namespace px::cli {

ToolFrame::ToolFrame(Context& ctx, Host* host)
    : TFormMain(host ? *host : ctx.host, ctx.env, ctx.dataDir, JoinPath(ctx.dataDir, kDataBaseName), {}) {}

Session::Session(Context& ctx, Host* host)
    : frame(ctx, host),
      archive(frame.Archive()),
      registry(frame.Registry()),
      set(frame.Combs()) {
  frame.LoadConfiguration(TTemplateMain::Failure::Throw);
  frame.LoadArchive(TTemplateMain::Failure::Throw);
  frame.LoadRegistry(TTemplateMain::Failure::Throw);
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
