#include <gtest/gtest.h>

#include <algorithm>

#include "combs/combination_set.h"
#include "core/env.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px {
namespace {

Combination C(int a, int b, int c, int d, int e) { return {uint8_t(a), uint8_t(b), uint8_t(c), uint8_t(d), uint8_t(e)}; }

int Generated(CombinationSet& set, int mode, const std::string& parameters) {
  GenerateSet(set, Env::Real(), true, mode, parameters);
  return set.Count();
}

bool All(const CombinationSet& set, bool (*test)(const Combination&)) {
  return std::all_of(set.Working().Data(), set.Working().Data() + set.Count(), test);
}

TEST(Generate, Modes) {
  CombinationSet set;
  set.Init(kCapacity);
  ASSERT_EQ(Generated(set, 0, "7"), kCapacity);
  const auto list = set.ToVector();
  EXPECT_EQ(list.front(), C(1, 2, 3, 4, 5));
  EXPECT_EQ(list[32], C(1, 2, 3, 5, 6));
  EXPECT_EQ(list.back(), C(32, 33, 34, 35, 36));
  // Strictly ascending, so every member occurs once.
  EXPECT_EQ(std::adjacent_find(list.begin(), list.end(), std::greater_equal<>()), list.end());
  EXPECT_TRUE(All(set, [](const Combination& c) { return IsValidDrawNumbers(c) && c == Sorted(c); }));
  EXPECT_EQ(Generated(set, 5, ""), kCapacity);

  EXPECT_EQ(Generated(set, 1, "1"), 52360);
  EXPECT_TRUE(All(set, [](const Combination& c) { return Contains(1, c); }));
  EXPECT_EQ(Generated(set, 1, "1;300;-4;x"), 52360);
  EXPECT_EQ(Generated(set, 3, "1;2"), 278256);
  EXPECT_TRUE(All(set, [](const Combination& c) { return !Contains(1, c) && !Contains(2, c); }));
  EXPECT_EQ(Generated(set, 2, " 3; 9,14 ;20;27;33"), 6);
  EXPECT_TRUE(All(set, [](const Combination& c) {
    return std::all_of(c.begin(), c.end(), [](int v) { return v == 3 || v == 9 || v == 14 || v == 20 || v == 27 || v == 33; });
  }));
  EXPECT_EQ(Generated(set, 2, "1;2;3;4"), 0);
  // Blanks do not separate: one word that is no number, only 0 in the set.
  EXPECT_EQ(Generated(set, 1, "1 2 3"), 0);
  EXPECT_EQ(Generated(set, 3, "1 2 3"), kCapacity);

}

TEST(Generate, FromFile) {
  test::TempDir dir;
  test::RecordingHost host;
  CombinationSet set(&host);
  test::WriteBytes(dir.File("my.lcv"), "5;4;3;2;1\r\n1;2;3;4;5\r\n5;4;3;2;1\r\nкомментарий\r\n36;1;2;3;4\r\n");
  EXPECT_EQ(Generated(set, 4, dir.File("my.lcv")), 4);
  EXPECT_EQ(set.ToVector(), (std::vector<Combination>{C(5, 4, 3, 2, 1), C(1, 2, 3, 4, 5), C(5, 4, 3, 2, 1),
                                                      C(36, 1, 2, 3, 4)}));
  EXPECT_TRUE(host.errors.empty());
  const std::string missing = dir.File("missing.lcv");
  EXPECT_EQ(Generated(set, 4, missing), 0);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Ошибка чтения файла \"" + missing + "\"!\r\r", 0), 0u) << host.errors[0];
}

TEST(Generate, ProgressDropsUndoLogAndCache) {
  test::RecordingHost host;
  CombinationSet set(&host);
  set.Init(kCapacity);
  GenerateSet(set, Env::Real(), false, 1, "7");
  set.SaveCache(2, 3);
  set.DeleteRows({0, 1});
  host.Reset();
  GenerateSet(set, Env::Real(), false, 0, "");  // only the list changes
  EXPECT_EQ(set.Count(), kCapacity);
  EXPECT_TRUE(set.CanUndo());
  EXPECT_EQ(set.Log().size(), 1u);
  EXPECT_GT(set.Cache().Count(), 0);
  EXPECT_TRUE(host.statuses.empty());

  GenerateSet(set, Env::Real(), true, 3, "7");
  EXPECT_EQ(set.Count(), 324632);
  EXPECT_FALSE(set.CanUndo());
  EXPECT_TRUE(set.Log().empty());
  EXPECT_EQ(set.Cache().Count(), 0);
  EXPECT_EQ(set.CacheOffsetKey() * 10 + set.CacheExcludeKey(), 23);
  EXPECT_EQ(host.statuses, (std::vector<std::string>{"Генерация возможных комбинаций...", ""}));
}

}  // namespace
}  // namespace px
