#include "views/chart_range.h"

#include <gtest/gtest.h>

#include <limits>

namespace px {
namespace {

TEST(NiceRange, WholeValuesRunFromTheirLeastToTheirLargest) {
  // Even numbers of a draw: 0 to 5, one tick per count.
  EXPECT_EQ(NiceRange(0, 5, true), (AxisRange{0, 5, 1}));
  EXPECT_EQ(NiceRange(1, 4, true), (AxisRange{1, 4, 1}));
  // Sums of a draw: round tens that just hold the values.
  EXPECT_EQ(NiceRange(60, 160, true), (AxisRange{60, 160, 10}));
  EXPECT_EQ(NiceRange(73, 157, true), (AxisRange{70, 160, 10}));
  EXPECT_EQ(NiceRange(0, 23, true), (AxisRange{0, 25, 5}));
}

TEST(NiceRange, ASingleValueGetsAStepEitherSide) {
  EXPECT_EQ(NiceRange(3, 3, true), (AxisRange{2, 4, 1}));
  EXPECT_EQ(NiceRange(0, 0, false), (AxisRange{-1, 1, 1}));
  EXPECT_EQ(NiceRange(-2800, -2800, false), (AxisRange{-2800 - 500, -2800 + 500, 500}));
}

TEST(NiceRange, MoneyAndFractionsTakeRoundSteps) {
  EXPECT_EQ(NiceRange(-2800, 1500, false), (AxisRange{-3000, 1500, 500}));
  const AxisRange small = NiceRange(0.1, 0.94, false);
  EXPECT_NEAR(small.step, 0.1, 1e-12);
  EXPECT_NEAR(small.lo, 0.1, 1e-12);
  EXPECT_NEAR(small.hi, 1.0, 1e-12);
  // Whole numbers never tick in fractions.
  EXPECT_EQ(NiceRange(0, 2, true).step, 1);
  EXPECT_NEAR(NiceRange(0, 2, false).step, 0.2, 1e-12);
  // Reversed ends are the same range; no range out of what is not a number.
  EXPECT_EQ(NiceRange(5, 0, true), NiceRange(0, 5, true));
  EXPECT_EQ(NiceRange(0, std::numeric_limits<double>::infinity(), true), AxisRange{});
}

TEST(NiceRange, NeverMoreIntervalsThanAsked) {
  for (double lo : {-1234.5, -7.0, 0.0, 3.3})
    for (double hi : {8.0, 99.0, 1000.0, 376992.0}) {
      for (int n : {4, 5, 10}) {
        const AxisRange r = NiceRange(lo, hi, false, n);
        EXPECT_LE(r.lo, lo);
        EXPECT_GE(r.hi, hi);
        EXPECT_LE((r.hi - r.lo) / r.step, n + 1e-9) << lo << " " << hi << " " << n;
      }
    }
}

TEST(DrawRange, TicksWholeDrawsAboutTenTimes) {
  EXPECT_EQ(DrawRange(101, 104), (AxisRange{101, 104, 1}));
  EXPECT_EQ(DrawRange(1000, 1999), (AxisRange{1000, 1999, 100}));
  EXPECT_EQ(DrawRange(7, 7), (AxisRange{6, 8, 1}));
}

TEST(ChartPoints, LinesKeepDrawOrderWhateverTheArrival) {
  ChartPoints p;
  // Stakes come from the file newest test offset first.
  EXPECT_EQ(p.Add(0, 120, 5), 0u);
  EXPECT_EQ(p.Add(0, 100, -3), 0u);
  EXPECT_EQ(p.Add(0, 130, 9), 2u);
  EXPECT_EQ(p.Add(0, 110, 1), 1u);
  // Equal draws keep their arrival order, after those already there.
  EXPECT_EQ(p.Add(0, 110, 2), 2u);
  ASSERT_EQ(p.Line(0).size(), 5u);
  std::vector<std::pair<double, double>> got;
  for (const auto& q : p.Line(0)) got.emplace_back(q.x, q.y);
  EXPECT_EQ(got, (std::vector<std::pair<double, double>>{{100, -3}, {110, 1}, {110, 2}, {120, 5}, {130, 9}}));
  // Another line starts by its number.
  EXPECT_EQ(p.Add(2, 1, 1), 0u);
  EXPECT_EQ(p.Lines(), 3u);
  EXPECT_TRUE(p.Line(1).empty());
}

TEST(ChartPoints, TheValuesOfAPartCountTheNeighboursAcrossItsEdges) {
  ChartPoints p;
  for (int x = 1; x <= 10; ++x) p.Add(0, x, x * 10);
  for (int x = 1; x <= 10; ++x) p.Add(1, x, 42);  // an average line
  const Span all = p.Y();
  EXPECT_EQ(all.min, 10);
  EXPECT_EQ(all.max, 100);
  const Span part = p.Y(4, 6);
  EXPECT_EQ(part.min, 30);  // the line from 3 reaches the edge at 4
  EXPECT_EQ(part.max, 70);
  // Between two points the segment is all there is.
  const Span between = p.Y(4.2, 4.8);
  EXPECT_EQ(between.min, 40);
  EXPECT_EQ(between.max, 50);
  EXPECT_EQ(p.X().min, 1);
  EXPECT_EQ(p.X().max, 10);
  EXPECT_FALSE(p.Empty());
  EXPECT_TRUE(p.WholeValues());
  p.Add(1, 11, 4.5);
  EXPECT_FALSE(p.WholeValues());
  p.Clear();
  EXPECT_TRUE(p.Empty());
  EXPECT_FALSE(p.Y().any);
}

TEST(ViewWindow, ZoomKeepsTheAnchorAndStaysInside) {
  const ViewWindow full{0, 100};
  EXPECT_EQ(ZoomWindow(full, full, 0.5, 50, 4), (ViewWindow{25, 75}));
  // The anchor keeps its place on the screen: a quarter in stays a quarter in.
  EXPECT_EQ(ZoomWindow(full, full, 0.5, 25, 4), (ViewWindow{12.5, 62.5}));
  // Out as far as everything, never beyond.
  EXPECT_EQ(ZoomWindow(ViewWindow{25, 75}, full, 4, 50, 4), full);
  // Not closer than the least span.
  EXPECT_EQ(ZoomWindow(ViewWindow{10, 20}, full, 0.01, 10, 4), (ViewWindow{10, 14}));
  // Near an edge the part is pushed back inside.
  EXPECT_EQ(ZoomWindow(ViewWindow{90, 100}, full, 2, 100, 4), (ViewWindow{80, 100}));
  EXPECT_EQ(ZoomWindow(full, full, 0, 50, 4), full);
}

TEST(ViewWindow, ScrollAndBandsStayInside) {
  const ViewWindow full{100, 200};
  EXPECT_EQ(ScrollWindow(ViewWindow{110, 130}, full, 15), (ViewWindow{125, 145}));
  EXPECT_EQ(ScrollWindow(ViewWindow{110, 130}, full, -50), (ViewWindow{100, 120}));
  EXPECT_EQ(ScrollWindow(ViewWindow{110, 130}, full, 500), (ViewWindow{180, 200}));
  EXPECT_EQ(ClampWindow(150, 120, full, 4), (ViewWindow{120, 150}));
  EXPECT_EQ(ClampWindow(150, 151, full, 4), (ViewWindow{148.5, 152.5}));
  EXPECT_EQ(ClampWindow(50, 260, full, 4), full);
  // A range shorter than the least span is shown whole.
  EXPECT_EQ(ClampWindow(0, 1, ViewWindow{0, 2}, 4), (ViewWindow{0, 2}));
}

TEST(MoneyText, TwoDecimalsAndNoExponent) {
  EXPECT_EQ(MoneyText(-2800), "-2800.00");
  EXPECT_EQ(MoneyText(1500000), "1500000.00");
  EXPECT_EQ(MoneyText(12345678.9), "12345678.90");
  EXPECT_EQ(MoneyText(-0.001), "0.00");
}

}  // namespace
}  // namespace px
