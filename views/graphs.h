// The numbers behind the graphs page: one graph method's value for every draw
// of a window of recent draws, with the window's average and most frequent
// value. No widgets here; the page turns these into lines.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace px {

class DrawArchive;
class TStatList;

struct GraphSeries {
  // (draw number, value), oldest draw first; also the x positions of the
  // average and mode lines.
  std::vector<std::pair<int32_t, double>> values;
  double average = 0;
  int32_t mode = 0;
  // Array indexes of the window; first > last when it holds no draw.
  int first = 0;
  int last = -1;
  bool Empty() const { return values.empty(); }
};

// The window ends `offset` draws before the newest (a negative offset counts
// as 0) and holds at most `length` draws. `method` is a registry position of
// a graph method; any other method throws std::invalid_argument.
GraphSeries ComputeGraphs(const TStatList& registry, int method, const DrawArchive& archive, int offset, int length,
                          bool sorted);

// What the last computation was made from; -1 is unknown, so a fresh memory
// never matches.
struct GraphInputs {
  int archiveCount = -1;
  int offset = -1;
  int length = -1;
  int listIndex = -1;
  bool operator==(const GraphInputs&) const = default;
};

}  // namespace px
