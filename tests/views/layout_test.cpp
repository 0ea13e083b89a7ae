#include "views/layout.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/archive.h"
#include "support/draws.h"

namespace px {
namespace {

using test::Draw;
using Cells = std::vector<std::vector<std::string>>;

// Newest first {1,2,3,4,5}, {1,6,7,8,9}, {1,2,10,11,12}, numbered 1..3.
DrawArchive ThreeDraws() {
  DrawArchive a;
  a.Append(Draw(1, {1, 2, 10, 11, 12}));
  a.Append(Draw(2, {1, 6, 7, 8, 9}));
  a.Append(Draw(3, {1, 2, 3, 4, 5}));
  return a;
}

uint32_t Rgb(int r, int g, int b) { return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }

TEST(LayoutTally, CountsEachNumberWithItsNewestFallInOrderOfFirstMeeting) {
  const DrawArchive a = ThreeDraws();
  const auto tally = LayoutTally(a, LayoutWindowOf(a, 0, 3));
  const std::vector<LayoutTallyEntry> expected = {{1, 3, 3}, {2, 2, 3}, {3, 1, 3}, {4, 1, 3},  {5, 1, 3},  {6, 1, 2},
                                                  {7, 1, 2}, {8, 1, 2}, {9, 1, 2}, {10, 1, 1}, {11, 1, 1}, {12, 1, 1}};
  EXPECT_EQ(tally, expected);
  // Stored order within a draw, not ascending.
  DrawArchive b;
  b.Append(Draw(7, {30, 2, 17, 5, 11}));
  const auto one = LayoutTally(b, LayoutWindowOf(b, 0, 10));
  ASSERT_EQ(one.size(), 5u);
  EXPECT_EQ(one[0].number, 30);
  EXPECT_EQ(one[4].number, 11);
  // A damaged record: 0 marks no number, any other byte is tallied.
  DrawArchive c;
  c.Append(Draw(1, {0, 200, 3, 0, 3}));
  EXPECT_EQ(LayoutTally(c, LayoutWindowOf(c, 0, 1)),
            (std::vector<LayoutTallyEntry>{{200, 1, 1}, {3, 2, 1}}));
}

TEST(LayoutTally, TheWindowEndsAtTheOffsetAndStopsAtTheOldestDraw) {
  const DrawArchive a = ThreeDraws();
  LayoutWindow w = LayoutWindowOf(a, 0, 2);
  EXPECT_EQ(w.first, 1);
  EXPECT_EQ(w.last, 2);
  w = LayoutWindowOf(a, 1, 100);
  EXPECT_EQ(w.first, 0);
  EXPECT_EQ(w.last, 1);
  // Near the int limit nothing wraps; a negative offset counts as 0.
  w = LayoutWindowOf(a, -5, INT_MAX);
  EXPECT_EQ(w.first, 0);
  EXPECT_EQ(w.last, 2);
  // No draw: past the oldest, an empty archive, no length.
  EXPECT_TRUE(LayoutWindowOf(a, 3, 10).Empty());
  EXPECT_TRUE(LayoutWindowOf(a, INT_MAX, INT_MAX).Empty());
  EXPECT_TRUE(LayoutWindowOf(DrawArchive{}, 0, 10).Empty());
  EXPECT_TRUE(LayoutWindowOf(a, 0, 0).Empty());
  EXPECT_TRUE(LayoutTally(a, LayoutWindowOf(a, 3, 10)).empty());
}

TEST(LayoutGrid, ThreeDrawsGiveRowsOfCountsAndColumnsOfNewestFalls) {
  const LayoutGrid g = BuildLayoutGrid(ThreeDraws(), 0, 3);
  EXPECT_EQ(g.counts, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(g.draws, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(g.cells, (Cells{{"10, 11, 12", "6, 7, 8, 9", "3, 4, 5"}, {"", "", "2"}, {"", "", "1"}}));
  // A shorter window drops what fell before it.
  const LayoutGrid two = BuildLayoutGrid(ThreeDraws(), 0, 2);
  EXPECT_EQ(two.counts, (std::vector<int>{1, 2}));
  EXPECT_EQ(two.draws, (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(two.cells, (Cells{{"6, 7, 8, 9", "2, 3, 4, 5"}, {"", "1"}}));
}

TEST(LayoutGrid, ColumnsRunByDrawNumberNotByArchivePosition) {
  DrawArchive a;
  a.Append(Draw(50, {1, 2, 3, 4, 5}));
  a.Append(Draw(40, {6, 7, 8, 9, 10}));
  a.Append(Draw(45, {1, 11, 12, 13, 14}));
  const LayoutGrid g = BuildLayoutGrid(a, 0, 3);
  EXPECT_EQ(g.draws, (std::vector<int32_t>{40, 45, 50}));
  EXPECT_EQ(g.cells, (Cells{{"6, 7, 8, 9, 10", "11, 12, 13, 14", "2, 3, 4, 5"}, {"", "1", ""}}));
}

TEST(LayoutGrid, NumbersOfTheKnownNextDrawAreBracketedAndGreenInBothModes) {
  DrawArchive a = ThreeDraws();
  a.Append(Draw(4, {7, 13, 14, 15, 16}));
  const LayoutGrid g = BuildLayoutGrid(a, 1, 3);
  EXPECT_EQ(g.cells, (Cells{{"10, 11, 12", "6, [7], 8, 9", "3, 4, 5"}, {"", "", "2"}, {"", "", "1"}}));
  const int X = g.Columns() + 1, Y = g.Rows() + 1;
  EXPECT_EQ(LayoutCellColour(g.Cell(0, 1), 2, 1, X, Y, true), Rgb(0, 255, 0));
  EXPECT_EQ(LayoutCellColour(g.Cell(0, 1), 2, 1, X, Y, false), Rgb(0, 255, 0));
  EXPECT_NE(LayoutCellColour(g.Cell(0, 0), 1, 1, X, Y, true), Rgb(0, 255, 0));
  // At offset 0 no next draw is known.
  const LayoutGrid newest = BuildLayoutGrid(a, 0, 4);
  for (const auto& row : newest.cells)
    for (const std::string& cell : row) EXPECT_EQ(cell.find('['), std::string::npos) << cell;
  // The next draw of the offset, not any later one.
  a.Append(Draw(5, {10, 20, 21, 22, 23}));
  EXPECT_EQ(BuildLayoutGrid(a, 2, 3).Cell(0, 1), "6, [7], 8, 9");
  EXPECT_EQ(BuildLayoutGrid(a, 2, 3).Cell(0, 0), "10, 11, 12");
}

TEST(LayoutGrid, NoDrawsGiveAnEmptyGrid) {
  EXPECT_TRUE(BuildLayoutGrid(DrawArchive{}, 0, 100).Empty());
  const LayoutGrid past = BuildLayoutGrid(ThreeDraws(), 5, 100);
  EXPECT_TRUE(past.Empty());
  EXPECT_EQ(past.Rows(), 0);
  // One draw is a grid all the same: one column, one row.
  const LayoutGrid one = BuildLayoutGrid(ThreeDraws(), 0, 1);
  EXPECT_FALSE(one.Empty());
  EXPECT_EQ(one.cells, (Cells{{"1, 2, 3, 4, 5"}}));
}

TEST(LayoutColour, GradientCornersAndHalvesToEven) {
  // A grid of 3 by 3 data cells: X = Y = 4.
  EXPECT_EQ(LayoutCellColour("1", 1, 1, 4, 4, true), Rgb(216, 216, 139));  // 255 - 38.75, 100 + 38.75
  EXPECT_EQ(LayoutCellColour("1", 3, 3, 4, 4, true), Rgb(139, 139, 216));  // 255 - 116.25, 100 + 116.25
  EXPECT_EQ(LayoutCellColour("1", 3, 1, 4, 4, true), Rgb(216, 139, 139));
  EXPECT_EQ(LayoutCellColour("", 1, 3, 4, 4, true), Rgb(139, 216, 216));
  // 155·3/10 = 46.5: 208.5 and 146.5 go to the even neighbours.
  EXPECT_EQ(LayoutCellColour("", 3, 3, 10, 10, true), Rgb(208, 208, 146));
  // 155/10 = 15.5: 239.5 and 115.5 go up, to the even ones.
  EXPECT_EQ(LayoutCellColour("", 1, 1, 10, 10, true), Rgb(240, 240, 116));
  // The header corner and a single data cell.
  EXPECT_EQ(LayoutCellColour("", 0, 0, 2, 2, true), Rgb(255, 255, 100));
  EXPECT_EQ(LayoutCellColour("", 1, 1, 2, 2, true), Rgb(178, 178, 178));
}

TEST(LayoutColour, ChequerOfFiveByFiveBlocksUpToNinetyFive) {
  const uint32_t odd = Rgb(255, 234, 234), even = Rgb(234, 255, 234);
  EXPECT_EQ(LayoutCellColour("1", 1, 1, 40, 40, false), even);   // both in a block
  EXPECT_EQ(LayoutCellColour("1", 5, 5, 40, 40, false), even);
  EXPECT_EQ(LayoutCellColour("1", 6, 1, 40, 40, false), odd);    // column out, row in
  EXPECT_EQ(LayoutCellColour("1", 1, 6, 40, 40, false), odd);
  EXPECT_EQ(LayoutCellColour("1", 6, 6, 40, 40, false), even);   // both out
  EXPECT_EQ(LayoutCellColour("1", 10, 11, 40, 40, false), odd);  // 10 out, 11 in
  EXPECT_EQ(LayoutCellColour("1", 95, 1, 200, 200, false), even);
  // 101 ends in 1 but lies past 95.
  EXPECT_EQ(LayoutCellColour("1", 101, 1, 200, 200, false), odd);
  EXPECT_EQ(LayoutCellColour("1", 101, 106, 200, 200, false), even);
}

TEST(LayoutCompare, ListsGroupTheNumbersByCountLargestFirst) {
  const DrawArchive a = ThreeDraws();
  const auto lists = BuildLayoutCompare(a, 0, {1, 2, 3, 50, 400});
  EXPECT_EQ(lists[0].caption, "3 - 3");
  EXPECT_EQ(lists[0].rows, (std::vector<std::pair<int, std::string>>{{1, "1, 2, 3, 4, 5"}}));
  EXPECT_EQ(lists[1].caption, "2 - 3");
  EXPECT_EQ(lists[1].rows,
            (std::vector<std::pair<int, std::string>>{{2, "1"}, {1, "2, 3, 4, 5, 6, 7, 8, 9"}}));
  EXPECT_EQ(lists[2].caption, "1 - 3");
  EXPECT_EQ(lists[2].rows, (std::vector<std::pair<int, std::string>>{
                               {3, "1"}, {2, "2"}, {1, "3, 4, 5, 6, 7, 8, 9, 10, 11, 12"}}));
  // Longer than the archive: the range starts at the oldest draw.
  EXPECT_EQ(lists[3].caption, "1 - 3");
  EXPECT_EQ(lists[4].caption, "1 - 3");
  EXPECT_EQ(lists[4].rows, lists[2].rows);

  // At an offset the range ends at the reference draw.
  EXPECT_EQ(BuildLayoutCompareList(a, 1, 400).caption, "1 - 2");
  EXPECT_EQ(BuildLayoutCompareList(a, 2, 1).caption, "1 - 1");
  // No draw: no caption and no rows.
  EXPECT_EQ(BuildLayoutCompareList(DrawArchive{}, 0, 50).caption, "");
  EXPECT_TRUE(BuildLayoutCompareList(DrawArchive{}, 0, 50).rows.empty());
  EXPECT_TRUE(BuildLayoutCompareList(a, 3, 50).rows.empty());
}

TEST(LayoutSelection, CellsGiveTheirNumbersOnceInOrder) {
  auto n = NumbersOfCells({"6, [7], 8, 9", "", "3, 4, 5"});
  EXPECT_EQ(n.numbers, (std::vector<int>{6, 7, 8, 9, 3, 4, 5}));
  EXPECT_EQ(n.valuesText, "6; 7; 8; 9; 3; 4; 5");
  n = NumbersOfCells({"[7]", "12", "3"});
  EXPECT_EQ(n.numbers, (std::vector<int>{7, 12, 3}));
  EXPECT_EQ(n.valuesText, "7; 12; 3");
  // Each value once; blanks and brackets anywhere; a piece that is no number is 0.
  n = NumbersOfCells({"1, 2", " 2 ,[1] ", "x", "[ 5 ]"});
  EXPECT_EQ(n.numbers, (std::vector<int>{1, 2, 0, 5}));
  EXPECT_EQ(n.valuesText, "1; 2; 0; 5");
  // Empty cells give nothing at all.
  n = NumbersOfCells({"", "", " "});
  EXPECT_TRUE(n.numbers.empty());
  EXPECT_EQ(n.valuesText, "");
  EXPECT_TRUE(NumbersOfCells({}).numbers.empty());
}

TEST(LayoutSelection, TheRectangleIsReadColumnByColumn) {
  const LayoutGrid g = BuildLayoutGrid(ThreeDraws(), 0, 3);
  EXPECT_EQ(NumbersOfSelection(g, 0, 2, 2, 2).valuesText, "3; 4; 5; 2; 1");
  EXPECT_EQ(NumbersOfSelection(g, 0, 0, 0, 2).valuesText, "10; 11; 12; 6; 7; 8; 9; 3; 4; 5");
  EXPECT_EQ(NumbersOfSelection(g, 0, 1, 1, 2).valuesText, "6; 7; 8; 9; 3; 4; 5; 2");
  EXPECT_TRUE(NumbersOfSelection(g, 1, 2, 0, 1).numbers.empty());
  // Clipped to the grid.
  EXPECT_EQ(NumbersOfSelection(g, -3, 9, 2, 9).valuesText, "3; 4; 5; 2; 1");
  EXPECT_TRUE(NumbersOfSelection(LayoutGrid{}, 0, 5, 0, 5).numbers.empty());
}

}  // namespace
}  // namespace px
