#include "core/archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/env.h"
#include "core/errors.h"
#include "support/draws.h"
#include "support/fault_env.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using test::Draw;
using test::ErrorText;
using test::FaultEnv;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kReadError = "Ошибка чтения файла тиражей!\r\r";
const std::string kWriteError = "Ошибка записи в файл тиражей!\r\r";

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

DrawArchive ArchiveOf(std::initializer_list<DrawRecord> records) {
  DrawArchive a;
  for (const auto& r : records) a.Append(r);
  return a;
}

DrawArchive ArchiveOfNumbers(const std::vector<int32_t>& numbers) {
  DrawArchive a;
  for (int32_t n : numbers) a.Append(Draw(n, {1, 2, 3, 4, 5}));
  return a;
}


// Three records as the file holds them: little-endian number, five number
// bytes, date length, ten date bytes.
const std::string kRecordA = Bytes({0x01, 0, 0, 0, 5, 12, 17, 28, 33, 10}) + "01/02/1995";
const std::string kRecordB = Bytes({0xFE, 0xFF, 0xFF, 0xFF, 12, 3, 30, 7, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
// "Янв 1995" in cp1251, zero padded.
const std::string kRecordC =
    Bytes({0x04, 0x03, 0x02, 0x01, 36, 1, 2, 35, 18, 8, 0xDF, 0xED, 0xE2, ' ', '1', '9', '9', '5', 0, 0});

DrawArchive HandMadeArchive() {
  return ArchiveOf({Draw(1, {5, 12, 17, 28, 33}, "01/02/1995"), Draw(-2, {12, 3, 30, 7, 1}),
                    Draw(0x01020304, {36, 1, 2, 35, 18}, "Янв 1995")});
}

TEST(ArchiveFile, RecordsAreByteExact) {
  TempDir dir;
  const std::string path = ArchivePath(dir.Path());
  EXPECT_EQ(path, dir.Path() + "/Pentalux5_5v36.ldr");

  const DrawArchive written = HandMadeArchive();
  written.Save(Env::Real(), path);
  ASSERT_EQ(ReadBytes(path), kRecordA + kRecordB + kRecordC);

  DrawArchive loaded;
  loaded.Load(Env::Real(), path);
  ASSERT_EQ(loaded.Count(), 3);
  EXPECT_EQ(loaded.Records(), written.Records());
  EXPECT_EQ(loaded.At(2).dateLength, 8);
  EXPECT_EQ(loaded.At(2).DateString(), "Янв 1995");
  EXPECT_EQ(loaded.At(0).DateString(), "01/02/1995");
  EXPECT_EQ(loaded.At(1).DateString(), "");

  // Loading replaces what was held; a missing file changes nothing.
  loaded.Load(Env::Real(), dir.File("missing.ldr"));
  EXPECT_EQ(loaded.Count(), 3);
  WriteBytes(path, kRecordB);
  loaded.Load(Env::Real(), path);
  ASSERT_EQ(loaded.Count(), 1);
  EXPECT_EQ(loaded.At(0).number, -2);
}

TEST(ArchiveFile, DateLengthAboveTenReadsAsTen) {
  TempDir dir;
  const std::string path = dir.File("a.ldr");
  WriteBytes(path, Bytes({7, 0, 0, 0, 1, 2, 3, 4, 5, 200}) + "01/02/1995");
  DrawArchive a;
  a.Load(Env::Real(), path);
  ASSERT_EQ(a.Count(), 1);
  EXPECT_EQ(a.At(0).dateLength, 10);
  EXPECT_EQ(a.At(0).DateString(), "01/02/1995");
}

TEST(ArchiveFile, PartialRecordAndReadFailure) {
  TempDir dir;
  const std::string path = dir.File("a.ldr");
  DrawArchive a = HandMadeArchive();

  WriteBytes(path, kRecordA + kRecordC.substr(0, 10));
  std::string text = ErrorText([&] { a.Load(Env::Real(), path); });
  EXPECT_TRUE(text.starts_with(kReadError)) << text;
  ASSERT_EQ(a.Count(), 1);
  EXPECT_EQ(a.At(0), HandMadeArchive().At(0));

  FaultEnv env;
  env.failRead = true;
  a = HandMadeArchive();
  WriteBytes(path, kRecordB);
  text = ErrorText([&] { a.Load(env, path); });
  EXPECT_TRUE(text.starts_with(kReadError)) << text;
  EXPECT_EQ(a.Records(), HandMadeArchive().Records());
}

TEST(ArchiveFile, InterruptedRewriteKeepsPreviousFile) {
  TempDir dir;
  const std::string path = ArchivePath(dir.Path());
  DrawArchive a = HandMadeArchive();

  // The very first save failing leaves no archive behind.
  FaultEnv first;
  first.failRename = true;
  EXPECT_TRUE(ErrorText([&] { a.Save(first, path); }).starts_with(kWriteError));
  EXPECT_FALSE(Env::Real().Exists(path));

  a.Save(Env::Real(), path);
  const std::string before = ReadBytes(path);
  a.Append(Draw(5, {1, 2, 3, 4, 5}, "03/01/2021"));
  a.DeleteAt(0);

  for (long after : {0L, 1L, 19L, 20L, 45L, 59L}) {
    SCOPED_TRACE(after);
    FaultEnv env;
    env.failWriteAfter = after;
    std::string text = ErrorText([&] { a.Save(env, path); });
    EXPECT_TRUE(text.starts_with(kWriteError)) << text;
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(Env::Real().ListDir(dir.Path()), std::vector<std::string>{"Pentalux5_5v36.ldr"});
  }
  FaultEnv env;
  env.failRename = true;
  std::string text = ErrorText([&] { a.Save(env, path); });
  EXPECT_TRUE(text.starts_with(kWriteError)) << text;
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(Env::Real().ListDir(dir.Path()), std::vector<std::string>{"Pentalux5_5v36.ldr"});

  a.Save(Env::Real(), path);
  EXPECT_EQ(ReadBytes(path), kRecordB + kRecordC + Bytes({5, 0, 0, 0, 1, 2, 3, 4, 5, 10}) + "03/01/2021");
}

TEST(ArchivePositions, NumbersNextDrawAndDateKey) {
  DrawArchive empty;
  EXPECT_EQ(empty.NextDrawNumber(0), 1);
  EXPECT_EQ(empty.NextDrawText(0), "");
  EXPECT_EQ(empty.DateKeyAt(0, 1), 19950101);
  EXPECT_EQ(empty.NumbersAt(0), Combination{});

  const DrawArchive a = ArchiveOf({Draw(10, {1, 2, 3, 4, 5}, "02/28/1999"), Draw(20, {6, 7, 8, 9, 10}, "12/30/1999"),
                                   Draw(30, {12, 3, 30, 7, 1}, "12/31/1999")});
  EXPECT_EQ(a.NextDrawNumber(0), 31);
  EXPECT_EQ(a.NextDrawNumber(2), 11);
  EXPECT_EQ(a.NextDrawNumber(-1), -1);
  EXPECT_EQ(a.NextDrawNumber(3), -1);

  EXPECT_EQ(a.NextDrawText(0), "");
  EXPECT_EQ(a.NextDrawText(1), "12;3;30;7;1");
  EXPECT_EQ(a.NextDrawText(2), "6;7;8;9;10");
  EXPECT_EQ(a.NextDrawText(3), "");
  EXPECT_EQ(a.NextDrawText(-1), "");

  EXPECT_EQ(a.NumbersAt(0), (Combination{12, 3, 30, 7, 1}));
  EXPECT_EQ(a.NumbersAt(2), (Combination{1, 2, 3, 4, 5}));
  EXPECT_EQ(a.NumbersAt(3), Combination{});
  EXPECT_EQ(a.NumbersAt(-1), Combination{});

  EXPECT_EQ(a.DateKeyAt(0, 0), 19991231);
  EXPECT_EQ(a.DateKeyAt(0, 1), 20000101);
  EXPECT_EQ(a.DateKeyAt(2, 1), 19990301);
  EXPECT_EQ(a.DateKeyAt(1, -1), 19991229);
  EXPECT_EQ(a.DateKeyAt(3, 1), 19950101);
  EXPECT_EQ(a.DateKeyAt(-1, 5), 19950101);
}

TEST(ArchivePositions, ReferenceIndexOfAnOffset) {
  const DrawArchive a = ArchiveOfNumbers({10, 20, 30, 40});
  // The reference draw of an offset is the draw at that position.
  for (int p = 0; p < a.Count(); ++p) EXPECT_EQ(&a.At(a.ReferenceIndex(p)), &a.AtPosition(p)) << p;
  EXPECT_EQ(a.At(a.ReferenceIndex(0)).number, 40);
  EXPECT_EQ(a.At(a.ReferenceIndex(3)).number, 10);
  // Before the newest draw there is nothing to set aside.
  EXPECT_EQ(a.ReferenceIndex(-1), 3);
  EXPECT_EQ(a.ReferenceIndex(INT_MIN), 3);
  // Past the oldest draw: below 0, one further per draw, without wrapping.
  EXPECT_EQ(a.ReferenceIndex(4), -1);
  EXPECT_EQ(a.ReferenceIndex(7), -4);
  EXPECT_EQ(a.ReferenceIndex(INT_MAX), 3 - INT_MAX);

  const DrawArchive empty;
  EXPECT_EQ(empty.ReferenceIndex(0), -1);
  EXPECT_EQ(empty.ReferenceIndex(-5), -1);
  EXPECT_EQ(empty.ReferenceIndex(2), -3);
  EXPECT_EQ(empty.ReferenceIndex(INT_MAX), INT_MIN);
}

TEST(ArchivePositions, StatusAndKnownNextDraw) {
  const ArchiveStatus none = StatusOf(DrawArchive{}, 0);
  EXPECT_EQ(none.archiveSize, "Архив тиражей: 0");
  EXPECT_EQ(none.nextDraw, "Следующий тираж: 1");
  EXPECT_EQ(none.knownNext, "");

  const DrawArchive a = ArchiveOf({Draw(40, {1, 2, 3, 4, 5}), Draw(41, {6, 7, 8, 9, 10}), Draw(42, {12, 3, 30, 7, 1})});
  const ArchiveStatus at0 = StatusOf(a, 0);
  EXPECT_EQ(at0.archiveSize, "Архив тиражей: 3");
  EXPECT_EQ(at0.nextDraw, "Следующий тираж: 43");
  EXPECT_EQ(at0.knownNext, "");
  EXPECT_TRUE(a.KnownNextDraw(0).none());

  const ArchiveStatus at1 = StatusOf(a, 1);
  EXPECT_EQ(at1.archiveSize, "Архив тиражей: 3");
  EXPECT_EQ(at1.nextDraw, "Следующий тираж: 42");
  EXPECT_EQ(at1.knownNext, "12;3;30;7;1");
  const auto known = a.KnownNextDraw(1);
  EXPECT_EQ(known.count(), 5u);
  for (int n : {1, 3, 7, 12, 30}) EXPECT_TRUE(known.test(n)) << n;

  EXPECT_EQ(a.KnownNextDraw(2).count(), 5u);
  EXPECT_TRUE(a.KnownNextDraw(2).test(10));
  EXPECT_TRUE(a.KnownNextDraw(3).none());
  EXPECT_TRUE(a.KnownNextDraw(-1).none());
}

TEST(ArchiveLookup, IndexOfDraw) {
  const std::vector<std::vector<int32_t>> layouts = {
      {1, 2, 3, 5, 8, 13, 21, 34, 55, 89},  // ascending with gaps
      {1, 1000, 1001, 1002, 1003, 1004, 1005, 1006},
      {50, 7, 93, 12, 1, 64, 30},  // after an import of an unordered file
      {9, 8, 7, 6, 5},
      {5, 3, 4},  // last - first + 1 == 0
      {-20, -10, 0, 10, 20},
      {42},
  };
  for (const auto& numbers : layouts) {
    const DrawArchive a = ArchiveOfNumbers(numbers);
    for (int i = 0; i < static_cast<int>(numbers.size()); ++i)
      EXPECT_EQ(a.IndexOfDraw(numbers[i]), i) << "draw " << numbers[i] << " of layout starting " << numbers[0];
    for (int32_t missing : {-100, -1, 2000, 6, 11, 100, INT32_MIN, INT32_MAX}) {
      if (std::find(numbers.begin(), numbers.end(), missing) == numbers.end()) {
        EXPECT_EQ(a.IndexOfDraw(missing), -1) << missing;
      }
    }
  }
  std::vector<int32_t> consecutive;
  for (int n = 1; n <= 1000; ++n) consecutive.push_back(n);
  const DrawArchive big = ArchiveOfNumbers(consecutive);
  for (int n = 1; n <= 1000; ++n) ASSERT_EQ(big.IndexOfDraw(n), n - 1);
  EXPECT_EQ(big.IndexOfDraw(1001), -1);
  EXPECT_EQ(DrawArchive{}.IndexOfDraw(1), -1);
}

TEST(ArchiveLookup, FindByDateInRecent) {
  DrawArchive a;
  for (int i = 0; i < 6; ++i) a.Append(Draw(i + 1, {1, 2, 3, 4, 5}, "01/0" + std::to_string(i + 1) + "/1995"));
  a.At(4).SetDate("Jan 5 1995");

  EXPECT_EQ(a.FindByDateInRecent("01/06/1995", 3), 5);
  EXPECT_EQ(a.FindByDateInRecent("01/03/1995", 3), 2);  // the fourth newest
  EXPECT_EQ(a.FindByDateInRecent("01/02/1995", 3), -1);
  EXPECT_EQ(a.FindByDateInRecent("01/02/1995", 0), 1);
  EXPECT_EQ(a.FindByDateInRecent("01/01/1995", -1), 0);
  EXPECT_EQ(a.FindByDateInRecent("01/01/1995", 50), 0);
  EXPECT_EQ(a.FindByDateInRecent("JAN 5 1995", 3), 4);
  EXPECT_EQ(a.FindByDateInRecent("01/07/1995", 0), -1);

  a.At(3).SetDate("01/06/1995");  // the newest of equal dates wins
  EXPECT_EQ(a.FindByDateInRecent("01/06/1995", 3), 5);
  EXPECT_EQ(DrawArchive{}.FindByDateInRecent("01/01/1995", 3), -1);
}

TEST(ArchiveEdit, DeleteAt) {
  DrawArchive a = ArchiveOfNumbers({1, 2, 3, 4});
  EXPECT_EQ(ErrorText([&] { a.DeleteAt(4); }), "Запись со индексом 4 в файле данных не найдена!");
  EXPECT_EQ(ErrorText([&] { a.DeleteAt(-1); }), "Запись со индексом -1 в файле данных не найдена!");
  EXPECT_EQ(a.Count(), 4);
  a.DeleteAt(0);
  a.DeleteAt(1);
  ASSERT_EQ(a.Count(), 2);
  EXPECT_EQ(a.At(0).number, 2);
  EXPECT_EQ(a.At(1).number, 4);
  EXPECT_EQ(a.IndexOfDraw(4), 1);
}

TEST(ArchiveText, DrawListRowAndDescription) {
  const DrawRecord r = Draw(7, {12, 3, 30, 7, 1}, "Янв 1995");
  const DrawRecord copy = r;
  EXPECT_EQ(DrawListRow(r, true), (std::vector<std::string>{"7", "1", "3", "7", "12", "30", "53", "Янв 1995"}));
  EXPECT_EQ(DrawListRow(r, false), (std::vector<std::string>{"7", "12", "3", "30", "7", "1", "53", "Янв 1995"}));
  EXPECT_EQ(r, copy);
  EXPECT_EQ(DrawListHeader().size(), DrawListRow(r, false).size());

  EXPECT_EQ(DrawDescription(r), "Тираж № 7 от Янв 1995, значения: 12;3;30;7;1");
  EXPECT_EQ(DrawDescription(Draw(-3, {1, 2, 3, 4, 36})), "Тираж № -3 от , значения: 1;2;3;4;36");
}

TEST(ArchiveText, ParseDrawNumbers) {
  EXPECT_EQ(ParseDrawNumbers("1;2;3;4;5"), (Combination{1, 2, 3, 4, 5}));
  EXPECT_EQ(ParseDrawNumbers("1, 2 ,3;4,5"), (Combination{1, 2, 3, 4, 5}));
  EXPECT_EQ(ParseDrawNumbers("36;12;3;30;7"), (Combination{36, 12, 3, 30, 7}));
  for (const char* bad : {"1;2;3;4", "1;2;3;4;5;6", "0;1;2;3;4", "1;2;3;4;37", "1;2;3;4;4", "1;2;a;4;5",
                          "1;2;3;4;;5", "1 2 3 4 5", "", "1;2;3;4;5.0", "-1;2;3;4;5"})
    EXPECT_EQ(ErrorText([&] { ParseDrawNumbers(bad); }), "Введена некорректная комбинация!") << bad;
}

// A file may hold a draw numbered INT32_MAX; there is no number after it.
TEST(ArchivePositions, NoNextNumberAfterTheLargestOne) {
  const DrawArchive a = ArchiveOf({Draw(7, {1, 2, 3, 4, 5}), Draw(INT32_MAX, {6, 7, 8, 9, 10})});
  EXPECT_EQ(a.NextDrawNumber(0), -1);
  EXPECT_EQ(a.NextDrawNumber(1), 8);
  EXPECT_EQ(StatusOf(a, 0).nextDraw, "Следующий тираж: -1");
}

}  // namespace
}  // namespace px
