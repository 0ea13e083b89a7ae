#include "scenario/filter_memo.h"

#include <cstring>

#include "core/config.h"
#include "core/host.h"

namespace px {

namespace {

template <class T>
void Put(std::string& key, const T& v) {
  key.append(reinterpret_cast<const char*>(&v), sizeof v);
}

std::string StepKey(int method, const TConfigData& config, const Selection& selection, FilterMode mode,
                    int lastIndex, bool sorted) {
  std::string key;
  key.reserve(64 + size_t(selection.values.Count()) * 32);
  Put(key, method);
  Put(key, uint8_t(mode));
  Put(key, lastIndex);
  Put(key, sorted);
  Put(key, double(config.Count));
  Put(key, double(config.Deviation));
  Put(key, double(config.Level));
  Put(key, config.UsePercents);
  Put(key, config.UseAbsValues);
  for (const StatValue& v : selection.values) {
    Put(key, v.LastDraw);
    Put(key, v.Depth);
    Put(key, v.PrevDraw);
    Put(key, v.PeriodMin);
    Put(key, v.PeriodMax);
    Put(key, v.Count);
    Put(key, v.Norm);
    Put(key, v.Key());
  }
  return key;
}

}  // namespace

void FilterMemo::Reset() {
  roots_.clear();
  steps_.clear();
  node_ = parent_ = 0;
  bytes_ = 0;
}

void FilterMemo::StartFrom(const std::string& key) {
  parent_ = 0;
  if (key.empty() || !enabled_) {
    node_ = 0;
    return;
  }
  auto [it, added] = roots_.try_emplace(key, next_);
  if (added) ++next_;
  node_ = it->second;
}

int FilterMemo::KeepOrRemove(CombinationSet& set, TCustomStat& stat, int method, const TConfigData& config,
                             const Selection& selection, FilterMode mode, int lastIndex, bool sorted,
                             const std::string& caption, Host* host) {
  // An empty selection filters nothing: nothing to remember either.
  if (node_ == 0 || selection.values.Empty()) {
    const uint64_t before = node_;
    node_ = 0;
    const int left = px::KeepOrRemove(set, stat, selection, mode, lastIndex, sorted, caption, host);
    if (selection.values.Empty()) node_ = before;
    parent_ = before;
    return left;
  }
  const uint64_t from = node_;
  node_ = 0;  // unknown until the step is through
  auto key = std::make_pair(from, StepKey(method, config, selection, mode, lastIndex, sorted));
  if (auto it = steps_.find(key); it != steps_.end()) {
    const int left = set.RebuildAs(it->second.list, mode == FilterMode::RemoveSelected, caption, selection.text,
                                   host ? "Фильтрация комбинаций..." : "");
    ++reused_;
    parent_ = from;
    node_ = it->second.node;
    return left;
  }
  const int left = px::KeepOrRemove(set, stat, selection, mode, lastIndex, sorted, caption, host);
  parent_ = from;
  node_ = next_++;
  const size_t size = set.Working().Capacity() * sizeof(Combination);  // what the list holds on to
  if (bytes_ + size <= kBudgetBytes) {
    Step& step = steps_[std::move(key)];
    step.node = node_;
    step.list.CopyFrom(set.Working());  // shared, not copied
    bytes_ += size;
  }
  return left;
}

}  // namespace px
