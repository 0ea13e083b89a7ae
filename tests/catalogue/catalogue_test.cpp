// The catalogue's commands against both ways to reach it: the same tests,
// the embedded file and the real server on the loopback.
#include <gtest/gtest.h>

#include "catalogue/codec.h"
#include "core/config.h"
#include "core/cp1251.h"
#include "core/errors.h"
#include "core/form_settings.h"
#include "tests/catalogue/catalogue_support.h"

namespace px::test {
namespace {

using std::chrono::seconds;
using std::chrono::system_clock;

TEST_P(CatalogueFixture, PublishedSystemIsListedDownloadedAndCounted) {
  tSystemData d;
  d.numberCount = 10;
  d.blockLength = 3;
  d.title = "Система \"Х\" ? \\ & + / = 日";
  d.description = "первая строка\r\nвторая; 100%";
  d.author = me.name;
  d.ownerMail = me.mail;
  d.url = "http://x.ru/s?a=1&b=%20";
  d.combinations = Lines(10, 12);
  const std::optional<int32_t> id = list->Add(d);
  ASSERT_TRUE(id);
  EXPECT_EQ(*id, 1);
  ASSERT_EQ(list->Rows().size(), 1u);
  EXPECT_EQ(list->Owner(Row(1)), SystemOwner::Own);
  EXPECT_FALSE(Row(1).downloaded);  // a new system reaches the store only by a download

  ASSERT_TRUE(list->Refresh());
  const tSystemInfo info = Row(1).info;
  EXPECT_EQ(info.title, "Система \"Х\" ? \\ & + / = ?");
  EXPECT_EQ(info.description, d.description);
  EXPECT_EQ(info.url, d.url);  // as typed
  EXPECT_EQ(info.author, "Иван");
  EXPECT_EQ(info.ownerMail, me.mail);
  EXPECT_EQ(info.numberCount, 10);
  EXPECT_EQ(info.blockLength, 3);
  EXPECT_EQ(info.combinationCount, 12);
  EXPECT_GT(info.created, 0);
  EXPECT_EQ(info.downloads, 0);
  EXPECT_EQ(info.lastDownload, 0);

  EXPECT_EQ(list->Download({1}), std::vector<int32_t>{1});
  EXPECT_TRUE(host.errors.empty()) << host.errors.front();
  EXPECT_TRUE(Row(1).downloaded);
  const std::string path = FileOf(1);
  EXPECT_EQ(path, SystemsDirectory(dir.Path()) + "/5-10-3_0001.dat");
  EXPECT_EQ(ReadBytes(path), Utf8ToCp1251(Lines(10, 12)));
  EXPECT_EQ(FileSeconds(path), info.created);
  auto texts = CatalogueRowTexts(Row(1));
  EXPECT_EQ(texts[2], "10");
  EXPECT_EQ(texts[6], "Загружена");

  ASSERT_TRUE(list->Refresh());
  EXPECT_EQ(Row(1).info.downloads, 1);
  EXPECT_GT(Row(1).info.lastDownload, 0);
  EXPECT_TRUE(Row(1).downloaded);
  // The status texts of the requests, each cleared after it.
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(), "Загрузка списка систем..."), host.statuses.end());
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(), "Загрузка \"" + info.title + "\"..."),
            host.statuses.end());
  EXPECT_EQ(host.CurrentStatus(), "");
}

TEST_P(CatalogueFixture, ElevenLinesForTwelveCombinationsLeaveTheLocalFileAlone) {
  ASSERT_EQ(Publish(10, 12, "двенадцать", me), 1);
  ASSERT_TRUE(list->Refresh());
  ASSERT_EQ(list->Download({1}).size(), 1u);
  const std::string path = FileOf(1);
  const std::string before = ReadBytes(path);
  const int64_t time = FileSeconds(path);

  {  // The catalogue now holds 11 lines for the 12 it lists.
    CatalogueStore direct(dbPath);
    tSystemData broken = *direct.Find(1);
    broken.combinations = Lines(10, 11);
    direct.Save(broken);
  }
  host.Reset();
  EXPECT_TRUE(list->Download({1}).empty());
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0],
            "Ошибка загрузки системы #1!\r\rКоличество скачанных комбинаций ( 11 ) отличается от ожидаемого "
            "значения ( 12 )");
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(FileSeconds(path), time);
  EXPECT_TRUE(Row(1).downloaded);

  {  // Lines of the right count but over positions the system has not.
    CatalogueStore direct(dbPath);
    tSystemData broken = *direct.Find(1);
    broken.combinations = Lines(11, 12, 200);
    direct.Save(broken);
  }
  host.Reset();
  EXPECT_TRUE(list->Download({1}).empty());
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_TRUE(host.errors[0].starts_with("Ошибка загрузки системы #1!\r\r")) << host.errors[0];
  EXPECT_EQ(ReadBytes(path), before);
}

TEST_P(CatalogueFixture, ADownloadDeletesTheOtherSystemOfTheSameNumberCount) {
  ASSERT_EQ(Publish(10, 3, "первая десятка", other), 1);
  ASSERT_EQ(Publish(8, 2, "восьмёрка", other), 2);
  ASSERT_EQ(Publish(10, 4, "вторая десятка", other, 3), 3);
  ASSERT_TRUE(list->Refresh());
  ASSERT_EQ(list->Download({1, 2}), (std::vector<int32_t>{2, 1}));  // in list order: by number count
  const std::string first = FileOf(1), eight = FileOf(2);
  ASSERT_TRUE(std::filesystem::exists(first));

  EXPECT_EQ(list->Download({3}), std::vector<int32_t>{3});
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_FALSE(Row(1).downloaded);
  EXPECT_EQ(CatalogueRowTexts(Row(1))[6], "");
  EXPECT_TRUE(Row(3).downloaded);
  EXPECT_TRUE(std::filesystem::exists(FileOf(3)));
  EXPECT_TRUE(std::filesystem::exists(eight));
  EXPECT_TRUE(Row(2).downloaded);
  EXPECT_EQ(*store->FindFile(10), FileOf(3));

  // The same system asked for twice is written once and keeps its file.
  EXPECT_EQ(list->Download({3, 3}), std::vector<int32_t>{3});
  EXPECT_TRUE(std::filesystem::exists(FileOf(3)));
  EXPECT_TRUE(host.errors.empty());
}

TEST_P(CatalogueFixture, AChangedLastWriteTimeIsDownloadedAgainAtTheNextRefresh) {
  ASSERT_EQ(Publish(7, 5, "семёрка", other), 1);
  ASSERT_TRUE(list->Refresh());
  ASSERT_EQ(list->Download({1}).size(), 1u);
  const std::string path = FileOf(1);
  const int64_t created = Row(1).info.created;
  auto downloads = [&] { return CatalogueStore(dbPath).Find(1)->downloads; };
  ASSERT_EQ(downloads(), 1);

  // Same time to the second: nothing to do.
  ASSERT_TRUE(list->Refresh());
  EXPECT_EQ(downloads(), 1);

  Env::Real().WriteFile(path, "испорчено");
  Env::Real().SetFileTime(path, system_clock::time_point(seconds(created - 3600)));
  ASSERT_TRUE(list->Refresh());
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(downloads(), 2);
  EXPECT_EQ(ReadBytes(path), Lines(7, 5));
  EXPECT_EQ(FileSeconds(path), created);
  EXPECT_TRUE(Row(1).downloaded);

  // A system without a creation time is never outdated.
  {
    CatalogueStore direct(dbPath);
    tSystemData timeless = *direct.Find(1);
    timeless.created = 0;
    direct.Save(timeless);
  }
  ASSERT_TRUE(list->Refresh());
  EXPECT_EQ(downloads(), 2);
  ASSERT_EQ(list->Download({1}).size(), 1u);
  EXPECT_EQ(downloads(), 3);
  Env::Real().SetFileTime(path, system_clock::time_point(seconds(1000000000)));
  ASSERT_TRUE(list->Refresh());
  EXPECT_EQ(downloads(), 3);
  EXPECT_EQ(FileSeconds(path), 1000000000);
  EXPECT_EQ(CatalogueRowTexts(Row(1))[5], "");
}

TEST_P(CatalogueFixture, OnlyOwnSystemsAreChangedOrDeleted) {
  ASSERT_EQ(Publish(6, 2, "чужая", other), 1);
  ASSERT_EQ(Publish(9, 2, "своя", {"Иван", "ivan@x.ru"}), 2);  // the e-mail's case does not matter
  ASSERT_EQ(Publish(8, 2, "ничья", {"Аноним", ""}), 3);
  ASSERT_TRUE(list->Refresh());
  EXPECT_EQ(list->Owner(Row(1)), SystemOwner::Other);
  EXPECT_EQ(list->Owner(Row(2)), SystemOwner::Own);
  EXPECT_EQ(list->Owner(Row(3)), SystemOwner::Nobody);
  ASSERT_EQ(list->Download({1, 2}).size(), 2u);

  EXPECT_FALSE(list->Delete(1, false));
  EXPECT_EQ(host.errors, std::vector<std::string>{"Вы можете удалять только свои системы!"});
  EXPECT_GE(list->IndexOf(1), 0);
  EXPECT_FALSE(list->Delete(3, false));
  // The catalogue refuses as well when asked past the list.
  tSystemInfo foreign = Row(1).info;
  foreign.ownerMail = me.mail;
  EXPECT_THROW(catalogue->DeleteSystem(foreign), Error);
  EXPECT_TRUE(CatalogueStore(dbPath).Find(1));

  host.Reset();
  host.answers = {false};
  EXPECT_FALSE(list->Delete(2));
  EXPECT_EQ(host.questions, std::vector<std::string>{"Вы действительно хотите удалить систему \"своя\"?"});
  const std::string own = FileOf(2);
  host.answers = {true};
  EXPECT_TRUE(list->Delete(2));
  EXPECT_LT(list->IndexOf(2), 0);
  EXPECT_FALSE(std::filesystem::exists(own));
  EXPECT_FALSE(CatalogueStore(dbPath).Find(2));
  EXPECT_TRUE(std::filesystem::exists(FileOf(1)));

  tSystemData change;
  static_cast<tSystemInfo&>(change) = Row(1).info;
  change.title = "моя теперь?";
  change.combinations = Lines(6, 3);
  EXPECT_FALSE(list->Change(change));
  EXPECT_EQ(Row(1).info.title, "чужая");

  ASSERT_EQ(Publish(11, 2, "вторая своя", me), 4);
  ASSERT_TRUE(list->Refresh());
  static_cast<tSystemInfo&>(change) = Row(4).info;
  change.title = "вторая своя, исправленная";
  change.combinations = Lines(11, 3);
  host.Reset();
  EXPECT_TRUE(list->Change(change));
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(Row(4).info.combinationCount, 3);
  ASSERT_TRUE(list->Refresh());
  EXPECT_EQ(Row(4).info.title, "вторая своя, исправленная");
  EXPECT_EQ(CatalogueStore(dbPath).Find(4)->combinations, Lines(11, 3));
}

TEST_P(CatalogueFixture, ThePlaceholderStandsAloneAndNoCommandTouchesIt) {
  ASSERT_TRUE(list->Refresh());
  ASSERT_EQ(list->Rows().size(), 1u);
  const CatalogueRow& row = list->Rows().front();
  EXPECT_EQ(row.info.id, -1);
  EXPECT_EQ(row.info.title, "Список систем не доступен!");
  const auto texts = CatalogueRowTexts(row);
  ASSERT_EQ(texts.size(), CatalogueColumnTitles().size());
  for (size_t c = 1; c < texts.size(); ++c) EXPECT_EQ(texts[c], "") << c;
  EXPECT_TRUE(list->Download({-1, 0}).empty());
  EXPECT_FALSE(list->Delete(-1, false));
  tSystemData d;
  static_cast<tSystemInfo&>(d) = row.info;
  EXPECT_FALSE(list->Change(d));
  EXPECT_EQ(list->FetchText(row.info), "");
  EXPECT_TRUE(host.errors.empty());
  EXPECT_TRUE(std::filesystem::is_empty(SystemsDirectory(dir.Path())) ||
              !std::filesystem::exists(store->FilePath(row.info)));

  // The first added system takes the placeholder's place.
  ASSERT_TRUE(list->Add(SampleSystem(6, 2, "первая", me)));
  ASSERT_EQ(list->Rows().size(), 1u);
  EXPECT_EQ(list->Rows().front().info.id, 1);
}

TEST_P(CatalogueFixture, ASaveTheCatalogueRefusesLeavesTheListAsItWas) {
  ASSERT_EQ(Publish(6, 2, "есть", me), 1);
  ASSERT_TRUE(list->Refresh());
  tSystemData bad;
  bad.numberCount = 6;
  bad.title = "неверная";
  bad.author = me.name;
  bad.ownerMail = me.mail;
  bad.combinations = "01 02 03 04 09\r\n";  // position 9 of 6
  EXPECT_FALSE(list->Add(bad));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_TRUE(host.errors[0].starts_with("Ошибка сохранения системы #0!\r\r")) << host.errors[0];
  EXPECT_EQ(list->Rows().size(), 1u);
  EXPECT_EQ(CatalogueStore(dbPath).List().size(), 1u);
  bad.combinations = Lines(6, 1);
  bad.url = "<script>";
  EXPECT_FALSE(list->Add(bad));
  EXPECT_EQ(CatalogueStore(dbPath).List().size(), 1u);
}

TEST_P(CatalogueFixture, TheSortOrdersTheRowsTheCommandsWorkInAndOutlivesARefresh) {
  ASSERT_EQ(Publish(12, 3, "б двенадцать", other), 1);
  ASSERT_EQ(Publish(7, 5, "А семь", me), 2);
  ASSERT_EQ(Publish(9, 1, "в девять", other), 3);
  ASSERT_EQ(Publish(7, 2, "г семь", other), 4);
  ASSERT_TRUE(list->Refresh());
  auto ids = [&] {
    std::vector<int32_t> v;
    for (const CatalogueRow& r : list->Rows()) v.push_back(r.info.id);
    return v;
  };
  // First by "Числа", ascending; equal counts by title.
  EXPECT_EQ(list->SortColumn(), 2);
  EXPECT_EQ(ids(), (std::vector<int32_t>{2, 4, 3, 1}));
  // Titles ignore case: "А" before "б".
  list->Sort(0, true);
  EXPECT_EQ(ids(), (std::vector<int32_t>{2, 1, 3, 4}));
  list->Sort(0, false);
  EXPECT_EQ(ids(), (std::vector<int32_t>{4, 3, 1, 2}));
  // "Комбинаций" by value, not by text ("5" after "12" as text).
  list->Sort(4, true);
  EXPECT_EQ(ids(), (std::vector<int32_t>{3, 4, 1, 2}));
  // "Статус": the downloaded ones last ascending.
  ASSERT_EQ(list->Download({4, 1}), (std::vector<int32_t>{4, 1}));  // in the order shown
  list->Sort(6, true);
  EXPECT_EQ(ids(), (std::vector<int32_t>{2, 3, 1, 4}));
  // A refresh and an added system keep the order chosen.
  list->Sort(0, false);
  ASSERT_TRUE(list->Refresh());
  EXPECT_EQ(ids(), (std::vector<int32_t>{4, 3, 1, 2}));
  ASSERT_EQ(list->Add(SampleSystem(6, 2, "д шесть", me)), std::optional<int32_t>(5));
  EXPECT_EQ(ids(), (std::vector<int32_t>{5, 4, 3, 1, 2}));
  // Out of range columns change nothing.
  list->Sort(11, true);
  list->Sort(-1, true);
  EXPECT_EQ(ids(), (std::vector<int32_t>{5, 4, 3, 1, 2}));
}

INSTANTIATE_TEST_SUITE_P(BothWays, CatalogueFixture, ::testing::Values(Way::Embedded, Way::Http), WayName);

TEST(CatalogueIdentity, KeptInTheWindowStateStore) {
  TempDir dir;
  const std::string path = FormSettingsPath(dir.Path(), "Pentalux5_5v36");
  EXPECT_EQ(LoadOnlineIdentity(Env::Real(), path).mail, "");
  SaveOnlineIdentity(Env::Real(), path, {"Иван Петров", "ivan@x.ru"});
  const OnlineIdentity back = LoadOnlineIdentity(Env::Real(), path);
  EXPECT_EQ(back.name, "Иван Петров");
  EXPECT_EQ(back.mail, "ivan@x.ru");
  tSystemInfo info;
  info.ownerMail = "IVAN@x.ru";
  EXPECT_EQ(OwnerOf(info, back), SystemOwner::Own);
  EXPECT_EQ(OwnerOf(info, {"Иван", ""}), SystemOwner::Other);  // an empty e-mail owns nothing
  info.ownerMail = "";
  EXPECT_EQ(OwnerOf(info, back), SystemOwner::Nobody);
}

TEST(CatalogueAddress, EmbeddedUnlessTheConfigurationNamesAServer) {
  TempDir dir;
  ProxySettings proxy;
  auto embedded = OpenSystemCatalogue(Env::Real(), dir.Path(), proxy);
  auto* file = dynamic_cast<EmbeddedCatalogue*>(embedded.get());
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Path(), dir.Path() + "/Systems/catalogue.db");
  Env::Real().WriteFile(dir.File("Pentalux5_5v36.ini"), "[GLOBAL]\r\nSystemsCatalogue= http://127.0.0.1:1/ \r\n");
  EXPECT_EQ(LoadCatalogueAddress(Env::Real(), dir.File("Pentalux5_5v36.ini")), "http://127.0.0.1:1/");
  EXPECT_NE(dynamic_cast<HttpCatalogue*>(OpenSystemCatalogue(Env::Real(), dir.Path(), proxy).get()), nullptr);
}

}  // namespace
}  // namespace px::test
