// The statistics tables of every available method over the demo archive,
// in several windows and both separators, with and without a full-set
// comparison (an invented distribution over the values each table met, so
// that norms, deviations and their percents, zero norms among them, appear
// without building 376,992-combination files). Made on demand, one table
// at a time.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/csv.h"
#include "core/env.h"
#include "core/text.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"

#ifndef PENTALUX_SOURCE_DIR
#define PENTALUX_SOURCE_DIR "."
#endif

namespace px::test {

class DemoTables {
 public:
  DemoTables() {
    ImportDraws(Env::Real(), archive, std::string(PENTALUX_SOURCE_DIR) + "/demo/demo_draws_vantora5.csv");
    registry.SetDraws(&archive);
    registry.Fill();
  }

  // fn(name, table) for each method and window; name says which.
  void ForEachTable(const std::function<void(const std::string&, const StatTable&)>& fn) const {
    struct Window {
      int offset, length;
      bool sorted;
      char separator;
      bool compared;
    };
    static const Window windows[] = {
        {3, 60, false, ',', false}, {0, 250, true, '.', true}, {17, 2000, false, ',', true}};
    for (int m = 0; m < registry.Count(); ++m) {
      if (!registry.IsAvailable(m)) continue;
      for (const Window& w : windows) {
        const StatTableParams p{w.offset, w.length, w.sorted, w.separator};
        const StatTable plain = ComputeStatTable(registry, m, p, nullptr);
        const std::string name = registry.CodeOf(m) + Fmt(" offset %d length %d", w.offset, w.length);
        if (!w.compared) {
          fn(name, plain);
          continue;
        }
        const PrefetchData full = Invented(plain, uint32_t(m));
        fn(name + " compared", ComputeStatTable(registry, m, p, &full));
      }
    }
  }

  DrawArchive archive;
  TStatList registry;

 private:
  // Counts 0..999 from the keys, a key the table lacks at the end.
  static PrefetchData Invented(const StatTable& t, uint32_t seed) {
    PrefetchData d;
    uint64_t last = 0;
    for (const StatRow& r : t.rows) {
      const uint64_t key = r.value.Key();
      uint64_t h = (key + seed) * 0x9E3779B97F4A7C15ull;
      h ^= h >> 29;
      d.records.push_back(PrefetchRecord{key, int32_t(h % 7 == 0 ? 0 : h % 1000)});
      last = std::max(last, key);
    }
    d.records.push_back(PrefetchRecord{last + 1, 5});
    std::sort(d.records.begin(), d.records.end(),
              [](const PrefetchRecord& a, const PrefetchRecord& b) { return a.key < b.key; });
    d.minCount = INT32_MAX;
    for (const PrefetchRecord& r : d.records) {
      d.minCount = std::min(d.minCount, r.count);
      d.maxCount = std::max(d.maxCount, r.count);
    }
    return d;
  }
};

}  // namespace px::test
