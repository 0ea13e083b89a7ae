#include "ui/spreadsheet.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <string>
#include <tuple>
#include <vector>

namespace px::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using Texts = std::vector<std::string>;

// Number, a column the page hides, frequency; frequencies are numbers so a
// descending sort gives 100, 12, 9 (as text it would be 9, 12, 100).
void Fill(QStandardItemModel& model) {
  model.setHorizontalHeaderLabels({"Номер", "Служебная", "Частота"});
  const std::vector<std::tuple<QString, QString, int>> rows = {
      {"01", "a", 12}, {"02", "b", 9}, {"03", "c", 100}, {"04", "d", 50}};
  for (const auto& [number, hidden, count] : rows) {
    auto* freq = new QStandardItem;
    freq->setData(count, Qt::DisplayRole);
    model.appendRow({new QStandardItem(number), new QStandardItem(hidden), freq});
  }
}

TEST(Spreadsheet, ModelGivesEveryColumnInModelOrder) {
  QStandardItemModel model;
  Fill(model);
  px::SheetTable t = ui::TableOf(model, "Частоты номеров");
  EXPECT_EQ(t.title, "Частоты номеров");
  EXPECT_EQ(t.headers, (Texts{"Номер", "Служебная", "Частота"}));
  EXPECT_EQ(t.rows, (Rows{{"01", "a", "12"}, {"02", "b", "9"}, {"03", "c", "100"}, {"04", "d", "50"}}));
}

TEST(Spreadsheet, ViewGivesWhatIsShown) {
  QStandardItemModel model;
  Fill(model);
  QSortFilterProxyModel proxy;
  proxy.setSourceModel(&model);
  QTableView view;
  view.setModel(&proxy);
  view.setColumnHidden(1, true);
  view.setSortingEnabled(true);
  view.sortByColumn(2, Qt::DescendingOrder);

  px::SheetTable t = ui::TableOf(view, "Частоты");
  EXPECT_EQ(t.headers, (Texts{"Номер", "Частота"}));
  EXPECT_EQ(t.rows, (Rows{{"03", "100"}, {"04", "50"}, {"01", "12"}, {"02", "9"}}));

  // Columns dragged to a new place and hidden rows count too.
  view.horizontalHeader()->moveSection(2, 0);
  view.setRowHidden(1, true);
  t = ui::TableOf(view, "Частоты");
  EXPECT_EQ(t.headers, (Texts{"Частота", "Номер"}));
  EXPECT_EQ(t.rows, (Rows{{"100", "03"}, {"12", "01"}, {"9", "02"}}));

  // A filtered proxy shows fewer rows; the model itself is untouched.
  view.setRowHidden(1, false);
  proxy.setFilterKeyColumn(0);
  proxy.setFilterRegularExpression("^0[12]$");
  t = ui::TableOf(view, "Частоты");
  EXPECT_EQ(t.rows, (Rows{{"12", "01"}, {"9", "02"}}));
  EXPECT_EQ(ui::TableOf(model, "").rows.size(), 4u);
}

TEST(Spreadsheet, ViewWithoutModelGivesOnlyTheTitle) {
  QTableView view;
  px::SheetTable t = ui::TableOf(view, "Пусто");
  EXPECT_EQ(t.title, "Пусто");
  EXPECT_TRUE(t.headers.empty());
  EXPECT_TRUE(t.rows.empty());
}

}  // namespace
}  // namespace px::test
