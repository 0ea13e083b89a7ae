#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <memory>

#include "core/archive.h"
#include "core/env.h"
#include "core/form_settings.h"
#include "frame/actions.h"
#include "frame/frame.h"
#include "support/draws.h"
#include "support/fault_env.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "ui/extended_stats.h"
#include "ui/graph_window.h"
#include "ui/repeats_window.h"
#include "views/repeats.h"
#include "views/sums.h"
#include "window_fixture.h"

namespace px::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

void PressEnter(QWidget* target) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
}

std::vector<QString> Titles(QChart* chart) {
  std::vector<QString> titles;
  for (QAbstractSeries* s : chart->series()) titles.push_back(s->name());
  return titles;
}

QString Cell(const QTableView* list, int row, int column) {
  return list->model()->index(row, column).data().toString();
}

class RepeatsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = std::make_unique<TFormMain>(host, Env::Real(), dir.Path(), dir.File("Pentalux5_5v36"),
                                        std::vector<std::string>{});
    ASSERT_EQ(frame->FormCreate(), TTemplateMain::Start::Continue);
  }
  // Draws numbered from 301 on.
  void Add(Combination c) { frame->Archive().Append(Draw(301 + frame->Archive().Count(), c)); }
  int32_t NumberAt(int i) const { return frame->Archive().At(i).number; }
  // No two of them share more than two numbers.
  void AddAtMostTwoShared() {
    Add({1, 2, 3, 4, 5});
    Add({1, 2, 6, 7, 8});
    Add({3, 6, 9, 10, 11});
    Add({1, 9, 12, 13, 14});
    Add({15, 16, 17, 18, 19});
    Add({15, 2, 20, 21, 22});
  }
  std::unique_ptr<ui::RepeatsWindow> Make() { return std::make_unique<ui::RepeatsWindow>(*frame); }

  TempDir dir;
  RecordingHost host;
  std::unique_ptr<TFormMain> frame;
};

TEST_F(RepeatsWindowTest, OpensWithItsCaptionFieldsListAndChart) {
  auto w = Make();
  EXPECT_EQ(w->windowTitle(), U("Количество повторов в зависимости от тиража"));
  EXPECT_EQ(w->size(), QSize(1086, 693));
  EXPECT_TRUE(w->isModal());
  EXPECT_EQ(w->objectName(), "TFormRepeats");
  EXPECT_EQ(w->LengthField()->objectName(), "edDrawsLen");
  EXPECT_EQ(w->DepthField()->objectName(), "edDeep");
  for (QSpinBox* s : {w->LengthField(), w->DepthField()}) {
    EXPECT_EQ(s->minimum(), 1);
    EXPECT_EQ(s->maximum(), 2147483647);
    EXPECT_EQ(s->value(), 100);
  }
  EXPECT_EQ(w->LengthField()->toolTip(), U("Количество тиражей, использующихся для расчета статистики"));
  EXPECT_EQ(w->DepthField()->toolTip(),
            U("Количество тиражей, просматриваемых \"в глубину\" для поиска совпадений"));
  EXPECT_EQ(w->CalcButton()->text(), U("Рассчитать"));

  QTableView* list = w->List();
  EXPECT_EQ(list->objectName(), "lvList");
  ASSERT_EQ(list->model()->columnCount(), 4);
  const char* titles[] = {"Тираж", "Совпадений", "Кол-во повторов", "Список тиражей"};
  const int widths[] = {80, 80, 80, 2000};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(list->model()->headerData(c, Qt::Horizontal).toString(), U(titles[c]));
    // At least as wide as its title.
    EXPECT_EQ(list->columnWidth(c), std::max(widths[c], list->horizontalHeader()->sectionSizeHint(c)));
    EXPECT_GE(list->columnWidth(c), widths[c]);
  }
  EXPECT_FALSE(list->isSortingEnabled());
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(list->model()->rowCount(), 0);

  // The chart under the list, its height set by a splitter.
  ASSERT_EQ(w->Splitter()->count(), 2);
  EXPECT_EQ(w->Splitter()->widget(0), list);
  EXPECT_EQ(w->Splitter()->orientation(), Qt::Vertical);
  EXPECT_TRUE(w->Chart()->title().isEmpty());
  EXPECT_TRUE(w->Chart()->series().isEmpty());
}

TEST_F(RepeatsWindowTest, ListsTheRowsAndDrawsALinePerNumberOfSharedNumbers) {
  AddAtMostTwoShared();
  auto w = Make();
  w->RefreshAnalyze();
  EXPECT_TRUE(frame->IsIdle());

  const RepeatsTable expected = AnalyzeRepeats(frame->Archive(), 100, 100);
  QTableView* list = w->List();
  ASSERT_EQ(list->model()->rowCount(), int(expected.Size()));
  ASSERT_GT(expected.Size(), 0u);
  for (int r = 0; r < int(expected.Size()); ++r) {
    const RepeatRow& row = expected.Rows()[size_t(r)];
    EXPECT_EQ(Cell(list, r, 0), QString::number(row.draw));
    EXPECT_EQ(Cell(list, r, 1), QString::number(row.matches));
    EXPECT_EQ(Cell(list, r, 2), QString::number(row.count));
    EXPECT_EQ(Cell(list, r, 3), QString::fromStdString(expected.DrawsText(row)));
  }
  // The counts are centred, the draws not.
  EXPECT_EQ(list->model()->index(0, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
  EXPECT_EQ(list->model()->index(0, 2).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
  EXPECT_FALSE(list->model()->index(0, 3).data(Qt::TextAlignmentRole).isValid());

  // At most two shared: two lines, m = 1 and m = 2.
  EXPECT_EQ(Titles(w->Chart()), (std::vector<QString>{U("Совпадений: 1"), U("Совпадений: 2")}));
  const std::vector<RepeatSeries> lines = RepeatChart(expected);
  for (int m = 0; m < 2; ++m) {
    auto* s = qobject_cast<QLineSeries*>(w->Chart()->series().at(m));
    ASSERT_NE(s, nullptr);
    QList<QPointF> points;
    for (const auto& [x, y] : lines[size_t(m)].points) points.append(QPointF(x, y));
    EXPECT_EQ(s->points(), points) << m;
    EXPECT_TRUE(s->pointsVisible());
    EXPECT_EQ(s->markerSize(), 2);
    EXPECT_EQ(s->lightMarker().size(), QSize(2, 2));
    EXPECT_FALSE(s->pointLabelsVisible());
    EXPECT_EQ(s->attachedAxes().size(), 2);
  }

  // Both stages showed their progress, one step per draw and per row, and
  // cleared it.
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(), "Идет сбор статистики...."), host.statuses.end());
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(), "Создание графиков..."), host.statuses.end());
  EXPECT_EQ(host.CurrentStatus(), "");
  const int draws = frame->Archive().Count(), rows = int(expected.Size());
  EXPECT_NE(std::find(host.progress.begin(), host.progress.end(), std::pair{draws, draws}), host.progress.end());
  EXPECT_NE(std::find(host.progress.begin(), host.progress.end(), std::pair{rows, rows}), host.progress.end());
  EXPECT_EQ(host.progress.back(), (std::pair{0, 0}));

  // Recomputed over a shorter window, the list and the chart start afresh.
  w->LengthField()->setValue(1);
  w->DepthField()->setValue(1);
  w->RefreshAnalyze();
  ASSERT_EQ(list->model()->rowCount(), 1);
  EXPECT_EQ(Cell(list, 0, 0), QString::number(NumberAt(5)));
  EXPECT_EQ(Cell(list, 0, 1), "1");
  EXPECT_EQ(Cell(list, 0, 3), QString::number(NumberAt(4)));
  EXPECT_EQ(Titles(w->Chart()), (std::vector<QString>{U("Совпадений: 1")}));
}

TEST_F(RepeatsWindowTest, ADrawWithThreeTwosAndTenOnesHasTwoRows) {
  Add({1, 2, 6, 7, 8});
  Add({3, 4, 9, 10, 11});
  Add({1, 5, 12, 13, 14});
  for (int i = 0; i < 10; ++i) Add({uint8_t(1 + i % 5), uint8_t(6 + i), uint8_t(17 + i), 36, 35});
  Add({1, 2, 3, 4, 5});
  auto w = Make();
  w->LengthField()->setValue(1);
  w->DepthField()->setValue(13);
  w->RefreshAnalyze();
  QTableView* list = w->List();
  ASSERT_EQ(list->model()->rowCount(), 2);
  EXPECT_EQ(Cell(list, 0, 1), "1");
  EXPECT_EQ(Cell(list, 0, 2), "10");
  EXPECT_EQ(Cell(list, 1, 1), "2");
  EXPECT_EQ(Cell(list, 1, 2), "3");
  EXPECT_EQ(Cell(list, 1, 3),
            QString("%1 %2 %3").arg(NumberAt(2)).arg(NumberAt(1)).arg(NumberAt(0)));
  EXPECT_TRUE(Cell(list, 0, 3).startsWith(QString::number(NumberAt(12)) + " "));
  // A draw in both lines, each at its count.
  ASSERT_EQ(w->Chart()->series().size(), 2);
  EXPECT_EQ(qobject_cast<QLineSeries*>(w->Chart()->series().at(0))->points(),
            (QList<QPointF>{{double(NumberAt(13)), 10}}));
  EXPECT_EQ(qobject_cast<QLineSeries*>(w->Chart()->series().at(1))->points(),
            (QList<QPointF>{{double(NumberAt(13)), 3}}));
}

TEST_F(RepeatsWindowTest, TheButtonAndEnterInEitherFieldRecompute) {
  AddAtMostTwoShared();
  auto w = Make();
  w->show();
  EXPECT_EQ(w->Computations(), 0);
  w->CalcButton()->click();
  EXPECT_EQ(w->Computations(), 1);

  w->LengthField()->findChild<QLineEdit*>()->setText("2");
  PressEnter(w->LengthField());
  EXPECT_EQ(w->Computations(), 2);
  EXPECT_EQ(w->LengthField()->value(), 2);
  EXPECT_EQ(w->Table().Oldest(), 4);

  w->DepthField()->findChild<QLineEdit*>()->setText("1");
  PressEnter(w->DepthField());
  EXPECT_EQ(w->Computations(), 3);
  // 306 shares 15 with 305, 305 nothing with 304.
  ASSERT_EQ(w->Table().Size(), 1u);
  EXPECT_EQ(w->Table().Rows()[0].draw, NumberAt(5));

  // Going to a row keeps the list where it was scrolled sideways.
  w->LengthField()->setValue(100);
  w->DepthField()->setValue(100);
  w->RefreshAnalyze();
  QTableView* list = w->List();
  ASSERT_GT(list->model()->rowCount(), 3);
  list->horizontalScrollBar()->setValue(300);
  list->setCurrentIndex(list->model()->index(3, 3));
  list->scrollTo(list->model()->index(2, 3));
  EXPECT_EQ(list->horizontalScrollBar()->value(), 300);

  // Text the field cannot take computes nothing.
  w->DepthField()->findChild<QLineEdit*>()->setText("x");
  PressEnter(w->DepthField());
  EXPECT_EQ(w->Computations(), 4);
}

TEST_F(RepeatsWindowTest, KeepsLengthDepthGraphHeightAndColumnsFromOneOpeningToTheNext) {
  AddAtMostTwoShared();
  {
    auto w = Make();
    w->show();
    w->LengthField()->setValue(7);
    w->DepthField()->setValue(9);
    w->SetGraphHeight(180);
    w->List()->setColumnWidth(0, 120);
    w->List()->setColumnWidth(3, 640);
    EXPECT_EQ(w->GraphHeight(), 180);
    w->reject();
  }
  const IniFile ini = frame->SettingsStore().Read();
  EXPECT_EQ(ini.ReadInt("TFormRepeats", "DrawsLength", 0), 7);
  EXPECT_EQ(ini.ReadInt("TFormRepeats", "DrawsDeep", 0), 9);
  EXPECT_EQ(ini.ReadInt("TFormRepeats", "GraphHeight", 0), 180);
  EXPECT_EQ(ini.ReadInt("TFormRepeats", "lvList.Column0", 0), 120);
  EXPECT_EQ(ini.ReadInt("TFormRepeats", "lvList.Column3", 0), 640);

  auto again = Make();
  EXPECT_EQ(again->LengthField()->value(), 7);
  EXPECT_EQ(again->DepthField()->value(), 9);
  EXPECT_EQ(again->GraphHeight(), 180);
  EXPECT_EQ(again->List()->columnWidth(0), 120);
  EXPECT_EQ(again->List()->columnWidth(1), std::max(80, again->List()->horizontalHeader()->sectionSizeHint(1)));
  EXPECT_EQ(again->List()->columnWidth(3), 640);
  again->show();
  EXPECT_EQ(again->Splitter()->sizes().at(1), 180);
  // A larger window gives the room to the list; the chart keeps its height.
  again->resize(1200, 900);
  QApplication::processEvents();
  EXPECT_EQ(again->Splitter()->sizes().at(1), 180);
  again->RefreshAnalyze();
  EXPECT_EQ(again->Table().Oldest(), 0);
  again->accept();
  EXPECT_EQ(frame->SettingsStore().Read().ReadInt("TFormRepeats", "GraphHeight", 0), 180);

  // Damaged values fall back to what the fields can hold.
  frame->SettingsStore().Update([](IniFile& i) {
    i.WriteString("TFormRepeats", "DrawsLength", "-4");
    i.WriteString("TFormRepeats", "DrawsDeep", "x");
  });
  auto damaged = Make();
  EXPECT_EQ(damaged->LengthField()->value(), 1);
  EXPECT_EQ(damaged->DepthField()->value(), 100);
}

TEST(RepeatsWindowStore, AFailedWriteAtCloseIsToldAndTheStoreStaysWhole) {
  TempDir dir;
  RecordingHost host;
  FaultEnv env;
  TFormMain frame(host, env, dir.Path(), dir.File("Pentalux5_5v36"), std::vector<std::string>{});
  ASSERT_EQ(frame.FormCreate(), TTemplateMain::Start::Continue);
  frame.SettingsStore().WriteInt("TFormRepeats", "DrawsLength", 12);
  const std::string before = ReadBytes(frame.SettingsStore().Path());
  for (bool rename : {false, true}) {
    env.failWriteAfter = rename ? -1 : 5;
    env.failRename = rename;
    env.only = "Pentalux5_5v36.frm";
    host.Reset();
    ui::RepeatsWindow w(frame);
    EXPECT_EQ(w.LengthField()->value(), 12);
    w.show();
    w.LengthField()->setValue(40);
    w.reject();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(host.errors.size(), 1u) << rename;
    EXPECT_EQ(ReadBytes(frame.SettingsStore().Path()), before) << rename;
  }
  env.failWriteAfter = -1;
  env.failRename = false;
  {
    ui::RepeatsWindow w(frame);
    w.show();
    w.LengthField()->setValue(40);
    w.reject();
  }
  EXPECT_EQ(frame.SettingsStore().Read().ReadInt("TFormRepeats", "DrawsLength", 0), 40);
}

// ---- the commands in the window

class ExtendedStatsTest : public WindowTest {
 protected:
  void TearDown() override {
    if (window) Close();
  }
  void SaveDraws(std::initializer_list<Combination> draws) {
    DrawArchive a;
    for (const Combination& c : draws) a.Append(Draw(101 + a.Count(), c));
    a.Save(Env::Real(), ArchivePath(dir.Path()));
  }
  TFormMain& F() { return window->Frame(); }
};

TEST_F(ExtendedStatsTest, RepeatsNeedDrawsAndBothCommandsNeedIdle) {
  Open();
  ASSERT_TRUE(F().Archive().Empty());
  window->UpdateActions();
  EXPECT_FALSE(window->Action("AnalyzeRepeats")->isEnabled());
  EXPECT_TRUE(window->Action("TotalSumCombs")->isEnabled());
  EXPECT_EQ(window->Action("TotalSumCombs")->toolTip(),
            U("Распределение сумм всех возможных комбинаций и архива тиражей одновременно"));
  EXPECT_FALSE(window->Trigger("AnalyzeRepeats"));

  F().Archive().Append(Draw(1, {1, 2, 3, 4, 5}));
  window->UpdateActions();
  EXPECT_TRUE(window->Action("AnalyzeRepeats")->isEnabled());
  {
    TTemplateMain::Busy busy(F());
    window->UpdateActions();
    EXPECT_FALSE(window->Action("AnalyzeRepeats")->isEnabled());
    EXPECT_FALSE(window->Action("TotalSumCombs")->isEnabled());
  }
  window->UpdateActions();
  EXPECT_TRUE(window->Action("TotalSumCombs")->isEnabled());
}

TEST_F(ExtendedStatsTest, AnalyzeRepeatsComputesOnceAndShowsTheWindowModally) {
  SaveDraws({{1, 2, 3, 4, 5}, {1, 2, 6, 7, 8}, {1, 9, 10, 11, 12}});
  FormSettings(Env::Real(), dir.File("Pentalux5_5v36.frm")).WriteInt("TFormRepeats", "DrawsLength", 2);
  Open();
  ClearMessages();
  int computations = -1;
  size_t rows = 0;
  QString title;
  bool modal = false;
  dialogs.push_back([&](QDialog& d) {
    auto& w = dynamic_cast<ui::RepeatsWindow&>(d);
    computations = w.Computations();
    rows = w.Table().Size();
    title = w.windowTitle();
    modal = w.isModal();
    EXPECT_EQ(w.parentWidget(), window.get());
    return false;
  });
  ASSERT_TRUE(window->Trigger("AnalyzeRepeats"));
  EXPECT_TRUE(dialogs.empty());
  EXPECT_EQ(computations, 1);
  EXPECT_EQ(title, U("Количество повторов в зависимости от тиража"));
  EXPECT_TRUE(modal);
  // Two draws with rows: 103 shares 1 with both, 102 shares 2 with 101.
  EXPECT_EQ(rows, AnalyzeRepeats(F().Archive(), 2, 100).Size());
  EXPECT_EQ(rows, 2u);
  EXPECT_TRUE(F().IsIdle());
  EXPECT_TRUE(messages.empty());
}

TEST_F(ExtendedStatsTest, TheSumsChartOfOneDrawOfSum100) {
  SaveDraws({{30, 10, 20, 25, 15}});
  Open();
  std::vector<QString> titles;
  QString caption;
  QList<QPointF> actual, theory;
  std::vector<QList<QPointF>> levels;
  std::vector<QColor> colours;
  std::vector<bool> pointers, labels;
  dialogs.push_back([&](QDialog& d) {
    auto& g = dynamic_cast<ui::GraphWindow&>(d);
    caption = g.windowTitle();
    EXPECT_TRUE(g.Chart()->legend()->showToolTips());
    for (QAbstractSeries* s : g.Chart()->series()) {
      auto* line = qobject_cast<QLineSeries*>(s);
      titles.push_back(line->name());
      colours.push_back(line->pen().color());
      pointers.push_back(line->pointsVisible());
      labels.push_back(g.LabelsVisible(line->name()));
    }
    actual = g.Points(U("Фактическое распределение сумм (по тиражам)"));
    theory = g.Points(U("Теоретическое распределение сумм (по комбинациям)"));
    for (size_t i = 2; i < titles.size(); ++i) levels.push_back(g.Points(titles[i]));
    return true;
  });
  ASSERT_TRUE(window->Trigger("TotalSumCombs"));
  EXPECT_EQ(caption, U(FindAction("TotalSumCombs")->caption));
  EXPECT_EQ(titles, (std::vector<QString>{U("Фактическое распределение сумм (по тиражам)"),
                                          U("Теоретическое распределение сумм (по комбинациям)"),
                                          U("Диапазон 1 (от 1/3 и выше по оси Y) - суммы 59-126"),
                                          U("Диапазон 2 (от 1/2 и выше по оси Y) - суммы 66-119"),
                                          U("Диапазон 3 (от 2/3 и выше по оси Y) - суммы 72-113")}));
  EXPECT_EQ(colours, (std::vector<QColor>{QColor(255, 0, 0), QColor(128, 0, 0), QColor(0, 128, 0), QColor(0, 0, 255),
                                          QColor(255, 0, 255)}));
  EXPECT_EQ(pointers, (std::vector<bool>{true, false, false, false, false}));
  EXPECT_EQ(labels, (std::vector<bool>{true, false, false, false, false}));
  EXPECT_EQ(actual, (QList<QPointF>{{100, 1}}));

  // The theory over every sum, at its tallest 1 at 92 and 93 only.
  const SumsTables t = ComputeSums(F().Archive());
  ASSERT_EQ(theory.size(), 156);
  for (int i = 0; i < theory.size(); ++i) {
    const int sum = 15 + i;
    EXPECT_EQ(theory[i].x(), sum);
    EXPECT_DOUBLE_EQ(theory[i].y(), t.theory[size_t(i)].count / 6660.0);
    if (sum == 92 || sum == 93)
      EXPECT_DOUBLE_EQ(theory[i].y(), 1.0);
    else
      EXPECT_LT(theory[i].y(), 1.0);
  }
  ASSERT_EQ(levels.size(), 3u);
  const double heights[] = {2221 / 6660.0, 3331 / 6660.0, 4441 / 6660.0};
  for (size_t j = 0; j < 3; ++j) {
    ASSERT_EQ(levels[j].size(), 156);
    EXPECT_EQ(levels[j].front().x(), 15);
    EXPECT_EQ(levels[j].back().x(), 170);
    for (const QPointF& p : levels[j]) EXPECT_DOUBLE_EQ(p.y(), heights[j]);
  }
  EXPECT_EQ(Panel(6), "");
  EXPECT_TRUE(F().IsIdle());
}

TEST_F(ExtendedStatsTest, TheSumsChartOfAnEmptyArchiveLiesFlat) {
  Open();
  ui::GraphWindow g;
  ui::FillSumsChart(g, ComputeSums(F().Archive()));
  // No actual line at all; the others at height 0.
  EXPECT_EQ(g.SeriesCount(), 4);
  EXPECT_EQ(g.Series(U("Фактическое распределение сумм (по тиражам)")), nullptr);
  for (QAbstractSeries* s : g.Chart()->series())
    for (const QPointF& p : qobject_cast<QLineSeries*>(s)->points()) EXPECT_EQ(p.y(), 0.0);
}

}  // namespace
}  // namespace px::test
