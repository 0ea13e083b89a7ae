#include "ui/graph_window.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLineSeries>
#include <QScreen>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>

#include "core/form_settings.h"
#include "core/text.h"
#include "ui/window_state.h"

namespace px::ui {

namespace {
constexpr const char* kSection = "TFormGraph";
}  // namespace

ChartAxes::ChartAxes(QChart* chart) : x_(new QValueAxis), y_(new QValueAxis) {
  // Draw numbers: no fractions, ticks on whole numbers.
  x_->setLabelFormat("%i");
  x_->setTickType(QValueAxis::TicksDynamic);
  chart->addAxis(x_, Qt::AlignBottom);
  chart->addAxis(y_, Qt::AlignLeft);
}

void ChartAxes::Attach(QAbstractSeries* series) {
  series->attachAxis(x_);
  series->attachAxis(y_);
}

void ChartAxes::Include(double x, double y) {
  if (!any_) {
    minX_ = maxX_ = x;
    minY_ = maxY_ = y;
    any_ = true;
    return;
  }
  minX_ = std::min(minX_, x);
  maxX_ = std::max(maxX_, x);
  minY_ = std::min(minY_, y);
  maxY_ = std::max(maxY_, y);
}

void ChartAxes::Fit() {
  if (!any_) return;
  // A single x or a flat line still needs a span to be drawn.
  const double xLo = minX_ == maxX_ ? minX_ - 1 : minX_;
  const double xHi = minX_ == maxX_ ? maxX_ + 1 : maxX_;
  x_->setTickAnchor(xLo);
  x_->setTickInterval(std::max(1.0, std::ceil((xHi - xLo) / 10)));
  x_->setRange(xLo, xHi);
  // Room above and below for the value labels.
  const double pad = minY_ == maxY_ ? 1 : (maxY_ - minY_) * 0.08;
  y_->setRange(minY_ - pad, maxY_ + pad);
  y_->applyNiceNumbers();
}

void UseOutlinedPoints(QLineSeries* series) {
  QImage marker(2, 2, QImage::Format_ARGB32);
  marker.fill(QColor(255, 0, 255));
  series->setLightMarker(marker);
  series->setMarkerSize(2);
  series->setPointsVisible(true);
}

GraphWindow::GraphWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("TFormGraph");
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QString::fromUtf8("График"));
  setSizeGripEnabled(true);

  showMarks_ = new QCheckBox(QString::fromUtf8("Отображать метки на графиках"), this);
  showMarks_->setObjectName("cbShowMarks");
  showMarks_->setChecked(true);
  connect(showMarks_, &QCheckBox::clicked, this, &GraphWindow::ShowMarksClicked);

  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  axes_ = std::make_unique<ChartAxes>(chart_);
  view_ = new QChartView(chart_, this);
  view_->setObjectName("Chart");
  view_->setRenderHint(QPainter::Antialiasing);

  auto* bar = new QHBoxLayout;
  bar->addWidget(showMarks_);
  bar->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(bar);
  layout->addWidget(view_, 1);

  resize(948, 630);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect r(QPoint(0, 0), size());
    r.moveCenter(screen->availableGeometry().center());
    move(r.topLeft());
  }
}

GraphWindow::GraphWindow(const QString& title, FormSettings& store, QWidget* parent) : GraphWindow(parent) {
  setWindowTitle(title);
  store_ = &store;
  try {
    RestorePlacement(*this, store.Read(), kSection, geometry());
  } catch (const std::exception&) {
    // An unreadable store leaves the window where it would open anyway.
  }
}

GraphWindow::~GraphWindow() = default;

void GraphWindow::hideEvent(QHideEvent* event) {
  if (store_) {
    try {
      store_->Update([&](IniFile& ini) { SavePlacement(*this, ini, kSection); });
    } catch (const std::exception&) {
      // The window's place is not worth a box over a chart being closed.
    }
  }
  QDialog::hideEvent(event);
}

QLineSeries* GraphWindow::Series(const QString& title) const {
  for (QAbstractSeries* s : chart_->series())
    if (SameText(s->name().toStdString(), title.toStdString())) return qobject_cast<QLineSeries*>(s);
  return nullptr;
}

void GraphWindow::AddPoint(int x, const QString& seriesTitle, double y, bool showPointers, bool showMarks,
                           QColor colour) {
  QLineSeries* series = Series(seriesTitle);
  if (!series) {
    series = new QLineSeries;
    series->setName(seriesTitle);
    // The theme sets the pen on adding: style the line after that.
    chart_->addSeries(series);
    axes_->Attach(series);
    QPen pen = series->pen();
    if (colour.isValid() && (colour.rgb() & 0xFFFFFF) != 0) pen.setColor(colour);
    pen.setWidth(2);
    series->setPen(pen);
    series->setMarkerSize(3);
    series->setPointsVisible(showPointers);
    series->setPointLabelsFormat("@yPoint");
    series->setPointLabelsVisible(showMarks);
    // The labels of the first and last points reach past the plot area.
    series->setPointLabelsClipping(false);
    if (showMarks) labelled_.push_back(series);
  }
  series->append(x, y);
  axes_->Include(x, y);
  axes_->Fit();
}

void GraphWindow::Clear() {
  labelled_.clear();
  chart_->removeAllSeries();
  axes_->Reset();
}

void GraphWindow::ShowMarksClicked(bool checked) {
  for (QLineSeries* s : labelled_) s->setPointLabelsVisible(checked);
}

int GraphWindow::SeriesCount() const { return int(chart_->series().size()); }

QList<QPointF> GraphWindow::Points(const QString& title) const {
  const QLineSeries* s = Series(title);
  return s ? s->points() : QList<QPointF>{};
}

bool GraphWindow::LabelsVisible(const QString& title) const {
  const QLineSeries* s = Series(title);
  return s && s->pointLabelsVisible();
}

}  // namespace px::ui
