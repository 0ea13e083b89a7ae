#include "core/arith.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <cmath>

#include "core/errors.h"
#include "core/text.h"

namespace px {

bool operator==(const NumberSet& a, const NumberSet& b) {
  if (a.count != b.count) return false;
  int n = a.count < 0 ? 0 : (a.count > 12 ? 12 : a.count);
  for (int i = 0; i < n; ++i) {
    bool found = false;
    for (int j = 0; j < n && !found; ++j) found = a.values[i] == b.values[j];
    if (!found) return false;
  }
  return true;
}

std::string NumberText(int n) { return std::to_string(n); }

std::string CombinationText(const Combination& c, std::string_view separator) {
  std::string out;
  for (int i = 0; i < kDrawSize; ++i) {
    if (i) out += separator;
    out += std::to_string(c[i]);
  }
  return out;
}

std::string CombinationClipboardText(const Combination& c) {
  std::string out;
  for (int i = 0; i < kDrawSize; ++i) {
    if (i) out += ' ';
    out += Fmt("%02d", c[i]);
  }
  return out;
}

Combination ParseCombination(std::string_view text) {
  auto words = SplitAny(text, "\t ,-.:;|", true);
  if (words.size() != kDrawSize) throw Error(Fmt("Некорректная комбинация: \"%s\"!", std::string(text).c_str()));
  Combination c{};
  for (int i = 0; i < kDrawSize; ++i) c[i] = static_cast<uint8_t>(IntOr(words[i], 0));
  return c;
}

std::vector<int32_t> ParseIntList(std::string_view text) {
  std::vector<int32_t> out;
  if (text.empty()) return out;
  auto words = SplitAny(text, ";,", true);
  bool allInts = !words.empty();
  for (const auto& w : words) {
    auto v = ParseInt32(w);
    if (!v) {
      allInts = false;
      break;
    }
    out.push_back(*v);
  }
  if (allInts) return out;
  out.clear();

  // start-end;step, the start may carry its own minus sign
  size_t dash = text.find('-', 1);
  if (dash == std::string_view::npos) return out;
  size_t sep = text.find_first_of(";,", dash + 1);
  if (sep == std::string_view::npos) return out;
  auto start = ParseInt32(text.substr(0, dash));
  auto end = ParseInt32(text.substr(dash + 1, sep - dash - 1));
  auto step = ParseInt32(text.substr(sep + 1));
  if (!start || !end || !step || *step == 0) return out;
  int64_t count = (static_cast<int64_t>(*end) - *start) / *step + 1;
  if (count < 1) return out;
  if (count > 1'000'000) return out;  // no sane list is longer; refuse rather than exhaust memory
  for (int64_t i = 0; i < count; ++i) out.push_back(static_cast<int32_t>(*start + i * *step));
  return out;
}

std::string IntListText(const std::vector<int32_t>& list, std::string_view separator) {
  std::string out;
  for (size_t i = 0; i < list.size(); ++i) {
    if (i) out += separator;
    out += std::to_string(list[i]);
  }
  return out;
}

void SortFive(Combination& c) {
  for (int i = 1; i < kDrawSize; ++i) {
    uint8_t v = c[i];
    int j = i - 1;
    while (j >= 0 && c[j] > v) {
      c[j + 1] = c[j];
      --j;
    }
    c[j + 1] = v;
  }
}

int MatchCount(const Combination& a, const Combination& b) {
  int n = 0;
  for (int i = 0; i < kDrawSize; ++i)
    for (int j = 0; j < kDrawSize; ++j) n += a[i] == b[j];
  return n;
}

bool Contains(int n, const Combination& c) {
  for (uint8_t v : c)
    if (v == n) return true;
  return false;
}

NumberSet ToNumberSet(const Combination& c) {
  NumberSet s;
  s.count = kDrawSize;
  for (int i = 0; i < kDrawSize; ++i) s.values[i] = c[i];
  return s;
}

namespace {

// Which of the numbers in `wanted` (a bit per number) occur in the list. Every
// byte of the list is a number, so this is a search of the bytes, 16 at a
// time, and it ends once all are found.
uint64_t PresentAmong(const Combination* list, size_t count, uint64_t wanted) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(list);
  const size_t size = count * sizeof(Combination);
  uint64_t found = 0;
  if (wanted == 0) return 0;
#if defined(__SSE2__)
  if (size >= 16) {
    uint8_t values[kNumbers];
    int k = 0;
    for (int v = 1; v <= kNumbers; ++v)
      if (wanted >> v & 1) values[k++] = uint8_t(v);
    for (int first = 0; first < k; first += 4) {
      // Four numbers per sweep, held in registers; few are missing as a rule.
      // Lanes past the last number repeat it.
      uint8_t v[4];
      for (int j = 0; j < 4; ++j) v[j] = values[std::min(first + j, k - 1)];
      const __m128i w0 = _mm_set1_epi8(char(v[0])), w1 = _mm_set1_epi8(char(v[1]));
      const __m128i w2 = _mm_set1_epi8(char(v[2])), w3 = _mm_set1_epi8(char(v[3]));
      __m128i h0 = _mm_setzero_si128(), h1 = h0, h2 = h0, h3 = h0;
      uint64_t sweep = 0;
      for (int j = 0; j < 4; ++j) sweep |= uint64_t(1) << v[j];
      auto got = [&] {
        return (_mm_movemask_epi8(h0) ? uint64_t(1) << v[0] : 0) | (_mm_movemask_epi8(h1) ? uint64_t(1) << v[1] : 0) |
               (_mm_movemask_epi8(h2) ? uint64_t(1) << v[2] : 0) | (_mm_movemask_epi8(h3) ? uint64_t(1) << v[3] : 0);
      };
      const size_t whole = size & ~size_t(15);
      for (size_t pos = 0; pos < whole;) {
        const size_t stop = std::min(whole, pos + 4096);
        for (; pos < stop; pos += 16) {
          const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + pos));
          h0 = _mm_or_si128(h0, _mm_cmpeq_epi8(chunk, w0));
          h1 = _mm_or_si128(h1, _mm_cmpeq_epi8(chunk, w1));
          h2 = _mm_or_si128(h2, _mm_cmpeq_epi8(chunk, w2));
          h3 = _mm_or_si128(h3, _mm_cmpeq_epi8(chunk, w3));
        }
        if (got() == sweep) break;
      }
      found |= got();
      // The tail that is not a whole 16 bytes.
      for (size_t b = whole; b < size; ++b)
        if (bytes[b] < 64 && (sweep >> bytes[b] & 1)) found |= uint64_t(1) << bytes[b];
    }
    return found & wanted;
  }
#endif
  for (size_t at = 0; at < size; ++at)
    if (bytes[at] < 64 && (wanted >> bytes[at] & 1)) found |= uint64_t(1) << bytes[at];
  return found & wanted;
}

}  // namespace

std::vector<int> DistinctInOrder(const Combination* list, size_t count) {
  // A bit per number, so most combinations cost one test: nothing new here.
  static const auto bits = [] {
    std::array<uint64_t, 256> b{};
    for (int v = 1; v <= kNumbers; ++v) b[size_t(v)] = uint64_t(1) << v;
    return b;
  }();
  std::vector<int> out;
  uint64_t seen = 0;
  auto walk = [&](size_t& i, size_t end, uint64_t target) {
    for (; i < end && seen != target; ++i) {
      const Combination& c = list[i];
      const uint64_t m = bits[c[0]] | bits[c[1]] | bits[c[2]] | bits[c[3]] | bits[c[4]];
      if ((m & ~seen) == 0) continue;
      for (uint8_t v : c)
        if (bits[v] & ~seen) {
          seen |= bits[v];
          out.push_back(v);
        }
    }
  };
  constexpr uint64_t kAll = ((uint64_t(1) << kNumbers) - 1) << 1;
  size_t i = 0;
  // A list holding every number shows them all early; one that lacks some
  // would be walked to its end, so the rest's numbers are gathered first
  // (independent ORs, several times faster than the walk).
  walk(i, std::min(count, size_t(4096)), kAll);
  if (seen == kAll || i == count) return out;
  const uint64_t present = seen | PresentAmong(list + i, count - i, kAll & ~seen);
  walk(i, count, present);
  return out;
}

int CountDistinct(const Combination* list, size_t count) {
  return static_cast<int>(DistinctInOrder(list, count).size());
}

int64_t Binomial(int n, int k) {
  if (k >= n) return 1;
  if (k < 0) return 0;
  // Exact in integers for every size the program uses.
  int64_t r = 1;
  for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
  return r;
}

int64_t ExactMatches(int N, int K, int k) {
  if (k >= N) return 1;
  if (k < 0 || k > K || K - k > N - K) return 0;
  return Binomial(K, k) * Binomial(N - K, K - k);
}

const std::array<uint32_t, 19> kChannelPalette = {0xAAFFAA, 0xFFFFAA, 0xAAFFFF, 0xFFAAAA, 0xAAAAFF, 0xFFD5AA, 0xD5AAFF,
                                                  0xD4D4D4, 0xAAD5FF, 0xFFAAD5, 0xD5FFD5, 0xFFFFD5, 0xD5FFFF, 0xFFD5D5,
                                                  0xD5D5FF, 0xFFEAD5, 0xEAD5FF, 0xE9E9E9, 0xD5EAFF};

uint32_t ChannelColour(int n, int channelSize) {
  if (n < 1 || n > kNumbers || channelSize < 1) return 0xFF0000;
  int ch = ChannelOf(n, channelSize);
  if (ch > 19) ch -= 19;
  return kChannelPalette[ch - 1];
}

int Shift(int n, int k) {
  if (k == 0) return n;
  int r = n + k;
  if (k > 0 && r > kNumbers) r -= kNumbers;
  if (k < 0 && r < 1) r += kNumbers;
  return r;
}

Combination ShiftCombination(const Combination& c, int k) {
  Combination r{};
  for (int i = 0; i < kDrawSize; ++i) r[i] = static_cast<uint8_t>(Shift(c[i], k));
  return r;
}

bool IsValidDrawNumbers(const Combination& c) {
  for (int i = 0; i < kDrawSize; ++i) {
    if (c[i] < 1 || c[i] > kNumbers) return false;
    for (int j = 0; j < i; ++j)
      if (c[j] == c[i]) return false;
  }
  return true;
}

}  // namespace px
