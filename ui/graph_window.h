// "График": a small chart window that other views fill point by point, one
// line per title. Also the value axes the graph charts share.
#pragma once

#include <QColor>
#include <QDialog>
#include <QList>
#include <QPointF>
#include <memory>
#include <vector>

class QAbstractSeries;
class QChart;
class QChartView;
class QCheckBox;
class QLineSeries;
class QValueAxis;

namespace px {
class FormSettings;
}

namespace px::ui {

// An x and a y value axis that every line of a chart is attached to; the
// ranges cover the points included so far. x positions are whole numbers.
class ChartAxes {
 public:
  explicit ChartAxes(QChart* chart);
  void Attach(QAbstractSeries* series);
  void Include(double x, double y);
  // Sets the ranges to what was included.
  void Fit();
  // Forgets the points; the axes stay on the chart.
  void Reset() { any_ = false; }
  QValueAxis* X() const { return x_; }
  QValueAxis* Y() const { return y_; }

 private:
  QValueAxis* x_;
  QValueAxis* y_;
  bool any_ = false;
  double minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
};

// The value lines' points: 2 × 2 pixels with a magenta outline (at that size
// every pixel is outline).
void UseOutlinedPoints(QLineSeries* series);

class GraphWindow final : public QDialog {
  Q_OBJECT
 public:
  explicit GraphWindow(QWidget* parent = nullptr);
  // A window titled `title` that keeps its position and size in the store
  // (section "TFormGraph") from one showing to the next.
  GraphWindow(const QString& title, FormSettings& store, QWidget* parent = nullptr);
  ~GraphWindow() override;

  // Adds (x, y) to the line titled seriesTitle (any case), creating it with
  // the rest of the arguments the first time. An invalid or black colour
  // leaves the chart's own colour.
  void AddPoint(int x, const QString& seriesTitle, double y, bool showPointers, bool showMarks, QColor colour);
  // Removes every line, for a window that is filled again.
  void Clear();

  int SeriesCount() const;
  // The line of that title, any case; null when there is none.
  QLineSeries* Series(const QString& title) const;
  QList<QPointF> Points(const QString& title) const;
  bool LabelsVisible(const QString& title) const;
  QCheckBox* ShowMarksBox() const { return showMarks_; }
  QChart* Chart() const { return chart_; }
  QChartView* View() const { return view_; }

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void ShowMarksClicked(bool checked);
  FormSettings* store_ = nullptr;

  QCheckBox* showMarks_;
  QChart* chart_;
  QChartView* view_;
  std::unique_ptr<ChartAxes> axes_;
  std::vector<QLineSeries*> labelled_;
};

}  // namespace px::ui
