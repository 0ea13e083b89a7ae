// The named commands of the main window and its main menu, as plain data.
// The window creates one action per row of ActionTable() and builds its menu
// bar from MainMenu(); whether a command is enabled, and what it does, lives
// with the command itself, not here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace px {

struct ActionInfo {
  const char* name;              // "DrawsAdd"
  const char* caption;           // UTF-8, shown in menus and buttons
  const char* hint = "";         // "" when the command has no hint of its own
  const char* shortcut = "";     // "Ctrl+Alt+F4"; "" when none
  const char* subsystem = "";    // frame, draws, combs, stats, stakes, ratings,
                                 // tables, systems, script, online or views
  bool checkable = false;        // shows its flag as a check mark
  bool radio = false;            // one of a group in one submenu, exactly one checked
  bool invented = false;         // no fixed wording exists: caption and hint are ours
  // The page or feature still to come that binds the command ("card",
  // "tables", "systems", ...); null once something binds it.
  const char* later = nullptr;
};

// Every command: those of the main menu in menu order, then the page commands.
const std::vector<ActionInfo>& ActionTable();
// nullptr when no command has that name.
const ActionInfo* FindAction(std::string_view name);

struct MenuNode {
  // Languages marks where the run-time radio items of the interface
  // languages go; it sits alone inside the submenu "Язык интерфейса".
  enum Kind { Action, Separator, Submenu, Languages } kind;
  const char* text;                       // action name for Action, title for Submenu
  const char* captionOverride = nullptr;  // the item shows this instead of the action's caption
  std::vector<MenuNode> children;
  const char* hintOverride = nullptr;     // goes with captionOverride where the hint differs too
};

// The menu bar: top-level Submenu nodes in order.
const std::vector<MenuNode>& MainMenu();

// Keys held by more than one action, in the order of their first holder.
// Which action gets such a key is the window's decision.
std::vector<std::string> ShortcutConflicts();

}  // namespace px
