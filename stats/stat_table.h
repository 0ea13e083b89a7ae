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

// One cell of a row as the numbers behind its text, so that sorting and the
// scenario's conditions compare numbers and only the faces make texts.
// `number` is exactly what the text reads as (ParseDecimal): a Fixed cell
// holds its value already rounded to its digits, a rounded zero keeps the
// sign that the text shows ("-0,00"). A Caption cell stands for the row's
// caption; it is numeric when the caption reads as a number.
struct StatCell {
  enum class Kind : uint8_t {
    None,     // "-": no number
    Whole,    // an integer, "+" before a positive one when `plus`
    Fixed,    // `digits` decimals after `separator`
    Caption,  // the row's caption (column "Значение")
  };
  Kind kind = Kind::None;
  bool numeric = false;  // the text reads as a number
  bool plus = false;
  uint8_t digits = 0;
  char separator = ',';
  long double number = 0;

  static StatCell Whole(int64_t value, bool plus = false);
  // The cell whose text is printf("%.*Lf", digits, value) with `separator`.
  static StatCell Fixed(long double value, int digits, char separator);
};

struct StatRow {
  std::array<StatCell, kStatColumns> cells;  // cells[kColValue]: the Caption cell, once set
  std::string caption;                       // the value's text (ValueText)
  StatValue value;
  int64_t numValue = 0;  // NumericValue of the caption, for the value-list condition

  // Sets the caption and its cell.
  void SetCaption(std::string text);
  // A cell's text read as a whole number (ParseInt64) and as a decimal
  // (ParseDecimal), without making the text: nullopt where the reading fails.
  std::optional<int64_t> WholeOf(int column) const;
  std::optional<long double> NumberOf(int column) const;
};

// The text of a cell as the table shows it, and of every cell of a row.
std::string CellText(const StatRow& row, int column);
std::array<std::string, kStatColumns> CellTexts(const StatRow& row);

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
  bool charts = true;    // make the chart's points (a scenario shows none)
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

// Computes the table of registry method `method`. `prefetch` is the method's
// full-set distribution, or null when the comparison is off.
StatTable ComputeStatTable(const TStatList& registry, int method, const StatTableParams& params,
                           const PrefetchData* prefetch, bool showTotalLine = true);

// Stable sort by one column: cells that read as numbers compare as numbers,
// others by their texts ignoring case (CompareText); ties go by "Значение".
// The order is the one the cell texts would give; no text is made for it.
void SortStatRows(std::vector<StatRow>& rows, int column, bool descending);

// "+1", "0", "-2", or "-" for a forecast cell that is no number.
std::string DifferenceText(const std::string& forecastCell, int32_t fact);

}  // namespace px
