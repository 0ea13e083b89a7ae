// The repeats analysis over 1,000 draws each compared with the 1,000 before
// it, and the sum distributions, on a generated archive of 10,000 draws.
#include <benchmark/benchmark.h>

#include "generated_archive.h"
#include "core/archive.h"
#include "views/repeats.h"
#include "views/sums.h"

namespace {

const px::DrawArchive& Archive() {
  static const px::DrawArchive archive = GeneratedArchive(10000);
  return archive;
}

void BM_RepeatsAnalysis(benchmark::State& state) {
  const int length = int(state.range(0)), depth = int(state.range(1));
  for (auto _ : state) {
    px::RepeatsTable t = px::AnalyzeRepeats(Archive(), length, depth, [](int, int) {});
    benchmark::DoNotOptimize(t.Size());
  }
}
BENCHMARK(BM_RepeatsAnalysis)->Args({1000, 1000})->Args({10000, 10000})->Unit(benchmark::kMillisecond);

// The list's texts as the tool prints them all.
void BM_RepeatsTexts(benchmark::State& state) {
  const px::RepeatsTable t = px::AnalyzeRepeats(Archive(), 1000, 1000);
  for (auto _ : state) {
    size_t chars = 0;
    for (const px::RepeatRow& r : t.Rows()) chars += t.DrawsText(r).size();
    benchmark::DoNotOptimize(chars);
  }
}
BENCHMARK(BM_RepeatsTexts)->Unit(benchmark::kMillisecond);

void BM_SumsTables(benchmark::State& state) {
  for (auto _ : state) {
    px::SumsTables t = px::ComputeSums(Archive());
    benchmark::DoNotOptimize(t.maxA);
  }
}
BENCHMARK(BM_SumsTables)->Unit(benchmark::kMillisecond);

}  // namespace
