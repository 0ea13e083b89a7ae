// The one codec between the program's UTF-8 texts and the cp1251 bytes of its
// files. Every byte value decodes to some character and encodes back to
// itself, so unknown bytes survive a read-modify-write of a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace px {

std::string Cp1251ToUtf8(std::string_view bytes);

// Characters that cp1251 cannot hold become "?". Malformed UTF-8 bytes are
// taken as cp1251 bytes, so text that was never valid UTF-8 is kept as is.
std::string Utf8ToCp1251(std::string_view text);

// The character of UTF-8 text at i as a cp1251 byte (0..255), or 0x100 plus
// its code point when cp1251 has no such character; i moves past it.
// Malformed bytes count as cp1251 bytes, as Utf8ToCp1251 takes them.
uint32_t NextCp1251Unit(std::string_view text, size_t& i);

// The capital, and the small letter, of a cp1251 letter that has two cases
// (Latin, Cyrillic with Ё, and the other Cyrillic pairs of the code page);
// any other byte is returned as it is.
uint8_t UpperCp1251(uint8_t byte);
uint8_t LowerCp1251(uint8_t byte);

}  // namespace px
