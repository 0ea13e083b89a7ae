#include <gtest/gtest.h>

#include <set>

#include "frame/actions.h"

namespace px {
namespace {

void Walk(const std::vector<MenuNode>& nodes, std::vector<std::string>& actions, int& languages) {
  for (const MenuNode& n : nodes) {
    if (n.kind == MenuNode::Action) actions.push_back(n.text);
    if (n.kind == MenuNode::Languages) ++languages;
    Walk(n.children, actions, languages);
  }
}

TEST(Actions, MenuAndTableAgree) {
  std::vector<std::string> inMenu;
  int languages = 0;
  Walk(MainMenu(), inMenu, languages);
  EXPECT_EQ(languages, 1);
  for (const auto& name : inMenu) EXPECT_NE(FindAction(name), nullptr) << name;
  std::set<std::string> names;
  for (const ActionInfo& a : ActionTable()) {
    EXPECT_TRUE(names.insert(a.name).second) << "twice: " << a.name;
    EXPECT_STRNE(a.caption, "") << a.name;
  }
  ASSERT_EQ(MainMenu().size(), 11u);
  EXPECT_STREQ(MainMenu()[0].text, "Файл");
  EXPECT_STREQ(MainMenu()[10].text, "Справка");
  EXPECT_STREQ(FindAction("CombsUndo")->shortcut, "Ctrl+Z");
  EXPECT_STREQ(FindAction("DrawsAdd")->caption, "Добавить");
  EXPECT_TRUE(FindAction("DrawsSorted")->checkable);
  EXPECT_EQ(FindAction("NoSuchAction"), nullptr);
  // Keys that several commands claim; the window settles who owns each.
  EXPECT_EQ(ShortcutConflicts(), (std::vector<std::string>{"Alt+F4", "Ctrl+Del", "F7", "Ctrl+F7", "Ctrl+J"}));
}

}  // namespace
}  // namespace px
