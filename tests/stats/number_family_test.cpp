#include <gtest/gtest.h>

#include "combs/combination_set.h"
#include "stats/families/family_core.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"

namespace px {
namespace {

class NumberFamily : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.SetDraws(&archive);
    registry.Fill();
  }
  // The table of one method over the whole archive, as value text -> row.
  std::map<std::string, StatRow> Table(const std::string& code, bool sorted = false) {
    StatTableParams p;
    p.length = 1000;
    p.sorted = sorted;
    p.separator = '.';
    StatTable t = ComputeStatTable(registry, registry.FindByCode(code), p, nullptr);
    std::map<std::string, StatRow> rows;
    for (const StatRow& r : t.rows) rows[r.caption] = r;
    order.clear();
    for (const StatRow& r : t.rows) order.push_back(r.caption);
    return rows;
  }
  int Graph(const std::string& code, const Combination& c) {
    auto stat = registry.CreateInstance(registry.FindByCode(code));
    return dynamic_cast<TCustomGraphStat&>(*stat).GraphValue(c, 0, 0, false);
  }

  DrawArchive archive;
  TStatList registry;
  std::vector<std::string> order;
};

TEST_F(NumberFamily, NumbersAndDigits) {
  archive.Append(test::Draw(1, {5, 12, 19, 26, 33}));
  auto nums = Table("NUMS");
  ASSERT_EQ(nums.size(), 36u);
  EXPECT_EQ(order[0], "1");  // candidates 1..36 first, in order
  EXPECT_EQ(order[35], "36");
  for (const char* n : {"5", "12", "19", "26", "33"}) {
    EXPECT_EQ(nums[n].value.Count, 1) << n;
    EXPECT_EQ(nums[n].value.Depth, 1) << n;
  }
  EXPECT_EQ(nums["6"].value.Count, 0);

  archive.Clear();
  archive.Append(test::Draw(1, {11, 12, 13, 14, 15}));
  auto digs = Table("DIGS");
  EXPECT_EQ(digs["1"].value.Count, 6);  // 1 and 1 of 11, then the tens of 12..15
  EXPECT_EQ(digs["5"].value.Count, 1);
  EXPECT_EQ(digs.count("0"), 0u);  // no candidates: only what occurred
  EXPECT_EQ(digs["1"].value.PeriodMin, 0);  // repeats within one draw are gaps of 0
}

TEST_F(NumberFamily, CountsAndPatterns) {
  archive.Append(test::Draw(1, {2, 4, 6, 8, 10}));
  archive.Append(test::Draw(2, {1, 3, 5, 7, 9}));
  auto even = Table("EVEN");
  EXPECT_EQ(even["5:0"].value.Count, 1);
  EXPECT_EQ(even["0:5"].value.Count, 1);  // not a candidate, added when it occurs
  EXPECT_EQ(even["3:2"].value.Count, 0);
  EXPECT_EQ(order.front(), "1:4");
  EXPECT_EQ(order.back(), "0:5");

  EXPECT_EQ(Graph("PRIM", {1, 4, 6, 8, 9}), 1);  // 1 counts as prime
  EXPECT_EQ(Graph("SMAL", {18, 19, 20, 21, 22}), 1);
  EXPECT_EQ(Graph("EVEN", {2, 4, 6, 8, 10}), 5);

  archive.Clear();
  archive.Append(test::Draw(1, {3, 8, 19, 22, 35}));
  auto evnv = Table("EVNV");
  EXPECT_EQ(evnv.size(), 32u);
  EXPECT_EQ(evnv["нЧнЧн (021)"].value.Count, 1);
  auto smlv = Table("SMLV");
  ASSERT_EQ(smlv.size(), 1u);  // no candidates at all
  EXPECT_EQ(smlv.begin()->first, "11222 (007)");
  auto prmv = Table("PRMV");
  EXPECT_EQ(prmv["ПСПСС (020)"].value.Count, 1);

  auto stat = registry.CreateInstance(registry.FindByCode("EVNV"));
  EXPECT_EQ(stat->ValueFromText("нЧнЧн (021)"), 21);
  EXPECT_EQ(stat->ValueFromText("нн"), 24);
  EXPECT_EQ(stat->NumericValue("ЧЧЧЧн"), 1);
  // Scenarios read a row's caption back as a number.
  StatTableParams p;
  StatTable t = ComputeStatTable(registry, registry.FindByCode("EVNV"), p, nullptr);
  const StatRow& row = t.rows[21];
  EXPECT_EQ(row.caption, "нЧнЧн (021)");
  EXPECT_EQ(row.numValue, 21);
  EXPECT_EQ(CellText(row, kColCount), "1");
  EXPECT_EQ(CellText(row, kColDeviation), "-");
  auto ratio = registry.CreateInstance(registry.FindByCode("EVEN"));
  EXPECT_EQ(ratio->ValueFromText("3:2"), 3);
  EXPECT_EQ(ratio->ValueFromText("x:2"), 0);
}

TEST_F(NumberFamily, PositionsFollowSortedDraws) {
  archive.Append(test::Draw(1, {30, 2, 17, 5, 11}));
  EXPECT_EQ(Table("POS1", false)["30"].value.Count, 1);
  EXPECT_EQ(Table("POS1", true)["2"].value.Count, 1);
  EXPECT_EQ(Table("POS1", true)["30"].value.Count, 0);
  auto pos = registry.CreateInstance(registry.FindByCode("POS5"));
  auto& graph = dynamic_cast<TCustomGraphStat&>(*pos);
  EXPECT_EQ(graph.GraphValueOfDraw(0, 0, false), 11);
  EXPECT_EQ(graph.GraphValueOfDraw(0, 0, true), 30);
  EXPECT_EQ(graph.GraphValueOfDraw(5, 5, false), 0);  // outside the archive: a zero record
}

}  // namespace
}  // namespace px

namespace px::family {
namespace {

// The batch filter over "any of these numbers" against the plain test, for
// every count of chosen numbers, both modes, lists of any length and bytes.
TEST(AnyNumberFilter, BatchEqualsThePlainTest) {
  uint32_t seed = 99;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u, seed >> 24; };
  for (size_t n : {size_t(0), size_t(5), size_t(16), size_t(17), size_t(1000), size_t(4099)}) {
    std::vector<Combination> in(n);
    for (auto& c : in)
      for (auto& v : c) v = uint8_t(next() % 5 == 0 ? next() : next() % 36 + 1);  // some past 36, some 0
    for (int k = 0; k <= 6; ++k) {
      NumberTable chosen{};
      for (int j = 0; j < k; ++j) chosen[size_t(j == 3 ? 0 : j == 4 ? 250 : next() % 36 + 1)] = 1;
      for (FilterMode mode : {FilterMode::KeepSelected, FilterMode::RemoveSelected}) {
        std::vector<Combination> expected;
        for (const auto& c : in)
          if ((AnyChosen(chosen, c) != 0) == (mode == FilterMode::KeepSelected)) expected.push_back(c);
        std::vector<Combination> out(n + 1);
        out.resize(FilterAnyNumber(chosen, in.data(), n, out.data(), mode));
        EXPECT_EQ(out, expected) << n << " " << k;
        // In place, as a pass over its own storage.
        std::vector<Combination> same = in;
        same.resize(FilterAnyNumber(chosen, same.data(), n, same.data(), mode));
        EXPECT_EQ(same, expected) << n << " " << k;
      }
    }
  }
}

}  // namespace
}  // namespace px::family
