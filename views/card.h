// The numbers behind the card (the draw map): one row per draw of the whole
// archive, newest first, and one column per number 1..36, with the colour
// of each cell. No widgets here; the page and the tool show these.
//
// A Card is a plain value: it copies what it needs from the archive and
// holds no reference to it, so the archive may change under a shown card.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace px {

class DrawArchive;

inline constexpr int kCardColumns = 37;  // the draw number, then 1..36

struct CardRow {
  int32_t draw = 0;
  uint64_t numbers = 0;  // bit x set: the draw holds x (1..36)
};

class Card {
 public:
  // Every draw of the archive, newest first; numbers outside 1..36 are left out.
  static Card Build(const DrawArchive& archive);

  int Rows() const { return static_cast<int>(rows_.size()); }
  const std::vector<CardRow>& RowData() const { return rows_; }
  // Whether number column x (1..36) of the row holds its number; false for
  // any row or column outside the grid.
  bool Has(int row, int x) const {
    return row >= 0 && row < Rows() && x >= 1 && x <= 36 && ((rows_[size_t(row)].numbers >> x) & 1u) != 0;
  }
  // The cell as shown: the draw number in column 0, the number in a column
  // whose draw holds it, empty otherwise.
  std::string CellText(int row, int column) const;
  // Whether the card was built from exactly these draws, in this order.
  bool Matches(const DrawArchive& archive) const;

 private:
  std::vector<CardRow> rows_;
};

struct CardColours {
  bool channels = true;   // ColorCard
  bool sequences = true;  // ColorCardSequences
  int channelSize = 6;
};

inline constexpr uint32_t kCardBoth = 0xFFFF00;    // a repeat that is also a run
inline constexpr uint32_t kCardRepeat = 0x00FF00;  // the number fell in a neighbouring draw
inline constexpr uint32_t kCardRun = 0x00FFFF;     // a consecutive number in the same draw

// The fill of a cell as 0xRRGGBB, or nullopt for plain. Column 0 and cells
// outside the grid are plain; the rows above the first and below the last
// are no neighbours.
std::optional<uint32_t> CardCellColour(const Card& card, int row, int column, const CardColours& colours);

// The numbers of the non-empty number cells of a rectangle (rows and columns
// inclusive, in either order), column by column and row by row, each once.
// Column 0 holds draw numbers, not numbers to filter by, and is left out.
std::vector<int> CardSelectionNumbers(const Card& card, int left, int top, int right, int bottom);

// The values text of a number keep / remove: "5; 6; 7".
std::string SelectionValuesText(const std::vector<int>& numbers);

}  // namespace px
