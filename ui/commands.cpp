#include "ui/commands.h"

#include <QAction>
#include <stdexcept>

#include "frame/frame.h"

namespace px::ui {

CommandBinder::CommandBinder(TTemplateMain& frame, std::function<void()> afterCommand)
    : frame_(frame), after_(std::move(afterCommand)) {}

void CommandBinder::AddAction(const std::string& name, QAction* action) { actions_[name] = action; }

QAction* CommandBinder::Action(const std::string& name) const {
  auto it = actions_.find(name);
  if (it == actions_.end()) throw std::logic_error("no command \"" + name + "\" in the command table");
  return it->second;
}

void CommandBinder::Bind(const std::string& name, std::function<void()> run, std::function<bool()> enabled,
                         bool idleOnly) {
  QAction* a = Action(name);
  if (IsBound(name)) throw std::logic_error("command \"" + name + "\" bound twice");
  enabled_[name] = [this, enabled = std::move(enabled), idleOnly] {
    return (!idleOnly || frame_.IsIdle()) && (!enabled || enabled());
  };
  QObject::connect(a, &QAction::triggered, a, [this, run = std::move(run)] {
    frame_.Guard(run);
    if (after_) after_();
  });
}

void CommandBinder::Toggle(const std::string& name, bool MainSettings::*flag, const char* key,
                           std::function<void()> after) {
  Bind(name, [this, flag, key, after = std::move(after)] {
    frame_.Toggle(flag, key);
    if (after) after();
  });
}

void CommandBinder::UpdateEnabled() {
  for (auto& [name, a] : actions_) {
    auto it = enabled_.find(name);
    a->setEnabled(it != enabled_.end() && it->second());
  }
}

}  // namespace px::ui
