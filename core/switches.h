// Command-line switches: the word W is present when an argument equals,
// ignoring case, W, -W, --W, /W or \W.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace px {

bool HasSwitch(const std::vector<std::string>& args, std::string_view word);

}  // namespace px
