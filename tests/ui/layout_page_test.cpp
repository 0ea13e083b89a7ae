#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <filesystem>

#include "core/archive.h"
#include "core/arith.h"
#include "core/ini.h"
#include "support/draws.h"
#include "ui/context_menu.h"
#include "ui/layout_page.h"
#include "window_fixture.h"

namespace px::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }


void PressEnter(QWidget* target) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
}

class LayoutPageTest : public WindowTest {
 protected:
  // Newest first {1,2,3,4,5}, {1,6,7,8,9}, {1,2,10,11,12}.
  void SaveThreeDraws() { Save({{1, {1, 2, 10, 11, 12}}, {2, {1, 6, 7, 8, 9}}, {3, {1, 2, 3, 4, 5}}}); }
  void Save(std::vector<std::pair<int32_t, Combination>> draws) {
    DrawArchive a;
    for (const auto& [number, numbers] : draws) a.Append(Draw(number, numbers));
    a.Save(Env::Real(), ArchivePath(dir.Path()));
  }
  void OpenOnLayout() {
    Open();
    window->MainPages()->setCurrentWidget(window->Layout());
  }
  ui::LayoutPage& Page() { return *window->Layout(); }
  std::string Cell(int row, int column) { return Page().GridModel()->index(row, column).data().toString().toStdString(); }
  std::string Header(Qt::Orientation o, int section) {
    return Page().GridModel()->headerData(section, o, Qt::DisplayRole).toString().toStdString();
  }
  QColor Background(int row, int column) {
    return Page().GridModel()->index(row, column).data(Qt::BackgroundRole).value<QColor>();
  }
  void SelectCells(int top, int left, int bottom, int right) {
    QTableView* grid = Page().Grid();
    grid->clearSelection();
    const QItemSelection range(grid->model()->index(top, left), grid->model()->index(bottom, right));
    grid->selectionModel()->select(range, QItemSelectionModel::Select);
  }
  std::string CompareCell(int list, int row, int column) {
    return Page().CompareModel(list)->index(row, column).data().toString().toStdString();
  }
  std::string CompareCaption(int list) {
    return Page().CompareModel(list)->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
  }
};

TEST_F(LayoutPageTest, ShowsTheGridOfTheThreeDrawsWithItsHeadersSizesAndColours) {
  SaveThreeDraws();
  OpenOnLayout();
  EXPECT_EQ(window->MainPages()->tabText(window->MainPages()->indexOf(&Page())), U("Схема"));
  EXPECT_EQ(Page().LengthField()->objectName(), "edLayoutLen");
  EXPECT_EQ(Page().LengthField()->minimum(), 1);
  EXPECT_EQ(Page().LengthField()->maximum(), 2147483647);
  EXPECT_EQ(Page().LengthField()->value(), 100);
  EXPECT_EQ(Page().LengthField()->toolTip(), U("Количество тиражей, использующихся для расчета статистики"));

  ASSERT_EQ(Page().GridModel()->rowCount(), 3);
  ASSERT_EQ(Page().GridModel()->columnCount(), 3);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(Header(Qt::Horizontal, c), std::to_string(c + 1));
  for (int r = 0; r < 3; ++r) EXPECT_EQ(Header(Qt::Vertical, r), std::to_string(r + 1));
  EXPECT_EQ(Cell(0, 0), "10, 11, 12");
  EXPECT_EQ(Cell(0, 1), "6, 7, 8, 9");
  EXPECT_EQ(Cell(0, 2), "3, 4, 5");
  EXPECT_EQ(Cell(1, 2), "2");
  EXPECT_EQ(Cell(2, 2), "1");
  EXPECT_EQ(Cell(1, 0), "");

  QTableView* grid = Page().Grid();
  EXPECT_EQ(grid->objectName(), "sgLayout");
  EXPECT_EQ(grid->verticalHeader()->width(), 50);
  EXPECT_EQ(grid->rowHeight(0), 18);
  EXPECT_EQ(grid->selectionMode(), QAbstractItemView::ContiguousSelection);
  EXPECT_EQ(grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
  // 40 pixels unless the text needs more; then the text and 10.
  const QFontMetrics m = grid->fontMetrics();
  for (int c = 0; c < 3; ++c)
    EXPECT_EQ(grid->columnWidth(c), std::max(40, m.horizontalAdvance(QString::fromStdString(Cell(0, c))) + 10)) << c;
  EXPECT_EQ(Page().GridModel()->index(0, 0).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignHCenter | Qt::AlignTop));

  // Gradient by default: the grid with its headers is 4 by 4.
  EXPECT_TRUE(window->Action("ViewShemaGradient")->isChecked());
  EXPECT_EQ(Background(0, 0), QColor(216, 216, 139));
  EXPECT_EQ(Background(2, 2), QColor(139, 139, 216));
  // The chequer after the toggle, at once; the setting is written.
  ASSERT_TRUE(window->Trigger("ViewShemaGradient"));
  EXPECT_FALSE(window->Action("ViewShemaGradient")->isChecked());
  EXPECT_EQ(Background(0, 0), QColor(234, 255, 234));
  EXPECT_EQ(Background(2, 2), QColor(234, 255, 234));
  EXPECT_EQ(IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm")).ReadString("TFormMain", "LayoutGradient", ""),
            "0");
  ASSERT_TRUE(window->Trigger("ViewShemaGradient"));
  EXPECT_EQ(Background(0, 0), QColor(216, 216, 139));
  EXPECT_EQ(Panel(6), "");
}

TEST_F(LayoutPageTest, KnownNextDrawIsGreenInBothModesAndKeepRemoveUndo) {
  // Four draws and the next one, whose 7 sits alone in its cell above 12
  // and 3 of the same newest draw.
  Save({{11, {20, 21, 33, 34, 35}},
        {12, {3, 20, 21, 31, 32}},
        {13, {12, 3, 20, 21, 30}},
        {14, {7, 12, 3, 20, 21}},
        {15, {7, 1, 2, 4, 5}}});
  OpenOnLayout();
  Page().LengthField()->setValue(4);
  window->OffsetField()->setValue(1);
  ASSERT_EQ(Page().GridModel()->columnCount(), 4);
  ASSERT_EQ(Header(Qt::Horizontal, 3), "14");
  EXPECT_EQ(Cell(0, 3), "[7]");
  EXPECT_EQ(Cell(1, 3), "12");
  EXPECT_EQ(Cell(2, 3), "3");
  EXPECT_EQ(Cell(3, 3), "20, 21");
  EXPECT_EQ(Background(0, 3), QColor(0, 255, 0));
  ASSERT_TRUE(window->Trigger("ViewShemaGradient"));
  EXPECT_EQ(Background(0, 3), QColor(0, 255, 0));
  EXPECT_NE(Background(1, 3), QColor(0, 255, 0));

  // Nothing selected: nothing to keep.
  window->UpdateActions();
  EXPECT_FALSE(window->Action("LayoutFilter_Include")->isEnabled());
  SelectCells(0, 3, 2, 3);
  EXPECT_EQ(Page().SelectedNumbers().valuesText, "7; 12; 3");
  ASSERT_TRUE(window->Trigger("LayoutFilter_Include"));
  const int with = kCapacity - int(Binomial(33, 5));
  EXPECT_EQ(window->Frame().Combs().Count(), with);
  EXPECT_EQ(Panel(3), "Комбинаций: " + std::to_string(with));
  for (int i = 0; i < window->Frame().Combs().Count(); ++i) {
    const Combination& c = window->Frame().Combs().Working()[i];
    ASSERT_TRUE(Contains(7, c) || Contains(12, c) || Contains(3, c)) << CombinationText(c);
  }
  ASSERT_EQ(window->Frame().Combs().Log().size(), 1u);
  EXPECT_EQ(window->Frame().Combs().Log()[0].caption, "Схема");
  EXPECT_EQ(window->Frame().Combs().Log()[0].valuesText, "7; 12; 3");
  EXPECT_EQ(window->Frame().Combs().Log()[0].kind, LogKind::Include);
  EXPECT_EQ(window->FiltersView()->model()->index(0, 1).data().toString(), U("7; 12; 3"));

  // Undo brings the whole set back and takes the entry away.
  ASSERT_TRUE(window->Trigger("CombsUndo"));
  EXPECT_EQ(window->Frame().Combs().Count(), kCapacity);
  EXPECT_TRUE(window->Frame().Combs().Log().empty());

  // Remove keeps the others.
  ASSERT_TRUE(window->Trigger("LayoutFilter_Exclude"));
  EXPECT_EQ(window->Frame().Combs().Count(), int(Binomial(33, 5)));
  ASSERT_EQ(window->Frame().Combs().Log().size(), 1u);
  EXPECT_EQ(window->Frame().Combs().Log()[0].kind, LogKind::Exclude);
  EXPECT_EQ(window->Frame().Combs().Log()[0].count, int(Binomial(33, 5)));
}

TEST_F(LayoutPageTest, EmptyCellsAloneGiveTheErrorAndChangeNothing) {
  SaveThreeDraws();
  OpenOnLayout();
  EXPECT_FALSE(window->Trigger("LayoutFilter_Include"));  // no selection yet
  SelectCells(1, 0, 2, 1);
  ClearMessages();
  ASSERT_TRUE(window->Trigger("LayoutFilter_Include"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], (std::pair<std::string, std::string>{"error", "В выделенном диапазоне нет значений для фильтра!"}));
  EXPECT_EQ(captions[0], "Ошибка");
  EXPECT_EQ(window->Frame().Combs().Count(), kCapacity);
  EXPECT_TRUE(window->Frame().Combs().Log().empty());
  EXPECT_FALSE(window->Frame().Combs().CanUndo());
  EXPECT_TRUE(window->Frame().IsIdle());
  // With one number among the empty cells the filter runs.
  SelectCells(0, 0, 2, 1);
  ASSERT_TRUE(window->Trigger("LayoutFilter_Exclude"));
  ASSERT_EQ(window->Frame().Combs().Log().size(), 1u);
  EXPECT_EQ(window->Frame().Combs().Log()[0].valuesText, "10; 11; 12; 6; 7; 8; 9");
}

TEST_F(LayoutPageTest, RecomputesOnlyWhileShownAndWhenItsInputsChanged) {
  SaveThreeDraws();
  Open();
  window->MainPages()->setCurrentIndex(0);
  const int start = Page().Computations();
  const int startCompare = Page().CompareComputations();
  window->Frame().RefreshViews(true);
  EXPECT_EQ(Page().Computations(), start);  // not shown
  window->MainPages()->setCurrentWidget(&Page());
  EXPECT_EQ(Page().Computations(), start + 1);
  EXPECT_EQ(Page().CompareComputations(), startCompare + 1);
  // Back and forth changes nothing.
  window->MainPages()->setCurrentIndex(0);
  window->MainPages()->setCurrentWidget(&Page());
  window->Frame().RefreshViews(false);
  EXPECT_EQ(Page().Computations(), start + 1);
  EXPECT_EQ(Page().CompareComputations(), startCompare + 1);
  // "Обновить" always computes its own part only.
  ASSERT_TRUE(window->Trigger("LayoutCalc"));
  EXPECT_EQ(Page().Computations(), start + 2);
  EXPECT_EQ(Page().CompareComputations(), startCompare + 1);
  ASSERT_TRUE(window->Trigger("LayoutCmpCalc"));
  EXPECT_EQ(Page().CompareComputations(), startCompare + 2);
  // The offset moves both; the length only the grid.
  window->OffsetField()->setValue(1);
  EXPECT_EQ(Page().Computations(), start + 3);
  EXPECT_EQ(Page().CompareComputations(), startCompare + 3);
  EXPECT_EQ(Header(Qt::Horizontal, Page().GridModel()->columnCount() - 1), "2");
  Page().LengthField()->setValue(1);
  window->Frame().RefreshViews(false);
  EXPECT_EQ(Page().Computations(), start + 4);
  EXPECT_EQ(Page().CompareComputations(), startCompare + 3);
  EXPECT_EQ(Page().GridModel()->columnCount(), 1);
  // Enter builds the grid when its window changed; the lists at every Enter.
  PressEnter(Page().LengthField());
  EXPECT_EQ(Page().Computations(), start + 4);
  Page().LengthField()->setValue(2);
  PressEnter(Page().LengthField());
  EXPECT_EQ(Page().Computations(), start + 5);
  EXPECT_EQ(window->Frame().Settings().LayoutLen, 2);
  PressEnter(Page().CompareField(2));
  EXPECT_EQ(Page().CompareComputations(), startCompare + 4);
  // A new draw counts too.
  window->Frame().DrawsAdd(Draw(4, {30, 31, 32, 33, 34}));
  EXPECT_EQ(Page().Computations(), start + 6);
  EXPECT_EQ(Page().CompareComputations(), startCompare + 5);
}

TEST_F(LayoutPageTest, TheTabToggleHidesAndThenBuildsAndActivates) {
  SaveThreeDraws();
  Open();
  window->MainPages()->setCurrentIndex(0);
  const int tab = window->MainPages()->indexOf(&Page());
  window->UpdateActions();
  EXPECT_TRUE(window->Action("TabLayout")->isChecked());
  EXPECT_TRUE(window->Action("LayoutCalc")->isEnabled());
  ASSERT_TRUE(window->Trigger("TabLayout"));
  EXPECT_FALSE(window->Frame().Settings().TabLayout);
  EXPECT_FALSE(window->MainPages()->isTabVisible(tab));
  EXPECT_FALSE(window->Action("TabLayout")->isChecked());
  for (const char* name : {"LayoutCalc", "LayoutCmpCalc", "LayoutXlsExport", "ViewShemaGradient"})
    EXPECT_FALSE(window->Action(name)->isEnabled()) << name;
  EXPECT_EQ(IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm")).ReadString("TFormMain", "TabLayout", ""), "0");

  const int start = Page().Computations();
  const int startCompare = Page().CompareComputations();
  ASSERT_TRUE(window->Trigger("TabLayout"));
  EXPECT_TRUE(window->MainPages()->isTabVisible(tab));
  EXPECT_EQ(window->MainPages()->currentIndex(), tab);
  EXPECT_GT(Page().Computations(), start);
  EXPECT_GT(Page().CompareComputations(), startCompare);
  EXPECT_EQ(Page().GridModel()->rowCount(), 3);
  EXPECT_EQ(CompareCaption(0), "1 - 3");
  for (const char* name : {"LayoutCalc", "LayoutCmpCalc", "LayoutXlsExport", "ViewShemaGradient"})
    EXPECT_TRUE(window->Action(name)->isEnabled()) << name;
}

TEST_F(LayoutPageTest, CompareListsFieldsCaptionsAndSorting) {
  SaveThreeDraws();
  OpenOnLayout();
  const int defaults[] = {50, 100, 200, 300, 400};
  for (int k = 0; k < 5; ++k) {
    QSpinBox* field = Page().CompareField(k);
    EXPECT_EQ(field->objectName().toStdString(), "edLayoutCmp" + std::to_string(k + 1));
    EXPECT_EQ(field->value(), defaults[k]);
    EXPECT_EQ(field->maximum(), 2147483647);
    EXPECT_EQ(field->toolTip().toStdString(),
              "Количество тиражей, использующихся для расчета статистики в списке " + std::to_string(k + 1));
    EXPECT_EQ(Page().CompareList(k)->objectName().toStdString(), "lvLayoutCmp" + std::to_string(k + 1));
    EXPECT_EQ(Page().CompareModel(k)->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), U("Кол-во"));
    EXPECT_GE(Page().CompareList(k)->columnWidth(0), Page().CompareList(k)->horizontalHeader()->sectionSizeHint(0));
    // Longer than the archive: from the oldest draw.
    EXPECT_EQ(CompareCaption(k), "1 - 3");
  }
  EXPECT_EQ(CompareCell(0, 0, 0), "3");
  EXPECT_EQ(CompareCell(0, 0, 1), "1");
  EXPECT_EQ(CompareCell(0, 2, 0), "1");
  EXPECT_EQ(CompareCell(0, 2, 1), "3, 4, 5, 6, 7, 8, 9, 10, 11, 12");

  Page().CompareField(0)->setValue(1);
  Page().CompareField(1)->setValue(2);
  ASSERT_TRUE(window->Trigger("LayoutCmpCalc"));
  EXPECT_EQ(CompareCaption(0), "3 - 3");
  EXPECT_EQ(CompareCell(0, 0, 1), "1, 2, 3, 4, 5");
  EXPECT_EQ(CompareCaption(1), "2 - 3");
  EXPECT_EQ(CompareCell(1, 0, 0), "2");
  EXPECT_EQ(CompareCell(1, 1, 0), "1");
  EXPECT_EQ(window->Frame().Settings().LayoutCompareLen2, 2);

  // The person may sort the other way; a new computation keeps that order.
  Page().CompareList(4)->sortByColumn(0, Qt::AscendingOrder);
  EXPECT_EQ(CompareCell(4, 0, 0), "1");
  ASSERT_TRUE(window->Trigger("LayoutCmpCalc"));
  EXPECT_EQ(CompareCell(4, 0, 0), "1");
  EXPECT_EQ(CompareCell(4, 2, 0), "3");
  Page().CompareList(4)->sortByColumn(1, Qt::AscendingOrder);
  EXPECT_EQ(CompareCell(4, 0, 1), "1");
  EXPECT_EQ(CompareCell(4, 2, 1), "3, 4, 5, 6, 7, 8, 9, 10, 11, 12");

  // Lists 1 to 4 get a fifth of the panel less a handle, list 5 the rest.
  window->resize(1500, 900);
  QApplication::processEvents();
  QSplitter* lists = Page().CompareSplitter();
  const int each = lists->width() / 5 - lists->handleWidth();
  const QList<int> sizes = lists->sizes();
  ASSERT_EQ(sizes.size(), 5);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(sizes[k], each) << k;
  EXPECT_EQ(sizes[4], lists->width() - 4 * (each + lists->handleWidth()));
}

TEST_F(LayoutPageTest, ExportAndItsEnabledState) {
  Save({});
  OpenOnLayout();
  window->UpdateActions();
  EXPECT_FALSE(window->Action("LayoutXlsExport")->isEnabled());
  EXPECT_FALSE(window->Action("LayoutCalc")->isEnabled());
  EXPECT_FALSE(window->Action("LayoutCmpCalc")->isEnabled());
  EXPECT_EQ(Page().GridModel()->columnCount(), 0);

  // One draw is one column, and it exports.
  window->Frame().DrawsAdd(Draw(1, {5, 4, 3, 2, 1}));
  Page().LengthField()->setValue(1);
  ASSERT_TRUE(window->Trigger("LayoutCalc"));
  EXPECT_EQ(Page().GridModel()->columnCount(), 1);
  window->UpdateActions();
  EXPECT_TRUE(window->Action("LayoutXlsExport")->isEnabled());
  const std::string path = dir.File("layout.xlsx");
  files.push_back(path);
  ASSERT_TRUE(window->Trigger("LayoutXlsExport"));
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_TRUE(messages.empty() || messages.back().first != "error");
  // Cancelling the file choice writes nothing.
  std::filesystem::remove(path);
  ASSERT_TRUE(window->Trigger("LayoutXlsExport"));
  EXPECT_FALSE(std::filesystem::exists(path));

  // The sheet: the header row, each count with its cells and their colours.
  LayoutGrid g;
  g.counts = {1, 2};
  g.draws = {7, 9};
  g.cells = {{"1, 2", "[3]"}, {"", "4"}};
  SheetTable t = ui::LayoutSheet(g, true, "Схема");
  EXPECT_EQ(t.title, "Схема");
  EXPECT_EQ(t.headers, (std::vector<std::string>{"Кол-во", "7", "9"}));
  EXPECT_EQ(t.rows, (std::vector<std::vector<std::string>>{{"1", "1, 2", "[3]"}, {"2", "", "4"}}));
  ASSERT_EQ(t.fills.size(), 2u);
  EXPECT_EQ(t.fills[0], (std::vector<uint32_t>{kNoFill, LayoutCellColour("1, 2", 1, 1, 3, 3, true), 0x00FF00}));
  EXPECT_EQ(t.fills[1][2], LayoutCellColour("4", 2, 2, 3, 3, true));
  EXPECT_EQ(ui::LayoutSheet(g, false, "Схема").fills[0][1], LayoutCellColour("1, 2", 1, 1, 3, 3, false));
}

TEST_F(LayoutPageTest, TheGridMenuOffersKeepRemoveExportAndGradient) {
  SaveThreeDraws();
  OpenOnLayout();
  std::unique_ptr<QMenu> menu = ui::BuildContextMenu(*Page().Grid());
  ASSERT_NE(menu, nullptr);
  std::vector<std::string> names;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) names.push_back(a->objectName().toStdString());
  EXPECT_EQ(names, (std::vector<std::string>{"LayoutFilter_Include", "LayoutFilter_Exclude", "LayoutXlsExport",
                                             "ViewShemaGradient"}));
  EXPECT_EQ(window->Action("LayoutCalc")->statusTip(), U("Пересчитать схему"));
  EXPECT_EQ(window->Action("LayoutCmpCalc")->statusTip(), U("Пересчитать таблицы сравнения"));
  EXPECT_EQ(window->Action("LayoutFilter_Exclude")->statusTip(),
            U("Из списка комбинаций удалить комбинации с выделенными  значениями"));
}

TEST_F(LayoutPageTest, LengthsHeightAndModeAreKeptFromOneStartToTheNext) {
  SaveThreeDraws();
  OpenOnLayout();
  Page().LengthField()->setValue(77);
  for (int k = 0; k < 5; ++k) Page().CompareField(k)->setValue(11 + k);
  Page().Splitter()->setSizes({300, 222});
  const int height = Page().Splitter()->sizes().value(1);
  ASSERT_TRUE(window->Trigger("ViewShemaGradient"));
  Close();
  IniFile frm = IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm"));
  EXPECT_EQ(frm.ReadString("TFormMain", "LayoutLen", ""), "77");
  for (int k = 0; k < 5; ++k)
    EXPECT_EQ(frm.ReadString("TFormMain", "LayoutCompareLen" + std::to_string(k + 1), ""), std::to_string(11 + k));
  EXPECT_EQ(frm.ReadString("TFormMain", "LayoutCompareHeight", ""), std::to_string(height));
  EXPECT_EQ(frm.ReadString("TFormMain", "LayoutGradient", ""), "0");

  OpenOnLayout();
  EXPECT_EQ(Page().LengthField()->value(), 77);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(Page().CompareField(k)->value(), 11 + k);
  EXPECT_FALSE(window->Action("ViewShemaGradient")->isChecked());
  EXPECT_EQ(Background(0, 0), QColor(234, 255, 234));
  QApplication::processEvents();
  EXPECT_NEAR(Page().Splitter()->sizes().value(1), height, 2);
}

}  // namespace
}  // namespace px::test
