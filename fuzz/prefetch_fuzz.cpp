// The full-set files (.dfc): decoded as the full-set comparison reads them,
// then the statistics table of a method compared against them, each cell
// holding the number its text reads as.
#include <cmath>
#include <cstdlib>

#include "core/archive.h"
#include "core/text.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/sample_data.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"

using namespace px;

namespace {

std::vector<int> FullSetMethods(const TStatList& registry) {
  std::vector<int> out;
  for (int i = 0; i < registry.Count(); ++i)
    if (registry.IsAvailable(i) && registry.HasFullSet(i)) out.push_back(i);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const DrawArchive archive = fuzz::SampleArchive(60);
  static TStatList registry;
  static const std::vector<int> methods = [] {
    registry.SetDraws(&archive);
    registry.Fill();
    return FullSetMethods(registry);
  }();
  if (methods.empty() || size == 0) return 0;
  // The first byte picks the method; the rest is the file.
  const int method = methods[data[0] % methods.size()];
  fuzz::MemEnv env;
  fuzz::QuietHost host;
  PrefetchFiles files(env, "d");
  env.files[files.PathOf(registry, method)] = std::string(fuzz::AsText(data + 1, size - 1));
  const auto decoded = DecodePrefetch(std::string(fuzz::AsText(data + 1, size - 1)));
  if (!decoded) return 0;
  auto opened = files.Open(registry, method, &host);
  StatTableParams params;
  params.length = 40;
  StatTable table = ComputeStatTable(registry, method, params, &*decoded, true);
  SortStatRows(table.rows, 5, true);
  // Whatever the file's counts, every cell holds the number its text reads as.
  for (const StatRow& row : table.rows) {
    for (int c = 0; c < kStatColumns; ++c) {
      const auto read = ParseDecimal(CellText(row, c));
      const auto number = row.NumberOf(c);
      if (read.has_value() != number.has_value()) std::abort();
      if (read && (*read != *number || std::signbit(*read) != std::signbit(*number))) std::abort();
    }
  }
  return 0;
}
