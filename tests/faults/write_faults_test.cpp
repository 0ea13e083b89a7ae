// Every file the program rewrites or appends, with each write step failing
// in turn: the file stays as it was or is whole and new, the message names
// the failure, and what is in memory is what the failed operation leaves.
#include <gtest/gtest.h>

#include <ctime>
#include <thread>

#include "combs/combination_set.h"
#include "core/archive.h"
#include "core/config.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/form_settings.h"
#include "core/ini.h"
#include "export/xlsx_export.h"
#include "scenario/run_log.h"
#include "scenario/scenario_file.h"
#include "stakes/ratings.h"
#include "stakes/regular.h"
#include "stakes/stake_store.h"
#include "stakes/systems.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"
#include "support/draws.h"
#include "support/number_sets.h"
#include "support/recording_host.h"
#include "support/write_faults.h"

namespace px {
namespace {

using test::CauseOf;
using test::FaultEnv;
using test::WriteFault;
using test::WriteFaultMatrix;

// An operation that throws on failure: none without a fault, else exactly
// prefix + the fault's cause.
void ExpectThrownFor(WriteFault f, const std::string& prefix, const std::function<void()>& op) {
  if (f == WriteFault::None) {
    EXPECT_NO_THROW(op());
    return;
  }
  try {
    op();
    ADD_FAILURE() << "no error";
  } catch (const std::exception& e) {
    EXPECT_EQ(std::string(e.what()), prefix + CauseOf(f));
  }
}

// An operation that reports through the host: no error without a fault,
// else exactly one, prefix + the fault's cause.
void ExpectShownFor(WriteFault f, test::RecordingHost& host, const std::string& prefix) {
  if (f == WriteFault::None) {
    EXPECT_TRUE(host.errors.empty()) << (host.errors.empty() ? "" : host.errors[0]);
  } else {
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], prefix + CauseOf(f));
  }
  host.errors.clear();
}

std::chrono::system_clock::time_point Fixed() {
  std::tm tm{};
  tm.tm_year = 2026 - 1900, tm.tm_mon = 2, tm.tm_mday = 4, tm.tm_hour = 9, tm.tm_min = 5, tm.tm_sec = 7;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

class WriteFaults : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::RecordingHost host;
  TConfigData prizes;

  void SetUp() override {
    prizes.Cost = 10000;
    prizes.Profits = {{2, 10000}, {3, 250000}, {4, 5000000}, {5, 1000000000}};
  }
  DrawArchive ThreeDraws() {
    DrawArchive a;
    for (int i = 1; i <= 3; ++i) a.Append(test::Draw(i, {uint8_t(i), 10, 20, 30, uint8_t(36 - i)}));
    return a;
  }
  std::string StakesFileOf(int stakes) {
    const std::string path = StakesPath(dir.Path());
    {
      StakeStore store(Env::Real(), host, dir.Path());
      EXPECT_TRUE(store.Load());
      for (int i = 0; i < stakes; ++i)
        EXPECT_TRUE(store.Append(MakeStake(StakeKind::Manual, 1 + i, test::Set({1, 10, 20, 30, 35}), 0, "A", prizes), 1));
    }
    const std::string bytes = test::ReadBytes(path);
    std::filesystem::remove(path);
    return bytes;
  }
};

TEST_F(WriteFaults, Archive) {
  const std::string path = ArchivePath(dir.Path());
  ThreeDraws().Save(Env::Real(), path);
  WriteFaultMatrix m{path, test::ReadBytes(path), [&](FaultEnv& env, WriteFault f) {
                       DrawArchive a;
                       a.Load(Env::Real(), path);
                       a.Append(test::Draw(4, {4, 5, 6, 7, 8}));
                       ExpectThrownFor(f, "Ошибка записи в файл тиражей!\r\r", [&] { a.Save(env, path); });
                       EXPECT_EQ(a.Count(), 4);  // the draw stays in memory for the next save
                     }};
  test::ExpectAllKept(m.Run());
}

TEST_F(WriteFaults, Configuration) {
  const std::string path = ConfigPath(dir.Path());
  test::WriteBytes(path, "[STAKES]\r\nCost=2\r\n");
  WriteFaultMatrix m{path, test::ReadBytes(path), [&](FaultEnv& env, WriteFault f) {
                       GameConfig config;
                       LoadGameConfig(Env::Real(), path, config);
                       config.CombsGenerateMode = 2;
                       config.CombsGenerateParameters = "1;2;3;4;5;6";
                       ExpectThrownFor(f, "Ошибка записи в файл конфигурации!\r\r",
                                       [&] { SaveGenerationDefaults(env, path, config); });
                       EXPECT_EQ(config.CombsGenerateMode, 2);
                     }};
  test::ExpectAllKept(m.Run());
}

TEST_F(WriteFaults, WindowState) {
  const std::string path = FormSettingsPath(dir.Path(), kDataBaseName);
  test::WriteBytes(path, "[Main]\r\nLeft=10\r\n");
  WriteFaultMatrix m{path, test::ReadBytes(path), [&](FaultEnv& env, WriteFault f) {
                       ExpectThrownFor(f, "", [&] { FormSettings(env, path).WriteInt("Main", "Left", 20); });
                     }};
  test::ExpectAllKept(m.Run());
}

TEST_F(WriteFaults, FavouritesAndNames) {
  const std::string path = NamesFilePath(dir.Path(), kDataBaseName);
  WriteFaultMatrix m{path, std::nullopt, [&](FaultEnv& env, WriteFault f) {
                       TStatList registry;
                       registry.Fill();
                       EXPECT_EQ(registry.SaveNames(env, path, true, true, &host), f == WriteFault::None);
                       ExpectShownFor(f, host, "Ошибка сохранения списка фильтров!\r\r");
                     }};
  test::ExpectAllKept(m.Run());
}

TEST_F(WriteFaults, CombinationList) {
  const std::string path = dir.File("list.lcv");
  test::WriteBytes(path, "1;2;3;4;5\r\n");
  WriteFaultMatrix m{path, test::ReadBytes(path), [&](FaultEnv& env, WriteFault f) {
                       CombinationSet set(&host);
                       set.Init(64);
                       GenerateSet(set, Env::Real(), false, 2, "1;2;3;4;5;6");
                       EXPECT_EQ(set.WriteFile(env, path), f == WriteFault::None);
                       ExpectShownFor(f, host, "Ошибка записи в файл \"" + path + "\"!\r\r");
                       EXPECT_EQ(set.Count(), 6);
                     }};
  test::ExpectAllKept(m.Run());
}

TEST_F(WriteFaults, ScenarioFile) {
  const std::string path = dir.File("s.lsc"), working = dir.File("Pentalux5_5v36.lss");
  test::WriteBytes(path, "FULL:0#FIRST| | | | | | | |\r\n");
  WriteFaultMatrix m{path, test::ReadBytes(path), [&](FaultEnv& env, WriteFault f) {
                       Scenario scenario(env, host, working);
                       scenario.Add("FULL:0#LAST| | | | | | | |Последняя");
                       EXPECT_EQ(scenario.Save(path), f == WriteFault::None);
                       ExpectShownFor(f, host, "Ошибка записи в файл \"" + path + "\"!\r\r");
                       EXPECT_EQ(scenario.Lines().size(), 1u);
                     }};
  test::ExpectAllKept(m.Run());
}

TEST_F(WriteFaults, StakesFileAppend) {
  const std::string path = StakesPath(dir.Path());
  const std::string two = StakesFileOf(2);
  for (int draws : {1, 3}) {
    SCOPED_TRACE(draws);
    WriteFaultMatrix m{path, two, [&](FaultEnv& env, WriteFault f) {
                         StakeStore store(env, host, dir.Path());
                         if (f == WriteFault::Open) {
                           // Opening is the store's first step: nothing can go in.
                           EXPECT_FALSE(store.Load());
                           EXPECT_EQ(host.errors.at(0), "Ошибка чтения файла ставок!\r\r" + CauseOf(f));
                           host.errors.clear();
                           return;
                         }
                         ASSERT_TRUE(store.Load());
                         const NumberSet s = test::Set({2, 3, 4, 5, 6});
                         EXPECT_EQ(store.Append(MakeStake(StakeKind::Manual, 7, s, 0, "B", prizes), draws),
                                   f == WriteFault::None);
                         ExpectShownFor(f, host, "Ошибка добавления записи в файл ставок!\r\r");
                         EXPECT_EQ(store.RecordCount(), f == WriteFault::None ? (draws == 1 ? 3 : 8) : 2);
                         EXPECT_EQ(store.Contains(7, s), f == WriteFault::None);
                       }};
    // Records are not flushed one by one; a room of one record and a bit
    // lets the first of several draws in before the disk is full.
    m.faults = {WriteFault::Open, WriteFault::Write, WriteFault::ShortWrite, WriteFault::DiskFull};
    m.room = draws == 1 ? 100 : long(kStakeRecordSize) + 100;
    test::ExpectAllKept(m.Run());
  }
}

TEST_F(WriteFaults, StakesFileRewrite) {
  const std::string path = StakesPath(dir.Path());
  const std::string temp = dir.File("Pentalux5_5v36.~tmp");
  WriteFaultMatrix m{path, StakesFileOf(3), [&](FaultEnv& env, WriteFault f) {
                       // Faults hit the rewrite's temporary file and its rename.
                       env.only = temp;
                       StakeStore store(env, host, dir.Path());
                       ASSERT_TRUE(store.Load());
                       EXPECT_EQ(store.DeleteRows(1, 1), f == WriteFault::None);
                       if (f == WriteFault::Rename)
                         ExpectShownFor(f, host,
                                        "Ошибка удаления записи из файла ставок!\r\rОшибка переименования / удаления "
                                        "временного файла ставок " + temp + "!\r\r");
                       else
                         ExpectShownFor(f, host, "Ошибка удаления записи из файла ставок!\r\r");
                       EXPECT_EQ(store.RecordCount(), f == WriteFault::None ? 2 : 3);
                       EXPECT_FALSE(Env::Real().Exists(temp));
                       // Still open and locked either way.
                       StakeStore other(Env::Real(), host, dir.Path());
                       EXPECT_THROW(other.Open(), Error);
                     }};
  m.faults = {WriteFault::Write, WriteFault::ShortWrite, WriteFault::Flush, WriteFault::Rename, WriteFault::DiskFull};
  test::ExpectAllKept(m.Run());
}

TEST_F(WriteFaults, StakesLog) {
  const std::string stakesFile = StakesFileOf(1);
  DrawArchive archive = ThreeDraws();
  StakeStore probe(Env::Real(), host, dir.Path());
  const std::string path = probe.LogPath(5);
  WriteFaultMatrix m{path, std::string("old line\r\n"), [&](FaultEnv& env, WriteFault f) {
                       StakeStore store(env, host, dir.Path());
                       ASSERT_TRUE(store.Load());
                       store.SetLogEnabled(true);
                       // The check itself is done whatever happens to its log.
                       EXPECT_EQ(store.CheckAll(archive, prizes, nullptr), 1);
                       ExpectShownFor(f, host, "Ошибка записи в файл \"" + path + "\"!\r\r");
                       EXPECT_EQ(store.ReadRecord(0).checked, 1);
                     }};
  m.reset = [&] { test::WriteBytes(StakesPath(dir.Path()), stakesFile); };
  m.faults = test::AppendFaults();
  const auto kept = m.Run();
  // The line reached the file before its close failed.
  for (const auto& [f, k] : kept) EXPECT_EQ(k, f != WriteFault::Flush) << test::FaultName(f);
}

TEST_F(WriteFaults, Ratings) {
  const std::string path = RatingsPath(dir.Path());
  {
    Ratings first(Env::Real(), host, dir.Path());
    StakeRecord r = MakeStake(StakeKind::Manual, 1, test::Set({1, 2, 3, 4, 5}), 0, "A", prizes);
    r.checked = 1;
    r.matches.count = 2;
    first.AddStake(r);
    ASSERT_TRUE(first.Save());
  }
  WriteFaultMatrix m{path, test::ReadBytes(path), [&](FaultEnv& env, WriteFault f) {
                       Ratings ratings(env, host, dir.Path());
                       ASSERT_TRUE(ratings.Read());
                       StakeRecord r = MakeStake(StakeKind::Manual, 1, test::Set({1, 2, 3, 4, 6}), 0, "B", prizes);
                       r.checked = 1;
                       r.matches.count = 3;
                       ratings.AddStake(r);
                       EXPECT_EQ(ratings.Save(), f == WriteFault::None);
                       ExpectShownFor(f, host, "Ошибка записи в файл рейтинга!\r\r");
                       EXPECT_EQ(ratings.Count(), 2u);
                       EXPECT_EQ(ratings.Unsaved(), f == WriteFault::None ? 0 : 1);
                     }};
  test::ExpectAllKept(m.Run());
}

TEST_F(WriteFaults, RegularStakes) {
  const std::string path = RegularsPath(dir.Path());
  {
    RegularStakes first(Env::Real(), host, dir.Path());
    RegularStake r;
    r.comment = "Регулярная ставка";
    r.start = r.current = {1, 2, 3, 4, 5};
    first.Add(r);
    ASSERT_TRUE(first.Save());
  }
  WriteFaultMatrix m{path, test::ReadBytes(path), [&](FaultEnv& env, WriteFault f) {
                       RegularStakes rules(env, host, dir.Path());
                       ASSERT_TRUE(rules.Load());
                       RegularStake r;
                       r.comment = "Вторая";
                       r.useLastDraw = true;
                       r.step = -3;
                       rules.Add(r);
                       EXPECT_EQ(rules.Save(), f == WriteFault::None);
                       ExpectShownFor(f, host, "Ошибка записи в файл регулярных ставок!\r\r");
                       EXPECT_EQ(rules.Count(), 2);
                     }};
  test::ExpectAllKept(m.Run());
}

TEST_F(WriteFaults, FullSetFile) {
  DrawArchive archive = ThreeDraws();
  TStatList registry;
  registry.SetDraws(&archive);
  registry.Fill();
  int method = -1;
  for (int i = 0; i < registry.Count() && method < 0; ++i)
    if (registry.HasFullSet(i)) method = i;
  ASSERT_GE(method, 0);
  PrefetchFiles files(Env::Real(), dir.Path());
  const std::string path = files.PathOf(registry, method);
  WriteFaultMatrix m{path, std::nullopt, [&](FaultEnv& env, WriteFault f) {
                       ExpectThrownFor(f,
                                       "Ошибка создания файла данных для полного набора вариантов!\r\rИмя файла: " +
                                           path + "\r\r",
                                       [&] { PrefetchFiles(env, dir.Path()).Build(registry, method, nullptr); });
                     }};
  test::ExpectAllKept(m.Run());
}

TEST_F(WriteFaults, RunLog) {
  const std::string path = dir.File("ScriptLog_2026-03-04-09-05-07.txt");
  WriteFaultMatrix m{path, std::string("[2026-03-04 09:05:06]: earlier\r\n"), [&](FaultEnv& env, WriteFault f) {
                       env.now = Fixed();
                       RunLog log(env, host, dir.Path());
                       log.enabled = true;
                       log.Start();
                       ASSERT_EQ(log.Path(), path);
                       log.Write("Запуск сценария");  // the run goes on either way
                       if (f == WriteFault::None) {
                         EXPECT_TRUE(host.errors.empty());
                       } else {
                         const std::string how = f == WriteFault::Open ? "открыть" : "записать";
                         ASSERT_EQ(host.errors.size(), 1u);
                         EXPECT_EQ(host.errors[0], "Ошибка записи журнала: Не удалось " + how + " файл \"" + path +
                                                       "\": " + CauseOf(f) + "!");
                       }
                       host.errors.clear();
                     }};
  m.faults = test::AppendFaults();
  const auto kept = m.Run();
  // The line reached the file before its close failed.
  for (const auto& [f, k] : kept) EXPECT_EQ(k, f != WriteFault::Flush) << test::FaultName(f);
}

TEST_F(WriteFaults, SpreadsheetExport) {
  const std::string path = dir.File("out.xlsx");
  test::WriteBytes(path, "an older export");
  const SheetTable table{"Ставки", {"№", "Комбинация"}, {{"1", "1;2;3;4;5"}, {"2", "6;7;8;9;10"}}, {}};
  WriteFaultMatrix m{path, test::ReadBytes(path), [&](FaultEnv& env, WriteFault f) {
                       ExpectThrownFor(f, "Ошибка экспорта в файл \"" + path + "\"!\r\r",
                                       [&] { WriteXlsx(env, path, table); });
                     }};
  test::ExpectAllKept(m.Run());
}

// A system file of the store, with its time set before it takes its place.
TEST_F(WriteFaults, SystemFile) {
  tSystemData data;
  data.id = 7;
  data.numberCount = 6;
  data.created = 1700000000;
  data.combinations = "01 02 03 04 05\r\n02 03 04 05 06";
  const std::string path = SystemFilePath(dir.Path(), data);
  std::filesystem::create_directories(SystemsDirectory(dir.Path()));
  const std::string old = "01 02 03 04 06\r\n";
  WriteFaultMatrix m{path, old, [&](FaultEnv& env, WriteFault f) {
                       SystemStore store(env, host, dir.Path());
                       ExpectThrownFor(f, "", [&] { store.SaveLocalFile(data); });
                     }};
  test::ExpectAllKept(m.Run());

  // The time cannot be set: the old file stays, and no temporary file.
  test::WriteBytes(path, old);
  FaultEnv env;
  env.failTimes = true;
  SystemStore store(env, host, dir.Path());
  EXPECT_EQ(test::ErrorText([&] { store.SaveLocalFile(data); }), "Отказано в доступе");
  EXPECT_EQ(test::ReadBytes(path), old);
  EXPECT_TRUE(test::TempFilesIn(dir.Path()).empty());
  env.failTimes = false;
  store.SaveLocalFile(data);
  EXPECT_EQ(test::ReadBytes(path), "01 02 03 04 05\r\n02 03 04 05 06\r\n");
  EXPECT_TRUE(host.errors.empty());
}

// Two writers of one file at once each go through a temporary file of their
// own, so neither finds the other's gone.
TEST_F(WriteFaults, TwoWritersOfOneFileNeverShareATemporaryFile) {
  const std::string path = ArchivePath(dir.Path());
  const std::string a(2000, 'a'), b(3000, 'b');
  std::atomic<int> failures{0};
  auto writer = [&](const std::string& bytes) {
    for (int i = 0; i < 300; ++i) {
      try {
        WriteFileAtomic(Env::Real(), path, bytes);
      } catch (const std::exception&) {
        ++failures;
      }
    }
  };
  std::thread first(writer, a), second(writer, b);
  first.join();
  second.join();
  EXPECT_EQ(failures.load(), 0);
  const std::string now = test::ReadBytes(path);
  EXPECT_TRUE(now == a || now == b);
  EXPECT_TRUE(test::TempFilesIn(dir.Path()).empty());
  EXPECT_NE(UniqueTempPath(path), UniqueTempPath(path));
}

}  // namespace
}  // namespace px
