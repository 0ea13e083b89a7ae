#include "core/errors.h"

namespace px {

Error OperationError(std::string_view operationMessage, std::string_view cause) {
  std::string text(operationMessage);
  text += "\r\r";
  text += cause;
  return Error(text);
}

std::string PlainText(std::string_view message) {
  std::string out;
  out.reserve(message.size());
  for (size_t i = 0; i < message.size(); ++i) {
    char c = message[i];
    if (c == '\r') {
      // "\r\n" stays a single break.
      if (i + 1 < message.size() && message[i + 1] == '\n') continue;
      out += '\n';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace px
