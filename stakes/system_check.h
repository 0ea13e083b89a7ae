// What a number system guarantees, computed exactly: for m = 2..5 drawn
// numbers among the k played, the overlap that some line always reaches,
// and the system's outcome against every possible draw.
//
// The positions 1..k stand for k numbers of 1..36; which numbers they are
// does not change any count. One walk over the subsets of at most five
// positions gives both answers: a draw meets the k numbers in such a subset,
// and C(36 - k, 5 - s) draws meet them in each subset of size s. The lines'
// overlaps with a subset are kept as bit-sliced counters over 64-bit masks
// (one bit per line), counted with popcounts, so a subset costs n / 64 words
// rather than n lines.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/config.h"
#include "stakes/systems.h"

namespace px {

struct SystemGuarantee {
  int m = 0;             // numbers drawn among the k
  int t = 0;             // every m-subset shares at least t with some line
  int64_t subsets = 0;   // C(k, m)
  int64_t reaching = 0;  // m-subsets that share t + 1 or more with some line
  double Share() const { return subsets > 0 ? double(reaching) / double(subsets) : 0.0; }
};

struct SystemCheck {
  int k = 0;
  int64_t lines = 0;
  std::array<SystemGuarantee, 4> guarantees{};  // m = 2, 3, 4, 5
  // [s][j]: subsets of s positions whose best line shares j with them.
  std::array<std::array<int64_t, 6>, 6> bestBySize{};
  // [j]: draws whose best line matches j; (draw, line) pairs matching j.
  std::array<int64_t, 6> bestDraws{};
  std::array<int64_t, 6> pairs{};
};

// Throws Error for k outside 5..36, no lines, or a line that is not five
// different positions of 1..k.
SystemCheck CheckSystem(const std::vector<SystemLine>& lines, int k);

// The profit of playing every line against every draw, in money units
// (amount × 10000): each pair costs the stake and wins the prize of its
// matches. Exact: no sum of pairs overflows 128 bits.
__int128 SystemTotalProfit(const SystemCheck& check, const TConfigData& config);
// Units as an amount "%.2f", rounded half away from zero.
std::string MoneyText128(__int128 units);

// "2:1 3:2 4:2 5:3": the guarantee t of each m.
std::string GuaranteeSummary(const SystemCheck& check);

}  // namespace px
