// The pages "Карта" and "Неделя" in the window: what they show, their
// keep / remove, their recompute memory, their switches and their tabs.
#include <QAction>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QColor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLegend>
#include <QLineSeries>
#include <QMenu>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QValueAxis>

#include "core/arith.h"
#include "core/form_settings.h"
#include "core/ini.h"
#include "support/draws.h"
#include "ui/card_page.h"
#include "ui/context_menu.h"
#include "ui/week_page.h"
#include "window_fixture.h"

namespace px::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QColor Rgb(uint32_t c) { return QColor(int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF)); }

void PressEnter(QWidget* target) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
}

void SelectCells(QTableView* view, int top, int left, int bottom, int right) {
  view->clearSelection();
  view->selectionModel()->select(QItemSelection(view->model()->index(top, left), view->model()->index(bottom, right)),
                                 QItemSelectionModel::ClearAndSelect);
}

class ViewPagesTest : public WindowTest {
 protected:
  // The draws are in the archive file before the window starts.
  void OpenWith(const std::vector<DrawRecord>& draws, const std::string& frm = "") {
    DrawArchive a;
    for (const DrawRecord& d : draws) a.Append(d);
    a.Save(Env::Real(), ArchivePath(dir.Path()));
    Env::Real().WriteFile(dir.File("Pentalux5_5v36.frm"), "[TFormMain]\r\nDownloadDrawsOnStart=2\r\n" + frm);
    Open();
    ClearMessages();
  }
  ui::CardPage& Card() { return *window->Card(); }
  ui::WeekPage& Week() { return *window->Week(); }
  void ShowCard() { window->MainPages()->setCurrentWidget(window->Card()); }
  void ShowWeek() { window->MainPages()->setCurrentWidget(window->Week()); }
  std::string CardText(int row, int column) {
    return Card().Model()->index(row, column).data().toString().toStdString();
  }
  QColor CardFill(int row, int column) {
    return Card().Model()->index(row, column).data(Qt::BackgroundRole).value<QColor>();
  }
  std::string WeekText(int row, int column) {
    return Week().Model()->index(row, column).data().toString().toStdString();
  }
  int Combs() { return window->Frame().Combs().Count(); }
  std::string FilterCell(int row, int column) {
    return window->FiltersView()->model()->index(row, column).data().toString().toStdString();
  }
  IniFile Stored() { return window->Frame().SettingsStore().Read(); }
};

// The worked pair under an older draw.
std::vector<DrawRecord> CardDraws() {
  return {Draw(500, {1, 2, 18, 33, 36}, "01/03/2025"), Draw(501, {4, 9, 20, 28, 31}, "01/06/2025"),
          Draw(502, {3, 4, 20, 27, 35}, "01/08/2025")};
}

TEST_F(ViewPagesTest, TheCardShowsEveryDrawNewestFirstInItsColours) {
  OpenWith(CardDraws());
  EXPECT_EQ(window->MainPages()->tabText(window->MainPages()->indexOf(window->Card())), U("Карта"));
  ShowCard();
  ui::CardModel* m = Card().Model();
  ASSERT_EQ(m->rowCount(), 3);
  ASSERT_EQ(m->columnCount(), 37);
  EXPECT_EQ(CardText(0, 0), "502");
  EXPECT_EQ(CardText(2, 0), "500");
  EXPECT_EQ(CardText(0, 4), "4");
  EXPECT_EQ(CardText(0, 5), "");
  EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "");
  EXPECT_EQ(m->headerData(36, Qt::Horizontal, Qt::DisplayRole).toString(), "36");
  // Channel width 6, both switches on.
  EXPECT_EQ(CardFill(0, 4), QColor(255, 255, 0));
  EXPECT_EQ(CardFill(0, 27), Rgb(kChannelPalette[4]));
  EXPECT_EQ(CardFill(0, 5), Rgb(kChannelPalette[0]));
  EXPECT_FALSE(m->index(0, 0).data(Qt::BackgroundRole).isValid());

  // Fixed 18-pixel cells; the draw column as wide as the draws list's.
  QTableView* v = Card().View();
  EXPECT_EQ(v->rowHeight(1), 18);
  EXPECT_EQ(v->columnWidth(36), 18);
  EXPECT_EQ(v->columnWidth(0), window->DrawsView()->columnWidth(0));
  window->DrawsView()->setColumnWidth(0, 77);
  EXPECT_EQ(v->columnWidth(0), 77);
}

TEST_F(ViewPagesTest, AnEmptyArchiveShowsTheHeaderAndOneEmptyRow) {
  OpenWith({});
  ShowCard();
  ASSERT_EQ(Card().Model()->rowCount(), 1);
  for (int c = 0; c < 37; ++c) EXPECT_EQ(CardText(0, c), "") << c;
  EXPECT_EQ(CardFill(0, 7), Rgb(kChannelPalette[1]));
  // A selection there has nothing to filter by.
  SelectCells(Card().View(), 0, 1, 0, 36);
  ASSERT_TRUE(window->Trigger("CardFilter_Include"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].second, "В выделенном диапазоне нет значений для фильтра!");
  // Week: nothing to compute.
  ShowWeek();
  window->UpdateActions();
  EXPECT_FALSE(window->Action("WeekStatCalc")->isEnabled());
  EXPECT_TRUE(window->Action("WeekFilter_Include")->isEnabled());
}

TEST_F(ViewPagesTest, CardKeepThenUndoAndRemoveWithTheirEntries) {
  OpenWith(CardDraws());
  ShowCard();
  const int all = Combs();
  ASSERT_EQ(all, kCapacity);
  // Columns 3..9 of the two newest rows: 3, 4 and 9, each once.
  SelectCells(Card().View(), 0, 3, 1, 9);
  ASSERT_TRUE(window->Trigger("CardFilter_Include"));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Combs(), kCapacity - Binomial(33, 5));
  ASSERT_EQ(window->FiltersView()->model()->rowCount(), 1);
  EXPECT_EQ(FilterCell(0, 0), "Карта");
  EXPECT_EQ(FilterCell(0, 1), "3; 4; 9");
  EXPECT_EQ(Panel(3), "Комбинаций: " + std::to_string(Combs()));
  ASSERT_TRUE(window->Trigger("CombsUndo"));
  EXPECT_EQ(Combs(), all);
  EXPECT_EQ(window->FiltersView()->model()->rowCount(), 0);

  // Remove: the oldest row's 33 and 36.
  SelectCells(Card().View(), 2, 30, 2, 36);
  ASSERT_TRUE(window->Trigger("CardFilter_Exclude"));
  EXPECT_EQ(Combs(), Binomial(34, 5));
  EXPECT_EQ(FilterCell(0, 1), "33; 36");

  // Empty cells: the error, and nothing changes, not even the undo.
  const int before = Combs();
  SelectCells(Card().View(), 0, 5, 2, 8);
  ASSERT_TRUE(window->Trigger("CardFilter_Include"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].first, "error");
  EXPECT_EQ(captions[0], "Ошибка");
  EXPECT_EQ(messages[0].second, "В выделенном диапазоне нет значений для фильтра!");
  EXPECT_EQ(Combs(), before);
  EXPECT_EQ(window->FiltersView()->model()->rowCount(), 1);
  ASSERT_TRUE(window->Trigger("CombsUndo"));
  EXPECT_EQ(Combs(), all);
  EXPECT_TRUE(window->Frame().IsIdle());
}

TEST_F(ViewPagesTest, CardCommandsAreEnabledOnlyForNumberCellsOfAVisibleTab) {
  OpenWith(CardDraws());
  ShowCard();
  auto enabled = [&](const char* name) {
    window->UpdateActions();
    return window->Action(name)->isEnabled();
  };
  EXPECT_FALSE(enabled("CardFilter_Include"));  // nothing selected
  SelectCells(Card().View(), 0, 1, 2, 36);
  EXPECT_TRUE(enabled("CardFilter_Include"));
  EXPECT_TRUE(enabled("CardFilter_Exclude"));
  SelectCells(Card().View(), 0, 0, 2, 3);  // the draw column
  EXPECT_FALSE(enabled("CardFilter_Include"));
  EXPECT_FALSE(enabled("CardFilter_Exclude"));
  EXPECT_TRUE(enabled("CardXlsExport"));

  // With the tab hidden none of them runs.
  ASSERT_TRUE(window->Trigger("TabCard"));
  for (const char* name :
       {"CardFilter_Include", "CardFilter_Exclude", "CardXlsExport", "ViewColorCard", "ViewColorCardSequences"})
    EXPECT_FALSE(enabled(name)) << name;
  ASSERT_TRUE(window->Trigger("TabCard"));
  SelectCells(Card().View(), 1, 2, 1, 2);
  EXPECT_TRUE(enabled("CardFilter_Include"));

  // An empty combination list has nothing to keep.
  window->Frame().CombsKeepNumbers({2}, FilterMode::KeepSelected, "Карта", "2");
  window->Frame().CombsKeepNumbers({2}, FilterMode::RemoveSelected, "Карта", "2");
  ASSERT_EQ(Combs(), 0);
  SelectCells(Card().View(), 0, 1, 2, 36);
  EXPECT_FALSE(enabled("CardFilter_Include"));

  // The context menu runs the same commands.
  auto menu = ui::BuildContextMenu(*Card().View());
  ASSERT_NE(menu, nullptr);
  std::vector<QString> items;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) items.push_back(a->objectName());
  EXPECT_EQ(items, (std::vector<QString>{"CardFilter_Include", "CardFilter_Exclude", "CardXlsExport"}));
}

TEST_F(ViewPagesTest, TheCardIsBuiltOnlyWhenShownAndWhenTheDrawsChanged) {
  OpenWith(CardDraws());
  const int hidden = Card().Computations();
  window->Frame().RefreshViews(true);
  EXPECT_EQ(Card().Computations(), hidden);  // not the current page
  ShowCard();
  const int start = Card().Computations();
  EXPECT_EQ(start, hidden + 1);
  window->Frame().RefreshViews(false);
  window->Frame().RefreshViews(false);
  EXPECT_EQ(Card().Computations(), start);
  window->Frame().RefreshViews(true);
  EXPECT_EQ(Card().Computations(), start + 1);
  // The offset does not change the card.
  window->Frame().SetDrawsOffset(1);
  EXPECT_EQ(Card().Computations(), start + 1);

  // A new draw: the next refresh rebuilds without being forced.
  window->Frame().DrawsAdd(Draw(503, {5, 6, 7, 8, 9}, "01/10/2025"));
  EXPECT_EQ(Card().Computations(), start + 2);
  EXPECT_EQ(Card().Model()->rowCount(), 4);
  EXPECT_EQ(CardText(0, 0), "503");
  // An edit keeps the count; the card shows the edited draw all the same.
  window->Frame().DrawsEdit(3, Draw(503, {10, 11, 12, 13, 14}, "01/10/2025"));
  EXPECT_EQ(Card().Computations(), start + 3);
  EXPECT_EQ(CardText(0, 10), "10");
  EXPECT_EQ(CardText(0, 5), "");
  EXPECT_TRUE(window->Frame().IsIdle());
}

TEST_F(ViewPagesTest, TheColourSwitchesRepaintAndAreStored) {
  OpenWith(CardDraws());
  ShowCard();
  ASSERT_TRUE(window->Trigger("ViewColorCard"));
  EXPECT_FALSE(window->Action("ViewColorCard")->isChecked());
  EXPECT_EQ(Stored().ReadString("TFormMain", "ColorCard", ""), "0");
  EXPECT_FALSE(Card().Model()->index(0, 5).data(Qt::BackgroundRole).isValid());
  EXPECT_EQ(CardFill(0, 4), QColor(255, 255, 0));
  ASSERT_TRUE(window->Trigger("ViewColorCardSequences"));
  EXPECT_EQ(Stored().ReadString("TFormMain", "ColorCardSequences", ""), "0");
  EXPECT_FALSE(Card().Model()->index(0, 4).data(Qt::BackgroundRole).isValid());
  ASSERT_TRUE(window->Trigger("ViewColorCard"));
  EXPECT_EQ(CardFill(0, 4), Rgb(kChannelPalette[0]));
}

TEST_F(ViewPagesTest, TheCardGoesToAWorkbookWithItsColours) {
  OpenWith(CardDraws());
  ShowCard();
  const SheetTable sheet = Card().Sheet();
  EXPECT_EQ(sheet.title, "Карта");
  ASSERT_EQ(sheet.headers.size(), 37u);
  ASSERT_EQ(sheet.rows.size(), 3u);
  ASSERT_EQ(sheet.fills.size(), 3u);
  EXPECT_EQ(sheet.rows[0][0], "502");
  EXPECT_EQ(sheet.rows[0][4], "4");
  EXPECT_EQ(sheet.fills[0][0], kNoFill);
  EXPECT_EQ(sheet.fills[0][4], 0xFFFF00u);
  EXPECT_EQ(sheet.fills[0][5], kChannelPalette[0]);

  files.push_back(dir.File("card.xlsx"));
  ASSERT_TRUE(window->Trigger("CardXlsExport"));
  EXPECT_EQ(ReadBytes(dir.File("card.xlsx")).substr(0, 2), "PK");
  // Cancelled: nothing written.
  ASSERT_TRUE(window->Trigger("CardXlsExport"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(ViewPagesTest, TheTabTogglesHideAndBringBackTheirPagesBuilt) {
  OpenWith(CardDraws());
  QTabWidget* tabs = window->MainPages();
  const int cardTab = tabs->indexOf(window->Card()), weekTab = tabs->indexOf(window->Week());
  EXPECT_TRUE(window->Action("TabCard")->isChecked());
  ASSERT_TRUE(window->Trigger("TabCard"));
  EXPECT_FALSE(tabs->isTabVisible(cardTab));
  EXPECT_FALSE(window->Action("TabCard")->isChecked());
  EXPECT_EQ(Stored().ReadString("TFormMain", "TabCard", ""), "0");
  // Hidden, a refresh leaves it alone.
  int built = Card().Computations();
  window->Frame().RefreshViews(true);
  EXPECT_EQ(Card().Computations(), built);
  ASSERT_TRUE(window->Trigger("TabCard"));
  EXPECT_TRUE(tabs->isTabVisible(cardTab));
  EXPECT_EQ(tabs->currentWidget(), window->Card());
  EXPECT_GT(Card().Computations(), built);
  EXPECT_EQ(Card().Model()->rowCount(), 3);
  EXPECT_EQ(Stored().ReadString("TFormMain", "TabCard", ""), "1");

  ASSERT_TRUE(window->Trigger("TabWeek"));
  EXPECT_FALSE(tabs->isTabVisible(weekTab));
  EXPECT_EQ(Stored().ReadString("TFormMain", "TabWeek", ""), "0");
  built = Week().Computations();
  ASSERT_TRUE(window->Trigger("TabWeek"));
  EXPECT_TRUE(tabs->isTabVisible(weekTab));
  EXPECT_EQ(tabs->currentWidget(), window->Week());
  EXPECT_GT(Week().Computations(), built);
  EXPECT_EQ(WeekText(0, 4), "1");
}

// ---- the week

// Two Mondays and a Wednesday, then a Friday.
std::vector<DrawRecord> WeekDraws() {
  return {Draw(101, {1, 2, 3, 4, 5}, "01/06/2025"), Draw(102, {1, 6, 7, 8, 9}, "01/13/2025"),
          Draw(103, {1, 2, 10, 11, 12}, "01/08/2025"), Draw(104, {2, 30, 31, 32, 33}, "01/10/2025")};
}

TEST_F(ViewPagesTest, TheWeekCountsShadesAndNamesItsDays) {
  OpenWith(WeekDraws());
  ShowWeek();
  EXPECT_EQ(window->MainPages()->tabText(window->MainPages()->indexOf(window->Week())), U("Неделя"));
  ui::WeekModel* m = Week().Model();
  ASSERT_EQ(m->rowCount(), 7);
  ASSERT_EQ(m->columnCount(), 37);
  const char* days[] = {"пн", "вт", "ср", "чт", "пт", "сб", "вс"};
  for (int d = 0; d < 7; ++d) EXPECT_EQ(WeekText(d, 0), days[d]);
  EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "1");
  EXPECT_EQ(WeekText(0, 1), "2");
  EXPECT_EQ(WeekText(2, 1), "1");
  EXPECT_EQ(WeekText(0, 2), "1");
  EXPECT_EQ(WeekText(4, 30), "1");
  EXPECT_EQ(WeekText(1, 1), "");  // a zero count is an empty cell
  EXPECT_EQ(m->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 0, 0));
  EXPECT_EQ(m->index(2, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 128, 128));
  EXPECT_FALSE(m->index(1, 1).data(Qt::BackgroundRole).isValid());
  EXPECT_EQ(Week().View()->columnWidth(5), 30);
  EXPECT_EQ(Week().LengthField()->maximum(), 2147483647);
  EXPECT_EQ(Week().LengthField()->value(), 1000);
  EXPECT_EQ(ui::WeekdayNames(1033).value(0), "Mon");
}

TEST_F(ViewPagesTest, TheWeekChartFollowsTheCurrentCellModeAndType) {
  OpenWith(WeekDraws());
  ShowWeek();
  QChart* chart = Week().Chart();
  EXPECT_FALSE(chart->legend()->isVisible());
  EXPECT_TRUE(chart->title().isEmpty());

  // Mode 0, a bar chart: the Friday row across the numbers.
  Week().View()->setCurrentIndex(Week().Model()->index(4, 7));
  EXPECT_EQ(Week().CurrentCell(), (std::pair<int, int>{7, 5}));
  ASSERT_EQ(chart->series().size(), 1);
  auto* bars = qobject_cast<QBarSeries*>(chart->series().front());
  ASSERT_NE(bars, nullptr);
  EXPECT_FALSE(bars->isLabelsVisible());
  ASSERT_EQ(bars->barSets().size(), 1);
  QBarSet* set = bars->barSets().front();
  EXPECT_EQ(set->color(), QColor(0, 128, 0));
  ASSERT_EQ(set->count(), 36);
  for (int x = 1; x <= 36; ++x) EXPECT_EQ(set->at(x - 1), (x == 2 || (x >= 30 && x <= 33)) ? 1 : 0) << x;
  auto* categories = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
  ASSERT_NE(categories, nullptr);
  EXPECT_EQ(categories->categories().value(0), "1");
  EXPECT_EQ(categories->categories().value(35), "36");
  auto* counts = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
  ASSERT_NE(counts, nullptr);
  EXPECT_EQ(counts->min(), 0);
  EXPECT_EQ(counts->max(), 1);
  EXPECT_EQ(counts->tickInterval(), 1);

  // The line type, stored at once.
  ASSERT_TRUE(window->Trigger("ViewWeekChartType"));
  EXPECT_TRUE(window->Action("ViewWeekChartType")->isChecked());
  EXPECT_EQ(Stored().ReadString("TFormMain", "WeekChartType", ""), "1");
  ASSERT_EQ(chart->series().size(), 1);
  auto* line = qobject_cast<QLineSeries*>(chart->series().front());
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->pen().color(), QColor(0, 128, 0));
  EXPECT_EQ(line->pen().width(), 2);
  EXPECT_EQ(line->markerSize(), 2);
  EXPECT_EQ(line->lightMarker().pixelColor(0, 0), QColor(255, 0, 255));
  ASSERT_EQ(line->points().size(), 36);
  EXPECT_EQ(line->points().at(1), QPointF(2, 1));

  // Mode 1: number 1 across the week, selected by a click on its column.
  ASSERT_TRUE(window->Trigger("ViewWeekChartMode"));
  EXPECT_TRUE(window->Action("ViewWeekChartMode")->isChecked());
  EXPECT_EQ(Stored().ReadString("TFormMain", "WeekChartMode", ""), "1");
  Week().View()->setCurrentIndex(Week().Model()->index(3, 1));
  line = qobject_cast<QLineSeries*>(chart->series().front());
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->points(), (QList<QPointF>{{1, 2}, {2, 0}, {3, 1}, {4, 0}, {5, 0}, {6, 0}, {7, 0}}));
  ASSERT_TRUE(window->Trigger("ViewWeekChartMode"));
  EXPECT_EQ(Stored().ReadString("TFormMain", "WeekChartMode", ""), "0");
  EXPECT_EQ(qobject_cast<QLineSeries*>(chart->series().front())->points().size(), 36);

  // Both menus offer the chart commands.
  EXPECT_TRUE(Week().ChartView()->actions().contains(window->Action("ViewWeekChartMode")));
  EXPECT_TRUE(Week().ChartView()->actions().contains(window->Action("ViewWeekChartType")));
  auto menu = ui::BuildContextMenu(*Week().View());
  ASSERT_NE(menu, nullptr);
  std::vector<QString> items;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) items.push_back(a->objectName());
  EXPECT_EQ(items, (std::vector<QString>{"WeekFilter_Include", "WeekFilter_Exclude", "ViewWeekChartMode",
                                         "ViewWeekChartType"}));
}

TEST_F(ViewPagesTest, WeekKeepThenUndoAndTheDayNameColumn) {
  OpenWith(WeekDraws());
  ShowWeek();
  // Columns 5..7 of any rows.
  SelectCells(Week().View(), 2, 5, 6, 7);
  ASSERT_TRUE(window->Trigger("WeekFilter_Include"));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Combs(), kCapacity - Binomial(33, 5));
  EXPECT_EQ(FilterCell(0, 0), "Неделя");
  EXPECT_EQ(FilterCell(0, 1), "5; 6; 7");
  ASSERT_TRUE(window->Trigger("CombsUndo"));
  EXPECT_EQ(Combs(), kCapacity);

  // The day names give 0, which no combination holds.
  SelectCells(Week().View(), 0, 0, 0, 2);
  ASSERT_TRUE(window->Trigger("WeekFilter_Include"));
  EXPECT_EQ(FilterCell(0, 1), "0; 1; 2");
  EXPECT_EQ(Combs(), kCapacity - Binomial(34, 5));
  ASSERT_TRUE(window->Trigger("CombsUndo"));

  SelectCells(Week().View(), 6, 36, 6, 36);
  ASSERT_TRUE(window->Trigger("WeekFilter_Exclude"));
  EXPECT_EQ(Combs(), Binomial(35, 5));
  EXPECT_EQ(FilterCell(0, 1), "36");

  // No selection at all: the error, nothing changes.
  Week().View()->clearSelection();
  const int before = Combs();
  ASSERT_TRUE(window->Trigger("WeekFilter_Exclude"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].second, "В выделенном диапазоне нет значений для фильтра!");
  EXPECT_EQ(Combs(), before);
}

TEST_F(ViewPagesTest, TheWeekRecomputesOnlyWhenItsInputsChanged) {
  OpenWith(WeekDraws());
  const int hidden = Week().Computations();
  window->Frame().RefreshViews(true);
  EXPECT_EQ(Week().Computations(), hidden);
  ShowWeek();
  const int start = Week().Computations();
  EXPECT_EQ(start, hidden + 1);
  window->Frame().RefreshViews(false);
  EXPECT_EQ(Week().Computations(), start);
  ASSERT_TRUE(window->Trigger("WeekStatCalc"));
  EXPECT_EQ(Week().Computations(), start + 1);

  // The offset: the Friday draw falls out of the window.
  window->Frame().SetDrawsOffset(1);
  EXPECT_EQ(Week().Computations(), start + 2);
  EXPECT_EQ(WeekText(4, 30), "");
  EXPECT_EQ(Week().LastInputs().offset, 1);
  window->Frame().SetDrawsOffset(0);
  EXPECT_EQ(Week().Computations(), start + 3);

  // Enter in the length field computes once for a new length.
  Week().LengthField()->setValue(1);
  PressEnter(Week().LengthField());
  EXPECT_EQ(Week().Computations(), start + 4);
  EXPECT_EQ(WeekText(0, 1), "");
  EXPECT_EQ(WeekText(4, 30), "1");
  PressEnter(Week().LengthField());
  EXPECT_EQ(Week().Computations(), start + 4);
  EXPECT_EQ(window->Frame().Settings().WeekLen, 1);

  // A new draw, and an edit of a draw inside the window.
  window->Frame().DrawsAdd(Draw(105, {20, 21, 22, 23, 24}, "01/11/2025"));  // Saturday
  EXPECT_EQ(Week().Computations(), start + 5);
  EXPECT_EQ(WeekText(5, 20), "1");
  window->Frame().DrawsEdit(4, Draw(105, {20, 21, 22, 23, 24}, "01/12/2025"));  // Sunday now
  EXPECT_EQ(Week().Computations(), start + 6);
  EXPECT_EQ(WeekText(5, 20), "");
  EXPECT_EQ(WeekText(6, 20), "1");
  EXPECT_TRUE(window->Frame().IsIdle());
}

TEST_F(ViewPagesTest, TheWeekKeepsItsLengthChartHeightAndModes) {
  OpenWith(WeekDraws(), "WeekLen=3\r\nWeekHeight=150\r\nWeekChartMode=1\r\nWeekChartType=1\r\n");
  ShowWeek();
  EXPECT_EQ(Week().LengthField()->value(), 3);
  EXPECT_TRUE(window->Action("ViewWeekChartMode")->isChecked());
  EXPECT_TRUE(window->Action("ViewWeekChartType")->isChecked());
  EXPECT_EQ(WeekText(0, 1), "1");  // the newest three: one Monday
  ASSERT_NE(qobject_cast<QLineSeries*>(Week().Chart()->series().value(0)), nullptr);
  EXPECT_EQ(qobject_cast<QLineSeries*>(Week().Chart()->series().value(0))->points().size(), 7);
  Week().LengthField()->setValue(4);
  const QList<int> sizes = Week().Splitter()->sizes();
  Week().Splitter()->setSizes({sizes.value(0) + sizes.value(1) - 170, 170});
  Close();
  const IniFile ini = FormSettings(Env::Real(), dir.File("Pentalux5_5v36.frm")).Read();
  EXPECT_EQ(ini.ReadString("TFormMain", "WeekLen", ""), "4");
  EXPECT_EQ(ini.ReadString("TFormMain", "WeekHeight", ""), "170");
}

}  // namespace
}  // namespace px::test
