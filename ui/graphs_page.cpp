#include "ui/graphs_page.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLineSeries>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>

#include "core/host.h"
#include "frame/frame.h"
#include "ui/graph_window.h"
#include "ui/method_selector.h"

namespace px::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QLineSeries* Line(QChart* chart, const QString& title, QColor colour) {
  auto* s = new QLineSeries;
  s->setName(title);
  // The theme sets the pen on adding: style the line after that.
  chart->addSeries(s);
  QPen pen(colour);
  pen.setWidth(2);
  s->setPen(pen);
  return s;
}

}  // namespace

GraphsPage::GraphsPage(TTemplateMain& frame, QAction* draw, QWidget* parent)
    : QWidget(parent), f_(frame), draw_(draw) {
  setObjectName("tsDrawsGraph");
  methods_ = new MethodSelector(f_.Registry(), this);
  methods_->setObjectName("cbDrawsGraphType");
  methods_->setToolTip(QString::fromUtf8("Тип графика"));
  methods_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  length_ = new QSpinBox(this);
  length_->setObjectName("edDrawsGraphLen");
  length_->setRange(1, INT_MAX);
  length_->setToolTip(QString::fromUtf8("Количество тиражей, использующихся для построения графиков"));
  length_->installEventFilter(this);
  ReadSettings();
  auto* drawButton = new QToolButton(this);
  drawButton->setDefaultAction(draw);
  drawButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
  showMarks_ = new QCheckBox(QString::fromUtf8("Отображать метки на графике"), this);
  showMarks_->setObjectName("cbDrawsGraphShowMarks");

  auto* top = new QHBoxLayout;
  top->addWidget(methods_, 1);
  top->addWidget(length_);
  top->addWidget(drawButton);
  top->addWidget(showMarks_);

  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  chart_->setMargins(QMargins(2, 2, 2, 2));
  axes_ = std::make_unique<ChartAxes>(chart_);
  // Graph values are counts and sums: the axis ticks whole numbers.
  axes_->SetValues(ChartAxes::Values::Whole);
  chartView_ = new ZoomChartView(chart_, *axes_, this);
  chartView_->setObjectName("crtDrawsGraph");
  chartView_->setRenderHint(QPainter::Antialiasing);
  chartView_->setContextMenuPolicy(Qt::ActionsContextMenu);
  chartView_->addAction(draw);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(chartView_, 1);
  layout->addWidget(chartView_->ScrollBar());

  connect(methods_, &QComboBox::currentIndexChanged, this, [this] {
    if (draw_->isEnabled()) DrawGraphs(false);
  });
  connect(length_, &QSpinBox::valueChanged, this, [this](int v) { f_.Settings().DrawsGraphLen = v; });
  connect(showMarks_, &QCheckBox::clicked, this, [this](bool checked) {
    if (QLineSeries* s = ValueSeries()) s->setPointLabelsVisible(checked);
  });
}

GraphsPage::~GraphsPage() = default;

void GraphsPage::ReadSettings() { length_->setValue(f_.Settings().DrawsGraphLen); }

bool GraphsPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == length_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    // Out of range the field puts its last value back and nothing is drawn.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && length_->hasAcceptableInput()) {
      length_->interpretText();
      DrawGraphs(false);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void GraphsPage::FillMethods() {
  const int keep = methods_->currentIndex();
  QSignalBlocker block(methods_);
  methods_->clear();
  for (const MethodListItem& item : px::MethodList(f_.Registry(), true)) methods_->addItem(Q(item.text), item.method);
  if (methods_->count() > 0) methods_->setCurrentIndex(keep >= 0 && keep < methods_->count() ? keep : 0);
  // Another list may hold another method at the same position.
  last_ = GraphInputs{};
}

bool GraphsPage::SelectMethod(const std::string& code) { return methods_->SelectCode(code); }

int GraphsPage::SelectedMethod() const {
  return methods_->currentIndex() < 0 ? -1 : methods_->currentData().toInt();
}

QLineSeries* GraphsPage::ValueSeries() const {
  const auto series = chart_->series();
  return series.empty() ? nullptr : qobject_cast<QLineSeries*>(series.front());
}

void GraphsPage::ClearChart() {
  chart_->removeAllSeries();
  axes_->Reset();
}

void GraphsPage::DrawGraphs(bool forced) {
  if (!(isShown ? isShown() : isVisible())) return;
  const GraphInputs inputs{f_.Archive().Count(), f_.DrawsOffset(), length_->value(), methods_->currentIndex()};
  if (!forced && inputs == last_) return;
  last_ = inputs;
  if (methods_->count() == 0) return;
  ClearChart();
  if (methods_->currentIndex() < 0 || f_.Archive().Empty()) return;

  ++computations_;
  TTemplateMain::Busy busy(f_);
  StatusScope status(f_.GetHost(), "Анализ тиражей и построение графиков...");
  const GraphSeries g = ComputeGraphs(f_.Registry(), SelectedMethod(), f_.Archive(), f_.DrawsOffset(),
                                      length_->value(), f_.Settings().SortedDraws);
  if (g.Empty()) return;

  QLineSeries* values = Line(chart_, methods_->currentText(), QColor(0, 128, 0));
  UseOutlinedPoints(values);
  values->setPointLabelsFormat("@yPoint");
  values->setPointLabelsVisible(showMarks_->isChecked());
  // The labels of the first and last points reach past the plot area.
  values->setPointLabelsClipping(false);
  QLineSeries* average = Line(chart_, QString::fromUtf8("Среднее значение"), QColor(0, 0, 255));
  QLineSeries* mode = Line(chart_, QString::fromUtf8("Наиболее часто встречающееся значение"), QColor(255, 0, 0));

  QList<QPointF> valuePoints, averagePoints, modePoints;
  for (const auto& [x, y] : g.values) {
    valuePoints.append(QPointF(x, y));
    averagePoints.append(QPointF(x, g.average));
    modePoints.append(QPointF(x, g.mode));
    // Every line counts: a zoomed part keeps the average and the mode in view.
    axes_->Add(0, x, y);
    axes_->Add(1, x, g.average);
    axes_->Add(2, x, g.mode);
  }
  values->replace(valuePoints);
  average->replace(averagePoints);
  mode->replace(modePoints);
  for (QAbstractSeries* s : chart_->series()) axes_->Attach(s);
  axes_->Fit();
}

void GraphsPage::BindCommands(CommandBinder& c) {
  c.Bind("DrawsGraphDraw", [this] { DrawGraphs(true); },
         [this] { return !f_.Archive().Empty() && methods_->currentIndex() >= 0; });
  f_.AddView([this](bool force) {
    if (f_.Settings().TabGraphs) DrawGraphs(force);
  });
}

}  // namespace px::ui
