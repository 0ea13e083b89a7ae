#include "ui/favourites_manager.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>
#include <algorithm>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/env.h"
#include "stats/custom_stat.h"
#include "stats/stat_list.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "ui/filter_help.h"

namespace px::test {
namespace {

using ui::FavouritesManager;
using ui::FilterHelp;
using Cmd = FavouritesManager::Command;

std::string S(const QString& text) { return text.toStdString(); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

class FavouritesManagerTest : public ::testing::Test {
 protected:
  DrawArchive archive;
  TStatList registry;
  RecordingHost host;
  TempDir dir;
  std::string namesFile = dir.File("Pentalux5_5v36.flt");
  std::deque<std::optional<std::string>> files;   // answers to the file chooser
  std::vector<bool> fileSaves;                    // what each choice was for
  std::deque<std::optional<std::string>> texts;   // answers to the text prompt
  std::vector<std::vector<std::string>> prompts;  // prompt, title, prefilled text
  std::vector<int> described;
  std::unique_ptr<FavouritesManager> dialog;

  void SetUp() override {
    registry.SetDraws(&archive);
    registry.Fill();
    ASSERT_GT(registry.Count(), 10);
  }

  FavouritesManager& Open() {
    dialog = std::make_unique<FavouritesManager>(
        registry, Env::Real(), namesFile, &host,
        [this](bool save) -> std::optional<std::string> {
          fileSaves.push_back(save);
          if (files.empty()) return std::nullopt;
          auto f = files.front();
          files.pop_front();
          return f;
        },
        [this](const std::string& prompt, const std::string& title,
               const std::string& current) -> std::optional<std::string> {
          prompts.push_back({prompt, title, current});
          if (texts.empty()) return std::nullopt;
          auto t = texts.front();
          texts.pop_front();
          return t;
        },
        [this](int method) { described.push_back(method); });
    return *dialog;
  }

  std::string Title(int i) const { return registry.Method(i).cls->TitleOf(registry.Method(i).index); }
  QTreeWidgetItem* Node(int i) const { return dialog->NodeOf(i); }
  void Select(QTreeWidgetItem* node) { dialog->Tree()->setCurrentItem(node); }
  void Press(Cmd c) { dialog->Button(c)->click(); }

  // A real mouse click on the row, so the view decides what it means.
  void Click(QTreeWidgetItem* node, bool twice = false) {
    QTreeWidget* tree = dialog->Tree();
    if (!dialog->isVisible()) {
      dialog->show();
      QApplication::processEvents();
    }
    tree->scrollToItem(node);
    const QPoint at = tree->visualItemRect(node).center();
    ASSERT_FALSE(tree->visualItemRect(node).isEmpty());
    auto send = [&](QEvent::Type type) {
      QMouseEvent e(type, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(tree->viewport(), &e);
    };
    send(QEvent::MouseButtonPress);
    send(QEvent::MouseButtonRelease);
    if (twice) {
      send(QEvent::MouseButtonDblClick);
      send(QEvent::MouseButtonRelease);
    }
  }

  std::vector<std::string> NodeTexts() const {
    std::vector<std::string> out;
    for (int i = 0; i < registry.Count(); ++i) out.push_back(S(dialog->NodeOf(i)->text(0)));
    return out;
  }
};

TEST_F(FavouritesManagerTest, TreeHasGroupsInOrderOfTheirFirstMethod) {
  registry.Method(1).customName = "Мой метод";
  registry.Method(2).enabled = false;
  registry.AllEnabled = false;
  auto& d = Open();
  EXPECT_EQ(S(d.windowTitle()), "Менеджер избранных методов расчета статистики");
  EXPECT_EQ(S(d.CountLabel()->text()), "всего " + std::to_string(registry.Count()) + " методов");

  std::vector<int> expectedGroups;
  for (int i = 0; i < registry.Count(); ++i) {
    const int g = registry.Method(i).cls->group;
    if (std::find(expectedGroups.begin(), expectedGroups.end(), g) == expectedGroups.end()) expectedGroups.push_back(g);
  }
  QTreeWidget* tree = d.Tree();
  ASSERT_EQ(tree->topLevelItemCount(), int(expectedGroups.size()));
  std::set<int> seen;
  for (int g = 0; g < tree->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = tree->topLevelItem(g);
    EXPECT_EQ(S(group->text(0)), GroupTitle(expectedGroups[size_t(g)]));
    EXPECT_EQ(FavouritesManager::MethodOf(group), -1);
    EXPECT_FALSE(group->icon(0).isNull());
    EXPECT_FALSE(group->data(0, Qt::CheckStateRole).isValid());
    EXPECT_TRUE(group->isExpanded());
    int previous = -1;
    for (int k = 0; k < group->childCount(); ++k) {
      QTreeWidgetItem* node = group->child(k);
      const int method = FavouritesManager::MethodOf(node);
      EXPECT_GT(method, previous);  // registry order within the group
      previous = method;
      EXPECT_TRUE(seen.insert(method).second);
      EXPECT_EQ(registry.Method(method).cls->group, expectedGroups[size_t(g)]);
      EXPECT_EQ(FavouritesManager::IsMarked(node), method != 2);
      EXPECT_EQ(S(node->text(0)), method == 1 ? "Мой метод" : Title(method));
    }
  }
  EXPECT_EQ(int(seen.size()), registry.Count());
  EXPECT_EQ(*seen.rbegin(), registry.Count() - 1);
  EXPECT_TRUE(d.OrderedBox()->text() == QString::fromUtf8("Сортировать списки по названию метода"));
  EXPECT_EQ(S(d.GroupNameBox()->text()), "Отображать идентификатор группы { xxx } перед названием метода");
  EXPECT_EQ(S(d.MethodFlagsBox()->text()), "Отображать особенности метода [ YYY ] после названия метода");
}

TEST_F(FavouritesManagerTest, NothingMarkedMeansEveryMethod) {
  registry.ApplyFavorites("NUMS");
  auto& d = Open();
  Press(Cmd::ResetAll);
  for (int i = 0; i < registry.Count(); ++i) ASSERT_FALSE(FavouritesManager::IsMarked(Node(i)));
  EXPECT_TRUE(d.ApplyOk());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_TRUE(registry.AllEnabled);
  for (int i = 0; i < registry.Count(); ++i) EXPECT_TRUE(registry.Method(i).enabled) << i;
  EXPECT_EQ(registry.FavoritesText(), "");
}

TEST_F(FavouritesManagerTest, TwoMarkedMethodsBecomeTheFavourites) {
  auto& d = Open();
  Press(Cmd::ResetAll);
  const int last = registry.Count() - 1;
  Click(Node(last));  // marked out of order on purpose
  Click(Node(0));
  EXPECT_TRUE(FavouritesManager::IsMarked(Node(0)));
  d.ApplyOk();
  EXPECT_FALSE(registry.AllEnabled);
  EXPECT_EQ(registry.FavoritesText(), registry.CodeOf(0) + "," + registry.CodeOf(last));
}

TEST_F(FavouritesManagerTest, ClicksToggleMethodsButNotGroups) {
  Open();
  QTreeWidgetItem* node = Node(3);
  QTreeWidgetItem* group = node->parent();
  Click(node);
  EXPECT_FALSE(FavouritesManager::IsMarked(node));
  Click(node);
  EXPECT_TRUE(FavouritesManager::IsMarked(node));
  // Both clicks of a double-click count.
  Click(node, true);
  EXPECT_TRUE(FavouritesManager::IsMarked(node));
  Click(group);
  EXPECT_FALSE(group->data(0, Qt::CheckStateRole).isValid());
  for (int k = 0; k < group->childCount(); ++k) EXPECT_TRUE(FavouritesManager::IsMarked(group->child(k)));
}

TEST_F(FavouritesManagerTest, RenameToTheDefaultTitleInAnotherCaseStoresNoName) {
  auto& d = Open();
  const int a = 0, b = 1;
  Select(Node(a));
  texts.push_back(S(Q(Title(a)).toUpper()));
  Press(Cmd::Rename);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0], (std::vector<std::string>{"Введите наименование фильтра:", "Переименование", Title(a)}));
  EXPECT_EQ(S(Node(a)->text(0)), S(Q(Title(a)).toUpper()));
  ASSERT_NE(S(Q(Title(a)).toUpper()), Title(a));  // really another case (Cyrillic)

  Select(Node(b));
  texts.push_back("  Мои числа ");
  Press(Cmd::Rename);
  EXPECT_EQ(S(Node(b)->text(0)), "Мои числа");
  d.ApplyOk();
  EXPECT_EQ(registry.Method(a).customName, "");
  EXPECT_EQ(registry.Method(b).customName, "Мои числа");
}

TEST_F(FavouritesManagerTest, CancelledRenameKeepsTheText) {
  Open();
  Select(Node(2));
  texts.push_back(std::nullopt);
  Press(Cmd::Rename);
  EXPECT_EQ(prompts.size(), 1u);
  EXPECT_EQ(S(Node(2)->text(0)), Title(2));
}

TEST_F(FavouritesManagerTest, RestoreGivesBackTheTitle) {
  registry.Method(4).customName = "Старое имя";
  auto& d = Open();
  Select(Node(4));
  Press(Cmd::Restore);
  EXPECT_EQ(S(Node(4)->text(0)), Title(4));
  d.ApplyOk();
  EXPECT_EQ(registry.Method(4).customName, "");
}

TEST_F(FavouritesManagerTest, ExportThenImportKeepsEveryName) {
  // The program's own file holds one name; the export must not change that.
  registry.Method(0).customName = "Из файла программы";
  ASSERT_TRUE(registry.SaveNames(Env::Real(), namesFile, true, false, &host));
  const std::string programFile = ReadBytes(namesFile);
  auto& d = Open();
  Select(Node(1));
  texts.push_back("Экспортное имя");
  Press(Cmd::Rename);
  const std::vector<std::string> exported = NodeTexts();

  const std::string flt = dir.File("export.flt");
  files.push_back(flt);
  host.Reset();
  Press(Cmd::Export);
  ASSERT_EQ(fileSaves, std::vector<bool>{true});
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(ReadBytes(namesFile), programFile);
  EXPECT_EQ(registry.Method(0).customName, "Из файла программы");
  EXPECT_EQ(registry.Method(1).customName, "");
  EXPECT_EQ(std::count(host.statuses.begin(), host.statuses.end(), "Подождите пожалуйста..."), 1);
  EXPECT_EQ(host.CurrentStatus(), "");
  EXPECT_FALSE(host.busyCursor);

  // Every name is written, defaults included, and no options.
  TStatList check;
  check.SetDraws(&archive);
  check.Fill();
  check.Ordered = true;
  ASSERT_TRUE(check.LoadNames(Env::Real(), flt, true, &host));
  EXPECT_TRUE(check.Ordered);
  for (int i = 0; i < check.Count(); ++i) EXPECT_EQ(check.Method(i).customName, exported[size_t(i)]) << i;

  // Names changed in the tree and in the registry; the import wins over both.
  for (int i = 0; i < registry.Count(); ++i) registry.Method(i).customName = "x" + std::to_string(i);
  Select(Node(2));
  texts.push_back("Временно");
  Press(Cmd::Rename);
  files.push_back(flt);
  Press(Cmd::Import);
  EXPECT_EQ(NodeTexts(), exported);
  for (int i = 0; i < registry.Count(); ++i) EXPECT_EQ(registry.Method(i).customName, exported[size_t(i)]);
  EXPECT_EQ(d.Tree()->currentItem(), Node(2));

  // After OK the default titles go back to being defaults.
  d.ApplyOk();
  EXPECT_EQ(registry.Method(0).customName, "Из файла программы");
  EXPECT_EQ(registry.Method(1).customName, "Экспортное имя");
  EXPECT_EQ(registry.Method(2).customName, "");
}

TEST_F(FavouritesManagerTest, ImportKeepsMarksNotYetApplied) {
  registry.Method(0).customName = "Импортное";
  const std::string flt = dir.File("names.flt");
  ASSERT_TRUE(registry.SaveNames(Env::Real(), flt, false, false, &host));
  registry.Method(0).customName.clear();
  Open();
  Click(Node(5));
  files.push_back(flt);
  Press(Cmd::Import);
  EXPECT_EQ(fileSaves, std::vector<bool>{false});
  EXPECT_EQ(S(Node(0)->text(0)), "Импортное");
  EXPECT_FALSE(FavouritesManager::IsMarked(Node(5)));
  EXPECT_TRUE(registry.Method(5).enabled);  // marks wait for OK
}

TEST_F(FavouritesManagerTest, UnreadableImportReportsAndKeepsNames) {
  registry.Method(0).customName = "Своё";
  Open();
  files.push_back(dir.Path());  // a folder cannot be read as a file
  Press(Cmd::Import);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Ошибка загрузки списка фильтров!", 0), 0u);
  EXPECT_EQ(registry.Method(0).customName, "Своё");
  EXPECT_EQ(S(Node(0)->text(0)), "Своё");
}

TEST_F(FavouritesManagerTest, CancelledFileChoiceDoesNothing) {
  registry.Method(0).customName = "Своё";
  Open();
  Press(Cmd::Import);
  Press(Cmd::Export);
  EXPECT_EQ(fileSaves, (std::vector<bool>{false, true}));
  EXPECT_EQ(registry.Method(0).customName, "Своё");
  EXPECT_FALSE(std::filesystem::exists(namesFile));
  EXPECT_TRUE(host.statuses.empty());
}

TEST_F(FavouritesManagerTest, GroupCommandsActOnTheSelectedNodesGroup) {
  auto& d = Open();
  QTreeWidget* tree = d.Tree();
  ASSERT_GE(tree->topLevelItemCount(), 2);
  QTreeWidgetItem* first = tree->topLevelItem(0);
  QTreeWidgetItem* second = tree->topLevelItem(1);
  ASSERT_GE(second->childCount(), 2);
  auto marked = [](QTreeWidgetItem* group) {
    int n = 0;
    for (int k = 0; k < group->childCount(); ++k) n += FavouritesManager::IsMarked(group->child(k));
    return n;
  };

  Select(second->child(1));  // a method node: its parent's group
  Press(Cmd::ResetGroup);
  EXPECT_EQ(marked(second), 0);
  EXPECT_EQ(marked(first), first->childCount());

  Select(first);  // a group node: itself
  Press(Cmd::ResetGroup);
  EXPECT_EQ(marked(first), 0);
  Select(second);
  Press(Cmd::SelectGroup);
  EXPECT_EQ(marked(second), second->childCount());
  EXPECT_EQ(marked(first), 0);

  Press(Cmd::SelectAll);
  for (int g = 0; g < tree->topLevelItemCount(); ++g)
    EXPECT_EQ(marked(tree->topLevelItem(g)), tree->topLevelItem(g)->childCount());

  d.ApplyOk();
  EXPECT_TRUE(registry.AllEnabled);
}

TEST_F(FavouritesManagerTest, CommandsNeedTheirSelection) {
  auto& d = Open();
  EXPECT_EQ(S(d.Button(Cmd::ResetAll)->text()), "Сбросить все");
  EXPECT_EQ(S(d.Button(Cmd::Export)->text()), "Экспорт названий");
  auto enabled = [&](Cmd c) { return d.Button(c)->isEnabled(); };

  EXPECT_TRUE(enabled(Cmd::ResetAll));
  EXPECT_TRUE(enabled(Cmd::SelectAll));
  EXPECT_TRUE(enabled(Cmd::Import));
  EXPECT_TRUE(enabled(Cmd::Export));
  for (Cmd c : {Cmd::ResetGroup, Cmd::SelectGroup, Cmd::Rename, Cmd::Restore, Cmd::Describe})
    EXPECT_FALSE(enabled(c)) << int(c);
  // A disabled command does nothing when clicked.
  Press(Cmd::ResetGroup);
  EXPECT_TRUE(FavouritesManager::IsMarked(Node(0)));

  Select(d.Tree()->topLevelItem(0));
  EXPECT_TRUE(enabled(Cmd::ResetGroup));
  EXPECT_TRUE(enabled(Cmd::SelectGroup));
  for (Cmd c : {Cmd::Rename, Cmd::Restore, Cmd::Describe}) EXPECT_FALSE(enabled(c)) << int(c);
  Press(Cmd::Rename);
  EXPECT_TRUE(prompts.empty());

  Select(Node(3));
  for (Cmd c : {Cmd::ResetGroup, Cmd::SelectGroup, Cmd::Rename, Cmd::Restore, Cmd::Describe})
    EXPECT_TRUE(enabled(c)) << int(c);
  Press(Cmd::Describe);
  EXPECT_EQ(described, std::vector<int>{3});
}

TEST_F(FavouritesManagerTest, CancelChangesNothing) {
  registry.ApplyFavorites(registry.CodeOf(0) + "," + registry.CodeOf(2));
  registry.Method(1).customName = "Прежнее";
  registry.Ordered = false;
  registry.ShowGroupName = true;
  registry.ShowMethodFlags = false;
  auto& d = Open();
  EXPECT_FALSE(d.OrderedBox()->isChecked());
  EXPECT_TRUE(d.GroupNameBox()->isChecked());
  EXPECT_FALSE(d.MethodFlagsBox()->isChecked());

  Press(Cmd::SelectAll);
  Select(Node(1));
  texts.push_back("Новое");
  Press(Cmd::Rename);
  d.OrderedBox()->setChecked(true);
  d.GroupNameBox()->setChecked(false);
  d.MethodFlagsBox()->setChecked(true);
  d.reject();

  EXPECT_EQ(registry.FavoritesText(), registry.CodeOf(0) + "," + registry.CodeOf(2));
  EXPECT_EQ(registry.Method(1).customName, "Прежнее");
  EXPECT_FALSE(registry.Ordered);
  EXPECT_TRUE(registry.ShowGroupName);
  EXPECT_FALSE(registry.ShowMethodFlags);
}

TEST_F(FavouritesManagerTest, OkCopiesTheOptions) {
  auto& d = Open();
  d.OrderedBox()->setChecked(true);
  d.GroupNameBox()->setChecked(false);
  d.MethodFlagsBox()->setChecked(false);
  d.ApplyOk();
  EXPECT_TRUE(registry.Ordered);
  EXPECT_FALSE(registry.ShowGroupName);
  EXPECT_FALSE(registry.ShowMethodFlags);
}

TEST(FavouritesDescription, ShowsTheHelpAddressOfTheMethod) {
  TempDir dir;
  const std::string help = dir.File("Pentalux.chm");
  WriteBytes(help, "help");
  DrawArchive a;
  TStatList r;
  r.SetDraws(&a);
  r.Fill();
  r.helpFile = help;
  const int nums = r.FindByCode("NUMS");
  ASSERT_GE(nums, 0);
  FilterHelp window(r, nums);
  EXPECT_EQ(S(window.windowTitle()), "Описание методики расчета");
  EXPECT_TRUE(window.isSizeGripEnabled());
  EXPECT_EQ(window.Topic(), r.HelpTopic(nums));
  const QString html = window.Browser()->toHtml();
  EXPECT_TRUE(html.contains(QString::fromUtf8("href=\"ms-its:"))) << S(html);
  EXPECT_TRUE(window.Browser()->toPlainText().endsWith("::/Filters_1049_NUMS.htm"))
      << S(window.Browser()->toPlainText());
}

TEST(FavouritesDescription, SaysSoWithoutHelpFile) {
  DrawArchive a;
  TStatList r;
  r.SetDraws(&a);
  r.Fill();
  r.helpFile = "/nonexistent/help.chm";
  const int sums = r.FindByCode("SUMS");
  ASSERT_GE(sums, 0);
  FilterHelp window(r, sums);
  EXPECT_TRUE(window.Topic().empty());
  const std::string text = S(window.Browser()->toPlainText());
  EXPECT_NE(text.find("Описание метода недоступно: файл справки программы не найден."), std::string::npos) << text;
  // The window names the method it was asked about.
  EXPECT_NE(text.find(r.MethodTitle(r.Method(sums))), std::string::npos) << text;
  EXPECT_EQ(text.find("ms-its:"), std::string::npos) << text;
}

TEST(FavouritesDescription, SaysSoForATopicLessWindowToo) {
  FilterHelp window(std::string{});
  EXPECT_EQ(S(window.Browser()->toPlainText()), "Описание метода недоступно: файл справки программы не найден.");
}

}  // namespace
}  // namespace px::test
