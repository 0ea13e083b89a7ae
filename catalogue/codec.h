// The wire of the systems catalogue: form fields, the backslash escaping of
// request texts, Base64, UTC times, and the <result>/<row> answers. Answers
// are hostile input: every reader here checks what it takes and throws
// Error with a short cause instead of guessing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "stakes/systems.h"

namespace px {

// Codes 0..6 as "\0".."\6", 7..13 and 27 as "\a" "\b" "\t" "\n" "\v" "\f"
// "\r" "\e", and the double quote, the apostrophe, "?" and the backslash
// behind a backslash; nothing else changes.
std::string EscapeCatalogueText(std::string_view text);
// The inverse; a backslash before any other character is dropped, and a
// lone backslash at the end is kept.
std::string UnescapeCatalogueText(std::string_view text);

std::string Base64Encode(std::string_view bytes);
// Standard alphabet with padding; line breaks and blanks are skipped.
// Nullopt for any other character, a bad length or padding in the middle.
std::optional<std::string> Base64Decode(std::string_view text);

// Every byte except letters, digits and "-._~" as %XX.
std::string PercentEncode(std::string_view text);
// "+" is a blank; a "%" not followed by two hex digits stays as it is.
std::string PercentDecode(std::string_view text);

using FormFields = std::vector<std::pair<std::string, std::string>>;
// name=value&... with every value percent-encoded.
std::string FormBody(const FormFields& fields);
std::vector<std::pair<std::string, std::string>> ParseFormBody(std::string_view body);
// The first value of a field; empty when absent.
std::string FormValue(const FormFields& fields, std::string_view name);

// "yyyy-mm-dd hh:mm:ss" in UTC; empty for 0.
std::string UtcTimeText(int64_t seconds);
// By position (year 1-4, month 6-7, day 9-10, hour 12-13, minute 15-16,
// second 18-19); empty or blank gives 0. Throws Error for a text that holds
// no such time.
int64_t ParseUtcTime(std::string_view text);
// The same in local time, as the list and the dialog show times; empty for 0.
std::string LocalTimeText(int64_t seconds);
// Read back by the same positions as local time; nullopt for an empty text
// or one that holds no such time.
std::optional<int64_t> ParseLocalTime(std::string_view text);

// Longest texts an answer may carry, after decoding.
inline constexpr size_t kCatalogueMaxLine = 1024;         // author, e-mail, url
inline constexpr size_t kCatalogueMaxTitle = 1024;
inline constexpr size_t kCatalogueMaxDescription = 64 << 10;
inline constexpr size_t kCatalogueMaxText = 8 << 20;      // a combination list

// The catalogue's answers, as the server writes them.
using AnswerRow = std::vector<std::pair<std::string, std::string>>;
std::string AnswerText(const std::vector<AnswerRow>& rows);
std::string ErrorAnswer(const std::string& text);
AnswerRow ListRow(const tSystemInfo& info);

// The readers of answers. Each throws Error for a row whose "<error>" is not
// empty (its text) and for anything malformed.
// Nullopt when the answer holds no result text (the list is not available).
std::optional<std::vector<tSystemInfo>> ParseListAnswer(std::string_view body);
// "<clist>" of the first row where it is not empty, decoded; empty when none.
std::string ParseTextAnswer(std::string_view body);
// "<id_systems>" of the first row where it is a number >= 0; -1 when none.
int32_t ParseIdAnswer(std::string_view body);

// UTF-8 text limited to what the interface's code page holds: characters it
// has not become "?".
std::string ToInterfaceText(std::string_view utf8);

}  // namespace px
