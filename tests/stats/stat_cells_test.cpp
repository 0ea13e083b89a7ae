// The numbers a row of the statistics table carries read exactly as the
// texts the table shows: each cell against printf and ParseDecimal, and the
// numeric sort against the comparison of texts it replaced, for every
// method over the demo archive.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/csv.h"
#include "core/env.h"
#include "core/text.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/demo_tables.h"

namespace px {
namespace {

// The text the table made before it kept numbers.
std::string OldFixed(long double v, int digits, char separator) {
  std::string s = Fmt("%.*Lf", digits, v);
  for (char& c : s)
    if (c == '.') c = separator;
  return s;
}

bool SameNumber(long double a, long double b) { return a == b && std::signbit(a) == std::signbit(b); }

// Empty when the cell's numbers are what its text reads as.
std::string Divergence(const StatRow& row, int column) {
  const std::string text = CellText(row, column);
  const std::optional<long double> number = row.NumberOf(column), read = ParseDecimal(text);
  if (number.has_value() != read.has_value()) return "\"" + text + "\": number or not";
  if (number && !SameNumber(*number, *read)) return "\"" + text + "\": " + Fmt("%.25Lg", *number);
  if (row.WholeOf(column) != ParseInt64(text)) return "\"" + text + "\": whole or not";
  return {};
}

StatRow WithCell(int column, const StatCell& cell) {
  StatRow r;
  r.cells[size_t(column)] = cell;
  return r;
}

TEST(StatCells, FixedCellsHoldTheNumberTheirTextReads) {
  std::vector<long double> values = {0, -0.0L, 0.5L, 1.5L, 2.5L, -2.5L, 0.125L, 0.375L, 1.0L / 64, 33.0L / 32,
                                     -33.0L / 32, 1e-7L, -1e-7L, -0.004L, -0.005L, 0.005L, 0.015L, 999.995L,
                                     12.345L, 2.675L, 100, -999.99L, 1e17L, 1e20L, -1e20L, 1e30L, 0x1p61L / 1e5L,
                                     0x1p62L / 1e5L, 0x1p62L / 100, 0x1p63L / 100, LDBL_MAX, -LDBL_MAX, LDBL_MIN,
                                     LDBL_TRUE_MIN, 1.0L / 3, 2.0L / 3, 100.0L / 7};
  std::mt19937_64 rnd(77);
  // The quotients the table forms: counts and percents over totals.
  for (int i = 0; i < 8000; ++i) {
    const int64_t a = int64_t(rnd() % 20000) - 2000, b = int64_t(rnd() % 5000) + 1;
    values.push_back(static_cast<long double>(a * 100) / b);
    values.push_back(static_cast<long double>(a) / b);
  }
  // Binary fractions: many lie exactly on a half of the last digit.
  for (int i = 0; i < 8000; ++i) {
    const long double m = static_cast<long double>(int64_t(rnd() % 2000000) - 1000000);
    values.push_back(std::ldexp(m, -int(rnd() % 24)));
  }
  // Any magnitude.
  for (int i = 0; i < 5000; ++i) {
    const long double m = static_cast<long double>(rnd()) / 0x1p64L;
    values.push_back(std::ldexp(i % 2 ? -m : m, int(rnd() % 140) - 40));
  }
  int failures = 0;
  size_t i = 0;
  for (long double v : values) {
    for (int digits : {0, 1, 2, 4, 5, 9, 12}) {
      const char separator = (i++ % 2) ? ',' : '.';
      const StatRow r = WithCell(kColPeriod, StatCell::Fixed(v, digits, separator));
      const std::string text = CellText(r, kColPeriod);
      std::string why = Divergence(r, kColPeriod);
      if (why.empty() && text != OldFixed(v, digits, separator)) why = "text " + text;
      if (!why.empty() && ++failures <= 10) ADD_FAILURE() << Fmt("%.25Lg", v) << " digits " << digits << ": " << why;
    }
  }
  EXPECT_EQ(failures, 0);
}

TEST(StatCells, NoNumberIsMadeOfInfinityOrNan) {
  for (long double v : {HUGE_VALL, -HUGE_VALL, std::nanl("")}) {
    const StatRow r = WithCell(kColWeight, StatCell::Fixed(v, 2, ','));
    EXPECT_EQ(CellText(r, kColWeight), OldFixed(v, 2, ','));
    EXPECT_EQ(Divergence(r, kColWeight), "");
  }
}

TEST(StatCells, WholeCellsAndCaptions) {
  for (int64_t v : {int64_t(0), int64_t(1), int64_t(-1), int64_t(65535), int64_t(-2147483648LL), INT64_MAX, INT64_MIN,
                    int64_t(123456789012345678LL)}) {
    for (bool plus : {false, true}) {
      const StatRow r = WithCell(kColDiffPrd, StatCell::Whole(v, plus));
      EXPECT_EQ(CellText(r, kColDiffPrd), plus && v > 0 ? Fmt("+%lld", static_cast<long long>(v)) : std::to_string(v));
      EXPECT_EQ(Divergence(r, kColDiffPrd), "");
    }
  }
  EXPECT_EQ(CellText(StatRow{}, kColFact), "-");
  EXPECT_EQ(Divergence(StatRow{}, kColFact), "");
  for (const char* caption : {"15", "-3", "+2", "1:4", "3,5", "3.5", " 7 ", "1e5", "e", "", "нн", "ЧнЧЧн (009)",
                              "7 x 1", "2-3", "inf", "nan", "0x10"}) {
    StatRow r;
    r.SetCaption(caption);
    EXPECT_EQ(CellText(r, kColValue), caption);
    EXPECT_EQ(Divergence(r, kColValue), "") << caption;
  }
}

// The comparison the table sorted with while its cells were texts.
struct OldCell {
  std::string text;
  std::optional<long double> number;  // ParseDecimal(text), read once
};
int OldCompare(const OldCell& a, const OldCell& b) {
  if (a.number && b.number) return *a.number < *b.number ? -1 : (*a.number > *b.number ? 1 : 0);
  return CompareText(a.text, b.text);
}

// The rows' cells as the old sort saw them.
std::vector<std::vector<OldCell>> OldCells(const std::vector<StatRow>& rows) {
  std::vector<std::vector<OldCell>> cells;
  cells.reserve(rows.size());
  for (const StatRow& r : rows) {
    std::vector<OldCell>& c = cells.emplace_back();
    for (const std::string& t : CellTexts(r)) c.push_back(OldCell{t, ParseDecimal(t)});
  }
  return cells;
}

// The rows' positions after the old text sort.
std::vector<uint32_t> OldOrder(const std::vector<std::vector<OldCell>>& cells, int column, bool descending) {
  std::vector<uint32_t> order(cells.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = uint32_t(i);
  std::stable_sort(order.begin(), order.end(), [&](uint32_t i, uint32_t j) {
    int c = OldCompare(cells[i][size_t(column)], cells[j][size_t(column)]);
    if (c == 0) c = OldCompare(cells[i][kColValue], cells[j][kColValue]);
    return descending ? c > 0 : c < 0;
  });
  return order;
}

// The rows tagged by their positions, so that an order can be read back.
std::vector<StatRow> Tagged(const std::vector<StatRow>& rows) {
  std::vector<StatRow> out = rows;
  for (size_t i = 0; i < out.size(); ++i) out[i].numValue = int64_t(i);
  return out;
}

TEST(StatCells, SortingTheSyntheticRowsAsTexts) {
  // Every kind against every other in one column, the ties by captions
  // that are numbers and captions that are not.
  std::vector<StatRow> rows;
  const std::vector<StatCell> cells = {StatCell{},
                                       StatCell::Whole(3),
                                       StatCell::Whole(-3),
                                       StatCell::Whole(3, true),
                                       StatCell::Whole(0, true),
                                       StatCell::Whole(-2, true),
                                       StatCell::Fixed(3, 2, ','),
                                       StatCell::Fixed(-0.001L, 2, ','),
                                       StatCell::Fixed(0, 2, '.'),
                                       StatCell::Fixed(HUGE_VALL, 2, ','),
                                       StatCell::Fixed(-HUGE_VALL, 2, ','),
                                       StatCell::Fixed(std::nanl(""), 2, ',')};
  const std::vector<std::string> captions = {"3", "12", "a", "B", "-", "+1", "", "ЧнЧЧн (009)", "нЧЧЧн (013)"};
  for (size_t i = 0; i < cells.size() * captions.size(); ++i) {
    StatRow r;
    r.SetCaption(captions[i % captions.size()]);
    r.cells[kColFact] = cells[i / captions.size() % cells.size()];
    r.value.Key1 = uint16_t(i);
    rows.push_back(r);
  }
  const auto old = OldCells(rows);
  for (int column : {int(kColFact), int(kColValue)}) {
    for (bool descending : {false, true}) {
      const std::vector<uint32_t> expected = OldOrder(old, column, descending);
      std::vector<StatRow> sorted = rows;
      SortStatRows(sorted, column, descending);
      for (size_t i = 0; i < rows.size(); ++i)
        ASSERT_EQ(sorted[i].value.Key1, rows[expected[i]].value.Key1) << column << " " << descending << " at " << i;
    }
  }
}

// Every method's tables over the demo archive.
class DemoTableCells : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { demo_ = new test::DemoTables(); }
  static void TearDownTestSuite() {
    delete demo_;
    demo_ = nullptr;
  }
  static test::DemoTables* demo_;
};
test::DemoTables* DemoTableCells::demo_ = nullptr;

TEST_F(DemoTableCells, EveryCellHoldsWhatItsTextReads) {
  int failures = 0, cells = 0;
  demo_->ForEachTable([&](const std::string& name, const StatTable& t) {
    for (const StatRow& r : t.rows) {
      for (int c = 0; c < kStatColumns; ++c) {
        ++cells;
        const std::string why = Divergence(r, c);
        if (!why.empty() && ++failures <= 10) ADD_FAILURE() << name << " " << r.caption << " column " << c << ": " << why;
      }
    }
  });
  EXPECT_EQ(failures, 0);
  EXPECT_GT(cells, 100000);
}

TEST_F(DemoTableCells, SortingByNumbersEqualsSortingByTexts) {
  int failures = 0, sorts = 0;
  demo_->ForEachTable([&](const std::string& name, const StatTable& t) {
    // At most 400 rows of a table, spread over it.
    std::vector<StatRow> rows;
    const size_t step = t.rows.size() / 400 + 1;
    for (size_t i = 0; i < t.rows.size(); i += step) rows.push_back(t.rows[i]);
    const auto old = OldCells(rows);
    const std::vector<StatRow> tagged = Tagged(rows);
    for (int column = 0; column < kStatColumns; ++column) {
      for (bool descending : {false, true}) {
        ++sorts;
        const std::vector<uint32_t> expected = OldOrder(old, column, descending);
        std::vector<StatRow> sorted = tagged;
        SortStatRows(sorted, column, descending);
        for (size_t i = 0; i < sorted.size(); ++i) {
          if (sorted[i].numValue != int64_t(expected[i])) {
            if (++failures <= 10)
              ADD_FAILURE() << name << " column " << column << (descending ? " desc" : " asc") << " at row " << i;
            break;
          }
        }
      }
    }
  });
  EXPECT_EQ(failures, 0);
  EXPECT_GT(sorts, 1000);
}

}  // namespace
}  // namespace px
