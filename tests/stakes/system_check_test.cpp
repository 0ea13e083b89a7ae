#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "core/arith.h"
#include "core/errors.h"
#include "stakes/stake_store.h"
#include "stakes/system_check.h"

namespace px {
namespace {

int64_t C(int n, int r) {
  if (r < 0 || r > n) return 0;
  int64_t c = 1;
  for (int i = 1; i <= r; ++i) c = c * (n - r + i) / i;
  return c;
}

std::vector<SystemLine> RandomSystem(std::mt19937& rng, int k, int n) {
  std::vector<SystemLine> lines;
  std::vector<uint8_t> positions(static_cast<size_t>(k), 0);
  for (int i = 0; i < k; ++i) positions[size_t(i)] = uint8_t(i + 1);
  for (int i = 0; i < n; ++i) {
    std::shuffle(positions.begin(), positions.end(), rng);
    lines.push_back({positions[0], positions[1], positions[2], positions[3], positions[4]});
  }
  return lines;
}

int Overlap(const SystemLine& line, const std::vector<int>& numbers) {
  int shared = 0;
  for (uint8_t p : line) shared += std::count(numbers.begin(), numbers.end(), int(p)) > 0;
  return shared;
}

// The answer counted the slow way: every subset of the k positions, every
// draw of the 376,992, every line.
struct Brute {
  std::array<std::array<int64_t, 6>, 6> bestBySize{};
  std::array<int64_t, 6> bestDraws{}, pairs{};
};

Brute Count(const std::vector<SystemLine>& lines, int k) {
  Brute b;
  for (uint32_t mask = 0; mask < (1u << k); ++mask) {
    std::vector<int> subset;
    for (int p = 1; p <= k; ++p)
      if (mask & (1u << (p - 1))) subset.push_back(p);
    if (subset.size() > 5) continue;
    int best = 0;
    for (const SystemLine& line : lines) best = std::max(best, Overlap(line, subset));
    ++b.bestBySize[subset.size()][size_t(best)];
  }
  // Position p stands for the number p; the draws are all of 1..36.
  std::array<bool, 37> drawn{};
  std::function<void(int, int)> walk = [&](int from, int left) {
    if (left == 0) {
      int best = 0;
      for (const SystemLine& line : lines) {
        int j = 0;
        for (uint8_t p : line) j += drawn[p];
        ++b.pairs[size_t(j)];
        best = std::max(best, j);
      }
      ++b.bestDraws[size_t(best)];
      return;
    }
    for (int x = from; x <= 36 - left + 1; ++x) {
      drawn[size_t(x)] = true;
      walk(x + 1, left - 1);
      drawn[size_t(x)] = false;
    }
  };
  walk(1, 5);
  return b;
}

TEST(SystemCheckTest, AgreesWithTheBruteForceCountForSmallSystems) {
  std::mt19937 rng(20240611);
  for (int k = 6; k <= 9; ++k) {
    for (int n : {1, 4, 25}) {
      SCOPED_TRACE("k = " + std::to_string(k) + ", lines = " + std::to_string(n));
      const std::vector<SystemLine> lines = RandomSystem(rng, k, n);
      const SystemCheck check = CheckSystem(lines, k);
      const Brute brute = Count(lines, k);
      EXPECT_EQ(check.k, k);
      EXPECT_EQ(check.lines, n);
      EXPECT_EQ(check.bestBySize, brute.bestBySize);
      EXPECT_EQ(check.bestDraws, brute.bestDraws);
      EXPECT_EQ(check.pairs, brute.pairs);
      for (int m = 2; m <= 5; ++m) {
        const SystemGuarantee& g = check.guarantees[size_t(m - 2)];
        const auto& hist = brute.bestBySize[size_t(m)];
        int t = 0;
        while (hist[size_t(t)] == 0) ++t;
        int64_t reaching = 0;
        for (int j = t + 1; j <= 5; ++j) reaching += hist[size_t(j)];
        EXPECT_EQ(g.m, m);
        EXPECT_EQ(g.t, t);
        EXPECT_EQ(g.subsets, C(k, m));
        EXPECT_EQ(g.reaching, reaching);
      }
    }
  }
}

TEST(SystemCheckTest, AFullWheelGuaranteesEveryDrawnNumber) {
  for (int k : {5, 8, 12}) {
    SCOPED_TRACE(k);
    std::vector<SystemLine> wheel;
    for (int a = 1; a <= k; ++a)
      for (int b = a + 1; b <= k; ++b)
        for (int c = b + 1; c <= k; ++c)
          for (int d = c + 1; d <= k; ++d)
            for (int e = d + 1; e <= k; ++e) wheel.push_back({uint8_t(a), uint8_t(b), uint8_t(c), uint8_t(d), uint8_t(e)});
    const SystemCheck check = CheckSystem(wheel, k);
    EXPECT_EQ(GuaranteeSummary(check), "2:2 3:3 4:4 5:5");
    for (const SystemGuarantee& g : check.guarantees) {
      EXPECT_EQ(g.t, g.m);
      EXPECT_EQ(g.reaching, 0);  // nothing shares more than all drawn
      EXPECT_EQ(g.Share(), 0.0);
    }
    // Every line meets every draw as any five numbers do; the best line of
    // a draw shares all its numbers among the k.
    int64_t draws = 0;
    for (int j = 0; j <= 5; ++j) {
      EXPECT_EQ(check.pairs[size_t(j)], int64_t(wheel.size()) * C(5, j) * C(31, 5 - j));
      EXPECT_EQ(check.bestDraws[size_t(j)], C(k, j) * C(36 - k, 5 - j));
      draws += check.bestDraws[size_t(j)];
    }
    EXPECT_EQ(draws, kCapacity);
  }
}

TEST(SystemCheckTest, ThirtySixPositionsAndManyLinesSpanSeveralMaskWords) {
  // 200 lines: four 64-bit words per position, the last one partly used.
  std::mt19937 rng(7);
  const std::vector<SystemLine> lines = RandomSystem(rng, 36, 200);
  const SystemCheck check = CheckSystem(lines, 36);
  int64_t draws = 0;
  for (int j = 0; j <= 5; ++j) {
    EXPECT_EQ(check.pairs[size_t(j)], 200 * C(5, j) * C(31, 5 - j));
    draws += check.bestDraws[size_t(j)];
  }
  EXPECT_EQ(draws, kCapacity);
  // With all 36 numbers every draw is a 5-subset of the positions.
  EXPECT_EQ(check.bestBySize[5], check.bestDraws);
  // A draw is won in full once per different line.
  std::vector<SystemLine> sorted = lines;
  for (SystemLine& l : sorted) std::sort(l.begin(), l.end());
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(check.bestDraws[5], std::unique(sorted.begin(), sorted.end()) - sorted.begin());
  // Two drawn numbers always meet some line of 200, which hold 1000 positions.
  EXPECT_GE(check.guarantees[0].t, 1);
}

TEST(SystemCheckTest, ProfitOfEveryPairAndItsText) {
  TConfigData config;
  config.Cost = CurrencyOf(50);
  config.Profits = {{2, CurrencyOf(50)}, {3, CurrencyOf(500)}, {4, CurrencyOf(10000)}, {5, CurrencyOf(1000000)}};
  const SystemCheck check = CheckSystem({{1, 2, 3, 4, 5}}, 5);
  __int128 expected = 0;
  for (int j = 0; j <= 5; ++j) expected += __int128(C(5, j) * C(31, 5 - j)) * StakeProfit(config, 5, j);
  EXPECT_EQ(SystemTotalProfit(check, config), expected);
  // One line against every draw: 376,992 stakes of 50 and each prize once per pair.
  EXPECT_EQ(MoneyText128(SystemTotalProfit(check, config)),
            MoneyText(CurrencyOf(-50.0L * kCapacity + 50.0L * 10 * 4495 + 500.0L * 10 * 465 + 10000.0L * 5 * 31 +
                                 1000000.0L)));

  EXPECT_EQ(MoneyText128(0), "0.00");
  EXPECT_EQ(MoneyText128(12345), "1.23");
  EXPECT_EQ(MoneyText128(12350), "1.24");
  EXPECT_EQ(MoneyText128(-12350), "-1.24");
  EXPECT_EQ(MoneyText128(-49), "0.00");
  EXPECT_EQ(MoneyText128(99995), "10.00");
  EXPECT_EQ(MoneyText128(__int128(INT64_MAX) * 1000), "922337203685477580.70");
  EXPECT_EQ(MoneyText128(-(__int128(INT64_MAX) * 1000)), "-922337203685477580.70");
}

TEST(SystemCheckTest, RefusesWhatIsNoSystem) {
  EXPECT_THROW(CheckSystem({{1, 2, 3, 4, 5}}, 4), Error);
  EXPECT_THROW(CheckSystem({{1, 2, 3, 4, 5}}, 37), Error);
  EXPECT_THROW(CheckSystem({}, 10), Error);
  EXPECT_THROW(CheckSystem({{1, 2, 3, 4, 11}}, 10), Error);
  EXPECT_THROW(CheckSystem({{1, 2, 3, 4, 0}}, 10), Error);
  EXPECT_THROW(CheckSystem({{1, 2, 3, 4, 4}}, 10), Error);
}

}  // namespace
}  // namespace px
