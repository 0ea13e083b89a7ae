#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "core/archive.h"
#include "core/env.h"
#include "stakes/ratings.h"
#include "support/draws.h"
#include "support/temp_dir.h"

namespace px {
namespace {

// A stake checked by the tool reaches the rating file, whose entry the
// ratings command then shows.
TEST(CliCheckedStakes, ReachTheRatings) {
  test::TempDir dir;
  DrawArchive a;
  a.Append(test::Draw(1, {1, 2, 3, 4, 5}, "01/04/1995"));
  a.Save(Env::Real(), ArchivePath(dir.Path()));
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", dir.Path()});
    std::ostringstream out, err;
    EXPECT_EQ(cli::Run(args, out, err), 0) << err.str();
    return out.str();
  };
  run({"stakes", "add", "1;2;3;30;31", "--draw", "1", "--comment", "Проба"});
  run({"stakes", "add", "1;2;30;31;32", "--draw", "1", "--comment", "проба"});
  const std::string bytes = test::ReadBytes(RatingsPath(dir.Path()));
  ASSERT_EQ(bytes.size(), kRatingEntrySize);  // both comments are one entry
  std::vector<RatingEntry> entries;
  DecodeRatingEntries(bytes, entries);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].stakes, 2);
  EXPECT_EQ(entries[0].histogram[3], 1);
  EXPECT_EQ(entries[0].histogram[2], 1);
  EXPECT_NE(run({"ratings"}).find("Проба"), std::string::npos);
}

}  // namespace
}  // namespace px
