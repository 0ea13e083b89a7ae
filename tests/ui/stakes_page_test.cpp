#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <fstream>
#include <iterator>

#include "frame/frame.h"
#include "tests/ui/window_fixture.h"
#include "ui/graph_window.h"
#include "ui/ratings_page.h"
#include "ui/stake_dialogs.h"
#include "ui/stakes_page.h"

namespace px::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// A window whose archive knows draw 1 (1 2 3 4 5) and whose prize table pays
// for 3 and 5 matches, with a stakes page of the test's own.
class StakesTest : public WindowTest {
 protected:
  std::unique_ptr<ui::StakesPage> page;

  void SetUp() override {
    Open();
    TFormMain& f = window->Frame();
    f.Config().data.Cost = CurrencyOf(50);
    f.Config().data.Profits = {{5, CurrencyOf(1000)}, {3, CurrencyOf(100)}};
    f.DrawsAdd(DrawRecord{1, {1, 2, 3, 4, 5}});
    page = std::make_unique<ui::StakesPage>(f);
    page->runDialog = [this](QDialog& d) { return desktop->RunDialog(d); };
    page->RefreshView(true, false);
    ClearMessages();  // whatever the start-up showed
  }
  void TearDown() override {
    page.reset();
    if (window) Close();
  }
  StakeStore& Store() { return *window->Frame().Stakes(); }
  std::string Cell(int row, int column) const {
    return page->Model()->index(row, column).data().toString().toStdString();
  }
  QVariant Role(int row, int column, int role) const { return page->Model()->index(row, column).data(role); }
  void Append(int32_t draw, Combination c, int drawCount = 1) {
    ASSERT_TRUE(Store().Append(
        MakeStake(StakeKind::Manual, draw, ToNumberSet(c), 0, "t", window->Frame().Config().data), drawCount));
  }
  // Answers the next stake dialog with these fields.
  void AnswerStake(const char* numbers, int draw, int count, const char* comment) {
    dialogs.push_back([=](QDialog& d) {
      auto* stake = qobject_cast<ui::TFormStake*>(&d);
      if (!stake) return false;
      stake->NumbersField()->setText(U(numbers));
      stake->DrawField()->setValue(draw);
      stake->CountField()->setValue(count);
      stake->CommentField()->setText(U(comment));
      return stake->Accept();
    });
  }
  void SelectRows(int first, int last) {
    auto* m = page->Model();
    page->Table()->selectionModel()->select(QItemSelection(m->index(first, 0), m->index(last, 8)),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
};

// ---- the dialogs

TEST(StakesDialogs, StakeDialogIsFilledFromTheRecordAndKeepsItsSum) {
  StakeRecord r = MakeStake(StakeKind::Manual, 77, ToNumberSet({3, 9, 12, 20, 36}), 5, "abc", TConfigData{});
  ui::TFormStake d(r, 1, [](const std::string&) {});
  EXPECT_EQ(d.windowTitle(), U("Добавление ставки"));
  EXPECT_EQ(d.DrawField()->value(), 77);
  EXPECT_EQ(d.DrawField()->maximum(), 2147483646);  // the draw after it still has a number
  EXPECT_EQ(d.CountField()->maximum(), 65535);
  EXPECT_EQ(d.NumbersField()->text(), "3;9;12;20;36");
  EXPECT_EQ(d.SumField()->text(), "80");
  EXPECT_TRUE(d.SumField()->isReadOnly());
  EXPECT_EQ(d.CommentField()->maxLength(), 64);
  d.NumbersField()->setText("1; x ,2");
  EXPECT_EQ(d.SumField()->text(), "3");
  EXPECT_EQ(d.CountField()->toolTip(),
            U("Количество тиражей, на которые нужно сделать ставку (начиная с указанного)"));
}

TEST(StakesDialogs, StakeDialogRefusesBadNumbersAndAnEmptyComment) {
  std::vector<std::string> errors;
  ui::TFormStake d(StakeRecord{}, 1, [&](const std::string& e) { errors.push_back(e); });
  d.CommentField()->setText("c");
  for (const char* bad : {"1;2;3;4", "1;2;3;4;37", "1;2;3;4;4", "1;2;3;4;x"}) {
    d.NumbersField()->setText(bad);
    EXPECT_FALSE(d.Accept()) << bad;
  }
  ASSERT_EQ(errors.size(), 4u);
  EXPECT_EQ(errors[0], "Введена некорректная комбинация!");
  d.NumbersField()->setText(" 5 , 1;2 ,3; 4 ");
  d.CommentField()->clear();
  EXPECT_FALSE(d.Accept());
  EXPECT_EQ(errors.back(), "Необходимо ввести комментарий!");
  d.CommentField()->setText("c");
  d.CountField()->setValue(3);
  ASSERT_TRUE(d.Accept());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(NumberSetText(d.Result().numbers, " "), "1 2 3 4 5");
  EXPECT_EQ(d.DrawCount(), 3);
}

TEST(StakesDialogs, MultiStakeDialogNeedsAComment) {
  std::vector<std::string> errors;
  ui::MultiStakeDialog d(12, 2, "x", [&](const std::string& e) { errors.push_back(e); });
  EXPECT_EQ(d.windowTitle(), U("Добавление мультиставки"));
  d.CommentField()->clear();
  EXPECT_FALSE(d.Accept());
  ASSERT_EQ(errors.size(), 1u);
  d.CommentField()->setText(U("к"));
  ASSERT_TRUE(d.Accept());
  EXPECT_EQ(d.DrawNumber(), 12);
  EXPECT_EQ(d.DrawCount(), 2);
  EXPECT_EQ(d.Comment(), "к");
}

TEST(StakesDialogs, ConditionDialogPacksModeLowAndValueHigh) {
  ui::DeleteConditionDialog d(ui::DeleteConditionDialog::Pack(4, 3));
  EXPECT_EQ(d.windowTitle(), U("Удаление по условию"));
  ASSERT_EQ(d.ModeList()->count(), 5);
  EXPECT_EQ(d.ModeList()->itemText(3), U("Менее [ < ]"));
  EXPECT_EQ(d.Mode(), 4);
  EXPECT_EQ(d.Value(), 3);
  EXPECT_EQ(d.ValueField()->maximum(), 5);
  EXPECT_EQ(d.OkButton()->toolTip(), U("Удалить ставки"));
  d.ModeList()->setCurrentIndex(1);
  d.ValueField()->setValue(5);
  EXPECT_EQ(d.Packed(), 0x0501);
}

// ---- the page

TEST_F(StakesTest, EmptyFileShowsOneBlankRow) {
  EXPECT_EQ(page->Model()->rowCount(), 1);
  EXPECT_EQ(Cell(0, 0), "");
  EXPECT_FALSE(page->HasRecords());
  EXPECT_FALSE(page->HasSelection());
  EXPECT_TRUE(page->CanAdd());
  EXPECT_EQ(Panel(4), "Ставок: 0");
  EXPECT_EQ(page->Model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), U("Моя ставка"));
  EXPECT_EQ(page->Table()->columnWidth(8), 1000);
}

TEST_F(StakesTest, ManualStakeThroughTheDialogBecomesARow) {
  QString proposed, comment;
  dialogs.push_back([&](QDialog& d) {
    auto& stake = dynamic_cast<ui::TFormStake&>(d);
    proposed = stake.NumbersField()->text();
    comment = stake.CommentField()->text();
    stake.NumbersField()->setText("1;2;3;4");  // refused: stays open
    EXPECT_FALSE(stake.Accept());
    stake.NumbersField()->setText(" 9, 7;8 ,6;10 ");
    stake.DrawField()->setValue(50);
    stake.CommentField()->setText(U("мой"));
    return stake.Accept();
  });
  page->AddManual(Combination{4, 11, 17, 25, 30});
  EXPECT_EQ(proposed, "4;11;17;25;30");
  EXPECT_EQ(comment, U("Ставка \"вручную\""));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].second, "Введена некорректная комбинация!");
  ASSERT_EQ(Store().RecordCount(), 1);
  ASSERT_EQ(page->Model()->rowCount(), 1);
  EXPECT_EQ(Cell(0, 0), "50");
  EXPECT_EQ(Cell(0, 1), "Вручную");
  EXPECT_EQ(Cell(0, 2), "6;7;8;9;10");
  EXPECT_EQ(Cell(0, 4), "");  // draw 50 has not taken place
  EXPECT_EQ(Cell(0, 7), "-50.00");
  EXPECT_EQ(Cell(0, 8), "мой");
  EXPECT_EQ(Role(0, 0, Qt::BackgroundRole).value<QColor>(), QColor(234, 255, 234));
  EXPECT_FALSE(Role(0, 7, Qt::ForegroundRole).isValid());
  EXPECT_EQ(Panel(4), "Ставок: 1");
  EXPECT_EQ(page->SelectedRows(), std::vector<int>{1});
}

TEST_F(StakesTest, CancelledDialogAddsNothing) {
  dialogs.push_back([](QDialog&) { return false; });
  page->AddManual(std::nullopt);
  EXPECT_EQ(Store().RecordCount(), 0);
  EXPECT_TRUE(dialogs.empty());
}

TEST_F(StakesTest, StakeOnAKnownDrawIsCheckedAtOnceAndColouredBySign) {
  AnswerStake("1;2;3;4;5", 1, 1, "win");
  page->AddManual(std::nullopt);
  AnswerStake("20;21;22;23;24", 1, 1, "lose");
  page->AddManual(std::nullopt);
  ASSERT_EQ(page->Model()->rowCount(), 2);
  EXPECT_EQ(Cell(0, 4), "1;2;3;4;5");
  EXPECT_EQ(Cell(0, 5), "5");
  EXPECT_EQ(Cell(0, 7), "950.00");
  EXPECT_EQ(Cell(1, 5), "0");
  EXPECT_EQ(Cell(1, 7), "-50.00");
  for (int column : {5, 6, 7}) {
    EXPECT_EQ(Role(0, column, Qt::ForegroundRole).value<QColor>(), QColor(Qt::darkGreen)) << column;
    EXPECT_EQ(Role(1, column, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red)) << column;
  }
  // Matched numbers are bold blue in both number columns, the others plain.
  const QString staked = Role(0, 2, ui::StakesModel::RichTextRole).toString();
  EXPECT_EQ(staked.count("<b"), 5);
  EXPECT_EQ(Role(1, 2, ui::StakesModel::RichTextRole).toString().count("<b"), 0);
  EXPECT_EQ(Role(1, 4, ui::StakesModel::RichTextRole).toString().count("<b"), 0);
  EXPECT_EQ(Role(0, 7, Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);

  // The rich-text cells paint: the checked row is not blank on screen.
  page->resize(900, 200);
  page->show();
  QApplication::processEvents();
  const QImage shot = page->Table()->viewport()->grab(page->Table()->visualRect(page->Model()->index(0, 2))).toImage();
  ASSERT_FALSE(shot.isNull());
  bool blue = false;
  for (int y = 0; y < shot.height() && !blue; ++y)
    for (int x = 0; x < shot.width() && !blue; ++x) {
        const QColor c = shot.pixelColor(x, y);
        blue = c.blue() > 150 && c.blue() - c.red() > 80 && c.blue() - c.green() > 80;
      }
  EXPECT_TRUE(blue);
}

TEST_F(StakesTest, SeveralDrawsGiveSeparatedRows) {
  Append(1, {1, 2, 3, 30, 31});
  page->Refresh();
  AnswerStake("1;2;3;4;5", 7, 3, "x");
  page->AddManual(std::nullopt);
  ASSERT_EQ(Store().RecordCount(), 7);
  std::vector<std::string> draws;
  for (int row = 0; row < 7; ++row) draws.push_back(Cell(row, 0));
  EXPECT_EQ(draws, (std::vector<std::string>{"1", "", "7", "", "8", "", "9"}));
  EXPECT_FALSE(Role(1, 0, Qt::BackgroundRole).isValid());  // a separator has the window colour
  EXPECT_EQ(page->SelectedRows(), std::vector<int>{7});     // moved to the last row
}

TEST_F(StakesTest, DeleteSelectedAsksFirst) {
  Append(10, {1, 2, 3, 4, 5});
  Append(11, {1, 2, 3, 4, 6});
  Append(12, {1, 2, 3, 4, 7});
  page->Refresh();
  SelectRows(0, 1);
  EXPECT_TRUE(page->HasSelection());
  EXPECT_EQ(page->SelectedRows(), (std::vector<int>{1, 2}));
  answers = {false};
  page->DeleteSelected();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], std::make_pair(std::string("question"),
                                        std::string("Удалить все выделенные записи (всего будет удалено 2 записи(ей))?")));
  EXPECT_EQ(Store().RecordCount(), 3);

  answers = {true};
  page->DeleteSelected();
  ASSERT_EQ(Store().RecordCount(), 1);
  EXPECT_EQ(page->Model()->rowCount(), 1);
  EXPECT_EQ(Cell(0, 0), "12");
  EXPECT_EQ(Panel(4), "Ставок: 1");

  SelectRows(0, 0);
  answers = {true};
  page->DeleteSelected();
  EXPECT_EQ(messages.back().second, "Удалить выделенную запись?");
  EXPECT_EQ(Store().RecordCount(), 0);
  EXPECT_EQ(page->Model()->rowCount(), 1);
  EXPECT_FALSE(page->HasSelection());
}

TEST_F(StakesTest, DeleteByConditionLessThanTwoKeepsSeparators) {
  Append(1, {1, 2, 3, 30, 31});   // 3 matches: stays
  Append(1, {1, 30, 31, 32, 33});  // 1 match
  Append(100, {1, 2, 3, 4, 5}, 2);  // unchecked, between separators
  Store().CheckAll(window->Frame().Archive(), window->Frame().Config().data, nullptr);
  page->Refresh();
  ASSERT_EQ(Store().RecordCount(), 6);
  int shownMode = -1;
  dialogs.push_back([&](QDialog& d) {
    auto& c = dynamic_cast<ui::DeleteConditionDialog&>(d);
    shownMode = c.Mode();
    c.ModeList()->setCurrentIndex(3);
    c.ValueField()->setValue(2);
    return true;
  });
  page->DeleteByCondition();
  EXPECT_EQ(shownMode, 0);  // both 0 before the first use
  EXPECT_EQ(page->Condition(), ui::DeleteConditionDialog::Pack(3, 2));
  ASSERT_EQ(Store().RecordCount(), 3);
  ASSERT_EQ(page->Model()->rowCount(), 3);
  EXPECT_EQ(Cell(0, 5), "3");
  EXPECT_EQ(Cell(1, 0), "");
  EXPECT_EQ(Cell(2, 0), "");
  EXPECT_EQ(Store().ReadRecord(1).kind, 0);

  // The next use starts from the last condition.
  dialogs.push_back([&](QDialog& d) {
    shownMode = dynamic_cast<ui::DeleteConditionDialog&>(d).Mode();
    return false;
  });
  page->DeleteByCondition();
  EXPECT_EQ(shownMode, 3);
  EXPECT_EQ(Store().RecordCount(), 3);
}

TEST_F(StakesTest, ClearAsksAndEmpties) {
  Append(10, {1, 2, 3, 4, 5});
  Append(11, {1, 2, 3, 4, 6});
  page->Refresh();
  int cleared = 0;
  QObject::connect(page.get(), &ui::StakesPage::Cleared, [&] { ++cleared; });
  answers = {false};
  page->ClearAll();
  EXPECT_EQ(Store().RecordCount(), 2);
  EXPECT_EQ(messages.back().second, "Удалить все выделенные записи (всего будет удалено 2 записи(ей))?");
  EXPECT_EQ(captions.back(), "Предупреждение");
  answers = {true};
  page->ClearAll();
  EXPECT_EQ(Store().RecordCount(), 0);
  EXPECT_TRUE(Store().IsOpen());
  EXPECT_EQ(page->Model()->rowCount(), 1);
  EXPECT_EQ(Cell(0, 0), "");
  EXPECT_EQ(Panel(4), "Ставок: 0");
  EXPECT_EQ(cleared, 1);
}

TEST_F(StakesTest, CheckManualChecksStakesOnNewDraws) {
  Append(2, {6, 7, 8, 9, 10});
  page->Refresh();
  page->CheckManual();
  EXPECT_EQ(Cell(0, 5), "");
  window->Frame().DrawsAdd(DrawRecord{2, {6, 7, 8, 20, 21}});
  page->CheckManual();
  EXPECT_EQ(Cell(0, 5), "3");
  EXPECT_EQ(Cell(0, 6), "6 7 8");
  EXPECT_EQ(Cell(0, 7), "50.00");
}

TEST_F(StakesTest, AddAllMakesOneStakePerCombination) {
  window->Frame().CombsPaste("01 02 03 04 05\r\n06 07 08 09 10\r\n11 12 13 14 15\r\n");
  ASSERT_EQ(window->Frame().Combs().Count(), 3);
  dialogs.push_back([](QDialog& d) {
    auto& m = dynamic_cast<ui::MultiStakeDialog&>(d);
    m.DrawField()->setValue(1);
    m.CommentField()->setText("all");
    return m.Accept();
  });
  page->AddAll();
  ASSERT_EQ(Store().RecordCount(), 3);
  EXPECT_EQ(Cell(1, 2), "6;7;8;9;10");
  EXPECT_EQ(Cell(0, 3), "3");  // the list's size
  EXPECT_EQ(Cell(0, 5), "5");  // checked against draw 1 at once
  EXPECT_EQ(Cell(2, 8), "all");

  dialogs.push_back([](QDialog& d) { return dynamic_cast<ui::MultiStakeDialog&>(d).Accept(); });
  page->AddSelected({2});
  ASSERT_EQ(Store().RecordCount(), 4);
  EXPECT_EQ(Cell(3, 2), "11;12;13;14;15");
  EXPECT_EQ(Cell(3, 8), "Ставка \"вручную\"");
}

TEST_F(StakesTest, DrawsGraphSumsProfitPerDraw) {
  Append(1, {1, 2, 3, 4, 5});      // +950
  Append(1, {20, 21, 22, 23, 24});  // -50
  Append(5, {1, 2, 3, 4, 5});      // unchecked: -50
  Store().CheckAll(window->Frame().Archive(), window->Frame().Config().data, nullptr);
  page->Refresh();
  QList<QPointF> sums, average, running;
  QString title;
  dialogs.push_back([&](QDialog& d) {
    auto& g = dynamic_cast<ui::GraphWindow&>(d);
    title = g.windowTitle();
    sums = g.Points(U("Суммарный профит ставок по тиражу"));
    average = g.Points(U("Среднее значение"));
    running = g.Points(U("Накопленное значение"));
    return true;
  });
  page->ShowDrawsGraph();
  EXPECT_EQ(title.toStdString(), "График суммарного профита ставок по тиражам");
  EXPECT_EQ(sums, (QList<QPointF>{{1, 900}, {5, -50}}));
  EXPECT_EQ(average, (QList<QPointF>{{1, 425}, {5, 425}}));
  EXPECT_EQ(running, (QList<QPointF>{{1, 900}, {5, 850}}));
}

TEST_F(StakesTest, ClearingEveryStakeRebuildsTheRatingAfterItsQuestion) {
  Append(1, {1, 2, 3, 4, 5});
  window->Frame().CheckStakes();
  ASSERT_EQ(window->Frame().RatingsStore()->Count(), 1u);
  window->Stakes()->RefreshView(true, false);
  answers = {true, true};  // delete them all; rebuild from what is left
  ASSERT_TRUE(window->Trigger("StakeClear"));
  EXPECT_EQ(Store().RecordCount(), 0);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(captions[0], "Предупреждение");
  EXPECT_EQ(messages[1].second.rfind("Пересчитать рейтинг только по текущим ставкам?", 0), 0u);
  EXPECT_EQ(captions[1], "Подтверждение");
  EXPECT_EQ(window->Frame().RatingsStore()->Count(), 0u);
  EXPECT_EQ(window->Ratings()->Table()->model()->rowCount(), 0);
}

TEST_F(StakesTest, CommandsFollowTheFileAndSayWhatTheyDid) {
  window->UpdateActions();
  // Nothing to check in an empty file; the logs can go whenever idle.
  EXPECT_FALSE(window->Action("StakesCheckManual")->isEnabled());
  EXPECT_TRUE(window->Action("LogStakesDelete")->isEnabled());
  Append(10, {1, 2, 3, 4, 5});
  window->UpdateActions();
  EXPECT_TRUE(window->Action("StakesCheckManual")->isEnabled());

  Append(11, {1, 2, 3, 4, 6});
  window->Stakes()->RefreshView(true, false);
  window->Stakes()->Table()->selectRow(1);
  answers = {false};
  ASSERT_TRUE(window->Trigger("StakeDel"));
  EXPECT_EQ(messages.back().second, "Удалить выделенную запись?");
  EXPECT_EQ(captions.back(), "Предупреждение");

  for (const char* name : {"Pentalux5_5v36-0.log", "Pentalux5_5v36-5.log"}) WriteBytes(dir.File(name), "x");
  ASSERT_TRUE(window->Trigger("LogStakesDelete"));
  EXPECT_EQ(messages.back(),
            (std::pair<std::string, std::string>{"info", "Удаление файлов журналов завершено\r\rУдалено файлов: 2"}));
  EXPECT_EQ(captions.back(), "Информация");
  ASSERT_TRUE(window->Trigger("LogStakesDelete"));
  EXPECT_EQ(messages.back().second, "Файлы журналов не найдены!");
}

TEST_F(StakesTest, ExportWritesAWorkbook) {
  Append(10, {1, 2, 3, 4, 5});
  page->Refresh();
  const std::string path = dir.File("stakes.xlsx");
  ASSERT_TRUE(page->ExportXlsx(path));
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "PK");
  EXPECT_FALSE(page->ExportXlsx(dir.File("missing/dir/x.xlsx")));
  EXPECT_EQ(messages.back().first, "error");
}

}  // namespace
}  // namespace px::test
