#include "export/xlsx_export.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

#include "core/errors.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

uint32_t Le(const std::string& z, size_t at, int bytes) {
  if (at + static_cast<size_t>(bytes) > z.size()) throw std::runtime_error("zip truncated");
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(z[at + static_cast<size_t>(i)]);
  return v;
}

std::string Inflate(const std::string& packed, size_t expected) {
  z_stream zs{};
  if (inflateInit2(&zs, -15) != Z_OK) throw std::runtime_error("inflateInit2");
  std::string out(expected, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  zs.avail_in = static_cast<uInt>(packed.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  int rc = inflate(&zs, Z_FINISH);
  inflateEnd(&zs);
  if (rc != Z_STREAM_END || zs.total_out != expected) throw std::runtime_error("inflate failed");
  return out;
}

// Entries of a zip file by name. Sizes come from the central directory when
// the local header leaves them to a data descriptor (flag bit 3).
std::map<std::string, std::string> Unzip(const std::string& z) {
  struct Sizes {
    uint32_t packed, plain;
  };
  std::map<std::string, Sizes> central;
  size_t eocd = z.rfind(std::string("PK\x05\x06", 4));
  if (eocd == std::string::npos) throw std::runtime_error("no end of central directory");
  size_t at = Le(z, eocd + 16, 4);
  for (uint32_t n = Le(z, eocd + 10, 2); n > 0; --n) {
    if (Le(z, at, 4) != 0x02014b50) throw std::runtime_error("bad central header");
    uint32_t nameLen = Le(z, at + 28, 2), extraLen = Le(z, at + 30, 2), commentLen = Le(z, at + 32, 2);
    central[z.substr(at + 46, nameLen)] = {Le(z, at + 20, 4), Le(z, at + 24, 4)};
    at += 46 + nameLen + extraLen + commentLen;
  }

  std::map<std::string, std::string> files;
  at = 0;
  while (at + 4 <= z.size() && Le(z, at, 4) == 0x04034b50) {
    uint32_t flags = Le(z, at + 6, 2), method = Le(z, at + 8, 2);
    uint32_t packed = Le(z, at + 18, 4), plain = Le(z, at + 22, 4);
    uint32_t nameLen = Le(z, at + 26, 2), extraLen = Le(z, at + 28, 2);
    std::string name = z.substr(at + 30, nameLen);
    if (flags & 8) {
      auto it = central.find(name);
      if (it == central.end()) throw std::runtime_error("entry missing from central directory: " + name);
      packed = it->second.packed;
      plain = it->second.plain;
    }
    size_t data = at + 30 + nameLen + extraLen;
    if (data + packed > z.size()) throw std::runtime_error("entry truncated: " + name);
    std::string bytes = z.substr(data, packed);
    if (method == 8) files[name] = Inflate(bytes, plain);
    else if (method == 0) files[name] = bytes;
    else throw std::runtime_error("unknown compression method");
    at = data + packed;
    if (flags & 8) at += Le(z, at, 4) == 0x08074b50 ? 16 : 12;
  }
  if (files.size() != central.size()) throw std::runtime_error("local headers and central directory disagree");
  return files;
}

// The <c> element of one cell, empty when the sheet has none.
std::string Cell(const std::string& sheet, const std::string& ref) {
  size_t start = sheet.find("<c r=\"" + ref + "\"");
  if (start == std::string::npos) return "";
  size_t selfClosed = sheet.find("/>", start), open = sheet.find('>', start);
  if (selfClosed != std::string::npos && selfClosed + 1 == open) return sheet.substr(start, open + 1 - start);
  size_t end = sheet.find("</c>", start);
  return sheet.substr(start, end + 4 - start);
}

bool IsNumberCell(const std::string& cell, const std::string& value) {
  return cell.find(" t=\"") == std::string::npos && cell.find("<v>" + value + "</v>") != std::string::npos;
}

// Text cells are either shared strings or inline; both count.
std::string StringsOf(const std::map<std::string, std::string>& files) {
  std::string all = files.at("xl/worksheets/sheet1.xml");
  if (auto it = files.find("xl/sharedStrings.xml"); it != files.end()) all += it->second;
  return all;
}

size_t CountOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

SheetTable Sample() {
  SheetTable t;
  t.title = "Частоты номеров: тиражи 1/200";
  t.headers = {"Номер", "Выпадений", "Доля, %", "Комментарий"};
  t.rows = {
      {"07", "12", "3,50", "Горячий номер"},
      {"-4", "0.25", "12.03.2024", "1 000"},
      {"12345678901234567890", "", "5.", "x"},
  };
  return t;
}

TEST(XlsxExport, WritesTitleHeadersTextsAndNumbers) {
  TempDir dir;
  std::string path = dir.File("частоты.xlsx");
  WriteXlsx(path, Sample());

  auto files = Unzip(ReadBytes(path));
  ASSERT_TRUE(files.count("xl/worksheets/sheet1.xml"));
  ASSERT_TRUE(files.count("xl/workbook.xml"));
  const std::string& sheet = files.at("xl/worksheets/sheet1.xml");
  std::string strings = StringsOf(files);
  EXPECT_NE(strings.find("Частоты номеров: тиражи 1/200"), std::string::npos);
  EXPECT_NE(strings.find("Выпадений"), std::string::npos);
  EXPECT_NE(strings.find("Горячий номер"), std::string::npos);
  EXPECT_NE(files.at("xl/workbook.xml").find("name=\"Частоты номеров тиражи 1200\""), std::string::npos);

  // Title in row 1, column titles in row 3, data from row 4.
  EXPECT_NE(Cell(sheet, "A1"), "");
  EXPECT_EQ(Cell(sheet, "A2"), "");
  EXPECT_NE(Cell(sheet, "D3"), "");
  EXPECT_TRUE(IsNumberCell(Cell(sheet, "B4"), "12")) << Cell(sheet, "B4");
  EXPECT_TRUE(IsNumberCell(Cell(sheet, "C4"), "3.5")) << Cell(sheet, "C4");
  EXPECT_TRUE(IsNumberCell(Cell(sheet, "A4"), "7")) << Cell(sheet, "A4");
  EXPECT_TRUE(IsNumberCell(Cell(sheet, "A5"), "-4")) << Cell(sheet, "A5");
  EXPECT_TRUE(IsNumberCell(Cell(sheet, "B5"), "0.25")) << Cell(sheet, "B5");
  // Dates, grouped digits, over-long digit strings and a bare separator are text.
  for (const char* ref : {"C5", "D5", "A6", "C6"}) {
    std::string cell = Cell(sheet, ref);
    EXPECT_NE(cell.find(" t=\""), std::string::npos) << ref << ": " << cell;
  }
  EXPECT_NE(strings.find("12345678901234567890"), std::string::npos);
  EXPECT_EQ(Cell(sheet, "B6"), "");  // empty text, no cell

  // Leading zeros and decimals stay as shown; bold titles over a thin border.
  const std::string& styles = files.at("xl/styles.xml");
  EXPECT_NE(styles.find("formatCode=\"00\""), std::string::npos);
  EXPECT_NE(styles.find("formatCode=\"0.00\""), std::string::npos);
  EXPECT_NE(styles.find("<b/>"), std::string::npos);
  EXPECT_NE(styles.find("<bottom style=\"thin\">"), std::string::npos);
  EXPECT_NE(Cell(sheet, "A1").find(" s=\""), std::string::npos);
  EXPECT_NE(Cell(sheet, "A3").find(" s=\""), std::string::npos);

  // The longest text of column 4 is "Горячий номер" (13 characters), not its bytes.
  EXPECT_NE(sheet.find("<col min=\"4\" max=\"4\" width=\"15"), std::string::npos) << sheet.substr(0, 1200);
  EXPECT_TRUE(test::TempFilesIn(std::filesystem::path(path).parent_path().string()).empty());
}

TEST(XlsxExport, CellFillsKeepTheirColoursOnTextsNumbersAndBlanks) {
  TempDir dir;
  SheetTable t;
  t.title = "Карта";
  t.headers = {"Тираж", "1", "2", "3"};
  t.rows = {{"1002", "1", "", ""}, {"1001", "", "x"}};
  // Row 2 has one fill more than texts; row 3 has no fills at all.
  t.fills = {{kNoFill, 0xFFFF00, 0x00FF00}, {kNoFill, kNoFill, 0x00FFFF, 0xFFEAEA}};
  t.rows.push_back({"1000", "5"});
  std::string path = dir.File("card.xlsx");
  WriteXlsx(path, t);
  auto files = Unzip(ReadBytes(path));
  const std::string& sheet = files.at("xl/worksheets/sheet1.xml");
  const std::string& styles = files.at("xl/styles.xml");
  for (const char* rgb : {"FFFFFF00", "FF00FF00", "FF00FFFF", "FFFFEAEA"})
    EXPECT_NE(styles.find(std::string("rgb=\"") + rgb + "\""), std::string::npos) << rgb;
  EXPECT_TRUE(IsNumberCell(Cell(sheet, "B4"), "1")) << Cell(sheet, "B4");
  EXPECT_NE(Cell(sheet, "B4").find(" s=\""), std::string::npos);
  EXPECT_NE(Cell(sheet, "C4"), "");  // a coloured blank is written
  EXPECT_NE(Cell(sheet, "D5"), "");  // a fill beyond the texts too
  EXPECT_EQ(Cell(sheet, "D4"), "");  // no text, no fill: no cell
  // Four colours, not one format per cell.
  EXPECT_EQ(CountOf(styles, "patternType=\"solid\""), 4u) << styles;
}

TEST(XlsxExport, KeepsRowOrderOfLargeTables) {
  TempDir dir;
  SheetTable t;
  t.title = "Комбинации";
  t.headers = {"№", "Комбинация"};
  for (int i = 0; i < 5000; ++i) t.rows.push_back({std::to_string(5000 - i), "1 2 3 4 " + std::to_string(i)});
  std::string path = dir.File("big.xlsx");
  WriteXlsx(path, t);
  auto files = Unzip(ReadBytes(path));
  const std::string& sheet = files.at("xl/worksheets/sheet1.xml");
  EXPECT_TRUE(IsNumberCell(Cell(sheet, "A4"), "5000"));
  EXPECT_TRUE(IsNumberCell(Cell(sheet, "A5003"), "1"));
  EXPECT_EQ(Cell(sheet, "A5004"), "");
  EXPECT_NE(StringsOf(files).find("1 2 3 4 4999"), std::string::npos);
}

TEST(XlsxExport, SheetNameDropsForbiddenCharactersAndKeeps31) {
  EXPECT_EQ(SheetNameOf("a[b]c:d*e?f/g\\h"), "abcdefgh");
  EXPECT_EQ(SheetNameOf("Распределение сумм по тиражам за последние годы"), "Распределение сумм по тиражам з");
  EXPECT_EQ(SheetNameOf("'Архив'"), "Архив");
  EXPECT_EQ(SheetNameOf("[]:*?/\\"), "Лист1");
  EXPECT_EQ(SheetNameOf(""), "Лист1");
}

TEST(XlsxExport, FailureThrowsAndLeavesNoFile) {
  TempDir dir;
  std::string path = dir.File("нет/out.xlsx");
  try {
    WriteXlsx(path, Sample());
    FAIL() << "no error";
  } catch (const Error& e) {
    std::string prefix = "Ошибка экспорта в файл \"" + path + "\"!\r\r";
    std::string text = e.what();
    ASSERT_EQ(text.substr(0, prefix.size()), prefix);
    EXPECT_GT(text.size(), prefix.size());  // the library's cause follows
  }
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(XlsxExport, ReplacesTargetOnlyWhenComplete) {
  TempDir dir;
  std::string path = dir.File("out.xlsx");
  WriteBytes(path, "old");
  WriteXlsx(path, Sample());
  EXPECT_EQ(ReadBytes(path).substr(0, 2), "PK");
  EXPECT_TRUE(test::TempFilesIn(std::filesystem::path(path).parent_path().string()).empty());

  // A folder in the way: the rename fails, the temporary file goes away.
  std::string blocked = dir.File("blocked.xlsx");
  std::filesystem::create_directory(blocked);
  std::filesystem::create_directory(blocked + "/inside");
  try {
    WriteXlsx(blocked, Sample());
    FAIL() << "no error";
  } catch (const Error& e) {
    std::string prefix = "Ошибка экспорта в файл \"" + blocked + "\"!\r\r";
    EXPECT_EQ(std::string(e.what()).substr(0, prefix.size()), prefix);
  }
  EXPECT_TRUE(std::filesystem::is_directory(blocked + "/inside"));
  EXPECT_TRUE(test::TempFilesIn(std::filesystem::path(blocked).parent_path().string()).empty());
  EXPECT_EQ(ReadBytes(path).substr(0, 2), "PK");
}

}  // namespace
}  // namespace px
