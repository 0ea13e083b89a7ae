// The page "Статистика": one method over a window of recent draws as a table
// of values with a chart of their counts under it.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <array>

#include "stats/filter.h"
#include "stats/stat_table.h"
#include "ui/commands.h"

class QAction;
class QComboBox;
class QSpinBox;
class QSplitter;
class QTableView;
class QToolButton;
class QChart;
class QChartView;

namespace px {
class TTemplateMain;
}

namespace px::ui {

// The rows of the engine's table, sorted as the header says.
class StatTableModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;
  void SetTable(StatTable table);
  void Clear();
  const StatTable& Table() const { return table_; }

 private:
  StatTable table_;
  std::array<QString, kStatColumns> widest_;
  int sortColumn_ = kColCount;
  bool descending_ = false;
};

class PageContext;
class CombsPage;

class StatsPage final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  // calc is the window's "Обновить" command.
  StatsPage(TTemplateMain& frame, QAction* calc, QWidget* parent = nullptr);

  // The commands of the page and of its favourites; the filters work on
  // the list of the combinations page.
  void SetContext(PageContext& context) { context_ = &context; }
  void BindCommands(CommandBinder& commands) override;

  // Recomputes when forced or when the archive size, offset, window length
  // or method changed since the last computation.
  void Compute(bool force);
  // Refills the method list, keeping the selected position when it still exists.
  void FillMethods(bool keepSelection);
  // Shows the three full-set columns, or hides them.
  void ShowComparisonColumns(bool show);
  // The registry position of the selected method, or -1.
  int SelectedMethod() const;
  bool SelectMethod(const std::string& code);
  // After a scenario run: the method (registry position) and window it used
  // last, shown at the next computation. Nothing when the list lacks it.
  void ShowMethod(int method, int length);
  Selection SelectedValues() const;
  std::vector<int> SelectedRows() const;
  // The caption of the selected method as the list shows it.
  std::string SelectedCaption() const;
  int Computations() const { return computations_; }

  QComboBox* MethodList() const { return methods_; }
  QSpinBox* LengthField() const { return length_; }
  QTableView* Table() const { return view_; }
  StatTableModel* Model() const { return model_; }
  QChart* Chart() const { return chart_; }
  QSplitter* Splitter() const { return split_; }
  QToolButton* FilterButton(int i) const { return filterButtons_[size_t(i)]; }

 signals:
  void SelectionChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DrawChart(const StatTable& table);

  // Keeps or removes the selected values (StatFilter_Include/_Exclude).
  void Filter(bool keep);

  TTemplateMain& f_;
  PageContext* context_ = nullptr;
  QComboBox* methods_;
  QSpinBox* length_;
  QTableView* view_;
  StatTableModel* model_;
  QChart* chart_;
  QChartView* chartView_;
  // "Оставить выделенные", "Удалить выделенные".
  std::array<QToolButton*, 2> filterButtons_{};
  QSplitter* split_;
  StatTableInputs last_;
  int computations_ = 0;
};

}  // namespace px::ui
