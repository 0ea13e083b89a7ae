#include "scenario/scenario_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "core/archive.h"
#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "scenario/scenario_file.h"
#include "stats/stat_list.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px::test {
namespace {

class ScenarioLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    r.SetDraws(&a);
    r.Fill();
  }
  DrawArchive a;
  TStatList r;
};

TEST_F(ScenarioLineTest, ExampleLineIsWrittenBackUnchanged) {
  const std::string text = "FULL:0#EXT|TSD1#NUMS:10#LNO:#SF:1| | | | | | |";
  const ScenarioLine line = ParseLine(text, r);
  EXPECT_EQ(line.options, ScenarioOptions{});
  const TFilterItem& f = line.filters[0];
  EXPECT_TRUE(f.defined);
  EXPECT_EQ(f.statCode, "NUMS");
  EXPECT_EQ(f.statText, "NUMS:10");
  EXPECT_EQ(f.drawCounts, "10");
  EXPECT_EQ(f.sortColumn, 1);
  EXPECT_FALSE(f.bottomUp || f.multiSelect || f.keepSelected || f.weightOverride);
  EXPECT_EQ(f.stopMode, 0);
  EXPECT_EQ(f.stopValue, 1);
  for (int i = 1; i < kScenarioFilters; ++i) EXPECT_FALSE(line.filters[i].defined) << i;
  EXPECT_EQ(line.comment, "");
  EXPECT_EQ(FormatLine(line), text);
  EXPECT_EQ(FormatLineText(ParseLineText(text)), text);
}

TEST_F(ScenarioLineTest, OptionsWithLowerCaseFlag) {
  const ScenarioOptions o = ParseOptions("CURR#NONE#clr");
  EXPECT_EQ(o.listSource, uint8_t(ListSource::Current));
  EXPECT_EQ(o.excludeDraws, 0);
  EXPECT_EQ(o.stakeMode, uint8_t(StakeMode::None));
  EXPECT_TRUE(o.clearStakes);
  EXPECT_FALSE(o.newOnly);
  EXPECT_EQ(FormatOptions(o), "CURR:0#NONE#CLR");
}

TEST_F(ScenarioLineTest, OptionsExampleAndFallbacks) {
  const ScenarioOptions o = ParseOptions("EXCL:3#RAND#NEX");
  EXPECT_EQ(o.listSource, uint8_t(ListSource::Exclude));
  EXPECT_EQ(o.excludeDraws, 3);
  EXPECT_EQ(o.stakeMode, uint8_t(StakeMode::Random));
  EXPECT_TRUE(o.newOnly);
  EXPECT_FALSE(o.clearStakes);
  EXPECT_EQ(FormatOptions(o), "EXCL:3#RAND#NEX");
  // The number is read even when the source word is unknown; a stake word
  // must match whole.
  const ScenarioOptions bad = ParseOptions("bogus:7#RANDOM#xyz#NEX");
  EXPECT_EQ(bad.listSource, 0);
  EXPECT_EQ(bad.excludeDraws, 7);
  EXPECT_EQ(bad.stakeMode, 0);
  EXPECT_TRUE(bad.newOnly);
  EXPECT_EQ(ParseOptions("EXCL:x#sysc").excludeDraws, 0);
  EXPECT_EQ(ParseOptions("EXCL:x#sysc").stakeMode, uint8_t(StakeMode::SystemCombs));
}

TEST_F(ScenarioLineTest, FirstPartLettersAndSortColumn) {
  const TFilterItem f = ParseFilter("BMF12#NUMS:10#LNO:#SF:1", r);
  EXPECT_TRUE(f.bottomUp);
  EXPECT_TRUE(f.multiSelect);
  EXPECT_TRUE(f.keepSelected);
  EXPECT_EQ(f.sortColumn, 12);
  EXPECT_EQ(FormatFilter(f), "BMF12#NUMS:10#LNO:#SF:1");
  // Lower-case letters do not count; an unreadable column is 1.
  const TFilterItem g = ParseFilter("bmfx#NUMS:1", r);
  EXPECT_FALSE(g.bottomUp || g.multiSelect || g.keepSelected);
  EXPECT_EQ(g.sortColumn, 1);
  EXPECT_EQ(ParseFilter("TSD", r).sortColumn, 1);
}

TEST_F(ScenarioLineTest, DescriptorExampleWithWindowRange) {
  const TFilterItem f = ParseFilter("TSD1#nums:10-30;10#cmv:2#SF:1", r);
  EXPECT_EQ(f.statCode, "NUMS");
  EXPECT_EQ(f.drawCounts, "10-30;10");
  EXPECT_EQ(f.conditionMode, 13);
  EXPECT_EQ(f.conditionValues, "2");
  // The method's own code is written, whatever case the line used.
  EXPECT_EQ(FormatFilter(f), "TSD1#NUMS:10-30;10#CMV:2#SF:1");
}

TEST_F(ScenarioLineTest, PartsAfterTheirColonAndMissingStop) {
  const TFilterItem f = ParseFilter("TSD1#NUMS: 1, 2, 3 #LDV:1:2:3#bogus:4", r);
  EXPECT_EQ(f.drawCounts, "1, 2, 3");
  EXPECT_EQ(f.conditionMode, 5);
  EXPECT_EQ(f.conditionValues, "1:2:3");
  EXPECT_EQ(f.stopMode, 0);
  EXPECT_EQ(f.stopValue, 4);
  EXPECT_EQ(ParseFilter("TSD1#NUMS:1#XYZ:5#ST", r).conditionValues, "");
  EXPECT_EQ(ParseFilter("TSD1#NUMS:1#XYZ:5#ST", r).stopValue, 1);
  EXPECT_EQ(ParseFilter("TSD1#NUMS:1#XYZ:5#ST", r).stopMode, 4);
  const TFilterItem noStop = ParseFilter("TSD1#NUMS:1#CMV:2", r);
  EXPECT_EQ(noStop.stopMode, 0);
  EXPECT_EQ(noStop.stopValue, 0);
}

TEST_F(ScenarioLineTest, WeightPart) {
  const TFilterItem f = ParseFilter("TSD1#NUMS:1#WMV:2#SF:1#1,5:-0.25:x3y:1:0", r);
  EXPECT_TRUE(f.weightOverride);
  EXPECT_EQ(f.coefCount, 1.5L);
  EXPECT_EQ(f.coefDeviation, -0.25L);
  EXPECT_EQ(f.coefDepth, 3.0L);
  EXPECT_TRUE(f.usePercents);
  EXPECT_FALSE(f.useAbs);
  EXPECT_EQ(FormatFilter(f), "TSD1#NUMS:1#WMV:2#SF:1#1.5:-0.25:3:1:0");
  const TFilterItem g = ParseFilter("TSD1#NUMS:1#WMV:2#SF:1#abc", r);
  EXPECT_TRUE(g.weightOverride);
  EXPECT_EQ(g.coefCount, 0.0L);
  EXPECT_FALSE(g.useAbs);
}

TEST_F(ScenarioLineTest, CoefficientsNeverUseAnExponent) {
  EXPECT_EQ(FormatCoefficient(0), "0");
  EXPECT_EQ(FormatCoefficient(0.1L), "0.1");
  EXPECT_EQ(FormatCoefficient(-0.00000125L), "-0.00000125");
  EXPECT_EQ(FormatCoefficient(1e17L), "100000000000000000");
  EXPECT_EQ(FormatCoefficient(1.0L / 3), "0.333333333333333");
  EXPECT_EQ(FormatCoefficient(123456.789L), "123456.789");
  EXPECT_EQ(ParseCoefficient("-0.00000125"), -0.00000125L);
}

TEST_F(ScenarioLineTest, CommentIsCutAtBar) {
  const ScenarioLine line = ParseLine("FULL:0#EXT| | | | | | | | first part|second part", r);
  EXPECT_EQ(line.comment, "first part");
  EXPECT_EQ(FormatLine(line), "FULL:0#EXT| | | | | | | |first part");
}

TEST_F(ScenarioLineTest, UnknownStatisticKeepsItsText) {
  const std::string text = "FULL:0#EXT|TSD1#Zork:5-9;2#LNO:#SF:1| | | | | | |мой";
  const ScenarioLine line = ParseLine(text, r);
  const TFilterItem& f = line.filters[0];
  EXPECT_TRUE(f.defined);
  EXPECT_TRUE(f.statCode.empty());
  EXPECT_EQ(f.statText, "Zork:5-9;2");
  EXPECT_EQ(StatMethodOf(f, r), -1);
  EXPECT_EQ(FormatLine(line), text);

  TempDir dir;
  RecordingHost host;
  Scenario s(Env::Real(), host, WorkingScenarioPath(dir.Path()));
  s.Add(FormatLine(line));
  ASSERT_TRUE(s.Save(dir.File("a.lsc")));
  Scenario back(Env::Real(), host, dir.File("w.lss"));
  ASSERT_TRUE(back.Load(dir.File("a.lsc"), false));
  ASSERT_EQ(back.Count(), 1);
  EXPECT_EQ(back.Get(0), text);
  EXPECT_EQ(FormatFilter(ParseLine(back.Get(0), r).filters[0]), "TSD1#Zork:5-9;2#LNO:#SF:1");
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(ScenarioLineTest, PrefixCodeNeverCapturesALongerWord) {
  ASSERT_GE(r.FindByCode("POS1"), 0);
  ASSERT_LT(r.FindByCode("POS12"), 0);
  const TFilterItem f = ParseFilter("TSD1#pos12:5#LNO:#SF:1", r);
  EXPECT_TRUE(f.statCode.empty());
  EXPECT_EQ(FormatFilter(f), "TSD1#pos12:5#LNO:#SF:1");
  EXPECT_EQ(ParseFilter("TSD1#pos1:5", r).statCode, "POS1");
  EXPECT_TRUE(ParseFilter("TSD1#NUMSX:5", r).statCode.empty());
}

TEST_F(ScenarioLineTest, EmptyStatisticPartKeepsLaterPartsInPlace) {
  TFilterItem f;
  f.defined = true;
  f.conditionMode = 13;
  f.conditionValues = "2";
  f.stopMode = 4;
  f.stopValue = 3;
  EXPECT_EQ(ParseFilter(FormatFilter(f), r), f);
  EXPECT_EQ(FormatFilter(TFilterItem{}), "");
  EXPECT_EQ(ParseFilter("   ", r), TFilterItem{});
}

TEST_F(ScenarioLineTest, OptionsSummaryTexts) {
  ScenarioOptions o;
  EXPECT_EQ(OptionsSummary(o), "Исходный список; Расширенная; Все создаваемые ставки");
  o.listSource = 1;
  o.excludeDraws = 5;
  o.stakeMode = 9;
  o.clearStakes = true;
  o.newOnly = true;
  EXPECT_EQ(OptionsSummary(o), "Исключить 5 тиражей; Не делать ставок; Удалить ставки; Только новые ставки");
  o.listSource = 3;
  o.stakeMode = 10;
  EXPECT_EQ(OptionsSummary(o), "# ERROR #; # ERROR #; Удалить ставки; Только новые ставки");
}

// Random values built the way the reader would give them back: trimmed
// texts without delimiters, the statistic text matching its code, and
// coefficients that a 15-digit decimal holds exactly.
class RandomLines {
 public:
  RandomLines(const TStatList& registry) : r_(registry) {}

  ScenarioLine Next() {
    ScenarioLine line;
    line.options.listSource = uint8_t(Int(0, kListSources - 1));
    line.options.excludeDraws = Int(0, 3) == 0 ? Int(0, 2147483647) : Int(0, 50);
    line.options.stakeMode = uint8_t(Int(0, kStakeModes - 1));
    line.options.clearStakes = Int(0, 1);
    line.options.newOnly = Int(0, 1);
    for (auto& f : line.filters)
      if (Int(0, 3) != 0) f = Filter();
    static const char* comments[] = {"", "Тест №1", "a:b#c", "  x", "прогноз, 10-30;2"};
    line.comment = Trim(comments[Int(0, 4)]);
    return line;
  }

 private:
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  std::string Window() {
    static const char* windows[] = {"", "1", "1, 2, 3", "1-10;2", "10-30;10", "0"};
    return windows[Int(0, 5)];
  }

  long double Awkward() {
    static const char* values[] = {"0", "0.1", "-0.3", "1e-9", "123456789.012345", "-999999999999999",
                                   "0.000123", "2.5", "1e20", "-7.0000000000001", "0.333333333333333"};
    const int pick = Int(0, 11);
    if (pick < 11) return *ParseDecimal(values[pick]);
    // An integer count of thousandths.
    return *ParseDecimal(std::to_string(Int(-5000000, 5000000)) + "e-3");
  }

  TFilterItem Filter() {
    TFilterItem f;
    f.defined = true;
    f.bottomUp = Int(0, 1);
    f.multiSelect = Int(0, 1);
    f.keepSelected = Int(0, 1);
    f.sortColumn = Int(-3, 40);
    f.drawCounts = Window();
    if (Int(0, 4) == 0) {
      static const char* unknown[] = {"ZORK", "Pos12", "чужой", "NUMSX"};
      f.statText = std::string(unknown[Int(0, 3)]) + ":" + f.drawCounts;
    } else {
      f.statCode = r_.CodeOf(Int(0, r_.Count() - 1));
      f.statText = f.statCode + ":" + f.drawCounts;
    }
    f.conditionMode = uint8_t(Int(0, kConditionModes - 1));
    f.conditionValues = Window();
    f.stopMode = uint8_t(Int(0, kStopModes - 1));
    f.stopValue = Int(0, 5) == 0 ? Int(-2147483647, 2147483647) : Int(0, 100);
    if (Int(0, 1)) {
      f.weightOverride = true;
      f.coefCount = Awkward();
      f.coefDeviation = Awkward();
      f.coefDepth = Awkward();
      f.usePercents = Int(0, 1);
      f.useAbs = Int(0, 1);
    }
    return f;
  }

  const TStatList& r_;
  std::mt19937 rng_{20240917};
};

TEST_F(ScenarioLineTest, RandomLinesRoundTrip) {
  RandomLines gen(r);
  for (int i = 0; i < 3000; ++i) {
    const ScenarioLine x = gen.Next();
    const std::string text = FormatLine(x);
    ASSERT_EQ(ParseLine(text, r), x) << text;
    ASSERT_EQ(FormatLine(ParseLine(text, r)), text);
  }
}


class ScenarioFileTest : public ::testing::Test {
 protected:
  std::string Working() const { return WorkingScenarioPath(dir.Path()); }
  TempDir dir;
  RecordingHost host;
};

TEST_F(ScenarioFileTest, Cp1251WithCrLfOnDisk) {
  Scenario s(Env::Real(), host, Working());
  int changes = 0;
  s.onChange = [&] { ++changes; };
  EXPECT_EQ(s.Add("FULL:0#EXT| | | | | | | |Тест"), 0);
  EXPECT_EQ(s.Add(""), 1);
  EXPECT_EQ(changes, 2);
  const std::string expected = Utf8ToCp1251("FULL:0#EXT| | | | | | | |Тест") + "\r\n\r\n";
  EXPECT_EQ(ReadBytes(Working()), expected);
  EXPECT_EQ(expected.find("Тест"), std::string::npos);  // really cp1251, not UTF-8
  ASSERT_TRUE(s.Save(dir.File("x.lsc")));
  EXPECT_EQ(ReadBytes(dir.File("x.lsc")), expected);
  EXPECT_EQ(DecodeScenario(expected), (std::vector<std::string>{"FULL:0#EXT| | | | | | | |Тест", ""}));
  EXPECT_EQ(DecodeScenario("a\nb"), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ScenarioFileTest, WorkingFileFollowsEveryChange) {
  Scenario s(Env::Real(), host, Working());
  s.Add("a");
  s.Add("b");
  s.Add("c");
  s.Put(1, "B");
  EXPECT_EQ(ReadBytes(Working()), "a\r\nB\r\nc\r\n");
  s.Swap(0, 2);
  EXPECT_EQ(ReadBytes(Working()), "c\r\nB\r\na\r\n");
  s.Delete({0, 2});
  EXPECT_EQ(ReadBytes(Working()), "B\r\n");
  EXPECT_THROW(s.Put(5, "x"), Error);
  try {
    s.Get(-1);
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Запись со индексом -1 в файле данных не найдена!");
  }
  s.Clear();
  EXPECT_EQ(ReadBytes(Working()), "");
  EXPECT_TRUE(test::TempFilesIn(std::filesystem::path(Working()).parent_path().string()).empty());

  WriteBytes(Working(), "x\r\ny\r\n");
  Scenario restarted(Env::Real(), host, Working());
  ASSERT_TRUE(restarted.LoadWorking());
  EXPECT_EQ(restarted.Lines(), (std::vector<std::string>{"x", "y"}));
}

TEST_F(ScenarioFileTest, AppendPutsExactlyOneSeparator) {
  WriteBytes(dir.File("more.lsc"), "m1\r\nm2\r\n");
  Scenario s(Env::Real(), host, Working());
  ASSERT_TRUE(s.Load(dir.File("more.lsc"), true));  // empty scenario: simply loaded
  EXPECT_EQ(s.Lines(), (std::vector<std::string>{"m1", "m2"}));
  ASSERT_TRUE(s.Load(dir.File("more.lsc"), true));
  EXPECT_EQ(s.Lines(), (std::vector<std::string>{"m1", "m2", "", "m1", "m2"}));
  s.Add("");
  ASSERT_TRUE(s.Load(dir.File("more.lsc"), true));  // already ends with a separator
  EXPECT_EQ(s.Lines(), (std::vector<std::string>{"m1", "m2", "", "m1", "m2", "", "m1", "m2"}));
  WriteBytes(dir.File("empty.lsc"), "");
  ASSERT_TRUE(s.Load(dir.File("empty.lsc"), true));
  EXPECT_EQ(s.Count(), 8);
  EXPECT_EQ(ReadBytes(Working()), "m1\r\nm2\r\n\r\nm1\r\nm2\r\n\r\nm1\r\nm2\r\n");
  ASSERT_TRUE(s.Load(dir.File("more.lsc"), false));
  EXPECT_EQ(s.Count(), 2);
}

TEST_F(ScenarioFileTest, FailedLoadKeepsLinesAndShowsError) {
  Scenario s(Env::Real(), host, Working());
  s.Add("a");
  const std::string missing = dir.File("missing.lsc");
  EXPECT_FALSE(s.Load(missing, false));
  EXPECT_EQ(s.Lines(), std::vector<std::string>{"a"});
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Ошибка чтения файла \"" + missing + "\"!\r\r", 0), 0u) << host.errors[0];
  EXPECT_EQ(ReadBytes(Working()), "a\r\n");
  EXPECT_FALSE(s.Save(dir.File("no/such/folder/x.lsc")));
  ASSERT_EQ(host.errors.size(), 2u);
  EXPECT_EQ(host.errors[1].rfind("Ошибка записи в файл \"", 0), 0u);
}

}  // namespace
}  // namespace px::test
