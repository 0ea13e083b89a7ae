#include "frame/languages.h"

#include <filesystem>

#include "core/env.h"
#include "core/text.h"

namespace px {

namespace {
const std::vector<Language>& Known() {
  static const std::vector<Language> languages = {
      {1049, "RUS", "Русский"},    {1033, "ENU", "English"},     {1058, "UKR", "Українська"},
      {1059, "BEL", "Беларуская"}, {1031, "DEU", "Deutsch"},     {1036, "FRA", "Français"},
      {1040, "ITA", "Italiano"},   {1034, "ESP", "Español"},     {1045, "PLK", "Polski"},
      {1029, "CSY", "Čeština"},    {1087, "KKZ", "Қазақ тілі"}, {1091, "UZB", "Oʻzbek"},
  };
  return languages;
}

std::string Unescape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'r' || s[i + 1] == 'n' || s[i + 1] == '\\')) {
      out += s[i + 1] == 'r' ? '\r' : (s[i + 1] == 'n' ? '\n' : '\\');
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}
}  // namespace

const Language* FindLanguage(int32_t lcid) {
  for (const Language& l : Known())
    if (l.lcid == lcid) return &l;
  return nullptr;
}

std::string ModulePath(const std::string& programPathWithoutExtension, const Language& language) {
  return programPathWithoutExtension + "_" + language.abbreviation + ".lng";
}

std::vector<Language> AvailableLanguages(Env& env, const std::string& programPathWithoutExtension) {
  std::vector<Language> out;
  for (const Language& l : Known())
    if (l.lcid == kBaseLanguage || env.Exists(ModulePath(programPathWithoutExtension, l))) out.push_back(l);
  return out;
}

LanguageModule LanguageModule::Parse(const std::string& text) {
  LanguageModule m;
  for (const std::string& raw : SplitAny(text, "\n", true)) {
    std::string_view line = raw;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == ';') continue;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    m.texts_[Unescape(line.substr(0, eq))] = Unescape(line.substr(eq + 1));
  }
  return m;
}

LanguageModule LanguageModule::Load(Env& env, const std::string& path) { return Parse(env.ReadFile(path)); }

const std::string& LanguageModule::Translate(const std::string& russian) const {
  auto it = texts_.find(russian);
  return it == texts_.end() ? russian : it->second;
}

std::string FindHelpFile(Env& env, const std::string& programFolder, const std::string& abbreviation) {
  const std::string name = "Sortix_" + abbreviation + ".chm";
  const std::string parent = std::filesystem::path(programFolder).parent_path().string();
  for (const std::string& folder : {programFolder, JoinPath(programFolder, "help"), JoinPath(parent, "help")}) {
    const std::string path = JoinPath(folder, name);
    if (env.Exists(path)) return path;
  }
  return {};
}

}  // namespace px
