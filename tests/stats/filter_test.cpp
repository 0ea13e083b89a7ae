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

TEST_F(FilterTest, RemovingNumbersFromACompleteListMakesWhatFilteringMakes) {
  // The same steps on the full set (known complete) and on a written copy of
  // it (filtered entry by entry) give the same lists and logs.
  CombinationSet copy;
  copy.Init(kCapacity);
  GenerateSet(copy, Env::Real(), false, 0, "");
  copy.Working().Set(0, copy.Working()[0]);
  ASSERT_EQ(set.Working().CompleteOver(), kAllNumbersMask);
  ASSERT_EQ(copy.Working().CompleteOver(), 0u);
  auto both = [&](const std::vector<int>& numbers, FilterMode mode) {
    for (CombinationSet* s : {&set, &copy})
      ApplyNumberFilter(*s, registry, numbers, mode, "Схема", "x", 1, false, &host);
    EXPECT_EQ(set.ToVector(), copy.ToVector());
    EXPECT_EQ(set.Log(), copy.Log());
  };
  both({3, 17, 40}, FilterMode::RemoveSelected);  // 40 is in no combination
  EXPECT_EQ(set.Count(), Binomial(34, 5));
  EXPECT_EQ(set.Working().CompleteOver(), kAllNumbersMask & ~(uint64_t(1) << 3 | uint64_t(1) << 17));
  both({36}, FilterMode::RemoveSelected);
  EXPECT_EQ(set.Count(), Binomial(33, 5));
  // Undo brings the complete list back, still known as one.
  set.RestoreSnapshot(false);
  copy.RestoreSnapshot(false);
  EXPECT_EQ(set.ToVector(), copy.ToVector());
  EXPECT_NE(set.Working().CompleteOver(), 0u);
  // Keeping is filtered, and what it leaves is no longer complete.
  both({5}, FilterMode::KeepSelected);
  EXPECT_EQ(set.Working().CompleteOver(), 0u);
  set.RestoreSnapshot(false);
  copy.RestoreSnapshot(false);
  // The list without 3 and 17 down to 1, 2 and 4: nothing left, the step logged.
  std::vector<int> from5;
  for (int n = 5; n <= kNumbers; ++n) from5.push_back(n);
  both(from5, FilterMode::RemoveSelected);
  EXPECT_EQ(set.Count(), 0);
  set.RestoreSnapshot(false);
  copy.RestoreSnapshot(false);
  ASSERT_EQ(set.Count(), Binomial(34, 5));
  // Down to 1, 2, 4, 5 and 6: the one combination.
  from5.erase(from5.begin(), from5.begin() + 2);
  both(from5, FilterMode::RemoveSelected);
  EXPECT_EQ(set.ToVector(), (std::vector<Combination>{{1, 2, 4, 5, 6}}));

  // A write forgets completeness.
  CombBuffer b;
  b.MakeComplete(kAllNumbersMask);
  EXPECT_EQ(b.Count(), kCapacity);
  EXPECT_TRUE(std::equal(b.Data(), b.Data() + kCapacity, FullSet().data()));
  CombBuffer shared;
  shared.CopyFrom(b);
  EXPECT_EQ(shared.CompleteOver(), kAllNumbersMask);
  shared.Set(7, Combination{1, 2, 3, 4, 9});
  EXPECT_EQ(shared.CompleteOver(), 0u);
  EXPECT_EQ(b.CompleteOver(), kAllNumbersMask);
  EXPECT_EQ(b[7], FullSet()[7]);  // the copy wrote its own storage
  b.SetCount(10);
  EXPECT_EQ(b.CompleteOver(), 0u);
}

}  // namespace
}  // namespace px
