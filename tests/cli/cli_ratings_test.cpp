#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "core/cp1251.h"
#include "stakes/ratings.h"
#include "support/cli_result.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using Result = test::CliResult;

const std::string kHeader =
    "Комментарий\tСтавок\tУгадано\tСреднее\tПрофит\tСр. профит\t0\t1\t2\t3\t4\t5\tE0\tE1\tE2\tE3\tE4\tE5\n";

class CliRatingsTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string file = RatingsPath(dir.Path());

  void SetUp() override {
    RatingEntry low;
    low.comment = "Низкий";
    low.stakes = 100;
    low.histogram = {98, 0, 0, 2, 0, 0};
    low.matched = 6;
    low.profit = -500000;
    RatingEntry high;
    high.comment = "High";
    high.stakes = 1;
    high.histogram = {0, 0, 0, 0, 0, 1};
    high.matched = 5;
    high.profit = 9990000;
    // File order on purpose not the view's default order.
    test::WriteBytes(file, EncodeRatingEntries({low, high}));
  }
  Result Run(std::vector<std::string> args) {
    return test::RunCliIn(dir.Path(), std::move(args));
  }
};

TEST_F(CliRatingsTest, PrintsTitlesAndRowsInFileOrder) {
  const std::string before = test::ReadBytes(file);
  Result r = Run({"ratings"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kHeader +
                       "Низкий\t100\t6\t0.060\t-50.00\t-0.50\t98\t0\t0\t2\t0\t0\t52.930%\t-41.732%\t-11.923%\t0.767%\t-0.041%"
                       "\t-0.000%\n"
                       "High\t1\t5\t5.000\t999.00\t999.00\t0\t0\t0\t0\t0\t1\t-45.070%\t-41.732%\t-11.923%\t-1.233%"
                       "\t-0.041%\t100.000%\n");
  r = Run({"ratings", "--mode", "2"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\t162.147%\t"), std::string::npos) << r.out;
  r = Run({"ratings", "--mode", "0"});
  EXPECT_NE(r.out.find("\t0\t0\t2\t0\t0\t45\t42\t12\t1\t0\t0\n"), std::string::npos) << r.out;
  // Printing neither sorts nor stores anything.
  EXPECT_EQ(test::ReadBytes(file), before);
  EXPECT_FALSE(std::filesystem::exists(dir.File("Pentalux5_5v36.frm")));
}

TEST_F(CliRatingsTest, StoredModeIsTheDefaultAndBadModesAreRefused) {
  test::WriteBytes(dir.File("Pentalux5_5v36.frm"), "[TFormMain]\r\nRatingsEffMode=0\r\n");
  const std::string settings = test::ReadBytes(dir.File("Pentalux5_5v36.frm"));
  Result r = Run({"ratings"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("\t45\t42\t12\t1\t0\t0\n"), std::string::npos) << r.out;
  r = Run({"ratings", "--mode", "2"});
  EXPECT_NE(r.out.find("%"), std::string::npos);
  EXPECT_EQ(test::ReadBytes(dir.File("Pentalux5_5v36.frm")), settings);
  EXPECT_EQ(Run({"ratings", "--mode", "3"}).code, 2);
}

TEST_F(CliRatingsTest, ExportWritesTheCsv) {
  Result r = Run({"ratings", "--export", dir.File("r.csv")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(test::ReadBytes(dir.File("r.csv")),
            Utf8ToCp1251("\"Комментарий\";\"Ставок\";\"Угадано\";\"Среднее\";\"Профит\";\"Ср. профит\";\"0\";\"1\";"
                         "\"2\";\"3\";\"4\";\"5\";\"E0\";\"E1\";\"E2\";\"E3\";\"E4\";\"E5\"\r\n"
                         "\"Низкий\";100;6;0.060;-50.00;-0.50;98;0;0;2;0;0\r\n"
                         "\"High\";1;5;5.000;999.00;999.00;0;0;0;0;0;1\r\n"));
}

TEST_F(CliRatingsTest, MissingFileGivesTheHeaderAndATornOneFails) {
  std::filesystem::remove(file);
  Result r = Run({"ratings"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, kHeader);
  test::WriteBytes(file, std::string(100, '\0'));
  r = Run({"ratings"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.rfind("Ошибка чтения файла рейтинга!\n\n", 0), 0u) << r.err;
}

}  // namespace
}  // namespace px
