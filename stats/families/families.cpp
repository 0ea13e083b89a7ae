#include "stats/families/families.h"

namespace px {

void RegisterAllFamilies(StatClassTable& table) {
  RegisterNumberFamily(table);
  RegisterSumFamily(table);
  RegisterDifferenceFamily(table);
  RegisterSequenceFamily(table);
  RegisterCombValuesFamily(table);
  RegisterChannelFamily(table);
  RegisterMatrixFamily(table);
  RegisterSegmentFamily(table);
  RegisterRepeatFamily(table);
  RegisterHcoFamily(table);
  RegisterSerialFamily(table);
  RegisterPeriodsFamily(table);
  RegisterShreddingFamily(table);
  RegisterChainFamily(table);
}

}  // namespace px
