// The numbers behind the week view: over a window of recent draws, how many
// draws held on each day of the week contained each number, the shading of
// those counts and the chart of one grid row or column. No widgets here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace px {

class DrawArchive;
struct DrawRecord;

// The draw's date as yyyymmdd, read field by field from "mm/dd/yyyy"; 0
// when it is empty or no real date (month 0 or 13, 02/30, year 0).
int32_t DrawDateKey(const DrawRecord& draw);
// Monday = 1 .. Sunday = 7 of a date key; 0 for a key that is no real date.
int WeekdayOfKey(int32_t key);

// The base language's short day names, Monday first.
extern const std::array<const char*, 7> kWeekdayShortNames;

struct WeekCounts {
  // counts[x - 1][d - 1]: draws of weekday d (1..7) that held number x (1..36).
  std::array<std::array<int32_t, 7>, 36> counts{};
  int32_t max = 0;  // M, the largest count
  // Array indexes of the window; first > last when it holds no draw.
  int first = 0;
  int last = -1;

  // The count of grid cell (column x, row d); 0 for the header row, the
  // day-name column and anything outside the grid.
  int32_t At(int x, int d) const {
    return x >= 1 && x <= 36 && d >= 1 && d <= 7 ? counts[size_t(x - 1)][size_t(d - 1)] : 0;
  }
};

// The window ends `offset` draws before the newest (a negative offset counts
// as 0) and holds at most `length` draws; a draw without a readable date is
// not counted.
WeekCounts ComputeWeekCounts(const DrawArchive& archive, int offset, int length);

// The green of a count cell's RGB(255, g, g): 255 - 255·n/M rounded to the
// nearest, halves to even.
int WeekShade(int32_t n, int32_t max);
// The fill of a count cell as 0xRRGGBB, or nullopt for plain (no count, or
// a header or day-name cell).
std::optional<uint32_t> WeekCellColour(const WeekCounts& counts, int x, int d);

struct WeekPoint {
  int x = 0;  // the weekday row (mode 1) or the number column (mode 0)
  int32_t y = 0;
  bool operator==(const WeekPoint&) const = default;
};
// Mode 1: one number (column x) across the seven weekdays; any other mode:
// one weekday (row d) across the 36 numbers. A header or day-name cell gives
// zeros.
std::vector<WeekPoint> WeekChartPoints(const WeekCounts& counts, int mode, int x, int d);

// The numbers of a week selection: its column indexes from the first to the
// last, whatever its rows; the day-name column gives 0.
std::vector<int> WeekSelectionNumbers(int firstColumn, int lastColumn);

// What the last computation was made from; a fresh memory never matches.
struct WeekInputs {
  int archiveCount = -1;
  int offset = -1;
  int length = -1;
  uint64_t window = 0;  // the window's draws, so an edit inside it counts
  bool operator==(const WeekInputs&) const = default;
};
WeekInputs WeekInputsOf(const DrawArchive& archive, int offset, int length);

}  // namespace px
