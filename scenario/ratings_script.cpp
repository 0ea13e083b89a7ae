#include "scenario/ratings_script.h"

#include "core/host.h"
#include "core/text.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_line.h"

namespace px {

namespace {

// The options field and the seven filter fields.
constexpr int kDescriptionFields = 1 + kScenarioFilters;

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  size_t start = 0;
  for (size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, start)) {
    out.append(text.substr(start, at - start));
    out.append(to);
    start = at + from.size();
  }
  out.append(text.substr(start));
  return out;
}

int FieldCount(std::string_view text) {
  int fields = 1;
  for (char c : text)
    if (c == '|') ++fields;
  return fields;
}

}  // namespace

std::string RatingScriptLineText(std::string_view comment) {
  std::string lineComment;
  std::string description;
  const size_t at = comment.find('@');
  if (at == std::string_view::npos) {
    description = std::string(comment);
  } else {
    lineComment = Trim(comment.substr(0, at));
    description = Trim(comment.substr(at + 1));
  }
  description = ReplaceAll(description, " + ", "|");
  // The reader merges runs of "|", so a missing filter needs a blank to keep
  // the comment in its own field.
  while (FieldCount(description) < kDescriptionFields) description += "| ";
  return description + "|" + lineComment;
}

bool ScriptLineHasFilter(std::string_view lineText, const TStatList& registry) {
  const ScenarioLineText parts = ParseLineText(lineText);
  for (const std::string& field : parts.filters)
    if (!FormatFilter(ParseFilter(field, registry)).empty()) return true;
  return false;
}

int RatingsToScript(const std::vector<std::string>& comments, const TStatList& registry, Scenario& scenario,
                    Host& host) {
  StatusScope status(host, "Генерация новых строк в сценарии...");
  int added = 0;
  for (const std::string& comment : comments) {
    const std::string line = RatingScriptLineText(comment);
    if (!ScriptLineHasFilter(line, registry)) {
      host.ShowError(Fmt("Строку\r\r%s\r\rневозможно добавить в сценарий!", comment.c_str()));
      continue;
    }
    scenario.Add(line);
    ++added;
  }
  return added;
}

}  // namespace px
