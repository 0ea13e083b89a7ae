// A scenario line in words, for a person who does not read descriptors: the
// method of each filter by its title, the windows, the order the table is
// walked in, the row condition with its values and the stop, in the texts
// the filter dialog shows them under. Nothing is looked up but the methods'
// titles; a line that could not run says why.
#pragma once

#include <string>

#include "scenario/filter_item.h"
#include "scenario/scenario_line.h"

namespace px {

class TStatList;

// One filter, several lines joined by "\n", the first "Фильтр <n>: <title> (<code>)".
// Empty for a filter that is not defined.
std::string FilterInWords(const TFilterItem& item, int number, const TStatList& registry);

// The comment, the options, how many variants the filters make (or why the
// line cannot run) and every defined filter, joined by "\n". Empty for a separator.
std::string LineInWords(const ScenarioLine& line, const TStatList& registry);

}  // namespace px
