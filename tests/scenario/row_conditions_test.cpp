// The scenario's row and stop conditions over the rows' numbers answer as
// they did over the rows' texts (the old code, kept here as the reference),
// for every method of the demo archive and every condition mode.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/text.h"
#include "scenario/variants.h"
#include "stats/stat_table.h"
#include "support/demo_tables.h"

namespace px {
namespace {

// A row as texts, the form conditions were read from.
struct TextRow {
  std::string Value;
  int64_t NumValue = 0;
  std::string Count, CountPct, Deviation, DeviationPct, Depth, DepthPct, Weight, PeriodMin, Period, PeriodMax;
};

TextRow TextsOf(const StatRow& r) {
  TextRow t;
  t.Value = r.caption;
  t.NumValue = r.numValue;
  t.Count = CellText(r, kColCount);
  t.CountPct = CellText(r, kColCountPct);
  t.Deviation = CellText(r, kColDeviation);
  t.DeviationPct = CellText(r, kColDeviationPct);
  t.Depth = CellText(r, kColDepth);
  t.DepthPct = CellText(r, kColDepthPct);
  t.Weight = CellText(r, kColWeight);
  t.PeriodMin = CellText(r, kColPeriodMin);
  t.Period = CellText(r, kColPeriod);
  t.PeriodMax = CellText(r, kColPeriodMax);
  return t;
}

// The conditions as they read texts.
class OldCondition {
 public:
  OldCondition(uint8_t mode, const std::string& value) : mode_(mode) {
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

  bool Holds(const TextRow& r) const {
    const long double v = static_cast<long double>(number_);
    auto need = [&] {
      if (!numberOk_) throw NotANumber(list_.empty() ? std::string() : list_.front().text, true);
    };
    const std::string* intCol = nullptr;
    const std::string* numCol = nullptr;
    if (mode_ >= 1 && mode_ <= 6) intCol = &r.Depth, numCol = &r.DepthPct;
    else if (mode_ >= 7 && mode_ <= 12) intCol = &r.Deviation, numCol = &r.DeviationPct;
    else if (mode_ >= 13 && mode_ <= 18) intCol = &r.Count, numCol = &r.CountPct;
    if (intCol) {
      switch ((mode_ - 1) % 6) {
        case 0: need(); return IntOrDefault(*intCol, 0) >= number_;
        case 1: need(); return NumOrDefault(*numCol, 0) >= v;
        case 2: need(); return number_ >= IntOrDefault(*intCol, 65535);
        case 3: need(); return NumOrDefault(*numCol, 65535) <= v;
        case 4: return InWholes(IntStrict(*intCol));
        default: return InDecimals(NumStrict(*numCol));
      }
    }
    switch (mode_) {
      case 19: need(); return NumOrDefault(r.Weight, 0) >= v;
      case 20: need(); return NumOrDefault(r.Weight, 0) <= v;
      case 21: return InDecimals(NumStrict(r.Weight));
      case 22: need(); return IntOrDefault(r.PeriodMin, 0) >= number_;
      case 23: need(); return number_ >= IntOrDefault(r.PeriodMin, 65535);
      case 24: return InWholes(IntStrict(r.PeriodMin));
      case 25: need(); return NumOrDefault(r.Period, 0) >= v;
      case 26: need(); return NumOrDefault(r.Period, 0) <= v;
      case 27: return InDecimals(NumStrict(r.Period));
      case 28: need(); return IntOrDefault(r.PeriodMax, 0) >= number_;
      case 29: need(); return number_ >= IntOrDefault(r.PeriodMax, 65535);
      case 30: return InWholes(IntStrict(r.PeriodMax));
      case 31: return InWholes(r.NumValue);
      default: return true;
    }
  }

  static bool StopBeforeRow(uint8_t stopMode, int32_t stopValue, bool bottomUp, const TextRow& row) {
    switch (stopMode) {
      case 5: {
        const int64_t c = IntOrDefault(row.Count, 0);
        return bottomUp ? c >= stopValue : c <= stopValue;
      }
      case 6: {
        const long double c = NumOrDefault(row.CountPct, 0);
        return bottomUp ? c >= stopValue : c <= stopValue;
      }
      default:
        return false;
    }
  }

 private:
  struct Entry {
    std::string text;
    std::optional<int64_t> whole;
    std::optional<long double> decimal;
  };
  static Error NotANumber(const std::string& text, bool whole) {
    return Error(Fmt(whole ? "\"%s\" не является целым числом!" : "\"%s\" не является числом!", text.c_str()));
  }
  static int64_t IntOrDefault(const std::string& text, int64_t fallback) { return ParseInt64(text).value_or(fallback); }
  static long double NumOrDefault(const std::string& text, long double fallback) {
    return ParseDecimal(text).value_or(fallback);
  }
  static int64_t IntStrict(const std::string& text) {
    if (auto v = ParseInt64(text)) return *v;
    throw NotANumber(text, true);
  }
  static long double NumStrict(const std::string& text) {
    if (auto v = ParseDecimal(text)) return *v;
    throw NotANumber(text, false);
  }
  bool InWholes(int64_t x) const {
    for (const Entry& e : list_) {
      if (!e.whole) throw NotANumber(e.text, true);
      if (*e.whole == x) return true;
    }
    return false;
  }
  bool InDecimals(long double x) const {
    for (const Entry& e : list_) {
      if (!e.decimal) throw NotANumber(e.text, false);
      if (*e.decimal == x) return true;
    }
    return false;
  }

  uint8_t mode_;
  int64_t number_ = 0;
  bool numberOk_ = false;
  std::vector<Entry> list_;
};

// "true", "false" or the error's text.
template <class F>
std::string Outcome(F&& f) {
  try {
    return f() ? "true" : "false";
  } catch (const Error& e) {
    return e.what();
  }
}

// The columns a mode reads, for values near the rows' own.
std::vector<int> ColumnsOf(int mode) {
  if (mode >= 1 && mode <= 6) return {kColDepth, kColDepthPct};
  if (mode >= 7 && mode <= 12) return {kColDeviation, kColDeviationPct};
  if (mode >= 13 && mode <= 18) return {kColCount, kColCountPct};
  if (mode >= 19 && mode <= 21) return {kColWeight};
  if (mode >= 22 && mode <= 24) return {kColPeriodMin};
  if (mode >= 25 && mode <= 27) return {kColPeriod};
  if (mode >= 28 && mode <= 30) return {kColPeriodMax};
  return {};
}

// Condition values as a scenario would write them, and then some: whole
// numbers at, below and above the rows' values (floor and ceiling of the
// decimals), lists of them, a list of the decimals themselves, entries that
// are no numbers, and nothing.
std::vector<std::string> ValuesFor(int mode, const std::vector<StatRow>& sample, std::mt19937& rnd) {
  std::vector<std::string> wholes, decimals;
  for (int column : ColumnsOf(mode)) {
    for (int k = 0; k < 2 && !sample.empty(); ++k) {
      const StatRow& r = sample[rnd() % sample.size()];
      if (auto n = r.NumberOf(column)) {
        const auto f = static_cast<long long>(std::floor(*n));
        for (long long x : {f - 1, f, f + 1}) wholes.push_back(std::to_string(x));
        std::string d = CellText(r, column);
        for (char& c : d)
          if (c == ',') c = '.';
        decimals.push_back(d);
      }
    }
  }
  if (mode == 31)
    for (int k = 0; k < 3 && !sample.empty(); ++k) wholes.push_back(std::to_string(sample[rnd() % sample.size()].numValue));
  std::vector<std::string> values = wholes;
  auto join = [](const std::vector<std::string>& v, size_t from, size_t n) {
    std::string s;
    for (size_t i = from; i < from + n && i < v.size(); ++i) s += (s.empty() ? "" : ",") + v[i];
    return s;
  };
  values.push_back(join(wholes, 0, 4) + ";x");
  values.push_back(join(decimals, 0, 3));
  values.push_back("x");
  values.push_back("");
  return values;
}

TEST(RowConditions, OverNumbersAnswerAsOverTexts) {
  const test::DemoTables demo;
  std::mt19937 rnd(5);
  int failures = 0;
  long checks = 0;
  demo.ForEachTable([&](const std::string& name, const StatTable& t) {
    // Up to 6 rows spread over the table, the first and the last among them.
    std::vector<StatRow> sample;
    const size_t n = t.rows.size();
    for (size_t i = 0; i < n && sample.size() < 5; i += std::max<size_t>(1, n / 4)) sample.push_back(t.rows[i]);
    if (n > 1) sample.push_back(t.rows.back());
    std::vector<TextRow> texts;
    for (const StatRow& r : sample) texts.push_back(TextsOf(r));
    for (int mode = 0; mode <= 32; ++mode) {
      for (const std::string& value : ValuesFor(mode, sample, rnd)) {
        const RowCondition now(static_cast<ConditionMode>(mode), value);
        const OldCondition before(uint8_t(mode), value);
        for (size_t i = 0; i < sample.size(); ++i) {
          ++checks;
          const std::string a = Outcome([&] { return now.Holds(sample[i]); });
          const std::string b = Outcome([&] { return before.Holds(texts[i]); });
          if (a != b && ++failures <= 10)
            ADD_FAILURE() << name << " mode " << mode << " \"" << value << "\" row " << sample[i].caption << ": " << a
                          << " instead of " << b;
        }
      }
    }
    for (const StatRow& r : sample) {
      for (StopMode stop : {StopMode::Count, StopMode::CountPct}) {
        for (int32_t s : {0, 1, 2, 10, 100}) {
          for (bool bottomUp : {false, true}) {
            ++checks;
            const bool a = StopBeforeRow(stop, s, false, bottomUp, WalkState{}, r);
            const bool b = OldCondition::StopBeforeRow(uint8_t(stop), s, bottomUp, TextsOf(r));
            if (a != b && ++failures <= 10) ADD_FAILURE() << name << " stop " << int(stop) << " " << s << " " << r.caption;
          }
        }
      }
    }
  });
  EXPECT_EQ(failures, 0);
  EXPECT_GT(checks, 500000);
}

}  // namespace
}  // namespace px
