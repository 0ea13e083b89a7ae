// The draw archive: every known draw, oldest first, and its file
// Pentalux5_5v36.ldr of 20-byte records. Draws are addressed "from the end":
// position p = 0 is the newest draw, element [count - 1 - p].
//
// The archive is not thread-safe; the frame owns it and the statistic
// registry reads it directly.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/arith.h"

namespace px {

class Env;

struct DrawRecord {
  int32_t number = 0;
  Combination numbers{};  // in drawn or typed order
  uint8_t dateLength = 0;  // 0..10
  std::array<char, 10> date{};  // cp1251 bytes "mm/dd/yyyy"

  // The stored date as UTF-8.
  std::string DateString() const;
  // Stores the first 10 cp1251 bytes of the UTF-8 text.
  void SetDate(std::string_view utf8);
  void SetDateBytes(std::string_view cp1251);
  bool operator==(const DrawRecord&) const = default;
};

inline constexpr size_t kDrawRecordSize = 20;
// The highest draw number a person may enter: the draw after it still has a
// number, and so has the last draw of a stake on several draws.
inline constexpr int32_t kMaxDrawNumber = 2147483646;
void EncodeDrawRecord(const DrawRecord& r, char* out);  // exactly kDrawRecordSize bytes
DrawRecord DecodeDrawRecord(const char* in);

// "Тираж № %d от %s, значения: %s"
std::string DrawDescription(const DrawRecord& r);

std::string ArchivePath(const std::string& dataDir);

class DrawArchive {
 public:
  const std::vector<DrawRecord>& Records() const { return records_; }
  int Count() const { return static_cast<int>(records_.size()); }
  bool Empty() const { return records_.empty(); }
  const DrawRecord& At(int index) const { return records_[static_cast<size_t>(index)]; }
  DrawRecord& At(int index) { return records_[static_cast<size_t>(index)]; }
  // Position from the end: 0 is the newest draw.
  const DrawRecord& AtPosition(int p) const { return At(Count() - 1 - p); }
  bool HasPosition(int p) const { return p >= 0 && p < Count(); }
  // The array index of the reference draw: the newest draw once `offset`
  // draws are set aside. A negative offset counts as 0. When the offset sets
  // every draw aside (always, on an empty archive) the index is below 0,
  // Count() - 1 - offset, and no draw is the reference; a caller that must
  // judge from some index takes 0 itself.
  int ReferenceIndex(int offset) const;

  // Reads the file; a missing file leaves the archive as it is. On a read
  // failure throws Error("Ошибка чтения файла тиражей!..."): the whole
  // records stay, a trailing partial record is dropped.
  void Load(Env& env, const std::string& path);
  // Writes every record through a temporary file; on failure throws
  // Error("Ошибка записи в файл тиражей!...") and the old file stays whole.
  void Save(Env& env, const std::string& path) const;
  std::string Serialize() const;

  void Append(const DrawRecord& r) { records_.push_back(r); }
  // Throws Error("Запись со индексом %d в файле данных не найдена!").
  void DeleteAt(int index);
  void Clear() { records_.clear(); }

  Combination NumbersAt(int p) const;
  // The number after the draw at p; 1 for an empty archive, -1 without that
  // position or when the draw there already has the largest number.
  int32_t NextDrawNumber(int p) const;
  std::string NextDrawText(int p) const;
  int32_t DateKeyAt(int p, int days) const;
  int IndexOfDraw(int32_t number) const;
  int FindByDateInRecent(std::string_view dateText, int window) const;
  // The numbers of the known next draw at offset p (empty unless 0 < p < count).
  std::bitset<256> KnownNextDraw(int p) const;

 private:
  std::vector<DrawRecord> records_;
};

// The cells of one row of the draws list: number, the five numbers (ascending
// when sorted), their sum and the date.
std::vector<std::string> DrawListRow(const DrawRecord& r, bool sorted);
const std::vector<std::string>& DrawListHeader();

// The three status panels the archive keeps.
struct ArchiveStatus {
  std::string archiveSize;  // "Архив тиражей: %d"
  std::string nextDraw;     // "Следующий тираж: %d"
  std::string knownNext;    // numbers of the known next draw, or empty
};
ArchiveStatus StatusOf(const DrawArchive& archive, int offset);

// The draw dialog's check of "1;2;3;4;5": five words at "," and ";", each a
// whole number 1..36, all different. Throws Error("Введена некорректная комбинация!").
Combination ParseDrawNumbers(std::string_view text);

}  // namespace px
