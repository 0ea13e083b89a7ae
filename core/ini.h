// An INI text held whole in memory: sections in brackets, "key=value" lines.
// Reading a value never fails (a missing or unreadable one gives the
// default); writing changes only that key, so comments, other keys and other
// sections survive a save. Names compare without regard to ASCII case.
// On disk the text is cp1251 with CR LF line ends.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace px {

class Env;

class IniFile {
 public:
  IniFile() = default;

  static IniFile Parse(std::string_view utf8Text);
  // A missing file gives an empty store; a file that cannot be read throws Error.
  static IniFile Load(Env& env, const std::string& path);
  std::string Text() const;  // UTF-8, CR LF
  // Whole file through a temporary file; throws Error.
  void Save(Env& env, const std::string& path) const;

  bool HasSection(std::string_view section) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(std::string_view section) const;

  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  int32_t ReadInt(std::string_view section, std::string_view key, int32_t fallback) const;
  // Any integer but 0 is true; text that is no integer gives the fallback.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
  // "." or "," accepted.
  long double ReadDecimal(std::string_view section, std::string_view key, long double fallback) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInt(std::string_view section, std::string_view key, int64_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);  // "1" / "0"
  // Up to 15 significant digits with the locale's decimal separator.
  void WriteDecimal(std::string_view section, std::string_view key, long double value);

  void EraseKey(std::string_view section, std::string_view key);
  void EraseSection(std::string_view section);

 private:
  struct Line {
    std::string key;    // empty for a comment or blank line
    std::string value;  // the raw line when key is empty
  };
  struct Section {
    std::string name;
    std::vector<Line> lines;
  };

  Section* FindSection(std::string_view name);
  const Section* FindSection(std::string_view name) const;

  std::vector<Line> preamble_;  // lines before the first section
  std::vector<Section> sections_;
};

}  // namespace px
