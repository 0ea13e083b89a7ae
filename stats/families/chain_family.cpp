// Group 10, "mov": how a number, its channel or its segment, or the count of
// numbers in one channel or segment, passes from one draw to the next (or
// across three draws). Only transitions whose "from" part matches the
// reference draw are kept, so the table lists the continuations possible for
// the next draw; a filter asks whether a combination holds a selected "to".
#include <algorithm>

#include "core/config.h"
#include "core/text.h"
#include "stats/families/families.h"
#include "stats/families/feature_stats.h"

namespace px {

namespace {

using family::FeatureFn;
using family::FeatureMap;
using family::FeatureStat;

enum class Shape {
  All,       // every "from" of the draw before whose feature the reference draw has, to every number
  Position,  // position by position, where the "from" equals the reference draw's
  At,        // the one position Index
  Count,     // the count of numbers in feature Index
};

template <FeatureFn Features, Shape S, bool Three>
class ChainStat : public FeatureStat<TCustomStat, Features> {
  using Base = FeatureStat<TCustomStat, Features>;

 public:
  using Base::Base;

  std::string ValueText(const StatValue& v) const override {
    auto text = [&](int x) {
      return S == Shape::Count ? std::to_string(x) : family::ShortFeatureText(this->map_, x);
    };
    if (Three) return text(v.Key1) + "-" + text(v.Key2) + " -> " + text(v.Key3);
    return text(v.Key1) + " -> " + text(v.Key2);
  }

  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    if (S != Shape::Count) return;
    const int now = CountIn(this->ReadDraw(lastIndex, false).numbers);
    const int before = CountIn(this->ReadDraw(lastIndex - 1, false).numbers);
    // Channels offer every count up to the width; segments only 0.
    const int most = this->map_.kind == family::FeatureKind::Channel ? this->map_.width : 0;
    for (int j = 0; j <= most; ++j) Add(values, Three ? before : now, now, j, false);
  }

  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    const DrawRecord prev = this->ReadDraw(index - 1, sorted), prev2 = this->ReadDraw(index - 2, sorted);
    // A draw before the archive has no numbers: no transition comes from it.
    if (prev.number <= 0 || (Three && prev2.number <= 0)) return;
    const Combination& now = this->CurrentDraw.numbers;
    const Combination ref = this->ReadDraw(lastIndex, sorted).numbers;
    const Combination ref2 = this->ReadDraw(lastIndex - 1, sorted).numbers;
    const FeatureMap& m = this->map_;
    switch (S) {
      case Shape::All: {
        for (uint8_t y : prev.numbers) {
          const int from = m.Of(y);
          if (from == 0 || std::none_of(ref.begin(), ref.end(), [&](uint8_t r) { return m.Of(r) == from; })) continue;
          for (uint8_t x : now)
            if (m.Of(x) != 0) Add(values, 0, from, m.Of(x), true);
        }
        break;
      }
      case Shape::Position:
      case Shape::At:
        for (int i = 0; i < kDrawSize; ++i) {
          if (S == Shape::At && i != this->Index() - 1) continue;
          const int from = m.Of(prev.numbers[size_t(i)]), from2 = m.Of(prev2.numbers[size_t(i)]);
          const int to = m.Of(now[size_t(i)]);
          if (from == 0 || to == 0 || from != m.Of(ref[size_t(i)])) continue;
          if (Three && (from2 == 0 || from2 != m.Of(ref2[size_t(i)]))) continue;
          Add(values, from2, from, to, true);
        }
        break;
      case Shape::Count: {
        const int a1 = CountIn(prev.numbers), a2 = CountIn(prev2.numbers);
        if (a1 != CountIn(ref) || (Three && a2 != CountIn(ref2))) break;
        Add(values, a2, a1, CountIn(now), true);
        break;
      }
    }
  }

  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    const int word = Three ? 3 : 2;
    if (S == Shape::Count) return HasWordKey(selected, word, uint16_t(CountIn(c)));
    for (uint8_t n : c)
      if (const int f = this->map_.Of(n); f != 0 && HasWordKey(selected, word, uint16_t(f))) return true;
    return false;
  }

 private:
  int CountIn(const Combination& c) const {
    int k = 0;
    for (uint8_t n : c) k += this->map_.Of(n) != 0 && this->map_.Of(n) == this->Index() ? 1 : 0;
    return k;
  }
  // (from2,) from -> to
  void Add(TStatDrawArray& values, int from2, int from, int to, bool withPeriods) {
    StatValue& w = this->Work;
    if (Three) {
      w.Key1 = uint16_t(from2);
      w.Key2 = uint16_t(from);
      w.Key3 = uint16_t(to);
    } else {
      w.Key1 = uint16_t(from);
      w.Key2 = uint16_t(to);
      w.Key3 = 0;
    }
    AddValue(values, w, withPeriods);
  }
};

// ---- numbers within channels: which numbers of a draw follow a number of
// the draw before (one of the reference draw's) inside its channel.
enum InsideMode { kInsideAll = 0, kInsideSuccess = 1, kInsideFailure = 2, kInsideCount = 3 };

template <int Mode>
class ChainInsideStat : public FeatureStat<TCustomStat, &family::ChannelFeatures> {
  using Base = FeatureStat<TCustomStat, &family::ChannelFeatures>;

 public:
  using Base::Base;

  std::string ValueText(const StatValue& v) const override {
    if (Mode == kInsideCount) return std::to_string(v.Key1) + " -> " + std::to_string(v.Key2);
    return Fmt("%.2d -> %.2d", v.Key1, v.Key2);
  }

  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    const DrawRecord prev = ReadDraw(index - 1, false);
    if (prev.number <= 0) return;
    const family::NumberSet64 ref = family::DrawSet(*this, lastIndex);
    for (uint8_t y : prev.numbers) {
      if (!family::InSet(ref, y)) continue;
      int n = 0;
      for (uint8_t x : CurrentDraw.numbers) {
        if (map_.Of(x) == 0 || map_.Of(x) != map_.Of(y)) continue;
        if (Mode == kInsideCount) {
          ++n;
        } else {
          n = x;
          if (Mode != kInsideFailure) Add(values, y, x);
        }
      }
      if (Mode == kInsideCount) Add(values, y, n);
      if ((Mode == kInsideAll || Mode == kInsideFailure) && n == 0) Add(values, y, 0);
    }
  }

  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int lastIndex, bool,
                          FilterMode) override {
    for (uint8_t y : ReadDraw(lastIndex, false).numbers) {
      if (map_.Of(y) == 0) continue;
      for (uint8_t x : c)
        for (const StatValue& v : selected) {
          if (v.Key1 != y) continue;
          const bool sameChannel = map_.Of(x) == map_.Of(y);
          if ((Mode == kInsideCount || v.Key2 == 0) ? sameChannel : x == v.Key2) return true;
        }
    }
    return false;
  }

 private:
  void Add(TStatDrawArray& values, int y, int x) {
    Work.Key1 = uint16_t(y);
    Work.Key2 = uint16_t(x);
    AddValue(values, Work, true);
  }
};

std::pair<int, int> FivePositions(const GameConfig&) { return {1, kDrawSize}; }
constexpr StatClassInfo ChainClass(const char* className, const char* code, const char* help, const char* title,
                                   uint8_t features, std::pair<int, int> (*range)(const GameConfig&),
                                   std::unique_ptr<TCustomStat> (*create)(const TStatList&, int)) {
  return StatClassInfo{.className = className, .codeFormat = code, .titleFormat = title, .helpCodeFormat = help,
                       .group = 10, .features = features, .numericValues = false, .indexed = range != nullptr,
                       .indexRange = range, .create = create};
}

using family::ChannelFeatures;
using family::NumberFeatures;
using family::SegmentFeatures;
constexpr uint8_t kD = kFeatD, kSD = kFeatS | kFeatD;

extern const StatClassInfo kC1, kC2, kC3, kC4, kC5, kC6, kC7, kC8, kC9, kC10, kC11, kC12, kC13, kC14, kC15, kC16,
    kC17, kC18, kC19, kC20, kC21, kC22, kC23;
const StatClassInfo kC1 = ChainClass("TstChain2DrawsAll", "SDV2", nullptr,
                                     "Переходы чисел между 2 тиражами без учета позиции", kD, nullptr,
                                     &MakeStatWith<ChainStat<&NumberFeatures, Shape::All, false>, &kC1>);
const StatClassInfo kC2 = ChainClass("TstChain2DrawsPos", "SDP2", nullptr,
                                     "Переходы чисел между 2 тиражами с учетом позиции", kSD, nullptr,
                                     &MakeStatWith<ChainStat<&NumberFeatures, Shape::Position, false>, &kC2>);
const StatClassInfo kC3 = ChainClass("TstChain2Pos", "SDN%d", "SDNx", "Переходы чисел между 2 тиражами в %d позиции",
                                     kSD, &FivePositions, &MakeStatWith<ChainStat<&NumberFeatures, Shape::At, false>, &kC3>);
const StatClassInfo kC4 = ChainClass("TstChain3DrawsPos", "SDP3", nullptr,
                                     "Переходы чисел между 3 тиражами с учетом позиции", kSD, nullptr,
                                     &MakeStatWith<ChainStat<&NumberFeatures, Shape::Position, true>, &kC4>);
const StatClassInfo kC5 = ChainClass("TstChain3Pos", "SDM%d", "SDMx", "Переходы чисел между 3 тиражами в %d позиции",
                                     kSD, &FivePositions, &MakeStatWith<ChainStat<&NumberFeatures, Shape::At, true>, &kC5>);
const StatClassInfo kC6 = ChainClass("TstChain2ChannelsAll", "SCV2", nullptr,
                                     "Переходы каналов между 2 тиражами без учета позиции", kD, nullptr,
                                     &MakeStatWith<ChainStat<&ChannelFeatures, Shape::All, false>, &kC6>);
const StatClassInfo kC7 = ChainClass("TstChain2ChannelsPos", "SCP2", nullptr,
                                     "Переходы каналов между 2 тиражами с учетом позиции", kSD, nullptr,
                                     &MakeStatWith<ChainStat<&ChannelFeatures, Shape::Position, false>, &kC7>);
const StatClassInfo kC8 = ChainClass("TstChain2Channel", "SCN%d", "SCNx",
                                     "Переходы каналов между 2 тиражами в %d позиции", kSD, &FivePositions,
                                     &MakeStatWith<ChainStat<&ChannelFeatures, Shape::At, false>, &kC8>);
const StatClassInfo kC9 = ChainClass("TstChain3ChannelsPos", "SCP3", nullptr,
                                     "Переходы каналов между 3 тиражами с учетом позиции", kSD, nullptr,
                                     &MakeStatWith<ChainStat<&ChannelFeatures, Shape::Position, true>, &kC9>);
const StatClassInfo kC10 = ChainClass("TstChain3Channel", "SCM%d", "SCMx",
                                      "Переходы каналов между 3 тиражами в %d позиции", kSD, &FivePositions,
                                      &MakeStatWith<ChainStat<&ChannelFeatures, Shape::At, true>, &kC10>);
const StatClassInfo kC11 = ChainClass("TstChain2CnlCnt", "SC2C%d", "SC2Cx",
                                      "Переходы кол-ва чисел в %d канале между 2 тиражами", kD, &family::ChannelIndexes,
                                      &MakeStatWith<ChainStat<&ChannelFeatures, Shape::Count, false>, &kC11>);
const StatClassInfo kC12 = ChainClass("TstChain3CnlCnt", "SC3C%d", "SC3Cx",
                                      "Переходы кол-ва чисел в %d канале между 3 тиражами", kD, &family::ChannelIndexes,
                                      &MakeStatWith<ChainStat<&ChannelFeatures, Shape::Count, true>, &kC12>);
const StatClassInfo kC13 = ChainClass("TstChainChannels2InsideAll", "SDA2", nullptr,
                                      "Переходы чисел в пределах каналов (все)", kD, nullptr,
                                      &MakeStatWith<ChainInsideStat<kInsideAll>, &kC13>);
const StatClassInfo kC14 = ChainClass("TstChainChannels2InsideSuc", "SDG2", nullptr,
                                      "Переходы чисел в пределах каналов (N-M, удачные)", kD, nullptr,
                                      &MakeStatWith<ChainInsideStat<kInsideSuccess>, &kC14>);
const StatClassInfo kC15 = ChainClass("TstChainChannels2InsideBad", "SDZ2", nullptr,
                                      "Переходы чисел в пределах каналов (N-0, не удачные)", kD, nullptr,
                                      &MakeStatWith<ChainInsideStat<kInsideFailure>, &kC15>);
const StatClassInfo kC16 = ChainClass("TstChainChannels2InsideCnt", "SDC2", nullptr,
                                      "Переходы чисел в пределах каналов (количество)", kD, nullptr,
                                      &MakeStatWith<ChainInsideStat<kInsideCount>, &kC16>);
const StatClassInfo kC17 = ChainClass("TstChain2SegmentsAll", "SSV2", nullptr,
                                      "Переходы сегментов между 2 тиражами без учета позиции", kD, nullptr,
                                      &MakeStatWith<ChainStat<&SegmentFeatures, Shape::All, false>, &kC17>);
const StatClassInfo kC18 = ChainClass("TstChain2SegmentsPos", "SSP2", nullptr,
                                      "Переходы сегментов между 2 тиражами с учетом позиции", kSD, nullptr,
                                      &MakeStatWith<ChainStat<&SegmentFeatures, Shape::Position, false>, &kC18>);
const StatClassInfo kC19 = ChainClass("TstChain2Segment", "SSN%d", "SSNx",
                                      "Переходы сегментов между 2 тиражами в %d позиции", kSD, &FivePositions,
                                      &MakeStatWith<ChainStat<&SegmentFeatures, Shape::At, false>, &kC19>);
const StatClassInfo kC20 = ChainClass("TstChain3SegmentsPos", "SSP3", nullptr,
                                      "Переходы сегментов между 3 тиражами с учетом позиции", kSD, nullptr,
                                      &MakeStatWith<ChainStat<&SegmentFeatures, Shape::Position, true>, &kC20>);
const StatClassInfo kC21 = ChainClass("TstChain3Segment", "SSM%d", "SSMx",
                                      "Переходы сегментов между 3 тиражами в %d позиции", kSD, &FivePositions,
                                      &MakeStatWith<ChainStat<&SegmentFeatures, Shape::At, true>, &kC21>);
const StatClassInfo kC22 = ChainClass("TstChain2SgmCnt", "SS2C%d", "SS2Cx",
                                      "Переходы кол-ва чисел в %d сегменте между 2 тиражами", kD, &family::SegmentIndexes,
                                      &MakeStatWith<ChainStat<&SegmentFeatures, Shape::Count, false>, &kC22>);
const StatClassInfo kC23 = ChainClass("TstChain3SgmCnt", "SS3C%d", "SS3Cx",
                                      "Переходы кол-ва чисел в %d сегменте между 3 тиражами", kD, &family::SegmentIndexes,
                                      &MakeStatWith<ChainStat<&SegmentFeatures, Shape::Count, true>, &kC23>);

}  // namespace

void RegisterChainFamily(StatClassTable& table) {
  for (const StatClassInfo* c : {&kC1, &kC2, &kC3, &kC4, &kC5, &kC6, &kC7, &kC8, &kC9, &kC10, &kC11, &kC12, &kC13,
                                 &kC14, &kC15, &kC16, &kC17, &kC18, &kC19, &kC20, &kC21, &kC22, &kC23})
    table.push_back(c);
}

}  // namespace px
