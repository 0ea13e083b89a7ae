// The page "Регуляры" in a real window: the rule dialog, the comments of
// rules made from several combinations, a stake that is cancelled or made,
// the test of 3, deletion and the tab switch.
#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>

#include "frame/frame.h"
#include "stakes/regular.h"
#include "stakes/stake_store.h"
#include "ui/combs_page.h"
#include "ui/regulars_page.h"
#include "ui/scenario_run.h"
#include "ui/stake_dialogs.h"
#include "ui/window_fixture.h"

namespace px {
namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

class RegularsTest : public test::WindowTest {
 protected:
  void SetUp() override {
    Open();
    page = window->Regulars();
    for (int n = 1; n <= 6; ++n) {
      DrawRecord d = window->Frame().NewDrawTemplate();
      d.numbers = {uint8_t(n), uint8_t(n + 6), uint8_t(n + 12), uint8_t(n + 18), uint8_t(n + 24)};
      window->Frame().DrawsAdd(d);
    }
  }
  void SelectRows(QTableView* view, std::initializer_list<int> rows) {
    view->clearSelection();
    for (int r : rows)
      view->selectionModel()->select(view->model()->index(r, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  std::string Cell(int row, int column) const {
    return page->Table()->model()->index(row, column).data().toString().toStdString();
  }
  bool Enabled(const char* name) {
    window->UpdateActions();
    return window->Action(name)->isEnabled();
  }
  ui::RegularsPage* page = nullptr;
};

TEST_F(RegularsTest, DialogChecksItsFieldsAndTheStartFollowsTheSelection) {
  std::vector<std::string> errors;
  auto show = [&](const std::string& e) { errors.push_back(e); };
  std::vector<RegularStake> existing(1);
  existing[0].comment = "Регулярная ставка";

  ui::RegularDialog one(existing, 1, {3, 7, 12, 20, 31}, show);
  EXPECT_EQ(one.windowTitle(), U("Добавление регулярной ставки"));
  EXPECT_EQ(one.StartField()->text(), "3;7;12;20;31");
  EXPECT_TRUE(one.StartField()->isEnabled());
  EXPECT_EQ(one.StepField()->value(), 1);
  EXPECT_EQ(one.StepField()->minimum(), -36);
  EXPECT_EQ(one.StepField()->maximum(), 36);
  EXPECT_EQ(one.CommentField()->maxLength(), 64);
  // The comment is taken: refused, and so is a broken start.
  EXPECT_FALSE(one.Accept());
  EXPECT_EQ(errors.back(), "Запись с таким комментарией уже присутствует в списке!\rВыберите другой комментарий.");
  one.StartField()->setText("1;2;3");
  EXPECT_FALSE(one.Accept());
  EXPECT_EQ(errors.back(), "Введена некорректная комбинация!");
  one.StartField()->setText("9;8;7;6;5");
  one.CommentField()->setText(U("Новая"));
  one.StepField()->setValue(-5);
  ASSERT_TRUE(one.Accept());
  EXPECT_EQ(one.Result().start, (Combination{5, 6, 7, 8, 9}));
  EXPECT_EQ(one.Result().step, -5);
  EXPECT_FALSE(one.Result().useLastDraw);

  // Several selected: the field names them and takes no part.
  ui::RegularDialog many(existing, 3, {}, show);
  EXPECT_EQ(many.StartField()->text(), U("{...Выделенные комбинации...}"));
  EXPECT_FALSE(many.StartField()->isEnabled());
  many.LastDraw()->setChecked(true);
  EXPECT_FALSE(many.StartField()->isEnabled());
  many.CommentField()->setText(U("  "));
  EXPECT_FALSE(many.Accept());
  EXPECT_EQ(errors.back(), "Необходимо ввести комментарий!");
  many.CommentField()->setText(U("По тиражу"));
  ASSERT_TRUE(many.Accept());
  EXPECT_TRUE(many.Result().useLastDraw);
}

TEST_F(RegularsTest, AddFromSelectedCombinationsThenStakeCancelStakeAndTest) {
  ASSERT_TRUE(window->Frame().Settings().TabTables);
  EXPECT_TRUE(Enabled("TablesAdd"));
  EXPECT_FALSE(Enabled("TablesDel"));
  EXPECT_FALSE(Enabled("TablesStakeTest"));

  // The first, fifth and ninth combinations with the fixed start chosen.
  SelectRows(window->CombsView(), {0, 4, 8});
  dialogs.push_back([](QDialog& d) { return dynamic_cast<ui::RegularDialog&>(d).Accept(); });
  ASSERT_TRUE(window->Trigger("TablesAdd"));
  ASSERT_EQ(page->Table()->model()->rowCount(), 3);
  EXPECT_EQ(Cell(0, 0), "Регулярная ставка (1)");
  EXPECT_EQ(Cell(1, 0), "Регулярная ставка (5)");
  EXPECT_EQ(Cell(2, 0), "Регулярная ставка (9)");
  EXPECT_EQ(Cell(1, 1), CombinationText(window->Frame().Combs().Working()[4]));
  EXPECT_EQ(Cell(1, 2), "1");
  EXPECT_EQ(Cell(1, 4), "0");

  // Deleting two of them asks first; "no" keeps them.
  SelectRows(page->Table(), {0, 2});
  EXPECT_TRUE(Enabled("TablesDel"));
  answers = {false};
  window->Trigger("TablesDel");
  EXPECT_EQ(page->Table()->model()->rowCount(), 3);
  EXPECT_EQ(messages.back().second, "Удалить все выделенные записи (всего будет удалено 2 записи(ей))?");
  EXPECT_EQ(captions.back(), "Предупреждение");
  answers = {true};
  window->Trigger("TablesDel");
  ASSERT_EQ(page->Table()->model()->rowCount(), 1);
  EXPECT_EQ(Cell(0, 0), "Регулярная ставка (5)");
  EXPECT_TRUE(page->SelectedRows().empty());
  SelectRows(page->Table(), {0});
  answers = {true};
  window->Trigger("TablesDel");

  // One combination selected: its own start.
  SelectRows(window->CombsView(), {0});
  dialogs.push_back([](QDialog& d) {
    auto& dialog = dynamic_cast<ui::RegularDialog&>(d);
    dialog.StartField()->setText("1;2;3;4;5");
    return dialog.Accept();
  });
  ASSERT_TRUE(window->Trigger("TablesAdd"));
  ASSERT_EQ(page->Table()->model()->rowCount(), 1);
  EXPECT_EQ(Cell(0, 0), "Регулярная ставка");
  SelectRows(page->Table(), {0});

  // The stake dialog cancelled: the rule is not advanced.
  StakeStore& stakes = *window->Frame().Stakes();
  const int64_t before = stakes.RecordCount();
  QString proposed;
  dialogs.push_back([&](QDialog& d) {
    proposed = dynamic_cast<ui::TFormStake&>(d).NumbersField()->text();
    return false;
  });
  ASSERT_TRUE(window->Trigger("TablesStakeAdd"));
  EXPECT_EQ(proposed, "2;3;4;5;6");
  EXPECT_EQ(Cell(0, 3), "1;2;3;4;5");
  EXPECT_EQ(Cell(0, 4), "0");
  EXPECT_EQ(stakes.RecordCount(), before);

  // Agreed to: advanced, stored, the stake made for the next draw.
  dialogs.push_back([](QDialog& d) { return dynamic_cast<ui::TFormStake&>(d).Accept(); });
  ASSERT_TRUE(window->Trigger("TablesStakeAdd"));
  EXPECT_EQ(Cell(0, 3), "2;3;4;5;6");
  EXPECT_EQ(Cell(0, 4), "1");
  ASSERT_EQ(stakes.RecordCount(), before + 1);
  EXPECT_EQ(stakes.ReadRecord(-1, true).drawNumber, 7);
  EXPECT_EQ(stakes.ReadRecord(-1, true).kind, uint8_t(StakeKind::Regular));

  // The test of 3 over the rule: draws 4, 5 and 6, checked at once.
  EXPECT_TRUE(Enabled("TablesStakeTest"));
  int maximum = 0;
  dialogs.push_back([&](QDialog& d) {
    auto& count = dynamic_cast<ui::TestCountDialog&>(d);
    maximum = count.CountField()->maximum();
    count.CountField()->setValue(3);
    return true;
  });
  ASSERT_TRUE(window->Trigger("TablesStakeTest"));
  EXPECT_EQ(maximum, 5);
  EXPECT_EQ(Cell(0, 4), "4");
  EXPECT_EQ(Cell(0, 3), "5;6;7;8;9");
  ASSERT_EQ(stakes.RecordCount(), before + 4);
  for (int i = 0; i < 3; ++i) {
    const StakeRecord r = stakes.ReadRecord(before + 1 + i);
    EXPECT_EQ(r.drawNumber, 4 + i);
    EXPECT_EQ(r.checked, 1);
  }
  EXPECT_EQ(window->Frame().DrawsOffset(), 0);
  EXPECT_TRUE(window->Frame().IsIdle());
}

TEST_F(RegularsTest, HidingTheTabReleasesTheRulesAndShowingReadsThemAgain) {
  RegularStake r;
  r.comment = "a";
  r.start = r.current = {1, 2, 3, 4, 5};
  window->Frame().RegularsAdd(r, {0});
  page->RefreshView();
  ASSERT_EQ(page->Table()->model()->rowCount(), 1);

  ASSERT_TRUE(window->Trigger("TabTables"));
  EXPECT_FALSE(window->Frame().Settings().TabTables);
  EXPECT_FALSE(window->Action("TabTables")->isChecked());
  EXPECT_EQ(page->Table()->model()->rowCount(), 0);
  EXPECT_FALSE(Enabled("TablesAdd"));
  EXPECT_TRUE(std::filesystem::exists(RegularsPath(dir.Path())));

  ASSERT_TRUE(window->Trigger("TabTables"));
  EXPECT_TRUE(window->Action("TabTables")->isChecked());
  EXPECT_EQ(page->Table()->model()->rowCount(), 1);
  EXPECT_EQ(window->MainPages()->currentWidget(), page);
  EXPECT_TRUE(Enabled("TablesAdd"));
}

}  // namespace
}  // namespace px
