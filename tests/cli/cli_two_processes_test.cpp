// Two tool processes on one data folder: the stakes file's lock lets one in,
// refuses the other with the exclusive-access message, and the file never
// holds half a record.
#include <gtest/gtest.h>

#include "core/text.h"

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "core/cp1251.h"
#include "core/errors.h"
#include "frame/messages.h"
#include "stakes/stake_store.h"
#include "support/cli_result.h"
#include "support/temp_dir.h"

namespace px {
namespace {

class CliTwoProcessesTest : public ::testing::Test {
 protected:
  test::TempDir dir;

  void SetUp() override {
    test::WriteBytes(dir.File("Pentalux5_5v36.ini"), "[STAKES]\nCost=2\nProfits=1\nProfit_0_Overlap=3\nProfit_0_Profit=100\n");
    ASSERT_EQ(test::RunCliIn(dir.Path(), {"draws", "import", std::string(PENTALUX_SOURCE_DIR) +
                                                                 "/demo/demo_draws_vantora5.csv"})
                  .code,
              0);
    test::WriteBytes(dir.File("all.lsc"), Utf8ToCp1251("FULL:0#ALL|TSF1#NUMS:100#LVA:1-4;1#SF:1| | | | | | |Все\r\n"));
  }
  int Shell(const std::string& script) {
    const int status = std::system(("bash -c '" + script + "'").c_str());
    EXPECT_TRUE(WIFEXITED(status));
    return WEXITSTATUS(status);
  }
  std::string Tool() const { return std::string(PENTALUX_CLI) + " --data-dir " + dir.Path(); }
  std::string Text(const std::string& name) const { return test::ReadBytes(dir.File(name)); }
  // Every record whole: the file a multiple of the record, each a separator
  // or a stake of this version with a draw number.
  int64_t WholeStakes() const {
    const std::string bytes = test::ReadBytes(StakesPath(dir.Path()));
    EXPECT_EQ(bytes.size() % kStakeRecordSize, 0u);
    int64_t stakes = 0;
    for (size_t at = 0; at + kStakeRecordSize <= bytes.size(); at += kStakeRecordSize) {
      const StakeRecord r = DecodeStakeRecord(bytes.data() + at);
      EXPECT_EQ(r.version, kStakeVersion) << "record " << at / kStakeRecordSize;
      if (r.drawNumber > 0) {
        EXPECT_GE(r.numbers.count, 5);
        ++stakes;
      } else {
        EXPECT_EQ(r.kind, 0) << "record " << at / kStakeRecordSize;
      }
    }
    return stakes;
  }
};

TEST_F(CliTwoProcessesTest, TheSecondIsRefusedWhileTheFirstRuns) {
  // The first is held mid-run (stopped) while the second tries, then ended
  // with Ctrl+C, which stops a run at its next check.
  const std::string lsk = StakesPath(dir.Path());
  Shell("cd " + dir.Path() + "; " + Tool() + " test all.lsc --count 1500 --seed 3 >out1 2>err1 & p=$!; " +
        "for i in $(seq 1 4000); do [ -s " + lsk + " ] && break; sleep 0.005; done; " +
        "kill -STOP $p && echo held >held; " +
        Tool() + " stakes add \"1;2;3;4;5\" >out2 2>err2; echo $? >code2; " +
        Tool() + " draws add \"1;2;3;4;5\" >/dev/null 2>err3; echo $? >code3; " +
        "kill -CONT $p; kill -INT $p; wait $p; echo $? >code1");
  ASSERT_EQ(Text("held"), "held\n") << "the first run ended before it could be held: " << Text("err1");
  EXPECT_EQ(Text("code2"), "1\n");
  EXPECT_EQ(Text("err2"), PlainText(kExclusiveAccess) + "\n");
  EXPECT_EQ(Text("out2"), "");
  EXPECT_EQ(Text("code3"), "1\n");
  EXPECT_EQ(Text("err3"), PlainText(kExclusiveAccess) + "\n");
  EXPECT_EQ(Text("code1"), "0\n") << Text("err1");
  // What the first printed as made is what its file holds, all whole.
  const std::string out = Text("out1");
  const size_t end = out.find("\n\n");
  ASSERT_NE(end, std::string::npos);
  int64_t printed = 0;
  for (size_t at = out.find('\n'); at < end; at = out.find('\n', at + 1)) ++printed;
  EXPECT_GT(printed, 0);
  EXPECT_EQ(WholeStakes(), printed);
}

TEST_F(CliTwoProcessesTest, ManyAtOnceEachGoInWholeOrAreRefused) {
  std::string script = "cd " + dir.Path() + "; ";
  for (int i = 1; i <= 8; ++i)
    script += Fmt("(%s stakes add \"%d;10;20;30;36\" --draw 5000 >/dev/null 2>err%d; echo $? >code%d) & ",
                  Tool().c_str(), i, i, i);
  script += "wait";
  Shell(script);
  int made = 0;
  for (int i = 1; i <= 8; ++i) {
    const std::string code = Text("code" + std::to_string(i));
    if (code == "0\n") {
      ++made;
    } else {
      EXPECT_EQ(code, "1\n");
      EXPECT_EQ(Text("err" + std::to_string(i)), PlainText(kExclusiveAccess) + "\n");
    }
  }
  EXPECT_GT(made, 0);
  EXPECT_EQ(WholeStakes(), made);
}

}  // namespace
}  // namespace px
