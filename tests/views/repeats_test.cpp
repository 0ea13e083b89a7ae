#include "views/repeats.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>

#include "core/archive.h"
#include "core/arith.h"
#include "core/text.h"
#include "support/draws.h"

namespace px {
namespace {

using Points = std::vector<std::pair<int32_t, int32_t>>;

// Draws numbered from 501 on, so a draw number never equals an array index.
class Repeats : public ::testing::Test {
 protected:
  void Add(Combination c) { archive.Append(test::Draw(501 + archive.Count(), c)); }
  int32_t NumberAt(int index) const { return archive.At(index).number; }
  DrawArchive archive;
};

struct Row {
  int32_t draw;
  int matches;
  int32_t count;
  std::string list;
  bool operator==(const Row&) const = default;
};
std::vector<Row> RowsOf(const RepeatsTable& t) {
  std::vector<Row> rows;
  for (const RepeatRow& r : t.Rows()) rows.push_back(Row{r.draw, r.matches, r.count, t.DrawsText(r)});
  return rows;
}

// The rows by the plain rules, a text per row, MatchCount on the drawn numbers.
std::vector<Row> Reference(const DrawArchive& archive, int length, int depth) {
  std::vector<Row> rows;
  const int a = archive.Count() - 1;
  for (int p = a; p >= std::max(0, a - length + 1); --p) {
    const size_t start = rows.size();
    for (int k = p - 1; k >= std::max(0, p - depth); --k) {
      const int m = MatchCount(archive.At(p).numbers, archive.At(k).numbers);
      if (m == 0) continue;
      bool found = false;
      for (size_t i = start; i < rows.size(); ++i)
        if (rows[i].matches == m) {
          ++rows[i].count;
          rows[i].list.push_back(' ');
          rows[i].list.append(std::to_string(archive.At(k).number));
          found = true;
        }
      if (!found) rows.push_back(Row{archive.At(p).number, m, 1, std::to_string(archive.At(k).number)});
    }
  }
  return rows;
}

TEST_F(Repeats, ADrawGetsARowPerNumberOfSharedNumbersInTheOrderTheNearestMetIt) {
  // Oldest first: three draws sharing 2 numbers with the last, and ten
  // sharing 1, the nearest of them sharing 1.
  Add({1, 2, 6, 7, 8});
  Add({3, 4, 9, 10, 11});
  Add({1, 5, 12, 13, 14});
  for (int i = 0; i < 10; ++i) Add({Combination::value_type(1 + i % 5), uint8_t(6 + i), uint8_t(17 + i), 36, 35});
  Add({1, 2, 3, 4, 5});
  const int newest = archive.Count() - 1;

  const RepeatsTable t = AnalyzeRepeats(archive, 1, 13);
  ASSERT_EQ(t.Size(), 2u);
  std::vector<int32_t> near, far;
  for (int k = newest - 1; k >= 3; --k) near.push_back(NumberAt(k));
  for (int k = 2; k >= 0; --k) far.push_back(NumberAt(k));
  const std::string ones = IntListText(near, " "), twos = IntListText(far, " ");
  EXPECT_EQ(RowsOf(t), (std::vector<Row>{{NumberAt(newest), 1, 10, ones}, {NumberAt(newest), 2, 3, twos}}));
  EXPECT_EQ(t.Top(), 2);
  const auto listed = t.DrawsOf(t.Rows()[0]);
  EXPECT_EQ(std::vector<int32_t>(listed.begin(), listed.end()), near);

  // A shallower look meets only the ten; one draw deeper adds a draw to the twos.
  EXPECT_EQ(RowsOf(AnalyzeRepeats(archive, 1, 10)), (std::vector<Row>{{NumberAt(newest), 1, 10, ones}}));
  const RepeatsTable eleven = AnalyzeRepeats(archive, 1, 11);
  ASSERT_EQ(eleven.Size(), 2u);
  EXPECT_EQ(eleven.Rows()[1].count, 1);
  EXPECT_EQ(eleven.DrawsText(eleven.Rows()[1]), std::to_string(NumberAt(2)));
}

TEST_F(Repeats, ADepthBeyondTheArchiveComparesTheOldestDrawsWithEveryDrawBeforeThem) {
  Add({1, 2, 3, 4, 5});
  Add({1, 2, 3, 4, 6});
  Add({1, 7, 8, 9, 10});
  Add({1, 2, 11, 12, 13});
  for (int depth : {3, 1000, INT_MAX}) {
    const RepeatsTable t = AnalyzeRepeats(archive, INT_MAX, depth);
    EXPECT_EQ(t.Newest(), 3);
    EXPECT_EQ(t.Oldest(), 0);
    // The oldest draw has nothing before it, so no row.
    EXPECT_EQ(RowsOf(t), (std::vector<Row>{{504, 1, 1, "503"},
                                           {504, 2, 2, "502 501"},
                                           {503, 1, 2, "502 501"},
                                           {502, 4, 1, "501"}}))
        << depth;
    EXPECT_EQ(t.Top(), 4);
  }
  // A window of two draws, one draw deep.
  EXPECT_EQ(RowsOf(AnalyzeRepeats(archive, 2, 1)), (std::vector<Row>{{504, 1, 1, "503"}, {503, 1, 1, "502"}}));
  // Below 1 counts as 1.
  EXPECT_EQ(RowsOf(AnalyzeRepeats(archive, 0, -5)), (std::vector<Row>{{504, 1, 1, "503"}}));
}

TEST_F(Repeats, MatchesThePlainRulesOnAGeneratedArchive) {
  uint64_t state = 7;
  auto next = [&] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return int((state >> 33) % 36) + 1;
  };
  for (int i = 0; i < 400; ++i) {
    Combination c{};
    for (int k = 0; k < 5; ++k) {
      int n;
      do n = next();
      while (Contains(n, c));
      c[size_t(k)] = uint8_t(n);
    }
    Add(c);
  }
  for (auto [length, depth] : {std::pair{1, 1}, {50, 30}, {120, 400}, {400, 7}, {1000, 1000}}) {
    const RepeatsTable t = AnalyzeRepeats(archive, length, depth);
    EXPECT_EQ(RowsOf(t), Reference(archive, length, depth)) << length << " " << depth;
    int top = 0;
    for (const RepeatRow& r : t.Rows()) top = std::max(top, r.matches);
    EXPECT_EQ(t.Top(), top);
  }
}

TEST_F(Repeats, ProgressComesOncePerAnalysedDraw) {
  for (int i = 0; i < 6; ++i) Add({uint8_t(1 + i), uint8_t(10 + i), 20, 30, 36});
  std::vector<std::pair<int, int>> steps;
  AnalyzeRepeats(archive, 4, 100, [&](int done, int total) { steps.emplace_back(done, total); });
  EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
  steps.clear();
  AnalyzeRepeats(archive, INT_MAX, 1, [&](int done, int total) { steps.emplace_back(done, total); });
  ASSERT_EQ(steps.size(), 6u);
  EXPECT_EQ(steps.back(), (std::pair<int, int>{6, 6}));

  // An empty archive: nothing analysed, no step, no line.
  DrawArchive empty;
  steps.clear();
  const RepeatsTable none = AnalyzeRepeats(empty, 100, 100, [&](int done, int total) { steps.emplace_back(done, total); });
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(none.Size(), 0u);
  EXPECT_EQ(none.Top(), 0);
  EXPECT_LT(none.Newest(), none.Oldest());
  EXPECT_TRUE(RepeatChart(none).empty());
}

TEST_F(Repeats, TheChartHasALinePerNumberOfSharedNumbersUpToTheMostOldestDrawFirst) {
  // No two draws share more than two numbers.
  Add({1, 2, 3, 4, 5});
  Add({1, 2, 6, 7, 8});
  Add({3, 6, 9, 10, 11});
  Add({1, 9, 12, 13, 14});
  const RepeatsTable t = AnalyzeRepeats(archive, 100, 100);
  ASSERT_EQ(t.Top(), 2);
  const std::vector<RepeatSeries> lines = RepeatChart(t);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].matches, 1);
  EXPECT_EQ(lines[1].matches, 2);
  EXPECT_EQ(RepeatSeriesTitle(lines[0].matches), "Совпадений: 1");
  EXPECT_EQ(RepeatSeriesTitle(lines[1].matches), "Совпадений: 2");
  // 504 shares 1 with 503, 502 and 501; 503 shares 1 with 502 and 501; 502
  // shares 2 with 501. Rows read last to first put the oldest draw first.
  EXPECT_EQ(lines[0].points, (Points{{503, 2}, {504, 3}}));
  EXPECT_EQ(lines[1].points, (Points{{502, 1}}));

  // A line between is drawn even when no row has its number.
  DrawArchive gap;
  gap.Append(test::Draw(1, {1, 2, 3, 4, 5}));
  gap.Append(test::Draw(2, {1, 2, 3, 7, 8}));
  const std::vector<RepeatSeries> three = RepeatChart(AnalyzeRepeats(gap, 100, 100));
  ASSERT_EQ(three.size(), 3u);
  EXPECT_TRUE(three[0].points.empty());
  EXPECT_TRUE(three[1].points.empty());
  EXPECT_EQ(three[2].points, (Points{{2, 1}}));
}

TEST_F(Repeats, MissingNumbersOfADamagedRecordMatchNothing) {
  Add({1, 2, 0, 0, 0});
  Add({1, 0, 0, 40, 0});
  const RepeatsTable t = AnalyzeRepeats(archive, 100, 100);
  EXPECT_EQ(RowsOf(t), (std::vector<Row>{{502, 1, 1, "501"}}));
  EXPECT_EQ(RepeatColumnTitles(), (std::vector<std::string>{"Тираж", "Совпадений", "Кол-во повторов", "Список тиражей"}));
}

}  // namespace
}  // namespace px
