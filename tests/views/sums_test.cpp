#include "views/sums.h"

#include <gtest/gtest.h>

#include <map>

#include "core/archive.h"
#include "support/draws.h"

namespace px {
namespace {

// Every five of 1..36 by five loops, counted by sum.
std::map<int, int32_t> SumsByLoops() {
  std::map<int, int32_t> sums;
  for (int a = 1; a <= 32; ++a)
    for (int b = a + 1; b <= 33; ++b)
      for (int c = b + 1; c <= 34; ++c)
        for (int d = c + 1; d <= 35; ++d)
          for (int e = d + 1; e <= 36; ++e) ++sums[a + b + c + d + e];
  return sums;
}

TEST(Sums, TheCountsOverAllCombinationsAndTheLevelsOfThisGame) {
  const std::map<int, int32_t> loops = SumsByLoops();
  const std::vector<SumCount> theory = CombinationSums();
  ASSERT_EQ(theory.size(), loops.size());
  size_t i = 0;
  int64_t total = 0;
  for (const auto& [sum, count] : loops) {
    EXPECT_EQ(theory[i], (SumCount{sum, count}));
    total += theory[i++].count;
  }
  EXPECT_EQ(total, 376992);

  const SumsTables t = ComputeSums(DrawArchive{});
  EXPECT_EQ(t.theory, theory);
  ASSERT_EQ(t.theory.size(), 156u);
  EXPECT_EQ(t.theory.front().sum, 15);
  EXPECT_EQ(t.theory.back().sum, 170);
  EXPECT_EQ(t.maxT, 6660);
  EXPECT_EQ(t.minT, 1);
  std::vector<int> tallest;
  for (const SumCount& s : t.theory)
    if (s.count == t.maxT) tallest.push_back(s.sum);
  EXPECT_EQ(tallest, (std::vector<int>{92, 93}));
  EXPECT_EQ(t.levels[0].level, 2221);
  EXPECT_EQ(t.levels[1].level, 3331);
  EXPECT_EQ(t.levels[2].level, 4441);
  EXPECT_EQ(SumLevelTitle(0, t.levels[0]), "Диапазон 1 (от 1/3 и выше по оси Y) - суммы 59-126");
  EXPECT_EQ(SumLevelTitle(1, t.levels[1]), "Диапазон 2 (от 1/2 и выше по оси Y) - суммы 66-119");
  EXPECT_EQ(SumLevelTitle(2, t.levels[2]), "Диапазон 3 (от 2/3 и выше по оси Y) - суммы 72-113");
  // Each range is exactly the sums that reach its level.
  for (const SumLevel& l : t.levels)
    for (const SumCount& s : t.theory) EXPECT_EQ(s.count >= l.level, s.sum >= l.lo && s.sum <= l.hi) << s.sum;

  // No archive: nothing actual, and the theory is drawn at height 0.
  EXPECT_TRUE(t.actual.empty());
  EXPECT_EQ(t.maxA, 0);
  EXPECT_EQ(t.Scaled(t.maxT), 0.0);
}

TEST(Sums, OneDrawOfSum100PutsTheTheoryPeakAtOne) {
  DrawArchive a;
  a.Append(test::Draw(7, {30, 10, 20, 25, 15}));
  const SumsTables t = ComputeSums(a);
  EXPECT_EQ(t.actual, (std::vector<SumCount>{{100, 1}}));
  EXPECT_EQ(t.maxA, 1);
  for (const SumCount& s : t.theory) {
    const double y = t.Scaled(s.count);
    if (s.sum == 92 || s.sum == 93)
      EXPECT_DOUBLE_EQ(y, 1.0);
    else
      EXPECT_LT(y, 1.0) << s.sum;
  }
  EXPECT_DOUBLE_EQ(t.Scaled(t.levels[1].level), 3331.0 / 6660.0);
}

TEST(Sums, TheArchiveCountsEverySumItHoldsAscendingDamagedOnesToo) {
  DrawArchive a;
  a.Append(test::Draw(1, {1, 2, 3, 4, 5}));       // 15
  a.Append(test::Draw(2, {32, 33, 34, 35, 36}));  // 170
  a.Append(test::Draw(3, {5, 4, 3, 2, 1}));       // 15
  a.Append(test::Draw(4, {1, 2, 0, 0, 0}));       // 3, damaged
  a.Append(test::Draw(5, {10, 20, 30, 31, 9}));   // 100
  const SumsTables t = ComputeSums(a);
  EXPECT_EQ(t.actual, (std::vector<SumCount>{{3, 1}, {15, 2}, {100, 1}, {170, 1}}));
  EXPECT_EQ(t.maxA, 2);
  // The theory keeps its own sums and levels whatever the archive holds.
  EXPECT_EQ(t.theory.size(), 156u);
  EXPECT_EQ(t.levels[2].lo, 72);
  EXPECT_DOUBLE_EQ(t.Scaled(t.maxT), 2.0);
}

TEST(Sums, ALevelNoSumReachesHasNoRange) {
  SumLevel none{7000, 0, 0};
  EXPECT_EQ(SumLevelTitle(1, none), "Диапазон 2 (от 1/2 и выше по оси Y) - суммы 0-0");
}

}  // namespace
}  // namespace px
