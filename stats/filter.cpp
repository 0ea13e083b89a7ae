#include "stats/filter.h"

#include <optional>

#include "combs/combination_set.h"
#include "core/archive.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"
#include "stats/stat_list.h"

namespace px {

Selection SelectRows(const std::vector<StatRow>& rows, const std::vector<int>& selectedRows) {
  Selection s;
  for (int r : selectedRows) {
    if (r < 0 || r >= int(rows.size())) continue;
    const StatRow& row = rows[size_t(r)];
    s.values.Append(row.value);
    const std::string& text = row.cells[kColValue];
    if (text.empty()) continue;
    if (!s.text.empty()) s.text += "; ";
    s.text += text;
  }
  return s;
}

int FilterLastIndex(const DrawArchive& archive, int offset) { return std::max(0, archive.Count() - 1 - offset); }

int ApplyStatFilter(CombinationSet& set, TCustomStat& stat, const Selection& selection, int mode, int lastIndex,
                    bool sorted, const std::string& caption, Host* host) {
  std::optional<StatusScope> status;
  if (host) status.emplace(*host, "Фильтрация комбинаций...");
  if (selection.values.Empty()) return set.Count();
  const bool exclude = mode == kRemoveSelected;
  stat.LoadDraws(-1, lastIndex, sorted);
  return set.FilterFromSnapshotBatch(
      [&](const Combination* combs, size_t n, uint8_t* keep) {
        stat.MatchBatch(combs, n, selection.values, lastIndex, sorted, mode, keep);
        // Kept when the answer differs from "remove".
        for (size_t i = 0; i < n; ++i) keep[i] = uint8_t((keep[i] != 0) != exclude);
      },
      exclude, caption, selection.text);
}

int KeepOrRemove(CombinationSet& set, TCustomStat& stat, const Selection& selection, int mode, int lastIndex,
                 bool sorted, const std::string& caption, Host* host) {
  set.TakeSnapshot(true);
  return ApplyStatFilter(set, stat, selection, mode, lastIndex, sorted, caption, host);
}

int ApplyNumberFilter(CombinationSet& set, const TStatList& registry, const std::vector<int>& numbers, int mode,
                      const std::string& caption, const std::string& valuesText, int lastIndex, bool sorted,
                      Host* host) {
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
  set.TakeSnapshot(true);
  return ApplyStatFilter(set, *stat, selection, mode, lastIndex, sorted, caption, host);
}

}  // namespace px
