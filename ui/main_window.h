// The main window: the host of the frame. It turns the frame's state into
// widgets and the person's gestures into the frame's commands; it holds no
// lottery logic of its own.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/host.h"
#include "frame/frame.h"
#include "stats/custom_stat.h"

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

class DrawsModel;
class StatsPage;
class GraphsPage;
class StakesPage;
class RatingsPage;
class ScenarioPage;
class CombsModel;
class FiltersModel;
class RunView;

class MainWindow final : public QMainWindow, public Host {
  Q_OBJECT
 public:
  MainWindow(Env& env, const std::string& dataDir, const std::string& programPath, const std::vector<std::string>& args);
  ~MainWindow() override;

  // Start-up: window creation now, the initialisation once the window shows.
  // False when the program must end without showing the window.
  bool Create();
  bool Initialise();

  TFormMain& Frame() { return *frame_; }
  QAction* Action(const std::string& name) const;
  // Runs a command as its menu item does, when it is enabled.
  bool Trigger(const std::string& name);
  void UpdateActions();

  QTableView* DrawsView() const { return drawsView_; }
  QTableView* CombsView() const { return combsView_; }
  QTableView* FiltersView() const { return filtersView_; }
  QSpinBox* OffsetField() const { return offset_; }
  QSpinBox* ExcludeField() const { return exclude_; }
  QLabel* Panel(int i) const { return panels_[size_t(i)]; }
  QTabWidget* MainPages() const { return pcMain_; }
  QTabWidget* ListPages() const { return pcLists_; }
  StatsPage* Stats() const { return stats_; }
  GraphsPage* Graphs() const { return graphs_; }
  StakesPage* Stakes() const { return stakes_; }
  RatingsPage* Ratings() const { return ratings_; }
  ScenarioPage* Script() const { return script_; }

  // Tests answer dialogs and boxes here instead of a person: a message box
  // gets (kind, caption, text) and returns the answer; a dialog gets the dialog before
  // it runs and returns whether it is accepted.
  std::function<bool(const QString& kind, const QString& caption, const QString& text)> messageHook;
  std::function<bool(QDialog& dialog)> dialogHook;
  std::function<std::optional<std::string>(bool save)> fileHook;
  std::string clipboardText;  // what tests paste and read when the hook is set
  // The last scenario run: its outcome and the log it opened (under tests
  // the log is only named here).
  RunResult lastRun;
  std::string lastOpenedLog;

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
  bool StopRequested() override { return stopPending_; }
  void CloseProgram() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A box with an OK button; icon is a QMessageBox::Icon.
  void ShowBox(int icon, const std::string& caption, const std::string& text);
  void BuildWidgets();
  void BuildActions();
  void BuildMenu();
  void BindCommands();
  void RestoreState();
  void SaveState();
  // The lists whose columns the window-state store keeps.
  std::vector<QTableView*> Lists() const;
  bool RunDialog(QDialog& dialog);
  std::vector<int> SelectedRows(QTableView* view) const;
  QString Tr(const std::string& russian) const;
  // A command is enabled only while the frame is idle, unless idleOnly is
  // false (a command that acts on the busy state itself).
  void Command(const std::string& name, std::function<void()> run, std::function<bool()> enabled,
               bool idleOnly = true);
  void Toggle(const std::string& action, bool MainSettings::*flag, const char* key, std::function<void()> after);

  // Commands that need the window.
  void ShowFirstRun();
  void DrawsAddOrEdit(bool edit);
  void DrawsDelete();
  void DrawsInfo();
  void CombsCopy();
  void CombsPaste();
  void StatFilter(FilterMode mode);
  void FillMethodLists(bool keepSelection);
  void RunScenario(int testCount);
  // The "Стоп" question; true when the person agreed and the stop was asked for.
  bool AskStop();

  std::unique_ptr<TFormMain> frame_;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, std::function<bool()>> enabled_;
  QTabWidget* pcLists_ = nullptr;
  QTabWidget* pcMain_ = nullptr;
  QSplitter* split_ = nullptr;
  QSplitter* combsSplit_ = nullptr;
  QTableView* drawsView_ = nullptr;
  QTableView* combsView_ = nullptr;
  QTableView* filtersView_ = nullptr;
  QSpinBox* offset_ = nullptr;
  QSpinBox* exclude_ = nullptr;
  std::array<QLabel*, 7> panels_{};
  QProgressBar* progress_ = nullptr;
  QDialog* wait_ = nullptr;
  QLabel* waitText_ = nullptr;
  DrawsModel* drawsModel_ = nullptr;
  CombsModel* combsModel_ = nullptr;
  FiltersModel* filtersModel_ = nullptr;
  StatsPage* stats_ = nullptr;
  GraphsPage* graphs_ = nullptr;
  StakesPage* stakes_ = nullptr;
  RatingsPage* ratings_ = nullptr;
  ScenarioPage* script_ = nullptr;
  QWidget* scriptHolder_ = nullptr;
  bool closing_ = false;
  std::unique_ptr<RunView> runView_;
  bool askingStop_ = false;
  // "Стоп" was agreed to; the runner also reads it before its first step.
  bool stopPending_ = false;
  // A close came during a run: the window closes once the run returns.
  bool closeAfterRun_ = false;
  std::vector<QAction*> languageActions_;
  std::map<std::string, QMenu*> topMenus_;
  RatingSort ratingSort_;
};

}  // namespace px::ui
