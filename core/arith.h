// Numbers, combinations and their arithmetic. Stateless and allocation-free
// except the text forms and ParseIntList.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace px {

inline constexpr int kNumbers = 36;      // numbers 1..36
inline constexpr int kDrawSize = 5;      // five numbers per draw
inline constexpr int kCapacity = 376992; // C(36,5)
inline constexpr int kMinSum = 1 + 2 + 3 + 4 + 5;
inline constexpr int kMaxSum = 32 + 33 + 34 + 35 + 36;
inline constexpr int kSumStep = (kMaxSum - kMinSum) / 10;
inline constexpr const char* kDataBaseName = "Pentalux5_5v36";

// Five numbers; 0 marks a missing number. Combinations of the set are
// distinct and ascending; a draw keeps its drawn order.
using Combination = std::array<uint8_t, kDrawSize>;

// Copies the entry at `from` with one 8-byte move instead of a 4- and a
// 1-byte one: three bytes past each are read and written, so both must have
// an entry after them, and they must not overlap.
inline void StoreWide(Combination* to, const Combination* from) {
  uint64_t word;
  std::memcpy(&word, from, sizeof word);
  std::memcpy(to, &word, sizeof word);
}

// Up to twelve numbers with their count; the stake form of a combination.
struct NumberSet {
  int32_t count = 0;  // -1 in a stake's matches field: not yet checked
  std::array<uint8_t, 12> values{};
};
bool operator==(const NumberSet& a, const NumberSet& b);  // same count, same members

// ---- text forms
std::string NumberText(int n);
std::string CombinationText(const Combination& c, std::string_view separator = ";");
std::string CombinationClipboardText(const Combination& c);
// Throws Error("Некорректная комбинация: "%s"!") unless the text has five words.
Combination ParseCombination(std::string_view text);
std::vector<int32_t> ParseIntList(std::string_view text);
std::string IntListText(const std::vector<int32_t>& list, std::string_view separator);

// ---- sorting and matching
void SortFive(Combination& c);
inline Combination Sorted(Combination c) { SortFive(c); return c; }
int MatchCount(const Combination& a, const Combination& b);
bool Contains(int n, const Combination& c);
NumberSet ToNumberSet(const Combination& c);
int CountDistinct(const Combination* list, size_t count);
std::vector<int> DistinctInOrder(const Combination* list, size_t count);

// ---- counts
int64_t Binomial(int n, int k);
// Amounts and counts read from files can be anything: these stop at the ends
// of the range instead of wrapping.
inline int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t r;
  return __builtin_add_overflow(a, b, &r) ? (b < 0 ? INT64_MIN : INT64_MAX) : r;
}
inline int64_t SaturatingMul(int64_t a, int64_t b) {
  int64_t r;
  return __builtin_mul_overflow(a, b, &r) ? ((a < 0) != (b < 0) ? INT64_MIN : INT64_MAX) : r;
}
inline int32_t SaturatingAdd(int32_t a, int32_t b) {
  int32_t r;
  return __builtin_add_overflow(a, b, &r) ? (b < 0 ? INT32_MIN : INT32_MAX) : r;
}
int64_t ExactMatches(int N, int K, int k);
inline int CeilDiv(int a, int b) { return a / b + (a % b != 0 ? 1 : 0); }
inline int GroupCount(int from, int to, int size) {
  return from == 0 ? CeilDiv(to, size) : CeilDiv(to - from + 1, size);
}

// ---- number geometry; w is MatrixCols or ChannelSize (at least 1)
inline int MatrixColumn(int n, int w) { return (n - 1) % w + 1; }
inline int MatrixRow(int n, int w) { return (n - 1) / w + 1; }
inline int NumberAt(int row0, int column0, int w) { return row0 * w + column0 + 1; }
inline int MatrixRows(int w) { return CeilDiv(kNumbers, w); }
inline int ChannelOf(int n, int channelSize) { return CeilDiv(n, channelSize); }

// 0xRRGGBB of a number's channel; pure red for numbers outside 1..36.
uint32_t ChannelColour(int n, int channelSize);
extern const std::array<uint32_t, 19> kChannelPalette;  // entries 1..19 at 0..18

// ---- cyclic shift, k in -35..35
int Shift(int n, int k);
Combination ShiftCombination(const Combination& c, int k);

// True when every number is 1..36 and the five are distinct.
bool IsValidDrawNumbers(const Combination& c);

}  // namespace px
