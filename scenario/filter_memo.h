// The filter steps of one test pass, remembered. A line's variants usually
// start from the same list and share their first filters (several depths of
// one statistic, several values of a condition that pick the same rows), and
// each of those steps is a full pass over hundreds of thousands of
// combinations. A step met again from the same list gives the list it gave
// before; the set, its undo and its log end exactly as a real pass leaves
// them.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "combs/combination_set.h"
#include "stats/filter.h"

namespace px {

struct TConfigData;

class FilterMemo {
 public:
  // A new pass: nothing is known.
  void Reset();
  // The list was just built from a source that always gives the same list
  // within the pass, named by `key`; an empty key: a list not known.
  void StartFrom(const std::string& key);
  // The list changed in a way the memo did not see.
  void Forget() { node_ = 0; }
  // KeepOrRemove, or its remembered result. method and config: what else the
  // step's outcome may depend on.
  int KeepOrRemove(CombinationSet& set, TCustomStat& stat, int method, const TConfigData& config,
                   const Selection& selection, FilterMode mode, int lastIndex, bool sorted,
                   const std::string& caption, Host* host);
  // The step's undo was restored: the list is the one before it.
  void Restored() { node_ = parent_; }
  int Reused() const { return reused_; }
  // The list's node: equal non-zero nodes within a run mean equal lists.
  uint64_t Node() const { return node_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Enabled() const { return enabled_; }

 private:
  struct Step {
    uint64_t node = 0;
    CombBuffer list;
  };
  // Lists kept per pass; past this a step is still done, only not kept.
  static constexpr size_t kBudgetBytes = size_t(40) << 20;

  bool enabled_ = true;
  std::map<std::string, uint64_t> roots_;
  std::map<std::pair<uint64_t, std::string>, Step> steps_;
  uint64_t node_ = 0;  // the list's node; 0: unknown
  uint64_t parent_ = 0;
  uint64_t next_ = 1;
  size_t bytes_ = 0;
  int reused_ = 0;
};

}  // namespace px
