#include "views/graphs.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "stats/stat_list.h"
#include "support/draws.h"

namespace px {
namespace {

using Points = std::vector<std::pair<int32_t, double>>;

class Graphs : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.SetDraws(&archive);
    registry.Fill();
  }
  // Draws numbered from 101 on, so a draw number never equals an array index.
  void AddDraws(std::initializer_list<Combination> draws) {
    for (const Combination& c : draws) archive.Append(test::Draw(101 + archive.Count(), c));
  }
  // Draws with 3, 5, 5, 3 even numbers, oldest first.
  void AddEvenCounts() {
    AddDraws({{2, 4, 6, 1, 3}, {2, 4, 6, 8, 10}, {12, 14, 16, 18, 20}, {1, 3, 22, 24, 26}});
  }
  GraphSeries Compute(const std::string& code, int offset, int length, bool sorted = false) {
    return ComputeGraphs(registry, registry.FindByCode(code), archive, offset, length, sorted);
  }

  DrawArchive archive;
  TStatList registry;
};

TEST_F(Graphs, FirstMetValueWinsATieAndTheAverageIsReal) {
  AddEvenCounts();
  const GraphSeries g = Compute("EVEN", 0, 100);
  EXPECT_EQ(g.values, (Points{{101, 3}, {102, 5}, {103, 5}, {104, 3}}));
  EXPECT_EQ(g.mode, 3);
  EXPECT_DOUBLE_EQ(g.average, 4.0);

  // A larger count beats an earlier value; an odd total keeps its fraction.
  const GraphSeries three = Compute("EVEN", 1, 100);
  EXPECT_EQ(three.mode, 5);
  EXPECT_DOUBLE_EQ(three.average, 13.0 / 3.0);
  const GraphSeries two = Compute("EVEN", 0, 2);
  EXPECT_EQ(two.values, (Points{{103, 5}, {104, 3}}));
  EXPECT_EQ(two.mode, 5);
  EXPECT_DOUBLE_EQ(two.average, 4.0);
}

TEST_F(Graphs, AWindowLongerThanTheArchiveStartsAtTheOldestDraw) {
  AddEvenCounts();
  const GraphSeries g = Compute("EVEN", 0, 2147483647);
  EXPECT_EQ(g.first, 0);
  EXPECT_EQ(g.last, 3);
  ASSERT_EQ(g.values.size(), 4u);
  EXPECT_EQ(g.values.front().first, 101);
  EXPECT_EQ(g.values.back().first, 104);

  const GraphSeries one = Compute("EVEN", 0, 1);
  EXPECT_EQ(one.values, (Points{{104, 3}}));
  EXPECT_EQ(one.mode, 3);
  EXPECT_DOUBLE_EQ(one.average, 3.0);
}

TEST_F(Graphs, AnOffsetEndsTheWindowThatManyDrawsBeforeTheNewest) {
  AddEvenCounts();
  const GraphSeries g = Compute("EVEN", 2, 100);
  EXPECT_EQ(g.values, (Points{{101, 3}, {102, 5}}));
  EXPECT_EQ(g.last, 1);
  const GraphSeries shifted = Compute("EVEN", 1, 2);
  EXPECT_EQ(shifted.values, (Points{{102, 5}, {103, 5}}));
  // The offset before the window knows it counts as none.
  EXPECT_EQ(Compute("EVEN", -1, 100).values, Compute("EVEN", 0, 100).values);
  // Past the oldest draw nothing is left to draw.
  const GraphSeries none = Compute("EVEN", 4, 100);
  EXPECT_TRUE(none.Empty());
  EXPECT_EQ(none.mode, 0);
  EXPECT_DOUBLE_EQ(none.average, 0.0);
  const GraphSeries far = Compute("EVEN", 2147483647, 2147483647);
  EXPECT_TRUE(far.Empty());
  EXPECT_GT(far.first, far.last);
}

TEST_F(Graphs, SortedDrawsChangeThePositionLine) {
  AddDraws({{30, 2, 17, 5, 11}, {9, 3, 36, 4, 20}});
  EXPECT_EQ(Compute("POS1", 0, 10, false).values, (Points{{101, 30}, {102, 9}}));
  EXPECT_EQ(Compute("POS1", 0, 10, true).values, (Points{{101, 2}, {102, 3}}));
  EXPECT_DOUBLE_EQ(Compute("POS1", 0, 10, true).average, 2.5);
}

TEST_F(Graphs, OnlyGraphMethodsAreComputed) {
  AddEvenCounts();
  const int nums = registry.FindByCode("NUMS");
  ASSERT_GE(nums, 0);
  ASSERT_FALSE(registry.IsGraph(nums));
  EXPECT_THROW(ComputeGraphs(registry, nums, archive, 0, 10, false), std::invalid_argument);
  EXPECT_THROW(ComputeGraphs(registry, -1, archive, 0, 10, false), std::invalid_argument);
  EXPECT_THROW(ComputeGraphs(registry, registry.Count(), archive, 0, 10, false), std::invalid_argument);
}

TEST(GraphInputsTest, AFreshMemoryMatchesNothingAndEveryInputCounts) {
  const GraphInputs base{10, 0, 100, 2};
  EXPECT_FALSE(GraphInputs{} == base);
  EXPECT_TRUE((GraphInputs{10, 0, 100, 2}) == base);
  EXPECT_FALSE((GraphInputs{11, 0, 100, 2}) == base);
  EXPECT_FALSE((GraphInputs{10, 1, 100, 2}) == base);
  EXPECT_FALSE((GraphInputs{10, 0, 99, 2}) == base);
  EXPECT_FALSE((GraphInputs{10, 0, 100, 3}) == base);
}

}  // namespace
}  // namespace px
