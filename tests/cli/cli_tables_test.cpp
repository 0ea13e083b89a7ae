#include <gtest/gtest.h>

#include "core/env.h"
#include "stakes/regular.h"
#include "support/cli_result.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using Result = test::CliResult;

const std::string kTitles = "Комментарий\tСтартовая комбинация\tШаг\tТекущая комбинация\tСтавок\n";

class CliTablesTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  Result Run(std::vector<std::string> args) { return test::RunCliIn(dir.Path(), std::move(args)); }
  void AddDraws(int count) {
    for (int n = 1; n <= count; ++n) {
      const std::string numbers = std::to_string(n) + ";" + std::to_string(n + 6) + ";" + std::to_string(n + 12) +
                                  ";" + std::to_string(n + 18) + ";" + std::to_string(n + 24);
      ASSERT_EQ(Run({"draws", "add", numbers}).code, 0);
    }
  }
};

TEST_F(CliTablesTest, AddListRefuseAndDelete) {
  Result r = Run({"tables", "list"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kTitles);

  r = Run({"tables", "add", "--start", "5;1;3;2;4", "--step", "-3"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kTitles + "Регулярная ставка\t1;2;3;4;5\t-3\t1;2;3;4;5\t0\n");
  ASSERT_EQ(Run({"tables", "add", "--last-draw", "--comment", "По тиражу", "--step", "0"}).code, 0);
  const std::string file = test::ReadBytes(RegularsPath(dir.Path()));
  EXPECT_EQ(file.size(), 2 * kRegularRecordSize);

  // Refused adds leave the file as it was.
  r = Run({"tables", "add", "--start", "1;2;3;4;5", "--comment", "ПО ТИРАЖУ"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Запись с таким комментарией уже присутствует в списке!\nВыберите другой комментарий.\n");
  r = Run({"tables", "add", "--start", "1;2;3;4;4", "--comment", "x"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Введена некорректная комбинация!\n");
  EXPECT_EQ(Run({"tables", "add", "--last-draw", "--comment", " "}).err, "Необходимо ввести комментарий!\n");
  EXPECT_EQ(Run({"tables", "add", "--last-draw", "--comment", std::string(65, 'x')}).code, 1);
  EXPECT_EQ(Run({"tables", "add", "--last-draw", "--step", "37"}).code, 2);
  EXPECT_EQ(Run({"tables", "add", "--step", "1"}).code, 2);
  EXPECT_EQ(Run({"tables", "add", "--last-draw", "--start", "1;2;3;4;5"}).code, 2);
  EXPECT_EQ(test::ReadBytes(RegularsPath(dir.Path())), file);

  r = Run({"tables", "list"});
  EXPECT_EQ(r.out, kTitles + "Регулярная ставка\t1;2;3;4;5\t-3\t1;2;3;4;5\t0\nПо тиражу\t0;0;0;0;0\t0\t0;0;0;0;0\t0\n");

  r = Run({"tables", "delete", "3"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Запись со индексом 3 в файле данных не найдена!\n");
  r = Run({"tables", "delete", "1"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Удалено записей: 1\n");
  EXPECT_EQ(Run({"tables", "list"}).Rows().size(), 2u);
}

TEST_F(CliTablesTest, StakeAndTestMakeCheckedStakes) {
  AddDraws(6);
  ASSERT_EQ(Run({"tables", "add", "--start", "1;2;3;4;5"}).code, 0);
  Result r = Run({"tables", "stake", "1", "--draws", "2"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Тираж\tСтавка\tКомментарий\n7\t2;3;4;5;6\tРегулярная ставка\n");
  r = Run({"stakes", "list"});
  ASSERT_EQ(r.Rows().size(), 4u);  // the stake for draws 7 and 8, a separator between

  r = Run({"tables", "test", "1", "--count", "3"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "Тираж\tСтавка\tКомментарий\n4\t3;4;5;6;7\tРегулярная ставка\n5\t4;5;6;7;8\tРегулярная ставка\n"
            "6\t5;6;7;8;9\tРегулярная ставка\n");
  auto rows = Run({"stakes", "list"}).Rows();
  ASSERT_EQ(rows.size(), 7u);
  for (size_t i = 4; i < 7; ++i) {
    EXPECT_EQ(rows[i][0], std::to_string(i)) << i;
    EXPECT_NE(rows[i][5], "") << i;  // checked at once
  }
  EXPECT_EQ(Run({"tables", "list"}).Rows()[1][4], "4");

  EXPECT_EQ(Run({"tables", "test", "1", "--count", "6"}).code, 2);
  EXPECT_EQ(Run({"tables", "test", "1", "--count", "0"}).code, 2);
  EXPECT_EQ(Run({"tables", "test", "2", "--count", "1"}).code, 1);
  EXPECT_EQ(Run({"tables", "stake", "0"}).code, 1);
}

TEST_F(CliTablesTest, ADamagedRuleAndATornFileExitOne) {
  AddDraws(3);
  ASSERT_EQ(Run({"tables", "add", "--start", "1;2;3;4;5"}).code, 0);
  std::string bytes = test::ReadBytes(RegularsPath(dir.Path()));
  bytes[263] = 1;  // current = 1 1 3 4 5
  test::WriteBytes(RegularsPath(dir.Path()), bytes);
  Result r = Run({"tables", "stake", "1"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Введена некорректная комбинация!\n");
  EXPECT_EQ(Run({"stakes", "list"}).Rows().size(), 1u);

  test::WriteBytes(RegularsPath(dir.Path()), bytes + "torn");
  r = Run({"tables", "list"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Ошибка чтения файла регулярных ставок!\n\nНеполная запись в конце файла (4 байт)\n");
}

}  // namespace
}  // namespace px
