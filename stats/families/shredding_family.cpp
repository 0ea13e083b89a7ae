// Group 12, "shr": the user's three formulas over the numbers of a draw and
// the two draws before it; the value is the first digits after the point of
// the result, a label of the draw that behaves like any other value.
#include <algorithm>
#include <vector>

#include "core/config.h"
#include "stats/families/families.h"
#include "stats/families/family_core.h"
#include "stats/families/formula.h"

namespace px {

namespace {

Formula::Numbers NumbersOf(const Combination& c) {
  return {c[0], c[1], c[2], c[3], c[4]};
}

std::pair<int, int> ThreeMethods(const GameConfig&) { return {1, 3}; }

class TstShreddingStat final : public TCustomGraphStat {
 public:
  TstShreddingStat(const TStatList& r, const StatClassInfo& info, int index)
      : TCustomGraphStat(r, info, index),
        formula_(index >= 1 && index <= 3 ? r.Config().Formula[size_t(index - 1)] : std::string()),
        digits_(index >= 1 && index <= 3 ? std::clamp<int>(r.Config().FormulaDigits[size_t(index - 1)], 1, 5) : 2) {}

  // Five digits reach past one key word: Key1 and Key2 hold the value.
  std::string ValueText(const StatValue& v) const override { return std::to_string(v.Int12()); }

  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    family::AddInt(Work, values, Of(CurrentDraw.numbers, index, sorted), true);
  }
  void CollectCombinationValues(const Combination& c, TStatDrawArray& values) override {
    TCustomStat::CollectCombinationValues(c, values);
    family::AddInt(Work, values, formula_.Value(NumbersOf(c), {}, {}, digits_), false);
  }
  int32_t GraphValue(const Combination& c, int index, int, bool sorted) override { return Of(c, index, sorted); }
  // The combination is taken as the draw after the reference draw.
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int lastIndex, bool sorted,
                          FilterMode) override {
    return HasKey1or3(selected, 1, Of(c, lastIndex + 1, sorted));
  }
  void MatchBatch(const Combination* combs, size_t n, const TStatDrawArray& selected, int lastIndex, bool sorted,
                  FilterMode, uint8_t* out) override {
    std::vector<int32_t> chosen;
    for (const StatValue& v : selected) chosen.push_back(v.Int12());
    std::sort(chosen.begin(), chosen.end());
    const Formula::Numbers p = NumbersOf(ReadDraw(lastIndex, sorted).numbers);
    const Formula::Numbers t = NumbersOf(ReadDraw(lastIndex - 1, sorted).numbers);
    for (size_t i = 0; i < n; ++i)
      out[i] = std::binary_search(chosen.begin(), chosen.end(), formula_.Value(NumbersOf(combs[i]), p, t, digits_));
  }

 private:
  // n the numbers, p and t the two draws before the one at `index` (zeros
  // before the archive).
  int32_t Of(const Combination& c, int index, bool sorted) const {
    return formula_.Value(NumbersOf(c), NumbersOf(ReadDraw(index - 1, sorted).numbers),
                          NumbersOf(ReadDraw(index - 2, sorted).numbers), digits_);
  }

  const Formula formula_;
  const int digits_;
};

extern const StatClassInfo kShredding;
const StatClassInfo kShredding{.className = "TstShreddingStat", .codeFormat = "SHR%d",
                               .titleFormat = "Метод шинковки %d: %s", .helpCodeFormat = "SHRx", .group = 12,
                               .features = kFeatS | kFeatN, .isGraph = true, .indexed = true,
                               .indexRange = &ThreeMethods, .create = &MakeStatWith<TstShreddingStat, &kShredding>};

}  // namespace

void RegisterShreddingFamily(StatClassTable& table) { table.push_back(&kShredding); }

}  // namespace px
