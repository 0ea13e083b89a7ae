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

using Texts = std::vector<std::string>;

class DiffFamily : public test::FamilyTest {
 protected:
  Texts TextsOf(const std::string& code) {
    Texts out;
    for (const StatRow& r : Table(code).rows) out.push_back(r.caption);
    return out;
  }
  // A missing row has Count -1.
  StatRow Row(const std::string& code, const std::string& text, bool sorted = false) {
    for (const StatRow& r : Table(code, sorted).rows)
      if (r.caption == text) return r;
    StatRow missing;
    missing.value.Count = -1;
    return missing;
  }
  int Graph(const std::string& code, bool sorted = false) {
    auto stat = registry.CreateInstance(registry.FindByCode(code));
    return dynamic_cast<TCustomGraphStat&>(*stat).GraphValueOfDraw(0, 0, sorted);
  }
  int Filter(const std::string& code, const std::string& text, FilterMode mode = FilterMode::KeepSelected) {
    const StatTable t = Table(code);
    std::vector<int> rows;
    for (size_t r = 0; r < t.rows.size(); ++r)
      if (t.rows[r].caption == text) rows.push_back(int(r));
    EXPECT_EQ(rows.size(), 1u) << text;
    CombinationSet set;
    set.Init(kCapacity);
    GenerateSet(set, Env::Real(), true, 0, "");
    auto stat = registry.CreateInstance(registry.FindByCode(code));
    return KeepOrRemove(set, *stat, SelectRows(t.rows, rows), mode, 0, false, code, nullptr);
  }
};

TEST_F(DiffFamily, AscendingAndDrawnOrder) {
  Only({1, 2, 3, 4, 36});  // differences 1, 1, 1, 32
  ASSERT_EQ(Table("DIFA").rows.size(), 35u);  // candidates 1..35
  EXPECT_EQ(Row("DIFA", "1").value.Count, 3);
  EXPECT_EQ(Row("DIFA", "32").value.Count, 1);
  EXPECT_EQ(Row("DIFM", "32").value.Count, 1);
  EXPECT_EQ(Graph("DIFM"), 32);
  EXPECT_EQ(Graph("DIFD"), 35);
  EXPECT_EQ(TextsOf("DIFO"), (Texts{"1 x 3", "32 x 1"}));
  EXPECT_EQ(Row("DIFK", "3").value.Count, 1);

  Only({36, 1, 2, 3, 4});  // drawn order: 35, 1, 1, 1
  EXPECT_EQ(Row("DIFA", "35").value.Count, 1);
  EXPECT_EQ(Row("DIFA", "1").value.Count, 3);
  EXPECT_EQ(Row("DIFA", "32").value.Count, 0);
  EXPECT_EQ(Row("DIFM", "35").value.Count, 1);
  EXPECT_EQ(Row("DIFD", "35").value.Count, 1);
  EXPECT_EQ(TextsOf("DIFO"), (Texts{"35 x 1", "1 x 3"}));
  // Sorted, the same draw reads 1, 2, 3, 4, 36 again.
  EXPECT_EQ(Row("DIFA", "32", true).value.Count, 1);
  EXPECT_EQ(Graph("DIFM", true), 32);

  Only({5, 10, 12, 20, 21});  // 5, 2, 8, 1
  EXPECT_EQ(TextsOf("KDS4"), (Texts{"5:2:8:1"}));
  EXPECT_EQ(TextsOf("KDS2"), (Texts{"5:2", "2:8", "8:1"}));
}

TEST_F(DiffFamily, PeriodsOnlyFromTheFirstDifference) {
  // Differences: 100: 7 2 3 9, 101: 5 2 3 4, 102: 2 3 5 9, 103: 5 2 3 4,
  // 104: 7 2 3 9.
  archive.Append(test::Draw(100, {1, 8, 10, 13, 22}));
  archive.Append(test::Draw(101, {1, 6, 8, 11, 15}));
  archive.Append(test::Draw(102, {1, 3, 6, 11, 20}));
  archive.Append(test::Draw(103, {2, 7, 9, 12, 16}));
  archive.Append(test::Draw(104, {2, 9, 11, 14, 23}));

  const StatRow nine = Row("DIFA", "9");  // last position only: 100, 102, 104
  EXPECT_EQ(nine.value.Count, 3);
  EXPECT_EQ(nine.value.PeriodMin, 0);
  EXPECT_EQ(nine.value.PeriodMax, 0);
  EXPECT_EQ(CellText(nine, kColPeriodMin), "0");
  EXPECT_EQ(CellText(nine, kColPeriodMax), "0");
  const StatRow seven = Row("DIFA", "7");  // first in 100 and 104
  EXPECT_EQ(seven.value.PeriodMin, 4);
  EXPECT_EQ(seven.value.PeriodMax, 4);
  EXPECT_EQ(CellText(seven, kColPeriodMin), "4");
  // 5 is first in 101 and 103 but third in 102: the mark moved to 102, so the
  // gap measured at 103 is 1, not 2.
  const StatRow five = Row("DIFA", "5");
  EXPECT_EQ(five.value.Count, 3);
  EXPECT_EQ(five.value.PeriodMin, 1);
  EXPECT_EQ(five.value.PeriodMax, 1);

  // Pairs: 7:2 first in 100 and 104, 5:2 first in 101 and 103, 3:9 last in
  // 100 and 104.
  EXPECT_EQ(Row("KDS2", "7:2").value.PeriodMin, 4);
  EXPECT_EQ(Row("KDS2", "5:2").value.PeriodMax, 2);
  const StatRow pair = Row("KDS2", "3:9");
  EXPECT_EQ(pair.value.Count, 2);
  EXPECT_EQ(pair.value.PeriodMin, 0);
  EXPECT_EQ(CellText(pair, kColPeriodMax), "0");
  EXPECT_EQ(CellText(Row("KDS3", "2:3:9"), kColPeriodMax), "0");
}

TEST_F(DiffFamily, FiltersOverTheFullSet) {
  Only({1, 2, 3, 4, 36});
  // No difference 1: no two consecutive numbers, C(32,5).
  EXPECT_EQ(Filter("DIFA", "1", FilterMode::RemoveSelected), 201376);
  // A largest gap of 32 leaves 3 for the other three: 1 and 36, the 32 at one
  // of four places.
  EXPECT_EQ(Filter("DIFM", "32"), 4);
  EXPECT_EQ(Filter("DIFD", "35"), 5984);  // 1 and 36 with any three: C(34,3)
  // Gaps 1, 1, 1 and g >= 2 at one of four places, x1 + 3 + g <= 36: 4 * C(32,2).
  EXPECT_EQ(Filter("DIFO", "1 x 3"), 1984);
  // Four equal gaps d: 36 - 4d starts for d = 1..8, 288 - 144.
  EXPECT_EQ(Filter("DIFK", "4"), 144);
}

}  // namespace
}  // namespace px
