#include "scenario/line_words.h"

#include <gtest/gtest.h>

#include <string>

#include "core/archive.h"
#include "stats/stat_list.h"

namespace px::test {
namespace {

class LineWordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    r.SetDraws(&a);
    r.Fill();
  }
  std::string Title(const char* code) const { return r.MethodTitle(r.Method(r.FindByCode(code))); }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
  DrawArchive a;
  TStatList r;
};

TEST_F(LineWordsTest, AFilterNamesItsMethodWindowsWalkConditionAndStop) {
  const ScenarioLine line = ParseLine("FULL:0#EXT|BMF2#SUMS:100-300;100#CMV:1-3;1#ST:2| | | | | | |", r);
  const std::string words = FilterInWords(line.filters[0], 1, r);
  EXPECT_EQ(words.rfind("Фильтр 1: " + Title("SUMS") + " (SUMS)\n", 0), 0u) << words;
  EXPECT_TRUE(Has(words, "\nКоличество тиражей: 100-300;100 (100, 200, 300)\n")) << words;
  EXPECT_TRUE(Has(words, "\nСортировать по столбцу: \"Кол-во в %\", Снизу-вверх\n")) << words;
  EXPECT_TRUE(Has(words, "\nРежим фильтра: Оставить выделенные, все подходящие значения сразу\n")) << words;
  EXPECT_TRUE(Has(words, "\nРежим выделения: \"Количество\": не менее заданного значения\nЗначения: 1-3;1 (1, 2, 3)\n"))
      << words;
  EXPECT_EQ(words.substr(words.rfind('\n') + 1), "Остановка по: Количеству шагов: 2");
}

TEST_F(LineWordsTest, TheOtherChoicesOfAFilterReadAsTheirOwnWords) {
  const ScenarioLine line = ParseLine("FULL:0#EXT|TSD1#NUMS:10, 20#LNO:#SZ:5|TSD0#EVEN:50#LVA:2,4#SF:1| | | | | |", r);
  const std::string first = FilterInWords(line.filters[0], 1, r);
  EXPECT_TRUE(Has(first, "\nКоличество тиражей: 10, 20\n")) << first;
  EXPECT_TRUE(Has(first, "\"Количество\", Сверху-вниз")) << first;
  EXPECT_TRUE(Has(first, "Удалить выделенные, по одному значению")) << first;
  EXPECT_TRUE(Has(first, "Режим выделения: Весь список (без условий)")) << first;
  EXPECT_FALSE(Has(first, "Значения:")) << "the whole list has no values";
  // The stop that needs no number shows none.
  EXPECT_EQ(first.substr(first.rfind('\n') + 1), "Остановка по: Пока список не будет пуст и откатить на шаг");
  const std::string second = FilterInWords(line.filters[1], 2, r);
  EXPECT_EQ(second.rfind("Фильтр 2: " + Title("EVEN") + " (EVEN)", 0), 0u) << second;
  EXPECT_TRUE(Has(second, "\"Значение\", Сверху-вниз")) << second;
  EXPECT_TRUE(Has(second, "\"Значения\": из заданного списка значений\nЗначения: 2, 4\n")) << second;
  EXPECT_EQ(second.substr(second.rfind('\n') + 1), "Остановка по: Обработать все записи");
  EXPECT_EQ(FilterInWords(line.filters[2], 3, r), "");
}

TEST_F(LineWordsTest, OwnWeightsAndLongListsAndUnknownMethods) {
  TFilterItem item = ParseFilter("TSD1#ZZZZ:1-500;1#WMV:3#SF:1#1.5:-1:0.25:1:0", r);
  const std::string words = FilterInWords(item, 4, r);
  EXPECT_EQ(words.rfind("Фильтр 4: метод \"ZZZZ\" не найден\n", 0), 0u) << words;
  EXPECT_TRUE(Has(words, "Количество тиражей: 1-500;1 (всего 500)")) << words;
  EXPECT_TRUE(Has(words, "\nКоэффициенты \"Вес\": количество 1.5, отклонение -1, глубина 0.25, значения в %\n")) << words;
}

TEST_F(LineWordsTest, ALineCountsItsVariantsOrSaysWhyItCannotRun) {
  const ScenarioLine line =
      ParseLine("EXCL:3#RAND#NEX|TSD1#NUMS:10-30;10#CMV:1-3;1#SF:1|TMF1#SUMS:100#LNO:#SF:1| | | | | |Редкие", r);
  const std::string words = LineInWords(line, r);
  EXPECT_EQ(words.rfind("Редкие\n" + OptionsSummary(line.options) + "\nВариантов фильтров: 9\nФильтр 1: ", 0), 0u)
      << words;
  EXPECT_TRUE(Has(words, "\nФильтр 2: " + Title("SUMS"))) << words;

  const ScenarioLine bad = ParseLine("FULL:0#EXT|TSD1#NUMS:#LNO:#SF:1| | | | | | |", r);
  EXPECT_TRUE(Has(LineInWords(bad, r), "\nНекорректное описание фильтра: ")) << LineInWords(bad, r);
  const ScenarioLine none = ParseLine("EXCL:10#FIRST| | | | | | | |Без фильтров", r);
  EXPECT_EQ(LineInWords(none, r), "Без фильтров\n" + OptionsSummary(none.options) + "\nФильтров нет");
}

}  // namespace
}  // namespace px::test
