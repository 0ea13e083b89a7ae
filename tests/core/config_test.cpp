#include <gtest/gtest.h>

#include <limits>

#include "core/config.h"
#include "core/errors.h"
#include "core/ini.h"
#include "core/text.h"
#include "support/fault_env.h"
#include "support/temp_dir.h"

namespace px {
namespace {

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override { SetLocaleDecimalSeparator(','); }
  void TearDown() override { SetLocaleDecimalSeparator('.'); }
  test::TempDir dir;
  std::string path = ConfigPath(dir.Path());
};

TEST_F(ConfigTest, MissingFileGivesDefaults) {
  GameConfig c;
  c.data.MatrixCols = 3;  // must be overwritten by the default
  ProxySettings p;
  LoadGameConfig(Env::Real(), path, c);
  LoadProxySettings(Env::Real(), path, p);
  EXPECT_EQ(c.data.MatrixCols, 6);
  EXPECT_EQ(c.data.ChannelSize, 6);
  EXPECT_EQ(c.data.MaxStake, 12);
  EXPECT_EQ(c.data.Cost, 0);
  EXPECT_TRUE(c.data.Profits.empty());
  EXPECT_EQ(c.data.Count, 0);
  EXPECT_EQ(c.data.Deviation, -1);
  EXPECT_EQ(c.data.Level, 1);
  EXPECT_FALSE(c.data.UsePercents);
  EXPECT_FALSE(c.data.UseAbsValues);
  for (uint8_t s : c.data.MatrixSegments) EXPECT_EQ(s, 1);
  EXPECT_EQ(c.CombsGenerateMode, 0);
  EXPECT_EQ(c.Formula[0], "(n1+n2+n3)/(n4+n5)");
  EXPECT_EQ(c.Formula[2], "(n1+n2)/(n3+n4+n5)");
  EXPECT_EQ(c.FormulaDigits[1], 2);
  EXPECT_EQ(p.mode, 0);
  EXPECT_EQ(p.port, 80);
  EXPECT_TRUE(p.saved);
  EXPECT_EQ(c.MatrixRowsCount(), 6);
  EXPECT_FALSE(Env::Real().Exists(path));  // reading never creates the file
}

TEST_F(ConfigTest, PartialFileKeepsTheRestAtDefaults) {
  test::WriteBytes(path,
                   "[GLOBAL]\r\nMatrixSegments=123\r\nChannelSize=4\r\n"
                   "[STAKES]\r\nCost=1.5\r\nProfits=3\r\nProfit_0_Overlap=5\r\nProfit_0_Profit=1000,25\r\n"
                   "Profit_1_Overlap=4\r\n"
                   "[CDL]\r\nUsePercents=2\r\nUseAbsValues=-1\r\nLevel=abc\r\n"
                   "[SHREDDING]\r\nFormula2=n1/n2\r\nFormula3Digits=4\r\n");
  GameConfig c;
  LoadGameConfig(Env::Real(), path, c);
  EXPECT_EQ(c.data.MatrixCols, 6);
  EXPECT_EQ(c.data.ChannelSize, 4);
  EXPECT_EQ(c.data.MatrixSegments[0], 1);
  EXPECT_EQ(c.data.MatrixSegments[1], 2);
  EXPECT_EQ(c.data.MatrixSegments[2], 3);
  EXPECT_EQ(c.data.MatrixSegments[3], 1);
  EXPECT_EQ(c.data.MatrixSegments[35], 1);
  EXPECT_EQ(c.data.Cost, 15000);
  ASSERT_EQ(c.data.Profits.size(), 3u);
  EXPECT_EQ(c.data.Profits[0].overlap, 5);
  EXPECT_EQ(c.data.Profits[0].profit, 10002500);
  EXPECT_EQ(c.data.Profits[1].overlap, 4);
  EXPECT_EQ(c.data.Profits[1].profit, 0);
  EXPECT_EQ(c.data.Profits[2].overlap, 0);  // count beyond the entry keys
  EXPECT_EQ(c.data.Profits[2].profit, 0);
  EXPECT_TRUE(c.data.UsePercents);    // any positive integer
  EXPECT_FALSE(c.data.UseAbsValues);  // negatives do not count
  EXPECT_EQ(c.data.Level, 1);         // unreadable: default
  EXPECT_EQ(c.Formula[0], "(n1+n2+n3)/(n4+n5)");
  EXPECT_EQ(c.Formula[1], "n1/n2");
  EXPECT_EQ(c.FormulaDigits[2], 4);
}

TEST_F(ConfigTest, HostileValuesAreTamed) {
  test::WriteBytes(path,
                   "[GLOBAL]\r\nMatrixCols=0\r\nChannelSize=-3\r\nMatrixSegments=0x9a\r\nCombsGenerateMode=9\r\n"
                   "[STAKES]\r\nMaxStake=99\r\nProfits=2000000000\r\n");
  GameConfig c;
  LoadGameConfig(Env::Real(), path, c);
  EXPECT_EQ(c.data.MatrixCols, 6);  // divisors of the geometry are never 0 or negative
  EXPECT_EQ(c.data.ChannelSize, 6);
  EXPECT_EQ(c.data.MatrixSegments[0], 1);  // segments are 1..9
  EXPECT_EQ(c.data.MatrixSegments[1], 1);
  EXPECT_EQ(c.data.MatrixSegments[2], 9);
  EXPECT_EQ(c.data.MatrixSegments[3], 1);
  EXPECT_EQ(c.CombsGenerateMode, 0);
  EXPECT_EQ(c.data.MaxStake, 12);
  EXPECT_LE(c.data.Profits.size(), 100u);

  test::WriteBytes(path, "[GLOBAL]\r\nCombsGenerateParameters=" + std::string(300, '7') + "\r\n");
  LoadGameConfig(Env::Real(), path, c);
  EXPECT_EQ(c.CombsGenerateParameters.size(), 255u);
}

TEST_F(ConfigTest, SaveThenLoadIsIdentity) {
  test::WriteBytes(path, "[FOREIGN]\r\nKeep=this\r\n[GLOBAL]\r\nCombsGenerateMode=3\r\n");
  GameConfig c;
  LoadGameConfig(Env::Real(), path, c);
  c.data.MatrixCols = 7;
  c.data.ChannelSize = 5;
  c.data.Cost = CurrencyOf(25.5L);
  c.data.MaxStake = 9;
  for (int i = 0; i < 6; ++i) c.data.Profits.push_back(PrizeEntry{uint8_t(i), CurrencyOf(i * 100.123L)});
  c.data.Count = 0.125L;
  c.data.Deviation = -2.5L;
  c.data.Level = 3;
  c.data.UsePercents = true;
  c.data.UseAbsValues = true;
  c.data.MatrixSegments[35] = 9;
  c.data.MatrixSegments[0] = 4;
  c.Formula[0] = "n1*n2";
  c.FormulaDigits[0] = 3;
  c.CombsGenerateMode = 2;
  c.CombsGenerateParameters = "1;2;3;4;5;6;7";
  SaveGameConfig(Env::Real(), path, c);
  SaveShredding(Env::Real(), path, c);
  SaveGenerationDefaults(Env::Real(), path, c);

  GameConfig back;
  LoadGameConfig(Env::Real(), path, back);
  EXPECT_TRUE(back.data == c.data);
  EXPECT_EQ(back.Formula, c.Formula);
  EXPECT_EQ(back.FormulaDigits, c.FormulaDigits);
  EXPECT_EQ(back.CombsGenerateMode, 2);
  EXPECT_EQ(back.CombsGenerateParameters, "1;2;3;4;5;6;7");

  IniFile ini = IniFile::Load(Env::Real(), path);
  EXPECT_EQ(ini.ReadString("FOREIGN", "Keep", ""), "this");
  EXPECT_EQ(ini.ReadString("STAKES", "Cost", ""), "25,5");  // the locale's separator
  EXPECT_EQ(ini.ReadString("STAKES", "Profits", ""), "6");
  EXPECT_EQ(ini.ReadString("STAKES", "Profit_5_Overlap", ""), "5");
  EXPECT_EQ(ini.ReadString("STAKES", "Profit_5_Profit", ""), "500,615");
  EXPECT_EQ(ini.ReadString("GLOBAL", "MatrixSegments", ""), "411111111111111111111111111111111119");
  EXPECT_EQ(ini.ReadString("CDL", "UsePercents", ""), "1");
}

TEST_F(ConfigTest, ProxyModeRules) {
  ProxySettings p;
  test::WriteBytes(path, "[PROXY]\r\nProxyServer=proxy.local\r\nProxyPort=3128\r\n");
  LoadProxySettings(Env::Real(), path, p);
  EXPECT_EQ(p.mode, 2);
  EXPECT_EQ(p.server, "proxy.local");
  EXPECT_EQ(p.port, 3128);
  test::WriteBytes(path, "[PROXY]\r\nProxyServer=\r\n");
  LoadProxySettings(Env::Real(), path, p);
  EXPECT_EQ(p.mode, 0);
  EXPECT_EQ(p.port, 80);
  test::WriteBytes(path, "[PROXY]\r\nProxyServer=proxy.local\r\nProxyMode=1\r\n");
  LoadProxySettings(Env::Real(), path, p);
  EXPECT_EQ(p.mode, 1);

  p = ProxySettings{2, "10.0.0.1", 8080, "user", "пароль", false};
  SaveProxySettings(Env::Real(), path, p);
  EXPECT_TRUE(p.saved);
  ProxySettings back;
  LoadProxySettings(Env::Real(), path, back);
  EXPECT_EQ(back.mode, 2);
  EXPECT_EQ(back.server, "10.0.0.1");
  EXPECT_EQ(back.port, 8080);
  EXPECT_EQ(back.user, "user");
  EXPECT_EQ(back.password, "пароль");
  EXPECT_EQ(IniFile::Load(Env::Real(), path).Keys("PROXY"),
            (std::vector<std::string>{"ProxyServer", "ProxyMode", "ProxyPort", "ProxyUsername", "ProxyPassword"}));
}

TEST_F(ConfigTest, FailuresKeepTheFileAndSayWhat) {
  GameConfig c;
  SaveGameConfig(Env::Real(), path, c);
  std::string before = test::ReadBytes(path);

  test::FaultEnv env;
  env.failRename = true;
  c.data.MatrixCols = 9;
  try {
    SaveGameConfig(env, path, c);
    FAIL() << "save reported success";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Ошибка записи в файл конфигурации!\r\r", 0), 0u) << e.what();
  }
  EXPECT_EQ(test::ReadBytes(path), before);
  EXPECT_EQ(c.data.MatrixCols, 9);  // the edited values stay in memory

  env.failRename = false;
  env.failRead = true;
  GameConfig loaded;
  loaded.data.MatrixCols = 5;
  try {
    LoadGameConfig(env, path, loaded);
    FAIL() << "load reported success";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Ошибка чтения файла конфигурации!\r\r", 0), 0u) << e.what();
  }
  EXPECT_EQ(loaded.data.MatrixCols, 5);
}

TEST(Weight, Formula) {
  TConfigData d;  // Count 0, Deviation -1, Level 1: depth - (count - norm)
  EXPECT_EQ(Weight(d, true, 10, 20, 100, 7, 12.5L), 7 - (10 - 12.5L));
  EXPECT_EQ(Weight(d, false, 10, 20, 100, 7, 12.5L), 7);
  d.Count = 2;
  d.Deviation = 1;
  d.Level = 0.5L;
  d.UsePercents = true;
  // X = 10*100/200 = 5; Y = (10-8)*100/8 = 25; Z = 7*100/20 = 35
  EXPECT_DOUBLE_EQ(double(Weight(d, true, 10, 20, 200, 7, 8)), 2 * 5 + 25 + 0.5 * 35);
  EXPECT_DOUBLE_EQ(double(Weight(d, true, 10, 0, 0, 7, 0)), 0);
  d.UseAbsValues = true;
  d.Deviation = -1;
  // Y = (4-8)*100/8 = -50 -> 50
  EXPECT_DOUBLE_EQ(double(Weight(d, true, 4, 20, 200, 7, 8)), 2 * 2 - 50 + 0.5 * 35);
}

TEST(Currency, Rounding) {
  EXPECT_EQ(CurrencyOf(1.23456L), 12346);
  EXPECT_EQ(CurrencyOf(-1.23454L), -12345);
  EXPECT_EQ(CurrencyOf(0.1L + 0.2L), 3000);  // binary noise does not leak into money
  EXPECT_EQ(CurrencyOf(-2.5L), -25000);
  EXPECT_EQ(CurrencyValue(12345), 1.2345L);
}

// Money that no Currency holds is a bad value of its field, which keeps its
// default; the amounts beside it are read as usual.
TEST_F(ConfigTest, OutOfRangeMoneyKeepsTheDefault) {
  test::WriteBytes(path,
                   "[STAKES]\r\nCost=1e30\r\nProfits=4\r\nProfit_0_Overlap=5\r\nProfit_0_Profit=-1e30\r\n"
                   "Profit_1_Overlap=4\r\nProfit_1_Profit=12,5\r\nProfit_2_Overlap=3\r\n"
                   "Profit_2_Profit=900000000000000\r\nProfit_3_Overlap=2\r\nProfit_3_Profit=900000000000001\r\n");
  GameConfig c;
  LoadGameConfig(Env::Real(), path, c);
  EXPECT_EQ(c.data.Cost, 0);
  ASSERT_EQ(c.data.Profits.size(), 4u);
  EXPECT_EQ(c.data.Profits[0].overlap, 5);
  EXPECT_EQ(c.data.Profits[0].profit, 0);
  EXPECT_EQ(c.data.Profits[1].profit, 125000);
  EXPECT_EQ(c.data.Profits[2].profit, 9000000000000000000);
  EXPECT_EQ(c.data.Profits[3].profit, 0);

  test::WriteBytes(path, "[STAKES]\r\nCost=-9e14\r\n");
  LoadGameConfig(Env::Real(), path, c);
  EXPECT_EQ(c.data.Cost, -9000000000000000000);
}

TEST(Currency, MoneyOfRefusesWhatNoCurrencyHolds) {
  EXPECT_EQ(MoneyOf(1.5L), 15000);
  EXPECT_EQ(MoneyOf(-kMaxMoney), CurrencyOf(-kMaxMoney));
  EXPECT_EQ(MoneyOf(1e30L), std::nullopt);
  EXPECT_EQ(MoneyOf(-9.0e14L - 1), std::nullopt);
  EXPECT_EQ(MoneyOf(std::numeric_limits<long double>::infinity()), std::nullopt);
  EXPECT_EQ(MoneyOf(std::numeric_limits<long double>::quiet_NaN()), std::nullopt);
}

}  // namespace
}  // namespace px
