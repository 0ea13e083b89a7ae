// A shredding formula as the configuration file gives it: compiled, then
// evaluated over a draw, the draw before and the one before that, with every
// digit count.
#include "fuzz/fuzz_support.h"
#include "stats/families/formula.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(fuzz::AsText(data, size));
  const Formula formula(text);
  const Formula::Numbers n{1, 7, 12, 25, 36}, p{36, 2, 3, 19, 4}, zero{};
  for (int digits = 0; digits <= 6; ++digits) {
    const int32_t v = formula.Value(n, p, zero, digits);
    if (v < 0 || v >= 100000) __builtin_trap();  // the value is digits after the point
  }
  formula.Evaluate(zero, zero, zero);
  return 0;
}
