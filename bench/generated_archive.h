// The benchmarks' archive: draws of five different numbers from a fixed
// pseudo-random sequence, the same on every run.
#pragma once

#include <cstdint>

#include "core/archive.h"
#include "core/arith.h"

inline px::DrawArchive GeneratedArchive(int count) {
  px::DrawArchive a;
  uint64_t state = 42;
  auto next = [&] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return int((state >> 33) % 36) + 1;
  };
  for (int i = 0; i < count; ++i) {
    px::DrawRecord d;
    d.number = i + 1;
    for (int k = 0; k < 5; ++k) {
      int n;
      do n = next();
      while (px::Contains(n, d.numbers));
      d.numbers[size_t(k)] = uint8_t(n);
    }
    a.Append(d);
  }
  return a;
}
