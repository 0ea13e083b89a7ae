#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "core/archive.h"
#include "core/dates.h"
#include "core/env.h"
#include "core/ini.h"
#include "stakes/stake_store.h"
#include "support/draws.h"
#include "support/loopback.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px {
namespace {

TEST(CliDownload, AppendsTheNewDrawsAndChecksTheWaitingStakes) {
  test::TempDir dir;
  test::Loopback site;
  const Date today = DateOf(Env::Real().Now());
  const int32_t todayKey = DateKeyOf(today);
  site.server.Get(".*", [&](const httplib::Request&, httplib::Response& res) {
    test::Send(res, test::Page({{DateText(DateOfKey(AddDaysToKey(todayKey, -3))), "1-2-3-4-5"},
                                {DateText(DateOfKey(AddDaysToKey(todayKey, -1))), "6-7-8-9-10"}}));
  });
  site.Start();

  DrawArchive a;
  a.Append(test::Draw(1, {11, 12, 13, 14, 15}, DateText(DateOfKey(AddDaysToKey(todayKey, -6)))));
  a.Save(Env::Real(), ArchivePath(dir.Path()));
  IniFile ini;
  ini.WriteString("GLOBAL", "ResultsSite", site.Url());
  ini.WriteInt("STAKES", "Profits", 0);
  ini.Save(Env::Real(), dir.File("Pentalux5_5v36.ini"));

  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", dir.Path()});
    std::ostringstream out, err;
    int code = cli::Run(args, out, err);
    return std::make_tuple(code, out.str(), err.str());
  };
  // A stake waits for draw 2.
  auto [c1, o1, e1] = run({"stakes", "add", "1;2;3;6;7", "--draw", "2"});
  ASSERT_EQ(c1, 0) << e1;

  auto [code, out, err] = run({"download", "--yes"});
  ASSERT_EQ(code, 0) << err;
  EXPECT_EQ(out, "Добавлено тиражей: 2\nПроверено ставок: 1\n");
  a.Load(Env::Real(), ArchivePath(dir.Path()));
  ASSERT_EQ(a.Count(), 3);
  EXPECT_EQ(a.At(1).numbers, (Combination{1, 2, 3, 4, 5}));
  auto [c3, list, e3] = run({"stakes", "list"});
  EXPECT_NE(list.find("1;2;3"), std::string::npos) << list;  // the matched numbers of draw 2
}

}  // namespace
}  // namespace px
