// The variants of a scenario line: every window length of every filter and,
// for the threshold conditions, every value, combined depth-first; and the
// row and stop conditions a filter walks the statistics table with.
//
// A variant is a fixed-size record of part indexes into the line's filters,
// so millions of them stay cheap; the texts are derived on demand.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "scenario/filter_item.h"
#include "scenario/scenario_line.h"

namespace px {

struct StatRow;

// One non-empty filter of the line with its lists parsed.
struct FilterSpec {
  TFilterItem item;
  std::vector<int32_t> drawCounts;
  std::vector<int32_t> values;  // the condition values (empty for mode 0)
  std::string listValue;        // the values joined by "," (list modes)
  bool perValue = false;        // one part per value
};

// One filter of one variant: which filter, which window, which value.
struct TFilterPart {
  uint8_t filter = 0;      // index into the line's FilterSpecs
  int32_t drawCount = 0;
  int32_t valueIndex = -1;  // into FilterSpec::values for per-value modes
};

struct TFilterVar {
  std::array<TFilterPart, kScenarioFilters> parts{};
  uint8_t count = 0;
};

struct LineVariants {
  std::vector<FilterSpec> filters;
  std::vector<TFilterVar> variants;
};

// Condition modes that compare with one value at a time.
bool IsPerValueMode(ConditionMode mode);

// "Некорректное описание фильтра: %s!" when a filter has no window lengths,
// or no values for a condition that needs them.
std::vector<FilterSpec> PrepareFilters(const ScenarioLine& line);

// Generates every variant in order. `progress` is called every 1000 stored
// variants with their count and returns false to stop (the list generated so
// far is kept). More than `limit` variants throw std::bad_alloc, the way an
// exhausted memory would, so an absurd line fails before it takes the machine.
void GenerateVariants(LineVariants& out, const std::function<bool(size_t)>& progress,
                      size_t limit = 10'000'000);

// The product of the lists' sizes (saturating), before generation.
uint64_t VariantCount(const std::vector<FilterSpec>& filters);

// What a part compares with: one number, or the list joined by ",", or for
// mode 0 the values text unchanged.
std::string PartConditionValue(const FilterSpec& f, const TFilterPart& p);
// The same for display: the single number or the values text as written.
std::string PartValueText(const FilterSpec& f, const TFilterPart& p);

// "TSD#NUMS:10#CMV:2#SF:1" with "#" and the weights when overridden.
std::string PartText(const FilterSpec& f, const TFilterPart& p);
// The variant's filters joined by " + ".
std::string VariantText(const LineVariants& lv, const TFilterVar& v);

// "FULL#EXT", "EXCL:3#RAND#NEX": the options as the stake comment shows them.
std::string OptionsDescription(const ScenarioOptions& o);
// "%.2d.%.3d: comment @ description", cut to 255 characters.
std::string StakeComment(int line, int variant, const std::string& comment, const std::string& description);

// A condition prepared for a walk: the value parsed once. A row is judged
// by the numbers of its cells, exactly as reading their texts would judge it.
class RowCondition {
 public:
  RowCondition(ConditionMode mode, const std::string& value);
  // Throws Error on a list entry or row cell that is no number where the
  // mode needs one (the message quotes the cell's text).
  bool Holds(const StatRow& row) const;

 private:
  struct Entry {
    std::string text;
    std::optional<int64_t> whole;
    std::optional<long double> decimal;
  };
  bool InWholes(int64_t x) const;
  bool InDecimals(long double x) const;

  ConditionMode mode_;
  int64_t number_ = 0;
  bool numberOk_ = false;
  // Parsed once: the walk tests every row against the same list.
  std::vector<Entry> list_;
};

struct WalkState {
  int step = 0;          // t
  int count = 0;         // q: combinations in the set
  int distinct = 0;      // d: distinct numbers of the set, up to 36
  int maxStake = 12;     // m
};

// True when the walk ends before testing `row`.
bool StopBeforeRow(StopMode stopMode, int32_t stopValue, bool multiSelect, bool bottomUp, const WalkState& walk,
                   const StatRow& row);

}  // namespace px
