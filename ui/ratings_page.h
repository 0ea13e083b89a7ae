// The page "Рейтинг": a virtual list over the rating entries and the commands
// that rebuild, export, draw and turn entries back into scenario lines. The
// window owns the actions, menus and the spreadsheet file chooser; it calls
// the functions below and asks the enabling queries (none of which looks at
// the busy counter: the window adds that).
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/host.h"
#include "ui/commands.h"

class QAction;
class QDialog;
class QTableView;
class QToolButton;

namespace px {
class Ratings;
class Scenario;
class TTemplateMain;
}  // namespace px

namespace px::ui {

class PageContext;

// One row per entry in the rating's current order; the efficiency columns
// follow the RatingsEffMode setting at every paint.
class RatingsModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit RatingsModel(TTemplateMain& frame, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The entries changed in number or order.
  void Reload();
  // Only the texts changed (the efficiency mode).
  void Repaint();

 private:
  TTemplateMain& frame_;
};

class RatingsPage final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  static constexpr std::array<int, 18> kColumnWidths = {200, 60, 60, 60, 80, 80, 30, 30, 30,
                                                        30,  30, 30, 70, 70, 70, 70, 70, 70};

  explicit RatingsPage(TTemplateMain& frame, QWidget* parent = nullptr);
  ~RatingsPage() override;

  // Graph windows run through here; the default is exec().
  std::function<bool(QDialog&)> runDialog;
  // The CSV target of RatingsExport; unset, the host's save dialog is asked.
  std::function<std::optional<std::string>(const FileFilter&)> chooseFile;
  // The window the page's context menu runs through.
  void SetContext(PageContext& context) { context_ = &context; }
  // The scenario RatingsToScript appends to; null disables the command.
  void SetScenario(px::Scenario* scenario) { scenario_ = scenario; }

  // The rows after the ratings changed; also hooks the ratings' view
  // notifications when they were created after the page.
  void RefreshView();

  // Selected rows, 0-based, ascending (the view's order).
  std::vector<int> SelectedRows() const;
  std::vector<std::string> SelectedComments() const;

  // Enabling: the stakes file is open / entries exist / rows are selected /
  // the stakes file has records and rows are selected.
  bool CanRefresh() const;
  bool HasEntries() const;
  bool HasSelection() const;
  bool CanGraphStakes() const;
  // The scenario is set and rows are selected.
  bool CanAddToScript() const;

  int EffMode() const;
  // RatingsEffMode0..2: stores the mode and repaints; other values are ignored.
  void SetEffMode(int mode);

  // A click on a column title: the same column again flips the direction,
  // another one starts ascending. Sorts and saves the rating.
  void SortBy(int column);

  // The window hands the buttons their commands: "Пересчитать рейтинг по
  // текущим данным", "Добавить в сценарий", "Экспорт в Excel", "График
  // совпадений ставок", "График профита ставок", "Количество совпадений".
  void BindButtons(const std::array<QAction*, 6>& actions);
  void BindCommands(CommandBinder& commands) override;
  QToolButton* Button(int i) const { return buttons_[size_t(i)]; }

  QTableView* Table() const { return view_; }
  RatingsModel* Model() const { return model_; }

 public slots:
  // RatingsRefresh: false when declined or failed.
  bool RatingsRefresh();
  // RatingsExport: false when cancelled or failed.
  bool RatingsExport();
  // RatingsXlsExport: the list as shown, titled "Рейтинг".
  bool RatingsXlsExport(const std::string& path);
  void RatingsGraphOverlap();
  void StakesGraphOverlap();
  void StakesGraphProfits();
  // Returns how many lines were added.
  int RatingsToScript();

 signals:
  // Lines were appended to the scenario: the window shows its tab.
  void ScenarioLinesAdded(int count);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  Ratings* Store() const;
  void Attach();
  void ApplySort(int column, bool descending);
  void ShowSortIndicator();
  void StakesGraph(bool profits);
  bool Run(QDialog& dialog);

  TTemplateMain& frame_;
  RatingsModel* model_;
  QTableView* view_;
  std::array<QToolButton*, 6> buttons_{};
  px::Scenario* scenario_ = nullptr;
  PageContext* context_ = nullptr;
  Ratings* attached_ = nullptr;
  std::function<void()> previousOnViewChanged_;
};

}  // namespace px::ui
