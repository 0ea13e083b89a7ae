#include "combs/combination_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "core/archive.h"
#include "core/env.h"
#include "core/text.h"
#include "support/draws.h"
#include "support/fault_env.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using test::Draw;
using test::ReadBytes;
using test::WriteBytes;
using Strings = std::vector<std::string>;
using List = std::vector<Combination>;

Combination C(int a, int b, int c, int d, int e) { return {uint8_t(a), uint8_t(b), uint8_t(c), uint8_t(d), uint8_t(e)}; }

void Fill(CombinationSet& set, const List& list) {
  set.Working().SetCount(0);
  for (const auto& c : list) set.Working().Append(c);
}

int Sum(const Combination& c) { return c[0] + c[1] + c[2] + c[3] + c[4]; }

TEST(CombinationSet, FiltersUndoAndLog) {
  test::RecordingHost host;
  CombinationSet set(&host);
  set.Init(kCapacity);
  GenerateSet(set, Env::Real(), false, 0, "");
  set.TakeSnapshot(true);
  EXPECT_EQ(host.statuses, (Strings{"Создание файла отката...", ""}));
  EXPECT_EQ(set.FilterFromSnapshot([](const Combination& c) { return Contains(1, c); }, false, "Числа", "1"), 52360);
  const List first = set.ToVector();
  EXPECT_EQ(set.Log(), (std::vector<LogRow>{{"Числа", "1", 52360, LogKind::Include}}));

  // The compacting form, in parallel parts, keeps what a plain loop keeps, in order.
  List expected;
  std::copy_if(first.begin(), first.end(), std::back_inserter(expected), [](auto& c) { return Sum(c) >= 60; });
  auto sumAtLeast60 = [](int, const Combination* list, size_t n, Combination* out) {
    size_t k = 0;
    for (size_t i = 0; i < n; ++i)
      if (Sum(list[i]) >= 60) out[k++] = list[i];
    return k;
  };
  for (int workers : {1, 2, 3}) {
    set.TakeSnapshot(true);
    int kept = set.FilterFromSnapshotCompact(sumAtLeast60, workers, true, "Сумма", "15-59");
    EXPECT_EQ(set.ToVector(), expected) << workers;
    EXPECT_EQ(set.Log().back(), (LogRow{"Сумма", "15-59", kept, LogKind::Exclude}));
    set.RestoreSnapshot(false);
    set.RemoveLastLogRow();
  }
  // A failing part keeps the parts before it.
  set.TakeSnapshot(false);
  EXPECT_THROW(set.FilterFromSnapshotCompact(
                   [](int worker, const Combination* list, size_t n, Combination* out) -> size_t {
                     if (worker == 1) throw std::runtime_error("сбой");
                     std::copy(list, list + n, out);
                     return n;
                   },
                   2, false, "x", "y"),
               std::runtime_error);
  EXPECT_EQ(set.ToVector(), List(first.begin(), first.begin() + first.size() / 2));
  set.RestoreSnapshot(false);
  set.TakeSnapshot(true);
  set.FilterFromSnapshotCompact(sumAtLeast60, 2, true, "Сумма", "15-59");

  host.Reset();
  set.RestoreSnapshot(true);
  set.RemoveLastLogRow();
  EXPECT_EQ(set.ToVector(), first);
  EXPECT_EQ(set.Log().size(), 1u);
  EXPECT_FALSE(set.CanUndo());
  EXPECT_EQ(host.statuses, (Strings{"Отмена изменений...", ""}));

  // A failing decider leaves what was kept so far, and the undo.
  int calls = 0;
  set.TakeSnapshot(false);
  auto failing = [&](const Combination&) { return ++calls < 3 ? true : throw std::runtime_error("сбой"); };
  EXPECT_THROW(set.FilterFromSnapshot(failing, false, "x", "y"), std::runtime_error);
  EXPECT_EQ(set.ToVector(), List(first.begin(), first.begin() + 2));
  EXPECT_TRUE(set.CanUndo());

  set.Working().SetCount(0);
  set.TakeSnapshot(false);
  EXPECT_EQ(set.FilterFromSnapshot([](const Combination&) { return true; }, false, "x", "y"), 0);
  EXPECT_EQ(set.Log().size(), 1u);
}

TEST(CombinationSet, ExcludingDrawsFromTheFullSetGivesWhatAskingEachEntryGives) {
  // Every entry's place is what the draws' places are computed as.
  CombinationSet full;
  full.Init(kCapacity);
  GenerateSet(full, Env::Real(), false, 0, "");
  ASSERT_TRUE(full.Working().IsFullSet());
  // A written copy is no longer the shared full set.
  CombinationSet written;
  written.Init(kCapacity);
  GenerateSet(written, Env::Real(), false, 0, "");
  written.Working().Set(0, written.Working()[0]);
  ASSERT_FALSE(written.Working().IsFullSet());

  DrawArchive archive;
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) % kCapacity; };
  for (int i = 0; i < 60; ++i) {
    Combination c = FullSet()[next()];
    std::rotate(c.begin(), c.begin() + i % 5, c.end());  // drawn order
    archive.Append(Draw(i + 1, c));
  }
  archive.Append(Draw(61, FullSet()[0]));
  archive.Append(Draw(62, FullSet()[kCapacity - 1]));
  archive.Append(Draw(63, FullSet()[0]));  // a draw twice
  for (auto [offset, n] : {std::pair{0, 1}, {0, 3}, {0, 63}, {2, 10}, {30, 5}, {62, 1}, {5, 1000}}) {
    for (CombinationSet* s : {&full, &written}) {
      s->ExcludeLastDraws(archive, offset, n);
    }
    EXPECT_EQ(full.ToVector(), written.ToVector()) << offset << " " << n;
    EXPECT_EQ(full.Log().back(), written.Log().back());
    for (CombinationSet* s : {&full, &written}) s->RestoreSnapshot(false);
    ASSERT_TRUE(full.Working().IsFullSet());
  }
  // A draw that repeats a number matches several entries under MatchCount:
  // the full set is then asked entry by entry too.
  archive.Append(Draw(64, {1, 1, 2, 3, 4}));
  full.ExcludeLastDraws(archive, 0, 1);
  written.ExcludeLastDraws(archive, 0, 1);
  EXPECT_EQ(full.Count(), kCapacity - 32);  // {1,2,3,4,x} for each of the other 32 numbers
  EXPECT_EQ(full.ToVector(), written.ToVector());
}

TEST(CombinationSet, ExcludeLastDraws) {
  test::RecordingHost host;
  CombinationSet set(&host);
  set.Init(kCapacity);
  GenerateSet(set, Env::Real(), false, 0, "");
  DrawArchive archive;
  for (int i = 0; i < 12; ++i) {
    Combination c = FullSet()[static_cast<size_t>(i) * 1000 + 7];
    std::reverse(c.begin(), c.end());  // drawn order
    archive.Append(Draw(i + 1, c));
  }
  auto missing = [&] {
    std::vector<int> out;
    for (int p = 0; p < archive.Count(); ++p)
      if (!std::binary_search(set.Working().Data(), set.Working().Data() + set.Count(),
                              Sorted(archive.AtPosition(p).numbers)))
        out.push_back(p);
    return out;
  };
  set.ExcludeLastDraws(archive, 5, 3);
  EXPECT_EQ(missing(), (std::vector<int>{5, 6, 7}));
  EXPECT_EQ(set.Count(), kCapacity - 3);
  EXPECT_EQ(set.Undo().Count(), kCapacity);
  EXPECT_EQ(set.Log().back(), (LogRow{"Последние тиражи", "3", kCapacity - 3, LogKind::Exclude}));
  // From the full set the draws' entries are known: no entry-by-entry progress.
  const std::string progress = "Удаление из списка комбинаций 3 последних тиражей";
  ASSERT_EQ(host.statuses.size(), 2u + 1u + 1u);
  EXPECT_EQ(host.statuses[2], progress + "...");
  EXPECT_EQ(host.statuses[3], "");
  // Any other list is asked entry by entry, with progress.
  host.statuses.clear();
  set.ExcludeLastDraws(archive, 5, 1);
  ASSERT_EQ(host.statuses.size(), 2u + 1u + 100u + 1u);
  EXPECT_EQ(host.statuses[3], "Удаление из списка комбинаций 1 последних тиражей ( завершено 1 % )...");
  EXPECT_EQ(set.Count(), kCapacity - 3);

  set.ExcludeLastDraws(archive, 5, 100);
  EXPECT_EQ(missing(), (std::vector<int>{5, 6, 7, 8, 9, 10, 11}));
  set.ExcludeLastDraws(archive, 12, 100);
  EXPECT_EQ(set.Count(), kCapacity - 7);
  // Past the oldest draw none is left, whatever the count.
  set.ExcludeLastDraws(archive, 40, 100);
  set.ExcludeLastDraws(archive, 13, -5);
  EXPECT_EQ(set.Count(), kCapacity - 7);
  // A negative offset counts as none.
  set.ExcludeLastDraws(archive, -3, 1);
  EXPECT_EQ(missing(), (std::vector<int>{0, 5, 6, 7, 8, 9, 10, 11}));

  // Lists read from files may repeat numbers: the answer stays MatchCount's.
  DrawArchive odd;
  for (Combination d : {C(5, 4, 3, 2, 1), C(7, 7, 8, 9, 1), C(2, 2, 2, 3, 3), C(6, 1, 2, 3, 4)}) odd.Append(Draw(1, d));
  List list, reference;
  for (int i = 0; i < 3000; ++i) list.push_back(C(i % 4 + 1, i / 4 % 4 + 1, i / 16 % 5 + 1, i / 80 % 5 + 1, i / 400 % 9));
  for (const auto& c : list)
    if (std::none_of(odd.Records().begin(), odd.Records().end(),
                     [&](const DrawRecord& d) { return MatchCount(c, d.numbers) == 5; }))
      reference.push_back(c);
  Fill(set, list);
  set.ExcludeLastDraws(odd, 0, 4);
  EXPECT_LT(reference.size(), list.size());
  EXPECT_EQ(set.ToVector(), reference);

  // Ordinary draws against such lists: repeats, numbers past 63, the draws'
  // numbers in any order.
  DrawArchive plain;
  for (Combination d : {C(5, 4, 3, 2, 1), C(36, 7, 12, 1, 30), C(6, 1, 2, 3, 4)}) plain.Append(Draw(1, d));
  list.clear();
  reference.clear();
  for (int i = 0; i < 4000; ++i) {
    Combination c = plain.At(i % 3).numbers;
    c[size_t(i % 5)] = uint8_t(i / 5 % 7 == 0 ? c[size_t(i % 5)] : (i * 37) % 256);
    if (i % 11 == 0) std::rotate(c.begin(), c.begin() + 2, c.end());
    list.push_back(c);
  }
  for (const auto& c : list)
    if (std::none_of(plain.Records().begin(), plain.Records().end(),
                     [&](const DrawRecord& d) { return MatchCount(c, d.numbers) == 5; }))
      reference.push_back(c);
  Fill(set, list);
  set.ExcludeLastDraws(plain, 0, 3);
  EXPECT_GT(list.size() - reference.size(), 500u);
  EXPECT_EQ(set.ToVector(), reference);
  set.RestoreSnapshot(false);
  EXPECT_EQ(set.ToVector(), list);
}

TEST(CombinationSet, DeleteRows) {
  CombinationSet set;
  const List list = {C(1, 2, 3, 4, 5), C(2, 3, 4, 5, 6), C(3, 4, 5, 6, 7), C(4, 5, 6, 7, 8)};
  Fill(set, list);
  set.DeleteRows({3, 1, 1});
  EXPECT_EQ(set.ToVector(), (List{list[0], list[2]}));
  EXPECT_EQ(set.Log().back(), (LogRow{"Выделенные комбинации", "2", 2, LogKind::Exclude}));
  set.DeleteRows({0, 1});
  EXPECT_EQ(set.Count(), 0);
  EXPECT_EQ(set.Log().back(), (LogRow{"Выделенные комбинации", "2", 0, LogKind::Exclude}));
}

TEST(CombinationSet, LcvFiles) {
  test::TempDir dir;
  test::RecordingHost host;
  CombinationSet set(&host), other(&host);
  const std::string path = dir.File("list.lcv"), bytes = "3;7;12;25;36\r\n36;1;2;35;18\r\n3;7;12;25;36\r\n";
  Fill(set, {C(3, 7, 12, 25, 36), C(36, 1, 2, 35, 18), C(3, 7, 12, 25, 36)});
  ASSERT_TRUE(set.WriteFile(Env::Real(), path));
  EXPECT_EQ(ReadBytes(path), bytes);
  ASSERT_TRUE(other.ReadFile(Env::Real(), path));
  EXPECT_EQ(other.ToVector(), set.ToVector());

  WriteBytes(dir.File("a.lcv"), "1;2;3;4\r\n# список\r\n1;2;3;4;5;6\r\n\r\n1;x;3;4;5\r\n 7 , 8;9;10;11 \n");
  ASSERT_TRUE(other.ReadFile(Env::Real(), dir.File("a.lcv")));
  EXPECT_EQ(other.ToVector(), (List{C(7, 8, 9, 10, 11)}));
  EXPECT_EQ(other.SkippedLines(), 4);
  EXPECT_EQ(other.LastReadCount(), 1);
  // No combination in the file: the list stays.
  WriteBytes(dir.File("b.lcv"), "1;2;3;4\r\nКомментарий\r\n");
  ASSERT_TRUE(other.ReadFile(Env::Real(), dir.File("b.lcv")));
  EXPECT_EQ(other.ToVector(), (List{C(7, 8, 9, 10, 11)}));
  EXPECT_EQ(other.SkippedLines(), 2);
  EXPECT_EQ(other.LastReadCount(), 0);
  EXPECT_TRUE(host.errors.empty());

  test::FaultEnv env;
  env.failWriteAfter = 4;
  EXPECT_FALSE(other.WriteFile(env, path));
  EXPECT_EQ(ReadBytes(path), bytes);
  env.failRead = true;
  EXPECT_FALSE(set.ReadFile(env, path));
  EXPECT_EQ(set.Count(), 3);  // a failed read keeps the list
  EXPECT_EQ(host.errors, (Strings{"Ошибка записи в файл \"" + path + "\"!\r\rНедостаточно места на диске",
                                  "Ошибка чтения файла \"" + path + "\"!\r\rОшибка ввода-вывода"}));
}

TEST(CombinationSet, DamagedListLinesAreSkippedNotTaken) {
  test::TempDir dir;
  test::RecordingHost host;
  CombinationSet set(&host);
  Fill(set, {C(1, 2, 3, 4, 5)});
  // Values out of range, repeated, not whole, too large for a byte; the
  // order of a valid line stays as written.
  const std::string damaged = "40;41;42;43;44\r\n0;0;0;0;0\r\n7;7;8;9;10\r\n1;2;3;4;5.5\r\n300;1;2;3;4\r\n-1;2;3;4;5\r\n";
  WriteBytes(dir.File("mixed.lcv"), damaged + "36;1;2;35;18\r\n");
  ASSERT_TRUE(set.ReadFile(Env::Real(), dir.File("mixed.lcv")));
  EXPECT_EQ(set.ToVector(), (List{C(36, 1, 2, 35, 18)}));
  EXPECT_EQ(set.SkippedLines(), 6);

  WriteBytes(dir.File("garbage.lcv"), damaged);
  ASSERT_TRUE(set.ReadFile(Env::Real(), dir.File("garbage.lcv")));
  EXPECT_EQ(set.ToVector(), (List{C(36, 1, 2, 35, 18)}));
  EXPECT_EQ(set.SkippedLines(), 6);

  // Generation from such a file takes no damaged line either.
  GenerateSet(set, Env::Real(), false, 4, dir.File("mixed.lcv"));
  EXPECT_EQ(set.ToVector(), (List{C(36, 1, 2, 35, 18)}));
  EXPECT_EQ(set.SkippedLines(), 6);
  GenerateSet(set, Env::Real(), false, 2, "1;2;3;4;5");
  EXPECT_EQ(set.SkippedLines(), 0);

  // Pasting: damaged five-word lines are skipped; nothing left keeps the list.
  ASSERT_TRUE(set.Paste("40 41 42 43 44\r\n09 08 07 06 05\r\n7 7 8 9 10\r\n"));
  EXPECT_EQ(set.ToVector(), (List{C(9, 8, 7, 6, 5)}));
  EXPECT_EQ(set.SkippedLines(), 2);
  EXPECT_FALSE(set.Paste("0 0 0 0 0\r\n1 2 3 4 99\r\n"));
  EXPECT_EQ(set.ToVector(), (List{C(9, 8, 7, 6, 5)}));
  EXPECT_EQ(set.SkippedLines(), 2);
  EXPECT_FALSE(set.CanUndo());
  EXPECT_TRUE(host.errors.empty());
}

TEST(CombinationSet, ClipboardAndPaste) {
  test::RecordingHost host;
  CombinationSet set(&host);
  Fill(set, {C(3, 7, 12, 25, 36), C(1, 2, 3, 4, 5), C(9, 8, 7, 6, 5)});
  EXPECT_EQ(set.ClipboardText({2, 0}), "03 07 12 25 36\r\n09 08 07 06 05\r\n");
  EXPECT_EQ(DistinctNumbersText(set), "В текущем списке комбинаций содержится 12 уникальных номеров");

  set.AddLogRow(true, "Сумма", "15");
  ASSERT_TRUE(set.Paste("01 02 03 04 05\r\n6-7-8-9-10\n11;12;13;14;15\r\n"));
  const List pasted = {C(1, 2, 3, 4, 5), C(6, 7, 8, 9, 10), C(11, 12, 13, 14, 15)};
  EXPECT_EQ(set.ToVector(), pasted);
  EXPECT_TRUE(set.Log().empty());
  EXPECT_FALSE(set.CanUndo());

  // An empty line among valid ones fails and the list of before comes back.
  set.AddLogRow(true, "Сумма", "15");
  EXPECT_FALSE(set.Paste("1 2 3 4 5\r\n\r\n6 7 8 9 10"));
  EXPECT_EQ(host.errors, (Strings{"Некорректная комбинация: \"\"!"}));
  EXPECT_EQ(set.ToVector(), pasted);
  EXPECT_EQ(set.Log().size(), 1u);
  EXPECT_FALSE(set.CanUndo());
}

TEST(CombinationSet, FindInArchive) {
  DrawArchive archive;
  archive.Append(Draw(1, {1, 2, 3, 4, 6}, "01/01/2020"));
  for (int i = 0; i < 30; ++i) archive.Append(Draw(100 + i, i % 2 ? C(5, 4, 3, 2, 1) : C(1, 2, 3, 4, 5)));
  archive.Append(Draw(200, {7, 8, 9, 10, 11}));

  const std::string head = "Выделенная комбинация найдена в следующих тиражах:\r\n\r\n";
  std::string text = FindInArchiveText(archive, C(3, 1, 2, 5, 4));
  ASSERT_EQ(text.substr(0, head.size()), head);
  auto lines = SplitAny(text.substr(head.size()), "\n", false);
  ASSERT_EQ(lines.size(), 26u);
  EXPECT_EQ(lines[0], DrawDescription(archive.At(30)) + "\r");
  EXPECT_EQ(lines[25], DrawDescription(archive.At(5)));
  EXPECT_EQ(FindInArchiveText(archive, C(6, 4, 3, 2, 1)), head + DrawDescription(archive.At(0)));
  EXPECT_EQ(FindInArchiveText(archive, C(1, 2, 3, 4, 7)), "Выделенная комбинация не найдена архиве тиражей!");
}

TEST(CombinationSet, CacheKeys) {
  test::RecordingHost host;
  CombinationSet set(&host);
  const List list = {C(1, 2, 3, 4, 5), C(2, 3, 4, 5, 6)};
  Fill(set, list);
  EXPECT_FALSE(set.LoadCache(-1, -1));
  set.SaveCache(3, 1);
  EXPECT_EQ(host.statuses, (Strings{"Создание буфера комбинаций...", ""}));
  set.DeleteRows({0});
  set.SaveCache(3, 1);  // unchanged keys copy nothing
  EXPECT_FALSE(set.LoadCache(3, 2));
  EXPECT_FALSE(set.LoadCache(4, 1));
  EXPECT_EQ(set.Count(), 1);
  EXPECT_TRUE(set.LoadCache(3, 1));
  EXPECT_EQ(set.ToVector(), list);
  EXPECT_EQ(host.statuses[host.statuses.size() - 2], "Загрузка буфера комбинаций...");

  set.EmptyCacheKeepKeys();
  EXPECT_EQ(set.CacheOffsetKey() * 10 + set.CacheExcludeKey(), 31);
  EXPECT_FALSE(set.LoadCache(3, 1));
  set.SaveCache(3, 2);
  EXPECT_EQ(set.Cache().Count(), 2);
  set.InvalidateCache();
  EXPECT_EQ(set.CacheOffsetKey(), -1);
  EXPECT_EQ(set.CacheExcludeKey(), -1);
  EXPECT_FALSE(set.LoadCache(3, 2));
}

}  // namespace
}  // namespace px

namespace px {
namespace {

// Copies share storage until written: a write to one never shows in another,
// and the shared full set is never written through a generated list.
TEST(CombBuffer, CopiesShareUntilWritten) {
  CombinationSet set;
  set.Init(kCapacity);
  GenerateSet(set, Env::Real(), false, 0, "");
  const Combination first = FullSet()[0];
  set.Working().Set(0, {36, 35, 34, 33, 32});
  EXPECT_EQ(FullSet()[0], first);
  EXPECT_EQ(set.Working()[0], (Combination{36, 35, 34, 33, 32}));
  EXPECT_EQ(set.Working()[1], FullSet()[1]);

  CombBuffer a;
  for (int i = 1; i <= 5; ++i) a.Append({uint8_t(i), 2, 3, 4, 5});
  CombBuffer b;
  b.CopyFrom(a);
  EXPECT_TRUE(b.SharesStorageWith(a));
  b.Append({9, 9, 9, 9, 9});
  EXPECT_FALSE(b.SharesStorageWith(a));
  EXPECT_EQ(a.Count(), 5);
  EXPECT_EQ(b.Count(), 6);
  EXPECT_EQ(b[4], a[4]);
  CombBuffer c;
  c.CopyFrom(a);
  c.Resize(3, 2);  // keeps what stays counted
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c[1], a[1]);
  c.MutableData()[0] = {7, 7, 7, 7, 7};
  EXPECT_EQ(a[0], (Combination{1, 2, 3, 4, 5}));
  c.CopyFrom(a);
  c.Release();
  EXPECT_EQ(a.Count(), 5);
  EXPECT_EQ(a[2], (Combination{3, 2, 3, 4, 5}));

  // The undo and the cache hold the list they were given, whatever working does next.
  set.TakeSnapshot(false);
  set.SaveCache(1, 2);
  set.Working().Set(1, {1, 1, 1, 1, 1});
  EXPECT_EQ(set.Undo()[1], FullSet()[1]);
  EXPECT_EQ(set.Cache()[1], FullSet()[1]);
  EXPECT_TRUE(set.LoadCache(1, 2));
  EXPECT_EQ(set.Working()[1], FullSet()[1]);
  EXPECT_EQ(set.Working()[0], (Combination{36, 35, 34, 33, 32}));
}

}  // namespace
}  // namespace px
