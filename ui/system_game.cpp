#include "ui/system_game.h"

#include "frame/frame.h"
#include "frame/system_game.h"
#include "ui/page_context.h"
#include "ui/stake_dialogs.h"
#include "ui/stakes_page.h"

namespace px::ui {

bool SystemGameCommands::CanPlay() {
  TFormMain& f = context_.Frame();
  return f.Systems() && f.Settings().SystemsEnabled && f.Combs().Count() > 0 && f.StakesOpen();
}

void SystemGameCommands::Play(bool all) {
  TFormMain& f = context_.Frame();
  if (!CanPlay()) return;
  const std::optional<SystemGameDraft> draft = PrepareSystemGame(f, all);
  if (!draft) return;
  MultiStakeDialog dialog(draft->drawNumber, 1, draft->comment,
                          [this](const std::string& text) { context_.GetHost().ShowError(text); }, &stakes_);
  if (!context_.RunDialog(dialog)) return;
  const bool scroll = f.Settings().StakesScrollEnabled;
  const SystemGameResult result = PlaySystemGame(f, *draft, dialog.DrawNumber(), dialog.DrawCount(), dialog.Comment(),
                                                 [&] { stakes_.RefreshView(false, scroll); });
  if (result.Refresh()) stakes_.RefreshView(true, true);
}

void SystemGameCommands::BindCommands(CommandBinder& c) {
  c.Bind("SystemStakeAll", [this] { Play(true); }, [this] { return CanPlay(); });
  c.Bind("SystemStakeFilter", [this] { Play(false); }, [this] { return CanPlay(); });
}

}  // namespace px::ui
