// Group 1, "sum": the sum of the five numbers, its central ranges, partial
// sums, how the sum moved from the draw before, and sums of two numbers equal
// to a third.
#include "core/text.h"
#include "stats/families/families.h"
#include "stats/families/family_core.h"

namespace px {

namespace {

using family::MatchRule;
using family::SingleGraphStat;
using family::SumOf;

struct Range {
  int low, high;
};
constexpr Range kRanges[3] = {{59, 127}, {66, 119}, {72, 113}};

int32_t Sum(const TCustomStat&, const Combination& c) { return SumOf(c); }

// ---- SUMS: the sum itself.
const StatClassInfo kSumValues{.className = "TstSumValues", .codeFormat = "SUMS",
                               .titleFormat = "Сумма тиража: все значения", .helpCodeFormat = nullptr, .group = 1,
                               .features = kFeatN, .isGraph = true, .create = &MakeStat<class TstSumValues>};
class TstSumValues final : public SingleGraphStat<&Sum, MatchRule::Value13> {
 public:
  TstSumValues(const TStatList& r, int index) : SingleGraphStat(r, kSumValues, index) {}
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    family::AddCandidates(Work, values, kMinSum, kMaxSum);
  }
};

// ---- SUM1..3: inside the central range or not.
int32_t InRange(const TCustomStat& stat, const Combination& c) {
  const int i = stat.Index();
  if (i < 1 || i > 3) return 0;
  const int s = SumOf(c);
  return kRanges[i - 1].low <= s && s <= kRanges[i - 1].high ? 1 : 0;
}
std::pair<int, int> ThreeRanges(const GameConfig&) { return {1, 3}; }
std::string RangeTitle(int index) {
  static const int kParts[3][2] = {{1, 3}, {1, 2}, {2, 3}};
  if (index < 1 || index > 3) return Fmt("Сумма тиража: диапазон %d", index);
  return Fmt("Сумма тиража: диапазон %d (%d/%d)", index, kParts[index - 1][0], kParts[index - 1][1]);
}
const StatClassInfo kSumRanges{.className = "TstSumRanges", .codeFormat = "SUM%d",
                               .titleFormat = "Сумма тиража: диапазон %d (%d/%d)", .helpCodeFormat = "SUMx",
                               .group = 1, .features = kFeatN, .isGraph = true, .numericValues = false,
                               .indexed = true, .indexRange = &ThreeRanges, .create = &MakeStat<class TstSumRanges>,
                               .titleOf = &RangeTitle};
class TstSumRanges final : public SingleGraphStat<&InRange, MatchRule::RangeFlag> {
 public:
  TstSumRanges(const TStatList& r, int index) : SingleGraphStat(r, kSumRanges, index) {}
  std::string ValueText(const StatValue& v) const override {
    if (v.Int12() != 1 || index_ < 1 || index_ > 3) return "Остальные";
    return Fmt("%d-%d", kRanges[index_ - 1].low, kRanges[index_ - 1].high);
  }
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    family::AddCandidates(Work, values, 0, 1);
  }
};

// ---- SUMC, SUMV, SUMT: the move from the draw before, counted only after
// draws whose sum relates to the window's last draw. The oldest draw has no
// draw before it and adds nothing.
class SumMoveStat : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;

  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    if (!HasDraw(index - 1)) return;
    const int before = SumOf(ReadDraw(index - 1, false).numbers);
    const int now = SumOf(CurrentDraw.numbers);
    const int last = SumOf(PreviousDraw.numbers);  // the window's last draw
    if (Counts(before, last)) AddMove(before, now, values);
  }
  int32_t GraphValue(const Combination& c, int index, int, bool) override {
    if (!HasDraw(index - 1)) return 0;
    return Graph(SumOf(c) - SumOf(ReadDraw(index - 1, false).numbers));
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int lastIndex, bool sorted,
                          FilterMode) override {
    return Matches(SumOf(c), ReferenceSum(lastIndex, sorted), selected);
  }
  void MatchBatch(const Combination* combs, size_t n, const TStatDrawArray& selected, int lastIndex, bool sorted,
                  FilterMode, uint8_t* out) override {
    const int reference = ReferenceSum(lastIndex, sorted);
    for (size_t i = 0; i < n; ++i) out[i] = Matches(SumOf(combs[i]), reference, selected) ? 1 : 0;
  }

 protected:
  virtual bool Counts(int before, int last) const { return before == last; }
  virtual void AddMove(int before, int now, TStatDrawArray& values) = 0;
  virtual int32_t Graph(int delta) const { return delta; }
  virtual bool Matches(int sum, int reference, const TStatDrawArray& selected) const = 0;

 private:
  int ReferenceSum(int lastIndex, bool sorted) {
    LoadDraws(lastIndex, lastIndex, sorted);
    return SumOf(CurrentDraw.numbers);
  }
};

const StatClassInfo kSumChange{.className = "TstSumChange", .codeFormat = "SUMC",
                               .titleFormat = "Сумма тиража: изменения (точно)", .helpCodeFormat = nullptr,
                               .group = 1, .features = kFeatD, .isGraph = true, .numericValues = false,
                               .create = &MakeStat<class TstSumChange>};
class TstSumChange final : public SumMoveStat {
 public:
  TstSumChange(const TStatList& r, int index) : SumMoveStat(r, kSumChange, index) {}
  std::string ValueText(const StatValue& v) const override {
    const int p = v.Int12(), q = v.Int34();
    if (q < p) return Fmt("- %.2d : %d - %d = %d", p - q, p, p - q, q);
    return Fmt("+%.2d : %d + %d = %d", q - p, p, q - p, q);
  }

 protected:
  void AddMove(int before, int now, TStatDrawArray& values) override {
    Work.SetInt12(before);
    Work.SetInt34(now);
    AddValue(values, Work, true);
  }
  // The combination's sum is the "new" sum of a selected move.
  bool Matches(int sum, int, const TStatDrawArray& selected) const override { return HasKey1or3(selected, 2, sum); }
};

const StatClassInfo kSumChangeSome{.className = "TstSumChangeSome", .codeFormat = "SUMV",
                                   .titleFormat = "Сумма тиража: изменения (диапазон)", .helpCodeFormat = nullptr,
                                   .group = 1, .features = kFeatD, .isGraph = false, .numericValues = false,
                                   .create = &MakeStat<class TstSumChangeSome>};
class TstSumChangeSome final : public SumMoveStat {
 public:
  TstSumChangeSome(const TStatList& r, int index) : SumMoveStat(r, kSumChangeSome, index) {}
  std::string ValueText(const StatValue& v) const override {
    const int d = v.Int12();
    return d < 0 ? Fmt("- %.2d", -d) : Fmt("+%.2d", d);
  }

 protected:
  bool Counts(int before, int last) const override { return before - kSumStep <= last && last <= before + kSumStep; }
  void AddMove(int before, int now, TStatDrawArray& values) override {
    family::AddInt(Work, values, now - before, true);
  }
  bool Matches(int sum, int reference, const TStatDrawArray& selected) const override {
    return HasKey1or3(selected, 1, sum - reference);
  }
};

const StatClassInfo kSumTrend{.className = "TstSumTrend", .codeFormat = "SUMT",
                              .titleFormat = "Сумма тиража: направление изменения", .helpCodeFormat = nullptr,
                              .group = 1, .features = kFeatD, .isGraph = true, .numericValues = false,
                              .create = &MakeStat<class TstSumTrend>};
class TstSumTrend final : public SumMoveStat {
 public:
  TstSumTrend(const TStatList& r, int index) : SumMoveStat(r, kSumTrend, index) {}
  std::string ValueText(const StatValue& v) const override {
    const int d = v.Int12();
    return d == 0 ? "=" : (d > 0 ? "+" : "-");
  }
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    for (int v : {0, 1, -1}) family::AddInt(Work, values, v, false);
  }

 protected:
  void AddMove(int before, int now, TStatDrawArray& values) override {
    family::AddInt(Work, values, family::Sign(now - before), true);
  }
  int32_t Graph(int delta) const override { return family::Sign(delta); }
  bool Matches(int sum, int reference, const TStatDrawArray& selected) const override {
    return HasKey1or3(selected, 1, family::Sign(sum - reference));
  }
};

// ---- SUME, SUMP: partial sums.
template <bool (*Test)(int)>
int32_t PartialSum(const TCustomStat&, const Combination& c) {
  int s = 0;
  for (uint8_t n : c) s += Test(n) ? n : 0;
  return s;
}
const StatClassInfo kSumEven{.className = "TstSumEvenValues", .codeFormat = "SUME",
                             .titleFormat = "Сумма тиража: только четные", .helpCodeFormat = nullptr, .group = 1,
                             .features = kFeatN, .isGraph = true, .create = &MakeStat<class TstSumEvenValues>};
class TstSumEvenValues final : public SingleGraphStat<&PartialSum<family::IsEven>, MatchRule::Value13> {
 public:
  TstSumEvenValues(const TStatList& r, int index) : SingleGraphStat(r, kSumEven, index) {}
};
const StatClassInfo kSumPrime{.className = "TstSumPrimeValues", .codeFormat = "SUMP",
                              .titleFormat = "Сумма тиража: только простые", .helpCodeFormat = nullptr, .group = 1,
                              .features = kFeatN, .isGraph = true, .create = &MakeStat<class TstSumPrimeValues>};
class TstSumPrimeValues final : public SingleGraphStat<&PartialSum<family::IsPrimeSet>, MatchRule::Value13> {
 public:
  TstSumPrimeValues(const TStatList& r, int index) : SingleGraphStat(r, kSumPrime, index) {}
};

// ---- S2T3: how often two of the numbers add up to a third.
int32_t TwoMakeThird(const TCustomStat&, const Combination& c) {
  int count = 0;
  for (int i = 0; i < kDrawSize; ++i)
    for (int j = 0; j < kDrawSize; ++j)
      for (int k = j + 1; k < kDrawSize; ++k)
        if (i != j && i != k && c[size_t(j)] + c[size_t(k)] == c[size_t(i)]) ++count;
  return count;
}
const StatClassInfo kSum2To3{.className = "TstSum2To3", .codeFormat = "S2T3",
                             .titleFormat = "Сумма двух чисел тиража равна третьему числу", .helpCodeFormat = nullptr,
                             .group = 1, .features = kFeatN, .isGraph = true, .create = &MakeStat<class TstSum2To3>};
class TstSum2To3 final : public SingleGraphStat<&TwoMakeThird, MatchRule::Word1> {
 public:
  TstSum2To3(const TStatList& r, int index) : SingleGraphStat(r, kSum2To3, index) {}
};

}  // namespace

void RegisterSumFamily(StatClassTable& table) {
  for (const StatClassInfo* c :
       {&kSumValues, &kSumRanges, &kSumChange, &kSumChangeSome, &kSumTrend, &kSumEven, &kSumPrime, &kSum2To3})
    table.push_back(c);
}

}  // namespace px
