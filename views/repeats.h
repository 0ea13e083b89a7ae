// How many of the draws before each recent draw share 1..5 numbers with it.
// Pure arithmetic over the archive; the window and the tool format the rows
// only when they show them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace px {

class DrawArchive;

// One row of the list: the draw `draw` shares exactly `matches` numbers with
// `count` earlier draws; their numbers are the table's DrawsOf(row).
struct RepeatRow {
  int32_t draw = 0;
  int32_t count = 0;
  int matches = 0;
  size_t first = 0;  // where the row's draw numbers start in the shared list
};

// The rows of every analysed draw, newest draw first; within a draw, a row
// per number of shared numbers in the order the nearest earlier draws first
// met it. The earlier draws' numbers of all rows live in one list.
class RepeatsTable {
 public:
  const std::vector<RepeatRow>& Rows() const { return rows_; }
  size_t Size() const { return rows_.size(); }
  // The earlier draws of a row, nearest first.
  std::span<const int32_t> DrawsOf(const RepeatRow& row) const {
    return {draws_.data() + row.first, size_t(row.count)};
  }
  // "12 11 9": the same, separated by single blanks.
  std::string DrawsText(const RepeatRow& row) const;
  // The most numbers any two compared draws shared (0 when none).
  int Top() const { return top_; }
  // The array indexes of the newest and oldest analysed draw; newest < oldest
  // when no draw was analysed (an empty archive).
  int Newest() const { return newest_; }
  int Oldest() const { return oldest_; }

 private:
  friend RepeatsTable AnalyzeRepeats(const DrawArchive&, int, int, const std::function<void(int, int)>&);
  std::vector<RepeatRow> rows_;
  std::vector<int32_t> draws_;
  int top_ = 0;
  int newest_ = -1;
  int oldest_ = 0;
};

// Analyses the `length` newest draws (all of them when there are fewer),
// comparing each with at most `depth` draws before it; values below 1 count
// as 1. `progress`, when set, gets (draws done, draws to do) after each draw.
// Numbers outside 1..36 in a damaged record match nothing.
RepeatsTable AnalyzeRepeats(const DrawArchive& archive, int length, int depth,
                            const std::function<void(int done, int total)>& progress = {});

// The chart's line of one number of shared numbers: (draw number, count),
// oldest draw first.
struct RepeatSeries {
  int matches = 0;
  std::vector<std::pair<int32_t, int32_t>> points;
};
// A line for every m of 1..Top(), an empty one included, from the rows read
// last to first.
std::vector<RepeatSeries> RepeatChart(const RepeatsTable& table);
// "Совпадений: %d"
std::string RepeatSeriesTitle(int matches);

// The list's column titles: "Тираж", "Совпадений", "Кол-во повторов", "Список тиражей".
const std::vector<std::string>& RepeatColumnTitles();

}  // namespace px
