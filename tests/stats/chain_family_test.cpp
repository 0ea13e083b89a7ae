// Transitions between draws: numbers, channels, segments and counts.
#include <gtest/gtest.h>

#include <algorithm>

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

class ChainFamily : public test::FamilyTest {
 protected:
  void Draws(std::vector<Combination> draws) {
    archive.Clear();
    int n = 1;
    for (const Combination& c : draws) archive.Append(test::Draw(n++, c));
  }
  Texts Rows(const std::string& code, bool sorted = false) {
    Texts out;
    for (const StatRow& r : Table(code, sorted).rows) out.push_back(r.caption + " #" + std::to_string(r.value.Count));
    std::sort(out.begin(), out.end());
    return out;
  }
  // What a keep filter with the rows of these texts leaves of the full set.
  std::vector<Combination> Kept(const std::string& code, const Texts& values) {
    const StatTable t = Table(code);
    std::vector<int> rows;
    for (size_t r = 0; r < t.rows.size(); ++r)
      if (std::find(values.begin(), values.end(), t.rows[r].caption) != values.end()) rows.push_back(int(r));
    EXPECT_EQ(rows.size(), values.size());
    CombinationSet set;
    set.Init(kCapacity);
    GenerateSet(set, Env::Real(), true, 0, "");
    auto stat = registry.CreateInstance(registry.FindByCode(code));
    KeepOrRemove(set, *stat, SelectRows(t.rows, rows), FilterMode::KeepSelected, t.lastIndex, false, code, nullptr);
    return set.ToVector();
  }
  template <class Pred>
  static std::vector<Combination> Where(Pred pred) {
    std::vector<Combination> out;
    for (const Combination& c : FullSet())
      if (std::any_of(c.begin(), c.end(), pred)) out.push_back(c);
    return out;
  }
};

TEST_F(ChainFamily, NumbersFromTheReferenceDrawToTheNext) {
  Draws({{4, 9, 17, 25, 33}, {4, 12, 18, 30, 36}, {9, 33, 1, 2, 3}});
  EXPECT_EQ(Rows("SDV2"), (Texts{"33 -> 12 #1", "33 -> 18 #1", "33 -> 30 #1", "33 -> 36 #1", "33 -> 4 #1",
                                 "9 -> 12 #1", "9 -> 18 #1", "9 -> 30 #1", "9 -> 36 #1", "9 -> 4 #1"}));
  // A selected "to" keeps the combinations holding it.
  EXPECT_EQ(Kept("SDV2", {"9 -> 12"}), Where([](uint8_t n) { return n == 12; }));

  // Positions: drawn order unless the draws are read ascending.
  Draws({{5, 1, 2, 3, 4}, {6, 7, 8, 9, 10}, {5, 11, 12, 13, 14}});
  EXPECT_EQ(Rows("SDP2"), (Texts{"5 -> 6 #1"}));
  EXPECT_EQ(Rows("SDN1"), (Texts{"5 -> 6 #1"}));
  EXPECT_TRUE(Rows("SDN2").empty());
  EXPECT_TRUE(Rows("SDP2", true).empty());  // ascending, 5 is no longer first
  // Three draws: the oldest two add nothing.
  Draws({{1, 2, 3, 4, 5}, {1, 7, 8, 9, 10}, {2, 11, 12, 13, 14}, {1, 15, 16, 17, 18}, {1, 19, 20, 21, 22}});
  EXPECT_EQ(Rows("SDP3"), (Texts{"1-1 -> 2 #1"}));
  EXPECT_EQ(Rows("SDM1"), (Texts{"1-1 -> 2 #1"}));
  Draws({{1, 2, 3, 4, 5}});
  EXPECT_TRUE(Rows("SDV2").empty());
}

TEST_F(ChainFamily, ChannelsSegmentsAndCounts) {
  // Two numbers of channel 3 before, two of channel 5 after: 03 -> 05 four times.
  Draws({{13, 14, 1, 2, 31}, {25, 26, 7, 8, 36}, {15, 20, 21, 22, 23}});
  const Texts scv2 = Rows("SCV2");
  EXPECT_NE(std::find(scv2.begin(), scv2.end(), "03 -> 05 #4"), scv2.end());
  EXPECT_EQ(Rows("SCN1"), (Texts{"03 -> 05 #1"}));
  // The count in channel 2: the table offers r -> 0..6 from the start.
  Draws({{7, 8, 1, 2, 3}, {7, 13, 14, 15, 16}, {9, 10, 20, 21, 22}});
  EXPECT_EQ(Rows("SC2C2"),
            (Texts{"2 -> 0 #0", "2 -> 1 #1", "2 -> 2 #0", "2 -> 3 #0", "2 -> 4 #0", "2 -> 5 #0", "2 -> 6 #0"}));
  EXPECT_EQ(Rows("SC3C2").size(), 7u);
  // One segment holds all five every time; a segment count offers only r -> 0.
  EXPECT_EQ(Rows("SS2C1"), (Texts{"5 -> 0 #0", "5 -> 5 #2"}));
  // 1..9 in segment 2: counts 5, 1, 1 there; only the last step starts from
  // the reference draw's count.
  registry.Config().data.MatrixSegments = ParseSegments("222222222");
  registry.Fill();
  EXPECT_EQ(Rows("SS2C2"), (Texts{"1 -> 0 #0", "1 -> 1 #1"}));
  EXPECT_EQ(Rows("SSN1"), (Texts{"2 -> 2 #2"}));
  // No channel width: no count members.
  registry.Config().data.ChannelSize = 0;
  registry.Fill();
  EXPECT_EQ(registry.FindByCode("SC2C1"), -1);
  EXPECT_EQ(registry.FindByCode("SC3C1"), -1);
}

TEST_F(ChainFamily, NumbersWithinChannels) {
  // 7 is in the reference draw; after 7 came 9 and 10 (channel 2), after 33 nothing of 31..36.
  Draws({{7, 33, 1, 2, 13}, {9, 10, 20, 21, 22}, {7, 33, 3, 4, 5}});
  EXPECT_EQ(Rows("SDA2"), (Texts{"07 -> 09 #1", "07 -> 10 #1", "33 -> 00 #1"}));
  EXPECT_EQ(Rows("SDG2"), (Texts{"07 -> 09 #1", "07 -> 10 #1"}));
  EXPECT_EQ(Rows("SDZ2"), (Texts{"33 -> 00 #1"}));
  EXPECT_EQ(Rows("SDC2"), (Texts{"33 -> 0 #1", "7 -> 2 #1"}));
  // A failure selected: every combination with a number of the channel.
  EXPECT_EQ(Kept("SDZ2", {"33 -> 00"}), Where([](uint8_t n) { return n >= 31; }));
  // A count selected: the channel matters, not the count.
  EXPECT_EQ(Kept("SDC2", {"7 -> 2"}), Where([](uint8_t n) { return n >= 7 && n <= 12; }));
  // A success selected: that very number.
  EXPECT_EQ(Kept("SDG2", {"07 -> 10"}), Where([](uint8_t n) { return n == 10; }));
}

}  // namespace
}  // namespace px
