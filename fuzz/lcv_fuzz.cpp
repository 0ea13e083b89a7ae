// Combination lists: a .lcv file and the same text pasted from the clipboard.
#include "combs/combination_set.h"
#include "fuzz/fuzz_support.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(fuzz::AsText(data, size));
  fuzz::MemEnv env;
  env.files["d/l.lcv"] = text;
  fuzz::QuietHost host;
  CombinationSet set(&host);
  set.ReadFile(env, "d/l.lcv");
  std::vector<int> rows;
  for (int i = 0; i < set.Count() && i < 8; ++i) rows.push_back(i);
  set.ClipboardText(rows);
  CombinationSet pasted(&host);
  pasted.Paste(text);
  pasted.ToVector();
  return 0;
}
