// Little-endian fields of the binary files, written and read byte by byte so
// no struct is ever laid over a buffer.
#pragma once

#include <cstdint>

namespace px::le {

inline void PutU16(char* out, uint16_t v) {
  out[0] = static_cast<char>(v & 0xFF);
  out[1] = static_cast<char>(v >> 8);
}
inline void PutU32(char* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void PutU64(char* out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline uint16_t GetU16(const char* in) {
  return static_cast<uint16_t>(static_cast<uint8_t>(in[0]) | (static_cast<uint8_t>(in[1]) << 8));
}
inline uint32_t GetU32(const char* in) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(static_cast<uint8_t>(in[i])) << (8 * i);
  return v;
}
inline uint64_t GetU64(const char* in) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= uint64_t(static_cast<uint8_t>(in[i])) << (8 * i);
  return v;
}

}  // namespace px::le
