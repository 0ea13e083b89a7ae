#include <gtest/gtest.h>

#include "core/archive.h"
#include "core/env.h"
#include "support/cli_result.h"
#include "support/draws.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using Result = test::CliResult;
using Rows = std::vector<std::vector<std::string>>;

class CliLayoutTest : public ::testing::Test {
 protected:
  // Newest first {1,2,3,4,5}, {1,6,7,8,9}, {1,2,10,11,12}.
  void SetUp() override { Save({{1, {1, 2, 10, 11, 12}}, {2, {1, 6, 7, 8, 9}}, {3, {1, 2, 3, 4, 5}}}); }
  void Save(std::vector<std::pair<int32_t, Combination>> draws) {
    DrawArchive a;
    for (const auto& [number, numbers] : draws) a.Append(test::Draw(number, numbers));
    a.Save(Env::Real(), ArchivePath(dir.Path()));
  }
  Result Run(std::vector<std::string> args) { return test::RunCliIn(dir.Path(), std::move(args)); }
  test::TempDir dir;
};

TEST_F(CliLayoutTest, PrintsTheGridOfTheThreeDraws) {
  Result r = Run({"layout", "--len", "3"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows(), (Rows{{"Кол-во", "1", "2", "3"},
                            {"1", "10, 11, 12", "6, 7, 8, 9", "3, 4, 5"},
                            {"2", "", "", "2"},
                            {"3", "", "", "1"}}));
  EXPECT_EQ(r.err, "");
  // The default window holds all three; two leave the oldest out.
  EXPECT_EQ(Run({"layout"}).out, r.out);
  EXPECT_EQ(Run({"layout", "--len", "2"}).Rows(),
            (Rows{{"Кол-во", "2", "3"}, {"1", "6, 7, 8, 9", "2, 3, 4, 5"}, {"2", "", "1"}}));
}

TEST_F(CliLayoutTest, AnOffsetBracketsTheNumbersOfTheKnownNextDraw) {
  Save({{1, {1, 2, 10, 11, 12}}, {2, {1, 6, 7, 8, 9}}, {3, {1, 2, 3, 4, 5}}, {4, {7, 13, 14, 15, 16}}});
  Result r = Run({"layout", "--len", "3", "--offset", "1"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows()[1], (std::vector<std::string>{"1", "10, 11, 12", "6, [7], 8, 9", "3, 4, 5"}));
  // At offset 0 nothing is known of the next draw.
  EXPECT_EQ(Run({"layout", "--len", "1"}).Rows(), (Rows{{"Кол-во", "4"}, {"1", "7, 13, 14, 15, 16"}}));
}

TEST_F(CliLayoutTest, BadUsageAndEmptyArchive) {
  EXPECT_EQ(Run({"layout", "--len", "0"}).code, 2);
  EXPECT_EQ(Run({"layout", "--len", "x"}).code, 2);
  Result r = Run({"layout", "--offset", "3"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Некорректное смещение: 3! Допустимые значения: от 0 до 2.\n");
  EXPECT_EQ(Run({"layout-compare", "--offset", "-1"}).code, 1);
  for (const char* lens : {"1,2,3", "1,2,3,4,0", "1,2,3,4,5,6", "a,b,c,d,e", "1,2,,4,5"})
    EXPECT_EQ(Run({"layout-compare", "--lens", lens}).code, 2) << lens;

  Save({});
  r = Run({"layout"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows(), (Rows{{"Кол-во"}}));
  r = Run({"layout-compare"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows(), (Rows{{"Кол-во", "", "Кол-во", "", "Кол-во", "", "Кол-во", "", "Кол-во", ""}}));
}

TEST_F(CliLayoutTest, CompareListsSideBySideLargestCountFirst) {
  Result r = Run({"layout-compare", "--lens", "1,2,3,50,400"});
  ASSERT_EQ(r.code, 0) << r.err;
  const Rows rows = r.Rows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Кол-во", "3 - 3", "Кол-во", "2 - 3", "Кол-во", "1 - 3", "Кол-во",
                                                "1 - 3", "Кол-во", "1 - 3"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"1", "1, 2, 3, 4, 5", "2", "1", "3", "1", "3", "1", "3", "1"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"", "", "1", "2, 3, 4, 5, 6, 7, 8, 9", "2", "2", "2", "2", "2", "2"}));
  const std::string all = "3, 4, 5, 6, 7, 8, 9, 10, 11, 12";
  EXPECT_EQ(rows[3], (std::vector<std::string>{"", "", "", "", "1", all, "1", all, "1", all}));
  // The default lengths all reach past three draws.
  EXPECT_EQ(Run({"layout-compare"}).Rows()[0][9], "1 - 3");
  EXPECT_EQ(Run({"layout-compare", "--offset", "2"}).Rows(),
            (Rows{{"Кол-во", "1 - 1", "Кол-во", "1 - 1", "Кол-во", "1 - 1", "Кол-во", "1 - 1", "Кол-во", "1 - 1"},
                  {"1", "1, 2, 10, 11, 12", "1", "1, 2, 10, 11, 12", "1", "1, 2, 10, 11, 12", "1",
                   "1, 2, 10, 11, 12", "1", "1, 2, 10, 11, 12"}}));
}

}  // namespace
}  // namespace px
