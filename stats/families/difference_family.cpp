// Group 2, "dif": the differences between neighbouring numbers, their
// maximum and repeats, the spread of the draw, and short runs of differences.
#include <algorithm>

#include "stats/families/families.h"
#include "stats/families/family_core.h"

namespace px {

namespace {

using family::MatchRule;
using family::SingleGraphStat;

std::array<int, 4> Differences(const Combination& c) {
  std::array<int, 4> d{};
  for (int i = 0; i < 4; ++i) d[size_t(i)] = std::abs(int(c[size_t(i + 1)]) - int(c[size_t(i)]));
  return d;
}

family::Buckets DifferenceBuckets(const Combination& c) {
  family::Buckets b;
  for (int d : Differences(c)) b.Add(d);
  return b;
}

// ---- DIFA: each of the four differences; only the first updates periods.
const StatClassInfo kDiffTotal{.className = "TstDiffTotal", .codeFormat = "DIFA",
                               .titleFormat = "Все разности между соседними позициями", .helpCodeFormat = nullptr,
                               .group = 2, .features = kFeatS | kFeatN, .create = &MakeStat<class TstDiffTotal>};
class TstDiffTotal final : public TCustomNumbersStat {
 public:
  TstDiffTotal(const TStatList& r, int index) : TCustomNumbersStat(r, kDiffTotal, index) {}
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    family::AddCandidates(Work, values, 1, kNumbers - 1);
  }
  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    const auto d = Differences(CurrentDraw.numbers);
    for (int i = 0; i < 4; ++i) family::AddInt(Work, values, d[size_t(i)], i == 0);
  }
  void CollectCombinationValues(const Combination& c, TStatDrawArray& values) override {
    TCustomStat::CollectCombinationValues(c, values);
    for (int d : Differences(c)) family::AddInt(Work, values, d, false);
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    for (int d : Differences(c))
      if (HasWordKey(selected, 1, uint16_t(d))) return true;
    return false;
  }
};

// ---- DIFM, DIFD, DIFK: one value each.
int32_t MaxDifference(const TCustomStat&, const Combination& c) {
  const auto d = Differences(c);
  return *std::max_element(d.begin(), d.end());
}
int32_t Spread(const TCustomStat&, const Combination& c) {
  auto [lo, hi] = std::minmax_element(c.begin(), c.end());
  return *hi - *lo;
}
int32_t LargestRepeat(const TCustomStat&, const Combination& c) { return DifferenceBuckets(c).MaxCount(); }

template <family::ValueFn Fn, int Lo, int Hi>
class OneDifferenceStat : public SingleGraphStat<Fn, MatchRule::Word1> {
 public:
  using SingleGraphStat<Fn, MatchRule::Word1>::SingleGraphStat;
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    family::AddCandidates(this->Work, values, Lo, Hi);
  }
};

const StatClassInfo kDiffMax{.className = "TstDiffMax", .codeFormat = "DIFM",
                             .titleFormat = "Максимальная разность между соседними позициями",
                             .helpCodeFormat = nullptr, .group = 2, .features = kFeatS | kFeatN, .isGraph = true,
                             .create = &MakeStat<class TstDiffMax>};
class TstDiffMax final : public OneDifferenceStat<&MaxDifference, 1, kNumbers - 1> {
 public:
  TstDiffMax(const TStatList& r, int index) : OneDifferenceStat(r, kDiffMax, index) {}
};

const StatClassInfo kMinMaxDiffs{.className = "TstMinMaxDiffs", .codeFormat = "DIFD",
                                 .titleFormat = "Разность между минимальным и максимальным числом",
                                 .helpCodeFormat = nullptr, .group = 2, .features = kFeatN, .isGraph = true,
                                 .create = &MakeStat<class TstMinMaxDiffs>};
class TstMinMaxDiffs final : public OneDifferenceStat<&Spread, 1, kNumbers - 1> {
 public:
  TstMinMaxDiffs(const TStatList& r, int index) : OneDifferenceStat(r, kMinMaxDiffs, index) {}
};

const StatClassInfo kDiffSameCnt{.className = "TstDiffSameCnt", .codeFormat = "DIFK",
                                 .titleFormat = "Количество одинаковых разностей между соседними позициями",
                                 .helpCodeFormat = nullptr, .group = 2, .features = kFeatS | kFeatN, .isGraph = true,
                                 .create = &MakeStat<class TstDiffSameCnt>};
class TstDiffSameCnt final : public OneDifferenceStat<&LargestRepeat, 1, 4> {
 public:
  TstDiffSameCnt(const TStatList& r, int index) : OneDifferenceStat(r, kDiffSameCnt, index) {}
};

// ---- DIFO: each distinct difference with how often it occurs, "3 x 2".
const StatClassInfo kDiffSame{.className = "TstDiffSame", .codeFormat = "DIFO",
                              .titleFormat = "Одинаковые разности между соседними позициями", .helpCodeFormat = nullptr,
                              .group = 2, .features = kFeatS | kFeatN, .numericValues = false,
                              .create = &MakeStat<class TstDiffSame>};
class TstDiffSame final : public TCustomStat {
 public:
  TstDiffSame(const TStatList& r, int index) : TCustomStat(r, kDiffSame, index) {}
  std::string ValueText(const StatValue& v) const override { return family::TimesText(v.Key1, v.Key2); }
  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    Add(CurrentDraw.numbers, values, true);
  }
  void CollectCombinationValues(const Combination& c, TStatDrawArray& values) override {
    TCustomStat::CollectCombinationValues(c, values);
    Add(c, values, false);
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    const auto b = DifferenceBuckets(c);
    for (int i = 0; i < b.n; ++i)
      if (HasValue(selected, uint16_t(b.value[size_t(i)]), uint16_t(b.count[size_t(i)]), 0, 0)) return true;
    return false;
  }

 private:
  void Add(const Combination& c, TStatDrawArray& values, bool withPeriods) {
    const auto b = DifferenceBuckets(c);
    for (int i = 0; i < b.n; ++i) {
      Work.Key1 = uint16_t(b.value[size_t(i)]);
      Work.Key2 = uint16_t(b.count[size_t(i)]);
      AddValue(values, Work, withPeriods);
    }
  }
};

// ---- KDS2..4: runs of neighbouring differences; only a draw's first run
// updates periods.
template <int K>
using DiffSeq = family::TupleStat<&family::DifferenceItems, 4, K, family::TupleShape::Adjacent, true>;

extern const StatClassInfo kCombDiffSeq2, kCombDiffSeq3, kCombDiffSeq4;
const StatClassInfo kCombDiffSeq2{.className = "TstCombDiffSeq2", .codeFormat = "KDS2",
                                  .titleFormat = "Сочетания из 2 разностей между числами", .helpCodeFormat = nullptr,
                                  .group = 2, .features = kFeatS, .numericValues = false,
                                  .create = &MakeStatWith<DiffSeq<2>, &kCombDiffSeq2>};
const StatClassInfo kCombDiffSeq3{.className = "TstCombDiffSeq3", .codeFormat = "KDS3",
                                  .titleFormat = "Сочетания из 3 разностей между числами", .helpCodeFormat = nullptr,
                                  .group = 2, .features = kFeatS, .numericValues = false,
                                  .create = &MakeStatWith<DiffSeq<3>, &kCombDiffSeq3>};
const StatClassInfo kCombDiffSeq4{.className = "TstCombDiffSeq4", .codeFormat = "KDS4",
                                  .titleFormat = "Сочетания из 4 разностей между числами", .helpCodeFormat = nullptr,
                                  .group = 2, .features = kFeatS, .numericValues = false,
                                  .create = &MakeStatWith<DiffSeq<4>, &kCombDiffSeq4>};

}  // namespace

void RegisterDifferenceFamily(StatClassTable& table) {
  for (const StatClassInfo* c : {&kDiffTotal, &kDiffMax, &kMinMaxDiffs, &kDiffSame, &kDiffSameCnt, &kCombDiffSeq2,
                                 &kCombDiffSeq3, &kCombDiffSeq4})
    table.push_back(c);
}

}  // namespace px
