// Stake numbers for tests, in the order given.
#pragma once

#include <initializer_list>

#include "core/arith.h"

namespace px::test {

inline NumberSet Set(std::initializer_list<int> values) {
  NumberSet s;
  for (int v : values) s.values[size_t(s.count++)] = static_cast<uint8_t>(v);
  return s;
}

}  // namespace px::test
