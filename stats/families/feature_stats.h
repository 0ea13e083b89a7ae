// The statistics that the channel, matrix and segment families share, each
// a template over the feature a number yields (family_core.h FeatureMap):
// the feature of every number, how many numbers each feature holds, how many
// features are occupied, how many numbers lie in feature Index, and (matrix
// only) masks and neighbours. A family instantiates them with its feature
// and its candidate ranges.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/text.h"
#include "stats/families/family_core.h"

namespace px::family {

// The largest candidate of a member for the features of its configuration;
// a negative bound means no candidates.
using BoundFn = int (*)(const FeatureMap& map);
inline int NoCandidates(const FeatureMap&) { return -1; }

// The text up to the first blank as a number: "01 [1-6]" reads 1.
inline int64_t LeadingNumber(const std::string& text) { return IntOr(text.substr(0, text.find(' ')), 0); }

// ---- CHAN, COLS, ROWS, SGMS: the feature of each of the five numbers.
template <FeatureFn Features, bool ByteKey>
class EachFeatureStat : public FromNumbersStat<FeatureStat<TCustomNumbersStat, Features>> {
  using Base = FromNumbersStat<FeatureStat<TCustomNumbersStat, Features>>;

 public:
  using Base::Base;
  std::string ValueText(const StatValue& v) const override { return this->map_.Text(v.Key1); }
  int64_t ValueFromText(const std::string& text) const override { return LeadingNumber(text); }

  // Every feature once, in the order first met along 1..36.
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    for (int i = 0; i < this->map_.count; ++i) {
      this->Work.Key1 = this->map_.order[size_t(i)];
      AddValue(values, this->Work, false);
    }
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    for (uint8_t n : c)
      if (const int f = this->map_.Of(n); f != 0 && Chosen(selected, f)) return true;
    return false;
  }
  void MatchBatch(const Combination* combs, size_t n, const TStatDrawArray& selected, int, bool, FilterMode,
                  uint8_t* out) override {
    MatchAnyNumber(ChosenNumbers(selected), combs, n, out);
  }
  size_t FilterBatch(const Combination* in, size_t n, Combination* out, const TStatDrawArray& selected, int, bool,
                     FilterMode mode) override {
    return FilterAnyNumber(ChosenNumbers(selected), in, n, out, mode);
  }

 private:
  static bool Chosen(const TStatDrawArray& selected, int f) {
    return ByteKey ? HasByteKey(selected, 1, uint8_t(f)) : HasWordKey(selected, 1, uint16_t(f));
  }
  // Per number: whether its feature is chosen.
  NumberTable ChosenNumbers(const TStatDrawArray& selected) const {
    NumberTable byFeature{};
    for (int f = 1; f < 256; ++f) byFeature[size_t(f)] = Chosen(selected, f) ? 1 : 0;
    return ByNumber(this->map_, byFeature);
  }
  void AddValues(const Combination& c, TStatDrawArray& values, bool withPeriods) override {
    for (uint8_t n : c) {
      const int f = this->map_.Of(n);
      if (f == 0) continue;
      this->Work.Key1 = uint16_t(f);
      AddValue(values, this->Work, withPeriods);
    }
  }
};

// ---- CHNV, COLV, ROWV, SGMV: (feature, how many numbers it holds) for every
// feature in the order first met, empty ones included.
template <FeatureFn Features, BoundFn MostCounted>
class FeatureCountsStat : public FromNumbersStat<FeatureStat<TCustomStat, Features>> {
  using Base = FromNumbersStat<FeatureStat<TCustomStat, Features>>;

 public:
  using Base::Base;
  std::string ValueText(const StatValue& v) const override {
    return this->map_.Text(v.Key1) + " x " + std::to_string(v.Key2);
  }

  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    const int most = MostCounted(this->map_);
    for (int i = 0; i < this->map_.count; ++i)
      for (int k = 0; k <= most; ++k) {
        this->Work.Key1 = this->map_.order[size_t(i)];
        this->Work.Key2 = uint16_t(k);
        AddValue(values, this->Work, false);
      }
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    const auto counts = FeatureCounts(this->map_, c);
    for (int i = 0; i < this->map_.count; ++i) {
      const int f = this->map_.order[size_t(i)];
      if (HasValue(selected, uint16_t(f), counts[size_t(f)], 0, 0)) return true;
    }
    return false;
  }
  void MatchBatch(const Combination* combs, size_t n, const TStatDrawArray& selected, int, bool, FilterMode,
                  uint8_t* out) override {
    const Table table(this->map_, selected);
    for (size_t i = 0; i < n; ++i) out[i] = table.Matches(this->map_, combs[i]);
  }
  size_t FilterBatch(const Combination* in, size_t n, Combination* out, const TStatDrawArray& selected, int, bool,
                     FilterMode mode) override {
    const Table table(this->map_, selected);
    const uint8_t drop = mode == FilterMode::RemoveSelected ? 1 : 0;
    size_t kept = 0;
    for (size_t i = 0; i < n; ++i) {
      const Combination c = in[i];
      out[kept] = c;
      kept += table.Matches(this->map_, c) ^ drop;
    }
    return kept;
  }

 private:
  // chosen[f][k] for the counts a combination can give; a feature left empty
  // matches through its zero count, so only the occupied ones need a look.
  struct Table {
    std::array<std::array<uint8_t, 6>, 256> chosen{};
    int emptyChosen = 0;  // features whose count 0 is chosen
    Table(const FeatureMap& map, const TStatDrawArray& selected) {
      for (const StatValue& v : selected)
        if (v.Key1 < 256 && v.Key2 <= 5 && v.Key3 == 0 && v.Key4 == 0) chosen[v.Key1][v.Key2] = 1;
      for (int i = 0; i < map.count; ++i) emptyChosen += chosen[map.order[size_t(i)]][0];
    }
    uint8_t Matches(const FeatureMap& map, const Combination& c) const {
      std::array<int, 5> seen{};
      int distinct = 0, occupiedWithEmptyChosen = 0;
      for (uint8_t n : c) {
        const int f = map.Of(n);
        if (f == 0 || std::find(seen.begin(), seen.begin() + distinct, f) != seen.begin() + distinct) continue;
        seen[size_t(distinct++)] = f;
        int k = 0;
        for (uint8_t m : c) k += map.Of(m) == f ? 1 : 0;
        if (chosen[size_t(f)][size_t(k)]) return 1;
        occupiedWithEmptyChosen += chosen[size_t(f)][0];
      }
      return emptyChosen > occupiedWithEmptyChosen ? 1 : 0;
    }
  };
  void AddValues(const Combination& c, TStatDrawArray& values, bool withPeriods) override {
    const auto counts = FeatureCounts(this->map_, c);
    for (int i = 0; i < this->map_.count; ++i) {
      const int f = this->map_.order[size_t(i)];
      this->Work.Key1 = uint16_t(f);
      this->Work.Key2 = counts[size_t(f)];
      AddValue(values, this->Work, withPeriods);
    }
  }
};

// ---- one number per combination from its features, a graph value: the
// occupied features, the numbers in feature Index, the features with
// neighbours.
using FeatureValueFn = int (*)(const FeatureMap& map, const Combination& c, int index);

template <FeatureFn Features, FeatureValueFn Of>
int32_t FeatureValue(const TCustomStat& stat, const Combination& c) {
  return Of(static_cast<const FeatureStat<TCustomGraphStat, Features>&>(stat).Map(), c, stat.Index());
}

template <FeatureFn Features, FeatureValueFn Of, BoundFn Candidates>
class FeatureGraphStat
    : public SingleGraphStat<&FeatureValue<Features, Of>, MatchRule::Word1, FeatureStat<TCustomGraphStat, Features>> {
  using Base = SingleGraphStat<&FeatureValue<Features, Of>, MatchRule::Word1, FeatureStat<TCustomGraphStat, Features>>;

 public:
  using Base::Base;
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    AddCandidates(this->Work, values, 1, Candidates(this->map_));
  }
};

inline int OccupiedFeatures(const FeatureMap& map, const Combination& c, int) {
  const auto counts = FeatureCounts(map, c);
  int occupied = 0;
  for (int i = 0; i < map.count; ++i) occupied += counts[map.order[size_t(i)]] > 0 ? 1 : 0;
  return occupied;
}
inline int NumbersInIndex(const FeatureMap& map, const Combination& c, int index) {
  int k = 0;
  for (uint8_t n : c) k += map.Of(n) != 0 && map.Of(n) == index ? 1 : 0;
  return k;
}

// A feature in the short form of series, periods and chains: a channel with
// two digits ("03"), anything else plain.
inline std::string ShortFeatureText(const FeatureMap& map, int v) {
  return map.kind == FeatureKind::Channel ? TwoDigits(v) : std::to_string(v);
}
// "7 x 3", "03 x 2" (series and periods).
inline std::string SeriesText(const FeatureMap& map, const StatValue& v) {
  return ShortFeatureText(map, v.Key1) + " x " + std::to_string(v.Key2);
}

// ---- tuples of the features of 2, 3 or 4 positions.
template <FeatureFn Features, int K, TupleShape Shape>
using FeatureTupleStat = TupleStat<&FeatureItems<Features, TCustomStat>, kDrawSize, K, Shape, false,
                                   FeatureStat<TCustomStat, Features>>;

// The description of a tuple class: features S, texts not numeric.
constexpr StatClassInfo TupleClass(const char* className, const char* code, const char* title, int group,
                                   std::unique_ptr<TCustomStat> (*create)(const TStatList&, int)) {
  return StatClassInfo{.className = className, .codeFormat = code, .titleFormat = title, .helpCodeFormat = nullptr,
                       .group = group, .features = kFeatS, .numericValues = false, .create = create};
}

}  // namespace px::family
