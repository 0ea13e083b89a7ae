#include "core/cp1251.h"

#include <array>
#include <cstdint>
#include <utility>
#include <unordered_map>

namespace px {
namespace {

// Code points of bytes 0x80..0xFF; 0x98 is unassigned and kept as U+0098.
constexpr std::array<uint16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411,
    0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C,
    0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432,
    0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D,
    0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448,
    0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

const std::unordered_map<uint32_t, char>& Reverse() {
  static const std::unordered_map<uint32_t, char> map = [] {
    std::unordered_map<uint32_t, char> m;
    for (size_t i = 0; i < kHigh.size(); ++i) m[kHigh[i]] = static_cast<char>(0x80 + i);
    return m;
  }();
  return map;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; returns its length, 0 if malformed.
size_t DecodeUtf8(std::string_view text, size_t i, uint32_t& cp) {
  auto b = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char c = b(i);
  size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
  if (len == 0 || c >= 0xF8 || i + len > text.size()) return 0;
  cp = c & (0x7F >> len);
  for (size_t k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  return len;
}

// The capitals of the pairs outside the two alphabets, with their small letters.
constexpr std::pair<uint8_t, uint8_t> kOtherPairs[] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F},
    {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3},
    {0xBD, 0xBE}};

struct CaseTables {
  std::array<uint8_t, 256> upper{}, lower{};
  CaseTables() {
    for (int b = 0; b < 256; ++b) upper[size_t(b)] = lower[size_t(b)] = uint8_t(b);
    auto pair = [&](int capital, int small) {
      upper[size_t(small)] = uint8_t(capital);
      lower[size_t(capital)] = uint8_t(small);
    };
    for (int b = 'A'; b <= 'Z'; ++b) pair(b, b + 0x20);
    for (int b = 0xC0; b <= 0xDF; ++b) pair(b, b + 0x20);
    for (auto [capital, small] : kOtherPairs) pair(capital, small);
  }
};

const CaseTables& Cases() {
  static const CaseTables tables;
  return tables;
}

}  // namespace

uint8_t UpperCp1251(uint8_t byte) { return Cases().upper[byte]; }
uint8_t LowerCp1251(uint8_t byte) { return Cases().lower[byte]; }

uint32_t NextCp1251Unit(std::string_view text, size_t& i) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) {
    ++i;
    return c;
  }
  uint32_t cp = 0;
  const size_t len = DecodeUtf8(text, i, cp);
  if (len == 0) {
    ++i;
    return c;
  }
  i += len;
  if (cp >= 0x0410 && cp <= 0x044F) return 0xC0 + (cp - 0x0410);  // the alphabet, without a look-up
  const auto& rev = Reverse();
  auto it = rev.find(cp);
  return it != rev.end() ? static_cast<unsigned char>(it->second) : 0x100 + cp;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char ch : bytes) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 0x80)
      out += ch;
    else
      AppendUtf8(out, kHigh[c - 0x80]);
  }
  return out;
}

std::string Utf8ToCp1251(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto& rev = Reverse();
  for (size_t i = 0; i < text.size();) {
    auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += text[i++];
      continue;
    }
    uint32_t cp = 0;
    size_t len = DecodeUtf8(text, i, cp);
    if (len == 0) {
      out += text[i++];
      continue;
    }
    auto it = rev.find(cp);
    out += it != rev.end() ? it->second : '?';
    i += len;
  }
  return out;
}

}  // namespace px
