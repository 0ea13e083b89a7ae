#include "stakes/regular.h"

#include <gtest/gtest.h>

#include "core/archive.h"
#include "core/env.h"
#include "core/little_endian.h"
#include "support/draws.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px {
namespace {

RegularStake Rule(const std::string& comment, Combination start, int step) {
  RegularStake r;
  r.comment = comment;
  r.start = r.current = start;
  r.step = step;
  return r;
}

TEST(RegularStake, RecordLayoutRoundTripAndStepsOutsideTheRange) {
  RegularStake r = Rule("Регулярная ставка", {1, 2, 3, 4, 5}, -7);
  r.current = {8, 9, 10, 11, 12};
  r.stakeCount = 70000;
  std::string bytes(kRegularRecordSize, '\x55');
  EncodeRegularStake(r, bytes.data());
  EXPECT_EQ(uint8_t(bytes[0]), 17);  // cp1251: one byte a letter
  EXPECT_EQ(bytes[1], '\xD0');       // "Р"
  EXPECT_EQ(bytes[18], '\0');        // the rest of the comment field is zero
  EXPECT_EQ(bytes[256], '\0');
  EXPECT_EQ(bytes.substr(257, 5), std::string("\x01\x02\x03\x04\x05"));
  EXPECT_EQ(bytes.substr(262, 5), std::string("\x08\x09\x0a\x0b\x0c"));
  EXPECT_EQ(bytes[267], '\0');
  EXPECT_EQ(int32_t(le::GetU32(bytes.data() + 268)), -7);
  EXPECT_EQ(le::GetU32(bytes.data() + 272), 70000u);
  EXPECT_EQ(DecodeRegularStake(bytes.data()), r);

  r.useLastDraw = true;
  r.comment = std::string(300, 'x');  // more than a record holds
  EncodeRegularStake(r, bytes.data());
  EXPECT_EQ(bytes[256], '\x01');
  EXPECT_EQ(DecodeRegularStake(bytes.data()).comment, std::string(255, 'x'));

  // A damaged step stands for the shift it makes; 36 and -36 are kept.
  for (auto [stored, taken] : {std::pair{40, 4}, {-40, -4}, {36, 36}, {-36, -36}, {72, 0}, {INT32_MIN, -20}}) {
    le::PutU32(bytes.data() + 268, uint32_t(stored));
    EXPECT_EQ(DecodeRegularStake(bytes.data()).step, taken) << stored;
  }
}

TEST(RegularStake, AdvanceShiftsTheBaseAndSorts) {
  DrawArchive empty;
  RegularStake a = Rule("a", {1, 2, 3, 4, 5}, 1);
  EXPECT_EQ(Advance(a, empty, 0), (Combination{2, 3, 4, 5, 6}));
  EXPECT_EQ(Advance(a, empty, 0), (Combination{3, 4, 5, 6, 7}));
  EXPECT_EQ(a.current, (Combination{3, 4, 5, 6, 7}));
  EXPECT_EQ(a.start, (Combination{1, 2, 3, 4, 5}));
  EXPECT_EQ(a.stakeCount, 2);

  RegularStake b = Rule("b", {32, 33, 34, 35, 36}, 3);
  EXPECT_EQ(Advance(b, empty, 0), (Combination{1, 2, 3, 35, 36}));
  RegularStake back = Rule("c", {1, 2, 3, 4, 5}, -36);
  EXPECT_EQ(Advance(back, empty, 0), (Combination{1, 2, 3, 4, 5}));

  // Based on the draw at the offset, in drawn order, step 0: that draw sorted.
  DrawArchive archive;
  archive.Append(test::Draw(1, {30, 2, 17, 9, 5}));
  archive.Append(test::Draw(2, {20, 4, 3, 35, 27}));
  RegularStake last;
  last.comment = "d";
  last.useLastDraw = true;
  last.step = 0;
  EXPECT_EQ(Advance(last, archive, 0), (Combination{3, 4, 20, 27, 35}));
  EXPECT_EQ(Advance(last, archive, 1), (Combination{2, 5, 9, 17, 30}));
  last.step = 2;
  EXPECT_EQ(Advance(last, archive, 0), (Combination{1, 5, 6, 22, 29}));
  EXPECT_EQ(last.stakeCount, 3);

  // No base, or a damaged one: nothing made, the rule stays as it was.
  RegularStake noDraws = last;
  EXPECT_EQ(Advance(noDraws, empty, 0), std::nullopt);
  EXPECT_EQ(noDraws, last);
  RegularStake damaged = Rule("e", {0, 0, 0, 0, 0}, 1);
  damaged.current = {7, 7, 8, 9, 10};
  EXPECT_EQ(Advance(damaged, empty, 0), std::nullopt);
  damaged.current = {200, 1, 2, 3, 4};
  EXPECT_EQ(Advance(damaged, empty, 0), std::nullopt);
  EXPECT_EQ(damaged.stakeCount, 0);
}

TEST(RegularStake, DialogInputIsCheckedInTheDialogsOrder) {
  std::vector<RegularStake> existing = {Rule("Регулярная ставка", {1, 2, 3, 4, 5}, 1)};
  Combination start{};
  auto error = [&](bool withStart, const char* text, const char* comment) {
    auto e = CheckRegularInput(withStart, text, comment, existing, start);
    return e ? e->message + (e->startField ? " [start]" : "") : std::string("ok");
  };
  EXPECT_EQ(error(true, " 9; 3,1 ;36;20", "Новая"), "ok");
  EXPECT_EQ(start, (Combination{1, 3, 9, 20, 36}));
  for (const char* bad : {"1;2;3;4", "1;2;3;4;5;6", "1;2;3;4;37", "0;1;2;3;4", "1;1;2;3;4", "1;2;x;4;5", ""})
    EXPECT_EQ(error(true, bad, ""), "Введена некорректная комбинация! [start]") << bad;
  // Without the start field its text does not count.
  EXPECT_EQ(error(false, "{...Выделенные комбинации...}", "  "), "Необходимо ввести комментарий!");
  EXPECT_EQ(error(false, "", "регулярная СТАВКА"),
            "Запись с таким комментарией уже присутствует в списке!\rВыберите другой комментарий.");
  EXPECT_EQ(error(false, "", "Регулярная ставка 2"), "ok");
}

TEST(RegularStake, FileLoadSaveDeleteAndATornEnd) {
  test::TempDir dir;
  test::RecordingHost host;
  RegularStakes rules(Env::Real(), host, dir.Path());
  EXPECT_TRUE(rules.Load());  // no file: no rules, no box
  EXPECT_EQ(rules.Count(), 0);
  rules.Add(Rule("a", {1, 2, 3, 4, 5}, 1));
  rules.Add(Rule("b", {6, 7, 8, 9, 10}, -2));
  rules.Add(Rule("c", {11, 12, 13, 14, 15}, 5));
  ASSERT_TRUE(rules.Save());
  EXPECT_EQ(test::ReadBytes(RegularsPath(dir.Path())).size(), 3 * kRegularRecordSize);

  rules.Delete(1);
  EXPECT_EQ(rules.At(1).comment, "c");
  EXPECT_EQ(test::ErrorText([&] { rules.Delete(2); }), "Запись со индексом 2 в файле данных не найдена!");
  EXPECT_EQ(test::ErrorText([&] { rules.Delete(-1); }), "Запись со индексом -1 в файле данных не найдена!");

  RegularStakes again(Env::Real(), host, dir.Path());
  ASSERT_TRUE(again.Load());
  ASSERT_EQ(again.Count(), 3);
  EXPECT_EQ(again.At(1), Rule("b", {6, 7, 8, 9, 10}, -2));
  EXPECT_TRUE(host.errors.empty());

  // A torn end: the box, and the whole records stay.
  std::string bytes = test::ReadBytes(RegularsPath(dir.Path()));
  test::WriteBytes(RegularsPath(dir.Path()), bytes.substr(0, 2 * kRegularRecordSize + 100));
  EXPECT_FALSE(again.Load());
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "Ошибка чтения файла регулярных ставок!\r\rНеполная запись в конце файла (100 байт)");
  ASSERT_EQ(again.Count(), 2);
  EXPECT_EQ(again.At(1).comment, "b");

  // An unreadable file (a folder in its place) leaves the rules in memory.
  host.errors.clear();
  std::filesystem::remove(RegularsPath(dir.Path()));
  std::filesystem::create_directory(RegularsPath(dir.Path()));
  EXPECT_FALSE(again.Load());
  EXPECT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(again.Count(), 2);
  again.Release();
  EXPECT_EQ(again.Count(), 0);
}

}  // namespace
}  // namespace px
