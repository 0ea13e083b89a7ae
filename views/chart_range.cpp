#include "views/chart_range.h"

#include <algorithm>
#include <cmath>

#include "core/text.h"

namespace px {

namespace {

// 1, 2 or 5 times a power of ten, the smallest not below `raw`.
double RoundStep(double raw) {
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * power >= raw * (1 - 1e-12)) return m * power;
  return 10 * power;
}

}  // namespace

AxisRange NiceRange(double min, double max, bool wholeNumbers, int maxIntervals) {
  if (!std::isfinite(min) || !std::isfinite(max)) return AxisRange{};
  if (min > max) std::swap(min, max);
  maxIntervals = std::max(1, maxIntervals);
  if (min == max) {
    const double step = wholeNumbers ? 1 : (min == 0 ? 1 : RoundStep(std::fabs(min) / 10));
    return AxisRange{min - step, max + step, step};
  }
  double step = RoundStep((max - min) / maxIntervals);
  if (wholeNumbers) step = std::max(step, 1.0);
  // Rounding the ends out can add an interval: widen the step until it fits.
  for (;;) {
    const double lo = std::floor(min / step + 1e-9) * step;
    const double hi = std::ceil(max / step - 1e-9) * step;
    if ((hi - lo) / step <= maxIntervals + 1e-9) return AxisRange{lo, hi, step};
    step = RoundStep(step * 1.01);
  }
}

AxisRange DrawRange(double min, double max) {
  if (min > max) std::swap(min, max);
  // A single draw still needs a span to be drawn.
  if (min == max) return AxisRange{min - 1, max + 1, 1};
  return AxisRange{min, max, std::max(1.0, std::ceil((max - min) / 10))};
}

void Span::Include(double v) {
  if (!any) {
    min = max = v;
    any = true;
    return;
  }
  min = std::min(min, v);
  max = std::max(max, v);
}

size_t ChartPoints::Add(size_t line, double x, double y) {
  if (line >= lines_.size()) lines_.resize(line + 1);
  std::vector<Point>& points = lines_[line];
  const auto at =
      std::upper_bound(points.begin(), points.end(), x, [](double value, const Point& p) { return value < p.x; });
  const size_t position = size_t(at - points.begin());
  points.insert(at, Point{x, y});
  return position;
}

void ChartPoints::Clear() { lines_.clear(); }

bool ChartPoints::Empty() const {
  return std::all_of(lines_.begin(), lines_.end(), [](const auto& l) { return l.empty(); });
}

Span ChartPoints::X() const {
  Span s;
  for (const auto& line : lines_)
    if (!line.empty()) {
      s.Include(line.front().x);
      s.Include(line.back().x);
    }
  return s;
}

Span ChartPoints::Y(double xLo, double xHi) const {
  Span s;
  for (const auto& line : lines_) {
    if (line.empty()) continue;
    auto first = std::lower_bound(line.begin(), line.end(), xLo, [](const Point& p, double v) { return p.x < v; });
    auto last = std::upper_bound(line.begin(), line.end(), xHi, [](double v, const Point& p) { return v < p.x; });
    // The neighbours outside the range: the line runs from them to the edge.
    if (first != line.begin()) --first;
    if (last != line.end()) ++last;
    for (auto p = first; p != last; ++p) s.Include(p->y);
  }
  return s;
}

Span ChartPoints::Y() const {
  Span s;
  for (const auto& line : lines_)
    for (const Point& p : line) s.Include(p.y);
  return s;
}

bool ChartPoints::WholeValues() const {
  for (const auto& line : lines_)
    for (const Point& p : line)
      if (p.y != std::floor(p.y)) return false;
  return true;
}

ViewWindow ClampWindow(double a, double b, ViewWindow full, double minSpan) {
  if (a > b) std::swap(a, b);
  const double fullSpan = full.hi - full.lo;
  double span = std::clamp(b - a, std::min(minSpan, fullSpan), fullSpan);
  double centre = (a + b) / 2;
  double lo = centre - span / 2;
  lo = std::clamp(lo, full.lo, full.hi - span);
  return ViewWindow{lo, lo + span};
}

ViewWindow ZoomWindow(ViewWindow shown, ViewWindow full, double factor, double anchor, double minSpan) {
  if (!(factor > 0)) return shown;
  anchor = std::clamp(anchor, shown.lo, shown.hi);
  const double fullSpan = full.hi - full.lo;
  const double span = std::clamp((shown.hi - shown.lo) * factor, std::min(minSpan, fullSpan), fullSpan);
  // The anchor keeps its share of the span on either side.
  const double share = shown.hi > shown.lo ? (anchor - shown.lo) / (shown.hi - shown.lo) : 0.5;
  double lo = anchor - span * share;
  lo = std::clamp(lo, full.lo, full.hi - span);
  return ViewWindow{lo, lo + span};
}

ViewWindow ScrollWindow(ViewWindow shown, ViewWindow full, double delta) {
  const double span = std::min(shown.hi - shown.lo, full.hi - full.lo);
  const double lo = std::clamp(shown.lo + delta, full.lo, full.hi - span);
  return ViewWindow{lo, lo + span};
}

std::string MoneyText(double value) {
  // "-0.00" reads as a loss that is not there.
  if (std::fabs(value) < 0.005) value = 0;
  return Fmt("%.2f", value);
}

}  // namespace px
