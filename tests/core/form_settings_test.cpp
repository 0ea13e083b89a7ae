#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/form_settings.h"
#include "core/switches.h"
#include "support/fault_env.h"
#include "support/temp_dir.h"

namespace px {
namespace {

TEST(FormSettings, DefaultsAndRoundTrip) {
  test::TempDir dir;
  FormSettings store(Env::Real(), FormSettingsPath(dir.Path(), "Pentalux5_5v36"));
  EXPECT_EQ(store.Path(), dir.File("Pentalux5_5v36.frm"));

  MainSettings s;
  s.Read(store.Read());  // no file yet: the defaults stay
  EXPECT_TRUE(s == MainSettings{});
  EXPECT_EQ(s.DrawsStatLen, 1000);
  EXPECT_EQ(s.Language, 1033);
  EXPECT_TRUE(s.AutoUpdates);
  EXPECT_FALSE(s.PrefetchsEnabled);

  s.DrawsStatLen = 250;
  s.LeftPanelWidth = 400;
  s.SortedDraws = true;  // a toggle key: not written at close
  store.Update([&](IniFile& ini) { s.WriteCloseKeys(ini); });
  store.WriteBool(MainSettings::kSection, "ColorDraws", false);
  store.WriteInt("TFormFilter", "Width", 500);

  IniFile ini = store.Read();
  EXPECT_EQ(ini.ReadString("TFormMain", "ColorDraws", ""), "0");
  EXPECT_FALSE(ini.HasKey("TFormMain", "SortedDraws"));
  EXPECT_EQ(ini.ReadInt("TFormFilter", "Width", 0), 500);
  MainSettings back;
  back.Read(ini);
  EXPECT_EQ(back.DrawsStatLen, 250);
  EXPECT_EQ(back.LeftPanelWidth, 400);
  EXPECT_FALSE(back.ColorDraws);
  EXPECT_FALSE(back.SortedDraws);

  store.WriteString("TFormMain", "TabCard", "0");
  store.WriteString("TFormMain", "DrawsGraphLen", "oops");
  back.Read(store.Read());
  EXPECT_FALSE(back.TabCard);
  EXPECT_EQ(back.DrawsGraphLen, 100);
}

TEST(FormSettings, ListsAndPlacement) {
  IniFile ini;
  WriteColumnWidths(ini, "TFormMain", "lvDraws", {60, 30, 30});
  WriteSortType(ini, "TFormMain", "lvRatings", SortType{3, 1});
  EXPECT_EQ(ini.ReadString("TFormMain", "lvDraws.Column2", ""), "30");
  EXPECT_EQ(ini.ReadString("TFormMain", "lvRatings.SortType", ""), "3,1");
  EXPECT_EQ(ReadColumnWidths(ini, "TFormMain", "lvDraws", {1, 1, 1, 77}), (std::vector<int>{60, 30, 30, 77}));
  EXPECT_EQ(ReadSortType(ini, "TFormMain", "lvRatings"), (SortType{3, 1}));
  EXPECT_EQ(ReadSortType(ini, "TFormMain", "lvDraws"), std::nullopt);
  ini.WriteString("TFormMain", "lvDraws.SortType", "3;1");
  EXPECT_EQ(ReadSortType(ini, "TFormMain", "lvDraws"), std::nullopt);

  WindowPlacement p{0, 2, 120, Rect{-1, -1, -1, -1}, Rect{10, 20, 1010, 760}};
  WritePlacement(ini, "TFormMain", 1920, 1080, p);
  EXPECT_EQ(ini.ReadString("TFormMain", "NormPos_1920x1080", ""), "10,20,1010,760");
  EXPECT_EQ(ini.ReadString("TFormMain", "ShowCmd", ""), "2");
  EXPECT_EQ(ReadPlacement(ini, "TFormMain", 1920, 1080, WindowPlacement{}), p);
  // Another screen: the resolution-free keys apply, until that screen has its own.
  ini.WriteString("TFormMain", "NormPos_800x600", "1,2,3,4");
  EXPECT_EQ(ReadPlacement(ini, "TFormMain", 800, 600, WindowPlacement{}).normPos, (Rect{1, 2, 3, 4}));
  EXPECT_EQ(ReadPlacement(ini, "TFormMain", 1024, 768, WindowPlacement{}).normPos, p.normPos);
  EXPECT_EQ(WindowSection("TFormGraph", true), "TFormGraph.MDIChildren");
  EXPECT_EQ(ParseRect("1,2,3"), std::nullopt);
}

TEST(FormSettings, FailedWriteKeepsTheStore) {
  test::TempDir dir;
  std::string path = FormSettingsPath(dir.Path(), "Pentalux5_5v36");
  FormSettings real(Env::Real(), path);
  real.WriteInt("TFormMain", "WeekLen", 500);
  std::string before = test::ReadBytes(path);
  test::FaultEnv env;
  env.failWriteAfter = 3;
  FormSettings failing(env, path);
  EXPECT_THROW(failing.WriteInt("TFormMain", "WeekLen", 700), Error);
  EXPECT_EQ(test::ReadBytes(path), before);
}

TEST(Switches, WordsAndPrefixes) {
  EXPECT_TRUE(HasSwitch({"restart"}, "restart"));
  EXPECT_TRUE(HasSwitch({"x", "RESTART"}, "restart"));
  EXPECT_TRUE(HasSwitch({"-Restart"}, "restart"));
  EXPECT_TRUE(HasSwitch({"--restart"}, "restart"));
  EXPECT_TRUE(HasSwitch({"/restart"}, "restart"));
  EXPECT_TRUE(HasSwitch({"\\restart"}, "restart"));
  EXPECT_TRUE(HasSwitch({"--no-language"}, "no-language"));
  EXPECT_FALSE(HasSwitch({"restartx"}, "restart"));
  EXPECT_FALSE(HasSwitch({"---restart"}, "restart"));
  EXPECT_FALSE(HasSwitch({"-/restart"}, "restart"));
  EXPECT_FALSE(HasSwitch({}, "restart"));
}

}  // namespace
}  // namespace px
