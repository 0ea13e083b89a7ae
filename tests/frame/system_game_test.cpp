#include <gtest/gtest.h>

#include <filesystem>

#include "core/env.h"
#include "frame/frame.h"
#include "frame/system_game.h"
#include "stakes/stake_store.h"
#include "support/fault_env.h"
#include "support/number_sets.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "core/text.h"

namespace px {
namespace {

class SystemGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(std::string(PENTALUX_SOURCE_DIR) + "/demo/demo_config.ini",
                               dir.File("Pentalux5_5v36.ini"));
  }
  std::unique_ptr<TFormMain> Start(Env& env = Env::Real()) {
    auto f = std::make_unique<TFormMain>(host, env, dir.Path(), dir.File("Pentalux5_5v36"), std::vector<std::string>{});
    EXPECT_EQ(f->FormCreate(), TTemplateMain::Start::Continue);
    EXPECT_EQ(f->Initialise(), TTemplateMain::Start::Continue);
    for (int n = 1; n <= 4; ++n) {
      DrawRecord d = f->NewDrawTemplate();
      d.numbers = {uint8_t(n), uint8_t(n + 6), uint8_t(n + 12), uint8_t(n + 18), uint8_t(n + 24)};
      f->DrawsAdd(d);
    }
    return f;
  }
  void PutSystem(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(dir.File("Systems"));
    test::WriteBytes(dir.File("Systems/" + name), text);
  }
  std::vector<StakeRecord> Records(TFormMain& f) {
    std::vector<StakeRecord> all;
    for (int64_t i = 0; i < f.Stakes()->RecordCount(); ++i) all.push_back(f.Stakes()->ReadRecord(i));
    return all;
  }
  // Ten numbers first appearing as 7, 3, 22, 15, 16, 28, 29, 30, 31, 32.
  static constexpr const char* kTenNumbers = "7 3 22 15 16\n3 7 28 29 30\n30 31 32 22 7\n3 7 15 16 22\n";
  test::TempDir dir;
  test::RecordingHost host;
};

TEST_F(SystemGameTest, TheWholeSystemMapsItsPositionsOntoTheListsNumbers) {
  auto f = Start();
  PutSystem("5-10-3_0017.dat", "01 02 03 04 05\r\n10 09 08 07 06\r\n");
  f->CombsPaste(kTenNumbers);
  ASSERT_EQ(f->Combs().Count(), 4);
  host.Reset();
  const std::optional<SystemGameDraft> draft = PrepareSystemGame(*f, true);
  ASSERT_TRUE(draft) << host.errors.at(0);
  EXPECT_EQ(draft->k, 10);
  EXPECT_EQ(draft->file, dir.File("Systems/5-10-3_0017.dat"));
  EXPECT_EQ(draft->drawNumber, 5);
  EXPECT_EQ(draft->comment, "Системная игра для 10 чисел [вся система]: 5-10-3_0017");
  EXPECT_EQ(PrepareSystemGame(*f, false)->comment, "Системная игра для 10 чисел [комбинации]: 5-10-3_0017");
  EXPECT_EQ(host.statuses.front(), "Подождите пожалуйста...");
  EXPECT_TRUE(f->IsIdle());

  int appended = 0;
  const SystemGameResult r = PlaySystemGame(*f, *draft, draft->drawNumber, 1, draft->comment, [&] { ++appended; });
  EXPECT_FALSE(r.separator);  // an empty file needs none
  EXPECT_EQ(r.combinations, 2);
  EXPECT_EQ(appended, 2);
  EXPECT_FALSE(r.failed);
  EXPECT_TRUE(r.Refresh());
  EXPECT_TRUE(f->IsIdle());
  const auto stakes = Records(*f);
  ASSERT_EQ(stakes.size(), 2u);
  // 3 7 22 and the next two collected numbers, sorted ascending.
  EXPECT_EQ(stakes[0].numbers, test::Set({3, 7, 15, 16, 22}));
  EXPECT_EQ(stakes[1].numbers, test::Set({28, 29, 30, 31, 32}));
  for (const StakeRecord& s : stakes) {
    EXPECT_EQ(s.kind, uint8_t(StakeKind::System));
    EXPECT_EQ(s.version, 2);
    EXPECT_EQ(s.drawNumber, 5);
    EXPECT_EQ(s.sample, 2);  // the system's size
    EXPECT_EQ(s.checked, 0);
    EXPECT_EQ(s.matches.count, -1);
    EXPECT_EQ(s.profit, -CurrencyOf(50));
    EXPECT_EQ(s.comment, "Системная игра для 10 чисел [вся система]: 5-10-3_0017");
  }

  // The default draw is the one after the offset; a known draw is checked at the end.
  f->SetDrawsOffset(2);
  const std::optional<SystemGameDraft> back = PrepareSystemGame(*f, true);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->drawNumber, 3);
  const SystemGameResult checked = PlaySystemGame(*f, *back, back->drawNumber, 1, "мой комментарий");
  EXPECT_TRUE(checked.separator);  // the last record was a stake
  EXPECT_EQ(checked.checked, 2);
  const auto all = Records(*f);
  ASSERT_EQ(all.size(), 5u);
  EXPECT_EQ(all[2].drawNumber, -1);
  EXPECT_EQ(all[3].comment, "мой комментарий");
  EXPECT_EQ(all[3].checked, 1);
  EXPECT_EQ(all[3].matches.count, 2);  // 3 7 15 16 22 against draw 3 = 3 9 15 21 27
}

TEST_F(SystemGameTest, TheListOnlyGameStakesWhatTheListHoldsAsStored) {
  auto f = Start();
  // The lines map to 7 3 22 15 16, 3 7 28 29 30 and 7 3 22 28 29; sorted,
  // the list holds the first two (its lines 4 and 2) and not the third.
  PutSystem("5-10-0_0001.dat", "01 02 03 04 05\r\n02 01 06 07 08\r\n01 02 03 06 07\r\n");
  f->CombsPaste(kTenNumbers);
  const std::optional<SystemGameDraft> draft = PrepareSystemGame(*f, false);
  ASSERT_TRUE(draft);
  const SystemGameResult r = PlaySystemGame(*f, *draft, 9, 1, draft->comment);
  EXPECT_EQ(r.combinations, 2);
  auto stakes = Records(*f);
  ASSERT_EQ(stakes.size(), 2u);
  EXPECT_EQ(stakes[0].numbers, test::Set({3, 7, 15, 16, 22}));
  EXPECT_EQ(stakes[1].numbers, test::Set({3, 7, 28, 29, 30}));
  EXPECT_EQ(stakes[0].sample, 4);  // the list's size

  // A list entry equal to a system combination only in another order is
  // skipped: the lines map to 7 3 22 15 16 and 30 31 32 28 29, as the list
  // stores them, but are staked sorted.
  f->CombsPaste("7 3 22 15 16\n30 31 32 28 29\n");
  PutSystem("5-10-0_0001.dat", "01 02 03 04 05\r\n06 07 08 09 10\r\n");
  const std::optional<SystemGameDraft> none = PrepareSystemGame(*f, false);
  ASSERT_TRUE(none);
  EXPECT_EQ(none->combinations, (std::vector<Combination>{{7, 3, 22, 15, 16}, {30, 31, 32, 28, 29}}));
  const SystemGameResult lone = PlaySystemGame(*f, *none, 9, 1, none->comment);
  // Nothing staked: only the separator, and the grid is left as it was.
  EXPECT_TRUE(lone.separator);
  EXPECT_EQ(lone.combinations, 0);
  EXPECT_FALSE(lone.Refresh());
  stakes = Records(*f);
  ASSERT_EQ(stakes.size(), 3u);
  EXPECT_EQ(stakes[2].drawNumber, -1);
  // Again: the last record is a separator now, so nothing at all.
  EXPECT_FALSE(PlaySystemGame(*f, *none, 9, 1, none->comment).separator);
  EXPECT_EQ(Records(*f).size(), 3u);
}

TEST_F(SystemGameTest, ASingleCombinationLooksForAFiveNumberSystem) {
  auto f = Start();
  PutSystem("5-10-0_0001.dat", "01 02 03 04 05\r\n");
  f->CombsPaste("1 2 3 4 5\n");
  host.Reset();
  EXPECT_FALSE(PrepareSystemGame(*f, true));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Система для 5 чисел не найдена или не загружена на компьютер!\r\r", 0), 0u);
  EXPECT_EQ(f->Stakes()->RecordCount(), 0);
  EXPECT_TRUE(f->IsIdle());
}

TEST_F(SystemGameTest, TwelveLinesForThreeDrawsMakeThirtySixStakesEachAfterASeparator) {
  auto f = Start();
  std::string text;
  for (int i = 0; i < 12; ++i) {
    const int a = i % 6 + 1;
    text += i < 6 ? Fmt("%.2d %.2d %.2d 09 10\r\n", a, a + 1, a + 2) : Fmt("%.2d %.2d %.2d %.2d 10\r\n", a, a + 1, a + 2, a + 3);
  }
  PutSystem("5-10-0_0002.dat", text);
  f->CombsPaste(kTenNumbers);
  const std::optional<SystemGameDraft> draft = PrepareSystemGame(*f, true);
  ASSERT_TRUE(draft);
  ASSERT_EQ(draft->combinations.size(), 12u);
  // A stake before: the game's own separator comes first.
  ASSERT_TRUE(f->Stakes()->Append(MakeStake(StakeKind::Manual, 5, test::Set({1, 2, 3, 4, 5}), 0, "", f->Config().data), 1));
  const SystemGameResult r = PlaySystemGame(*f, *draft, 5, 3, draft->comment);
  EXPECT_TRUE(r.separator);
  EXPECT_EQ(r.combinations, 12);
  const auto all = Records(*f);
  ASSERT_EQ(all.size(), 1u + 36u * 2u);
  int stakes = 0;
  for (size_t i = 1; i < all.size(); i += 2) {
    EXPECT_EQ(all[i].drawNumber, -1) << i;  // a separator before every stake
    EXPECT_EQ(all[i + 1].kind, uint8_t(StakeKind::System)) << i;
    EXPECT_EQ(all[i + 1].drawNumber, 5 + stakes % 3);  // grouped by combination
    EXPECT_EQ(all[i + 1].numbers, all[1 + 2 * size_t(stakes / 3 * 3) + 1].numbers);
    EXPECT_EQ(all[i + 1].sample, 12);
    ++stakes;
  }
  EXPECT_EQ(stakes, 36);
}

TEST_F(SystemGameTest, AFailedAppendEndsTheGameAndKeepsWhatWentIn) {
  test::FaultEnv env;
  auto f = Start(env);
  PutSystem("5-10-0_0001.dat", "01 02 03 04 05\r\n06 07 08 09 10\r\n01 03 05 07 09\r\n");
  f->CombsPaste(kTenNumbers);
  const std::optional<SystemGameDraft> draft = PrepareSystemGame(*f, true);
  ASSERT_TRUE(draft);
  env.only = "Pentalux5_5v36.lsk";
  env.diskFree = long(kStakeRecordSize) + 10;  // room for one stake
  host.Reset();
  const SystemGameResult r = PlaySystemGame(*f, *draft, 3, 1, draft->comment);
  EXPECT_TRUE(r.failed);
  EXPECT_EQ(r.combinations, 1);
  EXPECT_FALSE(r.Refresh());
  EXPECT_EQ(r.checked, 0);  // the check waits for a game that went in whole
  EXPECT_EQ(host.errors.size(), 1u);
  const auto all = Records(*f);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].checked, 0);
  EXPECT_TRUE(f->IsIdle());
}

}  // namespace
}  // namespace px
