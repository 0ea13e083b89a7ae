#include "catalogue/codec.h"

#include <ctime>

#include "core/cp1251.h"
#include "core/download.h"
#include "core/errors.h"
#include "core/text.h"

namespace px {
namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Lower(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

// The elements <tag>...</tag> of a text in order, tag names ignoring case.
// An element opened and never closed is a broken answer.
std::vector<std::string> Elements(std::string_view text, std::string_view tag) {
  const std::string lower = Lower(text);
  std::string open = "<", close = "</";
  open.append(tag).append(">");
  close.append(tag).append(">");
  std::vector<std::string> out;
  size_t at = 0;
  for (;;) {
    size_t begin = lower.find(open, at);
    if (begin == std::string::npos) return out;
    begin += open.size();
    size_t end = lower.find(close, begin);
    if (end == std::string::npos) throw Error(Fmt("Ответ сервера оборван: нет \"%s\"", close.c_str()));
    out.emplace_back(text.substr(begin, end - begin));
    at = end + close.size();
  }
}

std::string Field(std::string_view row, const char* tag) {
  return ExtractBetween(row, std::string("<") + tag + ">", std::string("</") + tag + ">", MissingEnd::Raise);
}

Error BadField(const char* tag) { return Error(Fmt("Неверное значение \"%s\" в ответе сервера", tag)); }

std::string Limited(std::string text, size_t limit, const char* tag) {
  if (text.size() > limit) throw Error(Fmt("Слишком длинное значение \"%s\" в ответе сервера", tag));
  return text;
}

std::string Base64Field(std::string_view row, const char* tag, size_t limit) {
  std::string coded = Field(row, tag);
  if (coded.size() > limit / 3 * 4 + 8) throw Error(Fmt("Слишком длинное значение \"%s\" в ответе сервера", tag));
  auto plain = Base64Decode(coded);
  if (!plain) throw BadField(tag);
  return Limited(std::move(*plain), limit, tag);
}

int32_t IntField(std::string_view row, const char* tag, int32_t low, int32_t high) {
  auto v = ParseInt32(Trim(Field(row, tag)));
  if (!v || *v < low || *v > high) throw BadField(tag);
  return *v;
}

void ThrowRowError(std::string_view row) {
  std::string error = ExtractBetween(row, "<error>", "</error>", MissingEnd::Rest);
  if (!error.empty()) throw Error(ToInterfaceText(error.substr(0, kCatalogueMaxLine)));
}

// The rows of the result text; nullopt when there is none.
std::optional<std::vector<std::string>> ResultRows(std::string_view body) {
  auto results = Elements(body, "result");
  if (results.empty() || Trim(results.front()).empty()) return std::nullopt;
  auto rows = Elements(results.front(), "row");
  for (const auto& row : rows) ThrowRowError(row);
  return rows;
}

}  // namespace

std::string EscapeCatalogueText(std::string_view text) {
  static constexpr char kControl[] = "0123456abtnvfr";
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 13) {
      out += '\\';
      out += kControl[u];
    } else if (u == 27) {
      out += "\\e";
    } else {
      if (c == '"' || c == '\'' || c == '?' || c == '\\') out += '\\';
      out += c;
    }
  }
  return out;
}

std::string UnescapeCatalogueText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\\' || i + 1 == text.size()) {
      out += c;
      continue;
    }
    char n = text[++i];
    switch (n) {
      case '0': case '1': case '2': case '3': case '4': case '5': case '6': out += char(n - '0'); break;
      case 'a': out += '\a'; break;
      case 'b': out += '\b'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'v': out += '\v'; break;
      case 'f': out += '\f'; break;
      case 'r': out += '\r'; break;
      case 'e': out += '\x1b'; break;
      default: out += n;
    }
  }
  return out;
}

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    uint32_t v = uint32_t(uint8_t(bytes[i])) << 16 | uint32_t(uint8_t(bytes[i + 1])) << 8 | uint8_t(bytes[i + 2]);
    out += kBase64[v >> 18];
    out += kBase64[(v >> 12) & 63];
    out += kBase64[(v >> 6) & 63];
    out += kBase64[v & 63];
  }
  if (size_t rest = bytes.size() - i) {
    uint32_t v = uint32_t(uint8_t(bytes[i])) << 16 | (rest == 2 ? uint32_t(uint8_t(bytes[i + 1])) << 8 : 0);
    out += kBase64[v >> 18];
    out += kBase64[(v >> 12) & 63];
    out += rest == 2 ? kBase64[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  uint32_t acc = 0;
  int bits = 0, symbols = 0, padding = 0;
  for (char c : text) {
    if (c == '\r' || c == '\n' || c == ' ' || c == '\t') continue;
    if (c == '=') {
      ++padding;
      ++symbols;
      continue;
    }
    if (padding) return std::nullopt;  // data after padding
    const char* p = c ? std::char_traits<char>::find(kBase64, 64, c) : nullptr;
    if (!p) return std::nullopt;
    acc = (acc << 6) | uint32_t(p - kBase64);
    bits += 6;
    ++symbols;
    if (bits >= 8) {
      bits -= 8;
      out += char((acc >> bits) & 0xff);
    }
  }
  if (symbols % 4 != 0 || padding > 2) return std::nullopt;
  if ((acc & ((1u << bits) - 1)) != 0) return std::nullopt;  // stray bits: not what an encoder writes
  return out;
}

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      out += c;
    } else {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    }
  }
  return out;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

std::string FormBody(const FormFields& fields) {
  std::string body;
  for (const auto& [name, value] : fields) {
    if (!body.empty()) body += '&';
    body += name;
    body += '=';
    body += PercentEncode(value);
  }
  return body;
}

std::vector<std::pair<std::string, std::string>> ParseFormBody(std::string_view body) {
  std::vector<std::pair<std::string, std::string>> fields;
  size_t at = 0;
  while (at <= body.size()) {
    size_t end = body.find('&', at);
    if (end == std::string_view::npos) end = body.size();
    std::string_view pair = body.substr(at, end - at);
    if (!pair.empty()) {
      size_t eq = pair.find('=');
      if (eq == std::string_view::npos)
        fields.emplace_back(PercentDecode(pair), "");
      else
        fields.emplace_back(PercentDecode(pair.substr(0, eq)), PercentDecode(pair.substr(eq + 1)));
    }
    at = end + 1;
  }
  return fields;
}

std::string FormValue(const FormFields& fields, std::string_view name) {
  for (const auto& [n, v] : fields)
    if (n == name) return v;
  return {};
}

std::string UtcTimeText(int64_t seconds) {
  if (seconds == 0) return {};
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (!gmtime_r(&t, &tm)) return {};
  return Fmt("%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
             tm.tm_sec);
}

std::string LocalTimeText(int64_t seconds) {
  if (seconds == 0) return {};
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return {};
  return Fmt("%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
             tm.tm_sec);
}

namespace {

// The fields of a time by position; nullopt when a part is missing or out of range.
std::optional<std::tm> TimeParts(const std::string& t) {
  bool ok = true;
  auto part = [&](size_t at, size_t n, int low, int high) {
    if (t.size() < at + n || !std::isdigit(static_cast<unsigned char>(t[at]))) {
      ok = false;
      return low;
    }
    auto v = ParseInt32(t.substr(at, n));
    if (!v || *v < low || *v > high) ok = false;
    return v ? *v : low;
  };
  std::tm tm{};
  tm.tm_year = part(0, 4, 1970, 9999) - 1900;
  tm.tm_mon = part(5, 2, 1, 12) - 1;
  tm.tm_mday = part(8, 2, 1, 31);
  tm.tm_hour = part(11, 2, 0, 23);
  tm.tm_min = part(14, 2, 0, 59);
  tm.tm_sec = part(17, 2, 0, 60);
  if (!ok) return std::nullopt;
  return tm;
}

}  // namespace

int64_t ParseUtcTime(std::string_view text) {
  std::string t = Trim(text);
  if (t.empty()) return 0;
  std::optional<std::tm> tm = TimeParts(t);
  if (!tm) throw Error(Fmt("Неверное время в ответе сервера: \"%s\"", t.substr(0, 40).c_str()));
  return static_cast<int64_t>(timegm(&*tm));
}

std::optional<int64_t> ParseLocalTime(std::string_view text) {
  std::optional<std::tm> tm = TimeParts(Trim(text));
  if (!tm) return std::nullopt;
  tm->tm_isdst = -1;
  const std::time_t t = std::mktime(&*tm);
  if (t == static_cast<std::time_t>(-1)) return std::nullopt;
  return static_cast<int64_t>(t);
}

std::string AnswerText(const std::vector<AnswerRow>& rows) {
  std::string s = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<result>\n";
  for (const auto& row : rows) {
    s += "<row>";
    for (const auto& [tag, value] : row) s += "<" + tag + ">" + value + "</" + tag + ">";
    s += "</row>\n";
  }
  s += "</result>\n";
  return s;
}

std::string ErrorAnswer(const std::string& text) { return AnswerText({{{"error", text}}}); }

AnswerRow ListRow(const tSystemInfo& info) {
  return {{"id", std::to_string(info.id)},
          {"nums", std::to_string(info.numberCount)},
          {"olap", std::to_string(info.blockLength)},
          {"csize", std::to_string(info.combinationCount)},
          {"title", Base64Encode(info.title)},
          {"descr", Base64Encode(info.description)},
          {"author", info.author},
          {"cl_mail", info.ownerMail},
          {"url", info.url},
          {"created", UtcTimeText(info.created)},
          {"last_download", UtcTimeText(info.lastDownload)},
          {"downloads", std::to_string(info.downloads)}};
}

std::optional<std::vector<tSystemInfo>> ParseListAnswer(std::string_view body) {
  auto rows = ResultRows(body);
  if (!rows) return std::nullopt;
  std::vector<tSystemInfo> list;
  for (const auto& row : *rows) {
    tSystemInfo info;
    info.id = IntField(row, "id", 1, INT32_MAX);
    info.numberCount = uint8_t(IntField(row, "nums", kSystemMinNumbers, kSystemMaxNumbers));
    info.blockLength = uint8_t(IntField(row, "olap", 0, kSystemMaxBlock));
    info.combinationCount = IntField(row, "csize", 1, INT32_MAX);
    info.title = ToInterfaceText(Base64Field(row, "title", kCatalogueMaxTitle));
    info.description = ToInterfaceText(Base64Field(row, "descr", kCatalogueMaxDescription));
    info.author = ToInterfaceText(Limited(Field(row, "author"), kCatalogueMaxLine, "author"));
    info.ownerMail = ToInterfaceText(Limited(Field(row, "cl_mail"), kCatalogueMaxLine, "cl_mail"));
    info.url = ToInterfaceText(Limited(Field(row, "url"), kCatalogueMaxLine, "url"));
    info.created = ParseUtcTime(Field(row, "created"));
    info.lastDownload = ParseUtcTime(Field(row, "last_download"));
    info.downloads = ParseInt32(Trim(Field(row, "downloads"))).value_or(0);
    list.push_back(std::move(info));
  }
  return list;
}

std::string ParseTextAnswer(std::string_view body) {
  auto rows = ResultRows(body);
  if (!rows) return {};
  for (const auto& row : *rows) {
    std::string coded = ExtractBetween(row, "<clist>", "</clist>", MissingEnd::Raise);
    if (coded.empty()) continue;
    std::string_view view = coded;
    if (view.size() > kCatalogueMaxText / 3 * 4 + 8) throw Error("Слишком длинное значение \"clist\" в ответе сервера");
    auto text = Base64Decode(view);
    if (!text) throw BadField("clist");
    return ToInterfaceText(*text);
  }
  return {};
}

int32_t ParseIdAnswer(std::string_view body) {
  auto rows = ResultRows(body);
  if (!rows) return -1;
  for (const auto& row : *rows) {
    auto id = ParseInt32(Trim(ExtractBetween(row, "<id_systems>", "</id_systems>", MissingEnd::Raise)));
    if (id && *id >= 0) return *id;
  }
  return -1;
}

std::string ToInterfaceText(std::string_view utf8) { return Cp1251ToUtf8(Utf8ToCp1251(utf8)); }

}  // namespace px
