#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>

#include "core/env.h"
#include "frame/frame.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_line.h"
#include "tests/ui/window_fixture.h"
#include "ui/filter_dialog.h"
#include "ui/line_dialog.h"
#include "ui/scenario_page.h"

namespace px::test {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
std::string S(const QString& s) { return s.toStdString(); }

constexpr const char* kLineA = "FULL:0#EXT|TSD1#NUMS:10#LNO:#SF:1| | | | | | |альфа";
constexpr const char* kLineB = "EXCL:2#RAND#CLR|BMF12#NUMS:10-30;10#CMV:2#SF:1| | | | | | |бета";
constexpr const char* kLineC = "CURR:0#NONE#NEX|TSD1#NUMS:5#LNO:#SF:1| | | | | | |гамма";

// A window with a scenario and a scenario page of the test's own; the page's
// dialogs and file choices are answered from the fixture's queues.
class ScenarioTest : public WindowTest {
 protected:
  std::unique_ptr<Scenario> scenario;
  std::unique_ptr<ui::ScenarioPage> page;

  void SetUp() override {
    Open();
    TFormMain& f = window->Frame();
    ASSERT_GE(f.Registry().FindByCode("NUMS"), 0);
    scenario = std::make_unique<Scenario>(f.GetEnv(), f.GetHost(), WorkingScenarioPath(f.DataDir()));
    page = std::make_unique<ui::ScenarioPage>(f, *scenario);
    page->runDialog = [this](QDialog& d) { return desktop->RunDialog(d); };
    page->chooseFile = [this](bool save) { return desktop->fileHook(save); };
    ClearMessages();
  }
  void TearDown() override {
    page.reset();
    scenario.reset();
    if (window) Close();
  }

  std::string Cell(int row, int column) const { return S(page->Model()->index(row, column).data().toString()); }
  std::string WorkingFile() const { return dir.File("Pentalux5_5v36.lss"); }
  std::vector<std::string> WorkingLines() const { return ReadScenarioFile(Env::Real(), WorkingFile()); }
  void Fill(const std::vector<std::string>& lines) {
    for (const auto& l : lines) scenario->Add(l);
  }
  void SelectRows(std::initializer_list<int> rows) {
    auto* m = page->Model();
    page->Table()->clearSelection();
    for (int r : rows)
      page->Table()->selectionModel()->select(m->index(r, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  // Answers the next line dialog by running edit on it, then accepting.
  void AnswerLine(std::function<void(ui::LineDialog&)> edit, bool accept = true) {
    dialogs.push_back([edit, accept](QDialog& d) {
      auto* line = qobject_cast<ui::LineDialog*>(&d);
      if (!line) {
        ADD_FAILURE() << "not the line dialog";
        return false;
      }
      edit(*line);
      return accept;
    });
  }
  // Answers the next filter dialog: statistic NUMS over drawCounts.
  void AnswerFilter(const char* drawCounts, std::string* loadedCounts = nullptr) {
    dialogs.push_back([this, drawCounts, loadedCounts](QDialog& d) {
      auto* filter = qobject_cast<ui::FilterDialog*>(&d);
      if (!filter) {
        ADD_FAILURE() << "not the filter dialog";
        return false;
      }
      if (loadedCounts) *loadedCounts = S(filter->DrawCountsField()->text());
      const int nums = window->Frame().Registry().FindByCode("NUMS");
      filter->FilterTypeList()->setCurrentIndex(filter->FilterTypeList()->findData(nums));
      filter->DrawCountsField()->setText(U(drawCounts));
      return filter->Accept();
    });
  }
};

// ---- the list

TEST_F(ScenarioTest, ListShowsCommentOptionsAndNormalisedFilters) {
  Fill({"excl:4#sysc#clr#nex|bmf12#nums:7|  |||||| x |c1", "", kLineA});
  ASSERT_EQ(page->Model()->rowCount(), 3);
  ASSERT_EQ(page->Model()->columnCount(), 9);
  EXPECT_EQ(S(page->Model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString()), "Комментарии");
  EXPECT_EQ(S(page->Model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString()), "Опции");
  EXPECT_EQ(S(page->Model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString()), "Фильтр 1");
  EXPECT_EQ(S(page->Model()->headerData(8, Qt::Horizontal, Qt::DisplayRole).toString()), "Фильтр 7");
  EXPECT_EQ(page->Table()->columnWidth(5), 200);

  EXPECT_EQ(Cell(0, 1), "Исключить 4 тиражей; Система [комб]; Удалить ставки; Только новые ставки");
  // Letters are tested in capitals only, so a lower-case head reads as T, S, D.
  EXPECT_EQ(Cell(0, 2), FormatFilter(ParseFilter("bmf12#nums:7", window->Frame().Registry())));
  EXPECT_EQ(Cell(0, 2).rfind("TSD", 0), 0u) << Cell(0, 2);
  EXPECT_EQ(Cell(0, 3), "");
  for (int c = 0; c < 9; ++c) EXPECT_EQ(Cell(1, c), "") << c;
  EXPECT_EQ(Cell(2, 0), "альфа");
  EXPECT_EQ(Cell(2, 1), "Исходный список; Расширенная; Все создаваемые ставки");
  EXPECT_EQ(Cell(2, 2), "TSD1#NUMS:10#LNO:#SF:1");
  EXPECT_EQ(S(page->Panel(0)->text()), "Строк: 3");
}

TEST_F(ScenarioTest, EnablingFollowsTheSelection) {
  EXPECT_FALSE(page->HasLines());
  EXPECT_FALSE(page->HasSelection());
  EXPECT_FALSE(page->CanEdit());
  EXPECT_FALSE(page->CanMoveUp());
  EXPECT_FALSE(page->CanMoveDown());

  Fill({kLineA, "", kLineB});
  EXPECT_TRUE(page->HasLines());
  EXPECT_FALSE(page->HasSelection());
  page->SelectLine(0);
  EXPECT_TRUE(page->CanEdit());
  EXPECT_FALSE(page->CanMoveUp());
  EXPECT_TRUE(page->CanMoveDown());
  page->SelectLine(1);  // the separator
  EXPECT_TRUE(page->HasSelection());
  EXPECT_FALSE(page->CanEdit());
  EXPECT_TRUE(page->CanMoveUp());
  page->SelectLine(2);
  EXPECT_TRUE(page->CanMoveUp());
  EXPECT_FALSE(page->CanMoveDown());

  // Nothing to edit: no dialog is asked for.
  page->SelectLine(1);
  page->Edit();
  page->Clone();
  emit page->Table()->doubleClicked(page->Model()->index(1, 0));
  EXPECT_EQ(scenario->Count(), 3);
}

// ---- adding, editing, cloning

TEST_F(ScenarioTest, AddThroughTheDialogAppendsAndSelectsTheLine) {
  window->ExcludeField()->setValue(7);
  AnswerLine([this](ui::LineDialog& d) {
    EXPECT_EQ(S(d.windowTitle()), "Создание новой строки");
    // A new line starts from the first items, the flags off and the
    // combination view's exclusion count.
    EXPECT_EQ(d.SourceList()->currentIndex(), 0);
    EXPECT_EQ(S(d.SourceList()->itemText(1)), "Удалить N последних тиражей (для прогнозов)");
    EXPECT_EQ(d.StakeList()->count(), 10);
    EXPECT_EQ(d.StakeList()->currentIndex(), 0);
    EXPECT_EQ(d.ExcludeField()->value(), 7);
    EXPECT_FALSE(d.ClearStakesBox()->isChecked());
    EXPECT_FALSE(d.NewOnlyBox()->isChecked());
    for (int i = 0; i < kScenarioFilters; ++i) EXPECT_TRUE(d.FilterField(i)->text().isEmpty());
    EXPECT_TRUE(d.CommentField()->text().isEmpty());

    d.CommentField()->setText(U("первая"));
    d.SourceList()->setCurrentIndex(1);
    d.ExcludeField()->setValue(3);
    d.StakeList()->setCurrentIndex(1);
    d.NewOnlyBox()->setChecked(true);
    AnswerFilter("10");
    d.FilterButton(0)->click();
    EXPECT_EQ(S(d.FilterField(0)->text()), "TSD1#NUMS:10#LNO:#SF:1");
  });
  page->Add();

  ASSERT_EQ(scenario->Count(), 1);
  EXPECT_TRUE(dialogs.empty());
  EXPECT_EQ(scenario->Get(0), "EXCL:3#RAND#NEX|TSD1#NUMS:10#LNO:#SF:1| | | | | | |первая");
  EXPECT_EQ(Cell(0, 0), "первая");
  EXPECT_EQ(Cell(0, 1), "Исключить 3 тиражей; Случайно; Только новые ставки");
  EXPECT_EQ(Cell(0, 2), "TSD1#NUMS:10#LNO:#SF:1");
  EXPECT_EQ(page->SelectedLine(), 0);
  EXPECT_EQ(S(page->Panel(0)->text()), "Строк: 1");
  EXPECT_EQ(WorkingLines(), scenario->Lines());
}

TEST_F(ScenarioTest, CancelledDialogAddsNothing) {
  AnswerLine([](ui::LineDialog& d) { d.CommentField()->setText("x"); }, false);
  page->Add();
  EXPECT_EQ(scenario->Count(), 0);
  EXPECT_TRUE(dialogs.empty());
}

TEST_F(ScenarioTest, EditFillsTheDialogFromTheLineAndReplacesIt) {
  Fill({kLineA, kLineB});
  page->SelectLine(1);
  AnswerLine([](ui::LineDialog& d) {
    EXPECT_EQ(S(d.windowTitle()), "Редактирование строки");
    EXPECT_EQ(S(d.CommentField()->text()), "бета");
    EXPECT_EQ(d.SourceList()->currentIndex(), 1);
    EXPECT_EQ(d.ExcludeField()->value(), 2);
    EXPECT_EQ(d.StakeList()->currentIndex(), 1);
    EXPECT_TRUE(d.ClearStakesBox()->isChecked());
    EXPECT_FALSE(d.NewOnlyBox()->isChecked());
    EXPECT_EQ(S(d.FilterField(0)->text()), "BMF12#NUMS:10-30;10#CMV:2#SF:1");
    EXPECT_TRUE(d.FilterField(1)->text().isEmpty());
    d.CommentField()->setText(U("изменена"));
    d.StakeList()->setCurrentIndex(9);
  });
  emit page->Table()->doubleClicked(page->Model()->index(1, 3));  // the double click edits

  ASSERT_EQ(scenario->Count(), 2);
  EXPECT_TRUE(dialogs.empty());
  EXPECT_EQ(scenario->Get(0), kLineA);
  EXPECT_EQ(scenario->Get(1), "EXCL:2#NONE#CLR|BMF12#NUMS:10-30;10#CMV:2#SF:1| | | | | | |изменена");
  EXPECT_EQ(Cell(1, 1), "Исключить 2 тиражей; Не делать ставок; Удалить ставки; Все создаваемые ставки");
  EXPECT_EQ(page->SelectedLine(), 1);
  EXPECT_EQ(WorkingLines(), scenario->Lines());
}

TEST_F(ScenarioTest, FilterFieldOpensTheFilterDialogOnItsText) {
  Fill({kLineB});
  page->SelectLine(0);
  std::string loaded;
  AnswerLine([&](ui::LineDialog& d) {
    // A double click on the field opens the dialog as the button does.
    AnswerFilter("4", &loaded);
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(d.FilterField(0), &click);
    // Cancelled: the field keeps what it had.
    dialogs.push_back([](QDialog&) { return false; });
    d.FilterButton(1)->click();
    EXPECT_TRUE(d.FilterField(1)->text().isEmpty());
    // Typed text is stored as typed.
    d.FilterField(2)->setText("bmf3#nums:5");
  });
  page->Edit();

  EXPECT_EQ(loaded, "10-30;10");
  EXPECT_TRUE(dialogs.empty());
  const ScenarioLineText parts = ParseLineText(scenario->Get(0));
  // The dialog keeps the descriptor's other settings.
  EXPECT_EQ(parts.filters[0], "BMF12#NUMS:4#CMV:2#SF:1");
  EXPECT_EQ(parts.filters[1], "");
  EXPECT_EQ(parts.filters[2], "bmf3#nums:5");
}

TEST_F(ScenarioTest, CloneAppendsTheEditedCopyAndKeepsUnknownStatistics) {
  const std::string unknown = "FULL:0#ALL|TSD1#ZZQQ:5#LNO:#SF:1| | | | | | |чужая";
  Fill({kLineA, unknown});
  page->SelectLine(1);
  AnswerLine([](ui::LineDialog& d) {
    EXPECT_EQ(S(d.windowTitle()), "Создание новой строки");
    EXPECT_EQ(S(d.FilterField(0)->text()), "TSD1#ZZQQ:5#LNO:#SF:1");
    EXPECT_EQ(d.StakeList()->currentIndex(), 4);
  });
  page->Clone();

  ASSERT_EQ(scenario->Count(), 3);
  EXPECT_EQ(scenario->Get(1), unknown);
  EXPECT_EQ(scenario->Get(2), unknown);
  EXPECT_EQ(page->SelectedLine(), 2);
  EXPECT_EQ(WorkingLines(), scenario->Lines());
}

// ---- moving, deleting

TEST_F(ScenarioTest, UpAndDownSwapAndKeepTheLineSelected) {
  Fill({kLineA, kLineB, kLineC});
  page->SelectLine(2);
  page->Up();
  EXPECT_EQ(scenario->Lines(), (std::vector<std::string>{kLineA, kLineC, kLineB}));
  EXPECT_EQ(page->SelectedLine(), 1);
  EXPECT_EQ(Cell(1, 0), "гамма");
  EXPECT_EQ(WorkingLines(), scenario->Lines());
  page->Up();
  EXPECT_EQ(scenario->Lines(), (std::vector<std::string>{kLineC, kLineA, kLineB}));
  EXPECT_EQ(page->SelectedLine(), 0);
  page->Up();  // already first
  EXPECT_EQ(scenario->Get(0), kLineC);
  page->Down();
  page->Down();
  EXPECT_EQ(scenario->Lines(), (std::vector<std::string>{kLineA, kLineB, kLineC}));
  EXPECT_EQ(page->SelectedLine(), 2);
  page->Down();  // already last
  EXPECT_EQ(scenario->Get(2), kLineC);
  EXPECT_EQ(WorkingLines(), scenario->Lines());
}

TEST_F(ScenarioTest, DeleteAsksWithTheSelectedCount) {
  Fill({kLineA, kLineB, kLineC});
  SelectRows({0, 2});
  answers = {false};
  page->Delete();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].first, "question");
  EXPECT_EQ(messages[0].second, "Удалить все выделенные записи (всего будет удалено 2 записи(ей))?");
  EXPECT_EQ(scenario->Count(), 3);

  answers = {true};
  page->Delete();
  EXPECT_EQ(scenario->Lines(), std::vector<std::string>{kLineB});
  EXPECT_EQ(S(page->Panel(0)->text()), "Строк: 1");
  EXPECT_EQ(WorkingLines(), scenario->Lines());

  ClearMessages();
  page->SelectLine(0);
  answers = {true};
  page->Delete();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].second, "Удалить выделенную запись?");
  EXPECT_TRUE(scenario->Empty());
  EXPECT_TRUE(WorkingLines().empty());
}

TEST_F(ScenarioTest, ClearAsksWithTheLineCount) {
  Fill({kLineA, "", kLineB});
  answers = {false};
  page->Clear();
  EXPECT_EQ(scenario->Count(), 3);
  answers = {true};
  page->Clear();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].second, "Удалить все выделенные записи (всего будет удалено 3 записи(ей))?");
  EXPECT_TRUE(scenario->Empty());
  EXPECT_EQ(S(page->Panel(0)->text()), "Строк: 0");
  EXPECT_TRUE(WorkingLines().empty());
}

TEST_F(ScenarioTest, AddEmptyNeedsLinesAndSelectsTheSeparator) {
  page->AddEmpty();
  EXPECT_TRUE(scenario->Empty());
  Fill({kLineA});
  page->AddEmpty();
  EXPECT_EQ(scenario->Lines(), (std::vector<std::string>{kLineA, ""}));
  EXPECT_EQ(page->SelectedLine(), 1);
  EXPECT_EQ(WorkingLines(), scenario->Lines());
}

// ---- files

TEST_F(ScenarioTest, SaveThenOpenRoundTrips) {
  const std::vector<std::string> lines{kLineA, "", kLineB};
  Fill(lines);
  const std::string path = dir.File("saved.lsc");
  files = {path};
  page->Save();
  EXPECT_EQ(ReadBytes(path), EncodeScenario(lines));
  EXPECT_NE(ReadBytes(path).find("\r\n"), std::string::npos);

  scenario->Clear();
  scenario->Add(kLineC);
  files = {path};
  page->Open();
  EXPECT_EQ(scenario->Lines(), lines);
  EXPECT_EQ(Cell(2, 0), "бета");
  EXPECT_EQ(WorkingLines(), lines);
  EXPECT_TRUE(messages.empty());
}

TEST_F(ScenarioTest, SaveNeedsLinesAndCancelChangesNothing) {
  files = {dir.File("never.lsc")};
  page->Save();
  EXPECT_EQ(files.size(), 1u);  // no file was asked for
  Fill({kLineA});
  files = {std::nullopt};
  page->Open();
  EXPECT_EQ(scenario->Lines(), std::vector<std::string>{kLineA});
}

TEST_F(ScenarioTest, AppendAddsExactlyOneSeparator) {
  const std::string path = dir.File("more.lsc");
  WriteScenarioFile(Env::Real(), path, {kLineB, kLineC});

  files = {path};
  page->Append();  // to an empty scenario: simply loaded
  EXPECT_EQ(scenario->Lines(), (std::vector<std::string>{kLineB, kLineC}));

  scenario->Clear();
  Fill({kLineA});
  files = {path};
  page->Append();
  EXPECT_EQ(scenario->Lines(), (std::vector<std::string>{kLineA, "", kLineB, kLineC}));

  files = {path};
  page->Append();  // the last line is not empty: one separator again
  EXPECT_EQ(scenario->Count(), 7);
  EXPECT_EQ(scenario->Get(4), "");
  EXPECT_EQ(scenario->Get(5), kLineB);
  EXPECT_EQ(S(page->Panel(0)->text()), "Строк: 7");
  EXPECT_EQ(WorkingLines(), scenario->Lines());
}

TEST_F(ScenarioTest, UnreadableFileIsReportedThroughTheHost) {
  Fill({kLineA});
  files = {dir.File("missing.lsc")};
  page->Open();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].first, "error");
  EXPECT_EQ(messages[0].second.rfind("Ошибка чтения файла \"" + dir.File("missing.lsc") + "\"!", 0), 0u)
      << messages[0].second;
  EXPECT_EQ(scenario->Lines(), std::vector<std::string>{kLineA});
}

// ---- the status bar

TEST_F(ScenarioTest, StatusBarHasFivePanels) {
  for (int i = 0; i < 5; ++i) ASSERT_NE(page->Panel(i), nullptr);
  page->SetPanel(1, U("Цикл: 2"));
  page->SetPanel(4, U("текст"));
  EXPECT_EQ(S(page->Panel(1)->text()), "Цикл: 2");
  EXPECT_EQ(S(page->Panel(4)->text()), "текст");
  Fill({kLineA});
  EXPECT_EQ(S(page->Panel(0)->text()), "Строк: 1");
  EXPECT_EQ(S(page->Panel(1)->text()), "Цикл: 2");  // the run's panels are left alone
}

}  // namespace
}  // namespace px::test
