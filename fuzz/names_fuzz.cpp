// The favourites and custom names file (.flt), read into the registry with
// and without its options, then the names the lists show.
#include "fuzz/fuzz_support.h"
#include "stats/stat_list.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Every input starts from a freshly filled registry; copying one is much
  // cheaper than filling it again.
  static const TStatList filled = [] {
    TStatList r;
    r.Fill();
    return r;
  }();
  TStatList registry = filled;
  fuzz::MemEnv env;
  env.files["d/n.flt"] = std::string(fuzz::AsText(data, size));
  fuzz::QuietHost host;
  registry.LoadNames(env, "d/n.flt", (size & 1) != 0, &host);
  // The names the file gave, as the lists show them.
  for (int i = 0; i < registry.Count(); ++i)
    if (!registry.Method(i).customName.empty() || !registry.Method(i).enabled) registry.DisplayName(i, true);
  registry.FavoritesText();
  return 0;
}
