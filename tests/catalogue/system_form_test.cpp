#include <gtest/gtest.h>

#include "catalogue/catalogue_list.h"
#include "catalogue/codec.h"
#include "catalogue/system_form.h"
#include "core/errors.h"

namespace px {
namespace {

TEST(SystemTextCheck, RewritesFiveWordLinesDropsTheRestAndCountsTheNumbersSpanned) {
  // Five numbers joined by commas, an empty line, three numbers.
  SystemTextCheck c = CheckSystemCombinations("1,2,3,4,5\r\n\r\n1 2 3");
  EXPECT_EQ(c.text, "01 02 03 04 05");
  EXPECT_EQ(c.numbers, 5);
  EXPECT_EQ(c.lines, 1);

  // Positions 3..7 and 5..9: largest - smallest + 1.
  c = CheckSystemCombinations("3 4 5 6 7\n5-6-7-8-9\n");
  EXPECT_EQ(c.text, "03 04 05 06 07\r\n05 06 07 08 09");
  EXPECT_EQ(c.numbers, 7);
  EXPECT_EQ(c.lines, 2);

  // Any run of separators, blanks around, six words dropped, order kept as typed.
  c = CheckSystemCombinations("  10 ; 2 ;; 3|4~5  \n1 2 3 4 5 6\n7*8+9=10_11\n");
  EXPECT_EQ(c.text, "10 02 03 04 05\r\n07 08 09 10 11");
  EXPECT_EQ(c.numbers, 10);

  c = CheckSystemCombinations("\r\n\r\n");
  EXPECT_EQ(c.text, "");
  EXPECT_EQ(c.numbers, 0);
  EXPECT_EQ(c.lines, 0);

  // A word that is no number stops the check with its name.
  try {
    CheckSystemCombinations("1 2 3 4 5\n1 2 x3 4 5\n");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("\"x3\""), std::string::npos) << e.what();
  }
  // A value past 99 stays as typed instead of being cut to two digits.
  EXPECT_EQ(CheckSystemCombinations("1 2 3 4 100").text, "01 02 03 04 100");
}

TEST(SystemFormValidation, EachFieldIsCheckedInTheDialogsOrder) {
  const SystemFormTexts good{"Колесо", "7", "0", "Иван", "семь чисел", "01 02 03 04 05\r\n03 04 05 06 07"};
  EXPECT_FALSE(ValidateSystemForm(good));

  auto fault = [&](auto change) {
    SystemFormTexts f = good;
    change(f);
    return ValidateSystemForm(f);
  };
  auto expect = [](const std::optional<SystemFormFault>& f, SystemField field, const std::string& message) {
    ASSERT_TRUE(f);
    EXPECT_EQ(int(f->field), int(field));
    EXPECT_EQ(f->message, message);
  };
  expect(fault([](SystemFormTexts& f) { f.title = "   "; }), SystemField::Title,
         "Название системы должно быть указано обязательно!");
  for (const char* numbers : {"5", "37", "", "abc"})
    expect(fault([&](SystemFormTexts& f) { f.numbers = numbers; }), SystemField::Numbers,
           "Указано недопустмое количество используемых чисел!");
  expect(fault([](SystemFormTexts& f) { f.block = "5"; }), SystemField::Block, "Указан недопустмый размер блока!");
  expect(fault([](SystemFormTexts& f) { f.author = ""; }), SystemField::Author,
         "Имя автора должно быть указано обязательно!");
  expect(fault([](SystemFormTexts& f) { f.description = ""; }), SystemField::Description,
         "Описание системы должно быть указано обязательно!");
  expect(fault([](SystemFormTexts& f) { f.combinations = ""; }), SystemField::Combinations,
         "Содержимое системы должно быть указано обязательно!");
  // The order: a text with every fault names the title first.
  EXPECT_EQ(int(ValidateSystemForm({"", "", "9", "", "", ""})->field), int(SystemField::Title));
  EXPECT_EQ(int(ValidateSystemForm({"t", "40", "9", "", "", ""})->field), int(SystemField::Numbers));

  // The three-line text of the check gives 5 numbers: refused by the count.
  const SystemTextCheck three = CheckSystemCombinations("1,2,3,4,5\n\n1 2 3");
  SystemFormTexts small = good;
  small.numbers = std::to_string(three.numbers);
  small.combinations = three.text;
  expect(ValidateSystemForm(small), SystemField::Numbers, "Указано недопустмое количество используемых чисел!");

  // Positions 3..7 and 5..9 say 7 numbers but use position 9: such a system
  // could never be played, so OK refuses it on its text.
  const SystemTextCheck wide = CheckSystemCombinations("3 4 5 6 7\n5 6 7 8 9");
  SystemFormTexts over = good;
  over.numbers = std::to_string(wide.numbers);
  over.combinations = wide.text;
  const std::optional<SystemFormFault> f = ValidateSystemForm(over);
  ASSERT_TRUE(f);
  EXPECT_EQ(int(f->field), int(SystemField::Combinations));
  EXPECT_NE(f->message.find("от 1 до 7"), std::string::npos) << f->message;
  // Repeated positions in a line are refused the same way.
  over.combinations = "01 01 02 03 04";
  EXPECT_TRUE(ValidateSystemForm(over));
}

TEST(SystemFormTimes, LocalTimesReadBackByPosition) {
  for (int64_t t : {int64_t(1), int64_t(1700000000), int64_t(1798761599)}) {
    const std::string text = LocalTimeText(t);
    ASSERT_EQ(text.size(), 19u) << t;
    EXPECT_EQ(ParseLocalTime(text), t) << text;
  }
  EXPECT_EQ(LocalTimeText(0), "");
  EXPECT_FALSE(ParseLocalTime(""));
  EXPECT_FALSE(ParseLocalTime("2026-13-01 00:00:00"));
  EXPECT_FALSE(ParseLocalTime("2026-12-01"));
  EXPECT_FALSE(ParseLocalTime("xxxx-12-01 00:00:00"));
  EXPECT_EQ(SystemFormNumber(" 12 "), 12);
  EXPECT_EQ(SystemFormNumber("1 2"), 0);
  EXPECT_EQ(SystemFormNumber(""), 0);
}

}  // namespace
}  // namespace px
