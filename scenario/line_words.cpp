#include "scenario/line_words.h"

#include <exception>
#include <vector>

#include "core/arith.h"
#include "core/text.h"
#include "scenario/variants.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"

namespace px {

namespace {

// A short list is written out; a long one only counted.
constexpr size_t kListedNumbers = 12;

// "100-300;100" as "100-300;100 (100, 200, 300)"; a plain list as it is.
std::string ListInWords(const std::string& text) {
  const std::vector<int32_t> numbers = ParseIntList(text);
  if (numbers.empty()) return text.empty() ? "нет" : text + " (нет значений)";
  if (numbers.size() > kListedNumbers) return Fmt("%s (всего %zu)", text.c_str(), numbers.size());
  std::string bare;
  for (char c : text)
    if (c != ' ') bare += c;
  const std::string listed = IntListText(numbers, ", ");
  return bare == IntListText(numbers, ",") ? listed : text + " (" + listed + ")";
}

std::string MethodInWords(const TFilterItem& item, const TStatList& registry) {
  const int method = StatMethodOf(item, registry);
  if (method < 0) return Fmt("метод \"%s\" не найден", FilterStatCode(item).c_str());
  return registry.MethodTitle(registry.Method(method)) + " (" + registry.CodeOf(method) + ")";
}

std::string ColumnInWords(int32_t column) {
  const auto& titles = StatColumnTitles();
  if (column < 0 || column >= int32_t(titles.size())) return Fmt("столбец %d", column);
  return std::string("\"") + titles[size_t(column)] + "\"";
}

}  // namespace

std::string FilterInWords(const TFilterItem& item, int number, const TStatList& registry) {
  if (!item.defined) return {};
  std::string text = Fmt("Фильтр %d: ", number) + MethodInWords(item, registry);
  text += "\nКоличество тиражей: " + ListInWords(item.drawCounts);
  text += "\nСортировать по столбцу: " + ColumnInWords(item.sortColumn) + ", " +
          (item.bottomUp ? "Снизу-вверх" : "Сверху-вниз");
  text += std::string("\nРежим фильтра: ") + (item.keepSelected ? "Оставить выделенные" : "Удалить выделенные") +
          (item.multiSelect ? ", все подходящие значения сразу" : ", по одному значению");
  const uint8_t mode = item.conditionMode < kConditionModes ? item.conditionMode : kConditionNone;
  text += std::string("\nРежим выделения: ") + ConditionModeTexts()[mode];
  if (mode != kConditionNone) text += "\nЗначения: " + ListInWords(item.conditionValues);
  if (item.weightOverride)
    text += "\nКоэффициенты \"Вес\": количество " + FormatCoefficient(item.coefCount) + ", отклонение " +
            FormatCoefficient(item.coefDeviation) + ", глубина " + FormatCoefficient(item.coefDepth) +
            (item.usePercents ? ", значения в %" : "") + (item.useAbs ? ", абсолютные значения" : "");
  const uint8_t stop = item.stopMode < kStopModes ? item.stopMode : 0;
  text += std::string("\nОстановка по: ") + StopModeTexts()[stop];
  if (stop != 0 && stop != 3) text += Fmt(": %d", item.stopValue);
  return text;
}

std::string LineInWords(const ScenarioLine& line, const TStatList& registry) {
  std::vector<std::string> parts;
  if (!line.comment.empty()) parts.push_back(line.comment);
  parts.push_back(OptionsSummary(line.options));
  try {
    const std::vector<FilterSpec> filters = PrepareFilters(line);
    if (filters.empty())
      parts.push_back("Фильтров нет");
    else
      parts.push_back(Fmt("Вариантов фильтров: %llu", static_cast<unsigned long long>(VariantCount(filters))));
  } catch (const std::exception& e) {
    parts.push_back(e.what());
  }
  for (int i = 0; i < kScenarioFilters; ++i) {
    std::string filter = FilterInWords(line.filters[size_t(i)], i + 1, registry);
    if (!filter.empty()) parts.push_back(std::move(filter));
  }
  std::string text;
  for (const std::string& p : parts) {
    if (!text.empty()) text += '\n';
    text += p;
  }
  return text;
}

}  // namespace px
