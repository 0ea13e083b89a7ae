// The registry of statistic methods: every available class of the registry
// order, indexed classes once per index. It names the methods, keeps the
// user's favourites and custom names (the names file, ".flt") and creates
// working instances. One registry lives for the whole program.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/config.h"
#include "stats/custom_stat.h"

namespace px {

class DrawArchive;
class Env;
class Host;

struct TStatMethod {
  const StatClassInfo* cls = nullptr;
  int index = 0;
  bool enabled = true;
  std::string customName;
  std::string formula;  // group 12 only
  std::string code;     // the class's code for this index, made once: lookups by code are many
};

// The 143 class names in registry order.
const std::vector<std::string_view>& RegistryOrder();
// The class of that name, or null while its family is not built.
const StatClassInfo* FindStatClass(std::string_view className);

class TStatList {
 public:
  TStatList();

  void SetDraws(const DrawArchive* draws) { draws_ = draws; }
  const DrawArchive* Draws() const { return draws_; }
  GameConfig& Config() { return config_; }
  const GameConfig& Config() const { return config_; }

  // Rebuilds the methods from the registry order; resets the options.
  void Fill();
  int Count() const { return static_cast<int>(methods_.size()); }
  const TStatMethod& Method(int i) const { return methods_[static_cast<size_t>(i)]; }
  TStatMethod& Method(int i) { return methods_[static_cast<size_t>(i)]; }

  bool IsAvailable(int i) const { return Method(i).cls->available; }
  bool IsListed(int i) const { return Method(i).cls->listed; }
  bool IsGraph(int i) const { return Method(i).cls->isGraph; }
  bool HasFullSet(int i) const { return Method(i).cls->HasFullSet(); }
  bool IsEnabled(int i) const { return AllEnabled || Method(i).enabled; }

  std::string CodeOf(int i) const {
    const TStatMethod& m = Method(i);
    return m.code.empty() ? m.cls->CodeOf(m.index) : m.code;
  }
  std::string MethodTitle(const TStatMethod& m) const;
  std::string DisplayName(int i, bool withFeatures) const;
  // First method whose code equals the text, ignoring case; -1 when none.
  int FindByCode(std::string_view code) const;
  std::unique_ptr<TCustomStat> CreateInstance(int i) const;

  void EnableAll();
  void NormalizeEnabled();
  std::string FavoritesText() const;
  void ApplyFavorites(std::string_view text);

  // The names file; failures show "Ошибка загрузки списка фильтров!\r\r%s" or
  // "Ошибка сохранения списка фильтров!\r\r%s" through the host (when given)
  // and return false, keeping the names and options as they were.
  bool LoadNames(Env& env, const std::string& path, bool withOptions, Host* host);
  bool SaveNames(Env& env, const std::string& path, bool withOptions, bool allNames, Host* host) const;
  std::string NamesSection() const { return "STRINGS_" + languageAbbr; }

  // "ms-its:<help file>::/Filters_1049_<code>.htm", or empty without a help file.
  std::string HelpTopic(int i) const;

  bool Ordered = false;
  bool ShowGroupName = true;
  bool ShowMethodFlags = true;
  bool AllEnabled = true;
  std::string languageAbbr = "RUS";
  std::string helpFile;  // empty or missing: no help

 private:
  const DrawArchive* draws_ = nullptr;
  GameConfig config_;
  std::vector<TStatMethod> methods_;
};

// One line of a method list: the registry position and its text.
struct MethodListItem {
  int method;
  std::string text;
};
// The methods a list offers: available, listed and enabled (all of them with
// includeDisabled), graph methods only for the graphs list; sorted by text
// when the registry is Ordered.
std::vector<MethodListItem> MethodList(const TStatList& registry, bool graphsOnly, bool includeDisabled = false);

// "<program>.flt" in the data folder.
std::string NamesFilePath(const std::string& dataDir, const std::string& programName);

}  // namespace px
