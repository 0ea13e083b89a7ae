#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "combs/combination_set.h"
#include "core/env.h"
#include "stats/filter.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"

namespace px {
namespace {

using Texts = std::vector<std::string>;

// Ascending numbers with the given sum: the top numbers are raised first.
Combination WithSum(int s) {
  Combination c{1, 2, 3, 4, 5};
  for (int i = 4, extra = s - kMinSum; i >= 0 && extra > 0; --i) {
    const int add = std::min(extra, 32 + i - int(c[size_t(i)]));
    c[size_t(i)] = uint8_t(c[size_t(i)] + add);
    extra -= add;
  }
  return c;
}

// The expectation of a sum filter, by walking the whole set.
int CountFull(const std::function<bool(int sum)>& pred) {
  int n = 0;
  for (const Combination& c : FullSet()) n += pred(c[0] + c[1] + c[2] + c[3] + c[4]) ? 1 : 0;
  return n;
}

class SumFamily : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.SetDraws(&archive);
    registry.Fill();
  }
  void AddSums(std::initializer_list<int> sums) {
    for (int s : sums) archive.Append(test::Draw(archive.Count() + 1, WithSum(s)));
  }
  StatTable Table(const std::string& code, int offset = 0, int length = 1000) {
    return ComputeStatTable(registry, registry.FindByCode(code), StatTableParams{offset, length, false, '.'}, nullptr);
  }
  static Texts TextsOf(const StatTable& t) {
    Texts out;
    for (const StatRow& r : t.rows) out.push_back(r.caption);
    return out;
  }
  static StatValue Row(const StatTable& t, const std::string& text) {
    for (const StatRow& r : t.rows)
      if (r.caption == text) return r.value;
    StatValue missing;
    missing.Count = -1;
    return missing;
  }
  std::unique_ptr<TCustomStat> Make(const std::string& code) {
    return registry.CreateInstance(registry.FindByCode(code));
  }
  int Graph(const std::string& code, int index) {
    return dynamic_cast<TCustomGraphStat&>(*Make(code)).GraphValueOfDraw(index, index, false);
  }
  // The full set filtered by the table rows with these texts.
  int Apply(const std::string& code, const Texts& texts, FilterMode mode, int offset = 0) {
    const StatTable t = Table(code, offset);
    std::vector<int> rows;
    for (size_t r = 0; r < t.rows.size(); ++r)
      if (std::count(texts.begin(), texts.end(), t.rows[r].caption)) rows.push_back(int(r));
    EXPECT_EQ(rows.size(), texts.size()) << code;
    CombinationSet set;
    set.Init(kCapacity);
    GenerateSet(set, Env::Real(), true, 0, "");
    return KeepOrRemove(set, *Make(code), SelectRows(t.rows, rows), mode, FilterLastIndex(archive, offset), false,
                        code, nullptr);
  }

  DrawArchive archive;
  TStatList registry;
};

TEST_F(SumFamily, SumsAndRanges) {
  AddSums({100});
  const StatTable sums = Table("SUMS");
  ASSERT_EQ(sums.rows.size(), 156u);  // 15..170
  EXPECT_EQ(sums.rows.front().caption, "15");
  EXPECT_EQ(sums.rows.back().caption, "170");
  EXPECT_EQ(Row(sums, "100").Count, 1);
  EXPECT_EQ(Row(sums, "101").Count, 0);

  // Ranges 1 = 59..127, 2 = 66..119, 3 = 72..113.
  const struct { int sum, in1, in2, in3; } cases[] = {
      {58, 0, 0, 0},  {59, 1, 0, 0},  {65, 1, 0, 0},  {66, 1, 1, 0},  {71, 1, 1, 0},   {72, 1, 1, 1},
      {113, 1, 1, 1}, {114, 1, 1, 0}, {119, 1, 1, 0}, {120, 1, 0, 0}, {127, 1, 0, 0}, {128, 0, 0, 0}};
  auto sum1 = Make("SUM1"), sum2 = Make("SUM2"), sum3 = Make("SUM3");
  for (const auto& k : cases) {
    const Combination c = WithSum(k.sum);
    ASSERT_EQ(c[0] + c[1] + c[2] + c[3] + c[4], k.sum);
    EXPECT_EQ(dynamic_cast<TCustomGraphStat&>(*sum1).GraphValue(c, 0, 0, false), k.in1) << k.sum;
    EXPECT_EQ(dynamic_cast<TCustomGraphStat&>(*sum2).GraphValue(c, 0, 0, false), k.in2) << k.sum;
    EXPECT_EQ(dynamic_cast<TCustomGraphStat&>(*sum3).GraphValue(c, 0, 0, false), k.in3) << k.sum;
  }
  EXPECT_EQ(sum1->Title(), "Сумма тиража: диапазон 1 (1/3)");
  EXPECT_EQ(sum2->Title(), "Сумма тиража: диапазон 2 (1/2)");
  EXPECT_EQ(sum3->Title(), "Сумма тиража: диапазон 3 (2/3)");
  EXPECT_EQ(TextsOf(Table("SUM1")), (Texts{"Остальные", "59-127"}));
  EXPECT_EQ(Row(Table("SUM3"), "72-113").Count, 1);

  const int in1 = CountFull([](int s) { return s >= 59 && s <= 127; });
  EXPECT_EQ(Apply("SUM1", {"Остальные", "59-127"}, FilterMode::KeepSelected), in1);
  EXPECT_EQ(Apply("SUM1", {"Остальные"}, FilterMode::KeepSelected), kCapacity - in1);
  EXPECT_EQ(Apply("SUM1", {"59-127"}, FilterMode::RemoveSelected), kCapacity - in1);
}

TEST_F(SumFamily, ExactChangeAndTrend) {
  // Out of 100 (the last draw's sum): 100->95 at draws 2 and 8, 100->107 at
  // draw 4; 80->90, 90->100 and 95->100 start elsewhere.
  AddSums({100, 95, 100, 107, 80, 90, 100, 95, 100});
  const StatTable t = Table("SUMC");
  EXPECT_EQ(TextsOf(t), (Texts{"- 05 : 100 - 5 = 95", "+07 : 100 + 7 = 107"}));
  const StatValue down = Row(t, "- 05 : 100 - 5 = 95");
  EXPECT_EQ(down.Count, 2);
  EXPECT_EQ(down.Depth, 2);
  EXPECT_EQ(down.PeriodMin, 6);
  EXPECT_EQ(Graph("SUMC", 3), 7);  // 107 - 100
  // The kept sum is the new sum of a selected move.
  EXPECT_EQ(Apply("SUMC", {"- 05 : 100 - 5 = 95"}, FilterMode::KeepSelected), CountFull([](int s) { return s == 95; }));

  const StatTable trend = Table("SUMT");
  ASSERT_EQ(TextsOf(trend), (Texts{"=", "+", "-"}));  // candidates 0, 1, -1
  EXPECT_EQ(Row(trend, "=").Count, 0);
  EXPECT_EQ(Row(trend, "+").Count, 1);
  EXPECT_EQ(Row(trend, "-").Count, 2);
  EXPECT_EQ(Graph("SUMT", 4), -1);  // 107 -> 80
  EXPECT_EQ(Apply("SUMT", {"+"}, FilterMode::KeepSelected), CountFull([](int s) { return s > 100; }));
  // Three draws back the reference is index 5 with the sum 90.
  EXPECT_EQ(Apply("SUMT", {"="}, FilterMode::KeepSelected, 3), CountFull([](int s) { return s == 90; }));

  archive.Clear();
  AddSums({90, 95, 100});  // no earlier draw with the sum 100
  EXPECT_TRUE(Table("SUMC").rows.empty());
}

TEST_F(SumFamily, ChangeWithinAStepOfTheLastSum) {
  // The last sum is 100, so moves out of 85..115 count. Indexes:
  // 0:85 1:92 (+07) 2:84 (-08 out of 92) 3:72 (84 is out) 4:115 (72 is out)
  // 5:103 (-12) 6:116 (+13 out of 103) 7:100 (116 is out) 8:100 (+00) 9:100 (+00).
  AddSums({85, 92, 84, 72, 115, 103, 116, 100, 100, 100});
  const StatTable t = Table("SUMV");
  EXPECT_EQ(TextsOf(t), (Texts{"+07", "- 08", "- 12", "+13", "+00"}));
  EXPECT_EQ(Row(t, "+00").Count, 2);
  EXPECT_EQ(Row(t, "+00").Depth, 1);
  // Against 100: +07 and -12 keep the sums 107 and 88.
  EXPECT_EQ(Apply("SUMV", {"+07", "- 12"}, FilterMode::KeepSelected),
            CountFull([](int s) { return s == 107 || s == 88; }));
  // Four draws back the reference is index 5 (103), which sees moves out of
  // 88..118 only; -08 then keeps the sum 95.
  EXPECT_EQ(TextsOf(Table("SUMV", 4)), (Texts{"- 08", "- 12"}));
  EXPECT_EQ(Apply("SUMV", {"- 08"}, FilterMode::KeepSelected, 4), CountFull([](int s) { return s == 95; }));
}

TEST_F(SumFamily, OldestDrawHasNoMove) {
  // With the last sum 15 a zero record before the oldest draw (sum 0) would
  // lie within a step and add +20.
  AddSums({20, 15});
  EXPECT_EQ(TextsOf(Table("SUMV")), (Texts{"- 05"}));
  EXPECT_EQ(Graph("SUMC", 0), 0);
  EXPECT_EQ(Graph("SUMT", 0), 0);
  EXPECT_EQ(Graph("SUMT", 1), -1);

  // The window's first draw still looks back past the window: over the last
  // two draws, 100->107 counts through the draw outside.
  archive.Clear();
  AddSums({100, 107, 100});
  EXPECT_EQ(TextsOf(Table("SUMC", 0, 2)), (Texts{"+07 : 100 + 7 = 107"}));
  EXPECT_EQ(Row(Table("SUMT", 0, 2), "+").Count, 1);
  EXPECT_EQ(TextsOf(Table("SUMV", 0, 2)), (Texts{"+07", "- 07"}));
}

TEST_F(SumFamily, PartialSumsAndTwoMakeAThird) {
  auto value = [&](const std::string& code, const Combination& c) {
    return dynamic_cast<TCustomGraphStat&>(*Make(code)).GraphValue(c, 0, 0, false);
  };
  EXPECT_EQ(value("S2T3", {1, 2, 3, 4, 5}), 4);  // 1+2=3, 1+3=4, 1+4=5, 2+3=5
  EXPECT_EQ(value("S2T3", {5, 1, 4, 9, 13}), 3);  // 1+4=5, 4+5=9, 4+9=13 in any order
  EXPECT_EQ(value("SUME", {1, 3, 5, 7, 9}), 0);
  EXPECT_EQ(value("SUMP", {1, 4, 6, 8, 9}), 1);  // 1 counts as prime

  archive.Append(test::Draw(1, {1, 3, 5, 7, 9}));
  EXPECT_EQ(TextsOf(Table("SUME")), (Texts{"0"}));  // no candidates
  EXPECT_EQ(Apply("SUME", {"0"}, FilterMode::KeepSelected), 8568);  // odd numbers only: C(18,5)
  EXPECT_EQ(Apply("SUMS", {"16"}, FilterMode::KeepSelected), 1);  // only 1 2 3 4 6
}

}  // namespace
}  // namespace px
