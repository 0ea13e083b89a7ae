#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>
#include <QComboBox>
#include <QHeaderView>
#include <QSpinBox>
#include <QTableView>
#include <QTreeWidget>

#include "core/ini.h"
#include "ui/favourites_manager.h"
#include "ui/stats_page.h"
#include "window_fixture.h"

namespace px::test {
namespace {

class StatsPageTest : public WindowTest {
 protected:
  void SetUp() override {
    Open();
    window->Frame().DrawsImport(std::string(PENTALUX_SOURCE_DIR) + "/demo/demo_draws_vantora5.csv");
    window->MainPages()->setCurrentIndex(0);
  }
  ui::StatsPage& Page() { return *window->Stats(); }
  std::string Cell(int row, int column) {
    return Page().Model()->index(row, column).data().toString().toStdString();
  }
  int RowOf(const std::string& value) {
    for (int r = 0; r < Page().Model()->rowCount(); ++r)
      if (Cell(r, kColValue) == value) return r;
    return -1;
  }
};

TEST_F(StatsPageTest, NumsTableKeepAndUndo) {
  ASSERT_TRUE(Page().SelectMethod("NUMS"));
  Page().LengthField()->setValue(100);
  ASSERT_TRUE(window->Trigger("DrawsStatCalc"));
  ASSERT_EQ(Page().Model()->rowCount(), 36);
  int total = 0;
  for (int r = 0; r < 36; ++r) total += std::stoi(Cell(r, kColCount));
  EXPECT_EQ(total, 500);
  EXPECT_EQ(Page().Chart()->series().size(), 1);  // no comparison: the actual series only

  // Keep the combinations with 7.
  EXPECT_FALSE(window->Action("StatFilter_Include")->isEnabled());
  const int row = RowOf("7");
  ASSERT_GE(row, 0);
  Page().Table()->selectRow(row);
  ASSERT_TRUE(window->Trigger("StatFilter_Include"));
  EXPECT_EQ(Panel(3), "Комбинаций: 52360");
  auto* filters = window->FiltersView()->model();
  ASSERT_EQ(filters->rowCount(), 1);
  EXPECT_EQ(filters->index(0, 0).data().toString().toStdString(), "{ num } Числа тиража [ N ]");
  EXPECT_EQ(filters->index(0, 1).data().toString().toStdString(), "7");
  EXPECT_EQ(filters->index(0, 2).data().toInt(), 52360);
  ASSERT_TRUE(window->Trigger("CombsUndo"));
  EXPECT_EQ(Panel(3), "Комбинаций: 376992");
  EXPECT_EQ(filters->rowCount(), 0);
}

TEST_F(StatsPageTest, TheChartNamesValuesOnItsAxisNotOnItsPoints) {
  ASSERT_TRUE(Page().SelectMethod("NUMS"));
  Page().LengthField()->setValue(100);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(window->Trigger("DrawsStatCalc"));
  // Recomputing replaces the axes rather than piling them up.
  EXPECT_EQ(Page().Chart()->axes().size(), 2);
  ASSERT_EQ(Page().Chart()->series().size(), 1);
  auto* actual = qobject_cast<QLineSeries*>(Page().Chart()->series()[0]);
  ASSERT_NE(actual, nullptr);
  EXPECT_EQ(actual->name().toStdString(), "Фактические данные");
  EXPECT_FALSE(actual->pointLabelsVisible());
  EXPECT_TRUE(actual->pointsVisible());
  EXPECT_EQ(actual->markerSize(), 2);
  ASSERT_FALSE(actual->lightMarker().isNull());
  EXPECT_EQ(actual->lightMarker().pixelColor(0, 0), QColor(255, 0, 255));
  EXPECT_EQ(actual->pen().color(), QColor(0, 128, 0));
  auto* x = qobject_cast<QCategoryAxis*>(Page().Chart()->axes(Qt::Horizontal).value(0));
  ASSERT_NE(x, nullptr);
  ASSERT_FALSE(x->categoriesLabels().isEmpty());
  EXPECT_EQ(x->categoriesLabels()[0].toStdString(), "1");
}

TEST_F(StatsPageTest, SortingAndComparison) {
  ASSERT_TRUE(Page().SelectMethod("EVEN"));
  Page().LengthField()->setValue(3);
  ASSERT_TRUE(window->Trigger("DrawsStatCalc"));
  // "Период" is "-" for values seen at most once; sorted ascending those come first as text.
  Page().Table()->sortByColumn(kColPeriod, Qt::AscendingOrder);
  int lastDash = -1, firstNumber = -1;
  for (int r = 0; r < Page().Model()->rowCount(); ++r) {
    if (Cell(r, kColPeriod) == "-") lastDash = r;
    else if (firstNumber < 0) firstNumber = r;
  }
  if (firstNumber >= 0) {
    EXPECT_LT(lastDash, firstNumber);
  }
  Page().Table()->sortByColumn(kColCount, Qt::DescendingOrder);
  for (int r = 1; r < Page().Model()->rowCount(); ++r)
    EXPECT_GE(std::stoi(Cell(r - 1, kColCount)), std::stoi(Cell(r, kColCount)));

  // The comparison shows the full-set columns and the second series.
  EXPECT_TRUE(Page().Table()->isColumnHidden(kColNorm));
  ASSERT_TRUE(window->Trigger("DrawsStatePrefetchsEnabled"));
  EXPECT_FALSE(Page().Table()->isColumnHidden(kColNorm));
  EXPECT_NE(Cell(0, kColNorm), "-");
  EXPECT_EQ(Page().Chart()->series().size(), 2);
  ASSERT_TRUE(window->Trigger("DrawsStatShowTotalLine"));
  EXPECT_EQ(Page().Chart()->series().size(), 1);
  EXPECT_TRUE(Env::Real().Exists(dir.File("Prefetchs/Pentalux5_5v36_EVEN.dfc")));
}

TEST_F(StatsPageTest, RecomputesOnlyWhenInputsChange) {
  ASSERT_TRUE(Page().SelectMethod("SUMS"));
  Page().Compute(true);
  const int before = Page().Computations();
  Page().Compute(false);
  Page().Compute(false);
  EXPECT_EQ(Page().Computations(), before);
  window->OffsetField()->setValue(5);  // a new offset refreshes the visible page
  EXPECT_EQ(Page().Computations(), before + 1);
  ASSERT_TRUE(window->Trigger("DrawsStatCalc"));
  EXPECT_EQ(Page().Computations(), before + 2);
}

TEST_F(StatsPageTest, FavouritesShapeTheMethodList) {
  const int all = Page().MethodList()->count();
  dialogs.push_back([](QDialog& d) {
    auto& m = dynamic_cast<ui::FavouritesManager&>(d);
    // Mark only the first two methods of the registry.
    for (int i = 0; i < m.Tree()->topLevelItemCount(); ++i)
      for (int j = 0; j < m.Tree()->topLevelItem(i)->childCount(); ++j) {
        QTreeWidgetItem* node = m.Tree()->topLevelItem(i)->child(j);
        node->setCheckState(0, ui::FavouritesManager::MethodOf(node) <= 1 ? Qt::Checked : Qt::Unchecked);
      }
    return m.ApplyOk();
  });
  ASSERT_TRUE(window->Trigger("FiltersManager"));
  EXPECT_EQ(Page().MethodList()->count(), 2);
  EXPECT_EQ(IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.flt")).ReadString("FILTERS", "Favorites", ""),
            "NUMS,DIGS");

  answers.push_back(true);
  ASSERT_TRUE(window->Trigger("FiltersReset"));
  EXPECT_EQ(messages.back().second, "Вы действительно хотите сбросить список избранных фильтров?");
  EXPECT_EQ(Page().MethodList()->count(), all);
}

}  // namespace
}  // namespace px::test
