// The rating: per stake comment, how many checked stakes, their matches and
// profit. Kept in Pentalux5_5v36.lrt as 296-byte entries in the view's order.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/config.h"
#include "stakes/stake_store.h"

namespace px {

class DrawArchive;
class Env;
class Host;

inline constexpr size_t kRatingEntrySize = 296;
inline constexpr size_t kRatingCommentBytes = 255;
inline constexpr int kRatingColumns = 18;

struct RatingEntry {
  std::string comment;  // UTF-8; at most 255 cp1251 bytes are kept
  int32_t stakes = 0;
  int32_t matched = 0;
  std::array<int32_t, 6> histogram{};
  Currency profit = 0;

  bool operator==(const RatingEntry&) const = default;
};

// Little-endian, field by field; the comment as a length byte and cp1251.
void EncodeRatingEntry(const RatingEntry& e, char* out);  // exactly kRatingEntrySize bytes
RatingEntry DecodeRatingEntry(const char* in);
// Appends the entries of a file's bytes; a torn last entry throws after the
// whole ones were appended.
void DecodeRatingEntries(std::string_view bytes, std::vector<RatingEntry>& out);
std::string EncodeRatingEntries(const std::vector<RatingEntry>& entries);

std::string RatingsPath(const std::string& dataDir);

// The comment as the rating keys it: cut to what an entry holds, then
// FoldedText, so comments that differ only in case share one entry.
std::string RatingKey(std::string_view comment);
// The comment cut to what a rating entry can hold.
std::string RatingComment(std::string_view comment);
// Case-insensitive order of comments: Ё right after Е, ё after е; equal keys
// fall back to the bytes.
int CompareRatingComments(std::string_view a, std::string_view b);

// P(k) = C(5,k)·C(31,5−k) / 376992, k = 0..5.
using MatchProbabilities = std::array<long double, 6>;
const MatchProbabilities& TheoreticalMatchProbabilities();

struct RatingSort {
  int column = 3;
  bool descending = true;
};

// A strict weak ordering: the column's exact value (ratios compared by cross
// products), negated for descending order; entries without stakes last; ties
// by comment ascending.
bool RatingLess(const RatingEntry& a, const RatingEntry& b, const RatingSort& sort);

// The 18 titles of the rating view.
const std::vector<std::string>& RatingTitles();
// effMode 0 expected counts, 1 absolute deviation, 2 relative efficiency;
// any other mode leaves the efficiency cells empty.
std::string RatingCellText(const RatingEntry& e, int column, int effMode,
                           const MatchProbabilities& p = TheoreticalMatchProbabilities());
std::vector<std::string> RatingRow(const RatingEntry& e, int effMode,
                                   const MatchProbabilities& p = TheoreticalMatchProbabilities());

// The CSV export in cp1251 with CR LF: quoted titles, then one line a entry.
std::string RatingsCsvText(const std::vector<RatingEntry>& entries);

// The mark of a rating owed checked stakes: Pentalux5_5v36.lrt.pending.
std::string RatingsPendingPath(const std::string& dataDir);

class Ratings final : public RatingsSink {
 public:
  Ratings(Env& env, Host& host, std::string dataDir);

  const std::string& Path() const { return path_; }
  const std::vector<RatingEntry>& Entries() const { return entries_; }
  size_t Count() const { return entries_.size(); }
  // The entry of a comment, ignoring case; null when there is none.
  const RatingEntry* Find(std::string_view comment) const;

  // Checked stakes only (match count 0..5); one entry per comment.
  void AddStake(const StakeRecord& r) override;
  // Marks the rating as owed stakes (RatingsPendingPath) until it is saved,
  // so stakes checked but never saved into the rating are not lost when the
  // save fails or the process ends first.
  void BeforeChecking() override;

  // Reads the file as it is (missing: no entries); false after reporting a
  // failure, with the entries read so far kept.
  bool Read();
  // Start-up: Read and Sort when the file exists.
  bool Load();
  // Rewrites the file through a temporary file, then refreshes the view.
  bool Save();
  // Start-up, with the stakes file open: when an earlier check's rating was
  // never saved, rebuilds the rating from the checked stakes and saves it.
  // True when nothing was owed or the rebuilt rating is saved.
  bool Recover(StakeStore& store);
  // Sorts by SortOrder() and saves.
  bool Sort();

  // A scenario run checks stakes many times in a row. Between BeginRun and
  // EndRun every save still goes through the temporary file and the rename,
  // but reaches the disk only at SyncRun (once per pass) and at EndRun; the
  // pending mark stays until then, so a crash in between costs nothing the
  // next start does not rebuild from the stakes file.
  void BeginRun();
  // False after reporting a failure; the mark then stays.
  bool SyncRun();
  bool EndRun();
  void Clear();
  void RefreshView();

  RatingSort SortOrder() const { return sort_; }
  void SetSortOrder(RatingSort sort) { sort_ = sort; }

  // A checking pass that feeds the rating; the rating is sorted and saved
  // whenever a stake reached it, also when the pass failed part-way.
  int CheckStakes(StakeStore& store, const DrawArchive& archive, const TConfigData& config);
  // RatingsRefresh: asks first when entries exist; rebuilds from the checked
  // stakes, sorts and saves. False when declined or failed (then unchanged).
  bool Rebuild(StakeStore& store);

  // RatingsExport: asks for the file; false when cancelled or failed.
  bool ExportCsv();
  // Throws Error.
  void ExportCsvTo(const std::string& path) const;

  // Row texts of the virtual view; a row out of range is "# bad data #".
  std::vector<std::string> Row(size_t index, int effMode) const;
  // "Рейтинг: %d" for the rating panel of the status bar.
  std::string CountText() const;

  // Called after every change the view has to show.
  std::function<void()> onViewChanged;
  // Stakes added since the last successful save.
  int64_t Unsaved() const { return unsaved_; }

 private:
  void Reindex();
  bool RebuildFrom(StakeStore& store);

  Env& env_;
  Host& host_;
  std::string dataDir_;
  std::string path_;
  std::vector<RatingEntry> entries_;
  std::unordered_map<std::string, size_t> index_;
  RatingSort sort_;
  int64_t unsaved_ = 0;
  bool marked_ = false;  // this rating made the pending mark
  bool inRun_ = false;   // saves wait for SyncRun
  bool lazySaved_ = false;
};

}  // namespace px
