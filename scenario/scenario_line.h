// One scenario line: how the start list is obtained, up to seven filters and
// what to do with what remains, and its text form. Lines are stored as text;
// every reader parses what it needs. Parsing never fails: unknown words fall
// back to the first code, unreadable numbers to their defaults.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "scenario/filter_item.h"

namespace px {

class TStatList;

inline constexpr int kScenarioFilters = 7;
inline constexpr int kListSources = 3;
inline constexpr int kStakeModes = 10;

enum class ListSource : uint8_t { Full = 0, Exclude = 1, Current = 2 };

enum class StakeMode : uint8_t {
  Extended = 0,
  Random = 1,
  First = 2,
  Last = 3,
  All = 4,
  SystemAll = 5,
  SystemCombs = 6,
  Stop = 7,
  Skip = 8,
  None = 9,
};

// The condition a filter's rows must meet (TFilterItem::conditionMode), by
// the number the scenario files store. Six per column for "Глубина",
// "Отклонение" and "Количество": at least / at most the value or percent,
// or one of a list of values or percents; three each for "Вес", "Период
// min", "Период" and "Период max"; and the caption's numeric value in a list.
enum class ConditionMode : uint8_t {
  None = 0,
  DepthAtLeast = 1, DepthPctAtLeast = 2, DepthAtMost = 3, DepthPctAtMost = 4, DepthInList = 5, DepthPctInList = 6,
  DeviationAtLeast = 7, DeviationPctAtLeast = 8, DeviationAtMost = 9, DeviationPctAtMost = 10,
  DeviationInList = 11, DeviationPctInList = 12,
  CountAtLeast = 13, CountPctAtLeast = 14, CountAtMost = 15, CountPctAtMost = 16, CountInList = 17,
  CountPctInList = 18,
  WeightAtLeast = 19, WeightAtMost = 20, WeightInList = 21,
  PeriodMinAtLeast = 22, PeriodMinAtMost = 23, PeriodMinInList = 24,
  PeriodAtLeast = 25, PeriodAtMost = 26, PeriodInList = 27,
  PeriodMaxAtLeast = 28, PeriodMaxAtMost = 29, PeriodMaxInList = 30,
  ValueInList = 31,
};
static_assert(static_cast<uint8_t>(ConditionMode::None) == kConditionNone);
static_assert(static_cast<uint8_t>(ConditionMode::WeightAtLeast) == kConditionWeightFirst);
static_assert(static_cast<uint8_t>(ConditionMode::WeightInList) == kConditionWeightLast);
static_assert(static_cast<uint8_t>(ConditionMode::ValueInList) == kConditionValueList);
static_assert(static_cast<int>(ConditionMode::ValueInList) + 1 == kConditionModes);

// When a filter's walk over the rows ends (TFilterItem::stopMode), by the
// number the files store: SF, SC, SE, SZ, ST, SV, SP.
enum class StopMode : uint8_t {
  AllRows = 0,       // every row
  Combinations = 1,  // at most stopValue combinations left
  Numbers = 2,       // at most stopValue distinct numbers left
  UntilEmpty = 3,    // a step that empties the list is undone, and the walk ends
  Steps = 4,         // after stopValue steps
  Count = 5,         // at a row whose "Количество" is at most stopValue (top-down; bottom-up at least)
  CountPct = 6,      // the same on "Кол-во в %"
};
static_assert(static_cast<uint8_t>(StopMode::Combinations) == kStopByCombinations);
static_assert(static_cast<uint8_t>(StopMode::Numbers) == kStopByNumbers);
static_assert(static_cast<int>(StopMode::CountPct) + 1 == kStopModes);

struct ScenarioOptions {
  int32_t excludeDraws = 0;
  uint8_t listSource = 0;  // ListSource
  uint8_t stakeMode = 0;   // StakeMode
  bool clearStakes = false;
  bool newOnly = false;

  bool operator==(const ScenarioOptions&) const = default;
};

struct ScenarioLine {
  ScenarioOptions options;
  std::array<TFilterItem, kScenarioFilters> filters;
  std::string comment;

  bool operator==(const ScenarioLine&) const = default;
};

// The line split into its fields, each trimmed; the filter texts are kept as
// typed (the line dialog stores them unchanged).
struct ScenarioLineText {
  std::string options;
  std::array<std::string, kScenarioFilters> filters;
  std::string comment;

  bool operator==(const ScenarioLineText&) const = default;
};

// By value: the codes of the text form, the line dialog's texts and the
// view's short texts. The short text of Exclude takes the draw count.
const std::array<const char*, kListSources>& ListSourceCodes();
const std::array<const char*, kListSources>& ListSourceTexts();
const std::array<const char*, kListSources>& ListSourceShortTexts();
const std::array<const char*, kStakeModes>& StakeModeCodes();
const std::array<const char*, kStakeModes>& StakeModeTexts();
const std::array<const char*, kStakeModes>& StakeModeShortTexts();
// The code of a value, or the first code for a value outside the table.
template <size_t N>
const char* CodeOr0(uint8_t value, const std::array<const char*, N>& codes) {
  return codes[value < N ? value : 0];
}
// "# ERROR #" outside the table.
std::string ListSourceShortText(uint8_t source, int32_t excludeDraws);
std::string StakeModeShortText(uint8_t mode);

// An empty (or blank) line separates groups of lines; a run skips it.
bool IsSeparatorLine(std::string_view text);

ScenarioLineText ParseLineText(std::string_view text);
std::string FormatLineText(const ScenarioLineText& line);

// The statistic of each filter is looked up in the registry by its code.
ScenarioLine ParseLine(std::string_view text, const TStatList& registry);
std::string FormatLine(const ScenarioLine& line);

ScenarioOptions ParseOptions(std::string_view text);
std::string FormatOptions(const ScenarioOptions& options);

TFilterItem ParseFilter(std::string_view text, const TStatList& registry);
std::string FormatFilter(const TFilterItem& item);
// "TSD": bottom-up or top-down, multiple or single, keep or delete.
std::string FilterLetters(const TFilterItem& item);
// The method's code, or for a word no method had, the word up to its ":".
std::string FilterStatCode(const TFilterItem& item);

// The "Опции" column of the scenario view.
std::string OptionsSummary(const ScenarioOptions& options);

// A weight coefficient as the filter descriptor holds it: plain decimal
// digits with "." and at most 15 significant digits, never an exponent,
// because the reader keeps only digits, "-" and the separator.
std::string FormatCoefficient(long double value);
long double ParseCoefficient(std::string_view text);

}  // namespace px
