// Stakes: the 320-byte records of Pentalux5_5v36.lsk, the store that holds
// that file open exclusively, checking against the draw archive and the
// stakes logs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/arith.h"
#include "core/config.h"

namespace px {

class DrawArchive;
class Env;
class File;
class Host;

enum class StakeKind : uint8_t { Separator = 0, Manual = 1, Regular = 2, Scenario = 3, System = 4 };

// "Вручную", "Регуляр", ...; empty for a separator and unknown values.
std::string StakeKindText(uint8_t kind);
// 0xRRGGBB of the row; nullopt: the window colour.
std::optional<uint32_t> StakeKindColour(uint8_t kind);

inline constexpr uint8_t kStakeVersion = 2;
inline constexpr size_t kStakeRecordSize = 320;
inline constexpr size_t kStakeCommentBytes = 255;

struct StakeRecord {
  uint8_t version = kStakeVersion;
  uint8_t kind = 0;
  int32_t drawNumber = 0;
  uint8_t checked = 0;
  int32_t sample = 0;
  NumberSet numbers;
  std::array<uint8_t, 5> drawNumbers{};
  NumberSet matches{-1, {}};
  Currency profit = 0;
  std::string comment;  // UTF-8; at most 255 cp1251 bytes are kept

  bool IsBlankRow() const { return drawNumber <= 0; }
  bool operator==(const StakeRecord& other) const;
};

StakeRecord SeparatorRecord();
// A new unchecked stake of the given kind; the profit is minus its full cost.
StakeRecord MakeStake(StakeKind kind, int32_t drawNumber, const NumberSet& numbers, int32_t sample,
                      std::string comment, const TConfigData& config);

// Little-endian, field by field. Decoding clamps the number count to 0..12
// and the match count to -1..5, so a damaged record never reads past its
// arrays.
void EncodeStakeRecord(const StakeRecord& r, char* out);  // exactly kStakeRecordSize bytes
StakeRecord DecodeStakeRecord(const char* in);

// Profit in 1/10000 units of a stake of n numbers with m matches (-1: not
// checked): minus C(n,5) costs plus the first prize entry for m.
Currency StakeProfit(const TConfigData& config, int n, int m);

// The stake dialog's check of "5;1;2;3;4": 5..12 words at "," and ";", each a
// whole number 1..36, all different; ascending. Throws
// Error("Введена некорректная комбинация!").
NumberSet ParseStakeNumbers(std::string_view text);

std::string NumberSetText(const NumberSet& s, std::string_view separator);
// Money as "%.2f" with ".", rounded half away from zero.
std::string MoneyText(Currency value);

// The stakes grid: 9 titles and the cell texts of a record (all empty for a
// blank row).
const std::vector<std::string>& StakeGridTitles();
std::string StakeCellText(const StakeRecord& r, int column);
std::vector<std::string> StakeRow(const StakeRecord& r);

std::string StakesPath(const std::string& dataDir);
// "Pentalux5_5v36-%d.log" for a match count.
std::string StakeLogName(int matches);
// One line of a stakes log, without the line break.
std::string StakeLogLine(const StakeRecord& r, const std::string& when);

// How a stake's match count is compared with a value when stakes are deleted
// by condition. The numbers are the places in the condition list of
// "Удаление по условию", which the stakes page keeps and `stakes delete
// --where` takes.
enum class MatchComparison : uint8_t { Equal = 0, More = 1, NotLess = 2, Less = 3, NotMore = 4 };
// The comparison of that number; nullopt outside 0..4.
std::optional<MatchComparison> MatchComparisonOf(int number);

// Receives every stake that a checking pass has just checked.
class RatingsSink {
 public:
  virtual ~RatingsSink() = default;
  // Before a pass marks its first stake checked; throwing ends the pass with
  // nothing checked.
  virtual void BeforeChecking() {}
  virtual void AddStake(const StakeRecord&) = 0;
};

// Owns Pentalux5_5v36.lsk, held open and locked for the store's life. Every
// operation reports its failure through the host, in the system's words, and
// gives false (or an empty result); Open throws.
class StakeStore {
 public:
  StakeStore(Env& env, Host& host, std::string dataDir);
  ~StakeStore();
  StakeStore(const StakeStore&) = delete;
  StakeStore& operator=(const StakeStore&) = delete;

  // Throws Error when the file cannot be opened or another holder locks it.
  void Open();
  void Close();
  bool Reopen();
  // Start-up: Open and the version test; false when the file cannot be opened.
  bool Load();
  // The version test of Load on an open file: a torn file or another version
  // is copied to Pentalux5_5v36.lsk.<yyyy-mm-dd-hh-nn-ss>.bak (a name of its
  // own, never overwritten) and emptied after the warning. Throws; a failed
  // copy leaves the file as it was.
  void CheckVersion();

  bool IsOpen() const { return file_ != nullptr; }
  bool HasRecords() const { return IsOpen() && size_ >= static_cast<int64_t>(kStakeRecordSize); }
  int64_t RecordCount() const { return IsOpen() ? size_ / static_cast<int64_t>(kStakeRecordSize) : 0; }
  const std::string& Path() const { return path_; }

  // index from the start, or from the end when fromEnd (-1 is the last).
  StakeRecord ReadRecord(int64_t index, bool fromEnd = false);
  // Over record index, or at index from the end (0 appends).
  bool WriteRecord(const StakeRecord& r, int64_t index, bool fromEnd = false);
  bool Append(const StakeRecord& r, int drawCount);
  bool Contains(int32_t drawNumber, const NumberSet& numbers);
  // Grid rows first..last (row r is record r - 1).
  bool DeleteRows(int64_t first, int64_t last);
  // Deletes the stakes whose match count compares so with value (an
  // unchecked stake's is -1); separators always stay.
  bool DeleteWhere(MatchComparison comparison, int value);
  void Clear();

  // Number of stakes checked; each goes to the sink (may be null) and, when
  // the log is on, to its stakes log.
  int CheckAll(const DrawArchive& archive, const TConfigData& config, RatingsSink* ratings);
  int CheckAndRefresh(const DrawArchive& archive, const TConfigData& config, RatingsSink* ratings);

  // "Ставок: %d" for the stakes panel of the status bar.
  std::string CountText() const;

  void SetLogEnabled(bool enabled) { logEnabled_ = enabled; }
  bool LogEnabled() const { return logEnabled_; }
  // A log larger than this is deleted before its next line.
  void SetLogLimit(uint64_t bytes) { logLimit_ = bytes; }
  std::string LogPath(int matches) const;
  // The stakes logs present in the data folder (names).
  std::vector<std::string> LogFiles() const;

  static constexpr uint64_t kDefaultLogLimit = 268435456;

 private:
  struct Key {
    int32_t drawNumber;
    NumberSet numbers;
  };

  int64_t PositionOf(int64_t index, bool fromEnd) const;
  std::string FreeBackupPath() const;
  void ReadAt(int64_t position, char* out, size_t size) const;
  void WriteAt(int64_t position, const char* data, size_t size);
  void AppendRaw(const StakeRecord& r);
  void RequireOpen() const;
  void ResetCaches();
  void BuildIndex();
  void IndexPut(int64_t index, const StakeRecord& r);
  void IndexDrop(int64_t index);
  bool Rewrite(const std::function<bool(int64_t index, const StakeRecord&)>& keep);
  void WriteLog(const StakeRecord& r);

  Env& env_;
  Host& host_;
  std::string dataDir_;
  std::string path_;
  std::unique_ptr<File> file_;
  int64_t size_ = 0;

  bool cached_ = false;
  int64_t cacheIndex_ = 0;
  bool cacheFromEnd_ = false;
  StakeRecord cache_;

  // Contains is answered from here once built; kept in step with every write.
  bool indexBuilt_ = false;
  std::vector<Key> keys_;
  std::unordered_map<int32_t, std::vector<int64_t>> byDraw_;

  // Every record before this index is checked or can never be checked, so
  // a check starts here rather than at the first record.
  int64_t checkedPrefix_ = 0;
  int64_t mtimeNs_ = 0;

  bool logEnabled_ = false;
  uint64_t logLimit_ = kDefaultLogLimit;
};

// The stakes logs "Pentalux5_5v36-<N>.log" of the data folder (names).
std::vector<std::string> StakeLogFiles(Env& env, const std::string& dataDir);

}  // namespace px
