// The game configuration: the parameters the user may change, kept in
// Pentalux5_5v36.ini in the data folder. One GameConfig is shared by all
// readers through the statistic registry.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <cstdint>
#include <string>
#include <vector>

namespace px {

class Env;
class IniFile;

// Money: the amount times 10000.
using Currency = int64_t;
Currency CurrencyOf(long double amount);           // rounded to the nearest unit; |amount| <= kMaxMoney
// The largest amount, either sign, that money may be: a Currency holds about
// 9.2e14, and this leaves room to add a prize to a cost.
inline constexpr long double kMaxMoney = 9.0e14L;
// nullopt for what is no amount: beyond kMaxMoney, infinite or not a number.
std::optional<Currency> MoneyOf(long double amount);
long double CurrencyValue(Currency value);         // back to the amount

struct PrizeEntry {
  uint8_t overlap = 0;
  Currency profit = 0;
};
using PrizeTable = std::vector<PrizeEntry>;

constexpr int32_t kMinExtendedStake = 6, kMaxExtendedStake = 12;

// The editable core of the configuration, in field order.
struct TConfigData {
  int32_t MatrixCols = 6;
  int32_t ChannelSize = 6;
  Currency Cost = 0;
  int32_t MaxStake = 12;
  PrizeTable Profits;
  long double Count = 0;
  long double Deviation = -1;
  long double Level = 1;
  bool UsePercents = false;
  bool UseAbsValues = false;
  std::array<uint8_t, 36> MatrixSegments = MakeSegments();

  // The most numbers an extended stake may have: MaxStake within what the
  // settings dialog allows and a stake record holds (6..12).
  int32_t LargestExtendedStake() const { return std::clamp(MaxStake, kMinExtendedStake, kMaxExtendedStake); }

  static constexpr std::array<uint8_t, 36> MakeSegments() {
    std::array<uint8_t, 36> s{};
    for (auto& v : s) v = 1;
    return s;
  }
  bool operator==(const TConfigData&) const;
};
bool operator==(const PrizeEntry& a, const PrizeEntry& b);

struct GameConfig {
  TConfigData data;
  uint8_t CombsGenerateMode = 0;        // 0..4
  std::string CombsGenerateParameters;  // at most 255 characters
  std::array<std::string, 3> Formula = {"(n1+n2+n3)/(n4+n5)", "(n4+n5)/(n1+n2+n3)", "(n1+n2)/(n3+n4+n5)"};
  std::array<uint8_t, 3> FormulaDigits = {2, 2, 2};

  int MatrixRowsCount() const;  // ceil(36 / MatrixCols)
  int SegmentOf(int n) const { return data.MatrixSegments[n - 1]; }
};

struct ProxySettings {
  int32_t mode = 0;  // 0 none, 1 automatic search, 2 manual
  std::string server;
  int32_t port = 80;
  std::string user;
  std::string password;
  bool saved = false;
};

// File name of the configuration in a data folder.
std::string ConfigPath(const std::string& dataDir);

// Each function reads or writes the file whole. Reading: a missing file gives
// the defaults; a failure throws Error("Ошибка чтения файла конфигурации!...")
// and leaves the fields read so far changed, the others as they were.
// Writing: a failure throws Error("Ошибка записи в файл конфигурации!...")
// and the file stays as it was.
void LoadGameConfig(Env& env, const std::string& path, GameConfig& config);
void SaveGameConfig(Env& env, const std::string& path, const GameConfig& config);
void SaveGenerationDefaults(Env& env, const std::string& path, const GameConfig& config);
void SaveShredding(Env& env, const std::string& path, const GameConfig& config);
void LoadProxySettings(Env& env, const std::string& path, ProxySettings& proxy);
void SaveProxySettings(Env& env, const std::string& path, ProxySettings& proxy);

// The same on an INI store in memory, for callers that hold one.
void ReadGameConfig(const IniFile& ini, GameConfig& config);
void WriteGameConfig(IniFile& ini, const GameConfig& config);

// MatrixSegments text: one digit per number.
std::array<uint8_t, 36> ParseSegments(const std::string& text);
std::string SegmentsText(const std::array<uint8_t, 36>& segments);

// The "Вес" column of the statistics table.
long double Weight(const TConfigData& config, bool prefetch, int64_t count, int64_t maxDepth, int64_t total,
                   int64_t depth, long double norm);

// Every key with its effective value, in file order, for display.
std::vector<std::pair<std::string, std::string>> ConfigListing(const GameConfig& config, const ProxySettings& proxy);

}  // namespace px
