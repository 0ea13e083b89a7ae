#include "stats/families/families.h"

namespace px {

void RegisterAllFamilies(StatClassTable& table) {
  RegisterNumberFamily(table);
}

}  // namespace px
