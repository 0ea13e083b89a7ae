#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "cli/cli.h"
#include "core/archive.h"
#include "core/env.h"
#include "support/cli_result.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using Result = test::CliResult;

class CliTest : public ::testing::Test {
 protected:
  test::TempDir dir;

  Result Run(std::vector<std::string> args) {
    return test::RunCliIn(dir.Path(), std::move(args));
  }
  DrawArchive Archive() {
    DrawArchive a;
    a.Load(Env::Real(), ArchivePath(dir.Path()));
    return a;
  }
};

TEST_F(CliTest, AddListInfoEditDelete) {
  Result r = Run({"draws", "list"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Тираж\t1\t2\t3\t4\t5\tS\tДата тиража\n");

  r = Run({"draws", "add", "12;3;30;7;1", "--date", "03/01/2021"});
  ASSERT_EQ(r.code, 0) << r.err;
  r = Run({"draws", "add", "1,2,3,4,36", "--date", "03/04/2021"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Тираж\t1\t2\t3\t4\t5\tS\tДата тиража\n2\t1\t2\t3\t4\t36\t46\t03/04/2021\n");

  r = Run({"draws", "list", "--sorted"});
  EXPECT_EQ(r.out,
            "Тираж\t1\t2\t3\t4\t5\tS\tДата тиража\n"
            "2\t1\t2\t3\t4\t36\t46\t03/04/2021\n"
            "1\t1\t3\t7\t12\t30\t53\t03/01/2021\n");
  EXPECT_NE(Run({"draws", "list"}).out.find("\n1\t12\t3\t30\t7\t1\t53\t03/01/2021\n"), std::string::npos);

  r = Run({"draws", "info", "1"});
  EXPECT_EQ(r.out.rfind("Свойство\tЗначение\nНомер тиража:\t1\nДата тиража:\t03/01/2021\n"
                        "Описание:\tТираж № 1 от 03/01/2021, значения: 12;3;30;7;1\n"
                        "Количество четных чисел в тираже (Ч:Н)\t2\n",
                        0),
            0u)
      << r.out;
  // Positions follow the drawn order, or the ascending one with --sorted.
  EXPECT_NE(r.out.find("\nЧисло в 1 позиции тиража\t12\n"), std::string::npos);
  EXPECT_NE(Run({"draws", "info", "1", "--sorted"}).out.find("\nЧисло в 1 позиции тиража\t1\n"), std::string::npos);

  // The dialog's validation refuses every bad combination and changes nothing.
  for (const char* bad : {"1;2;3;4", "1;2;3;4;5;6", "1;2;3;4;4", "0;1;2;3;4", "1;2;3;4;37", "a;b;c;d;e"}) {
    r = Run({"draws", "add", bad});
    EXPECT_EQ(r.code, 1) << bad;
    EXPECT_EQ(r.err, "Введена некорректная комбинация!\n") << bad;
  }
  EXPECT_EQ(Run({"draws", "add", "1;2;3;4;5", "--date", "13/45/2021"}).code, 1);
  EXPECT_EQ(Run({"draws", "add", "1;2;3;4;5", "--number", "0"}).code, 1);
  EXPECT_EQ(Archive().Count(), 2);

  r = Run({"draws", "edit", "1", "5;6;7;8;9", "--number", "10"});
  ASSERT_EQ(r.code, 0) << r.err;
  DrawArchive a = Archive();
  EXPECT_EQ(a.At(0).number, 10);
  EXPECT_EQ(a.At(0).numbers, (Combination{5, 6, 7, 8, 9}));
  EXPECT_EQ(a.At(0).DateString(), "03/01/2021");

  // One unknown number deletes nothing.
  r = Run({"draws", "delete", "10", "77"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Тираж № 77 не найден в архиве тиражей!\n");
  EXPECT_EQ(Archive().Count(), 2);
  r = Run({"draws", "delete", "10", "2"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Удалено тиражей: 2\n");
  EXPECT_EQ(Archive().Count(), 0);
  EXPECT_EQ(Run({"draws", "info", "2"}).code, 1);
}

TEST_F(CliTest, ImportExportAndSkippedLines) {
  std::string csv = dir.File("in.csv");
  test::WriteBytes(csv,
                   "1;\"01/04/1995\";1;2;3;4;5\r\n"
                   "2;\"01/07/1995\";1;2;3;4;40\r\n"
                   "\r\n"
                   "\"01/11/1995\";6;7;8;9;10\r\n"
                   "garbage\r\n");
  Result r = Run({"draws", "import", csv});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Добавлено тиражей: 2\nПропущено строк: 2\n");
  // A numbered line is known now; a line without a number always takes the next one.
  r = Run({"draws", "import", csv});
  EXPECT_EQ(r.out, "Добавлено тиражей: 1\nПропущено строк: 2\n");

  std::string out = dir.File("out.csv");
  r = Run({"draws", "export", out});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(test::ReadBytes(out),
            "1;\"01/04/1995\";1;2;3;4;5\r\n2;\"01/11/1995\";6;7;8;9;10\r\n3;\"01/11/1995\";6;7;8;9;10\r\n");

  r = Run({"draws", "import", dir.File("missing.csv")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("missing.csv"), std::string::npos);
  EXPECT_EQ(Archive().Count(), 3);
}

TEST_F(CliTest, DamagedArchiveIsReportedAndNeverOverwritten) {
  std::string path = ArchivePath(dir.Path());
  DrawArchive a;
  DrawRecord d;
  d.number = 7;
  d.numbers = {1, 2, 3, 4, 5};
  a.Append(d);
  a.Save(Env::Real(), path);
  std::string damaged = test::ReadBytes(path) + std::string(10, 'x');
  test::WriteBytes(path, damaged);

  Result r = Run({"draws", "list"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("\n7\t1\t2\t3\t4\t5\t15\t"), std::string::npos);  // the whole record is shown
  EXPECT_EQ(r.err.rfind("Ошибка чтения файла тиражей!\n\n", 0), 0u) << r.err;

  r = Run({"draws", "add", "6;7;8;9;10"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(test::ReadBytes(path), damaged);
}

TEST_F(CliTest, UsageAndConfig) {
  EXPECT_EQ(Run({}).code, 2);
  EXPECT_EQ(Run({"draws"}).code, 2);
  EXPECT_EQ(Run({"draws", "frobnicate"}).code, 2);
  EXPECT_EQ(Run({"draws", "delete"}).code, 2);
  EXPECT_EQ(Run({"draws", "info", "abc"}).code, 2);
  EXPECT_EQ(Run({"draws", "list", "--data-dir", "/tmp"}).code, 2);  // global options go first

  test::WriteBytes(dir.File("Pentalux5_5v36.ini"), "[GLOBAL]\r\nChannelSize=9\r\n[PROXY]\r\nProxyPassword=secret\r\n");
  Result r = Run({"config", "show"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Параметр\tЗначение\nMatrixCols\t6\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\nChannelSize\t9\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nDeviation\t-1\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nProxyPort\t80\n"), std::string::npos);
  EXPECT_EQ(r.out.find("secret"), std::string::npos);
}

TEST(Cli, DataFolderFromTheEnvironment) {
  test::TempDir dir;
  ::setenv("PENTALUX_DATA_DIR", dir.Path().c_str(), 1);
  std::ostringstream out, err;
  int code = cli::Run({"draws", "add", "1;2;3;4;5", "--date", "01/04/1995"}, out, err);
  ::unsetenv("PENTALUX_DATA_DIR");
  EXPECT_EQ(code, 0) << err.str();
  EXPECT_TRUE(Env::Real().Exists(ArchivePath(dir.Path())));
}

TEST(Cli, TheProgramItselfAnswersInUtf8WithExitCodes) {
  test::TempDir dir;
  std::string cmd = std::string(PENTALUX_CLI) + " --data-dir " + dir.Path() + " draws add 1,2,3,4,4 2>&1";
  FILE* p = ::popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  char buf[256] = {};
  size_t n = fread(buf, 1, sizeof buf - 1, p);
  int status = ::pclose(p);
  EXPECT_EQ(std::string(buf, n), "Введена некорректная комбинация!\n");
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

// The draw after the largest number would overflow, so that number is no
// draw number; an archive that holds it anyway gives no next number.
TEST_F(CliTest, DrawNumbersAboveTheLargestAreRefused) {
  Result r = Run({"draws", "add", "1;2;3;4;5", "--number", "2147483647"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Некорректный номер тиража: 2147483647! Номер тиража должен быть не больше 2147483646.\n");
  EXPECT_EQ(Archive().Count(), 0);

  r = Run({"draws", "add", "1;2;3;4;5", "--number", "2147483646"});
  ASSERT_EQ(r.code, 0) << r.err;
  r = Run({"draws", "add", "6;7;8;9;10"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Некорректный номер тиража: 2147483647! Номер тиража должен быть не больше 2147483646.\n");
  EXPECT_EQ(Archive().Count(), 1);

  DrawArchive damaged;
  DrawRecord d;
  d.number = INT32_MAX;
  d.numbers = {1, 2, 3, 4, 5};
  damaged.Append(d);
  damaged.Save(Env::Real(), ArchivePath(dir.Path()));
  r = Run({"draws", "add", "6;7;8;9;10"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Некорректный номер тиража: -1! Номер тиража должен быть не меньше 1.\n");
  EXPECT_EQ(Archive().Count(), 1);
}

}  // namespace
}  // namespace px
