// Errors of the engine. Every failure that reaches a person is an Error whose
// text is already in the system's own words; "\r\r" marks a paragraph break.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace px {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& text) : std::runtime_error(text) {}
};

// An operation that failed: "<operation message>\r\r<cause>", the form every
// error box of the program uses.
Error OperationError(std::string_view operationMessage, std::string_view cause);

// Text of an error for a terminal or a plain-text log: "\r" becomes a newline.
std::string PlainText(std::string_view message);

}  // namespace px
