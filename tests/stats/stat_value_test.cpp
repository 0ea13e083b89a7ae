#include <gtest/gtest.h>

#include <random>

#include "stats/stat_value.h"

namespace px {
namespace {

StatValue Occurrence(uint16_t key1, int32_t draw, int32_t depth, int32_t count = 1) {
  StatValue v;
  v.Key1 = key1;
  v.LastDraw = draw;
  v.PrevDraw = draw;
  v.Depth = depth;
  v.Count = count;
  return v;
}

TEST(StatValue, MergeRules) {
  TStatDrawArray values;
  AddValue(values, Occurrence(7, 0, 0, 0), false);  // a candidate
  AddValue(values, Occurrence(7, 100, 5), true);
  ASSERT_EQ(values.Count(), 1);
  EXPECT_EQ(values[0].Depth, 5);  // a candidate's depth 0 always gives way
  EXPECT_EQ(values[0].LastDraw, 100);
  EXPECT_EQ(values[0].PeriodMin, 0);  // no previous occurrence yet
  AddValue(values, Occurrence(7, 104, 1), true);
  EXPECT_EQ(values[0].PeriodMin, 4);
  EXPECT_EQ(values[0].PeriodMax, 4);
  EXPECT_EQ(values[0].Count, 2);
  EXPECT_EQ(values[0].Depth, 1);
  EXPECT_EQ(values[0].LastDraw, 104);
  AddValue(values, Occurrence(7, 110, 1), true);
  EXPECT_EQ(values[0].PeriodMin, 4);
  EXPECT_EQ(values[0].PeriodMax, 6);

  // Depth 0 leaves depth 3; depth 2 replaces it; equal depth takes the newer call.
  TStatDrawArray d;
  AddValue(d, Occurrence(1, 50, 3), false);
  AddValue(d, Occurrence(1, 0, 0), false);
  EXPECT_EQ(d[0].Depth, 3);
  EXPECT_EQ(d[0].LastDraw, 50);
  AddValue(d, Occurrence(1, 60, 2), false);
  EXPECT_EQ(d[0].Depth, 2);
  AddValue(d, Occurrence(1, 61, 2), false);
  EXPECT_EQ(d[0].LastDraw, 61);
  AddValue(d, Occurrence(1, 70, 4), false);
  EXPECT_EQ(d[0].Depth, 2);

  // Norm never comes in with a new entry.
  StatValue withNorm = Occurrence(9, 1, 1);
  withNorm.Norm = 77;
  AddValue(d, withNorm, false);
  EXPECT_EQ(d[1].Norm, 0);
}

// The index must give exactly what a plain linear merge gives: same entries,
// same order, same figures, for keys in every word and of every size.
TEST(StatValue, IndexedMergeEqualsLinearMerge) {
  std::mt19937 rnd(12345);
  std::vector<StatValue> linear;
  TStatDrawArray indexed;
  auto linearAdd = [&](const StatValue& v) {
    for (StatValue& e : linear)
      if (e.SameKeys(v)) {
        e.Count += v.Count;
        if (e.Depth == 0 || (v.Depth > 0 && e.Depth >= v.Depth)) {
          e.LastDraw = v.LastDraw;
          e.Depth = v.Depth;
        }
        if (v.LastDraw > 0 && e.PrevDraw > 0) {
          uint16_t gap = uint16_t(std::abs(e.PrevDraw - v.LastDraw));
          if (gap < e.PeriodMin || e.PeriodMin == 0) e.PeriodMin = gap;
          if (gap > e.PeriodMax || e.PeriodMax == 0) e.PeriodMax = gap;
        }
        e.PrevDraw = v.LastDraw;
        return;
      }
    linear.push_back(v);
  };
  for (int i = 0; i < 20000; ++i) {
    StatValue v = Occurrence(uint16_t(rnd() % 1500), int32_t(i + 1), int32_t(rnd() % 40));
    if (rnd() % 3 == 0) v.Key2 = uint16_t(rnd() % 3);
    if (rnd() % 5 == 0) v.Key4 = uint16_t(rnd() % 2);
    if (rnd() % 7 == 0) v.Key3 = 0xFFFF;
    linearAdd(v);
    AddValue(indexed, v, true);
  }
  ASSERT_EQ(indexed.Count(), int(linear.size()));
  for (size_t i = 0; i < linear.size(); ++i) ASSERT_EQ(indexed[int(i)], linear[i]) << i;
  for (const StatValue& v : linear) ASSERT_GE(indexed.Find(v.Key()), 0);

  indexed.SortByKey();
  for (int i = 1; i < indexed.Count(); ++i) ASSERT_LT(indexed[i - 1].Key(), indexed[i].Key());
  for (int i = 0; i < indexed.Count(); ++i) ASSERT_EQ(indexed.Find(indexed[i].Key()), i);
  indexed.Clear();
  EXPECT_EQ(indexed.Find(linear[0].Key()), -1);
}

TEST(StatValue, KeysAndLookups) {
  StatValue v;
  v.SetInt12(-5);
  v.SetInt34(70000);
  EXPECT_EQ(v.Int12(), -5);
  EXPECT_EQ(v.Int34(), 70000);
  EXPECT_EQ(v.Key2, 0xFFFF);
  // Keys order as unsigned words, Key1 first.
  StatValue a, b;
  a.Key1 = 1;
  a.Key4 = 0xFFFF;
  b.Key1 = 2;
  EXPECT_LT(a.Key(), b.Key());

  TStatDrawArray list;
  EXPECT_FALSE(HasValue(list, 0, 0, 0, 0));
  EXPECT_FALSE(HasWordKey(list, 1, 0));
  StatValue s;
  s.Key1 = 0x1234;
  s.Key3 = 7;
  list.Append(s);
  StatValue neg;
  neg.SetInt12(-3);
  list.Append(neg);
  EXPECT_TRUE(HasValue(list, 0x1234, 0, 7, 0));
  EXPECT_FALSE(HasValue(list, 0x1234, 0, 0, 0));
  EXPECT_TRUE(HasValue13(list, 0x1234, 7));
  EXPECT_TRUE(HasWordKey(list, 3, 7));
  EXPECT_FALSE(HasWordKey(list, 2, 7));
  EXPECT_TRUE(HasByteKey(list, 1, 0x34));
  EXPECT_TRUE(HasByteKey(list, 2, 0x12));
  EXPECT_TRUE(HasByteKey(list, 5, 7));
  EXPECT_FALSE(HasByteKey(list, 6, 7));
  EXPECT_TRUE(HasKey1or3(list, 1, -3));
  EXPECT_TRUE(HasKey1or3(list, 2, 7));
  EXPECT_FALSE(HasKey1or3(list, 1, 7));

  TStatSimpleArray simple;
  CountAdd(simple, 5, 2);
  CountAdd(simple, 5, 3);
  CountAdd(simple, 5, -4);  // a negative delta changes nothing once present
  CountAdd(simple, 6, -1);  // but is appended as it is when new
  ASSERT_EQ(simple.size(), 2u);
  EXPECT_EQ(simple[0].Count, 5);
  EXPECT_EQ(simple[1].Count, -1);
}

}  // namespace
}  // namespace px
