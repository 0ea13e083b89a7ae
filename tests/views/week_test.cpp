#include "views/week.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/archive.h"
#include "support/draws.h"

namespace px {
namespace {

using Colour = std::optional<uint32_t>;

class WeekView : public ::testing::Test {
 protected:
  void Add(Combination numbers, std::string_view date) {
    archive.Append(test::Draw(101 + archive.Count(), numbers, date));
  }
  // Two Mondays and a Wednesday, oldest first.
  void AddWorkedExample() {
    Add({1, 2, 3, 4, 5}, "01/06/2025");
    Add({1, 6, 7, 8, 9}, "01/13/2025");
    Add({1, 2, 10, 11, 12}, "01/08/2025");
  }
  static int Total(const WeekCounts& w) {
    int total = 0;
    for (const auto& number : w.counts)
      for (int32_t n : number) total += n;
    return total;
  }
  DrawArchive archive;
};

TEST_F(WeekView, TheWorkedExampleCountsAndShades) {
  AddWorkedExample();
  const WeekCounts w = ComputeWeekCounts(archive, 0, 1000);
  EXPECT_EQ(w.At(1, 1), 2);
  EXPECT_EQ(w.At(1, 3), 1);
  EXPECT_EQ(w.At(2, 1), 1);
  EXPECT_EQ(w.At(10, 1), 0);
  EXPECT_EQ(w.max, 2);
  EXPECT_EQ(Total(w), 15);
  EXPECT_EQ(WeekCellColour(w, 1, 1), Colour(0xFF0000));
  EXPECT_EQ(WeekCellColour(w, 2, 1), Colour(0xFF8080));  // 127.5 goes to the even 128
  // No count, the day names, the headers and cells off the grid are plain.
  for (auto [x, d] : {std::pair{10, 1}, {0, 1}, {1, 0}, {37, 1}, {1, 8}})
    EXPECT_EQ(WeekCellColour(w, x, d), std::nullopt) << x << " " << d;
  // Halves to even, both ways: 212.5 and 42.5.
  EXPECT_EQ(WeekShade(1, 6), 212);
  EXPECT_EQ(WeekShade(5, 6), 42);
  EXPECT_EQ(WeekShade(6, 6), 0);
  EXPECT_EQ(WeekShade(1, 0), 255);
}

TEST_F(WeekView, DatesWithoutARealDayAreSkippedNeverThrown) {
  Add({1, 2, 3, 4, 5}, "01/10/2025");  // a Friday
  for (const char* date : {"", "13/01/2025", "00/10/2025", "02/30/2024", "01/01/0000", "ab/cd/efgh", "1/6/2025",
                           "01/00/2025"})
    Add({6, 7, 8, 9, 10}, date);
  Add({1, 2, 3, 4, 14}, "02/29/2024");  // a Thursday of a leap year
  Add({1, 2, 3, 4, 15}, "01-13-2025");  // other separators, read as the archive reads dates: a Monday
  WeekCounts w;
  ASSERT_NO_THROW(w = ComputeWeekCounts(archive, 0, 1000));
  EXPECT_EQ(Total(w), 15);
  EXPECT_EQ(w.At(5, 5), 1);
  EXPECT_EQ(w.At(14, 4), 1);
  EXPECT_EQ(w.At(15, 1), 1);
  for (int d = 1; d <= 7; ++d) EXPECT_EQ(w.At(6, d), 0) << d;
  EXPECT_EQ(DrawDateKey(archive.At(0)), 20250110);
  EXPECT_EQ(DrawDateKey(archive.At(4)), 0);
  EXPECT_EQ(WeekdayOfKey(20250112), 7);
  EXPECT_EQ(WeekdayOfKey(20000301), 3);
  EXPECT_EQ(WeekdayOfKey(101), 0);  // year 0
  EXPECT_EQ(WeekdayOfKey(-20250106), 0);
}

TEST_F(WeekView, TheWindowEndsAtTheOffsetAndStopsAtTheOldestDraw) {
  AddWorkedExample();
  Add({36, 35, 34, 33, 32}, "01/12/2025");  // a Sunday
  WeekCounts w = ComputeWeekCounts(archive, 0, 2);
  EXPECT_EQ(w.first, 2);
  EXPECT_EQ(w.At(36, 7), 1);
  EXPECT_EQ(w.At(1, 1), 0);
  w = ComputeWeekCounts(archive, 1, 2);  // the Sunday draw is after the reference draw
  EXPECT_EQ(w.last, 2);
  EXPECT_EQ(w.At(36, 7), 0);
  EXPECT_EQ(w.At(1, 1), 1);
  EXPECT_EQ(Total(ComputeWeekCounts(archive, 0, INT_MAX)), 20);
  EXPECT_EQ(Total(ComputeWeekCounts(archive, 1, INT_MAX)), 15);
  EXPECT_EQ(Total(ComputeWeekCounts(archive, -5, 1)), 5);  // a negative offset counts as 0
  for (const WeekCounts& none : {ComputeWeekCounts(archive, 4, 10), ComputeWeekCounts(archive, 0, 0),
                                 ComputeWeekCounts(DrawArchive(), 0, 10), ComputeWeekCounts(archive, INT_MAX, INT_MAX)}) {
    EXPECT_EQ(Total(none), 0);
    EXPECT_EQ(none.max, 0);
    EXPECT_GT(none.first, none.last);
  }
}

TEST_F(WeekView, TheChartShowsOneRowOrOneColumnAndZerosForHeaders) {
  AddWorkedExample();
  Add({1, 2, 3, 30, 31}, "01/10/2025");  // Friday
  Add({1, 4, 5, 30, 36}, "01/17/2025");  // Friday
  const WeekCounts w = ComputeWeekCounts(archive, 0, 1000);
  // Mode 0 on the Friday row: the 36 Friday counts; any mode but 1 reads as 0.
  const std::vector<WeekPoint> friday = WeekChartPoints(w, 0, 12, 5);
  ASSERT_EQ(friday.size(), 36u);
  for (int x = 1; x <= 36; ++x) EXPECT_EQ(friday[size_t(x - 1)], (WeekPoint{x, w.At(x, 5)}));
  EXPECT_EQ(friday[0].y, 2);
  EXPECT_EQ(friday[35].y, 1);
  EXPECT_EQ(WeekChartPoints(w, 7, 12, 5), friday);
  // Mode 1 on number 1: its seven weekdays.
  EXPECT_EQ(WeekChartPoints(w, 1, 1, 5),
            (std::vector<WeekPoint>{{1, 2}, {2, 0}, {3, 1}, {4, 0}, {5, 2}, {6, 0}, {7, 0}}));
  // The day-name column, the header row and cells off the grid: zeros.
  for (const auto& points : {WeekChartPoints(w, 1, 0, 3), WeekChartPoints(w, 0, 3, 0), WeekChartPoints(w, 1, 99, 1),
                             WeekChartPoints(w, 0, 1, 8)}) {
    ASSERT_FALSE(points.empty());
    for (const WeekPoint& p : points) EXPECT_EQ(p.y, 0);
  }
}

TEST_F(WeekView, SelectionsAndTheRecomputeMemory) {
  EXPECT_EQ(WeekSelectionNumbers(7, 5), (std::vector<int>{5, 6, 7}));
  EXPECT_EQ(WeekSelectionNumbers(0, 2), (std::vector<int>{0, 1, 2}));  // the day names give 0
  EXPECT_EQ(WeekSelectionNumbers(35, 40), (std::vector<int>{35, 36}));
  EXPECT_TRUE(WeekSelectionNumbers(37, 40).empty());

  AddWorkedExample();
  const WeekInputs start = WeekInputsOf(archive, 0, 2);
  EXPECT_EQ(WeekInputsOf(archive, 0, 2), start);
  EXPECT_NE(start, WeekInputs{});
  EXPECT_NE(WeekInputsOf(archive, 1, 2), start);
  EXPECT_NE(WeekInputsOf(archive, 0, 3), start);
  archive.At(0).SetDate("01/07/2025");  // outside the window: no count changes
  EXPECT_EQ(WeekInputsOf(archive, 0, 2), start);
  archive.At(2).SetDate("01/09/2025");
  const WeekInputs redated = WeekInputsOf(archive, 0, 2);
  EXPECT_NE(redated, start);
  archive.At(2).numbers[4] = 13;
  EXPECT_NE(WeekInputsOf(archive, 0, 2), redated);
}

}  // namespace
}  // namespace px
