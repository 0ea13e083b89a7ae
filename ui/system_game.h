// The system game's commands, SystemStakeAll (every line of the system) and
// SystemStakeFilter (the lines the combination list holds): the engine's
// two halves around the multi-stake dialog, with the stakes page following
// the stakes as they are made. Both are shown and enabled while the tab
// "Системы" is on.
#pragma once

#include "ui/commands.h"

namespace px::ui {

class PageContext;
class StakesPage;

class SystemGameCommands final : public CommandOwner {
 public:
  SystemGameCommands(PageContext& context, StakesPage& stakes) : context_(context), stakes_(stakes) {}
  void BindCommands(CommandBinder& commands) override;
  // Enabled: the tab is on, the list has combinations, the stakes file is open.
  bool CanPlay();
  void Play(bool all);

 private:
  PageContext& context_;
  StakesPage& stakes_;
};

}  // namespace px::ui
