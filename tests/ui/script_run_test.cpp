#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <vector>

#include "core/archive.h"
#include "core/ini.h"
#include "frame/frame.h"
#include "stats/stat_table.h"
#include "support/draws.h"
#include "tests/ui/window_fixture.h"
#include "ui/scenario_page.h"
#include "ui/scenario_run.h"
#include "ui/stakes_page.h"
#include "ui/stats_page.h"

namespace px::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int kDraws = 60;
// One window, one stake per pass: quick.
constexpr const char* kQuickLine = "FULL:0#FIRST|TSD1#NUMS:25#LNO:#SF:1| | | | | | |быстрая";
// Twenty windows with coefficients of its own: a test of twenty passes takes
// far longer than the moment the tests stop it at.
constexpr const char* kHeavyLine = "FULL:0#FIRST|TSD1#NUMS:10-200;10#LNO:#SF:1#1.5:-0.25:3:0:0| | | | | | |тяжелая";
constexpr const char* kStopQuestion = "Остановить выполнение сценария?";

// What the window looked like while a run was under way.
struct RunningState {
  bool seen = false;
  bool stopEnabled = false;
  bool runEnabled = true;
  bool testEnabled = true;
  bool drawsAddEnabled = true;
  bool combsGenEnabled = true;
  bool logToggleEnabled = true;
  bool drawsTabEnabled = true;
  bool combsTabEnabled = true;
  bool statsTabEnabled = true;
  bool scenarioViewEnabled = true;
  bool stopEnabledAfterAsking = true;
};

// A window over an archive of 60 draws, whose scenario the tests fill.
class ScriptRunTest : public WindowTest {
 protected:
  void SetUp() override {
    DrawArchive archive;
    for (int i = 1; i <= kDraws; ++i) {
      Combination c{};
      // Distinct for every draw: 11·k stays apart modulo 36 for k < 5.
      for (int k = 0; k < 5; ++k) c[size_t(k)] = uint8_t((i * 7 + k * 11) % 36 + 1);
      archive.Append(Draw(i, c));
    }
    archive.Save(Env::Real(), ArchivePath(dir.Path()));
    Open();
    ASSERT_EQ(F().Archive().Count(), kDraws);
    F().SetRunSeed(1);
    nums = F().Registry().FindByCode("NUMS");
    ASSERT_GE(nums, 0);
    ClearMessages();
  }
  void TearDown() override {
    if (window) Close();
  }

  TFormMain& F() { return window->Frame(); }
  StakeStore& Store() { return *F().Stakes(); }
  void AddLine(const char* line) { F().ScenarioStore()->Add(line); }
  std::string ScriptPanel(int i) const { return window->Script()->Panel(i)->text().toStdString(); }
  int StatsTab() const { return window->MainPages()->indexOf(window->Stats()); }
  bool PagesEnabled() const {
    return window->ListPages()->isTabEnabled(0) && window->ListPages()->isTabEnabled(1) &&
           window->MainPages()->isTabEnabled(StatsTab()) && window->Script()->Table()->isEnabled();
  }
  // The draw numbers of the stakes in the file, oldest first.
  std::vector<int32_t> StakeDraws() {
    std::vector<int32_t> draws;
    for (int64_t i = 0; i < Store().RecordCount(); ++i) {
      const StakeRecord r = Store().ReadRecord(i);
      if (!r.IsBlankRow()) draws.push_back(r.drawNumber);
    }
    return draws;
  }
  int QuestionsAsked(const std::string& text) const {
    int n = 0;
    for (const auto& m : messages) n += m.first == "question" && m.second == text;
    return n;
  }
  // Picks a statistic other than NUMS and a sort order of the test's own.
  void PrepareStats() {
    QComboBox* methods = window->Stats()->MethodList();
    for (int i = 0; i < methods->count(); ++i)
      if (methods->itemData(i).toInt() != nums) {
        methods->setCurrentIndex(i);
        break;
      }
    ASSERT_NE(window->Stats()->SelectedMethod(), nums);
    window->Stats()->LengthField()->setValue(1000);
    window->Stats()->Table()->sortByColumn(kColDepth, Qt::DescendingOrder);
  }
  void ExpectStatsOrderKept() {
    const QHeaderView* header = window->Stats()->Table()->horizontalHeader();
    EXPECT_EQ(header->sortIndicatorSection(), kColDepth);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
  }
  void Capture(RunningState& s) {
    window->UpdateActions();
    s.seen = F().ScenarioRunning();
    s.stopEnabled = window->Action("ScriptStop")->isEnabled();
    s.runEnabled = window->Action("ScriptRun")->isEnabled();
    s.testEnabled = window->Action("ScriptTest")->isEnabled();
    s.drawsAddEnabled = window->Action("DrawsAdd")->isEnabled();
    s.combsGenEnabled = window->Action("CombsGen")->isEnabled();
    s.logToggleEnabled = window->Action("LogToggle")->isEnabled();
    s.drawsTabEnabled = window->ListPages()->isTabEnabled(0);
    s.combsTabEnabled = window->ListPages()->isTabEnabled(1);
    s.statsTabEnabled = window->MainPages()->isTabEnabled(StatsTab());
    s.scenarioViewEnabled = window->Script()->Table()->isEnabled();
  }
  // Answers the test count dialog with count (or cancels it).
  void AnswerTestCount(int count, bool accept = true) {
    dialogs.push_back([count, accept](QDialog& d) {
      auto* dialog = qobject_cast<ui::TestCountDialog*>(&d);
      if (!dialog) {
        ADD_FAILURE() << "not the test count dialog";
        return false;
      }
      dialog->CountField()->setValue(count);
      return accept;
    });
  }
  // Runs `during` once, `ms` after the run started, from the run's own event pumping.
  bool TriggerWhileRunning(const std::string& command, int ms, std::function<void()> during) {
    QTimer timer;
    timer.setSingleShot(true);
    timer.setInterval(ms);
    QObject::connect(&timer, &QTimer::timeout, [&] { during(); });
    timer.start();
    const bool triggered = window->Trigger(command);
    EXPECT_FALSE(timer.isActive()) << "the run was over before the timer";
    return triggered;
  }

  // As above, but `during` comes once `ready` holds, polled every 10 ms of
  // the run's event pumps: independent of how fast the machine is.
  bool TriggerWhen(const std::string& command, std::function<bool()> ready, std::function<void()> during) {
    QTimer timer;
    timer.setInterval(10);
    bool done = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (done || !ready()) return;
      done = true;
      timer.stop();
      during();
    });
    timer.start();
    const bool triggered = window->Trigger(command);
    EXPECT_TRUE(done) << "the run was over before it was ready";
    return triggered;
  }
  // The pass the scenario page's status bar shows.
  int Cycle() const { return window->Script()->Panel(1)->text().section(' ', 1).toInt(); }

  int nums = -1;
};

TEST_F(ScriptRunTest, CommandsFollowTheScenarioAndTheRun) {
  window->UpdateActions();
  // No scenario lines yet.
  EXPECT_FALSE(window->Action("ScriptRun")->isEnabled());
  EXPECT_FALSE(window->Action("ScriptTest")->isEnabled());
  EXPECT_FALSE(window->Action("ScriptStop")->isEnabled());
  EXPECT_TRUE(window->Action("LogToggle")->isEnabled());
  EXPECT_TRUE(window->Action("LogsDelete")->isEnabled());
  AddLine(kQuickLine);
  window->UpdateActions();
  EXPECT_TRUE(window->Action("ScriptRun")->isEnabled());
  EXPECT_TRUE(window->Action("ScriptTest")->isEnabled());
  EXPECT_FALSE(window->Action("ScriptStop")->isEnabled());  // nothing runs
  EXPECT_EQ(window->Action("ScriptRun")->shortcut(), QKeySequence("F10"));
  EXPECT_EQ(window->Action("ScriptTest")->shortcut(), QKeySequence("Ctrl+F10"));
  EXPECT_EQ(window->Action("ScriptStop")->shortcut(), QKeySequence("Ctrl+X"));
  EXPECT_EQ(window->Action("ScriptRun")->text(), U("Прогноз"));
  EXPECT_EQ(window->Action("ScriptStop")->text(), U("Стоп"));
  // Another command holding the busy counter disables the runs too.
  {
    TTemplateMain::Busy busy(F());
    window->UpdateActions();
    EXPECT_FALSE(window->Action("ScriptRun")->isEnabled());
    EXPECT_FALSE(window->Action("LogToggle")->isEnabled());
  }
  window->UpdateActions();
  EXPECT_TRUE(window->Action("ScriptRun")->isEnabled());
}

TEST_F(ScriptRunTest, ForecastMakesStakesAndShowsItsStatus) {
  AddLine(kQuickLine);
  PrepareStats();
  window->ListPages()->setCurrentIndex(0);
  window->MainPages()->setCurrentWidget(window->Stats());
  const int offset = window->OffsetField()->value();
  const int64_t before = Store().RecordCount();
  ASSERT_TRUE(window->Trigger("ScriptRun"));
  EXPECT_TRUE(messages.empty()) << messages.front().second;
  EXPECT_FALSE(window->LastRun().stopped);
  EXPECT_EQ(window->LastRun().cycles, 1);
  EXPECT_EQ(window->LastRun().stakes, 1);
  EXPECT_EQ(Store().RecordCount(), before + 1);
  // The stake is for the draw after the last one.
  EXPECT_EQ(StakeDraws(), std::vector<int32_t>{kDraws + 1});
  EXPECT_EQ(window->Stakes()->Model()->rowCount(), int(Store().RecordCount()));
  EXPECT_EQ(Panel(4), Store().CountText());
  // The scenario page's status bar: the count of lines stays, the run filled the rest.
  EXPECT_EQ(ScriptPanel(0), "Строк: 1");
  EXPECT_EQ(ScriptPanel(3), "Ставок: 1");
  EXPECT_EQ(ScriptPanel(4), "Сценарий завершен!");
  EXPECT_TRUE(window->Script()->SelectedLines().empty());
  EXPECT_EQ(window->OffsetField()->value(), offset);
  EXPECT_TRUE(PagesEnabled());
  // Disabling a tab did not hand its place to a neighbour.
  EXPECT_EQ(window->ListPages()->currentIndex(), 0);
  EXPECT_EQ(window->MainPages()->currentWidget(), window->Stats());
  EXPECT_FALSE(F().ViewsSuspended());
  // The statistics page shows the statistic the run used, in the order it had.
  EXPECT_EQ(window->Stats()->SelectedMethod(), nums);
  EXPECT_EQ(window->Stats()->LengthField()->value(), 25);
  EXPECT_EQ(window->Stats()->Model()->rowCount(), 36);
  ExpectStatsOrderKept();
  EXPECT_TRUE(window->Action("ScriptRun")->isEnabled());
  EXPECT_FALSE(window->Action("ScriptStop")->isEnabled());
  EXPECT_TRUE(window->Action("DrawsAdd")->isEnabled());
  EXPECT_TRUE(desktop->LastOpened().empty());  // no log asked for
}

TEST_F(ScriptRunTest, TestAsksForTheCountAndPutsTheOffsetBack) {
  AddLine(kQuickLine);
  window->MainPages()->setCurrentWidget(window->Stats());
  window->OffsetField()->setValue(3);
  ASSERT_EQ(F().DrawsOffset(), 3);
  ASSERT_TRUE(window->Stats()->isVisible());
  const int computations = window->Stats()->Computations();
  dialogs.push_back([](QDialog& d) {
    auto* dialog = qobject_cast<ui::TestCountDialog*>(&d);
    if (!dialog) {
      ADD_FAILURE() << "not the test count dialog";
      return false;
    }
    EXPECT_EQ(dialog->windowTitle(), U("Количество тестов"));
    EXPECT_EQ(dialog->Label()->text(), U("Укажите количество тестов:"));
    EXPECT_EQ(dialog->CountField()->minimum(), 1);
    EXPECT_EQ(dialog->CountField()->maximum(), kDraws - 1);
    EXPECT_EQ(dialog->CountField()->value(), 10);
    EXPECT_EQ(dialog->CountField()->toolTip(),
              U("Укажите количество последних тиражей, на которых будет производится тестирование"));
    dialog->CountField()->setValue(5);
    return true;
  });
  ASSERT_TRUE(window->Trigger("ScriptTest"));
  EXPECT_TRUE(dialogs.empty());
  EXPECT_TRUE(messages.empty()) << messages.front().second;
  EXPECT_FALSE(window->LastRun().stopped);
  EXPECT_EQ(window->LastRun().cycles, 5);
  EXPECT_EQ(window->LastRun().stakes, 5);
  // One stake per pass, each for the draw after the pass's offset (5 .. 1).
  EXPECT_EQ(StakeDraws(), (std::vector<int32_t>{56, 57, 58, 59, 60}));
  EXPECT_EQ(F().DrawsOffset(), 3);
  EXPECT_EQ(window->OffsetField()->value(), 3);
  EXPECT_EQ(ScriptPanel(3), "Ставок: 5");
  EXPECT_EQ(ScriptPanel(4), "Сценарий завершен!");
  EXPECT_TRUE(PagesEnabled());
  // The shown statistic followed once, after the run, not at every pass.
  EXPECT_EQ(window->Stats()->Computations(), computations + 1);
  EXPECT_EQ(window->Stats()->SelectedMethod(), nums);

  // Cancel: no test.
  const int64_t records = Store().RecordCount();
  const int cycles = window->LastRun().cycles;
  const int stakes = window->LastRun().stakes;
  AnswerTestCount(4, false);
  ASSERT_TRUE(window->Trigger("ScriptTest"));
  EXPECT_TRUE(dialogs.empty());
  EXPECT_EQ(Store().RecordCount(), records);
  // No run: the last one's outcome stands.
  EXPECT_EQ(window->LastRun().cycles, cycles);
  EXPECT_EQ(window->LastRun().stakes, stakes);
  EXPECT_EQ(F().DrawsOffset(), 3);
}

TEST_F(ScriptRunTest, TestCountIsClampedIntoTheArchive) {
  ui::TestCountDialog small(4);
  EXPECT_EQ(small.CountField()->maximum(), 4);
  EXPECT_EQ(small.CountField()->value(), 4);
  ui::TestCountDialog none(0);
  EXPECT_EQ(none.CountField()->maximum(), 1);
  EXPECT_EQ(none.CountField()->value(), 1);
}

TEST_F(ScriptRunTest, StopDuringATestEndsItEarly) {
  AddLine(kHeavyLine);
  PrepareStats();
  const long double count = F().Config().data.Count;
  const long double deviation = F().Config().data.Deviation;
  const long double level = F().Config().data.Level;
  AnswerTestCount(20);
  RunningState running;
  // In the second pass the first has used its table.
  TriggerWhen("ScriptTest", [&] { return Cycle() >= 2; }, [&] {
    Capture(running);
    answers.push_back(true);
    EXPECT_TRUE(window->Trigger("ScriptStop"));
    window->UpdateActions();
    running.stopEnabledAfterAsking = window->Action("ScriptStop")->isEnabled();
  });
  ASSERT_TRUE(running.seen);
  EXPECT_TRUE(running.stopEnabled);
  EXPECT_FALSE(running.runEnabled);
  EXPECT_FALSE(running.testEnabled);
  EXPECT_FALSE(running.drawsAddEnabled);
  EXPECT_FALSE(running.combsGenEnabled);
  EXPECT_FALSE(running.logToggleEnabled);
  EXPECT_FALSE(running.drawsTabEnabled);
  EXPECT_FALSE(running.combsTabEnabled);
  EXPECT_FALSE(running.statsTabEnabled);
  EXPECT_FALSE(running.scenarioViewEnabled);
  EXPECT_FALSE(running.stopEnabledAfterAsking);  // the stop is already asked for

  EXPECT_EQ(QuestionsAsked(kStopQuestion), 1);
  EXPECT_TRUE(window->LastRun().stopped);
  EXPECT_GE(window->LastRun().cycles, 1);
  EXPECT_LT(window->LastRun().cycles, 20);
  // The offset stays where the stop found the test: at the pass begun last,
  // or already at the next one when the stop came between the two.
  const int cycles = window->LastRun().cycles;
  EXPECT_GE(F().DrawsOffset(), 20 - cycles);
  EXPECT_LE(F().DrawsOffset(), 21 - cycles);
  EXPECT_GT(F().DrawsOffset(), 0);
  EXPECT_EQ(window->OffsetField()->value(), F().DrawsOffset());
  EXPECT_TRUE(PagesEnabled());
  ExpectStatsOrderKept();
  EXPECT_EQ(window->Stats()->SelectedMethod(), nums);
  EXPECT_EQ(window->Stats()->LengthField()->value() % 10, 0);
  EXPECT_EQ(F().Config().data.Count, count);
  EXPECT_EQ(F().Config().data.Deviation, deviation);
  EXPECT_EQ(F().Config().data.Level, level);
  EXPECT_FALSE(F().ScenarioRunning());
  EXPECT_FALSE(window->Action("ScriptStop")->isEnabled());
  EXPECT_TRUE(window->Action("ScriptRun")->isEnabled());
  EXPECT_TRUE(window->Action("DrawsAdd")->isEnabled());
}

TEST_F(ScriptRunTest, StopAnsweredNoLetsTheRunFinish) {
  AddLine(kQuickLine);
  AnswerTestCount(3);
  TriggerWhileRunning("ScriptTest", 0, [&] {
    answers.push_back(false);
    EXPECT_TRUE(window->Trigger("ScriptStop"));
    window->UpdateActions();
    EXPECT_TRUE(window->Action("ScriptStop")->isEnabled());  // it may be asked again
  });
  EXPECT_EQ(QuestionsAsked(kStopQuestion), 1);
  EXPECT_FALSE(window->LastRun().stopped);
  EXPECT_EQ(window->LastRun().cycles, 3);
  EXPECT_EQ(F().DrawsOffset(), 0);
}

TEST_F(ScriptRunTest, StopAgreedBeforeTheFirstPassMakesNone) {
  AddLine(kQuickLine);
  window->OffsetField()->setValue(2);
  const int64_t records = Store().RecordCount();
  AnswerTestCount(5);
  // A zero timer fires at the run's first event pumping, before any pass.
  TriggerWhileRunning("ScriptTest", 0, [&] {
    answers.push_back(true);
    EXPECT_TRUE(window->Trigger("ScriptStop"));
  });
  EXPECT_EQ(QuestionsAsked(kStopQuestion), 1);
  EXPECT_TRUE(window->LastRun().stopped);
  EXPECT_EQ(window->LastRun().cycles, 0);
  EXPECT_EQ(Store().RecordCount(), records);
  EXPECT_EQ(F().DrawsOffset(), 2);
  EXPECT_TRUE(PagesEnabled());
  // The next run is not stopped by the old answer.
  ASSERT_TRUE(window->Trigger("ScriptRun"));
  EXPECT_FALSE(window->LastRun().stopped);
  EXPECT_EQ(window->LastRun().stakes, 1);
}

TEST_F(ScriptRunTest, ClosingDuringARunClosesOnceItIsOver) {
  AddLine(kHeavyLine);
  AnswerTestCount(20);
  bool closedInside = true;
  bool visibleInside = false;
  TriggerWhileRunning("ScriptTest", 100, [&] {
    answers.push_back(true);
    closedInside = window->close();
    visibleInside = window->isVisible();
  });
  EXPECT_FALSE(closedInside);  // the run was still on the stack
  EXPECT_TRUE(visibleInside);
  EXPECT_EQ(QuestionsAsked(kStopQuestion), 1);
  EXPECT_TRUE(window->LastRun().stopped);
  EXPECT_LT(window->LastRun().cycles, 20);
  ASSERT_TRUE(window->isVisible());
  QCoreApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
  // The closing wrote the window state as a close always does.
  const IniFile frm = IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm"));
  EXPECT_FALSE(frm.ReadString("TFormMain", "NormPos", "").empty());
}

TEST_F(ScriptRunTest, ClosingDuringARunAnsweredNoKeepsTheWindow) {
  AddLine(kQuickLine);
  AnswerTestCount(3);
  bool closedInside = true;
  TriggerWhileRunning("ScriptTest", 0, [&] {
    answers.push_back(false);
    closedInside = window->close();
  });
  EXPECT_FALSE(closedInside);
  EXPECT_EQ(QuestionsAsked(kStopQuestion), 1);
  EXPECT_FALSE(window->LastRun().stopped);
  EXPECT_EQ(window->LastRun().cycles, 3);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->Action("ScriptRun")->isEnabled());
}

TEST_F(ScriptRunTest, LogToggleWritesLogsThatLogsDeleteRemoves) {
  AddLine(kQuickLine);
  auto logs = [this] {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
      const std::string name = e.path().filename().string();
      if (name.rfind("ScriptLog_", 0) == 0 && e.path().extension() == ".txt") found.push_back(e.path().string());
    }
    return found;
  };
  ASSERT_TRUE(window->Trigger("LogsDelete"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.back(), (std::pair<std::string, std::string>{"info", "Файлы журналов не найдены!"}));

  ASSERT_FALSE(F().Settings().ScriptLogEnabled);
  EXPECT_FALSE(window->Action("LogToggle")->isChecked());
  ASSERT_TRUE(window->Trigger("LogToggle"));
  EXPECT_TRUE(F().Settings().ScriptLogEnabled);
  EXPECT_TRUE(window->Action("LogToggle")->isChecked());
  EXPECT_EQ(IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm")).ReadString("TFormMain", "ScriptLogEnabled", ""),
            "1");

  ASSERT_TRUE(window->Trigger("ScriptRun"));
  const std::vector<std::string> written = logs();
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(desktop->LastOpened(), written.front());
  EXPECT_GT(std::filesystem::file_size(written.front()), 0u);

  ClearMessages();
  ASSERT_TRUE(window->Trigger("LogsDelete"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages.back().first, "info");
  EXPECT_EQ(messages.back().second.rfind("Удаление файлов журналов завершено", 0), 0u) << messages.back().second;
  EXPECT_TRUE(logs().empty());

  // Off again: a run writes and opens nothing.
  ASSERT_TRUE(window->Trigger("LogToggle"));
  EXPECT_FALSE(F().Settings().ScriptLogEnabled);
  EXPECT_FALSE(window->Action("LogToggle")->isChecked());
  EXPECT_EQ(IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm")).ReadString("TFormMain", "ScriptLogEnabled", ""),
            "0");
  desktop->opened.clear();
  ASSERT_TRUE(window->Trigger("ScriptRun"));
  EXPECT_TRUE(logs().empty());
  EXPECT_TRUE(desktop->LastOpened().empty());
}

}  // namespace
}  // namespace px::test

namespace px::test {
namespace {

// Counts the paint events of a widget and its children.
class PaintCounter final : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
  void Watch(QWidget* w) {
    w->installEventFilter(this);
    for (QWidget* child : w->findChildren<QWidget*>()) child->installEventFilter(this);
  }
};

// The lists and the statistics keep their picture during a run and are
// painted again once it is over; the run still shows its status meanwhile.
TEST_F(ScriptRunTest, SuspendedPagesAreNotPaintedDuringARun) {
  AddLine(kHeavyLine);
  window->ListPages()->setCurrentIndex(1);
  window->MainPages()->setCurrentWidget(window->Stats());
  window->resize(1200, 800);
  QCoreApplication::processEvents();
  PaintCounter lists, stats;
  lists.Watch(window->ListPages()->currentWidget());
  stats.Watch(window->Stats());
  int listsDuring = -1, statsDuring = -1, cycles = 0, widthDuring = -1;
  const int widthBefore = window->ListPages()->width();
  QString status;
  // From the second pass to the third, polled from the run's own pumps.
  QTimer timer;
  timer.setInterval(10);
  bool counting = false;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (!counting && Cycle() == 2) {
      counting = true;
      lists.paints = stats.paints = 0;
    } else if (counting && Cycle() >= 3 && listsDuring < 0) {
      listsDuring = lists.paints;
      statsDuring = stats.paints;
      cycles = Cycle();
      status = window->Script()->Panel(4)->text();
      widthDuring = window->ListPages()->width();
    }
  });
  timer.start();
  AnswerTestCount(4);
  ASSERT_TRUE(window->Trigger("ScriptTest"));
  timer.stop();
  // Seen in the third pass or, on a fast machine, the fourth.
  EXPECT_GE(cycles, 3);
  EXPECT_FALSE(status.isEmpty());
  EXPECT_EQ(listsDuring, 0);
  EXPECT_EQ(statsDuring, 0);
  // The run's long status texts do not move the splitter.
  EXPECT_EQ(widthDuring, widthBefore);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window->ListPages()->currentWidget()->updatesEnabled());
  EXPECT_TRUE(window->Stats()->updatesEnabled());
  lists.paints = 0;
  window->ListPages()->currentWidget()->repaint();
  EXPECT_GT(lists.paints, 0);
  EXPECT_EQ(window->CombsView()->model()->rowCount(), F().Combs().Count());
}

}  // namespace
}  // namespace px::test
