#include <gtest/gtest.h>

#include "core/archive.h"
#include "core/arith.h"
#include "core/env.h"
#include "support/cli_result.h"
#include "support/draws.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using Result = test::CliResult;
using Row = std::vector<std::string>;

class CliCardWeekTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DrawArchive a;
    a.Append(test::Draw(501, {4, 9, 20, 28, 31}, "01/06/2025"));   // Monday
    a.Append(test::Draw(502, {3, 4, 20, 27, 35}, "01/08/2025"));   // Wednesday
    a.Append(test::Draw(503, {1, 36, 2, 18, 11}, ""));             // no date
    a.Save(Env::Real(), ArchivePath(dir.Path()));
  }
  Result Run(std::vector<std::string> args) { return test::RunCliIn(dir.Path(), std::move(args)); }
  static Row Header(const char* first) {
    Row header{first};
    for (int x = 1; x <= 36; ++x) header.push_back(std::to_string(x));
    return header;
  }
  // A row with these cells set and the others empty.
  static Row Cells(const std::string& first, std::initializer_list<std::pair<int, std::string>> cells) {
    Row row(37);
    row[0] = first;
    for (const auto& [x, text] : cells) row[size_t(x)] = text;
    return row;
  }
  test::TempDir dir;
};

TEST_F(CliCardWeekTest, TheCardListsEveryDrawNewestFirstAndItsColoursOnRequest) {
  Result r = Run({"card"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto rows = r.Rows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], Header("Тираж"));
  EXPECT_EQ(rows[1], Cells("503", {{1, "1"}, {2, "2"}, {11, "11"}, {18, "18"}, {36, "36"}}));
  EXPECT_EQ(rows[2], Cells("502", {{3, "3"}, {4, "4"}, {20, "20"}, {27, "27"}, {35, "35"}}));
  EXPECT_EQ(rows[3], Cells("501", {{4, "4"}, {9, "9"}, {20, "20"}, {28, "28"}, {31, "31"}}));

  // Both switches on by default, channels of 6: 4 repeats and runs with 3,
  // 3 runs, 20 repeats (with 501 below; 503 above holds no 20).
  r = Run({"card", "--colours"});
  ASSERT_EQ(r.code, 0) << r.err;
  rows = r.Rows();
  auto hex = [](uint32_t c) { return Fmt("%06X", c); };
  EXPECT_EQ(rows[2], Cells("502", {{3, "3:00FFFF"}, {4, "4:FFFF00"}, {20, "20:00FF00"},
                                   {27, "27:" + hex(kChannelPalette[4])}, {35, "35:" + hex(kChannelPalette[5])}}));
  EXPECT_EQ(rows[3][4], "4:00FF00");  // the oldest row has nothing below it
  EXPECT_EQ(rows[3][5], "");          // empty cells stay empty

  // The window's switches and the configuration's channel width.
  Env::Real().WriteFile(dir.File("Pentalux5_5v36.frm"), "[TFormMain]\r\nColorCardSequences=0\r\n");
  Env::Real().WriteFile(dir.File("Pentalux5_5v36.ini"), "[GLOBAL]\r\nChannelSize=2\r\n");
  rows = Run({"card", "--colours"}).Rows();
  EXPECT_EQ(rows[2][4], "4:" + hex(kChannelPalette[1]));
  EXPECT_EQ(rows[2][35], "35:" + hex(kChannelPalette[17]));
  Env::Real().WriteFile(dir.File("Pentalux5_5v36.frm"), "[TFormMain]\r\nColorCard=0\r\n");
  rows = Run({"card", "--colours"}).Rows();
  EXPECT_EQ(rows[2][27], "27");
  EXPECT_EQ(rows[2][4], "4:FFFF00");
}

TEST_F(CliCardWeekTest, AnEmptyArchiveGivesTheHeaderAlone) {
  test::TempDir empty;
  Result r = test::RunCliIn(empty.Path(), {"card", "--colours"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.Rows(), (std::vector<Row>{Header("Тираж")}));
  r = test::RunCliIn(empty.Path(), {"week"});
  ASSERT_EQ(r.code, 0) << r.err;
  ASSERT_EQ(r.Rows().size(), 8u);
  for (size_t d = 1; d < 8; ++d) EXPECT_EQ(r.Rows()[d].size(), 37u);
}

TEST_F(CliCardWeekTest, TheWeekCountsEachDayOfTheWindow) {
  Result r = Run({"week"});
  ASSERT_EQ(r.code, 0) << r.err;
  auto rows = r.Rows();
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[0], Header("День"));
  EXPECT_EQ(rows[1], Cells("пн", {{4, "1"}, {9, "1"}, {20, "1"}, {28, "1"}, {31, "1"}}));
  EXPECT_EQ(rows[2], Cells("вт", {}));
  EXPECT_EQ(rows[3], Cells("ср", {{3, "1"}, {4, "1"}, {20, "1"}, {27, "1"}, {35, "1"}}));
  const char* rest[] = {"чт", "пт", "сб", "вс"};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(rows[4 + i], Cells(rest[i], {}));

  // One long from the newest: only the undated draw, nothing counted; two
  // back, one long: the Monday alone.
  rows = Run({"week", "--len", "1"}).Rows();
  for (size_t d = 1; d < 8; ++d) EXPECT_EQ(rows[d], Cells(rows[d][0], {}));
  rows = Run({"week", "--offset", "2", "--len", "1"}).Rows();
  EXPECT_EQ(rows[1][9], "1");
  EXPECT_EQ(rows[3][3], "");

  // Bad usage and a bad offset.
  EXPECT_EQ(Run({"week", "--len", "0"}).code, 2);
  r = Run({"week", "--offset", "3"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Некорректное смещение: 3! Допустимые значения: от 0 до 2.\n");
  EXPECT_EQ(Run({"card", "--bogus"}).code, 2);
}

TEST_F(CliCardWeekTest, ADamagedArchiveFailsBothCommands) {
  // A trailing partial record is a read error, and a command does not run on damaged data.
  std::string bytes = test::ReadBytes(ArchivePath(dir.Path()));
  test::WriteBytes(ArchivePath(dir.Path()), bytes + "xyz");
  for (const char* command : {"card", "week"}) {
    Result r = Run({command});
    EXPECT_EQ(r.code, 1) << command;
    EXPECT_NE(r.err.find("Ошибка чтения файла тиражей!"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace px
