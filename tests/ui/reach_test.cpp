// The window as a person meets it: numbers and titles that fit their
// columns, a status bar whose panels keep apart, and every command of a
// list under its right mouse button.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <set>

#include "core/ini.h"
#include "frame/actions.h"
#include "scenario/line_words.h"
#include "stakes/stake_store.h"
#include "stats/stat_table.h"
#include "ui/context_menu.h"
#include "ui/list_models.h"
#include "ui/list_view.h"
#include "ui/ratings_page.h"
#include "ui/scenario_page.h"
#include "ui/scenario_run.h"
#include "ui/scenario_tab.h"
#include "ui/stakes_page.h"
#include "ui/stats_page.h"
#include "window_fixture.h"

namespace px::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The demo's draws, prize table and scenario, as a person first starts with.
class ReachTest : public WindowTest {
 protected:
  void OpenDemo(const std::string& frm = "[TFormMain]\r\nDownloadDrawsOnStart=2\r\n") {
    const std::string demo = std::string(PENTALUX_SOURCE_DIR) + "/demo/";
    std::filesystem::copy_file(demo + "demo_config.ini", dir.File("Pentalux5_5v36.ini"));
    std::filesystem::copy_file(demo + "demo_scenario.lsc", dir.File("Pentalux5_5v36.lss"));
    Env::Real().WriteFile(dir.File("Pentalux5_5v36.frm"), frm);
    Open();
    window->Frame().DrawsImport(demo + "demo_draws_vantora5.csv");
    ClearMessages();
  }

  ui::StatsPage& Stats() { return *window->Stats(); }

  void ComputeNums(int length) {
    ASSERT_TRUE(Stats().SelectMethod("NUMS"));
    Stats().LengthField()->setValue(length);
    ASSERT_TRUE(window->Trigger("DrawsStatCalc"));
  }
  int StatRow(const std::string& value) {
    for (int r = 0; r < Stats().Model()->rowCount(); ++r)
      if (Stats().Model()->index(r, kColValue).data().toString().toStdString() == value) return r;
    return -1;
  }
  void SelectStatRows(const std::vector<int>& rows) {
    Stats().Table()->clearSelection();
    for (int r : rows)
      Stats().Table()->selectionModel()->select(Stats().Model()->index(r, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }

  // An eight-number stake of the demo's largest: on the newest draw with all
  // its numbers (checked, five matches), and on the next draw (unchecked).
  void MakeStakes() {
    TFormMain& f = window->Frame();
    const DrawRecord& newest = f.Archive().AtPosition(0);
    std::set<int> numbers(newest.numbers.begin(), newest.numbers.end());
    for (int n = 1; numbers.size() < 8; ++n) numbers.insert(n);
    NumberSet set;
    for (int n : numbers) set.values[size_t(set.count++)] = uint8_t(n);
    for (int32_t draw : {newest.number, newest.number + 1})
      ASSERT_TRUE(f.Stakes()->Append(MakeStake(StakeKind::Manual, draw, set, 376992, "Ставка", f.Config().data), 1));
    f.CheckStakes();
    window->Stakes()->RefreshView(true, false);
    window->Ratings()->RefreshView();
  }

  // The cell's text, as painted, fits its column: the style's margins on
  // either side of the text in the view's own font.
  static int TextRoom(const QTableView& view, const QString& text) {
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    return view.fontMetrics().horizontalAdvance(text) + 2 * margin;
  }
  static bool IsNumber(const QString& text) {
    static const QRegularExpression number("^[-+]?[0-9][0-9 .,;%/+-]*$");
    return number.match(text).hasMatch();
  }
  // Every shown number of the first rows and every title fits; returns how many numbers were seen.
  static int ExpectFits(const QTableView& view, const char* name) {
    const QAbstractItemModel* model = view.model();
    const QHeaderView* header = view.horizontalHeader();
    int numbers = 0;
    for (int c = 0; c < model->columnCount(); ++c) {
      if (view.isColumnHidden(c)) continue;
      EXPECT_GE(view.columnWidth(c), header->sectionSizeHint(c))
          << name << " column " << c << ": the title \""
          << model->headerData(c, Qt::Horizontal).toString().toStdString() << "\" is cut";
      for (int r = 0; r < std::min(model->rowCount(), 400); ++r) {
        const QString text = model->index(r, c).data().toString();
        if (!IsNumber(text)) continue;
        ++numbers;
        EXPECT_GE(view.columnWidth(c), TextRoom(view, text))
            << name << " column " << c << " row " << r << ": \"" << text.toStdString() << "\" is cut";
      }
    }
    return numbers;
  }

  static std::set<std::string> Commands(const QMenu& menu) {
    std::set<std::string> names;
    for (QAction* a : menu.actions()) {
      if (a->menu()) {
        const auto inner = Commands(*a->menu());
        names.insert(inner.begin(), inner.end());
      } else if (!a->isSeparator()) {
        names.insert(a->objectName().toStdString());
      }
    }
    return names;
  }
  // The bound commands of the menu bar's menu of that title.
  std::set<std::string> MenuCommands(const char* title) const {
    std::set<std::string> names;
    std::function<void(const std::vector<MenuNode>&)> walk = [&](const std::vector<MenuNode>& nodes) {
      for (const MenuNode& n : nodes) {
        if (n.kind == MenuNode::Submenu) walk(n.children);
        if (n.kind == MenuNode::Action && window->Commands().IsBound(n.text) && window->Action(n.text)->isVisible())
          names.insert(n.text);
      }
    };
    for (const MenuNode& top : MainMenu())
      if (std::string(top.text) == title) walk(top.children);
    return names;
  }
  std::set<std::string> ContextCommands(const QTableView& view) {
    std::unique_ptr<QMenu> menu = ui::BuildContextMenu(view);
    EXPECT_NE(menu, nullptr) << view.objectName().toStdString() << " has no context menu";
    return menu ? Commands(*menu) : std::set<std::string>{};
  }
  // A right click on the view, choosing the command of that name.
  bool RightClickAndChoose(QTableView& view, const std::string& command) {
    bool offered = false;
    desktop->menuHook = [&](QMenu& menu) -> QAction* {
      std::function<QAction*(QMenu&)> find = [&](QMenu& m) -> QAction* {
        for (QAction* a : m.actions()) {
          if (a->menu())
            if (QAction* inner = find(*a->menu())) return inner;
          if (a->objectName().toStdString() == command) return a;
        }
        return nullptr;
      };
      QAction* a = find(menu);
      offered = a && a->isEnabled();
      return offered ? a : nullptr;
    };
    emit view.customContextMenuRequested(view.visualRect(view.currentIndex()).center());
    desktop->menuHook = nullptr;
    return offered;
  }
};

TEST_F(ReachTest, EveryNumberAndEveryTitleFitsItsColumn) {
  OpenDemo();
  ComputeNums(1000);
  // 52360 combinations have a 7; the stakes lose 2800.00 or win nearly a million.
  SelectStatRows({StatRow("7")});
  ASSERT_TRUE(window->Trigger("StatFilter_Include"));
  ASSERT_EQ(window->FiltersView()->model()->index(0, 2).data().toInt(), 52360);
  MakeStakes();
  ASSERT_EQ(window->Stakes()->Model()->index(1, 7).data().toString(), U("-2800.00"));
  ASSERT_GT(window->Ratings()->Model()->rowCount(), 0);

  EXPECT_GT(ExpectFits(*window->DrawsView(), "lvDraws"), 1000);
  EXPECT_GT(ExpectFits(*window->CombsView(), "lvCombs"), 1000);
  EXPECT_EQ(ExpectFits(*window->FiltersView(), "lvFilters"), 2);  // the value 7 and its count
  EXPECT_GT(ExpectFits(*Stats().Table(), "lvDrawsStat"), 36 * 10);
  EXPECT_GT(ExpectFits(*window->Stakes()->Table(), "StakesGrid"), 8);
  EXPECT_GT(ExpectFits(*window->Ratings()->Table(), "lvRatings"), 5);
  ASSERT_NE(window->Script(), nullptr);
  ExpectFits(*window->Script()->Table(), "lvScript");

  // Before they hold it: the whole set in either list, and the largest profit the prize table allows.
  const QString full = QStringLiteral("376992");
  EXPECT_GE(window->FiltersView()->columnWidth(2), TextRoom(*window->FiltersView(), full));
  EXPECT_GE(window->CombsView()->columnWidth(0), TextRoom(*window->CombsView(), full));
  const QString jackpot = QString::fromStdString(MoneyText(CurrencyOf(1000000) - 56 * CurrencyOf(50)));
  EXPECT_GE(window->Stakes()->Table()->columnWidth(7), TextRoom(*window->Stakes()->Table(), jackpot));
  // The left lists show their columns without scrolling sideways.
  QTableView* draws = window->DrawsView();
  EXPECT_LE(draws->horizontalHeader()->length(), draws->viewport()->width());
}

TEST_F(ReachTest, AWidthThePersonSetStaysAsSet) {
  OpenDemo("[TFormMain]\r\nDownloadDrawsOnStart=2\r\nlvFilters.Column2=40\r\nlvDrawsStat.Column1=50\r\n");
  EXPECT_EQ(window->FiltersView()->columnWidth(2), 40);
  ComputeNums(1000);
  SelectStatRows({StatRow("7")});
  ASSERT_TRUE(window->Trigger("StatFilter_Include"));
  EXPECT_EQ(window->FiltersView()->columnWidth(2), 40);
  EXPECT_EQ(Stats().Table()->columnWidth(kColCount), 50);
  EXPECT_TRUE(ui::UserWidth(*Stats().Table(), kColCount));
  // A column narrowed by hand after the start is not widened by the next table either.
  Stats().Table()->horizontalHeader()->resizeSection(kColDepth, 30);
  const int narrow = Stats().Table()->columnWidth(kColDepth);
  ASSERT_LT(narrow, Stats().Table()->horizontalHeader()->sectionSizeHint(kColDepth));
  ComputeNums(500);
  EXPECT_EQ(Stats().Table()->columnWidth(kColDepth), narrow);
  // One the person left alone still follows its texts.
  EXPECT_FALSE(ui::UserWidth(*Stats().Table(), kColLastDraw));
  EXPECT_GE(Stats().Table()->columnWidth(kColLastDraw), Stats().Table()->horizontalHeader()->sectionSizeHint(kColLastDraw));
}

TEST_F(ReachTest, TheStatusPanelsKeepApartAtTheSmallestWindow) {
  OpenDemo();
  MakeStakes();
  EXPECT_GE(window->minimumWidth(), 820);
  EXPECT_GE(window->minimumHeight(), 560);
  window->resize(100, 100);
  QApplication::processEvents();
  EXPECT_GE(window->width(), window->minimumWidth());
  for (int i = 0; i < 6; ++i) {
    QLabel* panel = window->Panel(i);
    if (panel->text().isEmpty()) continue;
    EXPECT_GE(panel->contentsRect().width(), panel->fontMetrics().horizontalAdvance(panel->text()))
        << "panel " << i << " cuts \"" << panel->text().toStdString() << "\"";
    for (int j = i + 1; j < 7; ++j)
      EXPECT_FALSE(panel->geometry().intersects(window->Panel(j)->geometry())) << i << " runs into " << j;
  }
  // A long progress text stays within its panel.
  window->SetStatusText(std::string(300, 'x'));
  EXPECT_LE(window->Panel(6)->geometry().right(), window->statusBar()->width());
  // A hint goes to the progress panel, not over the counters.
  QStatusTipEvent tip(U("Подсказка"));
  QApplication::sendEvent(window.get(), &tip);
  EXPECT_EQ(window->Panel(6)->text(), U("Подсказка"));
  EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
  EXPECT_TRUE(window->Panel(0)->isVisible());
}

TEST_F(ReachTest, EveryListOffersItsPagesCommandsUnderTheRightButton) {
  OpenDemo();
  ComputeNums(100);
  MakeStakes();
  const std::set<std::string> stats = ContextCommands(*Stats().Table());
  for (const char* name : {"StatFilter_Include", "StatFilter_Exclude", "DrawsStatCalc"}) EXPECT_EQ(stats.count(name), 1u) << name;
  struct Case {
    QTableView* view;
    const char* menu;
    std::vector<std::string> also;
  };
  const Case cases[] = {{Stats().Table(), "Статистика", {"StatFilter_Include", "StatFilter_Exclude"}},
                        {window->CombsView(), "Комбинации", {"StakeAdd", "StakeAddSelected", "SystemStakeFilter", "SystemStakeAll"}},
                        {window->Stakes()->Table(), "Ставки", {}},
                        {window->Ratings()->Table(), "Рейтинг", {}},
                        {window->Script()->Table(), "Сценарий", {}}};
  for (const Case& c : cases) {
    std::set<std::string> expected = MenuCommands(c.menu);
    ASSERT_FALSE(expected.empty()) << c.menu;
    expected.insert(c.also.begin(), c.also.end());
    const std::set<std::string> offered = ContextCommands(*c.view);
    for (const std::string& name : expected) EXPECT_EQ(offered.count(name), 1u) << c.menu << ": " << name;
    // Nothing still to come is offered.
    for (const std::string& name : offered) EXPECT_TRUE(window->Commands().IsBound(name)) << name;
  }
  EXPECT_EQ(ContextCommands(*window->Script()->Table()).count("ScriptTest"), 1u);
  EXPECT_EQ(ContextCommands(*window->FiltersView()), (std::set<std::string>{"CombsUndo"}));

  // The right button runs what it offers: keep the combinations with 7, then undo from the filters list.
  Stats().Table()->setCurrentIndex(Stats().Model()->index(StatRow("7"), 0));
  SelectStatRows({StatRow("7")});
  ASSERT_TRUE(RightClickAndChoose(*Stats().Table(), "StatFilter_Include"));
  EXPECT_EQ(Panel(3), "Комбинаций: 52360");
  ASSERT_TRUE(RightClickAndChoose(*window->FiltersView(), "CombsUndo"));
  EXPECT_EQ(Panel(3), "Комбинаций: 376992");
  // With nothing selected the filter is offered greyed and does not run.
  Stats().Table()->clearSelection();
  EXPECT_FALSE(RightClickAndChoose(*Stats().Table(), "StatFilter_Exclude"));
  EXPECT_EQ(Panel(3), "Комбинаций: 376992");
}

TEST_F(ReachTest, TheStatisticsTableHasItsFilterButtons) {
  OpenDemo();
  ComputeNums(100);
  const char* captions[] = {"Оставить выделенные", "Удалить выделенные"};
  const char* commands[] = {"StatFilter_Include", "StatFilter_Exclude"};
  for (int i = 0; i < 2; ++i) {
    QToolButton* button = Stats().FilterButton(i);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), U(captions[i]));
    EXPECT_EQ(button->defaultAction(), window->Action(commands[i]));
    EXPECT_FALSE(button->isEnabled()) << "nothing is selected yet";
  }
  SelectStatRows({StatRow("7")});
  window->UpdateActions();
  ASSERT_TRUE(Stats().FilterButton(1)->isEnabled());
  Stats().FilterButton(1)->click();
  EXPECT_EQ(Panel(3), "Комбинаций: 324632");
}

TEST_F(ReachTest, MenuTitlesOpenWithAltAndALetterOfTheirOwn) {
  OpenDemo();
  std::set<QKeySequence> keys;
  for (QAction* top : window->menuBar()->actions()) {
    const QString title = top->text();
    EXPECT_EQ(title.count('&'), 1) << title.toStdString();
    const QKeySequence key = QKeySequence::mnemonic(title);
    ASSERT_FALSE(key.isEmpty()) << title.toStdString();
    EXPECT_TRUE(keys.insert(key).second) << title.toStdString() << " shares its key";
  }
  EXPECT_EQ(window->menuBar()->actions().front()->text(), U("&Файл"));
  EXPECT_EQ(keys.size(), MainMenu().size());
}

TEST_F(ReachTest, TheDownloadAtStartChoicesAreOneGroup) {
  OpenDemo();
  QAction* choices[] = {window->Action("AutoDownload0"), window->Action("AutoDownload1"),
                        window->Action("AutoDownload2")};
  QActionGroup* group = choices[0]->actionGroup();
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(group->isExclusive());
  EXPECT_EQ(group->actions().size(), 3);
  for (QAction* a : choices) EXPECT_EQ(a->actionGroup(), group);
  EXPECT_NE(window->Action("RatingsEffMode0")->actionGroup(), group);
  for (int pick : {1, 0, 0, 2}) {
    choices[pick]->trigger();
    window->UpdateActions();
    EXPECT_EQ(window->Frame().Settings().DownloadDrawsOnStart, pick);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(choices[i]->isChecked(), i == pick) << pick << " then " << i;
  }
  IniFile frm = IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm"));
  EXPECT_EQ(frm.ReadString("TFormMain", "DownloadDrawsOnStart", ""), "2");
}

TEST_F(ReachTest, TheScenarioRunsFromItsButtonsAndTellsItsLinesInWords) {
  OpenDemo();
  ui::ScenarioTab* tab = nullptr;
  for (int i = 0; i < window->MainPages()->count(); ++i)
    if (auto* t = qobject_cast<ui::ScenarioTab*>(window->MainPages()->widget(i))) tab = t;
  ASSERT_NE(tab, nullptr);
  const char* runs[] = {"ScriptRun", "ScriptTest", "ScriptStop"};
  const char* captions[] = {"Прогноз", "Тест", "Стоп"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(tab->Button(i)->defaultAction(), window->Action(runs[i]));
    EXPECT_EQ(tab->Button(i)->text(), U(captions[i]));
  }
  std::set<QAction*> lineCommands;
  for (size_t i = 3; i < ui::ScenarioTab::kButtons; ++i) lineCommands.insert(tab->Button(i)->defaultAction());
  for (const char* name : {"ScriptAdd", "ScriptEdit", "ScriptClone", "ScriptDel", "ScriptUp", "ScriptDown"})
    EXPECT_EQ(lineCommands.count(window->Action(name)), 1u) << name;

  // "Тест" asks for the count of tests; declined, nothing runs.
  window->UpdateActions();
  ASSERT_TRUE(tab->Button(1)->isEnabled());
  bool asked = false;
  dialogs.push_back([&](QDialog& d) {
    asked = qobject_cast<ui::TestCountDialog*>(&d) != nullptr;
    return false;
  });
  tab->Button(1)->click();
  EXPECT_TRUE(asked);
  EXPECT_FALSE(tab->Button(2)->isEnabled()) << "no run to stop";

  // The first demo line: its filters, and the whole line over its comment.
  const QAbstractItemModel* lines = window->Script()->Model();
  const ScenarioLine line = ParseLine(window->Frame().ScenarioStore()->Lines()[0], window->Frame().Registry());
  const QString filter = lines->index(0, 2).data(Qt::ToolTipRole).toString();
  EXPECT_EQ(filter.toStdString(), FilterInWords(line.filters[0], 1, window->Frame().Registry()));
  EXPECT_TRUE(filter.contains(U("Количество тиражей: 100-300;100 (100, 200, 300)"))) << filter.toStdString();
  EXPECT_TRUE(filter.contains(U("Остановка по: Количеству шагов: 3"))) << filter.toStdString();
  const QString whole = lines->index(0, 0).data(Qt::ToolTipRole).toString();
  EXPECT_TRUE(whole.contains(U("Вариантов фильтров: 9"))) << whole.toStdString();
  EXPECT_TRUE(whole.contains(U("\nФильтр 2: "))) << whole.toStdString();
  // A separator line tells nothing.
  EXPECT_TRUE(lines->index(2, 0).data(Qt::ToolTipRole).toString().isEmpty());
}

TEST_F(ReachTest, AFilterThatEmptiesTheListSaysSoAndUndoBringsItBack) {
  OpenDemo();
  ComputeNums(100);
  std::vector<int> all(size_t(Stats().Model()->rowCount()));
  for (size_t i = 0; i < all.size(); ++i) all[i] = int(i);
  SelectStatRows(all);
  ASSERT_TRUE(window->Trigger("StatFilter_Exclude"));

  const QAbstractItemModel* filters = window->FiltersView()->model();
  ASSERT_EQ(filters->rowCount(), 1);
  EXPECT_EQ(filters->index(0, 2).data().toString(), U("0"));
  EXPECT_EQ(filters->index(0, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
  EXPECT_EQ(filters->index(0, 0).data(Qt::ToolTipRole).toString(), U(ui::kEmptyListText));
  EXPECT_EQ(Panel(3), "Комбинаций: 0");
  EXPECT_EQ(Panel(6), ui::kEmptyListText);
  EXPECT_EQ(window->CombsView()->model()->rowCount(), 0);
  window->UpdateActions();
  EXPECT_FALSE(window->Action("StatFilter_Include")->isEnabled());

  ASSERT_TRUE(window->Trigger("CombsUndo"));
  EXPECT_EQ(Panel(3), "Комбинаций: 376992");
  EXPECT_EQ(window->CombsView()->model()->rowCount(), 376992);
  EXPECT_EQ(filters->rowCount(), 0);
  EXPECT_EQ(Panel(6), "");
  // A step that leaves something is no news.
  SelectStatRows({StatRow("7")});
  ASSERT_TRUE(window->Trigger("StatFilter_Include"));
  EXPECT_FALSE(filters->index(0, 2).data(Qt::ForegroundRole).isValid());
  EXPECT_NE(Panel(6), ui::kEmptyListText);
}

}  // namespace
}  // namespace px::test
