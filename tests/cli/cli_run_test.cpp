#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "core/archive.h"
#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"
#include "frame/messages.h"
#include "stakes/ratings.h"
#include "stakes/stake_store.h"
#include "support/draws.h"
#include "support/recording_host.h"
#include "support/cli_result.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using Result = test::CliResult;

using Row = std::vector<std::string>;

std::vector<Row> Rows(const std::string& text) {
  std::vector<Row> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) rows.push_back(SplitAny(line, "\t", false));
  return rows;
}

constexpr int kDraws = 80;
const Row kStakeTitles = {"Тираж", "Ставка", "Комментарий"};
const char* const kRandLine = "FULL:0#RAND| | | | | | | |Без фильтров";
// Removes the rows of three numbers, so more numbers are left than a stake holds.
const char* const kExtLine = "FULL:0#EXT|TSD1#NUMS:10#LNO:#ST:3| | | | | | |Числа";
const char* const kRandPrefix = "01.000: Без фильтров @ ";
const char* const kExtPrefix = "03.001: Числа @ ";

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The stake lines of a run's output: between the titles and the empty line.
std::vector<Row> StakeRows(const std::string& out) {
  const size_t end = out.find("\n\n");
  EXPECT_NE(end, std::string::npos) << out;
  std::vector<Row> rows = Rows(out.substr(0, end));
  EXPECT_FALSE(rows.empty());
  if (rows.empty()) return rows;
  EXPECT_EQ(rows[0], kStakeTitles);
  rows.erase(rows.begin());
  return rows;
}

// What follows the empty line.
std::string RatingsPart(const std::string& out) {
  const size_t at = out.find("\n\n");
  return at == std::string::npos ? std::string("<no empty line>") : out.substr(at + 2);
}

std::vector<int> Numbers(const std::string& text) {
  std::vector<int> numbers;
  for (const std::string& word : SplitAny(text, ";", false)) numbers.push_back(std::stoi(word));
  return numbers;
}

bool AscendingInRange(const std::vector<int>& numbers) {
  for (size_t i = 0; i < numbers.size(); ++i)
    if (numbers[i] < 1 || numbers[i] > kNumbers || (i > 0 && numbers[i] <= numbers[i - 1])) return false;
  return true;
}

class CliRunTest : public ::testing::Test {
 protected:
  test::TempDir dir;

  void SetUp() override { MakeFolder(dir); }

  // The same folder every time: the archive's draws come from a fixed sequence.
  static void MakeFolder(const test::TempDir& d) {
    DrawArchive a;
    uint32_t x = 2024;
    for (int i = 1; i <= kDraws; ++i) {
      Combination c{};
      for (int k = 0; k < kDrawSize;) {
        x = x * 1103515245u + 12345u;
        const auto n = uint8_t((x >> 16) % kNumbers + 1);
        if (!Contains(n, c)) c[size_t(k++)] = n;
      }
      a.Append(test::Draw(i, c, Fmt("%.2d/%.2d/2020", 1 + (i - 1) % 28, 1 + (i - 1) / 28)));
    }
    a.Save(Env::Real(), ArchivePath(d.Path()));
    test::WriteBytes(d.File("Pentalux5_5v36.ini"),
                     "[STAKES]\nCost=2\nMaxStake=8\nProfits=2\nProfit_0_Overlap=2\nProfit_0_Profit=3\n"
                     "Profit_1_Overlap=3\nProfit_1_Profit=100\n");
    WriteScenario(d, "s.lsc", std::string(kRandLine) + "\r\n\r\n" + kExtLine + "\r\n");
  }
  static std::string WriteScenario(const test::TempDir& d, const std::string& name, const std::string& utf8) {
    const std::string path = d.File(name);
    test::WriteBytes(path, Utf8ToCp1251(utf8));
    return path;
  }
  static Result RunIn(const test::TempDir& d, std::vector<std::string> args) {
    return test::RunCliIn(d.Path(), std::move(args));
  }
  Result Run(std::vector<std::string> args) { return RunIn(dir, std::move(args)); }
  std::string Scenario() const { return dir.File("s.lsc"); }
  DrawArchive Archive() const {
    DrawArchive a;
    a.Load(Env::Real(), ArchivePath(dir.Path()));
    return a;
  }
  std::vector<std::string> LogFiles() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
      const std::string name = e.path().filename().string();
      if (StartsWith(name, "ScriptLog_")) names.push_back(name);
    }
    return names;
  }
  // The stakes file's non-blank rows, as `stakes list` prints them.
  std::vector<Row> StoredStakes() {
    Result r = Run({"stakes", "list"});
    EXPECT_EQ(r.code, 0) << r.err;
    std::vector<Row> rows = Rows(r.out);
    std::vector<Row> stakes;
    for (size_t i = 1; i < rows.size(); ++i)
      if (!rows[i][0].empty()) stakes.push_back(rows[i]);
    return stakes;
  }
};

TEST_F(CliRunTest, TestMakesOneStakePerLineAndCycleOnTheDrawsAfterTheOffsets) {
  Result r = Run({"test", Scenario(), "--count", "3", "--seed", "7"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::vector<Row> stakes = StakeRows(r.out);
  ASSERT_EQ(stakes.size(), 6u) << r.out;
  // Offsets 3, 2, 1: the draws after them are 78, 79, 80; the separator line
  // counts in the line numbers.
  for (size_t i = 0; i < stakes.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(stakes[i].size(), 3u);
    EXPECT_EQ(stakes[i][0], std::to_string(kDraws - 2 + int(i / 2)));
    const std::vector<int> numbers = Numbers(stakes[i][1]);
    EXPECT_TRUE(AscendingInRange(numbers)) << stakes[i][1];
    if (i % 2 == 0) {
      EXPECT_TRUE(StartsWith(stakes[i][2], kRandPrefix)) << stakes[i][2];
      EXPECT_EQ(numbers.size(), 5u);
    } else {
      EXPECT_TRUE(StartsWith(stakes[i][2], kExtPrefix)) << stakes[i][2];
      // The configured largest stake, not the default 12.
      EXPECT_EQ(numbers.size(), 8u);
    }
  }
  // The rating after the empty line is what `ratings` prints now: the two
  // comments, three checked stakes each.
  const std::string ratings = RatingsPart(r.out);
  Result shown = Run({"ratings"});
  ASSERT_EQ(shown.code, 0) << shown.err;
  EXPECT_EQ(ratings, shown.out);
  const std::vector<Row> rows = Rows(ratings);
  ASSERT_EQ(rows.size(), 3u) << ratings;
  EXPECT_EQ(rows[0][0], "Комментарий");
  std::set<std::string> comments;
  for (size_t i = 1; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i][1], "3") << rows[i][0];
    comments.insert(rows[i][0]);
  }
  EXPECT_EQ(comments, (std::set<std::string>{stakes[0][2], stakes[1][2]}));
}

TEST_F(CliRunTest, StakesAreStoredAndCheckedAgainstTheirDraws) {
  Result r = Run({"test", Scenario(), "--count", "3", "--seed", "11"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::vector<Row> printed = StakeRows(r.out);
  const std::vector<Row> stored = StoredStakes();
  ASSERT_EQ(stored.size(), printed.size());
  const DrawArchive archive = Archive();
  for (size_t i = 0; i < stored.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(stored[i][0], printed[i][0]);
    EXPECT_EQ(stored[i][1], "Сценарий");
    EXPECT_EQ(stored[i][2], printed[i][1]);
    EXPECT_EQ(stored[i][8], printed[i][2]);
    const int index = archive.IndexOfDraw(std::stoi(printed[i][0]));
    ASSERT_GE(index, 0);
    EXPECT_EQ(stored[i][4], CombinationText(archive.At(index).numbers, ";"));
    EXPECT_FALSE(stored[i][5].empty());
  }
  EXPECT_TRUE(std::filesystem::exists(RatingsPath(dir.Path())));

  // A second run adds to the file and to the rating.
  r = Run({"test", Scenario(), "--count", "1"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(StoredStakes().size(), printed.size() + 2);
  for (const Row& row : Rows(RatingsPart(r.out))) {
    if (row[0] != "Комментарий") {
      EXPECT_EQ(row[1], "4") << row[0];
    }
  }
}

TEST_F(CliRunTest, SeededRunsRepeatExactlyAndAnotherSeedChoosesOtherStakes) {
  test::TempDir copy;
  MakeFolder(copy);
  Result a = Run({"test", Scenario(), "--count", "3", "--seed", "7"});
  Result b = RunIn(copy, {"test", copy.File("s.lsc"), "--count", "3", "--seed", "7"});
  ASSERT_EQ(a.code, 0) << a.err;
  ASSERT_EQ(b.code, 0) << b.err;
  EXPECT_EQ(a.out, b.out);

  test::TempDir other;
  MakeFolder(other);
  Result c = RunIn(other, {"test", other.File("s.lsc"), "--count", "3", "--seed", "8"});
  ASSERT_EQ(c.code, 0) << c.err;
  const std::vector<Row> seven = StakeRows(a.out), eight = StakeRows(c.out);
  ASSERT_EQ(seven.size(), 6u);
  ASSERT_EQ(eight.size(), 6u);
  // Any of 376,992 combinations may be chosen: other choices, same draws.
  std::set<std::string> randSeven, randEight;
  for (size_t i = 0; i < 6; i += 2) {
    EXPECT_EQ(seven[i][0], eight[i][0]);
    randSeven.insert(seven[i][1]);
    randEight.insert(eight[i][1]);
  }
  EXPECT_NE(randSeven, randEight);
}

TEST_F(CliRunTest, ForecastStakesOnTheDrawAfterTheOffset) {
  Result r = Run({"forecast", Scenario()});
  ASSERT_EQ(r.code, 0) << r.err;
  std::vector<Row> stakes = StakeRows(r.out);
  ASSERT_EQ(stakes.size(), 2u);
  EXPECT_EQ(stakes[0][0], std::to_string(kDraws + 1));
  EXPECT_EQ(stakes[1][0], std::to_string(kDraws + 1));
  // The next draw is unknown: nothing checked, so no rating yet.
  EXPECT_FALSE(std::filesystem::exists(RatingsPath(dir.Path())));
  EXPECT_EQ(Rows(RatingsPart(r.out)).size(), 1u) << r.out;

  r = Run({"forecast", Scenario(), "--offset", "5"});
  ASSERT_EQ(r.code, 0) << r.err;
  stakes = StakeRows(r.out);
  ASSERT_EQ(stakes.size(), 2u);
  EXPECT_EQ(stakes[0][0], std::to_string(kDraws - 4));
  EXPECT_TRUE(StartsWith(stakes[0][2], kRandPrefix));
  EXPECT_TRUE(StartsWith(stakes[1][2], kExtPrefix));
  EXPECT_TRUE(std::filesystem::exists(RatingsPath(dir.Path())));
  EXPECT_EQ(Rows(RatingsPart(r.out)).size(), 3u) << r.out;
}

TEST_F(CliRunTest, CountsAndOffsetsOutsideTheArchiveAreUsageErrors) {
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"test", Scenario(), "--count", "0"}, "Количество тестов должно быть от 1 до 79\n"},
      {{"test", Scenario(), "--count", "80"}, "Количество тестов должно быть от 1 до 79\n"},
      {{"test", Scenario(), "--count", "-3"}, "Количество тестов должно быть от 1 до 79\n"},
      {{"forecast", Scenario(), "--offset", "80"}, "Смещение должно быть от 0 до 79\n"},
      {{"forecast", Scenario(), "--offset", "-1"}, "Смещение должно быть от 0 до 79\n"},
  };
  for (const Case& c : cases) {
    Result r = Run(c.args);
    EXPECT_EQ(r.code, 2) << c.args[2];
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(Run({"test", Scenario()}).code, 2);
  EXPECT_EQ(Run({"forecast"}).code, 2);
  EXPECT_EQ(Run({"test", Scenario(), "--count", "x"}).code, 2);
  // Nothing ran, so nothing was made.
  EXPECT_FALSE(std::filesystem::exists(StakesPath(dir.Path())));

  Result r = Run({"forecast", dir.File("missing.lsc")});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(StartsWith(r.err, "Ошибка чтения файла \"" + dir.File("missing.lsc") + "\"!")) << r.err;
  EXPECT_EQ(r.out, "");
  r = Run({"test", dir.File("missing.lsc"), "--count", "2"});
  EXPECT_EQ(r.code, 1);
}

TEST_F(CliRunTest, UnknownStatisticEndsTheRunWithExit1) {
  const std::string file = WriteScenario(
      dir, "bad.lsc",
      std::string(kRandLine) + "\r\nFULL:0#RAND|TSD1#ZORK:10#LNO:#SF:1| | | | | | |Плохая\r\n" + kRandLine + "\r\n");
  Result r = Run({"test", file, "--count", "2", "--seed", "1"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("\"ZORK\""), std::string::npos) << r.err;
  // Said once, by the run itself.
  EXPECT_EQ(r.err.find("ZORK"), r.err.rfind("ZORK")) << r.err;
  // The first line made its stake; the failure ended the run there.
  const std::vector<Row> stakes = StakeRows(r.out);
  ASSERT_EQ(stakes.size(), 1u) << r.out;
  EXPECT_EQ(stakes[0][0], std::to_string(kDraws - 1));
  EXPECT_EQ(Rows(RatingsPart(r.out))[0][0], "Комментарий");
  EXPECT_EQ(StoredStakes().size(), 1u);
}

TEST_F(CliRunTest, WindowStateSettingsAndTheLogFlag) {
  // The stored log switch is the desktop's; here only --log writes a log.
  test::WriteBytes(dir.File("Pentalux5_5v36.frm"),
                   "[TFormMain]\r\nScriptLogEnabled=1\r\nRatingsEffMode=0\r\nPrefetchsEnabled=1\r\n");
  Result r = Run({"test", Scenario(), "--count", "1"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(LogFiles().empty());
  // Full-set comparison on: the statistic of the filter got its file.
  EXPECT_TRUE(std::filesystem::exists(dir.File("Prefetchs/Pentalux5_5v36_NUMS.dfc")));
  // Mode 0: expected counts, not percentages.
  const std::vector<Row> rows = Rows(RatingsPart(r.out));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1][12].find('%'), std::string::npos) << rows[1][12];

  r = Run({"test", Scenario(), "--count", "1", "--log"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::vector<std::string> logs = LogFiles();
  ASSERT_EQ(logs.size(), 1u);
  const std::string log = Cp1251ToUtf8(test::ReadBytes(dir.File(logs[0])));
  EXPECT_NE(log.find("Выполнение строки 001"), std::string::npos);
  EXPECT_NE(log.find("Выполнение строки 003"), std::string::npos);
}

TEST_F(CliRunTest, NoPrefetchFilesWithoutTheStoredSwitch) {
  Result r = Run({"test", Scenario(), "--count", "1"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("Prefetchs/Pentalux5_5v36_NUMS.dfc")));
  EXPECT_NE(Rows(RatingsPart(r.out))[1][12].find('%'), std::string::npos);
}

TEST_F(CliRunTest, HeldStakesFileIsACleanError) {
  test::RecordingHost host;
  StakeStore holder(Env::Real(), host, dir.Path());
  ASSERT_TRUE(holder.Load());
  for (auto args :
       std::vector<std::vector<std::string>>{{"forecast", Scenario()}, {"test", Scenario(), "--count", "2"}}) {
    Result r = Run(args);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, PlainText(kExclusiveAccess) + "\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(holder.RecordCount(), 0);
}

// The tool as a process: SIGINT once the first stake line arrived.
struct Interrupted {
  int status = 0;
  std::string out;
};

Interrupted RunAndInterrupt(const std::vector<std::string>& args, const std::string& errFile) {
  std::vector<std::string> all = {PENTALUX_CLI};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  int fds[2];
  if (::pipe(fds) != 0) return {-1, {}};
  // Only async-signal-safe calls in the child.
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], 1);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err >= 0) ::dup2(err, 2);
    ::close(fds[0]);
    ::close(fds[1]);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  Interrupted result;
  bool sent = false;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    result.out.append(buffer, size_t(n));
    // The titles and one stake: the run is under way.
    if (!sent && std::count(result.out.begin(), result.out.end(), '\n') >= 2) {
      ::kill(pid, SIGINT);
      sent = true;
    }
  }
  ::close(fds[0]);
  ::waitpid(pid, &result.status, 0);
  return result;
}

TEST_F(CliRunTest, CtrlCStopsTheRunAndKeepsWhatItMade) {
  // Many variants over many offsets: seconds of work if nothing stopped it.
  std::string counts;
  for (int n = 5; n <= 20; ++n) {
    if (n > 5) counts += ',';
    counts += std::to_string(n);
  }
  const std::string file =
      WriteScenario(dir, "long.lsc", "FULL:0#RAND|TSD1#NUMS:" + counts + "#LNO:#ST:3| | | | | | |Долго\r\n");
  const int full = (kDraws - 1) * 16;
  Interrupted r = RunAndInterrupt({"--data-dir", dir.Path(), "test", file, "--count", std::to_string(kDraws - 1)},
                                  dir.File("err.txt"));
  ASSERT_TRUE(WIFEXITED(r.status)) << r.status;
  EXPECT_EQ(WEXITSTATUS(r.status), 0) << test::ReadBytes(dir.File("err.txt"));
  const std::vector<Row> stakes = StakeRows(r.out);
  EXPECT_GE(stakes.size(), 1u);
  EXPECT_LT(int(stakes.size()), full / 2);
  EXPECT_EQ(Rows(RatingsPart(r.out))[0][0], "Комментарий");
  // Everything printed was stored and checked.
  const std::vector<Row> stored = StoredStakes();
  ASSERT_EQ(stored.size(), stakes.size());
  for (const Row& row : stored) EXPECT_FALSE(row[5].empty());
}

TEST_F(CliRunTest, InProcessRunRestoresTheInterruptHandler) {
  struct sigaction mine {}, before {}, after {};
  mine.sa_handler = SIG_IGN;
  ::sigaction(SIGINT, &mine, &before);
  Result r = Run({"forecast", Scenario()});
  ::sigaction(SIGINT, &before, &after);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(after.sa_handler, SIG_IGN);
}

}  // namespace
}  // namespace px
