// The commands of the program as a whole: the file and help menus, the
// settings dialogs, the view switches and the tabs. The pages' own commands
// are theirs.
#pragma once

#include "ui/commands.h"

class QMenuBar;

namespace px::ui {

class MainWindow;

class ProgramCommands final : public CommandOwner {
 public:
  explicit ProgramCommands(MainWindow& window) : window_(window) {}
  // Binds the program's commands, groups the radio commands and gives the
  // menu titles their keys; the menu bar is built by then.
  void BindCommands(CommandBinder& commands) override;

 private:
  MainWindow& window_;
};

// The radio commands of each submenu of the menu bar ("Автозагрузка при
// запуске программы", "Эффективность (столбцы E0..n)") become one exclusive group.
void GroupRadioCommands(const CommandBinder& commands);
// Every title of the menu bar opens with Alt and a letter of its own: the
// first letter of the title that no title before it has taken.
void SetMenuAccelerators(QMenuBar& bar);

}  // namespace px::ui
