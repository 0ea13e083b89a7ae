#include <gtest/gtest.h>

#include "core/arith.h"
#include "core/dates.h"
#include "core/errors.h"

namespace px {
namespace {

Combination C(int a, int b, int c, int d, int e) {
  return Combination{uint8_t(a), uint8_t(b), uint8_t(c), uint8_t(d), uint8_t(e)};
}

TEST(Arith, CountsOfTheGame) {
  EXPECT_EQ(Binomial(36, 5), kCapacity);
  EXPECT_EQ(Binomial(12, 5), 792);
  EXPECT_EQ(Binomial(5, 5), 1);
  EXPECT_EQ(Binomial(3, 5), 1);
  const int64_t expected[] = {169911, 157325, 44950, 4650, 155, 1};
  int64_t total = 0;
  for (int k = 0; k <= 5; ++k) {
    EXPECT_EQ(ExactMatches(36, 5, k), expected[k]) << k;
    total += ExactMatches(36, 5, k);
  }
  EXPECT_EQ(total, kCapacity);
  EXPECT_EQ(ExactMatches(3, 5, 4), 1);
  EXPECT_EQ(kMinSum, 15);
  EXPECT_EQ(kMaxSum, 170);
  EXPECT_EQ(kSumStep, 15);
  EXPECT_EQ(CeilDiv(36, 5), 8);
  EXPECT_EQ(CeilDiv(36, 6), 6);
  EXPECT_EQ(GroupCount(0, 36, 5), 8);
  EXPECT_EQ(GroupCount(1, 36, 5), 8);
  EXPECT_EQ(GroupCount(10, 20, 5), 3);
}

TEST(Arith, TextForms) {
  EXPECT_EQ(CombinationText(C(3, 7, 12, 25, 36)), "3;7;12;25;36");
  EXPECT_EQ(CombinationText(C(3, 7, 12, 25, 36), " "), "3 7 12 25 36");
  EXPECT_EQ(CombinationClipboardText(C(3, 7, 12, 25, 36)), "03 07 12 25 36");
  EXPECT_EQ(NumberText(7), "7");
  EXPECT_EQ(IntListText({1, -2, 30}, ";"), "1;-2;30");
}

TEST(Arith, ParseCombination) {
  EXPECT_EQ(ParseCombination("1 2 3 4 5"), C(1, 2, 3, 4, 5));
  EXPECT_EQ(ParseCombination("  |30;2,,17.4:9\t"), C(30, 2, 17, 4, 9));
  // Words are kept as typed: no sorting, no range check.
  EXPECT_EQ(ParseCombination("5 5 40 1 2"), C(5, 5, 40, 1, 2));
  EXPECT_EQ(ParseCombination("1 2 x 4 5"), C(1, 2, 0, 4, 5));
  try {
    ParseCombination("1 2 3 4");
    FAIL() << "four words accepted";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Некорректная комбинация: \"1 2 3 4\"!");
  }
  // The minus sign separates, so this is six words.
  EXPECT_THROW(ParseCombination("1 2 3 4 5-6"), Error);
  EXPECT_THROW(ParseCombination(""), Error);
}

TEST(Arith, ParseIntList) {
  using V = std::vector<int32_t>;
  EXPECT_EQ(ParseIntList("1;3;5"), (V{1, 3, 5}));
  EXPECT_EQ(ParseIntList("1,3;5"), (V{1, 3, 5}));
  EXPECT_EQ(ParseIntList("7"), (V{7}));
  EXPECT_EQ(ParseIntList("2-10;4"), (V{2, 6, 10}));
  EXPECT_EQ(ParseIntList("2-11;4"), (V{2, 6, 10}));
  EXPECT_EQ(ParseIntList("-3-3,3"), (V{-3, 0, 3}));
  EXPECT_EQ(ParseIntList("10-1;-3"), (V{10, 7, 4, 1}));
  EXPECT_EQ(ParseIntList("5-1;1"), V{});
  EXPECT_EQ(ParseIntList("1-5;0"), V{});
  EXPECT_EQ(ParseIntList("1-5"), V{});
  EXPECT_EQ(ParseIntList("a;b"), V{});
  EXPECT_EQ(ParseIntList(""), V{});
}

TEST(Arith, SortingAndMatching) {
  Combination c = C(12, 3, 30, 7, 1);
  SortFive(c);
  EXPECT_EQ(c, C(1, 3, 7, 12, 30));
  EXPECT_EQ(Sorted(C(5, 4, 3, 2, 1)), C(1, 2, 3, 4, 5));
  EXPECT_EQ(MatchCount(C(1, 2, 3, 4, 5), C(5, 4, 3, 2, 1)), 5);
  EXPECT_EQ(MatchCount(C(1, 2, 3, 4, 5), C(6, 7, 8, 9, 10)), 0);
  EXPECT_EQ(MatchCount(C(1, 2, 3, 4, 5), C(3, 9, 1, 20, 36)), 2);
  EXPECT_TRUE(Contains(30, c));
  EXPECT_FALSE(Contains(31, c));

  NumberSet s = ToNumberSet(C(9, 3, 7, 1, 2));
  EXPECT_EQ(s.count, 5);
  EXPECT_EQ(s.values[0], 9);
  EXPECT_EQ(s.values[5], 0);
  NumberSet t = ToNumberSet(C(1, 2, 3, 7, 9));
  EXPECT_TRUE(s == t);  // same members in another order
  t.values[4] = 10;
  EXPECT_FALSE(s == t);

  Combination list[] = {C(1, 2, 3, 4, 5), C(5, 6, 7, 8, 9), C(1, 9, 10, 2, 3)};
  EXPECT_EQ(CountDistinct(list, 3), 10);
  EXPECT_EQ(DistinctInOrder(list, 2), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(CountDistinct(list, 0), 0);
  // Lists read from files may hold repeats and numbers outside 1..36.
  Combination odd[] = {C(0, 36, 36, 40, 255), C(7, 0, 36, 1, 7)};
  EXPECT_EQ(DistinctInOrder(odd, 2), (std::vector<int>{36, 7, 1}));
  // Every number: the order of first appearance, stopping at 36.
  std::vector<Combination> all;
  for (int k = 0; k < 7; ++k) all.push_back(C(36 - 5 * k, 35 - 5 * k, 34 - 5 * k, 33 - 5 * k, 32 - 5 * k));
  all.push_back(C(2, 1, 3, 4, 5));
  const std::vector<int> order = DistinctInOrder(all.data(), all.size());
  ASSERT_EQ(order.size(), 36u);
  EXPECT_EQ(order.front(), 36);
  EXPECT_EQ(std::vector<int>(order.end() - 3, order.end()), (std::vector<int>{3, 2, 1}));

  // Long lists that lack numbers, with late first appearances, against the
  // plain definition.
  auto plain = [](const std::vector<Combination>& l) {
    std::vector<int> out;
    for (const auto& c : l)
      for (uint8_t v : c)
        if (v >= 1 && v <= 36 && std::find(out.begin(), out.end(), int(v)) == out.end()) out.push_back(v);
    return out;
  };
  uint32_t seed = 12345;
  uint32_t range = 30;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) % range + 1; };
  for (size_t late : {size_t(10), size_t(4095), size_t(4096), size_t(9000), size_t(3), size_t(7777)}) {
    if (late < 4000) range = 30 - uint32_t(late);  // many numbers missing, more than one sweep's worth
    std::vector<Combination> l;
    for (size_t i = 0; i < 10000; ++i)
      l.push_back(C(int(next()), int(next()), int(next()), int(next()), int(next())));
    l[late] = C(33, 31, 0, 200, 31);
    l.back() = C(34, 1, 2, 3, 4);
    EXPECT_EQ(DistinctInOrder(l.data(), l.size()), plain(l)) << late;
    EXPECT_EQ(CountDistinct(l.data(), late), int(plain(std::vector<Combination>(l.begin(), l.begin() + late)).size()));
  }
}

TEST(Arith, GeometryAndColours) {
  EXPECT_EQ(MatrixColumn(13, 6), 1);
  EXPECT_EQ(MatrixRow(13, 6), 3);
  EXPECT_EQ(MatrixColumn(36, 5), 1);
  EXPECT_EQ(MatrixRow(36, 5), 8);
  EXPECT_EQ(NumberAt(2, 0, 6), 13);
  EXPECT_EQ(NumberAt(7, 1, 5), 37);  // beyond 36: an empty cell
  EXPECT_EQ(MatrixRows(6), 6);
  EXPECT_EQ(MatrixRows(7), 6);
  EXPECT_EQ(MatrixRows(1), 36);
  EXPECT_EQ(ChannelOf(13, 6), 3);
  EXPECT_EQ(ChannelOf(12, 6), 2);
  EXPECT_EQ(ChannelColour(13, 6), 0xAAFFFFu);
  EXPECT_EQ(ChannelColour(1, 6), 0xAAFFAAu);
  EXPECT_EQ(ChannelColour(0, 6), 0xFF0000u);
  EXPECT_EQ(ChannelColour(37, 6), 0xFF0000u);
  // Channel 20 and above wrap to the palette's start.
  EXPECT_EQ(ChannelColour(36, 1), kChannelPalette[36 - 19 - 1]);
  EXPECT_EQ(ChannelColour(19, 1), 0xD5EAFFu);
}

TEST(Arith, Shift) {
  EXPECT_EQ(Shift(36, 1), 1);
  EXPECT_EQ(Shift(1, -1), 36);
  EXPECT_EQ(Shift(20, 0), 20);
  EXPECT_EQ(Shift(30, 10), 4);
  EXPECT_EQ(Shift(5, 35), 4);
  EXPECT_EQ(Shift(5, -35), 6);
  EXPECT_EQ(ShiftCombination(C(1, 20, 35, 36, 2), 2), C(3, 22, 1, 2, 4));
}

TEST(Arith, DrawNumbersValidity) {
  EXPECT_TRUE(IsValidDrawNumbers(C(36, 1, 2, 3, 4)));
  EXPECT_FALSE(IsValidDrawNumbers(C(0, 1, 2, 3, 4)));
  EXPECT_FALSE(IsValidDrawNumbers(C(37, 1, 2, 3, 4)));
  EXPECT_FALSE(IsValidDrawNumbers(C(4, 1, 2, 3, 4)));
}

TEST(Dates, KeysAndTexts) {
  using namespace std::chrono;
  Date d{year{2021}, month{3}, day{1}};
  EXPECT_EQ(DateKeyOf(d), 20210301);
  EXPECT_EQ(DateOfKey(20210301), d);
  EXPECT_EQ(DateText(d), "03/01/2021");
  EXPECT_EQ(DateText(std::nullopt), "");
  EXPECT_EQ(DateText(Date{year{0}, month{1}, day{1}}), "");
  EXPECT_EQ(AddDaysToKey(19991231, 1), 20000101);
  EXPECT_EQ(AddDaysToKey(20000301, -1), 20000229);
  EXPECT_EQ(AddDaysToKey(20210301, 0), 20210301);
  EXPECT_EQ(AddDaysToKey(19950104, 3 + 4), 19950111);

  EXPECT_EQ(ParseDate("03/01/2021"), d);
  EXPECT_EQ(ParseDate("  03/01/2021 "), d);
  EXPECT_EQ(ParseDate("03.01.2021"), d);  // fields are taken by position
  EXPECT_EQ(ParseDate(""), std::nullopt);
  EXPECT_EQ(ParseDate("   "), std::nullopt);
  EXPECT_THROW(ParseDate("00/01/2021"), Error);
  EXPECT_THROW(ParseDate("01/32/2021"), Error);
  EXPECT_THROW(ParseDate("02/29/2021"), Error);
  EXPECT_THROW(ParseDate("ab/cd/efgh"), Error);
  // Noon is the same calendar day in every time zone but the most extreme.
  EXPECT_EQ(DateOf(sys_days{Date{year{2026}, month{12}, day{9}}} + hours{12}), (Date{year{2026}, month{12}, day{9}}));
}

}  // namespace
}  // namespace px
