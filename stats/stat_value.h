// The value of a statistic with its accumulated figures, and the lists that
// collect them. A value is identified by its four 16-bit keys.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace px {

struct StatValue {
  int32_t LastDraw = 0;    // draw number of the newest occurrence; 0: never seen
  int32_t Depth = 0;       // 1: the window's last draw; 0: never seen
  int32_t PrevDraw = 0;    // previous occurrence while periods accumulate
  uint16_t PeriodMin = 0;  // 0: not yet known
  uint16_t PeriodMax = 0;
  int32_t Count = 0;
  int32_t Norm = 0;  // expected count from the full set
  uint16_t Key1 = 0, Key2 = 0, Key3 = 0, Key4 = 0;

  // The four keys as one number whose order is the keys' order.
  uint64_t Key() const {
    return (uint64_t(Key1) << 48) | (uint64_t(Key2) << 32) | (uint64_t(Key3) << 16) | uint64_t(Key4);
  }
  void SetKey(uint64_t key) {
    Key1 = uint16_t(key >> 48);
    Key2 = uint16_t(key >> 32);
    Key3 = uint16_t(key >> 16);
    Key4 = uint16_t(key);
  }
  bool SameKeys(const StatValue& o) const { return Key() == o.Key(); }
  // Key1 and Key2 (or Key3 and Key4) read as one signed 32-bit integer.
  int32_t Int12() const { return int32_t(uint32_t(Key1) | (uint32_t(Key2) << 16)); }
  int32_t Int34() const { return int32_t(uint32_t(Key3) | (uint32_t(Key4) << 16)); }
  void SetInt12(int32_t v) {
    Key1 = uint16_t(uint32_t(v));
    Key2 = uint16_t(uint32_t(v) >> 16);
  }
  void SetInt34(int32_t v) {
    Key3 = uint16_t(uint32_t(v));
    Key4 = uint16_t(uint32_t(v) >> 16);
  }
  bool operator==(const StatValue&) const = default;
};

// A list of values in the order they were first met. AddValue finds an entry
// through an index, so a distribution over the full set stays linear.
class TStatDrawArray {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  const StatValue& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
  StatValue& operator[](int i) { return items_[static_cast<size_t>(i)]; }
  const std::vector<StatValue>& Items() const { return items_; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  // Position of the entry with these keys, or -1.
  int Find(uint64_t key) const {
    // Most values carry Key1 alone and find their entry in one step.
    if (indexed_ && (key & kLowKeys) == 0 && (key >> 48) < kDirect) return direct_[size_t(key >> 48)] - 1;
    return FindSlow(key);
  }
  // Appends without looking for an equal entry (the caller knows it is new).
  void Append(const StatValue& v);
  // Appends a value met for the first time: its Norm starts at 0.
  void AppendNew(const StatValue& v);
  void Clear();
  void Reserve(size_t n) { items_.reserve(n); }
  // Stable sort by keys, ascending.
  void SortByKey();

 private:
  int FindSlow(uint64_t key) const;
  void Rehash(size_t slots);
  void IndexItem(size_t i);
  // Every key word must reach the low bits the table uses: Key1 sits in the
  // top word, which a plain product would leave out.
  static size_t Hash(uint64_t key) {
    const uint64_t h = key * 0x9E3779B97F4A7C15ull;
    return size_t(h ^ (h >> 29) ^ (h >> 47));
  }

  std::vector<StatValue> items_;
  // Small keys (Key1 only, below kDirect) index a direct table; the rest an
  // open-addressing table of positions + 1.
  static constexpr uint32_t kDirect = 1024;
  static constexpr uint64_t kLowKeys = 0x0000FFFFFFFFFFFFull;
  static constexpr size_t kLinear = 8;
  bool indexed_ = false;
  std::vector<int32_t> direct_;
  std::vector<int32_t> slots_;
  size_t hashed_ = 0;
};

// Merges v into the list: the count adds up, the shallowest occurrence wins,
// and with periods the gaps between consecutive occurrences are measured.
inline void MergeValue(StatValue& e, const StatValue& v, bool withPeriods) {
  e.Count += v.Count;
  if (e.Depth == 0 || (v.Depth > 0 && e.Depth >= v.Depth)) {
    e.LastDraw = v.LastDraw;
    e.Depth = v.Depth;
  }
  if (withPeriods && v.LastDraw > 0 && e.PrevDraw > 0) {
    const int64_t d = int64_t(e.PrevDraw) - v.LastDraw;
    const uint16_t gap = uint16_t(d < 0 ? -d : d);
    if (gap < e.PeriodMin || e.PeriodMin == 0) e.PeriodMin = gap;
    if (gap > e.PeriodMax || e.PeriodMax == 0) e.PeriodMax = gap;
  }
  e.PrevDraw = v.LastDraw;
}

inline void AddValue(TStatDrawArray& values, const StatValue& v, bool withPeriods) {
  const int i = values.Find(v.Key());
  if (i >= 0)
    MergeValue(values[i], v, withPeriods);
  else
    values.AppendNew(v);
}

// Pairs (key, count) for families that count locally.
struct SimpleEntry {
  int32_t Key = 0;
  int32_t Count = 0;
};
using TStatSimpleArray = std::vector<SimpleEntry>;
void CountAdd(TStatSimpleArray& list, int32_t key, int32_t delta);

// Carried unchanged from draw to draw by families that keep per-value
// history; those families define what the entries mean.
using TLastValueArray = std::vector<StatValue>;

// Zero-filled block passed to every draw of one pass: 36 records of three
// 32-bit integers.
using StatState = std::array<std::array<int32_t, 3>, 36>;

// Lookups over a list of selected values, for MatchesCombination.
bool HasValue(const TStatDrawArray& list, uint16_t k1, uint16_t k2, uint16_t k3, uint16_t k4);
bool HasValue13(const TStatDrawArray& list, uint16_t k1, uint16_t k3);
bool HasWordKey(const TStatDrawArray& list, int word, uint16_t w);  // word 1..4
bool HasByteKey(const TStatDrawArray& list, int byte, uint8_t b);   // byte 1..8
bool HasKey1or3(const TStatDrawArray& list, int which, int32_t v);  // which 1: Key1+Key2, 2: Key3+Key4

}  // namespace px
