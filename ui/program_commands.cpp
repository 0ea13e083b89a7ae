#include "ui/program_commands.h"

#include <QTabWidget>

#include "frame/frame.h"
#include "ui/combs_page.h"
#include "ui/desktop.h"
#include "ui/draws_page.h"
#include "ui/graphs_page.h"
#include "ui/list_models.h"
#include "ui/main_window.h"
#include "ui/settings_dialogs.h"

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

  auto reloadLists = [&w] {
    w.Draws()->Model()->Reload();
    w.Combs()->Model()->Reload();
  };
  c.Toggle("ViewColorDraws", &MainSettings::ColorDraws, "ColorDraws", reloadLists);
  c.Toggle("ViewColorCombs", &MainSettings::ColorCombs, "ColorCombs", reloadLists);
  c.Toggle("ViewColorCard", &MainSettings::ColorCard, "ColorCard");
  c.Toggle("ViewColorCardSequences", &MainSettings::ColorCardSequences, "ColorCardSequences");
  c.Toggle("ViewShemaGradient", &MainSettings::LayoutGradient, "LayoutGradient");
  c.Toggle("AutoSelfUpdate", &MainSettings::AutoUpdates, "AutoUpdates");
  c.Toggle("TabGraps", &MainSettings::TabGraphs, "TabGraphs", [&w, &f] {
    w.UpdateActions();
    if (f.Settings().TabGraphs) {
      w.MainPages()->setCurrentWidget(w.Graphs());
      w.Graphs()->DrawGraphs(true);
    }
  });
  c.Toggle("TabCard", &MainSettings::TabCard, "TabCard");
  c.Toggle("TabLayout", &MainSettings::TabLayout, "TabLayout");
  c.Toggle("TabWeek", &MainSettings::TabWeek, "TabWeek");
  c.Toggle("TabTables", &MainSettings::TabTables, "TabTables");
  c.Toggle("SystemsOn", &MainSettings::SystemsEnabled, "SystemsEnabled");
}

}  // namespace px::ui
