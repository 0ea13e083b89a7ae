#include "scenario/scenario_line.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/text.h"
#include "stats/stat_list.h"

namespace px {

namespace {

constexpr const char* kErrorText = "# ERROR #";

bool StartsWithCode(std::string_view text, std::string_view code) {
  return text.size() >= code.size() && SameText(text.substr(0, code.size()), code);
}

// Everything after the first ":", trimmed; empty without one.
std::string AfterColon(std::string_view text) {
  const size_t colon = text.find(':');
  return colon == std::string_view::npos ? std::string() : Trim(text.substr(colon + 1));
}

std::vector<std::string> TrimmedParts(std::string_view text, std::string_view separators) {
  std::vector<std::string> parts = SplitAny(text, separators, true);
  for (auto& p : parts) p = Trim(p);
  return parts;
}

// An empty piece is written as one blank so that the reader, which merges
// runs of delimiters, still finds the pieces after it in their places.
std::string Piece(const std::string& text) { return TrimView(text).empty() ? std::string(" ") : text; }

template <size_t N>
int FirstPrefixCode(std::string_view text, const std::array<const char*, N>& codes) {
  for (size_t i = 0; i < N; ++i)
    if (StartsWithCode(text, codes[i])) return static_cast<int>(i);
  return -1;
}

}  // namespace

const std::array<const char*, kListSources>& ListSourceCodes() {
  static const std::array<const char*, kListSources> codes = {"FULL", "EXCL", "CURR"};
  return codes;
}

const std::array<const char*, kListSources>& ListSourceTexts() {
  static const std::array<const char*, kListSources> texts = {
      "Исходный список (рекомендуется для тестов)",
      "Удалить N последних тиражей (для прогнозов)",
      "Текущий список (для последовательного выполнения)"};
  return texts;
}

const std::array<const char*, kListSources>& ListSourceShortTexts() {
  static const std::array<const char*, kListSources> texts = {"Исходный список", "Исключить %d тиражей",
                                                              "Текущий список"};
  return texts;
}

const std::array<const char*, kStakeModes>& StakeModeCodes() {
  static const std::array<const char*, kStakeModes> codes = {"EXT",  "RAND", "FIRST", "LAST", "ALL",
                                                             "SYSA", "SYSC", "STOP",  "SKIP", "NONE"};
  return codes;
}

const std::array<const char*, kStakeModes>& StakeModeTexts() {
  static const std::array<const char*, kStakeModes> texts = {
      "Сделать расширенную ставку",
      "Выбрать одну случайную комбинацию",
      "Выбрать первую комбинацию в списке",
      "Выбрать последнюю комбинацию в списке",
      "Выбрать все комбинации (не рекомендуется)",
      "Системная игра [вся система]",
      "Системная игра [система * комбинации]",
      "Остановить выполнение сценария",
      "Пропустить (игнорировать) эту ставку",
      "Не делать ставок (для последовательного выполнения)"};
  return texts;
}

const std::array<const char*, kStakeModes>& StakeModeShortTexts() {
  static const std::array<const char*, kStakeModes> texts = {
      "Расширенная", "Случайно",      "Первая",     "Последняя",  "Все",
      "Система [все]", "Система [комб]", "Остановить", "Пропустить", "Не делать ставок"};
  return texts;
}

std::string ListSourceShortText(uint8_t source, int32_t excludeDraws) {
  if (source >= kListSources) return kErrorText;
  if (source == static_cast<uint8_t>(ListSource::Exclude)) return Fmt(ListSourceShortTexts()[1], excludeDraws);
  return ListSourceShortTexts()[source];
}

std::string StakeModeShortText(uint8_t mode) {
  return mode < kStakeModes ? StakeModeShortTexts()[mode] : kErrorText;
}

bool IsSeparatorLine(std::string_view text) { return TrimView(text).empty(); }

ScenarioLineText ParseLineText(std::string_view text) {
  ScenarioLineText line;
  const std::vector<std::string> fields = TrimmedParts(text, "|");
  // A tenth field is what followed a "|" inside the comment: dropped.
  for (size_t i = 0; i < fields.size() && i < 2 + kScenarioFilters; ++i) {
    if (i == 0)
      line.options = fields[i];
    else if (i <= kScenarioFilters)
      line.filters[i - 1] = fields[i];
    else
      line.comment = fields[i];
  }
  return line;
}

std::string FormatLineText(const ScenarioLineText& line) {
  std::string text = Piece(line.options);
  for (const auto& f : line.filters) {
    text += '|';
    text += Piece(f);
  }
  text += '|';
  text += line.comment;
  return text;
}

ScenarioLine ParseLine(std::string_view text, const TStatList& registry) {
  const ScenarioLineText parts = ParseLineText(text);
  ScenarioLine line;
  line.options = ParseOptions(parts.options);
  for (int i = 0; i < kScenarioFilters; ++i) line.filters[i] = ParseFilter(parts.filters[i], registry);
  line.comment = parts.comment;
  return line;
}

std::string FormatLine(const ScenarioLine& line) {
  ScenarioLineText parts;
  parts.options = FormatOptions(line.options);
  for (int i = 0; i < kScenarioFilters; ++i) parts.filters[i] = FormatFilter(line.filters[i]);
  parts.comment = line.comment;
  return FormatLineText(parts);
}

ScenarioOptions ParseOptions(std::string_view text) {
  ScenarioOptions options;
  const std::vector<std::string> parts = TrimmedParts(text, "#");
  if (parts.empty()) return options;
  const int source = FirstPrefixCode(parts[0], ListSourceCodes());
  options.listSource = static_cast<uint8_t>(source < 0 ? 0 : source);
  options.excludeDraws = IntOr(AfterColon(parts[0]), 0);
  if (parts.size() > 1) {
    for (int m = 0; m < kStakeModes; ++m)
      if (SameText(parts[1], StakeModeCodes()[m])) options.stakeMode = static_cast<uint8_t>(m);
  }
  for (size_t i = 2; i < parts.size(); ++i) {
    if (SameText(parts[i], "CLR")) options.clearStakes = true;
    if (SameText(parts[i], "NEX")) options.newOnly = true;
  }
  return options;
}

std::string FormatOptions(const ScenarioOptions& options) {
  std::string text = std::string(CodeOr0(options.listSource, ListSourceCodes())) + ":" +
                     std::to_string(options.excludeDraws) + "#" + CodeOr0(options.stakeMode, StakeModeCodes());
  if (options.clearStakes) text += "#CLR";
  if (options.newOnly) text += "#NEX";
  return text;
}

TFilterItem ParseFilter(std::string_view text, const TStatList& registry) {
  TFilterItem item;
  if (TrimView(text).empty()) return item;
  item.defined = true;
  const std::vector<std::string> parts = TrimmedParts(text, "#");
  const std::string p1 = parts.empty() ? std::string() : parts[0];
  // The letters are written in capitals and read that way.
  item.bottomUp = p1.find('B') != std::string::npos;
  item.multiSelect = p1.find('M') != std::string::npos;
  item.keepSelected = p1.find('F') != std::string::npos;
  item.sortColumn = p1.size() > 3 ? IntOr(std::string_view(p1).substr(3), 1) : 1;

  if (parts.size() > 1) {
    const std::string& p2 = parts[1];
    item.statText = p2;
    const std::string code = Trim(std::string_view(p2).substr(0, p2.find(':')));
    item.drawCounts = AfterColon(p2);
    // Whole-code match: "POS12" must not fall to "POS1".
    const int method = code.empty() ? -1 : registry.FindByCode(code);
    if (method >= 0) item.statCode = registry.CodeOf(method);
  }
  if (parts.size() > 2) {
    const int mode = FirstPrefixCode(parts[2], ConditionModeCodes());
    if (mode >= 0) {
      item.conditionMode = static_cast<uint8_t>(mode);
      item.conditionValues = AfterColon(parts[2]);
    }
  }
  if (parts.size() > 3) {
    const int mode = FirstPrefixCode(parts[3], StopModeCodes());
    item.stopMode = static_cast<uint8_t>(mode < 0 ? 0 : mode);
    item.stopValue = IntOr(AfterColon(parts[3]), 1);
  } else {
    item.stopMode = static_cast<uint8_t>(StopMode::AllRows);
    item.stopValue = 0;
  }
  if (parts.size() > 4) {
    item.weightOverride = true;
    const std::vector<std::string> w = TrimmedParts(parts[4], ":");
    auto piece = [&](size_t i) { return i < w.size() ? std::string_view(w[i]) : std::string_view(); };
    item.coefCount = ParseCoefficient(piece(0));
    item.coefDeviation = ParseCoefficient(piece(1));
    item.coefDepth = ParseCoefficient(piece(2));
    item.usePercents = piece(3) == "1";
    item.useAbs = piece(4) == "1";
  }
  return item;
}

std::string FormatFilter(const TFilterItem& item) {
  if (!item.defined) return std::string();
  std::string text = FilterLetters(item) + std::to_string(item.sortColumn);
  const std::vector<std::string> parts = {
      Piece(item.statCode.empty() ? item.statText : item.statCode + ":" + item.drawCounts),
      std::string(CodeOr0(item.conditionMode, ConditionModeCodes())) + ":" + item.conditionValues,
      std::string(CodeOr0(item.stopMode, StopModeCodes())) + ":" + std::to_string(item.stopValue)};
  for (const auto& part : parts) {
    text += '#';
    text += part;
  }
  if (item.weightOverride) {
    text += '#';
    for (const std::string& piece : {FormatCoefficient(item.coefCount), FormatCoefficient(item.coefDeviation),
                                     FormatCoefficient(item.coefDepth), std::string(item.usePercents ? "1" : "0"),
                                     std::string(item.useAbs ? "1" : "0")}) {
      text += piece;
      text += ':';
    }
    text.pop_back();
  }
  return text;
}

std::string FilterLetters(const TFilterItem& item) {
  std::string text;
  text += item.bottomUp ? 'B' : 'T';
  text += item.multiSelect ? 'M' : 'S';
  text += item.keepSelected ? 'F' : 'D';
  return text;
}

std::string FilterStatCode(const TFilterItem& item) {
  if (!item.statCode.empty()) return item.statCode;
  return Trim(std::string_view(item.statText).substr(0, item.statText.find(':')));
}

std::string OptionsSummary(const ScenarioOptions& options) {
  std::string text = ListSourceShortText(options.listSource, options.excludeDraws) + "; " +
                     StakeModeShortText(options.stakeMode);
  if (options.clearStakes) text += "; Удалить ставки";
  text += options.newOnly ? "; Только новые ставки" : "; Все создаваемые ставки";
  return text;
}

std::string FormatCoefficient(long double value) {
  if (!std::isfinite(value) || value == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14Le", value);
  // buf: [-]d.dddddddddddddde[+-]x
  std::string s(buf);
  const bool negative = s[0] == '-';
  if (negative) s.erase(0, 1);
  const size_t e = s.find('e');
  const int exponent = std::atoi(s.c_str() + e + 1);
  std::string digits = s.substr(0, 1) + s.substr(2, e - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  // The first digit stands at 10^exponent.
  std::string out;
  const int intDigits = exponent + 1;
  if (intDigits <= 0) {
    out = "0." + std::string(static_cast<size_t>(-intDigits), '0') + digits;
  } else if (static_cast<size_t>(intDigits) >= digits.size()) {
    out = digits + std::string(static_cast<size_t>(intDigits) - digits.size(), '0');
  } else {
    out = digits.substr(0, static_cast<size_t>(intDigits)) + "." + digits.substr(static_cast<size_t>(intDigits));
  }
  return negative ? "-" + out : out;
}

long double ParseCoefficient(std::string_view text) {
  std::string kept;
  for (char c : text)
    if ((c >= '0' && c <= '9') || c == '-' || c == '.' || c == ',') kept += c;
  return ParseDecimal(kept).value_or(0.0L);
}

}  // namespace px
