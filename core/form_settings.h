// The window-state store: an INI file named after the program file with the
// extension ".frm", one section per window class. Booleans are "1" / "0".
// Every write opens the file, changes its keys and writes it back at once
// (through a temporary file), so other windows' keys are never lost.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/ini.h"

namespace px {

class Env;

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect&) const = default;
};
std::optional<Rect> ParseRect(const std::string& text);  // "%d,%d,%d,%d"
std::string RectText(const Rect& r);

struct WindowPlacement {
  int flags = 0;
  int showCmd = 1;  // 2: minimised
  int pixelsPerInch = 96;
  Rect minMaxPos;
  Rect normPos;
  bool operator==(const WindowPlacement&) const = default;
};

struct SortType {
  int column = 0;
  int direction = 0;
  bool operator==(const SortType&) const = default;
};

class FormSettings {
 public:
  FormSettings(Env& env, std::string path) : env_(env), path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

  // The store as it is on disk now; a missing file is empty. Throws Error.
  IniFile Read() const;
  // Reads, applies the change and writes the file back. Throws Error.
  void Update(const std::function<void(IniFile&)>& change);
  void WriteInt(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  void WriteString(const std::string& section, const std::string& key, const std::string& value);

 private:
  Env& env_;
  std::string path_;
};

// "<folder>/<program>.frm"
std::string FormSettingsPath(const std::string& dataDir, const std::string& programName);

// Section of a window: its class name, ".MDIChildren" added for MDI children.
std::string WindowSection(const std::string& className, bool mdiChild = false);

// Column widths under "<component>.Column<i>"; a missing key keeps fallback[i].
std::vector<int> ReadColumnWidths(const IniFile& ini, const std::string& section, const std::string& component,
                                  const std::vector<int>& fallback);
void WriteColumnWidths(IniFile& ini, const std::string& section, const std::string& component,
                       const std::vector<int>& widths);
std::optional<SortType> ReadSortType(const IniFile& ini, const std::string& section, const std::string& component);
void WriteSortType(IniFile& ini, const std::string& section, const std::string& component, const SortType& sort);

// Placement keys; the positions are also kept per screen resolution, and the
// resolution's own keys win when present.
WindowPlacement ReadPlacement(const IniFile& ini, const std::string& section, int screenWidth, int screenHeight,
                              const WindowPlacement& fallback);
void WritePlacement(IniFile& ini, const std::string& section, int screenWidth, int screenHeight,
                    const WindowPlacement& placement);

// The settings of the main window (section "TFormMain") with their defaults.
struct MainSettings {
  int LeftPanelWidth = 335;
  int DrawsExclude = 0;
  int DrawsStatLen = 1000;
  int DrawsStatHeight = 131;
  int DrawsGraphLen = 100;
  int FiltersHeight = 127;
  int LayoutLen = 100;
  int LayoutCompareLen1 = 50, LayoutCompareLen2 = 100, LayoutCompareLen3 = 200, LayoutCompareLen4 = 300,
      LayoutCompareLen5 = 400;
  int WeekLen = 1000;
  int WeekHeight = 131;
  int WeekChartMode = 0;
  bool WeekChartType = false;
  bool AutoUpdates = true;
  int DownloadDrawsOnStart = 0;
  bool ScriptLogEnabled = false;
  bool StakesLogEnabled = false;
  bool StakesScrollEnabled = true;
  bool StakesCheckOnLine = true;
  bool ColorDraws = true;
  bool ColorCombs = true;
  bool ColorCard = true;
  bool ColorCardSequences = true;
  bool LayoutGradient = true;
  bool SortedDraws = false;
  bool PrefetchsEnabled = false;
  bool ShowTotalLine = true;
  int RatingsEffMode = 1;
  int LayoutCompareHeight = 257;
  bool ScriptLibraryOn = true;
  int ScriptLibraryHeight = 223;
  int ScriptLibraryFilter = 2;
  bool PrefetchsInit = false;
  bool FirstRun = false;
  int Language = 1033;
  bool TabGraphs = true, TabCard = true, TabLayout = true, TabWeek = true, TabTables = true;
  bool SystemsEnabled = true;

  static constexpr const char* kSection = "TFormMain";

  // Every key read at start.
  void Read(const IniFile& ini);
  // The keys written at close.
  void WriteCloseKeys(IniFile& ini) const;
  bool operator==(const MainSettings&) const = default;
};

}  // namespace px
