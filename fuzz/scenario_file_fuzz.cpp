// Scenario files (.lsc): decoding the lines, then each line as the scenario
// page and a run read it.
#include "fuzz/fuzz_support.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_line.h"
#include "stats/stat_list.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TStatList registry;
  static bool filled = [] { registry.Fill(); return true; }();
  (void)filled;
  fuzz::MemEnv env;
  env.files["d/s.lsc"] = std::string(fuzz::AsText(data, size));
  fuzz::QuietHost host;
  Scenario scenario(env, host, "d/work.lss");
  scenario.Load("d/s.lsc", (size & 1) != 0);
  for (const std::string& text : scenario.Lines()) {
    if (IsSeparatorLine(text)) continue;
    try {
      const ScenarioLine line = ParseLine(text, registry);
      FormatLine(line);
      OptionsSummary(line.options);
    } catch (const Error&) {
    }
  }
  return 0;
}
