#include "core/ini.h"

#include <algorithm>

#include "core/cp1251.h"
#include "core/env.h"
#include "core/text.h"

namespace px {

IniFile IniFile::Parse(std::string_view text) {
  IniFile ini;
  std::vector<Line>* target = &ini.preamble_;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    std::string_view raw = text.substr(pos, eol - pos);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    pos = eol + 1;
    if (eol == text.size() && raw.empty()) break;

    std::string_view t = TrimView(raw);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
      ini.sections_.push_back(Section{Trim(t.substr(1, t.size() - 2)), {}});
      target = &ini.sections_.back().lines;
      continue;
    }
    size_t eq = t.find('=');
    if (!t.empty() && t.front() != ';' && t.front() != '#' && eq != std::string_view::npos && eq > 0) {
      std::string key = Trim(t.substr(0, eq));
      if (!key.empty()) {
        target->push_back(Line{key, Trim(t.substr(eq + 1))});
        continue;
      }
    }
    target->push_back(Line{"", std::string(raw)});
  }
  return ini;
}

IniFile IniFile::Load(Env& env, const std::string& path) {
  if (!env.Exists(path)) return IniFile();
  return Parse(Cp1251ToUtf8(env.ReadFile(path)));
}

std::string IniFile::Text() const {
  std::string out;
  auto emit = [&](const std::vector<Line>& lines) {
    for (const auto& l : lines) {
      if (l.key.empty())
        out += l.value;
      else
        out += l.key + "=" + l.value;
      out += "\r\n";
    }
  };
  emit(preamble_);
  for (const auto& s : sections_) {
    out += "[" + s.name + "]\r\n";
    emit(s.lines);
  }
  return out;
}

void IniFile::Save(Env& env, const std::string& path) const { WriteFileAtomic(env, path, Utf8ToCp1251(Text())); }

IniFile::Section* IniFile::FindSection(std::string_view name) {
  for (auto& s : sections_)
    if (SameText(s.name, name)) return &s;
  return nullptr;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
  for (const auto& s : sections_)
    if (SameText(s.name, name)) return &s;
  return nullptr;
}

bool IniFile::HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

bool IniFile::HasKey(std::string_view section, std::string_view key) const { return Get(section, key).has_value(); }

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return std::nullopt;
  for (const auto& l : s->lines)
    if (!l.key.empty() && SameText(l.key, key)) return l.value;
  return std::nullopt;
}

std::vector<std::string> IniFile::Sections() const {
  std::vector<std::string> out;
  for (const auto& s : sections_) out.push_back(s.name);
  return out;
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
  std::vector<std::string> out;
  if (const Section* s = FindSection(section))
    for (const auto& l : s->lines)
      if (!l.key.empty()) out.push_back(l.key);
  return out;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const {
  auto v = Get(section, key);
  return v ? *v : std::string(fallback);
}

int32_t IniFile::ReadInt(std::string_view section, std::string_view key, int32_t fallback) const {
  auto v = Get(section, key);
  return v ? IntOr(*v, fallback) : fallback;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInt(section, key, fallback ? 1 : 0) != 0;
}

long double IniFile::ReadDecimal(std::string_view section, std::string_view key, long double fallback) const {
  auto v = Get(section, key);
  if (!v) return fallback;
  return ParseDecimal(*v).value_or(fallback);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Section* s = FindSection(section);
  if (!s) {
    sections_.push_back(Section{std::string(section), {}});
    s = &sections_.back();
  }
  for (auto& l : s->lines)
    if (!l.key.empty() && SameText(l.key, key)) {
      l.value = std::string(value);
      return;
    }
  // New keys go after the last key, before trailing blank lines.
  auto at = s->lines.end();
  while (at != s->lines.begin() && (at - 1)->key.empty() && TrimView((at - 1)->value).empty()) --at;
  s->lines.insert(at, Line{std::string(key), std::string(value)});
}

void IniFile::WriteInt(std::string_view section, std::string_view key, int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteDecimal(std::string_view section, std::string_view key, long double value) {
  WriteString(section, key, FormatDecimal(value, LocaleDecimalSeparator()));
}

void IniFile::EraseKey(std::string_view section, std::string_view key) {
  if (Section* s = FindSection(section))
    s->lines.erase(std::remove_if(s->lines.begin(), s->lines.end(),
                                  [&](const Line& l) { return !l.key.empty() && SameText(l.key, key); }),
                   s->lines.end());
}

void IniFile::EraseSection(std::string_view section) {
  sections_.erase(std::remove_if(sections_.begin(), sections_.end(),
                                 [&](const Section& s) { return SameText(s.name, section); }),
                  sections_.end());
}

}  // namespace px
