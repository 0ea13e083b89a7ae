// The working list of candidate combinations with its one-step undo, the
// cache snapshot the scenario engine keeps, and the log of applied
// operations ("Примененные фильтры").
//
// The three buffers keep their storage between operations; counts change and
// storage only grows, so a filter pass over the full set allocates nothing.
// Not thread-safe: the frame owns the set and drives it from one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/arith.h"
#include "combs/worker_pool.h"

namespace px {

class DrawArchive;
class Env;
class Host;

enum class LogKind : uint8_t { Include, Exclude, Undo };

struct LogRow {
  std::string caption;     // "Примененные фильтры"
  std::string valuesText;  // "Значения"
  int count = 0;           // "Комбинаций": the working count after the step
  LogKind kind = LogKind::Include;
  bool operator==(const LogRow&) const = default;
};

// Storage whose growth leaves the new entries as they come: they are written
// before they are read, and zeroing 1.9 MB first would cost a copy's time.
template <class T>
struct UninitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitAllocator<U>;
  };
  using std::allocator<T>::allocator;
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
using CombStorage = std::vector<Combination, UninitAllocator<Combination>>;

// Bit n for each number n of the game.
inline constexpr uint64_t kAllNumbersMask = ((uint64_t(1) << (kNumbers + 1)) - 1) & ~uint64_t(1);

// One buffer of combinations: storage that only grows and a count. Copies
// share their storage until one of them is written to (a run copies lists of
// 1.9 MB thousands of times, most never written again); writing goes
// through MutableData() and the other writers, which take storage of their
// own first when it is shared.
class CombBuffer {
 public:
  const Combination* Data() const { return items_ ? items_->data() : nullptr; }
  // The storage to write to, [0, Capacity()), the buffer's own.
  Combination* MutableData();
  int Count() const { return count_; }
  size_t Capacity() const { return items_ ? items_->size() : 0; }
  const Combination& operator[](int i) const { return (*items_)[static_cast<size_t>(i)]; }
  void Set(int i, const Combination& c) { MutableData()[i] = c; }
  // Grows the storage to at least `capacity` (never shrinks) and sets the count.
  void Resize(size_t capacity, int count);
  void SetCount(int count);  // within the capacity, growing it when needed
  void Append(const Combination& c);
  void CopyFrom(const CombBuffer& other);
  // The buffer holds the list `all`, shared with every other copy of it.
  void ShareFrom(const std::shared_ptr<CombStorage>& all);
  void Release();  // count 0, storage freed
  bool SharesStorageWith(const CombBuffer& other) const { return items_ && items_ == other.items_; }
  // Whether the buffer is the generated full set itself, unwritten: every
  // combination of the game, ascending, in ascending order.
  bool IsFullSet() const;
  // The numbers (bit n for n) whose every 5-combination, ascending, in
  // ascending order, the buffer holds and nothing else; 0 when that is not
  // known. Any write forgets it.
  uint64_t CompleteOver() const { return completeOver_; }
  // The buffer becomes every 5-combination of the numbers of `mask` (1..36),
  // in that order.
  void MakeComplete(uint64_t mask);

 private:
  // Storage of its own of at least `capacity`, keeping the first `keep` entries.
  void Own(size_t capacity, int keep);

  std::shared_ptr<CombStorage> items_;
  int count_ = 0;
  uint64_t completeOver_ = 0;
};

class CombinationSet {
 public:
  // A decision on one combination: true keeps it.
  using Decide = std::function<bool(const Combination&)>;

  // Status texts and error boxes go to the host; it may be null (no display).
  explicit CombinationSet(Host* host = nullptr) : host_(host) {}
  void SetHost(Host* host) { host_ = host; }

  CombBuffer& Working() { return working_; }
  const CombBuffer& Working() const { return working_; }
  const CombBuffer& Undo() const { return undo_; }
  const CombBuffer& Cache() const { return cache_; }
  int Count() const { return working_.Count(); }
  bool CanUndo() const { return undo_.Count() > 0; }
  std::vector<Combination> ToVector() const;

  // Sizes all three buffers to capacity with count 0 (initialisation).
  void Init(size_t capacity);
  void Clear();

  // ---- undo
  // Copies working into the undo buffer. showStatus: "Создание файла отката...".
  void TakeSnapshot(bool showStatus);
  // The same undo for an operation that rebuilds working from it: working and
  // undo trade storage (no copy) and working is left empty for the rebuild.
  void SnapshotForRebuild(bool showStatus);
  // working = undo; the undo is spent. showStatus: "Отмена изменений...".
  void RestoreSnapshot(bool showStatus);
  void DropSnapshot();

  // ---- cache for the scenario engine
  void SaveCache(int offsetKey, int excludeKey);
  bool LoadCache(int offsetKey, int excludeKey);
  void InvalidateCache();
  int CacheOffsetKey() const { return cacheOffsetKey_; }
  int CacheExcludeKey() const { return cacheExcludeKey_; }
  // After a generation: count 0, keys kept.
  void EmptyCacheKeepKeys();

  // ---- the log
  const std::vector<LogRow>& Log() const { return log_; }
  void ClearLog();
  void AddLogRow(bool exclude, const std::string& caption, const std::string& valuesText);
  void AddUndoRow();  // "Отмена последней операции"
  void RemoveLastLogRow();

  // ---- the filtering protocol
  // Rebuilds working from the undo snapshot (taken by the caller) keeping the
  // combinations `decide` keeps, in order, then logs the step. An empty
  // snapshot filters nothing and logs nothing. Returns the new count.
  int FilterFromSnapshot(const Decide& decide, bool exclude, const std::string& caption,
                         const std::string& valuesText);
  // Writes the kept combinations of in[0..n) to out, in order, and returns
  // how many: the fast form of a decider.
  using Compact = std::function<size_t(int worker, const Combination* in, size_t n, Combination* out)>;
  // The same protocol over a compacting decider. With workers > 1 the
  // snapshot is cut into that many consecutive parts that are decided at the
  // same time, worker w always on its own part and its own thread; the result
  // and its order equal a single pass. If a worker throws, working keeps the
  // parts before the failing one and the error passes on.
  // The undo snapshot holds every combination of some numbers (CompleteOver):
  // working becomes those without any number of `removed`, made directly
  // rather than filtered, and the step is logged as a filter's. False, with
  // nothing changed, when the snapshot is not known to be complete.
  bool RemoveNumbersFromSnapshot(uint64_t removed, bool exclude, const std::string& caption,
                                 const std::string& valuesText);
  int FilterFromSnapshotCompact(const Compact& compact, int workers, bool exclude, const std::string& caption,
                                const std::string& valuesText);

  // The whole protocol for a result known in advance: the snapshot (by
  // trade), working = result, the log row a filter pass would add. status:
  // shown meanwhile, as the pass would show it ("" none).
  int RebuildAs(const CombBuffer& result, bool exclude, const std::string& caption, const std::string& valuesText,
                const std::string& status);
  // ---- commands of the page "Комбинации" (each takes its own snapshot)
  // Removes the combinations equal to one of the last n draws counted back
  // from the offset, logged as "Последние тиражи".
  void ExcludeLastDraws(const DrawArchive& archive, int offset, int n);
  // Rows are indexes into working; logged as "Выделенные комбинации".
  void DeleteRows(const std::vector<int>& rows);

  // ---- files and clipboard
  // .lcv: every line of exactly five words at "," and ";", each a whole
  // number 1..36, all different, in the file's order; other lines are
  // skipped and counted (blank ones not). A file without a combination
  // leaves working as it was; so does a failed read, which returns false
  // after showing "Ошибка чтения файла "%s"!\r\r%s".
  bool ReadFile(Env& env, const std::string& path);
  // Returns false after showing "Ошибка записи в файл "%s"!\r\r%s".
  bool WriteFile(Env& env, const std::string& path) const;
  // Selected rows as "03 07 12 25 36" lines ending with CR LF.
  std::string ClipboardText(const std::vector<int>& rows) const;
  // Replaces working with the clipboard lines. A line of five words that are
  // not five different whole numbers 1..36 is skipped and counted; on the
  // first line that is not five words shows its error, restores the
  // previous list and returns false. Nothing left: the previous list, false.
  bool Paste(const std::string& text);
  // Lines the last ReadFile or Paste skipped as no combination, and the
  // combinations the last ReadFile took in.
  int SkippedLines() const { return skippedLines_; }
  int LastReadCount() const { return readCount_; }

 private:
  // Generation replaces the buffers and reports through the set's host.
  friend void GenerateSet(CombinationSet& set, Env& env, bool showProgress, int mode,
                          const std::string& parameters);

  void Status(const std::string& text) const;
  void ShowError(const std::string& text) const;

  Host* host_ = nullptr;
  CombBuffer working_, undo_, cache_;
  LazyWorkerPool pool_;
  int cacheOffsetKey_ = -1, cacheExcludeKey_ = -1;
  std::vector<LogRow> log_;
  int skippedLines_ = 0;
  int readCount_ = 0;
};

// .lcv text of a list: CombinationText with ";" per line, CR LF.
std::string LcvText(const Combination* list, size_t count);

// "Выделенная комбинация найдена в следующих тиражах:" with the descriptions
// of up to 26 newest draws equal to c, or "Выделенная комбинация не найдена
// архиве тиражей!". Ignores the offset.
std::string FindInArchiveText(const DrawArchive& archive, const Combination& c);
// "В текущем списке комбинаций содержится %d уникальных номеров"
std::string DistinctNumbersText(const CombinationSet& set);

// ---- generation
// The full set in lexicographic order, built once.
const CombStorage& FullSet();
// The same, as storage a buffer can share.
const std::shared_ptr<CombStorage>& SharedFullSet();

// The 256-bit set of the user's numbers: words at "," and ";" (blanks are no
// separators), non-numbers give 0, values outside 0..255 ignored.
std::vector<bool> UserNumbers(const std::string& parameters);

// Replaces working: modes 0..3 (above 4 behaves as 0) enumerate the full set,
// mode 4 reads the .lcv file named by parameters. With showProgress: status
// "Генерация возможных комбинаций...", then the log cleared, undo emptied and
// the cache emptied with its keys kept. Errors show "Ошибка генерации файла
// комбинаций!\r\r%s" (mode 4: the read error of ReadFile).
void GenerateSet(CombinationSet& set, Env& env, bool showProgress, int mode, const std::string& parameters);

}  // namespace px
