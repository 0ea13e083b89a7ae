// The one codec between the program's UTF-8 texts and the cp1251 bytes of its
// files. Every byte value decodes to some character and encodes back to
// itself, so unknown bytes survive a read-modify-write of a file.
#pragma once

#include <string>
#include <string_view>

namespace px {

std::string Cp1251ToUtf8(std::string_view bytes);

// Characters that cp1251 cannot hold become "?". Malformed UTF-8 bytes are
// taken as cp1251 bytes, so text that was never valid UTF-8 is kept as is.
std::string Utf8ToCp1251(std::string_view text);

}  // namespace px
