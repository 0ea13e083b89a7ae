// The window-state INI (.frm): every setting the program reads at start, and
// the placement, column widths and sort order of each window section.
#include <set>

#include "core/form_settings.h"
#include "core/ini.h"
#include "fuzz/fuzz_support.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::MemEnv env;
  env.files["d/w.frm"] = std::string(fuzz::AsText(data, size));
  FormSettings store(env, "d/w.frm");
  IniFile ini;
  try {
    ini = store.Read();
  } catch (const Error&) {
    return 0;
  }
  MainSettings settings;
  settings.Read(ini);
  const std::vector<int> fallback = {52, 30, 30, 30, 30, 30, 36, 82};
  for (const std::string& section : ini.Sections()) {
    WindowPlacement p;
    p.normPos = Rect{100, 100, 1300, 850};
    ReadPlacement(ini, section, 1920, 1080, p);
    ReadPlacement(ini, section, 0, 0, p);
    // Each component once: its keys all give the same reads.
    std::set<std::string> components;
    for (const std::string& key : ini.Keys(section)) {
      const auto dot = key.find('.');
      if (dot != std::string::npos) components.insert(key.substr(0, dot));
      ParseRect(ini.ReadString(section, key, ""));
    }
    for (const std::string& component : components) {
      ReadColumnWidths(ini, section, component, fallback);
      ReadSortType(ini, section, component);
    }
  }
  return 0;
}
