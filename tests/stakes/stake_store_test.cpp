#include "stakes/stake_store.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/archive.h"
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
  c.Cost = 15000;  // 1.50
  c.Profits = {{0, 0}, {1, 0}, {2, 10000}, {3, 250000}, {4, 5000000}, {5, 1000000000}};
  return c;
}

StakeRecord Manual(int32_t draw, const NumberSet& numbers, const TConfigData& config = Prizes()) {
  return MakeStake(StakeKind::Manual, draw, numbers, 0, "Ставка \"вручную\"", config);
}

void PutLE(std::string& bytes, size_t at, uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + size_t(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

class StakeStoreTest : public ::testing::Test {
 protected:
  TempDir dir;
  RecordingHost host;
  std::string path = StakesPath(dir.Path());

  std::vector<StakeRecord> Records(StakeStore& store) {
    std::vector<StakeRecord> all;
    for (int64_t i = 0; i < store.RecordCount(); ++i) all.push_back(store.ReadRecord(i));
    return all;
  }
  // Draw numbers of the rows; 0 for a blank row.
  std::vector<int32_t> Rows(StakeStore& store) {
    std::vector<int32_t> rows;
    for (const auto& r : Records(store)) rows.push_back(r.IsBlankRow() ? 0 : r.drawNumber);
    return rows;
  }
};

TEST_F(StakeStoreTest, RecordsAreTheHandBuiltBytesAfterReopening) {
  {
    StakeStore store(Env::Real(), host, dir.Path());
    ASSERT_TRUE(store.Load());
    StakeRecord stake = MakeStake(StakeKind::Manual, 1234, Set({3, 7, 11, 20, 25, 30, 36}), 42, "Тест", Prizes());
    ASSERT_TRUE(store.Append(stake, 1));
    ASSERT_TRUE(store.Append(SeparatorRecord(), 1));
    StakeRecord checked;
    checked.kind = static_cast<uint8_t>(StakeKind::Scenario);
    checked.drawNumber = 7;
    checked.checked = 1;
    checked.sample = 376992;
    checked.numbers = Set({1, 2, 3, 4, 5});
    checked.drawNumbers = {5, 9, 1, 30, 2};
    checked.matches = Set({1, 2, 5});
    checked.profit = 235000;
    ASSERT_TRUE(store.WriteRecord(checked, 0, true));
  }
  EXPECT_TRUE(host.errors.empty());

  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  ASSERT_EQ(store.RecordCount(), 3);
  const std::string file = ReadBytes(path);
  ASSERT_EQ(file.size(), 3 * kStakeRecordSize);

  std::string first(kStakeRecordSize, '\0');
  first[0] = 2;
  first[1] = 1;
  PutLE(first, 4, 1234, 4);
  PutLE(first, 12, 42, 4);
  PutLE(first, 16, 7, 4);
  const char numbers[] = {3, 7, 11, 20, 25, 30, 36};
  std::memcpy(&first[20], numbers, sizeof numbers);
  PutLE(first, 40, 0xFFFFFFFFu, 4);
  PutLE(first, 56, static_cast<uint64_t>(int64_t{-21 * 15000}), 8);  // C(7,5) costs
  first[64] = 4;
  std::memcpy(&first[65], "\xD2\xE5\xF1\xF2", 4);  // "Тест" in cp1251
  EXPECT_EQ(file.substr(0, kStakeRecordSize), first);

  std::string separator(kStakeRecordSize, '\0');
  separator[0] = 2;
  PutLE(separator, 4, 0xFFFFFFFFu, 4);
  PutLE(separator, 40, 0xFFFFFFFFu, 4);
  EXPECT_EQ(file.substr(kStakeRecordSize, kStakeRecordSize), separator);

  std::string third(kStakeRecordSize, '\0');
  third[0] = 2;
  third[1] = 3;
  PutLE(third, 4, 7, 4);
  third[8] = 1;
  PutLE(third, 12, 376992, 4);
  PutLE(third, 16, 5, 4);
  const char staked[] = {1, 2, 3, 4, 5}, drawn[] = {5, 9, 1, 30, 2}, matched[] = {1, 2, 5};
  std::memcpy(&third[20], staked, 5);
  std::memcpy(&third[32], drawn, 5);
  PutLE(third, 40, 3, 4);
  std::memcpy(&third[44], matched, 3);
  PutLE(third, 56, 235000, 8);
  EXPECT_EQ(file.substr(2 * kStakeRecordSize), third);

  EXPECT_EQ(store.ReadRecord(0).comment, "Тест");
  EXPECT_EQ(store.ReadRecord(-1, true).matches, Set({1, 2, 5}));
}

TEST(StakeRecordTest, DecodingClampsDamagedCounts) {
  std::string bytes(kStakeRecordSize, '\0');
  bytes[0] = 2;
  bytes[1] = 1;
  PutLE(bytes, 4, 5, 4);
  PutLE(bytes, 16, 200, 4);
  PutLE(bytes, 40, 9, 4);
  bytes[8] = 1;
  for (size_t i = 0; i < 12; ++i) bytes[20 + i] = static_cast<char>(i + 1);
  StakeRecord r = DecodeStakeRecord(bytes.data());
  EXPECT_EQ(r.numbers.count, 12);
  EXPECT_EQ(r.matches.count, 5);
  EXPECT_EQ(StakeCellText(r, 2), "1;2;3;4;5;6;7;8;9;10;11;12");

  PutLE(bytes, 16, static_cast<uint32_t>(-4), 4);
  PutLE(bytes, 40, static_cast<uint32_t>(-7), 4);
  r = DecodeStakeRecord(bytes.data());
  EXPECT_EQ(r.numbers.count, 0);
  EXPECT_EQ(r.matches.count, -1);
}

TEST(StakeRecordTest, ProfitAndGridTexts) {
  const TConfigData c = Prizes();
  EXPECT_EQ(StakeProfit(c, 7, 3), 250000 - 21 * 15000);
  EXPECT_EQ(StakeProfit(c, 5, -1), -15000);
  EXPECT_EQ(StakeProfit(c, 12, -1), -792 * 15000);
  TConfigData gaps = c;
  gaps.Profits = {{3, 250000}};
  EXPECT_EQ(StakeProfit(gaps, 5, 1), -15000);  // no entry for one match
  // The first entry of a repeated overlap wins.
  gaps.Profits = {{2, 10000}, {2, 99990000}};
  EXPECT_EQ(StakeProfit(gaps, 5, 2), 10000 - 15000);

  // A hand-made extended stake costs all of its simple stakes until checked.
  EXPECT_EQ(Manual(5, Set({1, 2, 3, 4, 5, 6, 7, 8})).profit, -56 * 15000);

  EXPECT_EQ(MoneyText(-315000), "-31.50");
  EXPECT_EQ(MoneyText(5), "0.00");
  EXPECT_EQ(MoneyText(-50), "-0.01");
  EXPECT_EQ(MoneyText(1234567), "123.46");

  StakeRecord r = Manual(12, Set({4, 1, 9, 16, 25}));
  EXPECT_EQ(StakeRow(r), (std::vector<std::string>{"12", "Вручную", "4;1;9;16;25", "0", "", "", "", "-1.50",
                                                   "Ставка \"вручную\""}));
  r.checked = 1;
  r.drawNumbers = {25, 2, 4, 33, 1};
  r.matches = Set({1, 4, 25});
  EXPECT_EQ(StakeCellText(r, 4), "25;2;4;33;1");
  EXPECT_EQ(StakeCellText(r, 5), "3");
  EXPECT_EQ(StakeCellText(r, 6), "1 4 25");
  r.drawNumber = 0;
  EXPECT_EQ(StakeRow(r), std::vector<std::string>(9));
  EXPECT_EQ(StakeKindText(4), "Система");
  EXPECT_EQ(StakeKindText(9), "");
  EXPECT_EQ(StakeKindColour(3), 0xEAFFFFu);
  EXPECT_FALSE(StakeKindColour(0));
}

TEST(StakeRecordTest, NumbersAreValidatedAsTheStakeDialogDoes) {
  EXPECT_EQ(ParseStakeNumbers(" 5 , 1;2 ;3, 4 "), Set({1, 2, 3, 4, 5}));
  EXPECT_EQ(ParseStakeNumbers(" 5 , 1;2 ;3, 4 ").values[0], 1);
  EXPECT_EQ(ParseStakeNumbers("1;2;3;4;5;6;7;8;9;10;11;12").count, 12);
  for (const char* bad : {"1;2;3;4", "1;2;3;4;37", "1;2;3;4;4", "1;2;x;4;5", "1;2;3;4;5;6;7;8;9;10;11;12;13",
                          "0;1;2;3;4", "1;;2;3;4;5"}) {
    EXPECT_EQ(test::ErrorText([&] { ParseStakeNumbers(bad); }), "Введена некорректная комбинация!") << bad;
  }
}

TEST_F(StakeStoreTest, AppendForConsecutiveDrawsFollowsTheSeparatorRules) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  // Into an empty file: no blank row before the first stake.
  ASSERT_TRUE(store.Append(Manual(10, Set({1, 2, 3, 4, 5})), 2));
  EXPECT_EQ(Rows(store), (std::vector<int32_t>{10, 0, 11}));

  store.Clear();
  ASSERT_TRUE(store.Append(Manual(5, Set({1, 2, 3, 4, 5})), 1));
  ASSERT_TRUE(store.Append(Manual(20, Set({6, 7, 8, 9, 10})), 3));
  EXPECT_EQ(Rows(store), (std::vector<int32_t>{5, 0, 20, 0, 21, 0, 22}));

  store.Clear();
  ASSERT_TRUE(store.Append(SeparatorRecord(), 1));
  ASSERT_TRUE(store.Append(Manual(20, Set({6, 7, 8, 9, 10})), 3));
  EXPECT_EQ(Rows(store), (std::vector<int32_t>{0, 20, 0, 21, 0, 22}));
  const auto all = Records(store);
  EXPECT_EQ(all[2], SeparatorRecord());
  EXPECT_EQ(all[5].numbers, Set({6, 7, 8, 9, 10}));
  EXPECT_EQ(all[5].comment, "Ставка \"вручную\"");
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(StakeStoreTest, CheckedStakesAndClosedFilesAreRefused) {
  StakeStore store(Env::Real(), host, dir.Path());
  StakeRecord r = Manual(5, Set({1, 2, 3, 4, 5}));
  EXPECT_FALSE(store.Append(r, 1));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "Ошибка добавления записи в файл ставок!\r\rФайл ставок не открыт!");
  ASSERT_TRUE(store.Load());
  r.checked = 1;
  EXPECT_FALSE(store.Append(r, 3));
  EXPECT_EQ(host.errors.back(),
            "Ошибка добавления записи в файл ставок!\r\rДобавление в конец файла уже проверенной ставки!");
  EXPECT_EQ(store.RecordCount(), 0);

  // Reading past the end reports the index and gives a zero-filled record.
  const StakeRecord missing = store.ReadRecord(3);
  EXPECT_EQ(host.errors.back(),
            "Ошибка чтения записи из файла ставок!\r\rЗапись со индексом 3 в файле данных не найдена!");
  EXPECT_EQ(missing.version, 0);
  EXPECT_EQ(missing.matches.count, 0);
  EXPECT_FALSE(store.WriteRecord(SeparatorRecord(), 1));
  EXPECT_EQ(host.errors.back(),
            "Ошибка добавления записи в файл ставок!\r\rЗапись со индексом 1 в файле данных не найдена!");
}

TEST_F(StakeStoreTest, ReadsFollowWritesThroughTheCache) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  ASSERT_TRUE(store.Append(Manual(1, Set({1, 2, 3, 4, 5})), 1));
  EXPECT_EQ(store.ReadRecord(-1, true).drawNumber, 1);
  ASSERT_TRUE(store.Append(Manual(2, Set({1, 2, 3, 4, 5})), 1));
  EXPECT_EQ(store.ReadRecord(-1, true).drawNumber, 2);
  EXPECT_EQ(store.ReadRecord(0).drawNumber, 1);
  ASSERT_TRUE(store.WriteRecord(Manual(9, Set({1, 2, 3, 4, 5})), 0));
  EXPECT_EQ(store.ReadRecord(0).drawNumber, 9);
  EXPECT_EQ(store.ReadRecord(-2, true).drawNumber, 9);
}

class CountingSink final : public RatingsSink {
 public:
  std::vector<StakeRecord> added;
  void AddStake(const StakeRecord& r) override { added.push_back(r); }
};

TEST_F(StakeStoreTest, CheckingSetsMatchesAndProfitOnce) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  const TConfigData config = Prizes();
  ASSERT_TRUE(store.Append(Manual(100, Set({30, 2, 17, 4, 9, 11, 36}), config), 1));  // 3 matches
  ASSERT_TRUE(store.Append(Manual(101, Set({1, 2, 3, 4, 5}), config), 1));           // no such draw yet
  ASSERT_TRUE(store.Append(SeparatorRecord(), 1));

  DrawArchive archive;
  archive.Append(Draw(100, {36, 5, 4, 30, 21}, "03/01/2021"));
  CountingSink sink;
  EXPECT_EQ(store.CheckAndRefresh(archive, config, &sink), 1);
  ASSERT_TRUE(store.IsOpen());

  StakeRecord r = store.ReadRecord(0);
  EXPECT_EQ(r.checked, 1);
  EXPECT_EQ(r.drawNumbers, (std::array<uint8_t, 5>{36, 5, 4, 30, 21}));
  EXPECT_EQ(r.matches.count, 3);
  EXPECT_EQ(r.matches.values, (std::array<uint8_t, 12>{4, 30, 36}));  // ascending
  EXPECT_EQ(r.profit, 250000 - 21 * 15000);
  ASSERT_EQ(sink.added.size(), 1u);
  EXPECT_EQ(sink.added[0], r);

  StakeRecord waiting = store.ReadRecord(1);
  EXPECT_EQ(waiting.checked, 0);
  EXPECT_EQ(waiting.matches.count, -1);
  EXPECT_EQ(StakeCellText(waiting, 7), "-1.50");

  // The draw arrives: only the waiting stake is checked, the first not again.
  archive.Append(Draw(101, {6, 7, 8, 9, 10}, "03/04/2021"));
  EXPECT_EQ(store.CheckAll(archive, config, &sink), 1);
  ASSERT_EQ(sink.added.size(), 2u);
  waiting = store.ReadRecord(1);
  EXPECT_EQ(waiting.checked, 1);
  EXPECT_EQ(waiting.matches.count, 0);
  EXPECT_EQ(waiting.profit, 0 - 15000);
  EXPECT_EQ(store.ReadRecord(0), r);
  EXPECT_EQ(store.CheckAll(archive, config, nullptr), 0);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.CurrentStatus(), "");
}

TEST_F(StakeStoreTest, LaterChecksFindEveryUncheckedStakeWhereverItIs) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  const TConfigData config = Prizes();
  DrawArchive archive;
  archive.Append(Draw(1, {1, 2, 3, 4, 6}));
  archive.Append(Draw(2, {7, 8, 9, 10, 11}));
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(store.Append(Manual(1, Set({1, 2, 3, 4, 5}), config), 1));
  ASSERT_TRUE(store.Append(Manual(3, Set({1, 2, 3, 4, 5}), config), 1));  // draw 3 is not known yet
  EXPECT_EQ(store.CheckAndRefresh(archive, config, nullptr), 3);
  // Appended after a check, and behind a stake that still waits.
  ASSERT_TRUE(store.Append(Manual(2, Set({7, 8, 9, 1, 2}), config), 1));
  EXPECT_EQ(store.CheckAndRefresh(archive, config, nullptr), 1);
  EXPECT_EQ(store.ReadRecord(4).matches.count, 3);
  // A record written back unchecked in front of the checked ones.
  StakeRecord r = store.ReadRecord(0);
  r.checked = 0;
  r.matches = NumberSet{-1, {}};
  ASSERT_TRUE(store.WriteRecord(r, 0));
  EXPECT_EQ(store.CheckAll(archive, config, nullptr), 1);
  // Another program writing the file while it was released: everything is looked at again.
  store.Close();
  {
    StakeStore other(Env::Real(), host, dir.Path());
    ASSERT_TRUE(other.Load());
    StakeRecord fresh = other.ReadRecord(1);
    fresh.checked = 0;
    ASSERT_TRUE(other.WriteRecord(fresh, 1));
  }
  store.Open();
  archive.Append(Draw(3, {1, 2, 3, 4, 5}));
  EXPECT_EQ(store.CheckAll(archive, config, nullptr), 2);
  EXPECT_EQ(store.ReadRecord(3).matches.count, 5);
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(StakeStoreTest, CheckingReportsProgressPastTheUncheckableHead) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(store.Append(SeparatorRecord(), 1));
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(store.Append(Manual(1, Set({1, 2, 3, 4, 5})), 1));
  DrawArchive archive;
  archive.Append(Draw(1, {1, 2, 3, 4, 6}));
  EXPECT_EQ(store.CheckAll(archive, Prizes(), nullptr), 200);
  // 199 records after the first checkable one: a step of 1, so the last
  // text is for 199 of 199.
  auto last = std::find_if(host.statuses.rbegin(), host.statuses.rend(), [](const std::string& s) {
    return s.find("завершено") != std::string::npos;
  });
  ASSERT_NE(last, host.statuses.rend());
  EXPECT_EQ(*last, "Проверка результатов ставок ( завершено 100 % )...");
}

TEST_F(StakeStoreTest, DeleteWhereLessThanTwoDropsUncheckedAndKeepsSeparators) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  DrawArchive archive;
  archive.Append(Draw(1, {1, 2, 3, 4, 5}));
  const TConfigData config = Prizes();
  // Stakes on draw 1 with 0, 1, 2 and 3 matches, separators between them.
  for (const NumberSet& s : {Set({10, 11, 12, 13, 14}), Set({1, 11, 12, 13, 14}), Set({1, 2, 12, 13, 14}),
                             Set({1, 2, 3, 13, 14})}) {
    ASSERT_TRUE(store.Append(Manual(1, s, config), 1));
    ASSERT_TRUE(store.Append(SeparatorRecord(), 1));
  }
  ASSERT_TRUE(store.Append(Manual(2, Set({1, 2, 3, 4, 5}), config), 1));  // unchecked
  ASSERT_EQ(store.CheckAll(archive, config, nullptr), 4);

  ASSERT_TRUE(store.DeleteWhere(MatchComparison::Less, 2));
  std::vector<int> matches;
  for (const auto& r : Records(store)) matches.push_back(r.kind == 0 ? -9 : r.matches.count);
  EXPECT_EQ(matches, (std::vector<int>{-9, -9, 2, -9, 3, -9}));
  EXPECT_FALSE(std::filesystem::exists(dir.File("Pentalux5_5v36.~tmp")));

  ASSERT_TRUE(store.DeleteWhere(MatchComparison::Equal, 3));
  EXPECT_EQ(store.RecordCount(), 5);
  ASSERT_TRUE(store.DeleteWhere(MatchComparison::NotLess, 0));  // every stake; blank rows stay
  EXPECT_EQ(Rows(store), (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(StakeStoreTest, DeleteWhereComparesTheMatchCountAsItsNumberSays) {
  // The numbers the stakes page keeps and the tool takes.
  EXPECT_EQ(MatchComparisonOf(0), MatchComparison::Equal);
  EXPECT_EQ(MatchComparisonOf(1), MatchComparison::More);
  EXPECT_EQ(MatchComparisonOf(2), MatchComparison::NotLess);
  EXPECT_EQ(MatchComparisonOf(3), MatchComparison::Less);
  EXPECT_EQ(MatchComparisonOf(4), MatchComparison::NotMore);
  EXPECT_FALSE(MatchComparisonOf(-1));
  EXPECT_FALSE(MatchComparisonOf(5));
  EXPECT_FALSE(MatchComparisonOf(255));

  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  DrawArchive archive;
  archive.Append(Draw(1, {1, 2, 3, 4, 5}));
  const TConfigData config = Prizes();
  // What is left of stakes with 0..3 matches and an unchecked one (-1), compared with 2.
  const std::vector<std::pair<MatchComparison, std::vector<int>>> cases = {
      {MatchComparison::Equal, {0, 1, 3, -1}}, {MatchComparison::More, {0, 1, 2, -1}},
      {MatchComparison::NotLess, {0, 1, -1}},  {MatchComparison::Less, {2, 3}},
      {MatchComparison::NotMore, {3}}};
  for (const auto& [comparison, left] : cases) {
    store.Clear();
    for (const NumberSet& s : {Set({10, 11, 12, 13, 14}), Set({1, 11, 12, 13, 14}), Set({1, 2, 12, 13, 14}),
                               Set({1, 2, 3, 13, 14})})
      ASSERT_TRUE(store.Append(Manual(1, s, config), 1));
    ASSERT_TRUE(store.Append(SeparatorRecord(), 1));
    ASSERT_TRUE(store.Append(Manual(2, Set({1, 2, 3, 4, 5}), config), 1));
    ASSERT_EQ(store.CheckAll(archive, config, nullptr), 4);
    ASSERT_TRUE(store.DeleteWhere(comparison, 2));
    std::vector<int> matches;
    for (const auto& r : Records(store))
      if (r.kind != 0) matches.push_back(r.matches.count);
    EXPECT_EQ(matches, left) << int(comparison);
    EXPECT_EQ(store.RecordCount(), int64_t(left.size()) + 1) << "the separator stays";
  }
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(StakeStoreTest, DeleteRowsUsesGridRows) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  EXPECT_FALSE(store.DeleteRows(1, 1));
  EXPECT_EQ(host.errors.back(), "Ошибка удаления записи из файла ставок!\r\rФайл ставок не открыт!");
  for (int d = 1; d <= 5; ++d) ASSERT_TRUE(store.Append(Manual(d, Set({1, 2, 3, 4, 5})), 1));
  ASSERT_TRUE(store.DeleteRows(2, 3));
  EXPECT_EQ(Rows(store), (std::vector<int32_t>{1, 4, 5}));
  // The store holds the new file: appending lands after the kept records.
  ASSERT_TRUE(store.Append(Manual(6, Set({1, 2, 3, 4, 5})), 1));
  StakeStore other(Env::Real(), host, dir.Path());
  EXPECT_THROW(other.Open(), Error);
  store.Close();
  other.Open();
  EXPECT_EQ(Rows(other), (std::vector<int32_t>{1, 4, 5, 6}));
}

TEST_F(StakeStoreTest, FailedRewriteLosesNoStake) {
  FaultEnv env;
  StakeStore store(env, host, dir.Path());
  ASSERT_TRUE(store.Load());
  for (int d = 1; d <= 4; ++d) ASSERT_TRUE(store.Append(Manual(d, Set({1, 2, 3, 4, 5})), 1));
  const std::string before = ReadBytes(path);
  const std::string temp = dir.File("Pentalux5_5v36.~tmp");

  env.failRename = true;
  EXPECT_FALSE(store.DeleteRows(1, 2));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "Ошибка удаления записи из файла ставок!\r\rОшибка переименования / удаления временного "
                            "файла ставок " + temp + "!\r\rОтказано в доступе");
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_FALSE(std::filesystem::exists(temp));
  EXPECT_EQ(Rows(store), (std::vector<int32_t>{1, 2, 3, 4}));

  env.failRename = false;
  env.failWriteAfter = 100;  // the disk fills while the copy is written
  EXPECT_FALSE(store.DeleteWhere(MatchComparison::Less, 5));
  EXPECT_EQ(host.errors.size(), 2u);
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_FALSE(std::filesystem::exists(temp));

  // Still open, still locked and still in step with the file.
  env.failWriteAfter = -1;
  ASSERT_TRUE(store.Append(Manual(5, Set({1, 2, 3, 4, 5})), 1));
  EXPECT_TRUE(store.Contains(5, Set({5, 4, 3, 2, 1})));
  StakeStore other(Env::Real(), host, dir.Path());
  EXPECT_THROW(other.Open(), Error);
  ASSERT_TRUE(store.DeleteRows(1, 2));
  EXPECT_EQ(Rows(store), (std::vector<int32_t>{3, 4, 5}));
}

TEST_F(StakeStoreTest, TornOrOutdatedFileIsBackedUpThenEmptied) {
  FaultEnv env;
  std::tm tm{};
  tm.tm_year = 2026 - 1900, tm.tm_mon = 2, tm.tm_mday = 4, tm.tm_hour = 9, tm.tm_min = 5, tm.tm_sec = 7;
  tm.tm_isdst = -1;
  env.now = std::chrono::system_clock::from_time_t(std::mktime(&tm));
  const std::string backup = path + ".2026-03-04-09-05-07.bak", second = path + ".2026-03-04-09-05-07-2.bak";
  WriteBytes(path + ".bak", "older copy");
  const std::string torn(330, '\x02');
  WriteBytes(path, torn);
  {
    StakeStore store(env, host, dir.Path());
    ASSERT_TRUE(store.Load());
    ASSERT_EQ(host.warnings.size(), 1u);
    EXPECT_EQ(host.warnings[0], "Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!");
    EXPECT_FALSE(store.HasRecords());
    EXPECT_EQ(store.CountText(), "Ставок: 0");
  }
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(ReadBytes(backup), torn);
  EXPECT_EQ(ReadBytes(path + ".bak"), "older copy");

  // A second event in the same second keeps the first copy.
  std::string version1(2 * kStakeRecordSize, '\0');
  version1[0] = 1;
  WriteBytes(path, version1);
  {
    StakeStore store(env, host, dir.Path());
    ASSERT_TRUE(store.Load());
    EXPECT_EQ(host.warnings.size(), 2u);
  }
  EXPECT_EQ(ReadBytes(backup), torn);
  EXPECT_EQ(ReadBytes(second), version1);

  // When the copy cannot be written the file is not emptied.
  WriteBytes(path, torn);
  env.failOpen = true;
  env.only = ".bak";
  {
    StakeStore store(env, host, dir.Path());
    EXPECT_FALSE(store.Load());
    EXPECT_EQ(host.errors.size(), 1u);
  }
  EXPECT_EQ(ReadBytes(path), torn);
  host.errors.clear();
  host.warnings.resize(2);

  // Only the first record's version is tested.
  std::string later(2 * kStakeRecordSize, '\0');
  later[0] = 2;
  later[kStakeRecordSize] = 7;
  WriteBytes(path, later);
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  EXPECT_EQ(host.warnings.size(), 2u);
  EXPECT_EQ(store.RecordCount(), 2);
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(StakeStoreTest, SecondOpenOfTheFolderIsRefused) {
  StakeStore first(Env::Real(), host, dir.Path());
  ASSERT_TRUE(first.Load());
  ASSERT_TRUE(first.Append(Manual(1, Set({1, 2, 3, 4, 5})), 1));

  StakeStore second(Env::Real(), host, dir.Path());
  EXPECT_FALSE(second.Load());
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Ошибка чтения файла ставок!\r\r", 0), 0u) << host.errors[0];
  EXPECT_FALSE(second.IsOpen());
  EXPECT_FALSE(second.Reopen());

  first.Close();
  EXPECT_TRUE(second.Reopen());
  EXPECT_EQ(second.RecordCount(), 1);
  EXPECT_THROW(first.Open(), Error);
}

TEST_F(StakeStoreTest, ContainsAgreesWithAScan) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  EXPECT_FALSE(store.Contains(1, Set({1, 2, 3, 4, 5})));
  ASSERT_TRUE(store.Append(Manual(1, Set({1, 2, 3, 4, 5})), 1));
  ASSERT_TRUE(store.Append(Manual(2, Set({1, 2, 3, 4, 5, 6})), 2));
  auto scan = [&](int32_t draw, const NumberSet& s) {
    for (const auto& r : Records(store))
      if (r.drawNumber == draw && r.numbers == s) return true;
    return false;
  };
  const std::vector<std::pair<int32_t, NumberSet>> probes = {
      {1, Set({5, 4, 3, 2, 1})}, {1, Set({1, 2, 3, 4, 6})}, {2, Set({6, 1, 2, 3, 4, 5})},
      {3, Set({1, 2, 3, 4, 5, 6})}, {4, Set({1, 2, 3, 4, 5, 6})}, {2, Set({1, 2, 3, 4, 5})}, {-1, Set({})}};
  auto agree = [&] {
    for (const auto& [draw, s] : probes) EXPECT_EQ(store.Contains(draw, s), scan(draw, s)) << draw;
  };
  agree();
  EXPECT_TRUE(store.Contains(3, Set({1, 2, 3, 4, 5, 6})));
  EXPECT_TRUE(store.Contains(-1, Set({})));  // the separator

  ASSERT_TRUE(store.WriteRecord(Manual(4, Set({1, 2, 3, 4, 5, 6})), 4));  // draw 3 becomes 4
  EXPECT_FALSE(store.Contains(3, Set({1, 2, 3, 4, 5, 6})));
  EXPECT_TRUE(store.Contains(4, Set({1, 2, 3, 4, 5, 6})));
  agree();
  ASSERT_TRUE(store.DeleteRows(1, 1));
  EXPECT_FALSE(store.Contains(1, Set({1, 2, 3, 4, 5})));
  agree();
  store.Clear();
  EXPECT_FALSE(store.Contains(2, Set({1, 2, 3, 4, 5, 6})));
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(StakeStoreTest, LogsGetOneLinePerCheckedStake) {
  FaultEnv env;
  std::tm tm{};
  tm.tm_year = 2021 - 1900;
  tm.tm_mon = 2;
  tm.tm_mday = 4;
  tm.tm_hour = 9;
  tm.tm_min = 5;
  tm.tm_sec = 7;
  tm.tm_isdst = -1;
  env.now = std::chrono::system_clock::from_time_t(std::mktime(&tm));

  StakeStore store(env, host, dir.Path());
  ASSERT_TRUE(store.Load());
  EXPECT_EQ(StakeLogName(3), "Pentalux5_5v36-3.log");
  EXPECT_EQ(store.LogPath(3), dir.File("Pentalux5_5v36-3.log"));
  ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, 100, Set({2, 4, 9, 30, 36}), 17, "Тест", Prizes()), 1));
  ASSERT_TRUE(store.Append(Manual(100, Set({10, 11, 12, 13, 14})), 1));
  DrawArchive archive;
  archive.Append(Draw(100, {36, 5, 4, 30, 21}));

  store.SetLogEnabled(true);
  ASSERT_EQ(store.CheckAll(archive, Prizes(), nullptr), 2);
  EXPECT_EQ(ReadBytes(store.LogPath(3)),
            "2021.03.04 09:05:07: \xD2\xE8\xF0\xE0\xE6 \xB9 100. \xD1\xF2\xE0\xE2\xEA\xE0: \"\xD2\xE5\xF1\xF2\" "
            "[2;4;9;30;36] {17}. \xD0\xE5\xE7\xF3\xEB\xFC\xF2\xE0\xF2\xFB \xF2\xE8\xF0\xE0\xE6\xE0: "
            "[36;5;4;30;21]. \xD1\xEE\xE2\xEF\xE0\xE4\xE5\xED\xE8\xE9: 3. \xCF\xF0\xEE\xF4\xE8\xF2: 23.50.\r\n");
  EXPECT_TRUE(std::filesystem::exists(store.LogPath(0)));
  EXPECT_EQ(store.LogFiles(), (std::vector<std::string>{"Pentalux5_5v36-0.log", "Pentalux5_5v36-3.log"}));

  // A log above the limit starts again; one at the limit grows.
  const std::string big(64, 'x');
  WriteBytes(store.LogPath(0), big);
  WriteBytes(store.LogPath(3), big);
  store.SetLogLimit(64);
  ASSERT_TRUE(store.Append(Manual(101, Set({10, 11, 12, 13, 14})), 1));
  ASSERT_TRUE(store.Append(Manual(101, Set({1, 2, 3, 4, 6})), 1));
  archive.Append(Draw(101, {1, 2, 3, 20, 21}));
  ASSERT_EQ(store.CheckAll(archive, Prizes(), nullptr), 2);
  EXPECT_EQ(ReadBytes(store.LogPath(0)).rfind(big, 0), 0u);
  WriteBytes(store.LogPath(0), big + "y");
  ASSERT_TRUE(store.Append(Manual(101, Set({10, 11, 12, 13, 15})), 1));
  ASSERT_EQ(store.CheckAll(archive, Prizes(), nullptr), 1);
  const std::string restarted = ReadBytes(store.LogPath(0));
  EXPECT_EQ(restarted.rfind("2021.03.04 09:05:07: ", 0), 0u);
  EXPECT_EQ(std::count(restarted.begin(), restarted.end(), '\n'), 1);
  EXPECT_TRUE(host.errors.empty());

  // Off: nothing is written.
  store.SetLogEnabled(false);
  ASSERT_TRUE(store.Append(Manual(101, Set({1, 2, 3, 30, 31})), 1));
  ASSERT_EQ(store.CheckAll(archive, Prizes(), nullptr), 1);
  EXPECT_EQ(store.LogFiles().size(), 2u);  // 0 and 3, no -3 log

  const DeleteSummary deleted = DeleteLogFiles(Env::Real(), dir.Path(), store.LogFiles());
  EXPECT_TRUE(deleted.ok);
  EXPECT_EQ(deleted.text, "Удаление файлов журналов завершено\r\rУдалено файлов: 2");
  EXPECT_TRUE(store.LogFiles().empty());
  EXPECT_EQ(StakeLogFiles(Env::Real(), dir.Path()), store.LogFiles());
  EXPECT_EQ(DeleteLogFiles(Env::Real(), dir.Path(), store.LogFiles()).text, "Файлы журналов не найдены!");
  EXPECT_EQ(StakeStore::kDefaultLogLimit, 268435456u);
}

TEST_F(StakeStoreTest, LogWriteFailureIsReportedAndCheckingGoesOn) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  std::filesystem::create_directory(store.LogPath(0));  // a folder where the log should be
  ASSERT_TRUE(store.Append(Manual(1, Set({10, 11, 12, 13, 14})), 1));
  ASSERT_TRUE(store.Append(Manual(1, Set({10, 11, 12, 13, 15})), 1));
  DrawArchive archive;
  archive.Append(Draw(1, {1, 2, 3, 4, 5}));
  store.SetLogEnabled(true);
  EXPECT_EQ(store.CheckAll(archive, Prizes(), nullptr), 2);
  ASSERT_EQ(host.errors.size(), 2u);
  EXPECT_EQ(host.errors[0], "Ошибка записи в файл \"" + store.LogPath(0) +
                                "\"!\r\rУказанный путь является каталогом");
}

// The desktop dialog and a scenario reach Append with any draw and count:
// the store refuses a run whose last draw number would pass the range and
// writes nothing of it.
TEST_F(StakeStoreTest, AppendRefusesDrawsPastTheLargestNumber) {
  StakeStore store(Env::Real(), host, dir.Path());
  ASSERT_TRUE(store.Load());
  EXPECT_FALSE(store.Append(Manual(INT32_MAX, Set({1, 2, 3, 4, 5})), 2));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0],
            "Ошибка добавления записи в файл ставок!\r\rНекорректный номер тиража: 2147483648! Номер тиража должен "
            "быть не больше 2147483646.");
  EXPECT_FALSE(store.Append(Manual(2147483000, Set({1, 2, 3, 4, 5})), 65535));
  EXPECT_EQ(store.RecordCount(), 0);
  ASSERT_TRUE(store.Append(Manual(2147483645, Set({1, 2, 3, 4, 5})), 2));
  EXPECT_EQ(Rows(store), (std::vector<int32_t>{2147483645, 0, 2147483646}));
}

// Costs and prizes the desktop accepts (up to 9e14 each) times the 792
// simple stakes of a twelve-number stake leave the 64-bit range: the
// profit stops at its end instead of wrapping to the other sign.
TEST(StakeRecordTest, ProfitOfHugeAmountsSaturates) {
  TConfigData c;
  c.Cost = CurrencyOf(kMaxMoney);
  c.Profits = {{5, INT64_MAX}};
  EXPECT_EQ(StakeProfit(c, 12, -1), INT64_MIN);
  EXPECT_EQ(StakeProfit(c, 5, 5), INT64_MAX - CurrencyOf(kMaxMoney));
  c.Cost = -CurrencyOf(kMaxMoney);
  EXPECT_EQ(StakeProfit(c, 12, 5), INT64_MAX);
}

}  // namespace
}  // namespace px
