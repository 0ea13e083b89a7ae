#include "ui/context_menu.h"

#include <QAbstractItemView>
#include <QAction>
#include <QMenu>
#include <functional>

#include "frame/actions.h"
#include "ui/commands.h"
#include "ui/desktop.h"
#include "ui/page_context.h"

namespace px::ui {

namespace {

constexpr const char* kName = "pxContextMenu";

// What a view's menu holds, kept with the view.
class MenuPlan final : public QObject {
 public:
  MenuPlan(QAbstractItemView& view, const CommandBinder& commands, std::vector<std::string> first, const char* title)
      : QObject(&view), commands_(commands), first_(std::move(first)), title_(title ? title : "") {
    setObjectName(kName);
  }

  std::unique_ptr<QMenu> Build() const {
    auto menu = std::make_unique<QMenu>();
    for (const std::string& name : first_) Add(*menu, name);
    if (!title_.empty())
      for (const MenuNode& top : MainMenu())
        if (title_ == top.text) {
          if (!menu->isEmpty()) menu->addSeparator();
          Fill(*menu, top.children);
        }
    return menu;
  }

 private:
  void Add(QMenu& menu, std::string name) const {
    if (name == "-") {
      menu.addSeparator();
      return;
    }
    const bool isDefault = !name.empty() && name.front() == '*';
    if (isDefault) name.erase(0, 1);
    // A command whose page is still to come has nothing to run.
    if (!commands_.IsBound(name)) return;
    QAction* action = commands_.Action(name);
    if (!action->isVisible()) return;
    menu.addAction(action);
    if (isDefault) menu.setDefaultAction(action);
  }

  void Fill(QMenu& menu, const std::vector<MenuNode>& nodes) const {
    for (const MenuNode& n : nodes) {
      switch (n.kind) {
        case MenuNode::Separator:
          menu.addSeparator();
          break;
        case MenuNode::Action:
          Add(menu, n.text);
          break;
        case MenuNode::Submenu: {
          auto* sub = new QMenu(QString::fromUtf8(n.text), &menu);
          Fill(*sub, n.children);
          if (sub->isEmpty())
            delete sub;
          else
            menu.addMenu(sub);
          break;
        }
        case MenuNode::Languages:
          break;
      }
    }
  }

  const CommandBinder& commands_;
  std::vector<std::string> first_;
  std::string title_;
};

}  // namespace

void SetContextMenu(QAbstractItemView& view, PageContext& context, const CommandBinder& commands,
                    std::vector<std::string> first, const char* menuTitle) {
  auto* plan = new MenuPlan(view, commands, std::move(first), menuTitle);
  view.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&view, &QWidget::customContextMenuRequested, plan, [&view, &context, plan](const QPoint& at) {
    // The states follow the selection the right button has just made.
    context.UpdateActions();
    std::unique_ptr<QMenu> menu = plan->Build();
    if (!menu->isEmpty()) context.GetDesktop().PopupMenu(*menu, view.viewport()->mapToGlobal(at));
  });
}

std::unique_ptr<QMenu> BuildContextMenu(const QAbstractItemView& view) {
  // Only a MenuPlan has that name.
  const auto* plan = static_cast<const MenuPlan*>(view.findChild<QObject*>(kName, Qt::FindDirectChildrenOnly));
  return plan ? plan->Build() : nullptr;
}

}  // namespace px::ui
