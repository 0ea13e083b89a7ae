// The card and the week counts over a 10,000-draw archive.
#include <benchmark/benchmark.h>

#include <chrono>

#include "core/archive.h"
#include "core/dates.h"
#include "views/card.h"
#include "views/week.h"

namespace {

// Three draws a week from 1995 on, every twentieth without a date.
px::DrawArchive MakeArchive(int count) {
  using namespace std::chrono;
  px::DrawArchive a;
  sys_days day{year{1995} / January / 4};
  for (int i = 0; i < count; ++i) {
    px::DrawRecord d;
    d.number = i + 1;
    for (int k = 0; k < 5; ++k) d.numbers[size_t(k)] = static_cast<uint8_t>((i * 7 + k * 5) % 36 + 1);
    if (i % 20 != 19) d.SetDate(px::DateText(year_month_day{day}));
    day += days{i % 3 == 2 ? 3 : 2};
    a.Append(d);
  }
  return a;
}

// The rows and every cell's colour, as a full repaint or the export needs them.
void BM_Card10000(benchmark::State& state) {
  const px::DrawArchive archive = MakeArchive(10000);
  const px::CardColours colours{true, true, 6};
  for (auto _ : state) {
    const px::Card card = px::Card::Build(archive);
    uint32_t sum = 0;
    for (int row = 0; row < card.Rows(); ++row)
      for (int x = 1; x <= 36; ++x) sum += card.Has(row, x) + px::CardCellColour(card, row, x, colours).value_or(1);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_Card10000)->Unit(benchmark::kMillisecond);

void BM_WeekCounts10000(benchmark::State& state) {
  const px::DrawArchive archive = MakeArchive(10000);
  for (auto _ : state) {
    const px::WeekCounts w = px::ComputeWeekCounts(archive, 0, 10000);
    benchmark::DoNotOptimize(w.max);
  }
}
BENCHMARK(BM_WeekCounts10000)->Unit(benchmark::kMillisecond);

}  // namespace
