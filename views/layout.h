// The numbers behind the page "Схема": where every number of a window of
// recent draws fell, as a grid whose row is how often it fell and whose
// column is the draw number of its newest fall, and the five compare lists
// that group the numbers by how often they fell in windows of other lengths.
// Pure functions of the archive; colours are 0xRRGGBB. No widgets here.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace px {

class DrawArchive;

// The array indexes of a window that ends `offset` draws before the newest
// (a negative offset counts as 0) and holds at most `length` draws; first >
// last when it holds none (an empty archive, an offset past the oldest draw,
// a length below 1).
struct LayoutWindow {
  int first = 0;
  int last = -1;
  bool Empty() const { return first > last; }
};
LayoutWindow LayoutWindowOf(const DrawArchive& archive, int offset, int length);

// One number that fell in the window.
struct LayoutTallyEntry {
  int number = 0;
  int count = 0;          // how many draws of the window hold it
  int32_t newestDraw = 0;  // the draw number of its newest fall
  bool operator==(const LayoutTallyEntry&) const = default;
};
// The window walked newest first, each draw's numbers in stored order; the
// entries in order of first meeting. A 0 marks no number and is skipped.
std::vector<LayoutTallyEntry> LayoutTally(const DrawArchive& archive, const LayoutWindow& window);

// The grid without its header row and column: rows are the distinct counts
// ascending, columns the distinct newest-fall draw numbers ascending by value
// (not by archive position). A cell lists its numbers in tally order joined
// by ", ", each number of the known next draw as "[n]".
struct LayoutGrid {
  std::vector<int> counts;       // the header column, top to bottom
  std::vector<int32_t> draws;    // the header row, left to right
  std::vector<std::vector<std::string>> cells;  // [row][column]
  bool Empty() const { return draws.empty(); }
  int Rows() const { return int(counts.size()); }
  int Columns() const { return int(draws.size()); }
  const std::string& Cell(int row, int column) const { return cells[size_t(row)][size_t(column)]; }
};
// `known` is the known next draw's numbers (DrawArchive::KnownNextDraw).
LayoutGrid BuildLayoutGrid(const std::vector<LayoutTallyEntry>& tally, const std::bitset<256>& known);
// The grid at the offset over `length` draws, with the offset's known next draw.
LayoutGrid BuildLayoutGrid(const DrawArchive& archive, int offset, int length);

// The background of a data cell. x and y are its column and row in the grid
// with its header row and column (so the first data cell is 1, 1), X and Y
// the grid's column and row counts with the header. A cell holding a number
// of the known next draw is green in either mode; otherwise the gradient
// fades from the top left corner, or blocks of five rows and columns make a
// chequer.
uint32_t LayoutCellColour(const std::string& text, int x, int y, int X, int Y, bool gradient);
inline constexpr uint32_t kLayoutKnownColour = 0x00FF00;
inline constexpr uint32_t kLayoutChequerOdd = 0xFFEAEA;   // exactly one of the row and column blocks
inline constexpr uint32_t kLayoutChequerEven = 0xEAFFEA;

// One compare list: the range caption "<draw number of first> - <draw number
// of last>" (empty when the window holds no draw) and the rows (count,
// numbers joined by ", ") sorted by count, largest first.
struct LayoutCompareList {
  std::string caption;
  std::vector<std::pair<int, std::string>> rows;
};
LayoutCompareList BuildLayoutCompareList(const DrawArchive& archive, int offset, int length);
inline constexpr int kLayoutCompareLists = 5;
using LayoutCompareLengths = std::array<int, kLayoutCompareLists>;
std::array<LayoutCompareList, kLayoutCompareLists> BuildLayoutCompare(const DrawArchive& archive, int offset,
                                                                      const LayoutCompareLengths& lengths);

// The numbers a selection of cells stands for, for keep / remove: the
// cells' texts in the order given (column by column, each top to bottom),
// split at ",", brackets and blanks taken off, each piece read as a whole
// number (0 when it is none), each value once in order of first meeting. An
// empty cell or piece gives nothing, so a selection of empty cells gives no
// numbers. valuesText is the values joined by "; ".
struct LayoutSelectionNumbers {
  std::vector<int> numbers;
  std::string valuesText;
};
LayoutSelectionNumbers NumbersOfCells(const std::vector<std::string>& cells);
// The rectangle of data cells from (firstRow, firstColumn) to (lastRow,
// lastColumn), clipped to the grid.
LayoutSelectionNumbers NumbersOfSelection(const LayoutGrid& grid, int firstRow, int lastRow, int firstColumn,
                                          int lastColumn);

// What a computation was made from; -1 is unknown, so a fresh memory never
// matches.
struct LayoutInputs {
  int archiveCount = -1;
  int offset = -1;
  int length = -1;
  bool operator==(const LayoutInputs&) const = default;
};
struct LayoutCompareInputs {
  int archiveCount = -1;
  int offset = -1;
  bool operator==(const LayoutCompareInputs&) const = default;
};

}  // namespace px
