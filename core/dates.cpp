#include "core/dates.h"

#include <cstdio>
#include <ctime>

#include "core/errors.h"
#include "core/text.h"

namespace px {

using namespace std::chrono;

int32_t DateKeyOf(const Date& date) {
  return static_cast<int>(date.year()) * 10000 + static_cast<int>(static_cast<unsigned>(date.month())) * 100 +
         static_cast<int>(static_cast<unsigned>(date.day()));
}

Date DateOfKey(int32_t key) {
  return Date{year{key / 10000}, month{static_cast<unsigned>((key % 10000) / 100)},
              day{static_cast<unsigned>(key % 100)}};
}

int32_t AddDaysToKey(int32_t key, int days) {
  if (days == 0) return key;
  Date d = DateOfKey(key);
  if (!d.ok()) throw Error(Fmt("Некорректная дата: %d", key));
  return DateKeyOf(Date{sys_days{d} + std::chrono::days{days}});
}

std::string DateText(const std::optional<Date>& date) {
  if (!date || !date->ok() || static_cast<int>(date->year()) <= 0) return {};
  return Fmt("%02u/%02u/%04d", static_cast<unsigned>(date->month()), static_cast<unsigned>(date->day()),
             static_cast<int>(date->year()));
}

std::optional<Date> ParseDate(std::string_view text) {
  std::string_view t = TrimView(text);
  if (t.empty()) return std::nullopt;
  auto field = [&](size_t from, size_t len) {
    if (from >= t.size()) return 0;
    return IntOr(t.substr(from, len), 0);
  };
  int m = field(0, 2), d = field(3, 2), y = field(6, 4);
  Date date{year{y}, month{static_cast<unsigned>(m < 0 ? 0 : m)}, day{static_cast<unsigned>(d < 0 ? 0 : d)}};
  if (m < 1 || d < 1 || y < 1 || !date.ok())
    throw Error(Fmt("\"%s\" не является правильной датой", std::string(t).c_str()));
  return date;
}

std::string LocalTimeFormat(system_clock::time_point moment, const char* format) {
  std::time_t t = system_clock::to_time_t(moment);
  std::tm local{};
  localtime_r(&t, &local);
  char buf[96];
  std::snprintf(buf, sizeof buf, format, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                local.tm_min, local.tm_sec);
  return buf;
}

Date DateOf(system_clock::time_point moment) {
  std::time_t t = system_clock::to_time_t(moment);
  std::tm local{};
  if (!localtime_r(&t, &local)) return Date{floor<days>(moment)};
  return Date{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
              day{static_cast<unsigned>(local.tm_mday)}};
}

}  // namespace px
