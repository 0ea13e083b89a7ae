#include "views/week.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "core/archive.h"
#include "core/dates.h"

namespace px {

namespace {

struct Window {
  int first = 0;
  int last = -1;
};

Window WindowOf(const DrawArchive& archive, int offset, int length) {
  const int last = archive.ReferenceIndex(offset);
  if (last < 0 || length < 1) return {};
  // int64: a window of up to 2147483647 draws must not wrap below 0.
  const int64_t first = std::max<int64_t>(0, int64_t{last} - length + 1);
  return {static_cast<int>(first), last};
}

bool Digit(char c) { return c >= '0' && c <= '9'; }
int Two(const char* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

}  // namespace

const std::array<const char*, 7> kWeekdayShortNames = {"пн", "вт", "ср", "чт", "пт", "сб", "вс"};

int WeekdayOfKey(int32_t key) {
  using namespace std::chrono;
  if (key / 10000 < 1) return 0;  // no year 0, nothing before it
  const year_month_day date{year{key / 10000}, month{static_cast<unsigned>(key / 100 % 100)},
                            day{static_cast<unsigned>(key % 100)}};
  if (!date.ok()) return 0;
  return static_cast<int>(weekday{sys_days{date}}.iso_encoding());
}

namespace {

// The key as written, not yet checked to be a real date.
int32_t WrittenDateKey(const DrawRecord& draw) {
  if (draw.dateLength == 0) return 0;
  const char* t = draw.date.data();
  int32_t key = 0;
  if (draw.dateLength == 10 && Digit(t[0]) && Digit(t[1]) && Digit(t[3]) && Digit(t[4]) && Digit(t[6]) &&
      Digit(t[7]) && Digit(t[8]) && Digit(t[9])) {
    // The archive's own form: the fields where they stand, no text made.
    key = (Two(t + 6) * 100 + Two(t + 8)) * 10000 + Two(t) * 100 + Two(t + 3);
  } else {
    // Any other text is read as the archive reads dates; what it refuses is no date.
    try {
      if (auto date = ParseDate(draw.DateString())) key = DateKeyOf(*date);
    } catch (...) {
      return 0;
    }
  }
  return key;
}

}  // namespace

int32_t DrawDateKey(const DrawRecord& draw) {
  const int32_t key = WrittenDateKey(draw);
  return WeekdayOfKey(key) != 0 ? key : 0;
}

WeekCounts ComputeWeekCounts(const DrawArchive& archive, int offset, int length) {
  WeekCounts w;
  const Window window = WindowOf(archive, offset, length);
  w.first = window.first;
  w.last = window.last;
  const std::vector<DrawRecord>& records = archive.Records();
  for (int i = window.first; i <= window.last; ++i) {
    const DrawRecord& r = records[size_t(i)];
    const int d = WeekdayOfKey(WrittenDateKey(r));
    if (d == 0) continue;
    for (uint8_t x : r.numbers)
      if (x >= 1 && x <= 36) ++w.counts[size_t(x - 1)][size_t(d - 1)];
  }
  for (const auto& number : w.counts)
    for (int32_t n : number) w.max = std::max(w.max, n);
  return w;
}

int WeekShade(int32_t n, int32_t max) {
  if (max <= 0) return 255;
  const double g = 255.0 - 255.0 * static_cast<double>(n) / static_cast<double>(max);
  return std::clamp(static_cast<int>(std::nearbyint(g)), 0, 255);
}

std::optional<uint32_t> WeekCellColour(const WeekCounts& counts, int x, int d) {
  const int32_t n = counts.At(x, d);
  if (n < 1 || counts.max <= 0) return std::nullopt;
  const uint32_t g = static_cast<uint32_t>(WeekShade(n, counts.max));
  return 0xFF0000u | (g << 8) | g;
}

std::vector<WeekPoint> WeekChartPoints(const WeekCounts& counts, int mode, int x, int d) {
  std::vector<WeekPoint> points;
  if (mode == 1) {
    for (int row = 1; row <= 7; ++row) points.push_back({row, counts.At(x, row)});
  } else {
    for (int column = 1; column <= 36; ++column) points.push_back({column, counts.At(column, d)});
  }
  return points;
}

std::vector<int> WeekSelectionNumbers(int firstColumn, int lastColumn) {
  if (firstColumn > lastColumn) std::swap(firstColumn, lastColumn);
  firstColumn = std::max(firstColumn, 0);
  lastColumn = std::min(lastColumn, 36);
  std::vector<int> numbers;
  for (int c = firstColumn; c <= lastColumn; ++c) numbers.push_back(c);
  return numbers;
}

WeekInputs WeekInputsOf(const DrawArchive& archive, int offset, int length) {
  const Window window = WindowOf(archive, offset, length);
  // FNV-1a over what the counts read of each draw: its numbers and its date.
  uint64_t h = 0xcbf29ce484222325ull;
  auto mix = [&h](const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
  };
  const std::vector<DrawRecord>& records = archive.Records();
  for (int i = window.first; i <= window.last; ++i) {
    const DrawRecord& r = records[size_t(i)];
    mix(r.numbers.data(), r.numbers.size());
    mix(&r.dateLength, 1);
    mix(r.date.data(), std::min<size_t>(r.dateLength, r.date.size()));
  }
  return WeekInputs{archive.Count(), offset, length, h};
}

}  // namespace px
