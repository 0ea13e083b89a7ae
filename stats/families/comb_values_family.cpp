// Group 0, "num": groups of two, three or four numbers of a draw taken as one
// value — every group of positions, neighbouring positions, or the group
// starting at one position.
#include "stats/families/families.h"
#include "stats/families/family_core.h"

namespace px {

namespace {

using family::TupleShape;

template <int K, TupleShape Shape>
using NumberTuples = family::TupleStat<&family::NumberItems, 5, K, Shape, false>;
template <int K>
using SortedTuples = family::TupleStat<&family::SortedNumberItems, 5, K, TupleShape::Adjacent, false>;

std::pair<int, int> From1To4(const GameConfig&) { return {1, 4}; }
std::pair<int, int> From1To3(const GameConfig&) { return {1, 3}; }
std::pair<int, int> From1To2(const GameConfig&) { return {1, 2}; }

extern const StatClassInfo kMix2, kMix3, kMix4, kSeq2, kSeq3, kSeq4, kPos2, kPos3, kPos4, kSort2, kSort3, kSort4;

const StatClassInfo kMix2{.className = "TstCombValMix2", .codeFormat = "KNM2",
                          .titleFormat = "Сочетания из 2 чисел по всем числам тиража", .helpCodeFormat = nullptr,
                          .group = 0, .features = kFeatS, .numericValues = false,
                          .create = &MakeStatWith<NumberTuples<2, TupleShape::All>, &kMix2>};
const StatClassInfo kMix3{.className = "TstCombValMix3", .codeFormat = "KNM3",
                          .titleFormat = "Сочетания из 3 чисел по всем числам тиража", .helpCodeFormat = nullptr,
                          .group = 0, .features = kFeatS, .numericValues = false,
                          .create = &MakeStatWith<NumberTuples<3, TupleShape::All>, &kMix3>};
const StatClassInfo kMix4{.className = "TstCombValMix4", .codeFormat = "KNM4",
                          .titleFormat = "Сочетания из 4 чисел по всем числам тиража", .helpCodeFormat = nullptr,
                          .group = 0, .features = kFeatS, .numericValues = false,
                          .create = &MakeStatWith<NumberTuples<4, TupleShape::All>, &kMix4>};
const StatClassInfo kSeq2{.className = "TstCombValSeq2", .codeFormat = "KNS2",
                          .titleFormat = "Сочетания из 2 соседних чисел тиража", .helpCodeFormat = nullptr,
                          .group = 0, .features = kFeatS, .numericValues = false,
                          .create = &MakeStatWith<NumberTuples<2, TupleShape::Adjacent>, &kSeq2>};
const StatClassInfo kSeq3{.className = "TstCombValSeq3", .codeFormat = "KNS3",
                          .titleFormat = "Сочетания из 3 соседних чисел тиража", .helpCodeFormat = nullptr,
                          .group = 0, .features = kFeatS, .numericValues = false,
                          .create = &MakeStatWith<NumberTuples<3, TupleShape::Adjacent>, &kSeq3>};
const StatClassInfo kSeq4{.className = "TstCombValSeq4", .codeFormat = "KNS4",
                          .titleFormat = "Сочетания из 4 соседних чисел тиража", .helpCodeFormat = nullptr,
                          .group = 0, .features = kFeatS, .numericValues = false,
                          .create = &MakeStatWith<NumberTuples<4, TupleShape::Adjacent>, &kSeq4>};
const StatClassInfo kPos2{.className = "TstCombValPos2", .codeFormat = "KNP2%d",
                          .titleFormat = "Сочетания из 2-х чисел тиража начиная с %d позиции", .helpCodeFormat = "KNP2",
                          .group = 0, .features = kFeatS, .numericValues = false, .indexed = true,
                          .indexRange = &From1To4, .create = &MakeStatWith<NumberTuples<2, TupleShape::From>, &kPos2>};
const StatClassInfo kPos3{.className = "TstCombValPos3", .codeFormat = "KNP3%d",
                          .titleFormat = "Сочетания из 3-х чисел тиража начиная с %d позиции", .helpCodeFormat = "KNP3",
                          .group = 0, .features = kFeatS, .numericValues = false, .indexed = true,
                          .indexRange = &From1To3, .create = &MakeStatWith<NumberTuples<3, TupleShape::From>, &kPos3>};
const StatClassInfo kPos4{.className = "TstCombValPos4", .codeFormat = "KNP4%d",
                          .titleFormat = "Сочетания из 4-х чисел тиража начиная с %d позиции", .helpCodeFormat = "KNP4",
                          .group = 0, .features = kFeatS, .numericValues = false, .indexed = true,
                          .indexRange = &From1To2, .create = &MakeStatWith<NumberTuples<4, TupleShape::From>, &kPos4>};
// Ascending neighbours: never offered, so no method is made of them.
const StatClassInfo kSort2{.className = "TstCombValSort2", .codeFormat = "KNO2",
                           .titleFormat = "Сочетания из 2 чисел тиража по возрастанию", .helpCodeFormat = nullptr,
                           .group = 0, .features = 0, .available = false, .numericValues = false,
                           .create = &MakeStatWith<SortedTuples<2>, &kSort2>};
const StatClassInfo kSort3{.className = "TstCombValSort3", .codeFormat = "KNO3",
                           .titleFormat = "Сочетания из 3 чисел тиража по возрастанию", .helpCodeFormat = nullptr,
                           .group = 0, .features = 0, .available = false, .numericValues = false,
                           .create = &MakeStatWith<SortedTuples<3>, &kSort3>};
const StatClassInfo kSort4{.className = "TstCombValSort4", .codeFormat = "KNO4",
                           .titleFormat = "Сочетания из 4 чисел тиража по возрастанию", .helpCodeFormat = nullptr,
                           .group = 0, .features = 0, .available = false, .numericValues = false,
                           .create = &MakeStatWith<SortedTuples<4>, &kSort4>};

}  // namespace

void RegisterCombValuesFamily(StatClassTable& table) {
  for (const StatClassInfo* c : {&kMix2, &kMix3, &kMix4, &kSeq2, &kSeq3, &kSeq4, &kPos2, &kPos3, &kPos4, &kSort2,
                                 &kSort3, &kSort4})
    table.push_back(c);
}

}  // namespace px
