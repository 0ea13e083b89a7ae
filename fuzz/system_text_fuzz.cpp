// A system's text as the system dialog takes it (typed, pasted from the
// clipboard or loaded from a file, and `systems change --file`): the check
// that rewrites it, then OK's checks. The check is idempotent, and a text
// OK accepts is a system over its "Числа" positions.
#include "catalogue/codec.h"
#include "catalogue/system_form.h"
#include "core/cp1251.h"
#include "core/errors.h"
#include "fuzz/fuzz_support.h"
#include "stakes/system_check.h"
#include "stakes/systems.h"

using namespace px;

namespace {

void CheckText(const std::string& text) {
  SystemTextCheck check;
  try {
    check = CheckSystemCombinations(text);
  } catch (const Error&) {
    return;
  }
  const SystemTextCheck again = CheckSystemCombinations(check.text);
  if (again.text != check.text || again.numbers != check.numbers || again.lines != check.lines) __builtin_trap();
  if (int(SplitSystemLines(check.text).size()) != check.lines) __builtin_trap();
  const SystemFormTexts form{"t", std::to_string(check.numbers), "0", "a", "d", check.text};
  if (ValidateSystemForm(form)) return;
  const std::vector<SystemLine> lines = ParseSystemText(check.text, check.numbers, "t");
  if (int(lines.size()) != check.lines) __builtin_trap();
  if (check.numbers <= 10 && lines.size() <= 64) CheckSystem(lines, check.numbers);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::AsText(data, size);
  CheckText(std::string(bytes));
  // A file in the system files' code page.
  CheckText(Cp1251ToUtf8(bytes));
  // The dialog's times are read back from their fields.
  ParseLocalTime(bytes.substr(0, std::min<size_t>(bytes.size(), 32)));
  return 0;
}
