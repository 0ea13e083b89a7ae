#include "stats/stat_value.h"

#include <algorithm>
#include <cstdlib>

namespace px {

namespace {
// Values with only Key1 set and small enough take the direct table.
constexpr uint64_t kLowKeys = 0x0000FFFFFFFFFFFFull;
inline bool DirectSlot(uint64_t key, uint32_t limit, uint32_t& slot) {
  if ((key & kLowKeys) != 0) return false;
  slot = uint32_t(key >> 48);
  return slot < limit;
}
}  // namespace

int TStatDrawArray::FindSlow(uint64_t key) const {
  if (!indexed_) {
    for (size_t i = 0; i < items_.size(); ++i)
      if (items_[i].Key() == key) return int(i);
    return -1;
  }
  uint32_t slot;
  if (DirectSlot(key, kDirect, slot)) return direct_[slot] - 1;
  if (slots_.empty()) return -1;
  const size_t mask = slots_.size() - 1;
  for (size_t s = Hash(key) & mask;; s = (s + 1) & mask) {
    int32_t p = slots_[s];
    if (p == 0) return -1;
    if (items_[size_t(p - 1)].Key() == key) return p - 1;
  }
}

void TStatDrawArray::Rehash(size_t slots) {
  slots_.assign(slots, 0);
  const size_t mask = slots - 1;
  for (size_t i = 0; i < items_.size(); ++i) {
    uint64_t key = items_[i].Key();
    uint32_t direct;
    if (DirectSlot(key, kDirect, direct)) continue;
    size_t s = Hash(key) & mask;
    bool known = false;
    while (slots_[s] != 0 && !known) {
      known = items_[size_t(slots_[s] - 1)].Key() == key;
      s = (s + 1) & mask;
    }
    if (!known) slots_[s] = int32_t(i + 1);
  }
}

void TStatDrawArray::Append(const StatValue& v) {
  items_.push_back(v);
  if (!indexed_) {
    // Short lists are searched in place; an index pays off only for longer ones.
    if (items_.size() <= kLinear) return;
    indexed_ = true;
    direct_.assign(kDirect, 0);
    hashed_ = 0;
    for (size_t i = 0; i < items_.size(); ++i) IndexItem(i);
    return;
  }
  IndexItem(items_.size() - 1);
}

void TStatDrawArray::IndexItem(size_t i) {
  const uint64_t key = items_[i].Key();
  const int32_t pos = int32_t(i + 1);
  uint32_t slot;
  if (DirectSlot(key, kDirect, slot)) {
    // With equal keys the first entry is the one a search must find.
    if (direct_[slot] == 0) direct_[slot] = pos;
    return;
  }
  ++hashed_;
  if (slots_.empty() || hashed_ * 2 > slots_.size()) {
    Rehash(std::max<size_t>(64, slots_.size() * 2));
    return;
  }
  const size_t mask = slots_.size() - 1;
  size_t s = Hash(key) & mask;
  while (slots_[s] != 0) {
    if (items_[size_t(slots_[s] - 1)].Key() == key) return;
    s = (s + 1) & mask;
  }
  slots_[s] = pos;
}

void TStatDrawArray::Clear() {
  items_.clear();
  indexed_ = false;
  direct_.clear();
  slots_.clear();
  hashed_ = 0;
}

void TStatDrawArray::SortByKey() {
  std::stable_sort(items_.begin(), items_.end(),
                   [](const StatValue& a, const StatValue& b) { return a.Key() < b.Key(); });
  std::vector<StatValue> items;
  items.swap(items_);
  Clear();
  items_.reserve(items.size());
  for (const StatValue& v : items) Append(v);
}

void TStatDrawArray::AppendNew(const StatValue& v) {
  StatValue copy = v;
  copy.Norm = 0;
  Append(copy);
}

void CountAdd(TStatSimpleArray& list, int32_t key, int32_t delta) {
  for (SimpleEntry& e : list)
    if (e.Key == key) {
      if (delta > 0) e.Count += delta;
      return;
    }
  list.push_back(SimpleEntry{key, delta});
}

bool HasValue(const TStatDrawArray& list, uint16_t k1, uint16_t k2, uint16_t k3, uint16_t k4) {
  StatValue probe;
  probe.Key1 = k1;
  probe.Key2 = k2;
  probe.Key3 = k3;
  probe.Key4 = k4;
  return list.Find(probe.Key()) >= 0;
}

bool HasValue13(const TStatDrawArray& list, uint16_t k1, uint16_t k3) { return HasValue(list, k1, 0, k3, 0); }

bool HasWordKey(const TStatDrawArray& list, int word, uint16_t w) {
  for (const StatValue& v : list) {
    uint16_t k = word == 1 ? v.Key1 : word == 2 ? v.Key2 : word == 3 ? v.Key3 : v.Key4;
    if (k == w) return true;
  }
  return false;
}

bool HasByteKey(const TStatDrawArray& list, int byte, uint8_t b) {
  const int word = (byte - 1) / 2 + 1;
  const int shift = ((byte - 1) % 2) * 8;
  for (const StatValue& v : list) {
    uint16_t k = word == 1 ? v.Key1 : word == 2 ? v.Key2 : word == 3 ? v.Key3 : v.Key4;
    if (uint8_t(k >> shift) == b) return true;
  }
  return false;
}

bool HasKey1or3(const TStatDrawArray& list, int which, int32_t v) {
  for (const StatValue& e : list)
    if ((which == 1 ? e.Int12() : e.Int34()) == v) return true;
  return false;
}

}  // namespace px
