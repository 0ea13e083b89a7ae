#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "core/cp1251.h"
#include "core/text.h"
#include "support/cli_result.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using Result = test::CliResult;

class CliScenarioTest : public ::testing::Test {
 protected:
  Result Run(std::vector<std::string> args) {
    return test::RunCliIn(dir.Path(), std::move(args));
  }
  std::string WriteScenario(const std::string& utf8Text) {
    const std::string path = dir.File("s.lsc");
    test::WriteBytes(path, Utf8ToCp1251(utf8Text));
    return path;
  }
  test::TempDir dir;
};

TEST_F(CliScenarioTest, ShowPrintsTheViewCells) {
  const std::string file = WriteScenario(
      "excl:3#rand#nex|BMF12#nums:10-30;10#cmv:2#sf:1| |TSD1#Zork:5#LNO:#SF:1| | | | |Прогноз\r\n"
      "\r\n"
      "CURR#NONE#clr\r\n");
  Result r = Run({"scenario", "show", file});
  ASSERT_EQ(r.code, 0) << r.err;
  // One row per text line, the separator included.
  auto rows = r.Rows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Комментарии", "Опции", "Фильтр 1", "Фильтр 2", "Фильтр 3",
                                               "Фильтр 4", "Фильтр 5", "Фильтр 6", "Фильтр 7"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"Прогноз", "Исключить 3 тиражей; Случайно; Только новые ставки",
                                               "BMF12#NUMS:10-30;10#CMV:2#SF:1", "", "TSD1#Zork:5#LNO:#SF:1", "",
                                               "", "", ""}));
  EXPECT_EQ(rows[2], std::vector<std::string>(9));
  EXPECT_EQ(rows[3][1], "Текущий список; Не делать ставок; Удалить ставки; Все создаваемые ставки");
  EXPECT_EQ(rows[3].size(), 9u);
}

TEST_F(CliScenarioTest, NormalizeRewritesThroughATemporaryFile) {
  const std::string file = WriteScenario(
      // Lower-case letters of the first part are not the letters of the form.
      "excl:3#rand#nex|bmf12#nums:10#cmv:2#bogus:4#1,5:x:2:1:0| | | | | | |Тест|хвост\r\n"
      "\r\n"
      "full:0#ext|tsd1#Zork:5| | | | | | |\n");
  // A second name for the old file: a rename leaves it untouched, writing
  // in place would not.
  std::filesystem::create_hard_link(file, dir.File("old.lsc"));
  const std::string before = test::ReadBytes(file);
  Result r = Run({"scenario", "normalize", file});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(test::ReadBytes(file),
            Utf8ToCp1251("EXCL:3#RAND#NEX|TSD12#NUMS:10#CMV:2#SF:4#1.5:0:2:1:0| | | | | | |Тест\r\n"
                         "\r\n"
                         "FULL:0#EXT|TSD1#Zork:5#LNO:#SF:0| | | | | | |\r\n"));
  EXPECT_EQ(test::ReadBytes(dir.File("old.lsc")), before);
  EXPECT_TRUE(test::TempFilesIn(std::filesystem::path(file).parent_path().string()).empty());
  // Normal form is a fixed point.
  const std::string once = test::ReadBytes(file);
  ASSERT_EQ(Run({"scenario", "normalize", file}).code, 0);
  EXPECT_EQ(test::ReadBytes(file), once);
}

TEST_F(CliScenarioTest, ErrorsAndUsage) {
  Result r = Run({"scenario", "show", dir.File("missing.lsc")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Ошибка чтения файла"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(Run({"scenario", "normalize"}).code, 2);
  EXPECT_EQ(Run({"scenario"}).code, 2);
}

}  // namespace
}  // namespace px
