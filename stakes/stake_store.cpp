#include "stakes/stake_store.h"

#include "core/little_endian.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "core/archive.h"
#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"

namespace px {

namespace {

constexpr const char* kNotOpen = "Файл ставок не открыт!";
constexpr const char* kReadFileError = "Ошибка чтения файла ставок!";
constexpr const char* kWriteFileError = "Ошибка записи в файл ставок!";
constexpr const char* kReadRecordError = "Ошибка чтения записи из файла ставок!";
constexpr const char* kAddRecordError = "Ошибка добавления записи в файл ставок!";
constexpr const char* kSearchError = "Ошибка поиска записи в файле ставок!";
constexpr const char* kCheckError = "Ошибка проверки ставок!";
constexpr const char* kDeleteError = "Ошибка удаления записи из файла ставок!";
constexpr const char* kOutdated =
    "Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!";
constexpr int64_t kSize = static_cast<int64_t>(kStakeRecordSize);

// Field offsets of a record.
constexpr size_t kOffKind = 1, kOffDraw = 4, kOffChecked = 8, kOffSample = 12, kOffNumbers = 16,
                 kOffDrawn = 32, kOffMatches = 40, kOffProfit = 56, kOffComment = 64;
constexpr size_t kNumberSetSize = 16;
static_assert(kOffNumbers + kNumberSetSize == kOffDrawn);
static_assert(kOffDrawn + 5 + 3 == kOffMatches);
static_assert(kOffMatches + kNumberSetSize == kOffProfit);
static_assert(kOffProfit + 8 == kOffComment);
static_assert(kOffComment + 1 + kStakeCommentBytes == kStakeRecordSize);

using le::GetU32;
using le::GetU64;
using le::PutU32;
using le::PutU64;

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

void PutSet(char* out, const NumberSet& s) {
  PutU32(out, static_cast<uint32_t>(s.count));
  const int n = Clamp(s.count, 0, 12);
  for (int i = 0; i < 12; ++i) out[4 + i] = i < n ? static_cast<char>(s.values[size_t(i)]) : 0;
}
NumberSet GetSet(const char* in, int lo, int hi) {
  NumberSet s;
  s.count = Clamp(static_cast<int32_t>(GetU32(in)), lo, hi);
  for (size_t i = 0; i < 12; ++i) s.values[i] = static_cast<uint8_t>(in[4 + i]);
  return s;
}

int SetSize(const NumberSet& s) { return Clamp(s.count, 0, 12); }

std::string LocalTimeText(std::chrono::system_clock::time_point when) {
  std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm tm{};
  localtime_r(&t, &tm);
  return Fmt("%04d.%02d.%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
             tm.tm_sec);
}

}  // namespace

// ---- records

std::string StakeKindText(uint8_t kind) {
  switch (kind) {
    case 1: return "Вручную";
    case 2: return "Регуляр";
    case 3: return "Сценарий";
    case 4: return "Система";
    default: return "";
  }
}

std::optional<uint32_t> StakeKindColour(uint8_t kind) {
  switch (kind) {
    case 1: return 0xEAFFEA;
    case 2: return 0xFFEAEA;
    case 3: return 0xEAFFFF;
    case 4: return 0xFCFDD9;
    default: return std::nullopt;
  }
}

bool StakeRecord::operator==(const StakeRecord& o) const {
  auto same = [](const NumberSet& a, const NumberSet& b) { return a.count == b.count && a.values == b.values; };
  return version == o.version && kind == o.kind && drawNumber == o.drawNumber && checked == o.checked &&
         sample == o.sample && same(numbers, o.numbers) && drawNumbers == o.drawNumbers &&
         same(matches, o.matches) && profit == o.profit && comment == o.comment;
}

StakeRecord SeparatorRecord() {
  StakeRecord r;
  r.kind = static_cast<uint8_t>(StakeKind::Separator);
  r.drawNumber = -1;
  return r;
}

StakeRecord MakeStake(StakeKind kind, int32_t drawNumber, const NumberSet& numbers, int32_t sample,
                      std::string comment, const TConfigData& config) {
  StakeRecord r;
  r.kind = static_cast<uint8_t>(kind);
  r.drawNumber = drawNumber;
  r.sample = sample;
  r.numbers = numbers;
  r.comment = std::move(comment);
  // The cost of the whole extended stake, not of one simple stake.
  r.profit = StakeProfit(config, numbers.count, -1);
  return r;
}

void EncodeStakeRecord(const StakeRecord& r, char* out) {
  std::memset(out, 0, kStakeRecordSize);
  out[0] = static_cast<char>(r.version);
  out[kOffKind] = static_cast<char>(r.kind);
  PutU32(out + kOffDraw, static_cast<uint32_t>(r.drawNumber));
  out[kOffChecked] = static_cast<char>(r.checked);
  PutU32(out + kOffSample, static_cast<uint32_t>(r.sample));
  PutSet(out + kOffNumbers, r.numbers);
  for (size_t i = 0; i < 5; ++i) out[kOffDrawn + i] = static_cast<char>(r.drawNumbers[i]);
  PutSet(out + kOffMatches, r.matches);
  PutU64(out + kOffProfit, static_cast<uint64_t>(r.profit));
  std::string bytes = Utf8ToCp1251(r.comment);
  if (bytes.size() > kStakeCommentBytes) bytes.resize(kStakeCommentBytes);
  out[kOffComment] = static_cast<char>(bytes.size());
  std::memcpy(out + kOffComment + 1, bytes.data(), bytes.size());
}

StakeRecord DecodeStakeRecord(const char* in) {
  StakeRecord r;
  r.version = static_cast<uint8_t>(in[0]);
  r.kind = static_cast<uint8_t>(in[kOffKind]);
  r.drawNumber = static_cast<int32_t>(GetU32(in + kOffDraw));
  r.checked = static_cast<uint8_t>(in[kOffChecked]);
  r.sample = static_cast<int32_t>(GetU32(in + kOffSample));
  r.numbers = GetSet(in + kOffNumbers, 0, 12);
  for (size_t i = 0; i < 5; ++i) r.drawNumbers[i] = static_cast<uint8_t>(in[kOffDrawn + i]);
  r.matches = GetSet(in + kOffMatches, -1, kDrawSize);
  r.profit = static_cast<int64_t>(GetU64(in + kOffProfit));
  const size_t length = static_cast<uint8_t>(in[kOffComment]);
  r.comment = Cp1251ToUtf8(std::string_view(in + kOffComment + 1, length));
  return r;
}

Currency StakeProfit(const TConfigData& config, int n, int m) {
  Currency result = SaturatingMul(-Binomial(n, kDrawSize), config.Cost);
  if (m >= 0) {
    for (const PrizeEntry& e : config.Profits) {
      if (e.overlap == m) {
        result = SaturatingAdd(result, e.profit);
        break;
      }
    }
  }
  return result;
}

NumberSet ParseStakeNumbers(std::string_view text) {
  const auto words = SplitAny(text, ",;", false);
  NumberSet s;
  bool ok = words.size() >= kDrawSize && words.size() <= 12;
  std::vector<int> seen;
  for (size_t i = 0; ok && i < words.size(); ++i) {
    auto v = ParseInt32(words[i]);
    ok = v && *v >= 1 && *v <= kNumbers && std::find(seen.begin(), seen.end(), *v) == seen.end();
    if (ok) seen.push_back(*v);
  }
  if (!ok) throw Error("Введена некорректная комбинация!");
  std::sort(seen.begin(), seen.end());
  s.count = static_cast<int32_t>(seen.size());
  for (size_t i = 0; i < seen.size(); ++i) s.values[i] = static_cast<uint8_t>(seen[i]);
  return s;
}

std::string NumberSetText(const NumberSet& s, std::string_view separator) {
  std::string text;
  for (int i = 0; i < SetSize(s); ++i) {
    if (i) text += separator;
    text += std::to_string(s.values[size_t(i)]);
  }
  return text;
}

std::string MoneyText(Currency value) {
  const bool negative = value < 0;
  // In hundredths; the magnitude keeps the rounding symmetric about zero.
  uint64_t magnitude = negative ? uint64_t(0) - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  uint64_t cents = (magnitude + 50) / 100;
  return Fmt("%s%llu.%02llu", negative && cents ? "-" : "", static_cast<unsigned long long>(cents / 100),
             static_cast<unsigned long long>(cents % 100));
}

const std::vector<std::string>& StakeGridTitles() {
  static const std::vector<std::string> titles = {"№ тиража",   "Вид ставки", "Моя ставка", "Выборка",
                                                  "Результаты тиража", "Совпадений", "Совпадения", "Профит",
                                                  "Комментарий"};
  return titles;
}

std::string StakeCellText(const StakeRecord& r, int column) {
  if (r.IsBlankRow()) return "";
  const bool checked = r.checked != 0;
  switch (column) {
    case 0: return std::to_string(r.drawNumber);
    case 1: return StakeKindText(r.kind);
    case 2: return NumberSetText(r.numbers, ";");
    case 3: return std::to_string(r.sample);
    case 4: return checked ? CombinationText(r.drawNumbers, ";") : "";
    case 5: return checked ? std::to_string(r.matches.count) : "";
    case 6: return checked ? NumberSetText(r.matches, " ") : "";
    case 7: return MoneyText(r.profit);
    case 8: return r.comment;
    default: return "";
  }
}

std::vector<std::string> StakeRow(const StakeRecord& r) {
  std::vector<std::string> row;
  for (int c = 0; c < 9; ++c) row.push_back(StakeCellText(r, c));
  return row;
}

std::string StakesPath(const std::string& dataDir) { return JoinPath(dataDir, std::string(kDataBaseName) + ".lsk"); }

std::string StakeLogName(int matches) { return Fmt("%s-%d.log", kDataBaseName, matches); }

std::string StakeLogLine(const StakeRecord& r, const std::string& when) {
  return when + ": " +
         Fmt("Тираж № %s. Ставка: \"%s\" [%s] {%d}. Результаты тиража: [%s]. Совпадений: %d. Профит: %s.",
             std::to_string(r.drawNumber).c_str(), r.comment.c_str(), NumberSetText(r.numbers, ";").c_str(),
             r.sample, CombinationText(r.drawNumbers, ";").c_str(), r.matches.count, MoneyText(r.profit).c_str());
}

// ---- the store

StakeStore::StakeStore(Env& env, Host& host, std::string dataDir)
    : env_(env), host_(host), dataDir_(std::move(dataDir)), path_(StakesPath(dataDir_)) {}

StakeStore::~StakeStore() { Close(); }

void StakeStore::Open() {
  if (IsOpen()) return;
  ResetCaches();
  auto file = env_.OpenFile(path_, FileMode::Locked);
  const int64_t size = file->Size();
  mtimeNs_ = file->ModifiedNs();
  file_ = std::move(file);
  size_ = size;
}

void StakeStore::Close() {
  if (!IsOpen()) return;
  auto file = std::move(file_);
  size_ = 0;
  ResetCaches();
  try {
    file->Close();
  } catch (...) {
    // Nothing is pending: every write went to the file at once.
  }
}

bool StakeStore::Reopen() {
  // The caches survive when nobody wrote the file while it was released.
  int64_t mtime = -1;
  if (IsOpen()) {
    try {
      mtime = file_->ModifiedNs();
    } catch (const std::exception&) {
      // Unknown: the caches are rebuilt.
    }
  }
  const int64_t size = size_, prefix = checkedPrefix_;
  const bool indexed = indexBuilt_;
  std::vector<Key> keys;
  std::unordered_map<int32_t, std::vector<int64_t>> byDraw;
  keys.swap(keys_);
  byDraw.swap(byDraw_);
  try {
    Close();
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kWriteFileError, e.what()).what());
  }
  try {
    Open();
    if (mtime >= 0 && size_ == size && mtimeNs_ == mtime) {
      checkedPrefix_ = prefix;
      indexBuilt_ = indexed;
      keys_.swap(keys);
      byDraw_.swap(byDraw);
    }
    return true;
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kReadFileError, e.what()).what());
    return false;
  }
}

bool StakeStore::Load() {
  StatusScope status(host_, "Загрузка файла ставок...");
  try {
    Open();
    CheckVersion();
    return true;
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kReadFileError, e.what()).what());
    return false;
  }
}

void StakeStore::CheckVersion() {
  RequireOpen();
  if (size_ == 0) return;
  bool outdated = size_ % kSize != 0;
  if (!outdated) {
    char first = 0;
    ReadAt(0, &first, 1);
    outdated = static_cast<uint8_t>(first) != kStakeVersion;
  }
  if (!outdated) return;
  host_.ShowWarningAs("Предупреждение", kOutdated);
  // A copy first: the warning empties the file, but nothing is destroyed.
  // Each event keeps its own copy, so a second damaged file never costs the
  // first one's stakes.
  std::string bytes(static_cast<size_t>(size_), '\0');
  ReadAt(0, bytes.data(), bytes.size());
  WriteFileAtomic(env_, FreeBackupPath(), bytes);
  Clear();
}

std::string StakeStore::FreeBackupPath() const {
  std::time_t t = std::chrono::system_clock::to_time_t(env_.Now());
  std::tm tm{};
  localtime_r(&t, &tm);
  const std::string stamp = Fmt("%04d-%02d-%02d-%02d-%02d-%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                                tm.tm_hour, tm.tm_min, tm.tm_sec);
  std::string candidate = Fmt("%s.%s.bak", path_.c_str(), stamp.c_str());
  for (int n = 2; env_.Exists(candidate); ++n) candidate = Fmt("%s.%s-%d.bak", path_.c_str(), stamp.c_str(), n);
  return candidate;
}

void StakeStore::RequireOpen() const {
  if (!IsOpen()) throw Error(kNotOpen);
}

void StakeStore::ResetCaches() {
  cached_ = false;
  checkedPrefix_ = 0;
  indexBuilt_ = false;
  keys_.clear();
  byDraw_.clear();
}

void StakeStore::ReadAt(int64_t position, char* out, size_t size) const { file_->ReadAt(position, out, size); }

void StakeStore::WriteAt(int64_t position, const char* data, size_t size) {
  try {
    file_->WriteAt(position, std::string_view(data, size));
  } catch (...) {
    // An append cut short must not leave a torn file behind.
    if (position >= size_) {
      try {
        file_->Truncate(size_);
      } catch (...) {
        // The write's error is the one worth reporting.
      }
    }
    throw;
  }
  size_ = std::max<int64_t>(size_, position + static_cast<int64_t>(size));
}

int64_t StakeStore::PositionOf(int64_t index, bool fromEnd) const {
  return fromEnd ? size_ + index * kSize : index * kSize;
}

StakeRecord StakeStore::ReadRecord(int64_t index, bool fromEnd) {
  if (cached_ && cacheIndex_ == index && cacheFromEnd_ == fromEnd) return cache_;
  static const std::array<char, kStakeRecordSize> zeros{};
  StakeRecord r = DecodeStakeRecord(zeros.data());
  try {
    RequireOpen();
    const int64_t position = PositionOf(index, fromEnd);
    if (position < 0 || position > size_ - kSize)
      throw Error(Fmt("Запись со индексом %lld в файле данных не найдена!", static_cast<long long>(index)));
    std::array<char, kStakeRecordSize> bytes{};
    ReadAt(position, bytes.data(), bytes.size());
    r = DecodeStakeRecord(bytes.data());
    cache_ = r;
    cacheIndex_ = index;
    cacheFromEnd_ = fromEnd;
    cached_ = true;
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kReadRecordError, e.what()).what());
  }
  return r;
}

bool StakeStore::WriteRecord(const StakeRecord& r, int64_t index, bool fromEnd) {
  try {
    RequireOpen();
    const int64_t position = PositionOf(index, fromEnd);
    if (position < 0 || position > size_)
      throw Error(Fmt("Запись со индексом %lld в файле данных не найдена!", static_cast<long long>(index)));
    std::array<char, kStakeRecordSize> bytes;
    EncodeStakeRecord(r, bytes.data());
    cached_ = false;
    WriteAt(position, bytes.data(), bytes.size());
    checkedPrefix_ = std::min(checkedPrefix_, position / kSize);
    IndexPut(position / kSize, DecodeStakeRecord(bytes.data()));
    return true;
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kAddRecordError, e.what()).what());
    return false;
  }
}

void StakeStore::AppendRaw(const StakeRecord& r) {
  std::array<char, kStakeRecordSize> bytes;
  EncodeStakeRecord(r, bytes.data());
  // A torn tail (never left by this store) would misalign every later record.
  const int64_t position = size_ - size_ % kSize;
  cached_ = false;
  WriteAt(position, bytes.data(), bytes.size());
  IndexPut(position / kSize, DecodeStakeRecord(bytes.data()));
}

bool StakeStore::Append(const StakeRecord& r, int drawCount) {
  const int64_t start = size_;
  try {
    RequireOpen();
    if (r.checked == 1) throw Error("Добавление в конец файла уже проверенной ставки!");
    if (drawCount < 2) {
      AppendRaw(r);
      return true;
    }
    if (int64_t(r.drawNumber) + drawCount - 1 > kMaxDrawNumber)
      throw Error(Fmt("Некорректный номер тиража: %lld! Номер тиража должен быть не больше %d.",
                      static_cast<long long>(int64_t(r.drawNumber) + drawCount - 1), kMaxDrawNumber));
    for (int i = 1; i <= drawCount; ++i) {
      if (HasRecords()) {
        std::array<char, kStakeRecordSize> bytes;
        ReadAt((RecordCount() - 1) * kSize, bytes.data(), bytes.size());
        if (DecodeStakeRecord(bytes.data()).drawNumber > 0) AppendRaw(SeparatorRecord());
      }
      StakeRecord copy = r;
      copy.drawNumber = r.drawNumber + i - 1;
      AppendRaw(copy);
    }
    return true;
  } catch (const std::exception& e) {
    // A stake over several draws goes in whole or not at all.
    if (IsOpen() && size_ > start) {
      try {
        file_->Truncate(start);
        size_ = start;
        cached_ = false;
        indexBuilt_ = false;
        keys_.clear();
        byDraw_.clear();
      } catch (...) {
        // The records stay; each is whole.
      }
    }
    host_.ShowError(OperationError(kAddRecordError, e.what()).what());
    return false;
  }
}

void StakeStore::BuildIndex() {
  keys_.clear();
  byDraw_.clear();
  const int64_t count = RecordCount();
  keys_.reserve(static_cast<size_t>(count));
  // Whole blocks at a time: the file is read once per open, not per query.
  constexpr int64_t kBlock = 4096;
  std::vector<char> block(static_cast<size_t>(std::min(kBlock, count) * kSize));
  for (int64_t first = 0; first < count; first += kBlock) {
    const int64_t n = std::min(kBlock, count - first);
    ReadAt(first * kSize, block.data(), static_cast<size_t>(n * kSize));
    for (int64_t i = 0; i < n; ++i) {
      StakeRecord r = DecodeStakeRecord(block.data() + i * kSize);
      keys_.push_back({r.drawNumber, r.numbers});
      byDraw_[r.drawNumber].push_back(first + i);
    }
  }
  indexBuilt_ = true;
}

void StakeStore::IndexDrop(int64_t index) {
  auto it = byDraw_.find(keys_[size_t(index)].drawNumber);
  if (it == byDraw_.end()) return;
  auto& list = it->second;
  list.erase(std::remove(list.begin(), list.end(), index), list.end());
  if (list.empty()) byDraw_.erase(it);
}

void StakeStore::IndexPut(int64_t index, const StakeRecord& r) {
  if (!indexBuilt_) return;
  if (index < static_cast<int64_t>(keys_.size())) {
    IndexDrop(index);
    keys_[size_t(index)] = {r.drawNumber, r.numbers};
  } else {
    keys_.push_back({r.drawNumber, r.numbers});
  }
  byDraw_[r.drawNumber].push_back(index);
}

bool StakeStore::Contains(int32_t drawNumber, const NumberSet& numbers) {
  try {
    RequireOpen();
    if (!indexBuilt_) BuildIndex();
    auto it = byDraw_.find(drawNumber);
    if (it == byDraw_.end()) return false;
    for (int64_t index : it->second)
      if (keys_[size_t(index)].numbers == numbers) return true;
    return false;
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kSearchError, e.what()).what());
    return false;
  }
}

bool StakeStore::Rewrite(const std::function<bool(int64_t, const StakeRecord&)>& keep) {
  const std::string temp = JoinPath(dataDir_, std::string(kDataBaseName) + ".~tmp");
  try {
    if (!HasRecords()) throw Error(kNotOpen);
    const int64_t count = RecordCount();
    std::string kept;
    std::array<char, kStakeRecordSize> bytes;
    for (int64_t i = 0; i < count; ++i) {
      ReadAt(i * kSize, bytes.data(), bytes.size());
      if (keep(i, DecodeStakeRecord(bytes.data()))) kept.append(bytes.data(), bytes.size());
    }
    env_.WriteFile(temp, kept);
    // The new file is locked before it takes the old one's name, and the old
    // one stays open and untouched until the rename has succeeded: no moment
    // without the lock, and no moment without a whole stakes file.
    auto file = env_.OpenFile(temp, FileMode::Locked);
    try {
      env_.Rename(temp, path_);
    } catch (const std::exception& e) {
      file.reset();
      throw Error(Fmt("Ошибка переименования / удаления временного файла ставок %s!\r\r%s", temp.c_str(), e.what()));
    }
    file_.swap(file);
    try {
      file->Close();
    } catch (...) {
      // The old file is gone by its name; nothing of it is needed.
    }
    size_ = static_cast<int64_t>(kept.size());
    ResetCaches();
  } catch (const std::exception& e) {
    cached_ = false;
    try {
      if (env_.Exists(temp)) env_.Remove(temp);
    } catch (...) {
      // Left behind; the next rewrite overwrites it.
    }
    host_.ShowError(OperationError(kDeleteError, e.what()).what());
    return false;
  }
  return true;
}

bool StakeStore::DeleteRows(int64_t first, int64_t last) {
  return Rewrite([first, last](int64_t index, const StakeRecord&) { return index + 1 < first || index + 1 > last; });
}

std::optional<MatchComparison> MatchComparisonOf(int number) {
  if (number < 0 || number > static_cast<int>(MatchComparison::NotMore)) return std::nullopt;
  return static_cast<MatchComparison>(number);
}

bool StakeStore::DeleteWhere(MatchComparison comparison, int value) {
  return Rewrite([comparison, value](int64_t, const StakeRecord& r) {
    if (r.kind == static_cast<uint8_t>(StakeKind::Separator)) return true;
    const int m = r.matches.count;
    bool drop = false;
    switch (comparison) {
      case MatchComparison::Equal: drop = m == value; break;
      case MatchComparison::More: drop = m > value; break;
      case MatchComparison::NotLess: drop = m >= value; break;
      case MatchComparison::Less: drop = m < value; break;
      case MatchComparison::NotMore: drop = m <= value; break;
    }
    return !drop;
  });
}

void StakeStore::Clear() {
  RequireOpen();
  cached_ = false;
  file_->Truncate(0);
  size_ = 0;
  ResetCaches();
}

int StakeStore::CheckAll(const DrawArchive& archive, const TConfigData& config, RatingsSink* ratings) {
  int checkedCount = 0;
  StatusScope status(host_, "Проверка результатов ставок...");
  try {
    if (!HasRecords()) return 0;
    int64_t total = RecordCount();
    int64_t step = std::max<int64_t>(1, total / 100);
    const int64_t count = total;
    int64_t start = -1;
    int64_t pending = -1;  // the first stake left unchecked
    std::array<char, kStakeRecordSize> bytes;
    for (int64_t i = std::min(checkedPrefix_, count); i < count; ++i) {
      checkedPrefix_ = pending < 0 ? i : pending;
      ReadAt(i * kSize, bytes.data(), bytes.size());
      StakeRecord r = DecodeStakeRecord(bytes.data());
      const int64_t read = i + 1;
      if (r.checked != 0 || r.drawNumber <= 0 || r.numbers.count < kDrawSize) continue;
      if (start < 0) {
        start = read;
        total = count - read;
        step = std::max<int64_t>(1, total / 100);
      }
      const int64_t done = read - start;
      const int at = archive.IndexOfDraw(r.drawNumber);
      if (at >= 0) {
        const Combination& drawn = archive.At(at).numbers;
        r.checked = 1;
        r.drawNumbers = drawn;
        // Ascending because the drawn numbers are taken in ascending order.
        r.matches = NumberSet{};
        int hits = 0;
        for (uint8_t v : Sorted(drawn)) {
          bool inStake = false;
          for (int k = 0; k < SetSize(r.numbers) && !inStake; ++k) inStake = r.numbers.values[size_t(k)] == v;
          if (inStake) r.matches.values[size_t(hits++)] = v;
        }
        r.matches.count = hits;
        r.profit = StakeProfit(config, r.numbers.count, hits);
        if (checkedCount == 0 && ratings) ratings->BeforeChecking();
        EncodeStakeRecord(r, bytes.data());
        cached_ = false;
        WriteAt(i * kSize, bytes.data(), bytes.size());
        ++checkedCount;
        if (ratings) ratings->AddStake(r);
        if (logEnabled_) WriteLog(r);
      } else if (pending < 0) {
        pending = i;
      }
      if (total > 0 && done > 0 && done % step == 0)
        host_.SetStatusText(Fmt("Проверка результатов ставок ( завершено %.0f %% )...",
                                100.0 * static_cast<double>(done) / static_cast<double>(total)));
    }
    checkedPrefix_ = pending < 0 ? count : pending;
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kCheckError, e.what()).what());
  }
  return checkedCount;
}

int StakeStore::CheckAndRefresh(const DrawArchive& archive, const TConfigData& config, RatingsSink* ratings) {
  const int n = CheckAll(archive, config, ratings);
  if (n > 0) Reopen();
  return n;
}

std::string StakeStore::CountText() const { return Fmt("Ставок: %lld", static_cast<long long>(RecordCount())); }

std::string StakeStore::LogPath(int matches) const { return JoinPath(dataDir_, StakeLogName(matches)); }

void StakeStore::WriteLog(const StakeRecord& r) {
  if (r.checked != 1) return;
  const std::string path = LogPath(r.matches.count);
  const std::string line = Utf8ToCp1251(StakeLogLine(r, LocalTimeText(env_.Now())) + "\r\n");
  try {
    auto file = env_.OpenFile(path, FileMode::Append);
    if (static_cast<uint64_t>(file->Size()) > logLimit_) {
      file.reset();
      try {
        env_.Remove(path);
      } catch (const std::exception& e) {
        host_.ShowError(OperationError(Fmt("Ошибка удаления файла \"%s\"!", path.c_str()), e.what()).what());
      }
      file = env_.OpenFile(path, FileMode::Append);
    }
    file->Append(line);
    file->Close();
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(Fmt("Ошибка записи в файл \"%s\"!", path.c_str()), e.what()).what());
  }
}

std::vector<std::string> StakeLogFiles(Env& env, const std::string& dataDir) {
  const std::string prefix = std::string(kDataBaseName) + "-";
  std::vector<std::string> found;
  for (const std::string& name : env.ListDir(dataDir.empty() ? "." : dataDir)) {
    if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0) continue;
    if (name.compare(name.size() - 4, 4, ".log") != 0) continue;
    found.push_back(name);
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<std::string> StakeStore::LogFiles() const { return StakeLogFiles(env_, dataDir_); }

}  // namespace px
