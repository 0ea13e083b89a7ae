#include "views/card.h"

#include <gtest/gtest.h>

#include <set>

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

TEST_F(CardView, RowsRunNewestFirstWithTheDrawNumberAndTheNumbersInTheirColumns) {
  Add(7, {36, 1, 18, 2, 5});
  AddPair();
  const Card card = Card::Build(archive);
  ASSERT_EQ(card.Rows(), 3);
  EXPECT_EQ(card.CellText(0, 0), "502");
  EXPECT_EQ(card.CellText(1, 0), "501");
  EXPECT_EQ(card.CellText(2, 0), "7");
  std::vector<std::string> oldest, newest;
  for (int x = 1; x <= 36; ++x) {
    oldest.push_back(card.CellText(2, x));
    newest.push_back(card.CellText(0, x));
  }
  // Drawn order does not matter: each number sits in its own column.
  for (int x = 1; x <= 36; ++x) {
    const bool inOldest = x == 1 || x == 2 || x == 5 || x == 18 || x == 36;
    EXPECT_EQ(oldest[size_t(x - 1)], inOldest ? std::to_string(x) : "") << x;
    EXPECT_EQ(card.Has(2, x), inOldest) << x;
  }
  EXPECT_EQ(newest[2], "3");
  EXPECT_EQ(newest[34], "35");
  EXPECT_EQ(newest[4], "");
  // Nothing is read outside the grid.
  EXPECT_EQ(card.CellText(-1, 3), "");
  EXPECT_EQ(card.CellText(3, 0), "");
  EXPECT_FALSE(card.Has(0, 0));
  EXPECT_FALSE(card.Has(0, 37));
  EXPECT_FALSE(card.Has(-1, 3));
  EXPECT_FALSE(card.Has(3, 3));
}

TEST_F(CardView, NumbersOutsideTheGameAreNotShown) {
  Add(1, {0, 37, 200, 255, 6});
  const Card card = Card::Build(archive);
  int shown = 0;
  for (int x = 1; x <= 36; ++x) shown += card.Has(0, x) ? 1 : 0;
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(card.Has(0, 6));
}

TEST_F(CardView, TheWorkedExampleColoursRepeatsRunsAndChannels) {
  AddPair();
  const Card card = Card::Build(archive);
  const CardColours both{true, true, 6};
  // Newest row: 4 repeats and runs with 3, 3 only runs, 20 only repeats,
  // 27 and 35 take their channels 5 and 6.
  EXPECT_EQ(CardCellColour(card, 0, 4, both), Colour(0xFFFF00));
  EXPECT_EQ(CardCellColour(card, 0, 3, both), Colour(0x00FFFF));
  EXPECT_EQ(CardCellColour(card, 0, 20, both), Colour(0x00FF00));
  EXPECT_EQ(CardCellColour(card, 0, 27, both), Colour(kChannelPalette[4]));
  EXPECT_EQ(CardCellColour(card, 0, 35, both), Colour(kChannelPalette[5]));
  // The last row has no row below it: 4 and 20 repeat only with the row above.
  EXPECT_EQ(CardCellColour(card, 1, 4, both), Colour(0x00FF00));
  EXPECT_EQ(CardCellColour(card, 1, 20, both), Colour(0x00FF00));
  EXPECT_EQ(CardCellColour(card, 1, 9, both), Colour(kChannelPalette[1]));
  EXPECT_EQ(CardCellColour(card, 1, 28, both), Colour(kChannelPalette[4]));
  // Empty cells take their column's channel.
  EXPECT_EQ(CardCellColour(card, 0, 5, both), Colour(kChannelPalette[0]));
  EXPECT_EQ(CardCellColour(card, 0, 36, both), Colour(kChannelPalette[5]));
  // The draw number column and cells off the grid are plain.
  EXPECT_EQ(CardCellColour(card, 0, 0, both), std::nullopt);
  EXPECT_EQ(CardCellColour(card, 2, 4, both), std::nullopt);
  EXPECT_EQ(CardCellColour(card, -1, 4, both), std::nullopt);
  EXPECT_EQ(CardCellColour(card, 0, 37, both), std::nullopt);

  // Sequences off: every cell, full or empty, by its channel.
  const CardColours channels{true, false, 6};
  EXPECT_EQ(CardCellColour(card, 0, 4, channels), Colour(kChannelPalette[0]));
  EXPECT_EQ(CardCellColour(card, 0, 20, channels), Colour(kChannelPalette[3]));
  // Channels off: what is neither repeat nor run is plain, empty cells too.
  const CardColours sequences{false, true, 6};
  EXPECT_EQ(CardCellColour(card, 0, 4, sequences), Colour(0xFFFF00));
  EXPECT_EQ(CardCellColour(card, 0, 3, sequences), Colour(0x00FFFF));
  EXPECT_EQ(CardCellColour(card, 0, 27, sequences), std::nullopt);
  EXPECT_EQ(CardCellColour(card, 0, 5, sequences), std::nullopt);
  const CardColours none{false, false, 6};
  for (int x = 1; x <= 36; ++x) EXPECT_EQ(CardCellColour(card, 0, x, none), std::nullopt) << x;
}

TEST_F(CardView, RunsStopAtTheGridEdgesAndASingleRowHasNoRepeats) {
  Add(1, {1, 2, 35, 36, 18});
  const Card card = Card::Build(archive);
  const CardColours both{true, true, 6};
  EXPECT_EQ(CardCellColour(card, 0, 1, both), Colour(0x00FFFF));
  EXPECT_EQ(CardCellColour(card, 0, 36, both), Colour(0x00FFFF));
  // 18 has no neighbour in its row and no row around it.
  EXPECT_EQ(CardCellColour(card, 0, 18, both), Colour(kChannelPalette[2]));
}

TEST_F(CardView, NarrowChannelsUseThePaletteAndWrapPastIt) {
  Add(1, {1, 2, 3, 4, 5});
  const Card card = Card::Build(archive);
  // Width 2: channels 1..18, all inside the palette.
  std::set<uint32_t> seen;
  for (int x = 1; x <= 36; ++x) {
    const Colour c = CardCellColour(card, 0, x, CardColours{true, false, 2});
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(*c, kChannelPalette[size_t((x + 1) / 2 - 1)]) << x;
    seen.insert(*c);
  }
  EXPECT_EQ(seen.size(), 18u);
  // Width 1: channels 20..36 take the colours of 1..17.
  for (int x = 1; x <= 36; ++x) {
    const size_t entry = size_t(x <= 19 ? x - 1 : x - 20);
    EXPECT_EQ(CardCellColour(card, 0, x, CardColours{true, false, 1}), Colour(kChannelPalette[entry])) << x;
  }
  EXPECT_EQ(CardCellColour(card, 0, 20, CardColours{true, false, 1}), CardCellColour(card, 0, 1, CardColours{true, false, 1}));
  EXPECT_EQ(CardCellColour(card, 0, 36, CardColours{true, false, 1}), Colour(kChannelPalette[16]));
}

TEST_F(CardView, AnEmptyArchiveGivesNoRowsAndNothingToFilter) {
  const Card card = Card::Build(archive);
  EXPECT_EQ(card.Rows(), 0);
  EXPECT_EQ(card.CellText(0, 0), "");
  EXPECT_EQ(CardCellColour(card, 0, 1, CardColours{}), std::nullopt);
  EXPECT_TRUE(CardSelectionNumbers(card, 1, 0, 36, 0).empty());
  EXPECT_TRUE(card.Matches(archive));
}

TEST_F(CardView, TheCardKnowsWhenTheArchiveIsNoLongerWhatItShows) {
  AddPair();
  const Card card = Card::Build(archive);
  EXPECT_TRUE(card.Matches(archive));
  // A new draw: one row more.
  Add(503, {1, 2, 3, 4, 5});
  EXPECT_FALSE(card.Matches(archive));
  const Card grown = Card::Build(archive);
  EXPECT_EQ(grown.Rows(), 3);
  EXPECT_EQ(grown.CellText(0, 0), "503");
  EXPECT_TRUE(grown.Matches(archive));
  // An edited draw leaves the count as it was, and still counts.
  archive.At(0).numbers = {4, 9, 20, 28, 32};
  EXPECT_FALSE(grown.Matches(archive));
  archive.At(0).numbers = {31, 28, 20, 9, 4};  // the same numbers in another order
  EXPECT_TRUE(grown.Matches(archive));
  archive.At(1).number = 600;
  EXPECT_FALSE(grown.Matches(archive));
}

TEST_F(CardView, ASelectionGivesEachNumberOnceColumnByColumn) {
  AddPair();
  Add(503, {36, 1, 2, 3, 4});
  const Card card = Card::Build(archive);
  EXPECT_EQ(CardSelectionNumbers(card, 1, 0, 36, 2), (std::vector<int>{1, 2, 3, 4, 9, 20, 27, 28, 31, 35, 36}));
  // Corners given the other way round, rows past the end, the draw column.
  EXPECT_EQ(CardSelectionNumbers(card, 5, 2, 0, 1), (std::vector<int>{3, 4}));
  EXPECT_EQ(CardSelectionNumbers(card, 20, 1, 40, 99), (std::vector<int>{20, 27, 28, 31, 35}));
  // Cells without numbers give nothing.
  EXPECT_TRUE(CardSelectionNumbers(card, 5, 0, 8, 2).empty());
  EXPECT_TRUE(CardSelectionNumbers(card, 0, 0, 0, 2).empty());
  EXPECT_TRUE(CardSelectionNumbers(card, 1, 5, 36, 9).empty());
  EXPECT_EQ(SelectionValuesText(CardSelectionNumbers(card, 20, 0, 28, 2)), "20; 27; 28");
  EXPECT_EQ(SelectionValuesText({}), "");
  EXPECT_EQ(SelectionValuesText({7}), "7");
}

}  // namespace
}  // namespace px
