// The numbers behind a chart's axes: ranges with round ticks that follow the
// values, the points of each line kept in x order, the part of a long x range
// that is shown (zoom and scroll), and the text of a money value. No widgets
// here; the chart windows turn these into axes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace px {

struct AxisRange {
  double lo = 0;
  double hi = 1;
  double step = 1;  // between ticks, starting at lo
  bool operator==(const AxisRange&) const = default;
};

// The smallest range whose ticks are a step of 1, 2 or 5 times a power of
// ten that holds [min, max] in at most maxIntervals steps; lo and hi are
// multiples of the step. Whole-number values take no step below 1, so values
// 0..5 give 0..5 by 1. A single value gets one step either side.
AxisRange NiceRange(double min, double max, bool wholeNumbers, int maxIntervals = 10);

// An x range of draws: ticks on whole numbers, about ten of them.
AxisRange DrawRange(double min, double max);

struct Span {
  double min = 0;
  double max = 0;
  bool any = false;
  void Include(double v);
};

// The points of a chart's lines, each line in x order. A point joins its
// line after those of smaller or equal x, so a line is drawn in draw order
// whatever order its points arrive in, and equal x keep their arrival order.
class ChartPoints {
 public:
  struct Point {
    double x;
    double y;
  };
  // Adds to line `line` (0, 1, ...; a new number starts a line) and answers
  // the point's position in that line.
  size_t Add(size_t line, double x, double y);
  void Clear();
  size_t Lines() const { return lines_.size(); }
  const std::vector<Point>& Line(size_t line) const { return lines_[line]; }
  bool Empty() const;

  Span X() const;
  // The values drawn over [xLo, xHi]: the points inside it and, where a line
  // runs out of it, the nearest point on either side, so a segment crossing
  // the edge stays inside the range.
  Span Y(double xLo, double xHi) const;
  Span Y() const;
  // Whether every value is a whole number.
  bool WholeValues() const;

 private:
  std::vector<std::vector<Point>> lines_;
};

// The shown part [lo, hi] of the full x range.
struct ViewWindow {
  double lo = 0;
  double hi = 0;
  bool operator==(const ViewWindow&) const = default;
};
// Zooms by `factor` (< 1 closer, > 1 farther) keeping `anchor` where it is on
// the screen; the result stays inside the full range and spans at least
// minSpan (or the whole range when that is shorter).
ViewWindow ZoomWindow(ViewWindow shown, ViewWindow full, double factor, double anchor, double minSpan);
// Moves by `delta` without leaving the full range or changing the span.
ViewWindow ScrollWindow(ViewWindow shown, ViewWindow full, double delta);
// A chosen part (a rubber band), ordered and clamped as above.
ViewWindow ClampWindow(double a, double b, ViewWindow full, double minSpan);

// Money as the charts show it: "%.2f", never an exponent.
std::string MoneyText(double value);

}  // namespace px
