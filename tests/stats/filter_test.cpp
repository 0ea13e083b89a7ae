#include <gtest/gtest.h>

#include <algorithm>

#include "combs/combination_set.h"
#include "core/env.h"
#include "core/errors.h"
#include "stats/filter.h"
#include "stats/stat_list.h"
#include "support/draws.h"
#include "support/recording_host.h"

namespace px {
namespace {

class FilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    archive.Append(test::Draw(1, {1, 2, 3, 4, 5}));
    archive.Append(test::Draw(2, {7, 8, 9, 10, 11}));
    registry.SetDraws(&archive);
    registry.Fill();
    set.Init(kCapacity);
    GenerateSet(set, Env::Real(), true, 0, "");
  }
  Selection Values(const std::string& code, const std::vector<std::string>& texts) {
    StatTableParams p;
    p.separator = '.';
    table = ComputeStatTable(registry, registry.FindByCode(code), p, nullptr);
    std::vector<int> rows;
    for (const auto& t : texts)
      for (size_t r = 0; r < table.rows.size(); ++r)
        if (table.rows[r].caption == t) rows.push_back(int(r));
    std::sort(rows.begin(), rows.end());
    return SelectRows(table.rows, rows);
  }
  int Apply(const std::string& code, const std::vector<std::string>& texts, FilterMode mode) {
    auto stat = registry.CreateInstance(registry.FindByCode(code));
    return KeepOrRemove(set, *stat, Values(code, texts), mode, FilterLastIndex(archive, 0), false,
                        registry.DisplayName(registry.FindByCode(code), true), &host);
  }

  DrawArchive archive;
  TStatList registry;
  test::RecordingHost host;
  CombinationSet set{&host};
  StatTable table;
};

TEST_F(FilterTest, KeepRemoveAndUndo) {
  EXPECT_EQ(Apply("NUMS", {"7"}, FilterMode::KeepSelected), 52360);
  for (int i = 0; i < set.Count(); ++i) ASSERT_TRUE(Contains(7, set.Working()[i]));
  ASSERT_EQ(set.Log().size(), 1u);
  EXPECT_EQ(set.Log()[0], (LogRow{"{ num } Числа тиража [ N ]", "7", 52360, LogKind::Include}));
  EXPECT_EQ(host.CurrentStatus(), "");

  set.RestoreSnapshot(true);
  set.RemoveLastLogRow();
  EXPECT_EQ(set.Count(), kCapacity);
  EXPECT_TRUE(set.Log().empty());
  EXPECT_FALSE(set.CanUndo());

  EXPECT_EQ(Apply("NUMS", {"7"}, FilterMode::RemoveSelected), 324632);
  for (int i = 0; i < set.Count(); ++i) ASSERT_FALSE(Contains(7, set.Working()[i]));
  EXPECT_EQ(set.Log().back().kind, LogKind::Exclude);

  // A second filter works on what the first left, in order: all five even,
  // C(18,5), or one even with four of the 17 odd numbers other than 7.
  EXPECT_EQ(Apply("EVEN", {"5:0", "1:4"}, FilterMode::KeepSelected), 8568 + 18 * 2380);
  EXPECT_EQ(set.Log().back().valuesText, "1:4; 5:0");  // in table row order
  for (int i = 1; i < set.Count(); ++i) ASSERT_LT(set.Working()[i - 1], set.Working()[i]);
  set.RestoreSnapshot(true);
  set.RemoveLastLogRow();
  EXPECT_EQ(set.Count(), 324632);
  EXPECT_EQ(set.Log().size(), 1u);
}

TEST_F(FilterTest, FiltersJudgeFromTheReferenceDrawOrTheOldest) {
  EXPECT_EQ(FilterLastIndex(archive, 0), 1);
  EXPECT_EQ(FilterLastIndex(archive, 1), 0);
  EXPECT_EQ(FilterLastIndex(archive, -1), 1);
  EXPECT_EQ(FilterLastIndex(archive, 2), 0);
  EXPECT_EQ(FilterLastIndex(archive, 2147483647), 0);
  EXPECT_EQ(FilterLastIndex(DrawArchive{}, 0), 0);
  EXPECT_EQ(FilterLastIndex(DrawArchive{}, -1), 0);
}

TEST_F(FilterTest, EmptySelectionAndNumberFilter) {
  EXPECT_EQ(Apply("NUMS", {}, FilterMode::KeepSelected), kCapacity);
  EXPECT_TRUE(set.Log().empty());
  // Nothing filtered, but the command's undo is there and holds the list.
  EXPECT_EQ(set.Undo().Count(), kCapacity);
  EXPECT_TRUE(std::equal(set.Undo().Data(), set.Undo().Data() + kCapacity, set.Working().Data()));

  EXPECT_THROW(ApplyNumberFilter(set, registry, {}, FilterMode::KeepSelected, "Карта", "", 1, false, &host), Error);
  EXPECT_EQ(set.Count(), kCapacity);
  EXPECT_EQ(ApplyNumberFilter(set, registry, {1, 36}, FilterMode::RemoveSelected, "Карта", "1; 36", 1, false, &host),
            Binomial(34, 5));
  EXPECT_EQ(set.Log().back(), (LogRow{"Карта", "1; 36", int(Binomial(34, 5)), LogKind::Exclude}));
}

}  // namespace
}  // namespace px
