// The commands of the window as its pages bind them. Every command of the
// command table gets one action; each page binds the commands it owns (what
// they do, when they are enabled), and the window only assembles the pages,
// the menus and the status bar.
//
// A name the table lacks throws std::logic_error at once, so a misspelt
// binding fails the first test that builds a window instead of leaving a grey
// menu item behind.
#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/form_settings.h"

class QAction;

namespace px {
class TTemplateMain;
}

namespace px::ui {

class CommandBinder {
 public:
  // afterCommand runs after every command (the window updates its actions).
  CommandBinder(TTemplateMain& frame, std::function<void()> afterCommand);

  void AddAction(const std::string& name, QAction* action);
  // The action of a command of the table; throws for any other name.
  QAction* Action(const std::string& name) const;
  const std::map<std::string, QAction*>& Actions() const { return actions_; }

  // A command is enabled only while the frame is idle, unless idleOnly is
  // false (a command that acts on the busy state itself), and then only
  // when `enabled` says so. A command runs inside the frame's Guard: an
  // error is shown, never thrown out of the event loop.
  void Bind(const std::string& name, std::function<void()> run, std::function<bool()> enabled = nullptr,
            bool idleOnly = true);
  // A view switch: flips the setting and writes its key at once, then `after`.
  void Toggle(const std::string& name, bool MainSettings::*flag, const char* key,
              std::function<void()> after = nullptr);

  bool IsBound(const std::string& name) const { return enabled_.count(name) != 0; }
  // Sets every action's enabled state from its test.
  void UpdateEnabled();

 private:
  TTemplateMain& frame_;
  std::function<void()> after_;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, std::function<bool()>> enabled_;
};

// A part of the window that owns commands of the table.
class CommandOwner {
 public:
  virtual ~CommandOwner() = default;
  virtual void BindCommands(CommandBinder& commands) = 0;
};

}  // namespace px::ui
