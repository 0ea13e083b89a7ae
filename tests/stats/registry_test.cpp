#include <gtest/gtest.h>

#include <algorithm>

#include "core/ini.h"
#include "core/text.h"
#include "stats/stat_list.h"
#include "support/fault_env.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px {
namespace {

std::vector<std::string> Codes(const TStatList& r) {
  std::vector<std::string> codes;
  for (int i = 0; i < r.Count(); ++i) codes.push_back(r.CodeOf(i));
  return codes;
}

TEST(Registry, FillFollowsTheClassOrder) {
  EXPECT_EQ(RegistryOrder().size(), 143u);
  TStatList r;
  r.Fill();
  const auto codes = Codes(r);
  ASSERT_GE(codes.size(), 49u);
  // Registry order, indexed classes once per index, unavailable classes absent.
  const std::vector<std::string> head = {
      "NUMS", "DIGS", "EVEN", "EVNV", "SMAL", "SMLV", "PRIM", "PRMV", "SUMS", "SUM1", "SUM2", "SUM3", "SUMC", "SUMV",
      "SUMT", "SUME", "SUMP", "S2T3", "DIFA", "DIFM", "DIFD", "DIFO", "DIFK", "CHAN", "CHNV", "CHNC", "COLS", "ROWS",
      "COLV", "ROWV", "COLN", "ROWN", "COLM", "ROWM", "COLA", "ROWA", "COLC", "ROWC", "SGMS", "SGMV", "SGMC"};
  EXPECT_EQ(std::vector<std::string>(codes.begin(), codes.begin() + long(head.size())), head);
  auto at = [&](const std::string& code) { return std::find(codes.begin(), codes.end(), code) - codes.begin(); };
  EXPECT_LT(at("LENS"), at("KNM2"));
  const std::vector<std::string> knp = {"KNP21", "KNP22", "KNP23", "KNP24", "KNP31", "KNP32", "KNP33", "KNP41",
                                        "KNP42", "KDS2", "KDS3", "KDS4", "KCM2"};
  EXPECT_EQ(std::vector<std::string>(codes.begin() + at("KNP21"), codes.begin() + at("KNP21") + long(knp.size())), knp);
  EXPECT_EQ(at("KNO2"), long(codes.size()));  // never offered
  EXPECT_FALSE(FindStatClass("TstCombValSort2")->available);
  // The tuples of channels, columns, rows and segments, then the indexed
  // counts, each once per index of the default configuration.
  const std::vector<std::string> tail = {
      "KCM2", "KCM3", "KCM4", "KCS2", "KCS3", "KCS4", "KFM2", "KFM3", "KFM4", "KFS2", "KFS3", "KFS4", "KRM2", "KRM3",
      "KRM4", "KRS2", "KRS3", "KRS4", "KGM2", "KGM3", "KGM4", "KGS2", "KGS3", "KGS4", "POS1", "POS2", "POS3", "POS4",
      "POS5", "CHN1", "CHN2", "CHN3", "CHN4", "CHN5", "CHN6", "COL1", "COL2", "COL3", "COL4", "COL5", "COL6", "ROW1",
      "ROW2", "ROW3", "ROW4", "ROW5", "ROW6", "SGM1"};
  ASSERT_LE(tail.size(), codes.size());
  EXPECT_EQ(std::vector<std::string>(codes.begin() + at("KCM2"), codes.begin() + at("KCM2") + long(tail.size())), tail);
  // Every class of the order exists; the default configuration gives 202 methods.
  for (std::string_view name : RegistryOrder()) EXPECT_NE(FindStatClass(name), nullptr) << name;
  EXPECT_EQ(r.Count(), 202);
  EXPECT_EQ(codes.back(), "SHR3");
  ASSERT_NE(FindStatClass("TstPosExt"), nullptr);  // known, but its range is empty
  EXPECT_EQ(r.FindByCode("POE1"), -1);
  EXPECT_EQ(r.CodeOf(r.FindByCode("pos3")), "POS3");
  EXPECT_EQ(r.FindByCode("POS"), -1);
  for (int i = 0; i < r.Count(); ++i) {
    auto stat = r.CreateInstance(i);
    EXPECT_EQ(stat->Index(), r.Method(i).index);
    EXPECT_EQ(&stat->Info(), r.Method(i).cls);
  }
}

TEST(Registry, Names) {
  TStatList r;
  r.Fill();
  const int pos3 = r.FindByCode("POS3");
  EXPECT_EQ(r.DisplayName(pos3, true), "{ num } Число в 3 позиции тиража [ SNG ]");
  EXPECT_EQ(r.DisplayName(pos3, false), "{ num } Число в 3 позиции тиража");
  r.ShowGroupName = false;
  r.ShowMethodFlags = false;
  EXPECT_EQ(r.DisplayName(pos3, true), "Число в 3 позиции тиража");
  r.Method(pos3).customName = "Третье";
  r.ShowGroupName = true;
  r.ShowMethodFlags = true;
  EXPECT_EQ(r.DisplayName(pos3, true), "{ num } Третье [ SNG ]");
  EXPECT_EQ(r.DisplayName(0, true), "{ num } Числа тиража [ N ]");
  EXPECT_EQ(GroupTitle(0), "{ num } Числа тиража");
  EXPECT_EQ(GroupTitle(12), "{ shr } Методы шинковки");
  EXPECT_EQ(GroupTitle(13), "#ERROR#");
  EXPECT_EQ(GroupTitle(-1), "#ERROR#");

  // Help pages: indexed methods share one page; no help file, no address.
  EXPECT_EQ(r.HelpTopic(pos3), "");
  test::TempDir dir;
  r.helpFile = dir.File("Sortix_RUS.chm");
  test::WriteBytes(r.helpFile, "x");
  EXPECT_EQ(r.HelpTopic(pos3), "ms-its:" + r.helpFile + "::/Filters_1049_POSx.htm");
  EXPECT_EQ(r.HelpTopic(0), "ms-its:" + r.helpFile + "::/Filters_1049_NUMS.htm");

  // The method lists: sorted by text when Ordered, graph list only graph methods.
  auto graphs = MethodList(r, true);
  ASSERT_FALSE(graphs.empty());
  EXPECT_EQ(r.CodeOf(graphs[0].method), "EVEN");
  for (const auto& item : graphs) EXPECT_TRUE(r.IsGraph(item.method));
  r.Ordered = true;
  r.ShowGroupName = false;
  r.ShowMethodFlags = false;
  // By bytes "Яблоко" and "Banana" would come first; folded, they do not.
  r.Method(r.FindByCode("POS1")).customName = "Яблоко";
  r.Method(r.FindByCode("POS2")).customName = "банан";
  r.Method(r.FindByCode("POS4")).customName = "Banana";
  r.Method(r.FindByCode("POS5")).customName = "apple";
  auto ordered = MethodList(r, false);
  for (size_t i = 1; i < ordered.size(); ++i) EXPECT_LE(CompareText(ordered[i - 1].text, ordered[i].text), 0);
  auto at = [&](const char* text) {
    return std::find_if(ordered.begin(), ordered.end(), [&](const MethodListItem& m) { return m.text == text; }) -
           ordered.begin();
  };
  EXPECT_LT(at("apple"), at("Banana"));
  EXPECT_LT(at("банан"), at("Яблоко"));
}

TEST(Registry, Favourites) {
  TStatList r;
  r.Fill();
  EXPECT_EQ(r.FavoritesText(), "");
  r.ApplyFavorites("nums,POS2");
  EXPECT_FALSE(r.AllEnabled);
  EXPECT_EQ(r.FavoritesText(), "NUMS,POS2");
  EXPECT_EQ(MethodList(r, false).size(), 2u);
  EXPECT_EQ(MethodList(r, false, true).size(), size_t(r.Count()));

  r.ApplyFavorites(" NUMS,XYZ");  // words are not trimmed; nothing matches
  EXPECT_FALSE(r.AllEnabled);
  EXPECT_TRUE(MethodList(r, false).empty());
  EXPECT_EQ(r.FavoritesText(), "");

  r.ApplyFavorites("   ");
  EXPECT_TRUE(r.AllEnabled);
  for (int i = 0; i < r.Count(); ++i) EXPECT_TRUE(r.IsEnabled(i));

  // After the favourites editor: nothing marked means everything.
  for (int i = 0; i < r.Count(); ++i) r.Method(i).enabled = false;
  r.NormalizeEnabled();
  EXPECT_TRUE(r.AllEnabled);
  EXPECT_TRUE(r.Method(3).enabled);
  r.Method(3).enabled = false;
  r.NormalizeEnabled();
  EXPECT_FALSE(r.AllEnabled);
  EXPECT_FALSE(r.IsEnabled(3));
  EXPECT_TRUE(r.IsEnabled(2));
  r.EnableAll();
  EXPECT_TRUE(r.IsEnabled(3));
}

TEST(Registry, NamesFileRoundTrip) {
  test::TempDir dir;
  const std::string path = NamesFilePath(dir.Path(), "Pentalux5_5v36");
  EXPECT_EQ(path, dir.File("Pentalux5_5v36.flt"));
  test::WriteBytes(path, "[STRINGS_ENU]\r\nNUMS=Numbers\r\n");

  TStatList r;
  r.Fill();
  r.ApplyFavorites("NUMS,EVEN");
  r.Ordered = true;
  r.ShowMethodFlags = false;
  r.Method(r.FindByCode("EVEN")).customName = "Чётные";
  ASSERT_TRUE(r.SaveNames(Env::Real(), path, true, false, nullptr));
  IniFile ini = IniFile::Load(Env::Real(), path);
  EXPECT_EQ(ini.ReadString("FILTERS", "Favorites", ""), "NUMS,EVEN");
  EXPECT_EQ(ini.ReadString("FILTERS", "Ordered", ""), "1");
  EXPECT_EQ(ini.Keys("STRINGS_RUS"), std::vector<std::string>{"EVEN"});
  EXPECT_EQ(ini.ReadString("STRINGS_ENU", "NUMS", ""), "Numbers");  // other languages stay

  TStatList back;
  back.Fill();
  ASSERT_TRUE(back.LoadNames(Env::Real(), path, true, nullptr));
  EXPECT_EQ(back.FavoritesText(), "NUMS,EVEN");
  EXPECT_TRUE(back.Ordered);
  EXPECT_FALSE(back.ShowMethodFlags);
  EXPECT_TRUE(back.ShowGroupName);
  EXPECT_EQ(back.Method(back.FindByCode("EVEN")).customName, "Чётные");
  EXPECT_EQ(back.Method(0).customName, "");

  // An exported file carries every name; reading it without options leaves them.
  const std::string exported = dir.File("export.flt");
  ASSERT_TRUE(back.SaveNames(Env::Real(), exported, false, true, nullptr));
  IniFile ex = IniFile::Load(Env::Real(), exported);
  EXPECT_FALSE(ex.HasSection("FILTERS"));
  EXPECT_EQ(ex.ReadString("STRINGS_RUS", "POS1", ""), "Число в 1 позиции тиража");
  EXPECT_EQ(ex.ReadString("STRINGS_RUS", "EVEN", ""), "Чётные");
  TStatList other;
  other.Fill();
  other.ApplyFavorites("DIGS");
  ASSERT_TRUE(other.LoadNames(Env::Real(), exported, false, nullptr));
  EXPECT_EQ(other.FavoritesText(), "DIGS");
  EXPECT_EQ(other.Method(other.FindByCode("EVEN")).customName, "Чётные");

  // Failures say so and keep what the registry had.
  test::FaultEnv env;
  test::RecordingHost host;
  env.failRead = true;
  EXPECT_FALSE(other.LoadNames(env, exported, true, &host));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind("Ошибка загрузки списка фильтров!\r\r", 0), 0u);
  EXPECT_EQ(other.FavoritesText(), "DIGS");
  env.failRead = false;
  env.failRename = true;
  const std::string before = test::ReadBytes(path);
  EXPECT_FALSE(other.SaveNames(env, path, true, false, &host));
  EXPECT_EQ(host.errors.back().rfind("Ошибка сохранения списка фильтров!\r\r", 0), 0u);
  EXPECT_EQ(test::ReadBytes(path), before);
}

}  // namespace
}  // namespace px
