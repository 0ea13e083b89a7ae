#include "stats/stat_table.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/archive.h"
#include "core/config.h"
#include "core/text.h"
#include "stats/stat_list.h"

namespace px {

const std::array<const char*, kStatColumns>& StatColumnTitles() {
  static const std::array<const char*, kStatColumns> titles = {
      "Значение",   "Количество", "Кол-во в %", "Норма",    "Отклонение", "Откл-ие в %", "Глубина",
      "Глубина в %", "Вес",        "Посл. тираж", "Период min", "Период",   "Период max",  "Ожд. ПРД",
      "Ожд. СТФ",   "Ожд. КРН",   "Факт",       "+/- ПРД",  "+/- СТФ",    "+/- КРН"};
  return titles;
}

namespace {

std::string Fixed(long double v, int digits, char separator) {
  std::string s = Fmt("%.*Lf", digits, v);
  for (char& c : s)
    if (c == '.') c = separator;
  return s;
}

// Halves to even, as the default rounding mode does.
int64_t Round(long double v) { return int64_t(std::nearbyint(v)); }

}  // namespace

std::string DifferenceText(const std::string& forecastCell, int32_t fact) {
  const int32_t forecast = ParseInt32(forecastCell).value_or(-1);
  if (forecast < 0) return "-";
  const int64_t diff = int64_t(forecast) - fact;
  return diff > 0 ? Fmt("+%lld", static_cast<long long>(diff)) : std::to_string(diff);
}

StatTable ComputeStatTable(const TStatList& registry, int method, const StatTableParams& p,
                           const PrefetchData* prefetch, bool showTotalLine) {
  StatTable t;
  const DrawArchive* archive = registry.Draws();
  if (!archive || archive->Empty()) return t;
  const int n = archive->Count();
  t.lastIndex = n - 1 - p.offset;
  t.firstIndex = std::max(0, t.lastIndex - std::max(p.length, 1) + 1);
  t.drawsUsed = std::max(0, t.lastIndex - t.firstIndex + 1);

  auto stat = registry.CreateInstance(method);
  TStatDrawArray values;
  if (t.firstIndex <= t.lastIndex) {
    stat->CollectCandidates(t.lastIndex, values);
    StatState state{};
    TLastValueArray lastValues;
    for (int i = t.firstIndex; i <= t.lastIndex; ++i)
      stat->CollectDrawValues(i, t.lastIndex, lastValues, state, values, p.sorted);
  }

  t.minCount = INT32_MAX;
  for (const StatValue& v : values) {
    t.total += v.Count;
    t.minCount = std::min(t.minCount, v.Count);
    t.maxCount = std::max(t.maxCount, v.Count);
    if (t.maxDepth == 0 || (v.Depth > 0 && v.Depth > t.maxDepth)) t.maxDepth = v.Depth;
  }

  long double scale = 0;
  if (prefetch && prefetch->maxCount > 0) {
    if (prefetch->minCount == prefetch->maxCount)
      scale = ((static_cast<long double>(t.maxCount) + t.minCount) / 2) / prefetch->maxCount;
    else
      scale = static_cast<long double>(t.maxCount) / prefetch->maxCount;
    t.compared = true;
  }
  if (!values.Empty() && t.compared) {
    for (const PrefetchRecord& r : prefetch->records) {
      int i = values.Find(r.key);
      if (i >= 0) values[i].Norm = int32_t(Round(r.count * scale));
    }
  }

  // Every value seen in the window is looked for after its last occurrence.
  if (t.firstIndex <= t.lastIndex) stat->PrepareOccurrences(t.firstIndex + 1, p.sorted, t.lastIndex);
  const TConfigData& cdl = registry.Config().data;
  const char sep = p.separator;
  const long double drawsUsed = t.drawsUsed;
  t.rows.reserve(size_t(values.Count()));
  for (const StatValue& v : values) {
    StatRow row;
    row.value = v;
    auto& c = row.cells;
    c.fill("-");
    c[kColValue] = stat->ValueText(v);
    c[kColCount] = std::to_string(v.Count);
    // Counts and norms come from a full-set file too, and draw numbers from
    // the archive: the products are formed in 64 bits.
    const int64_t count = v.Count;
    if (t.total != 0) c[kColCountPct] = Fixed(static_cast<long double>(count * 100) / t.total, 5, sep);
    if (t.compared) {
      c[kColNorm] = std::to_string(v.Norm);
      c[kColDeviation] = std::to_string(count - v.Norm);
      long double pct = v.Norm != 0 ? static_cast<long double>((count - v.Norm) * 100) / v.Norm
                                    : (v.Count == 0 ? 0.0L : 100.0L);
      c[kColDeviationPct] = Fixed(pct, 5, sep);
    }
    if (v.Depth != 0) {
      c[kColDepth] = std::to_string(v.Depth);
      c[kColDepthPct] = Fixed(static_cast<long double>(int64_t(v.Depth) * 100) / t.maxDepth, 2, sep);
      long double weight = Weight(cdl, t.compared, v.Count, t.maxDepth, t.total, v.Depth, v.Norm);
      c[kColWeight] = Fixed(std::isfinite(weight) ? weight : -999.99L, 2, sep);
      c[kColLastDraw] = std::to_string(v.LastDraw);
      if (v.Count > 1) {
        c[kColPeriodMin] = std::to_string(v.PeriodMin);
        c[kColPeriod] = Fixed(drawsUsed / v.Count, 4, sep);
        c[kColPeriodMax] = std::to_string(v.PeriodMax);
        c[kColForecastPrd] = std::to_string(Round(drawsUsed / v.Count + v.LastDraw));
      }
      if (v.Count >= 1) {
        c[kColForecastStf] =
            std::to_string(Round(static_cast<long double>((count + 1) * v.LastDraw) / v.Count));
        c[kColForecastKrn] = std::to_string(
            Round(static_cast<long double>((count + 2) * (int64_t(v.LastDraw) + 1)) / (count + 1)));
        const int32_t fact =
            stat->FindNextOccurrence(v, archive->IndexOfDraw(v.LastDraw) + 1, p.sorted, t.lastIndex);
        if (fact >= 0) {
          c[kColFact] = std::to_string(fact);
          c[kColDiffPrd] = DifferenceText(c[kColForecastPrd], fact);
          c[kColDiffStf] = DifferenceText(c[kColForecastStf], fact);
          c[kColDiffKrn] = DifferenceText(c[kColForecastKrn], fact);
        }
      }
    }
    t.rows.push_back(std::move(row));
  }

  if (values.Count() > 1) {
    if (t.compared) {
      int x = 0;
      for (const PrefetchRecord& r : prefetch->records) {
        ++x;
        StatValue probe;
        probe.SetKey(r.key);
        const std::string label = stat->ValueText(probe);
        if (showTotalLine) t.ideal.push_back(ChartPoint{double(x), double(r.count * scale), label});
        int i = values.Find(r.key);
        if (i >= 0) t.actual.push_back(ChartPoint{double(x), double(values[i].Count), label});
      }
    } else {
      std::vector<StatValue> sorted(values.begin(), values.end());
      std::stable_sort(sorted.begin(), sorted.end(),
                       [](const StatValue& a, const StatValue& b) { return a.Key() < b.Key(); });
      int x = 0;
      for (const StatValue& v : sorted) t.actual.push_back(ChartPoint{double(++x), double(v.Count), stat->ValueText(v)});
    }
  }
  return t;
}

TStatValues RowTexts(const StatRow& row, const TCustomStat& stat) {
  const auto& c = row.cells;
  TStatValues t;
  t.Value = c[kColValue];
  t.NumValue = stat.NumericValue(t.Value);
  t.Count = c[kColCount];
  t.CountPct = c[kColCountPct];
  t.Deviation = c[kColDeviation];
  t.DeviationPct = c[kColDeviationPct];
  t.Depth = c[kColDepth];
  t.DepthPct = c[kColDepthPct];
  t.Weight = c[kColWeight];
  t.PeriodMin = c[kColPeriodMin];
  t.Period = c[kColPeriod];
  t.PeriodMax = c[kColPeriodMax];
  return t;
}

namespace {

int CompareCells(const std::string& a, const std::string& b) {
  auto na = ParseDecimal(a), nb = ParseDecimal(b);
  if (na && nb) return *na < *nb ? -1 : (*na > *nb ? 1 : 0);
  return CompareText(a, b);
}

}  // namespace

void SortStatRows(std::vector<StatRow>& rows, int column, bool descending) {
  if (column < 0 || column >= kStatColumns) return;
  std::stable_sort(rows.begin(), rows.end(), [&](const StatRow& a, const StatRow& b) {
    int c = CompareCells(a.cells[size_t(column)], b.cells[size_t(column)]);
    if (c == 0) c = CompareCells(a.cells[kColValue], b.cells[kColValue]);
    return descending ? c > 0 : c < 0;
  });
}

}  // namespace px
