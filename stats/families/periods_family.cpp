// Group 9, "per": after how many draws a number, a channel or a segment
// comes back inside the window. The last occurrences live in the
// computation's LastValues list; the filter asks whether a selected feature
// came out exactly its period before the next draw.
#include <algorithm>

#include "core/text.h"
#include "stats/families/families.h"
#include "stats/families/feature_stats.h"

namespace px {

namespace {

using family::FeatureFn;
using family::FeatureStat;

template <FeatureFn Features>
class PeriodsStat : public FeatureStat<TCustomStat, Features> {
  using Base = FeatureStat<TCustomStat, Features>;

 public:
  using Base::Base;

  std::string ValueText(const StatValue& v) const override { return family::SeriesText(this->map_, v); }

  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    const int32_t drawNumber = this->CurrentDraw.number;
    for (uint8_t n : this->CurrentDraw.numbers) {
      const int f = this->map_.Of(n);
      if (f == 0) continue;
      auto last = std::find_if(lv.begin(), lv.end(), [&](const StatValue& e) {
        return e.Key1 == f && e.Key2 == 0 && e.Key3 == 0 && e.Key4 == 0;
      });
      int64_t period = 0;
      if (last == lv.end()) {
        StatValue e;
        e.Key1 = uint16_t(f);
        e.LastDraw = drawNumber;
        lv.push_back(e);
      } else {
        period = int64_t(drawNumber) - last->LastDraw;
        last->LastDraw = drawNumber;
      }
      // Swapped draw numbers give no period, but the entry moves on all the same.
      if (period <= 0) continue;
      this->Work.Key1 = uint16_t(f);
      this->Work.Key2 = uint16_t(std::min<int64_t>(period, 0xFFFF));
      AddValue(values, this->Work, true);
    }
  }

  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int lastIndex, bool,
                          FilterMode mode) override {
    return family::AnyChosen(Chosen(selected, lastIndex, mode), c) != 0;
  }
  void MatchBatch(const Combination* combs, size_t n, const TStatDrawArray& selected, int lastIndex, bool,
                  FilterMode mode, uint8_t* out) override {
    family::MatchAnyNumber(Chosen(selected, lastIndex, mode), combs, n, out);
  }

 private:
  // Per number: whether its feature, with some selected period P, came out
  // (keep) or did not come out (remove) in the draw P - 1 before the
  // reference draw. A draw outside the archive has no features.
  family::NumberTable Chosen(const TStatDrawArray& selected, int lastIndex, FilterMode mode) const {
    family::NumberTable byFeature{};
    for (const StatValue& v : selected) {
      if (v.Key1 == 0 || v.Key1 > 255) continue;
      const int at = lastIndex - int(v.Key2) + 1;
      bool out = false;
      if (this->HasDraw(at))
        for (uint8_t n : this->ReadDraw(at, false).numbers) out = out || this->map_.Of(n) == v.Key1;
      if (out != (mode == FilterMode::RemoveSelected)) byFeature[v.Key1] = 1;
    }
    return family::ByNumber(this->map_, byFeature);
  }
};

constexpr StatClassInfo PeriodsClass(const char* className, const char* code, const char* title,
                                     std::unique_ptr<TCustomStat> (*create)(const TStatList&, int)) {
  return StatClassInfo{.className = className, .codeFormat = code, .titleFormat = title, .helpCodeFormat = nullptr,
                       .group = 9, .features = kFeatP, .numericValues = false, .create = create};
}

using family::ChannelFeatures;
using family::NumberFeatures;
using family::SegmentFeatures;
extern const StatClassInfo kNumPeriods, kChnPeriods, kSgmPeriods;
const StatClassInfo kNumPeriods = PeriodsClass("TstNumPeriods", "PRDV", "Периоды повторения чисел",
                                               &MakeStatWith<PeriodsStat<&NumberFeatures>, &kNumPeriods>);
const StatClassInfo kChnPeriods = PeriodsClass("TstChnPeriods", "PRDC", "Периоды повторения каналов",
                                               &MakeStatWith<PeriodsStat<&ChannelFeatures>, &kChnPeriods>);
const StatClassInfo kSgmPeriods = PeriodsClass("TstSgmPeriods", "PRDG", "Периоды повторения сегментов",
                                               &MakeStatWith<PeriodsStat<&SegmentFeatures>, &kSgmPeriods>);

}  // namespace

void RegisterPeriodsFamily(StatClassTable& table) {
  for (const StatClassInfo* c : {&kNumPeriods, &kChnPeriods, &kSgmPeriods}) table.push_back(c);
}

}  // namespace px
