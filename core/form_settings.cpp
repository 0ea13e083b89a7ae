#include "core/form_settings.h"

#include "core/env.h"
#include "core/text.h"

namespace px {

std::optional<Rect> ParseRect(const std::string& text) {
  auto parts = SplitAny(text, ",", false);
  if (parts.size() != 4) return std::nullopt;
  int v[4];
  for (int i = 0; i < 4; ++i) {
    auto x = ParseInt32(parts[i]);
    if (!x) return std::nullopt;
    v[i] = *x;
  }
  return Rect{v[0], v[1], v[2], v[3]};
}

std::string RectText(const Rect& r) { return Fmt("%d,%d,%d,%d", r.left, r.top, r.right, r.bottom); }

IniFile FormSettings::Read() const { return IniFile::Load(env_, path_); }

void FormSettings::Update(const std::function<void(IniFile&)>& change) {
  IniFile ini = Read();
  change(ini);
  ini.Save(env_, path_);
}

void FormSettings::WriteInt(const std::string& section, const std::string& key, int value) {
  Update([&](IniFile& ini) { ini.WriteInt(section, key, value); });
}

void FormSettings::WriteBool(const std::string& section, const std::string& key, bool value) {
  Update([&](IniFile& ini) { ini.WriteBool(section, key, value); });
}

void FormSettings::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  Update([&](IniFile& ini) { ini.WriteString(section, key, value); });
}

std::string FormSettingsPath(const std::string& dataDir, const std::string& programName) {
  return JoinPath(dataDir, programName + ".frm");
}

std::string WindowSection(const std::string& className, bool mdiChild) {
  return mdiChild ? className + ".MDIChildren" : className;
}

std::vector<int> ReadColumnWidths(const IniFile& ini, const std::string& section, const std::string& component,
                                  const std::vector<int>& fallback) {
  std::vector<int> widths = fallback;
  for (size_t i = 0; i < widths.size(); ++i)
    widths[i] = ini.ReadInt(section, Fmt("%s.Column%zu", component.c_str(), i), widths[i]);
  return widths;
}

void WriteColumnWidths(IniFile& ini, const std::string& section, const std::string& component,
                       const std::vector<int>& widths) {
  for (size_t i = 0; i < widths.size(); ++i)
    ini.WriteInt(section, Fmt("%s.Column%zu", component.c_str(), i), widths[i]);
}

std::optional<SortType> ReadSortType(const IniFile& ini, const std::string& section, const std::string& component) {
  auto text = ini.Get(section, component + ".SortType");
  if (!text) return std::nullopt;
  auto parts = SplitAny(*text, ",", false);
  if (parts.size() != 2) return std::nullopt;
  auto column = ParseInt32(parts[0]), direction = ParseInt32(parts[1]);
  if (!column || !direction) return std::nullopt;
  return SortType{*column, *direction};
}

void WriteSortType(IniFile& ini, const std::string& section, const std::string& component, const SortType& sort) {
  ini.WriteString(section, component + ".SortType", Fmt("%d,%d", sort.column, sort.direction));
}

WindowPlacement ReadPlacement(const IniFile& ini, const std::string& section, int screenWidth, int screenHeight,
                              const WindowPlacement& fallback) {
  WindowPlacement p = fallback;
  p.flags = ini.ReadInt(section, "Flags", p.flags);
  p.showCmd = ini.ReadInt(section, "ShowCmd", p.showCmd);
  p.pixelsPerInch = ini.ReadInt(section, "PixelsPerInch", p.pixelsPerInch);
  auto rect = [&](const char* key, Rect& target) {
    std::string perScreen = Fmt("%s_%dx%d", key, screenWidth, screenHeight);
    if (auto r = ParseRect(ini.ReadString(section, perScreen, "")))
      target = *r;
    else if (auto r2 = ParseRect(ini.ReadString(section, key, "")))
      target = *r2;
  };
  rect("MinMaxPos", p.minMaxPos);
  rect("NormPos", p.normPos);
  return p;
}

void WritePlacement(IniFile& ini, const std::string& section, int screenWidth, int screenHeight,
                    const WindowPlacement& p) {
  ini.WriteInt(section, "Flags", p.flags);
  ini.WriteInt(section, "ShowCmd", p.showCmd);
  ini.WriteInt(section, "PixelsPerInch", p.pixelsPerInch);
  ini.WriteString(section, "MinMaxPos", RectText(p.minMaxPos));
  ini.WriteString(section, "NormPos", RectText(p.normPos));
  ini.WriteString(section, Fmt("MinMaxPos_%dx%d", screenWidth, screenHeight), RectText(p.minMaxPos));
  ini.WriteString(section, Fmt("NormPos_%dx%d", screenWidth, screenHeight), RectText(p.normPos));
}

namespace {
enum class When { Start, Close, Toggle };
struct IntKey {
  const char* key;
  int MainSettings::*field;
  When when;
};
struct BoolKey {
  const char* key;
  bool MainSettings::*field;
  When when;
};

using M = MainSettings;
constexpr IntKey kIntKeys[] = {
    {"LeftPanelWidth", &M::LeftPanelWidth, When::Close},
    {"DrawsExclude", &M::DrawsExclude, When::Close},
    {"DrawsStatLen", &M::DrawsStatLen, When::Close},
    {"DrawsStatHeight", &M::DrawsStatHeight, When::Close},
    {"DrawsGraphLen", &M::DrawsGraphLen, When::Close},
    {"FiltersHeight", &M::FiltersHeight, When::Close},
    {"LayoutLen", &M::LayoutLen, When::Close},
    {"LayoutCompareLen1", &M::LayoutCompareLen1, When::Close},
    {"LayoutCompareLen2", &M::LayoutCompareLen2, When::Close},
    {"LayoutCompareLen3", &M::LayoutCompareLen3, When::Close},
    {"LayoutCompareLen4", &M::LayoutCompareLen4, When::Close},
    {"LayoutCompareLen5", &M::LayoutCompareLen5, When::Close},
    {"WeekLen", &M::WeekLen, When::Close},
    {"WeekHeight", &M::WeekHeight, When::Close},
    {"WeekChartMode", &M::WeekChartMode, When::Toggle},
    {"DownloadDrawsOnStart", &M::DownloadDrawsOnStart, When::Toggle},
    {"RatingsEffMode", &M::RatingsEffMode, When::Toggle},
    {"LayoutCompareHeight", &M::LayoutCompareHeight, When::Close},
    {"ScriptLibraryHeight", &M::ScriptLibraryHeight, When::Close},
    {"ScriptLibraryFilter", &M::ScriptLibraryFilter, When::Close},
    {"Language", &M::Language, When::Toggle},
};
constexpr BoolKey kBoolKeys[] = {
    {"WeekChartType", &M::WeekChartType, When::Toggle},
    {"AutoUpdates", &M::AutoUpdates, When::Toggle},
    {"ScriptLogEnabled", &M::ScriptLogEnabled, When::Toggle},
    {"StakesLogEnabled", &M::StakesLogEnabled, When::Toggle},
    {"StakesScrollEnabled", &M::StakesScrollEnabled, When::Toggle},
    {"StakesCheckOnLine", &M::StakesCheckOnLine, When::Toggle},
    {"ColorDraws", &M::ColorDraws, When::Toggle},
    {"ColorCombs", &M::ColorCombs, When::Toggle},
    {"ColorCard", &M::ColorCard, When::Toggle},
    {"ColorCardSequences", &M::ColorCardSequences, When::Toggle},
    {"LayoutGradient", &M::LayoutGradient, When::Toggle},
    {"SortedDraws", &M::SortedDraws, When::Toggle},
    {"PrefetchsEnabled", &M::PrefetchsEnabled, When::Toggle},
    {"ShowTotalLine", &M::ShowTotalLine, When::Toggle},
    {"ScriptLibraryOn", &M::ScriptLibraryOn, When::Toggle},
    {"PrefetchsInit", &M::PrefetchsInit, When::Start},
    {"FirstRun", &M::FirstRun, When::Start},
    {"TabGraphs", &M::TabGraphs, When::Toggle},
    {"TabCard", &M::TabCard, When::Toggle},
    {"TabLayout", &M::TabLayout, When::Toggle},
    {"TabWeek", &M::TabWeek, When::Toggle},
    {"TabTables", &M::TabTables, When::Toggle},
    {"SystemsEnabled", &M::SystemsEnabled, When::Toggle},
};
}  // namespace

void MainSettings::Read(const IniFile& ini) {
  for (const auto& k : kIntKeys) this->*k.field = ini.ReadInt(kSection, k.key, this->*k.field);
  for (const auto& k : kBoolKeys) this->*k.field = ini.ReadBool(kSection, k.key, this->*k.field);
}

void MainSettings::WriteCloseKeys(IniFile& ini) const {
  for (const auto& k : kIntKeys)
    if (k.when == When::Close) ini.WriteInt(kSection, k.key, this->*k.field);
  for (const auto& k : kBoolKeys)
    if (k.when == When::Close) ini.WriteBool(kSection, k.key, this->*k.field);
}

}  // namespace px
