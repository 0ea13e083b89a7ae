#include "catalogue/system_form.h"

#include <algorithm>
#include <vector>

#include "core/errors.h"
#include "core/text.h"

namespace px {

SystemTextCheck CheckSystemCombinations(std::string_view text) {
  std::vector<std::string> lines = SplitSystemLines(text);
  int smallest = 255, largest = 0;
  // From the last line to the first, as a deletion does not move the lines
  // still to come.
  for (size_t i = lines.size(); i-- > 0;) {
    const std::vector<std::string> words = SplitAny(Trim(lines[i]), kSystemSeparators, true);
    if (words.size() != 5) {
      lines.erase(lines.begin() + std::ptrdiff_t(i));
      continue;
    }
    std::string line;
    for (const std::string& word : words) {
      const std::string w = Trim(word);
      const std::optional<int32_t> v = ParseInt32(w);
      if (!v) throw Error(Fmt("\"%s\" не является целым числом!", w.c_str()));
      smallest = std::min(smallest, *v);
      largest = std::max(largest, *v);
      if (!line.empty()) line += ' ';
      // Out of range values stay as typed; OK refuses them.
      line += *v >= 0 && *v <= 99 ? Fmt("%.2d", *v) : std::to_string(*v);
    }
    lines[i] = std::move(line);
  }
  SystemTextCheck check;
  check.lines = int(lines.size());
  check.numbers = lines.empty() ? 0 : largest - smallest + 1;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) check.text += "\r\n";
    check.text += lines[i];
  }
  return check;
}

int32_t SystemFormNumber(std::string_view text) { return ParseInt32(Trim(text)).value_or(0); }

std::optional<SystemFormFault> ValidateSystemForm(const SystemFormTexts& form) {
  if (Trim(form.title).empty())
    return SystemFormFault{SystemField::Title, "Название системы должно быть указано обязательно!"};
  const int32_t numbers = SystemFormNumber(form.numbers);
  if (numbers < kSystemMinNumbers || numbers > kSystemMaxNumbers)
    return SystemFormFault{SystemField::Numbers, "Указано недопустмое количество используемых чисел!"};
  const int32_t block = SystemFormNumber(form.block);
  if (block < 0 || block > kSystemMaxBlock)
    return SystemFormFault{SystemField::Block, "Указан недопустмый размер блока!"};
  if (form.author.empty()) return SystemFormFault{SystemField::Author, "Имя автора должно быть указано обязательно!"};
  if (form.description.empty())
    return SystemFormFault{SystemField::Description, "Описание системы должно быть указано обязательно!"};
  if (form.combinations.empty())
    return SystemFormFault{SystemField::Combinations, "Содержимое системы должно быть указано обязательно!"};
  try {
    ParseSystemText(form.combinations, numbers, Trim(form.title));
  } catch (const Error& e) {
    return SystemFormFault{SystemField::Combinations, e.what()};
  }
  return std::nullopt;
}

}  // namespace px
