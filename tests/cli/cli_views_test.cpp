#include <gtest/gtest.h>

#include "core/archive.h"
#include "core/env.h"
#include "support/cli_result.h"
#include "support/draws.h"
#include "support/temp_dir.h"
#include "views/repeats.h"
#include "views/sums.h"

namespace px {
namespace {

using Result = test::CliResult;
using Cells = std::vector<std::string>;

class CliViewsTest : public ::testing::Test {
 protected:
  void Save(const DrawArchive& a) { a.Save(Env::Real(), ArchivePath(dir.Path())); }
  Result Run(std::vector<std::string> args) { return test::RunCliIn(dir.Path(), std::move(args)); }
  test::TempDir dir;
};

TEST_F(CliViewsTest, RepeatsPrintsTheListsRowsInOrder) {
  DrawArchive a;
  a.Append(test::Draw(10, {1, 2, 3, 4, 5}));
  a.Append(test::Draw(11, {1, 2, 3, 4, 6}));
  a.Append(test::Draw(12, {1, 7, 8, 9, 10}));
  a.Append(test::Draw(13, {1, 2, 11, 12, 13}));
  Save(a);

  Result r = Run({"repeats"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows(), (std::vector<Cells>{{"Тираж", "Совпадений", "Кол-во повторов", "Список тиражей"},
                                         {"13", "1", "1", "12"},
                                         {"13", "2", "2", "11 10"},
                                         {"12", "1", "2", "11 10"},
                                         {"11", "4", "1", "10"}}));
  // The same rows as the analysis gives, for a window and depth of one's own.
  r = Run({"repeats", "--len", "2", "--depth", "1"});
  ASSERT_EQ(r.code, 0) << r.err;
  const RepeatsTable t = AnalyzeRepeats(a, 2, 1);
  auto rows = r.Rows();
  ASSERT_EQ(rows.size(), t.Size() + 1);
  for (size_t i = 0; i < t.Size(); ++i) {
    const RepeatRow& row = t.Rows()[i];
    EXPECT_EQ(rows[i + 1], (Cells{std::to_string(row.draw), std::to_string(row.matches), std::to_string(row.count),
                                  t.DrawsText(row)}));
  }

  EXPECT_EQ(Run({"repeats", "--len", "0"}).code, 2);
  EXPECT_EQ(Run({"repeats", "--depth", "x"}).code, 2);
  EXPECT_EQ(Run({"repeats", "--len", "2147483647", "--depth", "2147483647"}).Rows().size(), 5u);
}

TEST_F(CliViewsTest, RepeatsOfAnEmptyArchiveIsTheHeaderAlone) {
  Result r = Run({"repeats"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows().size(), 1u);
  // A damaged archive is refused.
  test::WriteBytes(ArchivePath(dir.Path()), std::string(30, 'x'));
  EXPECT_EQ(Run({"repeats"}).code, 1);
}

TEST_F(CliViewsTest, SumsShowsTheConstantsAndTheScaledLines) {
  DrawArchive a;
  a.Append(test::Draw(1, {30, 10, 20, 25, 15}));  // 100
  a.Append(test::Draw(2, {1, 2, 3, 4, 5}));       // 15
  a.Append(test::Draw(3, {5, 25, 15, 30, 20}));  // 95
  a.Append(test::Draw(4, {11, 29, 20, 25, 15}));  // 100
  Save(a);
  Result r = Run({"sums"});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto rows = r.Rows();
  ASSERT_EQ(rows.size(), 157u);
  EXPECT_EQ(rows[0], (Cells{"Сумма", "Фактическое распределение сумм (по тиражам)",
                            "Теоретическое распределение сумм (по комбинациям)",
                            "Диапазон 1 (от 1/3 и выше по оси Y) - суммы 59-126",
                            "Диапазон 2 (от 1/2 и выше по оси Y) - суммы 66-119",
                            "Диапазон 3 (от 2/3 и выше по оси Y) - суммы 72-113"}));
  const SumsTables t = ComputeSums(a);
  ASSERT_EQ(t.maxA, 2);
  for (size_t i = 1; i < rows.size(); ++i) {
    const int sum = 14 + int(i);
    ASSERT_EQ(rows[i].size(), 6u);
    EXPECT_EQ(rows[i][0], std::to_string(sum));
    EXPECT_EQ(rows[i][1], sum == 100 ? "2" : sum == 15 || sum == 95 ? "1" : "0") << sum;
    EXPECT_EQ(rows[i][2], Fmt("%.2f", t.Scaled(t.theory[i - 1].count)));
    // The levels are flat lines at 2221, 3331 and 4441 of 6660, at the height 2.
    EXPECT_EQ(rows[i][3], "0.67");
    EXPECT_EQ(rows[i][4], "1.00");
    EXPECT_EQ(rows[i][5], "1.33");
  }
  EXPECT_EQ(rows[92 - 14][2], "2.00");
  EXPECT_EQ(rows[93 - 14][2], "2.00");
  EXPECT_EQ(rows[1][2], "0.00");

  // Without draws every height is 0 and the level titles keep their ranges.
  DrawArchive none;
  Save(none);
  const auto empty = Run({"sums"}).Rows();
  ASSERT_EQ(empty.size(), 157u);
  EXPECT_EQ(empty[0][5], "Диапазон 3 (от 2/3 и выше по оси Y) - суммы 72-113");
  EXPECT_EQ(empty[79], (Cells{"93", "0", "0.00", "0.00", "0.00", "0.00"}));
}

}  // namespace
}  // namespace px
