#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLegend>
#include <QLineSeries>
#include <QSpinBox>
#include <QToolButton>
#include <QMouseEvent>
#include <QScrollBar>
#include <QValueAxis>
#include <QWheelEvent>
#include <memory>

#include "core/env.h"
#include "core/form_settings.h"
#include "frame/frame.h"
#include "support/draws.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "ui/graph_window.h"
#include "ui/graphs_page.h"

namespace px::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

std::vector<QString> Titles(QChart* chart) {
  std::vector<QString> titles;
  for (QAbstractSeries* s : chart->series()) titles.push_back(s->name());
  return titles;
}

QLineSeries* LineAt(QChart* chart, int i) { return qobject_cast<QLineSeries*>(chart->series().at(i)); }

void PressEnter(QWidget* target) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
}

// ---- the graph window

TEST(GraphWindow, StartsEmptyWithItsCaptionSizeAndCheckedBox) {
  ui::GraphWindow w;
  EXPECT_EQ(w.windowTitle(), U("График"));
  EXPECT_EQ(w.size(), QSize(948, 630));
  EXPECT_EQ(w.ShowMarksBox()->text(), U("Отображать метки на графиках"));
  EXPECT_TRUE(w.ShowMarksBox()->isChecked());
  EXPECT_EQ(w.Chart()->legend()->alignment(), Qt::AlignBottom);
  EXPECT_TRUE(w.Chart()->title().isEmpty());
  EXPECT_EQ(w.SeriesCount(), 0);
}

TEST(GraphWindow, AddPointKeepsOneLinePerTitleWhateverItsCase) {
  ui::GraphWindow w;
  w.AddPoint(10, U("Ставки"), 1.5, true, false, QColor(255, 0, 0));
  w.AddPoint(11, U("СТАВКИ"), 2.5, false, true, QColor(0, 0, 255));
  w.AddPoint(12, U("ставки"), -1, false, true, QColor());
  ASSERT_EQ(w.SeriesCount(), 1);
  EXPECT_EQ(w.Points(U("Ставки")), (QList<QPointF>{{10, 1.5}, {11, 2.5}, {12, -1}}));
  // The first call made the line: later arguments do not restyle it.
  QLineSeries* s = w.Series(U("сТаВкИ"));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->name(), U("Ставки"));
  EXPECT_EQ(s->pen().color(), QColor(255, 0, 0));
  EXPECT_EQ(s->pen().width(), 2);
  EXPECT_TRUE(s->pointsVisible());
  EXPECT_EQ(s->markerSize(), 3);
  EXPECT_FALSE(s->pointLabelsVisible());

  w.AddPoint(10, U("Рейтинг"), 7, false, true, QColor(0, 0, 0));
  ASSERT_EQ(w.SeriesCount(), 2);
  QLineSeries* r = w.Series(U("Рейтинг"));
  ASSERT_NE(r, nullptr);
  EXPECT_FALSE(r->pointsVisible());
  EXPECT_TRUE(r->pointLabelsVisible());
  EXPECT_EQ(r->pointLabelsFormat(), "@yPoint");
  // Black means no colour of its own.
  EXPECT_NE(r->pen().color(), QColor(0, 0, 0));
  EXPECT_EQ(r->pen().width(), 2);
  EXPECT_EQ(w.Points(U("Рейтинг")), (QList<QPointF>{{10, 7}}));
  EXPECT_EQ(w.Series(U("Нет такой")), nullptr);
}

TEST(GraphWindow, TheBoxShowsAndHidesTheLabelsOfLabelledLinesOnly) {
  ui::GraphWindow w;
  w.AddPoint(1, "A", 1, false, true, QColor(255, 0, 0));
  w.AddPoint(1, "B", 2, false, false, QColor(0, 255, 0));
  w.AddPoint(2, "C", 3, false, true, QColor(0, 0, 255));
  w.ShowMarksBox()->click();
  EXPECT_FALSE(w.ShowMarksBox()->isChecked());
  EXPECT_FALSE(w.LabelsVisible("A"));
  EXPECT_FALSE(w.LabelsVisible("B"));
  EXPECT_FALSE(w.LabelsVisible("C"));
  w.ShowMarksBox()->click();
  EXPECT_TRUE(w.LabelsVisible("A"));
  EXPECT_FALSE(w.LabelsVisible("B"));  // never labelled
  EXPECT_TRUE(w.LabelsVisible("C"));
}

TEST(GraphWindow, KeepsItsPlaceAndSizeFromOneShowingToTheNext) {
  TempDir dir;
  FormSettings store(Env::Real(), dir.File("Pentalux5_5v36.frm"));
  const QRect moved(120, 90, 700, 480);
  {
    ui::GraphWindow w(QString::fromUtf8("График профита"), store);
    EXPECT_EQ(w.windowTitle().toStdString(), "График профита");
    EXPECT_EQ(w.size(), QSize(948, 630));  // nothing stored yet
    w.show();
    w.setGeometry(moved);
    w.hide();
  }
  EXPECT_FALSE(store.Read().ReadString("TFormGraph", "NormPos", "").empty());
  ui::GraphWindow again(QString::fromUtf8("Другой график"), store);
  EXPECT_EQ(again.geometry(), moved);
}

TEST(GraphWindow, TheAxesCoverEveryPoint) {
  ui::GraphWindow w;
  w.AddPoint(120, "A", 5, false, false, QColor());
  w.AddPoint(100, "B", -3, false, false, QColor());
  w.AddPoint(130, "A", 9, false, false, QColor());
  auto* x = qobject_cast<QValueAxis*>(w.Chart()->axes(Qt::Horizontal).value(0));
  auto* y = qobject_cast<QValueAxis*>(w.Chart()->axes(Qt::Vertical).value(0));
  ASSERT_NE(x, nullptr);
  ASSERT_NE(y, nullptr);
  EXPECT_LE(x->min(), 100);
  EXPECT_GE(x->max(), 130);
  EXPECT_LE(y->min(), -3);
  EXPECT_GE(y->max(), 9);
  for (QAbstractSeries* s : w.Chart()->series()) EXPECT_EQ(s->attachedAxes().size(), 2);

  w.Clear();
  EXPECT_EQ(w.SeriesCount(), 0);
  w.AddPoint(1, "A", 1, false, true, QColor());
  EXPECT_EQ(w.Points("A"), (QList<QPointF>{{1, 1}}));
}

// ---- the page

class GraphsPage : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = std::make_unique<TFormMain>(host, Env::Real(), dir.Path(), dir.File("Pentalux5_5v36"),
                                        std::vector<std::string>{});
    ASSERT_EQ(frame->FormCreate(), TTemplateMain::Start::Continue);
    frame->Settings().DrawsGraphLen = 3;
  }
  void Open() {
    page = std::make_unique<ui::GraphsPage>(*frame, &draw);
    page->FillMethods();
    page->show();
  }
  // Draws numbered from 101 on with 3, 5, 5, 3 even numbers.
  void AddEvenCounts() {
    const Combination draws[] = {{2, 4, 6, 1, 3}, {2, 4, 6, 8, 10}, {12, 14, 16, 18, 20}, {1, 3, 22, 24, 26}};
    for (const Combination& c : draws) frame->Archive().Append(Draw(101 + frame->Archive().Count(), c));
  }
  void Select(const std::string& code) {
    const int i = page->MethodList()->findData(frame->Registry().FindByCode(code));
    ASSERT_GE(i, 0) << code;
    page->MethodList()->setCurrentIndex(i);
  }

  TempDir dir;
  RecordingHost host;
  std::unique_ptr<TFormMain> frame;
  QAction draw{"Обновить"};
  std::unique_ptr<ui::GraphsPage> page;
};

TEST_F(GraphsPage, OffersTheGraphMethodsOnly) {
  Open();
  const auto expected = MethodList(frame->Registry(), true);
  ASSERT_FALSE(expected.empty());
  ASSERT_EQ(page->MethodList()->count(), int(expected.size()));
  for (int i = 0; i < page->MethodList()->count(); ++i) {
    const int method = page->MethodList()->itemData(i).toInt();
    EXPECT_EQ(method, expected[size_t(i)].method);
    EXPECT_TRUE(frame->Registry().IsGraph(method));
    EXPECT_EQ(page->MethodList()->itemText(i).toStdString(), expected[size_t(i)].text);
  }
  EXPECT_LT(page->MethodList()->count(), int(MethodList(frame->Registry(), false).size()));
  EXPECT_EQ(page->MethodList()->toolTip(), U("Тип графика"));
  EXPECT_EQ(page->LengthField()->toolTip(), U("Количество тиражей, использующихся для построения графиков"));
  EXPECT_EQ(page->LengthField()->minimum(), 1);
  EXPECT_EQ(page->LengthField()->maximum(), 2147483647);
  EXPECT_EQ(page->LengthField()->value(), 3);
  EXPECT_EQ(page->ShowMarksBox()->text(), U("Отображать метки на графике"));
  EXPECT_TRUE(page->ChartView()->actions().contains(&draw));
  auto* button = page->findChild<QToolButton*>();
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->defaultAction(), &draw);

  // A refill keeps the position.
  page->MethodList()->setCurrentIndex(2);
  page->FillMethods();
  EXPECT_EQ(page->MethodList()->currentIndex(), 2);
}

TEST_F(GraphsPage, DrawsTheValuesTheirAverageAndTheirMode) {
  AddEvenCounts();
  frame->Settings().DrawsGraphLen = 4;
  Open();
  Select("EVEN");
  host.Reset();
  page->DrawGraphs(true);

  QChart* chart = page->Chart();
  ASSERT_EQ(chart->series().size(), 3);
  EXPECT_EQ(Titles(chart), (std::vector<QString>{page->MethodList()->currentText(), U("Среднее значение"),
                                                 U("Наиболее часто встречающееся значение")}));
  EXPECT_EQ(chart->legend()->alignment(), Qt::AlignBottom);
  EXPECT_TRUE(chart->title().isEmpty());

  QLineSeries* values = LineAt(chart, 0);
  EXPECT_EQ(values->points(), (QList<QPointF>{{101, 3}, {102, 5}, {103, 5}, {104, 3}}));
  EXPECT_EQ(values->pen().color(), QColor(0, 128, 0));
  EXPECT_EQ(values->pen().width(), 2);
  EXPECT_EQ(values->markerSize(), 2);
  ASSERT_EQ(values->lightMarker().size(), QSize(2, 2));
  EXPECT_EQ(values->lightMarker().pixelColor(0, 0), QColor(255, 0, 255));
  EXPECT_EQ(values->pointLabelsFormat(), "@yPoint");
  EXPECT_FALSE(values->pointLabelsVisible());

  QLineSeries* average = LineAt(chart, 1);
  EXPECT_EQ(average->points(), (QList<QPointF>{{101, 4}, {102, 4}, {103, 4}, {104, 4}}));
  EXPECT_EQ(average->pen().color(), QColor(0, 0, 255));
  QLineSeries* mode = LineAt(chart, 2);
  EXPECT_EQ(mode->points(), (QList<QPointF>{{101, 3}, {102, 3}, {103, 3}, {104, 3}}));
  EXPECT_EQ(mode->pen().color(), QColor(255, 0, 0));
  for (QLineSeries* s : {average, mode}) {
    EXPECT_FALSE(s->pointsVisible());
    EXPECT_TRUE(s->lightMarker().isNull());
    EXPECT_EQ(s->pen().width(), 2);
  }

  EXPECT_EQ(host.statuses, (std::vector<std::string>{"Анализ тиражей и построение графиков...", ""}));
  EXPECT_TRUE(frame->IsIdle());

  // The box reaches the value line at once, and the next drawing keeps it.
  page->ShowMarksBox()->click();
  EXPECT_TRUE(values->pointLabelsVisible());
  EXPECT_FALSE(average->pointLabelsVisible());
  page->DrawGraphs(true);
  EXPECT_TRUE(LineAt(page->Chart(), 0)->pointLabelsVisible());
}

TEST_F(GraphsPage, TheWindowFollowsLengthAndOffset) {
  AddEvenCounts();
  Open();
  Select("EVEN");
  page->DrawGraphs(true);
  EXPECT_EQ(LineAt(page->Chart(), 0)->points(), (QList<QPointF>{{102, 5}, {103, 5}, {104, 3}}));
  EXPECT_EQ(LineAt(page->Chart(), 2)->points().front().y(), 5);
  frame->SetDrawsOffset(1);
  page->DrawGraphs(false);
  EXPECT_EQ(LineAt(page->Chart(), 0)->points(), (QList<QPointF>{{101, 3}, {102, 5}, {103, 5}}));
}

TEST_F(GraphsPage, AnUnchangedRequestIsComputedOnce) {
  AddEvenCounts();
  Open();
  Select("EVEN");
  const int start = page->Computations();
  page->DrawGraphs(false);
  page->DrawGraphs(false);
  EXPECT_EQ(page->Computations(), start + 1);
  // The same entry chosen again changes nothing.
  Select("EVEN");
  EXPECT_EQ(page->Computations(), start + 1);
  // "Обновить" always computes.
  page->DrawGraphs(true);
  EXPECT_EQ(page->Computations(), start + 2);
  // Each of the four inputs counts.
  frame->Archive().Append(Draw(105, {1, 2, 3, 4, 5}));
  page->DrawGraphs(false);
  EXPECT_EQ(page->Computations(), start + 3);
  frame->SetDrawsOffset(1);
  page->DrawGraphs(false);
  EXPECT_EQ(page->Computations(), start + 4);
  Select("POS1");
  EXPECT_EQ(page->Computations(), start + 5);
  page->LengthField()->setValue(2);
  page->DrawGraphs(false);
  EXPECT_EQ(page->Computations(), start + 6);
  EXPECT_EQ(page->LastInputs(), (GraphInputs{5, 1, 2, page->MethodList()->currentIndex()}));
}

TEST_F(GraphsPage, EnterInTheLengthFieldDrawsWhenTheWindowChanged) {
  AddEvenCounts();
  Open();
  Select("EVEN");
  page->DrawGraphs(true);
  const int start = page->Computations();
  page->LengthField()->setValue(2);
  PressEnter(page->LengthField());
  EXPECT_EQ(page->Computations(), start + 1);
  EXPECT_EQ(LineAt(page->Chart(), 0)->points().size(), 2);
  EXPECT_EQ(frame->Settings().DrawsGraphLen, 2);
  PressEnter(page->LengthField());
  EXPECT_EQ(page->Computations(), start + 1);
}

TEST_F(GraphsPage, NothingIsComputedWhileHiddenOrWithTheCommandDisabled) {
  AddEvenCounts();
  Open();
  page->hide();
  Select("EVEN");
  page->DrawGraphs(true);
  EXPECT_EQ(page->Computations(), 0);
  EXPECT_TRUE(page->Chart()->series().isEmpty());

  page->isShown = [] { return true; };
  draw.setEnabled(false);
  Select("POS1");
  EXPECT_EQ(page->Computations(), 0);
  draw.setEnabled(true);
  Select("EVEN");
  EXPECT_EQ(page->Computations(), 1);
}

TEST_F(GraphsPage, NoSelectionOrNoDrawsLeaveAnEmptyChart) {
  AddEvenCounts();
  Open();
  Select("EVEN");
  page->DrawGraphs(true);
  ASSERT_EQ(page->Chart()->series().size(), 3);
  page->MethodList()->setCurrentIndex(-1);
  page->DrawGraphs(true);
  EXPECT_TRUE(page->Chart()->series().isEmpty());
  EXPECT_EQ(page->SelectedMethod(), -1);

  Select("EVEN");
  frame->Archive().Clear();
  page->DrawGraphs(true);
  EXPECT_TRUE(page->Chart()->series().isEmpty());
}

TEST_F(GraphsPage, SortedDrawsRedrawThePositionLine) {
  frame->Archive().Append(Draw(1, {30, 2, 17, 5, 11}));
  frame->Archive().Append(Draw(2, {9, 3, 36, 4, 20}));
  Open();
  Select("POS1");
  page->DrawGraphs(true);
  EXPECT_EQ(LineAt(page->Chart(), 0)->points(), (QList<QPointF>{{1, 30}, {2, 9}}));
  frame->Settings().SortedDraws = true;
  page->DrawGraphs(true);
  EXPECT_EQ(LineAt(page->Chart(), 0)->points(), (QList<QPointF>{{1, 2}, {2, 3}}));
}

// ---- reading the charts

QValueAxis* AxisY(QChart* chart) { return qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0)); }
QValueAxis* AxisX(QChart* chart) { return qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).value(0)); }

TEST(GraphWindow, PointsJoinTheirLineInDrawOrder) {
  ui::GraphWindow w;
  for (int draw : {120, 100, 130, 110}) w.AddPoint(draw, "A", draw / 10.0, true, false, QColor());
  w.AddPoint(110, "A", 99, true, false, QColor());
  EXPECT_EQ(w.Points("A"), (QList<QPointF>{{100, 10}, {110, 11}, {110, 99}, {120, 12}, {130, 13}}));
}

TEST(GraphWindow, MoneyReadsWithTwoDecimalsOnLabelsAndAxis) {
  ui::GraphWindow w;
  w.SetMoneyValues();
  w.AddPoint(2, U("Профит"), 1500000, true, true, QColor());
  w.AddPoint(1, U("Профит"), -2800, true, true, QColor());
  w.AddPoint(3, U("Профит"), 12.5, true, true, QColor());
  w.AddPoint(1, U("Среднее"), 7, false, false, QColor());
  EXPECT_EQ(w.MoneyLabels(U("Профит")), (QStringList{"-2800.00", "1500000.00", "12.50"}));
  EXPECT_TRUE(w.MoneyLabels(U("Среднее")).isEmpty());  // never labelled
  // The chart's own labels would print "1.5e+06".
  EXPECT_FALSE(w.Series(U("Профит"))->pointLabelsVisible());
  EXPECT_TRUE(w.LabelsVisible(U("Профит")));
  EXPECT_FALSE(w.LabelsVisible(U("Среднее")));
  w.ShowMarksBox()->click();
  EXPECT_FALSE(w.LabelsVisible(U("Профит")));
  QValueAxis* y = AxisY(w.Chart());
  EXPECT_EQ(y->labelFormat(), "%.2f");
  EXPECT_LE(y->min(), -2800);
  EXPECT_GE(y->max(), 1500000);
  // A window of counts keeps whole numbers.
  ui::GraphWindow counts;
  counts.AddPoint(1, "A", 3, true, true, QColor());
  counts.AddPoint(2, "A", 5, true, true, QColor());
  EXPECT_EQ(AxisY(counts.Chart())->labelFormat(), "%i");
  EXPECT_TRUE(counts.Series("A")->pointLabelsVisible());
}

TEST_F(GraphsPage, TheValueAxisRunsFromTheLeastValueToTheLargest) {
  // Even numbers 0, 3, 5, 2: the axis is 0..5 by one, not padded past them.
  const Combination draws[] = {{1, 3, 5, 7, 9}, {2, 4, 6, 1, 3}, {2, 4, 6, 8, 10}, {2, 4, 1, 3, 5}};
  for (const Combination& c : draws) frame->Archive().Append(Draw(101 + frame->Archive().Count(), c));
  frame->Settings().DrawsGraphLen = 4;
  Open();
  Select("EVEN");
  page->DrawGraphs(true);
  QValueAxis* y = AxisY(page->Chart());
  EXPECT_EQ(y->min(), 0);
  EXPECT_EQ(y->max(), 5);
  EXPECT_EQ(y->tickInterval(), 1);
  EXPECT_EQ(y->tickType(), QValueAxis::TicksDynamic);
  EXPECT_EQ(y->labelFormat(), "%i");  // the average 2.5 does not make the ticks fractional
  QValueAxis* x = AxisX(page->Chart());
  EXPECT_EQ(x->min(), 101);
  EXPECT_EQ(x->max(), 104);
}

class LongGraph : public GraphsPage {
 protected:
  // 200 draws whose even count climbs 0..5 over and over, one high draw of
  // five at the start: a zoomed part shows fewer values than the window.
  void SetUp() override {
    GraphsPage::SetUp();
    const Combination odd[] = {{1, 3, 5, 7, 9},  {2, 3, 5, 7, 9},  {2, 4, 5, 7, 9},
                               {2, 4, 6, 7, 9},  {2, 4, 6, 8, 9},  {2, 4, 6, 8, 10}};
    for (int i = 0; i < 200; ++i) frame->Archive().Append(Draw(1001 + i, odd[i % 6]));
    frame->Settings().DrawsGraphLen = 200;
    Open();
    page->resize(900, 500);
    Select("EVEN");
    page->DrawGraphs(true);
    view = page->ChartView();
  }
  double Average() { return LineAt(page->Chart(), 1)->points().front().y(); }
  double Mode() { return LineAt(page->Chart(), 2)->points().front().y(); }
  ui::ZoomChartView* view = nullptr;
};

TEST_F(LongGraph, ZoomAndScrollKeepTheAverageAndTheModeInView) {
  QValueAxis* x = AxisX(page->Chart());
  QValueAxis* y = AxisY(page->Chart());
  EXPECT_EQ(x->min(), 1001);
  EXPECT_EQ(x->max(), 1200);
  EXPECT_FALSE(view->ScrollBar()->isVisibleTo(page.get()));

  view->ZoomAt(0.1, 1100);
  EXPECT_NEAR(x->max() - x->min(), 19.9, 1e-9);
  EXPECT_LE(x->min(), 1100);
  EXPECT_GE(x->max(), 1100);
  EXPECT_TRUE(view->ScrollBar()->isVisibleTo(page.get()));
  for (double v : {Average(), Mode()}) {
    EXPECT_GE(v, y->min());
    EXPECT_LE(v, y->max());
  }
  // Scrolling keeps the span and stops at the end.
  const double span = x->max() - x->min();
  view->ScrollBy(100);
  EXPECT_EQ(x->max(), 1200);
  EXPECT_NEAR(x->max() - x->min(), span, 1e-9);
  EXPECT_EQ(view->ScrollBar()->value(), view->ScrollBar()->maximum());
  // The scroll bar moves the part too.
  view->ScrollBar()->setValue(1001);
  EXPECT_EQ(x->min(), 1001);
  view->ResetZoom();
  EXPECT_EQ(x->min(), 1001);
  EXPECT_EQ(x->max(), 1200);
  EXPECT_FALSE(view->ScrollBar()->isVisibleTo(page.get()));
  // A new drawing shows the whole window again.
  view->ZoomAt(0.1, 1100);
  page->DrawGraphs(true);
  EXPECT_EQ(x->max() - x->min(), 199);
}

TEST_F(LongGraph, TheWheelAndABandZoomAcrossTheDraws) {
  page->show();
  QApplication::processEvents();
  QValueAxis* x = AxisX(page->Chart());
  const QRectF plot = page->Chart()->plotArea();
  ASSERT_GT(plot.width(), 100);
  const QPoint middle = view->mapFromScene(page->Chart()->mapToScene(plot.center()));
  QWheelEvent in(middle, view->mapToGlobal(middle), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                 Qt::NoScrollPhase, false);
  QApplication::sendEvent(view->viewport(), &in);
  EXPECT_NEAR(x->max() - x->min(), 199 * 0.8, 1e-6);
  QWheelEvent out(middle, view->mapToGlobal(middle), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
  QApplication::sendEvent(view->viewport(), &out);
  EXPECT_EQ(x->max() - x->min(), 199);  // never farther than the whole window

  // A band over the left quarter of the plot shows about that quarter.
  const int left = int(plot.left()) + 2, right = int(plot.left() + plot.width() / 4);
  const double from = view->ValueAt(QPoint(left, middle.y())), to = view->ValueAt(QPoint(right, middle.y()));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(left, middle.y()), view->mapToGlobal(QPoint(left, middle.y())),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent move(QEvent::MouseMove, QPointF(right, middle.y()), view->mapToGlobal(QPoint(right, middle.y())),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(right, middle.y()),
                      view->mapToGlobal(QPoint(right, middle.y())), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &press);
  QApplication::sendEvent(view->viewport(), &move);
  QApplication::sendEvent(view->viewport(), &release);
  EXPECT_NEAR(x->min(), from, 1e-6);
  EXPECT_NEAR(x->max(), to, 1e-6);
  EXPECT_LT(x->max() - x->min(), 60);
}

}  // namespace
}  // namespace px::test
