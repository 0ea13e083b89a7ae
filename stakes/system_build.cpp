#include "stakes/system_build.h"

#include <bit>
#include <cstdint>

#include "core/errors.h"
#include "core/text.h"

namespace px {
namespace {

std::vector<uint32_t> Subsets(int k, int size) {
  std::vector<uint32_t> out;
  for (uint32_t mask = 0; mask < (1u << k); ++mask)
    if (std::popcount(mask) == size) out.push_back(mask);
  return out;
}

SystemLine LineOf(uint32_t mask) {
  SystemLine line{};
  size_t j = 0;
  for (int p = 0; p < 32 && j < 5; ++p)
    if (mask & (1u << p)) line[j++] = uint8_t(p + 1);
  return line;
}

}  // namespace

WheelGuarantee ParseWheelGuarantee(const std::string& text) {
  const size_t colon = text.find(':');
  auto t = colon == std::string::npos ? std::nullopt : ParseInt32(Trim(text.substr(0, colon)));
  auto m = colon == std::string::npos ? std::nullopt : ParseInt32(Trim(text.substr(colon + 1)));
  if (!t || !m || *t < 1 || *m < 2 || *m > 5 || *t > *m)
    throw Error(Fmt("Неверная гарантия \"%s\": нужно T:M, 1 <= T <= M, 2 <= M <= 5", text.c_str()));
  return {*t, *m};
}

Wheel BuildWheel(int k, WheelGuarantee g) {
  if (k < kSystemMinNumbers || k > kWheelMaxNumbers)
    throw Error(Fmt("Колесо строится для %d..%d чисел", kSystemMinNumbers, kWheelMaxNumbers));
  if (g.t < 1 || g.m < 2 || g.m > 5 || g.t > g.m) throw Error("Неверная гарантия колеса");
  const std::vector<uint32_t> candidates = Subsets(k, 5), targets = Subsets(k, g.m);
  auto covers = [&](uint32_t line, uint32_t target) { return std::popcount(line & target) >= g.t; };

  // Greedy: the line that covers most of what is still uncovered, the first of equals.
  std::vector<uint32_t> uncovered = targets, chosen;
  while (!uncovered.empty()) {
    size_t best = 0;
    int bestCount = -1;
    for (size_t c = 0; c < candidates.size(); ++c) {
      int count = 0;
      for (uint32_t target : uncovered) count += covers(candidates[c], target);
      if (count > bestCount) bestCount = count, best = c;
    }
    chosen.push_back(candidates[best]);
    std::erase_if(uncovered, [&](uint32_t target) { return covers(candidates[best], target); });
  }

  // Improvement: drop lines, latest first, whose every target another line also covers.
  std::vector<int> coverage(targets.size(), 0);
  for (uint32_t line : chosen)
    for (size_t i = 0; i < targets.size(); ++i) coverage[i] += covers(line, targets[i]);
  for (size_t n = chosen.size(); n-- > 0;) {
    bool needless = true;
    for (size_t i = 0; i < targets.size() && needless; ++i)
      if (covers(chosen[n], targets[i]) && coverage[i] < 2) needless = false;
    if (!needless) continue;
    for (size_t i = 0; i < targets.size(); ++i) coverage[i] -= covers(chosen[n], targets[i]);
    chosen.erase(chosen.begin() + std::ptrdiff_t(n));
  }

  Wheel wheel;
  for (uint32_t line : chosen) wheel.lines.push_back(LineOf(line));
  wheel.check = CheckSystem(wheel.lines, k);
  if (wheel.check.guarantees[size_t(g.m - 2)].t < g.t)
    throw Error(Fmt("Колесо на %d чисел не даёт гарантии %d:%d", k, g.t, g.m));
  return wheel;
}

std::string WheelDescription(int k, WheelGuarantee g, const Wheel& wheel) {
  return Fmt("Колесо на %d чисел из %zu комбинаций: если %d из выпавших чисел среди этих %d, хотя бы одна "
             "комбинация угадает не менее %d.\r\nГарантии (угадано среди чисел:совпадений): %s",
             k, wheel.lines.size(), g.m, k, g.t, GuaranteeSummary(wheel.check).c_str());
}

}  // namespace px
