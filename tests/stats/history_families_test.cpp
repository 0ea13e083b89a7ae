// The families that look at other draws: repeats, the characteristic
// number, series and periods.
#include <gtest/gtest.h>

#include <algorithm>

#include "combs/combination_set.h"
#include "core/config.h"
#include "core/env.h"
#include "stats/filter.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"
#include "support/family_fixture.h"

namespace px {
namespace {

using Texts = std::vector<std::string>;

class HistoryFamilies : public test::FamilyTest {
 protected:
  // The archive becomes these draws, numbered from `first`.
  void Draws(std::vector<Combination> draws, int first = 1) {
    archive.Clear();
    for (const Combination& c : draws) archive.Append(test::Draw(first++, c));
  }
  StatTable TableAt(const std::string& code, int offset, int length = 1000, bool sorted = false) {
    return ComputeStatTable(registry, registry.FindByCode(code), StatTableParams{offset, length, sorted, '.'}, nullptr);
  }
  // "text #count" of every row, sorted by text, or only those seen.
  Texts Rows(const std::string& code, int offset = 0, bool seenOnly = false, int length = 1000) {
    Texts out;
    for (const StatRow& r : TableAt(code, offset, length).rows)
      if (!seenOnly || r.value.Count > 0) out.push_back(r.caption + " #" + std::to_string(r.value.Count));
    std::sort(out.begin(), out.end());
    return out;
  }
  Texts Seen(const std::string& code, int offset = 0) { return Rows(code, offset, true); }
  int Graph(const std::string& code, int index, bool sorted = false) {
    auto stat = registry.CreateInstance(registry.FindByCode(code));
    return dynamic_cast<TCustomGraphStat&>(*stat).GraphValueOfDraw(index, index, sorted);
  }
  // The combinations of the full set a filter keeps with these values of a table.
  std::vector<Combination> Kept(const std::string& code, const Texts& values, FilterMode mode, int offset = 0) {
    const StatTable t = TableAt(code, offset);
    std::vector<int> rows;
    for (size_t r = 0; r < t.rows.size(); ++r)
      if (std::find(values.begin(), values.end(), t.rows[r].caption) != values.end()) rows.push_back(int(r));
    EXPECT_EQ(rows.size(), values.size()) << code;
    CombinationSet set;
    set.Init(kCapacity);
    GenerateSet(set, Env::Real(), true, 0, "");
    auto stat = registry.CreateInstance(registry.FindByCode(code));
    KeepOrRemove(set, *stat, SelectRows(t.rows, rows), mode, t.lastIndex, false, code, nullptr);
    return set.ToVector();
  }
  template <class Pred>
  static std::vector<Combination> Where(Pred pred) {
    std::vector<Combination> out;
    for (const Combination& c : FullSet())
      if (pred(c)) out.push_back(c);
    return out;
  }
  static bool Has(const Combination& c, int n) { return std::find(c.begin(), c.end(), n) != c.end(); }
};

TEST_F(HistoryFamilies, RepeatsByDistanceAndShift) {
  Draws({{1, 2, 3, 4, 5}, {1, 9, 10, 11, 12}, {1, 9, 20, 21, 22}});
  // Numbers of the last draw that the one before had: 1 and 9.
  EXPECT_EQ(Seen("RPV2"), (Texts{"1 #2", "9 #1"}));
  // The count members: draw 1 has no earlier draw and counts 0.
  EXPECT_EQ(Rows("RPC2"), (Texts{"0 #1", "1 #1", "2 #1", "3 #0", "4 #0", "5 #0"}));
  // Both of the two draws before: only 1 in the last draw.
  EXPECT_EQ(Seen("RPV3"), (Texts{"1 #1"}));
  EXPECT_EQ(Seen("RPC3"), (Texts{"0 #2", "1 #1"}));
  // Repeated, but not from two draws back: the last draw adds only 9 (its 1
  // came from draw 1 already); draw 2, with no draw two back, adds its 1.
  EXPECT_EQ(Seen("PRL2"), (Texts{"1 #1", "9 #1"}));
  EXPECT_EQ(Seen("PRB2"), (Texts{"0 #1", "1 #2"}));
  // Two draws apart: draw 3 against draw 1 shares 1.
  EXPECT_EQ(Seen("PRV2O1"), (Texts{"1 #1"}));
  EXPECT_EQ(Seen("RPO1"), (Texts{"0 #2", "1 #1"}));
  EXPECT_EQ(Seen("PRV2O3"), Texts{});
  EXPECT_EQ(Seen("PRC2O3"), (Texts{"0 #3"}));
  EXPECT_EQ(registry.DisplayName(registry.FindByCode("PRV2O2"), false),
            "{ rep } Повторяющиеся числа в 2-х тиражах через 2 тираж(а)");

  // The shifted members: the candidates are the reference draw shifted, 36 + 1 wrapping to 1.
  Draws({{2, 3, 10, 11, 35}, {5, 12, 19, 27, 36}});
  EXPECT_EQ(Rows("PRV+1"), (Texts{"1 #0", "13 #0", "20 #0", "28 #0", "6 #0"}));
  Draws({{1, 2, 18, 26, 35}, {36, 3, 19, 27, 1}});
  // Draw 1 shifted by -1: 36 1 17 25 34; the last draw has 36 and 1, but
  // only 36 is a candidate (the reference draw shifted: 35 2 18 26 36).
  EXPECT_EQ(Seen("PRV-1"), (Texts{"36 #1"}));
  EXPECT_EQ(Seen("PRC-1"), (Texts{"0 #1", "2 #1"}));
  // Shifted by +2: 3 4 20 28 1; the last draw has 3 and 1.
  EXPECT_EQ(Seen("PRC+2"), (Texts{"0 #1", "2 #1"}));
  // By -2: 35 36 16 24 33 (1 - 2 wraps to 35); the last draw has 36.
  EXPECT_EQ(Seen("PRC-2"), (Texts{"0 #1", "1 #1"}));

  // A window without repeats: 0 counts every draw, the candidates stay at 0.
  Draws({{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}, {16, 17, 18, 19, 20}});
  EXPECT_EQ(Rows("RPC2"), (Texts{"0 #4", "1 #0", "2 #0", "3 #0", "4 #0", "5 #0"}));
  EXPECT_EQ(Seen("RPV2"), Texts{});
}

TEST_F(HistoryFamilies, RepeatCountsJudgeACombinationAsTheNextDraw) {
  Draws({{1, 2, 3, 4, 5}, {1, 9, 10, 11, 12}, {1, 9, 20, 21, 22}});
  // {0}: exactly the combinations that share nothing with the reference draw.
  EXPECT_EQ(Kept("RPC2", {"0"}, FilterMode::KeepSelected), Where([](const Combination& c) {
              return !Has(c, 1) && !Has(c, 9) && !Has(c, 20) && !Has(c, 21) && !Has(c, 22);
            }));
  // Three in a row: only the numbers of the reference draw and the one before (1, 9).
  EXPECT_EQ(Kept("RPC3", {"1"}, FilterMode::KeepSelected),
            Where([](const Combination& c) { return int(Has(c, 1)) + int(Has(c, 9)) == 1; }));
  // Two draws back from the next draw is the draw before the reference: 1 9 10 11 12.
  EXPECT_EQ(Kept("RPO1", {"5"}, FilterMode::KeepSelected), (std::vector<Combination>{{1, 9, 10, 11, 12}}));
  // The repeated values keep the combinations with a selected number.
  EXPECT_EQ(Kept("RPV2", {"9"}, FilterMode::RemoveSelected), Where([](const Combination& c) { return !Has(c, 9); }));
}

TEST_F(HistoryFamilies, CharacteristicNumbers) {
  Draws({{1, 2, 3, 4, 5}});
  EXPECT_EQ(Graph("HCO1", 0), 0);
  EXPECT_EQ(Graph("HCO2", 0), 0);
  EXPECT_EQ(Rows("HCO3"), (Texts{"0 #0"}));

  Draws({{3, 8, 15, 22, 30}});
  EXPECT_EQ(Graph("HCO1", 0), 1);
  EXPECT_EQ(Graph("HCO2", 0), 3);
  const StatTable t = TableAt("HCO3", 0);
  Texts listed;
  for (const StatRow& r : t.rows) {
    listed.push_back(r.caption);
    EXPECT_EQ(r.value.Count, 0);  // offset 0: no later draw
    EXPECT_EQ(r.value.Depth, 1);
    EXPECT_EQ(CellText(r, kColFact), "-");
  }
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (Texts{"12", "15", "18", "21", "24", "27", "3 (1)", "6", "9"}));

  // The drawn order counts unless the draws are read ascending.
  Draws({{3, 8, 15, 30, 22}});
  EXPECT_EQ(Graph("HCO1", 0), 5);
  EXPECT_EQ(Graph("HCO1", 0, true), 1);

  // At an offset the draw after the reference draw tells which came out.
  Draws({{3, 8, 15, 22, 30}, {6, 9, 12, 27, 33}});
  EXPECT_EQ(Seen("HCO3", 1), (Texts{"12 #1", "27 #1", "6 #1", "9 #1"}));
  EXPECT_EQ(Rows("HCO3", 1).size(), 9u);
  // A characteristic number above 36: listed, never out, no multiples.
  Draws({{1, 2, 3, 23, 4}});
  EXPECT_EQ(Rows("HCO3"), (Texts{"37 (1) #0"}));
  // As a filter HCO3 keeps the combinations with a selected number.
  Draws({{3, 8, 15, 22, 30}});
  EXPECT_EQ(Kept("HCO3", {"27"}, FilterMode::KeepSelected), Where([](const Combination& c) { return Has(c, 27); }));
}

TEST_F(HistoryFamilies, SeriesOfPresenceAndAbsence) {
  // 7 in draws 2, 3 and 5; draw 5 is the reference draw.
  Draws({{1, 2, 3, 4, 5}, {7, 8, 9, 10, 11}, {7, 12, 13, 14, 15}, {16, 17, 18, 19, 20}, {7, 21, 22, 23, 24}});
  const StatTable groups = TableAt("GRPV", 0);
  Texts seven;
  for (const StatRow& r : groups.rows)
    if (r.value.Key1 == 7) seven.push_back(r.caption + " @" + std::to_string(r.value.LastDraw));
  std::sort(seven.begin(), seven.end());
  EXPECT_EQ(seven, (Texts{"7 x 1 @5", "7 x 2 @3"}));
  // 7's pauses: draw 1, and draw 4 at the reference draw; 21..24 end a
  // pause of four there.
  EXPECT_EQ(Seen("GRPP"), (Texts{"21 x 4 #1", "22 x 4 #1", "23 x 4 #1", "24 x 4 #1", "7 x 1 #2"}));
  // Only numbers of the reference draw are ever recorded.
  for (const StatRow& r : TableAt("GRPP", 0).rows) EXPECT_TRUE(r.value.Key1 == 7 || r.value.Key1 >= 21) << r.caption;
  for (const StatRow& r : groups.rows) EXPECT_NE(r.value.Key1, 8);

  // Channels of 6: the reference draw's channels 1, 3 and 6 only.
  Draws({{1, 13, 14, 31, 36}, {2, 15, 16, 32, 33}});
  Texts channels;
  for (const StatRow& r : TableAt("GRCV", 0).rows) channels.push_back(r.caption);
  std::sort(channels.begin(), channels.end());
  EXPECT_EQ(channels, (Texts{"01 x 2", "03 x 2", "06 x 2"}));
  // A selected 03 x 2 keeps every combination with a number of 13..18.
  EXPECT_EQ(Kept("GRCV", {"03 x 2"}, FilterMode::KeepSelected), Where([](const Combination& c) {
              return std::any_of(c.begin(), c.end(), [](uint8_t n) { return n >= 13 && n <= 18; });
            }));
  // Width 5: channels 1..8; 36 is channel 8.
  registry.Config().data.ChannelSize = 5;
  registry.Fill();
  Draws({{36, 1, 2, 3, 4}});
  EXPECT_EQ(Seen("GRCV"), (Texts{"01 x 1 #1", "08 x 1 #1"}));
  // Segments follow the map.
  registry.Config().data.MatrixSegments = ParseSegments("12");
  registry.Fill();
  Draws({{2, 3, 4, 5, 6}, {2, 7, 8, 9, 10}});
  EXPECT_EQ(Seen("GRSV"), (Texts{"1 x 2 #1", "2 x 2 #1"}));
  EXPECT_EQ(Seen("GRSP"), Texts{});
}

TEST_F(HistoryFamilies, APassBetweenTwoTablesChangesNothing) {
  Draws({{1, 2, 3, 4, 5}, {1, 7, 8, 9, 10}, {1, 2, 11, 12, 13}, {2, 7, 14, 15, 16}, {1, 7, 17, 18, 19},
         {1, 2, 20, 21, 22}});
  for (const char* code : {"GRPV", "GRPP", "GRCV", "PRDV", "PRDC"}) {
    SCOPED_TRACE(code);
    const StatTable first = TableAt(code, 1);
    Kept(code, {first.rows.at(0).caption}, FilterMode::KeepSelected, 1);
    const StatTable second = TableAt(code, 1);
    ASSERT_EQ(first.rows.size(), second.rows.size());
    for (size_t r = 0; r < first.rows.size(); ++r) EXPECT_EQ(CellTexts(first.rows[r]), CellTexts(second.rows[r]));
  }
  // The series' Fact comes from a fresh run after the series' last draw:
  // 7 alone at the reference draw 3, and again alone in draw 4.
  Draws({{1, 2, 3, 4, 5}, {6, 8, 9, 10, 11}, {7, 12, 13, 14, 15}, {7, 16, 17, 18, 19}, {20, 21, 22, 23, 24}});
  int checked = 0;
  for (const StatRow& r : TableAt("GRPV", 2).rows)
    if (r.caption == "7 x 1") {
      EXPECT_EQ(CellText(r, kColFact), "4");
      ++checked;
    }
  EXPECT_EQ(checked, 1);
}

TEST_F(HistoryFamilies, PeriodsAndTheirKeepAndRemoveMatches) {
  std::vector<Combination> draws;
  for (int n = 101; n <= 110; ++n) draws.push_back({uint8_t(n - 100 + 10), 30, 31, 32, 33});
  draws[1][0] = 7;  // 102
  draws[4][0] = 7;  // 105
  draws[8][0] = 7;  // 109
  // 30..33 come every draw: period 1 each time.
  Draws(draws, 101);
  Texts seven;
  for (const StatRow& r : TableAt("PRDV", 0).rows)
    if (r.value.Key1 == 7) seven.push_back(r.caption + " #" + std::to_string(r.value.Count));
  EXPECT_EQ(seven, (Texts{"7 x 3 #1", "7 x 4 #1"}));

  // Channel 1 twice in one draw, two draws after it was last seen: 01 x 2 once.
  Draws({{1, 20, 25, 31, 35}, {13, 20, 25, 31, 35}, {3, 5, 20, 22, 30}});
  Texts one;
  for (const StatRow& r : TableAt("PRDC", 0).rows)
    if (r.value.Key1 == 1) one.push_back(r.caption + " #" + std::to_string(r.value.Count));
  EXPECT_EQ(one, (Texts{"01 x 2 #1"}));

  // 7 x 1 keeps the combinations with 7 when 7 came out in the reference
  // draw, none otherwise; removing takes them away only when it did not.
  auto with7 = Where([](const Combination& c) { return Has(c, 7); });
  auto without7 = Where([](const Combination& c) { return !Has(c, 7); });
  Draws({{7, 8, 9, 10, 11}, {7, 12, 13, 14, 15}});
  EXPECT_EQ(Kept("PRDV", {"7 x 1"}, FilterMode::KeepSelected), with7);
  EXPECT_EQ(Kept("PRDV", {"7 x 1"}, FilterMode::RemoveSelected).size(), FullSet().size());
  // 7 x 1 from the first two draws, no 7 in the reference draw: keep
  // nothing, remove every combination with 7.
  Draws({{7, 8, 9, 10, 11}, {7, 12, 13, 14, 15}, {1, 2, 3, 4, 5}});
  EXPECT_TRUE(Kept("PRDV", {"7 x 1"}, FilterMode::KeepSelected).empty());
  EXPECT_EQ(Kept("PRDV", {"7 x 1"}, FilterMode::RemoveSelected), without7);

  // Draw numbers out of order give no period, but the entry moves on: 7 at
  // 105, 103 (no period) and 106 (3 after 103).
  archive.Clear();
  for (int32_t n : {105, 103, 106}) archive.Append(test::Draw(n, {7, uint8_t(n - 90), 30, 31, 32}));
  seven.clear();
  for (const StatRow& r : TableAt("PRDV", 0).rows)
    if (r.value.Key1 == 7) seven.push_back(r.caption + " #" + std::to_string(r.value.Count));
  EXPECT_EQ(seven, (Texts{"7 x 3 #1"}));
  // A period reaching before the archive: that draw has no features, so keep
  // finds nothing and remove takes every combination with 7.
  Draws({{7, 8, 9, 10, 11}, {1, 2, 3, 4, 5}, {7, 12, 13, 14, 15}});
  StatValue far;
  far.Key1 = 7;
  far.Key2 = 9;
  Selection sel;
  sel.values.Append(far);
  CombinationSet set;
  set.Init(kCapacity);
  auto prdv = registry.CreateInstance(registry.FindByCode("PRDV"));
  GenerateSet(set, Env::Real(), true, 0, "");
  KeepOrRemove(set, *prdv, sel, FilterMode::KeepSelected, 2, false, "PRDV", nullptr);
  EXPECT_EQ(set.Count(), 0);
  GenerateSet(set, Env::Real(), true, 0, "");
  KeepOrRemove(set, *prdv, sel, FilterMode::RemoveSelected, 2, false, "PRDV", nullptr);
  EXPECT_EQ(set.ToVector(), without7);

  // Every value at most once: an empty table.
  Draws({{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}});
  EXPECT_TRUE(TableAt("PRDV", 0).rows.empty());
}

}  // namespace
}  // namespace px
