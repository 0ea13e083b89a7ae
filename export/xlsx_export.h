// Spreadsheet export: every table the program shows can be saved as an
// .xlsx workbook. Plain C++ so the engine's tests can check the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace px {

class Env;

// A table exactly as shown: texts in display order, UTF-8.
struct SheetTable {
  std::string title;
  std::vector<std::string> headers;
  std::vector<std::vector<std::string>> rows;
  // Optional cell colours, parallel to rows: 0xRRGGBB, or kNoFill. A row or
  // cell beyond the end has no fill. The views' maps keep their colours.
  std::vector<std::vector<uint32_t>> fills;
};

inline constexpr uint32_t kNoFill = 0xFFFFFFFFu;

// One worksheet named after the title: the title in bold in row 1, the column
// titles in bold over a border in row 3, the rows from row 4. Texts that are
// plain decimal numbers become numbers. The target is replaced only when the
// whole workbook was written; failures throw Error.
void WriteXlsx(const std::string& path, const SheetTable& table);
void WriteXlsx(Env& env, const std::string& path, const SheetTable& table);

// The worksheet name for a title: without []:*?/\ and at most 31 characters.
std::string SheetNameOf(const std::string& title);

}  // namespace px
