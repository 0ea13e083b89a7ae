// A catalogue for one test, reached either way: its file in the data folder,
// or the real server on the loopback over that same file.
#pragma once

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "catalogue/catalogue_list.h"
#include "catalogue/client.h"
#include "catalogue/store.h"
#include "core/env.h"
#include "server/catalogue_server.h"
#include "stakes/systems.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px::test {

enum class Way { Embedded, Http };

inline std::string WayName(const ::testing::TestParamInfo<Way>& info) {
  return info.param == Way::Embedded ? "Embedded" : "Http";
}

// The first `count` lines of all five-position lines over 1..k, as text.
inline std::string Lines(int k, int count, int skip = 0) {
  std::string text;
  int n = 0;
  for (int a = 1; a <= k; ++a)
    for (int b = a + 1; b <= k; ++b)
      for (int c = b + 1; c <= k; ++c)
        for (int d = c + 1; d <= k; ++d)
          for (int e = d + 1; e <= k; ++e) {
            if (n++ < skip) continue;
            if (n > skip + count) return text;
            char line[64];
            std::snprintf(line, sizeof line, "%02d %02d %02d %02d %02d\r\n", a, b, c, d, e);
            text += line;
          }
  return text;
}

// A system of `owner` over k positions: the first `count` lines after `skip`.
inline tSystemData SampleSystem(int k, int count, const std::string& title, const OnlineIdentity& owner,
                                int skip = 0) {
  tSystemData d;
  d.numberCount = uint8_t(k);
  d.title = title;
  d.author = owner.name;
  d.ownerMail = owner.mail;
  d.description = "описание " + title;
  d.combinations = Lines(k, count, skip);
  d.combinationCount = count;
  return d;
}

inline int64_t FileSeconds(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return -1;
  return int64_t(st.st_mtime);
}

class ServedCatalogue {
 public:
  explicit ServedCatalogue(const std::string& dbPath) : server(dbPath, log) {
    port = server.BindAnyPort("127.0.0.1");
    thread_ = std::thread([this] { server.Listen(); });
    while (!server.Running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~ServedCatalogue() {
    server.Stop();
    thread_.join();
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port); }

  std::ostringstream log;
  CatalogueServer server;
  int port = 0;

 private:
  std::thread thread_;
};

class CatalogueFixture : public ::testing::TestWithParam<Way> {
 protected:
  void SetUp() override {
    dbPath = EmbeddedCataloguePath(dir.Path());
    std::filesystem::create_directories(SystemsDirectory(dir.Path()));
    if (GetParam() == Way::Http) {
      served = std::make_unique<ServedCatalogue>(dbPath);
      catalogue = std::make_unique<HttpCatalogue>(served->Url());
    } else {
      catalogue = std::make_unique<EmbeddedCatalogue>(Env::Real(), dbPath);
    }
    store = std::make_unique<SystemStore>(Env::Real(), host, dir.Path());
    list = std::make_unique<CatalogueList>(*catalogue, *store, Env::Real(), host, me);
  }

  // Publishes through the catalogue as `owner`; returns the id.
  int32_t Publish(int k, int count, const std::string& title, const OnlineIdentity& owner, int skip = 0) {
    return catalogue->SaveSystem(SampleSystem(k, count, title, owner, skip));
  }

  const CatalogueRow& Row(int32_t id) const { return list->Rows().at(size_t(list->IndexOf(id))); }
  std::string FileOf(int32_t id) const { return store->FilePath(Row(id).info); }

  TempDir dir;
  RecordingHost host;
  OnlineIdentity me{"Иван", "Ivan@X.ru"};
  OnlineIdentity other{"Пётр", "petr@x.ru"};
  std::string dbPath;
  std::unique_ptr<ServedCatalogue> served;
  std::unique_ptr<SystemCatalogue> catalogue;
  std::unique_ptr<SystemStore> store;
  std::unique_ptr<CatalogueList> list;
};

}  // namespace px::test
