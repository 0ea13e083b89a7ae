// A small wheel builder: a system over k positions whose lines guarantee t
// matches whenever m of the drawn numbers fall among the k. Greedy over the
// C(k,5) lines, then a pass that drops every line the others make needless.
#pragma once

#include <string>
#include <vector>

#include "stakes/system_check.h"
#include "stakes/systems.h"

namespace px {

inline constexpr int kWheelMaxNumbers = 14;  // C(14,5) = 2002 candidate lines

struct WheelGuarantee {
  int t = 0;  // matches guaranteed
  int m = 0;  // drawn numbers among the k
};
// "T:M" with 1 <= t <= m and 2 <= m <= 5; throws Error otherwise.
WheelGuarantee ParseWheelGuarantee(const std::string& text);

struct Wheel {
  std::vector<SystemLine> lines;  // each ascending, in the order chosen
  SystemCheck check;               // of the lines, by the guarantee check
};

// Throws Error for k outside 6..kWheelMaxNumbers, a bad guarantee, or
// lines the guarantee check finds short of it.
Wheel BuildWheel(int k, WheelGuarantee g);

// The description a built wheel is published with.
std::string WheelDescription(int k, WheelGuarantee g, const Wheel& wheel);

}  // namespace px
