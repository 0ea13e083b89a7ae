#include <gtest/gtest.h>

#include <filesystem>

#include "core/env.h"
#include "core/ini.h"
#include "frame/frame.h"
#include "core/form_settings.h"
#include "stats/prefetch.h"
#include "core/archive.h"
#include "stakes/stake_store.h"
#include "stakes/ratings.h"
#include "support/draws.h"
#include "support/number_sets.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px {
namespace {

class FrameTest : public ::testing::Test {
 protected:
  std::unique_ptr<TFormMain> Start(std::vector<std::string> args = {}) {
    auto f = std::make_unique<TFormMain>(host, Env::Real(), dir.Path(), dir.File("Pentalux5_5v36"), std::move(args));
    EXPECT_EQ(f->FormCreate(), TTemplateMain::Start::Continue);
    return f;
  }
  test::TempDir dir;
  test::RecordingHost host;
};

TEST_F(FrameTest, FirstStartGivesDefaultsAndMarksPrefetchInit) {
  auto f = Start();
  EXPECT_TRUE(f->Settings() == [] {
    MainSettings s;
    s.PrefetchsInit = true;
    return s;
  }());
  IniFile frm = IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm"));
  EXPECT_EQ(frm.ReadString("TFormMain", "PrefetchsInit", ""), "1");
  EXPECT_EQ(frm.ReadString("TFormMain", "PrefetchsEnabled", ""), "0");
  EXPECT_EQ(f->Initialise(), TTemplateMain::Start::Continue);
  EXPECT_TRUE(host.errors.empty()) << host.errors[0];
  EXPECT_EQ(f->Combs().Count(), kCapacity);
  EXPECT_EQ(host.panel[0], "Архив тиражей: 0");
  EXPECT_EQ(host.panel[1], "Следующий тираж: 1");
  EXPECT_EQ(host.panel[3], "Комбинаций: 376992");
  EXPECT_EQ(f->Caption(), "Анализ статистики лотереи \"Vantora 5\" версия 1.0.0");
  EXPECT_EQ(f->MatchProbabilityTable()[2].count, 10u * 4495u);
  EXPECT_FALSE(host.busyCursor);
  EXPECT_TRUE(f->IsIdle());
  ASSERT_NE(f->RatingsStore(), nullptr);
  ASSERT_NE(f->ScenarioStore(), nullptr);
  EXPECT_TRUE(f->ScenarioStore()->Empty());

  f->Settings().DrawsStatLen = 321;
  f->FormDestroy();
  auto g = Start();
  EXPECT_EQ(g->Settings().DrawsStatLen, 321);
}

TEST_F(FrameTest, LastKnownIndexIsTheReferenceDrawOrTheOldest) {
  auto f = Start();
  EXPECT_EQ(f->LastKnownIndex(), 0);  // no draw yet, and the offset not set
  f->Initialise();
  for (int n = 1; n <= 3; ++n) {
    DrawRecord d = f->NewDrawTemplate();
    d.numbers = {uint8_t(n), 10, 20, 30, 36};
    f->DrawsAdd(d);
  }
  EXPECT_EQ(f->LastKnownIndex(), 2);
  f->SetDrawsOffset(2);
  EXPECT_EQ(f->LastKnownIndex(), 0);
  f->SetDrawsOffset(1);
  EXPECT_EQ(f->LastKnownIndex(), 1);
  f->SetDrawsOffset(5);
  EXPECT_EQ(f->LastKnownIndex(), 0);
  f->SetDrawsOffset(-1);
  EXPECT_EQ(f->LastKnownIndex(), 2);
}

TEST_F(FrameTest, AStartRebuildsARatingWhoseSaveFailedEarlier) {
  // Checked stakes the rating never got, and the mark the check left.
  {
    StakeStore store(Env::Real(), host, dir.Path());
    ASSERT_TRUE(store.Load());
    TConfigData config;
    config.Cost = 10000;
    for (const char* comment : {"A", "A", "B"}) {
      StakeRecord r = MakeStake(StakeKind::Manual, 1, NumberSet{5, {1, 2, 3, 4, 5}}, 0, comment, config);
      ASSERT_TRUE(store.Append(r, 1));
    }
    DrawArchive archive;
    archive.Append(test::Draw(1, {1, 2, 3, 7, 8}));
    ASSERT_EQ(store.CheckAll(archive, config, nullptr), 3);
  }
  test::WriteBytes(RatingsPendingPath(dir.Path()), "");
  auto f = Start();
  f->Initialise();
  ASSERT_NE(f->RatingsStore(), nullptr);
  ASSERT_NE(f->RatingsStore()->Find("A"), nullptr);
  EXPECT_EQ(f->RatingsStore()->Find("A")->stakes, 2);
  EXPECT_EQ(f->RatingsStore()->Find("B")->stakes, 1);
  EXPECT_FALSE(Env::Real().Exists(RatingsPendingPath(dir.Path())));
  Ratings saved(Env::Real(), host, dir.Path());
  ASSERT_TRUE(saved.Read());
  EXPECT_EQ(saved.Count(), 2u);
}

TEST_F(FrameTest, DrawsCommandsKeepListPanelsAndFileInStep) {
  auto f = Start();
  f->Initialise();
  DrawRecord d = f->NewDrawTemplate();
  EXPECT_EQ(d.number, 1);
  d.numbers = {1, 2, 3, 4, 5};
  d.SetDate("01/04/1995");
  f->DrawsAdd(d);
  d.number = 2;
  d.numbers = {6, 7, 8, 9, 10};
  f->DrawsAdd(d);
  EXPECT_EQ(host.panel[0], "Архив тиражей: 2");
  EXPECT_EQ(host.panel[1], "Следующий тираж: 3");
  DrawArchive onDisk;
  onDisk.Load(Env::Real(), f->ArchiveFile());
  EXPECT_EQ(onDisk.Records(), f->Archive().Records());

  f->SetDrawsOffset(1);
  EXPECT_EQ(host.panel[1], "Следующий тираж: 2");
  EXPECT_EQ(host.panel[2], "6;7;8;9;10");
  f->SetDrawsOffset(0);
  EXPECT_EQ(host.panel[2], "");

  d.numbers = {11, 12, 13, 14, 15};
  f->DrawsEdit(1, d);
  onDisk.Load(Env::Real(), f->ArchiveFile());
  EXPECT_EQ(onDisk.At(1).numbers, (Combination{11, 12, 13, 14, 15}));

  // A missing number stops the delete; what went before is gone from the file too.
  EXPECT_FALSE(f->Guard([&] { f->DrawsDelete({1, 77}); }));
  EXPECT_EQ(host.errors.back(), "Запись со индексом -1 в файле данных не найдена!");
  onDisk.Load(Env::Real(), f->ArchiveFile());
  EXPECT_EQ(onDisk.Count(), 1);
  EXPECT_EQ(host.panel[0], "Архив тиражей: 1");
}

TEST_F(FrameTest, CombinationCommands) {
  auto f = Start();
  f->Initialise();
  f->CombsGenerate(1, "7", false);
  EXPECT_EQ(host.panel[3], "Комбинаций: 52360");
  f->CombsDeleteRows({0, 1, 2});
  EXPECT_EQ(f->Combs().Count(), 52357);
  f->CombsUndo();
  EXPECT_EQ(f->Combs().Count(), 52360);
  EXPECT_FALSE(f->Combs().CanUndo());

  const std::string text = f->CombsCopy({0, 5});
  f->CombsPaste(text);
  EXPECT_EQ(f->Combs().Count(), 2);
  EXPECT_EQ(f->CombsCopy({0, 1}), text);

  f->CombsGenerate(2, "1;2;3;4;5;6", true);
  EXPECT_EQ(f->Combs().Count(), 6);
  GameConfig saved;
  LoadGameConfig(Env::Real(), f->ConfigFile(), saved);
  EXPECT_EQ(saved.CombsGenerateMode, 2);
  f->CombsSave(dir.File("six.lcv"));
  f->CombsGenerate(0, "", false);
  f->CombsOpen(dir.File("six.lcv"));
  EXPECT_EQ(f->Combs().Count(), 6);
  // Damaged lines are skipped and counted; a file with none valid keeps the list.
  test::WriteBytes(dir.File("damaged.lcv"), "40;41;42;43;44\r\n7;7;8;9;10\r\n");
  f->CombsOpen(dir.File("damaged.lcv"));
  EXPECT_EQ(f->Combs().Count(), 6);
  ASSERT_FALSE(host.warnings.empty());
  EXPECT_EQ(host.warnings.back(), "Пропущено строк, которые не являются комбинациями: 2");
  f->CombsPaste("0 0 0 0 0\r\n01 02 03 04 05\r\n");
  EXPECT_EQ(f->Combs().Count(), 1);
  EXPECT_EQ(host.warnings.back(), "Пропущено строк, которые не являются комбинациями: 1");
  f->CombsOpen(dir.File("six.lcv"));
  EXPECT_EQ(f->Combs().Count(), 6);
  f->CombsOpen(dir.File("missing.lcv"));  // the list stays as it was
  EXPECT_EQ(f->Combs().Count(), 6);
  EXPECT_EQ(host.errors.back().rfind("Ошибка чтения файла", 0), 0u);
}

TEST_F(FrameTest, ScenarioRunsNeedLinesDrawsAndAnIdleFrame) {
  auto f = Start();
  f->Initialise();
  EXPECT_FALSE(f->CanRunScenario());  // no lines, no draws
  for (int n = 1; n <= 30; ++n) {
    DrawRecord d = f->NewDrawTemplate();
    d.numbers = {uint8_t(n % 30 + 1), uint8_t((n + 7) % 30 + 1), uint8_t((n + 13) % 30 + 1), 33, 36};
    f->DrawsAdd(d);
  }
  EXPECT_FALSE(f->CanRunScenario());
  f->ScenarioStore()->Add("FULL:0#FIRST|TSD1#NUMS:10#LNO:#ST:1| | | | | | |frame");
  ASSERT_TRUE(f->CanRunScenario());
  f->SetDrawsOffset(2);
  f->Settings().ScriptLogEnabled = true;

  // Busy while running, so no other command may start; ScenarioRunning tells the window.
  struct Watch final : RunObserver {
    TTemplateMain* f = nullptr;
    bool sawBusy = false, sawRunning = false;
    void Status(const RunStatus&) override {
      sawBusy = sawBusy || !f->IsIdle();
      sawRunning = sawRunning || (f->ScenarioRunning() && f->ViewsSuspended());
    }
  } watch;
  watch.f = f.get();
  f->SetRunObserver(&watch);
  f->SetRunSeed(5);
  const long double level = f->Config().data.Level;
  const RunResult r = f->RunScenario(4);
  EXPECT_FALSE(r.stopped);
  EXPECT_EQ(r.stakes, 4);
  EXPECT_TRUE(watch.sawBusy);
  EXPECT_TRUE(watch.sawRunning);
  EXPECT_TRUE(f->IsIdle());
  EXPECT_FALSE(f->ScenarioRunning());
  EXPECT_EQ(f->DrawsOffset(), 2);
  EXPECT_EQ(f->Config().data.Level, level);
  EXPECT_EQ(f->Stakes()->RecordCount(), 4 + 3);  // separators between the passes
  EXPECT_EQ(host.panel[4], "Ставок: 7");
  // A test longer than the archive allows is cut to archive size - 1.
  EXPECT_EQ(f->RunScenario(100).cycles, 29);
  EXPECT_EQ(f->DrawsOffset(), 2);
  // The run logs and their deletion.
  EXPECT_FALSE(RunLogFiles(f->GetEnv(), dir.Path()).empty());
  f->DeleteScriptLogs();
  EXPECT_TRUE(RunLogFiles(f->GetEnv(), dir.Path()).empty());
  ASSERT_FALSE(host.infos.empty());
  EXPECT_EQ(host.infos.back().rfind("Удаление файлов журналов завершено", 0), 0u);
  f->DeleteScriptLogs();
  EXPECT_EQ(host.infos.back(), "Файлы журналов не найдены!");
  f->SetRunObserver(nullptr);
}

TEST_F(FrameTest, SecondCopyInTheSameFolderIsRefused) {
  auto first = Start();
  ASSERT_EQ(first->Initialise(), TTemplateMain::Start::Continue);
  auto second = Start();
  EXPECT_EQ(second->Initialise(), TTemplateMain::Start::Terminate);
  EXPECT_EQ(host.errors.back().rfind("Невозможно получить монопольный доступ к файлам данных!", 0), 0u);
  first->FormDestroy();
  auto third = Start();
  EXPECT_EQ(third->Initialise(), TTemplateMain::Start::Continue);
}

TEST_F(FrameTest, UnreadableConfigurationIsReportedByItselfAndTheStartGoesOn) {
  std::filesystem::create_directory(dir.File("Pentalux5_5v36.ini"));  // no file to read
  test::WriteBytes(dir.File("Pentalux5_5v36.flt"), "[FILTERS]\r\nFavorites=POS2\r\n");
  auto f = Start();
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Ошибка чтения файла конфигурации!\r\r", 0), 0u) << host.errors[0];
  // The registry and the favourites exist all the same, on the defaults.
  ASSERT_GT(f->Registry().Count(), 0);
  EXPECT_TRUE(f->Registry().IsEnabled(f->Registry().FindByCode("POS2")));
  EXPECT_FALSE(f->Registry().IsEnabled(f->Registry().FindByCode("NUMS")));
  EXPECT_EQ(f->Config().data.MatrixCols, 6);
  EXPECT_EQ(f->Initialise(), TTemplateMain::Start::Continue);
  EXPECT_EQ(f->Combs().Count(), kCapacity);
}

TEST_F(FrameTest, LoadingStepsReportForTheProgramAndThrowTheSameTextForTheTool) {
  // Two whole draws and a torn third.
  DrawArchive archive;
  for (int n = 1; n <= 2; ++n) {
    DrawRecord d;
    d.number = n;
    d.numbers = {uint8_t(n), 10, 20, 30, 36};
    archive.Append(d);
  }
  test::WriteBytes(ArchivePath(dir.Path()), archive.Serialize() + std::string(7, '\x01'));
  test::WriteBytes(dir.File("Pentalux5_5v36.frm"), "[TFormMain]\r\nStakesLogEnabled=1\r\nPrefetchsInit=1\r\n");

  TFormMain program(host, Env::Real(), dir.Path(), dir.File("Pentalux5_5v36"), {});
  program.LoadArchive(TTemplateMain::Failure::Report);
  ASSERT_EQ(host.errors.size(), 1u);
  const std::string shown = host.errors[0];
  EXPECT_EQ(program.Archive().Count(), 2);  // the whole records stay

  test::RecordingHost quiet;
  TFormMain tool(quiet, Env::Real(), dir.Path(), dir.File("Pentalux5_5v36"), {});
  try {
    tool.LoadArchive(TTemplateMain::Failure::Throw);
    ADD_FAILURE() << "a torn archive must stop a command";
  } catch (const Error& e) {
    EXPECT_EQ(e.what(), shown);
  }
  EXPECT_TRUE(quiet.errors.empty());

  // The stakes log follows the setting from the moment the file is open, so
  // a check during the start (a download) is logged too.
  program.LoadSettings(TTemplateMain::Failure::Report);
  ASSERT_TRUE(program.OpenStakes(TTemplateMain::Failure::Report));
  EXPECT_TRUE(program.Stakes()->LogEnabled());
  // The file is held: the tool's open says so in its own words.
  tool.LoadSettings(TTemplateMain::Failure::Throw);
  try {
    tool.OpenStakes(TTemplateMain::Failure::Throw);
    ADD_FAILURE() << "a held stakes file must stop a command";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Невозможно получить монопольный доступ к файлам данных!", 0), 0u);
  }
  program.FormDestroy();
}

TEST_F(FrameTest, ClosingSavesTheStakesFileUnderItsStatus) {
  auto f = Start();
  ASSERT_EQ(f->Initialise(), TTemplateMain::Start::Continue);
  host.Reset();
  f->FormDestroy();
  EXPECT_FALSE(f->StakesOpen());
  ASSERT_GE(host.statuses.size(), 2u);
  EXPECT_EQ(host.statuses[host.statuses.size() - 2], "Сохранение файла ставок...");
  EXPECT_EQ(host.statuses.back(), "");
}

TEST_F(FrameTest, StakeLogsDeletionSaysWhatItDid) {
  auto f = Start();
  for (const char* name : {"Pentalux5_5v36-0.log", "Pentalux5_5v36-3.log"}) test::WriteBytes(dir.File(name), "x");
  // Works before the stakes file is open, as it needs nothing but the folder.
  f->DeleteStakeLogs();
  ASSERT_EQ(host.infos.size(), 1u);
  EXPECT_EQ(host.infos.back(), "Удаление файлов журналов завершено\r\rУдалено файлов: 2");
  EXPECT_FALSE(Env::Real().Exists(dir.File("Pentalux5_5v36-0.log")));
  f->DeleteStakeLogs();
  EXPECT_EQ(host.infos.back(), "Файлы журналов не найдены!");
  // One that cannot go: a warning, and the others still go.
  test::WriteBytes(dir.File("Pentalux5_5v36-1.log"), "x");
  std::filesystem::create_directory(dir.File("Pentalux5_5v36-2.log"));
  f->DeleteStakeLogs();
  ASSERT_EQ(host.warnings.size(), 1u);
  EXPECT_EQ(host.warnings[0].rfind("Не все файлы журналов удалены\r\rУдалено файлов: 1 из 2", 0), 0u) << host.warnings[0];
  EXPECT_FALSE(Env::Real().Exists(dir.File("Pentalux5_5v36-1.log")));
  EXPECT_TRUE(f->IsIdle());
}

TEST_F(FrameTest, ConfigurationChangesReachTheMethodsAndTheirFullSetFiles) {
  FormSettings(Env::Real(), dir.File("Pentalux5_5v36.frm")).WriteBool("TFormMain", "PrefetchsEnabled", true);
  auto f = Start();
  ASSERT_EQ(f->Initialise(), TTemplateMain::Start::Continue);
  const std::string chan = dir.File("Prefetchs/Pentalux5_5v36_CHAN.dfc");
  auto channels = [&] { return DecodePrefetch(test::ReadBytes(chan))->records.size(); };
  ASSERT_EQ(channels(), 6u);
  EXPECT_EQ(f->Registry().FindByCode("CHN7"), -1);
  TConfigData d = f->Config().data;
  d.ChannelSize = 5;
  f->ApplyConfig(d);
  EXPECT_GE(f->Registry().FindByCode("CHN8"), 0);
  EXPECT_EQ(channels(), 8u);
  f->FormDestroy();
  // Put back to six by hand while the program was closed: the next start
  // makes the channel files anew.
  test::WriteBytes(dir.File("Pentalux5_5v36.ini"), "[GLOBAL]\r\nChannelSize=6\r\n");
  auto g = Start();
  ASSERT_EQ(g->Initialise(), TTemplateMain::Start::Continue);
  EXPECT_EQ(g->Registry().FindByCode("CHN7"), -1);
  EXPECT_EQ(channels(), 6u);
  EXPECT_TRUE(host.errors.empty()) << host.errors[0];
}

TEST_F(FrameTest, Switches) {
  EXPECT_EQ(Start({"RESTARTX"})->HasSwitch("restart"), false);
  EXPECT_EQ(Start({"--LOADONLY"})->HasSwitch("loadonly"), true);
  {
    auto f = Start({"-fullrecreate"});
    EXPECT_EQ(f->Initialise(), TTemplateMain::Start::Terminate);
    EXPECT_TRUE(Env::Real().Exists(dir.File("Prefetchs/Pentalux5_5v36_NUMS.dfc")));
  }
  {
    // The results page is a closed port on this machine: the download fails at once.
    test::WriteBytes(dir.File("Pentalux5_5v36.ini"), "[GLOBAL]\r\nResultsSite=http://127.0.0.1:9\r\n");
    host.questions.clear();
    auto f = Start({"/loadonly"});
    EXPECT_EQ(f->Initialise(), TTemplateMain::Start::Terminate);
    ASSERT_FALSE(host.questions.empty());  // the retry question, answered no
    EXPECT_EQ(host.questions.back().rfind("Ошибка загрузки архива тиражей с сайта:", 0), 0u);
  }
  // The settings key of the language is ignored with no-language.
  FormSettings(Env::Real(), dir.File("Pentalux5_5v36.frm")).WriteInt("TFormMain", "Language", 1033);
  test::WriteBytes(dir.File("Pentalux5_5v36_ENU.lng"), "Выход=Exit\n");
  EXPECT_EQ(Start()->Texts().Translate("Выход"), "Exit");
  EXPECT_EQ(Start({"no-language"})->Texts().Translate("Выход"), "Выход");
}

}  // namespace
}  // namespace px

namespace px {
namespace {

TEST_F(FrameTest, RegularStakesAddStakeAndTestThroughTheFrame) {
  auto f = Start();
  f->Initialise();
  ASSERT_NE(f->Regulars(), nullptr);
  for (int n = 1; n <= 6; ++n) {
    DrawRecord d = f->NewDrawTemplate();
    d.numbers = {uint8_t(n), uint8_t(n + 6), uint8_t(n + 12), uint8_t(n + 18), uint8_t(n + 24)};
    f->DrawsAdd(d);
  }
  EXPECT_FALSE(f->CanTestRegulars());  // no rules yet

  // Three selected combinations: one rule each, named by its list position.
  RegularStake proto;
  proto.comment = "Регулярная ставка";
  proto.step = 1;
  f->RegularsAdd(proto, {0, 4, 8});
  ASSERT_EQ(f->Regulars()->Count(), 3);
  EXPECT_EQ(f->Regulars()->At(0).comment, "Регулярная ставка (1)");
  EXPECT_EQ(f->Regulars()->At(1).comment, "Регулярная ставка (5)");
  EXPECT_EQ(f->Regulars()->At(2).comment, "Регулярная ставка (9)");
  EXPECT_EQ(f->Regulars()->At(1).start, f->Combs().Working()[4]);
  EXPECT_EQ(f->Regulars()->At(1).current, f->Combs().Working()[4]);
  // No selection and no last draw: nothing.
  f->RegularsAdd(proto, {});
  EXPECT_EQ(f->Regulars()->Count(), 3);
  f->RegularsDelete({2, 0});
  ASSERT_EQ(f->Regulars()->Count(), 1);
  EXPECT_EQ(f->Regulars()->At(0).comment, "Регулярная ставка (5)");
  f->RegularsDelete({0});

  // One rule, step 1, from 1 2 3 4 5.
  proto.start = {1, 2, 3, 4, 5};
  f->RegularsAdd(proto, {7});
  ASSERT_EQ(f->Regulars()->Count(), 1);
  EXPECT_EQ(f->Regulars()->At(0).comment, "Регулярная ставка");
  ASSERT_TRUE(f->CanTestRegulars());

  // A stake made and then not agreed to changes nothing.
  TTemplateMain::RegularDraft draft = f->RegularsDraft(0);
  EXPECT_EQ(draft.stake.kind, uint8_t(StakeKind::Regular));
  EXPECT_EQ(draft.stake.drawNumber, 7);
  EXPECT_EQ(draft.stake.numbers, test::Set({2, 3, 4, 5, 6}));
  EXPECT_EQ(draft.stake.comment, "Регулярная ставка");
  EXPECT_EQ(draft.stake.sample, f->Combs().Count());
  EXPECT_EQ(f->Regulars()->At(0).stakeCount, 0);
  const int64_t before = f->Stakes()->RecordCount();

  // The test of 3: stakes on the draws after offsets 3, 2 and 1, checked at once.
  f->SetDrawsOffset(0);
  std::vector<int> offsetsSeen;
  EXPECT_EQ(f->RegularsTest({0}, 3, [&] { offsetsSeen.push_back(f->DrawsOffset()); }), 3);
  EXPECT_EQ(offsetsSeen, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(f->DrawsOffset(), 0);
  EXPECT_TRUE(f->IsIdle());
  EXPECT_FALSE(f->ViewsSuspended());
  EXPECT_EQ(f->Regulars()->At(0).stakeCount, 3);
  EXPECT_EQ(f->Regulars()->At(0).current, (Combination{4, 5, 6, 7, 8}));
  ASSERT_EQ(f->Stakes()->RecordCount(), before + 3);
  for (int i = 0; i < 3; ++i) {
    const StakeRecord r = f->Stakes()->ReadRecord(before + i);
    EXPECT_EQ(r.drawNumber, 4 + i);
    EXPECT_EQ(r.checked, 1) << i;
  }
  // The first stake of the test: 2..6 against draw 4 = {4,10,16,22,28}.
  EXPECT_EQ(f->Stakes()->ReadRecord(before).matches.count, 1);

  // The rules were saved: a new frame reads them back.
  f->FormDestroy();
  f.reset();
  auto g = Start();
  g->Initialise();
  ASSERT_EQ(g->Regulars()->Count(), 1);
  EXPECT_EQ(g->Regulars()->At(0).stakeCount, 3);

  // Now agreed to: the rule advances and the stake is stored and checked.
  draft = g->RegularsDraft(0);
  EXPECT_EQ(draft.stake.numbers, test::Set({5, 6, 7, 8, 9}));
  StakeRecord edited = draft.stake;
  edited.comment = "Изменено";
  ASSERT_TRUE(g->RegularsCommit(0, draft, edited, 2));
  EXPECT_EQ(g->Regulars()->At(0).stakeCount, 4);
  EXPECT_EQ(g->Stakes()->ReadRecord(-1, true).comment, "Изменено");
  EXPECT_EQ(g->Stakes()->ReadRecord(-1, true).drawNumber, 8);

  // Hidden tab: the rules leave memory, the file stays.
  g->Settings().TabTables = false;
  g->LoadRegulars();
  EXPECT_EQ(g->Regulars()->Count(), 0);
  EXPECT_FALSE(g->CanTestRegulars());
  g->Settings().TabTables = true;
  g->LoadRegulars();
  EXPECT_EQ(g->Regulars()->Count(), 1);

  // A rule whose current combination is damaged makes no stake.
  RegularStake broken = g->Regulars()->At(0);
  broken.current = {0, 0, 0, 0, 0};
  g->Regulars()->Replace(0, broken);
  EXPECT_EQ(test::ErrorText([&] { g->RegularsDraft(0); }), "Введена некорректная комбинация!");
  host.errors.clear();
  const int64_t count = g->Stakes()->RecordCount();
  EXPECT_EQ(g->RegularsTest({0}, 2), 0);
  EXPECT_EQ(host.errors, (std::vector<std::string>{"Введена некорректная комбинация!"}));
  EXPECT_EQ(g->Stakes()->RecordCount(), count);
  EXPECT_EQ(g->DrawsOffset(), 0);
}

}  // namespace
}  // namespace px

namespace px {
namespace {

TEST_F(FrameTest, ImportedDrawsReachTheViews) {
  auto f = Start();
  f->Initialise();
  std::vector<int> counts;
  f->AddView([&](bool) { counts.push_back(f->Archive().Count()); });
  test::WriteBytes(dir.File("draws.csv"), "1;01/02/2024;1;2;3;4;5\r\n2;01/05/2024;6;7;8;9;10\r\n");
  const ImportResult r = f->DrawsImport(dir.File("draws.csv"));
  ASSERT_EQ(r.added, 2) << (host.errors.empty() ? "" : host.errors[0]);
  EXPECT_EQ(counts, std::vector<int>{2});
}

}  // namespace
}  // namespace px
