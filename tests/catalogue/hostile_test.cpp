// Answers as a broken or hostile server sends them, over real HTTP: each
// gives its message and leaves the rows and the local store as they were.
#include <httplib.h>

#include <gtest/gtest.h>

#include "catalogue/codec.h"
#include "catalogue/service.h"
#include "core/errors.h"
#include "support/loopback.h"
#include "tests/catalogue/catalogue_support.h"

namespace px::test {
namespace {

struct HostileServer {
  std::string list, text;
  int status = 200;
  int stallMs = 0;
  bool cut = false;
  // Last, so it is stopped first: a stalled answer still reads the fields above.
  Loopback loop;

  HostileServer() {
    auto answer = [this](const std::string* body) {
      return [this, body](const httplib::Request&, httplib::Response& res) {
        if (stallMs) std::this_thread::sleep_for(std::chrono::milliseconds(stallMs));
        res.status = status;
        if (cut) {
          res.set_content_provider(body->size() + 1000, "application/octet-stream",
                                   [body](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset > 0) return false;  // closes the connection mid-body
                                     sink.write(body->data(), std::min<size_t>(body->size(), 20));
                                     return true;
                                   });
          return;
        }
        Send(res, *body);
      };
    };
    loop.server.Post(kCatalogueListPath, answer(&list));
    loop.server.Post(kCatalogueDataPath, answer(&text));
    loop.Start();
  }
};

tSystemInfo Ten(int32_t id) {
  tSystemInfo i;
  i.id = id;
  i.numberCount = 10;
  i.combinationCount = 3;
  i.title = "десятка";
  i.created = 1700000000;
  return i;
}

TEST(CatalogueHostileAnswers, EachFailureLeavesTheRowsAndTheStoreAsTheyWere) {
  TempDir dir;
  RecordingHost host;
  HostileServer bad;
  HttpCatalogue catalogue(bad.loop.Url());
  catalogue.Client().SetReadTimeoutMs(1000);
  SystemStore store(Env::Real(), host, dir.Path());
  CatalogueList list(catalogue, store, Env::Real(), host);

  const std::string good = AnswerText({ListRow(Ten(5)), ListRow(Ten(6))});
  bad.list = good;
  bad.text = AnswerText({{{"clist", Base64Encode(Lines(10, 3))}}});
  ASSERT_TRUE(list.Refresh());
  ASSERT_EQ(list.Download({5}).size(), 1u);
  const std::string path = store.FilePath(Ten(5));
  const std::string file = ReadBytes(path);
  ASSERT_EQ(file, Lines(10, 3));

  auto rowsText = [&] {
    std::string s;
    for (const auto& r : list.Rows()) s += std::to_string(r.info.id) + (r.downloaded ? "+" : "-") + r.info.title + ";";
    return s;
  };
  const std::string rows = rowsText();

  struct Case {
    const char* what;
    std::function<void()> set;
  };
  const std::string longTitle(kCatalogueMaxTitle * 2, 'A');
  const std::vector<Case> cases = {
      {"rows without fields", [&] { bad.list = "<result><row></row><row></row></result>"; }},
      {"non-Base64 title", [&] { bad.list = "<result><row><id>7</id><nums>6</nums><olap>0</olap><csize>1</csize>"
                                            "<title>!!</title></row></result>"; }},
      {"overlong title", [&] {
         AnswerRow row = ListRow(Ten(7));
         row[4].second = longTitle;
         bad.list = AnswerText({row});
       }},
      {"an error row", [&] { bad.list = AnswerText({ListRow(Ten(7)), {{"error", "Сервер на обслуживании"}}}); }},
      {"HTTP 500", [&] { bad.list = good; bad.status = 500; }},
      {"a stalled server", [&] { bad.status = 200; bad.stallMs = 6000; }},
      {"a cut connection", [&] { bad.stallMs = 0; bad.cut = true; }},
  };
  for (const Case& c : cases) {
    c.set();
    host.Reset();
    EXPECT_FALSE(list.Refresh()) << c.what;
    ASSERT_EQ(host.errors.size(), 1u) << c.what;
    EXPECT_TRUE(host.errors[0].starts_with("Ошибка загрузки списка систем!\r\r")) << c.what << ": " << host.errors[0];
    EXPECT_EQ(rowsText(), rows) << c.what;
  }

  // The same faults on the download of a system's text.
  bad.cut = false;
  bad.list = good;
  const std::vector<Case> textCases = {
      {"no result", [&] { bad.text = "<html>нет</html>"; }},
      {"non-Base64 text", [&] { bad.text = AnswerText({{{"clist", "01 02 03 04 05"}}}); }},
      {"wrong line count", [&] { bad.text = AnswerText({{{"clist", Base64Encode(Lines(10, 2))}}}); }},
      {"positions beyond k", [&] { bad.text = AnswerText({{{"clist", Base64Encode(Lines(12, 3, 400))}}}); }},
      {"HTTP 500", [&] { bad.text = AnswerText({{{"clist", Base64Encode(Lines(10, 3, 5))}}}); bad.status = 500; }},
      {"a cut connection", [&] { bad.status = 200; bad.cut = true; }},
  };
  for (const Case& c : textCases) {
    c.set();
    host.Reset();
    EXPECT_TRUE(list.Download({5}).empty()) << c.what;
    ASSERT_EQ(host.errors.size(), 1u) << c.what;
    EXPECT_TRUE(host.errors[0].starts_with("Ошибка загрузки системы #5!\r\r")) << c.what << ": " << host.errors[0];
    EXPECT_EQ(ReadBytes(path), file) << c.what;
    EXPECT_EQ(rowsText(), rows) << c.what;
  }
  bad.cut = false;
  bad.text = "<result></result>";
  host.Reset();
  list.Download({5});
  EXPECT_EQ(host.errors, std::vector<std::string>{"Ошибка загрузки системы #5!\r\rКоличество скачанных комбинаций ( 0 ) "
                                                  "отличается от ожидаемого значения ( 3 )"});

  // No result text at all: the placeholder alone.
  bad.list = "<html>пусто</html>";
  ASSERT_TRUE(list.Refresh());
  ASSERT_EQ(list.Rows().size(), 1u);
  EXPECT_EQ(list.Rows()[0].info.id, -1);
}

TEST(CatalogueHostileAnswers, AnIdListedTwiceNeverDeletesTheFileJustWritten) {
  TempDir dir;
  RecordingHost host;
  HostileServer twice;
  tSystemInfo other = Ten(8);
  other.title = "другая десятка";
  twice.list = AnswerText({ListRow(Ten(5)), ListRow(other), ListRow(Ten(5))});
  twice.text = AnswerText({{{"clist", Base64Encode(Lines(10, 3))}}});
  HttpCatalogue catalogue(twice.loop.Url());
  SystemStore store(Env::Real(), host, dir.Path());
  CatalogueList list(catalogue, store, Env::Real(), host);
  ASSERT_TRUE(list.Refresh());
  ASSERT_EQ(list.Download({8}).size(), 1u);
  EXPECT_EQ(list.Download({5}), std::vector<int32_t>{5});
  EXPECT_TRUE(std::filesystem::exists(store.FilePath(Ten(5))));
  EXPECT_FALSE(std::filesystem::exists(store.FilePath(other)));
  // Both rows of the id listed twice show it, whatever their place.
  ASSERT_EQ(list.Rows().size(), 3u);
  for (const CatalogueRow& row : list.Rows()) EXPECT_EQ(row.downloaded, row.info.id == 5) << row.info.title;
  EXPECT_TRUE(host.errors.empty());
}

TEST(CatalogueServer, AnswersGzipWhenAcceptedLogsEachRequestAndKeepsTheStoreOnAFailedSave) {
  TempDir dir;
  ServedCatalogue served(dir.File("c.db"));
  HttpCatalogue catalogue(served.Url());
  RecordingHost host;
  SystemStore store(Env::Real(), host, dir.Path());
  CatalogueList list(catalogue, store, Env::Real(), host, {"Иван", "ivan@x.ru"});
  tSystemData d;
  d.numberCount = 6;
  d.title = "шестёрка";
  d.author = "Иван";
  d.ownerMail = "ivan@x.ru";
  d.description = "о";
  d.combinations = Lines(6, 4);
  ASSERT_EQ(list.Add(d), 1);

  const HttpResponse r = catalogue.Client().PostForm(served.Url() + kCatalogueListPath, "comblen=5");
  EXPECT_EQ(r.contentEncoding, "gzip");
  ASSERT_TRUE(ParseListAnswer(r.body));
  httplib::Client plain("127.0.0.1", served.port);
  plain.set_decompress(false);
  auto p = plain.Post(kCatalogueListPath, "comblen=5", "application/x-www-form-urlencoded");
  ASSERT_TRUE(p);
  EXPECT_FALSE(p->has_header("Content-Encoding"));
  EXPECT_EQ(ParseListAnswer(p->body)->size(), 1u);
  // A request without identification fields is served all the same.
  auto noId = plain.Post(kCatalogueDataPath, "sys_id=1", "application/x-www-form-urlencoded");
  EXPECT_EQ(ParseTextAnswer(noId->body), Lines(6, 4));

  // A save that breaks in the middle of the store's transaction.
  served.server.Store().SetStatementHook([](std::string_view step) {
    if (step == "commit") throw Error("диск отключён");
  });
  d.title = "вторая";
  EXPECT_FALSE(list.Add(d));
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_TRUE(host.errors[0].starts_with("Ошибка сохранения системы #0!\r\r")) << host.errors[0];
  EXPECT_EQ(list.Rows().size(), 1u);
  served.server.Store().SetStatementHook({});
  EXPECT_EQ(CatalogueStore(dir.File("c.db")).List().size(), 1u);

  const std::string log = served.log.str();
  EXPECT_NE(log.find("POST /scripts/sys_putdata.php gzip"), std::string::npos) << log;
  EXPECT_NE(log.find("POST /scripts/sys_getlist.php gzip"), std::string::npos) << log;
  EXPECT_NE(log.find("POST /scripts/sys_getlist.php identity"), std::string::npos) << log;
  EXPECT_NE(log.find("добавлена система #1"), std::string::npos) << log;
  EXPECT_NE(log.find("ошибка: "), std::string::npos) << log;
  std::string addr;
  int port = 0;
  EXPECT_TRUE(ParseListenAddress("127.0.0.1:8080", addr, port));
  EXPECT_EQ(port, 8080);
  EXPECT_FALSE(ParseListenAddress("8080", addr, port));
  EXPECT_FALSE(ParseListenAddress("h:99999", addr, port));
}

}  // namespace
}  // namespace px::test
