#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QTableView>
#include <QToolButton>

#include "core/env.h"
#include "frame/frame.h"
#include "scenario/ratings_script.h"
#include "scenario/scenario_file.h"
#include "tests/ui/window_fixture.h"
#include "ui/graph_window.h"
#include "ui/ratings_page.h"

namespace px::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr const char* kA = "01.001: a @ FULL#RAND + TSD#NUMS:10#LNO:#SF:1";
constexpr const char* kB = "Ставка \"вручную\"";
constexpr const char* kC = "c";

// Draws 1 (1 2 3 4 5) and 2 (6 7 8 9 10); 3 matches pay 100, 5 pay 1000, a
// stake costs 50. Entry A: 5 and 3 matches; B: 2 and 0; C: 3 on draw 1.
class RatingsPageTest : public WindowTest {
 protected:
  std::unique_ptr<ui::RatingsPage> page;

  void SetUp() override {
    Open();
    TFormMain& f = window->Frame();
    f.Config().data.Cost = CurrencyOf(50);
    f.Config().data.Profits = {{5, CurrencyOf(1000)}, {3, CurrencyOf(100)}};
    f.DrawsAdd(DrawRecord{1, {1, 2, 3, 4, 5}});
    f.DrawsAdd(DrawRecord{2, {6, 7, 8, 9, 10}});
    Append(1, {1, 2, 3, 4, 5}, kA);
    Append(1, {1, 2, 20, 21, 22}, kB);
    Append(1, {1, 2, 3, 20, 21}, kC);
    Append(2, {6, 7, 8, 11, 12}, kA);
    Append(2, {30, 31, 32, 33, 34}, kB);
    ASSERT_EQ(f.Stakes()->RecordCount(), 5);
    f.CheckStakes();
    page = std::make_unique<ui::RatingsPage>(f);
    page->runDialog = [this](QDialog& d) { return desktop->RunDialog(d); };
    page->resize(1200, 400);
    page->show();
    page->RefreshView();
    ClearMessages();
  }
  void TearDown() override {
    page.reset();
    if (window) Close();
  }
  void Append(int32_t draw, Combination c, const char* comment) {
    ASSERT_TRUE(window->Frame().Stakes()->Append(
        MakeStake(StakeKind::Scenario, draw, ToNumberSet(c), 0, comment, window->Frame().Config().data), 1));
  }
  Ratings& Store() { return *window->Frame().RatingsStore(); }
  std::string Cell(int row, int column) const {
    return page->Model()->index(row, column).data().toString().toStdString();
  }
  std::vector<std::string> Comments() const {
    std::vector<std::string> c;
    for (int r = 0; r < page->Model()->rowCount(); ++r) c.push_back(Cell(r, 0));
    return c;
  }
  int RowOf(const char* comment) const {
    for (int r = 0; r < page->Model()->rowCount(); ++r)
      if (Cell(r, 0) == comment) return r;
    return -1;
  }
  void Select(std::initializer_list<int> rows) {
    auto* sel = page->Table()->selectionModel();
    sel->clearSelection();
    for (int r : rows)
      sel->select(page->Model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  void ClickTitle(int column) {
    QHeaderView* header = page->Table()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, header->viewport()->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(header->viewport(), &event);
    }
  }
};

TEST_F(RatingsPageTest, RowsAndTitles) {
  ASSERT_EQ(page->Model()->columnCount(), 18);
  const char* titles[] = {"Комментарий", "Ставок", "Угадано", "Среднее", "Профит", "Ср. профит", "0", "1", "2",
                          "3",           "4",      "5",       "E0",      "E1",     "E2",         "E3", "E4", "E5"};
  for (int c = 0; c < 18; ++c)
    EXPECT_EQ(page->Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), U(titles[c])) << c;
  // The widths of the layout, or wider where a title needs more.
  for (int c = 0; c < 18; ++c) {
    EXPECT_GE(page->Table()->columnWidth(c), ui::RatingsPage::kColumnWidths[size_t(c)]) << c;
    EXPECT_GE(page->Table()->columnWidth(c), page->Table()->horizontalHeader()->sectionSizeHint(c)) << c;
  }
  EXPECT_EQ(page->Table()->columnWidth(0), 200);

  // Default order: the average descending.
  EXPECT_EQ(Comments(), (std::vector<std::string>{kA, kC, kB}));
  const std::vector<std::string> a = {kA, "2", "8", "4.000", "1000.00", "500.00", "0", "0", "0", "1", "0", "1"};
  for (size_t c = 0; c < a.size(); ++c) EXPECT_EQ(Cell(0, int(c)), a[c]) << c;
  EXPECT_EQ(Cell(2, 4), "-100.00");
  EXPECT_EQ(Cell(2, 6), "1");
  EXPECT_EQ(Cell(2, 8), "1");

  const auto align = [&](int c) { return page->Model()->index(0, c).data(Qt::TextAlignmentRole).toInt(); };
  EXPECT_EQ(align(0) & Qt::AlignHorizontal_Mask, int(Qt::AlignLeft));
  EXPECT_EQ(align(4) & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
  EXPECT_EQ(align(3) & Qt::AlignHorizontal_Mask, int(Qt::AlignHCenter));
  EXPECT_EQ(align(15) & Qt::AlignHorizontal_Mask, int(Qt::AlignHCenter));
  EXPECT_EQ(page->Button(0)->text(), U("Пересчитать рейтинг по текущим данным"));
  EXPECT_EQ(page->Button(5)->text(), U("Количество совпадений"));
}

TEST_F(RatingsPageTest, TitleClicksSortAndToggleTheDirection) {
  ClickTitle(2);  // "Угадано": a new column starts ascending
  EXPECT_EQ(Store().SortOrder().column, 2);
  EXPECT_FALSE(Store().SortOrder().descending);
  EXPECT_EQ(Comments(), (std::vector<std::string>{kB, kC, kA}));
  EXPECT_EQ(page->Table()->horizontalHeader()->sortIndicatorSection(), 2);
  EXPECT_EQ(page->Table()->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);

  ClickTitle(2);
  EXPECT_TRUE(Store().SortOrder().descending);
  EXPECT_EQ(Comments(), (std::vector<std::string>{kA, kC, kB}));
  EXPECT_EQ(page->Table()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

  // The sort is saved: the file holds the entries in the view's order.
  std::vector<RatingEntry> saved;
  DecodeRatingEntries(ReadBytes(Store().Path()), saved);
  ASSERT_EQ(saved.size(), 3u);
  EXPECT_EQ(saved[0].comment, kA);
  EXPECT_EQ(saved[2].comment, kB);
}

TEST_F(RatingsPageTest, EfficiencyModeSwitchChangesTheEColumns) {
  ASSERT_EQ(page->EffMode(), 1);
  EXPECT_EQ(Cell(0, 12), "-45.070%");
  EXPECT_EQ(Cell(0, 15), "48.767%");

  int changed = 0;
  QObject::connect(page->Model(), &QAbstractItemModel::dataChanged, [&] { ++changed; });
  page->SetEffMode(0);
  EXPECT_EQ(window->Frame().Settings().RatingsEffMode, 0);
  EXPECT_GE(changed, 1);  // the view repaints
  EXPECT_EQ(Cell(0, 12), "1");  // 2 × P(0) rounded
  EXPECT_EQ(Cell(0, 15), "0");

  page->SetEffMode(2);
  EXPECT_EQ(Cell(0, 12), "0.000%");
  EXPECT_EQ(Cell(0, 15), "4053.677%");  // 1 × 100 ÷ (2 × 4650 ÷ 376992)
  // The other columns do not depend on the mode.
  EXPECT_EQ(Cell(0, 3), "4.000");

  page->SetEffMode(7);
  EXPECT_EQ(page->EffMode(), 2);
}

TEST_F(RatingsPageTest, CsvExportWritesTheFileChosen) {
  const std::string path = dir.File("ratings.csv");
  std::vector<std::string> filters;
  page->chooseFile = [&](const FileFilter& f) -> std::optional<std::string> {
    filters.push_back(f.filter);
    return filters.size() == 1 ? std::optional<std::string>(path) : std::nullopt;
  };
  ASSERT_TRUE(page->RatingsExport());
  EXPECT_EQ(filters[0], "CSV-файлы (*.csv)|*.csv");
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes, RatingsCsvText(Store().Entries()));
  // Titles and one line per entry, CR LF.
  size_t lines = 0;
  for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 4u);
  EXPECT_NE(bytes.find("\"01.001: a @ FULL#RAND + TSD#NUMS:10#LNO:#SF:1\";2;8;4.000;1000.00;500.00;0;0;0;1;0;1"),
            std::string::npos);

  EXPECT_FALSE(page->RatingsExport());  // cancelled
  page->chooseFile = [&](const FileFilter&) { return std::optional<std::string>(dir.File("no/such/dir.csv")); };
  EXPECT_FALSE(page->RatingsExport());
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back().first, "error");
}

TEST_F(RatingsPageTest, MatchDistributionHasOneSeriesPerSelectedEntry) {
  Select({RowOf(kA), RowOf(kC)});
  QString title;
  int series = 0;
  QList<QPointF> normal, a, c;
  dialogs.push_back([&](QDialog& d) {
    auto& g = dynamic_cast<ui::GraphWindow&>(d);
    title = g.windowTitle();
    series = g.SeriesCount();
    normal = g.Points(U("Нормальные значения"));
    a = g.Points(U(kA));
    c = g.Points(U(kC));
    return true;
  });
  page->RatingsGraphOverlap();
  EXPECT_EQ(title, U("График количества совпадений для выделенных строк рейтинга"));
  EXPECT_EQ(series, 3);
  EXPECT_EQ(a, (QList<QPointF>{{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 0}, {5, 1}}));
  EXPECT_EQ(c, (QList<QPointF>{{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 0}, {5, 0}}));
  ASSERT_EQ(normal.size(), 6);
  // Scaled to the larger stake count of the selection, 2.
  EXPECT_NEAR(normal[0].y(), 2.0 * 169911 / 376992, 1e-9);
  EXPECT_NEAR(normal[3].y(), 2.0 * 4650 / 376992, 1e-9);
}

TEST_F(RatingsPageTest, StakesGraphsFollowTheSelectedEntriesPerDraw) {
  Select({RowOf(kA), RowOf(kB)});
  ASSERT_TRUE(page->CanGraphStakes());
  int series = 0;
  QString title;
  QList<QPointF> a, b;
  auto capture = [&](QDialog& d) {
    auto& g = dynamic_cast<ui::GraphWindow&>(d);
    title = g.windowTitle();
    series = g.SeriesCount();
    a = g.Points(U(kA));
    b = g.Points(U(kB));
    return true;
  };
  dialogs.push_back(capture);
  page->StakesGraphOverlap();
  EXPECT_EQ(title, U("График количества совпадений для всех ставок по тиражам"));
  EXPECT_EQ(series, 2);
  EXPECT_EQ(a, (QList<QPointF>{{1, 5}, {2, 3}}));
  EXPECT_EQ(b, (QList<QPointF>{{1, 2}, {2, 0}}));

  dialogs.push_back(capture);
  page->StakesGraphProfits();
  EXPECT_EQ(title, U("График профита для всех ставок по тиражам"));
  EXPECT_EQ(series, 2);
  EXPECT_EQ(a, (QList<QPointF>{{1, 950}, {2, 50}}));
  EXPECT_EQ(b, (QList<QPointF>{{1, -50}, {2, -50}}));
}

TEST_F(RatingsPageTest, StakesGraphWithoutSelectionOrSecondDrawShowsTheMessage) {
  const std::string text =
      "Для построения графиков необходимо, чтобы в выделенном диапазоне данных было более одного тиража!";
  bool shown = false;
  dialogs.push_back([&](QDialog&) { return shown = true; });
  page->StakesGraphOverlap();
  EXPECT_FALSE(shown);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].second, text);

  // Only draw 1 is left among the checked stakes.
  ASSERT_TRUE(window->Frame().Stakes()->DeleteRows(4, 5));
  Select({RowOf(kA)});
  page->StakesGraphProfits();
  EXPECT_FALSE(shown);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].second, text);
}

TEST_F(RatingsPageTest, SelectedEntriesBecomeScenarioLines) {
  Scenario scenario(Env::Real(), *window, WorkingScenarioPath(dir.Path()));
  Select({RowOf(kA), RowOf(kB)});
  EXPECT_FALSE(page->CanAddToScript());
  EXPECT_EQ(page->RatingsToScript(), 0);
  page->SetScenario(&scenario);
  ASSERT_TRUE(page->CanAddToScript());
  std::vector<int> added;
  QObject::connect(page.get(), &ui::RatingsPage::ScenarioLinesAdded, [&](int n) { added.push_back(n); });
  EXPECT_EQ(page->RatingsToScript(), 1);
  ASSERT_EQ(scenario.Count(), 1);
  EXPECT_EQ(scenario.Get(0), RatingScriptLineText(kA));
  EXPECT_EQ(added, std::vector<int>{1});
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].first, "error");
  EXPECT_EQ(messages[0].second, std::string("Строку\r\r") + kB + "\r\rневозможно добавить в сценарий!");
}

TEST_F(RatingsPageTest, RefreshRebuildsFromTheStakesLeft) {
  ASSERT_TRUE(window->Frame().Stakes()->DeleteRows(2, 2));  // B's stake on draw 1
  answers.push_back(false);
  EXPECT_FALSE(page->RatingsRefresh());
  EXPECT_EQ(Store().Find(kB)->stakes, 2);
  answers.push_back(true);
  ASSERT_TRUE(page->RatingsRefresh());
  EXPECT_EQ(Store().Find(kB)->stakes, 1);
  EXPECT_EQ(page->Model()->rowCount(), 3);
  EXPECT_EQ(Cell(RowOf(kB), 2), "0");
}

}  // namespace
}  // namespace px::test
