#include <gtest/gtest.h>

#include "core/cp1251.h"
#include "core/errors.h"
#include "core/ini.h"
#include "core/text.h"
#include "support/fault_env.h"
#include "support/temp_dir.h"

namespace px {
namespace {

TEST(Text, Cp1251RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string utf8 = Cp1251ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1251(utf8), all);

  EXPECT_EQ(Cp1251ToUtf8("\xC0\xE1\xE2 \xA8\xB8 \xB9"), "Абв Ёё №");
  EXPECT_EQ(Utf8ToCp1251("Тираж № 5"), "\xD2\xE8\xF0\xE0\xE6 \xB9 5");
  // Characters cp1251 lacks become "?"; broken UTF-8 bytes are kept.
  EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD" "b"), "a?b");
  EXPECT_EQ(Utf8ToCp1251("a\xC0"), "a\xC0");
}

TEST(Text, Numbers) {
  EXPECT_EQ(ParseInt32(" 42 "), 42);
  EXPECT_EQ(ParseInt32("+7"), 7);
  EXPECT_EQ(ParseInt32("-7"), -7);
  EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
  EXPECT_EQ(ParseInt32("2147483648"), std::nullopt);
  EXPECT_EQ(ParseInt32("5.0"), std::nullopt);
  EXPECT_EQ(ParseInt32("1e3"), std::nullopt);
  EXPECT_EQ(ParseInt32("++1"), std::nullopt);
  EXPECT_EQ(ParseInt32("+-1"), std::nullopt);
  EXPECT_EQ(ParseInt32(""), std::nullopt);
  EXPECT_EQ(ParseInt32("-"), std::nullopt);

  EXPECT_EQ(ParseDecimal("1.5"), 1.5L);
  EXPECT_EQ(ParseDecimal("1,5"), 1.5L);
  EXPECT_EQ(ParseDecimal(" -0,25 "), -0.25L);
  EXPECT_EQ(ParseDecimal("2E3"), 2000.0L);
  EXPECT_EQ(ParseDecimal("inf"), std::nullopt);
  EXPECT_EQ(ParseDecimal("1.5x"), std::nullopt);
  EXPECT_EQ(ParseDecimal(""), std::nullopt);

  EXPECT_EQ(FormatDecimal(1.5L, ','), "1,5");
  EXPECT_EQ(FormatDecimal(-1, '.'), "-1");
  EXPECT_EQ(FormatDecimal(0.1L, '.'), "0.1");
  EXPECT_EQ(FormatDecimal(123456.789L, '.'), "123456.789");
  // Whatever the separator, what is written reads back.
  for (long double v : {0.001L, 1234567.8901L, -5.5L, 1e20L}) {
    EXPECT_EQ(ParseDecimal(FormatDecimal(v, ',')).value(), std::stold(FormatDecimal(v, '.'))) << (double)v;
  }
}

TEST(Text, SplitAndMessages) {
  EXPECT_EQ(SplitAny(";a;;b;", ";", true), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitAny("a;;b", ";", false), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitAny("", ";", false), std::vector<std::string>{});
  EXPECT_TRUE(SameText("GLOBAL", "global"));
  EXPECT_FALSE(SameText("GLOBAL", "GLOBA"));
  EXPECT_EQ(std::string(OperationError("Ошибка!", "причина").what()), "Ошибка!\r\rпричина");
  EXPECT_EQ(PlainText("А\r\rБ\r\nВ"), "А\n\nБ\nВ");
}

TEST(Text, CaseFoldedComparisonCoversCyrillicInCp1251Order) {
  // Folded, "Н" comes before "Ч" whatever the case (bytes put "Ч" first).
  EXPECT_LT(CompareText("ннннн (031)", "нЧЧнн (019)"), 0);
  EXPECT_GT(CompareText("нЧЧнн (019)", "ннннн (031)"), 0);
  EXPECT_LT(CompareText("apple", "Banana"), 0);
  EXPECT_LT(CompareText("банан", "Яблоко"), 0);
  // Ё and ё are one letter, placed where cp1251 has it: before А.
  EXPECT_EQ(CompareText("ЁЖ", "ёж"), 0);
  EXPECT_LT(CompareText("Ёж", "аист"), 0);
  EXPECT_GT(CompareText("яма", "Ёж"), 0);
  // The other cp1251 pairs fold too; a prefix sorts first.
  EXPECT_TRUE(SameText("ЇЄЎІЃ", "їєўіѓ"));
  EXPECT_LT(CompareText("код", "КОДЫ"), 0);
  EXPECT_GT(CompareText("КОДЫ", "код"), 0);
  EXPECT_TRUE(SameText("", ""));
  EXPECT_FALSE(SameText("NUMS", " NUMS"));
  // ASCII first, then letters that need decoding; and against the ordering
  // for every pair of a mixed set.
  EXPECT_TRUE(SameText("sum2Сумма", "SUM2сУММА"));
  EXPECT_FALSE(SameText("abcП", "abcР"));
  EXPECT_FALSE(SameText("abc", "abcП"));
  const std::vector<std::string> words = {"", "a", "A", "ab", "aB", "Ё", "ё", "aЁ", "AЕ", "a\xff", "a\x80",
                                          "Zork", "zORK", "zork ", "中", "a中", "A中", "ЇЄ", "їє"};
  for (const auto& x : words)
    for (const auto& y : words) EXPECT_EQ(SameText(x, y), CompareText(x, y) == 0) << x << " / " << y;
  // Characters cp1251 lacks are neither "?" nor equal to each other.
  EXPECT_FALSE(SameText("中", "文"));
  EXPECT_FALSE(SameText("中", "?"));
  EXPECT_GT(CompareText("中", "я"), 0);

  // The folded key orders and equates exactly as the comparison does.
  const std::vector<std::string> texts = {"ннннн (031)", "нЧЧнн (019)", "ЁЖ", "ёж", "аист", "Яма", "zebra", "Zebra",
                                          "_", "中", "文", "", "код", "КОДЫ", "\xff", "9", "ЇЄ"};
  for (const auto& a : texts)
    for (const auto& b : texts) {
      const int byKey = FoldedText(a).compare(FoldedText(b));
      EXPECT_EQ(byKey < 0 ? -1 : byKey > 0, CompareText(a, b)) << a << " / " << b;
    }
}

TEST(Ini, KeepsWhatItDoesNotTouch) {
  const char* text =
      "; comment\r\n"
      "[GLOBAL]\r\n"
      "MatrixCols = 7\r\n"
      "Other=keep me\r\n"
      "\r\n"
      "[Foreign]\r\n"
      "x=1\r\n";
  IniFile ini = IniFile::Parse(text);
  EXPECT_EQ(ini.ReadInt("global", "matrixcols", 6), 7);
  EXPECT_EQ(ini.ReadString("GLOBAL", "Other", ""), "keep me");
  EXPECT_EQ(ini.ReadInt("GLOBAL", "Missing", 6), 6);
  EXPECT_EQ(ini.ReadInt("GLOBAL", "Other", 6), 6);  // text is no integer
  ini.WriteInt("GLOBAL", "MatrixCols", 8);
  ini.WriteString("GLOBAL", "New", "v");
  ini.WriteBool("NEWSEC", "Flag", true);
  EXPECT_EQ(ini.Text(),
            "; comment\r\n"
            "[GLOBAL]\r\n"
            "MatrixCols=8\r\n"
            "Other=keep me\r\n"
            "New=v\r\n"
            "\r\n"
            "[Foreign]\r\n"
            "x=1\r\n"
            "[NEWSEC]\r\n"
            "Flag=1\r\n");
  EXPECT_EQ(ini.Keys("GLOBAL"), (std::vector<std::string>{"MatrixCols", "Other", "New"}));
  ini.EraseKey("GLOBAL", "other");
  ini.EraseSection("foreign");
  EXPECT_FALSE(ini.HasKey("GLOBAL", "Other"));
  EXPECT_FALSE(ini.HasSection("Foreign"));
  EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"GLOBAL", "NEWSEC"}));
}

TEST(Ini, ValuesAndBooleans) {
  IniFile ini = IniFile::Parse("[S]\nA=2\nB=0\nC=yes\nD=-1\nE=1,25\nF=1.25\nG==x\n");
  EXPECT_TRUE(ini.ReadBool("S", "A", false));
  EXPECT_FALSE(ini.ReadBool("S", "B", true));
  EXPECT_TRUE(ini.ReadBool("S", "C", true));  // unreadable: the fallback
  EXPECT_FALSE(ini.ReadBool("S", "C", false));
  EXPECT_TRUE(ini.ReadBool("S", "D", false));
  EXPECT_EQ(ini.ReadDecimal("S", "E", 0), 1.25L);
  EXPECT_EQ(ini.ReadDecimal("S", "F", 0), 1.25L);
  EXPECT_EQ(ini.ReadString("S", "G", ""), "=x");
  SetLocaleDecimalSeparator(',');
  ini.WriteDecimal("S", "E", 2.5L);
  EXPECT_EQ(ini.ReadString("S", "E", ""), "2,5");
  SetLocaleDecimalSeparator('.');
  ini.WriteDecimal("S", "E", 2.5L);
  EXPECT_EQ(ini.ReadString("S", "E", ""), "2.5");
}

TEST(Ini, FileIsCp1251AndSavedSafely) {
  test::TempDir dir;
  std::string path = dir.File("a.ini");
  IniFile ini;
  ini.WriteString("STRINGS_RUS", "NUMS", "Числа");
  ini.Save(Env::Real(), path);
  EXPECT_EQ(test::ReadBytes(path), "[STRINGS_RUS]\r\nNUMS=\xD7\xE8\xF1\xEB\xE0\r\n");
  EXPECT_EQ(IniFile::Load(Env::Real(), path).ReadString("strings_rus", "nums", ""), "Числа");
  EXPECT_EQ(IniFile::Load(Env::Real(), dir.File("missing.ini")).Sections().size(), 0u);

  test::FaultEnv env;
  env.failWriteAfter = 5;
  ini.WriteString("STRINGS_RUS", "NUMS", "Другое");
  EXPECT_THROW(ini.Save(env, path), Error);
  EXPECT_EQ(test::ReadBytes(path), "[STRINGS_RUS]\r\nNUMS=\xD7\xE8\xF1\xEB\xE0\r\n");
  EXPECT_TRUE(test::TempFilesIn(std::filesystem::path(path).parent_path().string()).empty());
}

}  // namespace
}  // namespace px
