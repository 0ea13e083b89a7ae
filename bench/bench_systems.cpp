// The proof of a system's guarantee: the walk over every subset of up to
// five positions, which gives the guarantees and the outcome against all
// 376,992 draws at once (goal: 1,000 lines at k = 36 within 1 s); and the
// list-only system game of a large system on the full list.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <optional>

#include "core/arith.h"
#include "core/env.h"
#include "core/host.h"
#include "frame/frame.h"
#include "frame/system_game.h"
#include "stakes/system_check.h"
#include "stakes/systems.h"

namespace {

// n lines of five different positions of 1..k from a fixed sequence.
std::vector<px::SystemLine> Lines(int k, int n) {
  std::vector<px::SystemLine> lines;
  uint64_t state = 2024;
  auto next = [&] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return int((state >> 33) % uint64_t(k)) + 1;
  };
  for (int i = 0; i < n; ++i) {
    px::SystemLine line{};
    for (size_t j = 0; j < line.size();) {
      const int p = next();
      if (std::find(line.begin(), line.begin() + std::ptrdiff_t(j), p) == line.begin() + std::ptrdiff_t(j))
        line[j++] = uint8_t(p);
    }
    lines.push_back(line);
  }
  return lines;
}

void BM_CheckSystem(benchmark::State& state) {
  const int k = int(state.range(0)), n = int(state.range(1));
  const std::vector<px::SystemLine> lines = Lines(k, n);
  for (auto _ : state) {
    const px::SystemCheck check = px::CheckSystem(lines, k);
    benchmark::DoNotOptimize(check.bestDraws);
  }
}
BENCHMARK(BM_CheckSystem)
    ->Args({36, 1000})
    ->Args({36, 10000})
    ->Args({20, 1000})
    ->Args({10, 252})
    ->Unit(benchmark::kMillisecond);

class QuietHost final : public px::Host {
 public:
  void SetStatusText(const std::string&) override {}
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void ShowInfo(const std::string&) override {}
  void ShowWarning(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
  std::vector<std::string> errors;
};

// The list-only game of a 36-number system of 1,000 lines on the full list:
// the numbers collected over 376,992 combinations, the list's index, and
// every line that is in it staked and appended to the stakes file.
void BM_SystemGameListOnlyFullList(benchmark::State& state) {
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("pentalux_bench_systems_" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dir + "/Systems");
  px::Env& env = px::Env::Real();
  env.WriteFile(dir + "/Systems/5-36-0_0001.dat", px::SystemText(Lines(36, 1000)));
  QuietHost host;
  {
    px::TFormMain frame(host, env, dir, dir + "/Pentalux5_5v36", {});
    frame.FormCreate();
    frame.Initialise();
    for (auto _ : state) {
      state.PauseTiming();
      frame.Stakes()->Clear();
      frame.Stakes()->Reopen();
      state.ResumeTiming();
      const std::optional<px::SystemGameDraft> draft = px::PrepareSystemGame(frame, false);
      if (!draft) {
        state.SkipWithError("no system");
        break;
      }
      const px::SystemGameResult r = px::PlaySystemGame(frame, *draft, 1, 1, draft->comment);
      if (r.combinations != 1000) state.SkipWithError("not every line staked");
      benchmark::DoNotOptimize(r.combinations);
    }
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SystemGameListOnlyFullList)->Unit(benchmark::kMillisecond);

}  // namespace
