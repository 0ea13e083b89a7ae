#include "views/card.h"

#include <gtest/gtest.h>

#include "core/archive.h"
#include "core/arith.h"
#include "support/draws.h"

namespace px {
namespace {

using Colour = std::optional<uint32_t>;

class CardView : public ::testing::Test {
 protected:
  void Add(int32_t number, Combination numbers) { archive.Append(test::Draw(number, numbers)); }
  // The worked pair: the newest draw after the one before it.
  void AddPair() {
    Add(501, {4, 9, 20, 28, 31});
    Add(502, {3, 4, 20, 27, 35});
  }
  DrawArchive archive;
};

TEST_F(CardView, RowsRunNewestFirstAndNothingIsReadOutsideTheGrid) {
  Add(7, {36, 0, 18, 200, 5});  // numbers outside the game are not shown
  AddPair();
  const Card card = Card::Build(archive);
  ASSERT_EQ(card.Rows(), 3);
  EXPECT_EQ(card.CellText(0, 0), "502");
  EXPECT_EQ(card.CellText(2, 0), "7");
  EXPECT_EQ(card.CellText(0, 3), "3");
  EXPECT_EQ(card.CellText(0, 5), "");
  int shown = 0;
  for (int x = 1; x <= 36; ++x) shown += card.Has(2, x) ? 1 : 0;
  EXPECT_EQ(shown, 3);
  EXPECT_TRUE(card.Has(2, 36) && card.Has(2, 18) && card.Has(2, 5));
  EXPECT_EQ(card.CellText(-1, 3), "");
  EXPECT_EQ(card.CellText(3, 0), "");
  EXPECT_FALSE(card.Has(0, 0) || card.Has(0, 37) || card.Has(-1, 3) || card.Has(3, 3));
}

TEST_F(CardView, TheWorkedExampleColoursRepeatsRunsAndChannels) {
  AddPair();
  const Card card = Card::Build(archive);
  const CardColours both{true, true, 6};
  // Newest row: 4 repeats and runs with 3, 3 only runs, 20 only repeats,
  // 27 and 35 take their channels 5 and 6; empty cells their column's channel.
  EXPECT_EQ(CardCellColour(card, 0, 4, both), Colour(0xFFFF00));
  EXPECT_EQ(CardCellColour(card, 0, 3, both), Colour(0x00FFFF));
  EXPECT_EQ(CardCellColour(card, 0, 20, both), Colour(0x00FF00));
  EXPECT_EQ(CardCellColour(card, 0, 27, both), Colour(kChannelPalette[4]));
  EXPECT_EQ(CardCellColour(card, 0, 35, both), Colour(kChannelPalette[5]));
  EXPECT_EQ(CardCellColour(card, 0, 5, both), Colour(kChannelPalette[0]));
  // The last row has no row below it: 4 repeats only with the row above.
  EXPECT_EQ(CardCellColour(card, 1, 4, both), Colour(0x00FF00));
  EXPECT_EQ(CardCellColour(card, 1, 9, both), Colour(kChannelPalette[1]));
  // The draw number column and cells off the grid are plain.
  for (auto [row, column] : {std::pair{0, 0}, {2, 4}, {-1, 4}, {0, 37}})
    EXPECT_EQ(CardCellColour(card, row, column, both), std::nullopt) << row << " " << column;

  // Sequences off: every cell by its channel. Channels off: what is neither
  // repeat nor run is plain, empty cells too.
  EXPECT_EQ(CardCellColour(card, 0, 4, CardColours{true, false, 6}), Colour(kChannelPalette[0]));
  EXPECT_EQ(CardCellColour(card, 0, 4, CardColours{false, true, 6}), Colour(0xFFFF00));
  EXPECT_EQ(CardCellColour(card, 0, 27, CardColours{false, true, 6}), std::nullopt);
  EXPECT_EQ(CardCellColour(card, 0, 5, CardColours{false, true, 6}), std::nullopt);
  for (int x = 1; x <= 36; ++x) EXPECT_EQ(CardCellColour(card, 0, x, CardColours{false, false, 6}), std::nullopt);
}

TEST_F(CardView, RunsStopAtTheEdgesAndNarrowChannelsWrapPastThePalette) {
  Add(1, {1, 2, 35, 36, 18});
  const Card card = Card::Build(archive);
  EXPECT_EQ(CardCellColour(card, 0, 1, CardColours{}), Colour(0x00FFFF));
  EXPECT_EQ(CardCellColour(card, 0, 36, CardColours{}), Colour(0x00FFFF));
  EXPECT_EQ(CardCellColour(card, 0, 18, CardColours{}), Colour(kChannelPalette[2]));
  // Width 2: channels 1..18, inside the palette; width 1: 20..36 take the
  // colours of 1..17.
  for (int x = 1; x <= 36; ++x) {
    EXPECT_EQ(CardCellColour(card, 0, x, CardColours{true, false, 2}), Colour(kChannelPalette[size_t((x + 1) / 2 - 1)]));
    EXPECT_EQ(CardCellColour(card, 0, x, CardColours{true, false, 1}),
              Colour(kChannelPalette[size_t(x <= 19 ? x - 1 : x - 20)]));
  }
}

TEST_F(CardView, AnEmptyArchiveAndAChangedArchive) {
  const Card empty = Card::Build(archive);
  EXPECT_EQ(empty.Rows(), 0);
  EXPECT_EQ(CardCellColour(empty, 0, 1, CardColours{}), std::nullopt);
  EXPECT_TRUE(CardSelectionNumbers(empty, 1, 0, 36, 0).empty());
  EXPECT_TRUE(empty.Matches(archive));

  AddPair();
  EXPECT_FALSE(empty.Matches(archive));  // a new draw
  const Card card = Card::Build(archive);
  EXPECT_TRUE(card.Matches(archive));
  // An edit keeps the count and still counts; drawn order does not.
  archive.At(0).numbers = {4, 9, 20, 28, 32};
  EXPECT_FALSE(card.Matches(archive));
  archive.At(0).numbers = {31, 28, 20, 9, 4};
  EXPECT_TRUE(card.Matches(archive));
  archive.At(1).number = 600;
  EXPECT_FALSE(card.Matches(archive));
}

TEST_F(CardView, ASelectionGivesEachNumberOnceColumnByColumn) {
  AddPair();
  Add(503, {36, 1, 2, 3, 4});
  const Card card = Card::Build(archive);
  EXPECT_EQ(CardSelectionNumbers(card, 1, 0, 36, 2), (std::vector<int>{1, 2, 3, 4, 9, 20, 27, 28, 31, 35, 36}));
  // Corners the other way round, rows past the end, the draw column left out.
  EXPECT_EQ(CardSelectionNumbers(card, 5, 2, 0, 1), (std::vector<int>{3, 4}));
  EXPECT_EQ(CardSelectionNumbers(card, 20, 1, 40, 99), (std::vector<int>{20, 27, 28, 31, 35}));
  EXPECT_TRUE(CardSelectionNumbers(card, 5, 0, 8, 2).empty());
  EXPECT_TRUE(CardSelectionNumbers(card, 0, 0, 0, 2).empty());
  EXPECT_EQ(SelectionValuesText(CardSelectionNumbers(card, 20, 0, 28, 2)), "20; 27; 28");
  EXPECT_EQ(SelectionValuesText({}), "");
}

}  // namespace
}  // namespace px
