#include "ui/graph_window.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QGraphicsSimpleTextItem>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRubberBand>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QWheelEvent>
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
  y_->setTickType(QValueAxis::TicksDynamic);
  chart->addAxis(x_, Qt::AlignBottom);
  chart->addAxis(y_, Qt::AlignLeft);
}

void ChartAxes::Attach(QAbstractSeries* series) {
  series->attachAxis(x_);
  series->attachAxis(y_);
}

int ChartAxes::Add(int line, double x, double y) { return int(points_.Add(size_t(std::max(0, line)), x, y)); }

void ChartAxes::Reset() {
  points_.Clear();
  shown_ = ViewWindow{};
}

ViewWindow ChartAxes::Full() const {
  const Span x = points_.X();
  return x.any ? ViewWindow{x.min, x.max} : ViewWindow{};
}

bool ChartAxes::Zoomed() const {
  const ViewWindow full = Full();
  return shown_.lo > full.lo || shown_.hi < full.hi;
}

void ChartAxes::Fit() { Show(Full()); }

void ChartAxes::Show(ViewWindow part) {
  if (points_.Empty()) return;
  const ViewWindow full = Full();
  shown_ = ClampWindow(part.lo, part.hi, full, 0);
  const bool all = shown_ == full;
  const AxisRange x = all ? DrawRange(full.lo, full.hi) : DrawRange(shown_.lo, shown_.hi);
  // A zoomed axis keeps the fractions of the part, ticks on whole draws.
  const double xLo = all ? x.lo : shown_.lo, xHi = all ? x.hi : shown_.hi;
  x_->setTickAnchor(std::ceil(xLo));
  x_->setTickInterval(x.step);
  x_->setRange(xLo, xHi);
  const Span y = points_.Y(shown_.lo, shown_.hi);
  const bool whole = kind_ == Values::Whole || (kind_ == Values::Auto && points_.WholeValues());
  const AxisRange r = NiceRange(y.min, y.max, whole);
  y_->setLabelFormat(whole ? "%i" : "%.2f");
  y_->setTickAnchor(r.lo);
  y_->setTickInterval(r.step);
  y_->setRange(r.lo, r.hi);
  if (shownChanged) shownChanged();
}

// ---- ZoomChartView

ZoomChartView::ZoomChartView(QChart* chart, ChartAxes& axes, QWidget* parent)
    : QChartView(chart, parent), axes_(axes), scroll_(new QScrollBar(Qt::Horizontal, parent)) {
  setFocusPolicy(Qt::StrongFocus);
  setDragMode(QGraphicsView::NoDrag);
  scroll_->setVisible(false);
  axes_.shownChanged = [this] { Follow(); };
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) {
    const ViewWindow shown = axes_.Shown();
    axes_.Show(ViewWindow{double(v), double(v) + (shown.hi - shown.lo)});
  });
}

void ZoomChartView::Follow() {
  const ViewWindow full = axes_.Full(), shown = axes_.Shown();
  const bool zoomed = axes_.Zoomed();
  QSignalBlocker block(scroll_);
  const int span = int(std::lround(shown.hi - shown.lo));
  scroll_->setRange(int(std::lround(full.lo)), int(std::lround(full.hi)) - span);
  scroll_->setPageStep(std::max(1, span));
  scroll_->setSingleStep(std::max(1, span / 10));
  scroll_->setValue(int(std::lround(shown.lo)));
  scroll_->setVisible(zoomed);
}

namespace {
// Draws are whole: closer than a few draws shows nothing more.
constexpr double kMinDraws = 4;
}  // namespace

void ZoomChartView::ZoomAt(double factor, double anchor) {
  axes_.Show(ZoomWindow(axes_.Shown(), axes_.Full(), factor, anchor, kMinDraws));
}

void ZoomChartView::ScrollBy(double share) {
  const ViewWindow shown = axes_.Shown();
  axes_.Show(ScrollWindow(shown, axes_.Full(), share * (shown.hi - shown.lo)));
}

void ZoomChartView::ResetZoom() { axes_.Fit(); }

double ZoomChartView::ValueAt(QPoint at) const {
  const QPointF inChart = chart()->mapFromScene(mapToScene(at));
  return chart()->mapToValue(inChart).x();
}

void ZoomChartView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && chart()->plotArea().contains(chart()->mapFromScene(mapToScene(event->pos())))) {
    bandStart_ = event->pos().x();
    if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
    event->accept();
    return;
  }
  QChartView::mousePressEvent(event);
}

void ZoomChartView::mouseMoveEvent(QMouseEvent* event) {
  if (bandStart_ >= 0 && band_) {
    const QRectF plot = chart()->plotArea();
    const QPoint top = mapFromScene(chart()->mapToScene(plot.topLeft()));
    const QPoint bottom = mapFromScene(chart()->mapToScene(plot.bottomRight()));
    const int x = std::clamp(event->pos().x(), top.x(), bottom.x());
    band_->setGeometry(QRect(QPoint(std::min(bandStart_, x), top.y()), QPoint(std::max(bandStart_, x), bottom.y())));
    band_->show();
    event->accept();
    return;
  }
  QChartView::mouseMoveEvent(event);
}

void ZoomChartView::mouseReleaseEvent(QMouseEvent* event) {
  if (bandStart_ >= 0 && event->button() == Qt::LeftButton) {
    const int from = bandStart_, to = event->pos().x();
    bandStart_ = -1;
    if (band_) band_->hide();
    // A click is no band.
    if (std::abs(to - from) >= 4)
      axes_.Show(ClampWindow(ValueAt(QPoint(from, event->pos().y())), ValueAt(event->pos()), axes_.Full(), kMinDraws));
    event->accept();
    return;
  }
  QChartView::mouseReleaseEvent(event);
}

void ZoomChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    ResetZoom();
    event->accept();
    return;
  }
  QChartView::mouseDoubleClickEvent(event);
}

void ZoomChartView::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  const bool scroll = (event->modifiers() & Qt::ShiftModifier) || delta.x() != 0;
  const double notches = double(scroll && delta.x() != 0 ? delta.x() : delta.y()) / 120.0;
  if (notches == 0) return;
  if (scroll)
    ScrollBy(-0.1 * notches);
  else
    ZoomAt(std::pow(0.8, notches), ValueAt(event->position().toPoint()));
  event->accept();
}

void ZoomChartView::keyPressEvent(QKeyEvent* event) {
  const ViewWindow shown = axes_.Shown();
  const double centre = (shown.lo + shown.hi) / 2;
  switch (event->key()) {
    case Qt::Key_Left:
      ScrollBy(-0.1);
      break;
    case Qt::Key_Right:
      ScrollBy(0.1);
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      ZoomAt(0.8, centre);
      break;
    case Qt::Key_Minus:
      ZoomAt(1.25, centre);
      break;
    case Qt::Key_Home:
      ResetZoom();
      break;
    default:
      QChartView::keyPressEvent(event);
      return;
  }
  event->accept();
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
  view_ = new ZoomChartView(chart_, *axes_, this);
  view_->setObjectName("Chart");
  view_->setRenderHint(QPainter::Antialiasing);
  connect(chart_, &QChart::plotAreaChanged, this, [this] { PlaceLabelsLater(); });
  connect(axes_->X(), &QValueAxis::rangeChanged, this, [this] { PlaceLabelsLater(); });
  connect(axes_->Y(), &QValueAxis::rangeChanged, this, [this] { PlaceLabelsLater(); });

  auto* bar = new QHBoxLayout;
  bar->addWidget(showMarks_);
  bar->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(bar);
  layout->addWidget(view_, 1);
  layout->addWidget(view_->ScrollBar());

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

void GraphWindow::SetMoneyValues() {
  moneyValues_ = true;
  axes_->SetValues(ChartAxes::Values::Money);
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
    series->setPointLabelsVisible(showMarks && !moneyValues_);
    // The labels of the first and last points reach past the plot area.
    series->setPointLabelsClipping(false);
    if (showMarks) labelled_.push_back(series);
    if (showMarks && moneyValues_) money_.push_back(Labels{series, {}});
  }
  // Points join their line in draw order, whatever order they come in.
  const int position = axes_->Add(int(chart_->series().indexOf(series)), x, y);
  series->insert(position, QPointF(x, y));
  if (Labels* labels = LabelsOf(series)) {
    auto* item = new QGraphicsSimpleTextItem(QString::fromStdString(MoneyText(y)), chart_);
    item->setZValue(10);
    item->setVisible(false);
    labels->items.insert(labels->items.begin() + position, item);
  }
  axes_->Fit();
  PlaceLabelsLater();
}

GraphWindow::Labels* GraphWindow::LabelsOf(const QLineSeries* series) {
  for (Labels& l : money_)
    if (l.series == series) return &l;
  return nullptr;
}

const GraphWindow::Labels* GraphWindow::LabelsOf(const QLineSeries* series) const {
  for (const Labels& l : money_)
    if (l.series == series) return &l;
  return nullptr;
}

void GraphWindow::PlaceLabelsLater() {
  if (money_.empty() || placing_) return;
  placing_ = true;
  QTimer::singleShot(0, this, [this] { PlaceLabels(); });
}

void GraphWindow::PlaceLabels() {
  placing_ = false;
  const QRectF plot = chart_->plotArea();
  const bool shown = showMarks_->isChecked();
  for (Labels& l : money_) {
    const QList<QPointF> points = l.series->points();
    for (size_t i = 0; i < l.items.size() && i < size_t(points.size()); ++i) {
      QGraphicsSimpleTextItem* item = l.items[i];
      const QPointF at = chart_->mapToPosition(points[qsizetype(i)], l.series);
      const QRectF box = item->boundingRect();
      item->setPos(at.x() - box.width() / 2, at.y() - box.height() - 2);
      // Outside the part shown a label would float over the axes.
      item->setVisible(shown && at.x() >= plot.left() - 0.5 && at.x() <= plot.right() + 0.5);
    }
  }
}

void GraphWindow::Clear() {
  labelled_.clear();
  for (Labels& l : money_)
    for (QGraphicsSimpleTextItem* item : l.items) delete item;
  money_.clear();
  chart_->removeAllSeries();
  axes_->Reset();
}

void GraphWindow::ShowMarksClicked(bool checked) {
  for (QLineSeries* s : labelled_)
    if (!LabelsOf(s)) s->setPointLabelsVisible(checked);
  PlaceLabels();
}

QStringList GraphWindow::MoneyLabels(const QString& title) const {
  QStringList texts;
  if (const Labels* l = LabelsOf(Series(title)))
    for (const QGraphicsSimpleTextItem* item : l->items) texts.append(item->text());
  return texts;
}

int GraphWindow::SeriesCount() const { return int(chart_->series().size()); }

QList<QPointF> GraphWindow::Points(const QString& title) const {
  const QLineSeries* s = Series(title);
  return s ? s->points() : QList<QPointF>{};
}

bool GraphWindow::LabelsVisible(const QString& title) const {
  const QLineSeries* s = Series(title);
  if (LabelsOf(s)) return showMarks_->isChecked();
  return s && s->pointLabelsVisible();
}

}  // namespace px::ui
