// The shredding formulas: the language, the value taken from the result, and
// the three methods over draws and combinations.
#include <gtest/gtest.h>

#include <cmath>

#include "combs/combination_set.h"
#include "core/config.h"
#include "core/env.h"
#include "stats/families/formula.h"
#include "stats/filter.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"
#include "support/family_fixture.h"

namespace px {
namespace {

const Formula::Numbers kN{1, 2, 3, 4, 5}, kP{10, 20, 30, 0, 6}, kT{7, 0, 0, 0, 0};

struct Case {
  const char* text;
  std::optional<long double> result;  // nullopt: an error
};

TEST(Formula, LanguageTable) {
  const long double pi2 = std::acos(-1.0L) / 2;
  const Case cases[] = {
      {"1+2*3", 7},
      {"(1+2)*3", 9},
      {"2^3^2", 64},         // left to right
      {"2*3^2", 36},         // "*" and "^" share a level
      {"8/2/2", 2},
      {"2^3*2", 16},
      {"10-4-3", 3},
      {"-3+5", 2},           // a leading sign stands before a 0
      {"+4", 4},
      {"2*-3", std::nullopt},  // a sign anywhere else
      {"(-3)", std::nullopt},
      {"1.5*2", 3},
      {".5", std::nullopt},
      {"1.", std::nullopt},
      {"1E1", std::nullopt},
      {"1,5", 1},            // "," ends the expression
      {"3<junk", 3},         // as do "<", "=" and ">"
      {"4=4", 4},
      {"5>1", 5},
      {"(1,2)", std::nullopt},  // inside parentheses only ")"
      {"n1)+(n2", std::nullopt},
      {"((2)", std::nullopt},
      {"", std::nullopt},
      {"n1 + n2 * N3", 7},   // blanks go, any case
      {"n5n1", 51},          // variables are text: 5 and 1 make 51
      {"2n1", 21},
      {"p1+p2+p3+p5", 66},
      {"t1*2", 14},
      {"p4", 0},
      {"n 1", std::nullopt},  // the blank goes after the substitution: N1 is no name
      {"n6", std::nullopt},
      {"abs(0-7)", 7},
      {"sqr(3)", 9},
      {"sqrt(16)", 4},
      {"sqrt(0-1)", std::nullopt},
      {"ln(1)", 0},
      {"ln(0)", std::nullopt},
      {"log(1000)", 3},
      {"exp(0)", 1},
      {"int(0-2.7)", -2},
      {"trunc(2.7)", 2},
      {"frac(0-2.25)", -0.25L},
      {"round(2.5)", 2},      // halves to even
      {"round(3.5)", 4},
      {"sign(0-4)", -1},
      {"sign(0)", 0},
      {"not(0)", 1},
      {"not(3)", 0},
      {"arcsin(1)", pi2},
      {"arccos(1)", 0},
      {"arcsin(2)", std::nullopt},
      {"arctan(0)", 0},
      {"sin(0)+cos(0)+tan(0)", 1},
      {"SIN (0)", 0},         // the blank is gone before reading
      {"foo(1)", std::nullopt},
      {"sqrt 4", std::nullopt},
      {"1/0", std::nullopt},
      {"n1/(n2-n2)", std::nullopt},
      {"0^0", 1},
      {"(0-2)^3", -8},
      {"(0-2)^0.5", std::nullopt},  // not a real number
      {"10^5000", std::nullopt},    // not finite
      {"1+", std::nullopt},
      {"*2", std::nullopt},
      {"2 3", 23},
      {"я", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto got = Formula(c.text).Evaluate(kN, kP, kT);
    ASSERT_EQ(got.has_value(), c.result.has_value());
    if (got) {
      EXPECT_NEAR(double(*got), double(*c.result), 1e-12);
    }
  }
}

TEST(Formula, TheValueIsTheFirstDigitsAfterThePoint) {
  const Formula::Numbers draw{1, 2, 3, 4, 5}, none{};
  EXPECT_EQ(ShreddingValue(draw, none, none, 2, "(n1+n2+n3)/(n4+n5)"), 66);
  EXPECT_EQ(ShreddingValue(draw, none, none, 2, "(n4+n5)/(n1+n2+n3)"), 50);
  EXPECT_EQ(ShreddingValue(draw, none, none, 2, "n1/(n2-n2)"), 0);
  EXPECT_EQ(ShreddingValue(draw, none, none, 2, "n1+"), 0);
  EXPECT_EQ(ShreddingValue(draw, none, none, 2, "N1/N2"), 50);
  // Exact decimals keep their digits; the sign does not count.
  EXPECT_EQ(ShreddingValue(draw, none, none, 2, "0.58"), 58);
  EXPECT_EQ(ShreddingValue(draw, none, none, 2, "0-12.58"), 58);
  EXPECT_EQ(ShreddingValue(draw, none, none, 3, "0.0071"), 7);
  const char* third = "n1/n3";  // 0.333333...
  EXPECT_EQ(ShreddingValue(draw, none, none, 1, third), 3);
  EXPECT_EQ(ShreddingValue(draw, none, none, 4, third), 3333);
  EXPECT_EQ(ShreddingValue(draw, none, none, 5, third), 33333);
  EXPECT_EQ(ShreddingValue(draw, none, none, 9, third), 33333);  // five at the most
  EXPECT_EQ(ShreddingValue(draw, none, none, 0, third), 3);      // one at the least
  EXPECT_EQ(ShreddingValue(draw, none, none, 2, "7"), 0);
}

class ShreddingFamily : public test::FamilyTest {};

TEST_F(ShreddingFamily, MethodsOverDrawsAndCombinations) {
  ASSERT_GE(registry.FindByCode("SHR3"), 0);
  EXPECT_EQ(registry.DisplayName(registry.FindByCode("SHR1"), true),
            "{ shr } Метод шинковки 1: (n1+n2+n3)/(n4+n5) [ SNG ]");
  // A custom name: only its first "%s" is the formula; nothing else is a directive.
  registry.Method(registry.FindByCode("SHR2")).customName = "Моя %d %s и %s";
  EXPECT_EQ(registry.DisplayName(registry.FindByCode("SHR2"), false), "{ shr } Моя %d (n4+n5)/(n1+n2+n3) и %s");

  archive.Append(test::Draw(1, {1, 2, 3, 4, 5}));
  archive.Append(test::Draw(2, {6, 7, 8, 9, 10}));
  registry.Config().Formula[0] = "p1+n1/3";
  registry.Config().FormulaDigits[0] = 2;
  registry.Config().Formula[1] = "n1/7+t1";
  registry.Config().FormulaDigits[1] = 5;
  registry.Fill();
  auto texts = [&](const char* code) {
    std::vector<std::string> out;
    for (const StatRow& r : Table(code).rows) out.push_back(r.caption);
    std::sort(out.begin(), out.end());
    return out;
  };
  // The oldest draw has no draw before it: p = 0. 1/3 -> 33; 1 + 6/3 -> 0.
  EXPECT_EQ(texts("SHR1"), (std::vector<std::string>{"0", "33"}));
  // Five digits pass one key word: 6/7 = 0.857142... -> 85714.
  EXPECT_EQ(texts("SHR2"), (std::vector<std::string>{"14285", "85714"}));
  auto stat = registry.CreateInstance(registry.FindByCode("SHR2"));
  EXPECT_EQ(dynamic_cast<TCustomGraphStat&>(*stat).GraphValueOfDraw(1, 1, false), 85714);

  // The full set sees p and t as zeros; a filter sees the reference draw as p.
  TStatDrawArray values;
  auto shr1 = registry.CreateInstance(registry.FindByCode("SHR1"));
  shr1->CollectCombinationValues({1, 2, 3, 4, 5}, values);
  ASSERT_EQ(values.Count(), 1);
  EXPECT_EQ(values[0].Int12(), 33);
  StatValue v;
  v.SetInt12(33);  // 6 + n1/3: n1 = 1, 4, 7, ... give .33
  Selection sel;
  sel.values.Append(v);
  CombinationSet set;
  set.Init(kCapacity);
  GenerateSet(set, Env::Real(), true, 0, "");
  KeepOrRemove(set, *shr1, sel, FilterMode::KeepSelected, 1, false, "SHR1", nullptr);
  size_t expected = 0;
  for (const Combination& c : FullSet()) expected += c[0] % 3 == 1 ? 1 : 0;
  EXPECT_EQ(size_t(set.Count()), expected);
  // 85714 as a selection, through Key1 and Key2.
  StatValue big;
  big.SetInt12(85714);
  Selection bigSel;
  bigSel.values.Append(big);
  GenerateSet(set, Env::Real(), true, 0, "");
  auto shr2 = registry.CreateInstance(registry.FindByCode("SHR2"));
  KeepOrRemove(set, *shr2, bigSel, FilterMode::KeepSelected, 1, false, "SHR2", nullptr);
  // t is the draw before the reference draw: 1; n1/7 + 1 has .857142 for n1 = 6, 13, 20, 27.
  for (const Combination& c : set.ToVector()) EXPECT_EQ(c[0] % 7, 6);
  EXPECT_GT(set.Count(), 0);
}

}  // namespace
}  // namespace px
