#include "stats/stat_table.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "core/archive.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"
#include "support/draws.h"

namespace px {
namespace {

using Cells = std::array<std::string, kStatColumns>;
using Strings = std::vector<std::string>;

// Ten draws 101..110. NUMS: 7 in 101, 104, 109; 30 in 103, 107, 110; 25 only
// in 106; 11 in 103 and 109; 6 only in 102 (the deepest value); 34..36 never.
std::vector<DrawRecord> SampleDraws() {
  using test::Draw;
  return {Draw(101, {7, 1, 2, 3, 4}),      Draw(102, {5, 6, 8, 9, 10}),     Draw(103, {30, 11, 12, 13, 14}),
          Draw(104, {7, 15, 16, 17, 18}),  Draw(105, {19, 20, 21, 22, 23}), Draw(106, {25, 24, 26, 27, 28}),
          Draw(107, {30, 29, 31, 32, 33}), Draw(108, {1, 2, 3, 4, 5}),      Draw(109, {7, 8, 9, 10, 11}),
          Draw(110, {30, 12, 13, 14, 15})};
}

// The registry keeps a pointer to the archive, so both live together.
struct Engine {
  DrawArchive archive;
  TStatList registry;
  explicit Engine(const std::vector<DrawRecord>& draws) {
    for (const DrawRecord& d : draws) archive.Append(d);
    registry.SetDraws(&archive);
    registry.Fill();
  }
  StatTable Compute(const char* code, int offset, int length = 1000, const PrefetchData* prefetch = nullptr,
                    char separator = ',', bool showTotalLine = true) {
    const StatTableParams p{offset, length, false, separator};
    return ComputeStatTable(registry, registry.FindByCode(code), p, prefetch, showTotalLine);
  }
};

Cells RowOf(const StatTable& t, const std::string& value) {
  for (const StatRow& r : t.rows)
    if (r.caption == value) return CellTexts(r);
  ADD_FAILURE() << "no row " << value;
  return {};
}

TEST(StatTable, CellsAtOffsetZero) {
  Engine e(SampleDraws());
  const StatTable t = e.Compute("NUMS", 0);
  // Window longer than the archive: all ten draws, 50 numbers.
  // MaxDepth: 6, last seen in 102 = index 1, lies 9 - 1 + 1 = 9 back.
  EXPECT_EQ((std::vector<int64_t>{t.firstIndex, t.lastIndex, t.drawsUsed, t.total, t.minCount, t.maxCount, t.maxDepth}),
            (std::vector<int64_t>{0, 9, 10, 50, 0, 3, 9}));
  EXPECT_FALSE(t.compared);
  ASSERT_EQ(t.rows.size(), 36u);
  for (int n = 1; n <= 36; ++n) EXPECT_EQ(t.rows[size_t(n - 1)].caption, std::to_string(n));

  EXPECT_EQ(RowOf(t, "36"), (Cells{"36", "0", "0,00000", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-", "-",
                                   "-", "-", "-", "-", "-"}));

  // 7: 3/50 = 6%; depth 2 (109 is index 8); 200/9 = 22.22; weight = depth;
  // gaps 3 and 5; period 10/3; PRD 10/3 + 109 = 112.33; STF 4*109/3 = 145.33;
  // KRN 5*110/4 = 137.5 -> 138; no draws after the window, so no Fact.
  EXPECT_EQ(RowOf(t, "7"), (Cells{"7", "3", "6,00000", "-", "-", "-", "2", "22,22", "2,00", "109", "3", "3,3333", "5",
                                  "112", "145", "138", "-", "-", "-", "-"}));
  // 30: 103, 107, 110: gaps 4 and 3; depth 1 -> 100/9 = 11.11; PRD 113.33;
  // STF 4*110/3 = 146.67; KRN 5*111/4 = 138.75.
  EXPECT_EQ(RowOf(t, "30"), (Cells{"30", "3", "6,00000", "-", "-", "-", "1", "11,11", "1,00", "110", "3", "3,3333",
                                   "4", "113", "147", "139", "-", "-", "-", "-"}));
  // Seen once in 106 (depth 5, 500/9 = 55.56): STF 2*106; KRN 3*107/2 = 160.5
  // goes to the even 160.
  EXPECT_EQ(RowOf(t, "25"), (Cells{"25", "1", "2,00000", "-", "-", "-", "5", "55,56", "5,00", "106", "-", "-", "-",
                                   "-", "212", "160", "-", "-", "-", "-"}));
  // The deepest value: 100%; KRN 3*103/2 = 154.5 -> 154.
  EXPECT_EQ(RowOf(t, "6")[kColDepthPct], "100,00");
  EXPECT_EQ(RowOf(t, "6")[kColForecastKrn], "154");

  const Cells dot = RowOf(e.Compute("NUMS", 0, 1000, nullptr, '.'), "7");
  EXPECT_EQ((Strings{dot[kColCountPct], dot[kColDepthPct], dot[kColWeight], dot[kColPeriod]}),
            (Strings{"6.00000", "22.22", "2.00", "3.3333"}));

  // Four draws 107..110: 7 once (109), 30 twice.
  const StatTable shortWindow = e.Compute("NUMS", 0, 4);
  EXPECT_EQ((std::vector<int64_t>{shortWindow.firstIndex, shortWindow.drawsUsed, shortWindow.total}),
            (std::vector<int64_t>{6, 4, 20}));
  EXPECT_EQ(RowOf(shortWindow, "7")[kColCount], "1");
  EXPECT_EQ(RowOf(shortWindow, "30")[kColPeriod], "2,0000");
}

TEST(StatTable, FactAndDifferencesAtOffset) {
  Engine e(SampleDraws());
  // Offset 2: window 101..108 (N = 8, total 40); 109 and 110 are known.
  const StatTable t = e.Compute("NUMS", 2);
  EXPECT_EQ((std::vector<int64_t>{t.lastIndex, t.drawsUsed, t.total, t.maxDepth}),
            (std::vector<int64_t>{7, 8, 40, 7}));  // 6, 8, 9, 10 last seen in 102: depth 7

  // 30 in 103, 107, back in 110, two draws after the window. PRD 8/2 + 107 =
  // 111 = Fact + 1; STF 3*107/2 = 160.5 -> 160; KRN 4*108/3 = 144.
  EXPECT_EQ(RowOf(t, "30"), (Cells{"30", "2", "5,00000", "-", "-", "-", "2", "28,57", "2,00", "107", "4", "4,0000",
                                   "4", "111", "160", "144", "110", "+1", "+50", "+34"}));
  // 7 in 101, 104, next in 109: PRD 4 + 104 = 108; STF 156; KRN 4*105/3 = 140.
  EXPECT_EQ(RowOf(t, "7"), (Cells{"7", "2", "5,00000", "-", "-", "-", "5", "71,43", "5,00", "104", "3", "4,0000", "3",
                                  "108", "156", "140", "109", "-1", "+47", "+31"}));
  // 11 once (103), next in 109: no PRD, so its difference is "-" too.
  EXPECT_EQ(RowOf(t, "11"), (Cells{"11", "1", "2,50000", "-", "-", "-", "6", "85,71", "6,00", "103", "-", "-", "-",
                                   "-", "206", "156", "109", "-", "+97", "+47"}));
  // 25 (106, depth 3) never comes back.
  EXPECT_EQ(RowOf(t, "25")[kColDepthPct], "42,86");
  EXPECT_EQ(RowOf(t, "25")[kColFact], "-");
}

// Keys 0 (no NUMS value), 1, 6, 7, 25, 30; MaxFull 48 so that the scale
// 3/48 = 1/16 is exact and the halves really are halves.
PrefetchData HandPrefetch() {
  PrefetchData p;
  for (auto [key, count] : std::vector<std::pair<uint16_t, int32_t>>{{0, 4}, {1, 8}, {6, 4}, {7, 48}, {25, 40}, {30, 24}}) {
    StatValue v;
    v.Key1 = key;
    p.records.push_back(PrefetchRecord{v.Key(), count});
  }
  p.minCount = 4;
  p.maxCount = 48;
  return p;
}

// "Норма", "Отклонение", "Откл-ие в %" and "Вес".
Strings Compared(const Cells& c) {
  return {c[kColNorm], c[kColDeviation], c[kColDeviationPct], c[kColWeight]};
}
using Expect = Strings;

TEST(StatTable, FullSetComparison) {
  Engine e(SampleDraws());
  const PrefetchData hand = HandPrefetch();
  const StatTable t = e.Compute("NUMS", 0, 1000, &hand);
  EXPECT_TRUE(t.compared);
  EXPECT_EQ(t.rows.size(), 36u);  // key 0 of the file adds no row
  // Scale = MaxCount / MaxFull = 3/48; weight = depth - (count - norm).
  EXPECT_EQ(Compared(RowOf(t, "7")), (Expect{"3", "0", "0,00000", "2,00"}));       // 48/16 = 3
  EXPECT_EQ(Compared(RowOf(t, "25")), (Expect{"2", "-1", "-50,00000", "6,00"}));   // 2.5 -> 2
  EXPECT_EQ(Compared(RowOf(t, "30")), (Expect{"2", "1", "50,00000", "0,00"}));     // 1.5 -> 2
  EXPECT_EQ(Compared(RowOf(t, "1")), (Expect{"0", "2", "100,00000", "1,00"}));     // 0.5 -> 0, count 2, depth 3
  EXPECT_EQ(Compared(RowOf(t, "6")), (Expect{"0", "1", "100,00000", "8,00"}));     // 0.25 -> 0, depth 9
  EXPECT_EQ(Compared(RowOf(t, "36")), (Expect{"0", "0", "0,00000", "-"}));         // not in the file, never seen

  // All full counts equal: Scale = ((3 + 0) / 2) / 4 = 0.375, Norm = 1.5 -> 2
  // for every value (MaxCount / MaxFull would give 3).
  PrefetchData flat;
  for (uint16_t k = 1; k <= 36; ++k) {
    StatValue v;
    v.Key1 = k;
    flat.records.push_back(PrefetchRecord{v.Key(), 4});
  }
  flat.minCount = flat.maxCount = 4;
  const StatTable f = e.Compute("NUMS", 0, 1000, &flat);
  EXPECT_EQ(Compared(RowOf(f, "7")), (Expect{"2", "1", "50,00000", "1,00"}));
  EXPECT_EQ(Compared(RowOf(f, "36")), (Expect{"2", "-2", "-100,00000", "-"}));

  // A file without counts gives no comparison.
  const PrefetchData empty;
  const StatTable none = e.Compute("NUMS", 0, 1000, &empty);
  EXPECT_FALSE(none.compared);
  EXPECT_EQ(Compared(RowOf(none, "7")), (Expect{"-", "-", "-", "2,00"}));
  EXPECT_TRUE(none.ideal.empty());
}

// "x y label" per point.
Strings Points(const std::vector<ChartPoint>& series) {
  Strings out;
  for (const ChartPoint& p : series) {
    std::ostringstream s;
    s << p.x << ' ' << p.y << ' ' << p.label;
    out.push_back(s.str());
  }
  return out;
}

TEST(StatTable, ChartSeries) {
  Engine e(SampleDraws());
  // EVEN: candidates 1..5 come first, the value 0 of the all-odd draw is met
  // last, yet the chart is in key order.
  using test::Draw;
  Engine even({Draw(201, {1, 3, 5, 7, 9}), Draw(202, {2, 4, 6, 8, 10}), Draw(203, {1, 2, 3, 5, 7})});
  const StatTable t = even.Compute("EVEN", 0);
  ASSERT_EQ(t.rows.size(), 6u);
  EXPECT_EQ(t.rows.front().caption, "1:4");
  EXPECT_EQ(t.rows.back().caption, "0:5");
  EXPECT_EQ(Points(t.actual), (Strings{"1 1 0:5", "2 1 1:4", "3 0 2:3", "4 0 3:2", "5 0 4:1", "6 1 5:0"}));

  // With the comparison the x axis is the file's record number: key 0 is
  // record 1 and has no actual point; ideal = full count / 16.
  const PrefetchData hand = HandPrefetch();
  const StatTable c = e.Compute("NUMS", 0, 1000, &hand);
  EXPECT_EQ(Points(c.ideal), (Strings{"1 0.25 0", "2 0.5 1", "3 0.25 6", "4 3 7", "5 2.5 25", "6 1.5 30"}));
  EXPECT_EQ(Points(c.actual), (Strings{"2 2 1", "3 1 6", "4 3 7", "5 1 25", "6 3 30"}));
  const StatTable noLine = e.Compute("NUMS", 0, 1000, &hand, ',', false);
  EXPECT_TRUE(noLine.ideal.empty());
  EXPECT_EQ(noLine.actual.size(), 5u);
}

StatRow Row(const std::string& value, int column, const StatCell& cell) {
  StatRow r;
  r.SetCaption(value);
  r.cells[size_t(column)] = cell;
  return r;
}
Strings Values(const std::vector<StatRow>& rows) {
  Strings out;
  for (const StatRow& r : rows) out.push_back(r.caption);
  return out;
}
StatCell Fixed(long double v, int digits, char separator = ',') { return StatCell::Fixed(v, digits, separator); }
const StatCell kDash{};

TEST(StatTable, SortRowsAndDifferenceText) {
  // As text "10,5" < "2,0000" < "9.25"; as numbers 2 < 9.25 = 9,25 < 10.5.
  // "-" is no number and sorts as text before digits. The 9.25 tie goes by
  // value, numerically: 3 before 12.
  std::vector<StatRow> rows = {Row("1", kColPeriod, Fixed(10.5, 1)), Row("12", kColPeriod, Fixed(9.25, 2)),
                               Row("2", kColPeriod, kDash), Row("3", kColPeriod, Fixed(9.25, 2, '.')),
                               Row("4", kColPeriod, Fixed(2, 4))};
  EXPECT_EQ(CellText(rows[0], kColPeriod), "10,5");
  EXPECT_EQ(CellText(rows[3], kColPeriod), "9.25");
  EXPECT_EQ(CellText(rows[4], kColPeriod), "2,0000");
  SortStatRows(rows, kColPeriod, false);
  EXPECT_EQ(Values(rows), (Strings{"2", "4", "3", "12", "1"}));

  std::vector<StatRow> desc = {Row("1", kColDeviationPct, Fixed(-50, 5)), Row("2", kColDeviationPct, Fixed(100, 5)),
                               Row("3", kColDeviationPct, Fixed(0, 5)), Row("4", kColDeviationPct, kDash)};
  EXPECT_EQ(CellText(desc[0], kColDeviationPct), "-50,00000");
  SortStatRows(desc, kColDeviationPct, true);
  EXPECT_EQ(Values(desc), (Strings{"2", "3", "1", "4"}));

  // Text ignoring case: "a" before "B" (bytes would put "B" first).
  std::vector<StatRow> text = {Row("B", kColCount, StatCell::Whole(1)), Row("a", kColCount, StatCell::Whole(1))};
  SortStatRows(text, kColValue, false);
  EXPECT_EQ(Values(text), (Strings{"a", "B"}));
  // Cyrillic folds too: equal counts go by the folded value, "Н" before "Ч".
  std::vector<StatRow> cyrillic = {Row("нЧЧнн (019)", kColCount, StatCell::Whole(27)),
                                   Row("ннннн (031)", kColCount, StatCell::Whole(27)),
                                   Row("ЧЧЧЧЧ (000)", kColCount, StatCell::Whole(22))};
  SortStatRows(cyrillic, kColCount, false);
  EXPECT_EQ(Values(cyrillic), (Strings{"ЧЧЧЧЧ (000)", "ннннн (031)", "нЧЧнн (019)"}));

  EXPECT_EQ(DifferenceText("111", 110), "+1");
  EXPECT_EQ(DifferenceText("110", 110), "0");
  EXPECT_EQ(DifferenceText("108", 110), "-2");
  EXPECT_EQ(DifferenceText("-", 110), "-");
  EXPECT_EQ(DifferenceText("3,5", 1), "-");
}

// A damaged full-set file: the smallest count there is, so the deviation of
// 7 (count 3) is 3 - INT32_MIN, which no 32-bit integer holds.
TEST(StatTable, DamagedFullSetCountsDoNotOverflowTheDeviation) {
  Engine e(SampleDraws());
  PrefetchData damaged;
  StatValue v;
  v.Key1 = 7;
  damaged.records.push_back(PrefetchRecord{v.Key(), INT32_MIN});
  damaged.minCount = INT32_MIN;
  damaged.maxCount = 3;  // scale 3/3 = 1: the norm is the file's count
  const StatTable t = e.Compute("NUMS", 0, 1000, &damaged);
  ASSERT_TRUE(t.compared);
  const Cells c = RowOf(t, "7");
  EXPECT_EQ(c[kColNorm], "-2147483648");
  EXPECT_EQ(c[kColDeviation], "2147483651");
  // 214748365100 / -2147483648 = -100.0000014
  EXPECT_EQ(c[kColDeviationPct], "-100,00000");
}

// The forecasts multiply counts by draw numbers: with numbers near the top
// of the 32-bit range the products need 64 bits.
TEST(StatTable, ForecastsOfLargeDrawNumbers) {
  std::vector<DrawRecord> draws = SampleDraws();
  for (DrawRecord& d : draws) d.number += 2147483000 - 100;  // 101 -> 2147483001, 109 -> 2147483009
  Engine e(draws);
  const StatTable t = e.Compute("NUMS", 0);
  const Cells c = RowOf(t, "7");
  EXPECT_EQ(c[kColLastDraw], "2147483009");
  // STF 4 * 2147483009 / 3 = 2863310678.67 -> 2863310679;
  // KRN 5 * 2147483010 / 4 = 2684353762.5 -> 2684353762 (half to even).
  EXPECT_EQ(c[kColForecastStf], "2863310679");
  EXPECT_EQ(c[kColForecastKrn], "2684353762");
}

}  // namespace
}  // namespace px
