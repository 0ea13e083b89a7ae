#include "stats/stat_table.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>

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

constexpr long double kPowersOfTen[] = {1e0L, 1e1L, 1e2L, 1e3L, 1e4L, 1e5L, 1e6L, 1e7L, 1e8L, 1e9L};

// value * 10^digits rounded to the nearest integer, halves to even, as
// printf rounds the exact binary value. The product is rounded once more
// than printf's digits are; only when it lies that close to a half is the
// side settled exactly, by the sign of value * scale - half with one rounding.
long double ScaledRound(long double value, long double scale) {
  const long double p = value * scale;
  long double k = std::nearbyint(p);
  const long double frac = p - k;  // exact: p and k are within a half
  if (std::fabs(std::fabs(frac) - 0.5L) <= std::fabs(p) * 0x1p-62L) {
    const long double toward = frac >= 0 ? 1.0L : -1.0L;
    const long double half = k + toward / 2;  // the boundary next to p
    const long double side = std::fma(value, scale, -half) * toward;
    if (side > 0 || (side == 0 && std::fmod(k, 2.0L) != 0)) k += toward;
  }
  return k;
}

std::string TextOf(const StatCell& c, const std::string& caption) {
  switch (c.kind) {
    case StatCell::Kind::Whole: {
      const auto v = static_cast<long long>(c.number);
      return c.plus && v > 0 ? Fmt("+%lld", v) : std::to_string(v);
    }
    case StatCell::Kind::Fixed:
      return Fixed(c.number, c.digits, c.separator);
    case StatCell::Kind::Caption:
      return caption;
    default:
      return "-";
  }
}

// What ParseDecimal may accept: no letter but the exponent's.
bool MayBeNumber(std::string_view text) {
  text = TrimView(text);
  if (text.empty()) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == ',' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return false;
  return true;
}

// The forecast cell's number when its text reads as a 32-bit integer, as
// the difference columns read it; -1 otherwise.
int32_t ForecastOf(const StatCell& forecast) {
  if (forecast.kind != StatCell::Kind::Whole) return -1;
  const auto v = static_cast<int64_t>(forecast.number);
  return v < INT32_MIN || v > INT32_MAX ? -1 : int32_t(v);
}

// "+1", "0", "-2"; no number for a forecast that is none.
StatCell DifferenceCell(int32_t forecast, int32_t fact) {
  if (forecast < 0) return StatCell{};
  return StatCell::Whole(int64_t(forecast) - fact, true);
}

}  // namespace

StatCell StatCell::Whole(int64_t value, bool plus) {
  StatCell c;
  c.kind = Kind::Whole;
  c.numeric = true;
  c.plus = plus;
  c.number = static_cast<long double>(value);  // exact: 64 significant bits
  return c;
}

StatCell StatCell::Fixed(long double value, int digits, char separator) {
  StatCell c;
  c.kind = Kind::Fixed;
  c.digits = uint8_t(digits);
  c.separator = separator;
  if (!std::isfinite(value)) {
    // "inf", "nan": texts, no numbers.
    c.number = value;
    return c;
  }
  c.numeric = true;
  const bool tabled = digits >= 0 && digits < int(std::size(kPowersOfTen));
  const long double scale = tabled ? kPowersOfTen[digits] : 0;
  if (!tabled || !(std::fabs(value) * scale < 0x1p62L)) {
    // Beyond the exact integers: read the text itself.
    c.number = ParseDecimal(px::Fixed(value, digits, '.')).value_or(value);
    return c;
  }
  const long double k = ScaledRound(value, scale);
  // k / 10^digits correctly rounded is what reading the text gives; a
  // rounded zero keeps the text's sign.
  c.number = k == 0 ? std::copysign(0.0L, value) : k / scale;
  return c;
}

void StatRow::SetCaption(std::string text) {
  caption = std::move(text);
  StatCell& c = cells[kColValue];
  c = StatCell{};
  c.kind = StatCell::Kind::Caption;
  if (MayBeNumber(caption)) {
    if (auto v = ParseDecimal(caption)) {
      c.numeric = true;
      c.number = *v;
    }
  }
}

std::optional<int64_t> StatRow::WholeOf(int column) const {
  const StatCell& c = cells[size_t(column)];
  switch (c.kind) {
    case StatCell::Kind::Whole:
      return static_cast<int64_t>(c.number);
    case StatCell::Kind::Fixed:
      // Digits after a separator are no whole number; without digits the
      // text is one when int64 holds it.
      if (c.digits == 0 && c.numeric && c.number >= -0x1p63L && c.number < 0x1p63L)
        return static_cast<int64_t>(c.number);
      return std::nullopt;
    case StatCell::Kind::Caption:
      return ParseInt64(caption);
    default:
      return std::nullopt;  // "-"
  }
}

std::optional<long double> StatRow::NumberOf(int column) const {
  const StatCell& c = cells[size_t(column)];
  if (!c.numeric) return std::nullopt;
  return c.number;
}

std::string CellText(const StatRow& row, int column) { return TextOf(row.cells[size_t(column)], row.caption); }

std::array<std::string, kStatColumns> CellTexts(const StatRow& row) {
  std::array<std::string, kStatColumns> texts;
  for (int i = 0; i < kStatColumns; ++i) texts[size_t(i)] = CellText(row, i);
  return texts;
}

std::string DifferenceText(const std::string& forecastCell, int32_t fact) {
  return TextOf(DifferenceCell(ParseInt32(forecastCell).value_or(-1), fact), std::string());
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
    row.SetCaption(stat->ValueText(v));
    row.numValue = stat->NumericValue(row.caption);
    auto& c = row.cells;
    c[kColCount] = StatCell::Whole(v.Count);
    // Counts and norms come from a full-set file too, and draw numbers from
    // the archive: the products are formed in 64 bits.
    const int64_t count = v.Count;
    if (t.total != 0) c[kColCountPct] = StatCell::Fixed(static_cast<long double>(count * 100) / t.total, 5, sep);
    if (t.compared) {
      c[kColNorm] = StatCell::Whole(v.Norm);
      c[kColDeviation] = StatCell::Whole(count - v.Norm);
      long double pct = v.Norm != 0 ? static_cast<long double>((count - v.Norm) * 100) / v.Norm
                                    : (v.Count == 0 ? 0.0L : 100.0L);
      c[kColDeviationPct] = StatCell::Fixed(pct, 5, sep);
    }
    if (v.Depth != 0) {
      c[kColDepth] = StatCell::Whole(v.Depth);
      c[kColDepthPct] = StatCell::Fixed(static_cast<long double>(int64_t(v.Depth) * 100) / t.maxDepth, 2, sep);
      long double weight = Weight(cdl, t.compared, v.Count, t.maxDepth, t.total, v.Depth, v.Norm);
      c[kColWeight] = StatCell::Fixed(std::isfinite(weight) ? weight : -999.99L, 2, sep);
      c[kColLastDraw] = StatCell::Whole(v.LastDraw);
      if (v.Count > 1) {
        c[kColPeriodMin] = StatCell::Whole(v.PeriodMin);
        c[kColPeriod] = StatCell::Fixed(drawsUsed / v.Count, 4, sep);
        c[kColPeriodMax] = StatCell::Whole(v.PeriodMax);
        c[kColForecastPrd] = StatCell::Whole(Round(drawsUsed / v.Count + v.LastDraw));
      }
      if (v.Count >= 1) {
        c[kColForecastStf] = StatCell::Whole(Round(static_cast<long double>((count + 1) * v.LastDraw) / v.Count));
        c[kColForecastKrn] = StatCell::Whole(
            Round(static_cast<long double>((count + 2) * (int64_t(v.LastDraw) + 1)) / (count + 1)));
        const int32_t fact =
            stat->FindNextOccurrence(v, archive->IndexOfDraw(v.LastDraw) + 1, p.sorted, t.lastIndex);
        if (fact >= 0) {
          c[kColFact] = StatCell::Whole(fact);
          c[kColDiffPrd] = DifferenceCell(ForecastOf(c[kColForecastPrd]), fact);
          c[kColDiffStf] = DifferenceCell(ForecastOf(c[kColForecastStf]), fact);
          c[kColDiffKrn] = DifferenceCell(ForecastOf(c[kColForecastKrn]), fact);
        }
      }
    }
    t.rows.push_back(std::move(row));
  }

  if (p.charts && values.Count() > 1) {
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

namespace {

// How a number's text compares with "-" as text: its first character is a
// digit or a "-" with more after it (after "-"), or a "+" (before it).
int AgainstDash(const StatCell& c) { return c.kind == StatCell::Kind::Whole && c.plus && c.number > 0 ? -1 : 1; }

bool IsNumber(const StatCell& c) { return c.numeric && c.kind != StatCell::Kind::Caption; }

// As CompareText of the two cells' texts where either is no number, and as
// their numbers otherwise.
int CompareCells(const StatRow& a, const StatRow& b, int column) {
  const StatCell& x = a.cells[size_t(column)];
  const StatCell& y = b.cells[size_t(column)];
  if (x.numeric && y.numeric) return x.number < y.number ? -1 : (y.number < x.number ? 1 : 0);
  using Kind = StatCell::Kind;
  if (x.kind == Kind::None && y.kind == Kind::None) return 0;
  if (x.kind == Kind::Caption && y.kind == Kind::Caption) return CompareText(a.caption, b.caption);
  if (x.kind == Kind::None && IsNumber(y)) return -AgainstDash(y);
  if (y.kind == Kind::None && IsNumber(x)) return AgainstDash(x);
  return CompareText(CellText(a, column), CellText(b, column));
}

}  // namespace

void SortStatRows(std::vector<StatRow>& rows, int column, bool descending) {
  if (column < 0 || column >= kStatColumns) return;
  // The rows are large: their order is sorted, then they move once.
  std::vector<uint32_t> order(rows.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = uint32_t(i);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t i, uint32_t j) {
    const StatRow& a = rows[i];
    const StatRow& b = rows[j];
    int c = CompareCells(a, b, column);
    if (c == 0) c = CompareCells(a, b, kColValue);
    return descending ? c > 0 : c < 0;
  });
  std::vector<StatRow> sorted;
  sorted.reserve(rows.size());
  for (uint32_t i : order) sorted.push_back(std::move(rows[i]));
  rows.swap(sorted);
}

}  // namespace px
