// A small archive of invented draws for the targets whose reader works
// against the archive (the stakes check, the results page, the statistics
// table over a full-set file).
#pragma once

#include <algorithm>
#include <bitset>
#include <cstdint>

#include "core/archive.h"
#include "core/config.h"

namespace px::fuzz {

inline DrawArchive SampleArchive(int count = 60) {
  DrawArchive a;
  uint32_t seed = 12345;
  for (int i = 0; i < count; ++i) {
    DrawRecord r;
    r.number = i + 1;
    std::bitset<37> used;
    for (auto& n : r.numbers) {
      do {
        seed = seed * 1103515245u + 12345u;
        n = static_cast<uint8_t>(1 + (seed >> 16) % 36);
      } while (used[n]);
      used[n] = true;
    }
    r.SetDate("06/01/2024");
    a.Append(r);
  }
  return a;
}

inline GameConfig SampleConfig() {
  GameConfig c;
  c.data.Cost = 100 * 10000;
  for (uint8_t m = 2; m <= 5; ++m) c.data.Profits.push_back({m, int64_t(m) * m * m * 1000 * 10000});
  return c;
}

}  // namespace px::fuzz
