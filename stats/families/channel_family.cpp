// Group 3, "grp": channels, blocks of ChannelSize consecutive numbers — the
// channel of each number, how many numbers each channel holds, how many
// channels a draw occupies, tuples of channels and the numbers in one channel.
#include <algorithm>

#include "core/config.h"
#include "stats/families/families.h"
#include "stats/families/feature_stats.h"

namespace px {

namespace {

using family::ChannelFeatures;
using family::FeatureMap;
using family::TupleShape;

int WidthUpTo5(const FeatureMap& m) { return std::min(m.width, kDrawSize); }
int Width(const FeatureMap& m) { return m.width; }

using Channels = family::EachFeatureStat<&ChannelFeatures, true>;
using ChanValues = family::FeatureCountsStat<&ChannelFeatures, &WidthUpTo5>;
using ChanCount = family::FeatureGraphStat<&ChannelFeatures, &family::OccupiedFeatures, &WidthUpTo5>;
using ChnValCnt = family::FeatureGraphStat<&ChannelFeatures, &family::NumbersInIndex, &Width>;
template <int K, TupleShape Shape>
using ChannelTuple = family::FeatureTupleStat<&ChannelFeatures, K, Shape>;

extern const StatClassInfo kChannels, kChanValues, kChanCount, kChnValCnt;
const StatClassInfo kChannels{.className = "TstChannels", .codeFormat = "CHAN", .titleFormat = "Каналы",
                              .helpCodeFormat = nullptr, .group = 3, .features = kFeatN,
                              .create = &MakeStatWith<Channels, &kChannels>};
const StatClassInfo kChanValues{.className = "TstChanValues", .codeFormat = "CHNV",
                                .titleFormat = "Количество чисел в канале", .helpCodeFormat = nullptr, .group = 3,
                                .features = kFeatN, .numericValues = false,
                                .create = &MakeStatWith<ChanValues, &kChanValues>};
const StatClassInfo kChanCount{.className = "TstChanCount", .codeFormat = "CHNC",
                               .titleFormat = "Количество каналов в тираже", .helpCodeFormat = nullptr, .group = 3,
                               .features = kFeatN, .isGraph = true, .create = &MakeStatWith<ChanCount, &kChanCount>};
const StatClassInfo kChnValCnt{.className = "TstChnValCnt", .codeFormat = "CHN%d",
                               .titleFormat = "Количество чисел в %d канале", .helpCodeFormat = "CHNx", .group = 3,
                               .features = kFeatN, .isGraph = true, .indexed = true, .indexRange = &family::ChannelIndexes,
                               .create = &MakeStatWith<ChnValCnt, &kChnValCnt>};

using family::TupleClass;
extern const StatClassInfo kCombChnMix2, kCombChnMix3, kCombChnMix4, kCombChnSeq2, kCombChnSeq3, kCombChnSeq4;
const StatClassInfo kCombChnMix2 = TupleClass("TstCombChnMix2", "KCM2", "Сочетания из 2 каналов по всем числам тиража", 3,
                                              &MakeStatWith<ChannelTuple<2, TupleShape::All>, &kCombChnMix2>);
const StatClassInfo kCombChnMix3 = TupleClass("TstCombChnMix3", "KCM3", "Сочетания из 3 каналов по всем числам тиража", 3,
                                              &MakeStatWith<ChannelTuple<3, TupleShape::All>, &kCombChnMix3>);
const StatClassInfo kCombChnMix4 = TupleClass("TstCombChnMix4", "KCM4", "Сочетания из 4 каналов по всем числам тиража", 3,
                                              &MakeStatWith<ChannelTuple<4, TupleShape::All>, &kCombChnMix4>);
const StatClassInfo kCombChnSeq2 = TupleClass("TstCombChnSeq2", "KCS2", "Сочетания из 2 каналов по соседним числам", 3,
                                              &MakeStatWith<ChannelTuple<2, TupleShape::Adjacent>, &kCombChnSeq2>);
const StatClassInfo kCombChnSeq3 = TupleClass("TstCombChnSeq3", "KCS3", "Сочетания из 3 каналов по соседним числам", 3,
                                              &MakeStatWith<ChannelTuple<3, TupleShape::Adjacent>, &kCombChnSeq3>);
const StatClassInfo kCombChnSeq4 = TupleClass("TstCombChnSeq4", "KCS4", "Сочетания из 4 каналов по соседним числам", 3,
                                              &MakeStatWith<ChannelTuple<4, TupleShape::Adjacent>, &kCombChnSeq4>);

}  // namespace

void RegisterChannelFamily(StatClassTable& table) {
  for (const StatClassInfo* c : {&kChannels, &kChanValues, &kChanCount, &kCombChnMix2, &kCombChnMix3, &kCombChnMix4,
                                 &kCombChnSeq2, &kCombChnSeq3, &kCombChnSeq4, &kChnValCnt})
    table.push_back(c);
}

}  // namespace px
