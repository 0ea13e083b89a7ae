// Group 0, "num": the numbers of a draw themselves — the numbers, their digits,
// how many are even, small or prime and where, and the number at a position.
#include <array>

#include "stats/families/families.h"
#include "stats/families/family_core.h"
#include "stats/stat_list.h"

namespace px {

namespace {

using family::IsEven;
using family::IsPrimeSet;
using family::IsSmall;

// ---- NUMS: each number is a value.
const StatClassInfo kValues{"TstValues", "NUMS", "Числа тиража", nullptr, 0, kFeatN, false, true, true, true,
                            false, nullptr, &MakeStat<class TstValues>};

class TstValues final : public TCustomValuesStat {
 public:
  TstValues(const TStatList& r, int index) : TCustomValuesStat(r, kValues, index) {}

  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    for (int n = 1; n <= kNumbers; ++n) {
      Work.Key1 = uint16_t(n);
      AddValue(values, Work, false);
    }
  }
  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    for (uint8_t n : CurrentDraw.numbers) {
      Work.Key1 = n;
      AddValue(values, Work, true);
    }
  }
  void CollectCombinationValues(const Combination& c, TStatDrawArray& values) override {
    TCustomStat::CollectCombinationValues(c, values);
    for (uint8_t n : c) {
      Work.Key1 = n;
      AddValue(values, Work, false);
    }
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    for (uint8_t n : c)
      if (HasValue(selected, n, 0, 0, 0)) return true;
    return false;
  }
  void MatchBatch(const Combination* combs, size_t n, const TStatDrawArray& selected, int, bool, FilterMode,
                  uint8_t* out) override {
    family::MatchAnyNumber(Chosen(selected), combs, n, out);
  }
  size_t FilterBatch(const Combination* in, size_t n, Combination* out, const TStatDrawArray& selected, int, bool,
                     FilterMode mode) override {
    return family::FilterAnyNumber(Chosen(selected), in, n, out, mode);
  }
  std::optional<uint64_t> RemovedNumbers(const TStatDrawArray& selected, FilterMode mode) const override {
    if (mode != FilterMode::RemoveSelected) return std::nullopt;
    // Chosen values past 36 are in no combination and remove nothing.
    const std::array<uint8_t, 256> chosen = Chosen(selected);
    uint64_t mask = 0;
    for (int n = 1; n <= kNumbers; ++n)
      if (chosen[size_t(n)]) mask |= uint64_t(1) << n;
    return mask;
  }

 private:
  static std::array<uint8_t, 256> Chosen(const TStatDrawArray& selected) {
    std::array<uint8_t, 256> chosen{};
    for (const StatValue& v : selected)
      if (v.Key2 == 0 && v.Key3 == 0 && v.Key4 == 0 && v.Key1 < 256) chosen[v.Key1] = 1;
    return chosen;
  }
};

// ---- DIGS: each decimal digit of each number, repeats counted.
const StatClassInfo kDigits{"TstDigits", "DIGS", "Цифры тиража", nullptr, 0, kFeatN, false, true, true, true,
                            false, nullptr, &MakeStat<class TstDigits>};

class TstDigits final : public TCustomNumbersStat {
 public:
  TstDigits(const TStatList& r, int index) : TCustomNumbersStat(r, kDigits, index) {}

  template <class Fn>
  static void ForEachDigit(const Combination& c, Fn&& fn) {
    for (uint8_t n : c) {
      if (n >= 10) fn(n / 10 % 10);
      fn(n % 10);
    }
  }
  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    ForEachDigit(CurrentDraw.numbers, [&](int d) {
      Work.Key1 = uint16_t(d);
      AddValue(values, Work, true);
    });
  }
  void CollectCombinationValues(const Combination& c, TStatDrawArray& values) override {
    TCustomStat::CollectCombinationValues(c, values);
    ForEachDigit(c, [&](int d) {
      Work.Key1 = uint16_t(d);
      AddValue(values, Work, false);
    });
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    bool found = false;
    ForEachDigit(c, [&](int d) { found = found || HasValue(selected, uint16_t(d), 0, 0, 0); });
    return found;
  }
};

template <bool (*Test)(int)>
int32_t CountOf(const TCustomStat&, const Combination& c) {
  int k = 0;
  for (uint8_t n : c) k += Test(n) ? 1 : 0;
  return k;
}

template <bool (*Test)(int)>
int32_t PatternOf(const TCustomStat&, const Combination& c) {
  int p = 0;
  for (uint8_t n : c) p = p * 2 + (Test(n) ? 1 : 0);
  return p;
}

bool IsOdd(int n) { return !IsEven(n); }
bool IsLarge(int n) { return !IsSmall(n); }

int32_t PositionOf(const TCustomStat& stat, const Combination& c) {
  const int index = stat.Index();
  return index >= 1 && index <= kDrawSize ? c[size_t(index - 1)] : 0;
}

// ---- EVEN, SMAL, PRIM: counts shown as k:(5-k), candidates 1..5, graph.
template <bool (*Test)(int)>
class CountStat : public family::SingleGraphStat<&CountOf<Test>, family::MatchRule::Word1, TCustomRatioStat> {
  using Base = family::SingleGraphStat<&CountOf<Test>, family::MatchRule::Word1, TCustomRatioStat>;

 public:
  using Base::Base;
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    family::AddCandidates(this->Work, values, 1, 5);
  }
};

// ---- EVNV, SMLV, PRMV: patterns, matched as one integer.
template <bool (*Test)(int)>
using PatternStat = family::SingleValueStat<TCustomMaskStat, &PatternOf<Test>, family::MatchRule::Int12>;

const StatClassInfo kEvenCount{"TstEvenCount", "EVEN", "Количество четных чисел в тираже (Ч:Н)", nullptr, 0, kFeatN,
                               true, true, true, true, false, nullptr, &MakeStat<class TstEvenCount>};
class TstEvenCount final : public CountStat<&IsEven> {
 public:
  TstEvenCount(const TStatList& r, int index) : CountStat(r, kEvenCount, index) {}
};

const StatClassInfo kSmallCount{"TstSmallCount", "SMAL", "Количество чисел из первой половины диапазона (1П:2П)",
                                nullptr, 0, kFeatN, true, true, true, true, false, nullptr,
                                &MakeStat<class TstSmallCount>};
class TstSmallCount final : public CountStat<&IsSmall> {
 public:
  TstSmallCount(const TStatList& r, int index) : CountStat(r, kSmallCount, index) {}
};

const StatClassInfo kPrimeCount{"TstPrimeCount", "PRIM", "Количество простых чисел (П:С)", nullptr, 0, kFeatN, true,
                                true, true, true, false, nullptr, &MakeStat<class TstPrimeCount>};
class TstPrimeCount final : public CountStat<&IsPrimeSet> {
 public:
  TstPrimeCount(const TStatList& r, int index) : CountStat(r, kPrimeCount, index) {}
};

const StatClassInfo kEvenValues{"TstEvenValues", "EVNV", "Четные и нечетные числа в тираже (Чн..нЧ)", nullptr, 0,
                                kFeatS | kFeatN, false, true, true, true, false, nullptr,
                                &MakeStat<class TstEvenValues>};
class TstEvenValues final : public PatternStat<&IsOdd> {
 public:
  TstEvenValues(const TStatList& r, int index) : PatternStat<&IsOdd>(r, kEvenValues, index) {}
  std::string ZeroSymbol() const override { return "Ч"; }
  std::string OneSymbol() const override { return "н"; }
};

const StatClassInfo kSmallValues{"TstSmallValues", "SMLV", "Числа из первой половины диапазона (12..12)", nullptr, 0,
                                 kFeatS | kFeatN, false, true, true, true, false, nullptr,
                                 &MakeStat<class TstSmallValues>};
class TstSmallValues final : public PatternStat<&IsLarge> {
 public:
  TstSmallValues(const TStatList& r, int index) : PatternStat<&IsLarge>(r, kSmallValues, index) {}
  std::string ZeroSymbol() const override { return "1"; }
  std::string OneSymbol() const override { return "2"; }
  // Only the patterns that occurred are listed.
  void CollectCandidates(int, TStatDrawArray&) override {}
};

const StatClassInfo kPrimeValues{"TstPrimeValues", "PRMV", "Простые и составные числа (ПС..СП)", nullptr, 0,
                                 kFeatS | kFeatN, false, true, true, true, false, nullptr,
                                 &MakeStat<class TstPrimeValues>};
class TstPrimeValues final : public PatternStat<&IsPrimeSet> {
 public:
  TstPrimeValues(const TStatList& r, int index) : PatternStat<&IsPrimeSet>(r, kPrimeValues, index) {}
  std::string ZeroSymbol() const override { return "С"; }
  std::string OneSymbol() const override { return "П"; }
};

// ---- POS%d: the number at a position, candidates 1..36, graph.
std::pair<int, int> FivePositions(const GameConfig&) { return {1, 5}; }
std::pair<int, int> NoIndex(const GameConfig&) { return {1, 0}; }

const StatClassInfo kPosVal{"TstPosVal", "POS%d", "Число в %d позиции тиража", "POSx", 0, kFeatS | kFeatN, true, true,
                            true, true, true, &FivePositions, &MakeStat<class TstPosVal>};
class TstPosVal final : public family::SingleGraphStat<&PositionOf, family::MatchRule::Word1> {
 public:
  TstPosVal(const TStatList& r, int index) : SingleGraphStat(r, kPosVal, index) {}
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    family::AddCandidates(Work, values, 1, kNumbers);
  }
};

// ---- POE%d: an extra ball of other games; its empty range yields no method.
const StatClassInfo kPosExt{"TstPosExt", "POE%d", "Extra (Bonus, Star...) - число (!без фильтра!)", "POSx", 0, 0,
                            true, true, true, true, true, &NoIndex, nullptr};

}  // namespace

void RegisterNumberFamily(StatClassTable& table) {
  for (const StatClassInfo* c : {&kValues, &kDigits, &kEvenCount, &kEvenValues, &kSmallCount, &kSmallValues,
                                 &kPrimeCount, &kPrimeValues, &kPosVal, &kPosExt})
    table.push_back(c);
}

}  // namespace px
