#include "core/csv.h"

#include <algorithm>
#include <unordered_set>

#include "core/archive.h"
#include "core/env.h"
#include "core/text.h"

namespace px {

namespace {
bool IsSpace(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string QuoteField(std::string_view bytes) {
  std::string out = "\"";
  for (char c : bytes) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}
}  // namespace

std::vector<std::string> SplitCsvLine(std::string_view s) {
  std::vector<std::string> fields;
  size_t p = 0, n = s.size();
  while (p < n && IsSpace(s[p])) ++p;
  while (p < n) {
    std::string field;
    if (s[p] == '"') {
      ++p;
      while (p < n) {
        if (s[p] == '"') {
          if (p + 1 < n && s[p + 1] == '"') {
            field += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        field += s[p++];
      }
    } else {
      size_t from = p;
      while (p < n && !IsSpace(s[p]) && s[p] != ';') ++p;
      field.assign(s.substr(from, p - from));
    }
    fields.push_back(std::move(field));
    while (p < n && IsSpace(s[p])) ++p;
    if (p < n && s[p] == ';') {
      if (p + 1 == n) fields.emplace_back();
      do ++p;
      while (p < n && IsSpace(s[p]));
    }
  }
  return fields;
}

std::string ExportDrawsText(const DrawArchive& archive) {
  std::string out;
  out.reserve(archive.Records().size() * 40);
  for (const DrawRecord& r : archive.Records()) {
    out += std::to_string(r.number);
    out += ';';
    out += QuoteField(std::string_view(r.date.data(), std::min<size_t>(r.dateLength, r.date.size())));
    for (uint8_t v : r.numbers) {
      out += ';';
      out += std::to_string(v);
    }
    out += "\r\n";
  }
  return out;
}

void ExportDraws(Env& env, const DrawArchive& archive, const std::string& path) {
  WriteFileAtomic(env, path, ExportDrawsText(archive));
}

ImportResult ImportDrawsText(DrawArchive& archive, std::string_view text) {
  ImportResult result;
  // A new number is usually beyond the last one, where the guessing search
  // falls back to a full scan; a set keeps a large import linear.
  std::unordered_set<int32_t> known;
  known.reserve(archive.Records().size() * 2);
  for (const DrawRecord& d : archive.Records()) known.insert(d.number);
  size_t pos = 0;
  while (pos < text.size()) {
    // Lines end with CR LF, LF or a lone CR.
    size_t eol = text.find_first_of("\r\n", pos);
    if (eol == std::string_view::npos) eol = text.size();
    std::string_view line = text.substr(pos, eol - pos);
    pos = eol + 1;
    if (eol < text.size() && text[eol] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    if (TrimView(line).empty()) continue;

    auto fields = SplitCsvLine(line);
    DrawRecord r;
    size_t first;  // index of the date field
    if (fields.size() == 6) {
      r.number = archive.Count() + 1;
      first = 0;
    } else if (fields.size() == 7) {
      r.number = IntOr(fields[0], 0);
      first = 1;
    } else {
      ++result.skipped;
      continue;
    }
    r.SetDateBytes(std::string_view(fields[first]).substr(0, 10));
    // A number outside 1..36 would be an index out of range for every
    // statistic, so such a line is no draw.
    bool numbersOk = true;
    for (int i = 0; i < kDrawSize; ++i) {
      auto v = ParseInt32(fields[first + 1 + i]);
      numbersOk = numbersOk && v && *v >= 1 && *v <= kNumbers;
      r.numbers[i] = numbersOk ? static_cast<uint8_t>(*v) : 0;
    }
    if (r.number <= 0 || !numbersOk) {
      ++result.skipped;
      continue;
    }
    if (!known.insert(r.number).second) continue;
    archive.Append(r);
    ++result.added;
  }
  return result;
}

ImportResult ImportDraws(Env& env, DrawArchive& archive, const std::string& path) {
  std::string text = env.ReadFile(path);
  return ImportDrawsText(archive, text);
}

}  // namespace px
