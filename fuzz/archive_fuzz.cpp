// The draw archive (.ldr): loading, then what the program shows of it, and
// for a small archive the statistics table over it (large draw numbers reach
// the forecasts).
#include "core/archive.h"
#include "fuzz/fuzz_support.h"
#include "stats/families/families.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"

using namespace px;

namespace {
constexpr int kTableDraws = 16;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::MemEnv env;
  env.files["d/a.ldr"] = std::string(fuzz::AsText(data, size));
  DrawArchive archive;
  try {
    archive.Load(env, "d/a.ldr");
  } catch (const Error&) {
  }
  for (const DrawRecord& r : archive.Records()) {
    DrawListRow(r, true);
    DrawDescription(r);
  }
  for (int p = 0; p < archive.Count() && p < 4; ++p) {
    archive.NextDrawNumber(p);
    archive.NextDrawText(p);
    archive.KnownNextDraw(p);
    fuzz::Try([&] { archive.DateKeyAt(p, 3); });
    fuzz::Try([&] { StatusOf(archive, p); });
  }
  archive.Serialize();
  // The table costs far more than the rest and grows with the draws while
  // its code paths do not, so only small archives get one.
  if (!archive.Empty() && archive.Count() <= kTableDraws) {
    static TStatList registry;
    static bool filled = [] { registry.Fill(); return true; }();
    (void)filled;
    registry.SetDraws(&archive);
    const int method = static_cast<int>(size % static_cast<size_t>(registry.Count()));
    if (registry.IsAvailable(method)) {
      StatTableParams params;
      // Shorter than the larger of those archives: draws before the window too.
      params.length = kTableDraws - 4;
      params.sorted = (size & 1) != 0;
      fuzz::Try([&] { ComputeStatTable(registry, method, params, nullptr, true); });
    }
    registry.SetDraws(nullptr);
  }
  return 0;
}
