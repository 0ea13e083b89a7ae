#include "ui/main_window.h"

#include <chrono>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <set>

#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "frame/actions.h"
#include "ui/card_page.h"
#include "ui/combs_page.h"
#include "ui/desktop.h"
#include "ui/draws_page.h"
#include "ui/graphs_page.h"
#include "ui/layout_page.h"
#include "ui/list_models.h"
#include "ui/list_view.h"
#include "ui/program_commands.h"
#include "ui/ratings_page.h"
#include "ui/regulars_page.h"
#include "ui/scenario_page.h"
#include "ui/scenario_run.h"
#include "ui/scenario_tab.h"
#include "ui/stakes_page.h"
#include "ui/stats_page.h"
#include "ui/system_game.h"
#include "ui/systems_page.h"
#include "ui/week_page.h"
#include "ui/window_state.h"

namespace px::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// One owner per key that several commands claim; the others go without.
const std::map<std::string, std::string> kShortcutOwner = {
    {"Alt+F4", "ExitProgram"}, {"F7", "StatFilter_Include"}, {"Ctrl+F7", "StatFilter_Exclude"},
    {"Ctrl+J", "SystemsOn"}};
// Ctrl+Del deletes in whichever list has the focus: the key belongs to each
// of these within its own list.
const std::set<std::string> kListShortcuts = {"CombsDelSelected", "StakeDel", "ScriptDel"};

const char* const kMainPages[] = {"Статистика", "Графики", "Карта", "Схема", "Неделя",
                                  "Ставки",     "Рейтинг", "Регуляры", "Системы", "Сценарий"};

// The progress text: cut at its end to the room it has, never wider than
// that room, so a long hint cannot push the counters about.
class ElidedLabel final : public QLabel {
 public:
  using QLabel::QLabel;
  QSize minimumSizeHint() const override { return QSize(kMinimum, QLabel::minimumSizeHint().height()); }
  QSize sizeHint() const override { return QSize(kMinimum, QLabel::sizeHint().height()); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(margin() + 2, 0, -margin(), 0);
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
  }

 private:
  static constexpr int kMinimum = 200;
};

}  // namespace

MainWindow::MainWindow(Env& env, const std::string& dataDir, const std::string& programPath,
                       const std::vector<std::string>& args)
    : frame_(std::make_unique<TFormMain>(*this, env, dataDir, programPath, args)) {
  SetDesktop(std::make_unique<Desktop>());
  commands_ = std::make_unique<CommandBinder>(*frame_, [this] { UpdateActions(); });
  BuildActions();
  BuildWidgets();
  BuildMenu();
  BindCommands();
  runView_ = std::make_unique<RunView>(*this);
  frame_->SetRunObserver(runView_.get());
}

MainWindow::~MainWindow() {
  frame_->SetRunObserver(nullptr);
  // The pages hold on to the frame's ratings and scenario, so they go first.
  delete takeCentralWidget();
}

void MainWindow::SetDesktop(std::unique_ptr<Desktop> desktop) {
  desktop_ = std::move(desktop);
  desktop_->translate = [this](const std::string& s) { return Tr(s); };
}

QString MainWindow::Tr(const std::string& russian) const { return Q(frame_->Texts().Translate(russian)); }

QTableView* MainWindow::DrawsView() const { return draws_->View(); }
QTableView* MainWindow::CombsView() const { return combs_->View(); }
QTableView* MainWindow::FiltersView() const { return combs_->FiltersView(); }
QSpinBox* MainWindow::OffsetField() const { return draws_->OffsetField(); }
QSpinBox* MainWindow::ExcludeField() const { return combs_->ExcludeField(); }
ScenarioPage* MainWindow::Script() const { return script_->Page(); }
const RunResult& MainWindow::LastRun() const { return script_->LastRun(); }

void MainWindow::BuildWidgets() {
  setObjectName("TFormMain");
  setWindowTitle(Tr(frame_->Caption()));
  split_ = new QSplitter(Qt::Horizontal, this);
  pcLists_ = new QTabWidget(split_);
  pcLists_->setObjectName("pcLists");
  draws_ = new DrawsPage(*this, pcLists_);
  pcLists_->addTab(draws_, Tr("Архив тиражей"));
  combs_ = new CombsPage(*this, pcLists_);
  pcLists_->addTab(combs_, Tr("Комбинации"));

  pcMain_ = new QTabWidget(split_);
  pcMain_->setObjectName("pcMain");
  for (const char* title : kMainPages) {
    const std::string name = title;
    QWidget* page = nullptr;
    if (name == "Статистика") {
      page = stats_ = new StatsPage(*frame_, Action("DrawsStatCalc"), pcMain_);
      stats_->SetContext(*this);
    } else if (name == "Графики") {
      page = graphs_ = new GraphsPage(*frame_, Action("DrawsGraphDraw"), pcMain_);
      graphs_->isShown = [this] { return pcMain_->currentWidget() == graphs_; };
    } else if (name == "Карта") {
      page = card_ = new CardPage(*this, pcMain_);
      card_->isShown = [this] { return pcMain_->currentWidget() == card_; };
    } else if (name == "Схема") {
      page = layout_ = new LayoutPage(*this, pcMain_);
      layout_->isShown = [this] { return pcMain_->currentWidget() == layout_; };
    } else if (name == "Неделя") {
      page = week_ = new WeekPage(*this, pcMain_);
      week_->isShown = [this] { return pcMain_->currentWidget() == week_; };
    } else if (name == "Ставки") {
      page = stakes_ = new StakesPage(*frame_, pcMain_);
      stakes_->runDialog = [this](QDialog& d) { return RunDialog(d); };
      stakes_->SetSources(*combs_, *this);
    } else if (name == "Рейтинг") {
      page = ratings_ = new RatingsPage(*frame_, pcMain_);
      ratings_->SetContext(*this);
      ratings_->runDialog = [this](QDialog& d) { return RunDialog(d); };
      ratings_->chooseFile = [this](const FileFilter& filter) { return ChooseSaveFile(filter); };
    } else if (name == "Регуляры") {
      page = regulars_ = new RegularsPage(*frame_, *this, *combs_, *stakes_, pcMain_);
    } else if (name == "Системы") {
      page = systems_ = new SystemsPage(*frame_, *this, pcMain_);
    } else if (name == "Сценарий") {
      page = script_ = new ScenarioTab(*this, pcMain_);
    } else {
      page = new QWidget(pcMain_);
      auto* pl = new QVBoxLayout(page);
      auto* note = new QLabel(Tr("Эта страница появится в следующей версии программы."), page);
      note->setAlignment(Qt::AlignCenter);
      note->setEnabled(false);
      pl->addWidget(note);
    }
    pcMain_->addTab(page, Tr(title));
  }
  split_->addWidget(pcLists_);
  split_->addWidget(pcMain_);
  split_->setStretchFactor(1, 1);
  setCentralWidget(split_);

  // Each counter is as wide as the longest text it shows, so that a longer
  // count never runs into its neighbour; the progress text takes the rest
  // and is cut with "…" when it is longer.
  static const char* const kWidestPanels[] = {"Архив тиражей: 000000", "Следующий тираж: 000000", "00;00;00;00;00",
                                              "Комбинаций: 0000000",   "Ставок: 00000000",        "Рейтинг: 0000000"};
  for (size_t i = 0; i < panels_.size(); ++i) {
    panels_[i] = i == 6 ? new ElidedLabel(this) : new QLabel(this);
    panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panels_[i]->setMargin(1);
    if (i < 6) {
      const int frame = 2 * (panels_[i]->frameWidth() + panels_[i]->margin()) + 8;
      panels_[i]->setMinimumWidth(panels_[i]->fontMetrics().horizontalAdvance(QString::fromUtf8(kWidestPanels[i])) + frame);
    }
    statusBar()->addWidget(panels_[i], i == 6 ? 1 : 0);
  }
  progress_ = new QProgressBar(this);
  progress_->setMaximumWidth(160);
  progress_->setVisible(false);
  statusBar()->addPermanentWidget(progress_);
  // Room for both lists, a page's command row and the whole status bar.
  setMinimumSize(std::max(820, statusBar()->minimumSizeHint().width()), 560);

  connect(pcMain_, &QTabWidget::currentChanged, this, [this] { frame_->RefreshViews(false); });
  // With every stake gone the rating is rebuilt, after its own question.
  connect(stakes_, &StakesPage::Cleared, this, [this] {
    ratings_->RatingsRefresh();
    ratings_->RefreshView();
  });
  connect(draws_, &DrawsPage::Downloaded, this, [this] { stakes_->RefreshView(true, false); });
  // The card's draw column is as wide as the draws list's.
  connect(DrawsView()->horizontalHeader(), &QHeaderView::sectionResized, card_, [this](int column, int, int width) {
    if (column == 0) card_->SetDrawColumnWidth(width);
  });
}

void MainWindow::BuildActions() {
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
    commands_->AddAction(info.name, a);
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
  const auto& actions = commands_->Actions();
  auto it = actions.find(name);
  return it == actions.end() ? nullptr : it->second;
}

bool MainWindow::Trigger(const std::string& name) {
  UpdateActions();
  QAction* a = Action(name);
  if (!a || !a->isEnabled()) return false;
  a->trigger();
  return true;
}

void MainWindow::UpdateActions() {
  commands_->UpdateEnabled();
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
  check("ViewWeekChartMode", s.WeekChartMode == 1);
  check("ViewWeekChartType", s.WeekChartType);
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
  // The number systems show their menu once they exist; the tab and the
  // system game follow SystemsEnabled.
  const bool systems = frame_->Systems() != nullptr;
  if (auto it = topMenus_.find("Системы"); it != topMenus_.end()) it->second->menuAction()->setVisible(systems);
  for (const char* name : {"SystemStakeFilter", "SystemStakeAll"})
    if (QAction* a = Action(name)) a->setVisible(systems && s.SystemsEnabled);
  // Tabs follow their settings.
  const bool tabs[] = {true, s.TabGraphs, s.TabCard, s.TabLayout, s.TabWeek, true, true, s.TabTables,
                       systems && s.SystemsEnabled, true};
  for (int i = 0; i < pcMain_->count() && i < 10; ++i) pcMain_->setTabVisible(i, tabs[i]);
}

void MainWindow::BindCommands() {
  programCommands_ = std::make_unique<ProgramCommands>(*this);
  systemGame_ = std::make_unique<SystemGameCommands>(*this, *stakes_);
  // In the views' refresh order: their BindCommands add them to the frame.
  CommandOwner* owners[] = {programCommands_.get(), draws_, combs_, stats_, graphs_, card_, layout_, week_,
                            stakes_, systemGame_.get(), ratings_, regulars_, systems_, script_};
  for (CommandOwner* owner : owners) owner->BindCommands(*commands_);
  for (QTableView* list : {stakes_->Table(), ratings_->Table()})
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateActions(); });
}

void MainWindow::FillMethodLists(bool keepSelection) {
  stats_->FillMethods(keepSelection);
  graphs_->FillMethods();
  UpdateActions();
}

bool MainWindow::RunDialog(QDialog& dialog) { return desktop_->RunDialog(dialog); }

bool MainWindow::Create() {
  if (frame_->FormCreate() == TTemplateMain::Start::Terminate) return false;
  setWindowTitle(Tr(frame_->Caption()));
  FillMethodLists(false);
  RestoreState();
  combs_->ExcludeField()->setValue(frame_->Settings().DrawsExclude);
  UpdateActions();
  // After the tabs follow their settings: a hidden page is not made current.
  RestorePages();
  return true;
}

bool MainWindow::Initialise() {
  if (frame_->Initialise() == TTemplateMain::Start::Terminate) return false;
  stakes_->RefreshView(true, false);
  if (px::Ratings* store = frame_->RatingsStore()) {
    store->SetSortOrder(ratingSort_);
    store->Sort();
  }
  ratings_->SetScenario(frame_->ScenarioStore());
  ratings_->RefreshView();
  regulars_->RefreshView();
  // With the tab on, the catalogue is asked at every start.
  if (systems_->Shown()) systems_->Refresh();
  if (Scenario* scenario = frame_->ScenarioStore()) {
    ScenarioPage* page = script_->Attach(*scenario, [this] { return stats_->MethodList()->currentIndex(); });
    page->Table()->addAction(Action("ScriptDel"));
    frame_->Guard([&] { RestoreColumns(*page->Table(), frame_->SettingsStore().Read(), MainSettings::kSection); });
    connect(ratings_, &RatingsPage::ScenarioLinesAdded, this, [this] {
      script_->Page()->Refresh();
      pcMain_->setCurrentWidget(script_);
    });
  }
  draws_->Reload();
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

void MainWindow::RestoreState() {
  try {
    const IniFile ini = frame_->SettingsStore().Read();
    const std::string section = MainSettings::kSection;
    RestorePlacement(*this, ini, section, QRect(100, 100, 1200, 750));
    const MainSettings& s = frame_->Settings();
    // Without a width of their own, the lists on the left get what their columns need.
    int left = s.LeftPanelWidth;
    if (!ini.HasKey(section, "LeftPanelWidth"))
      for (QTableView* list : {DrawsView(), CombsView(), FiltersView()}) {
        FitColumns(*list);
        // The pages' margins and the tabs' frame.
        left = std::max(left, NeededWidth(*list) + 16);
      }
    split_->setSizes({left, std::max(width() - left, 100)});
    combs_->Splitter()->setSizes({std::max(height() - s.FiltersHeight, 100), s.FiltersHeight});
    stats_->Splitter()->setSizes({std::max(height() - s.DrawsStatHeight, 100), s.DrawsStatHeight});
    stats_->LengthField()->setValue(s.DrawsStatLen);
    stats_->ShowComparisonColumns(s.PrefetchsEnabled);
    graphs_->ReadSettings();
    layout_->ReadSettings(height());
    week_->ReadSettings();
    // The sort orders: "column,direction" with 1 for descending.
    if (auto sort = ReadSortType(ini, section, "lvRatings"); sort && sort->column >= 0 && sort->column < kRatingColumns)
      ratingSort_ = RatingSort{sort->column, sort->direction != 0};
    if (auto sort = ReadSortType(ini, section, "lvDrawsStat"); sort && sort->column >= 0 && sort->column < kStatColumns)
      stats_->Table()->sortByColumn(sort->column, sort->direction != 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (auto sort = ReadSortType(ini, section, "lvSystems")) systems_->SetSort(sort->column, sort->direction == 0);
    for (QTableView* v : Lists()) {
      FitColumns(*v);
      RestoreColumns(*v, ini, section);
    }
    // Hidden comparison columns keep the width they are shown with.
    stats_->ShowComparisonColumns(s.PrefetchsEnabled);
    card_->SetDrawColumnWidth(DrawsView()->columnWidth(0));
  } catch (const std::exception& e) {
    ShowError(OperationError("Ошибка загрузки параметров программы!", e.what()).what());
  }
}

void MainWindow::RestorePages() {
  frame_->Guard([&] {
    const PageState p = ReadPageState(frame_->SettingsStore().Read(), MainSettings::kSection);
    if (!p.statMethod.empty()) stats_->SelectMethod(p.statMethod);
    if (!p.graphMethod.empty()) graphs_->SelectMethod(p.graphMethod);
    if (p.mainPage >= 0 && p.mainPage < pcMain_->count() && pcMain_->isTabVisible(p.mainPage))
      pcMain_->setCurrentIndex(p.mainPage);
    if (p.listsPage >= 0 && p.listsPage < pcLists_->count()) pcLists_->setCurrentIndex(p.listsPage);
  });
}

PageState MainWindow::CurrentPages() const {
  const TStatList& registry = frame_->Registry();
  auto code = [&](int method) { return method >= 0 ? registry.CodeOf(method) : std::string(); };
  return PageState{code(stats_->SelectedMethod()), code(graphs_->SelectedMethod()), pcMain_->currentIndex(),
                   pcLists_->currentIndex()};
}

std::vector<QTableView*> MainWindow::Lists() const {
  std::vector<QTableView*> lists = {DrawsView(),       CombsView(),        FiltersView(),       stats_->Table(),
                                    ratings_->Table(), stakes_->Table(), regulars_->Table(), systems_->Table()};
  if (Script()) lists.push_back(Script()->Table());
  return lists;
}

void MainWindow::SaveState() {
  MainSettings& s = frame_->Settings();
  s.LeftPanelWidth = split_->sizes().value(0, s.LeftPanelWidth);
  s.FiltersHeight = combs_->Splitter()->sizes().value(1, s.FiltersHeight);
  s.DrawsStatHeight = stats_->Splitter()->sizes().value(1, s.DrawsStatHeight);
  s.DrawsStatLen = stats_->LengthField()->value();
  s.DrawsExclude = ExcludeField()->value();
  layout_->WriteSettings();
  week_->StoreSettings();
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
      WriteSortType(ini, section, "lvSystems", SortType{systems_->SortColumn(), systems_->SortAscending() ? 0 : 1});
      for (QTableView* v : Lists()) SaveColumns(*v, ini, section);
      WritePageState(ini, section, CurrentPages());
    });
  });
}

bool MainWindow::event(QEvent* event) {
  // A hint goes to the progress panel, as a command's does, instead of a
  // status bar message that would hide the counters.
  if (event->type() == QEvent::StatusTip) {
    if (frame_->IsIdle()) panels_[6]->setText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (script_->HoldClose()) {
    event->ignore();
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

void MainWindow::ShowError(const std::string& text) { desktop_->Box(this, "error", "Ошибка", text); }
void MainWindow::ShowInfo(const std::string& text) { desktop_->Box(this, "info", "Информация", text); }
void MainWindow::ShowWarning(const std::string& text) { desktop_->Box(this, "warning", "Внимание!", text); }
void MainWindow::ShowWarningAs(const std::string& caption, const std::string& text) {
  desktop_->Box(this, "warning", caption, text);
}

bool MainWindow::AskYesNo(const std::string& text) { return AskYesNoAs("Подтверждение", text); }

bool MainWindow::AskYesNoAs(const std::string& caption, const std::string& text) {
  return desktop_->Box(this, "question", caption, text);
}

bool MainWindow::StopRequested() { return script_->StopRequested(); }

void MainWindow::ProcessEvents() {
  // A run takes the person's input too, or "Стоп" and its key could not
  // reach it; everything else is disabled while it runs.
  if (frame_->ScenarioRunning()) {
    // A run updates its status thousands of times a second; painting the
    // window as often cost more than the run. A pump every 50 ms still shows
    // every count as it grows and lets "Стоп" in at once.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastRunPump_ < std::chrono::milliseconds(50)) return;
    lastRunPump_ = now;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return;
  }
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
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
  waitText_->setText(Q(PlainText(text)));
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
      if (draws_) draws_->Reload();
      break;
    case View::CombsList:
      if (combs_) combs_->Model()->Reload();
      break;
    case View::FiltersList:
      if (combs_) combs_->Filters()->Reload();
      break;
    case View::Caption:
      if (frame_) setWindowTitle(Tr(frame_->Caption()));
      break;
  }
}

std::optional<std::string> MainWindow::ChooseOpenFile(const FileFilter& filter) {
  return desktop_->ChooseFile(this, false, filter, Q(frame_->DataDir()));
}

std::optional<std::string> MainWindow::ChooseSaveFile(const FileFilter& filter) {
  return desktop_->ChooseFile(this, true, filter, Q(frame_->DataDir()));
}

}  // namespace px::ui
