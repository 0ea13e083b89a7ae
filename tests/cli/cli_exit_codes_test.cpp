// The tool's exit code says whether the command did what it is for; what
// else failed is on stderr. Commands that change the data folder hold it as
// the program does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/archive.h"
#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "frame/messages.h"
#include "stakes/ratings.h"
#include "stakes/stake_store.h"
#include "support/cli_result.h"
#include "support/draws.h"
#include "support/fault_env.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using Result = test::CliResult;

class CliExitCodesTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::FaultEnv env;

  void SetUp() override {
    DrawArchive a;
    for (int i = 1; i <= 12; ++i)
      a.Append(test::Draw(i, {uint8_t(i), uint8_t(i + 1), uint8_t(i + 2), uint8_t(i + 3), uint8_t(i + 20)}));
    a.Save(Env::Real(), ArchivePath(dir.Path()));
    test::WriteBytes(dir.File("Pentalux5_5v36.ini"),
                     "[STAKES]\nCost=2\nProfits=2\nProfit_0_Overlap=2\nProfit_0_Profit=3\nProfit_1_Overlap=3\n"
                     "Profit_1_Profit=100\n");
    test::WriteBytes(dir.File("s.lsc"), Utf8ToCp1251("FULL:0#RAND| | | | | | | |Без фильтров\r\n"));
  }
  Result Run(std::vector<std::string> args) { return test::RunCliIn(dir.Path(), std::move(args), env); }
  int64_t StakeRecords() const {
    return Env::Real().Exists(StakesPath(dir.Path()))
               ? int64_t(test::ReadBytes(StakesPath(dir.Path())).size() / kStakeRecordSize)
               : 0;
  }
};

TEST_F(CliExitCodesTest, AStakeMadeIsSuccessEvenWhenItsRatingIsNotSaved) {
  env.failRename = true;
  env.only = RatingsPath(dir.Path());
  Result r = Run({"stakes", "add", "1;2;3;4;5", "--draw", "1", "--comment", "A"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Добавлено записей: 1\nПроверено ставок: 1\n");
  EXPECT_EQ(r.err, PlainText("Ошибка записи в файл рейтинга!\r\rОтказано в доступе") + "\n");
  EXPECT_EQ(StakeRecords(), 1);

  // The stake itself not made: failure.
  env.failRename = false;
  env.failOpen = true;
  env.only = StakesPath(dir.Path());
  r = Run({"stakes", "add", "1;2;3;4;6", "--comment", "A"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(StakeRecords(), 1);

  // The rating owed the stake gets it at the next command.
  env.failOpen = false;
  r = Run({"stakes", "check"});
  ASSERT_EQ(r.code, 0) << r.err;
  r = Run({"ratings"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto rows = r.Rows();
  ASSERT_EQ(rows.size(), 2u) << r.out;
  EXPECT_EQ(rows[1][0], "A");
  EXPECT_EQ(rows[1][1], "1");
}

TEST_F(CliExitCodesTest, ARunWhoseRatingOrLogIsNotWrittenFails) {
  Result r = Run({"test", dir.File("s.lsc"), "--count", "3", "--seed", "1"});
  ASSERT_EQ(r.code, 0) << r.err;

  env.failRename = true;
  env.only = RatingsPath(dir.Path());
  r = Run({"test", dir.File("s.lsc"), "--count", "3", "--seed", "1"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find(PlainText("Ошибка записи в файл рейтинга!")), std::string::npos) << r.err;

  env.failRename = false;
  env.failOpen = true;
  env.only = "ScriptLog_";
  r = Run({"test", dir.File("s.lsc"), "--count", "2", "--seed", "1", "--log"});
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(r.err.empty());
}

TEST_F(CliExitCodesTest, PrefetchWithNoFileWrittenFails) {
  env.failOpen = true;
  env.only = "Prefetchs";
  Result r = Run({"prefetch", "--all"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "Создано файлов: 0\n");
  EXPECT_NE(r.err.find(PlainText("Ошибка создания файла данных для полного набора вариантов!")), std::string::npos)
      << r.err;
}

TEST_F(CliExitCodesTest, ChangingCommandsAreRefusedWhileTheProgramHoldsTheFolder) {
  test::RecordingHost host;
  StakeStore holder(Env::Real(), host, dir.Path());
  ASSERT_TRUE(holder.Load());
  const std::string archive = test::ReadBytes(ArchivePath(dir.Path()));
  test::WriteBytes(dir.File("in.csv"), "13;01/01/2021;1;2;3;4;5\n");
  for (auto args : std::vector<std::vector<std::string>>{{"draws", "add", "1;2;3;4;5"},
                                                          {"draws", "edit", "3", "1;2;3;4;5"},
                                                          {"draws", "delete", "2"},
                                                          {"draws", "import", dir.File("in.csv")},
                                                          {"prefetch", "--groups", "1"},
                                                          {"test", dir.File("s.lsc"), "--count", "2"},
                                                          {"download"}}) {
    SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : std::string()));
    Result r = Run(args);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, PlainText(kExclusiveAccess) + "\n");
  }
  EXPECT_EQ(test::ReadBytes(ArchivePath(dir.Path())), archive);
  EXPECT_FALSE(Env::Real().Exists(dir.File("Prefetchs")));
  // Reading commands do not need the folder to themselves.
  EXPECT_EQ(Run({"draws", "list"}).code, 0);
  holder.Close();
  EXPECT_EQ(Run({"draws", "add", "1;2;3;4;5"}).code, 0);
}

}  // namespace
}  // namespace px
