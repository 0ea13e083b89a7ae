// Group 8, "ser": series of a number, a channel or a segment — how many
// draws in a row it was present (groups) or absent (pauses). Only values of
// the reference draw are recorded; the run state lives in the computation's
// State block, so every computation starts its series afresh.
#include <algorithm>

#include "core/text.h"
#include "stats/families/families.h"
#include "stats/families/feature_stats.h"

namespace px {

namespace {

using family::FeatureFn;
using family::FeatureMap;
using family::FeatureStat;

template <FeatureFn Features, bool Groups>
class SerialStat : public FeatureStat<TCustomStat, Features> {
  using Base = FeatureStat<TCustomStat, Features>;

 public:
  SerialStat(const TStatList& r, const StatClassInfo& info, int index) : Base(r, info, index) {
    std::tie(lo_, hi_) = family::FeatureRange(this->map_);
    // The run state holds the features 1..36 only.
    lo_ = std::max(lo_, 1);
    hi_ = std::min(hi_, kNumbers);
  }

  std::string ValueText(const StatValue& v) const override { return family::SeriesText(this->map_, v); }

  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    const uint64_t present = FeatureSet(this->CurrentDraw.numbers);
    const uint64_t reference = FeatureSet(this->ReadDraw(lastIndex, false).numbers);
    for (int v = lo_; v <= hi_; ++v) {
      auto& run = st[size_t(v - 1)];  // length, draw number of its last draw, that draw's age
      const bool found = (present >> v) & 1;
      const bool inReference = (reference >> v) & 1;
      if (found == Groups) {
        ++run[0];
        run[1] = this->CurrentDraw.number;
        run[2] = lastIndex - index + 1;
        if (index == lastIndex && inReference) Add(values, v, run);
      } else {
        if (run[0] > 0 && inReference) Add(values, v, run);
        run = {0, 0, 0};
      }
    }
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    for (uint8_t n : c)
      if (const int f = this->map_.Of(n); f != 0 && HasWordKey(selected, 1, uint16_t(f))) return true;
    return false;
  }

 private:
  uint64_t FeatureSet(const Combination& c) const {
    uint64_t set = 0;
    for (uint8_t n : c)
      if (const int f = this->map_.Of(n); f >= 1 && f <= kNumbers) set |= uint64_t(1) << f;
    return set;
  }
  // The series ending with its last draw: that draw's number and age.
  void Add(TStatDrawArray& values, int v, const std::array<int32_t, 3>& run) {
    StatValue w = this->Work;
    w.Key1 = uint16_t(v);
    w.Key2 = uint16_t(std::clamp(run[0], 0, 0xFFFF));
    w.LastDraw = w.PrevDraw = run[1];
    w.Depth = run[2];
    AddValue(values, w, true);
  }

  int lo_ = 1, hi_ = 0;
};

constexpr StatClassInfo SerialClass(const char* className, const char* code, const char* title,
                                    std::unique_ptr<TCustomStat> (*create)(const TStatList&, int)) {
  return StatClassInfo{.className = className, .codeFormat = code, .titleFormat = title, .helpCodeFormat = nullptr,
                       .group = 8, .features = kFeatD, .numericValues = false, .create = create,
                       .usesDrawState = true};
}

using family::ChannelFeatures;
using family::NumberFeatures;
using family::SegmentFeatures;
extern const StatClassInfo kNumGroups, kNumPauses, kChnGroups, kChnPauses, kSgmGroups, kSgmPauses;
const StatClassInfo kNumGroups = SerialClass("TstNumGroups", "GRPV", "Повторы чисел в нескольких тиражах подряд",
                                             &MakeStatWith<SerialStat<&NumberFeatures, true>, &kNumGroups>);
const StatClassInfo kNumPauses = SerialClass("TstNumPauses", "GRPP", "Интервалы между повторениями чисел",
                                             &MakeStatWith<SerialStat<&NumberFeatures, false>, &kNumPauses>);
const StatClassInfo kChnGroups = SerialClass("TstChnGroups", "GRCV", "Повторы каналов в нескольких тиражах подряд",
                                             &MakeStatWith<SerialStat<&ChannelFeatures, true>, &kChnGroups>);
const StatClassInfo kChnPauses = SerialClass("TstChnPauses", "GRCP", "Интервалы между повторениями каналов",
                                             &MakeStatWith<SerialStat<&ChannelFeatures, false>, &kChnPauses>);
const StatClassInfo kSgmGroups = SerialClass("TstSgmGroups", "GRSV", "Повторы сегментов в нескольких тиражах подряд",
                                             &MakeStatWith<SerialStat<&SegmentFeatures, true>, &kSgmGroups>);
const StatClassInfo kSgmPauses = SerialClass("TstSgmPauses", "GRSP", "Интервалы между повторениями сегментов",
                                             &MakeStatWith<SerialStat<&SegmentFeatures, false>, &kSgmPauses>);

}  // namespace

void RegisterSerialFamily(StatClassTable& table) {
  for (const StatClassInfo* c : {&kNumGroups, &kNumPauses, &kChnGroups, &kChnPauses, &kSgmGroups, &kSgmPauses})
    table.push_back(c);
}

}  // namespace px
