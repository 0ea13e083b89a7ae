#include "views/repeats.h"

#include <algorithm>
#include <array>
#include <bit>

#include "core/archive.h"
#include "core/text.h"

namespace px {

namespace {

// Bit n for number n; a number outside 1..36 sets nothing, so a damaged
// record cannot match another on a missing (0) number.
uint64_t MaskOf(const Combination& c) {
  uint64_t m = 0;
  for (uint8_t n : c)
    if (n >= 1 && n <= kNumbers) m |= uint64_t(1) << n;
  return m;
}

}  // namespace

std::string RepeatsTable::DrawsText(const RepeatRow& row) const {
  std::string text;
  text.reserve(size_t(row.count) * 6);
  for (int32_t d : DrawsOf(row)) {
    if (!text.empty()) text += ' ';
    text += std::to_string(d);
  }
  return text;
}

RepeatsTable AnalyzeRepeats(const DrawArchive& archive, int length, int depth,
                            const std::function<void(int done, int total)>& progress) {
  RepeatsTable t;
  const int count = archive.Count();
  const int64_t len = std::max(length, 1), deep = std::max(depth, 1);
  // 64 bits: a window near the int limit must not wrap.
  const int a = count - 1;
  const int b = int(std::max<int64_t>(0, int64_t(a) - len + 1));
  t.newest_ = a;
  t.oldest_ = b;
  if (a < 0) return t;

  std::vector<uint64_t> masks(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) masks[size_t(i)] = MaskOf(archive.At(i).numbers);
  const int total = a - b + 1;

  int top = 0;
  for (int p = a; p >= b; --p) {
    const int e = int(std::max<int64_t>(0, int64_t(p) - deep));
    const uint64_t mine = masks[size_t(p)];
    // First the counts, so each row's part of the shared list is known;
    // then the same comparisons again fill the parts in place.
    std::array<int32_t, kDrawSize + 1> counts{};
    for (int k = p - 1; k >= e; --k) ++counts[size_t(std::popcount(mine & masks[size_t(k)]))];
    size_t listed = 0;
    for (int m = 1; m <= kDrawSize; ++m) {
      listed += size_t(counts[size_t(m)]);
      if (counts[size_t(m)] > 0) top = std::max(top, m);
    }
    if (listed == 0) {
      if (progress) progress(a - p + 1, total);
      continue;
    }
    size_t next = t.draws_.size();
    t.draws_.resize(next + listed);
    std::array<size_t, kDrawSize + 1> cursor{};
    std::array<bool, kDrawSize + 1> started{};
    const int32_t number = archive.At(p).number;
    for (int k = p - 1; k >= e; --k) {
      const int m = std::popcount(mine & masks[size_t(k)]);
      if (m == 0) continue;
      if (!started[size_t(m)]) {
        // A new number of shared numbers starts its row at the list's end.
        started[size_t(m)] = true;
        t.rows_.push_back(RepeatRow{number, counts[size_t(m)], m, next});
        cursor[size_t(m)] = next;
        next += size_t(counts[size_t(m)]);
      }
      t.draws_[cursor[size_t(m)]++] = archive.At(k).number;
    }
    if (progress) progress(a - p + 1, total);
  }
  t.top_ = top;
  return t;
}

std::vector<RepeatSeries> RepeatChart(const RepeatsTable& table) {
  std::vector<RepeatSeries> lines(static_cast<size_t>(table.Top()));
  for (int m = 1; m <= table.Top(); ++m) lines[size_t(m - 1)].matches = m;
  const auto& rows = table.Rows();
  for (auto it = rows.rbegin(); it != rows.rend(); ++it)
    lines[size_t(it->matches - 1)].points.emplace_back(it->draw, it->count);
  return lines;
}

std::string RepeatSeriesTitle(int matches) { return Fmt("Совпадений: %d", matches); }

const std::vector<std::string>& RepeatColumnTitles() {
  static const std::vector<std::string> titles{"Тираж", "Совпадений", "Кол-во повторов", "Список тиражей"};
  return titles;
}

}  // namespace px
