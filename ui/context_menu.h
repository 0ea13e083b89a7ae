// The context menus of the lists: under the right mouse button a list
// offers its page's commands, as the menu bar's menu of that page holds
// them, so that every command is reached by mouse. Commands still to come
// are left out; the enabled states and check marks are the menu bar's.
#pragma once

#include <memory>
#include <string>
#include <vector>

class QAbstractItemView;
class QMenu;

namespace px::ui {

class CommandBinder;
class PageContext;

// The view's context menu: the commands named first ("-" for a separator),
// then those of the menu bar's menu titled menuTitle (none for null); a
// name marked "*" first is the menu's default item. The menu runs through
// the desktop.
void SetContextMenu(QAbstractItemView& view, PageContext& context, const CommandBinder& commands,
                    std::vector<std::string> first, const char* menuTitle);

// The menu the view shows now, or null when it has none; the caller owns it.
std::unique_ptr<QMenu> BuildContextMenu(const QAbstractItemView& view);

}  // namespace px::ui
