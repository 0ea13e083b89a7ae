#include "stats/families/family_core.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/arith.h"
#include "core/config.h"
#include "core/text.h"

namespace px::family {

std::string KeysText(const StatValue& v, int k) {
  const uint16_t keys[4] = {v.Key1, v.Key2, v.Key3, v.Key4};
  std::string out;
  for (int i = 0; i < k && i < 4; ++i) {
    if (i) out += ':';
    out += std::to_string(keys[i]);
  }
  return out;
}

std::string TimesText(int a, int b) { return std::to_string(a) + " x " + std::to_string(b); }

std::string TwoDigits(int v) { return Fmt("%.2d", v); }

void AddCandidates(StatValue& work, TStatDrawArray& values, int lo, int hi) {
  for (int v = lo; v <= hi; ++v) AddInt(work, values, v, false);
}

void Buckets::Add(int v) {
  for (int i = 0; i < n; ++i)
    if (value[size_t(i)] == v) {
      ++count[size_t(i)];
      return;
    }
  if (n < int(value.size())) {
    value[size_t(n)] = v;
    count[size_t(n)] = 1;
    ++n;
  }
}

int Buckets::MaxCount() const {
  int m = 0;
  for (int i = 0; i < n; ++i) m = std::max(m, count[size_t(i)]);
  return m;
}

int Buckets::CountOf(int v) const {
  for (int i = 0; i < n; ++i)
    if (value[size_t(i)] == v) return count[size_t(i)];
  return 0;
}

bool Chosen(const TStatDrawArray& selected, MatchRule rule, int32_t value) {
  switch (rule) {
    case MatchRule::Word1:
      return HasWordKey(selected, 1, uint16_t(value));
    case MatchRule::Value13:
      return value >= 0 && value <= 0xFFFF && HasValue13(selected, uint16_t(value), 0);
    case MatchRule::Int12:
      return HasKey1or3(selected, 1, value);
    case MatchRule::RangeFlag:
      return (value == 1) == HasValue(selected, 1, 0, 0, 0);
  }
  return false;
}

void MatchAnyNumber(const NumberTable& chosen, const Combination* combs, size_t n, uint8_t* out) {
  for (size_t i = 0; i < n; ++i) {
    const Combination c = combs[i];  // a copy: the byte stores below may alias it
    out[i] = AnyChosen(chosen, c);
  }
}

size_t FilterAnyNumber(const NumberTable& chosen, const Combination* in, size_t n, Combination* out, FilterMode mode) {
  const uint8_t drop = mode == FilterMode::RemoveSelected ? 1 : 0;
  size_t kept = 0;
  size_t i = 0;
#if defined(__SSE2__)
  // One to four numbers chosen, the usual case: sixteen combinations are
  // 80 bytes, compared with each number at once; bit 5i.. of the byte masks
  // then tells combination i.
  uint8_t v[4];
  int k = 0;
  for (int x = 0; x < 256 && k <= 4; ++x)
    if (chosen[size_t(x)]) {
      if (k < 4) v[k] = uint8_t(x);
      ++k;
    }
  if (k >= 1 && k <= 4) {
    for (int j = k; j < 4; ++j) v[j] = v[0];
    const __m128i w0 = _mm_set1_epi8(char(v[0])), w1 = _mm_set1_epi8(char(v[1]));
    const __m128i w2 = _mm_set1_epi8(char(v[2])), w3 = _mm_set1_epi8(char(v[3]));
    const auto* bytes = reinterpret_cast<const uint8_t*>(in);
    auto hits = [&](size_t at) {
      const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
      const __m128i h = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(c, w0), _mm_cmpeq_epi8(c, w1)),
                                     _mm_or_si128(_mm_cmpeq_epi8(c, w2), _mm_cmpeq_epi8(c, w3)));
      return uint64_t(uint32_t(_mm_movemask_epi8(h)));
    };
    // Apart, the output takes each entry as one 8-byte store whose last
    // three bytes the next entry overwrites; reading 8 bytes needs an entry
    // after the block, writing them a slot after the entry.
    const bool apart = out + n <= in || in + n <= out;
    for (; apart && i + 17 <= n; i += 16) {
      const size_t at = i * sizeof(Combination);
      uint64_t lo = hits(at) | hits(at + 16) << 16 | hits(at + 32) << 32 | hits(at + 48) << 48;
      uint64_t hi = hits(at + 64);
      for (size_t j = 0; j < 16; ++j) {
        StoreWide(out + kept, in + i + j);
        kept += uint8_t((lo & 31) != 0) ^ drop;
        lo = lo >> 5 | hi << 59;
        hi >>= 5;
      }
    }
    for (; i + 16 <= n; i += 16) {
      const size_t at = i * sizeof(Combination);
      uint64_t lo = hits(at) | hits(at + 16) << 16 | hits(at + 32) << 32 | hits(at + 48) << 48;
      uint64_t hi = hits(at + 64);
      for (size_t j = 0; j < 16; ++j) {
        const Combination c = in[i + j];
        out[kept] = c;
        kept += uint8_t((lo & 31) != 0) ^ drop;
        lo = lo >> 5 | hi << 59;
        hi >>= 5;
      }
    }
  }
#endif
  for (; i < n; ++i) {
    const Combination c = in[i];
    out[kept] = c;
    kept += AnyChosen(chosen, c) ^ drop;
  }
  return kept;
}

std::vector<std::array<uint8_t, 4>> TupleGroups(int items, int k, TupleShape shape, int from) {
  std::vector<std::array<uint8_t, 4>> groups;
  if (k < 1 || k > 4 || k > items) return groups;
  switch (shape) {
    case TupleShape::All: {
      std::array<uint8_t, 4> g{};
      for (int i = 0; i < k; ++i) g[size_t(i)] = uint8_t(i);
      for (;;) {
        groups.push_back(g);
        int i = k - 1;
        while (i >= 0 && g[size_t(i)] == items - k + i) --i;
        if (i < 0) break;
        ++g[size_t(i)];
        for (int j = i + 1; j < k; ++j) g[size_t(j)] = uint8_t(g[size_t(j - 1)] + 1);
      }
      break;
    }
    case TupleShape::Adjacent:
      for (int s = 0; s + k <= items; ++s) {
        std::array<uint8_t, 4> g{};
        for (int i = 0; i < k; ++i) g[size_t(i)] = uint8_t(s + i);
        groups.push_back(g);
      }
      break;
    case TupleShape::From:
      if (from >= 1 && from - 1 + k <= items) {
        std::array<uint8_t, 4> g{};
        for (int i = 0; i < k; ++i) g[size_t(i)] = uint8_t(from - 1 + i);
        groups.push_back(g);
      }
      break;
  }
  return groups;
}

int NumberItems(const TCustomStat&, const Combination& c, std::array<uint16_t, 5>& items) {
  for (int i = 0; i < kDrawSize; ++i) items[size_t(i)] = c[size_t(i)];
  return kDrawSize;
}

int SortedNumberItems(const TCustomStat& s, const Combination& c, std::array<uint16_t, 5>& items) {
  return NumberItems(s, Sorted(c), items);
}

int DifferenceItems(const TCustomStat&, const Combination& c, std::array<uint16_t, 5>& items) {
  for (int i = 0; i + 1 < kDrawSize; ++i) items[size_t(i)] = uint16_t(std::abs(int(c[size_t(i + 1)]) - int(c[size_t(i)])));
  return kDrawSize - 1;
}

namespace {
// feature(n) and across(n) for n = 1..36.
template <class Feature, class Across>
FeatureMap Mapped(FeatureKind kind, const GameConfig& config, Feature feature, Across across) {
  FeatureMap m;
  m.kind = kind;
  m.width = std::clamp(config.data.ChannelSize, 1, kNumbers);
  m.cols = std::clamp(config.data.MatrixCols & 0xFF, 1, kNumbers);
  m.rows = MatrixRows(m.cols);
  std::array<bool, 256> seen{};
  for (int n = 1; n <= kNumbers; ++n) {
    const int f = feature(m, n);
    m.of[size_t(n)] = uint8_t(f);
    m.across[size_t(n)] = uint8_t(across(m, n));
    if (!seen[size_t(f)]) {
      seen[size_t(f)] = true;
      m.order[size_t(m.count++)] = uint8_t(f);
    }
  }
  return m;
}
int NoAxis(const FeatureMap&, int) { return 0; }
int ColumnAt(const FeatureMap& m, int n) { return MatrixColumn(n, m.cols); }
int RowAt(const FeatureMap& m, int n) { return MatrixRow(n, m.cols); }
}  // namespace

int FeatureMap::Largest() const {
  int largest = 0;
  for (int i = 0; i < count; ++i) largest = std::max(largest, int(order[size_t(i)]));
  return largest;
}

std::string FeatureMap::Text(int feature) const {
  if (kind != FeatureKind::Channel) return std::to_string(feature);
  return Fmt("%.2d [%d-%d]", feature, (feature - 1) * width + 1, feature * width);
}

FeatureMap NumberFeatures(const GameConfig& config) {
  return Mapped(FeatureKind::Number, config, [](const FeatureMap&, int n) { return n; }, &NoAxis);
}
FeatureMap ChannelFeatures(const GameConfig& config) {
  return Mapped(FeatureKind::Channel, config, [](const FeatureMap& m, int n) { return CeilDiv(n, m.width); }, &NoAxis);
}
FeatureMap ColumnFeatures(const GameConfig& config) { return Mapped(FeatureKind::Column, config, &ColumnAt, &RowAt); }
FeatureMap RowFeatures(const GameConfig& config) { return Mapped(FeatureKind::Row, config, &RowAt, &ColumnAt); }
FeatureMap SegmentFeatures(const GameConfig& config) {
  // The reader keeps segments 1..9; a zero that slipped in still names one.
  const auto& map = config.data.MatrixSegments;
  return Mapped(
      FeatureKind::Segment, config, [&](const FeatureMap&, int n) { return std::max<int>(1, map[size_t(n - 1)]); },
      &NoAxis);
}

std::pair<int, int> ChannelIndexes(const GameConfig& c) {
  if (c.data.ChannelSize <= 0) return {0, -1};
  return {1, CeilDiv(kNumbers, c.data.ChannelSize)};
}

std::pair<int, int> SegmentIndexes(const GameConfig& c) {
  int lo = 9, hi = 1;
  for (uint8_t s : c.data.MatrixSegments) {
    lo = std::min<int>(lo, s);
    hi = std::max<int>(hi, s);
  }
  return {lo, hi};
}

std::pair<int, int> FeatureRange(const FeatureMap& map) {
  int lo = 255, hi = 0;
  for (int i = 0; i < map.count; ++i) {
    lo = std::min<int>(lo, map.order[size_t(i)]);
    hi = std::max<int>(hi, map.order[size_t(i)]);
  }
  return {lo, hi};
}

NumberSet64 SetOf(const Combination& c, int shift) {
  NumberSet64 set = 0;
  for (uint8_t n : c)
    if (n >= 1 && n <= kNumbers) set |= NumberSet64(1) << Shifted(n, shift);
  return set;
}

NumberSet64 DrawSet(const TCustomStat& stat, int index, int shift) {
  return stat.HasDraw(index) ? SetOf(stat.ReadDraw(index, false).numbers, shift) : 0;
}

std::array<uint8_t, 256> ByNumber(const FeatureMap& map, const std::array<uint8_t, 256>& byFeature) {
  std::array<uint8_t, 256> byNumber{};
  for (int n = 0; n < 256; ++n) byNumber[size_t(n)] = map.Of(uint8_t(n)) == 0 ? 0 : byFeature[size_t(map.Of(uint8_t(n)))];
  return byNumber;
}

std::array<uint8_t, 256> FeatureCounts(const FeatureMap& map, const Combination& c) {
  std::array<uint8_t, 256> counts{};
  for (uint8_t n : c) ++counts[size_t(map.Of(n))];
  counts[0] = 0;  // numbers without a feature count nowhere
  return counts;
}

}  // namespace px::family
