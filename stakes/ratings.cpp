#include "stakes/ratings.h"

#include "core/little_endian.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/arith.h"
#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"

namespace px {

namespace {

constexpr const char* kReadError = "Ошибка чтения файла рейтинга!";
constexpr const char* kWriteError = "Ошибка записи в файл рейтинга!";
constexpr const char* kRebuildError = "Ошибка обновления рейтинга!";

constexpr size_t kOffStakes = 256, kOffMatched = 260, kOffHistogram = 264, kOffProfit = 288;
static_assert(kOffHistogram + 6 * 4 == kOffProfit);
static_assert(kOffProfit + 8 == kRatingEntrySize);

using le::GetU32;
using le::GetU64;
using le::PutU32;
using le::PutU64;

std::string CommentBytes(std::string_view comment) {
  std::string bytes = Utf8ToCp1251(comment);
  if (bytes.size() > kRatingCommentBytes) bytes.resize(kRatingCommentBytes);
  return bytes;
}

// Comparable as a string: two bytes a character, ё placed right after е
// (cp1251 keeps it apart from the alphabet), then the bytes themselves so
// that comments differing in case still have a fixed order.
struct CommentKey {
  std::string weights;
  std::string bytes;
};

CommentKey MakeCommentKey(std::string_view comment) {
  CommentKey k;
  k.bytes = CommentBytes(comment);
  k.weights.reserve(k.bytes.size() * 2);
  for (char c : k.bytes) {
    const uint8_t f = LowerCp1251(static_cast<uint8_t>(c));
    const unsigned w = f == 0xB8 ? 0xE5u * 2 + 1 : f * 2u;
    k.weights += static_cast<char>(w >> 8);
    k.weights += static_cast<char>(w & 0xFF);
  }
  return k;
}

int CompareKeys(const CommentKey& a, const CommentKey& b) {
  if (int c = a.weights.compare(b.weights)) return c < 0 ? -1 : 1;
  if (int c = a.bytes.compare(b.bytes)) return c < 0 ? -1 : 1;
  return 0;
}

template <class T>
int Cmp(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// The column's value of a against b; both have stakes.
int CompareColumn(const RatingEntry& a, const RatingEntry& b, int column) {
  using Wide = __int128;
  switch (column) {
    case 1: return Cmp(a.stakes, b.stakes);
    case 2: return Cmp(a.matched, b.matched);
    case 3: return Cmp(int64_t(a.matched) * b.stakes, int64_t(b.matched) * a.stakes);
    case 4: return Cmp(a.profit, b.profit);
    case 5: return Cmp(Wide(a.profit) * b.stakes, Wide(b.profit) * a.stakes);
    default:
      if (column >= 6 && column <= 11) return Cmp(a.histogram[size_t(column - 6)], b.histogram[size_t(column - 6)]);
      return 0;
  }
}

bool LessWithKeys(const RatingEntry& a, const CommentKey& ka, const RatingEntry& b, const CommentKey& kb,
                  const RatingSort& sort) {
  if (sort.column != 0) {
    const bool emptyA = a.stakes <= 0, emptyB = b.stakes <= 0;
    if (emptyA != emptyB) return emptyB;
    if (!emptyA) {
      int c = CompareColumn(a, b, sort.column);
      if (sort.descending) c = -c;
      if (c != 0) return c < 0;
    }
  } else {
    int c = CompareKeys(ka, kb);
    if (sort.descending) c = -c;
    if (c != 0) return c < 0;
  }
  return CompareKeys(ka, kb) < 0;
}

// Half away from zero, in whole 1/10000 units.
Currency AverageProfit(const RatingEntry& e) {
  const bool negative = e.profit < 0;
  const unsigned __int128 magnitude =
      negative ? static_cast<unsigned __int128>(-static_cast<__int128>(e.profit)) : e.profit;
  const unsigned __int128 s = static_cast<unsigned __int128>(e.stakes);
  const auto q = static_cast<__int128>((2 * magnitude + s) / (2 * s));
  // One stake with the smallest profit averages to a magnitude no int64 holds.
  return static_cast<int64_t>(negative ? std::max<__int128>(-q, INT64_MIN) : std::min<__int128>(q, INT64_MAX));
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace

void EncodeRatingEntry(const RatingEntry& e, char* out) {
  std::fill(out, out + kRatingEntrySize, '\0');
  const std::string bytes = CommentBytes(e.comment);
  out[0] = static_cast<char>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), out + 1);
  PutU32(out + kOffStakes, static_cast<uint32_t>(e.stakes));
  PutU32(out + kOffMatched, static_cast<uint32_t>(e.matched));
  for (size_t k = 0; k < 6; ++k) PutU32(out + kOffHistogram + 4 * k, static_cast<uint32_t>(e.histogram[k]));
  PutU64(out + kOffProfit, static_cast<uint64_t>(e.profit));
}

RatingEntry DecodeRatingEntry(const char* in) {
  RatingEntry e;
  const size_t length = static_cast<uint8_t>(in[0]);
  e.comment = Cp1251ToUtf8(std::string_view(in + 1, length));
  e.stakes = static_cast<int32_t>(GetU32(in + kOffStakes));
  e.matched = static_cast<int32_t>(GetU32(in + kOffMatched));
  for (size_t k = 0; k < 6; ++k) e.histogram[k] = static_cast<int32_t>(GetU32(in + kOffHistogram + 4 * k));
  e.profit = static_cast<int64_t>(GetU64(in + kOffProfit));
  return e;
}

void DecodeRatingEntries(std::string_view bytes, std::vector<RatingEntry>& out) {
  const size_t whole = bytes.size() / kRatingEntrySize;
  out.reserve(out.size() + whole);
  for (size_t i = 0; i < whole; ++i) out.push_back(DecodeRatingEntry(bytes.data() + i * kRatingEntrySize));
  if (bytes.size() % kRatingEntrySize != 0)
    throw Error(Fmt("Неполная запись в конце файла (%zu байт)", bytes.size() % kRatingEntrySize));
}

std::string EncodeRatingEntries(const std::vector<RatingEntry>& entries) {
  std::string bytes(entries.size() * kRatingEntrySize, '\0');
  for (size_t i = 0; i < entries.size(); ++i) EncodeRatingEntry(entries[i], bytes.data() + i * kRatingEntrySize);
  return bytes;
}

std::string RatingsPath(const std::string& dataDir) {
  return JoinPath(dataDir, std::string(kDataBaseName) + ".lrt");
}

std::string RatingsPendingPath(const std::string& dataDir) { return RatingsPath(dataDir) + ".pending"; }

std::string RatingKey(std::string_view comment) { return FoldedText(RatingComment(comment)); }

std::string RatingComment(std::string_view comment) { return Cp1251ToUtf8(CommentBytes(comment)); }

int CompareRatingComments(std::string_view a, std::string_view b) {
  return CompareKeys(MakeCommentKey(a), MakeCommentKey(b));
}

const MatchProbabilities& TheoreticalMatchProbabilities() {
  static const MatchProbabilities table = [] {
    MatchProbabilities p{};
    for (int k = 0; k <= kDrawSize; ++k)
      p[size_t(k)] = static_cast<long double>(Binomial(5, k) * Binomial(31, 5 - k)) / 376992;
    return p;
  }();
  return table;
}

bool RatingLess(const RatingEntry& a, const RatingEntry& b, const RatingSort& sort) {
  return LessWithKeys(a, MakeCommentKey(a.comment), b, MakeCommentKey(b.comment), sort);
}

const std::vector<std::string>& RatingTitles() {
  static const std::vector<std::string> titles = {"Комментарий", "Ставок", "Угадано", "Среднее", "Профит",
                                                  "Ср. профит",  "0",      "1",       "2",       "3",
                                                  "4",           "5",      "E0",      "E1",      "E2",
                                                  "E3",          "E4",     "E5"};
  return titles;
}

std::string RatingCellText(const RatingEntry& e, int column, int effMode, const MatchProbabilities& p) {
  switch (column) {
    case 0: return e.comment;
    case 1: return std::to_string(e.stakes);
    case 2: return std::to_string(e.matched);
    case 3: return e.stakes == 0 ? "" : Fmt("%.3f", static_cast<double>(e.matched) / e.stakes);
    case 4: return MoneyText(e.profit);
    case 5: return e.stakes == 0 ? "" : MoneyText(AverageProfit(e));
    default: break;
  }
  if (column >= 6 && column <= 11) return std::to_string(e.histogram[size_t(column - 6)]);
  if (column < 12 || column > 17 || e.stakes == 0) return "";
  const size_t k = size_t(column - 12);
  const long double stakes = e.stakes, hits = e.histogram[k];
  switch (effMode) {
    case 0: return std::to_string(std::llround(stakes * p[k]));
    case 1: return Fmt("%.3f%%", static_cast<double>(hits * 100 / stakes - p[k] * 100));
    case 2: return Fmt("%.3f%%", static_cast<double>(hits * 100 / (stakes * p[k])));
    default: return "";
  }
}

std::vector<std::string> RatingRow(const RatingEntry& e, int effMode, const MatchProbabilities& p) {
  std::vector<std::string> row;
  row.reserve(kRatingColumns);
  for (int c = 0; c < kRatingColumns; ++c) row.push_back(RatingCellText(e, c, effMode, p));
  return row;
}

std::string RatingsCsvText(const std::vector<RatingEntry>& entries) {
  std::string text;
  const auto& titles = RatingTitles();
  for (size_t i = 0; i < titles.size(); ++i) {
    if (i) text += ';';
    text += Quoted(titles[i]);
  }
  text += "\r\n";
  for (const RatingEntry& e : entries) {
    text += Quoted(e.comment);
    for (int c = 1; c <= 11; ++c) {
      text += ';';
      text += RatingCellText(e, c, 1);
    }
    text += "\r\n";
  }
  return Utf8ToCp1251(text);
}

// ---- Ratings

Ratings::Ratings(Env& env, Host& host, std::string dataDir)
    : env_(env), host_(host), dataDir_(std::move(dataDir)), path_(RatingsPath(dataDir_)) {}

const RatingEntry* Ratings::Find(std::string_view comment) const {
  auto it = index_.find(RatingKey(comment));
  return it == index_.end() ? nullptr : &entries_[it->second];
}

void Ratings::AddStake(const StakeRecord& r) {
  const int m = r.matches.count;
  if (m < 0 || m > kDrawSize) return;
  ++unsaved_;
  auto [it, added] = index_.try_emplace(RatingKey(r.comment), entries_.size());
  if (added) {
    RatingEntry e;
    e.comment = RatingComment(r.comment);
    entries_.push_back(std::move(e));
  }
  RatingEntry& e = entries_[it->second];
  // An entry read from a damaged file may already stand at the limit.
  e.stakes = SaturatingAdd(e.stakes, int32_t{1});
  e.matched = SaturatingAdd(e.matched, int32_t(m));
  e.histogram[size_t(m)] = SaturatingAdd(e.histogram[size_t(m)], int32_t{1});
  e.profit = SaturatingAdd(e.profit, r.profit);
}

void Ratings::Reindex() {
  index_.clear();
  index_.reserve(entries_.size());
  // The first of equal keys wins, as a linear search would find it.
  for (size_t i = 0; i < entries_.size(); ++i) index_.try_emplace(RatingKey(entries_[i].comment), i);
}

bool Ratings::Read() {
  bool ok = true;
  {
    StatusScope status(host_, "Загрузка файла рейтинга...");
    entries_.clear();
    try {
      if (env_.Exists(path_)) DecodeRatingEntries(env_.ReadFile(path_), entries_);
    } catch (const std::exception& e) {
      host_.ShowError(OperationError(kReadError, e.what()).what());
      ok = false;
    }
    Reindex();
  }
  return ok;
}

bool Ratings::Load() {
  if (!env_.Exists(path_)) return true;
  const bool ok = Read();
  Sort();
  return ok;
}

bool Ratings::Save() {
  bool ok = true;
  {
    StatusScope status(host_, "Сохранение файла рейтинга...");
    try {
      WriteFileAtomic(env_, path_, EncodeRatingEntries(entries_), inRun_);
      unsaved_ = 0;
      lazySaved_ = inRun_;
      // Until the save is on the disk the mark is what keeps the stakes owed.
      if (marked_ && !inRun_) {
        try {
          env_.Remove(RatingsPendingPath(dataDir_));
          marked_ = false;
        } catch (const std::exception&) {
          // Left behind, the next start rebuilds a rating that is whole anyway.
        }
      }
    } catch (const std::exception& e) {
      host_.ShowError(OperationError(kWriteError, e.what()).what());
      ok = false;
    }
  }
  RefreshView();
  return ok;
}

bool Ratings::Sort() {
  {
    StatusScope status(host_, "Сортировка рейтинга...");
    std::vector<CommentKey> keys;
    keys.reserve(entries_.size());
    for (const RatingEntry& e : entries_) keys.push_back(MakeCommentKey(e.comment));
    std::vector<size_t> order(entries_.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return LessWithKeys(entries_[a], keys[a], entries_[b], keys[b], sort_);
    });
    std::vector<RatingEntry> sorted;
    sorted.reserve(entries_.size());
    for (size_t i : order) sorted.push_back(std::move(entries_[i]));
    entries_ = std::move(sorted);
    Reindex();
  }
  return Save();
}

void Ratings::BeginRun() { inRun_ = true; }

bool Ratings::SyncRun() {
  if (!inRun_) return true;
  try {
    if (lazySaved_) env_.SyncFile(path_);
    lazySaved_ = false;
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kWriteError, e.what()).what());
    return false;
  }
  // Stakes checked after the last save are still owed: the mark stays.
  if (marked_ && unsaved_ == 0) {
    try {
      env_.Remove(RatingsPendingPath(dataDir_));
      marked_ = false;
    } catch (const std::exception&) {
      // Left behind, the next start rebuilds a rating that is whole anyway.
    }
  }
  return true;
}

bool Ratings::EndRun() {
  const bool ok = SyncRun();
  inRun_ = false;
  return ok;
}

void Ratings::Clear() {
  entries_.clear();
  index_.clear();
  unsaved_ = 0;
}

void Ratings::RefreshView() {
  if (onViewChanged) onViewChanged();
  host_.SetStatusPanel(5, CountText());
}

int Ratings::CheckStakes(StakeStore& store, const DrawArchive& archive, const TConfigData& config) {
  const int64_t before = unsaved_;
  const int checked = store.CheckAndRefresh(archive, config, this);
  if (unsaved_ != before) Sort();
  return checked;
}

void Ratings::BeforeChecking() {
  // A mark made by an earlier process stays until Recover has rebuilt the
  // rating: saving this rating does not pay what that one owed.
  const std::string pending = RatingsPendingPath(dataDir_);
  if (marked_ || env_.Exists(pending)) return;
  WriteFileAtomic(env_, pending, "");
  marked_ = true;
}

bool Ratings::Recover(StakeStore& store) {
  if (!env_.Exists(RatingsPendingPath(dataDir_))) return true;
  return RebuildFrom(store);
}

bool Ratings::Rebuild(StakeStore& store) {
  if (!entries_.empty() &&
      !host_.AskYesNo("Пересчитать рейтинг только по текущим ставкам?\r\rНакопленные ранее данные по "
                      "удаленным ставкам будут потеряны."))
    return false;
  return RebuildFrom(store);
}

bool Ratings::RebuildFrom(StakeStore& store) {
  Ratings fresh(env_, host_, dataDir_);
  try {
    StatusScope status(host_, "Обновление рейтинга...");
    if (!store.IsOpen()) throw Error("Файл ставок не открыт!");
    const std::string bytes = env_.ReadFile(store.Path());
    for (size_t at = 0; at + kStakeRecordSize <= bytes.size(); at += kStakeRecordSize) {
      const StakeRecord r = DecodeStakeRecord(bytes.data() + at);
      if (r.drawNumber >= 0 && r.checked != 0) fresh.AddStake(r);
    }
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kRebuildError, e.what()).what());
    return false;
  }
  entries_ = std::move(fresh.entries_);
  index_ = std::move(fresh.index_);
  // Whole now, so the save ends any debt.
  marked_ = env_.Exists(RatingsPendingPath(dataDir_));
  return Sort();
}

bool Ratings::ExportCsv() {
  const auto path = host_.ChooseSaveFile({"CSV-файлы (*.csv)|*.csv", "csv"});
  if (!path) return false;
  try {
    StatusScope status(host_, "Экспорт в CSV-файл...");
    ExportCsvTo(*path);
  } catch (const std::exception& e) {
    host_.ShowError(e.what());
    return false;
  }
  return true;
}

void Ratings::ExportCsvTo(const std::string& path) const { WriteFileAtomic(env_, path, RatingsCsvText(entries_)); }

std::vector<std::string> Ratings::Row(size_t index, int effMode) const {
  if (index >= entries_.size()) {
    std::vector<std::string> row(kRatingColumns);
    row[0] = "# bad data #";
    return row;
  }
  return RatingRow(entries_[index], effMode);
}

std::string Ratings::CountText() const { return Fmt("Рейтинг: %zu", entries_.size()); }

}  // namespace px
