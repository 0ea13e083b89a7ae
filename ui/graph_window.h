// "График": a small chart window that other views fill point by point, one
// line per title. Also the value axes the graph charts share.
#pragma once

#include <QChartView>
#include <QColor>
#include <QDialog>
#include <QList>
#include <QPointF>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "views/chart_range.h"

class QAbstractSeries;
class QChart;
class QCheckBox;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QRubberBand;
class QScrollBar;
class QValueAxis;

namespace px {
class FormSettings;
}

namespace px::ui {

// An x and a y value axis that every line of a chart is attached to. The
// x axis shows the whole range of the points or, zoomed, a part of it; the
// y axis follows the values drawn in the part shown, with round ticks.
// x positions are whole numbers (draws).
class ChartAxes {
 public:
  explicit ChartAxes(QChart* chart);
  void Attach(QAbstractSeries* series);
  // Adds a point to line `line` (the order the lines were made in) and
  // answers its position in that line: lines keep x order.
  int Add(int line, double x, double y);
  // Shows the whole x range.
  void Fit();
  // Shows that part of the x range, the values there deciding the y range.
  void Show(ViewWindow part);
  // Forgets the points; the axes stay on the chart.
  void Reset();
  // What the y axis counts: whole numbers when every value is one (Auto), or
  // always (Whole: lines such as an average do not make ticks fractional),
  // or money, read as "%.2f".
  enum class Values { Auto, Whole, Money };
  void SetValues(Values kind) { kind_ = kind; }

  ViewWindow Full() const;
  ViewWindow Shown() const { return shown_; }
  bool Zoomed() const;
  const ChartPoints& Points() const { return points_; }
  QValueAxis* X() const { return x_; }
  QValueAxis* Y() const { return y_; }
  // Called after the shown part changed.
  std::function<void()> shownChanged;

 private:
  QValueAxis* x_;
  QValueAxis* y_;
  ChartPoints points_;
  ViewWindow shown_;
  Values kind_ = Values::Auto;
};

// A chart view whose long x range can be zoomed and scrolled: drag a band
// with the left button, turn the wheel (with Shift to scroll), use the
// scroll bar beside it or the arrow, plus and minus keys; a double click or
// Home shows everything again.
class ZoomChartView final : public QChartView {
  Q_OBJECT
 public:
  ZoomChartView(QChart* chart, ChartAxes& axes, QWidget* parent = nullptr);
  // Shown only while zoomed; the owner lays it out under the view.
  QScrollBar* ScrollBar() const { return scroll_; }
  // factor < 1 zooms in, around the x value anchor.
  void ZoomAt(double factor, double anchor);
  // Moves by that share of the shown span.
  void ScrollBy(double share);
  void ResetZoom();
  // The x value under a point of the view.
  double ValueAt(QPoint at) const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Follow();
  ChartAxes& axes_;
  QScrollBar* scroll_;
  QRubberBand* band_ = nullptr;
  int bandStart_ = -1;
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
  // The values are money: labels and the y axis read "%.2f". Set before the
  // first point.
  void SetMoneyValues();

  int SeriesCount() const;
  // The line of that title, any case; null when there is none.
  QLineSeries* Series(const QString& title) const;
  QList<QPointF> Points(const QString& title) const;
  bool LabelsVisible(const QString& title) const;
  // The value labels of a money line, in the line's order.
  QStringList MoneyLabels(const QString& title) const;
  ChartAxes& Axes() const { return *axes_; }
  QCheckBox* ShowMarksBox() const { return showMarks_; }
  QChart* Chart() const { return chart_; }
  ZoomChartView* View() const { return view_; }

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void ShowMarksClicked(bool checked);
  // Money labels are the window's own: the chart's print large values with
  // an exponent.
  struct Labels {
    QLineSeries* series;
    std::vector<QGraphicsSimpleTextItem*> items;
  };
  Labels* LabelsOf(const QLineSeries* series);
  const Labels* LabelsOf(const QLineSeries* series) const;
  void PlaceLabels();
  void PlaceLabelsLater();
  FormSettings* store_ = nullptr;

  QCheckBox* showMarks_;
  QChart* chart_;
  std::unique_ptr<ChartAxes> axes_;
  ZoomChartView* view_;
  std::vector<QLineSeries*> labelled_;
  std::vector<Labels> money_;
  bool moneyValues_ = false;
  bool placing_ = false;
};

}  // namespace px::ui
