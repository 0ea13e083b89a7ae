// The page "Неделя": over a window of recent draws, how often each number
// fell on each day of the week, shaded white to red, and a chart of one
// number across the week or of one day across the numbers. Selected columns
// keep or remove the combinations with their numbers.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

#include "stats/custom_stat.h"
#include "ui/commands.h"
#include "views/week.h"

class QChart;
class QChartView;
class QSpinBox;
class QSplitter;
class QTableView;
class QToolButton;

namespace px {
class TTemplateMain;
}

namespace px::ui {

class PageContext;

// The short day names of the interface language, Monday first.
QStringList WeekdayNames(int32_t lcid);

// The counts grid: seven weekday rows, the day names in column 0 and the
// numbers 1..36 after it; the header row is the view's header.
class WeekModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit WeekModel(QObject* parent = nullptr);
  void SetDayNames(QStringList names);
  void SetCounts(const WeekCounts& counts);
  const WeekCounts& Counts() const { return counts_; }
  const QStringList& DayNames() const { return days_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  WeekCounts counts_;
  QStringList days_;
};

class WeekPage final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  WeekPage(PageContext& context, QWidget* parent = nullptr);

  void BindCommands(CommandBinder& commands) override;

  // Day names and headers in the interface language.
  void SetUpGrid();
  // Recomputes when forced or when the archive, the offset, the window
  // length or the window's draws changed; never while the page is hidden.
  // The chart follows for the current cell.
  void BuildWeek(bool forced);
  // The chart of grid cell (column, row): row 1..7 the weekdays, 0 the
  // header row; column 0 the day names, 1..36 the numbers.
  void DrawWeekChart(int column, int row);
  // The current cell in those grid coordinates.
  std::pair<int, int> CurrentCell() const;
  // The window length, the day names and the chart height from the frame's
  // settings, and back into them before they are written. The height is
  // applied once the page knows its own (at its first showing).
  void ReadSettings();
  void StoreSettings();

  // Whether the page counts as shown; unset: the widget's own visibility.
  std::function<bool()> isShown;

  QTableView* View() const { return view_; }
  WeekModel* Model() const { return model_; }
  QSpinBox* LengthField() const { return length_; }
  QChart* Chart() const { return chart_; }
  QChartView* ChartView() const { return chartView_; }
  QSplitter* Splitter() const { return split_; }
  int Computations() const { return computations_; }
  const WeekInputs& LastInputs() const { return last_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Filter(FilterMode mode);
  void RedrawChart();
  void ApplyChartHeight();
  bool TabShown() const;

  PageContext& context_;
  QSpinBox* length_;
  QTableView* view_;
  WeekModel* model_;
  QChart* chart_;
  QChartView* chartView_;
  QSplitter* split_;
  std::array<QToolButton*, 3> buttons_{};
  WeekInputs last_;
  int computations_ = 0;
  int pendingHeight_ = -1;  // the chart height still to apply
};

}  // namespace px::ui
