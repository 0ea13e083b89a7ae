// Makes the demonstration archive of the repository: two draws a week from
// Wednesday 01/04/1995, five different numbers 1..36 drawn uniformly with a
// fixed seed, so the same file comes out on every machine.
//
//   demo_gen [COUNT] > demo/demo_draws_vantora5.csv
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/archive.h"
#include "core/csv.h"
#include "core/dates.h"
#include "core/text.h"

namespace {

// splitmix64: tiny, and the same everywhere, unlike the standard distributions.
struct Random {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in 0..n-1 without modulo bias.
  int Below(int n) {
    const uint64_t limit = UINT64_MAX - UINT64_MAX % static_cast<uint64_t>(n);
    uint64_t v;
    do v = Next();
    while (v >= limit);
    return static_cast<int>(v % static_cast<uint64_t>(n));
  }
};

}  // namespace

int main(int argc, char** argv) {
  int count = argc > 1 ? px::IntOr(argv[1], 2000) : 2000;
  Random rnd{20260101};
  px::DrawArchive archive;
  int32_t dateKey = 19950104;  // a Wednesday; the next draw is on Saturday
  for (int i = 0; i < count; ++i) {
    px::DrawRecord d;
    d.number = i + 1;
    for (int k = 0; k < px::kDrawSize; ++k) {
      int n;
      do n = rnd.Below(px::kNumbers) + 1;
      while (px::Contains(n, d.numbers));
      d.numbers[k] = static_cast<uint8_t>(n);
    }
    d.SetDate(px::DateText(px::DateOfKey(dateKey)));
    archive.Append(d);
    dateKey = px::AddDaysToKey(dateKey, i % 2 == 0 ? 3 : 4);
  }
  std::string text = px::ExportDrawsText(archive);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
