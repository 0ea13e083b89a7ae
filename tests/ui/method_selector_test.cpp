#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <algorithm>
#include <set>

#include "stats/custom_stat.h"
#include "stats/stat_list.h"
#include "ui/graphs_page.h"
#include "ui/method_selector.h"
#include "ui/stats_page.h"
#include "window_fixture.h"

namespace px::test {
namespace {

void Key(QWidget* target, int key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
}

void Type(QWidget* target, const QString& text) {
  for (QChar c : text) Key(target, 0, QString(c));
}

class MethodSelectorTest : public WindowTest {
 protected:
  void SetUp() override { Open(); }
  ui::MethodSelector& Stats() { return *static_cast<ui::MethodSelector*>(window->Stats()->MethodList()); }
  ui::MethodSelector& Graphs() { return *window->Graphs()->MethodList(); }
  const TStatList& Registry() { return window->Frame().Registry(); }

  // The entries the popup shows, as registry positions, in its order.
  std::vector<int> Shown(ui::MethodSelector& s) {
    std::vector<int> methods;
    for (const auto& row : s.Rows().Rows())
      if (row.entry >= 0) methods.push_back(s.itemData(row.entry).toInt());
    return methods;
  }
  std::vector<int> Headers(ui::MethodSelector& s) {
    std::vector<int> groups;
    for (const auto& row : s.Rows().Rows())
      if (row.entry < 0) groups.push_back(row.group);
    return groups;
  }
  // The list's methods of one group, in the list's order.
  std::vector<int> OfGroup(ui::MethodSelector& s, int group) {
    std::vector<int> methods;
    for (int i = 0; i < s.count(); ++i) {
      const int m = s.itemData(i).toInt();
      if (Registry().Method(m).cls->group == group) methods.push_back(m);
    }
    return methods;
  }
  int SumGroup() { return Registry().Method(Registry().FindByCode("SUMS")).cls->group; }
  std::string Code(int method) { return Registry().CodeOf(method); }
};

TEST_F(MethodSelectorTest, SearchingSummShowsTheSumFamilyUnderItsHeader) {
  ui::MethodSelector& s = Stats();
  ASSERT_GT(s.count(), 200);  // every family registered
  s.showPopup();
  ASSERT_TRUE(s.PopupShown());
  Type(s.SearchField(), QString::fromUtf8("сумм"));
  EXPECT_EQ(s.SearchField()->text(), QString::fromUtf8("сумм"));
  const std::vector<int> sums = OfGroup(s, SumGroup());
  ASSERT_EQ(sums.size(), 10u);
  EXPECT_EQ(Shown(s), sums);
  EXPECT_EQ(Headers(s), std::vector<int>{SumGroup()});
  EXPECT_EQ(s.PopupList()->model()->index(0, 0).data().toString().toStdString(), GroupTitle(SumGroup()));
  // The first hit is the current row, ready for Enter.
  EXPECT_EQ(s.PopupList()->currentIndex().row(), 1);

  // Case does not matter, Cyrillic included; codes are searched too.
  s.SearchField()->setText(QString::fromUtf8("СУММА ТИРАЖА:"));
  EXPECT_EQ(Shown(s).size(), 9u);  // all but "Сумма двух чисел тиража ..."
  s.SearchField()->setText("sumc");
  EXPECT_EQ(Shown(s), std::vector<int>{Registry().FindByCode("SUMC")});
  // Every word must be found.
  s.SearchField()->setText(QString::fromUtf8("сумм четн"));
  EXPECT_EQ(Shown(s), std::vector<int>{Registry().FindByCode("SUME")});
  s.SearchField()->setText(QString::fromUtf8("нет такого метода"));
  EXPECT_TRUE(s.Rows().Rows().empty());
}

TEST_F(MethodSelectorTest, TypingOnTheClosedListSearchesAndTheKeysChoose) {
  ui::MethodSelector& s = Stats();
  const int before = s.currentIndex();
  int changes = 0;
  QObject::connect(&s, &QComboBox::currentIndexChanged, [&] { ++changes; });
  Key(&s, 0, QString::fromUtf8("с"));
  ASSERT_TRUE(s.PopupShown());
  EXPECT_EQ(s.SearchField()->text(), QString::fromUtf8("с"));
  Type(s.SearchField(), QString::fromUtf8("умм"));
  const std::vector<int> hits = Shown(s);
  ASSERT_GE(hits.size(), 3u);
  // Down passes to the second hit, Up back to the first and no further up
  // than it: the header above cannot be chosen.
  Key(s.SearchField(), Qt::Key_Down);
  Key(s.SearchField(), Qt::Key_Down);
  Key(s.SearchField(), Qt::Key_Up);
  Key(s.SearchField(), Qt::Key_Return);
  EXPECT_FALSE(s.PopupShown());
  EXPECT_EQ(s.currentData().toInt(), hits[1]);
  EXPECT_EQ(changes, 1);

  Key(&s, 0, QString::fromUtf8("с"));
  Type(s.SearchField(), QString::fromUtf8("умм"));
  for (int i = 0; i < 5; ++i) Key(s.SearchField(), Qt::Key_Up);
  Key(s.SearchField(), Qt::Key_Enter);
  EXPECT_EQ(s.currentData().toInt(), hits[0]);
  EXPECT_NE(s.currentIndex(), before);

  // Escape leaves the choice alone.
  s.showPopup();
  Type(s.SearchField(), "SUMT");
  Key(s.SearchField(), Qt::Key_Escape);
  EXPECT_FALSE(s.PopupShown());
  EXPECT_EQ(s.currentData().toInt(), hits[0]);
  // A search that leaves one method takes it on Enter.
  s.showPopup();
  Type(s.SearchField(), "SUMT");
  Key(s.SearchField(), Qt::Key_Return);
  EXPECT_EQ(Code(s.currentData().toInt()), "SUMT");
}

TEST_F(MethodSelectorTest, GroupsAreHeadersInTheOrderOfTheirFirstMethod) {
  ui::MethodSelector& s = Stats();
  s.showPopup();
  // The list as filled: every method once, under the header of its group.
  std::vector<int> firstSeen;
  for (int i = 0; i < s.count(); ++i) {
    const int g = Registry().Method(s.itemData(i).toInt()).cls->group;
    if (std::find(firstSeen.begin(), firstSeen.end(), g) == firstSeen.end()) firstSeen.push_back(g);
  }
  EXPECT_EQ(Headers(s), firstSeen);
  std::vector<int> expected;
  for (int g : firstSeen)
    for (int m : OfGroup(s, g)) expected.push_back(m);
  EXPECT_EQ(Shown(s), expected);
  ASSERT_EQ(int(Shown(s).size()), s.count());
  // The empty search starts at the chosen method.
  const int current = s.PopupList()->currentIndex().row();
  ASSERT_GE(current, 0);
  EXPECT_EQ(s.Rows().Rows()[size_t(current)].entry, s.currentIndex());
  // Headers are seen, not chosen.
  const QModelIndex header = s.PopupList()->model()->index(0, 0);
  EXPECT_FALSE(header.flags() & Qt::ItemIsSelectable);
  s.hidePopup();
}

TEST_F(MethodSelectorTest, FavouritesKeepTheirOrderUnderTheHeaders) {
  // Favourites sorted by name: within a group the popup keeps that order.
  TStatList& registry = window->Frame().Registry();
  registry.Ordered = true;
  registry.ApplyFavorites("SUMT,SUMS,NUMS,SUME");
  window->FillMethodLists(false);
  ui::MethodSelector& s = Stats();
  ASSERT_EQ(s.count(), 4);
  s.showPopup();
  std::vector<std::string> codes;
  for (int m : Shown(s)) codes.push_back(Code(m));
  std::vector<std::string> sums;
  for (int m : OfGroup(s, SumGroup())) sums.push_back(Code(m));
  // "{ num }" sorts before "{ sum }"; the sums by their titles.
  EXPECT_EQ(codes, (std::vector<std::string>{"NUMS", sums[0], sums[1], sums[2]}));
  EXPECT_EQ(std::set<std::string>(sums.begin(), sums.end()), (std::set<std::string>{"SUMS", "SUME", "SUMT"}));
  EXPECT_EQ(Headers(s).size(), 2u);
  s.hidePopup();
  // A refill shows the new list at once.
  registry.ApplyFavorites("");
  window->FillMethodLists(false);
  s.showPopup();
  EXPECT_EQ(int(Shown(s).size()), s.count());
  s.hidePopup();
}

TEST_F(MethodSelectorTest, TheGraphsListSearchesItsGraphMethodsOnly) {
  ui::MethodSelector& s = Graphs();
  s.showPopup();
  Type(s.SearchField(), QString::fromUtf8("сумм"));
  std::vector<int> graphSums;
  for (int m : OfGroup(Stats(), SumGroup()))
    if (Registry().IsGraph(m)) graphSums.push_back(m);
  EXPECT_EQ(Shown(s), graphSums);
  EXPECT_LT(graphSums.size(), OfGroup(Stats(), SumGroup()).size());
  Key(s.SearchField(), Qt::Key_Return);
  EXPECT_EQ(s.currentData().toInt(), graphSums.front());
  EXPECT_EQ(window->Graphs()->SelectedMethod(), graphSums.front());
}

TEST_F(MethodSelectorTest, AChosenMethodIsComputed) {
  window->Frame().DrawsImport(std::string(PENTALUX_SOURCE_DIR) + "/demo/demo_draws_vantora5.csv");
  window->MainPages()->setCurrentIndex(0);
  window->UpdateActions();
  ui::MethodSelector& s = Stats();
  const int before = window->Stats()->Computations();
  s.showPopup();
  Type(s.SearchField(), "SUMS");
  Key(s.SearchField(), Qt::Key_Return);
  EXPECT_EQ(Code(window->Stats()->SelectedMethod()), "SUMS");
  EXPECT_EQ(window->Stats()->Computations(), before + 1);
  EXPECT_GT(window->Stats()->Model()->rowCount(), 0);
}

}  // namespace
}  // namespace px::test
