#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QTableView>
#include <filesystem>

#include "frame/actions.h"
#include "frame/frame.h"
#include "tests/ui/window_fixture.h"
#include "ui/context_menu.h"
#include "ui/stake_dialogs.h"
#include "ui/stakes_page.h"

namespace px {
namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

// Ten numbers first appearing as 7, 3, 22, 15, 16, 28, 29, 30, 31, 32.
constexpr const char* kTenNumbers = "7 3 22 15 16\n3 7 28 29 30\n30 31 32 22 7\n3 7 15 16 22\n";

class SystemGameWindowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    Open();
    TFormMain& f = window->Frame();
    f.Config().data.Cost = CurrencyOf(50);
    for (int n = 1; n <= 3; ++n) {
      DrawRecord d = f.NewDrawTemplate();
      d.numbers = {uint8_t(n), uint8_t(n + 6), uint8_t(n + 12), uint8_t(n + 18), uint8_t(n + 24)};
      f.DrawsAdd(d);
    }
    ClearMessages();
  }
  void TearDown() override {
    if (window) Close();
  }
  void PutSystem(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(dir.File("Systems"));
    test::WriteBytes(dir.File("Systems/" + name), text);
  }
  StakeStore& Store() { return *window->Frame().Stakes(); }
  int64_t GridRows() const { return window->Stakes()->Model()->Records(); }
  static std::vector<std::string> Names(const QMenu& menu) {
    std::vector<std::string> names;
    for (QAction* a : menu.actions()) names.push_back(a->isSeparator() ? "-" : a->objectName().toStdString());
    return names;
  }
};

TEST_F(SystemGameWindowTest, CaptionsKeysAndPlaces) {
  QAction* all = window->Action("SystemStakeAll");
  QAction* list = window->Action("SystemStakeFilter");
  // A Latin "C", then Cyrillic letters.
  EXPECT_EQ(all->text(), U("Cистемная игра по списку системы"));
  EXPECT_EQ(all->text()[0], QChar('C'));
  EXPECT_EQ(all->text()[1], QChar(0x0438));
  EXPECT_EQ(list->text(), U("Cистемная игра по списку комбинаций"));
  EXPECT_EQ(list->text()[0], QChar('C'));
  EXPECT_EQ(all->statusTip(),
            U("Системная игра по всем комбинациям выбранной системы (даже если их нет в списке комбинаций)"));
  EXPECT_EQ(list->statusTip(), U("Системная игра только по комбинациям, которые есть и в системе и в списке комбинаций"));
  EXPECT_EQ(all->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+J")));
  EXPECT_EQ(list->shortcut(), QKeySequence(QStringLiteral("Alt+J")));
  EXPECT_EQ(FindAction("SystemStakeAll")->later, nullptr);
  EXPECT_EQ(FindAction("SystemStakeFilter")->later, nullptr);

  // The menu "Ставки", after the stakes of the list.
  QMenu* stakes = nullptr;
  for (QAction* top : window->menuBar()->actions())
    if (QString(top->text()).remove('&') == U("Ставки")) stakes = top->menu();
  ASSERT_NE(stakes, nullptr);
  const std::vector<std::string> items = Names(*stakes);
  ASSERT_GE(items.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(items.begin() + 3, items.begin() + 6),
            (std::vector<std::string>{"StakeAddAll", "SystemStakeFilter", "SystemStakeAll"}));
  // The pop-up menus of the combination list and of the stakes.
  for (QTableView* view : {window->CombsView(), window->Stakes()->Table()}) {
    std::unique_ptr<QMenu> menu = ui::BuildContextMenu(*view);
    ASSERT_NE(menu, nullptr);
    const std::vector<std::string> names = Names(*menu);
    EXPECT_EQ(std::count(names.begin(), names.end(), "SystemStakeFilter"), 1) << view->objectName().toStdString();
    EXPECT_EQ(std::count(names.begin(), names.end(), "SystemStakeAll"), 1) << view->objectName().toStdString();
  }
  // With the tab off they leave the menus.
  ASSERT_TRUE(window->Trigger("SystemsOn"));
  EXPECT_FALSE(all->isVisible());
  const std::vector<std::string> off = Names(*ui::BuildContextMenu(*window->CombsView()));
  EXPECT_EQ(std::count(off.begin(), off.end(), "SystemStakeAll"), 0);
}

TEST_F(SystemGameWindowTest, EnabledWhileTheTabIsOnTheListHoldsCombinationsAndTheStakesAreOpen) {
  window->UpdateActions();
  EXPECT_TRUE(window->Action("SystemStakeAll")->isEnabled());
  EXPECT_TRUE(window->Action("SystemStakeFilter")->isEnabled());
  ASSERT_TRUE(window->Trigger("SystemsOn"));
  EXPECT_FALSE(window->Action("SystemStakeAll")->isEnabled());
  ASSERT_TRUE(window->Trigger("SystemsOn"));
  EXPECT_TRUE(window->Action("SystemStakeAll")->isEnabled());
  // An empty list.
  window->Frame().Combs().Working().SetCount(0);
  window->UpdateActions();
  EXPECT_FALSE(window->Action("SystemStakeAll")->isEnabled());
  EXPECT_FALSE(window->Action("SystemStakeFilter")->isEnabled());
  window->Frame().CombsPaste(kTenNumbers);
  window->UpdateActions();
  EXPECT_TRUE(window->Action("SystemStakeFilter")->isEnabled());
  // Busy.
  window->Frame().BeginBusy();
  window->UpdateActions();
  EXPECT_FALSE(window->Action("SystemStakeAll")->isEnabled());
  window->Frame().EndBusy();
  // The stakes file closed.
  Store().Close();
  window->UpdateActions();
  EXPECT_FALSE(window->Action("SystemStakeAll")->isEnabled());
  ASSERT_TRUE(Store().Reopen());
}

TEST_F(SystemGameWindowTest, TheDialogTakesTheDrawCountAndCommentAndTheGridFollows) {
  PutSystem("5-10-3_0017.dat", "01 02 03 04 05\r\n10 09 08 07 06\r\n");
  window->Frame().CombsPaste(kTenNumbers);
  // Cancelled: nothing.
  int32_t shownDraw = 0;
  int shownCount = 0;
  std::string shownComment;
  bool shownWhole = false;
  dialogs.push_back([&](QDialog& d) {
    auto& m = dynamic_cast<ui::MultiStakeDialog&>(d);
    shownDraw = m.DrawNumber();
    shownCount = m.DrawCount();
    shownComment = m.Comment();
    // The whole comment is in view, from its start.
    shownWhole = m.CommentField()->cursorPosition() == 0 &&
                 m.CommentField()->minimumWidth() >= m.CommentField()->fontMetrics().horizontalAdvance(m.CommentField()->text());
    return false;
  });
  ASSERT_TRUE(window->Trigger("SystemStakeAll"));
  EXPECT_EQ(shownDraw, 4);
  EXPECT_EQ(shownCount, 1);
  EXPECT_EQ(shownComment, "Системная игра для 10 чисел [вся система]: 5-10-3_0017");
  EXPECT_TRUE(shownWhole);
  EXPECT_EQ(Store().RecordCount(), 0);
  EXPECT_TRUE(messages.empty());

  dialogs.push_back([](QDialog& d) {
    auto& m = dynamic_cast<ui::MultiStakeDialog&>(d);
    m.DrawField()->setValue(3);
    m.CountField()->setValue(2);
    m.CommentField()->setText(QString::fromUtf8("две недели"));
    return m.Accept();
  });
  ASSERT_TRUE(window->Trigger("SystemStakeAll"));
  EXPECT_TRUE(messages.empty()) << messages[0].second;
  // Two combinations for draws 3 and 4, a separator before each stake after the first.
  ASSERT_EQ(Store().RecordCount(), 7);
  EXPECT_EQ(GridRows(), 7);
  const StakeRecord first = Store().ReadRecord(0);
  EXPECT_EQ(first.numbers, ToNumberSet({3, 7, 15, 16, 22}));
  EXPECT_EQ(first.drawNumber, 3);
  EXPECT_EQ(first.comment, "две недели");
  EXPECT_EQ(first.kind, uint8_t(StakeKind::System));
  EXPECT_EQ(first.checked, 1);  // draw 3 is known: checked at the end
  EXPECT_EQ(Store().ReadRecord(2).drawNumber, 4);
  EXPECT_EQ(Store().ReadRecord(6).numbers, ToNumberSet({28, 29, 30, 31, 32}));
  // The grid shows the last stake.
  EXPECT_EQ(window->Stakes()->Table()->currentIndex().row(), 6);
  EXPECT_EQ(Panel(4), Store().CountText());

  // List only, nothing of the system in the list: the separator alone, and
  // the grid is not refreshed.
  window->Frame().CombsPaste("7 3 22 15 16\n30 31 32 28 29\n");
  PutSystem("5-10-3_0017.dat", "01 02 03 04 05\r\n06 07 08 09 10\r\n");
  dialogs.push_back([&](QDialog& d) {
    shownComment = dynamic_cast<ui::MultiStakeDialog&>(d).Comment();
    return dynamic_cast<ui::MultiStakeDialog&>(d).Accept();
  });
  ASSERT_TRUE(window->Trigger("SystemStakeFilter"));
  EXPECT_EQ(shownComment, "Системная игра для 10 чисел [комбинации]: 5-10-3_0017");
  EXPECT_EQ(Store().RecordCount(), 8);
  EXPECT_EQ(Store().ReadRecord(7).drawNumber, -1);
  EXPECT_EQ(GridRows(), 7);
}

TEST_F(SystemGameWindowTest, AMissingOrBrokenSystemIsShownAndNoDialogRuns) {
  // The whole list has 36 numbers.
  bool asked = false;
  dialogs.push_back([&](QDialog&) { return asked = true; });
  ASSERT_TRUE(window->Trigger("SystemStakeFilter"));
  EXPECT_FALSE(asked);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].second,
            "Система для 36 чисел не найдена или не загружена на компьютер!\r\rПеред системной игрой необходимо "
            "предварительно загрузить системы на Ваш компьютер через меню \"Системы\" - \"Загрузить\".");
  EXPECT_EQ(captions[0], "Ошибка");

  ClearMessages();
  PutSystem("5-36-0_0001.dat", "01 02 03 04 05\r\n01 02 03 04\r\n");
  ASSERT_TRUE(window->Trigger("SystemStakeAll"));
  EXPECT_FALSE(asked);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].second, "Ошибка загрузки комбинаций системы!\r\rВ строке 2 файла системы \"5-36-0_0001.dat\" "
                                "меньше пяти чисел!");
  EXPECT_EQ(Store().RecordCount(), 0);
  EXPECT_TRUE(window->Frame().IsIdle());
}

}  // namespace
}  // namespace px
