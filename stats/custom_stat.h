// The base of every statistic. What a statistic class says about itself
// without an instance (code, title, group, features, index range, factory) is
// its StatClassInfo, which the registry holds; instances are made per
// computation and freed at its end.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/archive.h"
#include "core/arith.h"
#include "stats/stat_value.h"

namespace px {

struct GameConfig;
class TStatList;
class TCustomStat;

enum StatFeature : uint8_t { kFeatS = 1, kFeatN = 2, kFeatD = 4, kFeatP = 8, kFeatG = 16 };

inline constexpr int kStatGroups = 13;

// Whether a filter keeps the combinations that have a selected value or
// removes them ("Оставить выделенные" / "Удалить выделенные").
enum class FilterMode : uint8_t { KeepSelected = 0, RemoveSelected = 1 };

struct StatClassInfo {
  const char* className;       // "TstValues"
  const char* codeFormat;      // "NUMS", "POS%d"
  const char* titleFormat;     // "%d" stands for the index; group 12 adds "%s" for the formula
  const char* helpCodeFormat;  // null: the code format
  int group;                   // 0..12
  uint8_t features;            // S, N, D, P bits
  bool isGraph = false;
  bool available = true;
  bool listed = true;
  bool numericValues = true;
  bool indexed = false;
  // The indexes of an indexed class; an empty range (lo > hi) yields no method.
  std::pair<int, int> (*indexRange)(const GameConfig&) = nullptr;
  std::unique_ptr<TCustomStat> (*create)(const TStatList& registry, int index) = nullptr;
  // A title that needs more than the index filled in; null: titleFormat.
  std::string (*titleOf)(int index) = nullptr;
  // The values of a draw depend on the state carried from the draws before
  // it, so occurrences cannot be looked up draw by draw in advance.
  bool usesDrawState = false;

  uint8_t DisplayFeatures() const { return uint8_t(features | (isGraph ? kFeatG : 0)); }
  bool HasFullSet() const { return (features & kFeatN) != 0; }
  std::pair<int, int> IndexRange(const GameConfig& config) const;
  std::string CodeOf(int index) const;
  std::string TitleOf(int index) const;
  std::string HelpCode(int index) const;
};

template <class T>
std::unique_ptr<TCustomStat> MakeStat(const TStatList& registry, int index) {
  return std::make_unique<T>(registry, index);
}
// For classes made from a shared template, which take their description.
template <class T, const StatClassInfo* Info>
std::unique_ptr<TCustomStat> MakeStatWith(const TStatList& registry, int index) {
  return std::make_unique<T>(registry, *Info, index);
}

class TCustomStat {
 public:
  TCustomStat(const TStatList& registry, const StatClassInfo& info, int index);
  virtual ~TCustomStat() = default;
  TCustomStat(const TCustomStat&) = delete;
  TCustomStat& operator=(const TCustomStat&) = delete;

  const StatClassInfo& Info() const { return *info_; }
  int Index() const { return index_; }
  std::string Title() const { return info_->TitleOf(index_); }
  bool IsGraph() const { return info_->isGraph; }

  // A copy of the draw at an array index; zeros outside the archive.
  DrawRecord ReadDraw(int index, bool sorted) const;
  // Whether an array index holds a draw: the draw before the oldest is none.
  bool HasDraw(int index) const { return draws_ && index >= 0 && index < draws_->Count(); }
  const GameConfig& Config() const { return config_; }

  virtual std::string ValueText(const StatValue& v) const = 0;
  virtual int64_t ValueFromText(const std::string& text) const;
  int64_t NumericValue(const std::string& text) const;

  virtual void CollectCandidates(int lastIndex, TStatDrawArray& values);
  virtual void LoadDraws(int index, int otherIndex, bool sorted);
  virtual void CollectCombinationValues(const Combination& c, TStatDrawArray& values);
  virtual void CollectDrawValues(int index, int lastIndex, TLastValueArray& lastValues, StatState& state,
                                 TStatDrawArray& values, bool sorted);
  // Draw number of the first draw from fromIndex on that has the value; -1: none.
  virtual int32_t FindNextOccurrence(const StatValue& value, int fromIndex, bool sorted, int lastIndex);
  // Collects once where every value occurs from fromIndex to the newest draw,
  // so that many FindNextOccurrence calls with the same sorted/lastIndex and
  // a start at or after fromIndex are answered without scanning again.
  void PrepareOccurrences(int fromIndex, bool sorted, int lastIndex);
  virtual bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int lastIndex, bool sorted,
                                  FilterMode mode) = 0;
  // Answers MatchesCombination for many combinations at once: out[i] = 1 for a
  // match. Families override it where a prepared table makes it faster; the
  // answers must equal MatchesCombination's.
  virtual void MatchBatch(const Combination* combs, size_t n, const TStatDrawArray& selected, int lastIndex,
                          bool sorted, FilterMode mode, uint8_t* out);
  // Writes the combinations of in[0..n) that a filter keeps (the matching
  // ones with KeepSelected, the others with RemoveSelected) to out in order;
  // returns how many. out may be in itself, never ahead of it.
  virtual size_t FilterBatch(const Combination* in, size_t n, Combination* out, const TStatDrawArray& selected,
                             int lastIndex, bool sorted, FilterMode mode);
  // When the filter removes exactly the combinations that hold any of some
  // numbers, those numbers (bit n for n): a complete list then gives its
  // result without being read. nullopt for any other filter.
  virtual std::optional<uint64_t> RemovedNumbers(const TStatDrawArray& /*selected*/, FilterMode /*mode*/) const {
    return std::nullopt;
  }
  // A fresh instance of the same method, for a second thread.
  std::unique_ptr<TCustomStat> Clone() const { return info_->create(registry_, index_); }

 protected:
  const TStatList& registry_;
  const GameConfig& config_;
  const DrawArchive* draws_;
  const StatClassInfo* info_;
  int index_;
  DrawRecord CurrentDraw;
  DrawRecord PreviousDraw;
  StatValue Work;

  void ClearWork() { Work = StatValue{}; }

 private:
  struct Occurrences {
    bool ready = false;
    bool sorted = false;
    int lastIndex = 0;
    int from = 0;
    std::unordered_map<uint64_t, std::vector<int>> at;  // key -> ascending draw indexes
  } occurrences_;
};

class TCustomGraphStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  std::string ValueText(const StatValue& v) const override;
  // The single value of five numbers; index and otherIndex locate the draw
  // they belong to.
  virtual int32_t GraphValue(const Combination& c, int index, int otherIndex, bool sorted) = 0;
  int32_t GraphValueOfDraw(int index, int otherIndex, bool sorted);
};

class TCustomValuesStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  std::string ValueText(const StatValue& v) const override;
};

class TCustomNumbersStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  std::string ValueText(const StatValue& v) const override;
};

// "k:m" with m = 5 - k.
class TCustomRatioStat : public TCustomGraphStat {
 public:
  using TCustomGraphStat::TCustomGraphStat;
  std::string ValueText(const StatValue& v) const override;
  int64_t ValueFromText(const std::string& text) const override;
};

// Key1 is a pattern over the five positions, the first number in bit 4.
class TCustomMaskStat : public TCustomStat {
 public:
  using TCustomStat::TCustomStat;
  virtual std::string ZeroSymbol() const = 0;
  virtual std::string OneSymbol() const = 0;
  std::string ValueText(const StatValue& v) const override;
  int64_t ValueFromText(const std::string& text) const override;
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override;
};

// The thirteen groups.
const char* GroupLabel(int group);  // "num"; "#ERROR#" outside 0..12
std::string GroupTitle(int group);  // "{ num } Числа тиража"

}  // namespace px
