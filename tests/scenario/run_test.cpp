#include "scenario/run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "combs/combination_set.h"
#include "core/archive.h"
#include "core/cp1251.h"
#include "core/text.h"
#include "stakes/ratings.h"
#include "stakes/stake_store.h"
#include "stakes/systems.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"
#include "support/number_sets.h"
#include "support/fault_env.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using test::Set;

using test::RecordingHost;

constexpr int kFull = 376992;

class Recorder final : public RunObserver {
 public:
  std::vector<RunStatus> statuses;
  std::vector<int> selected;
  std::vector<StakeRecord> stakes;
  std::vector<bool> running;
  std::vector<std::string> opened;
  std::function<void(const RunStatus&)> onStatus;
  void Status(const RunStatus& s) override {
    statuses.push_back(s);
    if (onStatus) onStatus(s);
  }
  void SelectLine(int i) override { selected.push_back(i); }
  void StakeAdded(const StakeRecord& r) override { stakes.push_back(r); }
  void RunningChanged(bool r) override { running.push_back(r); }
  void OpenLog(const std::string& path) override { opened.push_back(path); }
};

class ScenarioRunTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::FaultEnv env;
  RecordingHost host;
  DrawArchive archive;
  TStatList registry;
  CombinationSet combs{&host};
  std::unique_ptr<StakeStore> stakes;
  std::unique_ptr<Ratings> ratings;
  Recorder observer;
  RunSettings settings;
  int offset = 0;
  std::vector<int> offsets;  // every offset a test set

  void SetUp() override {
    std::mt19937 rnd(42);
    for (int n = 1; n <= 120; ++n) {
      std::vector<uint8_t> all(36);
      for (int i = 0; i < 36; ++i) all[size_t(i)] = uint8_t(i + 1);
      std::shuffle(all.begin(), all.end(), rnd);
      archive.Append(test::Draw(n, Combination{all[0], all[1], all[2], all[3], all[4]}));
    }
    registry.SetDraws(&archive);
    TConfigData& c = registry.Config().data;
    c.Cost = 10000;
    c.MaxStake = 8;
    c.Profits = {{2, 10000}, {3, 250000}, {4, 5000000}, {5, 1000000000}};
    registry.Fill();
    combs.Init(kFull);
    GenerateSet(combs, env, false, 0, "");
    stakes = std::make_unique<StakeStore>(env, host, dir.Path());
    ASSERT_TRUE(stakes->Load());
    ratings = std::make_unique<Ratings>(env, host, dir.Path());
    ASSERT_TRUE(ratings->Load());
  }

  std::unique_ptr<ScenarioRunner> Runner() {
    RunContext ctx{env, host, dir.Path(), archive, registry, combs, *stakes};
    ctx.ratings = ratings.get();
    ctx.observer = &observer;
    ctx.offset = [this] { return offset; };
    ctx.setOffset = [this](int o) {
      offset = o;
      offsets.push_back(o);
    };
    ctx.settings = settings;
    auto r = std::make_unique<ScenarioRunner>(std::move(ctx));
    r->Seed(1234);
    return r;
  }
  RunResult Forecast(const std::vector<std::string>& lines) { return Runner()->Forecast(lines); }
  RunResult Test(const std::vector<std::string>& lines, int n) { return Runner()->Test(lines, n); }

  std::vector<StakeRecord> Records() {
    std::vector<StakeRecord> out;
    for (int64_t i = 0; i < stakes->RecordCount(); ++i) out.push_back(stakes->ReadRecord(i));
    return out;
  }
  std::vector<StakeRecord> Stakes() {
    std::vector<StakeRecord> out;
    for (const StakeRecord& r : Records())
      if (!r.IsBlankRow()) out.push_back(r);
    return out;
  }
  std::vector<std::string> LogLines() {
    std::vector<std::string> out;
    for (const std::string& name : RunLogFiles(env, dir.Path())) {
      const std::string text = Cp1251ToUtf8(test::ReadBytes(dir.File(name)));
      size_t at = 0;
      while (at < text.size()) {
        size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        // "[yyyy-mm-dd hh:nn:ss]: " is 23 characters.
        out.push_back(line.size() >= 23 ? line.substr(23) : line);
        at = end + 2;
      }
    }
    return out;
  }
  int CountLog(const std::string& prefix) {
    int n = 0;
    for (const std::string& l : LogLines()) n += l.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }
  // The NUMS table at the current offset as the run sorts it.
  std::vector<int> NumsOrder(int length, int column = kColCount) {
    StatTableParams p;
    p.offset = offset;
    p.length = length;
    StatTable t = ComputeStatTable(registry, registry.FindByCode("NUMS"), p, nullptr, false);
    SortStatRows(t.rows, column, true);
    std::vector<int> order;
    for (const StatRow& r : t.rows) order.push_back(std::stoi(r.caption));
    return order;
  }
};

TEST_F(ScenarioRunTest, LineWithoutFiltersStakesTheStartListWithVariantZero) {
  const RunResult r = Forecast({"FULL:0#FIRST| | | | | | | |plain", "", "FULL:0#LAST#NEX| | | | | | | |"});
  EXPECT_FALSE(r.stopped);
  EXPECT_FALSE(r.failed);
  EXPECT_EQ(r.stakes, 2);
  const auto s = Stakes();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].comment, "01.000: plain @ FULL#FIRST");
  EXPECT_EQ(s[0].numbers, Set({1, 2, 3, 4, 5}));
  EXPECT_EQ(s[0].drawNumber, 121);
  EXPECT_EQ(s[0].sample, kFull);
  EXPECT_EQ(s[0].kind, uint8_t(StakeKind::Scenario));
  EXPECT_EQ(s[1].comment, "03.000: @ FULL#LAST#NEX");
  EXPECT_EQ(s[1].numbers, Set({32, 33, 34, 35, 36}));
  EXPECT_EQ(observer.selected, (std::vector<int>{0, -1, 2, -1}));
  EXPECT_EQ(observer.running, (std::vector<bool>{true, false}));
  EXPECT_EQ(observer.statuses.back().text, "Сценарий завершен!");
  EXPECT_EQ(observer.statuses.back().stakes, 2);
  EXPECT_EQ(observer.statuses.back().cycle, 0);
  // Draw 121 is not in the archive: nothing is checked yet.
  EXPECT_EQ(s[0].checked, 0);
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(ScenarioRunTest, StakeCommentsOfAReferenceScenario) {
  const std::string longComment =
      "Очень длинный комментарий строки сценария, который вместе с описанием фильтров заведомо не помещается в "
      "отведённые под комментарий ставки двести пятьдесят пять символов, даже без описания фильтров";
  const std::vector<std::string> lines = {
      "EXCL:3#FIRST|TSD1#NUMS:10#CMV:2#SF:1| | | | | | |weekly",
      "FULL:0#LAST#CLR#NEX|BMF1#NUMS:20,30#LNO:#ST:2#1.5:-1:0:1:0| | | | | | |",
      "CURR:0#FIRST|TSD2#EVEN:15#CDV:1-5;2#SF:1|TMD1#NUMS:50#LVA:1,2,3#ST:4| | | | | |" + longComment,
  };
  const RunResult r = Forecast(lines);
  ASSERT_FALSE(r.failed) << r.error;
  std::vector<std::string> comments;
  for (const StakeRecord& s : Stakes()) comments.push_back(s.comment);
  const std::string third =
      "03.001: " + longComment + " @ CURR#FIRST + TSD#EVEN:15#CDV:1-5;2#SF:1 + TMD#NUMS:50#LVA:1,2,3#ST:4";
  // CLR empties the file as each variant of line 2 builds its start list.
  EXPECT_EQ(comments, (std::vector<std::string>{
                          "02.002: @ FULL#LAST#NEX + BMF#NUMS:30#LNO:#ST:2#1.5:-1:0:1:0",
                          // Hand-checked: 255 letters end inside the second filter.
                          "03.001: " + longComment + " @ CURR#FIRST + TSD#EVEN:15#CDV:1-5;2#SF:1 + TMD#NU",
                      }));
  // The cut keeps exactly 255 letters.
  ASSERT_EQ(comments.size(), 2u);
  EXPECT_GT(third.size(), comments[1].size());
  EXPECT_EQ(Utf8ToCp1251(comments[1]).size(), 255u);
  EXPECT_EQ(Utf8ToCp1251(third).substr(0, 255), Utf8ToCp1251(comments[1]));
  EXPECT_EQ(observer.stakes.size(), 4u);  // line 1's stake was made and then cleared
  EXPECT_EQ(observer.stakes[0].comment, "01.001: weekly @ EXCL:3#FIRST + TSD#NUMS:10#CMV:2#SF:1");
  // The weights of line 2 were the run's only: the configuration is as before.
  EXPECT_EQ(registry.Config().data.Count, 0);
  EXPECT_EQ(registry.Config().data.Deviation, -1);
  EXPECT_EQ(registry.Config().data.Level, 1);
}

TEST_F(ScenarioRunTest, StopModeStakesASingleCombinationAndStopsOnMore) {
  // Keeping five numbers one after another leaves exactly their combination.
  const RunResult r = Forecast({"FULL:0#STOP|TSF1#NUMS:100#LVA:1-5;1#SF:1| | | | | | |one", "FULL:0#FIRST| | | | | | | |"});
  EXPECT_FALSE(r.stopped);
  ASSERT_EQ(Stakes().size(), 2u);
  EXPECT_EQ(Stakes()[0].numbers, Set({1, 2, 3, 4, 5}));
  EXPECT_EQ(Stakes()[0].sample, 1);
  EXPECT_TRUE(host.warnings.empty());

  stakes->Clear();
  const RunResult stopped = Forecast({"FULL:0#STOP|TSF1#NUMS:100#LVA:1-3;1#SF:1| | | | | | |many", "FULL:0#FIRST| | | | | | | |"});
  EXPECT_TRUE(stopped.stopped);
  EXPECT_FALSE(stopped.failed);
  EXPECT_TRUE(Stakes().empty());
  ASSERT_EQ(host.warnings.size(), 1u);
  EXPECT_EQ(host.warnings[0],
            "Выполнение сценария прервано, т.к. после применения всех фильтров в списке комбинаций их осталось более "
            "одной: 528!\r\rФильтры: 01.001: many @ FULL#STOP + TSF#NUMS:100#LVA:1-3;1#SF:1");

  // SKIP never stakes, NONE neither, and the run goes on.
  stakes->Clear();
  EXPECT_FALSE(Forecast({"FULL:0#SKIP|TSF1#NUMS:100#LVA:1-5;1#SF:1| | | | | | |", "FULL:0#NONE| | | | | | | |",
                         "FULL:0#FIRST| | | | | | | |"})
                   .stopped);
  ASSERT_EQ(Stakes().size(), 1u);
  EXPECT_EQ(Stakes()[0].comment, "03.000: @ FULL#FIRST");
}

TEST_F(ScenarioRunTest, CurrentSourceContinuesFromThePreviousVariant) {
  settings.scriptLogEnabled = true;
  const std::vector<int> order10 = NumsOrder(10);
  const std::vector<int> order100 = NumsOrder(100);
  ASSERT_NE(order10[0], order100[0]) << "the fixture needs different leaders";
  // Each variant removes the leading number of its window.
  Forecast({"CURR:0#NONE|TSD1#NUMS:10,100#LNO:#ST:1| | | | | | |"});
  // C(35,5) after the first, C(34,5) after the second.
  EXPECT_EQ(combs.Count(), 278256);
  const auto log = LogLines();
  std::vector<std::string> counts;
  for (const std::string& l : log)
    if (l.rfind("Количество комбинаций в списке:", 0) == 0) counts.push_back(l);
  EXPECT_EQ(counts, (std::vector<std::string>{
                        "Количество комбинаций в списке: 376992", "Количество комбинаций в списке: 324632",
                        "Количество комбинаций в списке: 324632", "Количество комбинаций в списке: 278256"}));
  // FULL starts each variant afresh.
  Forecast({"FULL:0#NONE|TSD1#NUMS:10,100#LNO:#ST:1| | | | | | |"});
  EXPECT_EQ(combs.Count(), 324632);
  EXPECT_EQ(observer.opened.size(), 2u);
}

TEST_F(ScenarioRunTest, MultipleSelectionTakesTheRowsWalkedBeforeTheStep) {
  const std::vector<int> order = NumsOrder(100);
  // ST = 3: the first three rows walked, all of them satisfying LNO.
  Forecast({"FULL:0#NONE|TMD1#NUMS:100#LNO:#ST:3| | | | | | |"});
  EXPECT_EQ(combs.Count(), 237336);  // C(33,5)
  for (int i = 0; i < combs.Count(); ++i)
    for (uint8_t n : combs.Working()[i]) ASSERT_TRUE(n != order[0] && n != order[1] && n != order[2]);
  // Only rows 2 and 5 satisfy the list; row 5 lies beyond the three walked.
  Forecast({Fmt("FULL:0#NONE|TMD1#NUMS:100#LVA:%d,%d#ST:3| | | | | | |", order[1], order[4])});
  EXPECT_EQ(combs.Count(), 324632);  // only order[1] removed
  // Bottom-up walks from the last row.
  Forecast({"FULL:0#NONE|BMF1#NUMS:100#LNO:#ST:1| | | | | | |"});
  EXPECT_EQ(combs.Count(), 52360);  // C(35,4): kept the last row's number
  for (int i = 0; i < combs.Count(); ++i) ASSERT_TRUE(Contains(order.back(), combs.Working()[i]));
  // Removing every value empties the set, which is undone.
  Forecast({"FULL:0#NONE|TMD1#NUMS:100#LNO:#SF:1| | | | | | |"});
  EXPECT_EQ(combs.Count(), kFull);
  ASSERT_FALSE(combs.Log().empty());
  EXPECT_EQ(combs.Log().back().kind, LogKind::Undo);
}

TEST_F(ScenarioRunTest, SingleSelectionUndoesAnEmptyingStepWithoutCountingIt) {
  settings.scriptLogEnabled = true;
  const std::vector<int> order = NumsOrder(100);
  // Five keeps leave one combination; each later keep would empty the set.
  // ST = 6 is never reached because undone steps do not count.
  Forecast({"FULL:0#FIRST|TSF1#NUMS:100#LNO:#ST:6| | | | | | |"});
  ASSERT_EQ(Stakes().size(), 1u);
  std::vector<int> top(order.begin(), order.begin() + 5);
  std::sort(top.begin(), top.end());
  EXPECT_EQ(Stakes()[0].numbers, Set({top[0], top[1], top[2], top[3], top[4]}));
  EXPECT_EQ(CountLog("{UNDO} Откат изменений..."), 31);
  EXPECT_EQ(CountLog("Шаг 006. Выделение строки:"), 31);
  EXPECT_EQ(CountLog("Шаг 007."), 0);
  EXPECT_EQ(CountLog("Оставляем выделенные значения..."), 36);

  // SZ ends the walk at the first emptying step.
  for (const std::string& name : RunLogFiles(env, dir.Path())) env.Remove(dir.File(name));
  Forecast({"FULL:0#NONE|TSF1#NUMS:100#LNO:#SZ:1| | | | | | |"});
  EXPECT_EQ(CountLog("{UNDO} Откат изменений..."), 1);
  EXPECT_EQ(CountLog("Шаг 006. Выделение строки:"), 1);
  EXPECT_EQ(combs.Count(), 1);
  EXPECT_EQ(combs.Log().back().caption, "Отмена последней операции");
}

TEST_F(ScenarioRunTest, TestRunsOffsetsDownToOneAndRestoresTheOffset) {
  offset = 7;
  const RunResult r = Test({"FULL:0#FIRST| | | | | | | |a", "FULL:0#LAST| | | | | | | |b"}, 5);
  EXPECT_FALSE(r.stopped);
  EXPECT_EQ(r.cycles, 5);
  EXPECT_EQ(offsets, (std::vector<int>{5, 4, 3, 2, 1, 7}));
  EXPECT_EQ(offset, 7);
  const auto all = Records();
  // A separator before each pass but the first.
  ASSERT_EQ(all.size(), 14u);
  std::vector<int32_t> draws;
  for (const StakeRecord& s : Stakes()) draws.push_back(s.drawNumber);
  EXPECT_EQ(draws, (std::vector<int32_t>{116, 116, 117, 117, 118, 118, 119, 119, 120, 120}));
  EXPECT_TRUE(all[2].IsBlankRow());
  // Stakes on known draws are checked at once and reach the ratings.
  for (const StakeRecord& s : Stakes()) {
    EXPECT_EQ(s.checked, 1);
    EXPECT_EQ(s.drawNumbers, archive.At(s.drawNumber - 1).numbers);
  }
  ASSERT_NE(ratings->Find("01.000: a @ FULL#FIRST"), nullptr);
  EXPECT_EQ(ratings->Find("01.000: a @ FULL#FIRST")->stakes, 5);
  EXPECT_TRUE(env.Exists(RatingsPath(dir.Path())));

  // Stopped in the third cycle: the offset stays where the test was.
  stakes->Clear();
  offsets.clear();
  offset = 7;
  observer.onStatus = [&](const RunStatus& s) {
    if (s.cycle == 3) host.stopRequested = true;
  };
  const RunResult stopped = Test({"FULL:0#FIRST| | | | | | | |a"}, 5);
  host.stopRequested = false;
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(offsets, (std::vector<int>{5, 4}));
  EXPECT_EQ(offset, 4);
  EXPECT_EQ(Stakes().size(), 2u);
}

TEST_F(ScenarioRunTest, NewOnlyAddsNothingTheSecondTime) {
  const std::vector<std::string> lines = {"FULL:0#FIRST#NEX|TSD1#NUMS:30#LVA:1,2#SF:1| | | | | | |",
                                          "FULL:0#RAND#NEX| | | | | | | |"};
  settings.scriptLogEnabled = true;
  EXPECT_EQ(Forecast(lines).stakes, 2);
  const size_t before = Stakes().size();
  // The same seed picks the same random combination again.
  EXPECT_EQ(Forecast(lines).stakes, 0);
  EXPECT_EQ(Stakes().size(), before);
  EXPECT_EQ(CountLog("{-} Ставка на тираж 121 не добавлена, так как уже имеется в списке ставок: ["), 2);
  // Without NEX the stakes come again.
  EXPECT_EQ(Forecast({"FULL:0#FIRST| | | | | | | |"}).stakes, 1);
  EXPECT_EQ(Forecast({"FULL:0#FIRST| | | | | | | |"}).stakes, 1);
}

TEST_F(ScenarioRunTest, ExtendedRandomAndAllStakes) {
  // The extended stake keeps MaxStake numbers in their order of first appearance.
  Forecast({"FULL:0#EXT|TSF1#NUMS:100#LVA:7#SF:1| | | | | | |"});
  ASSERT_EQ(Stakes().size(), 1u);
  const StakeRecord ext = Stakes()[0];
  EXPECT_EQ(ext.numbers.count, 8);
  // Survivors keep the collected order 1 2 3 4 7 5 6 8 ... (not sorted).
  const std::vector<int> collected = DistinctInOrder(combs.Working().Data(), size_t(combs.Count()));
  ASSERT_EQ(collected.size(), 36u);
  EXPECT_EQ(collected[4], 7);
  size_t at = 0;
  for (int i = 0; i < 8; ++i) {
    while (at < collected.size() && collected[at] != ext.numbers.values[size_t(i)]) ++at;
    ASSERT_LT(at, collected.size()) << "stake number " << int(ext.numbers.values[size_t(i)]) << " out of order";
    ++at;
  }
  EXPECT_EQ(ext.profit, -Binomial(8, 5) * 10000);
  EXPECT_EQ(ext.sample, 52360);

  // One limit for the extended stake and the SE stop rule: MaxStake within 6..12.
  TConfigData limits;
  for (auto [stored, limit] : {std::pair{5, 6}, {9, 9}, {40, 12}}) {
    limits.MaxStake = stored;
    EXPECT_EQ(limits.LargestExtendedStake(), limit);
  }
  stakes->Clear();
  registry.Config().data.MaxStake = 5;
  Forecast({"FULL:0#EXT|TSF1#NUMS:100#LVA:7#SF:1| | | | | | |"});
  registry.Config().data.MaxStake = 8;
  ASSERT_EQ(Stakes().size(), 1u);
  EXPECT_EQ(Stakes()[0].numbers.count, 6);

  // RAND from one seed twice gives the same stake; another seed another one.
  stakes->Clear();
  Forecast({"FULL:0#RAND| | | | | | | |"});
  Forecast({"FULL:0#RAND| | | | | | | |"});
  auto s = Stakes();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].numbers, s[1].numbers);

  // ALL stakes every combination left.
  stakes->Clear();
  Forecast({"FULL:0#ALL|TSF1#NUMS:100#LVA:1-4;1#SF:1| | | | | | |"});
  s = Stakes();
  ASSERT_EQ(s.size(), 32u);  // 1 2 3 4 with any fifth number
  for (size_t i = 0; i < s.size(); ++i) EXPECT_EQ(s[i].numbers, Set({1, 2, 3, 4, int(5 + i)}));
  EXPECT_EQ(observer.statuses.back().stakes, 32);
}

TEST_F(ScenarioRunTest, ARunThatFillsTheDiskStopsAtTheFirstFailedAppend) {
  ASSERT_TRUE(stakes->Append(MakeStake(StakeKind::Manual, 500, Set({1, 2, 3, 4, 5}), 0, "Вручную", registry.Config().data), 1));
  const std::string before = test::ReadBytes(stakes->Path());
  // Room for the separator and ten stakes, and part of the eleventh.
  env.only = stakes->Path();
  env.diskFree = long(11 * kStakeRecordSize + 100);
  const RunResult r = Forecast({"FULL:0#ALL|TSF1#NUMS:100#LVA:1-4;1#SF:1| | | | | | |"});
  EXPECT_TRUE(r.failed);
  EXPECT_TRUE(r.stopped);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "Ошибка добавления записи в файл ставок!\r\rНедостаточно места на диске");
  EXPECT_EQ(r.error, "Ошибка добавления записи в файл ставок!");
  // What was there before is intact; no torn record follows the ten made.
  const std::string after = test::ReadBytes(stakes->Path());
  ASSERT_EQ(after.size(), before.size() + 11 * kStakeRecordSize);
  EXPECT_EQ(after.substr(0, before.size()), before);
  const auto s = Stakes();
  ASSERT_EQ(s.size(), 11u);
  for (size_t i = 1; i < s.size(); ++i) EXPECT_EQ(s[i].numbers, Set({1, 2, 3, 4, int(4 + i)}));
  EXPECT_EQ(observer.stakes.size(), 10u);
}

TEST_F(ScenarioRunTest, SystemsThatDoNotExistFailQuietlyAndTheRunGoesOn) {
  settings.scriptLogEnabled = true;
  const RunResult r =
      Forecast({"FULL:0#SYSA|TSF1#NUMS:100#LVA:1-3;1#SF:1| | | | | | |", "FULL:0#FIRST| | | | | | | |"});
  EXPECT_FALSE(r.stopped);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind(SystemNotFoundText(36), 0), 0u);
  EXPECT_EQ(CountLog("{#} Системная игра для 36 чисел [ОШИБКА]: \"Система для 36 чисел не найдена или не загружена "
                     "на компьютер!\""),
            1);
  ASSERT_EQ(Stakes().size(), 1u);
  EXPECT_EQ(Stakes()[0].comment, "02.000: @ FULL#FIRST");

  // A store that has the system: SYSC stakes only what the list holds.
  class OneSystem final : public SystemSource {
   public:
    SystemLoad LoadSystemFor(const std::vector<int>& numbers) override {
      SystemLoad l;
      l.ok = true;
      l.text = "/systems/36-5.txt";
      auto at = [&](int p) { return uint8_t(numbers[size_t(p - 1)]); };
      l.combinations = {{at(5), at(4), at(3), at(2), at(1)}, {at(4), at(5), at(6), at(7), at(8)}};
      return l;
    }
  } system;
  stakes->Clear();
  auto runner = Runner();
  RunContext ctx{env, host, dir.Path(), archive, registry, combs, *stakes};
  ctx.systems = &system;
  ctx.offset = [this] { return offset; };
  ctx.setOffset = [](int) {};
  ctx.settings.scriptLogEnabled = true;
  ScenarioRunner withSystem(std::move(ctx));
  withSystem.Forecast({"FULL:0#SYSC|TSF1#NUMS:100#LVA:1-3;1#SF:1| | | | | | |"});
  // The list keeps 1 2 3: the first system combination (sorted) is in it, the second is not.
  ASSERT_EQ(Stakes().size(), 1u);
  EXPECT_EQ(Stakes()[0].numbers, Set({1, 2, 3, 4, 5}));
  EXPECT_EQ(CountLog("{#} Системная игра для 36 чисел [система * комбинации]: загружен файл \"36-5\""), 1);
}

TEST_F(ScenarioRunTest, FailuresStopTheRunAndKeepWhatWasMade) {
  const RunResult r = Forecast({"FULL:0#FIRST| | | | | | | |", "FULL:0#FIRST|TSD1#ZORK:10#LNO:#SF:1| | | | | | |",
                                "FULL:0#LAST| | | | | | | |"});
  EXPECT_TRUE(r.failed);
  EXPECT_TRUE(r.stopped);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], r.error);
  EXPECT_EQ(r.error.rfind("Метод расчета статистики \"ZORK\" на найден!", 0), 0u);
  EXPECT_EQ(Stakes().size(), 1u);

  // A descriptor without windows names itself.
  host.errors.clear();
  const RunResult bad = Forecast({"FULL:0#FIRST|TSD1#NUMS:#LNO:#SF:1| | | | | | |"});
  EXPECT_EQ(bad.error, "Некорректное описание фильтра: TSD1#NUMS:#LNO:#SF:1!");

  // Too many variants: the memory message, and no stakes.
  host.errors.clear();
  const RunResult huge = Forecast(
      {"FULL:0#FIRST|TSD1#NUMS:1-1000;1#LNO:#SF:1|TSD1#NUMS:1-1000;1#LNO:#SF:1|TSD1#NUMS:1-1000;1#LNO:#SF:1| | | | |"});
  EXPECT_TRUE(huge.stopped);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Вы задали слишком много вариантов фильтров - программа не сможет обработать их "
                                 "все!\rПожалуйста, уменьшите",
                                 0),
            0u);
  EXPECT_EQ(Stakes().size(), 1u);

  // A list condition on a text that is no number ends the run.
  host.errors.clear();
  const RunResult conversion = Forecast({"FULL:0#FIRST|TSD1#NUMS:30#DDV:1,2#SF:1| | | | | | |"});
  EXPECT_TRUE(conversion.failed);
  EXPECT_EQ(conversion.error, "\"-\" не является целым числом!");
}

TEST_F(ScenarioRunTest, LogHoldsTheRunInItsOwnWords) {
  settings.scriptLogEnabled = true;
  Forecast({"EXCL:2#FIRST|TSD1#NUMS:10#LVA:5#SF:1| | | | | | |c"});
  const auto log = LogLines();
  ASSERT_GE(log.size(), 20u);
  EXPECT_EQ(log[0], "### ЗАПУСК СЦЕНАРИЯ ##########################################################################");
  EXPECT_EQ(log[2], "=== Выполнение сценария для смещения 000000 ==================================================");
  EXPECT_EQ(log[5], "Выполнение строки 001: \"EXCL:2#FIRST|TSD1#NUMS:10#LVA:5#SF:1| | | | | | |c\"");
  EXPECT_EQ(log[7], "Создание всех вариантов фильтров...");
  EXPECT_EQ(log[8], "Создано 1 вариантов фильтров.");
  EXPECT_EQ(log[9], "");
  EXPECT_EQ(log[11], "Применение набора фильтров 001: \"TSD#NUMS:10#LVA:5#SF:1\"");
  EXPECT_EQ(log[13], "Создание начального списка комбинаций...");
  EXPECT_EQ(log[15].rfind("Анализ тиражей и расчет статистики \"", 0), 0u);
  EXPECT_NE(log[15].find("\" для выборки в 10 тиражей..."), std::string::npos);
  EXPECT_EQ(log.back(), "### ЗАВЕРШЕНИЕ СЦЕНАРИЯ ######################################################################");
  EXPECT_EQ(CountLog("< ["), int(NumsOrder(10).size()));
  EXPECT_EQ(CountLog("{+} Ставка на тираж 121 добавлена в список ставок: ["), 1);
  EXPECT_EQ(CountLog("{*} Добавление ставки, режим: \"Выбрать первую комбинацию в списке\""), 1);
  ASSERT_EQ(observer.opened.size(), 1u);
  EXPECT_EQ(observer.opened[0].find(dir.Path() + "/ScriptLog_"), 0u);

  // A log that cannot be written shows the error and the run goes on.
  env.failAppend = true;
  const RunResult r = Forecast({"FULL:0#FIRST| | | | | | | |"});
  env.failAppend = false;
  EXPECT_FALSE(r.stopped);
  EXPECT_FALSE(host.errors.empty());
  EXPECT_EQ(host.errors[0].rfind("Ошибка записи журнала: ", 0), 0u);

  // Without the setting no log at all.
  for (const std::string& name : RunLogFiles(env, dir.Path())) env.Remove(dir.File(name));
  settings.scriptLogEnabled = false;
  Forecast({"FULL:0#FIRST| | | | | | | |"});
  EXPECT_TRUE(RunLogFiles(env, dir.Path()).empty());
  EXPECT_EQ(DeleteRunLogs(env, dir.Path()).text, "Файлы журналов не найдены!");
}

TEST_F(ScenarioRunTest, ExcludedDrawsAreComputedOncePerOffset) {
  settings.scriptLogEnabled = true;
  // Three variants of a line over EXCL:5: the exclusion is done once.
  Forecast({"EXCL:5#NONE|TSD1#NUMS:10,20,30#LVA:36#SF:1| | | | | | |"});
  EXPECT_EQ(CountLog("Количество комбинаций в списке: 376987"), 3);
  EXPECT_EQ(combs.CacheOffsetKey(), -1);  // invalidated at the end of the pass
  // The start list really misses the last five draws before the offset.
  offset = 10;
  Forecast({"EXCL:5#NONE| | | | | | | |"});
  for (int i = 0; i < combs.Count(); ++i)
    for (int p = 10; p < 15; ++p) ASSERT_NE(Sorted(combs.Working()[i]), Sorted(archive.AtPosition(p).numbers));
  EXPECT_EQ(combs.Count(), kFull - 5);
}

TEST_F(ScenarioRunTest, ChecksAfterAllLinesWhenNotPerLine) {
  settings.stakesCheckOnLine = false;
  offset = 3;
  Forecast({"FULL:0#FIRST| | | | | | | |", "FULL:0#LAST| | | | | | | |"});
  for (const StakeRecord& s : Stakes()) EXPECT_EQ(s.checked, 1);
  EXPECT_EQ(Stakes().size(), 2u);
  EXPECT_EQ(Stakes()[0].drawNumber, 118);
}

}  // namespace
}  // namespace px

namespace px {
namespace {

// Variants that share their first filters, emptying steps and their undo,
// a line continuing the previous list, and the stop modes: a test with the
// steps reused makes the same stakes, the same log and leaves the same list
// as one that does every step.
TEST_F(ScenarioRunTest, ReusedFilterStepsChangeNothingButTheTime) {
  settings.scriptLogEnabled = true;
  const std::vector<std::string> lines = {
      "FULL:0#EXT|TSD1#NUMS:20-40;10#LNO:#ST:3|TSD1#EVEN:30#CMV:1-3;1#ST:2| | | | | |a",
      "CURR:0#FIRST|TSD2#EVEN:15#CDV:1-5;2#SF:1|TMD1#NUMS:50#LVA:1,2,3#ST:4| | | | | |b",
      "EXCL:3#LAST|TSF1#NUMS:100#LNO:#ST:6|TSD1#EVEN:10,20#LNO:#SF:1| | | | | |c",
  };
  auto run = [&](bool reuse, std::vector<StakeRecord>& made, std::vector<std::string>& log,
                 std::vector<LogRow>& steps, std::vector<Combination>& list) {
    stakes->Clear();
    for (const std::string& name : RunLogFiles(env, dir.Path())) env.Remove(dir.File(name));
    auto runner = Runner();
    runner->SetStepReuse(reuse);
    const RunResult r = runner->Test(lines, 4);
    EXPECT_FALSE(r.failed) << r.error;
    made = Stakes();
    log = LogLines();
    steps = combs.Log();
    list = combs.ToVector();
    return runner->StepsReused();
  };
  std::vector<StakeRecord> made1, made2;
  std::vector<std::string> log1, log2;
  std::vector<LogRow> steps1, steps2;
  std::vector<Combination> list1, list2;
  EXPECT_EQ(run(false, made1, log1, steps1, list1), 0);
  EXPECT_GT(run(true, made2, log2, steps2, list2), 20);
  EXPECT_GT(made1.size(), 20u);
  ASSERT_EQ(made1.size(), made2.size());
  for (size_t i = 0; i < made1.size(); ++i) {
    EXPECT_EQ(made1[i].numbers, made2[i].numbers) << i;
    EXPECT_EQ(made1[i].comment, made2[i].comment) << i;
  }
  EXPECT_GT(CountLog("{UNDO} Откат изменений..."), 0);
  // The log's first and last lines carry the time; the rest is the run.
  ASSERT_EQ(log1.size(), log2.size());
  EXPECT_EQ(std::vector<std::string>(log1.begin() + 1, log1.end() - 1),
            std::vector<std::string>(log2.begin() + 1, log2.end() - 1));
  EXPECT_EQ(steps1, steps2);
  EXPECT_EQ(list1, list2);
}

}  // namespace
}  // namespace px
