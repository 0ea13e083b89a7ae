// Group 7, "rep": numbers of a draw that come back from the draws before it —
// from the draw d back, shifted by s (with the wrap at 36), from both of the
// two draws before, or from the one before but not the one before that — and
// how many of them a draw has.
#include <algorithm>

#include "stats/families/families.h"
#include "stats/families/family_core.h"

namespace px {

namespace {

using family::DrawSet;
using family::InSet;
using family::NumberSet64;
using family::SetSize;

// Where the repeats of draw a come from: T(a), the numbers that count as
// repeated when draw a has them.
enum class Source {
  Back,       // draw a - d, shifted by s
  BothTwo,    // in draw a - 1 and in draw a - 2
  OnlyLast,   // in draw a - 1, not in draw a - 2
};

template <Source From, int S, int D>
NumberSet64 Repeatable(const TCustomStat& stat, int a) {
  switch (From) {
    case Source::Back: return DrawSet(stat, a - D, S);
    case Source::BothTwo: return DrawSet(stat, a - 1) & DrawSet(stat, a - 2);
    case Source::OnlyLast: return DrawSet(stat, a - 1) & ~DrawSet(stat, a - 2);
  }
  return 0;
}

// ---- the repeated numbers themselves: only numbers of the reference draw
// (shifted by s) count, and they are the candidates.
template <Source From, int S, int D>
class RepeatValuesStat : public TCustomValuesStat {
 public:
  RepeatValuesStat(const TStatList& r, const StatClassInfo& info, int index) : TCustomValuesStat(r, info, index) {}

  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    if (!HasDraw(lastIndex)) return;
    for (uint8_t n : ReadDraw(lastIndex, false).numbers) {
      if (n < 1 || n > kNumbers) continue;
      Work.Key1 = uint16_t(family::Shifted(n, S));
      AddValue(values, Work, false);
    }
  }
  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    const NumberSet64 repeated =
        family::SetOf(CurrentDraw.numbers) & Repeatable<From, S, D>(*this, index) & DrawSet(*this, lastIndex, S);
    for (int x = 1; x <= kNumbers; ++x) {
      if (!InSet(repeated, x)) continue;
      Work.Key1 = uint16_t(x);
      AddValue(values, Work, true);
    }
  }
  // The selection, taken from the candidates, carries the meaning: no draw is read.
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    for (uint8_t n : c)
      if (HasWordKey(selected, 1, n)) return true;
    return false;
  }
};

// ---- how many numbers of a draw are repeats; a combination is judged as the
// draw after the reference draw.
template <Source From, int S, int D>
class RepeatCountStat : public TCustomNumbersStat {
 public:
  RepeatCountStat(const TStatList& r, const StatClassInfo& info, int index) : TCustomNumbersStat(r, info, index) {}

  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    family::AddCandidates(Work, values, 1, kDrawSize);
  }
  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    family::AddInt(Work, values, SetSize(family::SetOf(CurrentDraw.numbers) & Repeatable<From, S, D>(*this, index)),
                   true);
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int lastIndex, bool,
                          FilterMode) override {
    return HasWordKey(selected, 1, uint16_t(SetSize(family::SetOf(c) & Repeatable<From, S, D>(*this, lastIndex + 1))));
  }
  void MatchBatch(const Combination* combs, size_t n, const TStatDrawArray& selected, int lastIndex, bool, FilterMode,
                  uint8_t* out) override {
    const NumberSet64 repeatable = Repeatable<From, S, D>(*this, lastIndex + 1);
    std::array<uint8_t, kDrawSize + 1> chosen{};
    for (int k = 0; k <= kDrawSize; ++k) chosen[size_t(k)] = HasWordKey(selected, 1, uint16_t(k)) ? 1 : 0;
    for (size_t i = 0; i < n; ++i) out[i] = chosen[size_t(SetSize(family::SetOf(combs[i]) & repeatable))];
  }
};

template <int S, int D>
using ShiftValues = RepeatValuesStat<Source::Back, S, D>;
template <int S, int D>
using ShiftCount = RepeatCountStat<Source::Back, S, D>;

constexpr StatClassInfo RepeatClass(const char* className, const char* code, const char* title,
                                    std::unique_ptr<TCustomStat> (*create)(const TStatList&, int)) {
  return StatClassInfo{.className = className, .codeFormat = code, .titleFormat = title, .helpCodeFormat = nullptr,
                       .group = 7, .features = kFeatD, .create = create};
}

extern const StatClassInfo kRepValues2, kRepValues3, kRepValues2B3, kRepValues2over1, kRepValues2over2, kRepValues2over3, kRepValues2P1,
    kRepValues2N1, kRepValues2P2, kRepValues2N2, kRepCount2, kRepCount3, kRepCount2B3, kRepCount2over1,
    kRepCount2over2, kRepCount2over3, kRepCount2P1, kRepCount2N1, kRepCount2P2, kRepCount2N2;
const StatClassInfo kRepValues2 = RepeatClass("TstRepValues2", "RPV2", "Повторяющиеся числа в 2-х тиражах подряд",
                                          &MakeStatWith<ShiftValues<0, 1>, &kRepValues2>);
const StatClassInfo kRepValues3 = RepeatClass("TstRepValues3", "RPV3", "Повторяющиеся числа в 3-х тиражах подряд",
                                          &MakeStatWith<RepeatValuesStat<Source::BothTwo, 0, 0>, &kRepValues3>);
const StatClassInfo kRepValues2B3 = RepeatClass("TstRepValues2B3", "PRL2", "Повторяющиеся числа не более чем в 2-х тиражах",
                                          &MakeStatWith<RepeatValuesStat<Source::OnlyLast, 0, 0>, &kRepValues2B3>);
const StatClassInfo kRepValues2over1 = RepeatClass("TstRepValues2over1", "PRV2O1", "Повторяющиеся числа в 2-х тиражах через 1 тираж(а)",
                                          &MakeStatWith<ShiftValues<0, 2>, &kRepValues2over1>);
const StatClassInfo kRepValues2over2 = RepeatClass("TstRepValues2over2", "PRV2O2", "Повторяющиеся числа в 2-х тиражах через 2 тираж(а)",
                                          &MakeStatWith<ShiftValues<0, 3>, &kRepValues2over2>);
const StatClassInfo kRepValues2over3 = RepeatClass("TstRepValues2over3", "PRV2O3", "Повторяющиеся числа в 2-х тиражах через 3 тираж(а)",
                                          &MakeStatWith<ShiftValues<0, 4>, &kRepValues2over3>);
const StatClassInfo kRepValues2P1 = RepeatClass("TstRepValues2P1", "PRV+1", "Данные предыдущего тиража + 1",
                                          &MakeStatWith<ShiftValues<1, 1>, &kRepValues2P1>);
const StatClassInfo kRepValues2N1 = RepeatClass("TstRepValues2N1", "PRV-1", "Данные предыдущего тиража - 1",
                                          &MakeStatWith<ShiftValues<-1, 1>, &kRepValues2N1>);
const StatClassInfo kRepValues2P2 = RepeatClass("TstRepValues2P2", "PRV+2", "Данные предыдущего тиража + 2",
                                          &MakeStatWith<ShiftValues<2, 1>, &kRepValues2P2>);
const StatClassInfo kRepValues2N2 = RepeatClass("TstRepValues2N2", "PRV-2", "Данные предыдущего тиража - 2",
                                          &MakeStatWith<ShiftValues<-2, 1>, &kRepValues2N2>);
const StatClassInfo kRepCount2 = RepeatClass("TstRepCount2", "RPC2", "Количество повторов в 2-х тиражах подряд",
                                          &MakeStatWith<ShiftCount<0, 1>, &kRepCount2>);
const StatClassInfo kRepCount3 = RepeatClass("TstRepCount3", "RPC3", "Количество повторов в 3-х тиражах подряд",
                                          &MakeStatWith<RepeatCountStat<Source::BothTwo, 0, 0>, &kRepCount3>);
const StatClassInfo kRepCount2B3 = RepeatClass("TstRepCount2B3", "PRB2", "Количество повторов не более чем в 2-х тиражах",
                                          &MakeStatWith<RepeatCountStat<Source::OnlyLast, 0, 0>, &kRepCount2B3>);
const StatClassInfo kRepCount2over1 = RepeatClass("TstRepCount2over1", "RPO1", "Количество повторов в 2-х тиражах через 1 тираж(а)",
                                          &MakeStatWith<ShiftCount<0, 2>, &kRepCount2over1>);
const StatClassInfo kRepCount2over2 = RepeatClass("TstRepCount2over2", "PRC2O2", "Количество повторов в 2-х тиражах через 2 тираж(а)",
                                          &MakeStatWith<ShiftCount<0, 3>, &kRepCount2over2>);
const StatClassInfo kRepCount2over3 = RepeatClass("TstRepCount2over3", "PRC2O3", "Количество повторов в 2-х тиражах через 3 тираж(а)",
                                          &MakeStatWith<ShiftCount<0, 4>, &kRepCount2over3>);
const StatClassInfo kRepCount2P1 = RepeatClass("TstRepCount2P1", "PRC+1", "Количество совпадений \"значений + 1\"",
                                          &MakeStatWith<ShiftCount<1, 1>, &kRepCount2P1>);
const StatClassInfo kRepCount2N1 = RepeatClass("TstRepCount2N1", "PRC-1", "Количество совпадений \"значений - 1\"",
                                          &MakeStatWith<ShiftCount<-1, 1>, &kRepCount2N1>);
const StatClassInfo kRepCount2P2 = RepeatClass("TstRepCount2P2", "PRC+2", "Количество совпадений \"значений + 2\"",
                                          &MakeStatWith<ShiftCount<2, 1>, &kRepCount2P2>);
const StatClassInfo kRepCount2N2 = RepeatClass("TstRepCount2N2", "PRC-2", "Количество совпадений \"значений - 2\"",
                                          &MakeStatWith<ShiftCount<-2, 1>, &kRepCount2N2>);

}  // namespace

void RegisterRepeatFamily(StatClassTable& table) {
  for (const StatClassInfo* c :
       {&kRepValues2, &kRepValues3, &kRepValues2B3, &kRepValues2over1, &kRepValues2over2, &kRepValues2over3,
        &kRepValues2P1, &kRepValues2N1, &kRepValues2P2, &kRepValues2N2, &kRepCount2, &kRepCount3, &kRepCount2B3,
        &kRepCount2over1, &kRepCount2over2, &kRepCount2over3, &kRepCount2P1, &kRepCount2N1, &kRepCount2P2,
        &kRepCount2N2})
    table.push_back(c);
}

}  // namespace px
