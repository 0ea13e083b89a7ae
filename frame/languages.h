// Interface languages. Russian (1049) is built in; any other language comes
// from a module beside the program named "<program>_<ABBR>.lng".
//
// A module is UTF-8 text: one "Russian text=translation" per line, where
// "\r" and "\n" inside either side are written as \r and \n; lines starting
// with ";" are comments. A text without a line keeps its Russian form.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace px {

class Env;

struct Language {
  int32_t lcid;
  std::string abbreviation;  // "RUS", "ENU"
  std::string name;          // as the language calls itself
};

inline constexpr int32_t kBaseLanguage = 1049;

// The language of a locale identifier, or nullptr when unknown.
const Language* FindLanguage(int32_t lcid);
std::string ModulePath(const std::string& programPathWithoutExtension, const Language& language);
// The base language and every known language whose module exists.
std::vector<Language> AvailableLanguages(Env& env, const std::string& programPathWithoutExtension);

class LanguageModule {
 public:
  // Throws Error when the file cannot be read.
  static LanguageModule Load(Env& env, const std::string& path);
  static LanguageModule Parse(const std::string& text);
  const std::string& Translate(const std::string& russian) const;
  size_t Size() const { return texts_.size(); }

 private:
  std::map<std::string, std::string> texts_;
};

// The help file "Sortix_<ABBR>.chm": in the program folder, then its
// "help" subfolder, then the "help" folder beside it; empty when none exists.
std::string FindHelpFile(Env& env, const std::string& programFolder, const std::string& abbreviation);

}  // namespace px
