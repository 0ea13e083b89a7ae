// The main window: the host of the frame. It assembles the pages, the
// menus and the status bar, and routes the frame's refreshes to the pages;
// each page binds its own commands. It holds no lottery logic of its own.
#pragma once

#include <chrono>

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/host.h"
#include "frame/frame.h"
#include "ui/commands.h"
#include "ui/page_context.h"

class QAction;
class QLabel;
class QProgressBar;
class QSpinBox;
class QSplitter;
class QTabWidget;
class QMenu;
class QTableView;
class QTimer;

namespace px::ui {

class CardPage;
class CombsPage;
class Desktop;
class DrawsPage;
class GraphsPage;
class LayoutPage;
class ProgramCommands;
class RatingsPage;
class RegularsPage;
class SystemsPage;
class RunView;
class ScenarioPage;
class ScenarioTab;
class StakesPage;
class StatsPage;
class SystemGameCommands;
class WeekPage;
struct PageState;

class MainWindow final : public QMainWindow, public Host, public PageContext {
  Q_OBJECT
 public:
  MainWindow(Env& env, const std::string& dataDir, const std::string& programPath, const std::vector<std::string>& args);
  ~MainWindow() override;

  // Start-up: window creation now, the initialisation once the window shows.
  // False when the program must end without showing the window.
  bool Create();
  bool Initialise();

  // Boxes, dialogs, files and the clipboard go through the desktop; tests
  // put a scripted one here before Create().
  void SetDesktop(std::unique_ptr<Desktop> desktop);

  QAction* Action(const std::string& name) const;
  // Every command of the table that a page or the window has bound.
  const CommandBinder& Commands() const { return *commands_; }

  DrawsPage* Draws() const { return draws_; }
  CombsPage* Combs() const { return combs_; }
  QTableView* DrawsView() const;
  QTableView* CombsView() const;
  QTableView* FiltersView() const;
  QSpinBox* OffsetField() const;
  QSpinBox* ExcludeField() const;
  QLabel* Panel(int i) const { return panels_[size_t(i)]; }
  QTabWidget* MainPages() const { return pcMain_; }
  QTabWidget* ListPages() const { return pcLists_; }
  StatsPage* Stats() const { return stats_; }
  GraphsPage* Graphs() const { return graphs_; }
  CardPage* Card() const { return card_; }
  WeekPage* Week() const { return week_; }
  LayoutPage* Layout() const { return layout_; }
  StakesPage* Stakes() const { return stakes_; }
  RatingsPage* Ratings() const { return ratings_; }
  RegularsPage* Regulars() const { return regulars_; }
  // The tab "Системы".
  SystemsPage* SystemsTab() const { return systems_; }
  ScenarioPage* Script() const;
  // How the last scenario run ended.
  const RunResult& LastRun() const;
  // Refills the method lists of the statistics and graphs pages.
  void FillMethodLists(bool keepSelection) override;

  // PageContext
  TFormMain& Frame() override { return *frame_; }
  Host& GetHost() override { return *this; }
  Desktop& GetDesktop() override { return *desktop_; }
  QString Tr(const std::string& russian) const override;
  bool RunDialog(QDialog& dialog) override;
  void UpdateActions() override;
  bool Trigger(const std::string& name) override;

  // Host
  void SetStatusText(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowInfo(const std::string& text) override;
  void ShowWarning(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  bool AskYesNoAs(const std::string& caption, const std::string& text) override;
  void ShowWarningAs(const std::string& caption, const std::string& text) override;
  void ProcessEvents() override;
  void SetProgress(int position, int max) override;
  void SetStatusPanel(int panel, const std::string& text) override;
  void SetBusyCursor(bool busy) override;
  void SetWaitText(const std::string& text) override;
  void Refresh(View view) override;
  std::optional<std::string> ChooseOpenFile(const FileFilter& filter) override;
  std::optional<std::string> ChooseSaveFile(const FileFilter& filter) override;
  // The one way a stop reaches a run: "Стоп" agreed to, or a close during it.
  bool StopRequested() override;
  void CloseProgram() override;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildActions();
  void BuildWidgets();
  void BuildMenu();
  void BindCommands();
  void RestoreState();
  // The selected methods and the active pages of the last run.
  void RestorePages();
  PageState CurrentPages() const;
  void SaveState();
  // The lists whose columns the window-state store keeps.
  std::vector<QTableView*> Lists() const;
  void ShowFirstRun();

  std::unique_ptr<TFormMain> frame_;
  std::unique_ptr<Desktop> desktop_;
  std::unique_ptr<CommandBinder> commands_;
  std::unique_ptr<ProgramCommands> programCommands_;
  std::unique_ptr<SystemGameCommands> systemGame_;
  QTabWidget* pcLists_ = nullptr;
  QTabWidget* pcMain_ = nullptr;
  QSplitter* split_ = nullptr;
  std::array<QLabel*, 7> panels_{};
  QProgressBar* progress_ = nullptr;
  QDialog* wait_ = nullptr;
  QLabel* waitText_ = nullptr;
  DrawsPage* draws_ = nullptr;
  CombsPage* combs_ = nullptr;
  StatsPage* stats_ = nullptr;
  GraphsPage* graphs_ = nullptr;
  CardPage* card_ = nullptr;
  WeekPage* week_ = nullptr;
  LayoutPage* layout_ = nullptr;
  StakesPage* stakes_ = nullptr;
  RatingsPage* ratings_ = nullptr;
  RegularsPage* regulars_ = nullptr;
  ScenarioTab* script_ = nullptr;
  SystemsPage* systems_ = nullptr;
  bool closing_ = false;
  std::chrono::steady_clock::time_point lastRunPump_{};
  std::unique_ptr<RunView> runView_;
  std::vector<QAction*> languageActions_;
  std::map<std::string, QMenu*> topMenus_;
  RatingSort ratingSort_;
};

}  // namespace px::ui
