#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "core/archive.h"
#include "core/env.h"
#include "core/text.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"
#include "support/draws.h"
#include "support/cli_result.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using Result = test::CliResult;

class CliStatsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DrawArchive a;
    a.Append(test::Draw(1, {1, 2, 3, 4, 5}, "01/04/1995"));
    a.Append(test::Draw(2, {7, 8, 9, 10, 11}, "01/07/1995"));
    a.Append(test::Draw(3, {7, 20, 30, 31, 36}, "01/11/1995"));
    a.Save(Env::Real(), ArchivePath(dir.Path()));
  }
  Result Run(std::vector<std::string> args) {
    return test::RunCliIn(dir.Path(), std::move(args));
  }
  test::TempDir dir;
};

TEST_F(CliStatsTest, Methods) {
  Result r = Run({"methods"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto rows = r.Rows();
  TStatList registry;
  registry.Fill();
  ASSERT_EQ(rows.size(), size_t(registry.Count()) + 1);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"№", "Код", "Название", "Группа", "График", "Полный набор"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"1", "NUMS", "{ num } Числа тиража [ N ]", "num", "нет", "да"}));
  EXPECT_EQ(rows.back()[1], "SHR3");
  EXPECT_EQ(rows.back()[4], "да");

  test::WriteBytes(dir.File("Pentalux5_5v36.flt"), "[FILTERS]\r\nFavorites=POS2,digs\r\nOrdered=0\r\n");
  rows = Run({"methods"}).Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1][1], "DIGS");
  EXPECT_EQ(rows[2][0], "2");
  EXPECT_EQ(Run({"methods", "--all"}).Rows().size(), size_t(registry.Count()) + 1);
}

TEST_F(CliStatsTest, StatsTable) {
  Result r = Run({"stats", "nums", "--len", "2"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto rows = r.Rows();
  ASSERT_EQ(rows.size(), 37u);
  EXPECT_EQ(rows[0].size(), 20u);
  EXPECT_EQ(rows[0][0], "Значение");
  EXPECT_EQ(rows[0][19], "+/- КРН");
  // Default order: "Количество" ascending, ties by value; 7 was seen twice.
  EXPECT_EQ(rows[1][0], "1");
  EXPECT_EQ(rows[1][1], "0");
  EXPECT_EQ(rows[36][0], "7");
  EXPECT_EQ(rows[36][1], "2");
  EXPECT_EQ(rows[36][2], "20.00000");  // "." whatever the locale
  EXPECT_EQ(rows[36][6], "1");

  rows = Run({"stats", "NUMS", "--len", "2", "--sort", "Значение:desc"}).Rows();
  EXPECT_EQ(rows[1][0], "36");
  rows = Run({"stats", "NUMS", "--len", "1", "--offset", "1", "--sort", "0"}).Rows();
  EXPECT_EQ(rows[7][0], "7");
  EXPECT_EQ(rows[7][16], "3");  // Fact: 7 comes again in draw 3

  EXPECT_EQ(Run({"stats", "XYZ"}).err, "Метод расчета статистики \"XYZ\" не найден!\n");
  EXPECT_EQ(Run({"stats", "NUMS", "--offset", "3"}).code, 1);
  EXPECT_EQ(Run({"stats", "NUMS", "--sort", "Нет такого"}).code, 1);
  EXPECT_EQ(Run({"stats", "NUMS", "--len", "0"}).code, 2);

  r = Run({"stats", "EVEN", "--prefetch"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Env::Real().Exists(dir.File("Prefetchs/Pentalux5_5v36_EVEN.dfc")));
  EXPECT_NE(r.Rows()[1][3], "-");  // "Норма" filled

  Env::Real().Remove(ArchivePath(dir.Path()));
  r = Run({"stats", "NUMS"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.Rows().size(), 1u);  // the header only
}

TEST_F(CliStatsTest, EqualCountsOfTheDemoArchiveGoInFoldedOrder) {
  ASSERT_EQ(Run({"draws", "import", std::string(PENTALUX_SOURCE_DIR) + "/demo/demo_draws_vantora5.csv"}).code, 0);
  const auto rows = Run({"stats", "EVNV"}).Rows();
  ASSERT_EQ(rows.size(), 33u);
  int ties = 0;
  for (size_t i = 2; i < rows.size(); ++i) {
    if (rows[i - 1][1] != rows[i][1]) continue;
    ++ties;
    EXPECT_LT(CompareText(rows[i - 1][0], rows[i][0]), 0) << rows[i - 1][0] << " / " << rows[i][0];
  }
  EXPECT_GT(ties, 5);
  // One tie whose byte order is the other way round.
  auto pos = [&](const char* value) {
    for (size_t i = 1; i < rows.size(); ++i)
      if (rows[i][0] == value) return i;
    return size_t(0);
  };
  ASSERT_EQ(rows[pos("ннннн (031)")][1], rows[pos("ЧнЧЧн (009)")][1]);
  EXPECT_LT(pos("ннннн (031)"), pos("ЧнЧЧн (009)"));
}

TEST_F(CliStatsTest, CombsSteps) {
  Result r = Run({"combs", "--gen", "0", "--keep", "NUMS:10:7", "--remove", "EVEN:10:1:4", "--undo", "--remove",
                  "nums:2:1;36"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto rows = r.Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Примененные фильтры", "Значения", "Комбинаций"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"{ num } Числа тиража [ N ]", "7", "52360"}));
  // Without 7, 1 and 36: C(35,4) - 2*C(34,3) + C(33,2) = 52360 - 11968 + 528.
  EXPECT_EQ(rows[2], (std::vector<std::string>{"{ num } Числа тиража [ N ]", "1; 36", "40920"}));

  r = Run({"combs", "--gen", "2:1,2,3,4,5,6", "--exclude-last", "3", "--list", "--out", dir.File("out.lcv")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "Примененные фильтры\tЗначения\tКомбинаций\nПоследние тиражи\t3\t5\n"
            "1;2;3;4;6\n1;2;3;5;6\n1;2;4;5;6\n1;3;4;5;6\n2;3;4;5;6\n");
  EXPECT_EQ(test::ReadBytes(dir.File("out.lcv")), "1;2;3;4;6\r\n1;2;3;5;6\r\n1;2;4;5;6\r\n1;3;4;5;6\r\n2;3;4;5;6\r\n");
  r = Run({"combs", "--from", dir.File("out.lcv"), "--keep", "NUMS:3:1"});
  EXPECT_EQ(r.Rows().back(), (std::vector<std::string>{"{ num } Числа тиража [ N ]", "1", "4"}));
  EXPECT_EQ(r.err, "");

  // Damaged lines are no combinations: skipped and counted, from --from and --gen 4.
  test::WriteBytes(dir.File("damaged.lcv"), "40;41;42;43;44\r\n0;0;0;0;0\r\n7;7;8;9;10\r\n5;4;3;2;1\r\n");
  for (const auto& source : {std::vector<std::string>{"--from", dir.File("damaged.lcv")},
                             std::vector<std::string>{"--gen", "4:" + dir.File("damaged.lcv")}}) {
    std::vector<std::string> args = {"combs"};
    args.insert(args.end(), source.begin(), source.end());
    args.push_back("--list");
    r = Run(args);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "Пропущено строк: 3\n");
    EXPECT_EQ(r.out, "Примененные фильтры\tЗначения\tКомбинаций\n5;4;3;2;1\n");
  }

  r = Run({"combs", "--keep", "NUMS:10:99"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Значение \"99\" отсутствует в таблице статистики NUMS!\n");
  r = Run({"combs", "--keep", "NUMS:10:7", "--undo", "--undo"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(Run({"combs", "--exclude-last", "0"}).code, 2);
  EXPECT_EQ(Run({"combs", "--keep", "NUMS7"}).code, 1);
  EXPECT_EQ(Run({"combs", "--gen", "1:7", "--from", "x.lcv"}).code, 2);
}

TEST_F(CliStatsTest, CombsNumberStepsAsTheViewsWriteThem) {
  // With 7, 12 or 3: all but C(33,5); then without 1: C(35,5) - C(32,5).
  Result r = Run({"combs", "--view", "layout", "--keep-numbers", "7;12, 3;7", "--remove-numbers", "1"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "Примененные фильтры\tЗначения\tКомбинаций\nСхема\t7; 12; 3\t139656\nСхема\t1\t123256\n");
  // The week's day-name column adds 0, which no combination holds; undo
  // takes the last number step back.
  r = Run({"combs", "--view", "week", "--keep-numbers", "0;1;2", "--remove-numbers", "5", "--undo"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Примененные фильтры\tЗначения\tКомбинаций\nНеделя\t0; 1; 2\t98736\n");
  r = Run({"combs", "--keep-numbers", "36", "--list"});
  EXPECT_EQ(r.Rows()[1], (std::vector<std::string>{"Карта", "36", "52360"}));

  r = Run({"combs", "--keep-numbers", ";"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "В выделенном диапазоне нет значений для фильтра!\n");
  r = Run({"combs", "--keep-numbers", "5;37"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Некорректный номер \"37\" в списке \"5;37\"!\n");
  EXPECT_EQ(Run({"combs", "--remove-numbers", "-1"}).code, 1);
  EXPECT_EQ(Run({"combs", "--view", "graphs", "--keep-numbers", "1"}).code, 2);
}

TEST_F(CliStatsTest, PrefetchFiles) {
  TStatList registry;
  registry.Fill();
  int fullSet = 0, numberGroup = 0;
  for (int i = 0; i < registry.Count(); ++i)
    if (registry.HasFullSet(i)) {
      ++fullSet;
      numberGroup += registry.Method(i).cls->group == 0;
    }
  auto built = [](int n) { return "Создано файлов: " + std::to_string(n) + "\n"; };
  Result r = Run({"prefetch"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, built(fullSet));
  const std::string nums = dir.File("Prefetchs/Pentalux5_5v36_NUMS.dfc");
  auto data = DecodePrefetch(test::ReadBytes(nums));
  ASSERT_TRUE(data);
  EXPECT_EQ(data->records.size(), 36u);
  EXPECT_EQ(Run({"prefetch"}).out, built(0));
  EXPECT_EQ(Run({"prefetch", "--groups", "1024"}).out, built(0));  // group 10 has no file
  EXPECT_EQ(Run({"prefetch", "--groups", "1"}).out, built(numberGroup));
  test::WriteBytes(nums, "");
  EXPECT_EQ(Run({"prefetch"}).out, built(0));  // an empty file waits for its next use
  EXPECT_EQ(Run({"stats", "NUMS", "--prefetch"}).code, 0);
  EXPECT_EQ(test::ReadBytes(nums).size(), 37u * 12);
  EXPECT_EQ(Run({"prefetch", "--all"}).out, built(fullSet));
}

}  // namespace
}  // namespace px
