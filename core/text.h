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
// Characters, not bytes, of UTF-8 text.
size_t Utf8Length(std::string_view text);

// Comparison of texts without regard to case, the one every list, code and
// comment of the program uses: both texts taken as cp1251, letters of two
// cases (Latin, Cyrillic, Ё/ё and the other cp1251 pairs) folded to their
// capitals, then cp1251 order (so Ё comes before А, where cp1251 places it).
// Characters cp1251 lacks sort after all of its bytes, by code point.
// CompareText gives <0, 0 or >0; FoldedText is a key whose byte order and
// equality are CompareText's.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
std::string FoldedText(std::string_view text);
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
