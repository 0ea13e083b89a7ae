// Small text helpers shared by the readers and writers of the engine.
// All texts are UTF-8 unless a name says cp1251.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace px {

// printf-style formatting into a std::string.
std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Removes blanks and control characters (bytes 0..32) at both ends.
std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);

// ASCII case-insensitive comparison (codes, INI names, switches).
bool SameText(std::string_view a, std::string_view b);
std::string UpperAscii(std::string_view text);

// Whole decimal integer with an optional sign after trimming; nullopt for
// anything else and for values outside int32.
std::optional<int32_t> ParseInt32(std::string_view text);
std::optional<int64_t> ParseInt64(std::string_view text);
inline int32_t IntOr(std::string_view text, int32_t fallback) {
  return ParseInt32(text).value_or(fallback);
}

// Decimal number with "." or "," as the separator, optional exponent; finite
// values only. Independent of the C locale.
std::optional<long double> ParseDecimal(std::string_view text);

// General form with up to 15 significant digits and the given separator.
std::string FormatDecimal(long double value, char separator);

// The decimal separator of the user's locale, read once; tests may set it.
char LocaleDecimalSeparator();
void SetLocaleDecimalSeparator(char separator);

// Splits at any of the separator characters. With skipEmpty, runs of
// separators count as one and leading/trailing ones are ignored.
std::vector<std::string> SplitAny(std::string_view text, std::string_view separators,
                                  bool skipEmpty);

}  // namespace px
