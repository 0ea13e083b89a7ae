#include "stats/custom_stat.h"

#include <algorithm>

#include "core/config.h"
#include "core/text.h"
#include "stats/stat_list.h"

namespace px {

namespace {
// Replaces the first "%d" with the index; a format without one is returned as is.
std::string WithIndex(const char* format, int index) {
  std::string f(format);
  size_t at = f.find("%d");
  if (at != std::string::npos) f.replace(at, 2, std::to_string(index));
  return f;
}
}  // namespace

std::pair<int, int> StatClassInfo::IndexRange(const GameConfig& config) const {
  return indexRange ? indexRange(config) : std::pair<int, int>{0, 0};
}
std::string StatClassInfo::CodeOf(int index) const { return WithIndex(codeFormat, index); }
std::string StatClassInfo::TitleOf(int index) const {
  return titleOf ? titleOf(index) : WithIndex(titleFormat, index);
}
std::string StatClassInfo::HelpCode(int index) const {
  return WithIndex(helpCodeFormat ? helpCodeFormat : codeFormat, index);
}

TCustomStat::TCustomStat(const TStatList& registry, const StatClassInfo& info, int index)
    : registry_(registry), config_(registry.Config()), draws_(registry.Draws()), info_(&info), index_(index) {}

DrawRecord TCustomStat::ReadDraw(int index, bool sorted) const {
  if (!draws_ || index < 0 || index >= draws_->Count()) return DrawRecord{};
  DrawRecord r = draws_->At(index);
  if (sorted) SortFive(r.numbers);
  return r;
}

int64_t TCustomStat::ValueFromText(const std::string& text) const { return IntOr(text, 0); }

int64_t TCustomStat::NumericValue(const std::string& text) const {
  return info_->numericValues ? ValueFromText(text) : 0;
}

void TCustomStat::CollectCandidates(int, TStatDrawArray&) { ClearWork(); }

void TCustomStat::LoadDraws(int index, int otherIndex, bool sorted) {
  CurrentDraw = ReadDraw(index, sorted);
  if (info_->features & kFeatD) PreviousDraw = ReadDraw(otherIndex, sorted);
}

void TCustomStat::CollectCombinationValues(const Combination&, TStatDrawArray&) {
  ClearWork();
  Work.Count = 1;
}

void TCustomStat::CollectDrawValues(int index, int lastIndex, TLastValueArray&, StatState&, TStatDrawArray&,
                                    bool sorted) {
  LoadDraws(index, lastIndex, sorted);
  ClearWork();
  Work.LastDraw = CurrentDraw.number;
  Work.PrevDraw = CurrentDraw.number;
  Work.Depth = lastIndex - index + 1;
  Work.Count = 1;
}

void TCustomStat::PrepareOccurrences(int fromIndex, bool sorted, int lastIndex) {
  occurrences_ = Occurrences{};
  if (info_->usesDrawState || !draws_) return;
  const int last = draws_->Count() - 1;
  StatState state{};
  for (int i = std::max(fromIndex, 0); i <= last; ++i) {
    TLastValueArray lastValues;
    TStatDrawArray values;
    CollectDrawValues(i, lastIndex, lastValues, state, values, sorted);
    for (const StatValue& v : values) {
      auto& list = occurrences_.at[v.Key()];
      if (list.empty() || list.back() != i) list.push_back(i);
    }
  }
  occurrences_.ready = true;
  occurrences_.sorted = sorted;
  occurrences_.lastIndex = lastIndex;
  occurrences_.from = std::max(fromIndex, 0);
}

int32_t TCustomStat::FindNextOccurrence(const StatValue& value, int fromIndex, bool sorted, int lastIndex) {
  const int last = draws_ ? draws_->Count() - 1 : -1;
  if (fromIndex > last) return -1;
  if (occurrences_.ready && occurrences_.sorted == sorted && occurrences_.lastIndex == lastIndex &&
      fromIndex >= occurrences_.from) {
    auto it = occurrences_.at.find(value.Key());
    if (it == occurrences_.at.end()) return -1;
    auto pos = std::lower_bound(it->second.begin(), it->second.end(), fromIndex);
    return pos == it->second.end() ? -1 : draws_->At(*pos).number;
  }
  StatState state{};
  const uint64_t key = value.Key();
  for (int i = std::max(fromIndex, 0); i <= last; ++i) {
    TLastValueArray lastValues;
    TStatDrawArray values;
    CollectDrawValues(i, lastIndex, lastValues, state, values, sorted);
    if (values.Find(key) >= 0) return values[values.Find(key)].LastDraw;
  }
  return -1;
}

void TCustomStat::MatchBatch(const Combination* combs, size_t n, const TStatDrawArray& selected, int lastIndex,
                             bool sorted, FilterMode mode, uint8_t* out) {
  for (size_t i = 0; i < n; ++i) out[i] = MatchesCombination(combs[i], selected, lastIndex, sorted, mode) ? 1 : 0;
}

size_t TCustomStat::FilterBatch(const Combination* in, size_t n, Combination* out, const TStatDrawArray& selected,
                                int lastIndex, bool sorted, FilterMode mode) {
  constexpr size_t kChunk = 4096;
  uint8_t match[kChunk];
  const uint8_t drop = mode == FilterMode::RemoveSelected ? 1 : 0;
  size_t kept = 0;
  for (size_t from = 0; from < n; from += kChunk) {
    const size_t m = std::min(kChunk, n - from);
    MatchBatch(in + from, m, selected, lastIndex, sorted, mode, match);
    for (size_t i = 0; i < m; ++i) {
      // Written always, counted when kept: out never passes the entry read.
      const Combination c = in[from + i];
      out[kept] = c;
      kept += (match[i] != 0) != drop ? 1 : 0;
    }
  }
  return kept;
}

std::string TCustomGraphStat::ValueText(const StatValue& v) const { return std::to_string(v.Key1); }

int32_t TCustomGraphStat::GraphValueOfDraw(int index, int otherIndex, bool sorted) {
  return GraphValue(ReadDraw(index, sorted).numbers, index, otherIndex, sorted);
}

std::string TCustomValuesStat::ValueText(const StatValue& v) const { return std::to_string(v.Key1); }
std::string TCustomNumbersStat::ValueText(const StatValue& v) const { return std::to_string(v.Key1); }

std::string TCustomRatioStat::ValueText(const StatValue& v) const {
  return std::to_string(v.Key1) + ":" + std::to_string(5 - int(v.Key1));
}

int64_t TCustomRatioStat::ValueFromText(const std::string& text) const {
  return IntOr(text.substr(0, text.find(':')), 0);
}

namespace {
// The UTF-8 characters of a text, at most `limit` of them.
std::vector<std::string> Characters(const std::string& text, size_t limit) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size() && out.size() < limit;) {
    size_t len = 1;
    auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0xF0) len = 4;
    else if (c >= 0xE0) len = 3;
    else if (c >= 0xC0) len = 2;
    out.push_back(text.substr(i, len));
    i += len;
  }
  return out;
}
}  // namespace

std::string TCustomMaskStat::ValueText(const StatValue& v) const {
  std::string letters;
  for (int bit = 4; bit >= 0; --bit) letters += (v.Key1 >> bit) & 1 ? OneSymbol() : ZeroSymbol();
  return Fmt("%s (%.3d)", letters.c_str(), int(v.Key1));
}

int64_t TCustomMaskStat::ValueFromText(const std::string& text) const {
  int32_t pattern = 0;
  const std::string one = OneSymbol();
  auto chars = Characters(text, 5);
  for (size_t i = 0; i < 5; ++i) pattern = pattern * 2 + (i < chars.size() && chars[i] == one ? 1 : 0);
  return pattern;
}

void TCustomMaskStat::CollectCandidates(int lastIndex, TStatDrawArray& values) {
  TCustomStat::CollectCandidates(lastIndex, values);
  for (int p = 0; p < 32; ++p) {
    Work.Key1 = uint16_t(p);
    AddValue(values, Work, false);
  }
}

namespace {
const char* const kGroupLabels[kStatGroups] = {"num", "sum", "dif", "grp", "mtx", "sgm", "seq",
                                               "rep", "ser", "per", "mov", "vlm", "shr"};
const char* const kGroupTitles[kStatGroups] = {
    "Числа тиража",
    "Сумма чисел тиража",
    "Разности между числами тиража",
    "Каналы (группы чисел)",
    "Матрица тиража",
    "Сегменты матрицы тиража",
    "Последовательности чисел в одном тираже",
    "Повторяющиеся числа в нескольких тиражах",
    "Серии (цепочки) значений",
    "Периоды повторения значений",
    "Переходы (изменения) значений между тиражами",
    "Характеристическое число Велмара",
    "Методы шинковки",
};
}  // namespace

const char* GroupLabel(int group) { return group >= 0 && group < kStatGroups ? kGroupLabels[group] : "#ERROR#"; }

std::string GroupTitle(int group) {
  if (group < 0 || group >= kStatGroups) return "#ERROR#";
  return Fmt("{ %s } %s", kGroupLabels[group], kGroupTitles[group]);
}

}  // namespace px
