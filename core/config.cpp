#include "core/config.h"

#include <algorithm>
#include <cmath>

#include "core/arith.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/ini.h"
#include "core/text.h"

namespace px {

namespace {
constexpr const char* kReadError = "Ошибка чтения файла конфигурации!";
constexpr const char* kWriteError = "Ошибка записи в файл конфигурации!";
constexpr int kMaxPrizeEntries = 100;  // a hostile count must not exhaust memory

int InRangeOr(int value, int lo, int hi, int fallback) { return value >= lo && value <= hi ? value : fallback; }

// Cuts to at most `limit` characters without splitting a UTF-8 sequence.
std::string CutChars(const std::string& text, size_t limit) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (chars == limit) return text.substr(0, i);
      ++chars;
    }
  }
  return text;
}

template <class Fn>
void Modify(Env& env, const std::string& path, Fn&& change) {
  try {
    IniFile ini = IniFile::Load(env, path);
    change(ini);
    ini.Save(env, path);
  } catch (const std::exception& e) {
    throw OperationError(kWriteError, e.what());
  }
}

IniFile LoadForReading(Env& env, const std::string& path) {
  try {
    return IniFile::Load(env, path);
  } catch (const std::exception& e) {
    throw OperationError(kReadError, e.what());
  }
}
}  // namespace

Currency CurrencyOf(long double amount) { return static_cast<Currency>(std::nearbyint(amount * 10000.0L)); }
std::optional<Currency> MoneyOf(long double amount) {
  if (!(std::fabs(amount) <= kMaxMoney)) return std::nullopt;
  return CurrencyOf(amount);
}
long double CurrencyValue(Currency value) { return static_cast<long double>(value) / 10000.0L; }

bool operator==(const PrizeEntry& a, const PrizeEntry& b) { return a.overlap == b.overlap && a.profit == b.profit; }
bool TConfigData::operator==(const TConfigData&) const = default;

int GameConfig::MatrixRowsCount() const { return MatrixRows(data.MatrixCols); }

std::string ConfigPath(const std::string& dataDir) { return JoinPath(dataDir, std::string(kDataBaseName) + ".ini"); }

std::array<uint8_t, 36> ParseSegments(const std::string& text) {
  auto s = TConfigData::MakeSegments();
  for (size_t i = 0; i < s.size() && i < text.size(); ++i) {
    char c = text[i];
    // Segments are 1..9; a "0" typed into the file is no segment either.
    if (c >= '1' && c <= '9') s[i] = static_cast<uint8_t>(c - '0');
  }
  return s;
}

std::string SegmentsText(const std::array<uint8_t, 36>& segments) {
  std::string out;
  for (uint8_t v : segments) out += std::to_string(v);
  return out;
}

namespace {
// Money the file cannot hold is read like any other bad value: the field
// keeps its default.
Currency ReadMoney(const IniFile& ini, std::string_view section, const std::string& key) {
  return MoneyOf(ini.ReadDecimal(section, key, 0)).value_or(0);
}
}  // namespace

void ReadGameConfig(const IniFile& ini, GameConfig& c) {
  c.CombsGenerateMode = static_cast<uint8_t>(InRangeOr(ini.ReadInt("GLOBAL", "CombsGenerateMode", 0), 0, 4, 0));
  c.CombsGenerateParameters = CutChars(ini.ReadString("GLOBAL", "CombsGenerateParameters", ""), 255);

  TConfigData& d = c.data;
  // Both are divisors of the number geometry.
  d.MatrixCols = InRangeOr(ini.ReadInt("GLOBAL", "MatrixCols", 6), 1, 36, 6);
  d.MatrixSegments = ParseSegments(ini.ReadString("GLOBAL", "MatrixSegments", ""));
  d.ChannelSize = InRangeOr(ini.ReadInt("GLOBAL", "ChannelSize", 6), 1, 36, 6);

  d.Cost = ReadMoney(ini, "STAKES", "Cost");
  d.MaxStake = std::clamp(ini.ReadInt("STAKES", "MaxStake", 12), kMinExtendedStake, kMaxExtendedStake);
  int entries = std::clamp(ini.ReadInt("STAKES", "Profits", 0), 0, kMaxPrizeEntries);
  d.Profits.clear();
  for (int i = 0; i < entries; ++i) {
    PrizeEntry e;
    e.overlap = static_cast<uint8_t>(std::clamp(ini.ReadInt("STAKES", Fmt("Profit_%d_Overlap", i), 0), 0, 255));
    e.profit = ReadMoney(ini, "STAKES", Fmt("Profit_%d_Profit", i));
    d.Profits.push_back(e);
  }

  d.Count = ini.ReadDecimal("CDL", "Count", 0);
  d.Deviation = ini.ReadDecimal("CDL", "Deviation", -1);
  d.Level = ini.ReadDecimal("CDL", "Level", 1);
  d.UsePercents = ini.ReadInt("CDL", "UsePercents", 0) > 0;
  d.UseAbsValues = ini.ReadInt("CDL", "UseAbsValues", 0) > 0;

  GameConfig defaults;
  for (int i = 0; i < 3; ++i) {
    c.Formula[i] = ini.ReadString("SHREDDING", Fmt("Formula%d", i + 1), defaults.Formula[i]);
    c.FormulaDigits[i] = static_cast<uint8_t>(
        std::clamp(ini.ReadInt("SHREDDING", Fmt("Formula%dDigits", i + 1), defaults.FormulaDigits[i]), 0, 15));
  }
}

void WriteGameConfig(IniFile& ini, const GameConfig& c) {
  const TConfigData& d = c.data;
  ini.WriteInt("GLOBAL", "MatrixCols", d.MatrixCols);
  ini.WriteString("GLOBAL", "MatrixSegments", SegmentsText(d.MatrixSegments));
  ini.WriteInt("GLOBAL", "ChannelSize", d.ChannelSize);
  ini.WriteDecimal("STAKES", "Cost", CurrencyValue(d.Cost));
  ini.WriteInt("STAKES", "MaxStake", d.MaxStake);
  ini.WriteInt("STAKES", "Profits", static_cast<int64_t>(d.Profits.size()));
  for (size_t i = 0; i < d.Profits.size(); ++i) {
    ini.WriteInt("STAKES", Fmt("Profit_%zu_Overlap", i), d.Profits[i].overlap);
    ini.WriteDecimal("STAKES", Fmt("Profit_%zu_Profit", i), CurrencyValue(d.Profits[i].profit));
  }
  ini.WriteDecimal("CDL", "Count", d.Count);
  ini.WriteDecimal("CDL", "Deviation", d.Deviation);
  ini.WriteDecimal("CDL", "Level", d.Level);
  ini.WriteBool("CDL", "UsePercents", d.UsePercents);
  ini.WriteBool("CDL", "UseAbsValues", d.UseAbsValues);
}

void LoadGameConfig(Env& env, const std::string& path, GameConfig& config) {
  ReadGameConfig(LoadForReading(env, path), config);
}

void SaveGameConfig(Env& env, const std::string& path, const GameConfig& config) {
  Modify(env, path, [&](IniFile& ini) { WriteGameConfig(ini, config); });
}

void SaveGenerationDefaults(Env& env, const std::string& path, const GameConfig& config) {
  Modify(env, path, [&](IniFile& ini) {
    ini.WriteInt("GLOBAL", "CombsGenerateMode", config.CombsGenerateMode);
    ini.WriteString("GLOBAL", "CombsGenerateParameters", config.CombsGenerateParameters);
  });
}

void SaveShredding(Env& env, const std::string& path, const GameConfig& config) {
  Modify(env, path, [&](IniFile& ini) {
    for (int i = 0; i < 3; ++i) ini.WriteString("SHREDDING", Fmt("Formula%d", i + 1), config.Formula[i]);
    for (int i = 0; i < 3; ++i) ini.WriteInt("SHREDDING", Fmt("Formula%dDigits", i + 1), config.FormulaDigits[i]);
  });
}

void LoadProxySettings(Env& env, const std::string& path, ProxySettings& p) {
  IniFile ini = LoadForReading(env, path);
  p.server = ini.ReadString("PROXY", "ProxyServer", "");
  p.mode = ini.ReadInt("PROXY", "ProxyMode", p.server.empty() ? 0 : 2);
  if (p.mode < 0 || p.mode > 2) p.mode = p.server.empty() ? 0 : 2;
  p.port = ini.ReadInt("PROXY", "ProxyPort", 80);
  p.user = ini.ReadString("PROXY", "ProxyUsername", "");
  p.password = ini.ReadString("PROXY", "ProxyPassword", "");
  p.saved = true;
}

void SaveProxySettings(Env& env, const std::string& path, ProxySettings& p) {
  Modify(env, path, [&](IniFile& ini) {
    ini.WriteInt("PROXY", "ProxyMode", p.mode);
    ini.WriteString("PROXY", "ProxyServer", p.server);
    ini.WriteInt("PROXY", "ProxyPort", p.port);
    ini.WriteString("PROXY", "ProxyUsername", p.user);
    ini.WriteString("PROXY", "ProxyPassword", p.password);
  });
  p.saved = true;
}

long double Weight(const TConfigData& c, bool prefetch, int64_t count, int64_t maxDepth, int64_t total,
                   int64_t depth, long double norm) {
  long double x, y, z;
  if (c.UsePercents) {
    x = total == 0 ? 0.0L : static_cast<long double>(count) * 100.0L / static_cast<long double>(total);
    y = (prefetch && norm != 0) ? (static_cast<long double>(count) - norm) * 100.0L / norm : 0.0L;
    z = maxDepth == 0 ? 0.0L : static_cast<long double>(depth) * 100.0L / static_cast<long double>(maxDepth);
  } else {
    x = static_cast<long double>(count);
    y = prefetch ? static_cast<long double>(count) - norm : 0.0L;
    z = static_cast<long double>(depth);
  }
  if (c.UseAbsValues) {
    x = std::fabs(x);
    y = std::fabs(y);
    z = std::fabs(z);
  }
  return c.Count * x + c.Deviation * y + c.Level * z;
}

std::vector<std::pair<std::string, std::string>> ConfigListing(const GameConfig& c, const ProxySettings& p) {
  const TConfigData& d = c.data;
  char sep = LocaleDecimalSeparator();
  std::vector<std::pair<std::string, std::string>> out = {
      {"MatrixCols", std::to_string(d.MatrixCols)},
      {"MatrixSegments", SegmentsText(d.MatrixSegments)},
      {"ChannelSize", std::to_string(d.ChannelSize)},
      {"CombsGenerateMode", std::to_string(c.CombsGenerateMode)},
      {"CombsGenerateParameters", c.CombsGenerateParameters},
      {"Cost", FormatDecimal(CurrencyValue(d.Cost), sep)},
      {"MaxStake", std::to_string(d.MaxStake)},
      {"Profits", std::to_string(d.Profits.size())},
  };
  for (size_t i = 0; i < d.Profits.size(); ++i) {
    out.emplace_back(Fmt("Profit_%zu_Overlap", i), std::to_string(d.Profits[i].overlap));
    out.emplace_back(Fmt("Profit_%zu_Profit", i), FormatDecimal(CurrencyValue(d.Profits[i].profit), sep));
  }
  out.emplace_back("Count", FormatDecimal(d.Count, sep));
  out.emplace_back("Deviation", FormatDecimal(d.Deviation, sep));
  out.emplace_back("Level", FormatDecimal(d.Level, sep));
  out.emplace_back("UsePercents", d.UsePercents ? "1" : "0");
  out.emplace_back("UseAbsValues", d.UseAbsValues ? "1" : "0");
  for (int i = 0; i < 3; ++i) out.emplace_back(Fmt("Formula%d", i + 1), c.Formula[i]);
  for (int i = 0; i < 3; ++i) out.emplace_back(Fmt("Formula%dDigits", i + 1), std::to_string(c.FormulaDigits[i]));
  out.emplace_back("ProxyMode", std::to_string(p.mode));
  out.emplace_back("ProxyServer", p.server);
  out.emplace_back("ProxyPort", std::to_string(p.port));
  out.emplace_back("ProxyUsername", p.user);
  out.emplace_back("ProxyPassword", p.password.empty() ? "" : "********");
  return out;
}

}  // namespace px
