// RatingsToScript: rating entries turned back into scenario lines. A scenario
// stake's comment holds its line's comment and the variant's description
// ("03.012: weekly @ EXCL:3#RAND + TSD#NUMS:10#CMV:2#SF:1"), which is enough
// to write the variant as a line of its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace px {

class Host;
class Scenario;
class TStatList;

// The line text of a rating comment: the text before the first "@" becomes
// the line's comment, the text after it the options and filters; without
// "@" the whole text is the description and the comment stays empty.
std::string RatingScriptLineText(std::string_view comment);

// True when at least one of the line's seven filter fields still reads as a
// filter once parsed and written back.
bool ScriptLineHasFilter(std::string_view lineText, const TStatList& registry);

// Appends the line of every comment that has a filter, in the order given;
// each other comment gets the error box "Строку\r\r%s\r\rневозможно добавить
// в сценарий!" and is skipped. Returns how many lines were added.
int RatingsToScript(const std::vector<std::string>& comments, const TStatList& registry, Scenario& scenario,
                    Host& host);

}  // namespace px
