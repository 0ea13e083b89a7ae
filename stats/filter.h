// Keeping or removing the combinations of the set that have one of the
// selected values of a statistic ("Оставить выделенные" / "Удалить
// выделенные"), through the filtering protocol of the combination set.
#pragma once

#include <string>
#include <vector>

#include "stats/custom_stat.h"
#include "stats/stat_table.h"
#include "stats/stat_value.h"

namespace px {

class CombinationSet;
class DrawArchive;
class Host;
class TStatList;

struct Selection {
  TStatDrawArray values;  // copies of the selected rows' values, in row order
  std::string text;       // their "Значение" cells joined by "; "
};
Selection SelectRows(const std::vector<StatRow>& rows, const std::vector<int>& selectedRows);

// The array index the filters judge from: the archive's reference index for
// the offset, 0 when no draw is left at that offset.
int FilterLastIndex(const DrawArchive& archive, int offset);

// Rebuilds the set from its undo snapshot (taken by the caller), keeping the
// matching combinations with KeepSelected and the others with
// RemoveSelected, and logs the step under `caption`. An empty selection
// changes nothing. Status "Фильтрация комбинаций...". Returns the new count.
int ApplyStatFilter(CombinationSet& set, TCustomStat& stat, const Selection& selection, FilterMode mode,
                    int lastIndex, bool sorted, const std::string& caption, Host* host);

// The whole command: the undo snapshot, then the filter.
int KeepOrRemove(CombinationSet& set, TCustomStat& stat, const Selection& selection, FilterMode mode, int lastIndex,
                 bool sorted, const std::string& caption, Host* host);

// The card, layout and week views: NUMS with one value per chosen number.
// Throws Error("В выделенном диапазоне нет значений для фильтра!") when none.
int ApplyNumberFilter(CombinationSet& set, const TStatList& registry, const std::vector<int>& numbers,
                      FilterMode mode, const std::string& caption, const std::string& valuesText, int lastIndex,
                      bool sorted, Host* host);

}  // namespace px
