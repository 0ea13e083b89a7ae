#include "catalogue/store.h"

#include <sqlite3.h>
#include <gtest/gtest.h>

#include <functional>

#include "core/errors.h"
#include "support/temp_dir.h"

namespace px {
namespace {

tSystemData System(int k, const std::string& title, const std::string& owner) {
  tSystemData d;
  d.numberCount = uint8_t(k);
  d.blockLength = 1;
  d.combinationCount = 1;
  d.title = title;
  d.author = "Автор";
  d.ownerMail = owner;
  d.description = "описание";
  d.created = 1700000000;
  d.url = "http://x.ru";
  d.combinations = "01 02 03 04 05\r\n";
  return d;
}

std::string Dump(CatalogueStore& store) {
  std::string s;
  for (const tSystemInfo& i : store.List()) {
    auto d = store.Find(i.id);
    s += std::to_string(i.id) + "|" + std::to_string(i.numberCount) + "|" + i.title + "|" + i.ownerMail + "|" +
         std::to_string(i.downloads) + "|" + std::to_string(i.lastDownload) + "|" + (d ? d->combinations : "-") + "\n";
  }
  return s;
}

TEST(CatalogueStore, NumbersSystemsListsByNumberCountAndCountsDownloads) {
  test::TempDir dir;
  const std::string path = dir.File("c.db");
  {
    CatalogueStore store(path);
    EXPECT_EQ(store.Save(System(10, "десять", "a@x")), 1);
    EXPECT_EQ(store.Save(System(6, "шесть", "b@x")), 2);
    EXPECT_EQ(store.Save(System(10, "ещё десять", "")), 3);
    auto list = store.List();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].id, 2);
    EXPECT_EQ(list[1].id, 1);
    EXPECT_EQ(list[2].id, 3);
    EXPECT_EQ(store.TakeText(1, 1700000500), "01 02 03 04 05\r\n");
    EXPECT_EQ(store.TakeText(1, 1700000600), "01 02 03 04 05\r\n");
    EXPECT_FALSE(store.TakeText(99, 1));
    // A change keeps the download count.
    tSystemData changed = System(10, "десять, новая", "a@x");
    changed.id = 1;
    EXPECT_EQ(store.Save(changed), 1);
    EXPECT_TRUE(store.Remove(3));
    EXPECT_FALSE(store.Remove(3));
    changed.id = 3;
    EXPECT_THROW(store.Save(changed), Error);  // gone
    // Ids are never given again, even after a removal.
    EXPECT_EQ(store.Save(System(7, "семь", "")), 4);
  }
  CatalogueStore reopened(path);
  auto one = reopened.Find(1);
  ASSERT_TRUE(one);
  EXPECT_EQ(one->title, "десять, новая");
  EXPECT_EQ(one->downloads, 2);
  EXPECT_EQ(one->lastDownload, 1700000600);
  EXPECT_EQ(one->created, 1700000000);
  EXPECT_EQ(one->url, "http://x.ru");

  // The index by number count is part of the file.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_master WHERE type = 'index' AND name = 'systems_nums'", -1, &st,
                     nullptr);
  ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
  EXPECT_NE(std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))).find("nums"), std::string::npos);
  sqlite3_finalize(st);
  sqlite3_close(db);
}

TEST(CatalogueStore, AChangeThatFailsInTheMiddleLeavesTheStoreAsItWas) {
  test::TempDir dir;
  CatalogueStore store(dir.File("c.db"));
  store.Save(System(10, "десять", "a@x"));
  store.Save(System(6, "шесть", "b@x"));
  const std::string before = Dump(store);

  tSystemData changed = System(12, "новая", "a@x");
  changed.id = 1;
  // Each statement a change runs, and the changes that run it.
  const std::vector<std::pair<std::string, std::vector<std::function<void()>>>> cases = {
      {"insert", {[&] { store.Save(System(8, "восемь", "")); }}},
      {"update", {[&] { store.Save(changed); }}},
      {"count", {[&] { store.TakeText(1, 1800000000); }}},
      {"delete", {[&] { store.Remove(2); }}},
      {"begin", {[&] { store.Save(System(8, "восемь", "")); }, [&] { store.Remove(2); }}},
      {"commit",
       {[&] { store.Save(System(8, "восемь", "")); }, [&] { store.Save(changed); }, [&] { store.TakeText(1, 1800000000); },
        [&] { store.Remove(2); }}},
  };
  for (const auto& [step, changes] : cases) {
    store.SetStatementHook([step = step](std::string_view name) {
      if (name == step) throw Error("сбой посреди записи");
    });
    for (const auto& change : changes) EXPECT_THROW(change(), Error) << step;
    store.SetStatementHook({});
    EXPECT_EQ(Dump(store), before) << step;
  }
  // After the failures the store works on; a rolled-back insert gives its id back.
  EXPECT_EQ(store.Save(System(8, "восемь", "")), 3);
  EXPECT_NE(Dump(store), before);
}

TEST(CatalogueStore, AFileThatIsNoDatabaseIsRefused) {
  test::TempDir dir;
  {
    std::FILE* f = std::fopen(dir.File("bad.db").c_str(), "wb");
    std::fputs("это не база данных, а текст длиной больше заголовка SQLite...........", f);
    std::fclose(f);
  }
  EXPECT_THROW(CatalogueStore(dir.File("bad.db")), Error);
  EXPECT_THROW(CatalogueStore(dir.File("missing/dir/c.db")), Error);
}

}  // namespace
}  // namespace px
