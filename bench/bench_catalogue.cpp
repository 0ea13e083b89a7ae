// The catalogue's list answer of 1,000 systems read back, and the wheel
// builder for the largest demonstration wheels.
#include <benchmark/benchmark.h>

#include "catalogue/codec.h"
#include "stakes/system_build.h"

namespace {

std::string ListOf(int count) {
  std::vector<px::AnswerRow> rows;
  for (int i = 1; i <= count; ++i) {
    px::tSystemInfo info;
    info.id = i;
    info.numberCount = uint8_t(6 + i % 31);
    info.combinationCount = 10 + i;
    info.title = "Система номер " + std::to_string(i);
    info.description = std::string(200, 'd');
    info.author = "Автор";
    info.ownerMail = "a@x.ru";
    info.created = 1700000000 + i;
    rows.push_back(px::ListRow(info));
  }
  return px::AnswerText(rows);
}

void BM_ListAnswer1000(benchmark::State& state) {
  const std::string body = ListOf(1000);
  for (auto _ : state) benchmark::DoNotOptimize(px::ParseListAnswer(body));
}
BENCHMARK(BM_ListAnswer1000)->Unit(benchmark::kMillisecond);

void BM_Wheel(benchmark::State& state) {
  const int k = int(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(px::BuildWheel(k, {3, 5}));
}
BENCHMARK(BM_Wheel)->Arg(12)->Arg(14)->Unit(benchmark::kMillisecond);

}  // namespace
