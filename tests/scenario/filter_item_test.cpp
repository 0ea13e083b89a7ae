#include "scenario/filter_item.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "core/archive.h"
#include "stats/stat_list.h"

namespace px::test {
namespace {

TEST(FilterItem, DefaultsAreAnAbsentFilterSortedByCount) {
  const TFilterItem item;
  EXPECT_FALSE(item.defined);
  EXPECT_TRUE(item.statText.empty());
  EXPECT_TRUE(item.statCode.empty());
  EXPECT_TRUE(item.drawCounts.empty());
  EXPECT_EQ(item.sortColumn, 1);
  EXPECT_FALSE(item.bottomUp);
  EXPECT_FALSE(item.multiSelect);
  EXPECT_FALSE(item.keepSelected);
  EXPECT_EQ(item.conditionMode, 0);
  EXPECT_TRUE(item.conditionValues.empty());
  EXPECT_FALSE(item.weightOverride);
  EXPECT_EQ(item.coefCount, 0.0L);
  EXPECT_EQ(item.coefDeviation, 0.0L);
  EXPECT_EQ(item.coefDepth, 0.0L);
  EXPECT_FALSE(item.usePercents);
  EXPECT_FALSE(item.useAbs);
  EXPECT_EQ(item.stopMode, 0);
  EXPECT_EQ(item.stopValue, 1);
}

TEST(FilterItem, EqualitySeesEveryField) {
  TFilterItem a;
  TFilterItem b;
  EXPECT_EQ(a, b);
  b.coefDepth = 0.001L;
  EXPECT_NE(a, b);
  b = a;
  b.statText = "NUMS:10";
  EXPECT_NE(a, b);
}

TEST(FilterItem, ConditionModeTablesInOrder) {
  const auto& texts = ConditionModeTexts();
  const auto& codes = ConditionModeCodes();
  ASSERT_EQ(texts.size(), 32u);
  ASSERT_EQ(codes.size(), 32u);
  EXPECT_STREQ(texts[0], "Весь список (без условий)");
  EXPECT_STREQ(texts[1], "\"Глубина\": не менее заданного значения");
  EXPECT_STREQ(texts[18], "\"Количество\": из заданного списка процентов");
  EXPECT_STREQ(texts[19], "\"Вес\": не менее заданного значения");
  EXPECT_STREQ(texts[21], "\"Вес\": из заданного списка значений");
  EXPECT_STREQ(texts[24], "\"Период min\": из заданного списка значений");
  EXPECT_STREQ(texts[31], "\"Значения\": из заданного списка значений");
  EXPECT_STREQ(codes[0], "LNO");
  EXPECT_STREQ(codes[13], "CMV");
  EXPECT_STREQ(codes[19], "WMV");
  EXPECT_STREQ(codes[31], "LVA");
  std::set<std::string> distinctTexts(texts.begin(), texts.end());
  std::set<std::string> distinctCodes(codes.begin(), codes.end());
  EXPECT_EQ(distinctTexts.size(), 32u);
  EXPECT_EQ(distinctCodes.size(), 32u);
}

TEST(FilterItem, WeightModesAreTheWeightTexts) {
  for (int m = 0; m < kConditionModes; ++m) {
    const bool weight = m >= kConditionWeightFirst && m <= kConditionWeightLast;
    EXPECT_EQ(std::strncmp(ConditionModeTexts()[size_t(m)], "\"Вес\"", std::strlen("\"Вес\"")) == 0, weight) << m;
  }
  EXPECT_STREQ(ConditionModeCodes()[kConditionValueList], "LVA");
}

TEST(FilterItem, StopModeTablesInOrder) {
  const auto& texts = StopModeTexts();
  const auto& codes = StopModeCodes();
  ASSERT_EQ(texts.size(), 7u);
  ASSERT_EQ(codes.size(), 7u);
  EXPECT_STREQ(texts[0], "Обработать все записи");
  EXPECT_STREQ(texts[kStopByCombinations], "Количеству оставшихся комбинаций");
  EXPECT_STREQ(texts[kStopByNumbers], "Количеству оставшихся чисел для расширенной ставки");
  EXPECT_STREQ(texts[6], "Процентному соотношению в списке статистики");
  EXPECT_STREQ(codes[0], "SF");
  EXPECT_STREQ(codes[3], "SZ");
  EXPECT_STREQ(codes[6], "SP");
}

TEST(FilterItem, StatisticResolvesByCodeIgnoringCase) {
  DrawArchive a;
  TStatList r;
  r.SetDraws(&a);
  r.Fill();
  TFilterItem item;
  EXPECT_EQ(StatMethodOf(item, r), -1);
  item.statCode = "nums";
  const int nums = StatMethodOf(item, r);
  ASSERT_GE(nums, 0);
  EXPECT_EQ(r.CodeOf(nums), "NUMS");
  item.statCode = "NOSUCHSTAT";
  EXPECT_EQ(StatMethodOf(item, r), -1);
}

}  // namespace
}  // namespace px::test
