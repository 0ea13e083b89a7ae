// The layout page's work over 10,000 draws: the grid of a 1,000-draw window
// and the five compare lists of their default lengths.
#include <benchmark/benchmark.h>

#include <random>

#include "core/archive.h"
#include "views/layout.h"

namespace {

px::DrawArchive MakeArchive(int count) {
  px::DrawArchive a;
  std::mt19937 rng(20240501);
  for (int i = 0; i < count; ++i) {
    px::DrawRecord d;
    d.number = i + 1;
    // Five different numbers in drawn order.
    std::array<bool, 37> taken{};
    for (int k = 0; k < 5;) {
      const int n = int(rng() % 36) + 1;
      if (taken[size_t(n)]) continue;
      taken[size_t(n)] = true;
      d.numbers[size_t(k++)] = uint8_t(n);
    }
    a.Append(d);
  }
  return a;
}

const px::DrawArchive& Archive() {
  static const px::DrawArchive a = MakeArchive(10000);
  return a;
}

void BM_LayoutGrid(benchmark::State& state) {
  const px::DrawArchive& a = Archive();
  // Offset 1: the known next draw is bracketed too.
  for (auto _ : state) {
    px::LayoutGrid g = px::BuildLayoutGrid(a, 1, int(state.range(0)));
    benchmark::DoNotOptimize(g.cells.data());
  }
}
BENCHMARK(BM_LayoutGrid)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_LayoutCompare(benchmark::State& state) {
  const px::DrawArchive& a = Archive();
  for (auto _ : state) {
    auto lists = px::BuildLayoutCompare(a, 1, {50, 100, 200, 300, 400});
    benchmark::DoNotOptimize(lists.data());
  }
}
BENCHMARK(BM_LayoutCompare)->Unit(benchmark::kMicrosecond);

}  // namespace
