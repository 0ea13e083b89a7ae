#include "ui/program_commands.h"

#include <QActionGroup>
#include <QMenuBar>
#include <QTabWidget>
#include <functional>
#include <set>

#include "frame/actions.h"

#include "frame/frame.h"
#include "ui/card_page.h"
#include "ui/combs_page.h"
#include "ui/desktop.h"
#include "ui/draws_page.h"
#include "ui/extended_stats.h"
#include "ui/graphs_page.h"
#include "ui/layout_page.h"
#include "ui/list_models.h"
#include "ui/main_window.h"
#include "ui/regulars_page.h"
#include "ui/settings_dialogs.h"
#include "ui/systems_page.h"
#include "ui/week_page.h"

namespace px::ui {

void ProgramCommands::BindCommands(CommandBinder& c) {
  MainWindow& w = window_;
  TFormMain& f = w.Frame();

  c.Bind("ExitProgram", [&w] { w.close(); });
  c.Bind("About", [&w, &f] {
    w.ShowInfo(f.Caption() + "\r\rАнализатор статистики лотереи: архив тиражей, статистика, фильтры, сценарии, "
                             "ставки и рейтинги.");
  });
  c.Bind("GetHelp", [&w, &f] { w.GetDesktop().OpenFile(f.HelpFile()); }, [&f] { return !f.HelpFile().empty(); });
  c.Bind("EditConfig", [&w, &f] {
    SettingsDialog dialog(f.Config().data, [&w](const std::string& text) { w.ShowError(text); }, &w);
    if (!w.RunDialog(dialog)) return;
    f.ApplyConfig(dialog.Result());
    w.FillMethodLists(true);
  });
  c.Bind("EditShredding", [&w, &f] {
    ShreddingDialog dialog(f.Config().Formula, f.Config().FormulaDigits, &w);
    if (!w.RunDialog(dialog)) return;
    f.ApplyShredding(dialog.Formulas(), dialog.Digits());
    w.FillMethodLists(true);
  });
  BindExtendedStats(c, w);

  auto reloadLists = [&w] {
    w.Draws()->Model()->Reload();
    w.Combs()->Model()->Reload();
  };
  c.Toggle("ViewColorDraws", &MainSettings::ColorDraws, "ColorDraws", reloadLists);
  c.Toggle("ViewColorCombs", &MainSettings::ColorCombs, "ColorCombs", reloadLists);
  // ViewColorCard and ViewColorCardSequences belong to the card page.
  c.Bind("ViewShemaGradient", [&w, &f] {
    f.Toggle(&MainSettings::LayoutGradient, "LayoutGradient");
    w.Layout()->Repaint();
  }, [&f] { return f.Settings().TabLayout; });
  c.Toggle("AutoSelfUpdate", &MainSettings::AutoUpdates, "AutoUpdates");
  c.Toggle("TabGraps", &MainSettings::TabGraphs, "TabGraphs", [&w, &f] {
    w.UpdateActions();
    if (f.Settings().TabGraphs) {
      w.MainPages()->setCurrentWidget(w.Graphs());
      w.Graphs()->DrawGraphs(true);
    }
  });
  c.Toggle("TabCard", &MainSettings::TabCard, "TabCard", [&w, &f] {
    w.UpdateActions();
    if (f.Settings().TabCard) {
      w.MainPages()->setCurrentWidget(w.Card());
      w.Card()->BuildCard(true);
    }
  });
  c.Toggle("TabLayout", &MainSettings::TabLayout, "TabLayout", [&w, &f] {
    w.UpdateActions();
    if (f.Settings().TabLayout) {
      w.MainPages()->setCurrentWidget(w.Layout());
      w.Layout()->BuildLayout(true);
      w.Layout()->BuildLayoutCompare(true);
    }
  });
  c.Toggle("TabWeek", &MainSettings::TabWeek, "TabWeek", [&w, &f] {
    w.UpdateActions();
    if (f.Settings().TabWeek) {
      w.Week()->SetUpGrid();
      w.MainPages()->setCurrentWidget(w.Week());
      w.Week()->BuildWeek(true);
    }
  });
  c.Toggle("TabTables", &MainSettings::TabTables, "TabTables", [&w, &f] {
    // Shown: the rules are read again and the tab comes to the front;
    // hidden: they leave memory, the file stays.
    w.UpdateActions();
    w.Regulars()->FollowTab();
    if (f.Settings().TabTables) w.MainPages()->setCurrentWidget(w.Regulars());
  });
  c.Toggle("SystemsOn", &MainSettings::SystemsEnabled, "SystemsEnabled", [&w, &f] {
    // The system game follows the tab; shown, the list is read and the tab
    // comes to the front; hidden, its rows go.
    TTemplateMain::Busy busy(f);
    StatusScope status(w.GetHost(), "Подождите пожалуйста...");
    w.UpdateActions();
    w.SystemsTab()->FollowTab();
    if (w.SystemsTab()->Shown()) w.MainPages()->setCurrentWidget(w.SystemsTab());
  });

  GroupRadioCommands(c);
  SetMenuAccelerators(*w.menuBar());
}

void GroupRadioCommands(const CommandBinder& commands) {
  // The radio commands of one submenu are one group: exactly one is checked,
  // and choosing the checked one again leaves it so.
  std::function<void(const std::vector<MenuNode>&)> walk = [&](const std::vector<MenuNode>& nodes) {
    QActionGroup* group = nullptr;
    for (const MenuNode& n : nodes) {
      if (n.kind == MenuNode::Submenu) walk(n.children);
      if (n.kind != MenuNode::Action) continue;
      const ActionInfo* info = FindAction(n.text);
      if (!info || !info->radio) continue;
      QAction* action = commands.Action(n.text);
      if (!group) {
        group = new QActionGroup(action->parent());
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
      }
      group->addAction(action);
    }
  };
  for (const MenuNode& top : MainMenu()) walk(top.children);
}

void SetMenuAccelerators(QMenuBar& bar) {
  // Alt and the first letter of the title that no title before it has taken.
  std::set<QChar> taken;
  for (QAction* menu : bar.actions()) {
    QString title = menu->text();
    if (title.contains('&')) {
      const int at = title.indexOf('&');
      if (at + 1 < title.size()) taken.insert(title[at + 1].toLower());
      continue;
    }
    for (int i = 0; i < title.size(); ++i) {
      const QChar letter = title[i].toLower();
      if (!letter.isLetter() || taken.count(letter)) continue;
      taken.insert(letter);
      title.insert(i, '&');
      menu->setText(title);
      break;
    }
  }
}

}  // namespace px::ui
