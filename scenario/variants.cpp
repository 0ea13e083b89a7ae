#include "scenario/variants.h"

#include <algorithm>
#include <new>

#include "core/arith.h"
#include "core/errors.h"
#include "core/text.h"
#include "stats/stat_table.h"

namespace px {

namespace {

Error NotANumber(const std::string& text, bool whole) {
  return Error(Fmt(whole ? "\"%s\" не является целым числом!" : "\"%s\" не является числом!", text.c_str()));
}

// A cell read as a whole number or a decimal, with a default where its text
// is none, or strictly.
int64_t IntOrDefault(const StatRow& row, int column, int64_t fallback) {
  return row.WholeOf(column).value_or(fallback);
}

long double NumOrDefault(const StatRow& row, int column, long double fallback) {
  return row.NumberOf(column).value_or(fallback);
}

int64_t IntStrict(const StatRow& row, int column) {
  if (auto v = row.WholeOf(column)) return *v;
  throw NotANumber(CellText(row, column), true);
}

long double NumStrict(const StatRow& row, int column) {
  if (auto v = row.NumberOf(column)) return *v;
  throw NotANumber(CellText(row, column), false);
}

}  // namespace

bool IsPerValueMode(ConditionMode mode) {
  using M = ConditionMode;
  return (mode >= M::DepthAtLeast && mode <= M::DepthPctAtMost) ||
         (mode >= M::DeviationAtLeast && mode <= M::DeviationPctAtMost) ||
         (mode >= M::CountAtLeast && mode <= M::CountPctAtMost) ||
         (mode >= M::WeightAtLeast && mode <= M::PeriodMaxInList);
}

std::vector<FilterSpec> PrepareFilters(const ScenarioLine& line) {
  std::vector<FilterSpec> out;
  for (const TFilterItem& item : line.filters) {
    if (!item.defined) continue;
    FilterSpec f;
    f.item = item;
    f.drawCounts = ParseIntList(item.drawCounts);
    if (item.conditionMode != kConditionNone) f.values = ParseIntList(item.conditionValues);
    if (f.drawCounts.empty() || (item.conditionMode != kConditionNone && f.values.empty()))
      throw Error(Fmt("Некорректное описание фильтра: %s!", FormatFilter(item).c_str()));
    f.perValue = IsPerValueMode(static_cast<ConditionMode>(item.conditionMode));
    f.listValue = IntListText(f.values, ",");
    out.push_back(std::move(f));
  }
  return out;
}

uint64_t VariantCount(const std::vector<FilterSpec>& filters) {
  if (filters.empty()) return 0;
  uint64_t n = 1;
  for (const FilterSpec& f : filters) {
    const uint64_t k = f.drawCounts.size() * (f.perValue ? f.values.size() : 1);
    n = (k != 0 && n > UINT64_MAX / k) ? UINT64_MAX : n * k;
  }
  return n;
}

void GenerateVariants(LineVariants& out, const std::function<bool(size_t)>& progress, size_t limit) {
  out.variants.clear();
  const size_t n = out.filters.size();
  if (n == 0) return;
  if (VariantCount(out.filters) > limit) throw std::bad_alloc();
  out.variants.reserve(size_t(VariantCount(out.filters)));
  // Depth-first: the last filter's choices vary fastest.
  TFilterVar current;
  current.count = uint8_t(n);
  bool stop = false;
  std::function<void(size_t)> walk = [&](size_t k) {
    const FilterSpec& f = out.filters[k];
    for (int32_t length : f.drawCounts) {
      const size_t values = f.perValue ? f.values.size() : 1;
      for (size_t v = 0; v < values && !stop; ++v) {
        current.parts[k] = TFilterPart{uint8_t(k), length, f.perValue ? int32_t(v) : -1};
        if (k + 1 < n) {
          walk(k + 1);
        } else {
          out.variants.push_back(current);
          if (out.variants.size() % 1000 == 0 && progress && !progress(out.variants.size())) stop = true;
        }
      }
      if (stop) return;
    }
  };
  walk(0);
}

std::string PartConditionValue(const FilterSpec& f, const TFilterPart& p) {
  if (p.valueIndex >= 0) return std::to_string(f.values[size_t(p.valueIndex)]);
  if (f.item.conditionMode == kConditionNone) return f.item.conditionValues;
  return f.listValue;
}

std::string PartValueText(const FilterSpec& f, const TFilterPart& p) {
  if (p.valueIndex >= 0) return std::to_string(f.values[size_t(p.valueIndex)]);
  return f.item.conditionValues;
}

std::string PartText(const FilterSpec& f, const TFilterPart& p) {
  const TFilterItem& item = f.item;
  std::string text = Fmt("%s#%s:%d#%s:%s#%s:%d", FilterLetters(item).c_str(), FilterStatCode(item).c_str(), p.drawCount,
                         CodeOr0(item.conditionMode, ConditionModeCodes()), PartValueText(f, p).c_str(),
                         CodeOr0(item.stopMode, StopModeCodes()), item.stopValue);
  if (item.weightOverride) {
    text += Fmt("#%s:%s:%s:%d:%d", FormatCoefficient(item.coefCount).c_str(),
                FormatCoefficient(item.coefDeviation).c_str(), FormatCoefficient(item.coefDepth).c_str(),
                item.usePercents ? 1 : 0, item.useAbs ? 1 : 0);
  }
  return text;
}

std::string VariantText(const LineVariants& lv, const TFilterVar& v) {
  std::string text;
  for (uint8_t i = 0; i < v.count; ++i) {
    if (i) text += " + ";
    text += PartText(lv.filters[v.parts[i].filter], v.parts[i]);
  }
  return text;
}

std::string OptionsDescription(const ScenarioOptions& o) {
  std::string text = CodeOr0(o.listSource, ListSourceCodes());
  if (o.listSource == uint8_t(ListSource::Exclude)) text += Fmt(":%d", o.excludeDraws);
  text += "#";
  text += CodeOr0(o.stakeMode, StakeModeCodes());
  if (o.newOnly) text += "#NEX";
  return text;
}

// The stakes file keeps 255 cp1251 bytes, one per letter.
constexpr size_t kCommentChars = 255;

std::string StakeComment(int line, int variant, const std::string& comment, const std::string& description) {
  std::string text = Fmt("%.2d.%.3d:", line, variant);
  if (!comment.empty()) text += " " + comment;
  text += " @ " + description;
  // 255 characters, not bytes: never cut a letter in two.
  size_t chars = 0, i = 0;
  while (i < text.size() && chars < kCommentChars) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    i += c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
    ++chars;
  }
  if (i < text.size()) text.resize(i);
  return text;
}

RowCondition::RowCondition(ConditionMode mode, const std::string& value) : mode_(mode) {
  if (auto v = ParseInt64(value)) {
    number_ = *v;
    numberOk_ = true;
  }
  for (const std::string& word : SplitAny(value, ",;", false)) {
    Entry e;
    e.text = Trim(word);
    e.whole = ParseInt64(e.text);
    e.decimal = ParseDecimal(e.text);
    list_.push_back(std::move(e));
  }
}

// In list order, so an entry that is no number fails only when reached.
bool RowCondition::InWholes(int64_t x) const {
  for (const Entry& e : list_) {
    if (!e.whole) throw NotANumber(e.text, true);
    if (*e.whole == x) return true;
  }
  return false;
}

bool RowCondition::InDecimals(long double x) const {
  for (const Entry& e : list_) {
    if (!e.decimal) throw NotANumber(e.text, false);
    if (*e.decimal == x) return true;
  }
  return false;
}

bool RowCondition::Holds(const StatRow& r) const {
  using M = ConditionMode;
  const long double v = static_cast<long double>(number_);
  // Threshold modes compare with one whole number.
  auto need = [&] {
    if (!numberOk_) throw NotANumber(list_.empty() ? std::string() : list_.front().text, true);
  };
  // The three columns with six conditions each, on the value and its percent.
  int intCol = -1, numCol = -1;
  if (mode_ >= M::DepthAtLeast && mode_ <= M::DepthPctInList) intCol = kColDepth, numCol = kColDepthPct;
  else if (mode_ >= M::DeviationAtLeast && mode_ <= M::DeviationPctInList) intCol = kColDeviation, numCol = kColDeviationPct;
  else if (mode_ >= M::CountAtLeast && mode_ <= M::CountPctInList) intCol = kColCount, numCol = kColCountPct;
  if (intCol >= 0) {
    // As the same condition on "Глубина".
    switch (static_cast<M>((static_cast<uint8_t>(mode_) - 1) % 6 + 1)) {
      case M::DepthAtLeast: need(); return IntOrDefault(r, intCol, 0) >= number_;
      case M::DepthPctAtLeast: need(); return NumOrDefault(r, numCol, 0) >= v;
      case M::DepthAtMost: need(); return number_ >= IntOrDefault(r, intCol, 65535);
      case M::DepthPctAtMost: need(); return NumOrDefault(r, numCol, 65535) <= v;
      case M::DepthInList: return InWholes(IntStrict(r, intCol));
      default: return InDecimals(NumStrict(r, numCol));
    }
  }
  switch (mode_) {
    case M::WeightAtLeast: need(); return NumOrDefault(r, kColWeight, 0) >= v;
    case M::WeightAtMost: need(); return NumOrDefault(r, kColWeight, 0) <= v;
    case M::WeightInList: return InDecimals(NumStrict(r, kColWeight));
    case M::PeriodMinAtLeast: need(); return IntOrDefault(r, kColPeriodMin, 0) >= number_;
    case M::PeriodMinAtMost: need(); return number_ >= IntOrDefault(r, kColPeriodMin, 65535);
    case M::PeriodMinInList: return InWholes(IntStrict(r, kColPeriodMin));
    case M::PeriodAtLeast: need(); return NumOrDefault(r, kColPeriod, 0) >= v;
    case M::PeriodAtMost: need(); return NumOrDefault(r, kColPeriod, 0) <= v;
    case M::PeriodInList: return InDecimals(NumStrict(r, kColPeriod));
    case M::PeriodMaxAtLeast: need(); return IntOrDefault(r, kColPeriodMax, 0) >= number_;
    case M::PeriodMaxAtMost: need(); return number_ >= IntOrDefault(r, kColPeriodMax, 65535);
    case M::PeriodMaxInList: return InWholes(IntStrict(r, kColPeriodMax));
    case M::ValueInList: return InWholes(r.numValue);
    default: return true;
  }
}

bool StopBeforeRow(StopMode stopMode, int32_t stopValue, bool multiSelect, bool bottomUp, const WalkState& walk,
                   const StatRow& row) {
  switch (stopMode) {
    case StopMode::Combinations:
      return !multiSelect && walk.count <= stopValue;
    case StopMode::Numbers:
      if (multiSelect) return false;
      if (walk.count <= 1) return true;
      return walk.distinct <= ((stopValue >= 6 && stopValue <= walk.maxStake) ? stopValue : walk.maxStake);
    case StopMode::Steps:
      return walk.step >= stopValue;
    case StopMode::Count: {
      const int64_t c = IntOrDefault(row, kColCount, 0);
      return bottomUp ? c >= stopValue : c <= stopValue;
    }
    case StopMode::CountPct: {
      const long double c = NumOrDefault(row, kColCountPct, 0);
      return bottomUp ? c >= stopValue : c <= stopValue;
    }
    default:
      return false;  // AllRows; UntilEmpty acts after a step
  }
}

}  // namespace px
