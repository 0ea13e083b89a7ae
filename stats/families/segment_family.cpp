// Group 5, "sgm": the segments the user gives the numbers (MatrixSegments) —
// the segment of each number, how many numbers each segment holds, how many
// segments a draw occupies, tuples of segments and the numbers in one segment.
#include <algorithm>

#include "core/config.h"
#include "stats/families/families.h"
#include "stats/families/feature_stats.h"

namespace px {

namespace {

using family::NoCandidates;
using family::SegmentFeatures;
using family::TupleClass;
using family::TupleShape;

using Segments = family::EachFeatureStat<&SegmentFeatures, false>;
using SegmValues = family::FeatureCountsStat<&SegmentFeatures, &NoCandidates>;
using SegmCount = family::FeatureGraphStat<&SegmentFeatures, &family::OccupiedFeatures, &NoCandidates>;
using SgmValCnt = family::FeatureGraphStat<&SegmentFeatures, &family::NumbersInIndex, &NoCandidates>;
template <int K, TupleShape Shape>
using SegmentTuple = family::FeatureTupleStat<&SegmentFeatures, K, Shape>;

extern const StatClassInfo kSegments, kSegmValues, kSegmCount, kSgmValCnt;
const StatClassInfo kSegments{.className = "TstSegments", .codeFormat = "SGMS", .titleFormat = "Сегменты матрицы",
                              .helpCodeFormat = nullptr, .group = 5, .features = kFeatN,
                              .create = &MakeStatWith<Segments, &kSegments>};
const StatClassInfo kSegmValues{.className = "TstSegmValues", .codeFormat = "SGMV",
                                .titleFormat = "Количество чисел в сегменте матрицы", .helpCodeFormat = nullptr,
                                .group = 5, .features = kFeatN, .numericValues = false,
                                .create = &MakeStatWith<SegmValues, &kSegmValues>};
const StatClassInfo kSegmCount{.className = "TstSegmCount", .codeFormat = "SGMC",
                               .titleFormat = "Количество не пустых сегментов в матрице", .helpCodeFormat = nullptr,
                               .group = 5, .features = kFeatN, .isGraph = true,
                               .create = &MakeStatWith<SegmCount, &kSegmCount>};
const StatClassInfo kSgmValCnt{.className = "TstSgmValCnt", .codeFormat = "SGM%d",
                               .titleFormat = "Количество чисел в %d сегменте матрицы", .helpCodeFormat = "SGMx",
                               .group = 5, .features = kFeatN, .isGraph = true, .indexed = true,
                               .indexRange = &family::SegmentIndexes, .create = &MakeStatWith<SgmValCnt, &kSgmValCnt>};

extern const StatClassInfo kCombSegmMix2, kCombSegmMix3, kCombSegmMix4, kCombSegmSeq2, kCombSegmSeq3, kCombSegmSeq4;
const StatClassInfo kCombSegmMix2 =
    TupleClass("TstCombSegmMix2", "KGM2", "Сочетания из 2 сегментов по всем числам тиража", 5,
               &MakeStatWith<SegmentTuple<2, TupleShape::All>, &kCombSegmMix2>);
const StatClassInfo kCombSegmMix3 =
    TupleClass("TstCombSegmMix3", "KGM3", "Сочетания из 3 сегментов по всем числам тиража", 5,
               &MakeStatWith<SegmentTuple<3, TupleShape::All>, &kCombSegmMix3>);
const StatClassInfo kCombSegmMix4 =
    TupleClass("TstCombSegmMix4", "KGM4", "Сочетания из 4 сегментов по всем числам тиража", 5,
               &MakeStatWith<SegmentTuple<4, TupleShape::All>, &kCombSegmMix4>);
const StatClassInfo kCombSegmSeq2 =
    TupleClass("TstCombSegmSeq2", "KGS2", "Сочетания из 2 сегментов по соседним числам", 5,
               &MakeStatWith<SegmentTuple<2, TupleShape::Adjacent>, &kCombSegmSeq2>);
const StatClassInfo kCombSegmSeq3 =
    TupleClass("TstCombSegmSeq3", "KGS3", "Сочетания из 3 сегментов по соседним числам", 5,
               &MakeStatWith<SegmentTuple<3, TupleShape::Adjacent>, &kCombSegmSeq3>);
const StatClassInfo kCombSegmSeq4 =
    TupleClass("TstCombSegmSeq4", "KGS4", "Сочетания из 4 сегментов по соседним числам", 5,
               &MakeStatWith<SegmentTuple<4, TupleShape::Adjacent>, &kCombSegmSeq4>);

}  // namespace

void RegisterSegmentFamily(StatClassTable& table) {
  for (const StatClassInfo* c : {&kSegments, &kSegmValues, &kSegmCount, &kCombSegmMix2, &kCombSegmMix3,
                                 &kCombSegmMix4, &kCombSegmSeq2, &kCombSegmSeq3, &kCombSegmSeq4, &kSgmValCnt})
    table.push_back(c);
}

}  // namespace px
