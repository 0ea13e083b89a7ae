// The hot paths of the statistics: a filter pass over the full set, the
// table over 1,000 draws, and full-set distributions.
#include <benchmark/benchmark.h>

#include "generated_archive.h"
#include "combs/combination_set.h"
#include "core/env.h"
#include "stats/filter.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"

namespace {

struct Fixture {
  px::DrawArchive archive;
  px::TStatList registry;
  Fixture() {
    archive = GeneratedArchive(10000);
    registry.SetDraws(&archive);
    registry.Fill();
  }
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void BM_NumsKeepFilter(benchmark::State& state) {
  auto& f = Shared();
  px::CombinationSet set;
  set.Init(px::kCapacity);
  px::GenerateSet(set, px::Env::Real(), false, 0, "");
  set.TakeSnapshot(false);
  auto stat = f.registry.CreateInstance(f.registry.FindByCode("NUMS"));
  px::StatValue v;
  v.Key1 = 7;
  px::Selection sel{{}, std::string(1, '7')};
  sel.values.Append(v);
  for (auto _ : state) {
    int n = px::ApplyStatFilter(set, *stat, sel, px::FilterMode::KeepSelected, f.archive.ReferenceIndex(0), false,
                                "NUMS", nullptr);
    benchmark::DoNotOptimize(n);
    set.ClearLog();
  }
}
BENCHMARK(BM_NumsKeepFilter)->Unit(benchmark::kMicrosecond);

void BM_NumsTable(benchmark::State& state) {
  auto& f = Shared();
  px::StatTableParams p;
  p.offset = int(state.range(0));
  p.length = 1000;
  const int nums = f.registry.FindByCode("NUMS");
  for (auto _ : state) {
    auto t = px::ComputeStatTable(f.registry, nums, p, nullptr);
    benchmark::DoNotOptimize(t.rows.data());
  }
}
BENCHMARK(BM_NumsTable)->Arg(0)->Arg(500)->Unit(benchmark::kMicrosecond);

// The table over 1,000 draws of every method, by registry position.
void BM_Table(benchmark::State& state) {
  auto& f = Shared();
  const int method = int(state.range(0));
  state.SetLabel(f.registry.CodeOf(method));
  px::StatTableParams p;
  p.length = 1000;
  for (auto _ : state) {
    auto t = px::ComputeStatTable(f.registry, method, p, nullptr);
    benchmark::DoNotOptimize(t.rows.data());
  }
}
void AllMethods(benchmark::internal::Benchmark* b) {
  auto& f = Shared();
  for (int i = 0; i < f.registry.Count(); ++i) b->Arg(i);
}
BENCHMARK(BM_Table)->Apply(AllMethods)->Unit(benchmark::kMillisecond);

// A keep pass of a periods method over the full set: its match reads the
// draws a period back from the reference draw.
void BM_PeriodsKeepFilter(benchmark::State& state) {
  auto& f = Shared();
  px::CombinationSet set;
  set.Init(px::kCapacity);
  auto stat = f.registry.CreateInstance(f.registry.FindByCode("PRDV"));
  px::Selection sel;
  for (int n : {7, 12, 30}) {
    px::StatValue v;
    v.Key1 = uint16_t(n);
    v.Key2 = 3;
    sel.values.Append(v);
  }
  for (auto _ : state) {
    state.PauseTiming();
    px::GenerateSet(set, px::Env::Real(), false, 0, "");
    state.ResumeTiming();
    int n = px::KeepOrRemove(set, *stat, sel, px::FilterMode::KeepSelected, f.archive.ReferenceIndex(0), false,
                             "PRDV", nullptr);
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_PeriodsKeepFilter)->Unit(benchmark::kMillisecond);

void BM_FullSetDistribution(benchmark::State& state) {
  auto& f = Shared();
  const int method = int(state.range(0));
  state.SetLabel(f.registry.CodeOf(method));
  for (auto _ : state) {
    auto d = px::FullSetDistribution(f.registry, method);
    benchmark::DoNotOptimize(d.records.data());
  }
}
// Every method with a full set, by registry position.
void FullSetMethods(benchmark::internal::Benchmark* b) {
  auto& f = Shared();
  for (int i = 0; i < f.registry.Count(); ++i)
    if (f.registry.HasFullSet(i)) b->Arg(i);
}
BENCHMARK(BM_FullSetDistribution)->Apply(FullSetMethods)->Unit(benchmark::kMillisecond);

}  // namespace
