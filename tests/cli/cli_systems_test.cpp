#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "core/archive.h"
#include "core/cp1251.h"
#include "core/env.h"
#include "core/text.h"
#include "stakes/systems.h"
#include "support/cli_result.h"
#include "support/draws.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using Result = test::CliResult;
using Row = std::vector<std::string>;

const Row kLocalTitles = {"Файл", "Числа", "Блок", "Номер", "Комбинаций", "Гарантия", "Используется"};
const Row kStakeTitles = {"Тираж", "Ставка", "Комментарий"};

// Every 5-subset of positions 1..k, one per line.
std::string Wheel(int k) {
  std::string text;
  for (int a = 1; a <= k; ++a)
    for (int b = a + 1; b <= k; ++b)
      for (int c = b + 1; c <= k; ++c)
        for (int d = c + 1; d <= k; ++d)
          for (int e = d + 1; e <= k; ++e) text += Fmt("%d,%d,%d,%d,%d\n", a, b, c, d, e);
  return text;
}

// Removes every number but 1..10 from the list.
std::string AllBut10() {
  std::string text;
  for (int n = 11; n <= 36; ++n) text += (text.empty() ? "" : ";") + std::to_string(n);
  return text;
}

class CliSystemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DrawArchive a;
    for (int i = 1; i <= 6; ++i)
      a.Append(test::Draw(i, {uint8_t(i), uint8_t(i + 6), uint8_t(i + 12), uint8_t(i + 18), uint8_t(i + 24)},
                          Fmt("%.2d/01/2024", i)));
    a.Save(Env::Real(), ArchivePath(dir.Path()));
    test::WriteBytes(dir.File("Pentalux5_5v36.ini"),
                     "[STAKES]\nCost=50\nProfits=2\nProfit_0_Overlap=3\nProfit_0_Profit=500\n"
                     "Profit_1_Overlap=5\nProfit_1_Profit=1000000\n");
  }
  Result Run(std::vector<std::string> args) { return test::RunCliIn(dir.Path(), std::move(args)); }
  std::string Text(const std::string& name, const std::string& utf8) {
    test::WriteBytes(dir.File(name), Utf8ToCp1251(utf8));
    return dir.File(name);
  }
  std::string Store(const std::string& name) const { return dir.File("Systems/" + name); }
  std::vector<Row> Stakes() {
    Result r = Run({"stakes", "list"});
    EXPECT_EQ(r.code, 0) << r.err;
    auto rows = r.Rows();
    if (!rows.empty()) rows.erase(rows.begin());
    return rows;
  }
  test::TempDir dir;
};

TEST_F(CliSystemsTest, ImportPutsTheFileInTheStoreOnePerK) {
  Result r = Run({"systems", "local"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows(), (std::vector<Row>{kLocalTitles}));

  const std::string file = Text("mine.txt", "1,2,3,4,5\r\n6-7-8-9-10  extra words\n01 03 05 07 09");
  r = Run({"systems", "import", file, "--numbers", "10", "--block", "3", "--id", "17"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Файл\tЧисла\tБлок\tНомер\tКомбинаций\tГарантия\n5-10-3_0017.dat\t10\t3\t17\t3\t2:1 3:2 4:2 5:3\n");
  EXPECT_EQ(test::ReadBytes(Store("5-10-3_0017.dat")), "01 02 03 04 05\r\n06 07 08 09 10\r\n01 03 05 07 09\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(Store("5-10-3_0017.dat").c_str(), &st), 0);
  EXPECT_LE(std::abs(int64_t(st.st_mtime) - int64_t(std::time(nullptr))), 5);  // created now

  // Refused: the store stays as it was.
  r = Run({"systems", "import", Text("bad.txt", "01 02 03 04 11\r\n"), "--numbers", "10"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err,
            "Ошибка загрузки комбинаций системы!\n\nСтрока 1 файла системы \"bad\": позиция 11 вне диапазона от 1 до "
            "10!\n");
  EXPECT_EQ(Run({"systems", "import", file, "--numbers", "5"}).code, 2);
  EXPECT_EQ(Run({"systems", "import", file, "--numbers", "37"}).code, 2);
  EXPECT_EQ(Run({"systems", "import", file, "--numbers", "10", "--block", "5"}).code, 2);
  EXPECT_EQ(Run({"systems", "import", file, "--numbers", "10", "--id", "-1"}).code, 2);
  EXPECT_EQ(Run({"systems", "import", dir.File("none.txt"), "--numbers", "10"}).code, 1);
  EXPECT_EQ(Run({"systems", "import", file}).code, 2);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("Systems")), {}), 1);

  // Another 10-number system replaces it; an 8-number one joins it.
  r = Run({"systems", "import", Text("wheel.txt", Wheel(10)), "--numbers", "10", "--id", "3"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "Удален файл \"5-10-3_0017.dat\": в хранилище остается одна система для 10 чисел.\n");
  EXPECT_FALSE(std::filesystem::exists(Store("5-10-3_0017.dat")));
  ASSERT_EQ(Run({"systems", "import", Text("eight.txt", "1 2 3 4 5\n4 5 6 7 8\n"), "--numbers", "8"}).code, 0);
  // A hand-placed second file for 8 numbers: listed, but the first by name serves.
  test::WriteBytes(Store("5-08-9_0001.dat"), "01 02 03 04 05\r\n");
  r = Run({"systems", "local"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows(), (std::vector<Row>{kLocalTitles,
                                        {"5-08-0_0000.dat", "08", "0", "0", "2", "2:1 3:2 4:2 5:3", "да"},
                                        {"5-08-9_0001.dat", "08", "9", "1", "1", "2:0 3:0 4:1 5:2", "нет"},
                                        {"5-10-0_0003.dat", "10", "0", "3", "252", "2:2 3:3 4:4 5:5", "да"}}));

  // A damaged file is listed and fails the command.
  test::WriteBytes(Store("5-09-0_0005.dat"), "01 02 03\r\n");
  r = Run({"systems", "local"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.Rows().size(), 5u);
  EXPECT_EQ(r.Rows()[3], (Row{"5-09-0_0005.dat", "09", "0", "5", "", "", "да"}));
  EXPECT_EQ(r.err, "Ошибка загрузки комбинаций системы!\n\nВ строке 1 файла системы \"5-09-0_0005.dat\" меньше пяти "
                   "чисел!\n");
}

TEST_F(CliSystemsTest, CheckProvesTheGuaranteeAndCountsEveryDraw) {
  ASSERT_EQ(Run({"systems", "import", Text("wheel.txt", Wheel(10)), "--numbers", "10", "--id", "3"}).code, 0);
  Result r = Run({"systems", "check", "3"});
  ASSERT_EQ(r.code, 0) << r.err;
  // Every line costs 50 per draw; three matches win 500, five 1,000,000.
  EXPECT_EQ(r.out,
            "Угадано\tГарантия\tСочетаний\tДостигают гарантии+1\tДоля\n"
            "2\t2\t45\t0\t0.000000\n3\t3\t120\t0\t0.000000\n4\t4\t210\t0\t0.000000\n5\t5\t252\t0\t0.000000\n"
            "\n"
            "Совпадений\tТиражей\tПар тираж-комбинация\tПрофит\n"
            "0\t65780\t42817572\t-2140878600.00\n"
            "1\t149500\t39645900\t-1982295000.00\n"
            "2\t117000\t11327400\t-566370000.00\n"
            "3\t39000\t1171800\t527310000.00\n"
            "4\t5460\t39060\t-1953000.00\n"
            "5\t252\t252\t251987400.00\n"
            "Итого\t376992\t95001984\t-3912199200.00\n");
  // The same by its file, and read as a system of more numbers.
  EXPECT_EQ(Run({"systems", "check", Store("5-10-0_0003.dat")}).out, r.out);
  r = Run({"systems", "check", Store("5-10-0_0003.dat"), "--numbers", "12"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows()[1], (Row{"2", "0", "66", "65", "0.984848"}));  // 11 and 12 are in no line

  // A file of no store name: its largest position is k.
  r = Run({"systems", "check", Text("two.txt", "1 2 3 4 5\n3 4 5 6 7\n")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows()[4], (Row{"5", "3", "21", "18", "0.857143"}));

  EXPECT_EQ(Run({"systems", "check", "99"}).err, "Система #99 не найдена в каталоге \"" + dir.File("Systems") + "\"!\n");
  EXPECT_EQ(Run({"systems", "check", dir.File("none.txt")}).code, 1);
  EXPECT_EQ(Run({"systems", "check", Text("x.txt", "1 2 3 4 5 6\n7 8 9 10 x")}).code, 1);
  EXPECT_EQ(Run({"systems", "check", Store("5-10-0_0003.dat"), "--numbers", "9"}).code, 1);
  EXPECT_EQ(Run({"systems", "check", Store("5-10-0_0003.dat"), "--numbers", "37"}).code, 2);
}

TEST_F(CliSystemsTest, TheGameStakesTheSystemOnTheListAsCombsBuildsIt) {
  ASSERT_EQ(Run({"systems", "import", Text("s.txt", "1 2 3 4 5\n10 9 8 7 6\n1 2 3 4 11\n"), "--numbers", "11"}).code, 0);
  ASSERT_EQ(Run({"systems", "import", Text("t.txt", "1 2 3 4 5\n10 9 8 7 6\n2 4 6 8 10\n"), "--numbers", "10", "--id",
                 "4"})
                .code,
            0);
  // The list of every combination of 1..10: its numbers appear as 1, 2, ..., 10.
  Result r = Run({"systems", "game", "--all", "--remove-numbers", AllBut10()});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string all = "Системная игра для 10 чисел [вся система]: 5-10-0_0004";
  EXPECT_EQ(r.out, "Тираж\tСтавка\tКомментарий\n7\t1;2;3;4;5\t" + all + "\n7\t6;7;8;9;10\t" + all + "\n7\t2;4;6;8;10\t" +
                       all + "\n");
  auto stakes = Stakes();
  ASSERT_EQ(stakes.size(), 3u);
  EXPECT_EQ(stakes[0], (Row{"7", "Система", "1;2;3;4;5", "3", "", "", "", "-50.00", all}));

  // Over two draws from the offset's next, under my comment, after a separator.
  r = Run({"systems", "game", "--all", "--remove-numbers", AllBut10(), "--offset", "2", "--draws", "2", "--comment",
           "моя система"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows().size(), 1u + 6u);
  EXPECT_EQ(r.Rows()[1], (Row{"5", "1;2;3;4;5", "моя система"}));
  EXPECT_EQ(r.Rows()[2], (Row{"6", "1;2;3;4;5", "моя система"}));
  stakes = Stakes();
  ASSERT_EQ(stakes.size(), 3u + 1u + 6u * 2u - 1u);
  EXPECT_EQ(stakes[3][0], "");  // the game's separator; the first stake needs no other
  EXPECT_EQ(stakes[4][0], "5");
  // Draws 5 and 6 are known: checked at once. 1 2 3 4 5 against 5 11 17 23 29.
  EXPECT_EQ(stakes[4][5], "1");

  // List only, on the combinations with 10: the numbers now appear as
  // 1 2 3 4 10 5 6 7 8 9, and of the lines only 1 2 3 4 10 is in the list.
  r = Run({"systems", "game", "--list", "--remove-numbers", AllBut10(), "--keep-numbers", "10", "--draw", "9"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string some = "Системная игра для 10 чисел [комбинации]: 5-10-0_0004";
  EXPECT_EQ(r.out, "Тираж\tСтавка\tКомментарий\n9\t1;2;3;4;10\t" + some + "\n");
  // The sample of the list-only game is the list's size: C(10,5) less those without 10.
  EXPECT_EQ(Stakes().back()[3], std::to_string(252 - 126));

  // The full list holds 36 numbers, and there is no system for them.
  r = Run({"systems", "game", "--all"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Система для 36 чисел не найдена или не загружена на компьютер!\n\nПеред системной игрой "
                   "необходимо предварительно загрузить системы на Ваш компьютер через меню \"Системы\" - "
                   "\"Загрузить\".\n");
  const size_t before = Stakes().size();
  EXPECT_EQ(Run({"systems", "game"}).code, 2);
  EXPECT_EQ(Run({"systems", "game", "--all", "--list"}).code, 2);
  EXPECT_EQ(Run({"systems", "game", "--all", "--comment", " "}).err, "Необходимо ввести комментарий!\n");
  EXPECT_EQ(Run({"systems", "game", "--all", "--comment", std::string(65, 'x')}).code, 1);
  EXPECT_EQ(Run({"systems", "game", "--all", "--draws", "0"}).code, 2);
  EXPECT_EQ(Run({"systems", "game", "--all", "--offset", "9"}).code, 1);
  EXPECT_EQ(Run({"systems", "game", "--list", "--remove-numbers", AllBut10(), "--draw", "2147483647", "--draws", "2"})
                .code,
            1);
  EXPECT_EQ(Stakes().size(), before);
}

TEST_F(CliSystemsTest, ScenarioSystemStakesComeFromTheStore) {
  // The full list's numbers appear as 1, 2, ..., 36: position p is number p.
  // The system holds the last three draws and one line no draw is.
  ASSERT_EQ(Run({"systems", "import",
                 Text("s.txt", "6 12 18 24 30\n5 11 17 23 29\n4 10 16 22 28\n1 2 3 4 5\n"), "--numbers", "36"})
                .code,
            0);
  // EXCL:1 leaves the draw at the offset out of the list, so SYSC skips its line.
  test::WriteBytes(dir.File("s.lsc"), Utf8ToCp1251("EXCL:1#SYSA| | | | | | | |Все\r\nEXCL:1#SYSC| | | | | | | |Комб\r\n"));
  Result r = Run({"test", dir.File("s.lsc"), "--count", "2", "--log"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string out = r.out.substr(0, r.out.find("\n\n"));
  std::vector<Row> rows;
  for (const std::string& line : SplitAny(out, "\n", true)) rows.push_back(SplitAny(line, "\t", false));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0], kStakeTitles);
  int sysa = 0, sysc = 0;
  for (size_t i = 1; i < rows.size(); ++i) {
    if (rows[i][2].find("Все") != std::string::npos) ++sysa;
    if (rows[i][2].find("Комб") != std::string::npos) {
      ++sysc;
      // At offset 2 (for draw 5) the list lacks draw 4, at offset 1 draw 5.
      const std::string skipped = rows[i][0] == "5" ? "4;10;16;22;28" : "5;11;17;23;29";
      EXPECT_NE(rows[i][1], skipped) << rows[i][0];
    }
  }
  EXPECT_EQ(sysa, 2 * 4);
  EXPECT_EQ(sysc, 2 * 3);
  std::string log;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
    if (e.path().filename().string().rfind("ScriptLog_", 0) == 0) log = Cp1251ToUtf8(test::ReadBytes(e.path()));
  EXPECT_NE(log.find("{#} Системная игра для 36 чисел [все система]: загружен файл \"5-36-0_0000\""), std::string::npos);
  EXPECT_NE(log.find("{#} Системная игра для 36 чисел [система * комбинации]: загружен файл \"5-36-0_0000\""),
            std::string::npos);
}

}  // namespace
}  // namespace px
