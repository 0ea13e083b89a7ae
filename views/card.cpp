#include "views/card.h"

#include <algorithm>

#include "core/archive.h"
#include "core/arith.h"

namespace px {

namespace {

uint64_t NumberMask(const Combination& numbers) {
  uint64_t mask = 0;
  for (uint8_t n : numbers)
    if (n >= 1 && n <= kNumbers) mask |= uint64_t{1} << n;
  return mask;
}

}  // namespace

Card Card::Build(const DrawArchive& archive) {
  Card card;
  const std::vector<DrawRecord>& records = archive.Records();
  card.rows_.resize(records.size());
  auto out = card.rows_.begin();
  for (auto it = records.rbegin(); it != records.rend(); ++it, ++out) *out = CardRow{it->number, NumberMask(it->numbers)};
  return card;
}

bool Card::Matches(const DrawArchive& archive) const {
  const std::vector<DrawRecord>& records = archive.Records();
  if (records.size() != rows_.size()) return false;
  auto row = rows_.begin();
  for (auto it = records.rbegin(); it != records.rend(); ++it, ++row)
    if (row->draw != it->number || row->numbers != NumberMask(it->numbers)) return false;
  return true;
}

std::string Card::CellText(int row, int column) const {
  if (row < 0 || row >= Rows()) return {};
  if (column == 0) return std::to_string(rows_[size_t(row)].draw);
  return Has(row, column) ? std::to_string(column) : std::string();
}

std::optional<uint32_t> CardCellColour(const Card& card, int row, int column, const CardColours& colours) {
  if (row < 0 || row >= card.Rows() || column < 1 || column > kNumbers) return std::nullopt;
  if (colours.sequences && card.Has(row, column)) {
    // Has() is false beyond the grid: the first row has nothing above it,
    // the last nothing below.
    const bool repeat = card.Has(row - 1, column) || card.Has(row + 1, column);
    const bool run = card.Has(row, column - 1) || card.Has(row, column + 1);
    if (repeat) return run ? kCardBoth : kCardRepeat;
    if (run) return kCardRun;
  }
  if (colours.channels) return ChannelColour(column, colours.channelSize);
  return std::nullopt;
}

std::vector<int> CardSelectionNumbers(const Card& card, int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  left = std::max(left, 1);
  right = std::min(right, kNumbers);
  top = std::max(top, 0);
  bottom = std::min(bottom, card.Rows() - 1);
  std::vector<int> numbers;
  if (top > bottom) return numbers;
  const std::vector<CardRow>& rows = card.RowData();
  uint64_t present = 0;
  for (int r = top; r <= bottom; ++r) present |= rows[size_t(r)].numbers;
  // Every cell of a column holds the column's own number, so a column with
  // any filled cell gives that number once, in column order.
  for (int x = left; x <= right; ++x)
    if ((present >> x) & 1u) numbers.push_back(x);
  return numbers;
}

std::string SelectionValuesText(const std::vector<int>& numbers) {
  std::string text;
  for (int n : numbers) {
    if (!text.empty()) text += "; ";
    text += std::to_string(n);
  }
  return text;
}

}  // namespace px
