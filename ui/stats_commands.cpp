// The commands of the page "Статистика".
#include <QTableView>

#include "export/xlsx_export.h"
#include "frame/frame.h"
#include "ui/command_bar.h"
#include "ui/context_menu.h"
#include "ui/favourites_manager.h"
#include "ui/filter_help.h"
#include "ui/page_context.h"
#include "ui/spreadsheet.h"
#include "ui/stats_page.h"

namespace px::ui {

void StatsPage::BindCommands(CommandBinder& c) {
  PageContext& context = *context_;
  TFormMain& f = context.Frame();
  Host& host = context.GetHost();
  auto hasCombs = [&f] { return f.Combs().Count() > 0; };
  auto hasRows = [this, hasCombs] { return hasCombs() && !SelectedRows().empty(); };

  BindCommandBar(filterButtons_, {c.Action("StatFilter_Include"), c.Action("StatFilter_Exclude")});
  SetContextMenu(*view_, context, c,
                 {"StatFilter_Include", "StatFilter_Exclude", "-", "DrawsStatCalc", "DrawsStatePrefetchsEnabled",
                  "DrawsStatShowTotalLine"},
                 "Статистика");
  c.Bind("DrawsStatCalc", [this] { Compute(true); }, [this, &f] { return !f.Archive().Empty() && SelectedMethod() >= 0; });
  c.Bind("StatFilter_Include", [this] { Filter(true); }, hasRows);
  c.Bind("StatFilter_Exclude", [this] { Filter(false); }, hasRows);
  c.Bind("DrawsStatePrefetchsEnabled", [this, &f, &host] {
    f.Toggle(&MainSettings::PrefetchsEnabled, "PrefetchsEnabled");
    f.FullSets().BuildAll(f.Registry(), false, f.Settings().PrefetchsEnabled, 0, &host);
    ShowComparisonColumns(f.Settings().PrefetchsEnabled);
    Compute(true);
  });
  c.Bind("DrawsStatShowTotalLine", [this, &f, &host] {
    f.Toggle(&MainSettings::ShowTotalLine, "ShowTotalLine");
    StatusScope status(host, "Создание графиков...");
    Compute(true);
  }, [&f] { return f.Settings().PrefetchsEnabled; });
  c.Bind("DrawsStatExportToExcel", [this, &context, &host] {
    auto file = host.ChooseSaveFile(kSpreadsheetFiles);
    if (!file) return;
    TTemplateMain::Busy busy(context.Frame());
    WriteXlsx(*file, TableOf(*Table(), context.Tr("Статистика")));
  }, [this] { return Model()->rowCount() > 0; });
  c.Bind("FiltersReset", [&context, &f, &host] {
    if (!host.AskYesNo("Вы действительно хотите сбросить список избранных фильтров?")) return;
    f.Registry().EnableAll();
    f.Registry().SaveNames(f.GetEnv(), f.NamesFile(), true, false, &host);
    context.FillMethodLists(false);
  });
  c.Bind("FiltersManager", [this, &context, &f, &host] {
    FavouritesManager manager(f.Registry(), f.GetEnv(), f.NamesFile(), &host, nullptr, {}, {}, this);
    if (!context.RunDialog(manager)) return;
    StatusScope status(host, "Подождите пожалуйста...");
    f.Registry().SaveNames(f.GetEnv(), f.NamesFile(), true, false, &host);
    context.FillMethodLists(false);
    f.RefreshViews(true);
  });
  c.Bind("FiltersInfo", [this, &context, &f] {
    FilterHelp help(f.Registry(), SelectedMethod(), this);
    context.RunDialog(help);
  }, [this] { return SelectedMethod() >= 0; });
  connect(this, &StatsPage::SelectionChanged, this, [&context] { context.UpdateActions(); });
  f.AddView([this, &f](bool force) {
    if (isVisible() || force) Compute(force);
  });
}

void StatsPage::Filter(bool keep) {
  context_->Frame().CombsKeepOrRemove(SelectedMethod(), SelectedValues(),
                                      keep ? FilterMode::KeepSelected : FilterMode::RemoveSelected, SelectedCaption());
}

}  // namespace px::ui
