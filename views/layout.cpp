#include "views/layout.h"

#include <algorithm>
#include <cmath>

#include "core/archive.h"
#include "core/text.h"

namespace px {

LayoutWindow LayoutWindowOf(const DrawArchive& archive, int offset, int length) {
  LayoutWindow w;
  w.last = archive.ReferenceIndex(offset);
  // 64 bits: a length near the int limit must not wrap.
  w.first = int(std::max<int64_t>(0, int64_t(w.last) - std::max(length, 0) + 1));
  return w;
}

std::vector<LayoutTallyEntry> LayoutTally(const DrawArchive& archive, const LayoutWindow& window) {
  std::vector<LayoutTallyEntry> tally;
  if (window.Empty()) return tally;
  // Where each byte value sits in the tally; any byte a damaged file holds
  // has its own slot.
  std::array<int16_t, 256> at;
  at.fill(-1);
  for (int i = window.last; i >= window.first; --i) {
    const DrawRecord& d = archive.At(i);
    for (uint8_t n : d.numbers) {
      if (n == 0) continue;
      if (at[n] < 0) {
        at[n] = int16_t(tally.size());
        tally.push_back({n, 1, d.number});
      } else {
        ++tally[size_t(at[n])].count;
      }
    }
  }
  return tally;
}

LayoutGrid BuildLayoutGrid(const std::vector<LayoutTallyEntry>& tally, const std::bitset<256>& known) {
  LayoutGrid g;
  for (const LayoutTallyEntry& e : tally) {
    g.counts.push_back(e.count);
    g.draws.push_back(e.newestDraw);
  }
  std::sort(g.counts.begin(), g.counts.end());
  g.counts.erase(std::unique(g.counts.begin(), g.counts.end()), g.counts.end());
  std::sort(g.draws.begin(), g.draws.end());
  g.draws.erase(std::unique(g.draws.begin(), g.draws.end()), g.draws.end());
  g.cells.assign(g.counts.size(), std::vector<std::string>(g.draws.size()));
  for (const LayoutTallyEntry& e : tally) {
    const size_t row = size_t(std::lower_bound(g.counts.begin(), g.counts.end(), e.count) - g.counts.begin());
    const size_t column = size_t(std::lower_bound(g.draws.begin(), g.draws.end(), e.newestDraw) - g.draws.begin());
    std::string text = std::to_string(e.number);
    if (e.number >= 0 && e.number < 256 && known.test(size_t(e.number))) text = "[" + text + "]";
    std::string& cell = g.cells[row][column];
    cell += (cell.empty() ? "" : ", ") + text;
  }
  return g;
}

LayoutGrid BuildLayoutGrid(const DrawArchive& archive, int offset, int length) {
  return BuildLayoutGrid(LayoutTally(archive, LayoutWindowOf(archive, offset, length)),
                         archive.KnownNextDraw(std::max(offset, 0)));
}

namespace {

uint32_t Rgb(int r, int g, int b) { return (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b); }

// 155·i/n in [0, 155), rounded with the rest of the channel: halves to even.
int Channel(double base, double sign, int i, int n) {
  const double v = base + sign * 155.0 * double(i) / double(std::max(n, 1));
  return std::clamp(int(std::nearbyint(v)), 0, 255);
}

bool InBlock(int i) { return i <= 95 && i % 10 >= 1 && i % 10 <= 5; }

}  // namespace

uint32_t LayoutCellColour(const std::string& text, int x, int y, int X, int Y, bool gradient) {
  if (text.find('[') != std::string::npos) return kLayoutKnownColour;
  if (gradient) return Rgb(Channel(255, -1, y, Y), Channel(255, -1, x, X), Channel(100, 1, y, Y));
  return InBlock(x) != InBlock(y) ? kLayoutChequerOdd : kLayoutChequerEven;
}

LayoutCompareList BuildLayoutCompareList(const DrawArchive& archive, int offset, int length) {
  LayoutCompareList list;
  const LayoutWindow w = LayoutWindowOf(archive, offset, length);
  if (w.Empty()) return list;
  list.caption = std::to_string(archive.At(w.first).number) + " - " + std::to_string(archive.At(w.last).number);
  for (const LayoutTallyEntry& e : LayoutTally(archive, w)) {
    auto row = std::find_if(list.rows.begin(), list.rows.end(), [&](const auto& r) { return r.first == e.count; });
    if (row == list.rows.end())
      list.rows.emplace_back(e.count, std::to_string(e.number));
    else
      row->second += ", " + std::to_string(e.number);
  }
  // Counts are distinct: the order is total.
  std::sort(list.rows.begin(), list.rows.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  return list;
}

std::array<LayoutCompareList, kLayoutCompareLists> BuildLayoutCompare(const DrawArchive& archive, int offset,
                                                                      const LayoutCompareLengths& lengths) {
  std::array<LayoutCompareList, kLayoutCompareLists> lists;
  for (size_t k = 0; k < lists.size(); ++k) lists[k] = BuildLayoutCompareList(archive, offset, lengths[k]);
  return lists;
}

LayoutSelectionNumbers NumbersOfCells(const std::vector<std::string>& cells) {
  LayoutSelectionNumbers out;
  for (const std::string& cell : cells)
    for (const std::string& piece : SplitAny(cell, ",", false)) {
      std::string bare;
      for (char ch : piece)
        if (ch != '[' && ch != ']') bare += ch;
      bare = Trim(bare);
      if (bare.empty()) continue;
      const int value = ParseInt32(bare).value_or(0);
      if (std::find(out.numbers.begin(), out.numbers.end(), value) != out.numbers.end()) continue;
      out.numbers.push_back(value);
      out.valuesText += (out.valuesText.empty() ? "" : "; ") + std::to_string(value);
    }
  return out;
}

LayoutSelectionNumbers NumbersOfSelection(const LayoutGrid& grid, int firstRow, int lastRow, int firstColumn,
                                          int lastColumn) {
  firstRow = std::max(firstRow, 0);
  firstColumn = std::max(firstColumn, 0);
  lastRow = std::min(lastRow, grid.Rows() - 1);
  lastColumn = std::min(lastColumn, grid.Columns() - 1);
  std::vector<std::string> cells;
  for (int c = firstColumn; c <= lastColumn; ++c)
    for (int r = firstRow; r <= lastRow; ++r) cells.push_back(grid.Cell(r, c));
  return NumbersOfCells(cells);
}

}  // namespace px
