#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <set>
#include <QVBoxLayout>

#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "frame/actions.h"
#include "ui/dialogs.h"
#include "export/xlsx_export.h"
#include "ui/favourites_manager.h"
#include "ui/filter_help.h"
#include "ui/graphs_page.h"
#include "ui/info_window.h"
#include "ui/list_models.h"
#include "ui/list_view.h"
#include "ui/proxy_dialog.h"
#include "ui/settings_dialogs.h"
#include "ui/spreadsheet.h"
#include "ui/ratings_page.h"
#include "ui/scenario_page.h"
#include "ui/scenario_run.h"
#include "ui/stakes_page.h"
#include "ui/stats_page.h"
#include "ui/window_state.h"
#include "stats/prefetch.h"

namespace px::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Plain(const std::string& s) { return Q(PlainText(s)); }

// "Файлы тиражей (*.csv)|*.csv" -> "Файлы тиражей (*.csv)"
QString QtFilter(const FileFilter& f) {
  const size_t bar = f.filter.find('|');
  return Q(bar == std::string::npos ? f.filter : f.filter.substr(0, bar));
}

const FileFilter kDrawFiles{"Файлы тиражей (*.csv)|*.csv", "csv"};
const FileFilter kCombFiles{"Файлы комбинаций (*.lcv)|*.lcv", "lcv"};
const FileFilter kSpreadsheets{"Книги Microsoft Excel (*.xlsx)|*.xlsx", "xlsx"};

// One owner per key that several commands claim; the others go without.
const std::map<std::string, std::string> kShortcutOwner = {
    {"Alt+F4", "ExitProgram"}, {"F7", "StatFilter_Include"}, {"Ctrl+F7", "StatFilter_Exclude"},
    {"Ctrl+J", "SystemsOn"}};
// Ctrl+Del deletes in whichever list has the focus: the key belongs to each
// of these within its own list.
const std::set<std::string> kListShortcuts = {"CombsDelSelected", "StakeDel", "ScriptDel"};

void SetColumnWidths(QTableView* view, std::initializer_list<int> widths) {
  int column = 0;
  for (int w : widths) view->setColumnWidth(column++, w);
}

const char* const kMainPages[] = {"Статистика", "Графики", "Карта", "Схема", "Неделя",
                                  "Ставки",     "Рейтинг", "Регуляры", "Системы", "Сценарий"};

}  // namespace

MainWindow::MainWindow(Env& env, const std::string& dataDir, const std::string& programPath,
                       const std::vector<std::string>& args)
    : frame_(std::make_unique<TFormMain>(*this, env, dataDir, programPath, args)) {
  BuildActions();
  BuildWidgets();
  BuildMenu();
  BindCommands();
  runView_ = std::make_unique<RunView>(*this);
  frame_->runObserver = runView_.get();
}

MainWindow::~MainWindow() {
  frame_->runObserver = nullptr;
  // The pages hold on to the frame's ratings and scenario, so they go first.
  delete takeCentralWidget();
}

QString MainWindow::Tr(const std::string& russian) const { return Q(frame_->Texts().Translate(russian)); }

void MainWindow::BuildWidgets() {
  setObjectName("TFormMain");
  setWindowTitle(Tr(frame_->Caption()));
  split_ = new QSplitter(Qt::Horizontal, this);
  pcLists_ = new QTabWidget(split_);
  pcLists_->setObjectName("pcLists");

  // "Архив тиражей"
  auto* drawsPage = new QWidget(pcLists_);
  auto* dl = new QVBoxLayout(drawsPage);
  dl->setContentsMargins(2, 2, 2, 2);
  drawsView_ = MakeList(drawsPage, "lvDraws");
  drawsModel_ = new DrawsModel(*frame_, this);
  drawsView_->setModel(drawsModel_);
  dl->addWidget(drawsView_);
  auto* offsetRow = new QHBoxLayout;
  offsetRow->addWidget(new QLabel(Tr("Смещение назад:"), drawsPage));
  offset_ = new QSpinBox(drawsPage);
  offset_->setObjectName("edDrawsOffset");
  offset_->setToolTip(Tr("Смещение относительно последнего загруженного номера тиража"));
  offset_->setRange(0, 0);
  offsetRow->addWidget(offset_, 1);
  dl->addLayout(offsetRow);
  pcLists_->addTab(drawsPage, Tr("Архив тиражей"));

  // "Комбинации"
  auto* combsPage = new QWidget(pcLists_);
  auto* cl = new QVBoxLayout(combsPage);
  cl->setContentsMargins(2, 2, 2, 2);
  combsSplit_ = new QSplitter(Qt::Vertical, combsPage);
  combsView_ = MakeList(combsSplit_, "lvCombs");
  combsModel_ = new CombsModel(*frame_, this);
  combsView_->setModel(combsModel_);
  combsView_->addAction(Action("CombsDelSelected"));
  filtersView_ = MakeList(combsSplit_, "lvFilters");
  filtersView_->setSelectionMode(QAbstractItemView::SingleSelection);
  filtersModel_ = new FiltersModel(*frame_, this);
  filtersView_->setModel(filtersModel_);
  filtersView_->horizontalHeader()->setStretchLastSection(true);
  SetColumnWidths(drawsView_, {52, 30, 30, 30, 30, 30, 36, 82});
  SetColumnWidths(combsView_, {60, 30, 30, 30, 30, 30, 36});
  SetColumnWidths(filtersView_, {170, 90, 80});
  combsSplit_->addWidget(combsView_);
  combsSplit_->addWidget(filtersView_);
  cl->addWidget(combsSplit_);
  auto* excludeRow = new QHBoxLayout;
  exclude_ = new QSpinBox(combsPage);
  exclude_->setObjectName("edCombsExclude");
  exclude_->setToolTip(Tr("Исключить указанное количество последних тиражей из списка комбинаций"));
  exclude_->setRange(0, 100000);
  auto* excludeButton = new QPushButton(Tr("[-] Тиражи"), combsPage);
  excludeButton->setObjectName("btnCombsExclude");
  excludeRow->addWidget(exclude_, 1);
  excludeRow->addWidget(excludeButton);
  cl->addLayout(excludeRow);
  pcLists_->addTab(combsPage, Tr("Комбинации"));
  connect(excludeButton, &QPushButton::clicked, this, [this] { Trigger("CombsDelExists"); });

  pcMain_ = new QTabWidget(split_);
  pcMain_->setObjectName("pcMain");
  for (const char* title : kMainPages) {
    if (std::string(title) == "Статистика") {
      stats_ = new StatsPage(*frame_, Action("DrawsStatCalc"), pcMain_);
      pcMain_->addTab(stats_, Tr(title));
      continue;
    }
    if (std::string(title) == "Ставки") {
      stakes_ = new StakesPage(*frame_, pcMain_);
      stakes_->runDialog = [this](QDialog& d) { return RunDialog(d); };
      stakes_->BindButtons({Action("StakeAdd"), Action("StakeAddRandom"), Action("StakeFilter"),
                            Action("StakeClear"), Action("StakesGraphDraws"), Action("StakesXlsExport")});
      stakes_->Table()->addAction(Action("StakeDel"));
      pcMain_->addTab(stakes_, Tr(title));
      continue;
    }
    if (std::string(title) == "Сценарий") {
      // The page needs the working scenario, which exists after the initialisation.
      scriptHolder_ = new QWidget(pcMain_);
      new QVBoxLayout(scriptHolder_);
      scriptHolder_->layout()->setContentsMargins(0, 0, 0, 0);
      pcMain_->addTab(scriptHolder_, Tr(title));
      continue;
    }
    if (std::string(title) == "Рейтинг") {
      ratings_ = new RatingsPage(*frame_, pcMain_);
      ratings_->runDialog = [this](QDialog& d) { return RunDialog(d); };
      ratings_->chooseFile = [this](const FileFilter& filter) { return ChooseSaveFile(filter); };
      ratings_->BindButtons({Action("RatingsRefresh"), Action("RatingsToScript"), Action("RatingsXlsExport"),
                             Action("StakesGraphOverlap"), Action("StakesGraphProfits"),
                             Action("RatingsGraphOverlap")});
      pcMain_->addTab(ratings_, Tr(title));
      continue;
    }
    if (std::string(title) == "Графики") {
      graphs_ = new GraphsPage(*frame_, Action("DrawsGraphDraw"), pcMain_);
      graphs_->isShown = [this] { return pcMain_->currentWidget() == graphs_; };
      pcMain_->addTab(graphs_, Tr(title));
      continue;
    }
    auto* page = new QWidget(pcMain_);
    auto* pl = new QVBoxLayout(page);
    auto* note = new QLabel(Tr("Эта страница появится в следующей версии программы."), page);
    note->setAlignment(Qt::AlignCenter);
    note->setEnabled(false);
    pl->addWidget(note);
    pcMain_->addTab(page, Tr(title));
  }
  split_->addWidget(pcLists_);
  split_->addWidget(pcMain_);
  split_->setStretchFactor(1, 1);
  setCentralWidget(split_);

  for (size_t i = 0; i < panels_.size(); ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
    panels_[i]->setMinimumWidth(i == 6 ? 200 : 110);
    statusBar()->addWidget(panels_[i], i == 6 ? 1 : 0);
  }
  progress_ = new QProgressBar(this);
  progress_->setMaximumWidth(160);
  progress_->setVisible(false);
  statusBar()->addPermanentWidget(progress_);

  connect(offset_, &QSpinBox::valueChanged, this, [this](int v) {
    frame_->SetDrawsOffset(v);
    UpdateActions();
  });
  connect(exclude_, &QSpinBox::valueChanged, this, [this](int v) {
    frame_->Settings().DrawsExclude = v;
    UpdateActions();
  });
  // Enter in the field runs the command, as the button does.
  exclude_->installEventFilter(this);
  connect(pcMain_, &QTabWidget::currentChanged, this, [this] { frame_->RefreshViews(false); });
  connect(drawsView_, &QTableView::doubleClicked, this, [this] { Trigger("DrawsInfo"); });
}

void MainWindow::BuildActions() {
  std::map<std::string, int> keyUse;
  for (const ActionInfo& info : ActionTable()) {
    auto* a = new QAction(Tr(info.caption), this);
    a->setObjectName(info.name);
    a->setStatusTip(Tr(info.hint));
    a->setToolTip(Tr(*info.hint ? info.hint : info.caption));
    a->setCheckable(info.checkable || info.radio);
    const std::string key = info.shortcut;
    auto owner = kShortcutOwner.find(key);
    if (!key.empty() && (owner == kShortcutOwner.end() || owner->second == info.name))
      a->setShortcut(QKeySequence(Q(key)));
    if (kListShortcuts.count(info.name)) a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    a->setEnabled(false);
    addAction(a);
    actions_[info.name] = a;
    connect(a, &QAction::hovered, this, [this, a] {
      if (frame_->IsIdle()) panels_[6]->setText(a->statusTip());
    });
  }
}

void MainWindow::BuildMenu() {
  std::function<void(QMenu*, const std::vector<MenuNode>&)> fill = [&](QMenu* menu, const std::vector<MenuNode>& nodes) {
    for (const MenuNode& n : nodes) {
      switch (n.kind) {
        case MenuNode::Separator:
          menu->addSeparator();
          break;
        case MenuNode::Submenu:
          fill(menu->addMenu(Tr(n.text)), n.children);
          break;
        case MenuNode::Languages: {
          auto* group = new QActionGroup(menu);
          for (const Language& l : frame_->Languages()) {
            QAction* a = menu->addAction(Q(l.name));
            a->setCheckable(true);
            a->setChecked(l.lcid == frame_->CurrentLanguage().lcid);
            group->addAction(a);
            languageActions_.push_back(a);
            const int32_t lcid = l.lcid;
            connect(a, &QAction::triggered, this, [this, lcid] {
              frame_->Guard([&] {
                const Language* language = FindLanguage(lcid);
                const std::string base = frame_->ProgramBase();
                if (lcid != kBaseLanguage && (!language || !frame_->GetEnv().Exists(ModulePath(base, *language))))
                  throw Error(Fmt("Языковый модуль \"%s\" не найден!",
                                  language ? ModulePath(base, *language).c_str() : std::to_string(lcid).c_str()));
                frame_->SetIntSetting(&MainSettings::Language, "Language", lcid);
                frame_->RestartProgram();
              });
            });
          }
          break;
        }
        case MenuNode::Action: {
          QAction* a = Action(n.text);
          if (!a) break;
          if (n.captionOverride) {
            // The same command under another caption: a twin that runs it.
            auto* twin = menu->addAction(Tr(n.captionOverride));
            twin->setCheckable(a->isCheckable());
            twin->setStatusTip(n.hintOverride ? Tr(n.hintOverride) : a->statusTip());
            connect(twin, &QAction::triggered, a, &QAction::trigger);
            connect(a, &QAction::changed, twin, [a, twin] {
              twin->setEnabled(a->isEnabled());
              twin->setChecked(a->isChecked());
              twin->setVisible(a->isVisible());
            });
          } else {
            menu->addAction(a);
          }
          break;
        }
      }
    }
  };
  for (const MenuNode& top : MainMenu()) {
    QMenu* menu = menuBar()->addMenu(Tr(top.text));
    topMenus_[top.text] = menu;
    fill(menu, top.children);
  }
}

QAction* MainWindow::Action(const std::string& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

bool MainWindow::Trigger(const std::string& name) {
  UpdateActions();
  QAction* a = Action(name);
  if (!a || !a->isEnabled()) return false;
  a->trigger();
  return true;
}

void MainWindow::Command(const std::string& name, std::function<void()> run, std::function<bool()> enabled,
                         bool idleOnly) {
  QAction* a = Action(name);
  if (!a) return;
  enabled_[name] = [this, enabled, idleOnly] { return (!idleOnly || frame_->IsIdle()) && (!enabled || enabled()); };
  connect(a, &QAction::triggered, this, [this, run] {
    frame_->Guard(run);
    UpdateActions();
  });
}

void MainWindow::Toggle(const std::string& action, bool MainSettings::*flag, const char* key,
                        std::function<void()> after) {
  Command(
      action,
      [this, flag, key, after] {
        frame_->Toggle(flag, key);
        if (after) after();
      },
      nullptr);
}

void MainWindow::UpdateActions() {
  for (auto& [name, a] : actions_) {
    auto it = enabled_.find(name);
    a->setEnabled(it != enabled_.end() && it->second());
  }
  const MainSettings& s = frame_->Settings();
  auto check = [&](const char* name, bool on) {
    if (QAction* a = Action(name)) a->setChecked(on);
  };
  check("DrawsSorted", s.SortedDraws);
  check("LogStakes", s.StakesLogEnabled);
  check("StakesScroll", s.StakesScrollEnabled);
  check("StakesCheckLine", s.StakesCheckOnLine);
  check("DrawsStatePrefetchsEnabled", s.PrefetchsEnabled);
  check("DrawsStatShowTotalLine", s.ShowTotalLine);
  check("ViewColorDraws", s.ColorDraws);
  check("ViewColorCombs", s.ColorCombs);
  check("ViewColorCard", s.ColorCard);
  check("ViewColorCardSequences", s.ColorCardSequences);
  check("ViewShemaGradient", s.LayoutGradient);
  check("AutoSelfUpdate", s.AutoUpdates);
  check("TabGraps", s.TabGraphs);
  check("TabCard", s.TabCard);
  check("TabLayout", s.TabLayout);
  check("TabWeek", s.TabWeek);
  check("TabTables", s.TabTables);
  check("SystemsOn", s.SystemsEnabled);
  check("LogToggle", s.ScriptLogEnabled);
  // A restart in the middle of a run would pull the frame from under it.
  for (QAction* a : languageActions_) a->setEnabled(frame_->IsIdle());
  for (int i = 0; i < 3; ++i) check(("AutoDownload" + std::to_string(i)).c_str(), s.DownloadDrawsOnStart == i);
  for (int i = 0; i < 3; ++i) check(("RatingsEffMode" + std::to_string(i)).c_str(), s.RatingsEffMode == i);
  // The number systems show their tab, menu and stake commands once they exist.
  const bool systems = frame_->systems != nullptr;
  if (auto it = topMenus_.find("Системы"); it != topMenus_.end()) it->second->menuAction()->setVisible(systems);
  for (const char* name : {"SystemStakeFilter", "SystemStakeAll"})
    if (QAction* a = Action(name)) a->setVisible(systems);
  // Tabs follow their settings.
  const bool tabs[] = {true, s.TabGraphs, s.TabCard, s.TabLayout, s.TabWeek, true, true, s.TabTables,
                       systems && s.SystemsEnabled, true};
  for (int i = 0; i < pcMain_->count() && i < 10; ++i) pcMain_->setTabVisible(i, tabs[i]);
}

std::vector<int> MainWindow::SelectedRows(QTableView* view) const {
  std::vector<int> rows;
  if (!view->selectionModel()) return rows;
  for (const QModelIndex& i : view->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void MainWindow::BindCommands() {
  TFormMain& f = *frame_;
  auto hasDrawSel = [this] { return !SelectedRows(drawsView_).empty(); };
  auto hasCombs = [this] { return frame_->Combs().Count() > 0; };
  auto hasCombSel = [this] { return !SelectedRows(combsView_).empty(); };

  Command("ExitProgram", [this] { close(); }, nullptr);
  Command("About", [this] {
    ShowInfo(frame_->Caption() + "\r\rАнализатор статистики лотереи: архив тиражей, статистика, фильтры, сценарии, "
                                 "ставки и рейтинги.");
  }, nullptr);
  Command("GetHelp", [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(Q(frame_->HelpFile()))); },
          [this] { return !frame_->HelpFile().empty(); });

  Command("EditConfig", [this, &f] {
    SettingsDialog dialog(f.Config().data, [this](const std::string& text) { ShowError(text); }, this);
    if (!RunDialog(dialog)) return;
    f.ApplyConfig(dialog.Result());
    FillMethodLists(true);
  }, nullptr);
  Command("EditShredding", [this, &f] {
    ShreddingDialog dialog(f.Config().Formula, f.Config().FormulaDigits, this);
    if (!RunDialog(dialog)) return;
    f.ApplyShredding(dialog.Formulas(), dialog.Digits());
    FillMethodLists(true);
  }, nullptr);

  Command("EditProxy", [this, &f] {
    ProxyDialog dialog(f.Proxy(), this);
    if (!RunDialog(dialog)) return;
    f.Proxy() = dialog.Result();
    StatusScope status(*this, "Сохранение файла конфигурации...");
    SaveProxySettings(f.GetEnv(), f.ConfigFile(), f.Proxy());
  }, nullptr);

  Command("DrawsAdd", [this] { DrawsAddOrEdit(false); }, nullptr);
  Command("DrawsEdit", [this] { DrawsAddOrEdit(true); }, hasDrawSel);
  Command("DrawsDel", [this] { DrawsDelete(); }, hasDrawSel);
  Command("DrawsInfo", [this] { DrawsInfo(); }, hasDrawSel);
  Command("DrawsImport", [this, &f] {
    auto file = ChooseOpenFile(kDrawFiles);
    if (!file) return;
    const ImportResult r = f.DrawsImport(*file);
    offset_->setMaximum(std::max(f.Archive().Count() - 1, 0));
    if (r.skipped > 0)
      ShowWarning(Fmt("Добавлено тиражей: %d\r\rПропущено строк, которые не являются тиражами: %d", r.added,
                      r.skipped));
  }, nullptr);
  Command("DrawsExport", [this, &f] {
    if (auto file = ChooseSaveFile(kDrawFiles)) f.DrawsExport(*file);
  }, [&f] { return !f.Archive().Empty(); });
  Toggle("DrawsSorted", &MainSettings::SortedDraws, "SortedDraws", [this] {
    drawsModel_->Reload();
    frame_->RefreshViews(true);
  });
  Command("DrawsDownload", [this, &f] {
    try {
      f.DownloadDraws();
    } catch (...) {
      stakes_->RefreshView(true, false);
      throw;
    }
    stakes_->RefreshView(true, false);
    offset_->setMaximum(std::max(f.Archive().Count() - 1, 0));
  }, nullptr);
  for (int i = 0; i < 3; ++i)
    Command("AutoDownload" + std::to_string(i),
            [&f, i] { f.SetIntSetting(&MainSettings::DownloadDrawsOnStart, "DownloadDrawsOnStart", i); }, nullptr);

  Command("CombsGen", [this, &f] {
    GenerateDialog dialog(f.Config().CombsGenerateMode, f.Config().CombsGenerateParameters, this);
    if (RunDialog(dialog)) f.CombsGenerate(dialog.Mode(), dialog.Parameters(), dialog.SaveDefaults());
  }, nullptr);
  Command("CombsDelExists", [this, &f] { f.CombsExclude(exclude_->value()); },
          [this, &f, hasCombs] { return hasCombs() && !f.Archive().Empty() && exclude_->value() > 0; });
  Command("CombsDelSelected", [this, &f] {
    f.CombsDeleteRows(SelectedRows(combsView_));
    combsView_->clearSelection();
  }, hasCombSel);
  Command("CombsUndo", [&f] { f.CombsUndo(); }, [&f] { return f.Combs().CanUndo(); });
  Command("CombsCopy", [this] { CombsCopy(); }, hasCombs);
  Command("CombsPaste", [this] { CombsPaste(); }, [this] {
    return messageHook ? !clipboardText.empty() : !QGuiApplication::clipboard()->text().isEmpty();
  });
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { UpdateActions(); });
  Command("CombsSelectAll", [this] { combsView_->selectAll(); }, hasCombs);
  Command("CombsOpen", [this, &f] {
    if (auto file = ChooseOpenFile(kCombFiles)) f.CombsOpen(*file);
  }, nullptr);
  Command("CombsSave", [this, &f] {
    if (auto file = ChooseSaveFile(kCombFiles)) f.CombsSave(*file);
  }, hasCombs);
  Command("CombsCheckNums", [this, &f] {
    StatusScope status(*this, "Подождите пожалуйста...");
    ShowInfo(f.CombsDistinctText());
  }, hasCombs);
  Command("CombsFindInDraws", [this, &f] {
    std::string text;
    {
      StatusScope status(*this, "Поиск по архиву тиражей...");
      text = f.CombsFindText(SelectedRows(combsView_).front());
    }
    ShowInfo(text);
  }, hasCombSel);
  Command("CombsInfo", [this, &f] {
    const int row = SelectedRows(combsView_).front();
    InfoWindow info(f, f.Combs().Working()[row], f.LastKnownIndex(), nullptr, this);
    RunDialog(info);
  }, hasCombSel);

  // Spreadsheet exports hand a list as shown, titled with its page caption.
  auto exportList = [this](QTableView* view, const char* title) {
    return [this, view, title] {
      auto file = ChooseSaveFile(kSpreadsheets);
      if (!file) return;
      TTemplateMain::Busy busy(*frame_);
      StatusScope status(*this, "Подождите пожалуйста...");
      WriteXlsx(*file, TableOf(*view, Tr(title)));
    };
  };
  Command("DrawsXlsExport", exportList(drawsView_, "Архив тиражей"), [&f] { return !f.Archive().Empty(); });
  Command("CombsXlsExport", exportList(combsView_, "Комбинации"), hasCombs);

  // The page "Статистика".
  Command("DrawsStatCalc", [this] { stats_->Compute(true); },
          [this, &f] { return !f.Archive().Empty() && stats_->SelectedMethod() >= 0; });
  auto hasStatRows = [this, hasCombs] { return hasCombs() && !stats_->SelectedRows().empty(); };
  Command("StatFilter_Include", [this] { StatFilter(FilterMode::KeepSelected); }, hasStatRows);
  Command("StatFilter_Exclude", [this] { StatFilter(FilterMode::RemoveSelected); }, hasStatRows);
  Command("DrawsStatePrefetchsEnabled", [this, &f] {
    f.Toggle(&MainSettings::PrefetchsEnabled, "PrefetchsEnabled");
    f.FullSets().BuildAll(f.Registry(), false, f.Settings().PrefetchsEnabled, 0, this);
    stats_->ShowComparisonColumns(f.Settings().PrefetchsEnabled);
    stats_->Compute(true);
  }, nullptr);
  Command("DrawsStatShowTotalLine", [this, &f] {
    f.Toggle(&MainSettings::ShowTotalLine, "ShowTotalLine");
    StatusScope status(*this, "Создание графиков...");
    stats_->Compute(true);
  }, [&f] { return f.Settings().PrefetchsEnabled; });
  Command("DrawsStatExportToExcel", [this] {
    auto file = ChooseSaveFile(kSpreadsheets);
    if (!file) return;
    TTemplateMain::Busy busy(*frame_);
    WriteXlsx(*file, TableOf(*stats_->Table(), Tr("Статистика")));
  }, [this] { return stats_->Model()->rowCount() > 0; });
  Command("FiltersReset", [this, &f] {
    if (!AskYesNo("Вы действительно хотите сбросить список избранных фильтров?")) return;
    f.Registry().EnableAll();
    f.Registry().SaveNames(f.GetEnv(), f.NamesFile(), true, false, this);
    FillMethodLists(false);
  }, nullptr);
  Command("FiltersManager", [this, &f] {
    FavouritesManager manager(f.Registry(), f.GetEnv(), f.NamesFile(), this, nullptr, {}, {}, this);
    if (!RunDialog(manager)) return;
    StatusScope status(*this, "Подождите пожалуйста...");
    f.Registry().SaveNames(f.GetEnv(), f.NamesFile(), true, false, this);
    FillMethodLists(false);
    f.RefreshViews(true);
  }, nullptr);
  Command("FiltersInfo", [this, &f] {
    FilterHelp help(f.Registry(), stats_->SelectedMethod(), this);
    RunDialog(help);
  }, [this] { return stats_->SelectedMethod() >= 0; });
  connect(stats_, &StatsPage::SelectionChanged, this, [this] { UpdateActions(); });
  frame_->AddView([this](bool force) {
    if (stats_->isVisible() || force) stats_->Compute(force);
  });

  // The page "Ставки".
  auto stakesOpen = [this] { return stakes_->CanAdd(); };
  Command("StakeAdd", [this] {
    const std::vector<int> rows = SelectedRows(combsView_);
    std::optional<Combination> proposed;
    if (!rows.empty()) proposed = frame_->Combs().Working()[rows.front()];
    stakes_->AddManual(proposed);
  }, stakesOpen);
  Command("StakeAddRandom", [this] { stakes_->AddRandom(); }, [stakesOpen, hasCombs] { return stakesOpen() && hasCombs(); });
  Command("StakeAddSelected", [this] {
    stakes_->AddSelected(SelectedRows(combsView_));
    combsView_->clearSelection();
  }, [stakesOpen, hasCombSel] { return stakesOpen() && hasCombSel(); });
  Command("StakeAddAll", [this] { stakes_->AddAll(); }, [stakesOpen, hasCombs] { return stakesOpen() && hasCombs(); });
  Command("StakeDel", [this] { stakes_->DeleteSelected(); }, [this] { return stakes_->HasSelection(); });
  Command("StakeFilter", [this] { stakes_->DeleteByCondition(); }, [this] { return stakes_->HasRecords(); });
  Command("StakeClear", [this] { stakes_->ClearAll(); }, [this] { return stakes_->HasRecords(); });
  Command("StakesGraphDraws", [this] { stakes_->ShowDrawsGraph(); }, [this] { return stakes_->HasRecords(); });
  Command("StakesXlsExport", [this] {
    if (auto file = ChooseSaveFile(kSpreadsheets)) stakes_->ExportXlsx(*file);
  }, [this] { return stakes_->HasRecords(); });
  Command("StakesCheckManual", [this] { stakes_->CheckManual(); }, [this] { return stakes_->HasRecords(); });
  Toggle("LogStakes", &MainSettings::StakesLogEnabled, "StakesLogEnabled", [this] {
    if (StakeStore* store = frame_->Stakes()) store->SetLogEnabled(frame_->Settings().StakesLogEnabled);
  });
  Command("LogStakesDelete", [this] { frame_->DeleteStakeLogs(); }, nullptr);
  Toggle("StakesScroll", &MainSettings::StakesScrollEnabled, "StakesScrollEnabled", nullptr);
  Toggle("StakesCheckLine", &MainSettings::StakesCheckOnLine, "StakesCheckOnLine", nullptr);
  connect(stakes_->Table()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { UpdateActions(); });
  // With every stake gone the rating is rebuilt, after its own question.
  connect(stakes_, &StakesPage::Cleared, this, [this] {
    ratings_->RatingsRefresh();
    ratings_->RefreshView();
  });
  connect(combsView_, &QTableView::doubleClicked, this, [this] { Trigger("StakeAdd"); });

  // The page "Рейтинг".
  Command("RatingsRefresh", [this] { ratings_->RatingsRefresh(); }, [this] { return ratings_->CanRefresh(); });
  Command("RatingsToScript", [this] { ratings_->RatingsToScript(); }, [this] { return ratings_->CanAddToScript(); });
  Command("RatingsExport", [this] { ratings_->RatingsExport(); }, [this] { return ratings_->HasEntries(); });
  Command("RatingsXlsExport", [this] {
    if (auto file = ChooseSaveFile(kSpreadsheets)) ratings_->RatingsXlsExport(*file);
  }, [this] { return ratings_->HasEntries(); });
  Command("RatingsGraphOverlap", [this] { ratings_->RatingsGraphOverlap(); }, [this] { return ratings_->HasSelection(); });
  Command("StakesGraphOverlap", [this] { ratings_->StakesGraphOverlap(); }, [this] { return ratings_->CanGraphStakes(); });
  Command("StakesGraphProfits", [this] { ratings_->StakesGraphProfits(); }, [this] { return ratings_->CanGraphStakes(); });
  for (int i = 0; i < 3; ++i)
    Command("RatingsEffMode" + std::to_string(i), [this, i] { ratings_->SetEffMode(i); }, nullptr);
  connect(ratings_->Table()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { UpdateActions(); });

  // The page "Сценарий" (made once the working scenario is loaded).
  auto script = [this](std::function<void(ScenarioPage&)> run) {
    return [this, run] {
      if (script_) run(*script_);
    };
  };
  auto scriptIf = [this](std::function<bool(ScenarioPage&)> test) {
    return [this, test] { return script_ && test(*script_); };
  };
  Command("ScriptAdd", script([](ScenarioPage& p) { p.Add(); }), scriptIf([](ScenarioPage&) { return true; }));
  Command("ScriptEmpty", script([](ScenarioPage& p) { p.AddEmpty(); }),
          scriptIf([](ScenarioPage& p) { return p.HasLines(); }));
  Command("ScriptLoad", script([](ScenarioPage& p) { p.Append(); }), scriptIf([](ScenarioPage&) { return true; }));
  Command("ScriptOpen", script([](ScenarioPage& p) { p.Open(); }), scriptIf([](ScenarioPage&) { return true; }));
  Command("ScriptSave", script([](ScenarioPage& p) { p.Save(); }), scriptIf([](ScenarioPage& p) { return p.HasLines(); }));
  Command("ScriptClone", script([](ScenarioPage& p) { p.Clone(); }), scriptIf([](ScenarioPage& p) { return p.CanEdit(); }));
  Command("ScriptEdit", script([](ScenarioPage& p) { p.Edit(); }), scriptIf([](ScenarioPage& p) { return p.CanEdit(); }));
  Command("ScriptDel", script([](ScenarioPage& p) { p.Delete(); }),
          scriptIf([](ScenarioPage& p) { return p.HasSelection(); }));
  Command("ScriptClr", script([](ScenarioPage& p) { p.Clear(); }), scriptIf([](ScenarioPage& p) { return p.HasLines(); }));
  Command("ScriptUp", script([](ScenarioPage& p) { p.Up(); }), scriptIf([](ScenarioPage& p) { return p.CanMoveUp(); }));
  Command("ScriptDown", script([](ScenarioPage& p) { p.Down(); }),
          scriptIf([](ScenarioPage& p) { return p.CanMoveDown(); }));

  // Runs: the frame holds the busy counter for the whole run, so everything
  // else is disabled meanwhile; only "Стоп" acts on a running run.
  auto canRun = [this] { return frame_->CanRunScenario(); };
  auto notRunning = [this] { return !frame_->ScenarioRunning(); };
  Command("ScriptRun", [this] { RunScenario(0); }, canRun);
  Command("ScriptTest", [this] {
    TestCountDialog dialog(frame_->Archive().Count() - 1, this);
    if (RunDialog(dialog)) RunScenario(dialog.Count());
  }, canRun);
  Command("ScriptStop", [this] { AskStop(); },
          [this] {
            return frame_->scenarioRunning && !frame_->stopRequested && !frame_->ScenarioStopping() &&
                   !stopPending_ && !askingStop_;
          },
          false);
  Command("LogToggle", [this] { frame_->ToggleScriptLog(); }, notRunning);
  Command("LogsDelete", [this] { frame_->DeleteScriptLogs(); }, notRunning);

  auto refreshLists = [this] {
    drawsModel_->Reload();
    combsModel_->Reload();
  };
  Toggle("ViewColorDraws", &MainSettings::ColorDraws, "ColorDraws", refreshLists);
  Toggle("ViewColorCombs", &MainSettings::ColorCombs, "ColorCombs", refreshLists);
  Toggle("ViewColorCard", &MainSettings::ColorCard, "ColorCard", nullptr);
  Toggle("ViewColorCardSequences", &MainSettings::ColorCardSequences, "ColorCardSequences", nullptr);
  Toggle("ViewShemaGradient", &MainSettings::LayoutGradient, "LayoutGradient", nullptr);
  Toggle("AutoSelfUpdate", &MainSettings::AutoUpdates, "AutoUpdates", nullptr);
  Toggle("TabGraps", &MainSettings::TabGraphs, "TabGraphs", [this] {
    UpdateActions();
    if (frame_->Settings().TabGraphs) {
      pcMain_->setCurrentWidget(graphs_);
      graphs_->DrawGraphs(true);
    }
  });
  Command("DrawsGraphDraw", [this] { graphs_->DrawGraphs(true); },
          [this, &f] { return !f.Archive().Empty() && graphs_->MethodList()->currentIndex() >= 0; });
  frame_->AddView([this](bool force) {
    if (frame_->Settings().TabGraphs) graphs_->DrawGraphs(force);
  });
  Toggle("TabCard", &MainSettings::TabCard, "TabCard", nullptr);
  Toggle("TabLayout", &MainSettings::TabLayout, "TabLayout", nullptr);
  Toggle("TabWeek", &MainSettings::TabWeek, "TabWeek", nullptr);
  Toggle("TabTables", &MainSettings::TabTables, "TabTables", nullptr);
  Toggle("SystemsOn", &MainSettings::SystemsEnabled, "SystemsEnabled", nullptr);

  auto selectionChanged = [this] { UpdateActions(); };
  connect(drawsView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, selectionChanged);
  connect(combsView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, selectionChanged);
}

void MainWindow::DrawsAddOrEdit(bool edit) {
  TFormMain& f = *frame_;
  DrawRecord draw = f.NewDrawTemplate();
  int index = -1;
  if (edit) {
    const int row = SelectedRows(drawsView_).front();
    index = f.Archive().Count() - 1 - row;
    draw = f.Archive().At(index);
  }
  DrawDialog dialog(draw, true, [this](const std::string& text) { ShowError(text); }, this);
  if (!RunDialog(dialog)) return;
  if (edit)
    f.DrawsEdit(index, dialog.Result());
  else
    f.DrawsAdd(dialog.Result());
  offset_->setMaximum(std::max(f.Archive().Count() - 1, 0));
}

void MainWindow::DrawsDelete() {
  TFormMain& f = *frame_;
  const std::vector<int> rows = SelectedRows(drawsView_);
  const std::string question =
      rows.size() == 1 ? "Удалить выделенную запись?"
                       : Fmt("Удалить все выделенные записи (всего будет удалено %d записи(ей))?", int(rows.size()));
  if (!AskYesNo(question)) return;
  // From the bottom of the list upwards: oldest first.
  std::vector<int32_t> numbers;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) numbers.push_back(f.Archive().AtPosition(*it).number);
  drawsView_->clearSelection();
  try {
    f.DrawsDelete(numbers);
  } catch (...) {
    offset_->setMaximum(std::max(f.Archive().Count() - 1, 0));
    throw;
  }
  offset_->setMaximum(std::max(f.Archive().Count() - 1, 0));
}

void MainWindow::DrawsInfo() {
  TFormMain& f = *frame_;
  const int row = SelectedRows(drawsView_).front();
  const int index = f.Archive().Count() - 1 - row;
  const DrawRecord& d = f.Archive().At(index);
  InfoWindow info(f, d.numbers, index, &d, this);
  RunDialog(info);
}

void MainWindow::CombsCopy() {
  std::string text;
  {
    StatusScope status(*this, "Подождите пожалуйста...");
    text = frame_->CombsCopy(SelectedRows(combsView_));
  }
  clipboardText = text;
  if (!messageHook) QGuiApplication::clipboard()->setText(Q(text));
}

void MainWindow::CombsPaste() {
  const std::string text = messageHook ? clipboardText : QGuiApplication::clipboard()->text().toStdString();
  frame_->CombsPaste(text);
}

void MainWindow::StatFilter(FilterMode mode) {
  TFormMain& f = *frame_;
  const int method = stats_->SelectedMethod();
  auto stat = f.Registry().CreateInstance(method);
  TTemplateMain::Busy busy(f);
  KeepOrRemove(f.Combs(), *stat, stats_->SelectedValues(), mode, FilterLastIndex(f.Archive(), f.DrawsOffset()),
               f.Settings().SortedDraws, stats_->SelectedCaption(), this);
  SetStatusPanel(3, Fmt("Комбинаций: %d", f.Combs().Count()));
  Refresh(View::CombsList);
  Refresh(View::FiltersList);
}

void MainWindow::RunScenario(int testCount) {
  closeAfterRun_ = stopPending_ = false;
  lastRun = frame_->RunScenario(testCount);
  stopPending_ = false;
  UpdateActions();
  // The close that came during the run: the run is off the stack now.
  if (closeAfterRun_) QTimer::singleShot(0, this, &QWidget::close);
}

bool MainWindow::AskStop() {
  if (askingStop_ || !frame_->scenarioRunning || frame_->stopRequested || frame_->ScenarioStopping() || stopPending_)
    return false;
  askingStop_ = true;
  UpdateActions();
  const bool yes = AskYesNo("Остановить выполнение сценария?");
  askingStop_ = false;
  if (yes) {
    stopPending_ = true;
    frame_->StopScenario();
  }
  UpdateActions();
  return yes;
}

void MainWindow::FillMethodLists(bool keepSelection) {
  stats_->FillMethods(keepSelection);
  graphs_->FillMethods();
  UpdateActions();
}

bool MainWindow::RunDialog(QDialog& dialog) {
  if (dialogHook) return dialogHook(dialog);
  return dialog.exec() == QDialog::Accepted;
}

bool MainWindow::Create() {
  if (frame_->FormCreate() == TTemplateMain::Start::Terminate) return false;
  setWindowTitle(Tr(frame_->Caption()));
  FillMethodLists(false);
  RestoreState();
  exclude_->setValue(frame_->Settings().DrawsExclude);
  UpdateActions();
  return true;
}

bool MainWindow::Initialise() {
  if (frame_->Initialise() == TTemplateMain::Start::Terminate) return false;
  if (StakeStore* store = frame_->Stakes()) store->SetLogEnabled(frame_->Settings().StakesLogEnabled);
  stakes_->RefreshView(true, false);
  if (px::Ratings* store = frame_->RatingsStore()) {
    store->SetSortOrder(ratingSort_);
    store->Sort();
  }
  ratings_->SetScenario(frame_->ScenarioStore());
  ratings_->RefreshView();
  if (Scenario* scenario = frame_->ScenarioStore()) {
    script_ = new ScenarioPage(*frame_, *scenario, scriptHolder_);
    script_->runDialog = [this](QDialog& d) { return RunDialog(d); };
    script_->chooseFile = [this](bool save) {
      const FileFilter filter{"Файлы сценариев (*.lsc)|*.lsc", "lsc"};
      return save ? ChooseSaveFile(filter) : ChooseOpenFile(filter);
    };
    script_->selectedMethod = [this] { return stats_->MethodList()->currentIndex(); };
    script_->Table()->addAction(Action("ScriptDel"));
    frame_->Guard([&] { RestoreColumns(*script_->Table(), frame_->SettingsStore().Read(), MainSettings::kSection); });
    scriptHolder_->layout()->addWidget(script_);
    connect(script_->Table()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateActions(); });
    connect(ratings_, &RatingsPage::ScenarioLinesAdded, this, [this] {
      script_->Refresh();
      pcMain_->setCurrentWidget(scriptHolder_);
    });
  }
  UpdateActions();
  offset_->setMaximum(std::max(frame_->Archive().Count() - 1, 0));
  UpdateActions();
  if (frame_->Settings().FirstRun) ShowFirstRun();
  return true;
}

void MainWindow::ShowFirstRun() {
  QDialog dialog(this);
  dialog.setWindowTitle(Tr("Справочная информация"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* text = new QLabel(Tr(frame_->Caption()), &dialog);
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* help = new QPushButton(Tr("Справка"), &dialog);
  help->setEnabled(!frame_->HelpFile().empty());
  connect(help, &QPushButton::clicked, this, [this] { Trigger("GetHelp"); });
  layout->addWidget(help);
  auto* never = new QCheckBox(Tr("Больше не показывать данный диалог"), &dialog);
  never->setObjectName("cbFirstRunNever");
  layout->addWidget(never);
  auto* ok = new QPushButton("OK", &dialog);
  connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  layout->addWidget(ok);
  RunDialog(dialog);
  if (never->isChecked()) {
    frame_->Settings().FirstRun = false;
    frame_->Guard([&] { frame_->SettingsStore().WriteBool(MainSettings::kSection, "FirstRun", false); });
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == exclude_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      exclude_->interpretText();
      Trigger("CombsDelExists");
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::RestoreState() {
  try {
    const IniFile ini = frame_->SettingsStore().Read();
    const std::string section = MainSettings::kSection;
    RestorePlacement(*this, ini, section, QRect(100, 100, 1200, 750));
    const MainSettings& s = frame_->Settings();
    split_->setSizes({s.LeftPanelWidth, std::max(width() - s.LeftPanelWidth, 100)});
    combsSplit_->setSizes({std::max(height() - s.FiltersHeight, 100), s.FiltersHeight});
    stats_->Splitter()->setSizes({std::max(height() - s.DrawsStatHeight, 100), s.DrawsStatHeight});
    stats_->LengthField()->setValue(s.DrawsStatLen);
    stats_->ShowComparisonColumns(s.PrefetchsEnabled);
    graphs_->ReadSettings();
    // The sort orders: "column,direction" with 1 for descending.
    if (auto sort = ReadSortType(ini, section, "lvRatings"); sort && sort->column >= 0 && sort->column < kRatingColumns)
      ratingSort_ = RatingSort{sort->column, sort->direction != 0};
    if (auto sort = ReadSortType(ini, section, "lvDrawsStat"); sort && sort->column >= 0 && sort->column < kStatColumns)
      stats_->Table()->sortByColumn(sort->column, sort->direction != 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
    for (QTableView* v : Lists()) RestoreColumns(*v, ini, section);
    // Hidden comparison columns keep the width they are shown with.
    stats_->ShowComparisonColumns(s.PrefetchsEnabled);
  } catch (const std::exception& e) {
    ShowError(OperationError("Ошибка загрузки параметров программы!", e.what()).what());
  }
}

std::vector<QTableView*> MainWindow::Lists() const {
  std::vector<QTableView*> lists = {drawsView_, combsView_, filtersView_, stats_->Table(), ratings_->Table(),
                                    stakes_->Table()};
  if (script_) lists.push_back(script_->Table());
  return lists;
}

void MainWindow::SaveState() {
  MainSettings& s = frame_->Settings();
  s.LeftPanelWidth = split_->sizes().value(0, s.LeftPanelWidth);
  s.FiltersHeight = combsSplit_->sizes().value(1, s.FiltersHeight);
  s.DrawsStatHeight = stats_->Splitter()->sizes().value(1, s.DrawsStatHeight);
  s.DrawsStatLen = stats_->LengthField()->value();
  s.DrawsExclude = exclude_->value();
  frame_->Guard([&] {
    frame_->SettingsStore().Update([&](IniFile& ini) {
      const std::string section = MainSettings::kSection;
      SavePlacement(*this, ini, section);
      if (px::Ratings* store = frame_->RatingsStore())
        WriteSortType(ini, section, "lvRatings",
                      SortType{store->SortOrder().column, store->SortOrder().descending ? 1 : 0});
      const QHeaderView* statHeader = stats_->Table()->horizontalHeader();
      WriteSortType(ini, section, "lvDrawsStat",
                    SortType{statHeader->sortIndicatorSection(),
                             statHeader->sortIndicatorOrder() == Qt::DescendingOrder ? 1 : 0});
      for (QTableView* v : Lists()) SaveColumns(*v, ini, section);
    });
  });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (frame_->scenarioRunning) {
    // The run is on the call stack: the window may go only once it returns.
    event->ignore();
    if (frame_->stopRequested || frame_->ScenarioStopping() || stopPending_ || AskStop()) closeAfterRun_ = true;
    return;
  }
  if (!closing_) {
    closing_ = true;
    SaveState();
    frame_->FormDestroy();
  }
  event->accept();
}

// ---- Host

void MainWindow::CloseProgram() {
  close();
  QCoreApplication::exit(0);
}

void MainWindow::SetStatusText(const std::string& text) {
  panels_[6]->setText(Tr(text));
  ProcessEvents();
}

void MainWindow::ShowError(const std::string& text) { ShowBox(QMessageBox::Critical, "Ошибка", text); }
void MainWindow::ShowInfo(const std::string& text) { ShowBox(QMessageBox::Information, "Информация", text); }
void MainWindow::ShowWarning(const std::string& text) { ShowBox(QMessageBox::Warning, "Внимание!", text); }
void MainWindow::ShowWarningAs(const std::string& caption, const std::string& text) {
  ShowBox(QMessageBox::Warning, caption, text);
}

void MainWindow::ShowBox(int icon, const std::string& caption, const std::string& text) {
  if (messageHook) {
    static const std::map<int, QString> kinds = {
        {QMessageBox::Critical, "error"}, {QMessageBox::Information, "info"}, {QMessageBox::Warning, "warning"}};
    messageHook(kinds.at(icon), Q(caption), Q(text));
    return;
  }
  QMessageBox box(QMessageBox::Icon(icon), Tr(caption), Plain(text), QMessageBox::NoButton, this);
  box.addButton(QMessageBox::Ok);
  box.exec();
}

bool MainWindow::AskYesNo(const std::string& text) { return AskYesNoAs("Подтверждение", text); }

bool MainWindow::AskYesNoAs(const std::string& caption, const std::string& text) {
  if (messageHook) return messageHook("question", Q(caption), Q(text));
  QMessageBox box(QMessageBox::Question, Tr(caption), Plain(text), QMessageBox::NoButton, this);
  // The button captions follow the interface language, not Qt's own.
  QPushButton* yes = box.addButton(Tr("Да"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(Tr("Нет"), QMessageBox::NoRole);
  box.setDefaultButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

void MainWindow::ProcessEvents() {
  // A run takes the person's input too, or "Стоп" and its key could not
  // reach it; everything else is disabled while it runs.
  QCoreApplication::processEvents(frame_->scenarioRunning ? QEventLoop::AllEvents
                                                          : QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::SetProgress(int position, int max) {
  progress_->setVisible(max > 0);
  if (max > 0) {
    progress_->setRange(0, max);
    progress_->setValue(position);
  }
}

void MainWindow::SetStatusPanel(int panel, const std::string& text) {
  if (panel >= 0 && panel < 6) panels_[size_t(panel)]->setText(Q(text));
}

void MainWindow::SetWaitText(const std::string& text) {
  if (text.empty()) {
    if (wait_) wait_->hide();
    return;
  }
  if (!wait_) {
    wait_ = new QDialog(this, Qt::Tool | Qt::FramelessWindowHint);
    wait_->setObjectName("WaitWindow");
    auto* layout = new QVBoxLayout(wait_);
    waitText_ = new QLabel(wait_);
    waitText_->setAlignment(Qt::AlignCenter);
    waitText_->setMinimumWidth(320);
    layout->addWidget(waitText_);
  }
  waitText_->setText(Plain(text));
  wait_->adjustSize();
  wait_->move(geometry().center() - wait_->rect().center());
  wait_->show();
  ProcessEvents();
}

void MainWindow::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void MainWindow::Refresh(View view) {
  switch (view) {
    case View::DrawsList:
      if (drawsModel_) drawsModel_->Reload();
      if (offset_) {
        offset_->setMaximum(std::max(frame_->Archive().Count() - 1, 0));
        QSignalBlocker block(offset_);
        offset_->setValue(std::max(frame_->DrawsOffset(), 0));
      }
      break;
    case View::CombsList:
      if (combsModel_) combsModel_->Reload();
      break;
    case View::FiltersList:
      if (filtersModel_) filtersModel_->Reload();
      break;
    case View::Caption:
      if (frame_) setWindowTitle(Tr(frame_->Caption()));
      break;
  }
}

std::optional<std::string> MainWindow::ChooseOpenFile(const FileFilter& filter) {
  if (fileHook) return fileHook(false);
  const QString file = QFileDialog::getOpenFileName(this, QString(), Q(frame_->DataDir()), QtFilter(filter));
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

std::optional<std::string> MainWindow::ChooseSaveFile(const FileFilter& filter) {
  if (fileHook) return fileHook(true);
  QFileDialog dialog(this, QString(), Q(frame_->DataDir()), QtFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(Q(filter.defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace px::ui
