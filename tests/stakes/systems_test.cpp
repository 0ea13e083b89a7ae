#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "stakes/systems.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px {
namespace {

int64_t ModifiedSeconds(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return int64_t(st.st_mtime);
}

std::string ErrorOf(std::string_view text, int k) {
  try {
    ParseSystemText(text, k, "s.dat");
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(SystemFilesTest, NamesPatternsAndTheirParts) {
  tSystemInfo info;
  info.id = 17;
  info.numberCount = 10;
  info.blockLength = 3;
  EXPECT_EQ(SystemFileName(info), "5-10-3_0017.dat");
  EXPECT_EQ(SystemFilePath("/data", info), "/data/Systems/5-10-3_0017.dat");
  info.numberCount = 6;
  info.id = 123456;
  info.blockLength = 0;
  EXPECT_EQ(SystemFileName(info), "5-06-0_123456.dat");

  EXPECT_TRUE(MatchesSystemPattern("5-10-3_0017.dat", 10));
  EXPECT_TRUE(MatchesSystemPattern("5-10-_.dat", 10));            // each "*" may be empty
  EXPECT_TRUE(MatchesSystemPattern("5-10-a-b_c_d.dat", 10));      // or hold anything
  EXPECT_FALSE(MatchesSystemPattern("5-10-3_0017.dat", 1));
  EXPECT_FALSE(MatchesSystemPattern("5-10-30017.dat", 10));       // no "_"
  EXPECT_FALSE(MatchesSystemPattern("5-10-3_0017.dat.bak", 10));
  EXPECT_FALSE(MatchesSystemPattern("5-10-.dat_", 10));
  EXPECT_FALSE(MatchesSystemPattern("x5-10-3_0017.dat", 10));
  EXPECT_TRUE(MatchesSystemPattern("5-06-1_0001.dat", 6));
  EXPECT_FALSE(MatchesSystemPattern("5-6-1_0001.dat", 6));

  auto facts = ParseSystemFileName("5-10-3_0017.dat");
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->numbers, 10);
  EXPECT_EQ(facts->block, 3);
  EXPECT_EQ(facts->id, 17);
  facts = ParseSystemFileName("5-12-x_y.dat");
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->numbers, 12);
  EXPECT_FALSE(facts->block);
  EXPECT_FALSE(facts->id);
  EXPECT_FALSE(ParseSystemFileName("5-00-0_0001.dat"));
  EXPECT_FALSE(ParseSystemFileName("5-1x-0_0001.dat"));
  EXPECT_FALSE(ParseSystemFileName("readme.txt"));
  EXPECT_EQ(SystemFileStem("/data/Systems/5-10-3_0017.dat"), "5-10-3_0017");
}

TEST(SystemFilesTest, LinesSplitAtEveryLineEnd) {
  EXPECT_EQ(SplitSystemLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitSystemLines("a\r\n"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitSystemLines("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitSystemLines("a\r\r\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(SplitSystemLines("").empty());
}

TEST(SystemFilesTest, TextReadsEveryLineOrFailsNamingIt) {
  // Every separator, runs of them, "01" as 1, words after the fifth ignored.
  const auto lines = ParseSystemText(" 01*2+3,4-5\r\n6.7/8:9;10=\r\n1\\2_3|4~5 99 x\n05 04 03 02 01", 10, "s.dat");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], (SystemLine{1, 2, 3, 4, 5}));
  EXPECT_EQ(lines[1], (SystemLine{6, 7, 8, 9, 10}));
  EXPECT_EQ(lines[2], (SystemLine{1, 2, 3, 4, 5}));
  EXPECT_EQ(lines[3], (SystemLine{5, 4, 3, 2, 1}));  // positions keep their order

  EXPECT_EQ(ErrorOf("", 10), "Файл системы \"s.dat\" не содержит ни одной комбинации!");
  EXPECT_EQ(ErrorOf("01 02 03 04 05\r\n\r\n06 07 08 09 10", 10), "Строка 2 файла системы \"s.dat\" пуста!");
  EXPECT_EQ(ErrorOf("--- ,,,", 10), "Строка 1 файла системы \"s.dat\" пуста!");
  EXPECT_EQ(ErrorOf("01 02 03 04", 10), "В строке 1 файла системы \"s.dat\" меньше пяти чисел!");
  EXPECT_EQ(ErrorOf("01 02 03 04 x5", 10), "Строка 1 файла системы \"s.dat\": \"x5\" не является целым числом!");
  EXPECT_EQ(ErrorOf("01 02 03\t04 05 06", 10),
            "Строка 1 файла системы \"s.dat\": \"03\t04\" не является целым числом!");
  // Outside 1..k never reaches the numbers.
  EXPECT_EQ(ErrorOf("00 02 03 04 05", 10), "Строка 1 файла системы \"s.dat\": позиция 0 вне диапазона от 1 до 10!");
  EXPECT_EQ(ErrorOf("01 02 03 04 05\n01 02 03 04 11", 10),
            "Строка 2 файла системы \"s.dat\": позиция 11 вне диапазона от 1 до 10!");
  EXPECT_EQ(ErrorOf("01 02 03 04 99999999999", 10),
            "Строка 1 файла системы \"s.dat\": \"99999999999\" не является целым числом!");
  EXPECT_EQ(ErrorOf("01 02 03 02 05", 10), "Строка 1 файла системы \"s.dat\": позиция 2 повторяется!");
  EXPECT_EQ(ErrorOf("01 02 03 04 05", 37), "Некорректное количество чисел системы: 37!");
  EXPECT_EQ(ErrorOf("01 02 03 04 05", 0), "Некорректное количество чисел системы: 0!");

  EXPECT_EQ(SystemText({{1, 2, 3, 4, 5}, {10, 9, 36, 7, 6}}), "01 02 03 04 05\r\n10 09 36 07 06\r\n");
  EXPECT_EQ(ParseSystemText(SystemText(lines), 10, "s.dat"), lines);
}

class SystemStoreTest : public ::testing::Test {
 protected:
  void Put(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories(dir.File("Systems"));
    test::WriteBytes(dir.File("Systems/" + name), bytes);
  }
  test::TempDir dir;
  test::RecordingHost host;
  SystemStore store{Env::Real(), host, dir.Path()};
};

TEST_F(SystemStoreTest, LoadMapsPositionsOntoTheNumbersInTheCallersOrder) {
  Put("5-10-3_0017.dat", "01 02 03 04 05\r\n10 09 08 07 06\r\n02 04 06 08 10\r\n");
  Put("5-09-0_0001.dat", "09 09 09 09 09\r\n");  // another k is never read
  const std::vector<int> numbers = {7, 3, 22, 15, 16, 28, 29, 30, 31, 32};
  const SystemLoad load = store.LoadSystemFor(numbers);
  ASSERT_TRUE(load.ok) << (host.errors.empty() ? "" : host.errors[0]);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(load.text, dir.File("Systems/5-10-3_0017.dat"));
  ASSERT_EQ(load.combinations.size(), 3u);
  EXPECT_EQ(load.combinations[0], (Combination{7, 3, 22, 15, 16}));  // unsorted, as written
  EXPECT_EQ(load.combinations[1], (Combination{32, 31, 30, 29, 28}));
  EXPECT_EQ(load.combinations[2], (Combination{3, 15, 28, 30, 32}));

  // No file for k: the box, and the short text as the failure.
  const SystemLoad none = store.LoadSystemFor({1, 2, 3, 4, 5, 6, 7, 8});
  EXPECT_FALSE(none.ok);
  EXPECT_TRUE(none.combinations.empty());
  EXPECT_EQ(none.text, "Система для 8 чисел не найдена или не загружена на компьютер!");
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0],
            "Система для 8 чисел не найдена или не загружена на компьютер!\r\rПеред системной игрой необходимо "
            "предварительно загрузить системы на Ваш компьютер через меню \"Системы\" - \"Загрузить\".");

  // The five numbers of a single combination look for a five-number system.
  host.Reset();
  EXPECT_FALSE(store.LoadSystemFor({1, 2, 3, 4, 5}).ok);
  EXPECT_EQ(host.errors.at(0).rfind(SystemNotFoundText(5), 0), 0u);
}

TEST_F(SystemStoreTest, TheFirstFileByNameServesAndFoldersAreNoFiles) {
  Put("5-07-2_0005.dat", "01 02 03 04 05\r\n");
  Put("5-07-1_0009.dat", "03 04 05 06 07\r\n");
  std::filesystem::create_directories(dir.File("Systems/5-07-0_0001.dat"));
  EXPECT_EQ(store.FindFile(7), dir.File("Systems/5-07-1_0009.dat"));
  const SystemLoad load = store.LoadSystemFor({11, 12, 13, 14, 15, 16, 17});
  ASSERT_TRUE(load.ok);
  EXPECT_EQ(load.combinations, (std::vector<Combination>{{13, 14, 15, 16, 17}}));

  const std::vector<LocalSystemFile> files = store.LocalFiles();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].name, "5-07-1_0009.dat");
  EXPECT_TRUE(files[0].serves);
  EXPECT_EQ(files[1].name, "5-07-2_0005.dat");
  EXPECT_FALSE(files[1].serves);
  EXPECT_EQ(files[1].facts.id, 5);

  // Without the folder there is nothing to find.
  SystemStore elsewhere(Env::Real(), host, dir.File("missing"));
  EXPECT_FALSE(elsewhere.FindFile(7));
  EXPECT_TRUE(elsewhere.LocalFiles().empty());
}

TEST_F(SystemStoreTest, AMalformedFileFailsTheLoadWithItsReason) {
  Put("5-06-0_0001.dat", "01 02 03 04 05\r\n01 02 03 04 07\r\n");
  const SystemLoad load = store.LoadSystemFor({1, 2, 3, 4, 5, 6});
  EXPECT_FALSE(load.ok);
  EXPECT_TRUE(load.combinations.empty());
  EXPECT_EQ(load.text, "Строка 2 файла системы \"5-06-0_0001.dat\": позиция 7 вне диапазона от 1 до 6!");
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0], "Ошибка загрузки комбинаций системы!\r\r" + load.text);

  // The file is cp1251: its words are shown as the person wrote them.
  host.Reset();
  Put("5-06-0_0001.dat", Utf8ToCp1251("01 02 03 04 пять\r\n"));
  EXPECT_FALSE(store.LoadSystemFor({1, 2, 3, 4, 5, 6}).ok);
  EXPECT_EQ(host.errors.at(0), "Ошибка загрузки комбинаций системы!\r\rСтрока 1 файла системы \"5-06-0_0001.dat\": "
                               "\"пять\" не является целым числом!");
}

TEST_F(SystemStoreTest, SavedFilesCarryTheirLinesAndTheCreationTime) {
  tSystemData data;
  data.id = 42;
  data.numberCount = 8;
  data.blockLength = 2;
  data.created = 1700000000;
  data.combinations = "01 02 03 04 05\n04 05 06 07 08\r03 04 05 06 07";
  store.SaveLocalFile(data);
  const std::string path = dir.File("Systems/5-08-2_0042.dat");
  EXPECT_EQ(test::ReadBytes(path), "01 02 03 04 05\r\n04 05 06 07 08\r\n03 04 05 06 07\r\n");
  EXPECT_EQ(ModifiedSeconds(path), 1700000000);
  EXPECT_TRUE(test::TempFilesIn(dir.Path()).empty());
  EXPECT_EQ(store.ReadLines(path, 8).size(), 3u);

  // No creation time: the time of the write.
  data.created = 0;
  data.id = 43;
  const auto before = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
  store.SaveLocalFile(data);
  EXPECT_GE(ModifiedSeconds(dir.File("Systems/5-08-2_0043.dat")), before.time_since_epoch().count());

  // Deleting: gone, and a file that is not there is no failure.
  EXPECT_TRUE(store.DeleteLocalFile(data));
  EXPECT_FALSE(std::filesystem::exists(dir.File("Systems/5-08-2_0043.dat")));
  EXPECT_TRUE(store.DeleteLocalFile(data));
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_TRUE(host.errors.empty());
}

}  // namespace
}  // namespace px
