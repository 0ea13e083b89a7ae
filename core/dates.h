// Draw dates: the text form "mm/dd/yyyy" and the integer keys yyyymmdd.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace px {

using Date = std::chrono::year_month_day;

int32_t DateKeyOf(const Date& date);
Date DateOfKey(int32_t key);  // not checked; see Date::ok()
int32_t AddDaysToKey(int32_t key, int days);

// "mm/dd/yyyy"; empty for no date.
std::string DateText(const std::optional<Date>& date);

// Fields by position: month 1-2, day 4-5, year 7-10. An empty text is no date;
// an impossible date throws Error.
std::optional<Date> ParseDate(std::string_view text);

// The moment in the user's time zone, printf-formatted from year, month,
// day, hour, minute and second: "%04d-%02d-%02d-%02d-%02d-%02d".
std::string LocalTimeFormat(std::chrono::system_clock::time_point moment, const char* format);

// The calendar date of a moment in the user's time zone.
Date DateOf(std::chrono::system_clock::time_point moment);

}  // namespace px
