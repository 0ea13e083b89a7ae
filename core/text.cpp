#include "core/text.h"

#include "core/cp1251.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <locale>

namespace px {

std::string Fmt(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimView(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

size_t Utf8Length(std::string_view text) {
  size_t n = 0;
  for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

namespace {
uint32_t NextFolded(std::string_view text, size_t& i) {
  const uint32_t unit = NextCp1251Unit(text, i);
  return unit < 0x100 ? UpperCp1251(static_cast<uint8_t>(unit)) : unit;
}
}  // namespace

int CompareText(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const uint32_t x = NextFolded(a, i), y = NextFolded(b, j);
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  return j < b.size() ? -1 : 0;
}

bool SameText(std::string_view a, std::string_view b) {
  // Keys and names are ASCII as a rule: byte by byte while both are, the
  // decoding only from the first byte that is not.
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<uint8_t>(a[i]), y = static_cast<uint8_t>(b[i]);
    if ((x | y) >= 0x80) return CompareText(a.substr(i), b.substr(i)) == 0;
    if (x != y && UpperCp1251(x) != UpperCp1251(y)) return false;
  }
  return a.size() == b.size();
}

std::string FoldedText(std::string_view text) {
  std::string key;
  key.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const uint32_t unit = NextFolded(text, i);
    if (unit < 0x100) {
      key += static_cast<char>(unit);
    } else {
      // Past every single byte, big-endian, so byte order stays unit order.
      key += static_cast<char>(0xFF);
      key += static_cast<char>((unit >> 16) & 0xFF);
      key += static_cast<char>((unit >> 8) & 0xFF);
      key += static_cast<char>(unit & 0xFF);
    }
  }
  return key;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

std::optional<int64_t> ParseInt64(std::string_view text) {
  text = TrimView(text);
  if (!text.empty() && text[0] == '+') {
    text.remove_prefix(1);
    if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
  }
  int64_t value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<int32_t> ParseInt32(std::string_view text) {
  auto v = ParseInt64(text);
  if (!v || *v < INT32_MIN || *v > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(*v);
}

std::optional<long double> ParseDecimal(std::string_view text) {
  text = TrimView(text);
  std::string s(text);
  for (char& c : s)
    if (c == ',') c = '.';
  std::string_view v(s);
  if (!v.empty() && v[0] == '+') v.remove_prefix(1);
  if (v.empty()) return std::nullopt;
  // from_chars reads "inf" and "nan", which no file of ours ever holds.
  for (char c : v)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+'))
      return std::nullopt;
  long double value = 0;
  auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  if (ec != std::errc() || ptr != v.data() + v.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string FormatDecimal(long double value, char separator) {
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  std::string out(buf, ec == std::errc() ? ptr : buf);
  for (char& c : out)
    if (c == '.') c = separator;
  return out;
}

static char g_separator = 0;

char LocaleDecimalSeparator() {
  if (g_separator == 0) {
    g_separator = '.';
    try {
      std::locale user("");
      char c = std::use_facet<std::numpunct<char>>(user).decimal_point();
      if (c == '.' || c == ',') g_separator = c;
    } catch (...) {
      // An unknown locale in the environment leaves the plain point.
    }
  }
  return g_separator;
}

void SetLocaleDecimalSeparator(char separator) { g_separator = separator; }

std::vector<std::string> SplitAny(std::string_view text, std::string_view separators,
                                  bool skipEmpty) {
  std::vector<std::string> out;
  std::string current;
  bool any = false;
  for (char c : text) {
    if (separators.find(c) != std::string_view::npos) {
      if (!skipEmpty || !current.empty()) out.push_back(current);
      current.clear();
      any = true;
    } else {
      current += c;
    }
  }
  if (!skipEmpty || !current.empty()) {
    if (!text.empty() || any) out.push_back(current);
  }
  return out;
}

}  // namespace px
