#include "core/download.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/cp1251.h"
#include "core/dates.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/http.h"
#include "core/ini.h"
#include "support/draws.h"
#include "support/fault_env.h"
#include "support/recording_host.h"
#include "support/loopback.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using test::Draw;
using test::ErrorText;
using test::FaultEnv;
using test::RecordingHost;
using test::Loopback;
using test::Page;
using test::Rows;
using test::Send;
using test::TempDir;

// A loopback port nobody listens on: connections are refused at once.
int ClosedPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

std::string Compress(const std::string& data, int windowBits) {
  z_stream zs{};
  deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&zs, data.size()) + 32, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}
std::string Gzip(const std::string& s) { return Compress(s, 16 + 15); }
std::string ZlibDeflate(const std::string& s) { return Compress(s, 15); }
std::string RawDeflate(const std::string& s) { return Compress(s, -15); }


std::string KeyText(int32_t key) { return DateText(DateOfKey(key)); }

std::chrono::system_clock::time_point LocalNoon(int y, int m, int d) {
  std::tm t{};
  t.tm_year = y - 1900;
  t.tm_mon = m - 1;
  t.tm_mday = d;
  t.tm_hour = 12;
  t.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&t));
}

constexpr int32_t kToday = 20240615;

// A data folder whose configuration points the download at a loopback server.
struct DownloadFixture : ::testing::Test {
  TempDir dir;
  FaultEnv env;
  RecordingHost host;
  DrawArchive archive;
  ProxySettings proxy;
  Loopback site;
  std::mutex mutex;
  std::vector<std::pair<std::string, std::string>> queries;  // (fromDateIn, toDateIn) as received
  std::vector<long> archiveBytesAtRequest;
  std::function<std::string(int call)> respond;  // body for the n-th request (0-based)

  void SetUp() override {
    env.now = LocalNoon(2024, 6, 15);
    site.server.Get("/site/winningNumberSearch", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard lock(mutex);
      queries.emplace_back(req.get_param_value("fromDateIn"), req.get_param_value("toDateIn"));
      std::error_code ec;
      auto size = std::filesystem::file_size(ArchiveFile(), ec);
      archiveBytesAtRequest.push_back(ec ? -1 : static_cast<long>(size));
      Send(res, respond ? respond(static_cast<int>(queries.size()) - 1) : Page({}));
    });
    site.Start();
    SetSite(site.Url());
  }

  void SetSite(const std::string& url) {
    IniFile ini = IniFile::Load(env, ConfigFile());
    ini.WriteString("GLOBAL", "ResultsSite", url);
    ini.Save(env, ConfigFile());
  }
  std::string ConfigFile() const { return ConfigPath(dir.Path()); }
  std::string ArchiveFile() const { return ArchivePath(dir.Path()); }
  size_t Requests() {
    std::lock_guard lock(mutex);
    return queries.size();
  }
  void AddDraw(int32_t dateKey) {
    archive.Append(Draw(archive.Count() + 1, {1, 2, 3, 4, 5}, KeyText(dateKey)));
  }
};

// --- HTTP layer ---

struct HttpClientTest : ::testing::Test {
  Loopback site;
};

TEST_F(HttpClientTest, SendsTheBrowserHeadersAndReturnsRawBytes) {
  std::map<std::string, std::string> seen;
  const std::string cp1251 = Utf8ToCp1251("Тираж");
  site.server.Get("/page", [&](const httplib::Request& req, httplib::Response& res) {
    for (const char* h : {"Accept", "Accept-Encoding", "Accept-Language", "Connection", "User-Agent"})
      seen[h] = req.get_header_value(h);
    Send(res, cp1251);
  });
  site.Start();
  HttpClient client;
  HttpResponse r = client.Get(site.Url() + "/page");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, cp1251);  // no charset conversion in the client
  EXPECT_EQ(seen["Accept"], "text/html,application/xhtml+xml,application/xml;q=0.9,image/webp,*/*;q=0.8");
  EXPECT_EQ(seen["Accept-Encoding"], "gzip, deflate, sdch");
  EXPECT_EQ(seen["Accept-Language"], "ru-RU,ru;q=0.8,en-US;q=0.6,en;q=0.4");
  EXPECT_EQ(seen["Connection"], "keep-alive");
  EXPECT_EQ(seen["User-Agent"],
            "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/53.0.2785.116 "
            "Safari/537.36");
}

TEST_F(HttpClientTest, InflatesGzipAndBothDeflateForms) {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += Utf8ToCp1251("строка ") + std::to_string(i) + "\n";
  std::map<std::string, std::pair<std::string, std::string>> bodies = {
      {"/gzip", {"gzip", Gzip(text)}},
      {"/zlib", {"deflate", ZlibDeflate(text)}},
      {"/raw", {"deflate", RawDeflate(text)}},
      {"/plain", {"identity", text}},
  };
  for (const auto& [path, body] : bodies) {
    site.server.Get(path, [&, enc = body.first, bytes = body.second](const httplib::Request&, httplib::Response& res) {
      Send(res, bytes, enc);
    });
  }
  site.Start();
  HttpClient client;
  for (const auto& [path, body] : bodies) {
    HttpResponse r = client.Get(site.Url() + path);
    EXPECT_EQ(r.contentEncoding, body.first) << path;
    EXPECT_EQ(r.body.size(), text.size()) << path;
    EXPECT_TRUE(r.body == text) << path;
  }
}

TEST_F(HttpClientTest, KeepsCookiesAcrossRequestsAndFollowsRedirects) {
  std::string cookieSeen;
  site.server.Get("/login", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Set-Cookie", "session=abc123; Path=/");
    res.set_redirect("/target");
  });
  site.server.Get("/target", [&](const httplib::Request& req, httplib::Response& res) {
    cookieSeen = req.get_header_value("Cookie");
    Send(res, "arrived");
  });
  site.Start();
  HttpClient client;
  EXPECT_EQ(client.Get(site.Url() + "/login").body, "arrived");
  EXPECT_EQ(cookieSeen, "session=abc123");
  cookieSeen.clear();
  client.Get(site.Url() + "/target");
  EXPECT_EQ(cookieSeen, "session=abc123");

  HttpClient other;  // a new session starts without cookies
  other.Get(site.Url() + "/target");
  EXPECT_EQ(cookieSeen, "");
}

TEST_F(HttpClientTest, ErrorStatusAndRefusedConnectionThrow) {
  site.server.Get("/missing", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
  site.Start();
  HttpClient client;
  EXPECT_EQ(ErrorText([&] { client.Get(site.Url() + "/missing"); }), "Сервер ответил кодом 404");
  std::string refused = ErrorText([&] { client.Get("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/"); });
  EXPECT_EQ(refused.rfind("Не удалось соединиться с сервером (", 0), 0u) << refused;
}

TEST_F(HttpClientTest, GoesThroughTheProxyWithItsCredentials) {
  std::string target, auth;
  site.server.Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
    target = req.target;
    auth = req.get_header_value("Proxy-Authorization");
    Send(res, "via proxy");
  });
  site.Start();
  HttpClient client;
  client.SetProxy({"127.0.0.1", site.Port(), "user", "secret"});
  const std::string url = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/page?x=1";
  EXPECT_EQ(client.Get(url).body, "via proxy");
  EXPECT_EQ(target, url);  // a proxy gets the absolute address
  EXPECT_EQ(auth, "Basic dXNlcjpzZWNyZXQ=");

  client.SetProxy({});
  EXPECT_NE(ErrorText([&] { client.Get(url); }), "<no error>");  // direct again: nobody listens there
}

TEST(HttpDecode, RejectsBrokenAndUnknownEncodings) {
  const std::string text(5000, 'x');
  std::string gz = Gzip(text);
  EXPECT_EQ(ErrorText([&] { DecodeContent(gz.substr(0, gz.size() / 2), "gzip"); }),
            "Не удалось распаковать ответ сервера");
  EXPECT_EQ(ErrorText([&] { DecodeContent("not deflated at all", "deflate"); }),
            "Не удалось распаковать ответ сервера");
  EXPECT_EQ(ErrorText([&] { DecodeContent(text, "br"); }), "Неизвестное сжатие ответа сервера: br");
  EXPECT_EQ(DecodeContent(text, ""), text);
  // Concatenated gzip members are one body; codings come off in reverse order.
  EXPECT_EQ(InflateGzip(Gzip("ab") + Gzip("cd")), "abcd");
  EXPECT_EQ(DecodeContent(Gzip(ZlibDeflate("layers")), "deflate, gzip"), "layers");
}

// --- cutting the page ---

TEST(DownloadExtract, FindsMarkersIgnoringCaseAndTrims) {
  EXPECT_EQ(ExtractBetween("a <DIV>  text </div> b", "<div>", "</DIV>", MissingEnd::Raise), "text");
  EXPECT_EQ(ExtractBetween("no start here", "<div>", "</div>", MissingEnd::Raise), "");
  EXPECT_EQ(ExtractBetween("x [rest of it ", "[", "", MissingEnd::Raise), "rest of it");
  EXPECT_EQ(ExtractBetween("<b> \"say \"\"hi\"\"\" </b>", "<b>", "</b>", MissingEnd::Raise), "say \"hi\"");
  EXPECT_EQ(ExtractBetween("<b>\"half</b>", "<b>", "</b>", MissingEnd::Raise), "\"half");
}

TEST(DownloadExtract, MissingEndMarkerFollowsTheMode) {
  const std::string text = "head <s> tail";
  EXPECT_EQ(ErrorText([&] { ExtractBetween(text, "<s>", "</s>", MissingEnd::Raise); }),
            "Не удалось найти пару идентификаторов \"<s>\" - \"</s>\" в тексте\r\r[head <s> tail]!");
  EXPECT_EQ(ExtractBetween(text, "<s>", "</s>", MissingEnd::Empty), "");
  EXPECT_EQ(ExtractBetween(text, "<s>", "</s>", MissingEnd::Rest), "tail");
}

TEST(DownloadExtract, ConsumeWalksThroughTheText) {
  std::string buffer = "<tr>one</tr><TR>two</Tr><tr>three";
  EXPECT_EQ(ConsumeBetween(buffer, "<tr>", "</tr>", MissingEnd::Empty), "one");
  EXPECT_EQ(buffer, "<TR>two</Tr><tr>three");
  EXPECT_EQ(ConsumeBetween(buffer, "<tr>", "</tr>", MissingEnd::Empty), "two");
  EXPECT_EQ(ConsumeBetween(buffer, "<tr>", "</tr>", MissingEnd::Empty), "");
  EXPECT_EQ(buffer, "<tr>three");  // nothing taken, nothing lost
  EXPECT_EQ(ConsumeBetween(buffer, "<tr>", "</tr>", MissingEnd::Rest), "three");
  EXPECT_EQ(buffer, "");
}

TEST(DownloadPage, ReadsRowsSkippingDashShortAndKnownOnes) {
  DrawArchive archive;
  const char* dates[] = {"05/01/2024", "05/04/2024", "05/08/2024", "05/11/2024", "05/15/2024"};
  for (int i = 0; i < 5; ++i) archive.Append(Draw(i + 1, {1, 2, 3, 4, 5}, dates[i]));
  std::string page = Cp1251ToUtf8(Page({
      {"05/01/2024", "6-7-8-9-10"},   // the fifth newest: outside the four looked at, so taken
      {"05/04/2024", "6-7-8-9-10"},   // among the four newest: skipped
      {"05/18/2024", "4-11-19-25-33"},
      {"05/22/2024", "-"},            // not held yet
      {"05/25/2024", "1-2-3-4"},      // four numbers
      {"05/29/2024 (ср)", " 36 - x -1-2-3"},
  }));
  auto draws = NewDrawsOfPage(archive, page);
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_EQ(draws[0], Draw(6, {6, 7, 8, 9, 10}, "05/01/2024"));
  EXPECT_EQ(draws[1], Draw(7, {4, 11, 19, 25, 33}, "05/18/2024"));
  EXPECT_EQ(draws[2], Draw(8, {36, 0, 1, 2, 3}, "05/29/2024"));  // first 10 characters; a non-number is 0
}

TEST(DownloadPage, NoSectionOrEmptyTableGivesNothingButACutRowThrows) {
  DrawArchive archive;
  EXPECT_TRUE(NewDrawsOfPage(archive, "<html>maintenance</html>").empty());
  EXPECT_TRUE(NewDrawsOfPage(archive, Cp1251ToUtf8(Page({}))).empty());
  std::string cut = "<section class=\"winningNumbersResults\"></thead><tbody><tr><div>05/01/2024</div>"
                    "</tbody></table><footer id=\"footerMain\">";
  EXPECT_EQ(ErrorText([&] { NewDrawsOfPage(archive, cut); }).rfind("Не удалось найти пару идентификаторов \"<tr\"", 0),
            0u);
}

TEST(DownloadUrl, SendsDatesMonthFirstWithEncodedSlashes) {
  EXPECT_EQ(RangeUrl("http://site.example/", 19950101, 19950410),
            "http://site.example/site/winningNumberSearch?searchTypeIn=range&gameNameIn=VANTORA5&singleDateIn="
            "&fromDateIn=01%2F01%2F1995&toDateIn=04%2F10%2F1995&n1In=&n2In=&n3In=&n4In=&n5In=&submitForm=Submit");
  EXPECT_NE(RangeUrl("x", 20241203, 20241231).find("fromDateIn=12%2F03%2F2024&toDateIn=12%2F31%2F2024"),
            std::string::npos);
}

TEST(DownloadSettings, ResultsSiteComesFromTheConfigurationWithADefault) {
  TempDir dir;
  FaultEnv env;
  const std::string path = ConfigPath(dir.Path());
  EXPECT_EQ(LoadResultsSite(env, path), kDefaultResultsSite);
  IniFile ini;
  ini.WriteString("GLOBAL", "ResultsSite", "http://mirror.example:8080");
  ini.Save(env, path);
  EXPECT_EQ(LoadResultsSite(env, path), "http://mirror.example:8080");
}

TEST(DownloadProxyList, ReadsCandidatesSkippingJunk) {
  TempDir dir;
  FaultEnv env;
  FileProxyProvider provider(env, dir.Path());
  EXPECT_TRUE(provider.Find(true, true, 30).empty());  // no file
  test::WriteBytes(ProxyListPath(dir.Path()),
                   "# mine\r\n10.0.0.1:3128\r\n\r\nbroken\r\n:80\r\nhost:0\r\nhost:99999\r\n  proxy.example:8080  \n"
                   "10.0.0.2:1\n");
  EXPECT_EQ(provider.Find(true, true, 30), (std::vector<std::string>{"10.0.0.1:3128", "proxy.example:8080", "10.0.0.2:1"}));
  EXPECT_EQ(provider.Find(true, false, 2), (std::vector<std::string>{"10.0.0.1:3128", "proxy.example:8080"}));
}

// --- one window ---

TEST_F(DownloadFixture, RangeAppendsTheNewDrawsOfAGzipPage) {
  AddDraw(20240601);
  respond = [](int) {
    return Page({{"06/01/2024", "1-2-3-4-5"}, {"06/05/2024", "4-11-19-25-33"}, {"06/08/2024", "-"}});
  };
  site.server.Get("/gz/site/winningNumberSearch", [this](const httplib::Request&, httplib::Response& res) {
    Send(res, Gzip(respond(0)), "gzip");
  });
  SetSite(site.Url() + "/gz");
  EXPECT_EQ(DownloadRange(archive, ConfigFile(), proxy, host, env, dir.Path(), 20240602, 20240615), 1);
  ASSERT_EQ(archive.Count(), 2);
  EXPECT_EQ(archive.At(1), Draw(2, {4, 11, 19, 25, 33}, "06/05/2024"));
  EXPECT_EQ(host.statuses, (std::vector<std::string>{"Загрузка тиражей 06/02/2024 - 06/15/2024...",
                                                     "Сохранение файла тиражей..."}));
  EXPECT_FALSE(std::filesystem::exists(ArchiveFile()));  // the caller writes the file
}

TEST_F(DownloadFixture, RangeReadsBothDeflateForms) {
  AddDraw(20240601);
  const std::string page = Page({{"06/05/2024", "4-11-19-25-33"}, {"06/08/2024", "1-12-13-14-15"}});
  site.server.Get("/zlib/site/winningNumberSearch",
                  [&](const httplib::Request&, httplib::Response& res) { Send(res, ZlibDeflate(page), "deflate"); });
  site.server.Get("/raw/site/winningNumberSearch",
                  [&](const httplib::Request&, httplib::Response& res) { Send(res, RawDeflate(page), "deflate"); });
  for (const char* prefix : {"/zlib", "/raw"}) {
    DrawArchive fresh;
    fresh.Append(archive.At(0));
    SetSite(site.Url() + prefix);
    EXPECT_EQ(DownloadRange(fresh, ConfigFile(), proxy, host, env, dir.Path(), 20240602, 20240615), 2) << prefix;
    ASSERT_EQ(fresh.Count(), 3) << prefix;
    EXPECT_EQ(fresh.At(2), Draw(3, {1, 12, 13, 14, 15}, "06/08/2024")) << prefix;
  }
}

// --- the loop ---

TEST_F(DownloadFixture, HundredFiftyDaysTakeTwoWindowsWithASaveAfterEach) {
  const int32_t newest = AddDaysToKey(kToday, -150);
  AddDraw(newest);
  archive.Save(env, ArchiveFile());
  const int32_t from1 = AddDaysToKey(newest, 1), to1 = AddDaysToKey(from1, 99);
  const int32_t from2 = AddDaysToKey(to1, 1);
  respond = [&](int call) {
    if (call == 0) return Page({{KeyText(AddDaysToKey(from1, 3)), "1-2-3-4-6"}, {KeyText(to1), "7-8-9-10-11"}});
    return Page({{KeyText(AddDaysToKey(from2, 2)), "12-13-14-15-16"}, {KeyText(kToday), "-"}});
  };
  int checks = 0;
  int32_t n = DownloadDraws(archive, ConfigFile(), proxy, host, env, dir.Path(), [&] { return ++checks; });
  EXPECT_EQ(n, 3);
  EXPECT_EQ(checks, 1);
  // The wait window opens with the command's text and closes at the end.
  ASSERT_FALSE(host.waits.empty());
  EXPECT_EQ(host.waits.front(), "Загрузка архива тиражей...");
  EXPECT_EQ(host.waits.back(), "");
  ASSERT_EQ(queries.size(), 2u);
  EXPECT_EQ(queries[0], std::make_pair(KeyText(from1), KeyText(to1)));
  EXPECT_EQ(queries[1], std::make_pair(KeyText(from2), KeyText(kToday)));
  EXPECT_EQ(archiveBytesAtRequest, (std::vector<long>{20, 60}));  // the first window was saved before the second
  DrawArchive onDisk;
  onDisk.Load(env, ArchiveFile());
  EXPECT_EQ(onDisk.Records(), archive.Records());
  ASSERT_EQ(onDisk.Count(), 4);
  EXPECT_EQ(onDisk.At(3), Draw(4, {12, 13, 14, 15, 16}, KeyText(AddDaysToKey(from2, 2))));
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(host.CurrentStatus(), "");
  EXPECT_EQ(host.statuses.front(), "Загрузка архива тиражей...");
  // No proxy setting was stored, so the settings were written once the first window was through.
  EXPECT_TRUE(proxy.saved);
}

TEST_F(DownloadFixture, NewestDrawDatedTodayMakesNoRequest) {
  AddDraw(kToday);
  int checks = 0;
  EXPECT_EQ(DownloadDraws(archive, ConfigFile(), proxy, host, env, dir.Path(), [&] { return ++checks; }), 0);
  EXPECT_EQ(Requests(), 0u);
  EXPECT_EQ(checks, 1);  // the stakes are checked in any case
  EXPECT_FALSE(std::filesystem::exists(ArchiveFile()));
}

TEST_F(DownloadFixture, EmptyArchiveAsksForTheFirstHundredDaysAndStopsWhenTheyAreEmpty) {
  EXPECT_EQ(DownloadDraws(archive, ConfigFile(), proxy, host, env, dir.Path()), 0);
  ASSERT_EQ(queries.size(), 1u);
  EXPECT_EQ(queries[0], std::make_pair(std::string("01/01/1995"), std::string("04/10/1995")));
  EXPECT_TRUE(host.questions.empty());
  EXPECT_FALSE(std::filesystem::exists(ArchiveFile()));
}

TEST_F(DownloadFixture, StartMarkerWithoutEndAsksAndYesRetriesTheWindow) {
  AddDraw(AddDaysToKey(kToday, -10));
  respond = [](int call) {
    if (call == 0) return Utf8ToCp1251("<section class=\"winningNumbersResults\">Архив недоступен");
    return Page({{KeyText(AddDaysToKey(kToday, -3)), "1-2-3-4-5"}});
  };
  host.answers = {true};
  EXPECT_EQ(DownloadDraws(archive, ConfigFile(), proxy, host, env, dir.Path()), 1);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0],
            "Ошибка загрузки архива тиражей с сайта: \"Не удалось найти пару идентификаторов "
            "\"<section class=\"winningNumbersResults\">\" - \"<footer id=\"footerMain\">\" в тексте\r\r"
            "[<section class=\"winningNumbersResults\">Архив недоступен]!\"\r\rПовторить попытку?");
  ASSERT_EQ(queries.size(), 2u);
  EXPECT_EQ(queries[1], queries[0]);  // the failed window again
}

TEST_F(DownloadFixture, DecliningTheRetryEndsTheRunWithoutSaving) {
  AddDraw(AddDaysToKey(kToday, -10));
  respond = [](int) { return std::string("<SECTION class=\"winningNumbersResults\"><p>"); };
  EXPECT_EQ(DownloadDraws(archive, ConfigFile(), proxy, host, env, dir.Path()), 0);
  EXPECT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(Requests(), 1u);
  EXPECT_FALSE(std::filesystem::exists(ArchiveFile()));
}

TEST_F(DownloadFixture, PageWithoutResultsEndsTheRunSilently) {
  AddDraw(AddDaysToKey(kToday, -10));
  respond = [](int) { return std::string("<html>maintenance</html>"); };
  EXPECT_EQ(DownloadDraws(archive, ConfigFile(), proxy, host, env, dir.Path()), 0);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(DownloadFixture, RowsThatDoNotMoveTheDateOnDoNotLoopForever) {
  AddDraw(AddDaysToKey(kToday, -200));
  // A server that ignores the range and always sends the same old draws.
  respond = [](int) {
    return Page({{"01/02/2020", "1-2-3-4-5"}, {"01/03/2020", "1-2-3-4-5"}, {"01/04/2020", "1-2-3-4-5"},
                 {"01/05/2020", "1-2-3-4-5"}, {"01/06/2020", "1-2-3-4-5"}});
  };
  EXPECT_EQ(DownloadDraws(archive, ConfigFile(), proxy, host, env, dir.Path()), 5);
  EXPECT_EQ(Requests(), 1u);
}

// --- proxies ---

TEST_F(DownloadFixture, ThreeFailingCandidatesGiveTwoSilentRetriesThenTheQuestion) {
  AddDraw(AddDaysToKey(kToday, -10));
  const int ports[] = {ClosedPort(), ClosedPort(), ClosedPort()};
  test::WriteBytes(ProxyListPath(dir.Path()), "127.0.0.1:" + std::to_string(ports[0]) + "\n127.0.0.1:" +
                                                  std::to_string(ports[1]) + "\n127.0.0.1:" +
                                                  std::to_string(ports[2]) + "\n");
  proxy.mode = 1;
  DrawDownloader downloader(archive, ConfigFile(), proxy, host, env, dir.Path());
  std::vector<std::string> waits;
  downloader.SetWaitTextSink([&](const std::string& t) { waits.push_back(t); });
  EXPECT_EQ(downloader.DownloadDraws(), 0);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0].rfind("Ошибка загрузки архива тиражей с сайта: \"Не удалось соединиться с сервером", 0),
            0u);
  EXPECT_EQ(Requests(), 0u);  // never went around the proxy
  EXPECT_EQ(waits, (std::vector<std::string>{
                       "Загрузка архива тиражей...\r\rПоиск proxy-серверов",
                       "Загрузка архива тиражей...\r\rПопытка 1, proxy 127.0.0.1 : " + std::to_string(ports[0]),
                       "Загрузка архива тиражей...\r\rПопытка 2, proxy 127.0.0.1 : " + std::to_string(ports[1]),
                       "Загрузка архива тиражей...\r\rПопытка 3, proxy 127.0.0.1 : " + std::to_string(ports[2]),
                   }));
  EXPECT_TRUE(downloader.Candidates().empty());
  EXPECT_EQ(proxy.server, "");
  EXPECT_FALSE(proxy.saved);
}

TEST_F(DownloadFixture, YesAfterTheLastCandidateSearchesAgain) {
  AddDraw(AddDaysToKey(kToday, -10));
  test::WriteBytes(ProxyListPath(dir.Path()), "127.0.0.1:" + std::to_string(ClosedPort()) + "\n");
  proxy.mode = 1;
  host.answers = {true};
  DrawDownloader downloader(archive, ConfigFile(), proxy, host, env, dir.Path());
  EXPECT_EQ(downloader.DownloadDraws(), 0);
  EXPECT_EQ(host.questions.size(), 2u);
  EXPECT_EQ(downloader.Attempt(), 3);
}

TEST_F(DownloadFixture, AutomaticProxyThatWorksIsStoredInTheConfiguration) {
  AddDraw(AddDaysToKey(kToday, -10));
  Loopback relay;  // stands in for a proxy: answers every address with a page
  relay.server.Get(".*", [](const httplib::Request&, httplib::Response& res) {
    Send(res, Page({{KeyText(AddDaysToKey(kToday, -3)), "9-8-7-6-5"}}));
  });
  relay.Start();
  SetSite("http://127.0.0.1:" + std::to_string(ClosedPort()));
  test::WriteBytes(ProxyListPath(dir.Path()), "127.0.0.1:" + std::to_string(relay.Port()) + "\n");
  proxy.mode = 1;
  EXPECT_EQ(DownloadDraws(archive, ConfigFile(), proxy, host, env, dir.Path()), 1);
  EXPECT_TRUE(host.questions.empty());
  ProxySettings stored;
  LoadProxySettings(env, ConfigFile(), stored);
  EXPECT_EQ(stored.mode, 1);
  EXPECT_EQ(stored.server, "127.0.0.1");
  EXPECT_EQ(stored.port, relay.Port());
}

TEST_F(DownloadFixture, NoCandidatesIsReportedAndNoRequestIsMade) {
  AddDraw(AddDaysToKey(kToday, -10));
  proxy.mode = 1;
  EXPECT_EQ(DownloadDraws(archive, ConfigFile(), proxy, host, env, dir.Path()), 0);
  EXPECT_EQ(host.errors, (std::vector<std::string>{"Ошибка получения списка proxy-серверов!\r\r"
                                                   "Не найдено ни одного proxy-сервера с заданными параметрами"}));
  EXPECT_EQ(Requests(), 0u);
  EXPECT_TRUE(host.questions.empty());
}

TEST_F(DownloadFixture, ManualProxyIsUsedWithItsCredentials) {
  AddDraw(AddDaysToKey(kToday, -10));
  std::string auth;
  Loopback relay;
  relay.server.Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
    auth = req.get_header_value("Proxy-Authorization");
    Send(res, Page({{KeyText(AddDaysToKey(kToday, -3)), "9-8-7-6-5"}}));
  });
  relay.Start();
  proxy = {2, "127.0.0.1", relay.Port(), "user", "secret", true};
  DrawDownloader downloader(archive, ConfigFile(), proxy, host, env, dir.Path());
  EXPECT_EQ(downloader.DownloadDraws(), 1);
  EXPECT_EQ(auth, "Basic dXNlcjpzZWNyZXQ=");
  EXPECT_EQ(Requests(), 0u);
  EXPECT_EQ(downloader.WaitText(),
            "Загрузка архива тиражей...\r\rПопытка 1, proxy 127.0.0.1 : " + std::to_string(relay.Port()));
}

}  // namespace
}  // namespace px
