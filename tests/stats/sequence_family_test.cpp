#include <gtest/gtest.h>

#include "combs/combination_set.h"
#include "core/env.h"
#include "stats/filter.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"
#include "support/family_fixture.h"

namespace px {
namespace {

class SeqFamily : public test::FamilyTest {
 protected:
  // -1: no such row.
  int CountOf(const std::string& code, const std::string& text, bool sorted = false) {
    for (const StatRow& r : Table(code, sorted).rows)
      if (r.caption == text) return r.value.Count;
    return -1;
  }
  std::unique_ptr<TCustomStat> Make(const std::string& code) {
    return registry.CreateInstance(registry.FindByCode(code));
  }
  int Graph(const std::string& code, bool sorted = false) {
    return dynamic_cast<TCustomGraphStat&>(*Make(code)).GraphValueOfDraw(0, 0, sorted);
  }
  int Keep(const std::string& code, int value) {
    const StatTable t = Table(code);
    std::vector<int> rows;
    for (size_t r = 0; r < t.rows.size(); ++r)
      if (t.rows[r].caption == std::to_string(value)) rows.push_back(int(r));
    EXPECT_EQ(rows.size(), 1u) << value;
    CombinationSet set;
    set.Init(kCapacity);
    GenerateSet(set, Env::Real(), true, 0, "");
    return KeepOrRemove(set, *Make(code), SelectRows(t.rows, rows), FilterMode::KeepSelected, 0, false, code, nullptr);
  }
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
  EXPECT_EQ(CountOf("SEQS", "2"), 1);
  EXPECT_EQ(CountOf("LENS", "3"), 1);

  // Runs per draw: 5 | 2 3 | 3 1 1 | 1 1 1 1 1 | 2 2 1 | 4 1 (drawn order).
  archive.Clear();
  for (const Combination& c : {Combination{1, 2, 3, 4, 5}, Combination{3, 4, 10, 11, 12},
                               Combination{9, 10, 11, 20, 30}, Combination{2, 9, 15, 22, 30},
                               Combination{5, 6, 20, 21, 36}, Combination{30, 31, 32, 33, 1}})
    archive.Append(test::Draw(archive.Count() + 1, c));
  const StatTable seql = Table("SEQL");
  ASSERT_EQ(seql.rows.size(), 5u);
  const int expected[] = {9, 3, 2, 1, 1};  // lengths 1..5
  int numbers = 0;
  for (int len = 1; len <= 5; ++len) {
    const StatRow& row = seql.rows[size_t(len - 1)];
    EXPECT_EQ(row.caption, std::to_string(len));
    EXPECT_EQ(row.value.Count, expected[len - 1]) << len;
    numbers += len * row.value.Count;
  }
  EXPECT_EQ(numbers, 5 * 6);
  EXPECT_EQ(CountOf("SEQS", "2"), 2);
  EXPECT_EQ(CountOf("LENS", "4"), 1);
}

TEST_F(SeqFamily, GraphsCountFalls) {
  Only({8, 7, 20, 30, 31});  // only 30, 31 rises by one
  EXPECT_EQ(CountOf("SEQS", "1"), 1);
  EXPECT_EQ(CountOf("LENS", "2"), 1);
  EXPECT_EQ(Graph("SEQS"), 2);
  EXPECT_EQ(Graph("LENS"), 2);
  EXPECT_EQ(CountOf("SEQS", "2", true), 1);  // sorted, 7, 8 rises too

  Only({12, 11, 10, 20, 21});  // a fall over three numbers, then a rise
  EXPECT_EQ(Graph("LENS"), 3);

  Only({2, 9, 15, 22, 30});
  EXPECT_EQ(CountOf("LENS", "1"), 1);
  EXPECT_EQ(Graph("LENS"), 0);
  EXPECT_EQ(Graph("SEQS"), 0);
}

TEST_F(SeqFamily, MatchingCombinations) {
  Only({1, 2, 3, 4, 5});
  TStatDrawArray three, one;
  three.Append(StatValue{.Key1 = 3});
  one.Append(StatValue{.Key1 = 1});
  EXPECT_TRUE(Make("LENS")->MatchesCombination({1, 3, 4, 5, 9}, three, 0, false, FilterMode::KeepSelected));
  EXPECT_FALSE(Make("LENS")->MatchesCombination({1, 2, 4, 5, 9}, three, 0, false, FilterMode::KeepSelected));

  // SEQL with 1: some number has neither neighbour in the combination.
  auto seql = Make("SEQL");
  for (const Combination& c : FullSet()) {
    bool lone = false;
    for (size_t i = 0; i < 5; ++i)
      lone = lone || ((i == 0 || c[i - 1] + 1 != c[i]) && (i == 4 || c[i] + 1 != c[i + 1]));
    ASSERT_EQ(seql->MatchesCombination(c, one, 0, false, FilterMode::KeepSelected), lone) << CombinationText(c);
  }

  // Runs placed in the 32 gaps around 31 unused numbers. No lone number: runs
  // 5, 3+2 or 2+3, C(32,1) + 2*C(32,2) = 1024. Longest run 3: 3+2 in two
  // orders, 3+1+1 in three, 2*C(32,2) + 3*C(32,3) = 15872.
  EXPECT_EQ(Keep("SEQL", 1), kCapacity - 1024);
  EXPECT_EQ(Keep("LENS", 3), 15872);
  EXPECT_EQ(Keep("SEQS", 0), 201376);  // runs of 1 only: C(32,5)
}

}  // namespace
}  // namespace px
