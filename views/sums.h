// The sum of the five numbers over every possible combination and over the
// archive's draws, with the level lines that mark where the most probable
// sums lie. Pure arithmetic; the graph window and the tool draw and print it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace px {

class DrawArchive;

struct SumCount {
  int sum = 0;
  int32_t count = 0;
  bool operator==(const SumCount&) const = default;
};

// One level line: the count `level`, and the sums lo..hi whose counts among
// all combinations reach it (0 for an end no sum reaches).
struct SumLevel {
  int32_t level = 0;
  int lo = 0, hi = 0;
};

struct SumsTables {
  std::vector<SumCount> theory;  // every combination, by sum ascending (15..170)
  std::vector<SumCount> actual;  // the archive's draws, by sum ascending; sums met only
  int32_t maxT = 0, minT = 0;
  int32_t maxA = 0;  // 0 for an empty archive
  std::array<SumLevel, 3> levels{};

  // A count of the theory (or a level) at the height of the archive's tallest sum.
  double Scaled(int32_t count) const { return maxT > 0 ? double(count) / double(maxT) * double(maxA) : 0.0; }
};

// The counts of every sum over all 376,992 combinations, ascending.
std::vector<SumCount> CombinationSums();
SumsTables ComputeSums(const DrawArchive& archive);

// The series titles.
inline constexpr const char* kActualSumsTitle = "Фактическое распределение сумм (по тиражам)";
inline constexpr const char* kTheorySumsTitle = "Теоретическое распределение сумм (по комбинациям)";
// "Диапазон %d (от %s и выше по оси Y) - суммы %d-%d" for level 0..2.
std::string SumLevelTitle(int level, const SumLevel& l);
// The chart's colours, 0xRRGGBB: actual, theory, levels 1..3.
inline constexpr uint32_t kActualSumsColour = 0xFF0000;
inline constexpr uint32_t kTheorySumsColour = 0x800000;
inline constexpr std::array<uint32_t, 3> kSumLevelColours{0x008000, 0x0000FF, 0xFF00FF};

}  // namespace px
