#include "core/archive.h"

#include <algorithm>
#include <cstring>

#include "core/cp1251.h"
#include "core/dates.h"
#include "core/env.h"
#include "core/little_endian.h"
#include "core/errors.h"
#include "core/text.h"

namespace px {

static_assert(sizeof(int32_t) + kDrawSize + 1 + 10 == kDrawRecordSize);

std::string DrawRecord::DateString() const {
  return Cp1251ToUtf8(std::string_view(date.data(), std::min<size_t>(dateLength, date.size())));
}

void DrawRecord::SetDateBytes(std::string_view bytes) {
  date.fill(0);
  dateLength = static_cast<uint8_t>(std::min(bytes.size(), date.size()));
  std::memcpy(date.data(), bytes.data(), dateLength);
}

void DrawRecord::SetDate(std::string_view utf8) { SetDateBytes(Utf8ToCp1251(utf8)); }

void EncodeDrawRecord(const DrawRecord& r, char* out) {
  le::PutU32(out, static_cast<uint32_t>(r.number));
  for (int i = 0; i < kDrawSize; ++i) out[4 + i] = static_cast<char>(r.numbers[i]);
  out[9] = static_cast<char>(std::min<uint8_t>(r.dateLength, 10));
  std::memcpy(out + 10, r.date.data(), 10);
}

DrawRecord DecodeDrawRecord(const char* in) {
  DrawRecord r;
  r.number = static_cast<int32_t>(le::GetU32(in));
  for (int i = 0; i < kDrawSize; ++i) r.numbers[i] = static_cast<uint8_t>(in[4 + i]);
  // A length beyond the field would read past it.
  r.dateLength = std::min<uint8_t>(static_cast<uint8_t>(in[9]), 10);
  std::memcpy(r.date.data(), in + 10, 10);
  return r;
}

std::string DrawDescription(const DrawRecord& r) {
  return Fmt("Тираж № %d от %s, значения: %s", r.number, r.DateString().c_str(),
             CombinationText(r.numbers).c_str());
}

std::string ArchivePath(const std::string& dataDir) {
  return JoinPath(dataDir, std::string(kDataBaseName) + ".ldr");
}

void DrawArchive::Load(Env& env, const std::string& path) {
  if (!env.Exists(path)) return;
  std::string data;
  try {
    data = env.ReadFile(path);
  } catch (const std::exception& e) {
    throw OperationError("Ошибка чтения файла тиражей!", e.what());
  }
  size_t whole = data.size() / kDrawRecordSize;
  records_.clear();
  records_.reserve(whole);
  for (size_t i = 0; i < whole; ++i) records_.push_back(DecodeDrawRecord(data.data() + i * kDrawRecordSize));
  if (size_t rest = data.size() % kDrawRecordSize)
    throw OperationError("Ошибка чтения файла тиражей!",
                         Fmt("Неполная запись в конце файла \"%s\": %zu байт из %zu", path.c_str(), rest,
                             kDrawRecordSize));
}

std::string DrawArchive::Serialize() const {
  std::string data(records_.size() * kDrawRecordSize, '\0');
  for (size_t i = 0; i < records_.size(); ++i) EncodeDrawRecord(records_[i], data.data() + i * kDrawRecordSize);
  return data;
}

void DrawArchive::Save(Env& env, const std::string& path) const {
  try {
    WriteFileAtomic(env, path, Serialize());
  } catch (const std::exception& e) {
    throw OperationError("Ошибка записи в файл тиражей!", e.what());
  }
}

void DrawArchive::DeleteAt(int index) {
  if (index < 0 || index >= Count()) throw Error(Fmt("Запись со индексом %d в файле данных не найдена!", index));
  records_.erase(records_.begin() + index);
}

int DrawArchive::ReferenceIndex(int offset) const {
  // Never overflows: at worst -1 - INT_MAX.
  return Count() - 1 - std::max(offset, 0);
}

Combination DrawArchive::NumbersAt(int p) const {
  if (!HasPosition(p)) return Combination{};
  return AtPosition(p).numbers;
}

int32_t DrawArchive::NextDrawNumber(int p) const {
  if (Empty()) return 1;
  if (!HasPosition(p)) return -1;
  const int32_t number = AtPosition(p).number;
  return number < INT32_MAX ? number + 1 : -1;
}

std::string DrawArchive::NextDrawText(int p) const {
  if (Empty() || p <= 0 || p >= Count()) return {};
  return CombinationText(AtPosition(p - 1).numbers);
}

int32_t DrawArchive::DateKeyAt(int p, int days) const {
  constexpr int32_t kFirst = 19950101;
  if (!HasPosition(p)) return kFirst;
  auto date = ParseDate(AtPosition(p).DateString());
  if (!date) return kFirst;
  return AddDaysToKey(DateKeyOf(*date), days);
}

int DrawArchive::IndexOfDraw(int32_t a) const {
  const int n = Count();
  if (n == 0) return -1;
  const int64_t first = records_.front().number, last = records_.back().number;
  if (a == first) return 0;
  if (a == last) return n - 1;
  double span = static_cast<double>(last - first + 1);
  double g = span != 0 ? static_cast<double>(n) * static_cast<double>(a - first) / span : -1.0;
  int64_t guess = (g < 0.0 || g > n - 1) ? n - 1 : static_cast<int64_t>(g);
  if (records_[guess].number == a) return static_cast<int>(guess);
  int step = a > records_[guess].number ? 1 : -1;
  for (int64_t i = guess + step; i >= 0 && i < n; i += step)
    if (records_[i].number == a) return static_cast<int>(i);
  for (int i = n - 1; i >= 0; --i)
    if (records_[i].number == a) return i;
  return -1;
}

int DrawArchive::FindByDateInRecent(std::string_view dateText, int window) const {
  const int n = Count();
  int stop = window <= 0 ? 0 : std::max(n - 1 - window, 0);
  for (int i = n - 1; i >= stop; --i) {
    std::string stored = records_[i].DateString();
    // Dates are digits and "/", so an ASCII comparison ignores case well enough.
    if (SameText(stored, dateText)) return i;
  }
  return -1;
}

std::bitset<256> DrawArchive::KnownNextDraw(int p) const {
  std::bitset<256> set;
  if (p > 0 && p < Count())
    for (uint8_t v : AtPosition(p - 1).numbers) set.set(v);
  return set;
}

const std::vector<std::string>& DrawListHeader() {
  static const std::vector<std::string> header = {"Тираж", "1", "2", "3", "4", "5", "S", "Дата тиража"};
  return header;
}

std::vector<std::string> DrawListRow(const DrawRecord& r, bool sorted) {
  Combination c = sorted ? Sorted(r.numbers) : r.numbers;
  std::vector<std::string> row;
  row.push_back(std::to_string(r.number));
  int sum = 0;
  for (uint8_t v : c) {
    row.push_back(std::to_string(v));
    sum += v;
  }
  row.push_back(std::to_string(sum));
  row.push_back(r.DateString());
  return row;
}

ArchiveStatus StatusOf(const DrawArchive& archive, int offset) {
  return ArchiveStatus{Fmt("Архив тиражей: %d", archive.Count()),
                       Fmt("Следующий тираж: %d", archive.NextDrawNumber(offset)), archive.NextDrawText(offset)};
}

Combination ParseDrawNumbers(std::string_view text) {
  auto words = SplitAny(text, ",;", false);
  Combination c{};
  bool ok = words.size() == kDrawSize;
  for (int i = 0; ok && i < kDrawSize; ++i) {
    const int32_t v = ParseInt32(words[i]).value_or(0);  // 0 is no number of the game either
    ok = v >= 1 && v <= kNumbers;
    if (ok) c[i] = static_cast<uint8_t>(v);
  }
  if (!ok || !IsValidDrawNumbers(c)) throw Error("Введена некорректная комбинация!");
  return c;
}

}  // namespace px
