#include "scenario/ratings_script.h"

#include <gtest/gtest.h>

#include "core/archive.h"
#include "core/env.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_line.h"
#include "stats/stat_list.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px::test {
namespace {

constexpr const char* kWeekly = "03.012: weekly @ EXCL:3#RAND + TSD#NUMS:10#CMV:2#SF:1";
constexpr const char* kManual = "Ставка \"вручную\"";

class RatingsScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.SetDraws(&archive);
    registry.Fill();
  }
  int Run(const std::vector<std::string>& comments) { return RatingsToScript(comments, registry, scenario, host); }

  DrawArchive archive;
  TStatList registry;
  TempDir dir;
  RecordingHost host;
  Scenario scenario{Env::Real(), host, WorkingScenarioPath(dir.Path())};
};

TEST_F(RatingsScriptTest, ScenarioStakeCommentGivesItsVariantAsALine) {
  const std::string text = RatingScriptLineText(kWeekly);
  EXPECT_EQ(text, "EXCL:3#RAND|TSD#NUMS:10#CMV:2#SF:1| | | | | | |03.012: weekly");

  const ScenarioLine line = ParseLine(text, registry);
  EXPECT_EQ(line.options.listSource, uint8_t(ListSource::Exclude));
  EXPECT_EQ(line.options.excludeDraws, 3);
  EXPECT_EQ(line.options.stakeMode, uint8_t(StakeMode::Random));
  EXPECT_FALSE(line.options.clearStakes);
  EXPECT_FALSE(line.options.newOnly);
  const TFilterItem& f = line.filters[0];
  ASSERT_TRUE(f.defined);
  EXPECT_EQ(f.statCode, "NUMS");
  EXPECT_EQ(f.drawCounts, "10");
  EXPECT_EQ(f.sortColumn, 1);  // the description carries none
  EXPECT_FALSE(f.bottomUp || f.multiSelect || f.keepSelected);
  EXPECT_EQ(f.conditionMode, 13);  // CMV
  EXPECT_EQ(f.conditionValues, "2");
  EXPECT_EQ(f.stopMode, 0);
  EXPECT_EQ(f.stopValue, 1);
  for (int i = 1; i < kScenarioFilters; ++i) EXPECT_FALSE(line.filters[size_t(i)].defined) << i;
  EXPECT_EQ(line.comment, "03.012: weekly");
}

TEST_F(RatingsScriptTest, CommentWithoutAtSignIsAllDescription) {
  EXPECT_EQ(RatingScriptLineText("FULL#EXT + TMF#NUMS:5#LNO:#ST:3"), "FULL#EXT|TMF#NUMS:5#LNO:#ST:3| | | | | | |");
  // Only the first "@" splits; the comment of the line is trimmed.
  EXPECT_EQ(RatingScriptLineText("  a  @ CURR#ALL + TSD#NUMS:10#LNO:#SF:1 @ x"),
            "CURR#ALL|TSD#NUMS:10#LNO:#SF:1 @ x| | | | | | |a");
}

TEST_F(RatingsScriptTest, SevenFiltersNeedNoPaddingAndKeepTheCommentLast) {
  std::string comment = "01.001: full @ FULL#EXT";
  for (int i = 1; i <= kScenarioFilters; ++i) comment += " + TSD#NUMS:" + std::to_string(i) + "#LNO:#SF:1";
  const std::string text = RatingScriptLineText(comment);
  const ScenarioLine line = ParseLine(text, registry);
  for (int i = 0; i < kScenarioFilters; ++i) {
    ASSERT_TRUE(line.filters[size_t(i)].defined) << i;
    EXPECT_EQ(line.filters[size_t(i)].drawCounts, std::to_string(i + 1));
  }
  EXPECT_EQ(line.comment, "01.001: full");
  EXPECT_EQ(text.find("| "), std::string::npos);
}

TEST_F(RatingsScriptTest, OnlyLinesWithAFilterAreAccepted) {
  EXPECT_TRUE(ScriptLineHasFilter(RatingScriptLineText(kWeekly), registry));
  EXPECT_FALSE(ScriptLineHasFilter(RatingScriptLineText(kManual), registry));
  // A line without filters is described by its options alone.
  EXPECT_FALSE(ScriptLineHasFilter(RatingScriptLineText("02.000: @ FULL#RAND"), registry));
  EXPECT_FALSE(ScriptLineHasFilter(RatingScriptLineText(""), registry));
}

TEST_F(RatingsScriptTest, AddsConvertibleEntriesInOrderAndReportsTheOthers) {
  const std::string second = "04.002: @ FULL#LAST#NEX + BMF2#NUMS:20#LNO:#SF:1";
  EXPECT_EQ(Run({kWeekly, kManual, second}), 2);

  ASSERT_EQ(scenario.Count(), 2);
  EXPECT_EQ(scenario.Get(0), RatingScriptLineText(kWeekly));
  EXPECT_EQ(scenario.Get(1), RatingScriptLineText(second));
  const ScenarioLine line = ParseLine(scenario.Get(1), registry);
  EXPECT_TRUE(line.options.newOnly);
  EXPECT_TRUE(line.filters[0].bottomUp && line.filters[0].multiSelect && line.filters[0].keepSelected);
  EXPECT_EQ(line.comment, "04.002:");

  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], std::string("Строку\r\r") + kManual + "\r\rневозможно добавить в сценарий!");
  ASSERT_FALSE(host.statuses.empty());
  EXPECT_EQ(host.statuses.front(), "Генерация новых строк в сценарии...");
  EXPECT_EQ(host.CurrentStatus(), "");
  // The working file follows the scenario.
  EXPECT_EQ(ReadScenarioFile(Env::Real(), WorkingScenarioPath(dir.Path())), scenario.Lines());
}

TEST_F(RatingsScriptTest, NothingConvertibleLeavesTheScenarioAlone) {
  scenario.Add("FULL:0#EXT|TSD1#NUMS:10#LNO:#SF:1| | | | | | |");
  EXPECT_EQ(Run({kManual, "02.000: @ FULL#RAND"}), 0);
  EXPECT_EQ(scenario.Count(), 1);
  EXPECT_EQ(host.errors.size(), 2u);
}

}  // namespace
}  // namespace px::test
