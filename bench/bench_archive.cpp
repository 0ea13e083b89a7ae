// Loading and saving a 10,000-draw archive, and importing it from CSV.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/archive.h"
#include "core/csv.h"
#include "core/env.h"

namespace {

px::DrawArchive MakeArchive(int count) {
  px::DrawArchive a;
  for (int i = 0; i < count; ++i) {
    px::DrawRecord d;
    d.number = i + 1;
    for (int k = 0; k < 5; ++k) d.numbers[k] = static_cast<uint8_t>((i * 7 + k * 5) % 36 + 1);
    d.SetDate("03/01/2021");
    a.Append(d);
  }
  return a;
}

std::string TempFolder() {
  auto dir = std::filesystem::temp_directory_path() / "pentalux_bench";
  std::filesystem::create_directories(dir);
  return dir.string();
}

void BM_ArchiveSave(benchmark::State& state) {
  px::DrawArchive a = MakeArchive(10000);
  std::string path = px::ArchivePath(TempFolder());
  for (auto _ : state) a.Save(px::Env::Real(), path);
}
BENCHMARK(BM_ArchiveSave)->Unit(benchmark::kMillisecond);

void BM_ArchiveLoad(benchmark::State& state) {
  std::string path = px::ArchivePath(TempFolder());
  MakeArchive(10000).Save(px::Env::Real(), path);
  for (auto _ : state) {
    px::DrawArchive a;
    a.Load(px::Env::Real(), path);
    benchmark::DoNotOptimize(a.Count());
  }
}
BENCHMARK(BM_ArchiveLoad)->Unit(benchmark::kMillisecond);

void BM_CsvImport(benchmark::State& state) {
  std::string path = TempFolder() + "/draws.csv";
  px::ExportDraws(px::Env::Real(), MakeArchive(10000), path);
  for (auto _ : state) {
    px::DrawArchive a;
    auto r = px::ImportDraws(px::Env::Real(), a, path);
    benchmark::DoNotOptimize(r.added);
  }
}
BENCHMARK(BM_CsvImport)->Unit(benchmark::kMillisecond);

}  // namespace
