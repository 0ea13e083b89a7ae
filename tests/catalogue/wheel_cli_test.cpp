#include <gtest/gtest.h>

#include "catalogue/client.h"
#include "catalogue/store.h"
#include "core/errors.h"
#include "stakes/system_build.h"
#include "support/cli_result.h"
#include "tests/catalogue/catalogue_support.h"

namespace px::test {
namespace {

TEST(WheelBuilder, EveryWheelHoldsItsGuaranteeAndNeedsEachOfItsLines) {
  for (int k = 6; k <= 12; ++k) {
    for (WheelGuarantee g : {WheelGuarantee{2, 5}, WheelGuarantee{3, 5}, WheelGuarantee{3, 4}, WheelGuarantee{2, 3}}) {
      const Wheel w = BuildWheel(k, g);
      ASSERT_FALSE(w.lines.empty());
      EXPECT_GE(w.check.guarantees[size_t(g.m - 2)].t, g.t) << k;
      EXPECT_LT(int64_t(w.lines.size()), Binomial(k, 5)) << k;
      // Dropping any one line breaks the guarantee: the improvement pass left nothing needless.
      for (size_t drop = 0; drop < w.lines.size() && w.lines.size() > 1; ++drop) {
        std::vector<SystemLine> fewer = w.lines;
        fewer.erase(fewer.begin() + std::ptrdiff_t(drop));
        EXPECT_LT(CheckSystem(fewer, k).guarantees[size_t(g.m - 2)].t, g.t) << k << " " << drop;
      }
    }
  }
  // All five of five: every line of C(k,5).
  EXPECT_EQ(BuildWheel(7, {5, 5}).lines.size(), 21u);
  EXPECT_EQ(ParseWheelGuarantee("3:5").t, 3);
  EXPECT_EQ(ParseWheelGuarantee("3:5").m, 5);
  for (const char* bad : {"", "3", "0:5", "4:3", "2:6", "1:1", "x:y"}) EXPECT_THROW(ParseWheelGuarantee(bad), Error) << bad;
  EXPECT_THROW(BuildWheel(5, {2, 5}), Error);
  EXPECT_THROW(BuildWheel(kWheelMaxNumbers + 1, {2, 5}), Error);
  const std::string descr = WheelDescription(10, {3, 5}, BuildWheel(10, {3, 5}));
  EXPECT_NE(descr.find("не менее 3"), std::string::npos);
}

TEST(CliCatalogue, PublishListDownloadDeleteThroughTheToolEitherWay) {
  for (Way way : {Way::Embedded, Way::Http}) {
    TempDir dir;
    std::unique_ptr<ServedCatalogue> served;
    if (way == Way::Http) {
      served = std::make_unique<ServedCatalogue>(dir.File("server.db"));
      Env::Real().WriteFile(dir.File("Pentalux5_5v36.ini"), "[GLOBAL]\r\nSystemsCatalogue=" + served->Url() + "\r\n");
    }
    const std::string d = dir.Path();
    EXPECT_EQ(RunCliIn(d, {"systems", "list"}).Rows().at(1).at(1), "Список систем не доступен!");
    // No identity: no author for a new system.
    Env::Real().WriteFile(dir.File("w.txt"), Lines(8, 4));
    EXPECT_EQ(RunCliIn(d, {"systems", "publish", dir.File("w.txt"), "--numbers", "8", "--title", "T"}).code, 1);
    ASSERT_EQ(RunCliIn(d, {"systems", "identity", "--name", "Иван", "--mail", "ivan@x.ru"}).code, 0);

    auto pub = RunCliIn(d, {"systems", "publish", dir.File("w.txt"), "--numbers", "8", "--title", "Восьмёрка", "--url",
                            "http://x.ru/?a&b"});
    ASSERT_EQ(pub.code, 0) << pub.err;
    EXPECT_EQ(pub.Rows().at(1), (std::vector<std::string>{"1", "Восьмёрка", "4"}));
    auto built = RunCliIn(d, {"systems", "build", "--numbers", "8", "--guarantee", "3:5", "--publish"});
    ASSERT_EQ(built.code, 0) << built.err;
    EXPECT_EQ(RunCliIn(d, {"systems", "publish", dir.File("w.txt"), "--numbers", "6", "--title", "T"}).code, 1);
    EXPECT_EQ(RunCliIn(d, {"systems", "build", "--numbers", "8", "--guarantee", "6:5"}).code, 2);

    auto list = RunCliIn(d, {"systems", "list"});
    ASSERT_EQ(list.code, 0) << list.err;
    auto rows = list.Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].front(), "ID");
    EXPECT_EQ(rows[1][1], "Восьмёрка");
    EXPECT_EQ(rows[1][3], "08");
    EXPECT_EQ(rows[1][11], "http://x.ru/?a&b");
    ASSERT_EQ(rows[1].size(), 13u);
    EXPECT_EQ(rows[1][12], "да");
    EXPECT_NE(rows[2][10].find("Гарантии"), std::string::npos);

    auto down = RunCliIn(d, {"systems", "download", "1"});
    ASSERT_EQ(down.code, 0) << down.err;
    EXPECT_EQ(down.Rows().at(1), (std::vector<std::string>{"1", "5-08-0_0001.dat"}));
    EXPECT_TRUE(std::filesystem::exists(d + "/Systems/5-08-0_0001.dat"));
    ASSERT_EQ(RunCliIn(d, {"systems", "download", "2"}).code, 0);
    EXPECT_FALSE(std::filesystem::exists(d + "/Systems/5-08-0_0001.dat"));  // one system per k
    EXPECT_EQ(RunCliIn(d, {"systems", "download", "9"}).code, 1);
    EXPECT_EQ(RunCliIn(d, {"systems", "refresh"}).Rows().at(2).at(7), "Загружена");

    // Properties: the row, an empty line, the lines.
    auto show = RunCliIn(d, {"systems", "show", "1"});
    ASSERT_EQ(show.code, 0) << show.err;
    EXPECT_NE(show.out.find("\n\nКомбинация\n01 02 03 04 05\n"), std::string::npos) << show.out;
    EXPECT_EQ(RunCliIn(d, {"systems", "show", "77"}).code, 1);
    // A change runs the dialog's check on a new text: the numbers follow it,
    // and OK's checks refuse what the dialog would.
    Env::Real().WriteFile(dir.File("n.txt"), "3 4 5 6 7\r\n\r\n1,2,3,4,5,6\r\n5 6 7 8 9\r\n");
    auto wide = RunCliIn(d, {"systems", "change", "1", "--file", dir.File("n.txt")});
    EXPECT_EQ(wide.code, 2);  // 9 - 3 + 1 = 7 numbers, but position 9
    EXPECT_NE(wide.err.find("от 1 до 7"), std::string::npos) << wide.err;
    auto changed = RunCliIn(d, {"systems", "change", "1", "--file", dir.File("n.txt"), "--numbers", "9", "--title",
                                "Девятка", "--block", "2"});
    ASSERT_EQ(changed.code, 0) << changed.err;
    EXPECT_EQ(changed.Rows().at(1).at(1), "Девятка");
    EXPECT_EQ(changed.Rows().at(1).at(3), "09");
    EXPECT_EQ(changed.Rows().at(1).at(4), "2");
    EXPECT_EQ(changed.Rows().at(1).at(5), "2");
    EXPECT_NE(RunCliIn(d, {"systems", "show", "1"}).out.find("03 04 05 06 07\n05 06 07 08 09\n"), std::string::npos);
    EXPECT_EQ(RunCliIn(d, {"systems", "change", "1", "--title", "  "}).code, 2);
    EXPECT_EQ(RunCliIn(d, {"systems", "change", "1", "--numbers", "5"}).code, 2);  // refused by the range check

    ASSERT_EQ(RunCliIn(d, {"systems", "delete", "2"}).code, 0);
    EXPECT_FALSE(std::filesystem::exists(d + "/Systems/5-08-0_0002.dat"));
    EXPECT_EQ(RunCliIn(d, {"systems", "list"}).Rows().size(), 2u);
    ASSERT_EQ(RunCliIn(d, {"systems", "identity", "--name", "Пётр", "--mail", "petr@x.ru"}).code, 0);
    auto refused = RunCliIn(d, {"systems", "delete", "1"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("Вы можете удалять только свои системы!"), std::string::npos) << refused.err;
    auto notOwn = RunCliIn(d, {"systems", "change", "1", "--title", "чужая"});
    EXPECT_EQ(notOwn.code, 1);
    EXPECT_NE(notOwn.err.find("Вы можете изменять только свои системы!"), std::string::npos) << notOwn.err;
  }
}

}  // namespace
}  // namespace px::test
