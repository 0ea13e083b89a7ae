// The channel, matrix and segment families under the configurations they
// follow.
#include <gtest/gtest.h>

#include "core/config.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"
#include "support/family_fixture.h"

namespace px {
namespace {

using Texts = std::vector<std::string>;

class FeatureFamilies : public test::FamilyTest {
 protected:
  void Configure(int channel, int cols, const std::string& segments = "") {
    TConfigData& d = registry.Config().data;
    d.ChannelSize = channel;
    d.MatrixCols = cols;
    d.MatrixSegments = ParseSegments(segments);
    registry.Fill();
  }
  // The value texts of the rows, in table order, and those seen in the draws.
  Texts TextsOf(const std::string& code) {
    Texts out;
    for (const StatRow& r : Table(code).rows) out.push_back(r.caption);
    return out;
  }
  Texts Seen(const std::string& code) {
    Texts out;
    for (const StatRow& r : Table(code).rows)
      if (r.value.Count > 0) out.push_back(r.caption + " #" + std::to_string(r.value.Count));
    return out;
  }
  int Graph(const std::string& code) {
    const int m = registry.FindByCode(code);
    EXPECT_GE(m, 0) << code;
    if (m < 0) return -1;
    auto stat = registry.CreateInstance(m);
    return dynamic_cast<TCustomGraphStat&>(*stat).GraphValueOfDraw(0, 0, false);
  }
  Texts CodesFrom(const std::string& first, size_t n) {
    Texts codes;
    for (int i = registry.FindByCode(first); i >= 0 && i < registry.Count() && codes.size() < n; ++i)
      codes.push_back(registry.CodeOf(i));
    return codes;
  }
};

TEST_F(FeatureFamilies, ChannelsOfSix) {
  Only({1, 6, 7, 30, 36});
  EXPECT_EQ(TextsOf("CHAN"), (Texts{"01 [1-6]", "02 [7-12]", "03 [13-18]", "04 [19-24]", "05 [25-30]", "06 [31-36]"}));
  EXPECT_EQ(Seen("CHAN"), (Texts{"01 [1-6] #2", "02 [7-12] #1", "05 [25-30] #1", "06 [31-36] #1"}));
  EXPECT_EQ(Seen("CHNV"), (Texts{"01 [1-6] x 2 #1", "02 [7-12] x 1 #1", "03 [13-18] x 0 #1", "04 [19-24] x 0 #1",
                                 "05 [25-30] x 1 #1", "06 [31-36] x 1 #1"}));
  EXPECT_EQ(Table("CHNV").rows.size(), 36u);  // six channels, counts 0..5
  EXPECT_EQ(Graph("CHNC"), 4);
  EXPECT_EQ(Graph("CHN1"), 2);
  EXPECT_EQ(Graph("CHN3"), 0);
  EXPECT_EQ(CodesFrom("CHN1", 7), (Texts{"CHN1", "CHN2", "CHN3", "CHN4", "CHN5", "CHN6", "COL1"}));
  EXPECT_EQ(registry.DisplayName(registry.FindByCode("CHN2"), true),
            "{ grp } Количество чисел в 2 канале [ NG ]");
  EXPECT_EQ(registry.Method(registry.FindByCode("CHN2")).cls->HelpCode(2), "CHNx");
  // "01 [1-6]" reads back as channel 1.
  auto chan = registry.CreateInstance(registry.FindByCode("CHAN"));
  EXPECT_EQ(chan->ValueFromText("01 [1-6]"), 1);
  EXPECT_EQ(chan->ValueFromText("x [1-6]"), 0);

  // All in one channel: the same pair ten times in one draw.
  Only({1, 2, 3, 4, 5});
  EXPECT_EQ(Seen("KCM2"), (Texts{"1:1 #10"}));
  EXPECT_EQ(Seen("KCS3"), (Texts{"1:1:1 #3"}));
  EXPECT_EQ(Graph("CHNC"), 1);
  EXPECT_EQ(Graph("CHN1"), 5);
  // Tuples follow the drawn order.
  Only({36, 1, 7, 2, 13});
  EXPECT_EQ(Seen("KCS2"), (Texts{"6:1 #1", "1:2 #1", "2:1 #1", "1:3 #1"}));
}

TEST_F(FeatureFamilies, ChannelsOfOtherWidths) {
  Configure(5, 6);
  Only({1, 6, 11, 16, 36});
  EXPECT_EQ(TextsOf("CHAN").size(), 8u);
  EXPECT_EQ(TextsOf("CHAN").back(), "08 [36-40]");
  EXPECT_EQ(CodesFrom("CHN1", 9).back(), "COL1");
  EXPECT_EQ(registry.CodeOf(registry.FindByCode("CHN8")), "CHN8");
  EXPECT_EQ(Graph("CHNC"), 5);
  // CHN%d offers the counts 1..width, whatever can really occur.
  EXPECT_EQ(Table("CHN1").rows.size(), 5u);  // 1..5; the draw's count 1 is one of them

  // Width 3: five channels are occupied, but only 1..3 are offered.
  Configure(3, 6);
  Only({1, 4, 7, 10, 13});
  EXPECT_EQ(TextsOf("CHNC"), (Texts{"1", "2", "3", "5"}));
  EXPECT_EQ(Table("CHNV").rows.size(), 12u * 4);  // twelve channels, counts 0..3

  // Width 36: one channel holding every number.
  Configure(36, 6);
  Only({1, 6, 11, 16, 36});
  EXPECT_EQ(TextsOf("CHAN"), (Texts{"01 [1-36]"}));
  EXPECT_EQ(Seen("CHNV"), (Texts{"01 [1-36] x 5 #1"}));
  EXPECT_EQ(registry.FindByCode("CHN2"), -1);
  EXPECT_EQ(Table("CHN1").rows.size(), 36u);
}

TEST_F(FeatureFamilies, MatrixOfSixColumns) {
  Only({1, 7, 8, 14, 36});  // columns 1 1 2 2 6, rows 1 2 2 3 6
  EXPECT_EQ(Seen("COLS"), (Texts{"1 #2", "2 #2", "6 #1"}));
  EXPECT_EQ(Seen("ROWS"), (Texts{"1 #1", "2 #2", "3 #1", "6 #1"}));
  EXPECT_EQ(Seen("COLV"), (Texts{"1 x 2 #1", "2 x 2 #1", "3 x 0 #1", "4 x 0 #1", "5 x 0 #1", "6 x 1 #1"}));
  EXPECT_EQ(Graph("COLN"), 3);
  EXPECT_EQ(Graph("ROWN"), 4);
  EXPECT_EQ(TextsOf("COLM"), (Texts{"110001 (049)"}));
  EXPECT_EQ(TextsOf("ROWM"), (Texts{"111001 (057)"}));
  EXPECT_EQ(TextsOf("COLA"), (Texts{"1 x 2", "2 x 2"}));
  EXPECT_EQ(Graph("COLC"), 2);
  EXPECT_EQ(TextsOf("ROWA"), (Texts{"2 x 2"}));
  EXPECT_EQ(Graph("ROWC"), 1);
  EXPECT_EQ(Graph("COL1"), 2);
  EXPECT_EQ(Graph("ROW2"), 2);
  auto colm = registry.CreateInstance(registry.FindByCode("COLM"));
  EXPECT_EQ(colm->ValueFromText("110001 (049)"), 49);
  EXPECT_EQ(colm->ValueFromText("11"), 48);  // past the text's end: 0
  EXPECT_EQ(colm->ValueFromText("1x1"), 40);
  EXPECT_EQ(colm->NumericValue("101001"), 41);

  // Three numbers one above the other, or two separate pairs: 1 x 3.
  Only({1, 7, 13, 20, 35});
  EXPECT_EQ(TextsOf("COLA"), (Texts{"1 x 3"}));
  Only({1, 7, 19, 25, 36});
  EXPECT_EQ(TextsOf("COLA"), (Texts{"1 x 3"}));
  EXPECT_EQ(Graph("COLC"), 1);
  // No neighbours: no zero rows for the members without candidates.
  Only({1, 3, 5, 15, 29});
  EXPECT_TRUE(TextsOf("COLA").empty());
  EXPECT_EQ(TextsOf("COLC"), (Texts{"0"}));
  EXPECT_EQ(TextsOf("COLM").size(), 1u);
  // All five in one column: the same pair ten times.
  Only({1, 7, 13, 19, 25});
  EXPECT_EQ(Seen("KFM2"), (Texts{"1:1 #10"}));
  EXPECT_EQ(Seen("KRS2"), (Texts{"1:2 #1", "2:3 #1", "3:4 #1", "4:5 #1"}));
  EXPECT_EQ(Table("ROW1").rows.size(), 6u);  // candidates 1..Cols
}

TEST_F(FeatureFamilies, MatrixOfOtherWidths) {
  Configure(6, 5);  // eight rows, the eighth holding 36 alone
  Only({1, 6, 11, 36, 35});
  EXPECT_EQ(CodesFrom("ROW1", 9), (Texts{"ROW1", "ROW2", "ROW3", "ROW4", "ROW5", "ROW6", "ROW7", "ROW8", "SGM1"}));
  EXPECT_EQ(TextsOf("ROWM"), (Texts{"11100011 (227)"}));
  auto rowm = registry.CreateInstance(registry.FindByCode("ROWM"));
  EXPECT_EQ(rowm->ValueFromText("11100011"), 227);
  EXPECT_EQ(rowm->ValueFromText("111000111"), 227);  // eight characters only
  EXPECT_EQ(Table("ROWV").rows.size(), 8u * 6);  // counts 0..5 for every row, the eighth too
  EXPECT_EQ(Graph("ROW8"), 1);

  Configure(6, 7);  // six rows, the last holding 36 alone
  Only({1, 8, 15, 36, 29});
  EXPECT_EQ(Seen("COLS"), (Texts{"1 #5"}));
  EXPECT_EQ(TextsOf("COLA"), (Texts{"1 x 4"}));  // rows 1-2, 2-3 and 5-6
  EXPECT_EQ(CodesFrom("COL1", 8).back(), "ROW1");

  // One column: 36 rows, a mask wider than 32 bits that reads back whole.
  Configure(6, 1);
  Only({1, 2, 3, 35, 36});
  const std::string text = TextsOf("ROWM").at(0);
  EXPECT_EQ(text, std::string("111") + std::string(31, '0') + "11 (" + std::to_string((7ull << 33) | 3) + ")");
  rowm = registry.CreateInstance(registry.FindByCode("ROWM"));
  EXPECT_EQ(rowm->ValueFromText(text), int64_t((7ull << 33) | 3));
  EXPECT_EQ(registry.CodeOf(registry.FindByCode("ROW36")), "ROW36");
  EXPECT_EQ(registry.FindByCode("COL2"), -1);
  EXPECT_TRUE(TextsOf("ROWA").empty());
  EXPECT_EQ(TextsOf("COLA"), (Texts{"1 x 4"}));  // 1-2, 2-3 and 35-36 touch in the column
}

TEST_F(FeatureFamilies, Segments) {
  // Every number in segment 1 by default.
  Only({1, 7, 8, 14, 36});
  EXPECT_EQ(Seen("SGMS"), (Texts{"1 #5"}));
  EXPECT_EQ(TextsOf("SGMV"), (Texts{"1 x 5"}));
  EXPECT_EQ(Graph("SGMC"), 1);
  EXPECT_EQ(Graph("SGM1"), 5);
  EXPECT_EQ(registry.FindByCode("SGM2"), -1);
  EXPECT_EQ(Seen("KGM2"), (Texts{"1:1 #10"}));

  // Numbers 1, 2, 3 in segments 1, 2, 3, the rest in 1.
  Configure(6, 6, "123");
  Only({2, 3, 10, 20, 30});
  EXPECT_EQ(TextsOf("SGMS"), (Texts{"1", "2", "3"}));
  EXPECT_EQ(TextsOf("SGMV"), (Texts{"1 x 3", "2 x 1", "3 x 1"}));
  EXPECT_EQ(Graph("SGMC"), 3);
  EXPECT_EQ(CodesFrom("SGM1", 4), (Texts{"SGM1", "SGM2", "SGM3", "GRPV"}));
  EXPECT_EQ(Seen("KGS2"), (Texts{"2:3 #1", "3:1 #1", "1:1 #2"}));

  // Only segments 2 and 5: SGM2..SGM5 all exist, 3 and 4 always count 0.
  Configure(6, 6, std::string(30, '2') + "555555");
  Only({1, 2, 31, 32, 33});
  EXPECT_EQ(CodesFrom("SGM2", 5), (Texts{"SGM2", "SGM3", "SGM4", "SGM5", "GRPV"}));
  EXPECT_EQ(registry.FindByCode("SGM1"), -1);
  EXPECT_EQ(Graph("SGM3"), 0);
  EXPECT_EQ(Graph("SGM5"), 3);
  EXPECT_EQ(TextsOf("SGMV"), (Texts{"2 x 2", "5 x 3"}));

  // The first number in segment 4: candidates and entries in the order met.
  Configure(6, 6, "4");
  Only({1, 2, 3, 4, 5});
  EXPECT_EQ(TextsOf("SGMS"), (Texts{"4", "1"}));
  EXPECT_EQ(TextsOf("SGMV"), (Texts{"4 x 1", "1 x 4"}));
}

TEST_F(FeatureFamilies, NumbersOutsideTheRangeHaveNoFeature) {
  // A damaged archive byte: no channel, column, row or segment, no crash.
  Only({0, 7, 8, 200, 36});
  EXPECT_EQ(Seen("CHAN"), (Texts{"02 [7-12] #2", "06 [31-36] #1"}));
  EXPECT_EQ(Graph("CHNC"), 2);
  EXPECT_EQ(TextsOf("COLM"), (Texts{"110001 (049)"}));
  EXPECT_EQ(Seen("SGMS"), (Texts{"1 #3"}));
  EXPECT_EQ(TextsOf("SGMV"), (Texts{"1 x 3"}));
  EXPECT_EQ(Seen("KCS2"), (Texts{"0:2 #1", "2:2 #1", "2:0 #1", "0:6 #1"}));
}

}  // namespace
}  // namespace px
