#include "stakes/system_check.h"

#include <algorithm>
#include <bit>

#include "core/arith.h"
#include "core/errors.h"
#include "core/text.h"
#include "stakes/stake_store.h"

namespace px {

namespace {

constexpr int kDepth = kDrawSize;

// C(n, r), 0 when r > n (the shared Binomial gives 1 there).
int64_t Choose(int n, int r) {
  if (r < 0 || r > n) return 0;
  int64_t c = 1;
  for (int i = 1; i <= r; ++i) c = c * (n - r + i) / i;
  return c;
}

// The walk over subsets of up to five positions. Level d holds, per line,
// the overlap of the line with the subset's first d positions as three bit
// planes (1, 2, 4); an overlap never exceeds 5.
class Walk {
 public:
  Walk(const std::vector<SystemLine>& lines, int k, SystemCheck& out)
      : k_(k), n_(lines.size()), words_((lines.size() + 63) / 64), out_(out) {
    masks_.assign(size_t(k) * words_, 0);
    for (size_t i = 0; i < n_; ++i)
      for (uint8_t p : lines[i]) masks_[size_t(p - 1) * words_ + i / 64] |= uint64_t(1) << (i % 64);
    planes_.assign(size_t(kDepth + 1) * 3 * words_, 0);
  }

  void Run() { Visit(0, 0); }

  // [s][j]: (subset of s positions, line) pairs sharing j.
  std::array<std::array<int64_t, 6>, 6> pairsBySize{};

 private:
  uint64_t* Plane(int depth, int bit) { return &planes_[(size_t(depth) * 3 + size_t(bit)) * words_]; }

  void Visit(int depth, int next) {
    Count(depth);
    if (depth == kDepth) return;
    const uint64_t* c0 = Plane(depth, 0);
    const uint64_t* c1 = Plane(depth, 1);
    const uint64_t* c2 = Plane(depth, 2);
    uint64_t* d0 = Plane(depth + 1, 0);
    uint64_t* d1 = Plane(depth + 1, 1);
    uint64_t* d2 = Plane(depth + 1, 2);
    for (int x = next; x < k_; ++x) {
      const uint64_t* p = &masks_[size_t(x) * words_];
      for (size_t w = 0; w < words_; ++w) {
        const uint64_t carry0 = c0[w] & p[w];
        const uint64_t carry1 = c1[w] & carry0;
        d0[w] = c0[w] ^ p[w];
        d1[w] = c1[w] ^ carry0;
        d2[w] = c2[w] | carry1;
      }
      Visit(depth + 1, x + 1);
    }
  }

  // How many lines share at least j positions with the subset, j = 1..5;
  // the best line is the largest j that some line reaches.
  void Count(int depth) {
    const uint64_t* c0 = Plane(depth, 0);
    const uint64_t* c1 = Plane(depth, 1);
    const uint64_t* c2 = Plane(depth, 2);
    std::array<int64_t, 7> atLeast{};
    atLeast[0] = int64_t(n_);
    for (size_t w = 0; w < words_; ++w) {
      const uint64_t ge2 = c1[w] | c2[w];
      atLeast[1] += std::popcount(ge2 | c0[w]);
      atLeast[2] += std::popcount(ge2);
      atLeast[3] += std::popcount(c2[w] | (c1[w] & c0[w]));
      atLeast[4] += std::popcount(c2[w]);
      atLeast[5] += std::popcount(c2[w] & c0[w]);
    }
    int best = 0;
    for (int j = 0; j <= kDepth; ++j) {
      pairsBySize[size_t(depth)][size_t(j)] += atLeast[size_t(j)] - atLeast[size_t(j) + 1];
      if (atLeast[size_t(j)] > 0) best = j;
    }
    ++out_.bestBySize[size_t(depth)][size_t(best)];
  }

  int k_;
  size_t n_, words_;
  SystemCheck& out_;
  std::vector<uint64_t> masks_;   // per position: the lines that hold it
  std::vector<uint64_t> planes_;  // per level: three planes of `words_`
};

}  // namespace

SystemCheck CheckSystem(const std::vector<SystemLine>& lines, int k) {
  if (k < kDrawSize || k > kNumbers) throw Error(Fmt("Некорректное количество чисел системы: %d!", k));
  if (lines.empty()) throw Error("Система не содержит ни одной комбинации!");
  for (size_t i = 0; i < lines.size(); ++i) {
    const SystemLine& line = lines[i];
    for (size_t j = 0; j < line.size(); ++j) {
      const bool repeated = std::find(line.begin(), line.begin() + std::ptrdiff_t(j), line[j]) !=
                            line.begin() + std::ptrdiff_t(j);
      if (line[j] < 1 || line[j] > k || repeated)
        throw Error(Fmt("Некорректная комбинация системы в строке %d!", int(i) + 1));
    }
  }
  SystemCheck check;
  check.k = k;
  check.lines = int64_t(lines.size());
  Walk walk(lines, k, check);
  walk.Run();

  for (int s = 0; s <= kDrawSize; ++s) {
    // Draws that meet the k numbers in exactly these s.
    const int64_t draws = Choose(kNumbers - k, kDrawSize - s);
    for (int j = 0; j <= kDrawSize; ++j) {
      check.bestDraws[size_t(j)] += draws * check.bestBySize[size_t(s)][size_t(j)];
      check.pairs[size_t(j)] += draws * walk.pairsBySize[size_t(s)][size_t(j)];
    }
  }
  for (int m = 2; m <= kDrawSize; ++m) {
    SystemGuarantee& g = check.guarantees[size_t(m - 2)];
    g.m = m;
    g.subsets = Choose(k, m);
    const auto& hist = check.bestBySize[size_t(m)];
    while (g.t < kDrawSize && hist[size_t(g.t)] == 0) ++g.t;
    for (int j = g.t + 1; j <= kDrawSize; ++j) g.reaching += hist[size_t(j)];
  }
  return check;
}

__int128 SystemTotalProfit(const SystemCheck& check, const TConfigData& config) {
  __int128 total = 0;
  for (int j = 0; j <= kDrawSize; ++j) total += __int128(check.pairs[size_t(j)]) * StakeProfit(config, kDrawSize, j);
  return total;
}

std::string MoneyText128(__int128 units) {
  const bool negative = units < 0;
  unsigned __int128 a = negative ? static_cast<unsigned __int128>(-(units + 1)) + 1 : static_cast<unsigned __int128>(units);
  unsigned __int128 whole = a / 10000;
  int cents = int((a % 10000 + 50) / 100);
  if (cents == 100) {
    ++whole;
    cents = 0;
  }
  std::string digits;
  do {
    digits.insert(digits.begin(), char('0' + int(whole % 10)));
    whole /= 10;
  } while (whole > 0);
  return (negative && (digits != "0" || cents != 0) ? "-" : "") + digits + Fmt(".%02d", cents);
}

std::string GuaranteeSummary(const SystemCheck& check) {
  std::string text;
  for (const SystemGuarantee& g : check.guarantees) text += Fmt(text.empty() ? "%d:%d" : " %d:%d", g.m, g.t);
  return text;
}

}  // namespace px
