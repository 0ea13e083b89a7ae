#include "stats/filter.h"

#include <memory>
#include <optional>

#include "combs/combination_set.h"
#include "core/archive.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"
#include "stats/stat_list.h"

namespace px {

namespace {
// Below this many combinations a second thread costs more than it saves.
constexpr int kParallelFrom = 100000;
}  // namespace

Selection SelectRows(const std::vector<StatRow>& rows, const std::vector<int>& selectedRows) {
  Selection s;
  for (int r : selectedRows) {
    if (r < 0 || r >= int(rows.size())) continue;
    const StatRow& row = rows[size_t(r)];
    s.values.Append(row.value);
    const std::string& text = row.caption;
    if (text.empty()) continue;
    if (!s.text.empty()) s.text += "; ";
    s.text += text;
  }
  return s;
}

int FilterLastIndex(const DrawArchive& archive, int offset) { return std::max(0, archive.ReferenceIndex(offset)); }

namespace {

// takeSnapshot: the undo snapshot is taken here, after everything that may
// fail is ready, so that a failure leaves the list whole; otherwise the
// caller took it.
int Filter(CombinationSet& set, TCustomStat& stat, const Selection& selection, FilterMode mode, int lastIndex,
           bool sorted, const std::string& caption, Host* host, bool takeSnapshot) {
  std::optional<StatusScope> status;
  if (host) status.emplace(*host, "Фильтрация комбинаций...");
  if (selection.values.Empty()) {
    if (takeSnapshot) set.TakeSnapshot(true);
    return set.Count();
  }
  const bool exclude = mode == FilterMode::RemoveSelected;
  stat.LoadDraws(-1, lastIndex, sorted);
  // Removing numbers from every combination of some numbers leaves every
  // combination of the others: made at once, not filtered.
  if (const std::optional<uint64_t> removed = stat.RemovedNumbers(selection.values, mode)) {
    const CombBuffer& source = takeSnapshot ? set.Working() : set.Undo();
    if (source.CompleteOver() != 0) {
      if (takeSnapshot) set.SnapshotForRebuild(true);
      set.RemoveNumbersFromSnapshot(*removed, exclude, caption, selection.text);
      return set.Count();
    }
  }
  // A large set is shared by two threads, each with its own instance.
  const int source = takeSnapshot ? set.Count() : set.Undo().Count();
  const int workers = source >= kParallelFrom ? 2 : 1;
  std::vector<std::unique_ptr<TCustomStat>> clones;
  for (int w = 1; w < workers; ++w) {
    clones.push_back(stat.Clone());
    clones.back()->LoadDraws(-1, lastIndex, sorted);
  }
  if (takeSnapshot) set.SnapshotForRebuild(true);
  return set.FilterFromSnapshotCompact(
      [&](int worker, const Combination* in, size_t n, Combination* out) {
        TCustomStat& s = worker == 0 ? stat : *clones[size_t(worker - 1)];
        return s.FilterBatch(in, n, out, selection.values, lastIndex, sorted, mode);
      },
      workers, exclude, caption, selection.text);
}

}  // namespace

int ApplyStatFilter(CombinationSet& set, TCustomStat& stat, const Selection& selection, FilterMode mode,
                    int lastIndex, bool sorted, const std::string& caption, Host* host) {
  return Filter(set, stat, selection, mode, lastIndex, sorted, caption, host, false);
}

int KeepOrRemove(CombinationSet& set, TCustomStat& stat, const Selection& selection, FilterMode mode, int lastIndex,
                 bool sorted, const std::string& caption, Host* host) {
  return Filter(set, stat, selection, mode, lastIndex, sorted, caption, host, true);
}

int ApplyNumberFilter(CombinationSet& set, const TStatList& registry, const std::vector<int>& numbers,
                      FilterMode mode, const std::string& caption, const std::string& valuesText, int lastIndex,
                      bool sorted, Host* host) {
  if (numbers.empty()) throw Error("В выделенном диапазоне нет значений для фильтра!");
  const int nums = registry.FindByCode("NUMS");
  if (nums < 0) throw Error("Метод расчета статистики NUMS недоступен!");
  auto stat = registry.CreateInstance(nums);
  Selection selection;
  for (int n : numbers) {
    StatValue v;
    v.Key1 = uint16_t(n);
    selection.values.Append(v);
  }
  selection.text = valuesText;
  return Filter(set, *stat, selection, mode, lastIndex, sorted, caption, host, true);
}

}  // namespace px
