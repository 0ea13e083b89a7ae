#include "views/repeats.h"

#include <algorithm>
#include <array>

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

// The shared numbers of two masks. Written out because the portable build
// has no popcount instruction, and the library call costs more than this.
inline int Shared(uint64_t a, uint64_t b) {
  uint64_t x = a & b;
  x = x - ((x >> 1) & 0x5555555555555555ull);
  x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return int((x * 0x0101010101010101ull) >> 56);
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
  std::vector<int32_t> numbers(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    masks[size_t(i)] = MaskOf(archive.At(i).numbers);
    numbers[size_t(i)] = archive.At(i).number;
  }
  // What each earlier draw shares with the draw at hand, nearest first; one
  // buffer for every draw, so the comparisons allocate nothing.
  std::vector<uint8_t> shared(size_t(std::min<int64_t>(deep, a)) + 4);
  const int total = a - b + 1;
  // Room for every comparison at once: the list never moves while it grows,
  // and the pages of the part left unused are never touched. Past 256 MB it
  // grows as it goes.
  size_t comparisons = 0;
  for (int p = a; p >= b; --p) comparisons += size_t(std::min<int64_t>(deep, p));
  t.draws_.reserve(std::min<size_t>(comparisons + 1, size_t(1) << 26));

  int top = 0;
  for (int p = a; p >= b; --p) {
    const int e = int(std::max<int64_t>(0, int64_t(p) - deep));
    const int span = p - e;
    const uint64_t mine = masks[size_t(p)];
    const uint64_t* before = masks.data() + e;
    // Counts in four tables: runs of equal counts do not wait on each other.
    int32_t counts[4][kDrawSize + 1] = {};
    int j = 0;
    for (; j + 4 <= span; j += 4) {
      const int k = p - 1 - j - e;
      const int m0 = Shared(mine, before[k]), m1 = Shared(mine, before[k - 1]), m2 = Shared(mine, before[k - 2]),
                m3 = Shared(mine, before[k - 3]);
      shared[size_t(j)] = uint8_t(m0);
      shared[size_t(j + 1)] = uint8_t(m1);
      shared[size_t(j + 2)] = uint8_t(m2);
      shared[size_t(j + 3)] = uint8_t(m3);
      ++counts[0][m0];
      ++counts[1][m1];
      ++counts[2][m2];
      ++counts[3][m3];
    }
    for (; j < span; ++j) {
      const int m = Shared(mine, before[p - 1 - j - e]);
      shared[size_t(j)] = uint8_t(m);
      ++counts[0][m];
    }
    std::array<int32_t, kDrawSize + 1> count{};
    size_t listed = 0;
    int present = 0;
    for (int m = 1; m <= kDrawSize; ++m) {
      count[size_t(m)] = counts[0][m] + counts[1][m] + counts[2][m] + counts[3][m];
      listed += size_t(count[size_t(m)]);
      if (count[size_t(m)] > 0) {
        top = std::max(top, m);
        ++present;
      }
    }
    if (listed > 0) {
      // Rows in the order the nearest draws first met each count, each with
      // its part of the shared list.
      const int32_t number = numbers[size_t(p)];
      size_t next = t.draws_.size();
      std::array<size_t, kDrawSize + 1> cursor{};
      std::array<bool, kDrawSize + 1> started{};
      for (int i = 0; i < span && present > 0; ++i) {
        const int m = shared[size_t(i)];
        if (m == 0 || started[size_t(m)]) continue;
        started[size_t(m)] = true;
        --present;
        t.rows_.push_back(RepeatRow{number, count[size_t(m)], m, next});
        cursor[size_t(m)] = next;
        next += size_t(count[size_t(m)]);
      }
      // One slot past the end takes the draws that share nothing, so the
      // fill does not branch on them.
      cursor[0] = next;
      t.draws_.resize(next + 1);
      int32_t* out = t.draws_.data();
      for (int i = 0; i < span; ++i) {
        const int m = shared[size_t(i)];
        out[cursor[size_t(m)]] = numbers[size_t(p - 1 - i)];
        cursor[size_t(m)] += m != 0;
      }
      t.draws_.pop_back();
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
