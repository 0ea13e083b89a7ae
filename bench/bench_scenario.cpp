// A scenario test of 100 draws over the demo archive: the run as the user
// starts it, with the stakes checked after all lines or after every line.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "combs/combination_set.h"
#include "core/csv.h"
#include "core/env.h"
#include "core/host.h"
#include "scenario/run.h"
#include "stakes/ratings.h"
#include "stakes/stake_store.h"
#include "stats/stat_list.h"

#ifndef PENTALUX_SOURCE_DIR
#define PENTALUX_SOURCE_DIR "."
#endif

namespace {

class QuietHost final : public px::Host {
 public:
  void SetStatusText(const std::string&) override {}
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void ShowInfo(const std::string&) override {}
  void ShowWarning(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
  std::vector<std::string> errors;
};

const std::vector<std::string> kScenario = {
    // Two filters, 3 windows x 3 values, single selection.
    "FULL:0#EXT|TSD1#NUMS:100-300;100#LNO:#ST:3|TSD1#SUMS:200#CMV:1-3;1#ST:2| | | | | |bench 1",
    // Multiple selection.
    "FULL:0#RAND|TMF1#EVEN:100#LNO:#ST:3| | | | | | |bench 2",
    // No filters.
    "EXCL:10#FIRST| | | | | | | |bench 3",
};

void RunTest(benchmark::State& state, bool checkOnLine) {
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("pentalux_bench_" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dir);
  px::Env& env = px::Env::Real();
  QuietHost host;
  px::DrawArchive archive;
  px::ImportDraws(env, archive, std::string(PENTALUX_SOURCE_DIR) + "/demo/demo_draws_vantora5.csv");
  px::TStatList registry;
  registry.SetDraws(&archive);
  registry.Config().data.Cost = 10000;
  registry.Config().data.Profits = {{2, 10000}, {3, 250000}, {4, 5000000}, {5, 1000000000}};
  registry.Fill();
  px::CombinationSet combs(&host);
  combs.Init(px::kCapacity);
  px::GenerateSet(combs, env, false, 0, "");
  int offset = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(px::StakesPath(dir));
    std::filesystem::remove(px::RatingsPath(dir));
    px::StakeStore stakes(env, host, dir);
    stakes.Load();
    px::Ratings ratings(env, host, dir);
    state.ResumeTiming();
    px::RunContext ctx{env, host, dir, archive, registry, combs, stakes};
    ctx.ratings = &ratings;
    ctx.offset = [&] { return offset; };
    ctx.setOffset = [&](int o) { offset = o; };
    ctx.settings.stakesCheckOnLine = checkOnLine;
    px::ScenarioRunner runner(std::move(ctx));
    runner.Seed(7);
    const px::RunResult r = runner.Test(kScenario, 100);
    if (r.failed) state.SkipWithError(r.error.c_str());
    benchmark::DoNotOptimize(r.stakes);
  }
  std::filesystem::remove_all(dir);
}

void BM_ScenarioTest100(benchmark::State& state) { RunTest(state, false); }
void BM_ScenarioTest100CheckPerLine(benchmark::State& state) { RunTest(state, true); }

}  // namespace

// CPU of every thread: the filter passes run on two.
BENCHMARK(BM_ScenarioTest100)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_ScenarioTest100CheckPerLine)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
