#include "ui/stats_page.h"

#include <QAction>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <climits>
#include <optional>

#include "core/host.h"
#include "core/text.h"
#include "frame/frame.h"
#include "stats/prefetch.h"
#include "ui/command_bar.h"
#include "ui/graph_window.h"
#include "ui/list_view.h"
#include "ui/method_selector.h"

namespace px::ui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
constexpr int kComparisonColumns[] = {kColNorm, kColDeviation, kColDeviationPct};
// A long caption of "Значение" is cut rather than push the numbers away.
constexpr int kWidestValue = 320;
}  // namespace

int StatTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(table_.rows.size());
}
int StatTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kStatColumns; }

QVariant StatTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(table_.rows.size())) return {};
  const int c = index.column();
  if (role == Qt::DisplayRole) return Q(CellText(table_.rows[size_t(index.row())], c));
  if (role == Qt::TextAlignmentRole) {
    if (c == kColValue) return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (c == kColLastDraw || c >= kColForecastPrd) return int(Qt::AlignCenter);
    return int(Qt::AlignRight | Qt::AlignVCenter);
  }
  return {};
}

QVariant StatTableModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || section < 0 || section >= kStatColumns) return {};
  if (role == kWidestTextRole) return widest_[size_t(section)];
  if (role != Qt::DisplayRole) return {};
  return QString::fromUtf8(StatColumnTitles()[size_t(section)]);
}

void StatTableModel::sort(int column, Qt::SortOrder order) {
  sortColumn_ = column;
  descending_ = order == Qt::DescendingOrder;
  emit layoutAboutToBeChanged();
  SortStatRows(table_.rows, sortColumn_, descending_);
  emit layoutChanged();
}

void StatTableModel::SetTable(StatTable table) {
  beginResetModel();
  table_ = std::move(table);
  SortStatRows(table_.rows, sortColumn_, descending_);
  // The longest text of a column is its widest one, near enough: the
  // numbers are digits of one width.
  for (int c = 0; c < kStatColumns; ++c) {
    std::string widest;
    for (const StatRow& row : table_.rows) {
      std::string text = CellText(row, c);
      if (text.size() > widest.size()) widest = std::move(text);
    }
    widest_[size_t(c)] = c == kColValue ? Q(widest) : AnyDigits(Q(widest));
  }
  endResetModel();
}

void StatTableModel::Clear() { SetTable(StatTable{}); }

StatsPage::StatsPage(TTemplateMain& frame, QAction* calc, QWidget* parent) : QWidget(parent), f_(frame) {
  setObjectName("tsDrawsStat");
  methods_ = new MethodSelector(f_.Registry(), this);
  methods_->setObjectName("cbDrawsStatType");
  methods_->setToolTip(QString::fromUtf8("Вид расчета статистики"));
  methods_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  length_ = new QSpinBox(this);
  length_->setObjectName("edDrawsStatLen");
  length_->setRange(1, INT_MAX);
  length_->setToolTip(QString::fromUtf8("Количество тиражей, использующихся для расчета статистики"));
  length_->setValue(f_.Settings().DrawsStatLen);
  length_->installEventFilter(this);
  auto* calcButton = new QToolButton(this);
  calcButton->setDefaultAction(calc);
  calcButton->setToolButtonStyle(Qt::ToolButtonTextOnly);

  auto* top = new QHBoxLayout;
  top->addWidget(methods_, 1);
  top->addWidget(new QLabel(QString::fromUtf8("Тиражей:"), this));
  top->addWidget(length_);
  top->addWidget(calcButton);
  top->addWidget(MakeCommandBar(this, {"Оставить выделенные", "Удалить выделенные"}, filterButtons_));

  view_ = new QTableView(this);
  view_->setObjectName("lvDrawsStat");
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->verticalHeader()->setVisible(false);
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
  view_->setWordWrap(false);
  model_ = new StatTableModel(this);
  view_->setModel(model_);
  view_->setSortingEnabled(true);
  view_->horizontalHeader()->setSortIndicator(kColCount, Qt::AscendingOrder);
  view_->setColumnWidth(kColValue, 140);
  for (int c = 1; c < kStatColumns; ++c) view_->setColumnWidth(c, 80);

  chart_ = new QChart;
  chart_->legend()->hide();
  chart_->setMargins(QMargins(2, 2, 2, 2));
  chartView_ = new QChartView(chart_, this);
  chartView_->setRenderHint(QPainter::Antialiasing);

  split_ = new QSplitter(Qt::Vertical, this);
  split_->addWidget(view_);
  split_->addWidget(chartView_);
  split_->setStretchFactor(0, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(split_, 1);

  connect(methods_, &QComboBox::currentIndexChanged, this, [this, calc] {
    if (calc->isEnabled()) Compute(false);
  });
  connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit SelectionChanged(); });
  ShowComparisonColumns(f_.Settings().PrefetchsEnabled);
}

bool StatsPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == length_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      length_->interpretText();
      f_.Settings().DrawsStatLen = length_->value();
      Compute(false);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void StatsPage::FillMethods(bool keepSelection) {
  const int keep = keepSelection ? methods_->currentIndex() : 0;
  QSignalBlocker block(methods_);
  methods_->clear();
  for (const MethodListItem& item : px::MethodList(f_.Registry(), false)) methods_->addItem(Q(item.text), item.method);
  if (methods_->count() > 0) methods_->setCurrentIndex(keep >= 0 && keep < methods_->count() ? keep : 0);
  last_ = StatTableInputs{};
}

int StatsPage::SelectedMethod() const {
  return methods_->currentIndex() < 0 ? -1 : methods_->currentData().toInt();
}

bool StatsPage::SelectMethod(const std::string& code) {
  const int m = f_.Registry().FindByCode(code);
  const int i = methods_->findData(m);
  if (m < 0 || i < 0) return false;
  methods_->setCurrentIndex(i);
  return true;
}

void StatsPage::ShowMethod(int method, int length) {
  const int i = methods_->findData(method);
  if (method < 0 || i < 0) return;
  {
    // The views compute once the run is over, not on every field change.
    QSignalBlocker block(methods_);
    methods_->setCurrentIndex(i);
  }
  if (length > 0) length_->setValue(length);
  f_.Settings().DrawsStatLen = length_->value();
}

std::string StatsPage::SelectedCaption() const { return methods_->currentText().toStdString(); }

void StatsPage::ShowComparisonColumns(bool show) {
  for (int c : kComparisonColumns) {
    view_->setColumnHidden(c, !show);
    if (show && !UserWidth(*view_, c)) SetColumnWidth(view_, c, 80);
  }
  if (show) FitColumns(*view_, kWidestValue);
}

void StatsPage::Compute(bool force) {
  const StatTableInputs inputs{f_.Archive().Count(), f_.DrawsOffset(), length_->value(), methods_->currentIndex()};
  if (!force && inputs == last_) return;
  last_ = inputs;
  f_.Settings().DrawsStatLen = length_->value();
  const int method = SelectedMethod();
  if (method < 0) {
    model_->Clear();
    chart_->removeAllSeries();
    return;
  }
  model_->Clear();
  chart_->removeAllSeries();
  if (f_.Archive().Empty()) return;

  ++computations_;
  TTemplateMain::Busy busy(f_);
  Host& host = f_.GetHost();
  StatusScope status(host, "Анализ тиражей и расчет статистики...");
  std::optional<PrefetchData> prefetch;
  if (f_.Settings().PrefetchsEnabled && f_.Registry().HasFullSet(method))
    prefetch = f_.FullSets().Open(f_.Registry(), method, &host);
  StatTableParams params;
  params.offset = std::max(f_.DrawsOffset(), 0);
  params.length = length_->value();
  params.sorted = f_.Settings().SortedDraws;
  params.separator = LocaleDecimalSeparator();
  StatTable table = ComputeStatTable(f_.Registry(), method, params, prefetch ? &*prefetch : nullptr,
                                     f_.Settings().ShowTotalLine);
  DrawChart(table);
  model_->SetTable(std::move(table));
  FitColumns(*view_, kWidestValue);
}

void StatsPage::DrawChart(const StatTable& t) {
  chart_->removeAllSeries();
  // removeAxis hands the axis back to us.
  for (QAbstractAxis* axis : chart_->axes()) {
    chart_->removeAxis(axis);
    delete axis;
  }
  if (t.actual.empty() && t.ideal.empty()) return;
  auto* actual = new QLineSeries;
  actual->setName(QString::fromUtf8("Фактические данные"));
  QPen pen(QColor(0, 128, 0));
  pen.setWidth(2);
  actual->setPen(pen);
  // No value marks: the values name themselves on the x axis.
  UseOutlinedPoints(actual);
  for (const ChartPoint& p : t.actual) actual->append(p.x, p.y);
  QLineSeries* ideal = nullptr;
  if (!t.ideal.empty()) {
    ideal = new QLineSeries;
    ideal->setName(QString::fromUtf8("Все возможные комбинации"));
    ideal->setPen(QPen(QColor(255, 0, 0)));
    for (const ChartPoint& p : t.ideal) ideal->append(p.x, p.y);
  }
  chart_->addSeries(actual);
  if (ideal) chart_->addSeries(ideal);
  // The x axis names the values.
  auto* x = new QCategoryAxis;
  x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  const auto& labelled = t.ideal.empty() ? t.actual : t.ideal;
  // Few enough labels to stay legible under a narrow chart.
  const size_t step = std::max<size_t>(1, (labelled.size() + 17) / 18);
  for (size_t i = 0; i < labelled.size(); i += step) x->append(Q(labelled[i].label), labelled[i].x);
  x->setRange(labelled.front().x, labelled.back().x);
  auto* y = new QValueAxis;
  y->setLabelFormat("%d");
  chart_->addAxis(x, Qt::AlignBottom);
  chart_->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* s : chart_->series()) {
    s->attachAxis(x);
    s->attachAxis(y);
  }
  double top = 0;
  for (const auto& p : t.actual) top = std::max(top, p.y);
  for (const auto& p : t.ideal) top = std::max(top, p.y);
  y->setRange(0, top * 1.1 + 1);
}

std::vector<int> StatsPage::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& i : view_->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

Selection StatsPage::SelectedValues() const { return SelectRows(model_->Table().rows, SelectedRows()); }

}  // namespace px::ui
