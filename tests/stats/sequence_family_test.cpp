#include <gtest/gtest.h>

#include "combs/combination_set.h"
#include "core/env.h"
#include "stats/filter.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"

namespace px {
namespace {

class SeqFamily : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.SetDraws(&archive);
    registry.Fill();
  }
  void Only(const Combination& c) {
    archive.Clear();
    archive.Append(test::Draw(1, c));
  }
  StatTable Table(const std::string& code, bool sorted = false) {
    return ComputeStatTable(registry, registry.FindByCode(code), StatTableParams{0, 1000, sorted, '.'}, nullptr);
  }
  // Count -1 marks a missing row.
  int CountOf(const std::string& code, const std::string& text, bool sorted = false) {
    for (const StatRow& r : Table(code, sorted).rows)
      if (r.cells[kColValue] == text) return r.value.Count;
    return -1;
  }
  int Graph(const std::string& code, bool sorted = false) {
    auto stat = registry.CreateInstance(registry.FindByCode(code));
    return dynamic_cast<TCustomGraphStat&>(*stat).GraphValueOfDraw(archive.Count() - 1, 0, sorted);
  }
  static TStatDrawArray Select(int key) {
    TStatDrawArray selected;
    StatValue v;
    v.Key1 = uint16_t(key);
    selected.Append(v);
    return selected;
  }
  int Keep(const std::string& code, const std::string& text) {
    const StatTable t = Table(code);
    std::vector<int> rows;
    for (size_t r = 0; r < t.rows.size(); ++r)
      if (t.rows[r].cells[kColValue] == text) rows.push_back(int(r));
    EXPECT_EQ(rows.size(), 1u) << text;
    CombinationSet set;
    set.Init(kCapacity);
    GenerateSet(set, Env::Real(), true, 0, "");
    auto stat = registry.CreateInstance(registry.FindByCode(code));
    return KeepOrRemove(set, *stat, SelectRows(t.rows, rows), kKeepSelected, FilterLastIndex(archive, 0), false,
                        code, nullptr);
  }

  DrawArchive archive;
  TStatList registry;
};

TEST_F(SeqFamily, TableValues) {
  Only({1, 2, 3, 4, 5});
  EXPECT_EQ(Table("SEQL").rows.size(), 5u);  // candidates 1..5
  EXPECT_EQ(CountOf("SEQL", "5"), 1);
  EXPECT_EQ(CountOf("SEQL", "1"), 0);
  EXPECT_EQ(CountOf("SEQS", "1"), 1);
  EXPECT_EQ(CountOf("LENS", "5"), 1);

  Only({3, 4, 10, 11, 12});
  EXPECT_EQ(CountOf("SEQL", "2"), 1);
  EXPECT_EQ(CountOf("SEQL", "3"), 1);
  EXPECT_EQ(CountOf("SEQL", "1"), 0);
  EXPECT_EQ(CountOf("SEQS", "2"), 1);
  EXPECT_EQ(CountOf("LENS", "3"), 1);

  // Runs per draw: 5 | 2 3 | 3 1 1 | 1 1 1 1 1 | 2 2 1 | 4 1 (drawn order).
  archive.Clear();
  const Combination draws[] = {{1, 2, 3, 4, 5},  {3, 4, 10, 11, 12}, {9, 10, 11, 20, 30},
                               {2, 9, 15, 22, 30}, {5, 6, 20, 21, 36}, {30, 31, 32, 33, 1}};
  for (const Combination& c : draws) archive.Append(test::Draw(archive.Count() + 1, c));
  const StatTable seql = Table("SEQL");
  ASSERT_EQ(seql.rows.size(), 5u);
  const int expected[] = {9, 3, 2, 1, 1};  // lengths 1..5
  int numbers = 0;
  for (int len = 1; len <= 5; ++len) {
    EXPECT_EQ(seql.rows[size_t(len - 1)].cells[kColValue], std::to_string(len));
    EXPECT_EQ(seql.rows[size_t(len - 1)].value.Count, expected[len - 1]) << len;
    numbers += len * seql.rows[size_t(len - 1)].value.Count;
  }
  EXPECT_EQ(numbers, 5 * 6);
  EXPECT_EQ(CountOf("SEQS", "0"), 1);
  EXPECT_EQ(CountOf("SEQS", "2"), 2);
  EXPECT_EQ(CountOf("LENS", "1"), 1);
}

TEST_F(SeqFamily, GraphsCountFalls) {
  Only({8, 7, 20, 30, 31});  // only 30, 31 rises by one
  EXPECT_EQ(CountOf("SEQS", "1"), 1);
  EXPECT_EQ(CountOf("SEQS", "2"), 0);
  EXPECT_EQ(CountOf("LENS", "2"), 1);
  EXPECT_EQ(Graph("SEQS"), 2);
  EXPECT_EQ(Graph("LENS"), 2);
  // Sorted, 7, 8 is a rise too.
  EXPECT_EQ(CountOf("SEQS", "2", true), 1);
  EXPECT_EQ(Graph("SEQS", true), 2);

  Only({12, 11, 10, 20, 21});  // a fall of three numbers, then a rise
  EXPECT_EQ(CountOf("LENS", "2"), 1);
  EXPECT_EQ(Graph("LENS"), 3);
  EXPECT_EQ(Graph("SEQS"), 2);

  Only({2, 9, 15, 22, 30});
  EXPECT_EQ(CountOf("LENS", "1"), 1);
  EXPECT_EQ(Graph("LENS"), 0);
  EXPECT_EQ(CountOf("SEQS", "0"), 1);
  EXPECT_EQ(Graph("SEQS"), 0);
}

TEST_F(SeqFamily, MatchingCombinations) {
  Only({1, 2, 3, 4, 5});
  auto lens = registry.CreateInstance(registry.FindByCode("LENS"));
  EXPECT_TRUE(lens->MatchesCombination({1, 3, 4, 5, 9}, Select(3), 0, false, 0));
  EXPECT_FALSE(lens->MatchesCombination({1, 2, 4, 5, 9}, Select(3), 0, false, 0));
  auto seqs = registry.CreateInstance(registry.FindByCode("SEQS"));
  EXPECT_TRUE(seqs->MatchesCombination({1, 2, 4, 5, 9}, Select(2), 0, false, 0));
  EXPECT_FALSE(seqs->MatchesCombination({1, 2, 3, 5, 9}, Select(2), 0, false, 0));

  // SEQL {1}: some number has neither neighbour in the combination.
  auto seql = registry.CreateInstance(registry.FindByCode("SEQL"));
  const TStatDrawArray one = Select(1);
  for (const Combination& c : FullSet()) {
    bool lone = false;
    for (int i = 0; i < 5; ++i)
      lone = lone || ((i == 0 || c[size_t(i - 1)] + 1 != c[size_t(i)]) &&
                      (i == 4 || c[size_t(i)] + 1 != c[size_t(i + 1)]));
    ASSERT_EQ(seql->MatchesCombination(c, one, 0, false, 0), lone) << CombinationText(c);
  }

  // As runs among 31 gaps: every run at least 2 means 5 or 3+2 in either
  // order, C(32,1) + 2*C(32,2) = 1024 without a lone number. A longest run of
  // 3 is 3+2 or 3+1+1: 2*C(32,2) + 3*C(32,3) = 992 + 14880.
  EXPECT_EQ(Keep("SEQL", "1"), kCapacity - 1024);
  EXPECT_EQ(Keep("LENS", "3"), 15872);
  EXPECT_EQ(Keep("SEQS", "0"), 201376);  // runs of 1 only: C(32,5)
}

}  // namespace
}  // namespace px
