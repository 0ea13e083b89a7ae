// One scenario filter as the user wrote it, and the names of its condition
// and stop modes. The text form of a filter is read and written elsewhere;
// this record only holds the values.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace px {

class TStatList;

inline constexpr int kConditionModes = 32;
inline constexpr int kStopModes = 7;

// Condition modes with a meaning of their own to the editor.
inline constexpr uint8_t kConditionNone = 0;         // the whole list
inline constexpr uint8_t kConditionWeightFirst = 19;  // 19..21 test the "Вес" column
inline constexpr uint8_t kConditionWeightLast = 21;
inline constexpr uint8_t kConditionValueList = 31;    // needs a statistic with numeric values

// Stop modes that count what is left; they cannot follow a multiple selection.
inline constexpr uint8_t kStopByCombinations = 1;
inline constexpr uint8_t kStopByNumbers = 2;

struct TFilterItem {
  bool defined = false;
  // The statistic word as read; written back as it was when no method has
  // its code.
  std::string statText;
  // The statistic by its code, because that is how a filter names it in a
  // scenario and because registry positions move with the channel count.
  // Empty: no statistic. StatMethodOf resolves it.
  std::string statCode;
  std::string drawCounts;
  int32_t sortColumn = 1;
  bool bottomUp = false;
  bool multiSelect = false;
  bool keepSelected = false;
  uint8_t conditionMode = kConditionNone;
  std::string conditionValues;
  bool weightOverride = false;
  long double coefCount = 0;
  long double coefDeviation = 0;
  long double coefDepth = 0;
  bool usePercents = false;
  bool useAbs = false;
  uint8_t stopMode = 0;
  int32_t stopValue = 1;

  bool operator==(const TFilterItem&) const = default;
};

// Registry position of the item's statistic; -1 when it has none or no
// method has that code.
int StatMethodOf(const TFilterItem& item, const TStatList& registry);

// By mode value: the codes of the text form and the texts of the filter dialog.
const std::array<const char*, kConditionModes>& ConditionModeCodes();
const std::array<const char*, kConditionModes>& ConditionModeTexts();
const std::array<const char*, kStopModes>& StopModeCodes();
const std::array<const char*, kStopModes>& StopModeTexts();

}  // namespace px
