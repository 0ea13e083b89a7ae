// Where the statistic families register their classes. Each family unit
// appends the StatClassInfo rows of its classes; the registry takes them in
// its fixed class order, so a family that is not built yet is simply absent.
// A new family adds one Register... call to RegisterAllFamilies.
#pragma once

#include <vector>

#include "stats/custom_stat.h"

namespace px {

using StatClassTable = std::vector<const StatClassInfo*>;

void RegisterNumberFamily(StatClassTable& table);
void RegisterSumFamily(StatClassTable& table);
void RegisterDifferenceFamily(StatClassTable& table);
void RegisterSequenceFamily(StatClassTable& table);
void RegisterCombValuesFamily(StatClassTable& table);
void RegisterChannelFamily(StatClassTable& table);
void RegisterMatrixFamily(StatClassTable& table);
void RegisterSegmentFamily(StatClassTable& table);
void RegisterRepeatFamily(StatClassTable& table);
void RegisterHcoFamily(StatClassTable& table);
void RegisterSerialFamily(StatClassTable& table);
void RegisterPeriodsFamily(StatClassTable& table);
void RegisterShreddingFamily(StatClassTable& table);
void RegisterChainFamily(StatClassTable& table);

void RegisterAllFamilies(StatClassTable& table);

}  // namespace px
