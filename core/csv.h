// Draws as semicolon-separated text (cp1251, CR LF):
//   number;"mm/dd/yyyy";n1;n2;n3;n4;n5
// Import also takes lines without the number, which then gets count + 1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace px {

class DrawArchive;
class Env;

// The fields of one line: ";" separates; outside quotes blanks and control
// characters also end a field; a quoted field runs to its closing quote with
// "" for one quote; a ";" at the very end adds an empty field.
std::vector<std::string> SplitCsvLine(std::string_view line);

std::string ExportDrawsText(const DrawArchive& archive);  // cp1251 bytes
// Writes the file whole through a temporary file; throws Error.
void ExportDraws(Env& env, const DrawArchive& archive, const std::string& path);

struct ImportResult {
  int added = 0;
  // Lines that are not draws: wrong field count, a draw number that is not
  // positive, numbers that are not whole numbers 1..36. Blank lines and
  // draws already in the archive are not counted.
  int skipped = 0;
};

// Appends the draws of cp1251 text that the archive does not hold yet.
ImportResult ImportDrawsText(DrawArchive& archive, std::string_view cp1251Text);
// Reads the whole file first, so a failed read appends nothing; the caller
// saves the archive.
ImportResult ImportDraws(Env& env, DrawArchive& archive, const std::string& path);

}  // namespace px
