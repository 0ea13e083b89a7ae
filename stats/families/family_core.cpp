#include "stats/families/family_core.h"

#include <algorithm>
#include <cstdlib>

#include "core/text.h"

namespace px::family {

std::string KeysText(const StatValue& v, int k) {
  const uint16_t keys[4] = {v.Key1, v.Key2, v.Key3, v.Key4};
  std::string out;
  for (int i = 0; i < k && i < 4; ++i) {
    if (i) out += ':';
    out += std::to_string(keys[i]);
  }
  return out;
}

std::string TimesText(int a, int b) { return std::to_string(a) + " x " + std::to_string(b); }

std::string TwoDigits(int v) { return Fmt("%.2d", v); }

void AddCandidates(StatValue& work, TStatDrawArray& values, int lo, int hi) {
  for (int v = lo; v <= hi; ++v) AddInt(work, values, v, false);
}

void Buckets::Add(int v) {
  for (int i = 0; i < n; ++i)
    if (value[size_t(i)] == v) {
      ++count[size_t(i)];
      return;
    }
  if (n < int(value.size())) {
    value[size_t(n)] = v;
    count[size_t(n)] = 1;
    ++n;
  }
}

int Buckets::MaxCount() const {
  int m = 0;
  for (int i = 0; i < n; ++i) m = std::max(m, count[size_t(i)]);
  return m;
}

int Buckets::CountOf(int v) const {
  for (int i = 0; i < n; ++i)
    if (value[size_t(i)] == v) return count[size_t(i)];
  return 0;
}

bool Chosen(const TStatDrawArray& selected, MatchRule rule, int32_t value) {
  switch (rule) {
    case MatchRule::Word1:
      return HasWordKey(selected, 1, uint16_t(value));
    case MatchRule::Value13:
      return value >= 0 && value <= 0xFFFF && HasValue13(selected, uint16_t(value), 0);
    case MatchRule::Int12:
      return HasKey1or3(selected, 1, value);
    case MatchRule::RangeFlag:
      return (value == 1) == HasValue(selected, 1, 0, 0, 0);
  }
  return false;
}

std::vector<std::array<uint8_t, 4>> TupleGroups(int items, int k, TupleShape shape, int from) {
  std::vector<std::array<uint8_t, 4>> groups;
  if (k < 1 || k > 4 || k > items) return groups;
  switch (shape) {
    case TupleShape::All: {
      std::array<uint8_t, 4> g{};
      for (int i = 0; i < k; ++i) g[size_t(i)] = uint8_t(i);
      for (;;) {
        groups.push_back(g);
        int i = k - 1;
        while (i >= 0 && g[size_t(i)] == items - k + i) --i;
        if (i < 0) break;
        ++g[size_t(i)];
        for (int j = i + 1; j < k; ++j) g[size_t(j)] = uint8_t(g[size_t(j - 1)] + 1);
      }
      break;
    }
    case TupleShape::Adjacent:
      for (int s = 0; s + k <= items; ++s) {
        std::array<uint8_t, 4> g{};
        for (int i = 0; i < k; ++i) g[size_t(i)] = uint8_t(s + i);
        groups.push_back(g);
      }
      break;
    case TupleShape::From:
      if (from >= 1 && from - 1 + k <= items) {
        std::array<uint8_t, 4> g{};
        for (int i = 0; i < k; ++i) g[size_t(i)] = uint8_t(from - 1 + i);
        groups.push_back(g);
      }
      break;
  }
  return groups;
}

int NumberItems(const TCustomStat&, const Combination& c, std::array<uint16_t, 5>& items) {
  for (int i = 0; i < kDrawSize; ++i) items[size_t(i)] = c[size_t(i)];
  return kDrawSize;
}

int SortedNumberItems(const TCustomStat& s, const Combination& c, std::array<uint16_t, 5>& items) {
  return NumberItems(s, Sorted(c), items);
}

int DifferenceItems(const TCustomStat&, const Combination& c, std::array<uint16_t, 5>& items) {
  for (int i = 0; i + 1 < kDrawSize; ++i) items[size_t(i)] = uint16_t(std::abs(int(c[size_t(i + 1)]) - int(c[size_t(i)])));
  return kDrawSize - 1;
}

}  // namespace px::family
