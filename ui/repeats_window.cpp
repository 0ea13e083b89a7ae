#include "ui/repeats_window.h"

#include <QChart>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <climits>
#include <vector>

#include "core/form_settings.h"
#include "core/host.h"
#include "frame/frame.h"
#include "ui/graph_window.h"
#include "ui/window_state.h"

namespace px::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr int kColumnWidths[] = {80, 80, 80, 2000};

// The host's progress for one stage of work: the bar moves at most a few
// hundred times, however many steps the stage has.
class Progress {
 public:
  Progress(Host& host, const char* text, int total) : host_(host), status_(host, text), total_(total) {
    host_.SetProgress(0, total_);
  }
  ~Progress() { host_.SetProgress(0, 0); }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  void Step(int done) {
    const int64_t share = total_ > 0 ? int64_t(done) * 200 / total_ : 0;
    if (share == shown_ && done != total_) return;
    shown_ = share;
    host_.SetProgress(done, total_);
    host_.ProcessEvents();
  }

 private:
  Host& host_;
  StatusScope status_;
  int total_;
  int64_t shown_ = -1;
};

// Whole rows, and a last column far wider than the view: going to a row
// must not throw the view sideways to the start of the cell clicked.
class RowList final : public QTableView {
 public:
  using QTableView::QTableView;
  void scrollTo(const QModelIndex& index, ScrollHint hint) override {
    const int x = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(x);
  }
};

}  // namespace

// ---- the model

void RepeatsModel::SetTable(RepeatsTable table) {
  beginResetModel();
  table_ = std::move(table);
  endResetModel();
}

int RepeatsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(table_.Size());
}

int RepeatsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(RepeatColumnTitles().size());
}

QVariant RepeatsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(table_.Size())) return {};
  if (role == Qt::TextAlignmentRole)
    return index.column() == 1 || index.column() == 2 ? QVariant(int(Qt::AlignCenter)) : QVariant();
  if (role != Qt::DisplayRole) return {};
  const RepeatRow& r = table_.Rows()[size_t(index.row())];
  switch (index.column()) {
    case 0:
      return QString::number(r.draw);
    case 1:
      return QString::number(r.matches);
    case 2:
      return QString::number(r.count);
    case 3:
      return Q(table_.DrawsText(r));
  }
  return {};
}

QVariant RepeatsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= int(RepeatColumnTitles().size())) return {};
  if (role == Qt::DisplayRole) return Q(RepeatColumnTitles()[size_t(section)]);
  if (role == Qt::TextAlignmentRole && (section == 1 || section == 2)) return int(Qt::AlignCenter);
  return {};
}

// ---- the window

RepeatsWindow::RepeatsWindow(TTemplateMain& frame, QWidget* parent)
    : QDialog(parent), f_(frame), random_(std::random_device{}()) {
  setObjectName(kSection);
  setWindowTitle(QString::fromUtf8("Количество повторов в зависимости от тиража"));
  setModal(true);
  setSizeGripEnabled(true);

  auto spin = [this](const char* name, const char* hint) {
    auto* s = new QSpinBox(this);
    s->setObjectName(name);
    s->setRange(1, INT_MAX);
    s->setValue(100);
    s->setToolTip(QString::fromUtf8(hint));
    s->setMinimumWidth(100);
    s->installEventFilter(this);
    return s;
  };
  length_ = spin("edDrawsLen", "Количество тиражей, использующихся для расчета статистики");
  depth_ = spin("edDeep", "Количество тиражей, просматриваемых \"в глубину\" для поиска совпадений");
  calc_ = new QPushButton(QString::fromUtf8("Рассчитать"), this);
  calc_->setObjectName("btnDrawsStatCalc");
  // Enter in a field is the fields' own; it must not press the button twice.
  calc_->setAutoDefault(false);
  connect(calc_, &QPushButton::clicked, this, [this] { RefreshAnalyze(); });

  auto* bar = new QHBoxLayout;
  bar->addWidget(length_);
  bar->addWidget(depth_);
  bar->addWidget(calc_);
  bar->addStretch(1);

  model_ = new RepeatsModel(this);
  list_ = new RowList(this);
  list_->setObjectName("lvList");
  list_->setModel(model_);
  list_->setSortingEnabled(false);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setWordWrap(false);
  // The draws column is wider than the view: it scrolls by pixels, not by columns.
  list_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 4);
  list_->horizontalHeader()->setHighlightSections(false);
  list_->horizontalHeader()->setStretchLastSection(false);
  // A title wider than its column would be cut: the column starts at its width.
  for (int c = 0; c < int(std::size(kColumnWidths)); ++c)
    list_->setColumnWidth(c, std::max(kColumnWidths[c], list_->horizontalHeader()->sectionSizeHint(c)));

  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  chart_->setMargins(QMargins(2, 2, 2, 2));
  axes_ = std::make_unique<ChartAxes>(chart_);
  axes_->SetValues(ChartAxes::Values::Whole);
  chartView_ = new ZoomChartView(chart_, *axes_, this);
  chartView_->setObjectName("crtGraph");
  chartView_->setRenderHint(QPainter::Antialiasing);
  auto* chartBox = new QWidget(this);
  auto* chartLayout = new QVBoxLayout(chartBox);
  chartLayout->setContentsMargins(0, 0, 0, 0);
  chartLayout->setSpacing(0);
  chartLayout->addWidget(chartView_, 1);
  chartLayout->addWidget(chartView_->ScrollBar());

  split_ = new QSplitter(Qt::Vertical, this);
  split_->setObjectName("splGraph");
  split_->setChildrenCollapsible(false);
  split_->addWidget(list_);
  split_->addWidget(chartBox);
  // The list takes what the window gains; the chart keeps its height.
  split_->setStretchFactor(0, 1);
  split_->setStretchFactor(1, 0);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(bar);
  layout->addWidget(split_, 1);

  resize(1086, 693);
  ReadSettings();
  SetGraphHeight(graphHeight_);
}

RepeatsWindow::~RepeatsWindow() = default;

void RepeatsWindow::ReadSettings() {
  try {
    const IniFile ini = f_.SettingsStore().Read();
    graphHeight_ = std::max(1, ini.ReadInt(kSection, "GraphHeight", graphHeight_));
    length_->setValue(std::max(1, ini.ReadInt(kSection, "DrawsLength", 100)));
    depth_->setValue(std::max(1, ini.ReadInt(kSection, "DrawsDeep", 100)));
    RestoreColumns(*list_, ini, kSection);
  } catch (const std::exception&) {
    // An unreadable store leaves the window as it opens by default.
  }
}

void RepeatsWindow::WriteSettings() {
  const int height = GraphHeight();
  try {
    f_.SettingsStore().Update([&](IniFile& ini) {
      ini.WriteInt(kSection, "GraphHeight", height);
      ini.WriteInt(kSection, "DrawsLength", length_->value());
      ini.WriteInt(kSection, "DrawsDeep", depth_->value());
      SaveColumns(*list_, ini, kSection);
    });
  } catch (const std::exception& e) {
    f_.GetHost().ShowError(e.what());
  }
}

int RepeatsWindow::GraphHeight() const {
  if (!placed_) return graphHeight_;
  const QList<int> sizes = split_->sizes();
  return sizes.size() == 2 && sizes[1] > 0 ? sizes[1] : graphHeight_;
}

void RepeatsWindow::SetGraphHeight(int height) {
  graphHeight_ = std::max(1, height);
  const int total = std::max(split_->height(), graphHeight_ + 1);
  split_->setSizes({total - graphHeight_, graphHeight_});
}

void RepeatsWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (placed_) return;
  placed_ = true;
  // Centred on its owner; the splitter has its real height only now.
  if (QWidget* owner = parentWidget()) {
    QRect r(QPoint(0, 0), size());
    r.moveCenter(owner->window()->geometry().center());
    move(r.topLeft());
  }
  SetGraphHeight(graphHeight_);
}

void RepeatsWindow::done(int result) {
  WriteSettings();
  QDialog::done(result);
}

bool RepeatsWindow::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == length_ || watched == depth_) && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      auto* field = static_cast<QSpinBox*>(watched);
      // Out of range the field puts its last value back and nothing is computed.
      if (field->hasAcceptableInput()) {
        field->interpretText();
        RefreshAnalyze();
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void RepeatsWindow::RefreshAnalyze() {
  ++computations_;
  TTemplateMain::Busy busy(f_);
  Host& host = f_.GetHost();
  const DrawArchive& archive = f_.Archive();
  model_->SetTable(RepeatsTable{});
  {
    const int newest = archive.Count() - 1;
    const int oldest = int(std::max<int64_t>(0, int64_t(newest) - length_->value() + 1));
    Progress progress(host, "Идет сбор статистики....", std::max(0, newest - oldest + 1));
    model_->SetTable(
        AnalyzeRepeats(archive, length_->value(), depth_->value(), [&](int done, int) { progress.Step(done); }));
  }
  DrawChart();
}

void RepeatsWindow::DrawChart() {
  const RepeatsTable& table = model_->Table();
  Progress progress(f_.GetHost(), "Создание графиков...", int(table.Size()));
  chart_->removeAllSeries();
  axes_->Reset();
  std::uniform_int_distribution<int> channel(0, 255);
  auto colour = [&] {
    const int r = channel(random_), g = channel(random_), b = channel(random_);
    return QColor(r, g, b);
  };

  // Lines off the chart while they fill: the chart sees each one once.
  std::vector<QLineSeries*> lines;
  std::vector<QList<QPointF>> points(size_t(table.Top()));
  for (int m = 1; m <= table.Top(); ++m) {
    auto* s = new QLineSeries;
    s->setName(Q(RepeatSeriesTitle(m)));
    QPen pen(colour());
    pen.setWidth(1);
    s->setPen(pen);
    QImage marker(2, 2, QImage::Format_ARGB32);
    marker.fill(colour());
    s->setLightMarker(marker);
    s->setMarkerSize(2);
    s->setPointsVisible(true);
    s->setPointLabelsVisible(false);
    lines.push_back(s);
  }
  const auto& rows = table.Rows();
  int done = 0;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    const int line = it->matches - 1;
    const int at = axes_->Add(line, it->draw, it->count);
    QList<QPointF>& list = points[size_t(line)];
    list.insert(at, QPointF(it->draw, it->count));
    progress.Step(++done);
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    QLineSeries* s = lines[i];
    const QPen pen = s->pen();
    s->replace(points[i]);
    chart_->addSeries(s);
    // The theme sets the pen on adding: the line's own colour goes back after it.
    s->setPen(pen);
    axes_->Attach(s);
  }
  axes_->Fit();
}

}  // namespace px::ui
