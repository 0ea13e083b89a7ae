#include "export/xlsx_export.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string_view>

#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"

namespace px {
namespace {

constexpr size_t kMaxSheetName = 31;
// A few very long cells must not push every other column off the screen.
constexpr double kMaxColumnWidth = 60;
// A double keeps 15 significant digits; longer digit strings (ticket and
// account numbers) stay text so no digit is lost.
constexpr size_t kMaxNumberDigits = 15;

constexpr lxw_row_t kTitleRow = 0;
constexpr lxw_row_t kHeaderRow = 2;
constexpr lxw_row_t kFirstDataRow = 3;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct NumberCell {
  double value;
  // Keeps the text as shown: "05" stays "05", "3,50" stays two decimals.
  std::string format;
};

std::optional<NumberCell> AsNumber(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  if (i < n && text[i] == '-') ++i;
  const size_t intStart = i;
  while (i < n && IsDigit(text[i])) ++i;
  const size_t intLen = i - intStart;
  if (intLen == 0) return std::nullopt;
  size_t fracStart = i, fracLen = 0;
  if (i < n && (text[i] == '.' || text[i] == ',')) {
    fracStart = ++i;
    while (i < n && IsDigit(text[i])) ++i;
    fracLen = i - fracStart;
    if (fracLen == 0) return std::nullopt;
  }
  if (i != n) return std::nullopt;

  std::string digits(text.substr(intStart, intLen));
  digits.append(text.substr(fracStart, fracLen));
  size_t significant = digits.size() - std::min(digits.find_first_not_of('0'), digits.size());
  if (significant > kMaxNumberDigits) return std::nullopt;

  std::optional<long double> value = ParseDecimal(text);
  if (!value) return std::nullopt;
  NumberCell cell;
  cell.value = static_cast<double>(*value);
  if (cell.value == 0) cell.value = 0;  // no "-0" in the sheet
  cell.format = intLen > 1 && text[intStart] == '0' ? std::string(intLen, '0') : "0";
  if (fracLen > 0) {
    cell.format += '.';
    cell.format.append(fracLen, '0');
  }
  return cell;
}

class Writer {
 public:
  explicit Writer(lxw_workbook* workbook) : wb_(workbook) {}

  lxw_error Fill(const SheetTable& table) {
    const std::string name = SheetNameOf(table.title);
    if (lxw_error err = workbook_validate_sheet_name(wb_, name.c_str()); err != LXW_NO_ERROR) return err;
    ws_ = workbook_add_worksheet(wb_, name.c_str());
    // With rows streamed to disk the sheet needs a temporary file first.
    if (!ws_) return LXW_ERROR_CREATING_TMPFILE;

    lxw_format* bold = workbook_add_format(wb_);
    format_set_bold(bold);
    lxw_format* header = workbook_add_format(wb_);
    format_set_bold(header);
    format_set_bottom(header, LXW_BORDER_THIN);

    size_t columns = table.headers.size();
    for (const auto& row : table.rows) columns = std::max(columns, row.size());
    if (columns > LXW_COL_MAX) return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;

    // Widths go first: rows are written out as soon as the next one starts.
    std::vector<size_t> longest(columns, 0);
    for (size_t c = 0; c < table.headers.size(); ++c) longest[c] = Utf8Length(table.headers[c]);
    for (const auto& row : table.rows)
      for (size_t c = 0; c < row.size(); ++c) longest[c] = std::max(longest[c], Utf8Length(row[c]));
    for (size_t c = 0; c < columns; ++c) {
      double width = std::min(static_cast<double>(longest[c]) + 2, kMaxColumnWidth);
      auto col = static_cast<lxw_col_t>(c);
      if (lxw_error err = worksheet_set_column(ws_, col, col, width, nullptr); err != LXW_NO_ERROR) return err;
    }

    if (!table.title.empty())
      if (lxw_error err = worksheet_write_string(ws_, kTitleRow, 0, table.title.c_str(), bold); err != LXW_NO_ERROR)
        return err;
    // Blank header cells too, so the border runs under every column.
    for (size_t c = 0; c < columns; ++c) {
      const char* text = c < table.headers.size() ? table.headers[c].c_str() : "";
      if (lxw_error err = worksheet_write_string(ws_, kHeaderRow, static_cast<lxw_col_t>(c), text, header);
          err != LXW_NO_ERROR)
        return err;
    }
    for (size_t r = 0; r < table.rows.size(); ++r) {
      if (r >= LXW_ROW_MAX - kFirstDataRow) return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
      const auto row = static_cast<lxw_row_t>(kFirstDataRow + r);
      const std::vector<uint32_t>* fills = r < table.fills.size() ? &table.fills[r] : nullptr;
      const size_t cells = std::max(table.rows[r].size(), fills ? fills->size() : 0);
      for (size_t c = 0; c < cells; ++c) {
        const uint32_t fill = fills && c < fills->size() ? (*fills)[c] : kNoFill;
        const std::string& text = c < table.rows[r].size() ? table.rows[r][c] : kEmpty;
        if (lxw_error err = WriteCell(row, static_cast<lxw_col_t>(c), text, fill); err != LXW_NO_ERROR) return err;
      }
    }
    return LXW_NO_ERROR;
  }

 private:
  inline static const std::string kEmpty;

  lxw_error WriteCell(lxw_row_t row, lxw_col_t col, const std::string& text, uint32_t fill) {
    if (text.empty()) {
      if (fill == kNoFill) return LXW_NO_ERROR;
      return worksheet_write_blank(ws_, row, col, Format("", fill));
    }
    if (std::optional<NumberCell> number = AsNumber(text))
      return worksheet_write_number(ws_, row, col, number->value, Format(number->format, fill));
    return worksheet_write_string(ws_, row, col, text.c_str(), fill == kNoFill ? nullptr : Format("", fill));
  }

  // One format per (number format, fill): a map of thousands of cells uses a
  // handful of colours.
  lxw_format* Format(const std::string& code, uint32_t fill) {
    auto [it, added] = formats_.try_emplace({code, fill}, nullptr);
    if (added) {
      it->second = workbook_add_format(wb_);
      if (!code.empty()) format_set_num_format(it->second, code.c_str());
      if (fill != kNoFill) {
        format_set_pattern(it->second, LXW_PATTERN_SOLID);
        format_set_bg_color(it->second, static_cast<lxw_color_t>(fill & 0xFFFFFFu));
      }
    }
    return it->second;
  }

  lxw_workbook* wb_;
  lxw_worksheet* ws_ = nullptr;
  std::map<std::pair<std::string, uint32_t>, lxw_format*> formats_;
};

lxw_error WriteWorkbook(const std::string& file, const SheetTable& table) {
  // Tables of all combinations run to hundreds of thousands of rows: stream
  // them instead of holding a second copy in memory.
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* workbook = workbook_new_opt(file.c_str(), &options);
  if (!workbook) return LXW_ERROR_MEMORY_MALLOC_FAILED;
  lxw_error filled = Writer(workbook).Fill(table);
  // Closing is also what frees the workbook, so it runs after a failure too.
  lxw_error closed = workbook_close(workbook);
  return filled != LXW_NO_ERROR ? filled : closed;
}

}  // namespace

std::string SheetNameOf(const std::string& title) {
  std::string name;
  size_t chars = 0;
  for (size_t i = 0; i < title.size();) {
    size_t len = 1;
    auto lead = static_cast<unsigned char>(title[i]);
    if (lead >= 0xF0) len = 4;
    else if (lead >= 0xE0) len = 3;
    else if (lead >= 0xC0) len = 2;
    std::string_view ch = std::string_view(title).substr(i, len);
    i += len;
    if (ch.size() == 1 && (std::string_view("[]:*?/\\").find(ch[0]) != std::string_view::npos ||
                           static_cast<unsigned char>(ch[0]) < 0x20))
      continue;
    if (chars == kMaxSheetName) break;
    name += ch;
    ++chars;
  }
  // Excel refuses a name that starts or ends with an apostrophe.
  while (!name.empty() && name.front() == '\'') name.erase(0, 1);
  while (!name.empty() && name.back() == '\'') name.pop_back();
  name = Trim(name);
  return name.empty() ? "Лист1" : name;
}

void WriteXlsx(const std::string& path, const SheetTable& table) { WriteXlsx(Env::Real(), path, table); }

void WriteXlsx(Env& env, const std::string& path, const SheetTable& table) {
  // The library writes a file of its own; the target is then written from it
  // through the file seam, so it is replaced whole or not at all.
  const std::string scratch = UniqueTempPath(path);
  auto failure = [&](std::string_view cause) {
    try {
      Env::Real().Remove(scratch);
    } catch (...) {
      // The export error is the one worth reporting.
    }
    return OperationError(Fmt("Ошибка экспорта в файл \"%s\"!", path.c_str()), cause);
  };
  if (lxw_error err = WriteWorkbook(scratch, table); err != LXW_NO_ERROR) throw failure(lxw_strerror(err));
  try {
    const std::string bytes = Env::Real().ReadFile(scratch);
    Env::Real().Remove(scratch);
    WriteFileAtomic(env, path, bytes);
  } catch (const std::exception& e) {
    throw failure(e.what());
  }
}

}  // namespace px
