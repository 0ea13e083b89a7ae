// The statistics table: for one method and a window of recent draws, every
// value with its count, the comparison with the full set, depth, weight,
// periods and three forecasts of its next occurrence, checked against the
// draws after the window when the offset leaves some.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "stats/prefetch.h"
#include "stats/stat_value.h"

namespace px {

class DrawArchive;
class Host;
class TCustomStat;
class TStatList;

inline constexpr int kStatColumns = 20;
enum StatColumn {
  kColValue, kColCount, kColCountPct, kColNorm, kColDeviation, kColDeviationPct, kColDepth, kColDepthPct,
  kColWeight, kColLastDraw, kColPeriodMin, kColPeriod, kColPeriodMax, kColForecastPrd, kColForecastStf,
  kColForecastKrn, kColFact, kColDiffPrd, kColDiffStf, kColDiffKrn
};
const std::array<const char*, kStatColumns>& StatColumnTitles();

struct StatRow {
  std::array<std::string, kStatColumns> cells;
  StatValue value;
};

struct ChartPoint {
  double x = 0;
  double y = 0;
  std::string label;
};

struct StatTableParams {
  int offset = 0;        // draws back from the newest
  int length = 1000;     // window length
  bool sorted = false;   // SortedDraws
  char separator = ',';  // decimal separator of the percent and ratio cells
};

struct StatTable {
  std::vector<StatRow> rows;  // in the order the values were met
  bool compared = false;      // full-set columns filled
  int firstIndex = 0, lastIndex = -1, drawsUsed = 0;
  int64_t total = 0;
  int32_t minCount = 0, maxCount = 0, maxDepth = 0;
  std::vector<ChartPoint> actual;  // "Фактические данные"
  std::vector<ChartPoint> ideal;   // "Все возможные комбинации" (only when compared)
};

// The inputs of the last computation: an unchanged request is not computed
// again unless forced. -1 marks "unknown", so the first request always runs.
struct StatTableInputs {
  int archiveCount = -1;
  int offset = -1;
  int length = -1;
  int method = -1;
  bool operator==(const StatTableInputs&) const = default;
};

// A row as texts, the form scenarios read conditions from.
struct TStatValues {
  std::string Value;
  int64_t NumValue = 0;  // NumericValue of the caption
  std::string Count, CountPct, Deviation, DeviationPct, Depth, DepthPct, Weight, PeriodMin, Period, PeriodMax;
};
TStatValues RowTexts(const StatRow& row, const TCustomStat& stat);

// Computes the table of registry method `method`. `prefetch` is the method's
// full-set distribution, or null when the comparison is off.
StatTable ComputeStatTable(const TStatList& registry, int method, const StatTableParams& params,
                           const PrefetchData* prefetch, bool showTotalLine = true);

// Stable sort by one column: cells that read as numbers ("," taken as ".")
// compare as numbers, others as text ignoring case; ties go by "Значение".
void SortStatRows(std::vector<StatRow>& rows, int column, bool descending);

// "+1", "0", "-2", or "-" for a forecast cell that is no number.
std::string DifferenceText(const std::string& forecastCell, int32_t fact);

}  // namespace px
