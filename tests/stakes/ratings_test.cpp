#include "stakes/ratings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "support/draws.h"
#include "support/number_sets.h"
#include "support/fault_env.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using test::Set;

using test::Draw;
using test::FaultEnv;
using test::ReadBytes;
using test::RecordingHost;
using test::TempDir;
using test::WriteBytes;

TConfigData Prizes() {
  TConfigData c;
  c.Cost = 10000;
  c.Profits = {{0, 0}, {1, 0}, {2, 10000}, {3, 250000}, {4, 5000000}, {5, 1000000000}};
  return c;
}

StakeRecord Checked(std::string comment, int matches, Currency profit) {
  StakeRecord r;
  r.kind = uint8_t(StakeKind::Scenario);
  r.drawNumber = 7;
  r.checked = 1;
  r.matches.count = matches;
  r.profit = profit;
  r.comment = std::move(comment);
  return r;
}

RatingEntry Entry(std::string comment, int32_t stakes, std::array<int32_t, 6> histogram, Currency profit) {
  RatingEntry e;
  e.comment = std::move(comment);
  e.stakes = stakes;
  e.histogram = histogram;
  for (size_t k = 0; k < 6; ++k) e.matched += int32_t(k) * histogram[k];
  e.profit = profit;
  return e;
}

std::vector<std::string> Comments(const std::vector<RatingEntry>& entries) {
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(e.comment);
  return out;
}

// Fails the checking pass at its first progress report, after one stake.
class FailingProgressHost final : public Host {
 public:
  RecordingHost inner;
  void SetStatusText(const std::string& text) override {
    if (text.find("завершено") != std::string::npos) throw Error("Сбой");
    inner.SetStatusText(text);
  }
  void ShowError(const std::string& text) override { inner.ShowError(text); }
  void ShowInfo(const std::string& text) override { inner.ShowInfo(text); }
  void ShowWarning(const std::string& text) override { inner.ShowWarning(text); }
  bool AskYesNo(const std::string& text) override { return inner.AskYesNo(text); }
};

class RatingsTest : public ::testing::Test {
 protected:
  TempDir dir;
  RecordingHost host;
  std::string path = RatingsPath(dir.Path());
};

TEST_F(RatingsTest, CommentsDifferingInCaseShareOneEntryThroughChecking) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  const TConfigData config = Prizes();
  ASSERT_TRUE(store.Append(MakeStake(StakeKind::Scenario, 10, Set({1, 2, 3, 4, 5}), 0, "Ёлка: Line A", config), 1));
  ASSERT_TRUE(store.Append(MakeStake(StakeKind::Scenario, 10, Set({1, 2, 3, 6, 7}), 0, "ёЛКА: line a", config), 1));
  ASSERT_TRUE(store.Append(MakeStake(StakeKind::Scenario, 10, Set({8, 9, 10, 6, 7}), 0, "Елка: line a", config), 1));
  DrawArchive archive;
  archive.Append(Draw(10, {1, 2, 3, 4, 5}));

  Ratings ratings(Env::Real(), host, dir.Path());
  EXPECT_EQ(ratings.CheckStakes(store, archive, config), 3);
  ASSERT_EQ(ratings.Count(), 2u);  // Е and Ё are different letters
  const RatingEntry* e = ratings.Find("ЁЛКА: LINE A");
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->comment, "Ёлка: Line A");  // the first stake names the entry
  EXPECT_EQ(e->stakes, 2);
  EXPECT_EQ(e->matched, 8);
  EXPECT_EQ(e->histogram, (std::array<int32_t, 6>{0, 0, 0, 1, 0, 1}));
  EXPECT_EQ(e->profit, 1000000000 + 250000 - 2 * 10000);
  // Checked stakes reach the file at once.
  EXPECT_EQ(ReadBytes(path).size(), 2 * kRatingEntrySize);
  EXPECT_EQ(host.panel[5], "Рейтинг: 2");
  // A second pass checks nothing and leaves the rating alone.
  EXPECT_EQ(ratings.CheckStakes(store, archive, config), 0);
  EXPECT_EQ(ratings.Find("ёлка: line a")->stakes, 2);
}

TEST_F(RatingsTest, StakesCheckedWhileTheSaveFailsReachTheRatingAtTheNextStart) {
  FaultEnv env;
  const TConfigData config = Prizes();
  DrawArchive archive;
  archive.Append(Draw(10, {1, 2, 3, 4, 5}));
  {
    StakeStore store(env, host, dir.Path());
    ASSERT_TRUE(store.Load());
    ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, 10, Set({1, 2, 3, 4, 5}), 0, "A", config), 1));
    Ratings ratings(env, host, dir.Path());
    ASSERT_EQ(ratings.CheckStakes(store, archive, config), 1);
    ASSERT_TRUE(ratings.Save());
  }
  const std::string saved = ReadBytes(path);
  {
    StakeStore store(env, host, dir.Path());
    ASSERT_TRUE(store.Load());
    ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, 10, Set({1, 2, 3, 6, 7}), 0, "A", config), 1));
    ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, 10, Set({8, 9, 10, 11, 12}), 0, "B", config), 1));
    Ratings ratings(env, host, dir.Path());
    ratings.Load();
    env.failRename = true;
    env.only = path;
    EXPECT_EQ(ratings.CheckStakes(store, archive, config), 2);
    EXPECT_EQ(host.errors.back(), "Ошибка записи в файл рейтинга!\r\rОтказано в доступе");
    EXPECT_EQ(ReadBytes(path), saved);
    EXPECT_TRUE(env.Exists(RatingsPendingPath(dir.Path())));
  }
  // The next start: nothing is left to check, yet the rating gets both stakes.
  env.failRename = false;
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  Ratings ratings(Env::Real(), host, dir.Path());
  ratings.Load();
  EXPECT_TRUE(ratings.Recover(store));
  EXPECT_EQ(ratings.CheckStakes(store, archive, config), 0);
  ASSERT_NE(ratings.Find("A"), nullptr);
  ASSERT_NE(ratings.Find("B"), nullptr);
  EXPECT_EQ(ratings.Find("A")->stakes, 2);
  EXPECT_EQ(ratings.Find("A")->histogram, (std::array<int32_t, 6>{0, 0, 0, 1, 0, 1}));
  EXPECT_EQ(ratings.Find("B")->stakes, 1);
  EXPECT_FALSE(Env::Real().Exists(RatingsPendingPath(dir.Path())));
  Ratings back(Env::Real(), host, dir.Path());
  ASSERT_TRUE(back.Read());
  EXPECT_EQ(back.Count(), 2u);
  // Nothing owed: a later start leaves the rating alone.
  EXPECT_TRUE(ratings.Recover(store));
  EXPECT_EQ(ratings.Find("A")->stakes, 2);

  // Without room even for the mark, nothing is checked and nothing is lost.
  ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, 10, Set({1, 2, 13, 14, 15}), 0, "B", config), 1));
  FaultEnv full;
  full.failOpen = true;
  full.only = RatingsPendingPath(dir.Path());
  Ratings blocked(full, host, dir.Path());
  blocked.Load();
  EXPECT_EQ(blocked.CheckStakes(store, archive, config), 0);
  EXPECT_EQ(ratings.CheckStakes(store, archive, config), 1);
  EXPECT_EQ(ratings.Find("B")->stakes, 2);
}

TEST_F(RatingsTest, DuringARunSavesWaitForTheDiskOncePerPassAndACrashLosesNothing) {
  FaultEnv env;
  const TConfigData config = Prizes();
  DrawArchive archive;
  archive.Append(Draw(10, {1, 2, 3, 4, 5}));
  const std::string pending = RatingsPendingPath(dir.Path());
  {
    StakeStore store(env, host, dir.Path());
    ASSERT_TRUE(store.Load());
    Ratings ratings(env, host, dir.Path());
    ratings.BeginRun();
    // One pass of three checks, each reaching the rating.
    for (const char* comment : {"A", "B", "C"}) {
      ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, 10, Set({1, 2, 3, 6, 7}), 0, comment, config), 1));
      ASSERT_EQ(ratings.CheckStakes(store, archive, config), 1);
    }
    // Every save is in place already, none has waited for the disk, and the
    // mark stays until one has.
    const auto rated = std::count(env.lazyWrites.begin(), env.lazyWrites.end(), path);
    EXPECT_EQ(std::count_if(env.lazyWrites.begin(), env.lazyWrites.end(),
                            [&](const std::string& p) { return p.rfind(path + ".", 0) == 0; }),
              3);
    EXPECT_EQ(rated, 0);  // the temporary files, renamed over it
    EXPECT_TRUE(env.syncs.empty());
    EXPECT_TRUE(env.Exists(pending));
    Ratings onDisk(Env::Real(), host, dir.Path());
    ASSERT_TRUE(onDisk.Read());
    EXPECT_EQ(onDisk.Count(), 3u);
    // The end of the pass: one wait, and the mark goes.
    ASSERT_TRUE(ratings.SyncRun());
    EXPECT_EQ(env.syncs, std::vector<std::string>{path});
    EXPECT_FALSE(env.Exists(pending));
    // The next pass checks once and "crashes" before its end: the mark is
    // there for the next start.
    ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, 10, Set({1, 2, 3, 4, 7}), 0, "A", config), 1));
    ASSERT_EQ(ratings.CheckStakes(store, archive, config), 1);
    EXPECT_TRUE(env.Exists(pending));
  }
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  Ratings restarted(Env::Real(), host, dir.Path());
  restarted.Load();
  EXPECT_TRUE(restarted.Recover(store));
  ASSERT_NE(restarted.Find("A"), nullptr);
  EXPECT_EQ(restarted.Find("A")->stakes, 2);
  EXPECT_FALSE(Env::Real().Exists(pending));

  // A sync that fails is told, and the stakes stay owed.
  FaultEnv failing;
  Ratings ratings(failing, host, dir.Path());
  ratings.Load();
  ratings.BeginRun();
  ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, 10, Set({1, 2, 3, 4, 8}), 0, "D", config), 1));
  ASSERT_EQ(ratings.CheckStakes(store, archive, config), 1);
  failing.failFlush = true;
  failing.only = path;
  EXPECT_FALSE(ratings.EndRun());
  EXPECT_EQ(host.errors.back(), "Ошибка записи в файл рейтинга!\r\rОшибка ввода-вывода");
  EXPECT_TRUE(Env::Real().Exists(pending));
  // Out of the run, saves wait for the disk again.
  failing.failFlush = false;
  const size_t lazy = failing.lazyWrites.size();
  EXPECT_TRUE(ratings.Sort());
  EXPECT_EQ(failing.lazyWrites.size(), lazy);
  EXPECT_FALSE(Env::Real().Exists(pending));
}

TEST_F(RatingsTest, PartlyFailedCheckingStillSavesWhatWasChecked) {
  FailingProgressHost failing;
  StakeStore store(Env::Real(), failing, dir.Path());
  ASSERT_TRUE(store.Load());
  const TConfigData config = Prizes();
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, 10, Set({1, 2, 3, 4, 5}), 0, "A", config), 1));
  DrawArchive archive;
  archive.Append(Draw(10, {1, 2, 3, 4, 5}));

  Ratings ratings(Env::Real(), failing, dir.Path());
  const int checked = ratings.CheckStakes(store, archive, config);
  ASSERT_FALSE(failing.inner.errors.empty());
  ASSERT_GE(checked, 1);
  ASSERT_LT(checked, 3);
  Ratings back(Env::Real(), host, dir.Path());
  ASSERT_TRUE(back.Read());
  ASSERT_EQ(back.Count(), 1u);
  EXPECT_EQ(back.Entries()[0].stakes, checked);
}

TEST_F(RatingsTest, AddStakeCreatesAndIgnores) {
  Ratings ratings(Env::Real(), host, dir.Path());
  ratings.AddStake(Checked("X", -1, -10000));
  EXPECT_EQ(ratings.Count(), 0u);
  ratings.AddStake(Checked("Ставка", 0, -10000));
  ASSERT_EQ(ratings.Count(), 1u);
  const RatingEntry& e = ratings.Entries()[0];
  EXPECT_EQ(e.stakes, 1);
  EXPECT_EQ(e.matched, 0);
  EXPECT_EQ(e.histogram, (std::array<int32_t, 6>{1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(RatingCellText(e, 4, 1), "-1.00");
  EXPECT_EQ(ratings.Unsaved(), 1);
}

TEST_F(RatingsTest, FileEntriesReadBackFieldByField) {
  // Built by hand at the documented offsets.
  std::string bytes(kRatingEntrySize, '\0');
  const std::string comment = Utf8ToCp1251("Строка 1 @ EXCL:3");
  bytes[0] = static_cast<char>(comment.size());
  std::copy(comment.begin(), comment.end(), bytes.begin() + 1);
  auto put = [&](size_t at, uint64_t v, int width) {
    for (int i = 0; i < width; ++i) bytes[at + size_t(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put(256, 70000, 4);
  put(260, 123456, 4);
  for (size_t k = 0; k < 6; ++k) put(264 + 4 * k, 1000 * k + 7, 4);
  put(288, static_cast<uint64_t>(int64_t(-98765432109)), 8);
  WriteBytes(path, bytes + bytes);
  bytes[256] = 1;  // second entry differs
  WriteBytes(path, ReadBytes(path).substr(0, kRatingEntrySize) + bytes);

  Ratings ratings(Env::Real(), host, dir.Path());
  ASSERT_TRUE(ratings.Read());
  ASSERT_EQ(ratings.Count(), 2u);
  const RatingEntry& e = ratings.Entries()[0];
  EXPECT_EQ(e.comment, "Строка 1 @ EXCL:3");
  EXPECT_EQ(e.stakes, 70000);
  EXPECT_EQ(e.matched, 123456);
  EXPECT_EQ(e.histogram, (std::array<int32_t, 6>{7, 1007, 2007, 3007, 4007, 5007}));
  EXPECT_EQ(e.profit, -98765432109);
  EXPECT_EQ(ratings.Entries()[1].stakes, 70000 - 112 + 1);  // only the low byte was changed

  // Writing gives the same bytes back.
  std::string encoded(kRatingEntrySize, 'x');
  EncodeRatingEntry(e, encoded.data());
  EXPECT_EQ(encoded, ReadBytes(path).substr(0, kRatingEntrySize));
}

TEST_F(RatingsTest, LongCommentsAreCutToTheEntry) {
  Ratings ratings(Env::Real(), host, dir.Path());
  std::string longer;
  for (int i = 0; i < 300; ++i) longer += "Я";
  ratings.AddStake(Checked(longer, 1, 0));
  ASSERT_TRUE(ratings.Save());
  ratings.AddStake(Checked(longer, 1, 0));
  EXPECT_EQ(ratings.Count(), 1u);
  Ratings back(Env::Real(), host, dir.Path());
  ASSERT_TRUE(back.Read());
  EXPECT_EQ(Utf8ToCp1251(back.Entries()[0].comment).size(), kRatingCommentBytes);
  EXPECT_NE(back.Find(longer), nullptr);
}

TEST_F(RatingsTest, TornFileKeepsWholeEntries) {
  std::string bytes = EncodeRatingEntries({Entry("A", 1, {1, 0, 0, 0, 0, 0}, 0)});
  WriteBytes(path, bytes + "abc");
  Ratings ratings(Env::Real(), host, dir.Path());
  EXPECT_FALSE(ratings.Read());
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Ошибка чтения файла рейтинга!\r\r", 0), 0u);
  ASSERT_EQ(ratings.Count(), 1u);
  EXPECT_EQ(ratings.Entries()[0].comment, "A");
}

TEST_F(RatingsTest, FailedSaveKeepsThePreviousFile) {
  FaultEnv env;
  Ratings ratings(env, host, dir.Path());
  ratings.AddStake(Checked("A", 2, 0));
  ASSERT_TRUE(ratings.Save());
  const std::string before = ReadBytes(path);
  ratings.AddStake(Checked("B", 2, 0));
  env.failRename = true;
  EXPECT_FALSE(ratings.Save());
  EXPECT_EQ(host.errors.back(), "Ошибка записи в файл рейтинга!\r\rОтказано в доступе");
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(ratings.Unsaved(), 1);
}

TEST(RatingCellsTest, EfficiencyModesForAHandComputedCase) {
  // 100 stakes: 40, 40, 15, 2, 2 and 1 with 0..5 matches; 89 matches.
  const RatingEntry e = Entry("Ручной", 100, {40, 40, 15, 2, 2, 1}, -123456);
  ASSERT_EQ(e.matched, 89);
  auto cells = [&](int mode) {
    std::vector<std::string> v;
    for (int c = 12; c < 18; ++c) v.push_back(RatingCellText(e, c, mode));
    return v;
  };
  EXPECT_EQ(cells(0), (std::vector<std::string>{"45", "42", "12", "1", "0", "0"}));
  EXPECT_EQ(cells(1), (std::vector<std::string>{"-5.070%", "-1.732%", "3.077%", "0.767%", "1.959%", "1.000%"}));
  EXPECT_EQ(cells(2),
            (std::vector<std::string>{"88.750%", "95.851%", "125.804%", "162.147%", "4864.413%", "376992.000%"}));
  EXPECT_EQ(RatingCellText(e, 3, 1), "0.890");
  EXPECT_EQ(RatingCellText(e, 4, 1), "-12.35");
  EXPECT_EQ(RatingCellText(e, 5, 1), "-0.12");  // -1234.56 units a stake
  EXPECT_EQ(RatingRow(e, 1).size(), 18u);
  EXPECT_EQ(RatingTitles().size(), 18u);

  // Two stakes of 3 matches among 100: 2 × 100 ÷ (100 × 4650 ÷ 376992).
  const RatingEntry three = Entry("Три", 100, {98, 0, 0, 2, 0, 0}, 0);
  EXPECT_EQ(RatingCellText(three, 15, 2), "162.147%");

  const RatingEntry none = Entry("Пусто", 0, {0, 0, 0, 0, 0, 0}, 0);
  for (int c : {3, 5, 12, 17}) EXPECT_EQ(RatingCellText(none, c, 2), "") << c;
  EXPECT_EQ(RatingCellText(none, 1, 2), "0");
}

TEST(RatingCellsTest, AverageProfitRoundsHalfAwayFromZero) {
  // -99 ÷ 2 = -49.5 units of 1/10000 → -50, which shows as -0.01; -49 would not.
  EXPECT_EQ(RatingCellText(Entry("a", 2, {2, 0, 0, 0, 0, 0}, -99), 5, 1), "-0.01");
  EXPECT_EQ(RatingCellText(Entry("a", 2, {2, 0, 0, 0, 0, 0}, 99), 5, 1), "0.01");
  EXPECT_EQ(RatingCellText(Entry("a", 3, {3, 0, 0, 0, 0, 0}, -10000), 5, 1), "-0.33");
  EXPECT_EQ(RatingCellText(Entry("a", 2, {2, 0, 0, 0, 0, 0}, -30001), 5, 1), "-1.50");
}

TEST(RatingCsvTest, MatchesTheExportFormatByteForByte) {
  const std::vector<RatingEntry> entries = {Entry("Строка \"1\"; A", 3, {1, 1, 1, 0, 0, 0}, -25000),
                                            Entry("B", 0, {0, 0, 0, 0, 0, 0}, 0)};
  const std::string expected = Utf8ToCp1251(
      "\"Комментарий\";\"Ставок\";\"Угадано\";\"Среднее\";\"Профит\";\"Ср. профит\";\"0\";\"1\";\"2\";\"3\";\"4\";"
      "\"5\";\"E0\";\"E1\";\"E2\";\"E3\";\"E4\";\"E5\"\r\n"
      "\"Строка \"\"1\"\"; A\";3;3;1.000;-2.50;-0.83;1;1;1;0;0;0\r\n"
      "\"B\";0;0;;0.00;;0;0;0;0;0;0\r\n");
  EXPECT_EQ(RatingsCsvText(entries), expected);
  EXPECT_NE(expected.find('\xD1'), std::string::npos);  // "С" as its cp1251 byte

  TempDir dir;
  RecordingHost host;
  Ratings ratings(Env::Real(), host, dir.Path());
  ratings.AddStake(Checked("Q", 1, 0));
  host.files.push_back(std::nullopt);
  EXPECT_FALSE(ratings.ExportCsv());
  host.files.push_back(dir.File("out.csv"));
  EXPECT_TRUE(ratings.ExportCsv());
  EXPECT_EQ(ReadBytes(dir.File("out.csv")), RatingsCsvText(ratings.Entries()));
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(), "Экспорт в CSV-файл..."), host.statuses.end());
}

TEST(RatingSortTest, DefaultOrderIsAverageDescendingThenCommentIgnoringCase) {
  std::vector<RatingEntry> entries = {
      Entry("жук", 2, {0, 2, 0, 0, 0, 0}, 0),     // 1.0
      Entry("Ёлка", 1, {0, 1, 0, 0, 0, 0}, 0),    // 1.0
      Entry("елка", 3, {0, 3, 0, 0, 0, 0}, 0),    // 1.0
      Entry("Banana", 4, {0, 4, 0, 0, 0, 0}, 0),  // 1.0
      Entry("apple", 1, {0, 1, 0, 0, 0, 0}, 0),   // 1.0
      Entry("ноль", 0, {0, 0, 0, 0, 0, 0}, 0),    // no stakes: last
      Entry("треть", 1000, {0, 1000 - 333, 333, 0, 0, 0}, 0),  // 1.333
      Entry("третья", 3, {0, 2, 1, 0, 0, 0}, 0),                // 1.3333…: above 1.333
  };
  TempDir dir;
  RecordingHost host;
  Ratings ratings(Env::Real(), host, dir.Path());
  WriteBytes(ratings.Path(), EncodeRatingEntries(entries));
  ASSERT_TRUE(ratings.Load());
  EXPECT_EQ(Comments(ratings.Entries()), (std::vector<std::string>{"третья", "треть", "apple", "Banana", "елка",
                                                                   "Ёлка", "жук", "ноль"}));
  // Sorting saved the order.
  std::vector<RatingEntry> saved;
  DecodeRatingEntries(ReadBytes(ratings.Path()), saved);
  EXPECT_EQ(Comments(saved), Comments(ratings.Entries()));
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(), "Сортировка рейтинга..."), host.statuses.end());

  ratings.SetSortOrder({3, false});
  ASSERT_TRUE(ratings.Sort());
  EXPECT_EQ(Comments(ratings.Entries()), (std::vector<std::string>{"apple", "Banana", "елка", "Ёлка", "жук", "треть",
                                                                   "третья", "ноль"}));
  ratings.SetSortOrder({0, true});
  ASSERT_TRUE(ratings.Sort());
  EXPECT_EQ(Comments(ratings.Entries()), (std::vector<std::string>{"третья", "треть", "ноль", "жук", "Ёлка", "елка",
                                                                   "Banana", "apple"}));
  ratings.SetSortOrder({1, true});
  ASSERT_TRUE(ratings.Sort());
  EXPECT_EQ(Comments(ratings.Entries()), (std::vector<std::string>{"треть", "Banana", "елка", "третья", "жук", "apple",
                                                                   "Ёлка", "ноль"}));
}

TEST(RatingSortTest, EveryColumnIsAStrictWeakOrdering) {
  std::vector<RatingEntry> entries;
  for (int i = 0; i < 40; ++i)
    entries.push_back(Entry(std::string(i % 2 ? "A" : "a") + std::to_string(i), i % 5,
                            {i % 3, i % 2, i % 4, 0, 0, i % 2}, (i % 9 - 4) * 10001));
  for (int column = 0; column < 18; ++column)
    for (bool descending : {false, true}) {
      const RatingSort sort{column, descending};
      for (const auto& a : entries) {
        EXPECT_FALSE(RatingLess(a, a, sort));
        for (const auto& b : entries) {
          if (RatingLess(a, b, sort)) {
            EXPECT_FALSE(RatingLess(b, a, sort)) << column;
          }
          // Only identical entries compare equal, so the order is fixed.
          if (!RatingLess(a, b, sort) && !RatingLess(b, a, sort)) {
            EXPECT_EQ(a, b) << column;
          }
        }
      }
    }
  EXPECT_LT(CompareRatingComments("Ёж", "ЖУК"), 0);
  EXPECT_GT(CompareRatingComments("ёж", "ЕЖ"), 0);
  EXPECT_EQ(RatingKey("ЁЖ Abc"), RatingKey("ёж aBC"));
}

TEST_F(RatingsTest, RebuildAfterDeletingAllStakes) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  const TConfigData config = Prizes();
  ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, 10, Set({1, 2, 3, 4, 5}), 0, "A", config), 1));
  ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, 11, Set({1, 2, 3, 4, 5}), 0, "B", config), 1));
  DrawArchive archive;
  archive.Append(Draw(10, {1, 2, 3, 4, 5}));
  Ratings ratings(Env::Real(), host, dir.Path());
  ASSERT_EQ(ratings.CheckStakes(store, archive, config), 1);
  ratings.AddStake(Checked("Удалённая", 2, 0));  // a contribution of a stake deleted long ago
  ASSERT_TRUE(ratings.Sort());
  ASSERT_EQ(ratings.Count(), 2u);

  // Rebuilding from what is still there drops the deleted stake's entry.
  host.answers = {true};
  ASSERT_TRUE(ratings.Rebuild(store));
  EXPECT_EQ(Comments(ratings.Entries()), std::vector<std::string>{"A"});

  ASSERT_TRUE(store.DeleteRows(1, store.RecordCount()));
  ASSERT_EQ(store.RecordCount(), 0);
  const std::string saved = ReadBytes(path);
  host.questions.clear();
  host.answers = {false};
  EXPECT_FALSE(ratings.Rebuild(store));
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0],
            "Пересчитать рейтинг только по текущим ставкам?\r\rНакопленные ранее данные по удаленным ставкам будут "
            "потеряны.");
  EXPECT_EQ(ratings.Count(), 1u);
  EXPECT_EQ(ReadBytes(path), saved);

  host.answers = {true};
  ASSERT_TRUE(ratings.Rebuild(store));
  EXPECT_EQ(ratings.Count(), 0u);
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(host.panel[5], "Рейтинг: 0");
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(), "Обновление рейтинга..."), host.statuses.end());

  // Nothing to lose: no question.
  host.questions.clear();
  EXPECT_TRUE(ratings.Rebuild(store));
  EXPECT_TRUE(host.questions.empty());
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(RatingsTest, RowsOutOfRangeShowBadData) {
  Ratings ratings(Env::Real(), host, dir.Path());
  ratings.AddStake(Checked("A", 5, 0));
  EXPECT_EQ(ratings.Row(0, 1)[0], "A");
  const auto bad = ratings.Row(1, 1);
  ASSERT_EQ(bad.size(), 18u);
  EXPECT_EQ(bad[0], "# bad data #");
  EXPECT_EQ(bad[1], "");
}

// A damaged entry: one stake with the smallest profit there is. Its average
// is that profit itself, whose magnitude no int64 holds.
TEST(RatingCellsTest, AverageOfTheSmallestProfit) {
  const RatingEntry e = Entry("a", 1, {1, 0, 0, 0, 0, 0}, INT64_MIN);
  EXPECT_EQ(RatingCellText(e, 5, 1), "-922337203685477.58");
  EXPECT_EQ(RatingCellText(Entry("a", 1, {1, 0, 0, 0, 0, 0}, INT64_MAX), 5, 1), "922337203685477.58");
  EXPECT_EQ(RatingCellText(e, 4, 1), "-922337203685477.58");
}

// Entries read from a damaged file may stand at the ends of their ranges; a
// checked stake added to them stops there instead of wrapping.
TEST_F(RatingsTest, StakesAddedToDamagedEntriesSaturate) {
  RatingEntry low = Entry("убыток", INT32_MAX, {INT32_MAX, 0, 0, 0, 0, 0}, INT64_MIN + 5);
  low.matched = INT32_MAX;
  const RatingEntry high = Entry("прибыль", 3, {0, 0, 0, 0, 0, 3}, INT64_MAX - 5);
  WriteBytes(path, EncodeRatingEntries({low, high}));
  Ratings ratings(Env::Real(), host, dir.Path());
  ASSERT_TRUE(ratings.Read());
  ratings.AddStake(Checked("убыток", 5, -10));
  ratings.AddStake(Checked("убыток", 0, -10));
  ratings.AddStake(Checked("прибыль", 5, 1000000000));
  const RatingEntry* a = ratings.Find("убыток");
  const RatingEntry* b = ratings.Find("прибыль");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->stakes, INT32_MAX);
  EXPECT_EQ(a->matched, INT32_MAX);
  EXPECT_EQ(a->histogram, (std::array<int32_t, 6>{INT32_MAX, 0, 0, 0, 0, 1}));
  EXPECT_EQ(a->profit, INT64_MIN);
  EXPECT_EQ(b->stakes, 4);
  EXPECT_EQ(b->histogram[5], 4);
  EXPECT_EQ(b->profit, INT64_MAX);
  EXPECT_TRUE(host.errors.empty());
}

}  // namespace
}  // namespace px
