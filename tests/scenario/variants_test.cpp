#include "scenario/variants.h"

#include <gtest/gtest.h>

#include <new>

#include "core/errors.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"

namespace px {
namespace {

LineVariants Generate(const std::string& text, const TStatList& registry) {
  LineVariants lv;
  lv.filters = PrepareFilters(ParseLine(text, registry));
  GenerateVariants(lv, nullptr);
  return lv;
}

std::vector<std::string> Texts(const LineVariants& lv) {
  std::vector<std::string> out;
  for (const TFilterVar& v : lv.variants) out.push_back(VariantText(lv, v));
  return out;
}

TEST(ScenarioVariants, WindowsAndThresholdValuesCombineInOrder) {
  TStatList registry;
  registry.Fill();
  const LineVariants lv = Generate("FULL:0#EXT|TSD1#NUMS:10-30;10#CMV:1-3;1#SF:1| | | | | | |", registry);
  EXPECT_EQ(Texts(lv), (std::vector<std::string>{
                           "TSD#NUMS:10#CMV:1#SF:1", "TSD#NUMS:10#CMV:2#SF:1", "TSD#NUMS:10#CMV:3#SF:1",
                           "TSD#NUMS:20#CMV:1#SF:1", "TSD#NUMS:20#CMV:2#SF:1", "TSD#NUMS:20#CMV:3#SF:1",
                           "TSD#NUMS:30#CMV:1#SF:1", "TSD#NUMS:30#CMV:2#SF:1", "TSD#NUMS:30#CMV:3#SF:1"}));
  EXPECT_EQ(PartConditionValue(lv.filters[0], lv.variants[4].parts[0]), "2");

  // A list mode makes one part per window; its value is the list written out.
  const LineVariants list = Generate("FULL:0#EXT|BMF2#NUMS:5,7#CDV:1-5;2#ST:3| | | | | | |", registry);
  ASSERT_EQ(list.variants.size(), 2u);
  EXPECT_EQ(PartConditionValue(list.filters[0], list.variants[0].parts[0]), "1,3,5");
  EXPECT_EQ(PartValueText(list.filters[0], list.variants[1].parts[0]), "1-5;2");
  EXPECT_EQ(VariantText(list, list.variants[1]), "BMF#NUMS:7#CDV:1-5;2#ST:3");

  // Two filters: the last one varies fastest; empty fields are left out.
  const LineVariants two =
      Generate("FULL:0#EXT|TSD1#NUMS:10,20#LNO:#SF:1| |TSF1#EVEN:5#WMV:1,2#SZ:1| | | | |", registry);
  EXPECT_EQ(VariantCount(two.filters), 4u);
  EXPECT_EQ(Texts(two), (std::vector<std::string>{
                            "TSD#NUMS:10#LNO:#SF:1 + TSF#EVEN:5#WMV:1#SZ:1", "TSD#NUMS:10#LNO:#SF:1 + TSF#EVEN:5#WMV:2#SZ:1",
                            "TSD#NUMS:20#LNO:#SF:1 + TSF#EVEN:5#WMV:1#SZ:1",
                            "TSD#NUMS:20#LNO:#SF:1 + TSF#EVEN:5#WMV:2#SZ:1"}));

  // Weights are shown when the filter overrides them.
  const LineVariants weighted = Generate("FULL:0#EXT|TSD1#NUMS:10#LNO:#SF:1#1.5:-1:0.25:1:0| | | | | | |", registry);
  EXPECT_EQ(Texts(weighted), std::vector<std::string>{"TSD#NUMS:10#LNO:#SF:1#1.5:-1:0.25:1:0"});
  // No filters, no variants.
  EXPECT_TRUE(Generate("FULL:0#EXT| | | | | | | |", registry).variants.empty());
}

TEST(ScenarioVariants, BadDescriptorsAndTooManyVariantsFail) {
  TStatList registry;
  registry.Fill();
  EXPECT_EQ(test::ErrorText([&] { Generate("FULL:0#EXT|TSD1#NUMS:#LNO:#SF:1| | | | | | |", registry); }),
            "Некорректное описание фильтра: TSD1#NUMS:#LNO:#SF:1!");
  EXPECT_EQ(test::ErrorText([&] { Generate("FULL:0#EXT|TSD1#NUMS:10#CMV:x#SF:1| | | | | | |", registry); }),
            "Некорректное описание фильтра: TSD1#NUMS:10#CMV:x#SF:1!");
  // Mode 0 needs no values.
  EXPECT_EQ(Generate("FULL:0#EXT|TSD1#NUMS:10#LNO:#SF:1| | | | | | |", registry).variants.size(), 1u);

  LineVariants huge;
  huge.filters = PrepareFilters(ParseLine(
      "FULL:0#EXT|TSD1#NUMS:1-1000;1#LNO:#SF:1|TSD1#NUMS:1-1000;1#LNO:#SF:1|TSD1#NUMS:1-1000;1#LNO:#SF:1| | | | |",
      registry));
  EXPECT_EQ(VariantCount(huge.filters), 1000000000u);
  EXPECT_THROW(GenerateVariants(huge, nullptr), std::bad_alloc);

  // Progress every 1000 variants; false stops the generation there.
  LineVariants many;
  many.filters = PrepareFilters(ParseLine("FULL:0#EXT|TSD1#NUMS:1-50;1#LNO:#SF:1|TSD1#NUMS:1-100;1#LNO:#SF:1| | | | | |",
                                          registry));
  std::vector<size_t> seen;
  GenerateVariants(many, [&](size_t n) {
    seen.push_back(n);
    return n < 3000;
  });
  EXPECT_EQ(seen, (std::vector<size_t>{1000, 2000, 3000}));
  EXPECT_EQ(many.variants.size(), 3000u);
}

TEST(ScenarioVariants, StakeCommentsAndOptions) {
  ScenarioOptions o;
  o.listSource = uint8_t(ListSource::Exclude);
  o.excludeDraws = 3;
  o.stakeMode = uint8_t(StakeMode::Random);
  o.clearStakes = true;
  EXPECT_EQ(OptionsDescription(o), "EXCL:3#RAND");
  EXPECT_EQ(StakeComment(3, 12, "weekly", OptionsDescription(o) + " + TSD#NUMS:10#CMV:2#SF:1"),
            "03.012: weekly @ EXCL:3#RAND + TSD#NUMS:10#CMV:2#SF:1");
  o = ScenarioOptions{};
  o.newOnly = true;
  EXPECT_EQ(OptionsDescription(o), "FULL#EXT#NEX");
  EXPECT_EQ(StakeComment(2, 0, "", OptionsDescription(o)), "02.000: @ FULL#EXT#NEX");

  // 255 letters at most, counted as letters so a Cyrillic one is never cut in two.
  const std::string longComment(300, 'x');
  EXPECT_EQ(StakeComment(1, 1, longComment, "FULL#EXT"), ("01.001: " + longComment).substr(0, 255));
  std::string cyr;
  for (int i = 0; i < 300; ++i) cyr += "ж";
  const std::string cut = StakeComment(1, 1, cyr, "FULL#EXT");
  EXPECT_EQ(cut, "01.001: " + cyr.substr(0, 2 * (255 - 8)));
}

// Count as given, "Кол-во в %" 1,50000, no comparison, depth 4 (40,00 %),
// weight 2,25, periods 2, 3,5000 and 9; the caption "7" is worth 7.
StatRow Row(const StatCell& count, long double countPct = 1.5, long double weight = 2.25) {
  StatRow r;
  r.SetCaption("7");
  r.numValue = 7;
  r.cells[kColCount] = count;
  r.cells[kColCountPct] = StatCell::Fixed(countPct, 5, ',');
  r.cells[kColDepth] = StatCell::Whole(4);
  r.cells[kColDepthPct] = StatCell::Fixed(40, 2, ',');
  r.cells[kColWeight] = StatCell::Fixed(weight, 2, ',');
  r.cells[kColPeriodMin] = StatCell::Whole(2);
  r.cells[kColPeriod] = StatCell::Fixed(3.5, 4, ',');
  r.cells[kColPeriodMax] = StatCell::Whole(9);
  return r;
}

TEST(ScenarioVariants, RowConditions) {
  const StatRow r = Row(StatCell::Whole(12));
  EXPECT_TRUE(RowCondition(ConditionMode::CountAtLeast, "12").Holds(r));   // count >= 12
  EXPECT_FALSE(RowCondition(ConditionMode::CountAtLeast, "13").Holds(r));
  EXPECT_TRUE(RowCondition(ConditionMode::CountAtMost, "12").Holds(r));   // 12 >= count
  EXPECT_FALSE(RowCondition(ConditionMode::CountAtMost, "11").Holds(r));
  EXPECT_TRUE(RowCondition(ConditionMode::CountPctAtLeast, "1").Holds(r));    // count % >= 1
  EXPECT_FALSE(RowCondition(ConditionMode::CountPctAtMost, "1").Holds(r));   // count % <= 1
  EXPECT_TRUE(RowCondition(ConditionMode::CountInList, "3,12,40").Holds(r));
  EXPECT_FALSE(RowCondition(ConditionMode::CountInList, "3,40").Holds(r));
  EXPECT_TRUE(RowCondition(ConditionMode::CountPctInList, "1.5;2").Holds(r));  // decimals compare as numbers
  EXPECT_TRUE(RowCondition(ConditionMode::DepthAtLeast, "4").Holds(r));     // depth
  EXPECT_TRUE(RowCondition(ConditionMode::DepthPctAtMost, "40").Holds(r));    // depth % <= 40
  // A deviation without the comparison is no number: the defaults decide.
  EXPECT_TRUE(RowCondition(ConditionMode::DeviationAtLeast, "0").Holds(r));     // int("-", 0) >= 0
  EXPECT_TRUE(RowCondition(ConditionMode::DeviationAtMost, "65535").Holds(r)); // 65535 >= int("-", 65535)
  EXPECT_FALSE(RowCondition(ConditionMode::DeviationAtMost, "65534").Holds(r));
  EXPECT_THROW(RowCondition(ConditionMode::DeviationInList, "1,2").Holds(r), Error);  // "-" in a list test
  EXPECT_TRUE(RowCondition(ConditionMode::WeightAtLeast, "2").Holds(r));
  EXPECT_FALSE(RowCondition(ConditionMode::WeightAtMost, "2").Holds(r));
  EXPECT_TRUE(RowCondition(ConditionMode::PeriodMinAtLeast, "2").Holds(r));
  EXPECT_TRUE(RowCondition(ConditionMode::PeriodMinAtMost, "2").Holds(r));
  EXPECT_TRUE(RowCondition(ConditionMode::PeriodMinInList, "5,2").Holds(r));
  EXPECT_TRUE(RowCondition(ConditionMode::PeriodAtMost, "4").Holds(r));    // period 3.5 <= 4
  EXPECT_TRUE(RowCondition(ConditionMode::PeriodMaxAtLeast, "9").Holds(r));
  EXPECT_FALSE(RowCondition(ConditionMode::PeriodMaxAtMost, "8").Holds(r));
  EXPECT_TRUE(RowCondition(ConditionMode::ValueInList, "1,7").Holds(r));
  EXPECT_FALSE(RowCondition(ConditionMode::ValueInList, "1,8").Holds(r));
  EXPECT_THROW(RowCondition(ConditionMode::ValueInList, "1,x").Holds(r), Error);
  EXPECT_TRUE(RowCondition(ConditionMode::ValueInList, "7,x").Holds(r));  // the list is read in order up to a match
  EXPECT_TRUE(RowCondition(ConditionMode::None, "").Holds(r));
  EXPECT_TRUE(RowCondition(ConditionMode(40), "").Holds(r));
}

TEST(ScenarioVariants, StopConditions) {
  WalkState w;
  w.step = 2;
  w.count = 10;
  w.distinct = 9;
  w.maxStake = 10;
  const StatRow r = Row(StatCell::Whole(12), 3.25);
  EXPECT_FALSE(StopBeforeRow(StopMode::AllRows, 1, false, false, w, r));
  EXPECT_TRUE(StopBeforeRow(StopMode::Combinations, 10, false, false, w, r));
  EXPECT_FALSE(StopBeforeRow(StopMode::Combinations, 10, true, false, w, r));   // multiple selection ignores SC
  EXPECT_FALSE(StopBeforeRow(StopMode::Combinations, 9, false, false, w, r));
  EXPECT_TRUE(StopBeforeRow(StopMode::Numbers, 9, false, false, w, r));    // d <= s
  EXPECT_FALSE(StopBeforeRow(StopMode::Numbers, 8, false, false, w, r));
  EXPECT_TRUE(StopBeforeRow(StopMode::Numbers, 20, false, false, w, r));   // s beyond MaxStake: d <= m
  EXPECT_FALSE(StopBeforeRow(StopMode::Numbers, 3, false, false, WalkState{0, 10, 11, 10}, r));
  EXPECT_TRUE(StopBeforeRow(StopMode::Numbers, 3, false, false, WalkState{0, 1, 30, 10}, r));  // one left
  EXPECT_FALSE(StopBeforeRow(StopMode::UntilEmpty, 1, false, false, w, r));   // SZ acts after a step
  EXPECT_TRUE(StopBeforeRow(StopMode::Steps, 2, true, false, w, r));
  EXPECT_FALSE(StopBeforeRow(StopMode::Steps, 3, true, false, w, r));
  EXPECT_TRUE(StopBeforeRow(StopMode::Count, 12, false, false, w, r));   // top-down: count <= s
  EXPECT_FALSE(StopBeforeRow(StopMode::Count, 11, false, false, w, r));
  EXPECT_TRUE(StopBeforeRow(StopMode::Count, 11, false, true, w, r));    // bottom-up: count >= s
  EXPECT_TRUE(StopBeforeRow(StopMode::CountPct, 3, false, true, w, r));
  EXPECT_FALSE(StopBeforeRow(StopMode::CountPct, 3, false, false, w, r));
  EXPECT_TRUE(StopBeforeRow(StopMode::Count, 0, false, false, w, Row(StatCell{})));  // "-" reads 0
}

}  // namespace
}  // namespace px
