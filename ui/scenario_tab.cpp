#include "ui/scenario_tab.h"

#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "frame/frame.h"
#include "ui/command_bar.h"
#include "ui/context_menu.h"
#include "ui/page_context.h"
#include "ui/scenario_page.h"
#include "ui/scenario_run.h"

namespace px::ui {

namespace {
// The buttons of the tab, in this order, and the commands they run.
constexpr std::array<const char*, ScenarioTab::kButtons> kButtonCommands = {
    "ScriptRun", "ScriptTest", "ScriptStop", "ScriptAdd", "ScriptEdit", "ScriptClone", "ScriptEmpty", "ScriptDel",
    "ScriptUp", "ScriptDown"};
}  // namespace

ScenarioTab::ScenarioTab(PageContext& context, QWidget* parent) : QWidget(parent), context_(context) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  // The runs first: a narrow window folds the last buttons away, and the
  // line commands are in the list's own menu as well.
  QToolBar* bar = MakeCommandBar(this,
                                 {"Прогноз", "Тест", "Стоп", "|", "Добавить фильтры", "Изменить", "Клонировать",
                                  "Добавить разделитель", "Удалить", "Переместить вверх", "Переместить вниз"},
                                 buttons_);
  bar->setObjectName("ScriptCommands");
  layout->addWidget(bar);
}

ScenarioPage* ScenarioTab::Attach(Scenario& scenario, std::function<int()> selectedMethod) {
  page_ = new ScenarioPage(context_.Frame(), scenario, this);
  page_->runDialog = [this](QDialog& d) { return context_.RunDialog(d); };
  page_->chooseFile = [this](bool save) {
    const FileFilter filter{"Файлы сценариев (*.lsc)|*.lsc", "lsc"};
    Host& host = context_.GetHost();
    return save ? host.ChooseSaveFile(filter) : host.ChooseOpenFile(filter);
  };
  page_->selectedMethod = std::move(selectedMethod);
  layout()->addWidget(page_);
  if (commands_) SetContextMenu(*page_->Table(), context_, *commands_, {}, "Сценарий");
  connect(page_->Table()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { context_.UpdateActions(); });
  return page_;
}

void ScenarioTab::BindCommands(CommandBinder& c) {
  // The page exists after the initialisation; until then its commands are off.
  auto page = [this](void (ScenarioPage::*run)()) {
    return [this, run] {
      if (page_) (page_->*run)();
    };
  };
  auto pageIf = [this](bool (ScenarioPage::*test)() const) {
    return [this, test] { return page_ && (!test || (page_->*test)()); };
  };
  c.Bind("ScriptAdd", page(&ScenarioPage::Add), pageIf(nullptr));
  c.Bind("ScriptEmpty", page(&ScenarioPage::AddEmpty), pageIf(&ScenarioPage::HasLines));
  c.Bind("ScriptLoad", page(&ScenarioPage::Append), pageIf(nullptr));
  c.Bind("ScriptOpen", page(&ScenarioPage::Open), pageIf(nullptr));
  c.Bind("ScriptSave", page(&ScenarioPage::Save), pageIf(&ScenarioPage::HasLines));
  c.Bind("ScriptClone", page(&ScenarioPage::Clone), pageIf(&ScenarioPage::CanEdit));
  c.Bind("ScriptEdit", page(&ScenarioPage::Edit), pageIf(&ScenarioPage::CanEdit));
  c.Bind("ScriptDel", page(&ScenarioPage::Delete), pageIf(&ScenarioPage::HasSelection));
  c.Bind("ScriptClr", page(&ScenarioPage::Clear), pageIf(&ScenarioPage::HasLines));
  c.Bind("ScriptUp", page(&ScenarioPage::Up), pageIf(&ScenarioPage::CanMoveUp));
  c.Bind("ScriptDown", page(&ScenarioPage::Down), pageIf(&ScenarioPage::CanMoveDown));

  // Runs: the frame holds the busy counter for the whole run, so everything
  // else is disabled meanwhile; only "Стоп" acts on a running run.
  TFormMain& f = context_.Frame();
  auto canRun = [&f] { return f.CanRunScenario(); };
  auto notRunning = [&f] { return !f.ScenarioRunning(); };
  c.Bind("ScriptRun", [this] { Run(0); }, canRun);
  c.Bind("ScriptTest", [this, &f] {
    TestCountDialog dialog(f.Archive().Count() - 1, this);
    if (context_.RunDialog(dialog)) Run(dialog.Count());
  }, canRun);
  c.Bind("ScriptStop", [this] { AskStop(); },
         [this, &f] { return f.ScenarioRunning() && !f.ScenarioStopping() && !stopRequest_ && !askingStop_; },
         false);
  c.Bind("LogToggle", [&f] { f.ToggleScriptLog(); }, notRunning);
  c.Bind("LogsDelete", [&f] { f.DeleteScriptLogs(); }, notRunning);

  std::array<QAction*, kButtons> actions{};
  for (size_t i = 0; i < kButtons; ++i) actions[i] = c.Action(kButtonCommands[i]);
  BindCommandBar(buttons_, actions);
  commands_ = &c;
}

void ScenarioTab::Run(int testCount) {
  closeAfterRun_ = stopRequest_ = false;
  lastRun_ = context_.Frame().RunScenario(testCount);
  stopRequest_ = false;
  context_.UpdateActions();
  // The close that came during the run: the run is off the stack now.
  if (closeAfterRun_) QTimer::singleShot(0, window(), &QWidget::close);
}

bool ScenarioTab::AskStop() {
  TFormMain& f = context_.Frame();
  if (askingStop_ || !f.ScenarioRunning() || f.ScenarioStopping() || stopRequest_) return false;
  askingStop_ = true;
  context_.UpdateActions();
  const bool yes = context_.GetHost().AskYesNo("Остановить выполнение сценария?");
  askingStop_ = false;
  // The run takes it at its next check.
  if (yes) stopRequest_ = true;
  context_.UpdateActions();
  return yes;
}

bool ScenarioTab::HoldClose() {
  TFormMain& f = context_.Frame();
  if (!f.ScenarioRunning()) return false;
  // The run is on the call stack: the window may go only once it returns.
  if (f.ScenarioStopping() || stopRequest_ || AskStop()) closeAfterRun_ = true;
  return true;
}

}  // namespace px::ui
