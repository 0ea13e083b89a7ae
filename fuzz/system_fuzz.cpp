// A number system file: the first byte picks k (6..36), the rest is the
// file in the store as the system game and the scenario read it. The lines
// read map onto k numbers without leaving them, write back unchanged, and,
// for systems small enough to walk quickly, their check counts every draw.
#include <algorithm>

#include "core/arith.h"
#include "fuzz/fuzz_support.h"
#include "stakes/system_check.h"
#include "stakes/systems.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int k = kSystemMinNumbers + data[0] % (kSystemMaxNumbers - kSystemMinNumbers + 1);
  const std::string_view text = fuzz::AsText(data + 1, size - 1);
  fuzz::MemEnv env;
  fuzz::QuietHost host;
  SystemStore store(env, host, "d");
  tSystemInfo info;
  info.numberCount = uint8_t(k);
  info.id = 1;
  const std::string path = store.FilePath(info);
  env.files[path] = std::string(text);
  // The name is hostile too.
  ParseSystemFileName(text.substr(0, std::min<size_t>(text.size(), 64)));
  MatchesSystemPattern(text.substr(0, std::min<size_t>(text.size(), 64)), k);

  // The numbers in a caller's order: 36, 35, ... so position p is 37 - p.
  std::vector<int> numbers;
  for (int i = 0; i < k; ++i) numbers.push_back(kNumbers - i);
  const SystemLoad load = store.LoadSystemFor(numbers);
  if (!load.ok) return 0;
  if (load.text != path || load.combinations.empty()) __builtin_trap();
  for (const Combination& c : load.combinations) {
    for (size_t j = 0; j < c.size(); ++j) {
      if (c[j] < kNumbers - k + 1 || c[j] > kNumbers) __builtin_trap();
      if (std::count(c.begin(), c.end(), c[j]) != 1) __builtin_trap();
    }
  }
  const std::vector<SystemLine> lines = store.ReadLines(path, k);
  if (lines.size() != load.combinations.size()) __builtin_trap();

  // Written as the store writes it, it reads back the same.
  tSystemData saved;
  saved.numberCount = uint8_t(k);
  saved.id = 2;
  saved.created = 1700000000;
  saved.combinations = SystemText(lines);
  store.SaveLocalFile(saved);
  if (store.ReadLines(store.FilePath(saved), k) != lines) __builtin_trap();

  if (k <= 12 && lines.size() <= 256) {
    const SystemCheck check = CheckSystem(lines, k);
    int64_t draws = 0, pairs = 0;
    for (int j = 0; j <= kDrawSize; ++j) {
      draws += check.bestDraws[size_t(j)];
      pairs += check.pairs[size_t(j)];
    }
    if (draws != kCapacity || pairs != int64_t(lines.size()) * kCapacity) __builtin_trap();
    for (const SystemGuarantee& g : check.guarantees)
      if (g.t > g.m || g.reaching > g.subsets) __builtin_trap();
  }
  return 0;
}
