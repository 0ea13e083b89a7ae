// Draw records for tests.
#pragma once

#include <string>
#include <string_view>

#include "core/archive.h"
#include "core/errors.h"

namespace px::test {

// The date as UTF-8 text, or with raw cp1251 bytes.
inline DrawRecord Draw(int32_t number, Combination numbers, std::string_view date = "") {
  DrawRecord r;
  r.number = number;
  r.numbers = numbers;
  r.SetDate(date);
  return r;
}
inline DrawRecord DrawWithDateBytes(int32_t number, Combination numbers, std::string_view cp1251Date) {
  DrawRecord r = Draw(number, numbers);
  r.SetDateBytes(cp1251Date);
  return r;
}

// The text of the Error that f throws, or "<no error>".
template <class F>
std::string ErrorText(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.what();
  }
  return "<no error>";
}

}  // namespace px::test
