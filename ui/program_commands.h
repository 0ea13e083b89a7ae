// The commands of the program as a whole: the file and help menus, the
// settings dialogs, the view switches and the tabs. The pages' own commands
// are theirs.
#pragma once

#include "ui/commands.h"

namespace px::ui {

class MainWindow;

class ProgramCommands final : public CommandOwner {
 public:
  explicit ProgramCommands(MainWindow& window) : window_(window) {}
  void BindCommands(CommandBinder& commands) override;

 private:
  MainWindow& window_;
};

}  // namespace px::ui
