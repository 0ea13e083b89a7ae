// The page "Графики": one graph method over a window of recent draws as a
// line, with the window's average and most frequent value beside it.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "ui/commands.h"
#include "ui/method_selector.h"
#include "views/graphs.h"

class QAction;
class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QLineSeries;
class QSpinBox;

namespace px {
class TTemplateMain;
}

namespace px::ui {

class ChartAxes;
class ZoomChartView;

class GraphsPage final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  // draw is the window's "Обновить" command (DrawsGraphDraw): the page shows
  // it as a button and in the chart's menu, and a new list selection
  // recomputes only while it is enabled.
  GraphsPage(TTemplateMain& frame, QAction* draw, QWidget* parent = nullptr);
  ~GraphsPage() override;

  // "Обновить" and the page's place among the views.
  void BindCommands(CommandBinder& commands) override;

  // Recomputes when forced or when the archive size, offset, window length or
  // list position changed; never while the page is hidden.
  void DrawGraphs(bool forced);
  // Refills the list with the graph methods, keeping the selected position
  // when it still exists.
  void FillMethods();
  // The window length from the frame's settings (they are read after the
  // page is built).
  void ReadSettings();

  // Whether the page counts as shown; unset: the widget's own visibility.
  std::function<bool()> isShown;

  // The registry position of the selected method, or -1.
  int SelectedMethod() const;
  // Selects the method of that code; false when the list lacks it.
  bool SelectMethod(const std::string& code);
  int Computations() const { return computations_; }
  const GraphInputs& LastInputs() const { return last_; }
  MethodSelector* MethodList() const { return methods_; }
  QSpinBox* LengthField() const { return length_; }
  QCheckBox* ShowMarksBox() const { return showMarks_; }
  QChart* Chart() const { return chart_; }
  ZoomChartView* ChartView() const { return chartView_; }
  // The value line, or null while none is drawn.
  QLineSeries* ValueSeries() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ClearChart();

  TTemplateMain& f_;
  QAction* draw_;
  MethodSelector* methods_;
  QSpinBox* length_;
  QCheckBox* showMarks_;
  QChart* chart_;
  ZoomChartView* chartView_;
  std::unique_ptr<ChartAxes> axes_;
  GraphInputs last_;
  int computations_ = 0;
};

}  // namespace px::ui
