#include <gtest/gtest.h>

#include <filesystem>

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "cli/cli.h"
#include "core/env.h"
#include "core/errors.h"
#include "frame/messages.h"
#include "stakes/stake_store.h"
#include "support/recording_host.h"
#include "support/cli_result.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using Result = test::CliResult;

const std::string kHeader =
    "№ тиража\tВид ставки\tМоя ставка\tВыборка\tРезультаты тиража\tСовпадений\tСовпадения\tПрофит\tКомментарий\n";
const std::string kBlank = "\t\t\t\t\t\t\t\t\n";

class CliStakesTest : public ::testing::Test {
 protected:
  test::TempDir dir;

  void SetUp() override {
    test::WriteBytes(dir.File("Pentalux5_5v36.ini"),
                     "[STAKES]\nCost=2\nProfits=2\nProfit_0_Overlap=2\nProfit_0_Profit=3\nProfit_1_Overlap=3\n"
                     "Profit_1_Profit=100\n");
  }
  Result Run(std::vector<std::string> args) {
    return test::RunCliIn(dir.Path(), std::move(args));
  }
};

TEST_F(CliStakesTest, AddListAndCheck) {
  Result r = Run({"stakes", "list"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kHeader);

  for (const char* bad : {"1;2;3;4", "1;2;3;4;37", "1;2;3;3;4", "1;2;a;4;5"}) {
    r = Run({"stakes", "add", bad});
    EXPECT_EQ(r.code, 1) << bad;
    EXPECT_EQ(r.err, "Введена некорректная комбинация!\n") << bad;
  }
  EXPECT_EQ(Run({"stakes", "add", "1;2;3;4;5", "--comment", " "}).err, "Необходимо ввести комментарий!\n");
  EXPECT_EQ(Run({"stakes", "add", "1;2;3;4;5", "--draws", "0"}).code, 2);

  // No draws yet: the next draw is 1.
  r = Run({"stakes", "add", " 5 , 1;2 ;3,4"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Добавлено записей: 1\nПроверено ставок: 0\n");
  r = Run({"stakes", "add", "7;6;5;4;3;2;1", "--draw", "2", "--draws", "3", "--comment", "Семь"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Добавлено записей: 6\nПроверено ставок: 0\n");

  r = Run({"stakes", "list"});
  EXPECT_EQ(r.out, kHeader + "1\tВручную\t1;2;3;4;5\t0\t\t\t\t-2.00\tСтавка \"вручную\"\n" + kBlank +
                       "2\tВручную\t1;2;3;4;5;6;7\t0\t\t\t\t-42.00\tСемь\n" + kBlank +
                       "3\tВручную\t1;2;3;4;5;6;7\t0\t\t\t\t-42.00\tСемь\n" + kBlank +
                       "4\tВручную\t1;2;3;4;5;6;7\t0\t\t\t\t-42.00\tСемь\n");

  ASSERT_EQ(Run({"draws", "add", "30;7;2;1;20", "--date", "03/01/2021"}).code, 0);
  ASSERT_EQ(Run({"draws", "add", "1;2;3;33;34", "--date", "03/04/2021"}).code, 0);
  r = Run({"stakes", "check"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Проверено ставок: 2\n");
  r = Run({"stakes", "list"});
  std::istringstream lines(r.out);
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[1], "1\tВручную\t1;2;3;4;5\t0\t30;7;2;1;20\t2\t1 2\t1.00\tСтавка \"вручную\"");
  EXPECT_EQ(rows[3], "2\tВручную\t1;2;3;4;5;6;7\t0\t1;2;3;33;34\t3\t1 2 3\t58.00\tСемь");
  EXPECT_EQ(rows[5], "3\tВручную\t1;2;3;4;5;6;7\t0\t\t\t\t-42.00\tСемь");
  EXPECT_EQ(Run({"stakes", "check"}).out, "Проверено ставок: 0\n");

  // A stake on a known draw is checked as soon as it is made.
  r = Run({"stakes", "add", "30;7;2;1;20", "--draw", "1"});
  EXPECT_EQ(r.out, "Добавлено записей: 1\nПроверено ставок: 1\n");
}

TEST_F(CliStakesTest, DeleteByRowsAndByCondition) {
  Result r = Run({"stakes", "delete", "--rows", "1-1"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Файл ставок не открыт!"), std::string::npos) << r.err;

  ASSERT_EQ(Run({"draws", "add", "1;2;3;4;5", "--date", "03/01/2021"}).code, 0);
  ASSERT_EQ(Run({"stakes", "add", "1;2;3;10;11", "--draw", "1"}).code, 0);  // 3 matches
  ASSERT_EQ(Run({"stakes", "add", "1;9;10;11;12", "--draw", "1", "--draws", "2"}).code, 0);  // 1, then unchecked
  EXPECT_EQ(Run({"stakes", "list"}).out.size() > kHeader.size(), true);

  EXPECT_EQ(Run({"stakes", "delete"}).code, 2);
  EXPECT_EQ(Run({"stakes", "delete", "--rows", "1-2", "--where", "3:2"}).code, 2);
  EXPECT_EQ(Run({"stakes", "delete", "--where", "5:1"}).code, 2);
  EXPECT_EQ(Run({"stakes", "delete", "--where", "0:6"}).code, 2);
  EXPECT_EQ(Run({"stakes", "delete", "--rows", "3-2"}).code, 2);

  r = Run({"stakes", "delete", "--where", "3:2"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Удалено записей: 2\n");
  r = Run({"stakes", "list"});
  EXPECT_EQ(r.out, kHeader + "1\tВручную\t1;2;3;10;11\t0\t1;2;3;4;5\t3\t1 2 3\t98.00\tСтавка \"вручную\"\n" + kBlank +
                       kBlank);
  r = Run({"stakes", "delete", "--rows", "2-9"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Удалено записей: 2\n");
  EXPECT_EQ(Run({"stakes", "list"}).out.find(kBlank), std::string::npos);
}

TEST_F(CliStakesTest, HeldFolderIsRefusedWithTheExclusiveAccessMessage) {
  test::RecordingHost host;
  StakeStore holder(Env::Real(), host, dir.Path());
  ASSERT_TRUE(holder.Load());
  for (auto args : std::vector<std::vector<std::string>>{{"stakes", "list"}, {"stakes", "check"},
                                                          {"stakes", "add", "1;2;3;4;5"}}) {
    Result r = Run(args);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, PlainText(kExclusiveAccess) + "\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(holder.RecordCount(), 0);

  // The same from another process.
  const std::string errFile = dir.File("err.txt");
  const std::string cmd =
      std::string(PENTALUX_CLI) + " --data-dir " + dir.Path() + " stakes list >/dev/null 2>" + errFile;
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(test::ReadBytes(errFile), PlainText(kExclusiveAccess) + "\n");

  holder.Close();
  EXPECT_EQ(Run({"stakes", "list"}).code, 0);
}

TEST_F(CliStakesTest, OutdatedFileIsBackedUpWithAWarning) {
  test::WriteBytes(dir.File("Pentalux5_5v36.lsk"), std::string(330, '\x02'));
  Result r = Run({"stakes", "list"});
  ASSERT_EQ(r.code, 0);
  EXPECT_EQ(r.out, kHeader);
  EXPECT_EQ(r.err, "Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!\n");
  auto backups = [&] {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
      const std::string name = e.path().filename().string();
      if (name.rfind("Pentalux5_5v36.lsk.", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".bak")
        found.push_back(test::ReadBytes(e.path().string()));
    }
    return found;
  };
  EXPECT_EQ(backups(), (std::vector<std::string>{std::string(330, '\x02')}));

  // The next damaged file gets a copy of its own; the first copy stays.
  test::WriteBytes(dir.File("Pentalux5_5v36.lsk"), std::string(650, '\x02'));
  ASSERT_EQ(Run({"stakes", "list"}).code, 0);
  auto sizes = backups();
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_EQ(sizes[0].size() + sizes[1].size(), 980u);
}

// A stake on several draws whose last draw number would pass the 32-bit
// range is refused before anything is written.
TEST_F(CliStakesTest, StakeDrawsPastTheLargestNumberAreRefused) {
  Result r = Run({"stakes", "add", "1;2;3;4;5", "--draw", "2147483647", "--draws", "2"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Некорректный номер тиража: 2147483648! Номер тиража должен быть не больше 2147483646.\n");
  r = Run({"stakes", "add", "1;2;3;4;5", "--draw", "2147483600", "--draws", "100"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Некорректный номер тиража: 2147483699! Номер тиража должен быть не больше 2147483646.\n");
  r = Run({"stakes", "list"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kHeader);

  // The last two numbers there are, with the separator between them.
  r = Run({"stakes", "add", "1;2;3;4;5", "--draw", "2147483645", "--draws", "2"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Добавлено записей: 3\nПроверено ставок: 0\n");
}

}  // namespace
}  // namespace px
