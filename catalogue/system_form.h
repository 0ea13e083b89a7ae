// The system dialog's rules without its widgets: the check that rewrites the
// combination text when it loses the focus, and the checks of OK in their order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "stakes/systems.h"

namespace px {

struct SystemTextCheck {
  std::string text;  // "01 02 03 04 05" lines, CR LF after each but the last
  int numbers = 0;   // largest - smallest + 1; 0 without lines
  int lines = 0;
};

// Lines that are empty or have not exactly five words are dropped; the rest
// become five "%.2d" values. Throws Error naming the word that is not a
// whole number.
SystemTextCheck CheckSystemCombinations(std::string_view text);

// The fields as typed, before they become a tSystemData.
struct SystemFormTexts {
  std::string title, numbers, block, author, description, combinations;
};

enum class SystemField { Title, Numbers, Block, Author, Description, Combinations };
struct SystemFormFault {
  SystemField field;
  std::string message;
};
// The first check OK fails, in the dialog's order; nullopt when all hold.
// After the six checks of the fields the lines must be a system over the
// "Числа" positions, or it could be published and never played.
std::optional<SystemFormFault> ValidateSystemForm(const SystemFormTexts& form);

// An integer field: 0 when the text is not a number.
int32_t SystemFormNumber(std::string_view text);

}  // namespace px
