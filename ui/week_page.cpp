#include "ui/week_page.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLegend>
#include <QLineSeries>
#include <QLocale>
#include <QScrollBar>
#include <QShowEvent>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "core/host.h"
#include "frame/frame.h"
#include "ui/command_bar.h"
#include "ui/context_menu.h"
#include "ui/graph_window.h"
#include "ui/page_context.h"
#include "views/card.h"
#include "views/chart_range.h"

namespace px::ui {

namespace {

const QColor kChartGreen(0, 128, 0);

QColor Rgb(uint32_t rgb) { return QColor(int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)); }

QLocale LocaleOf(int32_t lcid) {
  switch (lcid) {
    case 1033: return QLocale(QLocale::English, QLocale::UnitedStates);
    case 1058: return QLocale(QLocale::Ukrainian);
    case 1059: return QLocale(QLocale::Belarusian);
    case 1031: return QLocale(QLocale::German);
    case 1036: return QLocale(QLocale::French);
    case 1040: return QLocale(QLocale::Italian);
    case 1034: return QLocale(QLocale::Spanish);
    case 1045: return QLocale(QLocale::Polish);
    case 1029: return QLocale(QLocale::Czech);
    case 1087: return QLocale(QLocale::Kazakh);
    case 1091: return QLocale(QLocale::Uzbek);
    default: return QLocale(QLocale::Russian);
  }
}

// Thirty-six numbers under a chart as wide as the page: small, and never
// cut to "…".
void SmallWholeLabels(QAbstractAxis* axis) {
  QFont small = axis->labelsFont();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  axis->setLabelsFont(small);
  axis->setTruncateLabels(false);
}

}  // namespace

QStringList WeekdayNames(int32_t lcid) {
  const QLocale locale = LocaleOf(lcid);
  QStringList names;
  for (int d = 1; d <= 7; ++d) names << locale.dayName(d, QLocale::ShortFormat);
  return names;
}

// ---- the model

WeekModel::WeekModel(QObject* parent) : QAbstractTableModel(parent), days_(WeekdayNames(kBaseLanguage)) {}

void WeekModel::SetDayNames(QStringList names) {
  if (names.size() != 7) return;
  days_ = std::move(names);
  emit dataChanged(index(0, 0), index(6, 0), {Qt::DisplayRole});
}

void WeekModel::SetCounts(const WeekCounts& counts) {
  counts_ = counts;
  // The same cells with new counts: the current cell and the selection stay.
  emit dataChanged(index(0, 0), index(6, 36));
}

int WeekModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 7; }
int WeekModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 37; }

QVariant WeekModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int x = index.column(), d = index.row() + 1;
  switch (role) {
    case Qt::DisplayRole:
      if (x == 0) return days_.value(index.row());
      if (const int32_t n = counts_.At(x, d); n > 0) return QString::number(n);
      return {};
    case Qt::BackgroundRole:
      if (auto fill = WeekCellColour(counts_, x, d)) return Rgb(*fill);
      return {};
    case Qt::TextAlignmentRole:
      return int(Qt::AlignHCenter | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant WeekModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) return section >= 1 && section <= 36 ? QString::number(section) : QString();
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignHCenter | Qt::AlignVCenter);
  return {};
}

// ---- the page

WeekPage::WeekPage(PageContext& context, QWidget* parent) : QWidget(parent), context_(context) {
  setObjectName("tsWeek");
  length_ = new QSpinBox(this);
  length_->setObjectName("edWeekLen");
  length_->setRange(1, INT_MAX);
  length_->setValue(1000);
  length_->setToolTip(context.Tr("Количество тиражей, использующихся для расчета статистики"));
  length_->installEventFilter(this);

  auto* bar = MakeCommandBar(this, {"Обновить", "|", "Оставить выделенные", "Удалить выделенные"}, buttons_);
  auto* top = new QHBoxLayout;
  top->addWidget(length_);
  top->addWidget(bar, 1);

  model_ = new WeekModel(this);
  view_ = new QTableView(this);
  view_->setObjectName("sgWeek");
  view_->setModel(model_);
  view_->setSelectionBehavior(QAbstractItemView::SelectItems);
  view_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setWordWrap(false);
  view_->verticalHeader()->hide();
  view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
  view_->horizontalHeader()->setHighlightSections(false);
  view_->horizontalHeader()->setMinimumSectionSize(12);
  view_->horizontalHeader()->setDefaultSectionSize(30);
  view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  view_->setCurrentIndex(model_->index(0, 1));

  chart_ = new QChart;
  chart_->legend()->hide();
  chart_->setBackgroundRoundness(0);
  chart_->setDropShadowEnabled(false);
  chart_->setMargins(QMargins(2, 2, 2, 2));
  chartView_ = new QChartView(chart_, this);
  chartView_->setObjectName("crtWeek");
  chartView_->setRenderHint(QPainter::Antialiasing);
  chartView_->setContextMenuPolicy(Qt::ActionsContextMenu);

  split_ = new QSplitter(Qt::Vertical, this);
  split_->setObjectName("splWeek");
  split_->addWidget(view_);
  split_->addWidget(chartView_);
  split_->setStretchFactor(1, 1);
  split_->setChildrenCollapsible(false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(split_, 1);

  connect(length_, &QSpinBox::valueChanged, this,
          [this](int v) { context_.Frame().Settings().WeekLen = v; });
  connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { RedrawChart(); });
}

void WeekPage::SetUpGrid() { model_->SetDayNames(WeekdayNames(context_.Frame().CurrentLanguage().lcid)); }

void WeekPage::ReadSettings() {
  const MainSettings& s = context_.Frame().Settings();
  length_->setValue(s.WeekLen);
  pendingHeight_ = s.WeekHeight;
  if (isVisible()) ApplyChartHeight();
  SetUpGrid();
}

void WeekPage::StoreSettings() {
  MainSettings& s = context_.Frame().Settings();
  s.WeekLen = length_->value();
  // A page never shown keeps the height it was given.
  if (pendingHeight_ < 0 && split_->sizes().value(1) > 0) s.WeekHeight = split_->sizes().value(1);
}

void WeekPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ApplyChartHeight();
}

void WeekPage::ApplyChartHeight() {
  if (pendingHeight_ < 0) return;
  // The grid never needs more than its seven rows: what the page gains
  // beyond them goes to the chart.
  view_->setMaximumHeight(view_->horizontalHeader()->sizeHint().height() + 7 * view_->rowHeight(0) +
                          2 * view_->frameWidth() + view_->horizontalScrollBar()->sizeHint().height());
  layout()->activate();
  const int room = split_->height() - split_->handleWidth();
  if (room <= 0) return;
  // Whatever the grid cannot use is the chart's too.
  const int chart = std::clamp(std::max(pendingHeight_, room - view_->maximumHeight()), 30, std::max(room - 30, 30));
  split_->setSizes({room - chart, chart});
  pendingHeight_ = -1;
}

bool WeekPage::TabShown() const { return context_.Frame().Settings().TabWeek; }

bool WeekPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == length_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Out of range the field puts its last value back and nothing is computed.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && length_->hasAcceptableInput()) {
      length_->interpretText();
      BuildWeek(false);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

std::pair<int, int> WeekPage::CurrentCell() const {
  const QModelIndex current = view_->currentIndex();
  if (!current.isValid()) return {0, 0};
  return {current.column(), current.row() + 1};
}

void WeekPage::BuildWeek(bool forced) {
  TFormMain& f = context_.Frame();
  if (!(isShown ? isShown() : isVisible())) return;
  const WeekInputs inputs = WeekInputsOf(f.Archive(), f.DrawsOffset(), length_->value());
  if (!forced && inputs == last_) return;
  last_ = inputs;
  ++computations_;
  {
    TTemplateMain::Busy busy(f);
    StatusScope status(context_.GetHost(), "Построение статистики по дням недели...");
    model_->SetCounts(ComputeWeekCounts(f.Archive(), f.DrawsOffset(), length_->value()));
  }
  RedrawChart();
}

void WeekPage::RedrawChart() {
  const auto [column, row] = CurrentCell();
  DrawWeekChart(column, row);
}

void WeekPage::DrawWeekChart(int column, int row) {
  const MainSettings& s = context_.Frame().Settings();
  StatusScope status(context_.GetHost(), "Построение статистики по дням недели...");
  chart_->removeAllSeries();
  for (QAbstractAxis* axis : chart_->axes()) {
    chart_->removeAxis(axis);
    delete axis;
  }
  const bool acrossWeek = s.WeekChartMode == 1;
  const std::vector<WeekPoint> points = WeekChartPoints(model_->Counts(), acrossWeek ? 1 : 0, column, row);
  QStringList labels;
  int32_t highest = 1;
  for (const WeekPoint& p : points) {
    labels << (acrossWeek ? model_->DayNames().value(p.x - 1) : QString::number(p.x));
    highest = std::max(highest, p.y);
  }

  // Counts from 0, ticking at a round step up to one above the highest.
  const AxisRange range = NiceRange(0, highest, true, 6);
  auto* y = new QValueAxis;
  y->setRange(range.lo, range.hi);
  y->setLabelFormat("%i");
  y->setTickType(QValueAxis::TicksDynamic);
  y->setTickAnchor(range.lo);
  y->setTickInterval(range.step);
  chart_->addAxis(y, Qt::AlignLeft);

  if (s.WeekChartType) {
    auto* line = new QLineSeries;
    // The theme sets the pen on adding: style the line after that.
    chart_->addSeries(line);
    QPen pen(kChartGreen);
    pen.setWidth(2);
    line->setPen(pen);
    UseOutlinedPoints(line);
    line->setPointLabelsVisible(false);
    QList<QPointF> xy;
    for (const WeekPoint& p : points) xy.append(QPointF(p.x, p.y));
    line->replace(xy);
    auto* x = new QCategoryAxis;
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (size_t i = 0; i < points.size(); ++i) x->append(labels[qsizetype(i)], points[i].x);
    x->setRange(points.front().x - 0.5, points.back().x + 0.5);
    SmallWholeLabels(x);
    chart_->addAxis(x, Qt::AlignBottom);
    line->attachAxis(x);
    line->attachAxis(y);
  } else {
    auto* set = new QBarSet(QString());
    set->setColor(kChartGreen);
    set->setBorderColor(kChartGreen);
    for (const WeekPoint& p : points) *set << p.y;
    auto* bars = new QBarSeries;
    bars->append(set);
    bars->setLabelsVisible(false);
    chart_->addSeries(bars);
    auto* x = new QBarCategoryAxis;
    x->append(labels);
    SmallWholeLabels(x);
    chart_->addAxis(x, Qt::AlignBottom);
    bars->attachAxis(x);
    bars->attachAxis(y);
  }
}

void WeekPage::Filter(FilterMode mode) {
  std::vector<int> numbers;
  const QItemSelection selection = view_->selectionModel()->selection();
  if (!selection.isEmpty()) {
    int first = INT_MAX, last = INT_MIN;
    for (const QItemSelectionRange& range : selection) {
      first = std::min(first, range.left());
      last = std::max(last, range.right());
    }
    numbers = WeekSelectionNumbers(first, last);
  }
  context_.Frame().CombsKeepNumbers(numbers, mode, "Неделя", SelectionValuesText(numbers));
}

void WeekPage::BindCommands(CommandBinder& c) {
  TFormMain& f = context_.Frame();
  auto tabShown = [this] { return TabShown(); };
  auto canFilter = [this, &f] { return TabShown() && f.Combs().Count() > 0; };

  BindCommandBar(buttons_, {c.Action("WeekStatCalc"), c.Action("WeekFilter_Include"), c.Action("WeekFilter_Exclude")});
  SetContextMenu(*view_, context_, c,
                 {"WeekFilter_Include", "WeekFilter_Exclude", "-", "ViewWeekChartMode", "ViewWeekChartType"}, nullptr);
  chartView_->addAction(c.Action("ViewWeekChartMode"));
  chartView_->addAction(c.Action("ViewWeekChartType"));

  c.Bind("WeekStatCalc", [this] { BuildWeek(true); }, [this, &f] { return TabShown() && !f.Archive().Empty(); });
  c.Bind("WeekFilter_Include", [this] { Filter(FilterMode::KeepSelected); }, canFilter);
  c.Bind("WeekFilter_Exclude", [this] { Filter(FilterMode::RemoveSelected); }, canFilter);
  c.Bind("ViewWeekChartMode", [this, &f] {
    f.SetIntSetting(&MainSettings::WeekChartMode, "WeekChartMode", f.Settings().WeekChartMode == 1 ? 0 : 1);
    RedrawChart();
  }, tabShown);
  c.Bind("ViewWeekChartType", [this, &f] {
    f.Toggle(&MainSettings::WeekChartType, "WeekChartType");
    RedrawChart();
  }, tabShown);
  f.AddView([this, &f](bool force) {
    if (f.Settings().TabWeek) BuildWeek(force);
  });
}

}  // namespace px::ui
