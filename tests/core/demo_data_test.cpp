#include <gtest/gtest.h>

#include <cstdio>

#include "core/archive.h"
#include "core/csv.h"
#include "core/dates.h"
#include "stakes/system_check.h"
#include "stakes/systems.h"
#include "support/temp_dir.h"

namespace px {
namespace {

std::string Demo() { return test::ReadBytes(std::string(PENTALUX_SOURCE_DIR) + "/demo/demo_draws_vantora5.csv"); }

TEST(DemoData, IsWhatTheGeneratorMakes) {
  FILE* p = ::popen(PENTALUX_DEMO_GEN, "r");
  ASSERT_NE(p, nullptr);
  std::string generated;
  char buf[65536];
  while (size_t n = fread(buf, 1, sizeof buf, p)) generated.append(buf, n);
  EXPECT_EQ(::pclose(p), 0);
  EXPECT_EQ(generated, Demo());
}

TEST(DemoData, TwoThousandDrawsTwiceAWeek) {
  DrawArchive a;
  ImportResult r = ImportDrawsText(a, Demo());
  EXPECT_EQ(r.added, 2000);
  EXPECT_EQ(r.skipped, 0);
  EXPECT_EQ(a.At(0).DateString(), "01/04/1995");
  int32_t key = 19950104;
  for (int i = 0; i < a.Count(); ++i) {
    const DrawRecord& d = a.At(i);
    ASSERT_EQ(d.number, i + 1);
    ASSERT_TRUE(IsValidDrawNumbers(d.numbers)) << CombinationText(d.numbers);
    ASSERT_EQ(DateKeyOf(*ParseDate(d.DateString())), key) << i;
    key = AddDaysToKey(key, i % 2 == 0 ? 3 : 4);
  }
}

TEST(DemoData, TheSampleSystemIsATenNumberSystemInTheStoresFormat) {
  const std::string text = test::ReadBytes(std::string(PENTALUX_SOURCE_DIR) + "/demo/demo_system_10.txt");
  const std::vector<SystemLine> lines = ParseSystemText(text, 10, "demo_system_10");
  EXPECT_EQ(lines.size(), 8u);
  EXPECT_EQ(SystemText(lines), text);
  // Four of the ten drawn: three of them in one line.
  EXPECT_EQ(GuaranteeSummary(CheckSystem(lines, 10)), "2:1 3:2 4:3 5:3");
}

}  // namespace
}  // namespace px
