// A single scenario line as the line dialog and the clipboard give it: its
// fields, options, filters and weight coefficients, and back to text.
#include "fuzz/fuzz_support.h"
#include "scenario/scenario_line.h"
#include "stats/stat_list.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TStatList registry;
  static bool filled = [] { registry.Fill(); return true; }();
  (void)filled;
  const std::string_view text = fuzz::AsText(data, size);
  try {
    FormatLineText(ParseLineText(text));
  } catch (const Error&) {
  }
  try {
    const ScenarioLine line = ParseLine(text, registry);
    const std::string formatted = FormatLine(line);
    OptionsSummary(line.options);
    ListSourceShortText(line.options.listSource, line.options.excludeDraws);
    StakeModeShortText(line.options.stakeMode);
    for (const TFilterItem& f : line.filters) {
      FilterLetters(f);
      FilterStatCode(f);
    }
    ParseLine(formatted, registry);
  } catch (const Error&) {
  }
  try {
    FormatOptions(ParseOptions(text));
  } catch (const Error&) {
  }
  try {
    FormatFilter(ParseFilter(text, registry));
  } catch (const Error&) {
  }
  try {
    FormatCoefficient(ParseCoefficient(text));
  } catch (const Error&) {
  }
  return 0;
}
