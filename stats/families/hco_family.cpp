// Group 11, "vlm": the characteristic number of a draw, what is left of its
// five numbers after taking the differences of neighbours until one value
// remains; and a member for filtering that offers the reference draw's
// number with its multiples.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/text.h"
#include "stats/families/families.h"
#include "stats/families/family_core.h"

namespace px {

namespace {

struct Characteristic {
  int value = 0;
  bool pair = false;  // mode 2 with r = 1: the two values (1, value)
};

Characteristic CharacteristicNumber(const Combination& c, int mode) {
  std::array<int, kDrawSize> x{};
  for (int i = 0; i < kDrawSize; ++i) x[size_t(i)] = c[size_t(i)];
  int n = kDrawSize;
  while (n > 2) {
    for (int i = 0; i + 1 < n; ++i) x[size_t(i)] = std::abs(x[size_t(i + 1)] - x[size_t(i)]);
    --n;
  }
  const int u = x[0], v = x[1];
  int r = std::abs(v - u);
  if (mode == 1 && r < 2) r = u + v;
  if (mode == 2) {
    if (r == 0) r = u + v;
    if (r == 1) return {u + v, true};
  }
  return {r, false};
}

template <int Mode>
int32_t CharacteristicOf(const TCustomStat&, const Combination& c) {
  return CharacteristicNumber(c, Mode).value;
}

template <int Mode>
using CharacteristicStat = family::SingleGraphStat<&CharacteristicOf<Mode>, family::MatchRule::Word1>;

// ---- HCO3: only the reference draw gives values: its characteristic number
// and the multiples of it up to 36, each counted 1 when the draw after the
// reference draw has it (which exists only at an offset).
class TstVelmar3 final : public TCustomStat {
 public:
  TstVelmar3(const TStatList& r, const StatClassInfo& info, int index) : TCustomStat(r, info, index) {}

  std::string ValueText(const StatValue& v) const override {
    return v.Key4 == 2 ? Fmt("%d (%d)", v.Key1, v.Key2) : std::to_string(v.Key1);
  }
  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    if (!HasDraw(lastIndex) || CurrentDraw.number != ReadDraw(lastIndex, sorted).number) return;
    const Characteristic h = CharacteristicNumber(ReadDraw(lastIndex, sorted).numbers, 2);
    const family::NumberSet64 next = family::DrawSet(*this, lastIndex + 1);
    auto add = [&](int key1, int key2, int key4) {
      Work.Key1 = uint16_t(key1);
      Work.Key2 = uint16_t(key2);
      Work.Key4 = uint16_t(key4);
      Work.Count = family::InSet(next, key1) ? 1 : 0;
      AddValue(values, Work, false);
    };
    if (h.pair)
      add(h.value, 1, 2);
    else
      add(h.value, 0, 0);
    const int f = h.value;
    for (int g = f * f > 35 ? f * f : f * f * f; g > f; g -= f)
      if (g >= 1 && g <= kNumbers) add(g, 0, 0);
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    for (uint8_t n : c)
      if (HasWordKey(selected, 1, n)) return true;
    return false;
  }
};

extern const StatClassInfo kVelmar1, kVelmar2, kVelmar3;
const StatClassInfo kVelmar1{.className = "TstVelmar1", .codeFormat = "HCO1",
                             .titleFormat = "Число Велмара 1 (только разность)", .helpCodeFormat = nullptr,
                             .group = 11, .features = kFeatS | kFeatN, .isGraph = true,
                             .create = &MakeStatWith<CharacteristicStat<0>, &kVelmar1>};
const StatClassInfo kVelmar2{.className = "TstVelmar2", .codeFormat = "HCO2",
                             .titleFormat = "Число Велмара 2 (разность + сложение, если {0,1})",
                             .helpCodeFormat = nullptr, .group = 11, .features = kFeatS | kFeatN, .isGraph = true,
                             .create = &MakeStatWith<CharacteristicStat<1>, &kVelmar2>};
const StatClassInfo kVelmar3{.className = "TstVelmar3", .codeFormat = "HCO3",
                             .titleFormat = "Числа Велмара 3 (динамический, только фильтр)", .helpCodeFormat = nullptr,
                             .group = 11, .features = kFeatS | kFeatD, .numericValues = false,
                             .create = &MakeStatWith<TstVelmar3, &kVelmar3>};

}  // namespace

void RegisterHcoFamily(StatClassTable& table) {
  for (const StatClassInfo* c : {&kVelmar1, &kVelmar2, &kVelmar3}) table.push_back(c);
}

}  // namespace px
