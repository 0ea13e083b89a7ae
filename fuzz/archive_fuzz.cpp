// The draw archive (.ldr): loading, then what the program shows of it, and
// the statistics table over it (large draw numbers reach the forecasts).
#include "core/archive.h"
#include "fuzz/fuzz_support.h"
#include "stats/families/families.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"

using namespace px;

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
  if (!archive.Empty()) {
    static TStatList registry;
    static bool filled = [] { registry.Fill(); return true; }();
    (void)filled;
    registry.SetDraws(&archive);
    const int method = static_cast<int>(size % static_cast<size_t>(registry.Count()));
    if (registry.IsAvailable(method)) {
      StatTableParams params;
      params.length = 50;
      params.sorted = (size & 1) != 0;
      fuzz::Try([&] { ComputeStatTable(registry, method, params, nullptr, true); });
    }
    registry.SetDraws(nullptr);
  }
  return 0;
}
