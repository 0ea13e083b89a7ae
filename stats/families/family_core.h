// Machinery the statistic families share: one value per draw computed from
// its numbers, tuples of what the positions yield, counting equal items, and
// the fixed text forms. A family class says what differs and inherits the
// rest.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "stats/custom_stat.h"
#include "stats/stat_list.h"

namespace px::family {

// ---- number sets shared by families
inline bool IsEven(int n) { return n % 2 == 0; }
inline bool IsSmall(int n) { return n <= 18; }
// 1 counts as prime here.
inline bool IsPrimeSet(int n) {
  switch (n) {
    case 1: case 2: case 3: case 5: case 7: case 11: case 13: case 17: case 19: case 23: case 29: case 31:
      return true;
    default:
      return false;
  }
}
inline int SumOf(const Combination& c) { return c[0] + c[1] + c[2] + c[3] + c[4]; }

// ---- text forms
std::string KeysText(const StatValue& v, int k);  // "5:17:22"
std::string TimesText(int a, int b);              // "3 x 1"
std::string TwoDigits(int v);                     // at least two digits: "05", "112"
inline int Sign(int64_t v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

// Adds the values lo..hi (Key1 and Key2 as one integer) with Count 0.
void AddCandidates(StatValue& work, TStatDrawArray& values, int lo, int hi);
// Adds one value with Key1 and Key2 holding the integer.
inline void AddInt(StatValue& work, TStatDrawArray& values, int32_t value, bool withPeriods) {
  work.SetInt12(value);
  work.Key3 = work.Key4 = 0;
  AddValue(values, work, withPeriods);
}

// ---- counting equal items in the order they are first met
struct Buckets {
  int n = 0;
  std::array<int, 8> value{};
  std::array<int, 8> count{};
  void Add(int v);
  int Distinct() const { return n; }
  int MaxCount() const;
  int CountOf(int v) const;
};

// ---- one value per draw or combination, a function of its five numbers
enum class MatchRule {
  Word1,      // Key1 equals the value
  Value13,    // keys (value, 0, 0, 0)
  Int12,      // Key1 and Key2 read as one integer
  RangeFlag,  // a 0/1 value: 1 matches when the value 1 is selected, 0 when it is not
};

using ValueFn = int32_t (*)(const TCustomStat& stat, const Combination& c);


bool Chosen(const TStatDrawArray& selected, MatchRule rule, int32_t value);

template <class Base, ValueFn ValueOf, MatchRule Rule>
class SingleValueStat : public Base {
 public:
  SingleValueStat(const TStatList& r, const StatClassInfo& info, int index) : Base(r, info, index) {}

  int32_t Value(const Combination& c) const { return ValueOf(*this, c); }

  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    AddInt(this->Work, values, Value(this->CurrentDraw.numbers), true);
  }
  void CollectCombinationValues(const Combination& c, TStatDrawArray& values) override {
    TCustomStat::CollectCombinationValues(c, values);
    AddInt(this->Work, values, Value(c), false);
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    return Chosen(selected, Rule, Value(c));
  }
  void MatchBatch(const Combination* combs, size_t n, const TStatDrawArray& selected, int, bool, FilterMode,
                  uint8_t* out) override {
    const Table table(selected);
    for (size_t i = 0; i < n; ++i) out[i] = table.Has(selected, Value(combs[i]));
  }
  size_t FilterBatch(const Combination* in, size_t n, Combination* out, const TStatDrawArray& selected, int, bool,
                     FilterMode mode) override {
    const Table table(selected);
    const uint8_t drop = mode == FilterMode::RemoveSelected ? 1 : 0;
    size_t kept = 0, i = 0;
    // Apart, each entry is stored as 8 bytes, the last three of which the
    // next entry overwrites: one store instead of two. Not for the last entry.
    if (out + n <= in || in + n <= out)
      for (; i + 1 < n; ++i) {
        const Combination c = in[i];
        StoreWide(out + kept, in + i);
        kept += table.Has(selected, Value(c)) ^ drop;
      }
    for (; i < n; ++i) {
      const Combination c = in[i];  // a copy: the byte stores below may alias it
      out[kept] = c;
      kept += table.Has(selected, Value(c)) ^ drop;
    }
    return kept;
  }

 private:
  // The answers for -256..255 prepared once per pass; other values are asked.
  struct Table {
    std::array<uint8_t, 512> chosen{};
    explicit Table(const TStatDrawArray& selected) {
      for (int v = -256; v < 256; ++v) chosen[size_t(v + 256)] = Chosen(selected, Rule, v) ? 1 : 0;
    }
    uint8_t Has(const TStatDrawArray& selected, int32_t v) const {
      const uint32_t i = uint32_t(v + 256);
      return i < 512 ? chosen[i] : (Chosen(selected, Rule, v) ? 1 : 0);
    }
  };
};

// The same for a graph statistic: the graph value is the value.
template <ValueFn ValueOf, MatchRule Rule, class Base = TCustomGraphStat>
class SingleGraphStat : public SingleValueStat<Base, ValueOf, Rule> {
 public:
  using SingleValueStat<Base, ValueOf, Rule>::SingleValueStat;
  int32_t GraphValue(const Combination& c, int, int, bool) override { return this->Value(c); }
};

// ---- statistics whose values of a draw and of a combination are the same
// function of the five numbers; periods are measured from draws only.
template <class Base>
class FromNumbersStat : public Base {
 public:
  using Base::Base;
  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    AddValues(this->CurrentDraw.numbers, values, true);
  }
  void CollectCombinationValues(const Combination& c, TStatDrawArray& values) override {
    TCustomStat::CollectCombinationValues(c, values);
    AddValues(c, values, false);
  }

 protected:
  // Adds the values of c through this->Work.
  virtual void AddValues(const Combination& c, TStatDrawArray& values, bool withPeriods) = 0;
};

// ---- a match when any number of the combination is chosen, from a table by
// number prepared once per pass.
using NumberTable = std::array<uint8_t, 256>;
inline uint8_t AnyChosen(const NumberTable& chosen, const Combination& c) {
  return chosen[c[0]] | chosen[c[1]] | chosen[c[2]] | chosen[c[3]] | chosen[c[4]];
}
void MatchAnyNumber(const NumberTable& chosen, const Combination* combs, size_t n, uint8_t* out);
size_t FilterAnyNumber(const NumberTable& chosen, const Combination* in, size_t n, Combination* out, FilterMode mode);

// ---- tuples: groups of K of the items a draw yields (its numbers, its
// differences, later its channels, columns, rows or segments)
enum class TupleShape {
  All,       // every group of K positions, in lexicographic order
  Adjacent,  // runs of K neighbouring positions
  From,      // the one run starting at position Index
};

// Writes the items of five numbers; returns how many (at most 5).
using ItemsFn = int (*)(const TCustomStat& stat, const Combination& c, std::array<uint16_t, 5>& items);

std::vector<std::array<uint8_t, 4>> TupleGroups(int items, int k, TupleShape shape, int from);

template <ItemsFn Items, int M, int K, TupleShape Shape, bool FirstOnlyPeriods, class Base = TCustomStat>
class TupleStat : public FromNumbersStat<Base> {
 public:
  TupleStat(const TStatList& r, const StatClassInfo& info, int index)
      : FromNumbersStat<Base>(r, info, index), groups_(TupleGroups(M, K, Shape, index)) {}

  std::string ValueText(const StatValue& v) const override { return KeysText(v, K); }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    std::array<uint16_t, 5> items{};
    Items(*this, c, items);
    for (const auto& g : groups_) {
      StatValue probe;
      SetKeys(probe, items, g);
      if (selected.Find(probe.Key()) >= 0) return true;
    }
    return false;
  }

 private:
  static void SetKeys(StatValue& v, const std::array<uint16_t, 5>& items, const std::array<uint8_t, 4>& g) {
    uint16_t* keys[4] = {&v.Key1, &v.Key2, &v.Key3, &v.Key4};
    for (int i = 0; i < 4; ++i) *keys[i] = i < K ? items[g[size_t(i)]] : 0;
  }
  void AddValues(const Combination& c, TStatDrawArray& values, bool fromDraw) override {
    std::array<uint16_t, 5> items{};
    Items(*this, c, items);
    for (size_t gi = 0; gi < groups_.size(); ++gi) {
      SetKeys(this->Work, items, groups_[gi]);
      AddValue(values, this->Work, fromDraw && (!FirstOnlyPeriods || gi == 0));
    }
  }

  std::vector<std::array<uint8_t, 4>> groups_;
};

// Items: the five numbers as received, ascending, or the four differences
// between neighbours.
int NumberItems(const TCustomStat&, const Combination& c, std::array<uint16_t, 5>& items);
int SortedNumberItems(const TCustomStat&, const Combination& c, std::array<uint16_t, 5>& items);
int DifferenceItems(const TCustomStat&, const Combination& c, std::array<uint16_t, 5>& items);

// ---- features of numbers: the channel, matrix column or row, or segment a
// number lies in, from the configuration an instance was made with. A
// number outside 1..36 (a damaged archive byte) has none: feature 0.
enum class FeatureKind { Number, Channel, Column, Row, Segment };

struct FeatureMap {
  FeatureKind kind = FeatureKind::Channel;
  std::array<uint8_t, 256> of{};      // by number
  std::array<uint8_t, 256> across{};  // the other axis of the matrix (row of a column member), else 0
  // The distinct features of 1..36 in the order first met along them.
  std::array<uint8_t, 36> order{};
  int count = 0;
  int width = 6;     // channel width
  int cols = 6;      // matrix columns and rows
  int rows = 6;
  int Of(uint8_t n) const { return of[n]; }
  int Largest() const;  // the largest feature (a mask's width)
  // "01 [1-6]" for a channel, plain decimal otherwise.
  std::string Text(int feature) const;
};

FeatureMap NumberFeatures(const GameConfig& config);
FeatureMap ChannelFeatures(const GameConfig& config);
FeatureMap ColumnFeatures(const GameConfig& config);
FeatureMap RowFeatures(const GameConfig& config);
FeatureMap SegmentFeatures(const GameConfig& config);
using FeatureFn = FeatureMap (*)(const GameConfig& config);

// A table by number from one by feature; no feature is never chosen.
std::array<uint8_t, 256> ByNumber(const FeatureMap& map, const std::array<uint8_t, 256>& byFeature);

// How many numbers of the combination lie in each feature; index = feature.
std::array<uint8_t, 256> FeatureCounts(const FeatureMap& map, const Combination& c);

// The indexes of the members counted per channel (1..ceil(36 / width), none
// without a width) and per segment (every value from the smallest to the
// largest digit of the map, starting from 9 and 1).
std::pair<int, int> ChannelIndexes(const GameConfig& config);
std::pair<int, int> SegmentIndexes(const GameConfig& config);

// The smallest and the largest feature of the map (segments need not start at 1).
std::pair<int, int> FeatureRange(const FeatureMap& map);

// ---- draws as sets of numbers (bit n for number n), for the families that
// compare a draw with the draws before or after it. An index outside the
// archive is no draw: the empty set, also when shifted.
using NumberSet64 = uint64_t;
// x + s, wrapped into 1..36 (36 + 1 is 1, 1 - 1 is 36).
inline int Shifted(int x, int s) {
  x += s;
  while (x > kNumbers) x -= kNumbers;
  while (x <= 0) x += kNumbers;
  return x;
}
// The numbers of c (those in 1..36), each shifted by s.
NumberSet64 SetOf(const Combination& c, int shift = 0);
NumberSet64 DrawSet(const TCustomStat& stat, int index, int shift = 0);
inline bool InSet(NumberSet64 set, int n) { return n >= 1 && n <= kNumbers && ((set >> n) & 1); }
inline int SetSize(NumberSet64 set) { return __builtin_popcountll(set); }

// A statistic base that holds the features of its configuration.
template <class Base, FeatureFn Features>
class FeatureStat : public Base {
 public:
  FeatureStat(const TStatList& r, const StatClassInfo& info, int index)
      : Base(r, info, index), map_(Features(r.Config())) {}
  const FeatureMap& Map() const { return map_; }

 protected:
  const FeatureMap map_;
};

// The features of the five numbers in the order received.
template <FeatureFn Features, class Base>
int FeatureItems(const TCustomStat& stat, const Combination& c, std::array<uint16_t, 5>& items) {
  const FeatureMap& map = static_cast<const FeatureStat<Base, Features>&>(stat).Map();
  for (int i = 0; i < kDrawSize; ++i) items[size_t(i)] = uint16_t(map.Of(c[size_t(i)]));
  return kDrawSize;
}

}  // namespace px::family
