#include "views/sums.h"

#include <algorithm>
#include <map>

#include "core/archive.h"
#include "core/arith.h"
#include "core/text.h"

namespace px {

std::vector<SumCount> CombinationSums() {
  // ways[k][s]: how many sets of k of the numbers seen so far sum to s.
  std::array<std::array<int32_t, kMaxSum + 1>, kDrawSize + 1> ways{};
  ways[0][0] = 1;
  for (int n = 1; n <= kNumbers; ++n)
    for (int k = kDrawSize; k >= 1; --k)
      for (int s = kMaxSum; s >= n; --s) ways[size_t(k)][size_t(s)] += ways[size_t(k - 1)][size_t(s - n)];
  std::vector<SumCount> out;
  out.reserve(kMaxSum - kMinSum + 1);
  for (int s = kMinSum; s <= kMaxSum; ++s) out.push_back(SumCount{s, ways[kDrawSize][size_t(s)]});
  return out;
}

SumsTables ComputeSums(const DrawArchive& archive) {
  SumsTables t;
  t.theory = CombinationSums();

  // A damaged record may sum to anything: a map takes every sum.
  std::map<int, int32_t> actual;
  for (const DrawRecord& r : archive.Records()) {
    int sum = 0;
    for (uint8_t n : r.numbers) sum += n;
    ++actual[sum];
  }
  t.actual.reserve(actual.size());
  for (const auto& [sum, count] : actual) {
    t.actual.push_back(SumCount{sum, count});
    t.maxA = std::max(t.maxA, count);
  }

  const auto [lo, hi] = std::minmax_element(t.theory.begin(), t.theory.end(),
                                            [](const SumCount& a, const SumCount& b) { return a.count < b.count; });
  t.minT = lo->count;
  t.maxT = hi->count;
  // trunc(minT + w / 3) and so on, in whole numbers: every term is positive.
  const int32_t w = t.maxT - t.minT + 1;
  t.levels[0].level = t.minT + w / 3;
  t.levels[1].level = t.minT + w / 2;
  t.levels[2].level = t.minT + 2 * w / 3;

  const size_t n = t.theory.size(), middle = n / 2;
  for (SumLevel& l : t.levels) {
    for (size_t i = 0; i <= middle && i < n; ++i)
      if (t.theory[i].count >= l.level) {
        l.lo = t.theory[i].sum;
        break;
      }
    for (size_t i = n; i-- > middle;)
      if (t.theory[i].count >= l.level) {
        l.hi = t.theory[i].sum;
        break;
      }
  }
  return t;
}

std::string SumLevelTitle(int level, const SumLevel& l) {
  static const char* const kShares[] = {"1/3", "1/2", "2/3"};
  const int i = std::clamp(level, 0, 2);
  return Fmt("Диапазон %d (от %s и выше по оси Y) - суммы %d-%d", i + 1, kShares[i], l.lo, l.hi);
}

}  // namespace px
