#include <gtest/gtest.h>

#include <algorithm>

#include "combs/combination_set.h"
#include "core/env.h"
#include "stats/filter.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"

namespace px {
namespace {

using Texts = std::vector<std::string>;

class CombValFamily : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.SetDraws(&archive);
    registry.Fill();
  }
  StatTable Table(const std::string& code, bool sorted) {
    return ComputeStatTable(registry, registry.FindByCode(code), StatTableParams{0, 1000, sorted, '.'}, nullptr);
  }
  Texts ValueTexts(const std::string& code, bool sorted) {
    Texts out;
    for (const StatRow& r : Table(code, sorted).rows) out.push_back(r.caption);
    return out;
  }
  Selection Pick(const std::string& code, const std::string& text, bool sorted) {
    const StatTable t = Table(code, sorted);
    std::vector<int> rows;
    for (size_t r = 0; r < t.rows.size(); ++r)
      if (t.rows[r].caption == text) rows.push_back(int(r));
    EXPECT_EQ(rows.size(), 1u) << text;
    return SelectRows(t.rows, rows);
  }
  bool Matches(const std::string& code, const std::string& text, bool sorted, const Combination& c) {
    auto stat = registry.CreateInstance(registry.FindByCode(code));
    return stat->MatchesCombination(c, Pick(code, text, sorted).values, archive.Count() - 1, sorted,
                                   FilterMode::KeepSelected);
  }
  int Keep(const std::string& code, const std::string& text, bool sorted) {
    CombinationSet set;
    set.Init(kCapacity);
    GenerateSet(set, Env::Real(), true, 0, "");
    auto stat = registry.CreateInstance(registry.FindByCode(code));
    return KeepOrRemove(set, *stat, Pick(code, text, sorted), FilterMode::KeepSelected, FilterLastIndex(archive, 0),
                        sorted, code, nullptr);
  }

  DrawArchive archive;
  TStatList registry;
};

TEST_F(CombValFamily, EveryGroupInDrawnOrder) {
  archive.Append(test::Draw(1, {17, 5, 30, 2, 11}));
  EXPECT_EQ(ValueTexts("KNM2", false),
            (Texts{"17:5", "17:30", "17:2", "17:11", "5:30", "5:2", "5:11", "30:2", "30:11", "2:11"}));
  const Texts knm3 = ValueTexts("KNM3", false);
  ASSERT_EQ(knm3.size(), 10u);
  EXPECT_EQ(knm3.front(), "17:5:30");
  EXPECT_EQ(knm3[3], "17:30:2");  // after 17:5:30, 17:5:2, 17:5:11
  EXPECT_EQ(knm3.back(), "30:2:11");
  EXPECT_EQ(ValueTexts("KNM4", false), (Texts{"17:5:30:2", "17:5:30:11", "17:5:2:11", "17:30:2:11", "5:30:2:11"}));

  // A combination is ascending, so a falling pair can never match.
  EXPECT_EQ(Keep("KNM2", "17:5", false), 0);
  EXPECT_EQ(Keep("KNM2", "2:11", false), 5984);  // 2 and 11 with any three: C(34,3)
  // Sorted the pairs rise.
  const Texts sorted = ValueTexts("KNM2", true);
  EXPECT_EQ(std::count(sorted.begin(), sorted.end(), "2:5"), 1);
  EXPECT_EQ(std::count(sorted.begin(), sorted.end(), "17:5"), 0);
  EXPECT_EQ(ValueTexts("KNS2", false), (Texts{"17:5", "5:30", "30:2", "2:11"}));
  EXPECT_EQ(ValueTexts("KNP21", false), (Texts{"17:5"}));
}

TEST_F(CombValFamily, NeighboursAndFixedPositions) {
  archive.Append(test::Draw(1, {17, 5, 30, 2, 11}));  // sorted: 2, 5, 11, 17, 30
  EXPECT_EQ(ValueTexts("KNS2", true), (Texts{"2:5", "5:11", "11:17", "17:30"}));
  EXPECT_EQ(ValueTexts("KNS4", true), (Texts{"2:5:11:17", "5:11:17:30"}));
  EXPECT_TRUE(Matches("KNS2", "5:11", true, {2, 5, 11, 20, 30}));
  EXPECT_FALSE(Matches("KNS2", "17:30", true, {2, 5, 11, 20, 30}));
  // 5 and 11 with nothing between: three of the 29 numbers outside 5..11.
  EXPECT_EQ(Keep("KNS2", "5:11", true), 3654);

  EXPECT_EQ(ValueTexts("KNP32", true), (Texts{"5:11:17"}));
  EXPECT_TRUE(Matches("KNP32", "5:11:17", true, {1, 5, 11, 17, 36}));
  EXPECT_FALSE(Matches("KNP32", "5:11:17", true, {5, 11, 17, 20, 30}));  // its group from 2 is 11:17:20
  // Second to fourth fixed: the first from 1..4, the fifth from 18..36.
  EXPECT_EQ(Keep("KNP32", "5:11:17", true), 4 * 19);
  EXPECT_EQ(ValueTexts("KNP42", true), (Texts{"5:11:17:30"}));
}

TEST_F(CombValFamily, PeriodsFromEveryGroup) {
  // 3, 9 are in draws 100 and 104 only, never as the first pair.
  archive.Append(test::Draw(100, {1, 3, 9, 20, 30}));
  archive.Append(test::Draw(101, {2, 4, 6, 8, 10}));
  archive.Append(test::Draw(102, {11, 12, 13, 14, 15}));
  archive.Append(test::Draw(103, {16, 17, 18, 19, 21}));
  archive.Append(test::Draw(104, {2, 3, 9, 25, 33}));
  for (const char* code : {"KNM2", "KNS2"}) {
    const StatTable t = Table(code, false);
    const StatRow* row = nullptr;
    for (const StatRow& r : t.rows)
      if (r.caption == "3:9") row = &r;
    ASSERT_NE(row, nullptr) << code;
    EXPECT_EQ(row->value.Count, 2) << code;
    EXPECT_EQ(row->value.PeriodMin, 4) << code;
    EXPECT_EQ(row->value.PeriodMax, 4) << code;
    EXPECT_EQ(CellText(*row, kColPeriodMax), "4") << code;
    EXPECT_EQ(row->value.Depth, 1) << code;
  }
  // Five draws give 50 pairs, 3:9 twice.
  EXPECT_EQ(Table("KNM2", false).rows.size(), 49u);
  EXPECT_EQ(Table("KNM4", false).rows.size(), 25u);
}

}  // namespace
}  // namespace px
