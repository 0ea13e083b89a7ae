#include "combs/combination_set.h"

#include <algorithm>
#include <bit>
#include <mutex>
#include <cstring>
#include <optional>
#include <string_view>

#include "core/archive.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"

namespace px {

// ---- CombBuffer

namespace {

// Storage freed by one buffer serves the next: fresh storage is paged in by
// the kernel at a cost close to a copy's.
class StoragePool {
 public:
  static StoragePool& Get() {
    static StoragePool* pool = new StoragePool;  // never destroyed: buffers may outlive statics
    return *pool;
  }
  std::shared_ptr<CombStorage> Take(size_t capacity) {
    CombStorage* v = nullptr;
    {
      std::lock_guard lock(mutex_);
      for (size_t i = 0; i < free_.size(); ++i)
        if (free_[i]->size() >= capacity) {
          v = free_[i];
          free_.erase(free_.begin() + std::ptrdiff_t(i));
          break;
        }
    }
    if (!v) v = new CombStorage(capacity);
    return std::shared_ptr<CombStorage>(v, [](CombStorage* p) { Get().Give(p); });
  }

 private:
  void Give(CombStorage* v) {
    std::lock_guard lock(mutex_);
    if (free_.size() < kKept && !v->empty()) {
      free_.push_back(v);
      return;
    }
    delete v;
  }
  static constexpr size_t kKept = 24;
  std::mutex mutex_;
  std::vector<CombStorage*> free_;
};

}  // namespace

void CombBuffer::Own(size_t capacity, int keep) {
  // Every writer comes here first: what the entries were is no longer known.
  completeOver_ = 0;
  const size_t size = Capacity();
  capacity = std::max(capacity, size);
  if (items_ && items_.use_count() == 1) {
    if (size < capacity) items_->resize(capacity);
    return;
  }
  // Taken before anything changes: a failed growth leaves the buffer as it was.
  auto own = StoragePool::Get().Take(capacity);
  if (keep > 0 && items_)
    std::memcpy(own->data(), items_->data(), static_cast<size_t>(keep) * sizeof(Combination));
  items_ = std::move(own);
}

Combination* CombBuffer::MutableData() {
  Own(Capacity(), count_);
  return items_->data();
}

void CombBuffer::Resize(size_t capacity, int count) {
  if (count < 0) count = 0;
  Own(std::max(capacity, static_cast<size_t>(count)), std::min(count, count_));
  count_ = count;
}

void CombBuffer::SetCount(int count) { Resize(Capacity(), count); }

void CombBuffer::Append(const Combination& c) {
  if (static_cast<size_t>(count_) == Capacity())
    Own(std::max<size_t>(Capacity() * 2, 1024), count_);
  else
    Own(Capacity(), count_);
  (*items_)[static_cast<size_t>(count_++)] = c;
}

void CombBuffer::CopyFrom(const CombBuffer& other) {
  if (&other == this) return;
  items_ = other.items_;
  count_ = other.count_;
  completeOver_ = other.completeOver_;
}

void CombBuffer::ShareFrom(const std::shared_ptr<CombStorage>& all) {
  items_ = all;
  count_ = all ? static_cast<int>(all->size()) : 0;
  completeOver_ = all && all == SharedFullSet() ? kAllNumbersMask : 0;
}

void CombBuffer::Release() {
  items_.reset();
  count_ = 0;
  completeOver_ = 0;
}

void CombBuffer::MakeComplete(uint64_t mask) {
  mask &= kAllNumbersMask;
  uint8_t v[kNumbers];
  int k = 0;
  for (int n = 1; n <= kNumbers; ++n)
    if (mask >> n & 1) v[k++] = static_cast<uint8_t>(n);
  const int count = k >= kDrawSize ? static_cast<int>(Binomial(k, kDrawSize)) : 0;
  Resize(std::max(Capacity(), static_cast<size_t>(count)), 0);
  // Each entry is one 8-byte store whose last three bytes the next one
  // overwrites; only an entry at the very end of the storage is cut short.
  static_assert(std::endian::native == std::endian::little);
  unsigned char* bytes = count > 0 ? reinterpret_cast<unsigned char*>(items_->data()) : nullptr;
  const size_t room = Capacity() * sizeof(Combination);
  size_t at = 0;
  for (int a = 0; a + 4 < k; ++a)
    for (int b = a + 1; b + 3 < k; ++b)
      for (int c = b + 1; c + 2 < k; ++c)
        for (int d = c + 1; d + 1 < k; ++d) {
          const uint64_t head = uint64_t(v[a]) | uint64_t(v[b]) << 8 | uint64_t(v[c]) << 16 | uint64_t(v[d]) << 24;
          for (int e = d + 1; e < k; ++e) {
            const uint64_t word = head | uint64_t(v[e]) << 32;
            if (at + sizeof word <= room)
              std::memcpy(bytes + at, &word, sizeof word);
            else
              std::memcpy(bytes + at, &word, sizeof(Combination));
            at += sizeof(Combination);
          }
        }
  count_ = count;
  completeOver_ = mask;
}

namespace {

std::optional<StatusScope> ScopedStatus(Host* host, const std::string& text) {
  if (!host) return std::nullopt;
  return std::optional<StatusScope>(std::in_place, *host, text);
}

// Writes the kept entries straight into a buffer sized for all of them. The
// count follows on every exit, so a decider that throws leaves the entries
// kept so far.
class Rebuild {
 public:
  Rebuild(CombBuffer& out, size_t capacity) : out_(out) {
    out_.Resize(capacity, 0);
    data_ = out_.MutableData();
  }
  ~Rebuild() { out_.SetCount(kept_); }
  Rebuild(const Rebuild&) = delete;
  Rebuild& operator=(const Rebuild&) = delete;
  void Keep(const Combination& c) { data_[kept_++] = c; }
  // Branch-free keep for the i-th of the source entries: kept_ <= i, so the
  // write stays inside storage sized for the source.
  void KeepIf(Combination c, bool keep) {
    data_[kept_] = c;
    kept_ += keep ? 1 : 0;
  }
  // The same for a source entry with another after it, from storage apart.
  void KeepIfWide(const Combination* from, bool keep) {
    StoreWide(data_ + kept_, from);
    kept_ += keep ? 1 : 0;
  }

 private:
  CombBuffer& out_;
  Combination* data_ = nullptr;
  int kept_ = 0;
};

uint64_t KeyOf(const Combination& sorted) {
  uint64_t key = 0;
  for (uint8_t v : sorted) key = key << 8 | v;
  return key;
}

bool AllDifferent(const Combination& sorted) {
  for (int i = 1; i < kDrawSize; ++i)
    if (sorted[i] == sorted[i - 1]) return false;
  return true;
}

// Answers "does some draw of the range have MatchCount 5 with c". For five
// different numbers on both sides that is set equality, looked up by key;
// lists read from files may repeat numbers, and those go through MatchCount
// itself so the answer is always the same.
class DrawMatcher {
 public:
  DrawMatcher(const DrawArchive& archive, int first, int last) {
    for (int i = first; i <= last; ++i) {
      const Combination& d = archive.At(i).numbers;
      all_.push_back(d);
      Combination s = Sorted(d);
      if (AllDifferent(s))
        keys_.push_back(KeyOf(s));
      else
        repeating_.push_back(d);
      if (s[kDrawSize - 1] >= 63) masksHold_ = false;
      const uint64_t m = MaskOf(d);
      masks_.push_back(m);
      bloom_[Slot(m) >> 6] |= uint64_t(1) << (Slot(m) & 63);
    }
    std::sort(keys_.begin(), keys_.end());
    keys_.erase(std::unique(keys_.begin(), keys_.end()), keys_.end());
  }

  bool Matches(const Combination& c) const {
    if (all_.empty()) return false;
    // Most combinations are told apart by their number mask alone; the
    // others take the exact way below. Numbers past 62 share bit 63, which
    // no draw of the range has.
    if (masksHold_ && repeating_.empty()) {
      const uint64_t b0 = kBit[c[0]], b1 = kBit[c[1]], b2 = kBit[c[2]], b3 = kBit[c[3]], b4 = kBit[c[4]];
      const uint64_t m = b0 | b1 | b2 | b3 | b4;
      if (b0 + b1 + b2 + b3 + b4 == m) {  // no bit twice: five different numbers
        if (!(bloom_[Slot(m) >> 6] >> (Slot(m) & 63) & 1)) return false;
        return std::find(masks_.begin(), masks_.end(), m) != masks_.end();
      }
    }
    Combination s = Sorted(c);
    if (!AllDifferent(s)) return AnyFull(all_, c);
    return std::binary_search(keys_.begin(), keys_.end(), KeyOf(s)) || AnyFull(repeating_, c);
  }

 private:
  static constexpr auto kBit = [] {
    std::array<uint64_t, 256> b{};
    for (int v = 0; v < 256; ++v) b[size_t(v)] = uint64_t(1) << (v < 63 ? v : 63);
    return b;
  }();
  static uint64_t MaskOf(const Combination& c) { return kBit[c[0]] | kBit[c[1]] | kBit[c[2]] | kBit[c[3]] | kBit[c[4]]; }
  static unsigned Slot(uint64_t m) { return unsigned((m * 0x9E3779B97F4A7C15ull) >> 54); }
  static bool AnyFull(const std::vector<Combination>& draws, const Combination& c) {
    for (const auto& d : draws)
      if (MatchCount(c, d) == kDrawSize) return true;
    return false;
  }

  std::vector<Combination> all_, repeating_;
  std::vector<uint64_t> keys_, masks_;
  std::array<uint64_t, 16> bloom_{};
  bool masksHold_ = true;  // every draw of the range has its numbers below 63
};

// A combination only when every word is a whole number 1..36 and no two are
// equal; the words keep their order.
bool WellFormed(const std::array<std::string_view, kDrawSize>& words, Combination& out) {
  for (int i = 0; i < kDrawSize; ++i) {
    const auto v = ParseInt32(words[size_t(i)]);
    if (!v || *v < 1 || *v > kNumbers) return false;
    for (int k = 0; k < i; ++k)
      if (out[k] == *v) return false;
    out[i] = static_cast<uint8_t>(*v);
  }
  return true;
}

// One .lcv line: exactly five words at "," and ";". No allocation, the
// reader sees every line of files of the whole game space.
bool ParseLcvLine(std::string_view line, Combination& out) {
  std::array<std::string_view, kDrawSize> words;
  size_t count = 0;
  size_t start = 0;
  for (;;) {
    size_t end = line.find_first_of(",;", start);
    if (count == kDrawSize) return false;
    words[count++] = line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return count == kDrawSize && WellFormed(words, out);
}

bool IsBlank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

// Lines at LF with an optional CR before it; a final line break ends the
// last line rather than starting an empty one.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    size_t stop = end == std::string_view::npos ? text.size() : end;
    std::string_view line = text.substr(start, stop - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

void AppendNumber(std::string& out, unsigned v) {
  if (v >= 100) out += static_cast<char>('0' + v / 100);
  if (v >= 10) out += static_cast<char>('0' + v / 10 % 10);
  out += static_cast<char>('0' + v % 10);
}

}  // namespace

// ---- CombinationSet

std::vector<Combination> CombinationSet::ToVector() const {
  return std::vector<Combination>(working_.Data(), working_.Data() + working_.Count());
}

void CombinationSet::Init(size_t capacity) {
  working_.Resize(capacity, 0);
  undo_.Resize(capacity, 0);
  cache_.Resize(capacity, 0);
}

void CombinationSet::Clear() {
  working_.Release();
  undo_.Release();
  cache_.Release();
  cacheOffsetKey_ = cacheExcludeKey_ = -1;
  log_.clear();
}

void CombinationSet::TakeSnapshot(bool showStatus) {
  auto status = ScopedStatus(showStatus ? host_ : nullptr, "Создание файла отката...");
  try {
    undo_.CopyFrom(working_);
  } catch (...) {
    undo_.SetCount(0);
    throw;
  }
}

void CombinationSet::SnapshotForRebuild(bool showStatus) {
  auto status = ScopedStatus(showStatus ? host_ : nullptr, "Создание файла отката...");
  // What working held becomes the undo; the rebuild overwrites the rest.
  std::swap(working_, undo_);
  working_.SetCount(0);
}

void CombinationSet::RestoreSnapshot(bool showStatus) {
  auto status = ScopedStatus(showStatus ? host_ : nullptr, "Отмена изменений...");
  working_.CopyFrom(undo_);
  undo_.SetCount(0);
}

void CombinationSet::DropSnapshot() { undo_.SetCount(0); }

void CombinationSet::SaveCache(int offsetKey, int excludeKey) {
  if (offsetKey == cacheOffsetKey_ && excludeKey == cacheExcludeKey_) return;
  auto status = ScopedStatus(host_, "Создание буфера комбинаций...");
  try {
    cacheOffsetKey_ = offsetKey;
    cacheExcludeKey_ = excludeKey;
    cache_.CopyFrom(working_);
  } catch (const std::exception& e) {
    // Keys over a stale copy would be trusted by the next LoadCache.
    InvalidateCache();
    ShowError(Fmt("Ошибка создания буфера комбинаций!\r\r%s", e.what()));
  }
}

bool CombinationSet::LoadCache(int offsetKey, int excludeKey) {
  if (offsetKey != cacheOffsetKey_ || excludeKey != cacheExcludeKey_ || cache_.Count() <= 0) return false;
  auto status = ScopedStatus(host_, "Загрузка буфера комбинаций...");
  try {
    working_.CopyFrom(cache_);
    return true;
  } catch (const std::exception& e) {
    ShowError(Fmt("Ошибка загрузки буфера комбинаций!\r\r%s", e.what()));
    return false;
  }
}

void CombinationSet::InvalidateCache() {
  cacheOffsetKey_ = cacheExcludeKey_ = -1;
  cache_.SetCount(0);
}

void CombinationSet::EmptyCacheKeepKeys() { cache_.SetCount(0); }

void CombinationSet::ClearLog() { log_.clear(); }

void CombinationSet::AddLogRow(bool exclude, const std::string& caption, const std::string& valuesText) {
  log_.push_back({caption, valuesText, working_.Count(), exclude ? LogKind::Exclude : LogKind::Include});
}

void CombinationSet::AddUndoRow() {
  log_.push_back({"Отмена последней операции", "", working_.Count(), LogKind::Undo});
}

void CombinationSet::RemoveLastLogRow() {
  if (!log_.empty()) log_.pop_back();
}

int CombinationSet::FilterFromSnapshot(const Decide& decide, bool exclude, const std::string& caption,
                                       const std::string& valuesText) {
  const int total = undo_.Count();
  {
    Rebuild out(working_, undo_.Capacity());
    const Combination* in = undo_.Data();
    for (int i = 0; i < total; ++i)
      if (decide(in[i])) out.Keep(in[i]);
  }
  if (total > 0) AddLogRow(exclude, caption, valuesText);
  return working_.Count();
}

bool CombinationSet::RemoveNumbersFromSnapshot(uint64_t removed, bool exclude, const std::string& caption,
                                               const std::string& valuesText) {
  const uint64_t over = undo_.CompleteOver();
  if (over == 0) return false;
  const int total = undo_.Count();
  working_.Resize(undo_.Capacity(), 0);
  working_.MakeComplete(over & ~removed);
  if (total > 0) AddLogRow(exclude, caption, valuesText);
  return true;
}

int CombinationSet::FilterFromSnapshotCompact(const Compact& compact, int workers, bool exclude,
                                              const std::string& caption, const std::string& valuesText) {
  const size_t total = static_cast<size_t>(undo_.Count());
  working_.Resize(undo_.Capacity(), 0);
  const Combination* in = undo_.Data();
  Combination* out = working_.MutableData();
  workers = std::clamp(workers, 1, 8);
  if (total < static_cast<size_t>(workers)) workers = 1;

  // Part w starts at begin[w]; its kept entries are written from there too,
  // which never overtakes what the part still has to read.
  std::vector<size_t> begin(static_cast<size_t>(workers) + 1), kept(static_cast<size_t>(workers), 0);
  for (int w = 0; w <= workers; ++w) begin[static_cast<size_t>(w)] = total * static_cast<size_t>(w) / static_cast<size_t>(workers);
  std::vector<std::exception_ptr> failures(static_cast<size_t>(workers));
  auto run = [&](int w) {
    const size_t b = begin[static_cast<size_t>(w)], e = begin[static_cast<size_t>(w) + 1];
    try {
      kept[static_cast<size_t>(w)] = compact(w, in + b, e - b, out + b);
    } catch (...) {
      failures[static_cast<size_t>(w)] = std::current_exception();
    }
  };
  if (workers > 1)
    pool_.Get().Run(workers, run);
  else
    run(0);

  size_t count = 0;
  std::exception_ptr failure;
  for (int w = 0; w < workers && !failure; ++w) {
    if (failures[static_cast<size_t>(w)]) {
      failure = failures[static_cast<size_t>(w)];
      break;
    }
    const size_t b = begin[static_cast<size_t>(w)], k = kept[static_cast<size_t>(w)];
    if (b != count && k > 0) std::memmove(out + count, out + b, k * sizeof(Combination));
    count += k;
  }
  working_.SetCount(static_cast<int>(count));
  if (failure) std::rethrow_exception(failure);
  if (total > 0) AddLogRow(exclude, caption, valuesText);
  return working_.Count();
}

int CombinationSet::RebuildAs(const CombBuffer& result, bool exclude, const std::string& caption,
                              const std::string& valuesText, const std::string& status) {
  auto shown = ScopedStatus(status.empty() ? nullptr : host_, status);
  SnapshotForRebuild(!status.empty());
  working_.CopyFrom(result);
  if (undo_.Count() > 0) AddLogRow(exclude, caption, valuesText);
  return working_.Count();
}

namespace {

// The place of an ascending combination of different numbers 1..36 in the
// generated full set: how many combinations come before it.
int FullSetRank(const Combination& sorted) {
  int rank = 0, previous = 0;
  for (int i = 0; i < kDrawSize; ++i) {
    for (int v = previous + 1; v < sorted[i]; ++v) rank += static_cast<int>(Binomial(kNumbers - v, kDrawSize - 1 - i));
    previous = sorted[i];
  }
  return rank;
}

// The full set without the combinations of the draws [first, last]: each
// such draw is one known entry, so the list is copied in runs between them.
// False when a draw is no five different numbers 1..36 (MatchCount can then
// reach 5 with several entries) and the caller must ask entry by entry.
bool ExcludeFromFullSet(const DrawArchive& archive, int64_t first, int64_t last, const CombBuffer& full,
                        CombBuffer& out) {
  std::vector<int> ranks;
  for (int64_t i = first; i <= last; ++i) {
    const Combination& d = archive.At(static_cast<int>(i)).numbers;
    if (!IsValidDrawNumbers(d)) return false;
    ranks.push_back(FullSetRank(Sorted(d)));
  }
  std::sort(ranks.begin(), ranks.end());
  ranks.erase(std::unique(ranks.begin(), ranks.end()), ranks.end());
  out.Resize(full.Capacity(), 0);
  Combination* to = out.MutableData();
  const Combination* from = full.Data();
  int kept = 0, start = 0;
  ranks.push_back(full.Count());
  for (int r : ranks) {
    std::memcpy(to + kept, from + start, static_cast<size_t>(r - start) * sizeof(Combination));
    kept += r - start;
    start = r + 1;
  }
  out.SetCount(kept);
  return true;
}

}  // namespace

bool CombBuffer::IsFullSet() const { return items_ == SharedFullSet() && count_ == kCapacity; }

void CombinationSet::ExcludeLastDraws(const DrawArchive& archive, int offset, int n) {
  SnapshotForRebuild(true);
  auto status = ScopedStatus(host_, Fmt("Удаление из списка комбинаций %d последних тиражей...", n));
  // 64-bit: n comes from a field or a scenario and may be anything. Below 0
  // no draw is left, and the range is empty.
  const int64_t last = archive.ReferenceIndex(offset);
  const int64_t first = std::max<int64_t>(last - n + 1, 0);
  if (undo_.IsFullSet() && ExcludeFromFullSet(archive, first, last, undo_, working_)) {
    AddLogRow(true, "Последние тиражи", std::to_string(n));
    return;
  }
  DrawMatcher matcher(archive, static_cast<int>(first), static_cast<int>(last));

  const int total = undo_.Count();
  const int step = std::max(1, total / 100);
  {
    Rebuild out(working_, undo_.Capacity());
    const Combination* in = undo_.Data();
    for (int i = 0, next = step; i < total; ++i) {
      if (i + 1 < total)
        out.KeepIfWide(in + i, !matcher.Matches(in[i]));
      else
        out.KeepIf(in[i], !matcher.Matches(in[i]));
      if (i + 1 == next) {
        next += step;
        if (host_)
          Status(Fmt("Удаление из списка комбинаций %d последних тиражей ( завершено %.0f %% )...", n,
                     (i + 1) * 100.0 / total));
      }
    }
  }
  AddLogRow(true, "Последние тиражи", std::to_string(n));
}

void CombinationSet::DeleteRows(const std::vector<int>& rows) {
  SnapshotForRebuild(true);
  auto status = ScopedStatus(host_, "Удаление выделенных комбинаций...");
  const int total = undo_.Count();
  std::vector<uint8_t> selected(static_cast<size_t>(total));
  int count = 0;
  for (int r : rows)
    if (r >= 0 && r < total && !selected[static_cast<size_t>(r)]) {
      selected[static_cast<size_t>(r)] = 1;
      ++count;
    }
  {
    Rebuild out(working_, undo_.Capacity());
    const Combination* in = undo_.Data();
    for (int i = 0; i < total; ++i)
      if (!selected[static_cast<size_t>(i)]) out.Keep(in[i]);
  }
  AddLogRow(true, "Выделенные комбинации", std::to_string(count));
}

bool CombinationSet::ReadFile(Env& env, const std::string& path) {
  skippedLines_ = 0;
  readCount_ = 0;
  try {
    const std::string data = env.ReadFile(path);
    Combination c{};
    bool any = false;
    for (std::string_view line : SplitLines(data)) {
      if (!ParseLcvLine(line, c)) {
        if (!IsBlank(line)) ++skippedLines_;
        continue;
      }
      if (!any) {
        // The list changes only once the file holds a combination. Enough
        // room for one combination per line, so reading never regrows.
        any = true;
        working_.SetCount(0);
        working_.Resize(static_cast<size_t>(std::count(data.begin(), data.end(), '\n')) + 1, 0);
      }
      working_.Append(c);
      ++readCount_;
    }
    return true;
  } catch (const std::exception& e) {
    ShowError(Fmt("Ошибка чтения файла \"%s\"!\r\r%s", path.c_str(), e.what()));
    return false;
  }
}

bool CombinationSet::WriteFile(Env& env, const std::string& path) const {
  try {
    // A failed write must not cost the user the list saved before.
    WriteFileAtomic(env, path, LcvText(working_.Data(), static_cast<size_t>(working_.Count())));
    return true;
  } catch (const std::exception& e) {
    ShowError(Fmt("Ошибка записи в файл \"%s\"!\r\r%s", path.c_str(), e.what()));
    return false;
  }
}

std::string CombinationSet::ClipboardText(const std::vector<int>& rows) const {
  std::vector<int> sorted;
  for (int r : rows)
    if (r >= 0 && r < working_.Count()) sorted.push_back(r);
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::string out;
  for (int r : sorted) {
    out += CombinationClipboardText(working_[r]);
    out += "\r\n";
  }
  return out;
}

// Returns true when working now holds the pasted lines; text without lines
// changes nothing and returns false without a message.
bool CombinationSet::Paste(const std::string& text) {
  skippedLines_ = 0;
  const auto lines = SplitLines(text);
  if (lines.empty()) return false;
  TakeSnapshot(false);
  try {
    working_.Resize(lines.size(), 0);
    for (std::string_view line : lines) {
      // A line that is not five words is an error, as ParseCombination says.
      const auto words = SplitAny(line, "\t ,-.:;|", true);
      if (words.size() != kDrawSize) (void)ParseCombination(line);
      std::array<std::string_view, kDrawSize> views;
      for (size_t i = 0; i < views.size(); ++i) views[i] = words[i];
      Combination c{};
      if (WellFormed(views, c))
        working_.Append(c);
      else
        ++skippedLines_;
    }
    if (working_.Count() == 0) {
      RestoreSnapshot(true);
      DropSnapshot();
      return false;
    }
  } catch (const std::exception& e) {
    ShowError(e.what());
    RestoreSnapshot(true);
    DropSnapshot();
    return false;
  }
  ClearLog();
  DropSnapshot();
  return true;
}

void CombinationSet::Status(const std::string& text) const {
  if (host_) host_->SetStatusText(text);
}

void CombinationSet::ShowError(const std::string& text) const {
  if (host_) host_->ShowError(text);
}

// ---- texts

std::string LcvText(const Combination* list, size_t count) {
  std::string out;
  out.reserve(count * 16);
  for (size_t i = 0; i < count; ++i) {
    for (int k = 0; k < kDrawSize; ++k) {
      if (k) out += ';';
      AppendNumber(out, list[i][k]);
    }
    out += "\r\n";
  }
  return out;
}

std::string FindInArchiveText(const DrawArchive& archive, const Combination& c) {
  std::vector<std::string> found;
  for (int i = archive.Count() - 1; i >= 0 && found.size() <= 25; --i)
    if (MatchCount(archive.At(i).numbers, c) == kDrawSize) found.push_back(DrawDescription(archive.At(i)));
  if (found.empty()) return "Выделенная комбинация не найдена архиве тиражей!";
  std::string text = "Выделенная комбинация найдена в следующих тиражах:\r\n\r\n";
  for (size_t i = 0; i < found.size(); ++i) {
    if (i) text += "\r\n";
    text += found[i];
  }
  return text;
}

std::string DistinctNumbersText(const CombinationSet& set) {
  return Fmt("В текущем списке комбинаций содержится %d уникальных номеров",
             CountDistinct(set.Working().Data(), static_cast<size_t>(set.Count())));
}

}  // namespace px
