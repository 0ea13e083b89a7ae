// Regular table stakes: rules that shift a combination cyclically every draw,
// kept in Pentalux5_5v36.ltb as 276-byte records in list order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/arith.h"

namespace px {

class DrawArchive;
class Env;
class Host;

inline constexpr size_t kRegularRecordSize = 276;
inline constexpr size_t kRegularCommentBytes = 255;
// The rule dialog's limit; a longer comment read from a file is kept.
inline constexpr size_t kRegularCommentChars = 64;
inline constexpr int kRegularMaxStep = 36;

struct RegularStake {
  std::string comment;  // UTF-8; at most 255 cp1251 bytes are kept
  bool useLastDraw = false;
  Combination start{};    // ascending; zeros when the base is the last draw
  Combination current{};  // the combination produced last
  int32_t step = 1;
  int32_t stakeCount = 0;

  bool operator==(const RegularStake&) const = default;
};

// Little-endian, field by field; a step read from a file outside -36..36 is
// taken as its remainder by 36, the shift it stands for.
void EncodeRegularStake(const RegularStake& r, char* out);  // exactly kRegularRecordSize bytes
RegularStake DecodeRegularStake(const char* in);
// Appends the rules of a file's bytes; a torn last record throws after the
// whole ones were appended.
void DecodeRegularStakes(std::string_view bytes, std::vector<RegularStake>& out);
std::string EncodeRegularStakes(const std::vector<RegularStake>& rules);

std::string RegularsPath(const std::string& dataDir);

// The next combination of a rule: the base (the reference draw at `offset` in
// drawn order, or `current`) shifted by the step, ascending. nullopt when that
// is not five different numbers 1..36 (an empty archive as the base, a
// damaged record); the rule is then left as it was.
std::optional<Combination> NextRegular(const RegularStake& rule, const DrawArchive& archive, int offset);
// NextRegular, and the rule takes the result as its current and counts it.
std::optional<Combination> Advance(RegularStake& rule, const DrawArchive& archive, int offset);

// The rule view: 5 titles and the cells of a rule.
const std::vector<std::string>& RegularTitles();
std::vector<std::string> RegularRow(const RegularStake& r);

// What the rule dialog asks of its fields, in its order. `withStart`: the
// first radio button is chosen and one combination was selected, so the
// start field counts. On success `start` holds the sorted numbers.
struct RegularInputError {
  std::string message;
  bool startField = false;  // the focus goes to the start field
};
std::optional<RegularInputError> CheckRegularInput(bool withStart, std::string_view startText,
                                                   std::string_view comment,
                                                   const std::vector<RegularStake>& existing, Combination& start);

// The rules of the data folder, held in memory while the tab is shown.
class RegularStakes {
 public:
  RegularStakes(Env& env, Host& host, std::string dataDir);

  const std::vector<RegularStake>& Rules() const { return rules_; }
  int Count() const { return static_cast<int>(rules_.size()); }
  const RegularStake& At(int index) const;

  // Reads the file when it exists (a missing file is no rules). On a failure
  // the error box, and the whole records read before a torn end stay.
  bool Load();
  // Rewrites the file through a temporary file; a failure shows its box and
  // leaves the file and the rules in memory as they were.
  bool Save();
  // Empties the rules in memory (the tab was hidden); the file stays.
  void Release() { rules_.clear(); }

  void Add(RegularStake rule) { rules_.push_back(std::move(rule)); }
  void Replace(int index, const RegularStake& rule);
  // Throws Error("Запись со индексом %d в файле данных не найдена!").
  void Delete(int index);
  RegularStake& Mutable(int index);

  const std::string& Path() const { return path_; }

 private:
  Env& env_;
  Host& host_;
  std::string path_;
  std::vector<RegularStake> rules_;
};

}  // namespace px
