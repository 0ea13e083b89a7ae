// Generating the working list into storage sized at start-up.
#include <benchmark/benchmark.h>

#include "combs/combination_set.h"
#include "core/env.h"

namespace {

void Generate(benchmark::State& state, int mode, const char* parameters) {
  px::CombinationSet set;
  set.Init(px::kCapacity);
  px::FullSet();  // built once per process, not per command
  for (auto _ : state) {
    px::GenerateSet(set, px::Env::Real(), true, mode, parameters);
    benchmark::DoNotOptimize(set.Working().Data());
    benchmark::ClobberMemory();
  }
  state.counters["combinations"] = set.Count();
}

void BM_GenerateFull(benchmark::State& state) { Generate(state, 0, ""); }
BENCHMARK(BM_GenerateFull)->Unit(benchmark::kMicrosecond);

void BM_GenerateAnyOf7(benchmark::State& state) { Generate(state, 1, "7"); }
BENCHMARK(BM_GenerateAnyOf7)->Unit(benchmark::kMicrosecond);

}  // namespace
